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

// The primary sort weight of one Windows-1252 byte, ignoring letter case and accents: an
// accented letter weighs as its base letter (É as e), the ligatures and ß as their two
// letters.  Other bytes weigh as their lower case.  This is how the Windows comparison the
// list files were sorted with orders letters; it needs no locale.
std::string_view primaryWeight(unsigned char c, char (&one)[1]) {
    switch (c) {
        case 0x8A: case 0x9A: return "s";
        case 0x8C: case 0x9C: return "oe";
        case 0x8E: case 0x9E: return "z";
        case 0x9F: case 0xDD: case 0xFD: case 0xFF: return "y";
        case 0xC6: case 0xE6: return "ae";
        case 0xC7: case 0xE7: return "c";
        case 0xD0: case 0xF0: return "d";
        case 0xD1: case 0xF1: return "n";
        case 0xD8: case 0xF8: return "o";
        case 0xDF: return "ss";
        default: break;
    }
    const unsigned char f = foldCase(c);
    if (f >= 0xE0 && f <= 0xE5) return "a";
    if (f >= 0xE8 && f <= 0xEB) return "e";
    if (f >= 0xEC && f <= 0xEF) return "i";
    if (f >= 0xF2 && f <= 0xF6) return "o";
    if (f >= 0xF9 && f <= 0xFC) return "u";
    one[0] = static_cast<char>(f);
    return std::string_view(one, 1);
}

std::string primaryKey(std::string_view text) {
    std::string key;
    key.reserve(text.size());
    for (char c : text) {
        char one[1];
        key += primaryWeight(static_cast<unsigned char>(c), one);
    }
    return key;
}

}  // namespace

bool lessNoCase(std::string_view a, std::string_view b) {
    const std::string ka = primaryKey(a), kb = primaryKey(b);
    if (ka != kb) return ka < kb;
    // Same letters: the one without accents first (e before é), letter case still ignored.
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
