// Opening, creating and switching databases; the sort order window; pack and rebuild.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "GuiTestSupport.h"
#include "core/db/SortOrder.h"
#include "core/db/Table.h"
#include "core/db/VideoTable.h"
#include "gui/app/TMain.h"
#include "gui/common/Messages.h"
#include "gui/db/TMySortOrder.h"

using rv::gui::Answer;
using rv::gui::MainOptions;
using rv::gui::TMain;
using rvtest::Sandbox;
namespace fs = std::filesystem;

namespace {

const QString kNotVideo = QString::fromLatin1(rv::db::kNotVideoTableMessage);

MainOptions options() {
    MainOptions o;
    o.screenSize = QSize(1024, 768);
    return o;
}

QString q(const fs::path& p) { return QString::fromStdString(p.string()); }

std::vector<std::string> recent(TMain& w) {
    std::vector<std::string> out;
    for (const auto& r : w.settings().recentDatabases) out.push_back(r);
    return out;
}

// Records what the database switch asks of the data lists.
struct ListLog : rv::gui::DataLists {
    QStringList calls;
    void SaveAllLists(const fs::path& base) override { calls << QStringLiteral("save ") + q(base.filename()); }
    void LoadAllList(const fs::path& base) override { calls << QStringLiteral("load ") + q(base.filename()); }
    void LoadDefaultList() override { calls << QStringLiteral("defaults"); }
};

// A table of three records, one of them deleted.
fs::path tableWithDeleted(const fs::path& path) {
    rvtest::videoTable(path, {"Keep 1", "Gone", "Keep 2"});
    rv::db::Table t;
    t.setPath(path);
    t.open();
    t.moveToRecNo(2);
    t.deleteRecord();
    t.close();
    return path;
}

}  // namespace

class DatabasesTest : public QObject {
    Q_OBJECT
private slots:
    void newOpenAndRecentSwitching() {
        Sandbox sb;
        TMain w(options());
        ListLog lists;
        w.setDataLists(&lists);
        const std::string master = (sb.program() / "MASTER.DBF").string();
        const auto b = sb.root() / "B.DBF";
        const auto c = rvtest::videoTable(sb.root() / "C.DBF", {"Only"});
        w.settings().sortLevels = {1, 0, 0, 0};  // MASTER's order, written when it is left

        sb.prompt().files = {q(b)};
        w.DoNew();
        QCOMPARE(sb.prompt().log.front().file.title, QStringLiteral("New Database File"));
        QVERIFY(sb.prompt().log.front().file.filter.contains(QStringLiteral("*.dbf")));
        QCOMPARE(w.windowTitle(), QStringLiteral("Reelvane Videos 97 (B)"));
        QVERIFY(fs::exists(b));
        QCOMPARE(w.currentDatabase(), b.string());
        // A new database starts with the default order, Star 1.
        QCOMPARE(QString::fromStdString(w.table().orderExpression()), QStringLiteral("Upper(Left(Star1,80))"));
        QVERIFY(rvtest::readText(sb.program() / "MASTER.INI").find("Primary Sort=1") != std::string::npos);
        QCOMPARE(recent(w), (std::vector<std::string>{master, "", "", "", ""}));
        QVERIFY(w.MenuExitSep->isVisible());
        QCOMPARE(w.MenuLastFile[0]->text(), QStringLiteral("&1   ") + QString::fromStdString(master));
        QVERIFY(w.MenuLastFile[0]->isVisible() && !w.MenuLastFile[1]->isVisible());

        sb.prompt().files = {q(c)};
        w.DoOpen();
        QCOMPARE(w.windowTitle(), QStringLiteral("Reelvane Videos 97 (C)"));
        QCOMPARE(w.CountLabel->text(), QStringLiteral("1"));
        QCOMPARE(recent(w), (std::vector<std::string>{b.string(), master, "", "", ""}));

        // Entry 2 (MASTER) leaves the list when it becomes current again.
        w.MenuLastFile[1]->trigger();
        QCOMPARE(w.windowTitle(), QStringLiteral("Reelvane Videos 97 (MASTER)"));
        QCOMPARE(recent(w), (std::vector<std::string>{c.string(), b.string(), "", "", ""}));
        QCOMPARE(w.settings().sortLevels[0], 1);  // MASTER's own settings came back
        QVERIFY(sb.prompt().messages().empty());

        // Lists: those of the database left are saved before the new ones load; a new
        // database starts from the defaults.
        QCOMPARE(lists.calls, (QStringList{"save MASTER", "defaults", "save B", "load C", "save C", "load MASTER"}));

        // Opening the current database again puts it at the top of the list.
        sb.prompt().files = {QString::fromStdString(master)};
        w.DoOpen();
        QCOMPARE(recent(w), (std::vector<std::string>{master, c.string(), b.string(), "", ""}));
    }

    void openRefusals_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong extension") << "FILMS.TXT" << "Invalid file type selected.";
        QTest::newRow("not a video table") << "PEOPLE.DBF" << kNotVideo;
    }
    void openRefusals() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        Sandbox sb;
        TMain w(options());
        rvtest::videoTable(sb.root() / "FILMS.TXT", {"A"});
        rvtest::foreignTable(sb.root() / "PEOPLE.DBF");
        sb.prompt().files = {q(sb.root() / file.toStdString())};
        w.DoOpen();
        QCOMPARE(sb.prompt().texts(), QStringList{message});
        QCOMPARE(w.windowTitle(), QStringLiteral("Reelvane Videos 97 (MASTER)"));
        QVERIFY(w.table().isOpen());
        QVERIFY(!w.MenuExitSep->isVisible());
    }

    void lowerCaseExtensionOpens() {
        Sandbox sb;
        TMain w(options());
        const auto lower = rvtest::videoTable(sb.root() / "films.dbf", {"A", "B"});
        sb.prompt().files = {q(lower)};
        w.DoOpen();
        QVERIFY(sb.prompt().messages().empty());
        QCOMPARE(w.windowTitle(), QStringLiteral("Reelvane Videos 97 (films)"));
        QCOMPARE(w.CountLabel->text(), QStringLiteral("2"));
    }

    void newDatabaseOverAnExistingFile() {
        Sandbox sb;
        TMain w(options());
        // Over a file no one holds: replaced by an empty table.
        const auto free = rvtest::videoTable(sb.root() / "OLD.DBF", {"A", "B"});
        sb.prompt().files = {q(free)};
        w.DoNew();
        QCOMPARE(w.windowTitle(), QStringLiteral("Reelvane Videos 97 (OLD)"));
        QCOMPARE(w.CountLabel->text(), QStringLiteral("0"));
        // Over a file another program holds: refused, nothing changes.
        const auto held = rvtest::videoTable(sb.root() / "HELD.DBF", {"A"});
        rvtest::Holder holder(held);
        QVERIFY(holder.holding());
        sb.prompt().files = {q(held)};
        w.DoNew();
        QCOMPARE(sb.prompt().texts(),
                 QStringList{QStringLiteral("The table \"") + q(held) +
                             QStringLiteral("\" is currently in use by another program.  New table creation will be aborted.")});
        QCOMPARE(w.windowTitle(), QStringLiteral("Reelvane Videos 97 (OLD)"));
        rv::db::Table check;
        check.setPath(held);
        check.open();
        QCOMPARE(check.recordCount(), 1);
    }

    void openingAHeldDatabaseKeepsItsTag() {
        Sandbox sb;
        TMain w(options());
        const auto db = rvtest::videoTable(sb.root() / "SHARED.DBF", {"b", "A"});
        rvtest::Holder holder(db);
        QVERIFY(holder.holding());
        sb.prompt().files = {q(db)};
        w.DoOpen();
        // Current and open shared, but no tag was built while another program held it.
        QCOMPARE(w.windowTitle(), QStringLiteral("Reelvane Videos 97 (SHARED)"));
        QVERIFY(w.table().isOpen());
        QVERIFY(!fs::exists(sb.root() / "SHARED.MDX"));
        QCOMPARE(w.CountLabel->text(), QStringLiteral("2"));
    }

    void updateDatabaseKeepsTheSearch() {
        Sandbox sb;
        TMain w(options());
        w.EnableEndSearch();
        w.settings().sortLevels = {11, 0, 0, 0};
        w.MenuUpdateDatabase->trigger();
        QVERIFY(w.searchInForce());
        QVERIFY(w.SearchOnLabel->isVisibleTo(&w));
        QVERIFY(w.MenuEndSearch->isEnabled());
        QVERIFY(w.table().isOpen());
        QVERIFY(rvtest::readText(sb.program() / "MASTER.INI").find("Primary Sort=11") != std::string::npos);
        w.MenuEndSearch->trigger();
        QVERIFY(!w.searchInForce());
        QVERIFY(!w.SearchOnLabel->isVisibleTo(&w));
        QVERIFY(!w.MenuEndSearch->isEnabled());
    }

    void sortOrderOk() {
        Sandbox sb;
        const auto db = rvtest::videoTable(sb.root() / "FILMS.DBF", {"Zulu", "alpha", "Mike", "alpha"});
        sb.writeProgramIni({{"Last Database", db.string()}});
        TMain w(options());
        rv::gui::TMySortOrder dialog(w);
        QCOMPARE(dialog.ComboBox[0]->currentIndex(), 2);  // the default, Star 1
        QCOMPARE(dialog.ComboBox[0]->count(), 41);
        QCOMPARE(dialog.ComboBox[0]->itemText(0), QStringLiteral("<NONE>"));
        QCOMPARE(dialog.ComboBox[0]->itemText(11), QStringLiteral("Year"));
        // Levels none, Title, none, Year.
        dialog.ComboBox[0]->setCurrentIndex(0);
        dialog.ComboBox[1]->setCurrentIndex(1);
        dialog.ComboBox[3]->setCurrentIndex(11);
        dialog.OkButtonClick();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(sb.prompt().log.empty());
        QCOMPARE(w.settings().sortLevels, (std::array<std::int32_t, 4>{0, 1, 0, 11}));
        QCOMPARE(QString::fromStdString(w.sortExpression()), QStringLiteral("Upper(Left(Title,40))+STR(Year,12,0)"));
        QVERIFY(w.table().isOpen());
        QVERIFY(!w.table().exclusive());
        QCOMPARE(rvtest::titles(w.table()), (std::vector<std::string>{"alpha", "alpha", "Mike", "Zulu"}));
        const std::string ini = rvtest::readText(sb.root() / "FILMS.INI");
        QVERIFY(ini.find("Secondary Sort=1") != std::string::npos);
        QVERIFY(ini.find("Fourth Level Sort=11") != std::string::npos);

        // All four none: record order; the old tag stays in the index file unselected.
        rv::gui::TMySortOrder none(w);
        for (auto* combo : none.ComboBox) combo->setCurrentIndex(0);
        none.OkButtonClick();
        QCOMPARE(w.sortExpression(), std::string());
        QCOMPARE(w.table().indexName(), std::string());
        QCOMPARE(rvtest::titles(w.table()), (std::vector<std::string>{"Zulu", "alpha", "Mike", "alpha"}));
        QCOMPARE(w.table().indexTags(), std::vector<std::string>{"NEWINDEX"});
    }

    void sortOrderWhileAnotherProgramHoldsTheTable() {
        Sandbox sb;
        const auto db = rvtest::videoTable(sb.root() / "FILMS.DBF", {"b", "a"});
        sb.writeProgramIni({{"Last Database", db.string()}});
        TMain w(options());
        rvtest::Holder holder(db);
        QVERIFY(holder.holding());
        rv::gui::TMySortOrder dialog(w);
        dialog.ComboBox[0]->setCurrentIndex(1);
        dialog.OkButtonClick();
        QCOMPARE(sb.prompt().texts(), QStringList{rv::gui::exclusiveUseMessage(QStringLiteral("Creating a new sort order"))});
        QVERIFY(dialog.result() != int(QDialog::Accepted));
        QCOMPARE(w.settings().sortLevels[0], 2);
        QVERIFY(w.table().isOpen());
        QCOMPARE(w.table().recordCount(), 2);
    }

    void sortOrderEngineFailureRestoresTheLevels() {
        Sandbox sb;
        const auto db = rvtest::videoTable(sb.root() / "FILMS.DBF", {"b", "a"});
        sb.writeProgramIni({{"Last Database", db.string()}});
        TMain w(options());
        const std::string before = w.sortExpression();
        // An index file that cannot be written: a folder of that name.
        w.table().close();
        fs::remove(sb.root() / "FILMS.MDX");
        fs::create_directory(sb.root() / "FILMS.MDX");
        w.ReopenShared();
        rv::gui::TMySortOrder dialog(w);
        dialog.ComboBox[0]->setCurrentIndex(1);
        dialog.OkButtonClick();
        QCOMPARE(sb.prompt().texts(),
                 QStringList{QStringLiteral("Error in implementing sort order.  New sort order not implemented.")});
        QVERIFY(dialog.result() != int(QDialog::Accepted));
        QCOMPARE(w.settings().sortLevels[0], 2);
        QCOMPARE(w.sortExpression(), before);
        QVERIFY(w.table().isOpen());
        QVERIFY(!w.table().exclusive());
    }

    void sortOrderFromTheMenu() {
        Sandbox sb;
        TMain w(options());
        rvtest::whenModal<rv::gui::TMySortOrder>([](rv::gui::TMySortOrder& d) {
            d.ComboBox[0]->setCurrentIndex(11);
            d.OkButton->click();
        });
        w.MenuSortOrder->trigger();
        QCOMPARE(w.settings().sortLevels[0], 11);
    }

    void packAndRebuild_data() {
        QTest::addColumn<bool>("pack");
        QTest::newRow("pack") << true;
        QTest::newRow("rebuild") << false;
    }
    void packAndRebuild() {
        QFETCH(bool, pack);
        Sandbox sb;
        const auto db = tableWithDeleted(sb.root() / "FILMS.DBF");
        sb.writeProgramIni({{"Last Database", db.string()}});
        TMain w(options());
        QAction* item = pack ? w.MenuPack : w.MenuRebuild;
        const QString inUse = pack ? QStringLiteral("Unable to pack table.  ") + rv::gui::exclusiveUseMessage(QStringLiteral("Packing"))
                                   : QStringLiteral("Unable to reindex table.  ") +
                                         rv::gui::exclusiveUseMessage(QStringLiteral("Reindexing"));

        // Answered No: nothing happens.
        sb.prompt().answers = {Answer::No};
        item->trigger();
        QCOMPARE(sb.prompt().messages().size(), std::size_t(1));
        QCOMPARE(sb.prompt().messages().front().title, QStringLiteral("Confirm"));
        QVERIFY(sb.prompt().messages().front().buttons == rv::gui::Buttons::YesNo);
        QCOMPARE(w.table().physicalRecordCount(), 3);

        // Another program holds the table: the message, and the table stays usable.
        {
            rvtest::Holder holder(db);
            QVERIFY(holder.holding());
            sb.prompt().clear();
            sb.prompt().answers = {Answer::Yes};
            item->trigger();
            QCOMPARE(sb.prompt().texts().back(), inUse);
            QVERIFY(w.table().isOpen());
            QVERIFY(!w.table().exclusive());
            QCOMPARE(w.table().recordCount(), 2);
            QCOMPARE(w.table().physicalRecordCount(), 3);
        }

        // Answered Yes with the table free.
        sb.prompt().clear();
        sb.prompt().answers = {Answer::Yes};
        item->trigger();
        QCOMPARE(sb.prompt().messages().size(), std::size_t(1));
        QVERIFY(w.table().isOpen());
        QVERIFY(!w.table().exclusive());
        QCOMPARE(w.table().physicalRecordCount(), pack ? 2 : 3);
        QCOMPARE(rvtest::titles(w.table()).size(), std::size_t(2));
        QCOMPARE(w.CountLabel->text(), QStringLiteral("2"));
    }

    // An index file full of random bytes: the start builds the sort tag again, and Tools >
    // Rebuild Indexes > Yes builds it from the sort order even when the program opened the
    // table over a good file that broke later.
    void aDamagedIndexFileIsRebuilt() {
        Sandbox sb;
        const auto db = rvtest::videoTable(sb.root() / "FILMS.DBF", {"Charlie", "Alpha", "Bravo"});
        std::ofstream(sb.root() / "FILMS.INI", std::ios::binary) << "[Sort Order]\r\nPrimary Sort=1\r\n";
        sb.writeProgramIni({{"Last Database", db.string()}});
        const fs::path mdx = sb.root() / "FILMS.MDX";
        auto damage = [&] {
            std::string noise(8192, '\0');
            unsigned seed = 7;
            for (char& c : noise) c = char((seed = seed * 1103515245u + 12345u) >> 16);
            std::ofstream(mdx, std::ios::binary | std::ios::trunc) << noise;
        };
        auto tagIsCurrent = [&] {
            rv::db::Table reader;
            reader.setPath(db);
            reader.setReadOnly(true);
            reader.open();
            return reader.tagStatus(rv::db::kSortTagName) == rv::db::Table::TagStatus::Current;
        };
        const std::vector<std::string> sorted = {"Alpha", "Bravo", "Charlie"};
        {
            rv::db::Table t;
            t.setPath(db);
            t.addIndex(rv::db::kSortTagName, "Upper(Left(Title,80))");
        }
        damage();
        {
            TMain w(options());
            QCOMPARE(rvtest::titles(w.table()), sorted);
            QVERIFY(tagIsCurrent());
            QVERIFY(sb.prompt().log.empty());
        }

        TMain w(options());  // over the good file
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        damage();
        sb.prompt().answers = {Answer::Yes};
        QTest::keyClick(&w, Qt::Key_T, Qt::AltModifier);
        QMenu* tools = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(tools);
        QTest::keyClick(tools, Qt::Key_R);
        QCOMPARE(sb.prompt().messages().size(), std::size_t(1));
        QCOMPARE(sb.prompt().messages().front().title, QStringLiteral("Confirm"));
        QVERIFY(tagIsCurrent());
        QCOMPARE(rvtest::titles(w.table()), sorted);
    }
};

QTEST_MAIN(DatabasesTest)
#include "test_databases.moc"
