#pragma once
// Import and export in the main window: DoImport ("&Import", Ctrl+M, "Import Records") and
// DoExport ("E&xport", Ctrl+T, "Export Records").

namespace rv::gui {

class MainHost;

void DoImport(MainHost& main);
void DoExport(MainHost& main);
// Gives the main window's import and export commands their handlers.
void installExchange(MainHost& main);

}  // namespace rv::gui
