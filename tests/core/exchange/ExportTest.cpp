// Export: the grid and the export list, the line format, text and dBase files written whole
// or not at all, and export followed by import giving back every record.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/app/Formats.h"
#include "core/db/DbTestSupport.h"
#include "core/exchange/ExchangeMessages.h"
#include "core/exchange/Export.h"
#include "core/exchange/Import.h"

using namespace rv;
using namespace rv::exchange;
using db::Date;
using db::FieldKind;
using db::Table;
using db::test::readBytes;
using db::test::TempDir;
using db::test::writeBytes;

namespace {

db::Date fixedToday() { return {2026, 6, 1}; }

std::vector<int> allFields() {
    std::vector<int> v;
    for (int n = 1; n <= db::kFieldCount; ++n) v.push_back(n);
    return v;
}

// Files in a folder, by name.
std::vector<std::string> filesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ExportTest : public ::testing::Test {
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
    void add(const std::string& title, int year = 0, const char* price = "", Date purch = {}) {
        t.append();
        t.setString("Title", title);
        if (year) t.setNumber("Year", year);
        t.setString("ListPrice", price);
        t.setDate("PurchDate", purch);
        t.post();
    }
};

}  // namespace

TEST(ExportLine, ValuesAreTrimmedDoubledQuotedAndCut) {
    struct Case {
        std::string plain;
        std::string written;
    };
    const std::vector<Case> cases = {
        {"Casablanca", "\"Casablanca\""},
        {"", "\"\""},
        {"  padded  ", "\"padded\""},
        {"The \"Duke\"", "\"The \"\"Duke\"\"\""},
        {"a,b", "\"a,b\""},
        {std::string(300, 'x'), "\"" + std::string(255, 'x') + "\""},
        // The cut comes before doubling, so no doubled quote is split.
        {std::string(200, '"'), "\"" + std::string(400, '"') + "\""},
        {std::string(254, 'x') + "\"\"", "\"" + std::string(254, 'x') + "\"\"\""},
    };
    for (const auto& c : cases) {
        std::string line;
        appendExportValue(line, c.plain);
        EXPECT_EQ(line, c.written) << c.plain;
        // Whatever was written reads back as the (cut, trimmed) value.
        RecordReader reader(line, 1);
        std::vector<std::string> values;
        reader.read(values);
        std::string expected = app::trim(c.plain.substr(0, 255));
        if (!expected.empty()) {
            EXPECT_EQ(values, std::vector<std::string>{expected});
        }
    }
}

TEST(ExportChoice, GridFromSettingsAndBack) {
    app::Settings s;
    s.displayNames[1] = "Film";
    // Title at position 3, Star 1 at 1, Star 2 at 2, Star 2 not exported.
    s.exportOrder[1] = 3;
    s.exportOrder[2] = 1;
    s.exportOrder[3] = 2;
    s.exportFields[3] = false;
    ExportChoice grid(s);
    EXPECT_EQ(grid.row(1).field, "Star 1");
    EXPECT_EQ(grid.row(2).field, "Star 2");
    EXPECT_EQ(grid.row(2).exportIt, "No");
    EXPECT_EQ(grid.row(3).field, "Film");
    EXPECT_EQ(CalcIndexOrder(s)[0], 2);
    EXPECT_EQ(CalcIndexOrder(s)[1], 1);
    EXPECT_EQ(CalcIndexOrder(s).size(), 39u);

    EXPECT_EQ(grid.moveUp(3), 2);  // Film to row 2
    EXPECT_EQ(grid.moveUp(1), 1);
    EXPECT_EQ(grid.moveDown(40), 40);
    grid.toggle(2);  // Film: No
    grid.toggle(3);  // Star 2: Yes
    grid.store(s);
    EXPECT_EQ(s.exportOrder[1], 2);
    EXPECT_EQ(s.exportOrder[3], 3);
    EXPECT_FALSE(s.exportFields[1]);
    EXPECT_TRUE(s.exportFields[3]);
    const std::vector<int> list = CalcIndexOrder(s);
    ASSERT_EQ(list.size(), 39u);
    EXPECT_EQ(list[0], 2);
    EXPECT_EQ(list[1], 3);
    EXPECT_EQ(list[2], 4);

    grid.defaults(s);
    for (int r = 1; r <= 40; ++r) EXPECT_EQ(grid.row(r).exportIt, "Yes");
    EXPECT_EQ(grid.row(1).field, "Film");
    grid.store(s);
    EXPECT_EQ(CalcIndexOrder(s), allFields());

    for (int r = 1; r <= 40; ++r) grid.toggle(r);
    grid.store(s);
    EXPECT_TRUE(CalcIndexOrder(s).empty());
}

TEST(ExportChoice, PositionsThatAreNoPermutationStillShowEveryField) {
    app::Settings s;
    for (int n = 1; n <= 40; ++n) s.exportOrder[n] = 1;  // a hand-edited file
    ExportChoice grid(s);
    for (int r = 1; r <= 40; ++r) EXPECT_EQ(grid.row(r).field, s.displayNames[r]);
    grid.store(s);
    EXPECT_EQ(CalcIndexOrder(s), allFields());
}

TEST_F(ExportTest, PlainTextOfEachKind) {
    add("  Lead and trail kept by the table  ", 1997, "12.50", Date{1997, 3, 5});
    add("", 0, "123456789012.34");
    add("x", -5, "0.01");
    t.first();
    EXPECT_EQ(plainText(t, t.fieldIndex("Year"), FieldKind::Whole), "1997");
    EXPECT_EQ(plainText(t, t.fieldIndex("ListPrice"), FieldKind::Money), "12.5");
    EXPECT_EQ(plainText(t, t.fieldIndex("PurchDate"), FieldKind::Date), "03/05/1997");
    t.next();
    EXPECT_EQ(plainText(t, t.fieldIndex("Year"), FieldKind::Whole), "");
    EXPECT_EQ(plainText(t, t.fieldIndex("ListPrice"), FieldKind::Money), "123456789012.34");
    EXPECT_EQ(plainText(t, t.fieldIndex("PurchDate"), FieldKind::Date), "");
    EXPECT_EQ(plainText(t, t.fieldIndex("Title"), FieldKind::Text), "");
    t.next();
    EXPECT_EQ(plainText(t, t.fieldIndex("Year"), FieldKind::Whole), "-5");
    EXPECT_EQ(plainText(t, t.fieldIndex("ListPrice"), FieldKind::Money), "0.01");
}

TEST_F(ExportTest, TextFileWithTitleLine) {
    add("Say \"Cheese\"", 1997, "9.99", Date{1997, 3, 5});
    add("Z\xFCrich", 0, "", {});
    app::Settings s;
    s.displayNames[1] = "Film";
    s.displayFields[11] = false;  // hidden from the viewer: the title is the table's name
    const std::vector<int> fields{1, 11, 28, 35};
    std::vector<std::string> titles;
    for (int n : fields) titles.push_back(exportLabel(s, t, n));
    EXPECT_EQ(titles, (std::vector<std::string>{"Film", "YEAR", "List Price", "Purch Date"}));
    const auto out = dir / "out.txt";
    const ExportResult r = exportText(t, out, fields, &titles);
    EXPECT_EQ(r.records, 2);
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(readBytes(out),
              "\"Film\",\"YEAR\",\"List Price\",\"Purch Date\"\r\n"
              "\"Say \"\"Cheese\"\"\",\"1997\",\"9.99\",\"03/05/1997\"\r\n"
              "\"Z\xFCrich\",\"\",\"\",\"\"\r\n");
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"V.DBF", "out.txt"}));
}

TEST_F(ExportTest, EmptyTableGivesTheTitleLineOnly) {
    const auto out = dir / "out.txt";
    std::vector<std::string> titles{"Title"};
    EXPECT_EQ(exportText(t, out, {1}, &titles).records, 0);
    EXPECT_EQ(readBytes(out), "\"Title\"\r\n");
    EXPECT_EQ(exportText(t, out, {1}, nullptr).records, 0);
    EXPECT_EQ(readBytes(out), "");
    EXPECT_EQ(exportDbf(t, dir / "OUT.DBF", {1, 11}).records, 0);
    Table e;
    e.setPath(dir / "OUT.DBF");
    e.open();
    EXPECT_EQ(e.recordCount(), 0);
    EXPECT_EQ(e.fieldCount(), 2);
}

TEST_F(ExportTest, OnlyTheRecordsTheFilterKeeps) {
    for (int i = 1; i <= 10; ++i) add("T" + std::to_string(i), 1990 + i);
    t.setFilter([](Table& tt) { return int(tt.asNumber("Year")) % 2 == 0; });
    const auto out = dir / "even.txt";
    EXPECT_EQ(exportText(t, out, {1}, nullptr).records, 5);
    EXPECT_EQ(readBytes(out), "\"T2\"\r\n\"T4\"\r\n\"T6\"\r\n\"T8\"\r\n\"T10\"\r\n");
    EXPECT_EQ(exportDbf(t, dir / "EVEN.DBF", {1}).records, 5);
}

TEST_F(ExportTest, CancelledOrFailedExportLeavesTheOldFile) {
    for (int i = 1; i <= 20; ++i) add("T" + std::to_string(i));
    const auto out = dir / "keep.txt";
    writeBytes(out, "old contents");
    const ExportResult r = exportText(t, out, {1}, nullptr, [](int done) { return done < 5; });
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(readBytes(out), "old contents");

    const auto dbfOut = dir / "KEEP.DBF";
    writeBytes(dbfOut, "old table");
    EXPECT_TRUE(exportDbf(t, dbfOut, {1}, [](int done) { return done < 5; }).cancelled);
    EXPECT_EQ(readBytes(dbfOut), "old table");
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"KEEP.DBF", "V.DBF", "keep.txt"}));

    // A folder that cannot be written: the error names the file, nothing changes.
    if (::geteuid() != 0) {
        const auto locked = dir / "locked";
        std::filesystem::create_directory(locked);
        writeBytes(locked / "x.txt", "old");
        ::chmod(locked.c_str(), 0555);
        EXPECT_THROW(exportText(t, locked / "x.txt", {1}, nullptr), ExchangeError);
        EXPECT_THROW(exportDbf(t, locked / "X.DBF", {1}), db::DatabaseError);
        ::chmod(locked.c_str(), 0755);
        EXPECT_EQ(readBytes(locked / "x.txt"), "old");
        EXPECT_EQ(filesIn(locked), (std::vector<std::string>{"x.txt"}));
    }
}

TEST_F(ExportTest, ExportDoesNotReplaceTheOpenTable) {
    add("precious");
    EXPECT_THROW(exportText(t, dir / "V.DBF", {1}, nullptr), ExchangeError);
    EXPECT_THROW(exportDbf(t, dir / "V.DBF", {1}), ExchangeError);
    t.close();
    t.open();
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.fieldCount(), 40);
}

TEST_F(ExportTest, DbfExportHasTheFieldsOfTheList) {
    add("Ren\xE9" "e", 1942, "12.50", Date{1925, 2, 3});
    // A table replaced by the export loses its old index file.
    Table::createVideoTable(dir / "OUT.DBF");
    writeBytes(dir / "OUT.MDX", "stale index");
    const app::ShortDateFormat twoDigit{1, false, fixedToday};
    t.setDateCodec(&twoDigit);
    EXPECT_EQ(exportDbf(t, dir / "OUT.DBF", {35, 1, 11, 28, 14}).records, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "OUT.MDX"));
    Table e;
    e.setPath(dir / "OUT.DBF");
    e.open();
    ASSERT_EQ(e.fieldCount(), 5);
    const std::vector<std::pair<std::string, char>> layout{
        {"PURCHDATE", 'D'}, {"TITLE", 'C'}, {"YEAR", 'N'}, {"LISTPRICE", 'N'}, {"CATEGORY", 'C'}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(e.fieldInfo(i).name, layout[std::size_t(i)].first);
        EXPECT_EQ(e.fieldInfo(i).type, layout[std::size_t(i)].second);
    }
    EXPECT_EQ(e.fieldInfo(1).length, 60);
    EXPECT_EQ(e.fieldInfo(4).length, 20);
    EXPECT_EQ(e.fieldInfo(3).decimals, 2);
    EXPECT_EQ(e.asDate(0), (Date{1925, 2, 3}));  // the century survives a two-digit format
    EXPECT_EQ(e.asString(1), "Ren\xE9" "e");
    EXPECT_EQ(e.asString(2), "1942");
    EXPECT_EQ(e.asString(3), "12.50");
    EXPECT_TRUE(e.isBlank(4));
}

namespace {

// A record with every field set, quotes, commas and accents in the texts.
void fillRecord(Table& t, int i) {
    t.append();
    for (const auto& f : db::kFields) {
        const int index = t.fieldIndex(f.name);
        switch (f.kind) {
            case FieldKind::Text: {
                std::string v = std::string(f.name) + " \"" + std::to_string(i) + "\", Z\xFCrich \xE9t\xE9";
                if (i % 3 == 0) v = "";  // blank texts too
                v = v.substr(0, std::size_t(f.width));
                while (!v.empty() && v.back() == ' ') v.pop_back();
                t.setString(index, v);
                break;
            }
            case FieldKind::Whole: t.setNumber(index, i * 7 - 20); break;
            case FieldKind::Money:
                if (i % 4) t.setNumber(index, i * 3.01 + 0.5);
                break;
            case FieldKind::Date:
                if (i % 5) t.setDate(index, Date{1901 + i * 7, 1 + i % 12, 1 + i % 28});
                break;
        }
    }
    t.post();
}

std::vector<std::vector<std::string>> storedRecords(Table& t) {
    std::vector<std::vector<std::string>> out;
    for (t.first(); !t.eof(); t.next()) {
        std::vector<std::string> r;
        for (int i = 0; i < t.fieldCount(); ++i) r.push_back(t.asStored(i));
        out.push_back(r);
    }
    return out;
}

}  // namespace

TEST_F(ExportTest, ExportThenImportGivesBackEveryField) {
    for (int i = 1; i <= 30; ++i) fillRecord(t, i);
    const auto original = storedRecords(t);
    app::Settings s;
    std::vector<std::string> titles;
    for (int n : allFields()) titles.push_back(exportLabel(s, t, n));

    // Text: with the title line, skipped on import.
    exportText(t, dir / "all.txt", allFields(), &titles);
    Table::createVideoTable(dir / "BACK.DBF");
    Table back;
    back.setPath(dir / "BACK.DBF");
    back.setDateCodec(&dates);
    back.open();
    const std::string text = readBytes(dir / "all.txt");
    EXPECT_EQ(importTextFrom(back, text, initialFieldMap(checkFirstLine(text).names), true, dates), 30);
    EXPECT_EQ(storedRecords(back), original);

    // dBase: the exported table imports field for field.
    exportDbf(t, dir / "ALL.DBF", allFields());
    Table::createVideoTable(dir / "BACK2.DBF");
    Table back2;
    back2.setPath(dir / "BACK2.DBF");
    back2.setDateCodec(&dates);
    back2.open();
    EXPECT_EQ(importDbf(back2, dir / "ALL.DBF", initialFieldMap(dbfInfo(dir / "ALL.DBF").names), dates), 30);
    EXPECT_EQ(storedRecords(back2), original);
}
