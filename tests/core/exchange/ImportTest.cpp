// Import: storing values by field kind, the pairing grid and its field map, text and dBase
// sources into a video table.

#include <gtest/gtest.h>

#include "core/app/Formats.h"
#include "core/db/DbTestSupport.h"
#include "core/exchange/ExchangeMessages.h"
#include "core/exchange/Import.h"

using namespace rv;
using namespace rv::exchange;
using db::Date;
using db::Table;
using db::test::TempDir;

namespace {

db::Date fixedToday() { return {2026, 6, 1}; }

class ImportTest : public ::testing::Test {
protected:
    TempDir dir;
    app::ShortDateFormat dates{7, true, fixedToday};  // mm/dd/yyyy
    Table t;

    void SetUp() override {
        Table::createVideoTable(dir / "V.DBF");
        t.setPath(dir / "V.DBF");
        t.setDateCodec(&dates);
        t.open();
    }
    // The value a field holds after storing `value` into it in a new record ("" for blank).
    std::string stored(const char* field, const std::string& value, const app::ShortDateFormat* format = nullptr) {
        t.append();
        const auto number = db::fieldNumber(field);
        storeValue(t, t.fieldIndex(field), db::field(*number).kind, value, format ? *format : dates);
        t.post();
        const std::string out = t.isBlank(t.fieldIndex(field)) ? "" : t.asString(field);
        return out;
    }
    // Imports text with import field i into catalogue field i.
    int importText(const std::string& text, bool skipFirst, FieldMap map = {}) {
        if (map.empty()) map = initialFieldMap(checkFirstLine(text).names);
        return importTextFrom(t, text, map, skipFirst, dates);
    }
    std::vector<std::string> column(const char* field) {
        std::vector<std::string> out;
        for (t.first(); !t.eof(); t.next()) out.push_back(t.asString(field));
        return out;
    }
};

}  // namespace

TEST_F(ImportTest, ValuesAreStoredByFieldKind) {
    struct Case {
        const char* field;
        std::string value;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"Title", "Casablanca", "Casablanca"},
        {"Title", std::string(70, 't'), std::string(60, 't')},  // cut to the field's width
        {"Year", "1997", "1997"},
        {"Year", "12a", "12"},
        {"Year", "-5", "-5"},
        {"Year", "+7x", "7"},
        {"Year", "  42", "42"},
        {"Year", "", "0"},
        {"Year", "abc", "0"},
        {"Year", "1.997", "1"},
        {"Year", "99999999999999", "0"},  // more than the field holds
        {"ListPrice", "12.50", "12.50"},
        {"ListPrice", "12.5", "12.50"},
        {"ListPrice", "-3", "-3.00"},
        {"ListPrice", ".5", "0.50"},
        {"ListPrice", " 7.25 ", "7.25"},
        {"ListPrice", "", ""},
        {"ListPrice", "12,50", ""},  // not written with a point
        {"ListPrice", "$12", ""},
        {"ListPrice", "1.2.3", ""},
        {"ListPrice", "12.50x", ""},
        {"ListPrice", ".", ""},
        {"ListPrice", "1e3", ""},
        {"ListPrice", "99999999999999999999", ""},  // more than the field holds
        {"PurchDate", "03/05/1997", "03/05/1997"},
        {"PurchDate", "3/5/1997", "03/05/1997"},
        {"PurchDate", "", ""},
        {"PurchDate", "19970305", ""},        // no separator
        {"PurchDate", "Mar/05/1997", ""},     // a letter
        {"PurchDate", "03-05-1997", ""},      // another separator
        {"PurchDate", "02/30/1997", ""},      // no such day
        {"PurchDate", "13/01/1997", ""},
        {"PurchDate", "//", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " <- \"" + c.value + "\"");
        EXPECT_EQ(stored(c.field, c.value), c.expected);
    }
}

TEST_F(ImportTest, DatesAreReadInTheDateFormatInForce) {
    const app::ShortDateFormat dayFirstDots{12, true, fixedToday};  // dd.mm.yyyy
    const app::ShortDateFormat twoDigit{1, false, fixedToday};      // m/d/yy
    EXPECT_EQ(stored("PurchDate", "05.03.1997", &dayFirstDots), "03/05/1997");
    EXPECT_EQ(stored("PurchDate", "03/05/1997", &dayFirstDots), "");
    EXPECT_EQ(stored("PurchDate", "3/5/97", &twoDigit), "03/05/1997");
}

TEST(ImportPairing, GridStartsWithOneImportFieldPerRow) {
    app::Settings s;
    s.displayNames[1] = "Film";
    std::vector<std::string> names;
    for (int i = 1; i <= 45; ++i) names.push_back("F" + std::to_string(i));
    ImportPairing wide(s, names);
    ASSERT_EQ(wide.rowCount(), 45);
    EXPECT_EQ(wide.row(1).programField, "Film");
    EXPECT_EQ(wide.row(40).programField, "User Defined 2");
    EXPECT_EQ(wide.row(41).programField, "");
    EXPECT_EQ(wide.row(45).importField, "F45");
    EXPECT_EQ(wide.row(45).use, "Yes");
    // Import fields past row 40 are not imported.
    const FieldMap map = wide.fieldMap();
    EXPECT_EQ(map[0], 1);
    EXPECT_EQ(map[39], 40);
    EXPECT_EQ(map[40], 0);

    ImportPairing narrow(s, {"a", "b"});
    ASSERT_EQ(narrow.rowCount(), 40);
    EXPECT_EQ(narrow.row(3).importField, "<EMPTY>");
    EXPECT_EQ(narrow.row(3).use, "");
}

TEST(ImportPairing, UpDownAndUseBuildTheFieldMap) {
    app::Settings s;
    ImportPairing grid(s, {"Name", "When", "Cost"});
    EXPECT_EQ(grid.moveUp(1), 1);  // not above row 1
    // "Cost" down to row 28 (List Price), then "When" to row 11 (Year).
    int r = 3;
    while (r < 28) r = grid.moveDown(r);
    r = 2;
    while (r < 11) r = grid.moveDown(r);
    EXPECT_EQ(grid.row(11).importField, "When");
    EXPECT_EQ(grid.row(28).importField, "Cost");
    EXPECT_EQ(grid.row(2).importField, "<EMPTY>");
    EXPECT_EQ(grid.moveUp(28), 27);
    EXPECT_EQ(grid.moveDown(27), 28);
    EXPECT_EQ(grid.fieldMap(), (FieldMap{1, 11, 28}));

    grid.toggleUse(11);
    EXPECT_EQ(grid.row(11).use, "No");
    EXPECT_EQ(grid.fieldMap(), (FieldMap{1, 0, 28}));
    grid.toggleUse(11);
    EXPECT_EQ(grid.row(11).use, "Yes");
    grid.toggleUse(2);  // an empty cell stays empty
    EXPECT_EQ(grid.row(2).use, "");

    // Moved below row 40 (a 40-row grid cannot): the last row stays.
    EXPECT_EQ(grid.moveDown(40), 40);
}

TEST(ImportPairing, DuplicateNamesTakeTheTopmostRow) {
    app::Settings s;
    ImportPairing grid(s, {"<BLANK FIELD>", "x", "<BLANK FIELD>"});
    EXPECT_EQ(grid.fieldMap(), (FieldMap{1, 2, 1}));
}

TEST_F(ImportTest, ThreeQuotedValuesMakeOneRecord) {
    EXPECT_EQ(importText("\"Casablanca\",\"Humphrey Bogart\",\"Ingrid Bergman\"", false), 1);
    ASSERT_EQ(t.recordCount(), 1);
    t.first();
    EXPECT_EQ(t.asString("Title"), "Casablanca");
    EXPECT_EQ(t.asString("Star1"), "Humphrey Bogart");
    EXPECT_EQ(t.asString("Star2"), "Ingrid Bergman");
    EXPECT_TRUE(t.isBlank(t.fieldIndex("Year")));
}

TEST_F(ImportTest, SkipFirstPassesOverTheTitleLine) {
    const std::string text = "\"Title\",\"Star 1\"\r\n\"A\",\"a\"\r\n\r\n\"B\",\"b\"\r\n";
    EXPECT_EQ(importText(text, true), 2);
    EXPECT_EQ(column("Title"), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(importText(text, false), 3);  // the title line becomes a record too
    EXPECT_EQ(t.recordCount(), 5);
}

TEST_F(ImportTest, SpreadsheetCsvWithLfAndUnquotedValues) {
    const std::string text = "Title,Year,List Price,Rating\nHigh Noon,1952,9.99,PG\n\"Smith, Jones\",12a,,R\n";
    FieldMap map{1, 11, 28, 13};
    EXPECT_EQ(importText(text, true, map), 2);
    EXPECT_EQ(column("Title"), (std::vector<std::string>{"High Noon", "Smith, Jones"}));
    EXPECT_EQ(column("Year"), (std::vector<std::string>{"1952", "12"}));
    EXPECT_EQ(column("ListPrice"), (std::vector<std::string>{"9.99", ""}));
    EXPECT_EQ(column("Rating"), (std::vector<std::string>{"PG", "R"}));
}

TEST_F(ImportTest, ExtraValuesDoNotStartARecord) {
    EXPECT_EQ(importText("\"a\",\"b\"\r\n\"c\",\"d\",\"e\",\"f\"\r\n\"g\",\"h\"\r\n", false), 3);
    EXPECT_EQ(column("Title"), (std::vector<std::string>{"a", "c", "g"}));
    EXPECT_EQ(column("Star1"), (std::vector<std::string>{"b", "d", "h"}));
}

TEST_F(ImportTest, ARefusedFirstLineImportsNothing) {
    try {
        importTextFrom(t, "\"a\",\"b\r\n\"c\"\r\n", {1, 2}, false, dates);
        FAIL() << "no error";
    } catch (const ExchangeError& e) {
        EXPECT_EQ(std::string(e.what()), firstLineMessage(FirstLineFault::UnexpectedEnd));
    }
    EXPECT_EQ(t.recordCount(), 0);
}

TEST_F(ImportTest, ProgressCanStopAndKeepsWhatWasPosted) {
    std::string text;
    for (int i = 1; i <= 10; ++i) text += "\"T" + std::to_string(i) + "\"\r\n";
    std::vector<int> seen;
    const int n = importTextFrom(t, text, {1}, false, dates, [&](int count) {
        seen.push_back(count);
        return count < 4;
    });
    EXPECT_EQ(n, 4);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(t.recordCount(), 4);
}

TEST_F(ImportTest, MissingFileIsReported) {
    EXPECT_THROW(exchange::importText(t, dir / "nope.txt", {1}, false, dates), ExchangeError);
}

TEST(DbfEnding, OnlyDotDbfInAnyCase) {
    EXPECT_TRUE(hasDbfEnding("/x/a.DBF"));
    EXPECT_TRUE(hasDbfEnding("a.dbf"));
    EXPECT_TRUE(hasDbfEnding("a.Dbf"));
    EXPECT_FALSE(hasDbfEnding("a.dbf.txt"));
    EXPECT_FALSE(hasDbfEnding("dbf"));
    EXPECT_FALSE(hasDbfEnding("a.DBX"));
}

TEST_F(ImportTest, DbfSourceFieldsAndValues) {
    const auto source = dir / "PEOPLE.DBF";
    Table::create(source, {{"NAME", db::FieldKind::Text, 30},
                           {"BORN", db::FieldKind::Date, 0},
                           {"SHOTS", db::FieldKind::Whole, 0},
                           {"PRICE", db::FieldKind::Money, 0},
                           {"WHEN", db::FieldKind::Text, 12}});
    {
        Table s;
        s.setPath(source);
        s.open();
        s.append();
        s.setString("NAME", "Ren\xE9" "e");
        s.setDate("BORN", Date{1925, 2, 3});
        s.setNumber("SHOTS", 42);
        s.setNumber("PRICE", 12.5);
        s.setString("WHEN", "01/02/1990");
        s.post();
        s.append();
        s.post();  // an all-blank record
    }
    const DbfInfo info = dbfInfo(source);
    EXPECT_EQ(info.names, (std::vector<std::string>{"NAME", "BORN", "SHOTS", "PRICE", "WHEN"}));
    EXPECT_FALSE(info.cut());

    // NAME -> Title, BORN -> Purch Date, SHOTS -> Year, PRICE -> List Price, WHEN -> Check Date.
    const app::ShortDateFormat twoDigit{1, false, fixedToday};
    EXPECT_EQ(importDbf(t, source, {1, 35, 11, 28, 32}, twoDigit), 2);
    t.first();
    EXPECT_EQ(t.asString("Title"), "Ren\xE9" "e");
    // A date keeps its century even under a two-digit-year format.
    EXPECT_EQ(t.asDate("PurchDate"), (Date{1925, 2, 3}));
    EXPECT_EQ(t.asString("Year"), "42");
    EXPECT_EQ(t.asString("ListPrice"), "12.50");
    EXPECT_EQ(t.asDate("CheckDate"), (Date{1990, 1, 2}));
    t.next();
    EXPECT_EQ(t.asString("Title"), "");
    EXPECT_TRUE(t.isBlank(t.fieldIndex("PurchDate")));
    EXPECT_EQ(t.asString("Year"), "0");  // an empty whole number stores 0
}

TEST_F(ImportTest, WideDbfSourceGivesItsFirstFiftyFields) {
    const auto source = dir / "WIDE.DBF";
    std::vector<db::FieldSpec> specs;
    for (int i = 1; i <= 60; ++i) specs.push_back({"F" + std::to_string(i), db::FieldKind::Text, 5});
    Table::create(source, specs);
    {
        Table s;
        s.setPath(source);
        s.open();
        s.append();
        for (int i = 0; i < 60; ++i) s.setString(i, "v" + std::to_string(i + 1));
        s.post();
    }
    const DbfInfo info = dbfInfo(source);
    EXPECT_EQ(info.sourceFields, 60);
    ASSERT_EQ(info.names.size(), 50u);
    EXPECT_EQ(info.names.back(), "F50");
    EXPECT_TRUE(info.cut());
    FieldMap map(50, 0);
    map[0] = 1;
    map[49] = 40;
    EXPECT_EQ(importDbf(t, source, map, dates), 1);
    t.first();
    EXPECT_EQ(t.asString("Title"), "v1");
    EXPECT_EQ(t.asString("UserDef2"), "v50");
}
