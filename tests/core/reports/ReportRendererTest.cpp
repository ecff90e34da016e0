// The renderer's edge cases, mostly in text file mode (pages, headings, totals, cuts), and
// the placing of cells in print mode through an engine that records what it draws.
#include <gtest/gtest.h>

#include <sstream>

#include "core/app/Formats.h"
#include "core/reports/ReportRenderer.h"
#include "core/reports/TextFileEngine.h"
#include "core/db/DbTestSupport.h"

namespace rv::reports {
namespace {

using rv::db::Table;
using rv::db::test::readBytes;
using rv::db::test::TempDir;
namespace fs = std::filesystem;

struct Video {
    std::string title, category, year, listPrice;
};

// An open video table of the given records, in record order.
void makeTable(Table& t, const fs::path& p, const std::vector<Video>& videos) {
    Table::createVideoTable(p);
    t.setPath(p);
    t.open();
    for (const auto& v : videos) {
        t.append();
        t.setString("Title", v.title);
        t.setString("Category", v.category);
        t.setString("Year", v.year);
        t.setString("ListPrice", v.listPrice);
        t.post();
    }
}

// A page whose body band holds exactly `lines` lines of 8-point Arial.
PageSize pageHolding(int lines, const ReportDefinition& d) {
    const double h = lineHeightInches(d.font(BodyFont));
    return {8.5, kBodyTop + lines * h + 0.001 + kBodyGapAboveBottomMargin + d.bottomMargin};
}

std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

struct TextRun {
    std::vector<std::string> lines;
    int pages = 0;
};

class RendererTest : public ::testing::Test {
protected:
    TextRun runText(const ReportDefinition& d, std::optional<PageSize> page = {}) {
        const fs::path out = dir / "out.txt";
        TextFileEngine engine(out, page.value_or(kLetter));
        ReportRenderer r(d, source(), engine);
        r.run();
        return {split(readBytes(out)), engine.pageCount()};
    }
    ReportSource source() {
        ReportSource s;
        s.table = &table;
        s.formats = &formats;
        s.sortLevels = levels;
        s.today = "12/11/26";
        return s;
    }
    static int count(const std::vector<std::string>& lines, const std::string& what) {
        int n = 0;
        for (const auto& l : lines) n += l.find(what) != std::string::npos;
        return n;
    }
    TempDir dir;
    Table table;
    rv::app::DisplayFormats formats;
    std::array<int, 4> levels{14, 0, 0, 0};  // grouped by category
};

const std::vector<Video> kThreeGroups{{"One", "Action", "1990", "10.00"}, {"Two", "Action", "1991", "5.50"},
                                      {"Three", "Drama", "", ""},         {"Four", "Western", "1993", "1.25"}};

TEST_F(RendererTest, SummaryReportPrintsOnlyGroupsAndTotals) {
    makeTable(table, dir / "V.DBF", kThreeGroups);
    const TextRun run = runText(builtInReports().at(5));
    EXPECT_EQ(run.pages, 1);
    EXPECT_EQ(count(run.lines, "One"), 0);
    // One heading per group, subtotals from the second group on, then the closing blocks.
    EXPECT_EQ(count(run.lines, "Action"), 1);
    EXPECT_EQ(count(run.lines, "Drama"), 1);
    EXPECT_EQ(count(run.lines, "Western"), 1);
    EXPECT_EQ(count(run.lines, "GRAND TOTALS"), 1);
    EXPECT_EQ(count(run.lines, "TOTALS"), 2 + 2);
    const std::vector<std::string> expectedStart{
        "",
        std::string(42, ' ') + "------",
        std::string(42, ' ') + "Action",
        std::string(42, ' ') + "------",
        std::string(42, ' ') + "TOTALS",
    };
    ASSERT_GE(run.lines.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(run.lines.begin(), run.lines.begin() + 5), expectedStart);
    EXPECT_EQ(run.lines[5], "     Quantity: 2              List Price: 15.50          Purchase Price: 0.00        ");
    EXPECT_EQ(run.lines[run.lines.size() - 3], "     Quantity: 4              List Price: 16.75          Purchase Price: 0.00        ");
    EXPECT_EQ(run.lines.back(), "Page 1          12/11/26\f");
}

TEST_F(RendererTest, FirstGroupHeadingWithoutSubtotals) {
    makeTable(table, dir / "V.DBF", kThreeGroups);
    const TextRun run = runText(builtInReports().at(1));  // Ratings Report, one line, headers
    ASSERT_GE(run.lines.size(), 6u);
    EXPECT_EQ(run.lines[0].substr(0, 5), "Title");  // column headers
    EXPECT_EQ(run.lines[1], "");
    EXPECT_EQ(run.lines[3], std::string(42, ' ') + "Action");
    EXPECT_EQ(run.lines[5].substr(0, 3), "One");
    // The first TOTALS block comes after the Action records.
    int firstTotals = -1;
    for (size_t i = 0; i < run.lines.size(); ++i)
        if (run.lines[i].find("TOTALS") != std::string::npos) { firstTotals = int(i); break; }
    EXPECT_EQ(firstTotals, 7);
}

TEST_F(RendererTest, GroupValueThatLooksLikeTheOldSentinelGetsItsHeading) {
    makeTable(table, dir / "V.DBF", {{"One", "zzxkytrweq", "", ""}, {"Two", "Other", "", ""}});
    const TextRun run = runText(builtInReports().at(1));
    EXPECT_EQ(count(run.lines, "zzxkytrweq"), 1);
    EXPECT_EQ(run.lines[3], std::string(40, ' ') + "zzxkytrweq");
}

TEST_F(RendererTest, TwoLevelGroupHeading) {
    levels = {14, 11, 0, 0};
    makeTable(table, dir / "V.DBF", kThreeGroups);
    ReportDefinition d = builtInReports().at(1);
    d.groupLevel2 = true;
    const TextRun run = runText(d);
    EXPECT_EQ(count(run.lines, "Action, 1990"), 1);
    EXPECT_EQ(count(run.lines, "Action, 1991"), 1);
    EXPECT_EQ(count(run.lines, "Drama, "), 1);
}

TEST_F(RendererTest, ClosingTotalsThatDoNotFitOpenAnExtraPage) {
    // Title and Media Number Report (no grouping): a column header line and one line a record.
    const ReportDefinition d = builtInReports().at(0);
    struct Case { int records; int pages; };
    for (const Case c : {Case{4, 1}, Case{5, 2}, Case{9, 2}}) {
        Table t;
        const fs::path p = dir / ("V" + std::to_string(c.records) + ".DBF");
        std::vector<Video> v;
        for (int i = 0; i < c.records; ++i) v.push_back({"T" + std::to_string(i), "", "", "1"});
        table.close();
        makeTable(table, p, v);
        const TextRun run = runText(d, pageHolding(10, d));
        EXPECT_EQ(run.pages, c.pages) << c.records << " records";
        EXPECT_EQ(count(run.lines, "\f"), c.pages);
        if (c.pages == 2) {
            // Page 2: nothing but the column headers, the totals and the footer.
            size_t ff = 0;
            while (run.lines[ff].find('\f') == std::string::npos) ++ff;
            const std::vector<std::string> rest(run.lines.begin() + long(ff) + 1, run.lines.end());
            ASSERT_EQ(rest.size(), 8u);
            EXPECT_EQ(rest[0].substr(0, 7), "Media #");
            EXPECT_EQ(rest[1], std::string(42, ' ') + "TOTALS");
            EXPECT_EQ(rest[4], std::string(39, ' ') + "GRAND TOTALS");
            EXPECT_EQ(rest[7], "Page 2          12/11/26\f");
        }
    }
}

TEST_F(RendererTest, TextLinesCutAndPadded) {
    makeTable(table, dir / "V.DBF", {{"A title", "Cat", "1997", "12.5"}});
    ReportDefinition d = newReportDefinition();
    d.charsPerLine = 150;
    d.lineCount = 2;
    d.useTotals = false;
    d.groupLevel1 = false;
    d.lines[0] = freshLine();
    d.lines[0][0] = {"<LABEL>", 0, 8, "Twenty characters!!!"};  // label cut to its width
    d.lines[0][1] = {"Title", 1, 10, ""};
    d.lines[0][2] = {"<FILLER>", 0, 3, ""};
    d.lines[0][3] = {"<LABEL>", 0, 6, "ab"};
    d.lines[0][4] = {"Year", 11, 3, ""};   // the first 3 characters of "1997"
    d.lines[0][5] = {"ListPrice", 28, 0, ""};  // width 0: the line ends here
    d.lines[0][6] = {"Title", 1, 10, ""};
    for (int k = 0; k < 20; ++k) d.lines[1][size_t(k)] = {"Title", 1, 20, ""};  // 400 characters: cut at 255
    const TextRun run = runText(d);
    ASSERT_GE(run.lines.size(), 2u);
    EXPECT_EQ(run.lines[0], "Twenty cA title" + std::string(10, ' ') + "ab199");
    EXPECT_EQ(run.lines[1].size(), 255u);
    EXPECT_EQ(run.lines[1].substr(0, 27), "A title             A title");
}

TEST_F(RendererTest, TitlesFooterAndUseTotalsOff) {
    makeTable(table, dir / "V.DBF", kThreeGroups);
    ReportDefinition d = builtInReports().at(0);
    d.titles = {"My Videos", "", "Third"};
    d.useTotals = false;
    d.dateOnPages = false;
    const TextRun run = runText(d);
    EXPECT_EQ(run.lines[0], "My Videos");  // not centred in the file
    EXPECT_EQ(run.lines[1], "Third");
    EXPECT_EQ(count(run.lines, "TOTALS"), 0);
    EXPECT_EQ(run.lines.back(), "Page 1     \f");
    EXPECT_EQ(run.lines[2], "Media #     Title                                                           Year");
    EXPECT_EQ(run.lines[3], "            One                                                             1990");
}

TEST_F(RendererTest, EmptyTablePrintsOnePageWithZeroTotals) {
    makeTable(table, dir / "V.DBF", {});
    const TextRun run = runText(builtInReports().at(4));
    EXPECT_EQ(run.pages, 1);
    EXPECT_EQ(count(run.lines, "Quantity: 0 "), 2);
}

TEST_F(RendererTest, LayoutWithoutRoomStopsInsteadOfRunningForever) {
    makeTable(table, dir / "V.DBF", kThreeGroups);
    struct Case {
        const char* what;
        int report;
        int bodyLines;
    };
    // Large Report needs 12 lines a record (+2 for the group heading); the summary report 2
    // for a heading; the title report 1 for a record after its header line.
    for (const Case c : {Case{"twelve lines in ten", 4, 10}, Case{"heading in one line", 5, 1},
                         Case{"record after the header", 0, 1}}) {
        const ReportDefinition d = builtInReports().at(size_t(c.report));
        const fs::path out = dir / "out.txt";
        TextFileEngine engine(out, pageHolding(c.bodyLines, d));
        ReportRenderer r(d, source(), engine);
        try {
            r.run();
            ADD_FAILURE() << c.what << ": no error";
        } catch (const ReportLayoutError& e) {
            EXPECT_STREQ(e.what(), "The report layout leaves no room for a record on the page.");
        }
        EXPECT_FALSE(fs::exists(out)) << c.what;
    }
    // Big margins in a definition: the body band is gone altogether.
    ReportDefinition d = builtInReports().at(0);
    d.bottomMargin = 10;
    TextFileEngine engine(dir / "out.txt", kLetter);
    ReportRenderer r(d, source(), engine);
    EXPECT_THROW(r.run(), ReportLayoutError);
    EXPECT_FALSE(table.controlsDisabled());
}

TEST_F(RendererTest, CancelDiscardsTheOutput) {
    makeTable(table, dir / "V.DBF", kThreeGroups);
    TextFileEngine engine(dir / "out.txt", pageHolding(20, builtInReports()[4]));
    ReportRenderer r(builtInReports()[4], source(), engine);
    EXPECT_FALSE(r.run([](int page) { return page < 2; }));
    EXPECT_FALSE(fs::exists(dir / "out.txt"));
}

// ------------------------------------------------------------------ print mode geometry

// Draws nothing; records texts and lines.  Every character is 0.1 inch wide.
class RecordingEngine final : public PageEngine {
public:
    struct Text { double x, top; std::string text; int page; };
    struct Line { double x1, y1, x2, y2; };
    PageSize pageSize() const override { return kLetter; }
    void beginPage() override { ++pages; }
    void endPage() override {}
    void finish() override { finished = true; }
    void abort() override { aborted = true; }
    int pageCount() const override { return pages; }
    void setFont(const ReportFontSpec&) override {}
    double textWidth(std::string_view t) const override { return 0.1 * double(t.size()); }
    void drawText(double x, double top, std::string_view t) override { texts.push_back({x, top, std::string(t), pages}); }
    void drawLine(double x1, double y1, double x2, double y2) override { lines.push_back({x1, y1, x2, y2}); }
    const Text* find(const std::string& t) const {
        for (const auto& x : texts)
            if (x.text == t) return &x;
        return nullptr;
    }
    std::vector<Text> texts;
    std::vector<Line> lines;
    int pages = 0;
    bool finished = false, aborted = false;
};

TEST_F(RendererTest, NumbersRightJustifiedOnlyInOneLineReports) {
    makeTable(table, dir / "V.DBF", {{"One", "Action", "1990", "10.00"}});
    ReportDefinition d = newReportDefinition();
    d.charsPerLine = 90;
    d.groupLevel1 = false;
    d.useTotals = false;
    d.lines[0] = freshLine();
    d.lines[0][0] = {"Title", 1, 45, ""};
    d.lines[0][1] = {"Year", 11, 45, ""};
    const double pw = 8.5 - 1.0, cell = 45.0 / 90.0 * pw;
    {
        RecordingEngine e;
        ReportRenderer(d, source(), e).run();
        const auto* year = e.find("1990");
        ASSERT_TRUE(year);
        EXPECT_NEAR(year->x + 0.4, 0.5 + 2 * cell - 0.02, 1e-9);  // right in its cell
        EXPECT_NEAR(e.find("One")->x, 0.5 + 0.02, 1e-9);
        const auto* header = e.find("Year");  // column header centred
        ASSERT_TRUE(header);
        EXPECT_NEAR(header->x, 0.5 + cell + (cell - 0.4) / 2, 1e-9);
        EXPECT_FALSE(e.lines.empty());  // box lines
    }
    d.lineCount = 2;
    {
        RecordingEngine e;
        ReportRenderer(d, source(), e).run();
        const auto* year = e.find("1990");
        ASSERT_TRUE(year);
        EXPECT_NEAR(year->x, 0.5 + cell + 0.02, 1e-9);  // left in multi-line reports
        EXPECT_FALSE(e.find("Year"));                   // no column headers
        EXPECT_TRUE(e.lines.empty());                    // no box lines
        EXPECT_TRUE(e.finished);
    }
}

TEST_F(RendererTest, TextIsCutToTheCellAndHeadingsAreBoxed) {
    makeTable(table, dir / "V.DBF", {{"A rather long title", "Action", "", ""}});
    ReportDefinition d = newReportDefinition();
    d.lines[0] = freshLine();
    d.lines[0][0] = {"Title", 1, 9, ""};  // 9/90 of 7.5 inch = 0.75: usable 0.71, 7 characters
    d.verticalLines = d.horizontalLines = false;
    d.columnHeaders = false;
    RecordingEngine e;
    ReportRenderer(d, source(), e).run();
    EXPECT_TRUE(e.find("A rathe"));
    const auto* heading = e.find("Action");
    ASSERT_TRUE(heading);
    EXPECT_NEAR(heading->x, 0.5 + (7.5 - 0.6) / 2 + 0.1, 1e-9);  // centred in its cell
    EXPECT_EQ(e.lines.size(), 4u + 1 + 1);  // heading box; TOTALS and GRAND TOTALS underlined
    EXPECT_TRUE(e.find("Page 1"));
    EXPECT_TRUE(e.find("12/11/26"));
    EXPECT_NEAR(e.find("12/11/26")->x, 8.0 - 0.8, 1e-9);
}

TEST_F(RendererTest, PrintModeStopsOnANoRoomLayout) {
    makeTable(table, dir / "V.DBF", kThreeGroups);
    ReportDefinition d = builtInReports().at(4);
    d.bottomMargin = 8;
    RecordingEngine e;
    EXPECT_THROW(ReportRenderer(d, source(), e).run(), ReportLayoutError);
    EXPECT_TRUE(e.aborted);
    EXPECT_EQ(e.pages, 1);
}

}  // namespace
}  // namespace rv::reports
