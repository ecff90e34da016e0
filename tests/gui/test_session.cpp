// The main window over its database session: a record typed in the grid survives the
// commands that close the table, the index file is current after every kind of change, and
// New Database refuses a folder that does not exist.
#include <QAbstractItemView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <memory>

#include "GuiTestSupport.h"
#include "core/app/Paths.h"
#include "core/app/Session.h"
#include "core/db/SortOrder.h"
#include "gui/app/TMain.h"
#include "gui/browse/Viewer.h"
#include "gui/edit/TMyEdit.h"

using rv::gui::TMain;
using rv::gui::TMyEdit;
using rv::gui::TNavigator;
using rvtest::Sandbox;
namespace fs = std::filesystem;

namespace {

// A shown main window over FILMS.DBF (sorted by title, Field Editing on) with the record
// editor and the viewer grid installed.
struct Program {
    explicit Program(std::vector<std::string> titles = {"Alpha", "Bravo"}) {
        db = rvtest::videoTable(sb.root() / "FILMS.DBF", titles);
        sb.writeProgramIni({{"Last Database", db.string()}});
        std::ofstream(sb.root() / "FILMS.INI", std::ios::binary)
            << "[Sort Order]\r\nPrimary Sort=1\r\n[Grid Options]\r\nField Editing=Yes\r\n";
        rv::gui::MainOptions options;
        options.screenSize = QSize(1024, 768);
        main = std::make_unique<TMain>(options);
        rv::gui::installRecordEditor(*main);
        rv::gui::installViewer(*main);
        main->resize(800, 500);
        main->show();
        if (!QTest::qWaitForWindowExposed(main.get())) throw std::runtime_error("window not shown");
    }

    QTableView* grid() { return main->viewerGrid(); }

    // Clicks a navigator button as the user would.
    void navigator(TNavigator::Button b) { QTest::mouseClick(main->MyNavigator->button(b), Qt::LeftButton); }

    // The editor open in a cell of the grid, or nullptr.
    QLineEdit* cellEditor() {
        for (QLineEdit* e : grid()->viewport()->findChildren<QLineEdit*>())
            if (e->isVisible()) return e;
        return nullptr;
    }

    // A cell of the grid by its row and its Title column (catalogue order: Title is column 0).
    void clickCell(int row, int column) {
        QTableView* g = grid();
        const QRect r = g->visualRect(g->model()->index(row, column));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
    }

    // The titles in the file, as another program would read them now.
    std::vector<std::string> titlesOnDisk() {
        rv::db::Table t;
        t.setPath(db);
        t.open();
        std::vector<std::string> out;
        for (int r = 1; r <= t.physicalRecordCount(); ++r)
            if (!t.isDeleted(r)) out.push_back(t.valueAt(r, t.fieldIndex("Title")));
        return out;
    }

    // Whether the tag in the .MDX on disk matches the records on disk.
    rv::db::Table::TagStatus tagOnDisk() {
        rv::db::Table t;
        t.setPath(db);
        t.open();
        return t.tagStatus(rv::db::kSortTagName);
    }

    Sandbox sb;
    fs::path db;
    std::unique_ptr<TMain> main;
};

bool contains(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

}  // namespace

class SessionWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setStyle(QStringLiteral("Fusion")); }

    // Navigator "+", a title typed into the grid, then Tools > Rebuild Indexes > Yes: the
    // record typed is in the file afterwards.
    void aRecordTypedInTheGridSurvivesRebuildIndexes() {
        Program p;
        p.navigator(TNavigator::Insert);
        QCOMPARE(p.main->table().state(), rv::db::Table::State::Insert);
        p.grid()->setFocus();
        // The first key opens the cell's editor; the rest go where the focus now is.
        QTest::keyClick(p.grid(), 'C');
        QLineEdit* cell = p.cellEditor();
        QVERIFY(cell && cell->hasFocus());
        QTest::keyClicks(cell, QStringLiteral("asablanca"));
        QCOMPARE(cell->text(), QStringLiteral("Casablanca"));  // still typing in the cell
        p.sb.prompt().answers = {rv::gui::Answer::Yes};
        p.main->MenuRebuild->trigger();  // Tools > Rebuild Indexes
        QVERIFY2(contains(p.titlesOnDisk(), "Casablanca"), "the typed record was dropped");
        QCOMPARE(p.main->table().recordCount(), 3);
        QCOMPARE(p.tagOnDisk(), rv::db::Table::TagStatus::Current);
    }

    // The same for the other commands that close or reopen the table.
    void aCellBeingEditedIsPostedBeforeEveryClosingCommand() {
        struct Case {
            const char* name;
            std::function<void(Program&)> command;
        };
        const std::vector<Case> cases = {
            {"Pack", [](Program& p) {
                 p.sb.prompt().answers = {rv::gui::Answer::Yes};
                 p.main->MenuPack->trigger();
             }},
            {"Update Database", [](Program& p) { p.main->MenuUpdateDatabase->trigger(); }},
            {"Open Database", [](Program& p) {
                 const fs::path other = rvtest::videoTable(p.sb.root() / "OTHER.DBF", {"Other"});
                 p.sb.prompt().files = {QString::fromStdString(other.string())};
                 p.main->MenuOpen->trigger();
             }},
            {"Exit", [](Program& p) { p.main->close(); }},
        };
        for (const auto& c : cases) {
            Program p;
            p.clickCell(1, 0);  // Bravo's title
            QTest::keyClick(p.grid(), Qt::Key_F2);
            QLineEdit* cell = p.cellEditor();
            QVERIFY2(cell && cell->hasFocus(), c.name);
            cell->selectAll();
            QTest::keyClicks(cell, QStringLiteral("Brazil"));
            c.command(p);
            QVERIFY2(contains(p.titlesOnDisk(), "Brazil"), c.name);
            QVERIFY2(!contains(p.titlesOnDisk(), "Bravo"), c.name);
        }
    }

    // The .MDX on disk matches the records after an edit in the grid, an editor Update and an
    // editor Delete, each seen before the table is closed.
    void theIndexIsCurrentAfterEveryKindOfChange() {
        Program p;
        // The grid: a title changed in place (Bravo's), Enter to store it.
        p.clickCell(1, 0);
        QTest::keyClick(p.grid(), Qt::Key_F2);
        QLineEdit* cell = p.cellEditor();
        QVERIFY(cell);
        cell->selectAll();
        QTest::keyClicks(cell, QStringLiteral("Zebra"));
        QTest::keyClick(cell, Qt::Key_Return);
        QTest::qWait(20);  // the command ends once its events are handled
        QVERIFY(contains(p.titlesOnDisk(), "Zebra"));
        QCOMPARE(p.tagOnDisk(), rv::db::Table::TagStatus::Current);

        // Editor: Add a record and Update.
        rvtest::whenModal<TMyEdit>([&](TMyEdit& ed) {
            ed.Title->setFocus();
            QTest::keyClicks(ed.Title, QStringLiteral("Aardvark"));
            QTest::mouseClick(ed.UpdateButton, Qt::LeftButton);
            QTest::qWait(20);
            QVERIFY(contains(p.titlesOnDisk(), "Aardvark"));
            QCOMPARE(p.tagOnDisk(), rv::db::Table::TagStatus::Current);
            ed.reject();
        });
        p.main->MenuAdd->trigger();
        QCOMPARE(p.tagOnDisk(), rv::db::Table::TagStatus::Current);

        // Editor: Delete, answered Yes.
        p.main->table().first();
        p.sb.prompt().answers = {rv::gui::Answer::Yes};
        p.main->MenuDelete->trigger();
        QVERIFY(!contains(p.titlesOnDisk(), "Aardvark"));
        QCOMPARE(p.tagOnDisk(), rv::db::Table::TagStatus::Current);
    }

    // New Database in a folder that does not exist: the dialog says so and asks again; the
    // current database stays and nothing is created.
    void newDatabaseRefusesAMissingFolder() {
        Program p;
        const std::string before = p.main->currentDatabase();
        const fs::path missing = p.sb.root() / "no such folder" / "NEW.DBF";
        const fs::path good = p.sb.root() / "NEW.DBF";
        p.sb.prompt().files = {QString::fromStdString(missing.string()), QString::fromStdString(good.string())};
        p.main->MenuNew->trigger();
        const QStringList texts = p.sb.prompt().texts();
        QCOMPARE(texts.size(), 1);
        QCOMPARE(texts.front(), QString::fromStdString(*rv::app::missingFolderProblem(missing.string())));
        QCOMPARE(p.sb.prompt().messages().front().title, QStringLiteral("Error"));
        QVERIFY(!fs::exists(missing.parent_path()));
        QCOMPARE(p.main->currentDatabase(), good.string());
        QVERIFY(before != good.string());

        // Cancelled after the refusal: nothing changes.
        p.sb.prompt().clear();
        p.sb.prompt().files = {QString::fromStdString(missing.string()), std::nullopt};
        p.main->MenuNew->trigger();
        QCOMPARE(p.main->currentDatabase(), good.string());
    }
};

QTEST_MAIN(SessionWindowTest)
#include "test_session.moc"
