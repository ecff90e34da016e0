#pragma once
// The main window's "&Back Up Data" and "&Restore Data" commands (menu File), and the
// running program as backup and restore see it: the session's database, table, search in
// force, data lists and settings, and the main window's refresh after a restore.

#include <memory>

#include "core/backup/BackupRestore.h"

namespace rv::gui {

class MainHost;

// The main window and its session as a rv::backup::Host.
std::unique_ptr<rv::backup::Host> mainBackupHost(MainHost& main);

// DoBackup and DoRestore: the window, shown modally and destroyed when it closes; Restore
// then refreshes the record count.
void DoBackup(MainHost& main);
void DoRestore(MainHost& main);

// Gives MenuBackup and MenuRestore their commands (the main window keeps both disabled in
// browse-only mode).
void installBackupCommands(MainHost& main);

}  // namespace rv::gui
