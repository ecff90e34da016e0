#pragma once
// What the Search window's options list offers for a pick-list row.

#include <filesystem>

#include "core/lists/DataLists.h"

namespace rv::browse {

// The entries of the pick list of `field`: the field's data list as the record editor holds
// it; for Miscellaneous the lines of MISC.LST and for Oscar Nomination and Oscar Award those
// of OSCAR.LST, read from the program folder (trimmed, empty lines skipped, a missing file
// giving none); for Checked Out and Viewed "YES" and "NO".  Nothing for a field without a
// pick list.
rv::lists::Entries searchPickList(int field, const rv::lists::DataLists* lists, const std::filesystem::path& programDir);

}  // namespace rv::browse
