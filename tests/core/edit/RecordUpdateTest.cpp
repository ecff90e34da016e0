#include "core/edit/RecordUpdate.h"

#include "core/app/Formats.h"
#include "core/app/Settings.h"
#include "core/db/DbTestSupport.h"
#include "core/db/Table.h"
#include "core/edit/EditorMessages.h"
#include "core/lists/DataLists.h"

#include <gtest/gtest.h>

namespace rv::edit {
namespace {

using db::test::TempDir;

// An open, empty video table with the editor's formats (mm/dd/yy, as of 1 June 2026).
class EditorTable : public ::testing::Test {
protected:
    void SetUp() override {
        db::Table::createVideoTable(dir / "MASTER.DBF");
        setFormats(1, {'.', ',', 2});
        table.setPath(dir / "MASTER.DBF");
        table.open();
    }
    void setFormats(int currencyFormat, app::IntlSettings intl) {
        app::Settings settings;
        settings.currencyFormat = currencyFormat;
        formats = app::DisplayFormats(settings, intl, [] { return db::Date{2026, 6, 1}; });
        table.setDateCodec(&formats.date());
    }
    UpdateResult update(const EditorRecord& boxes) { return updateRecord(table, lists, boxes, mode, formats); }

    TempDir dir;
    app::DisplayFormats formats;
    db::Table table;
    lists::DataLists lists;
    EditorMode mode = EditorMode::New;
};

EditorRecord fullRecord() {
    EditorRecord boxes = clearedRecord();
    for (const auto& f : db::kFields) {
        if (f.kind == db::FieldKind::Text) boxes[f.number] = std::string(f.name).substr(0, std::size_t(f.width));
    }
    boxes[kYearField] = "1942";
    boxes[kRunTimeField] = "102";
    boxes[kListPriceField] = "1,234.50";
    boxes[kPurchPriceField] = "";
    boxes[kCheckDateField] = "03/05/97";
    boxes[kPurchDateField] = "/  /";
    boxes.setChecked(kCheckOutField, true);
    boxes.setChecked(kViewedField, false);
    return boxes;
}

TEST_F(EditorTable, EditingARecordTheSearchNoLongerMatchesKeepsEditingIt) {
    EditorRecord boxes = fullRecord();
    boxes[1] = "Alpha";
    ASSERT_TRUE(update(boxes).ok());
    table.setFilter([](db::Table& t) { return t.asString("Title") == "Alpha"; });
    table.first();
    mode = EditorMode::Edit;
    boxes[1] = "Beta";  // the record leaves the search result...
    ASSERT_TRUE(update(boxes).ok());
    EXPECT_EQ(table.recordCount(), 0);
    boxes[1] = "Gamma";  // ...and the next update still changes it, adding nothing
    ASSERT_TRUE(update(boxes).ok());
    table.clearFilter();
    EXPECT_EQ(table.physicalRecordCount(), 1);
    table.first();
    EXPECT_EQ(table.asString("Title"), "Gamma");
}

TEST_F(EditorTable, AddWritesAllFortyFieldsThenEditsTheSameRecord) {
    const EditorRecord boxes = fullRecord();
    const auto result = update(boxes);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.recNo, 1);
    EXPECT_EQ(mode, EditorMode::Edit);
    ASSERT_EQ(table.recordCount(), 1);

    for (const auto& f : db::kFields) {
        if (f.kind == db::FieldKind::Text && f.number != kCheckOutField && f.number != kViewedField) {
            EXPECT_EQ(table.asString(f.name), boxes[f.number]) << f.name;
        }
    }
    EXPECT_EQ(table.asNumber("Year"), 1942);
    EXPECT_EQ(table.asNumber("RunTime"), 102);
    EXPECT_EQ(table.asNumber("ListPrice"), 1234.5);
    EXPECT_EQ(table.asString("PurchPrice"), "0.00");  // an empty price box is 0
    EXPECT_EQ(table.asDate("CheckDate"), (db::Date{1997, 3, 5}));
    EXPECT_TRUE(table.asDate("PurchDate").isEmpty());
    EXPECT_EQ(table.asString("CheckOut"), "Yes");
    EXPECT_EQ(table.asString("Viewed"), "No");

    // Mode Edit now: the next update changes the record just written.
    EditorRecord again = boxes;
    again[1] = "Casablanca";
    again[kYearField] = "";
    ASSERT_TRUE(update(again).ok());
    EXPECT_EQ(table.recordCount(), 1);
    EXPECT_EQ(table.asString("Title"), "Casablanca");
    EXPECT_EQ(table.asString("Year"), "");  // an empty box gives an empty field
}

TEST_F(EditorTable, EditOnAnEmptyTableAddsTheRecord) {
    mode = EditorMode::Edit;
    const EditorRecord loaded = loadRecord(table, formats);
    EXPECT_EQ(loaded[1], "");
    EditorRecord boxes = loaded;
    boxes[1] = "First";
    ASSERT_TRUE(update(boxes).ok());
    EXPECT_EQ(table.recordCount(), 1);
}

TEST_F(EditorTable, CopyAddsASecondRecordWithTheSameValues) {
    ASSERT_TRUE(update(fullRecord()).ok());
    mode = EditorMode::Copy;
    EditorRecord copy = loadRecord(table, formats);
    ASSERT_TRUE(update(copy).ok());
    EXPECT_EQ(table.recordCount(), 2);
    EXPECT_EQ(table.recNo(), 2);
    EXPECT_EQ(table.asString("Title"), "Title");
    EXPECT_EQ(table.asNumber("ListPrice"), 1234.5);
    EXPECT_EQ(table.asDate("CheckDate"), (db::Date{1997, 3, 5}));
}

TEST_F(EditorTable, FailedCheckChangesNeitherTableNorLists) {
    EditorRecord boxes = fullRecord();
    boxes[2] = "New Star";  // Star1
    boxes[kYearField] = "19x7";
    const auto result = update(boxes);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->message, kInvalidYear);
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_TRUE(lists.list(lists::kStarsList).empty());
    EXPECT_EQ(mode, EditorMode::New);
}

TEST_F(EditorTable, LoadedRecordShowsFormattedValuesAndKeepsItsDates) {
    // A record written by another tool: a 1925 date, which m/d/yy shows as 3/5/25.
    table.append();
    table.setString("Title", "Old One");
    table.setDate("PurchDate", db::Date{1925, 3, 5});
    table.setNumber("ListPrice", 1234567.5);
    table.setString("CheckOut", "Yes");
    table.post();

    EditorRecord boxes = loadRecord(table, formats);
    EXPECT_EQ(boxes[kPurchDateField], "3/5/25");
    EXPECT_EQ(boxes[kCheckDateField], "");
    EXPECT_EQ(boxes[kListPriceField], "1,234,567.50");
    EXPECT_EQ(boxes[kPurchPriceField], "");  // a blank price stays blank
    EXPECT_TRUE(boxes.checked(kCheckOutField));
    EXPECT_FALSE(boxes.checked(kViewedField));

    // Updated without touching the date: the stored date is written back, not 2025.
    mode = EditorMode::Edit;
    boxes[1] = "Old One, renamed";
    ASSERT_TRUE(update(boxes).ok());
    EXPECT_EQ(table.asDate("PurchDate"), (db::Date{1925, 3, 5}));
    EXPECT_EQ(table.asNumber("ListPrice"), 1234567.5);

    // Typed anew, the text is read by the format: 25 is 2025 now.
    boxes[kPurchDateField] = "03/06/25";
    ASSERT_TRUE(update(boxes).ok());
    EXPECT_EQ(table.asDate("PurchDate"), (db::Date{2025, 3, 6}));
}

TEST_F(EditorTable, LocaleMoneyIsReadWithItsSeparators) {
    setFormats(2, {',', '.', 2});
    EditorRecord boxes = fullRecord();
    boxes[kListPriceField] = "1.234,50";
    boxes[kPurchPriceField] = "12,";
    EXPECT_EQ(update(boxes).error->message, kInvalidPurchPrice);
    boxes[kPurchPriceField] = ",5";
    ASSERT_TRUE(update(boxes).ok());
    EXPECT_EQ(table.asNumber("ListPrice"), 1234.5);
    EXPECT_EQ(table.asNumber("PurchPrice"), 0.5);
    EXPECT_EQ(loadRecord(table, formats)[kListPriceField], "1.234,50");
}

TEST_F(EditorTable, TableErrorLeavesModeAndTableAsTheyWere) {
    EditorRecord boxes = fullRecord();
    boxes[kListPriceField] = "1e30";  // a price, but too large for the table's field
    EXPECT_THROW(update(boxes), db::DatabaseError);
    EXPECT_EQ(mode, EditorMode::New);  // the next update still adds
    EXPECT_EQ(table.state(), db::Table::State::Browse);
    EXPECT_EQ(table.recordCount(), 0);

    boxes[kListPriceField] = "10";
    ASSERT_TRUE(update(boxes).ok());
    EXPECT_EQ(table.recordCount(), 1);
}

TEST_F(EditorTable, TypedValuesJoinTheirLists) {
    lists.setList(6, {"Drama"});
    EditorRecord boxes = clearedRecord();
    boxes[5] = "  Ingrid Bergman";  // Star4
    boxes[14] = " Drama";         // Category: already there
    boxes[13] = "pg";              // Rating
    ASSERT_TRUE(update(boxes).ok());
    boxes[2] = "Ingrid Bergman";  // Star1, the same name
    ASSERT_TRUE(update(boxes).ok());

    EXPECT_EQ(lists.list(lists::kStarsList), lists::Entries{"Ingrid Bergman"});
    EXPECT_EQ(lists.list(6), lists::Entries{"Drama"});
    EXPECT_EQ(lists.list(5), lists::Entries{"pg"});
    EXPECT_EQ(lists.viewerList(5), lists::Entries{"Ingrid Bergman"});  // MyComboStar4
    EXPECT_EQ(lists.viewerList(2), lists::Entries{"Ingrid Bergman"});  // MyComboStar1, second update
    EXPECT_TRUE(lists.viewerList(3).empty());
    EXPECT_EQ(lists.viewerList(14), lists::Entries{"Drama"});
    EXPECT_TRUE(lists.viewerList(8).empty());  // Producer was empty
}

}  // namespace
}  // namespace rv::edit
