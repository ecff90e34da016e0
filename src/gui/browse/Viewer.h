#pragma once
// Puts the viewer into the main window: the grid over the video table in place of the
// placeholder, SetViewerOptions, the Viewer command with its configuration window, and the
// double click that edits a row.

namespace rv::gui {

class MainHost;
class ViewerGrid;

// Installs the viewer and applies the configuration once.  The main window owns the grid.
ViewerGrid* installViewer(MainHost& main);

// The Viewer command: the configuration window, modal, then the configuration applied.
void DoViewer(MainHost& main);

}  // namespace rv::gui
