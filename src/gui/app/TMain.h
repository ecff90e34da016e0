#pragma once
// The main window.  It exists for the whole run and owns the settings record, the open video
// table, the current database's paths and the sort expression.  Its constructor runs the
// program's start-up (program folder, settings, the start-up database, layout, screen size,
// browse-only mode); closing it writes the settings.
//
// Windows of later subsystems plug in without editing this class:
//  - provideCommand("MenuAdd", handler) gives a menu item (and the picture and lettered
//    buttons of the same command) its handler; until then the item stays disabled;
//  - setDataLists() connects the record editor's data lists, which a database switch saves
//    and loads;
//  - setViewerOptionsHandler() is SetViewerOptions, run after every (re)opening;
//  - MainOptions::checkForConversion runs at its place in the start-up.
// Other windows read and change settings(), table() and formats() directly, call
// PlaceDialog() when they are shown, and DisplayCount() after changing the table.

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

#include "core/app/Formats.h"
#include "core/app/Settings.h"
#include "core/db/Table.h"
#include "gui/app/Navigator.h"
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

// The record editor's data lists, as the database switch uses them.
class DataLists {
public:
    virtual ~DataLists() = default;
    virtual void SaveAllLists(const std::filesystem::path& basePath) = 0;
    virtual void LoadAllList(const std::filesystem::path& basePath) = 0;
    virtual void LoadDefaultList() = 0;
};

struct MainOptions {
    QStringList arguments;            // the command line after the program name
    std::optional<QSize> screenSize;  // the screen to lay out for; default: the primary screen
    // Offers the conversion of databases of earlier versions, at its place in the start-up.
    std::function<void(class TMain&)> checkForConversion;
};

class TMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TMain(MainOptions options = {}, QWidget* parent = nullptr);
    ~TMain() override;

    // False when no database could be found or created at start-up: the program ends
    // without showing the window.
    bool started() const { return started_; }

    // ---- State shared with the other windows ----------------------------------------
    rv::app::Settings& settings() { return settings_; }
    rv::db::Table& table() { return table_; }
    rv::app::DisplayFormats& formats() { return formats_; }
    const std::string& currentDatabase() const { return settings_.lastDatabase; }
    const std::filesystem::path& basePath() const { return basePath_; }
    const std::filesystem::path& indexFilePath() const { return indexFilePath_; }
    const std::filesystem::path& configFilePath() const { return configFilePath_; }
    const std::filesystem::path& programFolder() const { return programFolder_; }
    const std::string& sortExpression() const { return sortExpression_; }
    bool browseMode() const { return browseMode_; }
    bool searchInForce() const { return searchInForce_; }
    double scaleFactor() const { return scaleFactor_; }
    QSize screenSize() const { return screenSize_; }
    int editorMode() const { return editorMode_; }
    void setEditorMode(int mode) { editorMode_ = mode; }

    // ---- Operations ------------------------------------------------------------------
    void DisplayCount();
    void DoFileSpecific();
    void SetButtonBar();
    void SetColors();
    void SetMenuLastFiles();
    void DoLastFiles(const std::string& previous, const std::string& newPath);
    void BuildSortString();
    void SetViewerOptions();
    bool CheckDBaseFormat(QWidget* owner, const std::string& path);
    bool MakeNewDB(const std::string& path);
    void DoOpen();
    void DoNew();
    void OpenSaveFile(const std::string& path);
    void DoSortOrder();
    // The colour commands: the Color Configuration window for set `code` (1 main, 2 edit,
    // 3 search, 4 report, 5 configure, 6 all windows); its OK calls AcceptColors.
    void DoColors(int code);
    void AcceptColors(int code, const rv::app::ColorSet& colors);
    void DisableEndSearch();
    void EnableEndSearch();
    void DoEndSearch();
    // Dialog placement with the main window's settings, scale factor and screen.
    void PlaceDialog(QWidget* dialog);
    // Writes the current database's own settings (browse-only mode writes the kept "Field
    // Editing" value, not the one it forces off).
    void SaveDatabaseSettings();
    // Reopens the video table shared after an exclusive operation and reapplies the viewer
    // configuration; engine errors are shown, not raised.
    void ReopenShared();
    // A restored database becomes the current one (closed, with the settings in memory): the
    // database left behind writes its settings and lists when it is another file, then the
    // path, companion paths, caption and recent list follow the restored table.
    void MakeCurrentDatabase(const std::string& path);
    // Reads the current database's configuration file again and applies it (fonts, viewer
    // configuration, colours, record count).
    void ReloadDatabaseSettings();

    // ---- Extension points ------------------------------------------------------------
    // Gives a menu item its command, by component name ("MenuAdd", "MenuMaintainStars",
    // ...).  Answers false for an unknown name.
    bool provideCommand(const QString& itemName, std::function<void()> handler);
    // Whether a menu item has its command (the window's own or a provided one).
    bool hasCommand(const QString& itemName) const;
    void setDataLists(DataLists* lists) { dataLists_ = lists; }
    void setViewerOptionsHandler(std::function<void()> handler) { viewerOptions_ = std::move(handler); }
    QAction* menuItem(const QString& name) const;
    QTableView* viewerGrid() const { return ViewerGrid; }
    // Puts the viewer's own grid in place of the placeholder ViewerGrid (the window takes
    // ownership).  A double click on the placeholder runs Edit; the viewer's grid wires its
    // own double click.
    void setViewerGrid(QTableView* grid);
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
    enum class SwitchKind { Open, New, Recent, StartUp };

    void createControls();
    void createMenus();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {});
    void connectButton(QAbstractButton* button, QAction* item, bool lettered);
    void layoutForMode();
    void updateCommandStates();
    void updateTicks();
    void startUp(const MainOptions& options);
    bool openStartDatabase(const std::string& path);
    void askForValidDatabase();
    void switchDatabase(const std::string& newPath, SwitchKind kind);
    void loadDatabaseSettings(SwitchKind kind);
    void pointTableAt(const std::string& path);
    void ensureProgramFolder();
    void chooseScreenSize(int size);
    void chooseButtonBar(int mode);
    void chooseFont(rv::app::FontSpec& font);
    void navigatorClicked(TNavigator::Button button);
    void updateNavigator();
    void doOpen(SwitchKind kind);
    std::optional<std::string> chooseDatabaseFile(FileRequest::Mode mode, const QString& title);
    // Pack and Rebuild: ask, take the table exclusively (or show inUseMessage), work, and
    // reopen it shared.
    void runExclusive(const QString& question, const QString& inUseMessage, const std::function<void()>& work);
    bool browseBlocked(const QAction* item) const;

    // State
    rv::app::Settings settings_;
    rv::db::Table table_;
    rv::app::DisplayFormats formats_;
    std::filesystem::path programFolder_;
    std::filesystem::path basePath_;
    std::filesystem::path indexFilePath_;
    std::filesystem::path configFilePath_;
    std::string sortExpression_;
    bool started_ = false;
    bool browseMode_ = false;
    bool savedFieldEditing_ = false;
    bool searchInForce_ = false;
    bool shownOnce_ = false;
    bool activatedOnce_ = false;
    int editorMode_ = 1;
    int tickedSize_ = 640;
    int appliedMode_ = 1;   // the button bar mode the window is laid out for
    int tableListener_ = 0;
    double scaleFactor_ = 1.0;
    QSize screenSize_;
    DataLists* dataLists_ = nullptr;
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
