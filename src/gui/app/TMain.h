#pragma once
// The main window: menus, button bars, the navigator, layout, colours and fonts, and the
// prompts of the database commands.  The database session itself (settings, the open video
// table, display formats, paths, sort order, browse-only mode, search in force) is a
// rv::app::Session the window owns; its constructor runs the program's start-up through it
// and lays the window out; closing it ends the session's run.
//
// Windows of later subsystems plug in without editing this class:
//  - provideCommand("MenuAdd", handler) gives a menu item (and the picture and lettered
//    buttons of the same command) its handler; until then the item stays disabled;
//  - setDataLists() connects the record editor's data lists, which a database switch saves
//    and loads;
//  - setViewerOptionsHandler() is SetViewerOptions, run after every (re)opening;
//  - MainOptions::checkForConversion runs at its place in the start-up.
// Other windows work on session() (or the settings(), table() and formats() it holds), call
// PlaceDialog() when they are shown, and DisplayCount() after changing the table.
//
// Every command ends in one place: whatever changed the table (a menu command, a button of a
// dialog, an edit in the grid, the navigator) is made durable and the .MDX brought up to date
// once the event that caused it has been handled (Session::endCommand).  Before a command
// closes or reopens the table, an edit still open in the viewer grid is committed and a
// pending record posted (Session::postPending); when that post fails the command stops.

#include <QMainWindow>
#include <QSize>
#include <QStringList>

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app/ColorSchemes.h"
#include "core/app/Formats.h"
#include "core/app/Session.h"
#include "core/app/Settings.h"
#include "core/db/Table.h"
#include "core/edit/EditorRecord.h"
#include "gui/app/Navigator.h"
#include "gui/common/MainHost.h"
#include "gui/common/Prompt.h"

class QAbstractButton;
class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class QToolButton;
class QWidget;

namespace rv::gui {

// The button bar at the top of the window ("Button Bar" of the settings keeps these values).
enum class ButtonBar : int { Speed = 1, Lettered = 2, None = 3 };

struct MainOptions {
    QStringList arguments;            // the command line after the program name
    std::optional<QSize> screenSize;  // the screen to lay out for; default: the primary screen
    // Offers the conversion of databases of earlier versions, at its place in the start-up.
    std::function<void(MainHost&)> checkForConversion;
};

class TMain : public QMainWindow, public MainHost {
    Q_OBJECT
public:
    explicit TMain(MainOptions options = {}, QWidget* parent = nullptr);
    ~TMain() override;

    // False when no database could be found or created at start-up: the program ends
    // without showing the window.
    bool started() const { return started_; }

    // ---- State shared with the other windows ----------------------------------------
    // settings(), table(), formats(), programFolder(), basePath() and browseMode() come
    // from MainHost, all of them the session's.
    QWidget* widget() override { return this; }
    rv::app::Session& session() override { return session_; }
    const std::string& currentDatabase() const { return session_.currentDatabase(); }
    const std::filesystem::path& indexFilePath() const { return session_.indexFilePath(); }
    const std::filesystem::path& configFilePath() const { return session_.configFilePath(); }
    const std::string& sortExpression() const { return session_.sortExpression(); }
    bool searchInForce() const { return session_.searchInForce(); }
    double scaleFactor() const override { return scaleFactor_; }
    QSize screenSize() const override { return screenSize_; }
    rv::edit::EditorMode editorMode() const override { return editorMode_; }
    void setEditorMode(rv::edit::EditorMode mode) override { editorMode_ = mode; }

    // ---- Operations ------------------------------------------------------------------
    void DisplayCount() override;
    void DoFileSpecific() override;
    void databaseChanged() override;
    void SetButtonBar();
    void SetColors();
    void SetMenuLastFiles();
    void DoLastFiles(const std::string& previous, const std::string& newPath);
    void SetViewerOptions() override;
    bool CheckDBaseFormat(QWidget* owner, const std::string& path);
    void DoOpen();
    void DoNew();
    void OpenSaveFile(const std::string& path);
    void DoSortOrder();
    // The colour commands: the Color Configuration window for one window's set or for all;
    // its OK calls AcceptColors.
    using ColorWindow = rv::app::ColorWindow;
    void DoColors(ColorWindow code);
    void AcceptColors(ColorWindow code, const rv::app::ColorSet& colors);
    void DisableEndSearch();
    void EnableEndSearch();
    void DoEndSearch();
    // Dialog placement with the main window's settings, scale factor and screen.
    void PlaceDialog(QWidget* dialog) override;
    // Reopens the video table shared after an exclusive operation and reapplies the viewer
    // configuration; engine errors are shown, not raised.
    void ReopenShared();
    // Shows the texts of a session call in order: refusals in an error box, engine errors
    // under the program's title.  True when there were none.
    bool showOutcome(const rv::app::Outcome& outcome);
    // Before a command closes or reopens the table: commits an edit still open in the viewer
    // grid and posts a pending record; false (after showing why) when the command must stop.
    bool postPendingEdits();

    // ---- Extension points ------------------------------------------------------------
    // Gives a menu item its command, by component name ("MenuAdd", "MenuMaintainStars",
    // ...).  Answers false for an unknown name.
    bool provideCommand(const QString& itemName, std::function<void()> handler) override;
    // Whether a menu item has its command (the window's own or a provided one).
    bool hasCommand(const QString& itemName) const;
    void setDataLists(DataLists* lists) override { session_.setDataLists(lists); }
    void setViewerOptionsHandler(std::function<void()> handler) override { viewerOptions_ = std::move(handler); }
    QAction* menuItem(const QString& name) const override;
    QTableView* viewerGrid() const { return ViewerGrid; }
    // Puts the viewer's own grid in place of the placeholder ViewerGrid (the window takes
    // ownership).  A double click on the placeholder runs Edit; the viewer's grid wires its
    // own double click.
    void setViewerGrid(QTableView* grid) override;
    // Runs a command, showing any error it raises in an error box instead of passing it on.
    void runCommand(const std::function<void()>& command);

    // Menu handlers of this window.
    void MenuUpdateDatabaseClick();
    void MenuPackClick();
    void MenuRebuildClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    using SwitchKind = rv::app::SwitchKind;

    void createControls();
    void createMenus();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {});
    void connectButton(QAbstractButton* button, QAction* item, bool lettered);
    void layoutForMode();
    void updateCommandStates();
    void updateTicks();
    void startUp(const MainOptions& options);
    void askForValidDatabase();
    void switchDatabase(const std::string& newPath, SwitchKind kind);
    void showCaption();
    void chooseScreenSize(int size);
    void chooseButtonBar(ButtonBar mode);
    void chooseFont(rv::app::FontSpec& font);
    void navigatorClicked(TNavigator::Button button);
    void updateNavigator();
    void doOpen(SwitchKind kind);
    std::optional<std::string> chooseDatabaseFile(FileRequest::Mode mode, const QString& title);
    // Pack and Rebuild: ask, then run the work through the session's exclusive-use sequence.
    void runExclusive(const QString& question, rv::app::ExclusiveCommand command,
                      const std::function<void(rv::db::Table&)>& work);
    // The end of every command: the session's changes made durable, once per handled event.
    void scheduleEndCommand();
    void endCommand();
    void syncSearchState();
    bool browseBlocked(const QAction* item) const;

    // State
    rv::app::Session session_;
    bool started_ = false;
    bool shownOnce_ = false;
    bool activatedOnce_ = false;
    bool endCommandPending_ = false;
    rv::edit::EditorMode editorMode_ = rv::edit::EditorMode::New;
    int tickedSize_ = 640;
    ButtonBar appliedMode_ = ButtonBar::Speed;  // the button bar the window is laid out for
    int tableListener_ = 0;
    double scaleFactor_ = 1.0;
    QSize screenSize_;
    std::function<void()> viewerOptions_;
    std::map<QAction*, std::function<void()>> handlers_;
    std::map<QAction*, std::vector<QAbstractButton*>> pictureButtons_;
    std::map<QAction*, std::vector<QAbstractButton*>> letteredButtons_;
    std::vector<QAction*> commandItems_;
    std::map<int, QAction*> sizeItems_;
    std::map<int, QAction*> dateItems_;

public:
    // Controls, named as their components.
    QWidget* Client = nullptr;
    QWidget* SpeedPanel = nullptr;
    QToolButton *NewSpeed = nullptr, *OpenSpeed = nullptr, *AddSpeed = nullptr, *EditSpeed = nullptr,
                *CopySpeed = nullptr, *DeleteSpeed = nullptr, *ImportSpeed = nullptr, *ExportSpeed = nullptr,
                *SearchSpeed = nullptr, *EndSearchSpeed = nullptr, *LocateSpeed = nullptr,
                *LocateNextSpeed = nullptr, *ReportSpeed = nullptr, *ViewerSpeed = nullptr,
                *ColorSpeed = nullptr, *SpeedSetOrder = nullptr, *HelpSpeed = nullptr;
    QFrame *Bevel1 = nullptr, *Bevel2 = nullptr, *Bevel3 = nullptr, *Bevel4 = nullptr;
    QPushButton *AddButton = nullptr, *EditButton = nullptr, *CopyButton = nullptr, *DeleteButton = nullptr,
                *SearchButton = nullptr, *EndSearchButton = nullptr, *ReportButton = nullptr,
                *ViewerButton = nullptr, *HelpButton = nullptr, *ButtonExit = nullptr;
    QLabel* NavigatorLabel = nullptr;
    TNavigator* MyNavigator = nullptr;
    QLabel* CountLabel = nullptr;
    QLabel* Count2Label = nullptr;
    QLabel* SearchOnLabel = nullptr;
    QFrame* ViewerBevel = nullptr;
    QLabel* ViewerLabel = nullptr;
    QTableView* ViewerGrid = nullptr;

    // Menu items.
    QAction *MenuNew = nullptr, *MenuOpen = nullptr, *MenuUpdateDatabase = nullptr, *MenuBackup = nullptr,
            *MenuRestore = nullptr, *MenuPrint = nullptr, *MenuExit = nullptr, *MenuExitSep = nullptr;
    std::array<QAction*, 5> MenuLastFile{};
    QAction *MenuAdd = nullptr, *MenuEdit = nullptr, *MenuCopy = nullptr, *MenuDelete = nullptr,
            *MenuImport = nullptr, *MenuExport = nullptr;
    QAction *MenuSearch = nullptr, *MenuEndSearch = nullptr, *MenuFind = nullptr, *MenuFindNext = nullptr,
            *MenuReports = nullptr, *MenuViewer = nullptr;
    QAction *MenuSortOrder = nullptr, *N640x480 = nullptr, *N800x600 = nullptr, *N1024x768 = nullptr,
            *N1280x1024 = nullptr, *MenuSpeed = nullptr, *MenuButtons = nullptr, *MenuNoButtons = nullptr;
    QAction *MenuMainColor = nullptr, *MenuEditColor = nullptr, *MenuSearchColor = nullptr,
            *MenuReportColor = nullptr, *MenuConfigColor = nullptr, *MenuAllColor = nullptr;
    QMenu* MenuListMaintenance = nullptr;
    QAction *MenuSaveDefaults = nullptr, *MenuLoadDefaults = nullptr;
    QAction *MenuCurrencyUS = nullptr, *MenuCurrencyWin = nullptr, *MenuNumericUS = nullptr,
            *MenuNumericWin = nullptr, *MenuDateLeadingZeros = nullptr;
    QAction *MenuLabelFont = nullptr, *MenuEditFont = nullptr, *MenuButtonFont = nullptr;
    QAction *MenuSearchReplace = nullptr, *MenuRebuild = nullptr, *MenuPack = nullptr;
    QAction *MenuContents = nullptr, *MenuTips = nullptr, *MenuAbout = nullptr, *MenuOtherProd = nullptr;
};

}  // namespace rv::gui
