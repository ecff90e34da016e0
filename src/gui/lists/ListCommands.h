#pragma once
// The main window's Options > List Maintenance commands: one item per data list opens the
// list maintenance window, and the two default-list commands ask before they act.

#include <string>

namespace rv::gui {

class MainHost;
class TMyEdit;

// Opens the list maintenance window for a list the record editor holds (1-13, 15, 16; the
// Stars list is the one of the six star boxes).
void EditAList(MainHost& main, TMyEdit& editor, int list);
// Opens it for a list held only in a file of the program folder: "OSCAR.LST" (list 14) or
// "MISC.LST" (list 17).
void EditSpecList(MainHost& main, TMyEdit& editor, int list);

// Save As Defaults and Load In Defaults, each after its question.
void MenuSaveDefaultsClick(MainHost& main, TMyEdit& editor);
void MenuLoadDefaultsClick(MainHost& main, TMyEdit& editor);

// Gives the main window's seventeen maintenance items and the two default commands their
// handlers.
void installListCommands(MainHost& main, TMyEdit& editor);

}  // namespace rv::gui
