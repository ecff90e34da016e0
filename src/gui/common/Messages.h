#pragma once
// Message texts shared by several windows.

#include <QString>

#include "core/app/Session.h"

namespace rv::gui {

// The title of the box that shows an engine error no command caught.
inline const QString kProgramTitle = QStringLiteral("Reelvane Videos");

// The exclusive-use messages (their text is the session's, rv::app::exclusiveUseMessage):
// "<what> requires exclusive use of the DBase File.  Make sure ..." -- e.g.
// exclusiveUseMessage("Creating a new sort order").
inline QString exclusiveUseMessage(const QString& what) {
    return QString::fromStdString(rv::app::exclusiveUseMessage(what.toStdString()));
}

}  // namespace rv::gui
