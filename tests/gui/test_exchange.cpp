// The Import Format, import and Export windows driven by clicks and keys, with the prompt
// scripted; what reached the table and the files is read back from disk.

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "GuiTestSupport.h"
#include "core/app/Formats.h"
#include "core/app/Settings.h"
#include "core/exchange/ExchangeMessages.h"
#include "core/exchange/QuotedText.h"
#include "gui/app/TMain.h"
#include "gui/exchange/ExchangeCommands.h"
#include "gui/exchange/TMyExport.h"
#include "gui/exchange/TMyImport.h"

using rv::gui::ExportContext;
using rv::gui::ImportContext;
using rv::gui::SearchHooks;
using rv::gui::TImportFormat;
using rv::gui::TMyExport;
using rv::gui::TMyImport;
namespace fs = std::filesystem;

namespace {

// A click on a grid cell, then a double click on it (the view acts on a double click only on
// the cell the press went to).
void doubleClickCell(QTableWidget* grid, int row, int column) {
    grid->scrollToItem(grid->item(row, column));
    const QPoint at = grid->visualItemRect(grid->item(row, column)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

void clickCell(QTableWidget* grid, int row, int column) {
    grid->scrollToItem(grid->item(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(row, column)).center());
}

QString cellText(QTableWidget* grid, int row, int column) {
    auto* item = grid->item(row, column);
    return item ? item->text() : QString();
}

void saveShot(QWidget* w, const QString& name) {
    if (!qEnvironmentVariableIsSet("REELVANE_SCREENSHOTS")) return;
    QApplication::processEvents();
    w->grab().save(qEnvironmentVariable("REELVANE_SCREENSHOTS") + QLatin1Char('/') + name);
}

// Records the texts a label showed each time it was painted.
class PaintLog : public QObject {
public:
    explicit PaintLog(QLabel* label) : label_(label) { label->installEventFilter(this); }
    QStringList texts;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == label_ && e->type() == QEvent::Paint) texts << label_->text();
        return false;
    }

private:
    QLabel* label_;
};

rv::db::Date fixedToday() { return {2026, 6, 1}; }

}  // namespace

class ExchangeTest : public QObject {
    Q_OBJECT

    std::unique_ptr<rvtest::Sandbox> box;
    rv::app::Settings settings;
    rv::app::ShortDateFormat dates{7, true, fixedToday};
    rv::db::Table table;
    fs::path dbPath;

    ImportContext importContext() { return ImportContext{settings, table, dates, 1.0, {}}; }
    std::vector<std::string> titles() { return rvtest::titles(table); }
    // The table as another program sees it on disk.
    std::vector<std::vector<std::string>> onDisk(const std::vector<const char*>& fields) {
        rv::db::Table t;
        t.setPath(dbPath);
        t.setDateCodec(&dates);
        t.open();
        std::vector<std::vector<std::string>> out;
        for (t.first(); !t.eof(); t.next()) {
            std::vector<std::string> r;
            for (const char* f : fields) r.push_back(t.asString(f));
            out.push_back(r);
        }
        return out;
    }
    void writeFile(const fs::path& p, const std::string& bytes) {
        std::ofstream out(p, std::ios::binary);
        out << bytes;
    }
    QString q(const fs::path& p) { return QString::fromStdString(p.string()); }

private slots:
    void init() {
        box = std::make_unique<rvtest::Sandbox>();
        settings = rv::app::Settings{};
        dbPath = rvtest::videoTable(box->root() / "V.DBF");
        table.setPath(dbPath);
        table.setDateCodec(&dates);
        table.open();
    }
    void cleanup() {
        table.close();
        box.reset();
    }

    void textImportPairsFieldsByUpDownAndUse() {
        const fs::path file = box->root() / "films.txt";
        writeFile(file,
                  "\"Title\",\"Year\",\"Rating\",\"Notes\"\r\n"
                  "\"Casablanca\",\"1942\",\"PG\",\"skip me\"\r\n"
                  "\"Am\xE9lie\",\"2001\",\"R\",\"skip me\"\r\n");
        box->prompt().files.push_back(q(file));
        TImportFormat format(importContext());
        format.show();
        QVERIFY(format.AsciiDelimited->isChecked());
        bool sawWindow = false;
        rvtest::whenModal<TMyImport>([&](TMyImport& w) {
            sawWindow = true;
            QCOMPARE(w.windowTitle(), QStringLiteral("Ascii Delimited Text Import"));
            QCOMPARE(w.ImportGrid->rowCount(), 40);
            QCOMPARE(w.ImportGrid->horizontalHeaderItem(0)->text(), QStringLiteral("VANTELL FIELDS"));
            QCOMPARE(cellText(w.ImportGrid, 4, 1), QStringLiteral("<EMPTY>"));
            QVERIFY(w.SkipFirst->isVisible());
            QVERIFY(w.SkipFirst->isChecked());
            // "Rating" (row 3) down to row 13, then "Year" (row 2) down to row 11.
            clickCell(w.ImportGrid, 2, 1);
            for (int i = 0; i < 10; ++i) QTest::mouseClick(w.DownButton, Qt::LeftButton);
            QCOMPARE(cellText(w.ImportGrid, 12, 1), QStringLiteral("Rating"));
            clickCell(w.ImportGrid, 1, 1);
            for (int i = 0; i < 9; ++i) QTest::mouseClick(w.DownButton, Qt::LeftButton);
            QCOMPARE(cellText(w.ImportGrid, 10, 1), QStringLiteral("Year"));
            QCOMPARE(w.ImportGrid->currentRow(), 10);
            // "Notes" was pushed up to row 2 (Star 1) by the moves: not used.
            QCOMPARE(cellText(w.ImportGrid, 1, 1), QStringLiteral("Notes"));
            doubleClickCell(w.ImportGrid, 1, 2);
            QCOMPARE(cellText(w.ImportGrid, 1, 2), QStringLiteral("No"));
            doubleClickCell(w.ImportGrid, 5, 2);  // an empty USE cell stays empty
            QCOMPARE(cellText(w.ImportGrid, 5, 2), QString());
            QTest::mouseClick(w.StartButton, Qt::LeftButton);
            QCOMPARE(w.CountLabel->text(), QStringLiteral("2"));
        });
        QTest::mouseClick(format.FileButton, Qt::LeftButton);
        QVERIFY(sawWindow);
        QVERIFY(!format.isVisible());  // closing the import window closed it too
        QCOMPARE(box->prompt().texts(), QStringList{QStringLiteral("Import Complete.")});
        QCOMPARE(box->prompt().messages().front().title, QStringLiteral("Ok"));
        const auto& request = box->prompt().log.front().file;
        QCOMPARE(request.title, QStringLiteral("Import Data"));
        QVERIFY(request.filter.contains(QStringLiteral("*.TXT")) && request.filter.contains(QStringLiteral("*.txt")));
        QCOMPARE(settings.importFileType, 1);

        table.close();
        const auto rows = onDisk({"Title", "Year", "Rating", "Star1"});
        QCOMPARE(rows.size(), size_t(2));
        QCOMPARE(rows[0], (std::vector<std::string>{"Casablanca", "1942", "PG", ""}));
        QCOMPARE(rows[1], (std::vector<std::string>{"Am\xE9lie", "2001", "R", ""}));
    }

    void skipFirstIsStoredAtOnceAndRefusedFilesStay() {
        const fs::path file = box->root() / "two.txt";
        writeFile(file, "\"a\",\"1\"\n\"b\",\"2\"\n");
        box->prompt().files.push_back(q(file));
        TImportFormat format(importContext());
        format.show();
        rvtest::whenModal<TMyImport>([&](TMyImport& w) {
            QTest::mouseClick(w.SkipFirst, Qt::LeftButton);
            QVERIFY(!settings.importSkipFirst);
            QTest::mouseClick(w.StartButton, Qt::LeftButton);
        });
        QTest::mouseClick(format.FileButton, Qt::LeftButton);
        QCOMPARE(titles(), (std::vector<std::string>{"a", "b"}));

        // A first line with an unmatched quote: the error, and the window stays.
        const fs::path bad = box->root() / "bad.txt";
        writeFile(bad, "\"a\",\"b\r\n");
        box->prompt().clear();
        box->prompt().files.push_back(q(bad));
        TImportFormat again(importContext());
        again.show();
        QTest::mouseClick(again.FileButton, Qt::LeftButton);
        QCOMPARE(box->prompt().texts(),
                 QStringList{QString::fromLatin1(rv::exchange::firstLineMessage(rv::exchange::FirstLineFault::UnexpectedEnd).c_str())});
        QCOMPARE(box->prompt().messages().front().title, QStringLiteral("Error"));
        QVERIFY(again.isVisible());
        // dBase chosen, a name without ".DBF".
        QTest::mouseClick(again.DBFFormat, Qt::LeftButton);
        box->prompt().clear();
        box->prompt().files.push_back(q(bad));
        QTest::mouseClick(again.FileButton, Qt::LeftButton);
        QCOMPARE(box->prompt().texts(), QStringList{QStringLiteral("Invalid file type selected.")});
            QVERIFY2(box->prompt().log.front().file.filter.startsWith(QStringLiteral("DBase (")),
                 qPrintable(box->prompt().log.front().file.filter));
        QVERIFY(box->prompt().log.front().file.filter.contains(QStringLiteral("*.dbf")));
        // Cancel stores the file type.
        QTest::mouseClick(again.CancelButton, Qt::LeftButton);
        QCOMPARE(settings.importFileType, 2);
        QCOMPARE(table.recordCount(), 2);
    }

    void wideDbfSourceShowsFiftyRowsAndNoSkipFirst() {
        const fs::path source = box->root() / "WIDE.DBF";
        std::vector<rv::db::FieldSpec> specs;
        for (int i = 1; i <= 55; ++i) specs.push_back({"F" + std::to_string(i), rv::db::FieldKind::Text, 8});
        rv::db::Table::create(source, specs);
        {
            rv::db::Table s;
            s.setPath(source);
            s.open();
            s.append();
            for (int i = 0; i < 55; ++i) s.setString(i, "v" + std::to_string(i + 1));
            s.post();
        }
        settings.importFileType = 2;
        box->prompt().files.push_back(q(source));
        TImportFormat format(importContext());
        format.show();
        QVERIFY(format.DBFFormat->isChecked());
        rvtest::whenModal<TMyImport>([&](TMyImport& w) {
            QCOMPARE(w.windowTitle(), QStringLiteral("DBase File Import"));
            QCOMPARE(w.ImportGrid->rowCount(), 50);
            QCOMPARE(cellText(w.ImportGrid, 49, 1), QStringLiteral("F50"));
            QCOMPARE(cellText(w.ImportGrid, 49, 0), QString());
            QVERIFY(!w.SkipFirst->isVisible());
            saveShot(&w, QStringLiteral("import_dbf_wide.png"));
            QTest::mouseClick(w.StartButton, Qt::LeftButton);
        });
        QTest::mouseClick(format.FileButton, Qt::LeftButton);
        QCOMPARE(box->prompt().texts(), (QStringList{QString::fromLatin1(rv::exchange::kWideSourceNotice),
                                                     QStringLiteral("Import Complete.")}));
        table.close();
        const auto rows = onDisk({"Title", "UserDef2"});
        QCOMPARE(rows, (std::vector<std::vector<std::string>>{{"v1", "v40"}}));
    }

    void importShowsItsRunningCount() {
        const fs::path file = box->root() / "many.txt";
        std::string text;
        for (int i = 1; i <= 30000; ++i) text += "\"Title " + std::to_string(i) + "\",\"" + std::to_string(1900 + i % 100) + "\"\r\n";
        // 45 import fields on the first line: the grid grows past 40 rows.
        std::string first;
        for (int i = 1; i <= 45; ++i) first += (i > 1 ? ",\"Column " : "\"Column ") + std::to_string(i) + "\"";
        writeFile(file, first + "\r\n" + text);
        box->prompt().files.push_back(q(file));
        TImportFormat format(importContext());
        format.show();
        QStringList painted;
        rvtest::whenModal<TMyImport>([&](TMyImport& w) {
            QCOMPARE(w.ImportGrid->rowCount(), 45);
            QCOMPARE(cellText(w.ImportGrid, 44, 1), QStringLiteral("Column 45"));
            QCOMPARE(cellText(w.ImportGrid, 44, 0), QString());
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            saveShot(&w, QStringLiteral("import_ascii_45.png"));
            PaintLog log(w.CountLabel);
            QTest::mouseClick(w.StartButton, Qt::LeftButton);
            painted = log.texts;
        });
        QTest::mouseClick(format.FileButton, Qt::LeftButton);
        QCOMPARE(table.recordCount(), 30000);
        // The count was painted while the import ran, not only at its end.
        bool between = false;
        for (const QString& t : painted) between = between || (t.toInt() > 0 && t.toInt() < 30000);
        QVERIFY2(between, qPrintable(QString::number(painted.size()) + QLatin1Char(':') + painted.join(QLatin1Char(' '))));
    }

    void exportGridCommandsAndTextFile() {
        for (const char* t : {"Say \"Cheese\"", "  Padded  ", "Z\xFCrich"}) {
            table.append();
            table.setString("Title", t);
            table.setNumber("Year", 1997);
            table.post();
        }
        settings.displayNames[1] = "Film";
        TMyExport w(ExportContext{settings, table, {}, 1.0, {}});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.ExportEntire->isChecked());
        QVERIFY(!w.ExportSearch->isEnabled());
        QVERIFY(w.AsciiFile->isChecked());
        QCOMPARE(cellText(w.ExportGrid, 0, 0), QStringLiteral("Film"));
        // Everything off but Film and Year; Year moved above Film.
        for (int r = 0; r < 40; ++r)
            if (r != 0 && r != 10) doubleClickCell(w.ExportGrid, r, 1);
        QCOMPARE(cellText(w.ExportGrid, 1, 1), QStringLiteral("No"));
        clickCell(w.ExportGrid, 10, 0);
        for (int i = 0; i < 10; ++i) QTest::mouseClick(w.UpButton, Qt::LeftButton);
        QCOMPARE(cellText(w.ExportGrid, 0, 0), QStringLiteral("Year"));
        QCOMPARE(cellText(w.ExportGrid, 1, 0), QStringLiteral("Film"));
        QTest::mouseClick(w.UpButton, Qt::LeftButton);  // not above row 1
        QCOMPARE(w.ExportGrid->currentRow(), 0);
        // D&efaults answered No keeps the grid.
        box->prompt().answers.push_back(rv::gui::Answer::No);
        QTest::mouseClick(w.DefaultsButton, Qt::LeftButton);
        QCOMPARE(cellText(w.ExportGrid, 0, 0), QStringLiteral("Year"));
        QCOMPARE(box->prompt().messages().back().title, QStringLiteral("Re-Order"));
        // The title line off, stored at once; hidden for dBase and back with its state.
        QTest::mouseClick(w.FirstRow, Qt::LeftButton);
        QVERIFY(!settings.exportFirstRow);
        QTest::mouseClick(w.DBaseFile, Qt::LeftButton);
        QVERIFY(!w.FirstRow->isVisible());
        QTest::mouseClick(w.AsciiFile, Qt::LeftButton);
        QVERIFY(w.FirstRow->isVisible());
        QVERIFY(!w.FirstRow->isChecked());
        QTest::mouseClick(w.FirstRow, Qt::LeftButton);
        QVERIFY(settings.exportFirstRow);

        const fs::path out = box->root() / "OUT.TXT";
        box->prompt().clear();
        box->prompt().files.push_back(q(out));
        QTest::mouseClick(w.StartExportButton, Qt::LeftButton);
        QCOMPARE(box->prompt().texts(), QStringList{QStringLiteral("Export Complete.")});
        QCOMPARE(box->prompt().log.front().file.title, QStringLiteral("Export Data"));
        QVERIFY(box->prompt().log.front().file.confirmOverwrite);
        QVERIFY(!w.isVisible());
        QCOMPARE(rvtest::readText(out), std::string("\"Year\",\"Film\"\r\n"
                                                    "\"1997\",\"Say \"\"Cheese\"\"\"\r\n"
                                                    "\"1997\",\"Padded\"\r\n"
                                                    "\"1997\",\"Z\xFCrich\"\r\n"));
        QCOMPARE(settings.exportOrder[11], 1);
        QCOMPARE(settings.exportOrder[1], 2);
        QVERIFY(!settings.exportFields[2]);
        QCOMPARE(settings.exportFileType, 1);
    }

    void noFieldsAndDbfChecks() {
        table.append();
        table.setString("Title", "Only");
        table.post();
        TMyExport w(ExportContext{settings, table, {}, 1.0, {}});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int r = 0; r < 40; ++r) doubleClickCell(w.ExportGrid, r, 1);
        QTest::mouseClick(w.StartExportButton, Qt::LeftButton);
        QCOMPARE(box->prompt().texts(), QStringList{QStringLiteral("No fields selected for export.")});
        QCOMPARE(box->prompt().log.size(), size_t(1));  // no file dialog
        // D&efaults answered Yes: every field back, in catalogue order.
        box->prompt().answers.push_back(rv::gui::Answer::Yes);
        QTest::mouseClick(w.DefaultsButton, Qt::LeftButton);
        QCOMPARE(cellText(w.ExportGrid, 39, 1), QStringLiteral("Yes"));

        QTest::mouseClick(w.DBaseFile, Qt::LeftButton);
        box->prompt().clear();
        box->prompt().files.push_back(q(box->root() / "OUT.TXT"));
        QTest::mouseClick(w.StartExportButton, Qt::LeftButton);
        QCOMPARE(box->prompt().texts(), QStringList{QStringLiteral("Invalid file type selected.")});
        QVERIFY(w.isVisible());
        box->prompt().clear();
        box->prompt().files.push_back(q(box->root() / "OUT.DBF"));
        QTest::mouseClick(w.StartExportButton, Qt::LeftButton);
        QCOMPARE(box->prompt().texts(), QStringList{QStringLiteral("Export Complete.")});
        QCOMPARE(settings.exportFileType, 2);
        rv::db::Table e;
        e.setPath(box->root() / "OUT.DBF");
        e.open();
        QCOMPARE(e.fieldCount(), 40);
        QCOMPARE(e.asString("TITLE"), std::string("Only"));
    }

    void exportFollowsTheSearchInForce() {
        for (int i = 1; i <= 6; ++i) {
            table.append();
            table.setString("Title", "T" + std::to_string(i));
            table.setNumber("Year", 1990 + i);
            table.post();
        }
        // A search that keeps even years, with its suspend and resume.
        bool inForce = true;
        int suspends = 0, resumes = 0;
        auto install = [&] { table.setFilter([](rv::db::Table& t) { return int(t.asNumber("Year")) % 2 == 0; }); };
        install();
        SearchHooks search;
        search.inForce = [&] { return inForce; };
        search.suspend = [&] { ++suspends; table.clearFilter(); };
        search.resume = [&] { ++resumes; install(); };
        for (int n = 2; n <= 40; ++n) settings.exportFields[n] = false;
        settings.exportFirstRow = false;
        {
            TMyExport w(ExportContext{settings, table, search, 1.0, {}});
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QVERIFY(w.ExportSearch->isEnabled());
            QVERIFY(w.ExportSearch->isChecked());
            saveShot(&w, QStringLiteral("export_search.png"));
            box->prompt().files.push_back(q(box->root() / "found.txt"));
            QTest::mouseClick(w.StartExportButton, Qt::LeftButton);
        }
        QCOMPARE(rvtest::readText(box->root() / "found.txt"), std::string("\"T2\"\r\n\"T4\"\r\n\"T6\"\r\n"));
        QCOMPARE(suspends, 0);
        {
            TMyExport w(ExportContext{settings, table, search, 1.0, {}});
            w.show();
            QTest::mouseClick(w.ExportEntire, Qt::LeftButton);
            box->prompt().files.push_back(q(box->root() / "all.txt"));
            QTest::mouseClick(w.StartExportButton, Qt::LeftButton);
            QCOMPARE(w.Gauge->value(), 0);
        }
        QCOMPARE(rvtest::readText(box->root() / "all.txt"),
                 std::string("\"T1\"\r\n\"T2\"\r\n\"T3\"\r\n\"T4\"\r\n\"T5\"\r\n\"T6\"\r\n"));
        QCOMPARE(suspends, 1);
        QCOMPARE(resumes, 1);
        QCOMPARE(table.recordCount(), 3);  // the search is in force again
    }

    void mainWindowCommands() {
        const fs::path file = box->root() / "three.txt";
        writeFile(file, "\"A\"\r\n\"B\"\r\n\"C\"\r\n");
        rv::gui::MainOptions options;
        options.screenSize = QSize(1024, 768);
        {
            rv::gui::TMain main(options);
            QVERIFY(main.started());
            rv::gui::installExchange(main);
            QVERIFY(main.menuItem(QStringLiteral("MenuImport"))->isEnabled());
            QVERIFY(main.menuItem(QStringLiteral("MenuExport"))->isEnabled());
            main.settings().importSkipFirst = false;
            box->prompt().files.push_back(q(file));
            rvtest::whenModal<TImportFormat>([](TImportFormat& f) { QTest::mouseClick(f.FileButton, Qt::LeftButton); });
            rvtest::whenModal<TMyImport>([](TMyImport& w) { QTest::mouseClick(w.StartButton, Qt::LeftButton); });
            main.menuItem(QStringLiteral("MenuImport"))->trigger();
            QCOMPARE(main.table().recordCount(), 3);
            QCOMPARE(box->prompt().texts(), QStringList{QStringLiteral("Import Complete.")});

            box->prompt().files.push_back(q(box->root() / "out.txt"));
            rvtest::whenModal<TMyExport>([](TMyExport& w) {
                QVERIFY(!w.ExportSearch->isEnabled());
                QTest::mouseClick(w.StartExportButton, Qt::LeftButton);
            });
            main.menuItem(QStringLiteral("MenuExport"))->trigger();
            QVERIFY(rvtest::readText(box->root() / "out.txt").find("\"C\"") != std::string::npos);
        }
        // Browse-only mode: nothing can be imported, export stays.
        options.arguments = QStringList{QStringLiteral("/browse")};
        rv::gui::TMain browse(options);
        rv::gui::installExchange(browse);
        QVERIFY(!browse.menuItem(QStringLiteral("MenuImport"))->isEnabled());
        QVERIFY(browse.menuItem(QStringLiteral("MenuExport"))->isEnabled());
    }

    void windowsFitTheSmallestScreen() {
        for (double factor : {1.0, 1.25, 1.6, 2.0}) {
            const QSize screen = factor == 1.0 ? QSize(640, 480) : factor == 1.25 ? QSize(800, 600)
                                                  : factor == 1.6 ? QSize(1024, 768) : QSize(1280, 1024);
            TMyImport imp(ImportContext{settings, table, dates, factor, {}}, TMyImport::Kind::Ascii, "x.txt",
                          {"a", "b"});
            QVERIFY2(imp.width() <= screen.width() && imp.height() <= screen.height(),
                     qPrintable(QStringLiteral("import %1x%2 at %3").arg(imp.width()).arg(imp.height()).arg(factor)));
            TMyExport exp(ExportContext{settings, table, {}, factor, {}});
            QVERIFY2(exp.width() <= screen.width() && exp.height() <= screen.height(),
                     qPrintable(QStringLiteral("export %1x%2 at %3").arg(exp.width()).arg(exp.height()).arg(factor)));
            saveShot(&imp, QStringLiteral("import_%1.png").arg(screen.width()));
            saveShot(&exp, QStringLiteral("export_%1.png").arg(screen.width()));
        }
    }
};

QTEST_MAIN(ExchangeTest)
#include "test_exchange.moc"
