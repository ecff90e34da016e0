#pragma once
// The Oscar and Miscellaneous selection: a program-wide list shown in alphabetical order from
// which any number of entries are picked and joined into one field text.

#include "core/lists/ListFile.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace rv::lists {

enum class SelectionKind { OscarAwards = 1, OscarNominations = 2, Miscellaneous = 3 };

// "Oscar Awards", "Oscar Nominations", "Miscellaneous".
std::string_view selectionCaption(SelectionKind kind);
// The list the kind offers: 14 for both Oscar kinds, 17 for Miscellaneous.
int selectionList(SelectionKind kind);
// The catalogue number of the field the joined text goes to (30, 29, 25).
int selectionField(SelectionKind kind);

class Selection {
public:
    // Reads the kind's list file from the program folder (a missing file gives an empty
    // list).  For Miscellaneous the current field text is split at commas and its items are
    // preselected; an item that is not in the list is added to the shown list (not the file).
    Selection(SelectionKind kind, const std::filesystem::path& programDir, std::string_view currentText = {});
    // The same over given entries (the selection window's contents).
    Selection(SelectionKind kind, Entries entries, std::string_view currentText = {});

    SelectionKind kind() const { return kind_; }
    // Entries in ascending order, ignoring letter case.
    const Entries& entries() const { return entries_; }
    bool isSelected(std::size_t row) const { return selected_.at(row); }
    void toggle(std::size_t row);
    void setSelected(std::size_t row, bool on);

    // The row whose entry equals the text exactly, or -1.
    int find(std::string_view text) const;

    // The selected entries in list order joined by ", ", at most 255 characters.
    std::string joined() const;

private:
    std::size_t insertSorted(std::string entry);
    void preselect(std::string_view text);

    SelectionKind kind_;
    Entries entries_;
    std::vector<bool> selected_;
};

}  // namespace rv::lists
