// The Search window, its options window and the Locate dialog, driven by key and mouse
// events over a real video table, with the scripted prompt answering the message boxes.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

#include <memory>

#include "GuiTestSupport.h"
#include "core/app/Formats.h"
#include "core/app/Settings.h"
#include "core/browse/RecordSearch.h"
#include "core/lists/DataLists.h"
#include "gui/browse/TMyLocateDlg.h"
#include "gui/browse/TMySearch.h"
#include "gui/browse/TSearchOptions.h"
#include "gui/common/Placement.h"

using rv::browse::RowComparison;
using rv::gui::TMyLocateDialog;
using rv::gui::TMyLocateDlg;
using rv::gui::TMySearch;
using rv::gui::TSearchOptions;

namespace {

constexpr int kTitle = 1, kStar1 = 2, kStar3 = 4, kYear = 11, kCategory = 14, kMisc = 25, kKeyWords = 26,
              kListPrice = 28, kCheckOut = 31, kCheckDate = 32;

struct Video {
    const char* title;
    const char* category;
    int year;
    const char* star1;
    const char* star3;
    const char* checkDate;  // yyyymmdd or ""
    const char* listPrice;
};

// Record numbers 1..8 in this order.
const Video kVideos[] = {
    {"Star Wars", "Science Fiction", 1977, "Mark Hamill", "Harrison Ford", "19970305", "19.95"},
    {"Lone Star", "Drama", 1996, "Kris Kristofferson", "", "", "9.99"},
    {"Alien", "Horror", 1979, "Sigourney Weaver", "", "19951224", "14.50"},
    {"A Star Is Born", "Drama", 1954, "Judy Garland", "", "", "5"},
    {"Stargate", "Science Fiction", 1994, "Kurt Russell", "", "", "12"},
    {"Witness", "Drama", 1985, "Harrison Ford", "", "", "8"},
    {"Star Trek", "Science Fiction", 1995, "William Shatner", "", "", "19.95"},
    {"Brazil", "Comedy", 1985, "Jonathan Pryce", "", "", "8"},
};

}  // namespace

class SearchTest : public QObject {
    Q_OBJECT

    std::unique_ptr<rvtest::Sandbox> box;
    std::unique_ptr<rv::db::Table> table;
    std::unique_ptr<rv::browse::RecordSearch> search;
    rv::app::Settings settings;
    std::unique_ptr<rv::app::ShortDateFormat> dates;
    rv::lists::DataLists lists;
    double factor = 1.0;
    QSize screen{640, 480};

    rv::gui::ScriptedPrompt& prompt() { return box->prompt(); }

    rv::gui::SearchWindowContext context() {
        rv::gui::SearchWindowContext c{settings, *dates, *search, &lists, box->program(), factor, {}, {}};
        c.place = [this](QWidget* w) { rv::gui::placeDialog(w, settings, factor, screen); };
        return c;
    }

    std::vector<int> shown() {
        std::vector<int> out;
        for (int row = 0; row < table->rowCount(); ++row) out.push_back(table->recNoAtRow(row));
        return out;
    }

    // Types into a row's criteria cell: F2 opens the cell's editor, the keys go to it, Return
    // stores the text in the cell.
    static void type(TMySearch& w, int field, const QString& text) {
        w.SearchGrid->setFocus();
        w.SearchGrid->setCurrentCell(field - 1, 2);
        QTest::keyClick(w.SearchGrid, Qt::Key_F2);
        QWidget* editor = w.SearchGrid->indexWidget(w.SearchGrid->currentIndex());
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);  // typing replaces the cell
        for (QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(editor, c.toLatin1());
            else  // a character of no key of the test keyboard, sent with its text
                QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();  // the editor hands its text to the cell
    }
    static void open(QWidget& w) {
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
    // Opens a cell's editor (F2) and closes it again (Escape), for a look at the template.
    static void edit(TMySearch& w, int field) {
        w.SearchGrid->setFocus();
        w.SearchGrid->setCurrentCell(field - 1, 2);
        QTest::keyClick(w.SearchGrid, Qt::Key_F2);
    }
    static void endEdit(TMySearch& w) {
        if (QWidget* editor = w.SearchGrid->indexWidget(w.SearchGrid->currentIndex()))
            QTest::keyClick(editor, Qt::Key_Escape);
        QApplication::processEvents();
    }
    static QString cell(TMySearch& w, int field) { return w.SearchGrid->item(field - 1, 2)->text(); }
    // Clicks the "..." cell of a row; `act` runs on the Search Options window it opens.
    static void clickOptions(TMySearch& w, int field, std::function<void(TSearchOptions&)> act) {
        rvtest::whenModal<TSearchOptions>(std::move(act));
        const QModelIndex index = w.SearchGrid->model()->index(field - 1, 1);
        w.SearchGrid->scrollTo(index);
        QTest::mouseClick(w.SearchGrid->viewport(), Qt::LeftButton, {}, w.SearchGrid->visualRect(index).center());
    }
    static void pick(TSearchOptions& o, int row) {
        QListWidgetItem* item = o.ListBox1->item(row);
        QTest::mouseClick(o.ListBox1->viewport(), Qt::LeftButton, {}, o.ListBox1->visualItemRect(item).center());
        QTest::mouseClick(o.OkButton, Qt::LeftButton);
    }
    static QString heading(TMySearch& w) { return w.SearchGrid->horizontalHeaderItem(2)->text(); }

private slots:
    void init() {
        box = std::make_unique<rvtest::Sandbox>();
        const auto path = rvtest::videoTable(box->root() / "V.DBF");
        std::ofstream(box->program() / "MISC.LST", std::ios::binary) << "  Widescreen  \r\n\r\nDubbed\r\n";
        dates = std::make_unique<rv::app::ShortDateFormat>(7, true);  // mm/dd/yyyy
        table = std::make_unique<rv::db::Table>();
        table->setPath(path);
        table->setDateCodec(dates.get());
        table->open();
        for (const Video& v : kVideos) {
            table->append();
            table->setString("Title", v.title);
            table->setString("Category", v.category);
            table->setNumber("Year", v.year);
            table->setString("Star1", v.star1);
            table->setString("Star3", v.star3);
            table->setDate("CheckDate", *rv::db::Date::fromDtos(v.checkDate));
            table->setString("ListPrice", v.listPrice);
            table->post();
        }
        table->first();
        search = std::make_unique<rv::browse::RecordSearch>(*table);
        settings = rv::app::Settings{};
        lists.setList(2, {"Harrison Ford", "Judy Garland"});
        factor = 1.0;
        screen = QSize(640, 480);
    }
    void cleanup() {
        search.reset();
        table.reset();
        box.reset();
    }

    void theWindowAsItOpens() {
        TMySearch w(context());
        open(w);
        QCOMPARE(w.windowTitle(), QStringLiteral("Search"));
        QCOMPARE(w.SearchGrid->rowCount(), 40);  // and the heading row
        QCOMPARE(w.SearchGrid->horizontalHeaderItem(0)->text(), QStringLiteral(" FIELD"));
        QCOMPARE(heading(w), QStringLiteral(" SEARCH CRITERIA    (Level 1)"));
        QCOMPARE(w.SearchGrid->item(0, 0)->text(), QStringLiteral(" Title"));
        QCOMPARE(w.SearchGrid->columnWidth(0), 200);
        QCOMPARE(w.SearchGrid->columnWidth(1), 20);
        QCOMPARE(w.SearchGrid->columnWidth(2), 378);
        // "..." on grey for number, date and pick-list rows only.
        for (int field : {kStar1, kYear, kCheckDate, kCheckOut, kMisc}) {
            QCOMPARE(w.SearchGrid->item(field - 1, 1)->text(), QStringLiteral("..."));
            QCOMPARE(w.SearchGrid->item(field - 1, 1)->background().color(), QColor(128, 128, 128));
        }
        for (int field : {kTitle, kKeyWords}) QCOMPARE(w.SearchGrid->item(field - 1, 1)->text(), QString());
        QCOMPARE(w.editMask(kTitle), QString());
        QCOMPARE(w.editMask(kYear), QStringLiteral("= xxxxxxxxx"));
        QCOMPARE(w.editMask(kCheckDate), QStringLiteral("= 00\\/00\\/0000"));
        for (QPushButton* b : {w.OkButton, w.ExitButton, w.ClearButton, w.MoreButton, w.HelpButton})
            QVERIFY(w.geometry().contains(b->mapTo(&w, b->rect().bottomRight()) + w.geometry().topLeft()));
        QVERIFY(w.frameGeometry().top() >= 0);
        QVERIFY(w.frameGeometry().bottom() < 480 + 10);
    }

    void okRunsTheSearchAndClosesTheWindow() {
        TMySearch w(context());
        open(w);
        type(w, kTitle, QStringLiteral("star"));
        type(w, kCategory, QStringLiteral("fiction"));
        QCOMPARE(cell(w, kTitle), QStringLiteral("star"));
        QTest::mouseClick(w.OkButton, Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(!w.isVisible());
        QVERIFY(search->inForce());
        QCOMPARE(shown(), (std::vector<int>{1, 5, 7}));
        QVERIFY(prompt().messages().empty());
    }

    void levelsAreJoinedByFindMore() {
        TMySearch w(context());
        open(w);
        type(w, kYear, QStringLiteral("1995"));
        QCOMPARE(cell(w, kYear).trimmed(), QStringLiteral("= 1995"));
        QTest::mouseClick(w.MoreButton, Qt::LeftButton);
        QCOMPARE(w.level(), 2);
        QCOMPARE(heading(w), QStringLiteral(" SEARCH CRITERIA    (Level 2)"));
        QCOMPARE(cell(w, kYear), QString());
        type(w, kYear, QStringLiteral("1996"));
        QTest::mouseClick(w.OkButton, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(shown(), (std::vector<int>{2, 7}));
    }

    void noCriteriaOnLevelThreeKeepsLevelsOneAndTwo() {
        TMySearch w(context());
        open(w);
        type(w, kTitle, QStringLiteral("star"));
        QTest::mouseClick(w.MoreButton, Qt::LeftButton);
        type(w, kCategory, QStringLiteral("drama"));
        QTest::mouseClick(w.MoreButton, Qt::LeftButton);
        QCOMPARE(w.level(), 3);
        QTest::mouseClick(w.OkButton, Qt::LeftButton);
        QCOMPARE(prompt().texts(), QStringList{QStringLiteral("No search criteria entered.")});
        QCOMPARE(prompt().messages().front().title, QStringLiteral("Error"));
        QVERIFY(w.isVisible());
        QCOMPARE(w.level(), 3);
        QCOMPARE(int(w.workingCriteria().items.size()), 2);
        QVERIFY(!search->inForce());
        // Level 3 filled after all: the three levels search together.
        type(w, kYear, QStringLiteral("1979"));
        QTest::mouseClick(w.OkButton, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(shown(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    }

    void findMoreStopsAtLevelTen() {
        TMySearch w(context());
        open(w);
        for (int level = 1; level < 10; ++level) {
            type(w, kTitle, QStringLiteral("nothing %1").arg(level));
            QTest::mouseClick(w.MoreButton, Qt::LeftButton);
        }
        QCOMPARE(w.level(), 10);
        QVERIFY(!w.MoreButton->isEnabled());
        QCOMPARE(heading(w), QStringLiteral(" SEARCH CRITERIA    (Level 10)"));
        type(w, kTitle, QStringLiteral("alien"));
        QTest::mouseClick(w.OkButton, Qt::LeftButton);  // level 10 is still stored
        QVERIFY(!w.isVisible());
        QCOMPARE(int(w.workingCriteria().items.size()), 10);
        QCOMPARE(shown(), (std::vector<int>{3}));
    }

    void refusedEntriesKeepTheWindowOpenOnTheirRow() {
        TMySearch w(context());
        open(w);
        type(w, kTitle, QStringLiteral("star"));
        type(w, kListPrice, QStringLiteral("19,95"));  // a decimal comma
        QTest::mouseClick(w.OkButton, Qt::LeftButton);
        QCOMPARE(prompt().texts(), QStringList{QStringLiteral("Invalid search criteria entered.  Please correct.")});
        QVERIFY(w.isVisible());
        QCOMPARE(w.SearchGrid->currentRow(), kListPrice - 1);
        QVERIFY(w.workingCriteria().empty());
        QVERIFY(!search->inForce());

        // A character the table cannot store is refused as the editor refuses it.
        prompt().clear();
        type(w, kListPrice, QStringLiteral("19.95"));
        type(w, kCategory, QStringLiteral("\u221E"));
        QTest::mouseClick(w.OkButton, Qt::LeftButton);
        QCOMPARE(prompt().messages().size(), size_t(1));
        QVERIFY(prompt().texts().front().contains(QStringLiteral("\u221E")));
        QCOMPARE(w.SearchGrid->currentRow(), kCategory - 1);
        QVERIFY(w.isVisible());
        QVERIFY(!search->inForce());

        type(w, kCategory, QStringLiteral("fiction"));
        QTest::mouseClick(w.OkButton, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(shown(), (std::vector<int>{1, 7}));
    }

    void theSearchInForceChangesOnlyWhenANewSearchFindsRecords() {
        // A search for Alien is in force.
        rv::browse::SearchLevelRows rows;
        rows.cell(kTitle) = "alien";
        rv::browse::SearchCriteria alien;
        QVERIFY(rv::browse::storeLevel(alien, rows, *dates).ok());
        QVERIFY(search->start(alien));
        {
            // Find More stores a level, then Exit: nothing changes.
            TMySearch w(context());
            open(w);
            type(w, kTitle, QStringLiteral("star"));
            QTest::mouseClick(w.MoreButton, Qt::LeftButton);
            QTest::mouseClick(w.ExitButton, Qt::LeftButton);
            QVERIFY(!w.isVisible());
            QVERIFY(search->inForce());
            QCOMPARE(search->criteria(), alien);
            QCOMPARE(shown(), (std::vector<int>{3}));
        }
        {
            // A search without matches clears the window and leaves the one in force.
            TMySearch w(context());
            open(w);
            type(w, kTitle, QStringLiteral("no such title"));
            QTest::mouseClick(w.OkButton, Qt::LeftButton);
            QCOMPARE(prompt().texts(),
                     QStringList{QStringLiteral("No valid matches found.  Search Criteria will be cleared.")});
            QCOMPARE(prompt().messages().front().title, QStringLiteral("Notice"));
            QVERIFY(w.isVisible());
            QCOMPARE(cell(w, kTitle), QString());
            QCOMPARE(w.level(), 1);
            QVERIFY(w.workingCriteria().empty());
            QVERIFY(search->inForce());
            QCOMPARE(search->criteria(), alien);
            QCOMPARE(shown(), (std::vector<int>{3}));
        }
    }

    void clearSearchStartsOver() {
        TMySearch w(context());
        open(w);
        type(w, kTitle, QStringLiteral("star"));
        QTest::mouseClick(w.MoreButton, Qt::LeftButton);
        type(w, kCategory, QStringLiteral("drama"));
        QTest::mouseClick(w.ClearButton, Qt::LeftButton);
        QCOMPARE(w.level(), 1);
        QCOMPARE(cell(w, kCategory), QString());
        QVERIFY(w.workingCriteria().empty());
        QCOMPARE(heading(w), QStringLiteral(" SEARCH CRITERIA    (Level 1)"));
        QVERIFY(w.MoreButton->isEnabled());
    }

    void theLimitOfSeventyFiveItemsClearsEverything() {
        TMySearch w(context());
        open(w);
        // Two levels of 34 text rows each, then 8 more: the 76th item.
        for (int level = 0; level < 3; ++level) {
            int filled = 0;
            for (int field = 1; field <= 40; ++field) {
                if (rv::browse::searchRowKind(field) != rv::browse::SearchRowKind::Text) continue;
                if (level == 2 && filled == 8) break;
                w.SearchGrid->item(field - 1, 2)->setText(QStringLiteral("x"));
                ++filled;
            }
            if (level < 2) QTest::mouseClick(w.MoreButton, Qt::LeftButton);
        }
        QCOMPARE(int(w.workingCriteria().items.size()), 68);
        QTest::mouseClick(w.OkButton, Qt::LeftButton);
        QCOMPARE(prompt().texts(), QStringList{QStringLiteral("More than 75 search items have been entered.  This "
                                                              "exceeds the maximum allowable.  Search criteria will "
                                                              "be cleared.")});
        QVERIFY(w.isVisible());
        QVERIFY(w.workingCriteria().empty());
        QCOMPARE(w.level(), 1);
        QCOMPARE(cell(w, kTitle), QString());
        QVERIFY(!search->inForce());
    }

    void optionsChooseTheComparisonAndItsTemplate() {
        TMySearch w(context());
        open(w);
        bool offered = false;
        clickOptions(w, kYear, [&](TSearchOptions& o) {
            offered = true;
            QCOMPARE(o.windowTitle(), QStringLiteral("Search Options"));
            QCOMPARE(o.FieldNameLabel->text(), QStringLiteral("Year"));
            QCOMPARE(o.ListBox1->count(), 4);
            QCOMPARE(o.ListBox1->item(3)->text(), QStringLiteral(" > X < "));
            QCOMPARE(o.ListBox1->currentRow(), 0);
            pick(o, 3);
        });
        QTRY_VERIFY(offered);
        QCOMPARE(w.comparison(kYear), RowComparison::Range);
        QCOMPARE(w.editMask(kYear), QStringLiteral("\\> xxxxxxxxx \\A\\N\\D \\< xxxxxxxx"));
        QCOMPARE(w.SearchGrid->currentRow(), kYear - 1);
        QCOMPARE(w.SearchGrid->currentColumn(), 2);
        // The range template: the lower bound, then past the fixed text the upper bound.
        type(w, kYear, QStringLiteral("1984     1995"));
        QCOMPARE(cell(w, kYear), QStringLiteral("> 1984      AND < 1995    "));
        QTest::mouseClick(w.OkButton, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(shown(), (std::vector<int>{5, 6, 8}));  // 1994, 1985, 1985 -- the bounds excluded

        // Cancel changes nothing.
        TMySearch again(context());
        open(again);
        clickOptions(again, kYear, [](TSearchOptions& o) {
            o.ListBox1->setCurrentRow(1);
            QTest::mouseClick(o.CancelButton, Qt::LeftButton);
        });
        QTest::qWait(50);
        QCOMPARE(again.comparison(kYear), RowComparison::Equal);
    }

    void datesUseTheDateFormatAndBlankDatesCountAsDayZero() {
        dates = std::make_unique<rv::app::ShortDateFormat>(12, true);  // dd.mm.yyyy
        table->setDateCodec(dates.get());
        TMySearch w(context());
        open(w);
        QCOMPARE(w.editMask(kCheckDate), QStringLiteral("= 00\\.00\\.0000"));
        clickOptions(w, kCheckDate, [](TSearchOptions& o) { pick(o, 2); });  // " < "
        QTRY_COMPARE(w.comparison(kCheckDate), RowComparison::Less);
        type(w, kCheckDate, QStringLiteral("01011996"));
        QCOMPARE(cell(w, kCheckDate), QStringLiteral("< 01.01.1996"));
        QTest::mouseClick(w.OkButton, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(shown(), (std::vector<int>{2, 3, 4, 5, 6, 7, 8}));  // blank dates and 24.12.1995

        // An untouched date template is no criterion.
        TMySearch empty(context());
        open(empty);
        type(empty, kCheckDate, QString());
        QCOMPARE(cell(empty, kCheckDate), QStringLiteral("=   .  .    "));
        QTest::mouseClick(empty.OkButton, Qt::LeftButton);
        QCOMPARE(prompt().texts(), QStringList{QStringLiteral("No search criteria entered.")});
    }

    void pickListsFillTheCriteriaCell() {
        TMySearch w(context());
        open(w);
        QStringList offered;
        auto take = [&](int row) {
            return [&offered, row](TSearchOptions& o) {
                offered.clear();
                for (int i = 0; i < o.ListBox1->count(); ++i) offered << o.ListBox1->item(i)->text();
                if (row >= 0)
                    pick(o, row);
                else
                    QTest::mouseClick(o.OkButton, Qt::LeftButton);  // nothing selected
            };
        };
        clickOptions(w, kStar3, take(0));
        QTRY_COMPARE(cell(w, kStar3), QStringLiteral("Harrison Ford"));
        QCOMPARE(offered, (QStringList{QStringLiteral("Harrison Ford"), QStringLiteral("Judy Garland")}));
        clickOptions(w, kCheckOut, take(-1));
        QTRY_COMPARE(offered, (QStringList{QStringLiteral("YES"), QStringLiteral("NO")}));
        QCOMPARE(cell(w, kCheckOut), QString());
        clickOptions(w, kMisc, take(1));
        QTRY_COMPARE(cell(w, kMisc), QStringLiteral("Dubbed"));
        QCOMPARE(offered, (QStringList{QStringLiteral("Widescreen"), QStringLiteral("Dubbed")}));
        w.SearchGrid->item(kMisc - 1, 2)->setText(QString());
        // A star row's name matches any of the six stars.
        QTest::mouseClick(w.OkButton, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(shown(), (std::vector<int>{1, 6}));
    }

    // ---- Locate --------------------------------------------------------------------------

    void locateFirstAndNextInTheCurrentOrder() {
        table->orderBy("UPPER(TITLE)");
        TMyLocateDialog locate;
        locate.setDataSource(table.get(), &settings);
        QCOMPARE(QString::fromStdString(locate.properties().caption), QStringLiteral("Locate Field Value"));
        QCOMPARE(locate.properties().matchType, rv::browse::LocateMatch::Start);
        QCOMPARE(locate.properties().sortFields, rv::browse::LocateFieldOrder::ByName);
        QCOMPARE(locate.properties().defaultButton, rv::browse::LocateDefaultButton::Next);

        bool shownOnce = false;
        rvtest::whenModal<TMyLocateDlg>([&](TMyLocateDlg& d) {
            QVERIFY(QTest::qWaitForWindowActive(&d));
            shownOnce = true;
            QCOMPARE(d.windowTitle(), QStringLiteral("Locate Field Value"));
            QCOMPARE(d.FieldNameComboBox->currentIndex(), -1);
            QVERIFY(d.PartialMatchStartBtn->isChecked());
            QVERIFY(!d.CaseSensitiveCheckBox->isChecked());
            // The list is sorted by label.
            QCOMPARE(d.FieldNameComboBox->itemText(0), QStringLiteral("Category"));
            d.FieldNameComboBox->setFocus();
            QVERIFY(!d.NextButton->isDefault());  // Enter in the list starts no locate
            QTest::keyClicks(d.FieldNameComboBox, QStringLiteral("Title"));
            QCOMPARE(d.FieldNameComboBox->currentText(), QStringLiteral("Title"));
            QTest::keyClick(d.FieldNameComboBox, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), d.SearchValue);
            QVERIFY(d.NextButton->isDefault());
            QTest::keyClicks(d.SearchValue, QStringLiteral("star"));
            QTest::mouseClick(d.FirstButton, Qt::LeftButton);
        });
        QVERIFY(locate.Execute(nullptr));
        QVERIFY(shownOnce);
        QCOMPARE(table->recNo(), 7);  // Star Trek: the first title in title order that begins with it
        QCOMPARE(locate.properties().searchField, std::string("TITLE"));
        QCOMPARE(locate.properties().value, std::string("star"));
    }

    void locateNextWalksOnWithoutWrappingAround() {
        table->orderBy("UPPER(TITLE)");
        table->first();
        TMyLocateDialog locate;
        locate.setDataSource(table.get(), &settings);
        // Locate Next before any locate opens the dialog.
        bool opened = false;
        rvtest::whenModal<TMyLocateDlg>([&](TMyLocateDlg& d) {
            QVERIFY(QTest::qWaitForWindowActive(&d));
            opened = true;
            d.FieldNameComboBox->setCurrentIndex(d.FieldNameComboBox->findText(QStringLiteral("Title")));
            QTest::keyClicks(d.SearchValue, QStringLiteral("star"));
            QTest::keyClick(d.SearchValue, Qt::Key_Return);  // "&Next", the default button
        });
        QVERIFY(locate.FindNext(nullptr));
        QVERIFY(opened);
        // Title order: A Star Is Born, Alien, Brazil, Lone Star, Star Trek, Star Wars, Stargate, Witness
        QCOMPARE(table->recNo(), 7);
        QVERIFY(locate.FindNext(nullptr));
        QCOMPARE(table->recNo(), 1);
        QVERIFY(locate.FindNext(nullptr));
        QCOMPARE(table->recNo(), 5);
        QVERIFY(prompt().messages().empty());
        QVERIFY(!locate.FindNext(nullptr));
        QCOMPARE(table->recNo(), 5);
        QCOMPARE(prompt().texts(), QStringList{QStringLiteral("No more matches found")});
        QCOMPARE(prompt().messages().front().title, QStringLiteral("Information"));
        // Without messages the last one stays silent.
        locate.properties().showMessages = false;
        prompt().clear();
        QVERIFY(!locate.FindNext(nullptr));
        QVERIFY(prompt().messages().empty());
    }

    void theDialogStaysOpenWhenNothingIsFoundAndCancelKeepsTheChanges() {
        TMyLocateDialog locate;
        locate.setDataSource(table.get(), &settings);
        rvtest::whenModal<TMyLocateDlg>([&](TMyLocateDlg& d) {
            QVERIFY(QTest::qWaitForWindowActive(&d));
            d.FieldNameComboBox->setCurrentIndex(d.FieldNameComboBox->findText(QStringLiteral("List Price")));
            QTest::mouseClick(d.ExactMatchBtn, Qt::LeftButton, {}, QPoint(6, d.ExactMatchBtn->height() / 2));
            QTest::keyClicks(d.SearchValue, QStringLiteral("$19.95"));
            QTest::mouseClick(d.FirstButton, Qt::LeftButton);
            QVERIFY(d.isVisible());
            QCOMPARE(prompt().texts(), QStringList{QStringLiteral("No matches found")});
            d.SearchValue->clear();
            QTest::keyClicks(d.SearchValue, QStringLiteral("19.95"));
            QTest::mouseClick(d.CaseSensitiveCheckBox, Qt::LeftButton, {}, QPoint(6, d.CaseSensitiveCheckBox->height() / 2));
            QTest::keyClick(d.BitBtn1, Qt::Key_Escape);
        });
        const int before = table->recNo();
        QVERIFY(!locate.Execute(nullptr));
        QCOMPARE(table->recNo(), before);
        QCOMPARE(locate.properties().searchField, std::string("LISTPRICE"));
        QCOMPARE(locate.properties().value, std::string("19.95"));
        QCOMPARE(locate.properties().matchType, rv::browse::LocateMatch::Exact);
        QVERIFY(locate.properties().caseSensitive);
        // Locate Next uses the kept settings: the numeric exact match of a price.
        QVERIFY(locate.FindNext(nullptr));
        QCOMPARE(table->recNo(), 7);  // after the first record, which holds 19.95 too

        // The dialog shows them again.
        rvtest::whenModal<TMyLocateDlg>([&](TMyLocateDlg& d) {
            QVERIFY(QTest::qWaitForWindowActive(&d));
            QCOMPARE(d.FieldNameComboBox->currentText(), QStringLiteral("List Price"));
            QCOMPARE(d.SearchValue->text(), QStringLiteral("19.95"));
            QVERIFY(d.ExactMatchBtn->isChecked());
            QVERIFY(d.CaseSensitiveCheckBox->isChecked());
            d.reject();
        });
        locate.Execute(nullptr);
    }

    void locateMessagesWithoutATableOrField() {
        TMyLocateDialog locate;
        QVERIFY(!locate.Execute(nullptr));
        QVERIFY(!locate.FindNext(nullptr));
        QCOMPARE(prompt().texts(), (QStringList{QStringLiteral("DataSource does not reference an active DataSet"),
                                                QStringLiteral("DataSource does not refer to an active table!")}));
        QCOMPARE(prompt().messages()[0].title, QStringLiteral("Error"));
        QCOMPARE(prompt().messages()[1].title, QStringLiteral("Warning"));
        prompt().clear();
        locate.setDataSource(table.get(), &settings);
        locate.properties().searchField = "GONE";
        locate.properties().value = "x";
        QVERIFY(!locate.FindNext(nullptr));
        QCOMPARE(prompt().texts(), QStringList{QStringLiteral("Field GONE not found.")});
        QCOMPARE(prompt().messages()[0].title, QStringLiteral("Warning"));
    }

    void locateHonoursTheSearchInForce() {
        rv::browse::SearchLevelRows rows;
        rows.cell(kCategory) = "drama";
        rv::browse::SearchCriteria drama;
        QVERIFY(rv::browse::storeLevel(drama, rows, *dates).ok());
        QVERIFY(search->start(drama));
        TMyLocateDialog locate;
        locate.setDataSource(table.get(), &settings);
        locate.properties().searchField = "Title";
        locate.properties().value = "star";
        locate.properties().matchType = rv::browse::LocateMatch::Anywhere;
        table->first();
        QVERIFY(locate.FindNext(nullptr));
        QCOMPARE(table->recNo(), 4);  // Lone Star (2) is current and passed over
        QVERIFY(!locate.FindNext(nullptr));
    }

    // ---- Looked at ------------------------------------------------------------------------

    void screenshots() {
        const QString dir = QString::fromLocal8Bit(qgetenv("REELVANE_SHOTS"));
        if (dir.isEmpty()) QSKIP("REELVANE_SHOTS not set");
        struct Size {
            int width, height;
            double factor;
        } sizes[] = {{640, 480, 1.0}, {1024, 768, 1.6}};
        for (const Size& s : sizes) {
            factor = s.factor;
            screen = QSize(s.width, s.height);
            const QString suffix = QStringLiteral("_%1x%2.png").arg(s.width).arg(s.height);
            auto check = [&](QWidget& w) {
                QVERIFY2(w.width() <= s.width && w.height() <= s.height,
                         qPrintable(QStringLiteral("%1 is %2x%3").arg(w.objectName()).arg(w.width()).arg(w.height())));
            };
            {
                TMySearch w(context());
                open(w);
                check(w);
                type(w, kTitle, QStringLiteral("star"));
                QVERIFY(w.grab().save(dir + QStringLiteral("/search_text") + suffix));
                type(w, kYear, QStringLiteral("1995"));
                edit(w, kYear);
                QVERIFY(w.grab().save(dir + QStringLiteral("/search_number_equal") + suffix));
                endEdit(w);
                for (int c : {1, 2, 3}) {
                    clickOptions(w, kYear, [c](TSearchOptions& o) { pick(o, c); });
                    QTRY_COMPARE(int(w.comparison(kYear)), c + 1);
                    edit(w, kYear);
                    const char* names[] = {"", "greater", "less", "range"};
                    QVERIFY(w.grab().save(dir + QStringLiteral("/search_number_") + QLatin1String(names[c]) + suffix));
                    endEdit(w);
                }
                type(w, kCheckDate, QStringLiteral("03051997"));
                edit(w, kCheckDate);
                QVERIFY(w.grab().save(dir + QStringLiteral("/search_date") + suffix));
                endEdit(w);
                bool grabbed = false;
                clickOptions(w, kStar1, [&](TSearchOptions& o) {
                    check(o);
                    grabbed = o.grab().save(dir + QStringLiteral("/search_options_pick") + suffix);
                    QTest::mouseClick(o.CancelButton, Qt::LeftButton);
                });
                QTRY_VERIFY(grabbed);
                grabbed = false;
                clickOptions(w, kYear, [&](TSearchOptions& o) {
                    grabbed = o.grab().save(dir + QStringLiteral("/search_options_comparison") + suffix);
                    QTest::mouseClick(o.CancelButton, Qt::LeftButton);
                });
                QTRY_VERIFY(grabbed);
            }
            TMyLocateDialog locate;
            locate.setDataSource(table.get(), &settings);
            locate.setPlacement([this](QWidget* w) { rv::gui::placeDialog(w, settings, factor, screen); });
            bool grabbed = false;
            rvtest::whenModal<TMyLocateDlg>([&](TMyLocateDlg& d) {
            QVERIFY(QTest::qWaitForWindowActive(&d));
                check(d);
                d.FieldNameComboBox->setCurrentIndex(d.FieldNameComboBox->findText(QStringLiteral("Title")));
                QTest::keyClicks(d.SearchValue, QStringLiteral("star"));
                grabbed = d.grab().save(dir + QStringLiteral("/locate") + suffix);
                d.reject();
            });
            locate.Execute(nullptr);
            QVERIFY(grabbed);
        }
    }
};

QTEST_MAIN(SearchTest)
#include "test_search.moc"
