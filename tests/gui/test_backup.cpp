// The Backup and Restore windows driven from the main window with keys and mouse clicks:
// the folder chooser, the four kinds, the messages through the scripted prompt, "&Cancel"
// turning into "&Close", a restored database becoming current, and the layout at every
// screen size.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "GuiTestSupport.h"
#include "core/backup/BackupRestore.h"
#include "core/db/SortOrder.h"
#include "core/db/Table.h"
#include "gui/app/TMain.h"
#include "gui/backup/BackupCommands.h"
#include "gui/backup/TMyBackup.h"
#include "gui/backup/TMyRestore.h"
#include "gui/common/Placement.h"

using rv::gui::MainOptions;
using rv::gui::TMain;
using rv::gui::TMyBackup;
using rv::gui::TMyRestore;
using rvtest::Sandbox;
namespace fs = std::filesystem;

namespace {

MainOptions options(QStringList arguments = {}) {
    MainOptions o;
    o.screenSize = QSize(1024, 768);
    o.arguments = std::move(arguments);
    return o;
}

QString q(const fs::path& p) { return QString::fromStdString(p.string()); }
QString q(const char* text) { return QString::fromLatin1(text); }

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

// The list row showing a folder name.
QListWidgetItem* row(QListWidget* list, const QString& text) {
    auto found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.front();
}

// Every child lies inside its parent and every caption fits its control.
void checkNothingClipped(QWidget* window) {
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || !w->parentWidget()) continue;
        if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w) ||
            qobject_cast<QComboBox*>(w) || qobject_cast<QListWidget*>(w)) {
            QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(w->objectName()));
        }
        QString text;
        int room = w->width();
        if (auto* b = qobject_cast<QPushButton*>(w)) {
            text = b->text().remove(QLatin1Char('&'));
            room -= 12;
        } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
            text = r->text().remove(QLatin1Char('&'));
            room -= 24;  // the indicator
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            text = g->title();
            room -= 16;
        }
        if (!text.isEmpty())
            QVERIFY2(w->fontMetrics().horizontalAdvance(text) <= room,
                     qPrintable(w->objectName() + QStringLiteral(": ") + text));
    }
}

}  // namespace

class BackupTest : public QObject {
    Q_OBJECT
private slots:
    void backupByKeysAndClicks() {
        Sandbox sb;
        rvtest::videoTable(sb.program() / "MASTER.DBF", {"Alien", "Brazil", "Casablanca"});
        const fs::path medium = sb.root() / "medium";
        fs::create_directories(medium / "weekly");
        TMain w(options());
        rv::gui::installBackupCommands(w);
        w.EnableEndSearch();
        QVERIFY(w.MenuBackup->isEnabled());

        bool checked = false;
        rvtest::whenModal<TMyBackup>([&](TMyBackup& d) {
            d.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            QCOMPARE(d.windowTitle(), QStringLiteral("Backup"));
            QVERIFY(d.BackDBF->isChecked());
            QCOMPARE(d.StartButton->text(), QStringLiteral("&Start Back Up"));
            QCOMPARE(d.CancelButton->text(), QStringLiteral("&Cancel"));
            QCOMPARE(d.HelpButton->text(), QStringLiteral("&Help"));
            QCOMPARE(d.DriveBox->itemData(0).toString(), QDir::homePath());
            // Any folder through the folder dialog, then into a subfolder of it with Enter.
            fs::create_directories(medium / "monthly");
            sb.prompt().directories = {q(medium)};
            click(d.BrowseButton);
            QCOMPARE(d.FolderLabel->text(), q(medium));
            d.DirBox->setFocus();
            d.DirBox->setCurrentItem(row(d.DirBox, QStringLiteral("weekly")));
            QTest::keyClick(d.DirBox, Qt::Key_Return);
            QCOMPARE(d.FolderLabel->text(), q(medium / "weekly"));
            QVERIFY2(d.isVisible(), "Enter in the folder list opens the folder");
            // Back up with Enter: the default button.
            click(d.BackDBF);
            QTest::keyClick(d.BackDBF, Qt::Key_Return);
            QCOMPARE(sb.prompt().texts(), QStringList{q(rv::backup::kBackupDone)});
            QCOMPARE(sb.prompt().messages().front().title, QStringLiteral("Notice"));
            QCOMPARE(d.CancelButton->text(), QStringLiteral("&Close"));
            QVERIFY(d.CancelButton->hasFocus());
            if (qEnvironmentVariableIsSet("REELVANE_SCREENSHOTS"))
                d.grab().save(qEnvironmentVariable("REELVANE_SCREENSHOTS") + QStringLiteral("/TMyBackup-done.png"));
            // A second backup before closing: the data lists.
            sb.prompt().clear();
            click(d.BackLST);
            QVERIFY(d.BackLST->isChecked());
            click(d.StartButton);
            QCOMPARE(sb.prompt().texts(), QStringList{q(rv::backup::kBackupDone)});
            click(d.CancelButton);
            checked = true;
        });
        w.MenuBackup->trigger();
        QVERIFY(checked);
        QVERIFY(fs::exists(medium / "weekly" / "MASTER.DBF"));
        QVERIFY(!fs::exists(medium / "weekly" / "MASTER.MDX"));
        // The table is open again, shared, with the search resumed.
        QVERIFY(w.table().isOpen());
        QVERIFY(!w.table().exclusive());
        QVERIFY(w.searchInForce());
        QVERIFY(w.SearchOnLabel->isVisibleTo(&w));
        QCOMPARE(w.CountLabel->text(), QStringLiteral("3"));
    }

    void backupMessagesOverTheWindow() {
        Sandbox sb;
        const auto master = rvtest::videoTable(sb.program() / "MASTER.DBF", {"Alien"});
        TMain w(options());
        auto host = rv::gui::mainBackupHost(w);
        TMyBackup d(*host, w.settings(), &w);
        // Into the program folder, where the database lives: identical.
        d.setFolder(sb.program());
        click(d.StartButton);
        QCOMPARE(sb.prompt().texts(), QStringList{q(rv::backup::kBackupIdentical)});
        QCOMPARE(sb.prompt().messages().front().title, QStringLiteral("Error"));
        QCOMPARE(d.CancelButton->text(), QStringLiteral("&Cancel"));  // a stopped run keeps Cancel
        // Another program holds the database.
        sb.prompt().clear();
        d.setFolder(sb.root());
        {
            rvtest::Holder other(master);
            QVERIFY(other.holding());
            click(d.StartButton);
        }
        QCOMPARE(sb.prompt().texts(), QStringList{q(rv::backup::backupInUseMessage().c_str())});
        QVERIFY(w.table().isOpen());
        QCOMPARE(d.CancelButton->text(), QStringLiteral("&Cancel"));
        QVERIFY(!fs::exists(sb.root() / "MASTER.DBF"));
        // Report definitions that are not there yet.
        sb.prompt().clear();
        click(d.BackURP);
        click(d.StartButton);
        QCOMPARE(sb.prompt().texts(), QStringList{q(rv::backup::kBackupFailed)});
    }

    void restoreADatabaseThatBecomesCurrent() {
        Sandbox sb;
        rvtest::videoTable(sb.program() / "MASTER.DBF", {"Alien"});
        const fs::path medium = sb.root() / "medium";
        fs::create_directories(medium);
        rvtest::videoTable(medium / "FILMS.DBF", {"Zulu", "Metropolis", "Brazil", "Alien"});
        TMain w(options());
        rv::gui::installBackupCommands(w);
        w.settings().sortLevels = {1, 0, 0, 0};
        w.session().buildSortString();
        w.EnableEndSearch();
        const std::string master = w.currentDatabase();

        rvtest::whenModal<TMyRestore>([&](TMyRestore& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Restore"));
            QVERIFY(d.RestoreDBF->isChecked());
            QCOMPARE(d.StartButton->text(), QStringLiteral("&Start Restore"));
            sb.prompt().files = {q(medium / "FILMS.DBF")};
            QTest::keyClick(d.RestoreDBF, Qt::Key_Return);
            QCOMPARE(sb.prompt().log.front().file.title, QStringLiteral("Restore Database File"));
            QCOMPARE(sb.prompt().texts(), QStringList{q(rv::backup::kRestoreDone)});
            QCOMPARE(d.CancelButton->text(), QStringLiteral("&Close"));
            click(d.CancelButton);
        });
        w.MenuRestore->trigger();
        QCOMPARE(w.windowTitle(), QStringLiteral("Reelvane Videos 97 (FILMS)"));
        QCOMPARE(w.currentDatabase(), (sb.program() / "FILMS.DBF").string());
        QCOMPARE(w.settings().recentDatabases[0], master);
        QVERIFY(!w.searchInForce());  // a database restore ends the search
        QVERIFY(w.table().isOpen());
        QCOMPARE(w.table().indexName(), std::string(rv::db::kSortTagName));
        QCOMPARE(rvtest::titles(w.table()), (std::vector<std::string>{"Alien", "Brazil", "Metropolis", "Zulu"}));
        QCOMPARE(w.CountLabel->text(), QStringLiteral("4"));
        // The database left behind wrote its settings; the restored one is where the next
        // start finds it.
        QVERIFY(fs::exists(sb.program() / "MASTER.INI"));
        w.close();
        QVERIFY(rvtest::readText(sb.programIni()).find("Last Database=" + (sb.program() / "FILMS.DBF").string()) !=
                std::string::npos);
    }

    void restoreDialogsAndListMessages() {
        Sandbox sb;
        fs::create_directories(sb.root() / "data");
        rvtest::videoTable(sb.root() / "data" / "MINE.DBF", {"A"});
        sb.writeProgramIni({{"Last Database", (sb.root() / "data" / "MINE.DBF").string()}});
        const fs::path medium = sb.root() / "medium";
        fs::create_directories(medium);
        rvtest::videoTable(medium / "x.dbf");
        for (const char* ext : {".001", ".002", ".003", ".004", ".005", ".006", ".007", ".008", ".009", ".010", ".011",
                                ".012", ".013", ".015"})
            std::ofstream(medium / (std::string("MINE") + ext)) << "Entry\r\n";
        TMain w(options());
        auto host = rv::gui::mainBackupHost(w);
        TMyRestore d(*host, w.settings(), &w);

        // Each choice's open dialog; cancelling it ends the command.
        struct Case {
            QRadioButton* radio;
            QString title, filterPart, suffix, proposed;
        };
        const Case cases[] = {
            {d.RestoreDBF, QStringLiteral("Restore Database File"), QStringLiteral("*.DBF *.dbf"), QStringLiteral("DBF"), {}},
            {d.RestoreLST, QStringLiteral("Restore Data List Files"), QStringLiteral("*.DBF *.dbf"), QStringLiteral("DBF"), {}},
            {d.RestoreINI, QStringLiteral("Restore Configuration File"), QStringLiteral("*.DBF *.dbf"), QStringLiteral("DBF"), {}},
            {d.RestoreURP, QStringLiteral("Restore URP File"), QStringLiteral("*.URP *.urp"), QStringLiteral("URP"),
             QStringLiteral("RVLVID.URP")},
        };
        for (const auto& c : cases) {
            sb.prompt().clear();
            sb.prompt().files = {std::nullopt};
            click(c.radio);
            click(d.StartButton);
            QCOMPARE(sb.prompt().log.size(), size_t(1));
            const auto& request = sb.prompt().log.front().file;
            QCOMPARE(request.title, c.title);
            QVERIFY2(request.filter.contains(c.filterPart), qPrintable(request.filter));
            QCOMPARE(request.defaultSuffix, c.suffix);
            QVERIFY(request.mustExist);
            if (!c.proposed.isEmpty()) QVERIFY(request.directory.endsWith(c.proposed));
            QCOMPARE(d.CancelButton->text(), QStringLiteral("&Cancel"));
        }

        // Lists from a folder that lacks MINE.016: one warning, then the notice, and the
        // lists land beside the current database.
        sb.prompt().clear();
        sb.prompt().files = {q(medium / "x.dbf")};
        click(d.RestoreLST);
        click(d.StartButton);
        QCOMPARE(sb.prompt().texts(), (QStringList{q(rv::backup::missingFileMessage("MINE.016").c_str()),
                                                   q(rv::backup::kListsPartlyRestored)}));
        QCOMPARE(sb.prompt().messages().front().title, QStringLiteral("Warning"));
        QVERIFY(fs::exists(sb.root() / "data" / "MINE.015"));
        QVERIFY(!fs::exists(sb.program() / "MINE.015"));
        QCOMPARE(d.CancelButton->text(), QStringLiteral("&Close"));
    }

    void restoringTheCurrentConfigurationAppliesItAtOnce() {
        Sandbox sb;
        rvtest::videoTable(sb.program() / "MASTER.DBF", {"A"});
        const fs::path medium = sb.root() / "medium";
        fs::create_directories(medium);
        std::ofstream(medium / "MASTER.INI") << "[Main Window Color]\r\nMain Background=255\r\n";
        std::ofstream(medium / "OTHER.INI") << "[Main Window Color]\r\nMain Background=65280\r\n";
        TMain w(options());
        auto host = rv::gui::mainBackupHost(w);
        TMyRestore d(*host, w.settings(), &w);
        click(d.RestoreINI);
        // Another database's file is only copied.
        sb.prompt().files = {q(medium / "OTHER.DBF")};
        click(d.StartButton);
        QCOMPARE(sb.prompt().texts(), QStringList{q(rv::backup::kConfigurationRestored)});
        QVERIFY(fs::exists(sb.program() / "OTHER.INI"));
        QCOMPARE(w.settings().colors[rv::app::MainWindowColors][rv::app::MainBackground], rv::app::kLightGrey);
        // The current database's file is read again and its colours shown.
        sb.prompt().clear();
        sb.prompt().files = {q(medium / "MASTER.DBF")};
        click(d.StartButton);
        QCOMPARE(sb.prompt().texts(), QStringList{q(rv::backup::kConfigurationRestored)});
        QCOMPARE(w.settings().colors[rv::app::MainWindowColors][rv::app::MainBackground], 255);
        QCOMPARE(w.Client->palette().color(QPalette::Window), QColor(255, 0, 0));
    }

    void browseOnlyModeDisablesBoth() {
        Sandbox sb;
        TMain w(options({QStringLiteral("/browse")}));
        rv::gui::installBackupCommands(w);
        QVERIFY(w.browseMode());
        QVERIFY(!w.MenuBackup->isEnabled());
        QVERIFY(!w.MenuRestore->isEnabled());
    }

    void layoutAtEveryScreenSize() {
        Sandbox sb;
        TMain w(options());
        auto host = rv::gui::mainBackupHost(w);
        const QByteArray shots = qgetenv("REELVANE_SCREENSHOTS");
        for (double factor : {1.0, 1.25, 1.6, 2.0}) {
            TMyBackup b(*host, w.settings(), &w);
            TMyRestore r(*host, w.settings(), &w);
            for (QDialog* d : {static_cast<QDialog*>(&b), static_cast<QDialog*>(&r)}) {
                rv::gui::placeDialog(d, w.settings(), factor, QSize(1280, 1024));
                d->show();
                QVERIFY(QTest::qWaitForWindowExposed(d));
                checkNothingClipped(d);
                if (!shots.isEmpty())
                    d->grab().save(QString::fromLocal8Bit(shots) + QLatin1Char('/') + d->objectName() +
                                   QStringLiteral("-%1.png").arg(factor));
                d->hide();
            }
        }
    }
};

QTEST_MAIN(BackupTest)
#include "test_backup.moc"
