#pragma once
// The viewer configuration's rules without any window: which fields the grid shows, in which
// order, how wide and under which titles, and how the configuration window's pages are read
// back when it closes.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/Settings.h"

namespace rv::browse {

// One column of the viewer grid.
struct ViewerColumn {
    int field = 0;      // catalogue number 1..40
    std::string title;  // the field's display name
    int width = 15;     // in characters
    friend bool operator==(const ViewerColumn&, const ViewerColumn&) = default;
};

// The grid's columns from the settings: for each view position 1..40 the first field (in
// catalogue order) at that position, field 1 when none is, is moved to the next column; a
// field that is not displayed is left out.  Every displayed field shows exactly once, also
// when the positions are not a permutation (a hand-edited file).
std::vector<ViewerColumn> viewerColumns(const rv::app::Settings& settings);

// A width cell read back: the leading number of the trimmed text (a sign allowed); 0 or
// less, 256 or more, or no number at all gives 10.
int parseWidthCell(std::string_view cell);

// The first pair of equal display names (exact, case-sensitive), as the error text the
// configuration window shows; nothing when all forty are different.
std::optional<std::string> duplicateNameMessage(const rv::app::PerField<std::string>& names);

// What the configuration window's pages hold when it closes.
struct ViewConfigPages {
    rv::app::PerField<std::string> widthCells;    // "WIDTH" column, by catalogue number
    rv::app::PerField<std::string> displayCells;  // "DISPLAY IT" column: "Yes" / "No"
    std::array<std::string, rv::db::kFieldCount> orderRows;  // display name per row, top first
    rv::app::PerField<std::string> nameCells;     // "NAME TO USE" column
};

// The pages as the window fills them when it opens.
ViewConfigPages viewConfigPages(const rv::app::Settings& settings);

// Stores the pages into the settings, in the window's order: widths (a bad width becomes 10
// and its cell is set to "10"), displayed flags, view positions (each field is looked up in
// the order rows by the name it had when the window opened; not found keeps its position),
// then the display names cut to 20 characters.
void storeViewConfigPages(rv::app::Settings& settings, ViewConfigPages& pages);

// The order rows reset to the catalogue order ("D&efaults"), with the names the fields had
// when the window opened (those the order page shows and is matched by).
void defaultOrderRows(ViewConfigPages& pages, const rv::app::Settings& settings);

inline constexpr const char* kReorderTitle = "Re-Order";
inline constexpr const char* kReorderQuestion = "This will set the order of fields to the program defaults.  Continue?";

}  // namespace rv::browse
