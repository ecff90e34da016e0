#include "core/lists/Selection.h"

#include "core/app/Formats.h"
#include "core/lists/DataLists.h"
#include "core/lists/ListMaintenance.h"

#include <algorithm>
#include <stdexcept>

namespace rv::lists {

std::string_view selectionCaption(SelectionKind kind) {
    switch (kind) {
        case SelectionKind::OscarAwards: return "Oscar Awards";
        case SelectionKind::OscarNominations: return "Oscar Nominations";
        case SelectionKind::Miscellaneous: return "Miscellaneous";
    }
    throw std::invalid_argument("selection kind");
}

int selectionList(SelectionKind kind) { return kind == SelectionKind::Miscellaneous ? kMiscList : kOscarList; }

int selectionField(SelectionKind kind) {
    switch (kind) {
        case SelectionKind::OscarAwards: return 30;
        case SelectionKind::OscarNominations: return 29;
        case SelectionKind::Miscellaneous: return 25;
    }
    throw std::invalid_argument("selection kind");
}

Selection::Selection(SelectionKind kind, const std::filesystem::path& programDir, std::string_view currentText)
    : Selection(kind, readListFile(defaultListFile(programDir, selectionList(kind))), currentText) {}

Selection::Selection(SelectionKind kind, Entries entries, std::string_view currentText) : kind_(kind) {
    for (auto& entry : entries) insertSorted(std::move(entry));
    if (kind_ == SelectionKind::Miscellaneous) preselect(currentText);
}

std::size_t Selection::insertSorted(std::string entry) {
    const auto at = std::upper_bound(entries_.begin(), entries_.end(), entry,
                                     [](const std::string& a, const std::string& b) { return lessNoCase(a, b); });
    const auto row = static_cast<std::size_t>(at - entries_.begin());
    entries_.insert(at, std::move(entry));
    selected_.insert(selected_.begin() + static_cast<std::ptrdiff_t>(row), false);
    return row;
}

void Selection::preselect(std::string_view text) {
    std::string rest(text);
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        std::string item = rest.substr(0, comma);
        rest = comma == std::string::npos ? std::string() : app::trim(std::string_view(rest).substr(comma + 1));
        // An empty item (",," or a leading comma) names no entry.
        if (item.empty()) continue;
        const int row = find(item);
        setSelected(row >= 0 ? static_cast<std::size_t>(row) : insertSorted(std::move(item)), true);
    }
}

void Selection::toggle(std::size_t row) { selected_.at(row) = !selected_.at(row); }

void Selection::setSelected(std::size_t row, bool on) { selected_.at(row) = on; }

int Selection::find(std::string_view text) const {
    const auto it = std::find(entries_.begin(), entries_.end(), text);
    return it == entries_.end() ? -1 : static_cast<int>(it - entries_.begin());
}

std::string Selection::joined() const {
    std::string text;
    bool first = true;
    for (std::size_t row = 0; row < entries_.size(); ++row) {
        if (!selected_[row]) continue;
        if (!first) text += ", ";
        text += entries_[row];
        first = false;
    }
    if (text.size() > kMaxEntryLength) text.resize(kMaxEntryLength);
    return text;
}

}  // namespace rv::lists
