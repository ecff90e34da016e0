#pragma once
// What the windows of the subsystems need of the main window, without depending on it: the
// database session, dialog placement, the record count and viewer refresh, and the plug-in
// points for commands, data lists and the viewer grid.  TMain (gui/app) implements it; the
// record editor, list windows, sort order and viewer take a MainHost&.

#include <QString>

#include <filesystem>
#include <functional>
#include <string>

#include "core/app/Session.h"
#include "core/edit/EditorRecord.h"

class QAction;
class QSize;
class QTableView;
class QWidget;

namespace rv::gui {

// The record editor's data lists, as the database switch uses them.
using DataLists = rv::app::SessionLists;

class MainHost {
public:
    virtual ~MainHost() = default;

    // The main window itself, as the parent of dialogs.
    virtual QWidget* widget() = 0;
    virtual rv::app::Session& session() = 0;

    // Places a dialog with the main window's settings, scale factor and screen.
    virtual void PlaceDialog(QWidget* dialog) = 0;
    virtual double scaleFactor() const = 0;
    virtual QSize screenSize() const = 0;
    // Shows the record count afresh, and reapplies the viewer configuration.
    virtual void DisplayCount() = 0;
    virtual void SetViewerOptions() = 0;
    // Applies the current database's settings to the window: fonts, viewer configuration,
    // colours and the record count.
    virtual void DoFileSpecific() = 0;
    // The current database was replaced behind the window's back (a restore): the caption
    // and the recent list of the File menu follow the session.
    virtual void databaseChanged() = 0;

    // Plug-in points (see TMain).
    virtual bool provideCommand(const QString& itemName, std::function<void()> handler) = 0;
    virtual QAction* menuItem(const QString& name) const = 0;
    virtual void setDataLists(rv::app::SessionLists* lists) = 0;
    virtual void setViewerOptionsHandler(std::function<void()> handler) = 0;
    virtual void setViewerGrid(QTableView* grid) = 0;

    // The mode the record editor opens in (Add, Edit, Copy).
    virtual rv::edit::EditorMode editorMode() const = 0;
    virtual void setEditorMode(rv::edit::EditorMode mode) = 0;

    // The session's state, for short.
    rv::app::Settings& settings() { return session().settings(); }
    rv::db::Table& table() { return session().table(); }
    rv::app::DisplayFormats& formats() { return session().formats(); }
    const std::filesystem::path& programFolder() { return session().programFolder(); }
    const std::filesystem::path& basePath() { return session().basePath(); }
    bool browseMode() { return session().browseMode(); }
};

}  // namespace rv::gui
