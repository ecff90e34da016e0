#pragma once
// The finding commands of the main window: "&Search (Query)" (DoSearch) with the Search
// window, and "&Locate" / "Locate &Next" (DoFind, DoFindNext) through the locate component
// the main window owns.  End Search is the main window's own.

namespace rv::gui {

class TMain;
class TMyLocateDialog;

// Creates the locate component with its start values and gives the main window the three
// commands.  The main window owns the component.
TMyLocateDialog* installSearch(TMain& main);

void DoSearch(TMain& main);
bool DoFind(TMain& main);
bool DoFindNext(TMain& main);

// The main window's locate component (created by installSearch), or null.
TMyLocateDialog* locateDialog(TMain& main);

}  // namespace rv::gui
