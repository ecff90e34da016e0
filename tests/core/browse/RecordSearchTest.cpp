// The search in force over a real video table, its suspension, and locate.

#include <gtest/gtest.h>

#include "core/app/Formats.h"
#include "core/browse/Locate.h"
#include "core/browse/RecordSearch.h"
#include "core/db/DbTestSupport.h"

using namespace rv::browse;
using rv::db::Date;
using rv::db::Table;
using rv::db::test::TempDir;

namespace {

struct Video {
    const char* title;
    int year;
    const char* listPrice;
    Date purchased;
};

// Ten records; record numbers 1..10 in this order.
const Video kVideos[] = {
    {"Star Wars", 1977, "19.95", {1997, 3, 5}},  {"Lone Star", 1996, "9.99", {}},
    {"Alien", 1979, "14.5", {1995, 1, 2}},       {"Starman", 1984, "", {1996, 6, 7}},
    {"Aliens", 1986, "19.9", {}},                {"A Star Is Born", 1954, "5", {1990, 1, 1}},
    {"Stargate", 1994, "12", {}},                {"Brazil", 1985, "8", {}},
    {"star trek", 1995, "19.95", {}},            {"Zardoz", 1974, "3", {}},
};

class RecordSearchTest : public ::testing::Test {
protected:
    TempDir dir;
    Table t;
    rv::app::ShortDateFormat dates{7, true, [] { return Date{2026, 6, 1}; }};  // mm/dd/yyyy

    void SetUp() override {
        Table::createVideoTable(dir / "V.DBF");
        t.setPath(dir / "V.DBF");
        t.setDateCodec(&dates);
        t.open();
        for (const Video& v : kVideos) {
            t.append();
            t.setString("Title", v.title);
            t.setNumber("Year", v.year);
            t.setString("ListPrice", v.listPrice);
            t.setDate("PurchDate", v.purchased);
            t.post();
        }
        t.first();
    }

    SearchCriteria titleContains(const char* text) {
        SearchLevelRows rows;
        rows.cell(1) = text;
        SearchCriteria c;
        EXPECT_TRUE(storeLevel(c, rows, dates).ok());
        return c;
    }

    std::vector<int> shown() {
        std::vector<int> out;
        for (int row = 0; row < t.rowCount(); ++row) out.push_back(t.recNoAtRow(row));
        return out;
    }
};

}  // namespace

TEST_F(RecordSearchTest, ASearchFiltersTheTableUntilItEnds) {
    RecordSearch search(t);
    std::vector<bool> heard;
    search.setListener([&](bool inForce) { heard.push_back(inForce); });
    ASSERT_TRUE(search.start(titleContains("alien")));
    EXPECT_TRUE(search.inForce());
    EXPECT_EQ(shown(), (std::vector<int>{3, 5}));
    EXPECT_EQ(t.recordCount(), 2);

    search.end();
    EXPECT_FALSE(search.inForce());
    EXPECT_EQ(t.recordCount(), 10);
    EXPECT_EQ(search.criteria(), titleContains("alien"));  // ending keeps the criteria
    EXPECT_EQ(heard, (std::vector<bool>{true, false}));
}

TEST_F(RecordSearchTest, ASearchWithoutMatchesLeavesTheSearchInForceAsItWas) {
    RecordSearch search(t);
    ASSERT_TRUE(search.start(titleContains("star")));
    const std::vector<int> before = shown();
    EXPECT_EQ(before.size(), 6u);

    EXPECT_FALSE(search.start(titleContains("nothing like this")));
    EXPECT_TRUE(search.inForce());
    EXPECT_EQ(search.criteria(), titleContains("star"));
    EXPECT_EQ(shown(), before);

    // Without a search in force a failed one leaves every record shown.
    search.end();
    EXPECT_FALSE(search.start(titleContains("nothing like this")));
    EXPECT_FALSE(search.inForce());
    EXPECT_EQ(t.recordCount(), 10);
    EXPECT_FALSE(search.start(SearchCriteria{}));
}

TEST_F(RecordSearchTest, ASuspendedSearchComesBackAfterTheTableIsReopened) {
    RecordSearch search(t);
    ASSERT_TRUE(search.start(titleContains("alien")));
    {
        SuspendedSearch suspended(search);
        EXPECT_TRUE(suspended.wasInForce());
        EXPECT_FALSE(search.inForce());
        EXPECT_EQ(t.recordCount(), 10);
        t.close();
        t.open();
        EXPECT_EQ(t.recordCount(), 10);
    }
    EXPECT_TRUE(search.inForce());
    EXPECT_EQ(shown(), (std::vector<int>{3, 5}));

    // Nothing to suspend: the guard changes nothing.
    search.end();
    {
        SuspendedSearch suspended(search);
        EXPECT_FALSE(suspended.wasInForce());
    }
    EXPECT_FALSE(search.inForce());

    // A dismissed suspension leaves the search ended.
    ASSERT_TRUE(search.start(titleContains("alien")));
    {
        SuspendedSearch suspended(search);
        suspended.dismiss();
    }
    EXPECT_FALSE(search.inForce());
    EXPECT_EQ(t.recordCount(), 10);
}

TEST_F(RecordSearchTest, TheFilterReadsNumbersAndDatesOfTheTable) {
    SearchLevelRows rows;
    rows.cell(28) = "= 19.95";
    SearchLevelRows second;
    second.cell(35) = "< 01/01/1991";
    second.comparison(35) = RowComparison::Less;
    SearchCriteria c;
    ASSERT_TRUE(storeLevel(c, rows, dates).ok());
    ASSERT_TRUE(storeLevel(c, second, dates).ok());
    RecordSearch search(t);
    ASSERT_TRUE(search.start(c));
    // 19.95 exactly; or purchased before 1991, blank dates included.
    EXPECT_EQ(shown(), (std::vector<int>{1, 2, 5, 6, 7, 8, 9, 10}));
}

TEST_F(RecordSearchTest, LocateFromTheFirstRecordAndOnInTheCurrentOrder) {
    t.orderBy("UPPER(TITLE)");
    // A Star Is Born, Alien, Aliens, Brazil, Lone Star, star trek, Star Wars, Stargate, Starman, Zardoz
    EXPECT_EQ(locate(t, "Title", "star", LocateMatch::Start, false, true), LocateResult::Found);
    EXPECT_EQ(t.recNo(), 9);  // star trek
    EXPECT_EQ(locate(t, "title", "star", LocateMatch::Start, false, false), LocateResult::Found);
    EXPECT_EQ(t.recNo(), 1);  // Star Wars
    EXPECT_EQ(locate(t, "Title", "star", LocateMatch::Start, false, false), LocateResult::Found);
    EXPECT_EQ(t.recNo(), 7);  // Stargate
    EXPECT_EQ(locate(t, "Title", "star", LocateMatch::Start, false, false), LocateResult::Found);
    EXPECT_EQ(t.recNo(), 4);  // Starman
    // No wrap-around: the record stays.
    EXPECT_EQ(locate(t, "Title", "star", LocateMatch::Start, false, false), LocateResult::NotFound);
    EXPECT_EQ(t.recNo(), 4);
    // Case-sensitive finds only the lower-case title; anywhere finds "Lone Star" first.
    EXPECT_EQ(locate(t, "Title", "star", LocateMatch::Start, true, true), LocateResult::Found);
    EXPECT_EQ(t.recNo(), 9);
    EXPECT_EQ(locate(t, "Title", "star", LocateMatch::Anywhere, false, true), LocateResult::Found);
    EXPECT_EQ(t.recNo(), 6);
    EXPECT_EQ(locate(t, "Title", "alien", LocateMatch::Exact, false, true), LocateResult::Found);
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_EQ(locate(t, "NoField", "x", LocateMatch::Start, false, true), LocateResult::NoSuchField);
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_EQ(fieldNotFoundMessage("NoField"), "Field NoField not found.");
}

TEST_F(RecordSearchTest, LocateComparesWhatTheFieldDisplays) {
    struct Case {
        const char* field;
        const char* value;
        LocateMatch match;
        int found;  // record number, 0 for none
    } cases[] = {
        {"ListPrice", "19.95", LocateMatch::Exact, 1},
        {"ListPrice", "$19.95", LocateMatch::Exact, 0},
        {"ListPrice", "19.9", LocateMatch::Exact, 5},
        {"ListPrice", "19.90", LocateMatch::Exact, 5},  // the same number
        {"ListPrice", "14.50", LocateMatch::Exact, 3},
        {"ListPrice", "-", LocateMatch::Exact, 0},
        {"ListPrice", "1.2.3", LocateMatch::Exact, 0},
        {"ListPrice", "14.5", LocateMatch::Start, 3},    // shown as 14.5
        {"ListPrice", "14.50", LocateMatch::Start, 0},
        {"Year", "1995", LocateMatch::Exact, 9},
        {"Year", "19", LocateMatch::Start, 1},
        {"Year", "95", LocateMatch::Anywhere, 6},  // 1954
        {"PurchDate", "03/05/1997", LocateMatch::Exact, 1},  // the current date format
        {"PurchDate", "1997", LocateMatch::Anywhere, 1},
        {"PurchDate", "19970305", LocateMatch::Exact, 0},
        {"Title", "", LocateMatch::Start, 0},     // an empty value matches nothing
        {"Title", "", LocateMatch::Anywhere, 0},
        {"Star1", "", LocateMatch::Exact, 1},     // ... except an empty field, exactly
    };
    for (const Case& c : cases) {
        t.first();
        const LocateResult r = locate(t, c.field, c.value, c.match, false, true);
        EXPECT_EQ(r == LocateResult::Found ? t.recNo() : 0, c.found) << c.field << " " << c.value;
    }
}

TEST_F(RecordSearchTest, LocateReachesOnlyRecordsTheSearchLetsThrough) {
    RecordSearch search(t);
    ASSERT_TRUE(search.start(titleContains("alien")));
    EXPECT_EQ(locate(t, "Title", "star", LocateMatch::Anywhere, false, true), LocateResult::NotFound);
    EXPECT_EQ(locate(t, "Title", "alien", LocateMatch::Start, false, true), LocateResult::Found);
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_EQ(locate(t, "Title", "alien", LocateMatch::Start, false, false), LocateResult::Found);
    EXPECT_EQ(t.recNo(), 5);
}

TEST_F(RecordSearchTest, TheFieldListShowsDisplayLabels) {
    rv::app::Settings s;
    s.displayNames[1] = "Movie~Title";
    s.displayNames[2] = "Lead";
    s.displayFields[3] = false;  // hidden: listed by its table name
    auto fields = locateFields(t, s, LocateFieldSelection::All, LocateFieldOrder::ByName);
    ASSERT_EQ(fields.size(), 40u);
    EXPECT_TRUE(std::is_sorted(fields.begin(), fields.end(),
                               [](const LocateField& a, const LocateField& b) { return a.label < b.label; }));
    EXPECT_EQ(labelForField(fields, "TITLE"), "Movie Title");
    EXPECT_EQ(fieldForLabel(fields, "Movie Title"), "TITLE");
    EXPECT_EQ(labelForField(fields, "Star2"), "STAR2");
    EXPECT_EQ(labelForField(fields, "Star1"), "Lead");
    EXPECT_EQ(fieldForLabel(fields, "Nothing"), "");

    auto visible = locateFields(t, s, LocateFieldSelection::Visible, LocateFieldOrder::ByNumber);
    ASSERT_EQ(visible.size(), 39u);
    EXPECT_EQ(visible[0].label, "Movie Title");
    EXPECT_EQ(visible[1].label, "Lead");
    EXPECT_EQ(visible[2].name, "STAR3");
}
