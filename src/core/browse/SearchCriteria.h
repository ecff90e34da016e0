#pragma once
// Search by form: the search criteria, the storing of one level of the Search window into
// them, and the evaluation of a record against them.
//
// The criteria are a list of at most 75 items in up to ten levels.  Within a level every
// item must hold; a record matches when every item of at least one level holds.  Texts are
// Windows-1252 bytes, as the table stores them; only the letters a to z are case-folded.
//
// storeLevel() is the Search window's SaveFields: it reads the forty rows of one level (the
// typed cell and the comparison chosen for number and date rows), adds their items and
// reports how it went.  matches() is BuildFilter over any source of field values; the record
// filter of the video table (RecordSearch.h) runs the same evaluation straight on the
// stored bytes.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/db/Date.h"
#include "core/db/FieldCatalog.h"

namespace rv::app {
class ShortDateFormat;
}

namespace rv::browse {

// How an item tests its field (the stored codes of the criteria).
enum class SearchTest : int {
    Equal = 1,        // number or date equals the item's value
    Greater = 2,      // strictly greater; also the lower bound of a range
    Less = 3,         // strictly less; also the upper bound of a range
    Contains = 5,     // the item's text occurs in the field's text
    AnyWord = 6,      // one of the item's words occurs in the Key Words text
    AnyStar = 7,      // the item's text occurs in one of Star 1 to Star 6
};

// The comparison chosen for a number or date row of the Search window.
enum class RowComparison : int { Equal = 1, Greater = 2, Less = 3, Range = 4 };

// How the Search window treats a field's row.
enum class SearchRowKind { Text, Number, Date };
SearchRowKind searchRowKind(int field);  // from the catalogue kind of field 1..40

struct SearchItem {
    std::string text;      // text tests: the criterion in upper case (at most 110 characters);
                           // numbers and dates: the criterion as entered, informational
    double number = 0;     // compared with a number field
    double date = 0;       // day number (days since 30 December 1899) compared with a date field
    int field = 0;         // catalogue number 1..40
    SearchTest test = SearchTest::Contains;
    bool levelEnd = false; // last item of its level
    bool isDate = false;   // compares `date` rather than `number`
    friend bool operator==(const SearchItem&, const SearchItem&) = default;
};

inline constexpr int kMaxSearchItems = 75;
inline constexpr int kMaxSearchLevels = 10;
inline constexpr int kMaxCriterionText = 110;

struct SearchCriteria {
    std::vector<SearchItem> items;  // 0 .. kMaxSearchItems
    bool empty() const { return items.empty(); }
    friend bool operator==(const SearchCriteria&, const SearchCriteria&) = default;
};

// ---- Messages of the Search window ---------------------------------------------------------
inline constexpr const char* kSearchErrorTitle = "Error";
inline constexpr const char* kNoCriteriaMessage = "No search criteria entered.";
inline constexpr const char* kInvalidCriteriaMessage = "Invalid search criteria entered.  Please correct.";
inline constexpr const char* kNoMatchesTitle = "Notice";
inline constexpr const char* kNoMatchesMessage = "No valid matches found.  Search Criteria will be cleared.";
// "More than 75 search items have been entered.  This exceeds the maximum allowable.  Search
// criteria will be cleared."
std::string tooManyItemsMessage();

// The heading of the criteria column for a level 1..10.
std::string criteriaHeading(int level);

// ---- Storing a level ------------------------------------------------------------------------
// One level as the Search window holds it: the typed text of each row (Windows-1252) and the
// comparison chosen for each number or date row (ignored for text rows).
struct SearchLevelRows {
    std::array<std::string, rv::db::kFieldCount> cells;            // by catalogue number - 1
    std::array<RowComparison, rv::db::kFieldCount> comparisons{};  // Equal unless chosen
    SearchLevelRows() { comparisons.fill(RowComparison::Equal); }
    std::string& cell(int field) { return cells.at(size_t(field - 1)); }
    RowComparison& comparison(int field) { return comparisons.at(size_t(field - 1)); }
};

enum class StoreOutcome {
    Stored,      // the level's items were added; the last one ends the level
    NoCriteria,  // no row gave an item; the criteria are unchanged
    Invalid,     // a number, date or one-sided range could not be read; criteria unchanged
    TooMany,     // the 76th item: the criteria are now empty (the window starts over)
};

struct StoreResult {
    StoreOutcome outcome = StoreOutcome::Stored;
    int row = 0;          // Invalid: the field whose row becomes current
    std::string message;  // the error text for every outcome but Stored
    bool ok() const { return outcome == StoreOutcome::Stored; }
};

// SaveFields: adds the items of one level to `criteria`, reading dates by `dates`.
StoreResult storeLevel(SearchCriteria& criteria, const SearchLevelRows& rows, const rv::app::ShortDateFormat& dates);

// A number as a criterion holds it: optional sign, digits, optional point and digits,
// optional exponent, nothing else; the point is the only decimal separator, whatever the
// locale.  Nothing when the text is not such a number.
std::optional<double> parseCriterionNumber(std::string_view text);

// Days since 30 December 1899 (the day number dates are compared by); 0 for an empty date.
double dayNumber(const rv::db::Date& date);

// ---- Evaluating a record --------------------------------------------------------------------
// The values BuildFilter reads from the record under test.
class SearchRecord {
public:
    virtual ~SearchRecord() = default;
    virtual std::string_view text(int field) const = 0;  // the field's text (case not folded)
    virtual double number(int field) const = 0;          // 0 for a blank value
    virtual double date(int field) const = 0;            // day number; 0 for a blank date
};

// BuildFilter: levels joined by OR, items within a level by AND.
bool matches(const SearchCriteria& criteria, const SearchRecord& record);

// Whether `needle` (already upper case) occurs in `haystack` with its letters a to z taken as
// upper case.  An empty haystack contains nothing.
bool containsFolded(std::string_view haystack, std::string_view needle);

// ---- The criteria as the command line gives them ------------------------------------------------
// A row of the Search window from "FIELD=CRITERION" as typed: for text fields the text; for
// number and date fields "VALUE" (equal), "= VALUE", "> VALUE", "< VALUE" or
// "> LOW AND < HIGH".  The result goes through storeLevel like the window's rows.
struct TypedRow {
    std::string cell;
    RowComparison comparison = RowComparison::Equal;
};
TypedRow typedRow(int field, std::string_view criterion);

}  // namespace rv::browse
