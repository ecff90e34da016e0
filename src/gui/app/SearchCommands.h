#pragma once
// The finding commands of the main window: "&Search (Query)" (DoSearch) with the Search
// window, and "&Locate" / "Locate &Next" (DoFind, DoFindNext) through the locate component
// the main window owns.  End Search is the main window's own.

namespace rv::gui {

class MainHost;
class TMyLocateDialog;

// Creates the locate component with its start values and plugs the three commands into the
// main window (provideCommand).  The main window owns the component.
TMyLocateDialog* installSearch(MainHost& main);

void DoSearch(MainHost& main);
bool DoFind(MainHost& main);
bool DoFindNext(MainHost& main);

// The main window's locate component (created by installSearch), or null.
TMyLocateDialog* locateDialog(MainHost& main);

}  // namespace rv::gui
