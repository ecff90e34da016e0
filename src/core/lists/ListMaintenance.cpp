#include "core/lists/ListMaintenance.h"

#include "core/app/Formats.h"
#include "core/db/FieldCatalog.h"

#include <algorithm>

namespace rv::lists {

std::string maintenanceCaption(int list) {
    return "Edit \"" + std::string(listDef(list).name) + "\" List";
}

namespace {

// Windows-1252 lower case of one byte.
unsigned char foldCase(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
        case 0x8A: return 0x9A;  // S caron
        case 0x8C: return 0x9C;  // OE
        case 0x8E: return 0x9E;  // Z caron
        case 0x9F: return 0xFF;  // Y diaeresis
        default: return c;
    }
}

}  // namespace

bool lessNoCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return foldCase(static_cast<unsigned char>(x)) < foldCase(static_cast<unsigned char>(y));
    });
}

ListEditor ListEditor::open(const DataLists& lists, int list, const std::filesystem::path& programDir) {
    if (!listDef(list).perDatabase) return ListEditor(list, readListFile(defaultListFile(programDir, list)));
    return ListEditor(list, lists.list(list));
}

ListEditor::ListEditor(int list, Entries entries) : list_(list), entries_(std::move(entries)) {
    listDef(list);
    if (!entries_.empty()) selected_ = 0;
}

void ListEditor::select(std::optional<std::size_t> row) {
    selected_ = (row && *row < entries_.size()) ? row : std::nullopt;
}

bool ListEditor::add(std::string_view text) {
    std::string value = app::trim(text);
    if (value.empty()) return false;
    entries_.push_back(std::move(value));
    return true;
}

void ListEditor::removeSelected() {
    if (!selected_) return;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*selected_));
    if (entries_.empty())
        selected_.reset();
    else if (*selected_ >= entries_.size())
        selected_ = entries_.size() - 1;
}

void ListEditor::sort() {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const std::string& a, const std::string& b) { return lessNoCase(a, b); });
}

bool ListEditor::store(DataLists& lists, const std::filesystem::path& basePath,
                       const std::filesystem::path& programDir) const {
    bool ok = true;
    if (listDef(list_).perDatabase) {
        lists.setList(list_, entries_);
        for (const auto& f : db::kFields)
            if (f.dataList == list_ && hasViewerDropDown(f.number)) lists.setViewerList(f.number, entries_);
    } else {
        ok = writeListFile(defaultListFile(programDir, list_), entries_);
    }
    return lists.saveAll(basePath) && ok;
}

}  // namespace rv::lists
