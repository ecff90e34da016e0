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

#include <set>

#include "GuiTestSupport.h"
#include "core/db/Table.h"
#include "core/db/VideoTable.h"
#include "core/app/MainRules.h"
#include "gui/app/TColorConfig.h"
#include "gui/app/TMain.h"
#include "gui/db/TMySortOrder.h"

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
        QTest::addColumn<bool>("speed");
        QTest::addColumn<bool>("lettered");
        QTest::addColumn<int>("navTop");
        QTest::addColumn<int>("bevelTop");
        QTest::addColumn<int>("gridTop");
        QTest::addColumn<int>("countTop");
        QTest::newRow("speed buttons") << 1 << true << false << 3 << 34 << 70 << 38;
        QTest::newRow("lettered buttons") << 2 << false << true << 47 << 86 << 122 << 90;
        QTest::newRow("none") << 3 << false << false << 8 << 4 << 40 << 8;
    }
    void buttonBarModesLayOutTheWindow() {
        QFETCH(int, mode);
        QFETCH(bool, speed);
        QFETCH(bool, lettered);
        QFETCH(int, navTop);
        QFETCH(int, bevelTop);
        QFETCH(int, gridTop);
        QFETCH(int, countTop);
        Sandbox sb;
        TMain w(onScreen(QSize(1024, 768)));
        w.resize(800, 600);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QAction* items[] = {w.MenuSpeed, w.MenuButtons, w.MenuNoButtons};
        items[mode - 1]->trigger();
        QCOMPARE(w.settings().buttonBar, mode);
        for (int m = 0; m < 3; ++m) QCOMPARE(items[m]->isChecked(), m == mode - 1);
        QCOMPARE(w.SpeedPanel->isVisible(), speed);
        QCOMPARE(w.AddButton->isVisible(), lettered);
        QCOMPARE(w.Bevel1->isVisible(), lettered);
        QCOMPARE(w.ButtonExit->isEnabled(), lettered);
        QCOMPARE(w.NavigatorLabel->isVisible(), lettered);

        const int cw = w.Client->width();
        const int ch = w.Client->height();
        QCOMPARE(w.MyNavigator->y(), navTop);
        if (mode == 3) QCOMPARE(w.MyNavigator->geometry(), QRect(cw - 207, 8, 201, 25));
        QCOMPARE(w.ViewerBevel->geometry(), QRect(3, bevelTop, cw - 6, ch - bevelTop - 3));
        QCOMPARE(w.ViewerGrid->geometry(), QRect(7, gridTop, cw - 14, ch - gridTop - 7));
        QCOMPARE(w.CountLabel->y(), countTop);
        QCOMPARE(w.ViewerLabel->x(), (cw - w.ViewerLabel->width()) / 2);

        // A resize keeps the layout of the mode.
        w.resize(700, 500);
        QTRY_COMPARE(w.ViewerGrid->geometry(),
                     QRect(7, gridTop, w.Client->width() - 14, w.Client->height() - gridTop - 7));
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

    // Screenshots for looking at, when REELVANE_SHOTS names a folder.
    void screenshots() {
        const QByteArray dir = qgetenv("REELVANE_SHOTS");
        if (dir.isEmpty()) QSKIP("REELVANE_SHOTS not set");
        Sandbox sb;
        const auto db = rvtest::videoTable(sb.root() / "FILMS.DBF", {"Casablanca", "Vertigo", "Alien"});
        sb.writeProgramIni({{"Last Database", db.string()}});
        TMain w(onScreen(QSize(1280, 1024)));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QAction* items[] = {w.MenuSpeed, w.MenuButtons, w.MenuNoButtons};
        for (int m = 0; m < 3; ++m) {
            items[m]->trigger();
            QApplication::processEvents();
            QVERIFY(w.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/main_mode%1.png").arg(m + 1)));
        }
        w.EnableEndSearch();
        w.MenuSpeed->trigger();
        QApplication::processEvents();
        w.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/main_search.png"));
        rv::gui::TColorConfig colors(w, rv::app::ColorWindow::Main);
        colors.show();
        QVERIFY(QTest::qWaitForWindowExposed(&colors));
        colors.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/colors.png"));
        colors.ColorSetsChange(12);
        colors.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/colors_camouflage.png"));
        colors.reject();
        rv::gui::TMySortOrder sort(w);
        sort.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sort));
        sort.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/sort.png"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
