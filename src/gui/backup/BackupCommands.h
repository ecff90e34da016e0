#pragma once
// The main window's "&Back Up Data" and "&Restore Data" commands (menu File), and the
// running program as backup and restore see it: the main window's database, table,
// search in force, data lists and settings.

#include <memory>

#include "core/backup/BackupRestore.h"

namespace rv::gui {

class TMain;

// The main window as a rv::backup::Host.
std::unique_ptr<rv::backup::Host> mainBackupHost(TMain& main);

// DoBackup and DoRestore: the window, shown modally and destroyed when it closes; Restore
// then refreshes the record count.
void DoBackup(TMain& main);
void DoRestore(TMain& main);

// Gives MenuBackup and MenuRestore their commands (the main window keeps both disabled in
// browse-only mode).
void installBackupCommands(TMain& main);

}  // namespace rv::gui
