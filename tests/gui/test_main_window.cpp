// The main window: first start, the invalid-last-database loop, browse-only mode, the
// button-bar layouts and the screen sizes.
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <iterator>
#include <set>

#include "GuiTestSupport.h"
#include "core/db/Table.h"
#include "core/db/VideoTable.h"
#include "core/app/MainRules.h"
#include "gui/app/TMain.h"

using rv::gui::MainOptions;
using rv::gui::TMain;
using rvtest::Sandbox;

namespace {

const QString kNotVideo = QString::fromLatin1(rv::db::kNotVideoTableMessage);
const QString kInvalidLast = QStringLiteral(
    "The last database used as recorded in the INI file is not a valid Reelvane Videos 97 file.  You will "
    "need to choose a new file.");

MainOptions onScreen(QSize screen, QStringList args = {}) {
    MainOptions o;
    o.arguments = std::move(args);
    o.screenSize = screen;
    return o;
}

// Gives every menu command without a handler one that does nothing, so enabling depends
// only on the window's own rules; answers the names of all the commands.
QStringList provideAll(TMain& w) {
    QStringList names;
    for (QAction* a : w.findChildren<QAction*>()) {
        const QString name = a->objectName();
        if (name.isEmpty()) continue;
        if (w.hasCommand(name) || w.provideCommand(name, [] {})) names << name;
    }
    return names;
}

std::set<QString> disabledItems(TMain& w, const QStringList& names) {
    std::set<QString> out;
    for (const QString& n : names)
        if (!w.menuItem(n)->isEnabled()) out.insert(n);
    return out;
}

template <class B>
std::set<QString> disabledButtons(const QList<B*>& buttons) {
    std::set<QString> out;
    for (B* b : buttons)
        if (!b->isEnabled()) out.insert(b->objectName());
    return out;
}

QList<QPushButton*> letteredButtons(TMain& w) {
    return {w.AddButton, w.EditButton, w.CopyButton, w.DeleteButton, w.SearchButton,
            w.EndSearchButton, w.ReportButton, w.ViewerButton, w.HelpButton, w.ButtonExit};
}


// The Screen Size choices with the window size each stands for.
const struct {
    const char* name;
    QAction* TMain::*item;
    QSize size;
} kScreenSizes[] = {{"640x480", &TMain::N640x480, {640, 480}},
                    {"800x600", &TMain::N800x600, {800, 600}},
                    {"1024x768", &TMain::N1024x768, {1024, 768}},
                    {"1280x1024", &TMain::N1280x1024, {1280, 1024}}};

QRect inClient(TMain& w, QWidget* c) {
    return QRect(c->mapTo(w.Client, QPoint(0, 0)), c->size());
}

// Checks the placement of the main window's controls for a button-bar mode (1 speed buttons,
// 2 lettered buttons, 3 none) without restating where each one goes.
void checkLayout(TMain& w, int mode) {
    const QRect client = w.Client->rect();
    QVERIFY(!client.isEmpty());
    auto shown = [&](QWidget* c) { return c->isVisibleTo(&w); };

    // The controls that must not cover one another; the frames drawn around groups of them
    // (the bevels) are checked for enclosing instead.
    QList<QWidget*> controls;
    QList<QAbstractButton*> bar;
    if (mode == 1) {
        bar = {w.NewSpeed, w.OpenSpeed, w.AddSpeed, w.EditSpeed, w.CopySpeed, w.DeleteSpeed, w.ImportSpeed, w.ExportSpeed,
               w.SearchSpeed, w.EndSearchSpeed, w.LocateSpeed, w.LocateNextSpeed, w.ReportSpeed,
               w.ViewerSpeed, w.ColorSpeed, w.SpeedSetOrder, w.HelpSpeed};
    } else if (mode == 2) {
        for (QPushButton* b : letteredButtons(w)) bar << b;
    }
    for (QAbstractButton* b : bar) controls << b;
    controls << w.MyNavigator << w.ViewerGrid;
    for (QWidget* c : {static_cast<QWidget*>(w.NavigatorLabel), static_cast<QWidget*>(w.CountLabel),
                       static_cast<QWidget*>(w.SearchOnLabel),
                       static_cast<QWidget*>(w.ViewerLabel)})
        if (shown(c) && !c->property("text").toString().isEmpty()) controls << c;

    for (QWidget* c : controls) {
        QVERIFY2(shown(c), qPrintable(c->objectName()));
        QVERIFY2(client.contains(inClient(w, c)),
                 qPrintable(QStringLiteral("%1 outside the window").arg(c->objectName())));
    }
    // The speed buttons are flat and neighbours share their one-pixel edge: they are checked
    // against each other by their order below, and against everything else here.
    const int sharedEdges = mode == 1 ? int(bar.size()) : 0;
    for (int i = 0; i < controls.size(); ++i)
        for (int j = std::max(i + 1, sharedEdges); j < controls.size(); ++j)
            QVERIFY2(!inClient(w, controls[i]).intersects(inClient(w, controls[j])),
                     qPrintable(QStringLiteral("%1 overlaps %2")
                                    .arg(controls[i]->objectName(), controls[j]->objectName())));

    // The second count line sits under the first (their text boxes share an edge in one mode).
    if (shown(w.Count2Label) && !w.Count2Label->text().isEmpty()) {
        QVERIFY(inClient(w, w.Count2Label).top() > inClient(w, w.CountLabel).top());
        QVERIFY(client.contains(inClient(w, w.Count2Label)));
        QVERIFY(!inClient(w, w.Count2Label).intersects(inClient(w, w.ViewerGrid)));
    }
    // The viewer's frame holds the grid and its labels.
    QVERIFY(client.contains(inClient(w, w.ViewerBevel)));
    QVERIFY(inClient(w, w.ViewerBevel).contains(inClient(w, w.ViewerGrid)));
    QVERIFY(inClient(w, w.ViewerBevel).contains(inClient(w, w.CountLabel)));
    // The grid takes what is left of the window below the bar: wider than half of it.
    QVERIFY(inClient(w, w.ViewerGrid).width() > client.width() / 2);
    QVERIFY(inClient(w, w.ViewerGrid).bottom() > client.bottom() - 20);

    // Order: the bar above the viewer, its buttons left to right; the navigator to the right
    // of the bar (at the right edge when there is none) and above the grid.
    const QRect grid = inClient(w, w.ViewerBevel);
    const QRect nav = inClient(w, w.MyNavigator);
    QVERIFY(nav.bottom() < inClient(w, w.ViewerGrid).top());
    if (mode == 1) {
        for (int i = 0; i + 1 < bar.size(); ++i) {
            const QRect a = inClient(w, bar[i]), b = inClient(w, bar[i + 1]);
            QVERIFY2(a.left() < b.left() && a.right() <= b.left(), qPrintable(bar[i]->objectName()));
            QCOMPARE(a.top(), b.top());
        }
        for (QAbstractButton* b : bar) {
            QVERIFY(shown(b));
            QVERIFY(inClient(w, w.SpeedPanel).contains(inClient(w, b)));
        }
        QVERIFY(inClient(w, w.SpeedPanel).bottom() < grid.top());
        QVERIFY(inClient(w, bar.back()).right() < nav.left());
    } else if (mode == 2) {
        // Two rows in columns: Add over Edit, Copy over Delete, and so on.
        for (int i = 0; i < bar.size(); i += 2) {
            const QRect top = inClient(w, bar[i]), bottom = inClient(w, bar[i + 1]);
            QVERIFY2(top.bottom() < bottom.top(), qPrintable(bar[i]->objectName()));
            QCOMPARE(top.left(), bottom.left());
            if (i + 2 < bar.size()) QVERIFY(top.right() < inClient(w, bar[i + 2]).left());
        }
        for (QFrame* bevel : {w.Bevel1, w.Bevel2, w.Bevel3, w.Bevel4}) {
            QVERIFY(client.contains(inClient(w, bevel)));
            QVERIFY(inClient(w, bevel).bottom() < grid.top());
        }
        for (QAbstractButton* b : bar) QVERIFY(inClient(w, b).bottom() < grid.top());
        QVERIFY(inClient(w, bar.back()).right() < nav.left());
        QVERIFY(inClient(w, w.NavigatorLabel).bottom() < nav.top());
    } else {
        QVERIFY(nav.right() > client.right() - 20);
    }
}
}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setStyle(QStringLiteral("Fusion")); }

    void firstStartCreatesMasterAndWritesSettingsAtEnd() {
        Sandbox sb;
        TMain w(onScreen(QSize(1024, 768)));
        QVERIFY(w.started());
        const auto master = sb.program() / "MASTER.DBF";
        QVERIFY(std::filesystem::exists(master));
        QCOMPARE(w.windowTitle(), QStringLiteral("Reelvane Videos 97 (MASTER)"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.CountLabel->text(), QStringLiteral("0"));
        QVERIFY(sb.prompt().log.empty());
        // The defaults of a first start: speed buttons, 640 x 480, no recent databases.
        QVERIFY(w.SpeedPanel->isVisible());
        QVERIFY(w.MenuSpeed->isChecked());
        QVERIFY(w.N640x480->isChecked());
        QCOMPARE(w.scaleFactor(), 1.0);
        QVERIFY(!w.MenuExitSep->isVisible());
        for (QAction* a : w.MenuLastFile) QVERIFY(!a->isVisible());
        // The program folder got the shipped lists; the default order (Star 1) its tag.
        QVERIFY(std::filesystem::exists(sb.program() / "STAR.LST"));
        QCOMPARE(QString::fromStdString(w.table().indexName()), QStringLiteral("NewIndex"));
        QVERIFY(std::filesystem::exists(sb.program() / "MASTER.MDX"));

        w.settings().buttonBar = 2;
        w.close();
        const std::string ini = rvtest::readText(sb.programIni());
        QVERIFY(ini.find("Last Database=" + master.string()) != std::string::npos);
        QVERIFY(ini.find("Button Bar=2") != std::string::npos);
        const std::string dbIni = rvtest::readText(sb.program() / "MASTER.INI");
        QVERIFY(dbIni.find("Primary Sort=2") != std::string::npos);
    }

    void noDatabaseCanBeCreated() {
        Sandbox sb;
        // A program folder that cannot exist: a file stands where its parent should be.
        std::ofstream(sb.root() / "blocker") << "x";
        const auto program = sb.root() / "blocker" / "program";
        ::setenv("REELVANE_PROGRAM_DIR", program.c_str(), 1);
        TMain w(onScreen(QSize(1024, 768)));
        QVERIFY(!w.started());
        QCOMPARE(sb.prompt().messages().size(), std::size_t(1));
        QVERIFY(!std::filesystem::exists(sb.programIni()));
    }

    void startOpensTheLastDatabaseInItsSortOrder() {
        Sandbox sb;
        const auto db = rvtest::videoTable(sb.root() / "FILMS.DBF", {"Zulu", "alpha", "Mike"});
        sb.writeProgramIni({{"Last Database", db.string()}});
        {
            std::ofstream ini(sb.root() / "FILMS.INI", std::ios::binary);
            ini << "[Sort Order]\r\nPrimary Sort=1\r\nSecondary Sort=11\r\n";
        }
        // No .MDX yet: start-up builds the tag.
        {
            TMain w(onScreen(QSize(1024, 768)));
            QCOMPARE(w.windowTitle(), QStringLiteral("Reelvane Videos 97 (FILMS)"));
            QCOMPARE(QString::fromStdString(w.sortExpression()), QStringLiteral("Upper(Left(Title,40))+STR(Year,12,0)"));
            QVERIFY(std::filesystem::exists(sb.root() / "FILMS.MDX"));
            QCOMPARE(rvtest::titles(w.table()), (std::vector<std::string>{"alpha", "Mike", "Zulu"}));
        }
        // With the .MDX present the tag is used as it is.
        TMain w(onScreen(QSize(1024, 768)));
        QCOMPARE(QString::fromStdString(w.table().indexName()), QStringLiteral("NewIndex"));
        QCOMPARE(rvtest::titles(w.table()), (std::vector<std::string>{"alpha", "Mike", "Zulu"}));
        QVERIFY(sb.prompt().log.empty());
    }

    void invalidLastDatabaseAsksUntilAValidOneIsChosen() {
        Sandbox sb;
        const auto bad = rvtest::foreignTable(sb.root() / "BAD.DBF");
        const auto good = rvtest::videoTable(sb.root() / "GOOD.DBF", {"One", "Two"});
        sb.writeProgramIni({{"Last Database", bad.string()}});
        // Cancel the first dialog, choose a good table in the second.
        sb.prompt().files = {std::nullopt, QString::fromStdString(good.string())};
        TMain w(onScreen(QSize(1024, 768)));
        QVERIFY(w.started());
        QCOMPARE(w.windowTitle(), QStringLiteral("Reelvane Videos 97 (GOOD)"));
        QCOMPARE(sb.prompt().texts(), (QStringList{kNotVideo, kInvalidLast, kNotVideo}));
        for (const auto& m : sb.prompt().messages()) QCOMPARE(m.title, QStringLiteral("Error"));
        int dialogs = 0;
        for (const auto& r : sb.prompt().log)
            if (r.kind == rv::gui::ScriptedPrompt::Record::Kind::File) {
                ++dialogs;
                QCOMPARE(r.file.title, QStringLiteral("Open Database File"));
            }
        QCOMPARE(dialogs, 2);
        // The invalid database was never current: nothing was written beside it.
        QVERIFY(!std::filesystem::exists(sb.root() / "BAD.INI"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.CountLabel->text(), QStringLiteral("2"));
    }

    void browseModeDisablesExactlyTheListedCommands() {
        Sandbox sb;
        {
            // Without browse mode every provided command is enabled except End Search.
            TMain normal(onScreen(QSize(1024, 768)));
            const QStringList names = provideAll(normal);
            QCOMPARE(disabledItems(normal, names), (std::set<QString>{"MenuEndSearch"}));
            QVERIFY(!normal.browseMode());
        }
        {
            std::ofstream ini(sb.program() / "MASTER.INI", std::ios::binary);
            ini << "[Grid Options]\r\nField Editing=Yes\r\n";
        }
        TMain w(onScreen(QSize(1024, 768), {QStringLiteral("/browse")}));
        QVERIFY(w.browseMode());
        QVERIFY(!w.settings().fieldEditing);
        const QStringList names = provideAll(w);
        std::set<QString> expected{"MenuAdd", "MenuCopy", "MenuDelete", "MenuBackup", "MenuRestore", "MenuViewer",
                                   "MenuImport", "MenuSearchReplace", "MenuEndSearch", "MenuSaveDefaults",
                                   "MenuLoadDefaults"};
        for (QAction* a : w.MenuListMaintenance->actions())
            if (!a->isSeparator()) expected.insert(a->objectName());
        QCOMPARE(expected.size(), std::size_t(9 + 2 + 17));
        QCOMPARE(disabledItems(w, names), expected);
        QVERIFY(!w.MenuListMaintenance->menuAction()->isEnabled());

        QCOMPARE(disabledButtons(w.SpeedPanel->findChildren<QToolButton*>()),
                 (std::set<QString>{"AddSpeed", "CopySpeed", "ImportSpeed", "DeleteSpeed", "ViewerSpeed",
                                    "EndSearchSpeed"}));
        // The lettered buttons stay disabled through any change of button bar.
        const std::set<QString> letteredOff{"AddButton", "CopyButton", "DeleteButton", "ViewerButton",
                                            "EndSearchButton"};
        w.MenuButtons->trigger();
        QCOMPARE(disabledButtons(letteredButtons(w)), letteredOff);
        w.MenuNoButtons->trigger();
        QCOMPARE(disabledButtons(letteredButtons(w)).size(), std::size_t(10));
        w.MenuButtons->trigger();
        QCOMPARE(disabledButtons(letteredButtons(w)), letteredOff);

        // The navigator keeps only its four moving buttons.
        int shown = 0;
        for (int b = 0; b < rv::gui::TNavigator::kButtonCount; ++b)
            shown += w.MyNavigator->button(static_cast<rv::gui::TNavigator::Button>(b))->isVisibleTo(w.MyNavigator);
        QCOMPARE(shown, 4);

        // The forced-off "Field Editing" is not what the database's file keeps.
        w.close();
        QVERIFY(rvtest::readText(sb.program() / "MASTER.INI").find("Field Editing=Yes") != std::string::npos);
    }

    void buttonBarModesLayOutTheWindow_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("sizeIndex");
        const char* modes[] = {"speed buttons", "lettered buttons", "none"};
        for (int mode = 1; mode <= 3; ++mode)
            for (int i = 0; i < int(std::size(kScreenSizes)); ++i)
                QTest::addRow("%s, %s", modes[mode - 1], kScreenSizes[i].name) << mode << i;
    }
    // In every mode and at every screen size the controls lie inside the window, none covers
    // another, and they come in their order: the bar, then the navigator beside it, then the
    // viewer below both; the buttons left to right (lettered ones top before bottom).
    void buttonBarModesLayOutTheWindow() {
        QFETCH(int, mode);
        QFETCH(int, sizeIndex);
        QAction* TMain::*screenItem = kScreenSizes[sizeIndex].item;
        const QSize size = kScreenSizes[sizeIndex].size;
        Sandbox sb;
        TMain w(onScreen(QSize(1280, 1024)));
        (w.*screenItem)->trigger();
        QVERIFY((w.*screenItem)->isChecked());
        w.resize(700, 500);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QAction* items[] = {w.MenuSpeed, w.MenuButtons, w.MenuNoButtons};
        items[mode - 1]->trigger();
        QCOMPARE(w.settings().buttonBar, mode);
        for (int m = 0; m < 3; ++m) QCOMPARE(items[m]->isChecked(), m == mode - 1);
        const bool speed = mode == 1, lettered = mode == 2;
        QCOMPARE(w.SpeedPanel->isVisible(), speed);
        QCOMPARE(w.AddButton->isVisible(), lettered);
        QCOMPARE(w.Bevel1->isVisible(), lettered);
        QCOMPARE(w.ButtonExit->isEnabled(), lettered);
        QCOMPARE(w.NavigatorLabel->isVisible(), lettered);

        // The layout follows the window to the screen size.
        w.resize(size);
        QTRY_COMPARE(w.size(), size);
        checkLayout(w, mode);
    }
    void screenSizeIsStoredAndTickedAgainAtTheNextStart() {
        Sandbox sb;
        {
            TMain w(onScreen(QSize(1280, 1024)));
            w.N1280x1024->trigger();
            QCOMPARE(w.scaleFactor(), 2.0);
            QCOMPARE(w.settings().windowSize, 1280);
            QVERIFY(w.N1280x1024->isChecked());
            QVERIFY(!w.N640x480->isChecked());
            w.close();
        }
        TMain w(onScreen(QSize(1280, 1024)));
        QVERIFY(w.N1280x1024->isChecked());
        QCOMPARE(w.scaleFactor(), 2.0);
        QVERIFY(sb.prompt().log.empty());
    }

    void sizeTooLargeForTheScreen() {
        Sandbox sb;
        sb.writeProgramIni({{"Window Size", "1024"}});
        TMain w(onScreen(QSize(800, 600)));
        // At start-up: 640 without a message, the stored value kept.
        QCOMPARE(w.scaleFactor(), 1.0);
        QVERIFY(w.N640x480->isChecked());
        QCOMPARE(w.settings().windowSize, 1024);
        QVERIFY(sb.prompt().log.empty());
        // Chosen: the message, and nothing changes.
        w.N1024x768->trigger();
        QCOMPARE(sb.prompt().texts(),
                 QStringList{QStringLiteral("Your current screen resolution does not support 1024 x 768 pixels.")});
        QCOMPARE(sb.prompt().messages().front().title, QStringLiteral("Error"));
        QVERIFY(w.N640x480->isChecked());
        QVERIFY(!w.N1024x768->isChecked());
        QCOMPARE(w.scaleFactor(), 1.0);
        QCOMPARE(w.settings().windowSize, 1024);
        // A size the screen supports is taken.
        w.N800x600->trigger();
        QCOMPARE(w.scaleFactor(), 1.25);
        QCOMPARE(w.settings().windowSize, 800);
        QVERIFY(w.N800x600->isChecked() && !w.N640x480->isChecked());
    }

    void menuBarOrderAndShortcuts() {
        Sandbox sb;
        TMain w(onScreen(QSize(1024, 768)));
        QStringList menus;
        for (QAction* a : w.menuBar()->actions()) menus << a->text();
        QCOMPARE(menus, (QStringList{"&File", "&Records", "Navi&gate", "&Options", "&Tools", "&Help"}));
        QStringList options;
        for (QAction* a : w.menuBar()->actions()[3]->menu()->actions())
            options << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(options, (QStringList{"Sort &Order", "Screen Si&ze", "&Screen Access", "&Color", "List &Maintenance",
                                       "C&urrency Format", "&Numeric Format", "&Date Format", "-", "&Label Font",
                                       "&Edit Font", "&Button Font"}));
        QCOMPARE(w.MenuNew->shortcut(), QKeySequence(QStringLiteral("Ctrl+W")));
        QCOMPARE(w.MenuUpdateDatabase->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
        QCOMPARE(w.N1280x1024->shortcut(), QKeySequence(QStringLiteral("Shift+F4")));
        QCOMPARE(w.MenuAllColor->shortcut(), QKeySequence(QStringLiteral("Ctrl+F9")));
        QCOMPARE(w.MenuButtonFont->shortcut(), QKeySequence(QStringLiteral("Shift+F10")));
        // Commands of later subsystems are shown but disabled until they are provided.
        QVERIFY(w.MenuAdd->isVisible() && !w.MenuAdd->isEnabled());
        QVERIFY(!w.AddSpeed->isEnabled());
        QVERIFY(w.provideCommand(QStringLiteral("MenuAdd"), [] {}));
        QVERIFY(w.MenuAdd->isEnabled() && w.AddSpeed->isEnabled());
        QVERIFY(!w.provideCommand(QStringLiteral("MenuNoSuchItem"), [] {}));
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
