#pragma once
// Message texts shared by several windows.

#include <QString>

namespace rv::gui {

// The title of the box that shows an engine error no command caught.
inline const QString kProgramTitle = QStringLiteral("Reelvane Videos");

// The exclusive-use messages: "<what> requires exclusive use of the DBase File.  Make sure
// ..." -- e.g. exclusiveUseMessage("Creating a new sort order").
inline QString exclusiveUseMessage(const QString& what) {
    return what + QStringLiteral(
                      " requires exclusive use of the DBase File.  Make sure that the DBase File is not in use "
                      "by another program  or that no other users are running the software or that no other "
                      "copies of the software are in use.");
}

}  // namespace rv::gui
