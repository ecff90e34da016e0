#pragma once
// Message texts shared by several windows.

#include <QString>

#include "core/db/VideoTable.h"

namespace rv::gui {

// The title of the box that shows an engine error no command caught.
inline const QString kProgramTitle = QStringLiteral("Reelvane Videos");

// The exclusive-use messages: "<what> requires exclusive use of the DBase File.  Make sure
// ..." -- e.g. exclusiveUseMessage("Creating a new sort order").
inline QString exclusiveUseMessage(const QString& what) {
    return what + QString::fromLatin1(rv::db::kExclusiveUseTail);
}

}  // namespace rv::gui
