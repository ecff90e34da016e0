#include "gui/app/TMain.h"

#include <QDialog>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QToolButton>

#include <system_error>

#include "core/app/Paths.h"
#include "core/db/SortOrder.h"
#include "core/db/VideoTable.h"
#include "core/lists/DefaultLists.h"
#include "gui/app/MainIcons.h"
#include "gui/app/MainRules.h"
#include "gui/app/TColorConfig.h"
#include "gui/common/Colors.h"
#include "gui/common/Messages.h"
#include "gui/common/Placement.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"
#include "gui/db/TMySortOrder.h"

namespace rv::gui {

namespace fs = std::filesystem;

namespace {

const QString kCaption = QStringLiteral("Reelvane Videos 97");
const QString kInvalidLastDatabase = QStringLiteral(
    "The last database used as recorded in the INI file is not a valid Reelvane Videos 97 file.  You "
    "will need to choose a new file.");
const QString kInvalidFileType = QStringLiteral("Invalid file type selected.");
const QString kPackQuestion = QStringLiteral(
    "Deleted items are not permanently removed from the database until packing occurs.  Packing simply "
    "removes them to free up space.  Continue?");
const QString kRebuildQuestion = QStringLiteral(
    "It is possible for your index files to become corrupted.  As a result, some items may not show up "
    "in the viewer or in reports.  This will rebuild your index files correctly.  Continue?");
const QString kDatabaseFilter = QStringLiteral("Database Files (*.DBF)|*.DBF");

// The names of the twelve date format items, by format number.
const char* const kDateItemNames[12] = {
    "MenuDateMDYSlash",   "MenuDateMDYDash",   "MenuDateMDYDot",   "MenuDateDMYSlash",
    "MenuDateDMYDash",    "MenuDateDMYDot",    "MenuDateMDYSlashYr", "MenuDateMDYDashYr",
    "MenuDateMDYDotYr",   "MenuDateDMYSlashYr", "MenuDateDMYDashYr", "MenuDateDMYDotYr",
};

// The List Maintenance items after the two default commands.
struct MaintainItem {
    const char* name;
    const char* caption;
};
const MaintainItem kMaintainItems[17] = {
    {"MenuMaintainStars", "&Stars"},         {"MenuMaintainProducer", "&Producer"},
    {"MenuMaintainDirector", "&Director"},   {"MenuMaintainReleasedBy", "&Released By"},
    {"MenuMaintainRating", "Ra&ting"},       {"MenuMaintainCategory", "Cate&gory"},
    {"MenuMaintainPersRating", "Perso&nal Rating"}, {"MenuMaintainPicture", "P&icture"},
    {"MenuMaintainSound", "So&und"},         {"MenuMaintainFormat", "&Format"},
    {"MenuMaintainRecSpeed", "R&ecord Speed"}, {"MenuMaintainContent", "&Content"},
    {"MenuMaintainLaser", "&Laser Format"},  {"MenuMaintainOscars", "&Oscars"},
    {"MenuMaintainCheckOut", "Chec&k Out Person"}, {"MenuMaintainWherePurch", "&Where Purchased"},
    {"MenuMaintainMisc", "&Miscellaneous"},
};

bool fileExists(const fs::path& p) {
    std::error_code ec;
    return !p.empty() && fs::is_regular_file(p, ec);
}

QFrame* makeBevel(QWidget* parent, const char* name) {
    auto* f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setFrameShape(QFrame::Panel);
    f->setFrameShadow(QFrame::Raised);
    f->setLineWidth(1);
    return f;
}

}  // namespace

// ---- Construction -------------------------------------------------------------------------

TMain::TMain(MainOptions options, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("TMain"));
    createMenus();
    createControls();
    tableListener_ = table_.subscribe([this](rv::db::Table::Event) { updateNavigator(); });
    startUp(options);
}

TMain::~TMain() {
    table_.unsubscribe(tableListener_);
    // Windows plugged in by other subsystems (the viewer's grid and model, the record editor)
    // hold on to the table and the settings: delete them while those members still exist,
    // not afterwards in QObject's destructor.
    for (QDialog* dialog : findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) delete dialog;
    delete takeCentralWidget();
}

QAction* TMain::addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut) {
    auto* a = new QAction(caption, this);
    a->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    menu->addAction(a);
    commandItems_.push_back(a);
    connect(a, &QAction::triggered, this, [this, a] {
        auto it = handlers_.find(a);
        if (it != handlers_.end()) {
            auto handler = it->second;  // a handler may replace itself while it runs
            runCommand(handler);
        }
        updateTicks();
    });
    return a;
}

void TMain::createMenus() {
    QMenuBar* bar = menuBar();
    auto key = [](const char* k) { return QKeySequence(QString::fromLatin1(k)); };

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    MenuNew = addItem(file, "MenuNew", QStringLiteral("&New Database"), key("Ctrl+W"));
    MenuOpen = addItem(file, "MenuOpen", QStringLiteral("&Open Database"), key("Ctrl+O"));
    MenuUpdateDatabase = addItem(file, "MenuUpdateDatabase", QStringLiteral("&Update Database"), key("Ctrl+Z"));
    file->addSeparator();
    MenuBackup = addItem(file, "MenuBackup", QStringLiteral("&Back Up Data"), key("Ctrl+B"));
    MenuRestore = addItem(file, "MenuRestore", QStringLiteral("&Restore Data"), key("Ctrl+Y"));
    file->addSeparator();
    MenuPrint = addItem(file, "MenuPrint", QStringLiteral("&Print"), key("Ctrl+P"));
    file->addSeparator();
    MenuExit = addItem(file, "MenuExit", QStringLiteral("E&xit"), key("Ctrl+X"));
    MenuExitSep = file->addSeparator();
    MenuExitSep->setObjectName(QStringLiteral("MenuExitSep"));
    for (int i = 0; i < 5; ++i) {
        auto* a = new QAction(QStringLiteral("&%1").arg(i + 1), this);
        a->setObjectName(QStringLiteral("MenuLastFile%1").arg(i + 1));
        file->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] {
            const std::string path = settings_.recentDatabases[static_cast<std::size_t>(i)];
            runCommand([&] { OpenSaveFile(path); });
        });
        MenuLastFile[static_cast<std::size_t>(i)] = a;
    }

    QMenu* records = bar->addMenu(QStringLiteral("&Records"));
    MenuAdd = addItem(records, "MenuAdd", QStringLiteral("&Add"), key("Ctrl+A"));
    MenuEdit = addItem(records, "MenuEdit", QStringLiteral("&Edit"), key("Ctrl+E"));
    MenuCopy = addItem(records, "MenuCopy", QStringLiteral("&Copy"), key("Ctrl+C"));
    MenuDelete = addItem(records, "MenuDelete", QStringLiteral("&Delete"), key("Ctrl+D"));
    records->addSeparator();
    MenuImport = addItem(records, "MenuImport", QStringLiteral("&Import"), key("Ctrl+M"));
    MenuExport = addItem(records, "MenuExport", QStringLiteral("E&xport"), key("Ctrl+T"));

    QMenu* navigate = bar->addMenu(QStringLiteral("Navi&gate"));
    MenuSearch = addItem(navigate, "MenuSearch", QStringLiteral("&Search (Query)"), key("Ctrl+S"));
    MenuEndSearch = addItem(navigate, "MenuEndSearch", QStringLiteral("&End Search"), key("Ctrl+I"));
    MenuFind = addItem(navigate, "MenuFind", QStringLiteral("&Locate"), key("Ctrl+L"));
    MenuFindNext = addItem(navigate, "MenuFindNext", QStringLiteral("Locate &Next"), key("Ctrl+N"));
    MenuReports = addItem(navigate, "MenuReports", QStringLiteral("&Reports"), key("Ctrl+R"));
    MenuViewer = addItem(navigate, "MenuViewer", QStringLiteral("&Viewer"), key("Ctrl+V"));

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    MenuSortOrder = addItem(options, "MenuSortOrder", QStringLiteral("Sort &Order"), key("Ctrl+Q"));
    QMenu* size = options->addMenu(QStringLiteral("Screen Si&ze"));
    size->menuAction()->setObjectName(QStringLiteral("MenuScreenSize"));
    N640x480 = addItem(size, "N640x480", QStringLiteral("640 x 480"), key("Shift+F1"));
    N800x600 = addItem(size, "N800x600", QStringLiteral("800 x 600"), key("Shift+F2"));
    N1024x768 = addItem(size, "N1024x768", QStringLiteral("1024 x 768"), key("Shift+F3"));
    N1280x1024 = addItem(size, "N1280x1024", QStringLiteral("1280 x 1024"), key("Shift+F4"));
    sizeItems_ = {{640, N640x480}, {800, N800x600}, {1024, N1024x768}, {1280, N1280x1024}};
    QMenu* access = options->addMenu(QStringLiteral("&Screen Access"));
    access->menuAction()->setObjectName(QStringLiteral("MenuScreenAccess"));
    MenuSpeed = addItem(access, "MenuSpeed", QStringLiteral("&Speed Buttons"), key("Ctrl+F1"));
    MenuButtons = addItem(access, "MenuButtons", QStringLiteral("&Lettered Buttons"), key("Ctrl+F2"));
    MenuNoButtons = addItem(access, "MenuNoButtons", QStringLiteral("&None"), key("Ctrl+F3"));
    QMenu* color = options->addMenu(QStringLiteral("&Color"));
    color->menuAction()->setObjectName(QStringLiteral("MenuColor"));
    MenuMainColor = addItem(color, "MenuMainColor", QStringLiteral("&Main Window Color"), key("Ctrl+F4"));
    MenuEditColor = addItem(color, "MenuEditColor", QStringLiteral("&Edit Window Color"), key("Ctrl+F5"));
    MenuSearchColor = addItem(color, "MenuSearchColor", QStringLiteral("&Search Window Color"), key("Ctrl+F6"));
    MenuReportColor = addItem(color, "MenuReportColor", QStringLiteral("&Report Window Color"), key("Ctrl+F7"));
    MenuConfigColor = addItem(color, "MenuConfigColor", QStringLiteral("&Configure Window Color"), key("Ctrl+F8"));
    MenuAllColor = addItem(color, "MenuAllColor", QStringLiteral("&ALL Windows Color"), key("Ctrl+F9"));
    MenuListMaintenance = options->addMenu(QStringLiteral("List &Maintenance"));
    MenuListMaintenance->menuAction()->setObjectName(QStringLiteral("MenuListMaintenance"));
    MenuSaveDefaults = addItem(MenuListMaintenance, "MenuSaveDefaults", QStringLiteral("Sa&ve As Defaults"));
    MenuLoadDefaults = addItem(MenuListMaintenance, "MenuLoadDefaults", QStringLiteral("Lo&ad In Defaults"));
    MenuListMaintenance->addSeparator();
    for (const auto& m : kMaintainItems) addItem(MenuListMaintenance, m.name, QString::fromLatin1(m.caption));
    QMenu* currency = options->addMenu(QStringLiteral("C&urrency Format"));
    currency->menuAction()->setObjectName(QStringLiteral("MenuCurrencyFormat"));
    MenuCurrencyUS = addItem(currency, "MenuCurrencyUS", QStringLiteral("&U.S. Dollars"));
    MenuCurrencyWin = addItem(currency, "MenuCurrencyWin", QStringLiteral("&Windows Setting"));
    QMenu* numeric = options->addMenu(QStringLiteral("&Numeric Format"));
    numeric->menuAction()->setObjectName(QStringLiteral("MenuNumericFormat"));
    MenuNumericUS = addItem(numeric, "MenuNumericUS", QStringLiteral("&U.S. Format"));
    MenuNumericWin = addItem(numeric, "MenuNumericWin", QStringLiteral("&Windows Setting"));
    QMenu* date = options->addMenu(QStringLiteral("&Date Format"));
    date->menuAction()->setObjectName(QStringLiteral("MenuDateFormat"));
    MenuDateLeadingZeros = addItem(date, "MenuDateLeadingZeros", QStringLiteral("&Leading Zeros"));
    date->addSeparator();
    for (int n = 1; n <= 12; ++n)
        dateItems_[n] = addItem(date, kDateItemNames[n - 1], QString::fromLatin1(rv::app::dateFormat(n)->caption));
    options->addSeparator();
    MenuLabelFont = addItem(options, "MenuLabelFont", QStringLiteral("&Label Font"), key("Shift+F8"));
    MenuEditFont = addItem(options, "MenuEditFont", QStringLiteral("&Edit Font"), key("Shift+F9"));
    MenuButtonFont = addItem(options, "MenuButtonFont", QStringLiteral("&Button Font"), key("Shift+F10"));

    QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
    MenuSearchReplace = addItem(tools, "MenuSearchReplace", QStringLiteral("&Search and Replace"), key("Ctrl+F"));
    MenuRebuild = addItem(tools, "MenuRebuild", QStringLiteral("&Rebuild Indexes"));
    MenuPack = addItem(tools, "MenuPack", QStringLiteral("&Pack Database"));

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    MenuContents = addItem(help, "MenuContents", QStringLiteral("&Contents"), key("Ctrl+H"));
    MenuTips = addItem(help, "MenuTips", QStringLiteral("&Review \"Tips of the Day\""));
    MenuAbout = addItem(help, "MenuAbout", QStringLiteral("&About"));
    MenuOtherProd = addItem(help, "MenuOtherProd", QStringLiteral("Other &Products"));

    // Ticked items.
    for (QAction* a : {N640x480, N800x600, N1024x768, N1280x1024, MenuSpeed, MenuButtons, MenuNoButtons,
                       MenuCurrencyUS, MenuCurrencyWin, MenuNumericUS, MenuNumericWin, MenuDateLeadingZeros})
        a->setCheckable(true);
    for (auto& [n, a] : dateItems_) a->setCheckable(true);

    // The commands of this window.
    handlers_[MenuNew] = [this] { DoNew(); };
    handlers_[MenuOpen] = [this] { DoOpen(); };
    handlers_[MenuUpdateDatabase] = [this] { MenuUpdateDatabaseClick(); };
    handlers_[MenuExit] = [this] { close(); };
    handlers_[MenuEndSearch] = [this] { DoEndSearch(); };
    handlers_[MenuSortOrder] = [this] { DoSortOrder(); };
    for (auto& [sz, a] : sizeItems_) handlers_[a] = [this, sz = sz] { chooseScreenSize(sz); };
    handlers_[MenuSpeed] = [this] { chooseButtonBar(1); };
    handlers_[MenuButtons] = [this] { chooseButtonBar(2); };
    handlers_[MenuNoButtons] = [this] { chooseButtonBar(3); };
    int code = 1;
    for (QAction* a : {MenuMainColor, MenuEditColor, MenuSearchColor, MenuReportColor, MenuConfigColor, MenuAllColor})
        handlers_[a] = [this, c = code++] { DoColors(c); };
    handlers_[MenuCurrencyUS] = [this] { rv::app::chooseCurrencyFormat(settings_, formats_, 1); };
    handlers_[MenuCurrencyWin] = [this] { rv::app::chooseCurrencyFormat(settings_, formats_, 2); };
    handlers_[MenuNumericUS] = [this] { rv::app::chooseNumericFormat(settings_, formats_, 1); };
    handlers_[MenuNumericWin] = [this] { rv::app::chooseNumericFormat(settings_, formats_, 2); };
    handlers_[MenuDateLeadingZeros] = [this] {
        if (rv::app::toggleLeadingZeros(settings_, formats_) && table_.isOpen()) table_.refresh();
    };
    for (auto& [n, a] : dateItems_)
        handlers_[a] = [this, n = n] {
            if (rv::app::chooseDateFormat(settings_, formats_, n) && table_.isOpen()) table_.refresh();
        };
    handlers_[MenuLabelFont] = [this] { chooseFont(settings_.labelFont); };
    handlers_[MenuEditFont] = [this] { chooseFont(settings_.editFont); };
    handlers_[MenuButtonFont] = [this] { chooseFont(settings_.buttonFont); };
    handlers_[MenuRebuild] = [this] { MenuRebuildClick(); };
    handlers_[MenuPack] = [this] { MenuPackClick(); };
}

void TMain::connectButton(QAbstractButton* button, QAction* item, bool lettered) {
    (lettered ? letteredButtons_ : pictureButtons_)[item].push_back(button);
    connect(button, &QAbstractButton::clicked, this, [item] {
        if (item->isEnabled()) item->trigger();
    });
}

void TMain::createControls() {
    Client = new QWidget(this);
    Client->setObjectName(QStringLiteral("Client"));
    QFont design(QStringLiteral("Arial"));
    design.setPixelSize(13);
    Client->setFont(design);
    setCentralWidget(Client);
    setMinimumSize(320, 240);

    // Picture buttons.
    SpeedPanel = new QWidget(Client);
    SpeedPanel->setObjectName(QStringLiteral("SpeedPanel"));
    struct SpeedDef {
        QToolButton** member;
        const char* name;
        int left;
        const char* hint;
        MainIcon icon;
        QAction* item;
    };
    const SpeedDef speeds[] = {
        {&NewSpeed, "NewSpeed", 0, "New Database", MainIcon::NewDatabase, MenuNew},
        {&OpenSpeed, "OpenSpeed", 24, "Open Database", MainIcon::OpenDatabase, MenuOpen},
        {&AddSpeed, "AddSpeed", 52, "Add Record", MainIcon::AddRecord, MenuAdd},
        {&EditSpeed, "EditSpeed", 76, "Edit Record", MainIcon::EditRecord, MenuEdit},
        {&CopySpeed, "CopySpeed", 100, "Copy Record", MainIcon::CopyRecord, MenuCopy},
        {&DeleteSpeed, "DeleteSpeed", 124, "Delete Record", MainIcon::DeleteRecord, MenuDelete},
        {&ImportSpeed, "ImportSpeed", 148, "Import Records", MainIcon::ImportRecords, MenuImport},
        {&ExportSpeed, "ExportSpeed", 172, "Export Records", MainIcon::ExportRecords, MenuExport},
        {&SearchSpeed, "SearchSpeed", 200, "Search Records", MainIcon::Search, MenuSearch},
        {&EndSearchSpeed, "EndSearchSpeed", 224, "End Search", MainIcon::EndSearch, MenuEndSearch},
        {&LocateSpeed, "LocateSpeed", 248, "Locate Record", MainIcon::Locate, MenuFind},
        {&LocateNextSpeed, "LocateNextSpeed", 272, "Locate Next Record", MainIcon::LocateNext, MenuFindNext},
        {&ReportSpeed, "ReportSpeed", 296, "Reports", MainIcon::Reports, MenuReports},
        {&ViewerSpeed, "ViewerSpeed", 320, "Viewer Configuration", MainIcon::ViewerConfig, MenuViewer},
        {&ColorSpeed, "ColorSpeed", 344, "Color Setup", MainIcon::ColorSetup, MenuAllColor},
        {&SpeedSetOrder, "SpeedSetOrder", 368, "Set Sorting Order", MainIcon::SortOrder, MenuSortOrder},
        {&HelpSpeed, "HelpSpeed", 396, "Help", MainIcon::Help, MenuContents},
    };
    for (const auto& d : speeds) {
        auto* b = new QToolButton(SpeedPanel);
        b->setObjectName(QString::fromLatin1(d.name));
        b->setToolTip(QString::fromLatin1(d.hint));
        b->setIcon(mainIcon(d.icon));
        b->setIconSize(QSize(20, 20));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(d.left, 2, 25, 25);
        *d.member = b;
        connectButton(b, d.item, false);
    }

    // Lettered buttons in their frames (frames first so the buttons lie on top).
    Bevel1 = makeBevel(Client, "Bevel1");
    Bevel3 = makeBevel(Client, "Bevel3");
    Bevel2 = makeBevel(Client, "Bevel2");
    Bevel4 = makeBevel(Client, "Bevel4");
    Bevel1->setGeometry(4, 4, 149, 77);
    Bevel3->setGeometry(156, 4, 77, 77);
    Bevel2->setGeometry(236, 4, 77, 77);
    Bevel4->setGeometry(316, 4, 77, 77);
    struct LetterDef {
        QPushButton** member;
        const char* name;
        const char* caption;
        int left, top;
        QAction* item;
    };
    const LetterDef letters[] = {
        {&AddButton, "AddButton", "&Add", 8, 8, MenuAdd},
        {&EditButton, "EditButton", "&Edit", 8, 44, MenuEdit},
        {&CopyButton, "CopyButton", "&Copy", 80, 8, MenuCopy},
        {&DeleteButton, "DeleteButton", "&Delete", 80, 44, MenuDelete},
        {&SearchButton, "SearchButton", "&Search", 160, 8, MenuSearch},
        {&EndSearchButton, "EndSearchButton", "E&nd Srch", 160, 44, MenuEndSearch},
        {&ReportButton, "ReportButton", "&Reports", 240, 8, MenuReports},
        {&ViewerButton, "ViewerButton", "&Viewer", 240, 44, MenuViewer},
        {&HelpButton, "HelpButton", "He&lp", 320, 8, MenuContents},
        {&ButtonExit, "ButtonExit", "E&xit", 320, 44, MenuExit},
    };
    for (const auto& d : letters) {
        auto* b = new QPushButton(QString::fromLatin1(d.caption), Client);
        b->setObjectName(QString::fromLatin1(d.name));
        b->setGeometry(d.left, d.top, 69, 33);
        *d.member = b;
        connectButton(b, d.item, true);
    }

    NavigatorLabel = new QLabel(QStringLiteral("Navigation Controls"), Client);
    NavigatorLabel->setObjectName(QStringLiteral("NavigatorLabel"));
    NavigatorLabel->setAlignment(Qt::AlignCenter);
    MyNavigator = new TNavigator(Client);
    connect(MyNavigator, &TNavigator::clicked, this, &TMain::navigatorClicked);

    ViewerBevel = makeBevel(Client, "ViewerBevel");
    CountLabel = new QLabel(QStringLiteral("0"), Client);
    CountLabel->setObjectName(QStringLiteral("CountLabel"));
    CountLabel->setAlignment(Qt::AlignCenter);
    Count2Label = new QLabel(QStringLiteral("Videos"), Client);
    Count2Label->setObjectName(QStringLiteral("Count2Label"));
    Count2Label->setAlignment(Qt::AlignCenter);
    SearchOnLabel = new QLabel(QStringLiteral("SEARCH ON"), Client);
    SearchOnLabel->setObjectName(QStringLiteral("SearchOnLabel"));
    QFont bold = design;
    bold.setBold(true);
    SearchOnLabel->setFont(bold);
    ViewerLabel = new QLabel(Client);
    ViewerLabel->setObjectName(QStringLiteral("ViewerLabel"));
    QFont title = design;
    title.setBold(true);
    title.setPixelSize(17);
    ViewerLabel->setFont(title);
    ViewerLabel->setAlignment(Qt::AlignCenter);
    ViewerGrid = new QTableView(Client);
    ViewerGrid->setObjectName(QStringLiteral("ViewerGrid"));
    ViewerGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ViewerGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(ViewerGrid, &QTableView::doubleClicked, this, [this] {
        if (MenuEdit->isEnabled()) MenuEdit->trigger();
    });
}

void TMain::setViewerGrid(QTableView* grid) {
    if (!grid || grid == ViewerGrid) return;
    grid->setParent(Client);
    grid->setObjectName(QStringLiteral("ViewerGrid"));
    grid->setGeometry(ViewerGrid->geometry());
    grid->setVisible(true);
    // The new grid lies where the placeholder lay: above the frame and the label.
    grid->stackUnder(ViewerGrid);
    delete ViewerGrid;
    ViewerGrid = grid;
    layoutForMode();
}

// ---- Start-up -----------------------------------------------------------------------------

void TMain::ensureProgramFolder() {
    std::error_code ec;
    fs::create_directories(programFolder_, ec);
    // First start: the default list files the program ships with.
    rv::lists::seedDefaultLists(programFolder_);
}

void TMain::startUp(const MainOptions& options) {
    // Step 2.
    DisableEndSearch();
    setWindowTitle(kCaption);
    ViewerLabel->setText(QStringLiteral("Video Viewer"));
    // Step 3.
    programFolder_ = rv::app::programDir();
    rv::app::startFolder();
    ensureProgramFolder();
    // Step 5.
    rv::app::loadProgramSettings(settings_, rv::app::programConfigFile(), rv::app::startFolder());
    move(settings_.mainLeft, settings_.mainTop);
    resize(settings_.mainWidth, settings_.mainHeight);
    // Step 6.
    formats_ = rv::app::DisplayFormats(settings_, rv::app::IntlSettings{});
    table_.setDateCodec(&formats_.date());
    // Step 7.
    std::string path = settings_.lastDatabase;
    if (!fileExists(path)) {
        path = rv::app::findFileNoCase(programFolder_, "MASTER.DBF").string();
        if (!fileExists(path)) {
            bool made = false;
            runCommand([&] { made = MakeNewDB(path); });
            if (!made) return;
        }
    }
    // Step 8.
    bool valid = false;
    runCommand([&] { valid = CheckDBaseFormat(this, path); });
    if (valid) {
        openStartDatabase(path);
    } else {
        settings_.lastDatabase = path;
        askForValidDatabase();
    }
    // Step 9.
    SetButtonBar();
    // Step 10.
    if (options.screenSize) {
        screenSize_ = *options.screenSize;
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        screenSize_ = screen->size();
    } else {
        screenSize_ = QSize(640, 480);
    }
    tickedSize_ = usableWindowSize(settings_.windowSize, screenSize_.width(), screenSize_.height());
    scaleFactor_ = scaleFactorOf(tickedSize_);
    // Step 11.
    formats_.setIntl(rv::app::readIntlSettings());
    // Step 12.
    SetMenuLastFiles();
    if (options.checkForConversion) runCommand([&] { options.checkForConversion(*this); });
    // Step 14.
    if (!options.arguments.isEmpty() && isBrowseArgument(options.arguments.front().toStdString())) {
        browseMode_ = true;
        MyNavigator->setMovingOnly(true);
        savedFieldEditing_ = settings_.fieldEditing;
        settings_.fieldEditing = false;
    }
    updateCommandStates();
    updateTicks();
    started_ = true;
}

void TMain::pointTableAt(const std::string& path) {
    settings_.lastDatabase = path;
    std::error_code ec;
    fs::path full = fs::absolute(path, ec);
    if (ec) full = path;
    table_.setPath(full);
    setWindowTitle(kCaption + QStringLiteral(" (") + pathToQ(table_.tableName()) + QLatin1Char(')'));
    indexFilePath_ = table_.mdxPath();
}

bool TMain::openStartDatabase(const std::string& path) {
    table_.close();
    pointTableAt(path);
    configFilePath_ = rv::app::databaseConfigFile(table_.path());
    basePath_ = table_.basePath();
    loadDatabaseSettings(SwitchKind::StartUp);
    BuildSortString();
    runCommand([&] {
        try {
            rv::db::openSortTag(table_, sortExpression_);
        } catch (...) {
            // Without its tag the table still opens, in record order.
            table_.setIndexName("");
            throw;
        }
    });
    bool opened = false;
    runCommand([&] {
        table_.setExclusive(false);
        table_.open();
        opened = true;
    });
    return opened;
}

void TMain::askForValidDatabase() {
    prompt().error(this, kInvalidLastDatabase);
    for (;;) {
        doOpen(SwitchKind::StartUp);
        bool valid = false;
        runCommand([&] { valid = CheckDBaseFormat(this, settings_.lastDatabase); });
        if (valid) break;
    }
}

void TMain::loadDatabaseSettings(SwitchKind kind) {
    if (kind == SwitchKind::New)
        rv::app::loadNewDatabaseSettings(settings_);
    else
        rv::app::loadDatabaseSettings(settings_, configFilePath_, rv::app::programConfigFile());
    if (browseMode_) {
        savedFieldEditing_ = settings_.fieldEditing;
        settings_.fieldEditing = false;
    }
}

void TMain::SaveDatabaseSettings() {
    if (configFilePath_.empty()) return;
    if (browseMode_) {
        rv::app::Settings stored = settings_;
        stored.fieldEditing = savedFieldEditing_;
        rv::app::saveDatabaseSettings(stored, configFilePath_);
    } else {
        rv::app::saveDatabaseSettings(settings_, configFilePath_);
    }
}

// ---- Program end --------------------------------------------------------------------------

void TMain::closeEvent(QCloseEvent* event) {
    searchInForce_ = false;
    settings_.mainLeft = x();
    settings_.mainTop = y();
    settings_.mainWidth = width();
    settings_.mainHeight = height();
    rv::app::Settings stored = settings_;
    if (browseMode_) stored.fieldEditing = savedFieldEditing_;
    rv::app::saveProgramSettings(stored, rv::app::programConfigFile());
    if (!configFilePath_.empty()) rv::app::saveDatabaseSettings(stored, configFilePath_);
    event->accept();
}

// ---- Layout -------------------------------------------------------------------------------

void TMain::SetButtonBar() {
    if (settings_.buttonBar < 1 || settings_.buttonBar > 3) return;
    appliedMode_ = settings_.buttonBar;
    layoutForMode();
    updateCommandStates();
    updateTicks();
}

void TMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutForMode();
}

void TMain::layoutForMode() {
    const int cw = Client->width();
    const int ch = Client->height();
    const int mode = appliedMode_;

    SpeedPanel->setVisible(mode == 1);
    SpeedPanel->setGeometry(0, 0, cw, 31);
    for (QWidget* w : std::initializer_list<QWidget*>{Bevel1, Bevel2, Bevel3, Bevel4, AddButton, EditButton, CopyButton,
                                                      DeleteButton, SearchButton, EndSearchButton, ReportButton,
                                                      ViewerButton, HelpButton, ButtonExit})
        w->setVisible(mode == 2);
    NavigatorLabel->setVisible(mode == 2);
    NavigatorLabel->setGeometry(400, 20, 221, 20);

    // The navigator keeps its place; where the window is too narrow for its full width its
    // buttons share what is left rather than run off the edge.
    int navLeft = 0, navTop = 0, navWidth = 0;
    switch (mode) {
    case 1: navLeft = 424; navTop = 3; navWidth = 241; break;
    case 2: navLeft = 400; navTop = 47; navWidth = 221; break;
    default: navLeft = cw - 207; navTop = 8; navWidth = 201; break;
    }
    navWidth = std::max(std::min(navWidth, cw - navLeft - 4), 100);
    MyNavigator->setGeometry(navLeft, navTop, navWidth, 25);

    const int searchTop = mode == 1 ? 44 : mode == 2 ? 96 : 14;
    const int countTop = mode == 1 ? 38 : mode == 2 ? 90 : 8;
    const int count2Top = mode == 1 ? 52 : mode == 2 ? 105 : 23;
    const int bevelTop = mode == 1 ? 34 : mode == 2 ? 86 : 4;
    const int labelTop = mode == 1 ? 38 : mode == 2 ? 90 : 8;
    const int gridTop = mode == 1 ? 70 : mode == 2 ? 122 : 40;

    CountLabel->setGeometry(10, countTop, 57, 15);
    Count2Label->setGeometry(10, count2Top, 57, 15);
    SearchOnLabel->setGeometry(72, searchTop, 90, 16);
    ViewerBevel->setGeometry(3, bevelTop, cw - 6, ch - bevelTop - 3);
    ViewerLabel->adjustSize();
    const int labelWidth = ViewerLabel->width();
    ViewerLabel->setGeometry((cw - labelWidth) / 2, labelTop, labelWidth, 23);
    ViewerGrid->setGeometry(7, gridTop, cw - 14, ch - gridTop - 7);
}

// ---- Command states -----------------------------------------------------------------------

bool TMain::browseBlocked(const QAction* item) const {
    if (item == MenuAdd || item == MenuCopy || item == MenuDelete || item == MenuBackup || item == MenuRestore ||
        item == MenuViewer || item == MenuImport || item == MenuSearchReplace)
        return true;
    return MenuListMaintenance->actions().contains(const_cast<QAction*>(item));
}

void TMain::updateCommandStates() {
    for (QAction* a : commandItems_) {
        bool enabled = handlers_.count(a) > 0 && !(browseMode_ && browseBlocked(a));
        if (a == MenuEndSearch) enabled = enabled && searchInForce_;
        a->setEnabled(enabled);
    }
    for (auto& [item, buttons] : pictureButtons_)
        for (QAbstractButton* b : buttons) b->setEnabled(item->isEnabled());
    for (auto& [item, buttons] : letteredButtons_)
        for (QAbstractButton* b : buttons) b->setEnabled(item->isEnabled() && appliedMode_ == 2);
    MenuListMaintenance->menuAction()->setEnabled(!browseMode_);
    updateNavigator();
}

void TMain::updateTicks() {
    for (auto& [sz, a] : sizeItems_) a->setChecked(sz == tickedSize_);
    MenuSpeed->setChecked(appliedMode_ == 1);
    MenuButtons->setChecked(appliedMode_ == 2);
    MenuNoButtons->setChecked(appliedMode_ == 3);
    for (auto& [n, a] : dateItems_) a->setChecked(n == settings_.dateFormat);
    MenuDateLeadingZeros->setChecked(settings_.dateLeadingZeros);
    MenuCurrencyUS->setChecked(settings_.currencyFormat == 1);
    MenuCurrencyWin->setChecked(settings_.currencyFormat == 2);
    MenuNumericUS->setChecked(settings_.numericFormat == 1);
    MenuNumericWin->setChecked(settings_.numericFormat == 2);
}

bool TMain::provideCommand(const QString& itemName, std::function<void()> handler) {
    QAction* a = menuItem(itemName);
    if (!a || std::find(commandItems_.begin(), commandItems_.end(), a) == commandItems_.end()) return false;
    handlers_[a] = std::move(handler);
    updateCommandStates();
    return true;
}

bool TMain::hasCommand(const QString& itemName) const {
    QAction* a = menuItem(itemName);
    return a && handlers_.count(a) > 0;
}

QAction* TMain::menuItem(const QString& name) const {
    for (QAction* a : findChildren<QAction*>())
        if (a->objectName() == name) return a;
    return nullptr;
}

void TMain::runCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const UnscriptedPrompt&) {
        throw;  // a test script ran out; let the test see it
    } catch (const std::exception& e) {
        prompt().show(this, kProgramTitle, toQ(e.what()), Icon::Error);
    }
}

// ---- Showing ------------------------------------------------------------------------------

void TMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    DoFileSpecific();
}

void TMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow() || activatedOnce_) return;
    activatedOnce_ = true;
    if (settings_.showTips && handlers_.count(MenuTips)) MenuTips->trigger();
}

void TMain::DisplayCount() {
    int count = 0;
    if (table_.isOpen()) runCommand([&] { count = table_.recordCount(); });
    CountLabel->setText(QString::number(count));
}

void TMain::DoFileSpecific() {
    ApplyFonts(this, settings_);
    SetViewerOptions();
    SetColors();
    DisplayCount();
}

void TMain::SetViewerOptions() {
    if (viewerOptions_) runCommand(viewerOptions_);
}

void TMain::SetColors() {
    using namespace rv::app;
    const ColorSet& c = settings_.colors[MainWindowColors];
    paintBackground(Client, c[MainBackground]);
    paintTextAndBackground(ViewerLabel, c[MajorTitle], c[MainBackground]);
    paintTextAndBackground(NavigatorLabel, c[MinorTitle], c[MainBackground]);
    // The count and the search marker lie on the window background too; they take the minor
    // title colour so they stay readable on dark schemes.
    for (QLabel* l : {CountLabel, Count2Label, SearchOnLabel}) paintText(l, c[MinorTitle]);
}

void TMain::PlaceDialog(QWidget* dialog) { placeDialog(dialog, settings_, scaleFactor_, screenSize_); }

// ---- Recent databases ---------------------------------------------------------------------

void TMain::SetMenuLastFiles() {
    const auto& recent = settings_.recentDatabases;
    const bool any = std::any_of(recent.begin(), recent.end(), [](const std::string& s) { return !s.empty(); });
    MenuExitSep->setVisible(any);
    for (std::size_t i = 0; i < recent.size(); ++i) {
        QAction* a = MenuLastFile[i];
        if (!any || recent[i].empty()) {
            a->setVisible(false);
            continue;
        }
        // Ampersands in the path are doubled so they show and do not make access keys.
        QString shown = pathToQ(recent[i]);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        a->setText(QStringLiteral("&%1   ").arg(i + 1) + shown);
        a->setVisible(true);
    }
}

void TMain::DoLastFiles(const std::string& previous, const std::string& newPath) {
    doLastFiles(settings_.recentDatabases, previous, newPath);
    SetMenuLastFiles();
}

// ---- Databases ----------------------------------------------------------------------------

void TMain::BuildSortString() { sortExpression_ = rv::db::BuildSortString(settings_.sortLevels); }

bool TMain::CheckDBaseFormat(QWidget* owner, const std::string& path) {
    std::optional<std::string> problem;
    try {
        problem = rv::db::videoTableProblem(path);
    } catch (const rv::db::DatabaseError& e) {
        // Not a dBase table at all (or unreadable): it cannot be opened either.
        problem = e.what();
    }
    if (!problem) return true;
    prompt().error(owner, toQ(*problem));
    return false;
}

bool TMain::MakeNewDB(const std::string& path) {
    if (auto problem = rv::db::makeNewVideoTable(path)) {
        prompt().error(this, toQ(*problem));
        return false;
    }
    return fileExists(path);
}

void TMain::switchDatabase(const std::string& newPath, SwitchKind kind) {
    if (searchInForce_) DoEndSearch();
    const std::string previous = settings_.lastDatabase;
    table_.close();
    pointTableAt(newPath);
    if (kind != SwitchKind::StartUp) {
        SaveDatabaseSettings();
        if (dataLists_ && !basePath_.empty()) dataLists_->SaveAllLists(basePath_);
    }
    configFilePath_ = rv::app::databaseConfigFile(table_.path());
    basePath_ = table_.basePath();
    if (dataLists_) {
        if (kind == SwitchKind::New)
            dataLists_->LoadDefaultList();
        else
            dataLists_->LoadAllList(basePath_);
    }
    loadDatabaseSettings(kind);
    BuildSortString();
    if (kind == SwitchKind::New || !rv::db::DBaseInUse(table_.path())) {
        runCommand([&] {
            try {
                rv::db::rebuildSortTag(table_, sortExpression_);
            } catch (...) {
                table_.setIndexName("");
                throw;
            }
        });
    }
    runCommand([&] {
        table_.setExclusive(false);
        table_.open();
    });
    DoFileSpecific();
    DoLastFiles(previous, newPath);
}

// The two database file dialogs: Open wants an existing file, New asks before replacing
// one; both start in the current database's folder.
std::optional<std::string> TMain::chooseDatabaseFile(FileRequest::Mode mode, const QString& title) {
    FileRequest request;
    request.mode = mode;
    request.title = title;
    request.filter = vclFilter(kDatabaseFilter);
    request.defaultSuffix = QStringLiteral("DBF");
    request.directory = pathToQ(fs::path(settings_.lastDatabase).parent_path().string());
    request.mustExist = true;
    request.confirmOverwrite = true;
    auto chosen = prompt().chooseFile(this, request);
    if (!chosen) return std::nullopt;
    return pathFromQ(*chosen);
}

void TMain::doOpen(SwitchKind kind) {
    if (auto chosen = chooseDatabaseFile(FileRequest::Mode::Open, QStringLiteral("Open Database File"))) {
        const std::string& path = *chosen;
        if (!hasDbfExtension(fs::path(path).filename().string()))
            prompt().error(this, kInvalidFileType);
        else if (CheckDBaseFormat(this, path))
            switchDatabase(path, kind);
    }
    DisplayCount();
}

void TMain::DoOpen() { doOpen(SwitchKind::Open); }

void TMain::DoNew() {
    if (auto chosen = chooseDatabaseFile(FileRequest::Mode::Save, QStringLiteral("New Database File"))) {
        const std::string& path = *chosen;
        if (searchInForce_) DoEndSearch();
        if (!hasDbfExtension(fs::path(path).filename().string()))
            prompt().error(this, kInvalidFileType);
        else if (MakeNewDB(path))
            switchDatabase(path, SwitchKind::New);
    }
    DisplayCount();
}

void TMain::OpenSaveFile(const std::string& path) {
    if (CheckDBaseFormat(this, path)) switchDatabase(path, SwitchKind::Recent);
    DisplayCount();
}

void TMain::MenuUpdateDatabaseClick() {
    const bool wasSearch = searchInForce_;
    if (wasSearch) DoEndSearch();
    SaveDatabaseSettings();
    table_.close();
    if (wasSearch) EnableEndSearch();
    runCommand([&] { table_.open(); });
    SetViewerOptions();
    DisplayCount();
}

// ---- Search in force ----------------------------------------------------------------------

void TMain::DisableEndSearch() {
    searchInForce_ = false;
    SearchOnLabel->hide();
    updateCommandStates();
}

void TMain::EnableEndSearch() {
    searchInForce_ = true;
    SearchOnLabel->show();
    updateCommandStates();
}

void TMain::DoEndSearch() {
    DisableEndSearch();
    if (table_.isOpen()) {
        table_.close();
        runCommand([&] { table_.open(); });
    }
    SetViewerOptions();
    DisplayCount();
}

// ---- Sort order, pack, rebuild ------------------------------------------------------------

void TMain::DoSortOrder() {
    TMySortOrder dialog(*this);
    dialog.exec();
}

void TMain::ReopenShared() {
    runCommand([&] {
        table_.close();
        table_.setExclusive(false);
        table_.open();
    });
    SetViewerOptions();
}

void TMain::MakeCurrentDatabase(const std::string& path) {
    const std::string previous = settings_.lastDatabase;
    table_.close();
    std::error_code ec;
    if (!fs::equivalent(previous, path, ec)) {
        SaveDatabaseSettings();
        if (dataLists_ && !basePath_.empty()) dataLists_->SaveAllLists(basePath_);
    }
    pointTableAt(path);
    configFilePath_ = rv::app::databaseConfigFile(table_.path());
    basePath_ = table_.basePath();
    DoLastFiles(previous, path);
}

void TMain::ReloadDatabaseSettings() {
    loadDatabaseSettings(SwitchKind::Open);
    DoFileSpecific();
}

void TMain::MenuPackClick() {
    runExclusive(kPackQuestion,
                 QStringLiteral("Unable to pack table.  ") + exclusiveUseMessage(QStringLiteral("Packing")),
                 [this] { table_.pack(); });
}

void TMain::MenuRebuildClick() {
    runExclusive(kRebuildQuestion,
                 QStringLiteral("Unable to reindex table.  ") + exclusiveUseMessage(QStringLiteral("Reindexing")),
                 [this] { rv::db::regenerateSortIndexes(table_, sortExpression_); });
}

void TMain::runExclusive(const QString& question, const QString& inUseMessage, const std::function<void()>& work) {
    if (!prompt().yes(this, QStringLiteral("Confirm"), question)) return;
    table_.close();
    table_.setExclusive(true);
    try {
        table_.open();
    } catch (const rv::db::DatabaseError&) {
        ReopenShared();
        prompt().error(this, inUseMessage);
        return;
    }
    try {
        work();
    } catch (...) {
        // The table goes back to shared use whatever happened; the error is shown after.
        ReopenShared();
        DisplayCount();
        throw;
    }
    ReopenShared();
    DisplayCount();
}

// ---- Options commands ---------------------------------------------------------------------

void TMain::chooseScreenSize(int size) {
    if (size == tickedSize_) return;
    for (const auto& c : kScreenChoices) {
        if (c.windowSize != size) continue;
        if (screenSize_.width() < c.minWidth || screenSize_.height() < c.minHeight) {
            prompt().error(this, QStringLiteral("Your current screen resolution does not support %1 x %2 pixels.")
                                     .arg(c.minWidth)
                                     .arg(c.minHeight));
            return;
        }
        tickedSize_ = size;
        settings_.windowSize = size;
        scaleFactor_ = c.factor;
        return;
    }
}

void TMain::chooseButtonBar(int mode) {
    settings_.buttonBar = mode;
    SetButtonBar();
}

void TMain::chooseFont(rv::app::FontSpec& font) {
    auto chosen = prompt().chooseFont(this, toQFont(font, Client->font()));
    if (!chosen) return;
    font = toFontSpec(*chosen, font.color);
    ApplyFonts(this, settings_);
}

void TMain::DoColors(int code) {
    TColorConfig dialog(*this, code);
    dialog.exec();
}

void TMain::AcceptColors(int code, const rv::app::ColorSet& colors) {
    if (code == 6) {
        settings_.colors.fill(colors);
    } else if (code >= 1 && code <= rv::app::kColorSetCount) {
        settings_.colors[static_cast<std::size_t>(code - 1)] = colors;
    }
    if (code == 1 || code == 6) SetColors();
}

// ---- Navigator ----------------------------------------------------------------------------

void TMain::updateNavigator() {
    using State = rv::db::Table::State;
    const bool open = table_.isOpen();
    const bool editing = open && (table_.state() == State::Edit || table_.state() == State::Insert);
    const bool writable = open && table_.isWritable() && !browseMode_;
    for (auto b : {TNavigator::First, TNavigator::Prior, TNavigator::Next, TNavigator::Last, TNavigator::Refresh})
        MyNavigator->button(b)->setEnabled(open);
    for (auto b : {TNavigator::Insert, TNavigator::Delete, TNavigator::Edit})
        MyNavigator->button(b)->setEnabled(writable && !editing);
    for (auto b : {TNavigator::Post, TNavigator::Cancel}) MyNavigator->button(b)->setEnabled(editing);
}

void TMain::navigatorClicked(TNavigator::Button button) {
    runCommand([&] {
        if (!table_.isOpen()) return;
        switch (button) {
        case TNavigator::First: table_.first(); break;
        case TNavigator::Prior: table_.prior(); break;
        case TNavigator::Next: table_.next(); break;
        case TNavigator::Last: table_.last(); break;
        case TNavigator::Insert: table_.append(); break;
        case TNavigator::Delete:
            if (prompt().yes(this, QStringLiteral("Confirm"), QStringLiteral("Delete this record?"))) {
                table_.deleteRecord();
                table_.flush();
            }
            break;
        case TNavigator::Edit: table_.edit(); break;
        case TNavigator::Post:
            table_.post();
            table_.flush();
            break;
        case TNavigator::Cancel: table_.cancel(); break;
        case TNavigator::Refresh: table_.refresh(); break;
        }
    });
    updateNavigator();
    DisplayCount();
}

}  // namespace rv::gui
