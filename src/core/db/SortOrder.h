#pragma once
// The user's sort order: up to four levels (catalogue field numbers, 0 = not set) turned into
// the key expression of the index tag NewIndex, and the sequence that rebuilds that tag.

#include <array>
#include <string>

namespace rv::db {

class Table;

inline constexpr const char* kSortTagName = "NewIndex";

using SortLevels = std::array<int, 4>;
inline constexpr SortLevels kDefaultSortLevels{2, 0, 0, 0};

// The sort expression of four levels: text fields as Upper(Left(name,w)) with w = 80 / the
// number of levels set, whole numbers STR(name,12,0), money STR(name,12,2), dates DTOS(name),
// joined by "+"; "" when no level is set.  Values outside 1..40 count as not set.
std::string BuildSortString(const SortLevels& levels);

// Rebuilds the tag NewIndex of a closed table (or one open exclusively) for an expression: with "" no tag is selected
// (the old tag stays in the index file); otherwise an existing tag is deleted, the tag is
// added with the expression and selected.  Raises DatabaseError (TableInUseError when another
// holder has the table); a closed table is left closed.
void rebuildSortTag(Table& table, const std::string& expression);

// Selects the tag NewIndex for the next open at program start: with "" no tag is selected;
// when the index file holds the tag it is selected; when the file is missing, cannot be read
// or lacks the tag, the tag is built first (rebuildSortTag), so a damaged index file does not
// lose the sort order.  Same errors as rebuildSortTag.
void openSortTag(Table& table, const std::string& expression);

// Rebuild Indexes on a table open exclusively: every tag of the index file is rebuilt from
// the records, and with a sort expression the tag NewIndex is rebuilt from it (added when the
// old file was damaged, empty or held the tag with another expression) and selected.
void regenerateSortIndexes(Table& table, const std::string& expression);

}  // namespace rv::db
