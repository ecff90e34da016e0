// The production index file (.MDX), dBase IV multiple-index format.
//
// Layout written here (all numbers little-endian; "page" = 512 bytes, "block" = 2 pages =
// 1024 bytes; page numbers count 512-byte pages from the start of the file):
//
//   File header, pages 0-3 (2048 bytes)
//     0      version, 2
//     1-3    creation date: year-1900, month, day
//     4-19   table name without folder and extension, upper case, NUL padded
//     20-21  block size in pages (2)
//     22-23  block size in bytes (1024)
//     24     production index flag (1)
//     25     tag table slots (48)
//     26     tag table entry length (32)
//     27     0
//     28-29  tags in use (at most 47)
//     30-31  0
//     32-35  pages in the file (the next page a writer would allocate)
//     36-39  first page of the free list (0: none)
//     40-43  blocks available (0)
//     44-46  date of last update: year-1900, month, day
//     47-543 0
//     544-2047  tag table: 47 entries of 32 bytes
//       0-3    page of the tag header
//       4-14   tag name, upper case, NUL padded (10 characters at most)
//       15     key format: 0x00 expression (calculated) key
//       16,17  tag threads: entry number (1-based) of the tag whose name sorts before /
//              after this one in a binary tree of tag names (0: none)
//       18     backward thread: entry number of the parent in that tree (0 for the root)
//       19     2
//       20     key type: 'C' (character), 'N' or 'D'
//       21-31  0
//
//   Per tag, one tag header block followed by the tag's B-tree blocks:
//     Tag header block
//       0-3    page of the root block
//       4-7    pages in the file
//       8      key format: 0x08 descending, 0x40 unique (0x10, a plain field key, unused)
//       9      key type
//       10-11  0
//       12-13  key length
//       14-15  most keys a block holds: (1024 - 12) / entry length
//       16-17  secondary key type, 0 (dBase IV)
//       18-19  entry length: 4 + key length rounded up to a multiple of 4
//       20-22  0
//       23     unique flag (0x40 when unique)
//       24-243 key expression, NUL terminated (219 characters at most)
//     B-tree block
//       0-3    number of entries n
//       4-7    0
//       8-     n entries of `entry length` bytes: a 4-byte pointer, the key, NUL padding.
//              In a leaf the pointer is the record number (1-based); the 4 bytes after the
//              last entry are 0.  In an interior block the pointer is the page of a child
//              block and the key is the last key of that child's subtree; the 4 bytes after
//              the last entry hold the page of one more child, whose keys follow all others.
//
// The writer builds each tree bottom-up from the sorted entries: leaves filled left to
// right, then each level of interior blocks over the one below, the root last.  Blocks of
// one level share their entries evenly so that no block is left with a single entry.
//
// The reader reads the whole file (only the header and the tag headers when the entries
// are not wanted) and checks every number before using it: page numbers inside the file
// and past the tag table, counts that fit their block, key lengths and entry lengths that
// agree, trees no deeper than 64 levels, no block visited twice (so a cycle ends the
// read) and character keys in order.  Anything wrong gives nothing.

#include "core/db/Mdx.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <deque>
#include <stdexcept>
#include <string_view>
#include <unordered_set>

#include "core/db/DatabaseError.h"

namespace rv::db::mdx {

namespace {

constexpr uint32_t kPage = 512;
constexpr uint32_t kBlockPages = 2;
constexpr uint32_t kBlock = kPage * kBlockPages;
constexpr uint32_t kTagTableOffset = 544;
constexpr uint32_t kTagEntryLength = 32;
constexpr uint32_t kMaxTags = 47;
constexpr uint32_t kHeaderPages = 4;  // file header and tag table
constexpr uint32_t kBlockHeader = 8;  // entry count and the unused word
constexpr size_t kExpressionOffset = 24;
constexpr size_t kExpressionRoom = 220;  // including the terminating NUL
constexpr int kMaxCharKeyLength = 100;
constexpr int kMaxDepth = 64;

constexpr uint8_t kFormatDescending = 0x08;
constexpr uint8_t kFormatUnique = 0x40;

void put16(std::string& out, size_t at, uint32_t value) {
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t entryLengthFor(int keyLength) { return (static_cast<uint32_t>(keyLength) + 4 + 3) / 4 * 4; }

uint32_t maxKeysFor(uint32_t entryLength, uint32_t blockBytes) {
    return (blockBytes - kBlockHeader - 4) / entryLength;
}

std::string upperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return text;
}

void putDate(std::string& out, size_t at) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    out[at] = static_cast<char>(std::clamp(local.tm_year, 0, 255));
    out[at + 1] = static_cast<char>(local.tm_mon + 1);
    out[at + 2] = static_cast<char>(local.tm_mday);
}

// ---------------------------------------------------------------------------------------
// Writing

void checkTag(const TagData& tag, const std::vector<std::string>& earlierNames) {
    std::string name = upperAscii(tag.name);
    auto fail = [&](const std::string& what) {
        throw DatabaseError("Cannot write index tag \"" + tag.name + "\": " + what);
    };
    if (!storableTagName(name)) fail("a tag name has 1 to 10 characters and no control characters");
    if (std::find(earlierNames.begin(), earlierNames.end(), name) != earlierNames.end()) fail("the name is used twice");
    if (tag.keyType != 'C' && tag.keyType != 'N' && tag.keyType != 'D') fail("unknown key type");
    int maxLength = tag.keyType == 'C' ? kMaxCharKeyLength : tag.keyType == 'N' ? 12 : 8;
    if (tag.keyLength < 1 || tag.keyLength > maxLength || (tag.keyType != 'C' && tag.keyLength != maxLength))
        fail("key length " + std::to_string(tag.keyLength) + " is not allowed");
    if (tag.expression.empty() || tag.expression.size() >= kExpressionRoom ||
        tag.expression.find('\0') != std::string::npos)
        fail("the key expression must have 1 to " + std::to_string(kExpressionRoom - 1) + " characters");
    const std::string* previous = nullptr;
    for (const TagEntry& e : tag.entries) {
        if (e.key.size() != static_cast<size_t>(tag.keyLength)) fail("a key is not " + std::to_string(tag.keyLength) + " bytes long");
        if (e.recno == 0) fail("record numbers start at 1");
        if (previous && tag.keyType == 'C') {
            int order = previous->compare(e.key);
            if (tag.descending ? order < 0 : order > 0) fail("the entries are not in key order");
        }
        previous = &e.key;
    }
}

struct Child {
    uint32_t page;
    const std::string* lastKey;
};

// Splits `count` items into the fewest groups of at most `capacity`, as evenly as possible.
std::vector<size_t> groupSizes(size_t count, size_t capacity) {
    size_t groups = (count + capacity - 1) / capacity;
    std::vector<size_t> sizes(groups, count / groups);
    for (size_t i = 0; i < count % groups; ++i) ++sizes[i];
    return sizes;
}

// Writes one tag's B-tree into `file` starting at page `firstPage`; returns the root page.
uint32_t writeTree(std::string& file, uint32_t firstPage, const TagData& tag) {
    const uint32_t entryLength = entryLengthFor(tag.keyLength);
    const uint32_t maxKeys = maxKeysFor(entryLength, kBlock);
    uint32_t nextPage = firstPage;
    auto block = [&](uint32_t page) { return static_cast<size_t>(page) * kPage; };
    auto putKey = [&](size_t at, const std::string& key) { std::memcpy(&file[at], key.data(), key.size()); };

    // Leaves.
    std::vector<Child> level;
    if (tag.entries.empty()) {
        level.push_back(Child{nextPage, nullptr});  // an empty root leaf: count 0
        nextPage += kBlockPages;
        return level.front().page;
    }
    size_t next = 0;
    for (size_t size : groupSizes(tag.entries.size(), maxKeys)) {
        size_t at = block(nextPage);
        put32(file, at, static_cast<uint32_t>(size));
        for (size_t i = 0; i < size; ++i) {
            const TagEntry& e = tag.entries[next + i];
            size_t entry = at + kBlockHeader + i * entryLength;
            put32(file, entry, e.recno);
            putKey(entry + 4, e.key);
        }
        next += size;
        level.push_back(Child{nextPage, &tag.entries[next - 1].key});
        nextPage += kBlockPages;
    }
    // Interior levels: a block with c children holds c-1 entries and the trailing pointer.
    while (level.size() > 1) {
        std::vector<Child> above;
        size_t first = 0;
        for (size_t size : groupSizes(level.size(), maxKeys + 1)) {
            size_t at = block(nextPage);
            put32(file, at, static_cast<uint32_t>(size - 1));
            for (size_t i = 0; i + 1 < size; ++i) {
                size_t entry = at + kBlockHeader + i * entryLength;
                put32(file, entry, level[first + i].page);
                putKey(entry + 4, *level[first + i].lastKey);
            }
            put32(file, at + kBlockHeader + (size - 1) * entryLength, level[first + size - 1].page);
            first += size;
            above.push_back(Child{nextPage, level[first - 1].lastKey});
            nextPage += kBlockPages;
        }
        level = std::move(above);
    }
    return level.front().page;
}

// Blocks a tag's tree needs, counted the way writeTree fills them.
uint32_t treeBlocks(const TagData& tag) {
    if (tag.entries.empty()) return 1;
    const uint32_t maxKeys = maxKeysFor(entryLengthFor(tag.keyLength), kBlock);
    size_t count = (tag.entries.size() + maxKeys - 1) / maxKeys;
    size_t total = count;
    while (count > 1) {
        count = (count + maxKeys) / (maxKeys + 1);
        total += count;
    }
    return static_cast<uint32_t>(total);
}

// Tag threads: a binary search tree of the tag names in table order.
void putThreads(std::string& file, const std::vector<std::string>& names) {
    for (size_t i = 1; i < names.size(); ++i) {
        size_t node = 0;
        for (;;) {
            size_t slot = names[i] < names[node] ? 16 : 17;
            size_t at = kTagTableOffset + node * kTagEntryLength + slot;
            uint8_t child = static_cast<uint8_t>(file[at]);
            if (child == 0) {
                file[at] = static_cast<char>(i + 1);
                file[kTagTableOffset + i * kTagEntryLength + 18] = static_cast<char>(node + 1);
                break;
            }
            node = child - 1u;
        }
    }
}

std::string buildFile(const MdxContents& contents) {
    if (contents.tags.size() > kMaxTags)
        throw DatabaseError("An index file holds at most " + std::to_string(kMaxTags) + " tags");
    std::vector<std::string> names;
    for (const TagData& tag : contents.tags) {
        checkTag(tag, names);
        names.push_back(upperAscii(tag.name));
    }

    // Place every tag: its header block, then its tree.
    std::vector<uint32_t> headerPages;
    uint32_t pages = kHeaderPages;
    for (const TagData& tag : contents.tags) {
        headerPages.push_back(pages);
        pages += kBlockPages * (1 + treeBlocks(tag));
    }
    std::string file(static_cast<size_t>(pages) * kPage, '\0');

    file[0] = 2;
    putDate(file, 1);
    std::string table = upperAscii(contents.tableName).substr(0, 16);
    std::memcpy(&file[4], table.data(), table.size());
    put16(file, 20, kBlockPages);
    put16(file, 22, kBlock);
    file[24] = 1;
    file[25] = 48;
    file[26] = static_cast<char>(kTagEntryLength);
    put16(file, 28, static_cast<uint32_t>(contents.tags.size()));
    put32(file, 32, pages);
    putDate(file, 44);

    for (size_t t = 0; t < contents.tags.size(); ++t) {
        const TagData& tag = contents.tags[t];
        size_t entry = kTagTableOffset + t * kTagEntryLength;
        put32(file, entry, headerPages[t]);
        std::memcpy(&file[entry + 4], names[t].data(), names[t].size());
        file[entry + 19] = 2;
        file[entry + 20] = tag.keyType;

        uint32_t root = writeTree(file, headerPages[t] + kBlockPages, tag);
        size_t header = static_cast<size_t>(headerPages[t]) * kPage;
        uint32_t entryLength = entryLengthFor(tag.keyLength);
        put32(file, header, root);
        put32(file, header + 4, pages);
        file[header + 8] = static_cast<char>((tag.descending ? kFormatDescending : 0) | (tag.unique ? kFormatUnique : 0));
        file[header + 9] = tag.keyType;
        put16(file, header + 12, static_cast<uint32_t>(tag.keyLength));
        put16(file, header + 14, maxKeysFor(entryLength, kBlock));
        put16(file, header + 18, entryLength);
        file[header + 23] = static_cast<char>(tag.unique ? kFormatUnique : 0);
        std::memcpy(&file[header + kExpressionOffset], tag.expression.data(), tag.expression.size());
    }
    putThreads(file, names);
    return file;
}

std::string errorText(int error) { return std::strerror(error); }

// ---------------------------------------------------------------------------------------
// Reading

// The bytes of the file: all of it when the trees are read, or just the ranges asked for
// (header, tag table, tag headers) when only the tags are wanted.
class Source {
public:
    Source(int fd, size_t size, bool whole) : fd_(fd), size_(size) {
        if (whole) {
            whole_.resize(size);
            if (!readAt(whole_.data(), 0, size)) throw std::runtime_error("read failed");
            loaded_ = true;
        }
    }

    size_t size() const { return size_; }

    // The `length` bytes at `at`, or nothing when they are not all inside the file.
    std::optional<std::string_view> get(size_t at, size_t length) {
        if (at > size_ || length > size_ - at) return std::nullopt;
        if (loaded_) return std::string_view(whole_.data() + at, length);
        std::string& piece = pieces_.emplace_back(length, '\0');
        if (!readAt(piece.data(), at, length)) return std::nullopt;
        return std::string_view(piece);
    }

private:
    bool readAt(char* out, size_t at, size_t length) const {
        size_t done = 0;
        while (done < length) {
            ssize_t n = ::pread(fd_, out + done, length - done, static_cast<off_t>(at + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }

    int fd_;
    size_t size_;
    bool loaded_ = false;
    std::string whole_;
    std::deque<std::string> pieces_;
};

uint32_t u8(std::string_view b, size_t at) { return static_cast<uint8_t>(b[at]); }
uint32_t u16(std::string_view b, size_t at) { return u8(b, at) | (u8(b, at + 1) << 8); }
uint32_t u32(std::string_view b, size_t at) { return u16(b, at) | (u16(b, at + 2) << 16); }

// Text up to the first NUL of a fixed-size field.
std::string text(std::string_view field) { return std::string(field.substr(0, field.find('\0'))); }

class Reader {
public:
    explicit Reader(Source& source) : source_(source) {}

    std::optional<MdxContents> read(bool withEntries) {
        auto header = source_.get(0, static_cast<size_t>(kHeaderPages) * kPage);
        if (!header) return std::nullopt;
        const std::string_view b = *header;
        if (u8(b, 0) != 2) return std::nullopt;
        uint32_t blockPages = u16(b, 20);
        blockBytes_ = u16(b, 22);
        if (blockPages < 1 || blockPages > 32 || blockBytes_ != blockPages * kPage) return std::nullopt;
        if (u8(b, 26) != kTagEntryLength) return std::nullopt;
        uint32_t tagCount = u16(b, 28);
        if (tagCount > kMaxTags) return std::nullopt;

        MdxContents contents;
        contents.tableName = text(b.substr(4, 16));
        while (!contents.tableName.empty() && contents.tableName.back() == ' ') contents.tableName.pop_back();
        for (uint32_t t = 0; t < tagCount; ++t) {
            auto tag = readTag(b.substr(kTagTableOffset + t * kTagEntryLength, kTagEntryLength), withEntries);
            if (!tag) return std::nullopt;
            contents.tags.push_back(std::move(*tag));
        }
        return contents;
    }

private:
    // The block at a page, or nothing when the page is no block of the file.
    std::optional<std::string_view> block(uint32_t page, size_t length) {
        if (page < kHeaderPages) return std::nullopt;
        return source_.get(static_cast<size_t>(page) * kPage, length);
    }

    std::optional<TagData> readTag(std::string_view entry, bool withEntries) {
        TagData tag;
        tag.name = text(entry.substr(4, 11));
        if (tag.name.empty()) return std::nullopt;
        for (char c : tag.name)
            if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
        auto header = block(u32(entry, 0), blockBytes_);
        if (!header || header->size() < kExpressionOffset + kExpressionRoom) return std::nullopt;
        const std::string_view h = *header;

        uint32_t root = u32(h, 0);
        uint32_t format = u8(h, 8);
        tag.keyType = static_cast<char>(u8(h, 9));
        tag.keyLength = static_cast<int>(u16(h, 12));
        entryLength_ = u16(h, 18);
        tag.descending = (format & kFormatDescending) != 0;
        tag.unique = (format & kFormatUnique) != 0 || u8(h, 23) != 0;
        if (tag.keyType != 'C' && tag.keyType != 'N' && tag.keyType != 'D') return std::nullopt;
        if (tag.keyLength < 1 || tag.keyLength > 255) return std::nullopt;
        if (entryLength_ < static_cast<uint32_t>(tag.keyLength) + 4 || kBlockHeader + entryLength_ > blockBytes_)
            return std::nullopt;
        std::string_view expression = h.substr(kExpressionOffset, kExpressionRoom);
        size_t end = expression.find('\0');
        if (end == std::string_view::npos || end == 0) return std::nullopt;
        tag.expression = std::string(expression.substr(0, end));

        if (root < kHeaderPages || static_cast<size_t>(root) * kPage + blockBytes_ > source_.size()) return std::nullopt;
        if (!withEntries) return tag;
        visited_.clear();
        keyLength_ = static_cast<size_t>(tag.keyLength);
        if (!walk(root, 0, tag)) return std::nullopt;
        if (tag.keyType == 'C') {
            for (size_t i = 1; i < tag.entries.size(); ++i) {
                int order = tag.entries[i - 1].key.compare(tag.entries[i].key);
                if (tag.descending ? order < 0 : order > 0) return std::nullopt;
            }
        }
        return tag;
    }

    // Appends the entries under the block at `page` in order.
    bool walk(uint32_t page, int depth, TagData& tag) {
        if (depth > kMaxDepth) return false;
        auto data = block(page, blockBytes_);
        if (!data || !visited_.insert(page).second) return false;
        const std::string_view b = *data;
        uint32_t count = u32(b, 0);
        size_t entriesEnd = kBlockHeader + static_cast<size_t>(count) * entryLength_;
        if (count > blockBytes_ || entriesEnd > blockBytes_) return false;
        // The word after the last entry, when the block has room for one, tells leaves (0)
        // from interior blocks (the last child's page).
        uint32_t last = entriesEnd + 4 <= blockBytes_ ? u32(b, entriesEnd) : 0;
        for (uint32_t i = 0; i < count; ++i) {
            size_t entry = kBlockHeader + static_cast<size_t>(i) * entryLength_;
            uint32_t pointer = u32(b, entry);
            if (last != 0) {
                if (!walk(pointer, depth + 1, tag)) return false;
            } else {
                if (pointer == 0) return false;
                tag.entries.push_back(TagEntry{std::string(b.substr(entry + 4, keyLength_)), pointer});
            }
        }
        if (last != 0 && !walk(last, depth + 1, tag)) return false;
        return true;
    }

    Source& source_;
    uint32_t blockBytes_ = kBlock;
    uint32_t entryLength_ = 0;
    size_t keyLength_ = 0;
    std::unordered_set<uint32_t> visited_;
};

}  // namespace

bool storableTagName(std::string_view name) {
    if (name.empty() || name.size() > 10) return false;
    return std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

void arrangeEntries(TagData& tag) {
    auto& entries = tag.entries;
    if (tag.unique)
        entries.erase(std::unique(entries.begin(), entries.end(),
                                  [](const TagEntry& a, const TagEntry& b) { return a.key == b.key; }),
                      entries.end());
    if (!tag.descending) return;
    std::reverse(entries.begin(), entries.end());
    for (auto run = entries.begin(); run != entries.end();) {
        auto end = std::find_if(run, entries.end(), [&](const TagEntry& e) { return e.key != run->key; });
        std::reverse(run, end);
        run = end;
    }
}

void writeMdx(const std::filesystem::path& path, const MdxContents& contents) {
    const std::string file = buildFile(contents);
    std::filesystem::path temp = path;
    temp += ".tmp" + std::to_string(::getpid());
    auto fail = [&](const std::string& what, int error) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw DatabaseError("Cannot write the index file " + path.string() + ": " + what + ": " + errorText(error));
    };
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) fail("cannot create " + temp.filename().string(), errno);
    size_t done = 0;
    while (done < file.size()) {
        ssize_t n = ::write(fd, file.data() + done, file.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int error = n < 0 ? errno : EIO;
            ::close(fd);
            fail("write failed", error);
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) {
        int error = errno;
        ::close(fd);
        fail("flush failed", error);
    }
    if (::close(fd) != 0) fail("close failed", errno);
    if (::rename(temp.c_str(), path.c_str()) != 0) fail("rename failed", errno);
    // Make the rename itself durable.
    std::filesystem::path folder = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

std::optional<MdxContents> readMdx(const std::filesystem::path& path, bool withEntries) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::optional<MdxContents> result;
    try {
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
            Source source(fd, static_cast<size_t>(info.st_size), withEntries);
            result = Reader(source).read(withEntries);
        }
    } catch (const std::exception&) {
        result.reset();  // a read error, or no memory for an absurd file
    }
    ::close(fd);
    return result;
}

}  // namespace rv::db::mdx
