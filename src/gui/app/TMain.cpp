#include "gui/app/TMain.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QDialog>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>

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

#include "core/app/ColorSchemes.h"
#include "core/app/MainRules.h"
#include "core/app/Paths.h"
#include "core/db/SortOrder.h"
#include "core/db/VideoTable.h"
#include "core/lists/DefaultLists.h"
#include "core/lists/ListMaintenance.h"
#include "gui/app/MainIcons.h"
#include "gui/app/TColorConfig.h"
#include "gui/common/Colors.h"
#include "gui/common/Messages.h"
#include "gui/common/Placement.h"
#include "gui/common/Prompt.h"
#include "gui/common/ShowOutcome.h"
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
    tableListener_ = table().subscribe([this](rv::db::Table::Event event) {
        updateNavigator();
        if (event == rv::db::Table::Event::DataChanged) scheduleEndCommand();
    });
    startUp(options);
}

TMain::~TMain() {
    table().unsubscribe(tableListener_);
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
            endCommand();
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
            const std::string path = settings().recentDatabases[static_cast<std::size_t>(i)];
            runCommand([&] { OpenSaveFile(path); });
            endCommand();
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
    for (const auto& m : rv::lists::kMaintenanceItems)
        addItem(MenuListMaintenance, std::string(m.menuItem).c_str(), toQ(m.caption));
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
    handlers_[MenuSpeed] = [this] { chooseButtonBar(ButtonBar::Speed); };
    handlers_[MenuButtons] = [this] { chooseButtonBar(ButtonBar::Lettered); };
    handlers_[MenuNoButtons] = [this] { chooseButtonBar(ButtonBar::None); };
    const std::pair<QAction*, ColorWindow> colorItems[] = {
        {MenuMainColor, ColorWindow::Main},     {MenuEditColor, ColorWindow::Edit},
        {MenuSearchColor, ColorWindow::Search}, {MenuReportColor, ColorWindow::Report},
        {MenuConfigColor, ColorWindow::Configure}, {MenuAllColor, ColorWindow::All},
    };
    for (const auto& [a, code] : colorItems) handlers_[a] = [this, code = code] { DoColors(code); };
    using rv::app::MoneyFormat;
    handlers_[MenuCurrencyUS] = [this] { rv::app::chooseCurrencyFormat(settings(), formats(), MoneyFormat::US); };
    handlers_[MenuCurrencyWin] = [this] { rv::app::chooseCurrencyFormat(settings(), formats(), MoneyFormat::Locale); };
    handlers_[MenuNumericUS] = [this] { rv::app::chooseNumericFormat(settings(), formats(), MoneyFormat::US); };
    handlers_[MenuNumericWin] = [this] { rv::app::chooseNumericFormat(settings(), formats(), MoneyFormat::Locale); };
    handlers_[MenuDateLeadingZeros] = [this] {
        if (rv::app::toggleLeadingZeros(settings(), formats()) && table().isOpen()) table().refresh();
    };
    for (auto& [n, a] : dateItems_)
        handlers_[a] = [this, n = n] {
            if (rv::app::chooseDateFormat(settings(), formats(), n) && table().isOpen()) table().refresh();
        };
    handlers_[MenuLabelFont] = [this] { chooseFont(settings().labelFont); };
    handlers_[MenuEditFont] = [this] { chooseFont(settings().editFont); };
    handlers_[MenuButtonFont] = [this] { chooseFont(settings().buttonFont); };
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

void TMain::startUp(const MainOptions& options) {
    // The window starts without a search in force and with its own caption, so a start-up
    // that stops early still shows a consistent window.
    DisableEndSearch();
    setWindowTitle(kCaption);
    ViewerLabel->setText(QStringLiteral("Video Viewer"));
    // The session finds the program folder, reads the settings and opens the start-up
    // database; without one the program ends.
    const rv::app::StartUpResult start = session_.startUp();
    move(settings().mainLeft, settings().mainTop);
    resize(settings().mainWidth, settings().mainHeight);
    showOutcome(start.outcome);
    switch (start.status) {
    case rv::app::StartUpResult::Status::NoDatabase: return;
    case rv::app::StartUpResult::Status::Opened: showCaption(); break;
    case rv::app::StartUpResult::Status::NotVideoTable: askForValidDatabase(); break;
    }
    // The button bar of the settings, then the screen size the settings ask for where the
    // screen can hold it (else 640 x 480) and its scale factor for every dialog.
    SetButtonBar();
    if (options.screenSize) {
        screenSize_ = *options.screenSize;
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        screenSize_ = screen->size();
    } else {
        screenSize_ = QSize(640, 480);
    }
    tickedSize_ = rv::app::usableWindowSize(settings().windowSize, screenSize_.width(), screenSize_.height());
    scaleFactor_ = rv::app::scaleFactorOf(tickedSize_);
    // The recent databases in the File menu, then the offer to convert databases of earlier
    // versions, which needs the window and its database in place.
    SetMenuLastFiles();
    if (options.checkForConversion) runCommand([&] { options.checkForConversion(*this); });
    // "/BROWSE" as the first argument: looking only, for the whole run.
    if (!options.arguments.isEmpty() && rv::app::isBrowseArgument(options.arguments.front().toStdString())) {
        session_.setBrowseMode(true);
        MyNavigator->setMovingOnly(true);
    }
    updateCommandStates();
    updateTicks();
    started_ = true;
}

void TMain::showCaption() {
    setWindowTitle(kCaption + QStringLiteral(" (") + pathToQ(table().tableName()) + QLatin1Char(')'));
}

void TMain::askForValidDatabase() {
    prompt().error(this, kInvalidLastDatabase);
    for (;;) {
        doOpen(SwitchKind::StartUp);
        bool valid = false;
        runCommand([&] { valid = CheckDBaseFormat(this, currentDatabase()); });
        if (valid) break;
    }
}

// ---- Program end --------------------------------------------------------------------------

void TMain::closeEvent(QCloseEvent* event) {
    // Exit closes the table: an edit still open in the grid is posted first, and when that
    // fails the program stays open so nothing typed is lost.
    if (!postPendingEdits()) {
        event->ignore();
        return;
    }
    settings().mainLeft = x();
    settings().mainTop = y();
    settings().mainWidth = width();
    settings().mainHeight = height();
    showOutcome(session_.endRun());
    event->accept();
}

// ---- Layout -------------------------------------------------------------------------------

void TMain::SetButtonBar() {
    const int stored = settings().buttonBar;
    if (stored < int(ButtonBar::Speed) || stored > int(ButtonBar::None)) return;
    appliedMode_ = static_cast<ButtonBar>(stored);
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
    // Positions by bar: speed buttons, lettered buttons, none.
    const int mode = static_cast<int>(appliedMode_);

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
        bool enabled = handlers_.count(a) > 0 && !(browseMode() && browseBlocked(a));
        if (a == MenuEndSearch) enabled = enabled && searchInForce();
        a->setEnabled(enabled);
    }
    for (auto& [item, buttons] : pictureButtons_)
        for (QAbstractButton* b : buttons) b->setEnabled(item->isEnabled());
    for (auto& [item, buttons] : letteredButtons_)
        for (QAbstractButton* b : buttons) b->setEnabled(item->isEnabled() && appliedMode_ == ButtonBar::Lettered);
    MenuListMaintenance->menuAction()->setEnabled(!browseMode());
    updateNavigator();
}

void TMain::updateTicks() {
    for (auto& [sz, a] : sizeItems_) a->setChecked(sz == tickedSize_);
    MenuSpeed->setChecked(appliedMode_ == ButtonBar::Speed);
    MenuButtons->setChecked(appliedMode_ == ButtonBar::Lettered);
    MenuNoButtons->setChecked(appliedMode_ == ButtonBar::None);
    const rv::app::Settings& s = settings();
    for (auto& [n, a] : dateItems_) a->setChecked(n == s.dateFormat);
    MenuDateLeadingZeros->setChecked(s.dateLeadingZeros);
    using rv::app::MoneyFormat;
    MenuCurrencyUS->setChecked(s.currencyFormat == int(MoneyFormat::US));
    MenuCurrencyWin->setChecked(s.currencyFormat == int(MoneyFormat::Locale));
    MenuNumericUS->setChecked(s.numericFormat == int(MoneyFormat::US));
    MenuNumericWin->setChecked(s.numericFormat == int(MoneyFormat::Locale));
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
    if (settings().showTips && handlers_.count(MenuTips)) MenuTips->trigger();
}

void TMain::DisplayCount() {
    int count = 0;
    if (table().isOpen()) runCommand([&] { count = table().recordCount(); });
    CountLabel->setText(QString::number(count));
}

void TMain::DoFileSpecific() {
    ApplyFonts(this, settings());
    SetViewerOptions();
    SetColors();
    DisplayCount();
}

void TMain::databaseChanged() {
    showCaption();
    SetMenuLastFiles();
}

void TMain::SetViewerOptions() {
    if (viewerOptions_) runCommand(viewerOptions_);
}

void TMain::SetColors() {
    using namespace rv::app;
    const ColorSet& c = settings().colors[MainWindowColors];
    paintBackground(Client, c[MainBackground]);
    paintTextAndBackground(ViewerLabel, c[MajorTitle], c[MainBackground]);
    paintTextAndBackground(NavigatorLabel, c[MinorTitle], c[MainBackground]);
    // The count and the search marker lie on the window background too; they take the minor
    // title colour so they stay readable on dark schemes.
    for (QLabel* l : {CountLabel, Count2Label, SearchOnLabel}) paintText(l, c[MinorTitle]);
}

void TMain::PlaceDialog(QWidget* dialog) { placeDialog(dialog, settings(), scaleFactor_, screenSize_); }

// ---- Recent databases ---------------------------------------------------------------------

void TMain::SetMenuLastFiles() {
    const auto& recent = settings().recentDatabases;
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
    rv::app::doLastFiles(settings().recentDatabases, previous, newPath);
    SetMenuLastFiles();
}

// ---- Databases ----------------------------------------------------------------------------

bool TMain::CheckDBaseFormat(QWidget* owner, const std::string& path) {
    const std::optional<std::string> problem = rv::app::Session::checkDatabase(path);
    if (!problem) return true;
    prompt().error(owner, toQ(*problem));
    return false;
}

bool TMain::showOutcome(const rv::app::Outcome& outcome) {
    const bool ok = rv::gui::showOutcome(this, outcome);
    syncSearchState();
    return ok;
}

bool TMain::postPendingEdits() {
    // An editor still open in the grid holds typing its cell has not received yet: commit
    // it as leaving the cell would, then post the record the table is editing.
    if (ViewerGrid) {
        QWidget* editor = QApplication::focusWidget();
        QWidget* viewport = ViewerGrid->viewport();
        if (editor && editor->isVisible() && viewport->isAncestorOf(editor)) {
            // The cell editor is the viewport's child (a drop-down's own line edit has the focus).
            while (editor->parentWidget() != viewport) editor = editor->parentWidget();
            QPointer<QWidget> open = editor;
            QMetaObject::invokeMethod(ViewerGrid, "commitData", Q_ARG(QWidget*, editor));
            // Storing the cell may already have refreshed the grid and put its editor away.
            if (open && open->isVisible())
                QMetaObject::invokeMethod(ViewerGrid, "closeEditor", Q_ARG(QWidget*, editor),
                                          Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
        }
    }
    const rv::app::Outcome posted = session_.postPending();
    showOutcome(posted);
    return !posted.stopped;
}

void TMain::switchDatabase(const std::string& newPath, SwitchKind kind) {
    if (!postPendingEdits()) return;
    const rv::app::Outcome outcome = session_.switchDatabase(newPath, kind);
    showOutcome(outcome);
    if (outcome.stopped) return;
    showCaption();
    DoFileSpecific();
    SetMenuLastFiles();
}

// The two database file dialogs: Open wants an existing file, New asks before replacing
// one; both start in the current database's folder.
std::optional<std::string> TMain::chooseDatabaseFile(FileRequest::Mode mode, const QString& title) {
    FileRequest request;
    request.mode = mode;
    request.title = title;
    request.filter = vclFilter(kDatabaseFilter);
    request.defaultSuffix = QStringLiteral("DBF");
    request.directory = pathToQ(fs::path(currentDatabase()).parent_path().string());
    request.mustExist = true;
    request.confirmOverwrite = true;
    request.folderMustExist = true;
    auto chosen = prompt().chooseFile(this, request);
    if (!chosen) return std::nullopt;
    return pathFromQ(*chosen);
}

void TMain::doOpen(SwitchKind kind) {
    if (auto chosen = chooseDatabaseFile(FileRequest::Mode::Open, QStringLiteral("Open Database File"))) {
        const std::string& path = *chosen;
        if (!rv::app::hasDbfExtension(fs::path(path).filename().string()))
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
        if (searchInForce()) DoEndSearch();
        if (!rv::app::hasDbfExtension(fs::path(path).filename().string())) {
            prompt().error(this, kInvalidFileType);
        } else if (postPendingEdits()) {
            const rv::app::Outcome outcome = session_.createDatabase(path);
            showOutcome(outcome);
            if (!outcome.stopped) {
                showCaption();
                DoFileSpecific();
                SetMenuLastFiles();
            }
        }
    }
    DisplayCount();
}

void TMain::OpenSaveFile(const std::string& path) {
    if (CheckDBaseFormat(this, path)) switchDatabase(path, SwitchKind::Recent);
    DisplayCount();
}

void TMain::MenuUpdateDatabaseClick() {
    if (!postPendingEdits()) return;
    showOutcome(session_.updateDatabase());
    SetViewerOptions();
    DisplayCount();
}

// ---- Search in force ----------------------------------------------------------------------

void TMain::syncSearchState() {
    SearchOnLabel->setVisible(searchInForce());
    updateCommandStates();
}

void TMain::DisableEndSearch() {
    session_.setSearchInForce(false);
    syncSearchState();
}

void TMain::EnableEndSearch() {
    session_.setSearchInForce(true);
    syncSearchState();
}

void TMain::DoEndSearch() {
    if (!postPendingEdits()) return;
    showOutcome(session_.endSearch());
    SetViewerOptions();
    DisplayCount();
}

// ---- Sort order, pack, rebuild ------------------------------------------------------------

void TMain::DoSortOrder() {
    // The order is rebuilt with the table closed: an edit open in the grid is posted first.
    if (!postPendingEdits()) return;
    TMySortOrder dialog(*this);
    dialog.exec();
}

void TMain::ReopenShared() {
    showOutcome(session_.reopenShared());
    SetViewerOptions();
}

void TMain::MenuPackClick() {
    runExclusive(kPackQuestion, rv::app::ExclusiveCommand::Pack, [](rv::db::Table& t) { t.pack(); });
}

void TMain::MenuRebuildClick() {
    runExclusive(kRebuildQuestion, rv::app::ExclusiveCommand::Rebuild, [this](rv::db::Table& t) {
        rv::db::regenerateSortIndexes(t, sortExpression());
    });
}

void TMain::runExclusive(const QString& question, rv::app::ExclusiveCommand command,
                         const std::function<void(rv::db::Table&)>& work) {
    if (!prompt().yes(this, QStringLiteral("Confirm"), question)) return;
    if (!postPendingEdits()) return;
    const rv::app::ExclusiveResult result = session_.runExclusive(command, work);
    SetViewerOptions();
    DisplayCount();
    showOutcome(result.outcome);
}

// ---- The end of a command -----------------------------------------------------------------

void TMain::scheduleEndCommand() {
    if (endCommandPending_) return;
    endCommandPending_ = true;
    // Once the event that changed the table has been handled (a click on Update in the
    // editor, a cell edited in the grid), even inside a dialog's own event loop.
    QTimer::singleShot(0, this, [this] { endCommand(); });
}

void TMain::endCommand() {
    endCommandPending_ = false;
    showOutcome(session_.endCommand());
}

// ---- Options commands ---------------------------------------------------------------------

void TMain::chooseScreenSize(int size) {
    if (size == tickedSize_) return;
    for (const auto& c : rv::app::kScreenChoices) {
        if (c.windowSize != size) continue;
        if (screenSize_.width() < c.minWidth || screenSize_.height() < c.minHeight) {
            prompt().error(this, QStringLiteral("Your current screen resolution does not support %1 x %2 pixels.")
                                     .arg(c.minWidth)
                                     .arg(c.minHeight));
            return;
        }
        tickedSize_ = size;
        settings().windowSize = size;
        scaleFactor_ = c.factor;
        return;
    }
}

void TMain::chooseButtonBar(ButtonBar mode) {
    settings().buttonBar = static_cast<int>(mode);
    SetButtonBar();
}

void TMain::chooseFont(rv::app::FontSpec& font) {
    auto chosen = prompt().chooseFont(this, toQFont(font, Client->font()));
    if (!chosen) return;
    font = toFontSpec(*chosen, font.color);
    ApplyFonts(this, settings());
}

void TMain::DoColors(ColorWindow code) {
    TColorConfig dialog(*this, code);
    dialog.exec();
}

void TMain::AcceptColors(ColorWindow code, const rv::app::ColorSet& colors) {
    rv::app::acceptColors(settings(), code, colors);
    if (code == ColorWindow::Main || code == ColorWindow::All) SetColors();
}

// ---- Navigator ----------------------------------------------------------------------------

void TMain::updateNavigator() {
    using State = rv::db::Table::State;
    rv::db::Table& t = table();
    const bool open = t.isOpen();
    const bool editing = open && (t.state() == State::Edit || t.state() == State::Insert);
    const bool writable = open && t.isWritable() && !browseMode();
    for (auto b : {TNavigator::First, TNavigator::Prior, TNavigator::Next, TNavigator::Last, TNavigator::Refresh})
        MyNavigator->button(b)->setEnabled(open);
    for (auto b : {TNavigator::Insert, TNavigator::Delete, TNavigator::Edit})
        MyNavigator->button(b)->setEnabled(writable && !editing);
    for (auto b : {TNavigator::Post, TNavigator::Cancel}) MyNavigator->button(b)->setEnabled(editing);
}

void TMain::navigatorClicked(TNavigator::Button button) {
    rv::db::Table& t = table();
    runCommand([&] {
        if (!t.isOpen()) return;
        switch (button) {
        case TNavigator::First: t.first(); break;
        case TNavigator::Prior: t.prior(); break;
        case TNavigator::Next: t.next(); break;
        case TNavigator::Last: t.last(); break;
        case TNavigator::Insert: t.append(); break;
        case TNavigator::Delete:
            if (prompt().yes(this, QStringLiteral("Confirm"), QStringLiteral("Delete this record?"))) t.deleteRecord();
            break;
        case TNavigator::Edit: t.edit(); break;
        case TNavigator::Post: t.post(); break;
        case TNavigator::Cancel: t.cancel(); break;
        case TNavigator::Refresh: t.refresh(); break;
        }
    });
    endCommand();
    updateNavigator();
    DisplayCount();
}

}  // namespace rv::gui
