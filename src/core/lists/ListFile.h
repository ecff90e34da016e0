#pragma once
// List files: plain Windows-1252 text, one entry per line, lines ended by CR LF.  The same
// format serves a database's own lists (NAME.001 ...), the default lists (*.LST) and the two
// program-wide lists (OSCAR.LST, MISC.LST).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace rv::lists {

using Entries = std::vector<std::string>;

// The longest entry a list file line yields; the rest of a longer line is skipped.
inline constexpr std::size_t kMaxEntryLength = 255;

// The entries of a list file's contents.  Lines end at CR LF, LF or CR; each line gives at
// most its first 255 bytes; a line that is empty once spaces are trimmed is skipped; every
// other line is kept exactly as read, leading and trailing spaces included.
Entries parseListText(std::string_view bytes);

// The file contents for a list: each entry followed by CR LF (an empty list is empty text).
std::string formatListText(const Entries& entries);

// Reads a list file.  A file that cannot be read gives an empty list, silently.
Entries readListFile(const std::filesystem::path& file);

// Writes a list file whole, through a temporary file beside it that replaces the old one, so
// a failure at any moment leaves either the old or the new list.  Answers false (leaving the
// old file as it was) when the file cannot be written.
bool writeListFile(const std::filesystem::path& file, const Entries& entries);

}  // namespace rv::lists
