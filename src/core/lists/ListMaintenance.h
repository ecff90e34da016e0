#pragma once
// List maintenance: the working copy the list window edits (add, delete, sort) and what its
// OK stores, plus the Options > List Maintenance menu and its two default commands.

#include "core/lists/DataLists.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace rv::lists {

// The questions of the list commands (title "Warning" for the two default commands, "Confirm"
// for Sort), as the windows show them.
inline constexpr std::string_view kSaveDefaultsTitle = "Warning";
inline constexpr std::string_view kSaveDefaultsQuestion =
    "Your current Data Lists will become your default list values.  These values will be used when new "
    "databases are created.  Previous default values will be lost.  Do you want to proceed?";
inline constexpr std::string_view kLoadDefaultsTitle = "Warning";
inline constexpr std::string_view kLoadDefaultsQuestion =
    "Your current Data Lists will be overridden with your default list values. Previous  values will be "
    "lost.  Do you want to proceed?";
inline constexpr std::string_view kSortTitle = "Confirm";
inline constexpr std::string_view kSortQuestion = "Are you sure you want to sort the data?  Sorting cannot be undone.";

// One item of the List Maintenance submenu, in menu order.
struct MaintenanceItem {
    std::string_view menuItem;  // MenuMaintainStars ...
    std::string_view caption;   // "&Stars" ...
    int list;                   // list number
    int maxEntryLength;         // longest entry the window accepts
};
inline constexpr std::array<MaintenanceItem, 17> kMaintenanceItems{{
    {"MenuMaintainStars", "&Stars", 2, 25},
    {"MenuMaintainProducer", "&Producer", 1, 28},
    {"MenuMaintainDirector", "&Director", 3, 28},
    {"MenuMaintainReleasedBy", "&Released By", 4, 28},
    {"MenuMaintainRating", "Ra&ting", 5, 15},
    {"MenuMaintainCategory", "Cate&gory", 6, 20},
    {"MenuMaintainPersRating", "Perso&nal Rating", 11, 15},
    {"MenuMaintainPicture", "P&icture", 7, 10},
    {"MenuMaintainSound", "So&und", 8, 10},
    {"MenuMaintainFormat", "&Format", 9, 15},
    {"MenuMaintainRecSpeed", "R&ecord Speed", 12, 6},
    {"MenuMaintainContent", "&Content", 13, 10},
    {"MenuMaintainLaser", "&Laser Format", 10, 12},
    {"MenuMaintainOscars", "&Oscars", 14, 110},
    {"MenuMaintainCheckOut", "Chec&k Out Person", 15, 25},
    {"MenuMaintainWherePurch", "&Where Purchased", 16, 25},
    {"MenuMaintainMisc", "&Miscellaneous", 17, 25},
}};

// The caption of the window for a list: Edit "Stars" List.
std::string maintenanceCaption(int list);

// Case-insensitive ordering of Windows-1252 text as Windows orders it: letters of both cases
// compare equal, and an accented letter sorts with its base letter (É with E, æ as ae);
// texts that differ only in accents put the unaccented one first.
bool lessNoCase(std::string_view a, std::string_view b);

// The entries being edited, with the selected row (or none).
class ListEditor {
public:
    // A list held by the record editor (Stars: the one Stars list), or a program-wide list
    // read from its file in the program folder (Oscar names, Miscellaneous).
    static ListEditor open(const DataLists& lists, int list, const std::filesystem::path& programDir);
    ListEditor(int list, Entries entries);

    int listNumber() const { return list_; }
    const Entries& entries() const { return entries_; }
    std::optional<std::size_t> selected() const { return selected_; }
    void select(std::optional<std::size_t> row);

    // Appends the text trimmed of spaces, duplicates included; answers false for blank text.
    bool add(std::string_view text);
    // Removes the selected row and selects the row that took its place (the new last row
    // when the last was removed); does nothing without a selection.
    void removeSelected();
    // Sorts once, ascending, ignoring letter case; equal entries keep their order.
    void sort();

    // OK: the database lists take the entries (list 2: the Stars list and all six star
    // drop-downs of the viewer; other database lists: the list and its viewer drop-down), or
    // OSCAR.LST / MISC.LST in the program folder are written; then every database list is
    // saved beside the table.  Answers false when a file could not be written.
    bool store(DataLists& lists, const std::filesystem::path& basePath, const std::filesystem::path& programDir) const;

private:
    int list_;
    Entries entries_;
    std::optional<std::size_t> selected_;
};

}  // namespace rv::lists
