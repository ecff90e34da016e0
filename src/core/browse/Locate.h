#pragma once
// Locate: moving to the next record whose value in one field matches a typed value, in the
// table's current order and through the record filter of a search in force, without
// filtering anything out.
//
// LocateSettings is what the main window's locate component remembers for the whole run
// (field, value, match type, case setting and the dialog's options).  locate() is the
// routine behind "Fi&rst", "&Next" and Locate Next: it examines records one at a time from
// the first record or from the one after the current record, stops at the first match and
// makes it current; when nothing matches the current record stays as it was (there is no
// wrap-around).

#include <string>
#include <string_view>
#include <vector>

#include "core/app/Settings.h"
#include "core/db/Table.h"

namespace rv::browse {

enum class LocateMatch { Exact, Start, Anywhere };  // mtExactMatch, mtPartialMatchStart, mtPartialMatchAny
enum class LocateFieldOrder { ByNumber, ByName };   // fsSortByFieldNo, fsSortByFieldName
enum class LocateDefaultButton { First, Next };     // dbFindFirst, dbFindNext
enum class LocateFieldSelection { All, Visible };   // fsAllFields, fsVisibleFields

inline constexpr int kMaxLocateValue = 255;

// The component's properties with the values the main window gives them at start.
struct LocateSettings {
    std::string caption = "Locate Field Value";
    std::string searchField;  // the field's name in the table; "" for none
    LocateMatch matchType = LocateMatch::Start;
    bool caseSensitive = false;
    LocateFieldOrder sortFields = LocateFieldOrder::ByName;
    LocateDefaultButton defaultButton = LocateDefaultButton::Next;
    LocateFieldSelection fieldSelection = LocateFieldSelection::All;
    bool showMessages = true;
    std::string value;  // the remembered search value, at most 255 characters
};

// ---- Messages -----------------------------------------------------------------------------
inline constexpr const char* kNoMatchesFound = "No matches found";
inline constexpr const char* kNoMoreMatchesFound = "No more matches found";
inline constexpr const char* kNoActiveDataSet = "DataSource does not reference an active DataSet";
inline constexpr const char* kNoActiveTable = "DataSource does not refer to an active table!";
std::string fieldNotFoundMessage(std::string_view fieldName);  // "Field " + name + " not found."

// ---- The field list -----------------------------------------------------------------------
struct LocateField {
    std::string label;  // as the list shows it ("~" as a blank)
    std::string name;   // the field's name in the table
};

// The dialog's field list: every field of the table (or only those the viewer shows) under
// its display label: the display name for a field the viewer shows, the table's own field
// name for one it hides.  Sorted by label, or in the table's field order.
std::vector<LocateField> locateFields(const rv::db::Table& table, const rv::app::Settings& settings,
                                      LocateFieldSelection selection, LocateFieldOrder order);
// The field whose label equals `label`; "" when none does.
std::string fieldForLabel(const std::vector<LocateField>& fields, std::string_view label);
// The label of a field name (case-insensitive); "" when the list does not have it.
std::string labelForField(const std::vector<LocateField>& fields, std::string_view name);

// ---- Matching -----------------------------------------------------------------------------
// The text a field of a record displays: text as stored, whole numbers in decimal digits,
// decimal numbers in the shortest general notation, dates in the table's date format.
std::string displayedText(const rv::db::Table& table, int recNo, int fieldIndex);

// Whether a displayed text matches the value.  `numeric` asks for the numeric exact match of
// a decimal-number field (the value must be digits and points with at most a leading minus).
bool locateMatches(std::string_view shown, std::string_view value, LocateMatch match, bool caseSensitive,
                   bool numeric);

enum class LocateResult { Found, NotFound, NoSuchField };

// Locates from the first record (`fromFirst`) or from the record after the current one.
// Found: that record is current.  Otherwise the current record is unchanged.
LocateResult locate(rv::db::Table& table, std::string_view fieldName, std::string_view value, LocateMatch match,
                    bool caseSensitive, bool fromFirst);

}  // namespace rv::browse
