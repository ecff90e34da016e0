#pragma once
// Import and export in the main window: DoImport ("&Import", Ctrl+M, "Import Records") and
// DoExport ("E&xport", Ctrl+T, "Export Records").

namespace rv::gui {

class TMain;

void DoImport(TMain& main);
void DoExport(TMain& main);
// Gives the main window's import and export commands their handlers.
void installExchange(TMain& main);

}  // namespace rv::gui
