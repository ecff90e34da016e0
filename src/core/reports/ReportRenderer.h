#pragma once
// The report renderer: a report definition and the open video table, in its current order
// and behind its record filter, turned into pages on a PageEngine.
//
// Each page has a header band (the title lines), a body band (column headers of one-line
// reports, record lines, group headings and subtotals) and a footer band (page number and
// date).  Grouping follows the first one or two sort levels that name a field; a heading or
// a subtotals block that does not fit in what is left of the body opens the next page, and so
// do closing "TOTALS" / "GRAND TOTALS" that need more room.  The text file engine gets the
// same layout as text lines.
//
// A layout whose body band cannot take what must go on a page (a record, a group heading, a
// subtotals block, the closing totals) would produce empty pages without end; the run stops
// instead with ReportLayoutError (kNoRoomMessage) and the engine's output is discarded.

#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/reports/PageEngine.h"
#include "core/reports/ReportDefinition.h"

namespace rv::app {
class DisplayFormats;
}
namespace rv::db {
class Table;
}

namespace rv::reports {

inline constexpr const char* kNoRoomMessage = "The report layout leaves no room for a record on the page.";

class ReportLayoutError : public std::runtime_error {
public:
    ReportLayoutError() : std::runtime_error(kNoRoomMessage) {}
};

// What the renderer reads from the rest of the program.
struct ReportSource {
    rv::db::Table* table = nullptr;                 // open; its order and filter are used as they are
    const rv::app::DisplayFormats* formats = nullptr;
    std::array<int, 4> sortLevels{0, 0, 0, 0};      // field numbers of the current sort order
    std::function<std::string(int)> displayName;    // field number -> display name (default: catalogue)
    std::string today;                              // today's date in the short date format
};

// The band geometry, inches from the top edge of the page.
inline constexpr double kHeaderTop = 0.5;
inline constexpr double kHeaderBottom = 1.25;
inline constexpr double kBodyTop = 1.25;
inline constexpr double kBodyGapAboveBottomMargin = 0.75;
inline constexpr double kFooterHeight = 0.5;
inline constexpr double kHeadingPadding = 0.2;  // extra width of heading cells

class ReportRenderer {
public:
    ReportRenderer(const ReportDefinition& def, ReportSource source, PageEngine& engine);
    ~ReportRenderer();

    // Page by page, so a window can stay responsive and cancel between pages:
    //   r.start(); while (r.nextPage()) { ... }; r.finish();
    void start();
    bool nextPage();      // renders the next page; false once the report is complete
    void finish();        // completes the engine's document
    void cancel();        // discards the engine's output
    int pagesDone() const { return page_; }

    // The whole run; `beforePage(n)` returning false cancels (the output is discarded and
    // false returned).  ReportLayoutError and engine errors pass through after the output
    // was discarded.
    bool run(const std::function<bool(int page)>& beforePage = {});

    // The texts of one line as the renderer prints it (for tests and the designer).
    std::string itemText(const ReportItem& item) const;
    std::string textLine(const ReportLine& line, bool totals, const std::array<double, 3>* set) const;

private:
    struct Totals {
        std::array<double, 3> values{0, 0, 0};  // count, list price sum, purchase price sum
        void clear() { values = {0, 0, 0}; }
    };
    void header();
    void body();
    void footer();
    void setRecordCells(const ReportLine& line, bool columnHeaders);
    void setTotalsCells();
    void printLine(const ReportLine& line, bool totals, const std::array<double, 3>* set);
    void printColumnHeaders();
    void groupChange();
    void groupSubtotals();
    void groupHeading();
    void totalsHeading(const std::string& text);
    void closingTotals();
    void addToTotals();
    std::string fieldText(int number) const;
    std::string groupValue(int number) const;
    int column(int fieldNumber) const;
    void endBadly();
    bool atEnd() const;

    const ReportDefinition def_;  // a copy: the caller's definition may change or go while pages are made
    ReportSource src_;
    PageEngine& engine_;
    PageCanvas canvas_;
    bool text_ = false;
    std::array<int, 41> columns_{};  // field number -> table field index (-1: none)
    int listPriceColumn_ = -1, purchPriceColumn_ = -1;

    int group1_ = 0, group2_ = 0;
    std::string previous1_, previous2_;
    bool haveGroup_ = false;          // "no group yet" until the first record was seen
    bool headingPending_ = false, subtotalsPending_ = false, finalPending_ = false;
    bool firstGroup_ = true;
    bool deferred_ = false;           // something on this page was put off to the next
    bool closed_ = false;             // closing totals printed
    bool started_ = false, ended_ = false;
    Totals grand_, group_;
    int page_ = 0;
    int progress_ = 0;                // records, headings and totals printed on the page
};

}  // namespace rv::reports
