// Search and locate from the main window: the commands, "SEARCH ON", the End Search
// controls, the record count and the viewer following the search, and the database commands
// that suspend or end it.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include "GuiTestSupport.h"
#include "gui/app/SearchCommands.h"
#include "gui/app/TMain.h"
#include "gui/browse/TMyLocateDlg.h"
#include "gui/browse/TMySearch.h"
#include "gui/browse/Viewer.h"
#include "gui/browse/ViewerGrid.h"
#include "gui/edit/TMyEdit.h"
#include "gui/exchange/ExchangeCommands.h"
#include "gui/exchange/TMyExport.h"

using rv::gui::TMain;
using rvtest::Sandbox;

namespace {

// The main window in mode 2 (lettered buttons too) over FILMS.DBF, with the editor, the
// viewer and the finding commands installed.
struct Program {
    Program() {
        db = rvtest::videoTable(sb.root() / "FILMS.DBF", {"Star Wars", "Vertigo", "Lone Star", "Alien", "Stargate"});
        other = rvtest::videoTable(sb.root() / "OTHER.DBF", {"Casablanca"});
        sb.writeProgramIni({{"Last Database", db.string()}, {"Button Bar", "2"}});
        rv::gui::MainOptions options;
        options.screenSize = QSize(1024, 768);
        main = std::make_unique<TMain>(options);
        rv::gui::installRecordEditor(*main);
        grid = rv::gui::installViewer(*main);
        rv::gui::installSearch(*main);
        rv::gui::installExchange(*main);
        main->show();
    }
    int gridRows() { return grid->model()->rowCount(); }

    Sandbox sb;
    std::filesystem::path db, other;
    std::unique_ptr<TMain> main;
    rv::gui::ViewerGrid* grid = nullptr;
};

// Runs the Search command with the Title row typed and "&Ok" pressed.
void searchTitles(TMain& w, const QString& text) {
    bool ran = false;
    rvtest::whenModal<rv::gui::TMySearch>([&](rv::gui::TMySearch& s) {
        ran = true;
        s.SearchGrid->setFocus();
        s.SearchGrid->setCurrentCell(0, 2);
        QTest::keyClick(s.SearchGrid, Qt::Key_F2);
        QWidget* editor = s.SearchGrid->indexWidget(s.SearchGrid->currentIndex());
        QVERIFY(editor);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        QTest::mouseClick(s.OkButton, Qt::LeftButton);
    });
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    if (!ran) w.MenuSearch->trigger();  // shortcuts need an active window
    QVERIFY(ran);
}

}  // namespace

class SearchMainTest : public QObject {
    Q_OBJECT

private slots:
    void aSearchFiltersTheViewerAndTheCount() {
        Program p;
        TMain& w = *p.main;
        QVERIFY(w.MenuSearch->isEnabled());
        QVERIFY(!w.MenuEndSearch->isEnabled());
        QVERIFY(!w.EndSearchButton->isEnabled());
        QVERIFY(!w.EndSearchSpeed->isEnabled());
        QVERIFY(!w.SearchOnLabel->isVisibleTo(&w));
        QCOMPARE(w.CountLabel->text(), QStringLiteral("5"));

        searchTitles(w, QStringLiteral("star"));
        QVERIFY(w.searchInForce());
        QVERIFY(w.SearchOnLabel->isVisibleTo(&w));
        QCOMPARE(w.SearchOnLabel->text(), QStringLiteral("SEARCH ON"));
        QVERIFY(w.MenuEndSearch->isEnabled());
        QVERIFY(w.EndSearchButton->isEnabled());
        QVERIFY(w.EndSearchSpeed->isEnabled());
        QCOMPARE(w.CountLabel->text(), QStringLiteral("3"));
        QCOMPARE(p.gridRows(), 3);

        // "E&nd Srch": every record again; the criteria stay for the next resumption.
        QTest::mouseClick(w.EndSearchButton, Qt::LeftButton);
        QVERIFY(!w.searchInForce());
        QVERIFY(!w.SearchOnLabel->isVisibleTo(&w));
        QVERIFY(!w.EndSearchSpeed->isEnabled());
        QCOMPARE(w.CountLabel->text(), QStringLiteral("5"));
        QCOMPARE(p.gridRows(), 5);
        QCOMPARE(w.search().criteria(), rvtest::titleCriteria("star"));
    }

    void exportWritesTheSearchOrTheEntireDatabaseAndKeepsTheSearch() {
        Program p;
        TMain& w = *p.main;
        for (int n = 2; n <= 40; ++n) w.settings().exportFields[n] = false;
        w.settings().exportFirstRow = false;
        searchTitles(w, QStringLiteral("star"));
        QCOMPARE(p.gridRows(), 3);
        const auto exportTo = [&](const std::filesystem::path& file, bool entire) {
            p.sb.prompt().files.push_back(QString::fromStdString(file.string()));
            bool ran = false;
            rvtest::whenModal<rv::gui::TMyExport>([&](rv::gui::TMyExport& e) {
                ran = true;
                QVERIFY(e.ExportSearch->isEnabled());
                QVERIFY(e.ExportSearch->isChecked());
                if (entire) QTest::mouseClick(e.ExportEntire, Qt::LeftButton);
                QTest::mouseClick(e.StartExportButton, Qt::LeftButton);
            });
            w.menuItem(QStringLiteral("MenuExport"))->trigger();
            QVERIFY(ran);
        };
        // The lines of an export, in sorted order (the export walks the database's order).
        const auto linesOf = [](const std::filesystem::path& file) {
            QStringList lines = QString::fromStdString(rvtest::readText(file)).split(QStringLiteral("\r\n"));
            lines.sort();
            return lines.join(QLatin1Char('|'));
        };
        exportTo(p.sb.root() / "found.txt", false);
        QCOMPARE(linesOf(p.sb.root() / "found.txt"), QStringLiteral("|\"Lone Star\"|\"Star Wars\"|\"Stargate\""));
        // "Export Entire Database" writes every record, and the search is in force afterwards.
        exportTo(p.sb.root() / "all.txt", true);
        QCOMPARE(linesOf(p.sb.root() / "all.txt"),
                 QStringLiteral("|\"Alien\"|\"Lone Star\"|\"Star Wars\"|\"Stargate\"|\"Vertigo\""));
        QVERIFY(w.searchInForce());
        QVERIFY(w.SearchOnLabel->isVisibleTo(&w));
        QCOMPARE(w.table().recordCount(), 3);
        QCOMPARE(p.gridRows(), 3);
    }

    void updateDatabaseSuspendsAndResumesOpeningAnotherEndsIt() {
        Program p;
        TMain& w = *p.main;
        searchTitles(w, QStringLiteral("star"));
        QCOMPARE(p.gridRows(), 3);
        // Another holder adds a matching record; Update Database reads the table again.
        {
            rv::db::Table t;
            t.setPath(p.db);
            t.open();
            t.append();
            t.setString("Title", "Dark Star");
            t.post();
            t.close();
        }
        w.MenuUpdateDatabase->trigger();
        QVERIFY(w.searchInForce());
        QVERIFY(w.SearchOnLabel->isVisibleTo(&w));
        QCOMPARE(w.CountLabel->text(), QStringLiteral("4"));
        QCOMPARE(p.gridRows(), 4);

        p.sb.prompt().files = {QString::fromStdString(p.other.string())};
        w.DoOpen();
        QCOMPARE(w.windowTitle(), QStringLiteral("Reelvane Videos 97 (OTHER)"));
        QVERIFY(!w.searchInForce());
        QVERIFY(!w.SearchOnLabel->isVisibleTo(&w));
        QVERIFY(!w.MenuEndSearch->isEnabled());
        QCOMPARE(w.CountLabel->text(), QStringLiteral("1"));
        QCOMPARE(p.gridRows(), 1);
    }

    void locateAndLocateNextFromTheMenu() {
        Program p;
        TMain& w = *p.main;
        auto* locate = rv::gui::locateDialog(w);
        QVERIFY(locate);
        QCOMPARE(locate->properties().caption, std::string("Locate Field Value"));
        w.table().first();
        // Locate Next before any locate opens the dialog.
        rvtest::whenModal<rv::gui::TMyLocateDlg>([](rv::gui::TMyLocateDlg& d) {
            QVERIFY(QTest::qWaitForWindowActive(&d));
            d.FieldNameComboBox->setFocus();
            QTest::keyClicks(d.FieldNameComboBox, QStringLiteral("Title"));
            QTest::keyClick(d.FieldNameComboBox, Qt::Key_Return);
            QTest::keyClicks(d.SearchValue, QStringLiteral("star"));
            QTest::mouseClick(d.FirstButton, Qt::LeftButton);
        });
        w.MenuFindNext->trigger();
        QCOMPARE(w.table().recNo(), 1);
        QCOMPARE(p.grid->currentIndex().row(), 0);
        w.MenuFindNext->trigger();
        QCOMPARE(w.table().recNo(), 5);  // "Lone Star" does not begin with STAR
        QCOMPARE(p.grid->currentIndex().row(), 4);
        w.MenuFindNext->trigger();
        QCOMPARE(w.table().recNo(), 5);
        QCOMPARE(p.sb.prompt().texts(), QStringList{QStringLiteral("No more matches found")});

        // The settings survive opening another database.
        p.sb.prompt().files = {QString::fromStdString(p.other.string())};
        w.DoOpen();
        QCOMPARE(locate->properties().value, std::string("star"));
        QCOMPARE(locate->properties().searchField, std::string("TITLE"));
    }
};

QTEST_MAIN(SearchMainTest)
#include "test_search_main.moc"
