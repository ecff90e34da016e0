#include "core/browse/ViewerLayout.h"

#include <algorithm>
#include <climits>

namespace rv::browse {

using rv::app::Settings;
using rv::db::kFieldCount;

std::vector<ViewerColumn> viewerColumns(const Settings& settings) {
    // The grid's field list starts in catalogue order.  For each view position p the first
    // field at p (field 1 when none is) is moved to the next column k; a field that is not
    // displayed stays where it is.  Moving, not copying, keeps every field once even when the
    // positions are not a permutation: a position no field holds moves field 1 there, and a
    // field that no position chose keeps its place after the columns that were placed.
    std::vector<int> order;
    for (int f = 1; f <= kFieldCount; ++f) order.push_back(f);
    std::size_t k = 0;
    for (int position = 1; position <= kFieldCount; ++position) {
        int chosen = 1;
        for (int f = 1; f <= kFieldCount; ++f) {
            if (settings.fieldOrder[f] == position) {
                chosen = f;
                break;
            }
        }
        if (!settings.displayFields[chosen]) continue;
        const auto at = std::find(order.begin(), order.end(), chosen);
        order.erase(at);
        order.insert(order.begin() + static_cast<std::ptrdiff_t>(std::min(k, order.size())), chosen);
        ++k;
    }
    std::vector<ViewerColumn> columns;
    for (int f : order)
        if (settings.displayFields[f]) columns.push_back({f, settings.displayNames[f], settings.fieldWidths[f]});
    return columns;
}

namespace {

// The width a cell holds, or nothing when it holds no width from 1 to 255.
std::optional<int> widthInCell(std::string_view cell) {
    size_t i = 0;
    while (i < cell.size() && cell[i] == ' ') ++i;
    bool negative = false;
    if (i < cell.size() && (cell[i] == '+' || cell[i] == '-')) negative = cell[i++] == '-';
    long value = 0;
    bool digits = false;
    while (i < cell.size() && cell[i] >= '0' && cell[i] <= '9') {
        digits = true;
        if (value < INT_MAX) value = value * 10 + (cell[i] - '0');
        ++i;
    }
    if (negative) value = -value;
    if (!digits || value <= 0 || value >= 256) return std::nullopt;
    return int(value);
}

}  // namespace

int parseWidthCell(std::string_view cell) { return widthInCell(cell).value_or(10); }

std::optional<std::string> duplicateNameMessage(const rv::app::PerField<std::string>& names) {
    for (int a = 1; a <= kFieldCount; ++a)
        for (int b = a + 1; b <= kFieldCount; ++b)
            if (names[a] == names[b])
                return "Two field names have the same name \"" + names[a] + "\".  Please change one.";
    return std::nullopt;
}

ViewConfigPages viewConfigPages(const Settings& settings) {
    ViewConfigPages pages;
    for (int f = 1; f <= kFieldCount; ++f) {
        pages.widthCells[f] = std::to_string(settings.fieldWidths[f]);
        pages.displayCells[f] = settings.displayFields[f] ? "Yes" : "No";
        pages.nameCells[f] = settings.displayNames[f];
    }
    // Row p-1 holds the field at view position p (the first such field in catalogue order).
    for (int p = 1; p <= kFieldCount; ++p) {
        for (int f = 1; f <= kFieldCount; ++f) {
            if (settings.fieldOrder[f] == p) {
                pages.orderRows[size_t(p - 1)] = settings.displayNames[f];
                break;
            }
        }
    }
    return pages;
}

void defaultOrderRows(ViewConfigPages& pages, const Settings& settings) {
    for (int f = 1; f <= kFieldCount; ++f) pages.orderRows[size_t(f - 1)] = settings.displayNames[f];
}

void storeViewConfigPages(Settings& settings, ViewConfigPages& pages) {
    for (int f = 1; f <= kFieldCount; ++f) {
        auto width = widthInCell(pages.widthCells[f]);
        if (!width) pages.widthCells[f] = "10";
        settings.fieldWidths[f] = width.value_or(10);
    }
    for (int f = 1; f <= kFieldCount; ++f) settings.displayFields[f] = pages.displayCells[f] == "Yes";
    // Positions are matched by the names the fields had when the window opened, which are
    // still the names in the settings: the new names are stored only afterwards.
    for (int f = 1; f <= kFieldCount; ++f) {
        for (int row = 0; row < kFieldCount; ++row) {
            if (pages.orderRows[size_t(row)] == settings.displayNames[f]) {
                settings.fieldOrder[f] = row + 1;
                break;
            }
        }
    }
    for (int f = 1; f <= kFieldCount; ++f) settings.displayNames[f] = pages.nameCells[f].substr(0, 20);
}

}  // namespace rv::browse
