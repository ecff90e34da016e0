#pragma once
// The record editor's contents without any window: one text per field of the catalogue, the
// two Yes/No boxes, and the dates as they were loaded, with the rules that fill, clear,
// compare and change them.

#include "core/db/Date.h"
#include "core/db/FieldCatalog.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace rv::edit {

// What the main window asks of the editor before showing it; the editor changes it itself.
enum class EditorMode { New = 1, Edit = 2, Copy = 3 };

// Catalogue numbers the editor treats specially.
inline constexpr int kYearField = 11;
inline constexpr int kRunTimeField = 12;
inline constexpr int kListPriceField = 28;
inline constexpr int kCheckOutField = 31;
inline constexpr int kCheckDateField = 32;
inline constexpr int kCheckNameField = 33;
inline constexpr int kPurchPriceField = 34;
inline constexpr int kPurchDateField = 35;
inline constexpr int kViewedField = 37;

enum class BoxKind { Text, DropDown, Date, Check, Price };

// One box of the editor: its name, the field it holds, the notebook page it is on.
struct EditorBox {
    std::string_view name;
    int field;
    int page;
    BoxKind kind;
};

// The forty boxes, one per field, page by page in the order they appear.
inline constexpr std::array<EditorBox, 40> kEditorBoxes{{
    {"Title", 1, 0, BoxKind::Text},          {"Star1", 2, 0, BoxKind::DropDown},
    {"Star2", 3, 0, BoxKind::DropDown},      {"Star3", 4, 0, BoxKind::DropDown},
    {"Star4", 5, 0, BoxKind::DropDown},      {"Star5", 6, 0, BoxKind::DropDown},
    {"Star6", 7, 0, BoxKind::DropDown},      {"YearReleased", 11, 0, BoxKind::Text},
    {"Producer", 8, 0, BoxKind::DropDown},   {"Director", 9, 0, BoxKind::DropDown},
    {"Writer", 38, 0, BoxKind::Text},        {"ReleasedBy", 10, 0, BoxKind::DropDown},
    {"Category", 14, 1, BoxKind::DropDown},  {"Rating", 13, 1, BoxKind::DropDown},
    {"PersRating", 18, 1, BoxKind::DropDown}, {"KeyWords", 26, 1, BoxKind::Text},
    {"Description", 23, 1, BoxKind::Text},   {"Format", 17, 1, BoxKind::DropDown},
    {"LaserFormat", 27, 1, BoxKind::DropDown}, {"Content", 24, 1, BoxKind::DropDown},
    {"Picture", 15, 1, BoxKind::DropDown},   {"Sound", 16, 1, BoxKind::DropDown},
    {"RecordSpeed", 20, 1, BoxKind::DropDown}, {"MediaNumber", 19, 2, BoxKind::Text},
    {"CounterStart", 21, 2, BoxKind::Text},  {"CounterStop", 22, 2, BoxKind::Text},
    {"PlayTime", 12, 2, BoxKind::Text},      {"Viewed", 37, 2, BoxKind::Check},
    {"CheckOut", 31, 2, BoxKind::Check},     {"CheckDate", 32, 2, BoxKind::Date},
    {"CheckName", 33, 2, BoxKind::DropDown}, {"ListPrice", 28, 3, BoxKind::Price},
    {"PurchPrice", 34, 3, BoxKind::Price},   {"PurchDate", 35, 3, BoxKind::Date},
    {"WherePurch", 36, 3, BoxKind::DropDown}, {"OscarAward", 30, 3, BoxKind::Text},
    {"OscarNom", 29, 3, BoxKind::Text},      {"Misc", 25, 3, BoxKind::Text},
    {"UserDef1", 39, 3, BoxKind::Text},      {"UserDef2", 40, 3, BoxKind::Text},
}};

// The box of a field (every field has exactly one).
const EditorBox& boxOfField(int field);
// The longest text the box of a field takes: the catalogue width.
int maxLength(int field);

// A date as it was read from the table, with the text the box showed for it.
struct LoadedDate {
    std::string text;
    db::Date date;
};

class EditorRecord {
public:
    // The text of a field's box, by catalogue number 1..40.  For CheckOut and Viewed the
    // text is "Yes" when the box is checked and "No" otherwise.
    std::string& operator[](int field) { return texts_.at(static_cast<std::size_t>(field - 1)); }
    const std::string& operator[](int field) const { return texts_.at(static_cast<std::size_t>(field - 1)); }

    bool checked(int field) const { return (*this)[field] == "Yes"; }
    void setChecked(int field, bool on) { (*this)[field] = on ? "Yes" : "No"; }

    // The stored date of a date field as it was loaded (nothing once the box was cleared or
    // for a record that was not loaded).  An unchanged box writes this date back unchanged,
    // so a date shown with a two-digit year is never read again into another century.
    const std::optional<LoadedDate>& loadedDate(int field) const;
    void setLoadedDate(int field, std::optional<LoadedDate> loaded);

    friend bool operator==(const EditorRecord&, const EditorRecord&) = default;

private:
    std::array<std::string, db::kFieldCount> texts_{};
    std::optional<LoadedDate> checkDate_;
    std::optional<LoadedDate> purchDate_;
};

// DoClear: every box empty except PlayTime, ListPrice and PurchPrice ("0"), both check boxes
// unchecked; the loaded dates are forgotten.
EditorRecord clearedRecord();

// True when a box differs from the snapshot: texts cut to the box's length and compared
// exactly, the two date boxes after trimming, the check boxes by their state.
bool valuesChanged(const EditorRecord& boxes, const EditorRecord& snapshot);

// The texts the Checked Out box puts back when it is ticked again.
struct CheckOutMemory {
    std::string date;    // at most 10 characters
    std::string person;  // at most 30 characters

    // Remembers what the two boxes show now (after a record is loaded).
    void remember(const EditorRecord& boxes);
    // The user ticked or unticked Checked Out: unticking remembers the date and person and
    // empties both boxes; ticking puts the remembered texts back.
    void toggled(EditorRecord& boxes, bool checkedNow);
};

// A date box with nothing typed: empty, or only the two separators (of any of the three date
// separators) with blanks ("/  /", "__.__.____", "--").
bool isBlankDate(std::string_view text);

}  // namespace rv::edit
