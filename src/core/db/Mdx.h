#pragma once
// The production index file (.MDX) in the dBase IV multiple-index format: a header, a tag
// table and one B-tree of character keys per tag.  The engine keeps at most the tag
// NewIndex in it, but reads any tag count another program may have written.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rv::db::mdx {

struct TagEntry {
    std::string key;     // exactly keyLength bytes
    uint32_t recno = 0;  // 1-based record number in the table
};

struct TagData {
    std::string name;        // tag name (see storableTagName), stored with a-z in upper case
    std::string expression;  // key expression text
    int keyLength = 0;       // 1..100 bytes
    bool descending = false;
    bool unique = false;
    std::vector<TagEntry> entries;  // in key order (then record number)
    char keyType = 'C';  // 'C'; tags of other programs may be 'N' (12-byte BCD) or 'D' (8-byte
                         // double), whose keys are kept as their raw bytes
};

struct MdxContents {
    std::string tableName;  // the table's name without folder and extension, upper case
    std::vector<TagData> tags;
};

// Puts a tag's entries, given in ascending key order (records of one key in record order),
// into the order the tag holds them: a unique tag keeps only the first record of each key;
// a descending tag lists the keys from the highest down, records of one key still in record
// order.
void arrangeEntries(TagData& tag);

// Whether a tag name can be written: 1 to 10 bytes, none of them a control character.  The
// names this engine gives its own tags are stricter (letters, digits and "_"); names of other
// programs' tags may hold any other byte, such as an accented letter, and are kept as they are.
bool storableTagName(std::string_view name);

// Writes the whole index file: a new file beside the old one, flushed and renamed into place.
// Raises DatabaseError when it cannot be written.
void writeMdx(const std::filesystem::path& path, const MdxContents& contents);

// Reads an index file.  Nothing when the file is missing, damaged, or uses a part of the
// format this reader does not understand; it never raises and never reads out of bounds.
// With withEntries false only the tag names, expressions and key lengths are read.
std::optional<MdxContents> readMdx(const std::filesystem::path& path, bool withEntries = true);

}  // namespace rv::db::mdx
