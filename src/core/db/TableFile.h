#pragma once
// One open table file for the table engine: the descriptor with its presence lock, the file
// mapped for reading the records one at a time, the header's first bytes mapped for writing,
// and passes over many records that read the file with pread.
//
// Another program may shorten the file while it is open.  Every record is looked up against
// the file's size (checked again whenever a different record is asked for) and passes check
// each block they read, so a shrunken file raises DatabaseError (changedMessage) instead of a
// bus error.  Nothing is read in ahead: a page comes into memory when a record on it is
// looked at, and pages read by a pass are not kept mapped, so the memory of an open table
// grows with the records shown, not with the file.
//
// The locks are FileLock.h's: a read lock on the presence byte for a shared open, a write
// lock for an exclusive one.

#include <sys/types.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace rv::db {

// "<path>" in double quotes, as messages name files.
std::string inQuotes(const std::filesystem::path& p);
// Raises DatabaseError "<what> "<path>" failed: <errno text>".
[[noreturn]] void systemError(const std::string& what, const std::filesystem::path& p);
// pwrite/pread of the whole buffer (retrying short transfers); DatabaseError on failure.
void writeAll(int fd, const char* data, size_t size, off_t at, const std::filesystem::path& p);
void readAll(int fd, char* data, size_t size, off_t at, const std::filesystem::path& p);
// Makes a rename or a new name in the folder durable.
void syncDirectory(const std::filesystem::path& dir);
// The message of a table file that became shorter than the records an open table counts.
std::string changedMessage(const std::filesystem::path& p);

class TableFile {
public:
    TableFile() = default;
    ~TableFile() { close(); }
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    // Opens the file and takes the presence lock: shared (read lock) or exclusive (write
    // lock).  A shared open of a file that cannot be written falls back to reading only.
    // Raises DatabaseError for a missing file, TableInUseError when the lock is held.
    void open(const std::filesystem::path& path, bool exclusive, bool readOnly);
    // Takes over an open descriptor that already holds the exclusive presence lock (the file a
    // pack has just written and renamed into place), closing the file held so far.
    void replaceWith(int fd);
    void close();

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    bool openedForWriting() const { return forWriting_; }
    bool exclusive() const { return exclusive_; }
    const std::filesystem::path& path() const { return path_; }

    // ---- Records ----
    void setRecordLayout(uint32_t headerLength, uint32_t recordLength);
    size_t recordLength() const { return recordLength_; }
    off_t recordOffset(int r) const { return off_t(headerLength_) + off_t(r - 1) * off_t(recordLength_); }
    // The file's size now (fstat).
    size_t size() const;
    // The mapping brought up to the file's size; the whole file as it is mapped.
    std::string_view mapped() const;
    // Record r's bytes in the mapping; DatabaseError when the file no longer holds them.
    const char* record(int r) const;
    // Calls fn(r, bytes) for records from..to in order, reading the file in large blocks
    // with pread.  Holes of a sparse file are not read; their records are all zero bytes.
    template <class Fn>
    void forEachRecord(int from, int to, Fn&& fn) const;
    [[noreturn]] void changed() const;

    // ---- The header's first bytes, mapped for writing (nullptr when not writable) ----
    // The page is the file's own page in the page cache, so a store is in the file as soon as
    // it is made, as with a write.
    void mapHeader();
    char* header() const { return header_; }

private:
    void remap() const;
    void unmap() const;
    // Skips the records of [r, to] lying wholly inside a hole starting at r; how many.
    int holeRecords(int r, int to) const;
    bool readBlock(char* into, size_t bytes, off_t at) const;

    std::filesystem::path path_;
    int fd_ = -1;
    bool forWriting_ = false;
    bool exclusive_ = false;
    uint32_t headerLength_ = 0;
    uint32_t recordLength_ = 1;
    mutable const char* map_ = nullptr;
    mutable size_t mapLength_ = 0;  // the file size last seen; bytes below it may be touched
    mutable size_t mapSpan_ = 0;    // the mapping, with room for the file to grow
    mutable int checkedRecord_ = 0; // the record whose bytes were last seen inside the file
    char* header_ = nullptr;
};

template <class Fn>
void TableFile::forEachRecord(int from, int to, Fn&& fn) const {
    if (from > to) return;
    const size_t rl = recordLength_;
    const size_t perBlock = std::max<size_t>(1, (size_t(1) << 20) / rl);
    std::string block(perBlock * rl, '\0');
    const std::string zeros(rl, '\0');
    int r = from;
    while (r <= to) {
        if (int hole = holeRecords(r, to); hole > 0) {
            for (int k = 0; k < hole; ++k, ++r) fn(r, zeros.data());
            continue;
        }
        const int n = int(std::min<size_t>(perBlock, size_t(to - r + 1)));
        if (!readBlock(block.data(), size_t(n) * rl, recordOffset(r))) changed();
        for (int k = 0; k < n; ++k, ++r) fn(r, block.data() + size_t(k) * rl);
    }
}

}  // namespace rv::db
