#include "core/db/TableFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/db/DatabaseError.h"
#include "core/db/DbfFormat.h"
#include "core/db/FileLock.h"

namespace rv::db {

namespace fs = std::filesystem;

std::string inQuotes(const fs::path& p) {
    std::string quoted = "\"";
    quoted += p.string();
    quoted += '"';
    return quoted;
}

void systemError(const std::string& what, const fs::path& p) {
    throw DatabaseError(what + " " + inQuotes(p) + " failed: " + std::strerror(errno));
}

void writeAll(int fd, const char* data, size_t size, off_t at, const fs::path& p) {
    while (size > 0) {
        ssize_t n = ::pwrite(fd, data, size, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) systemError("Writing to the table", p);
        data += n;
        size -= size_t(n);
        at += n;
    }
}

void readAll(int fd, char* data, size_t size, off_t at, const fs::path& p) {
    while (size > 0) {
        ssize_t n = ::pread(fd, data, size, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) systemError("Reading the table", p);
        data += n;
        size -= size_t(n);
        at += n;
    }
}

void syncDirectory(const fs::path& dir) {
    int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return;
    ::fsync(dfd);
    ::close(dfd);
}

std::string changedMessage(const fs::path& p) {
    return "The database file " + inQuotes(p) +
           " was changed by another program while it was open: it is now shorter than the records it held. "
           "Close the database and open it again.";
}

// ---- opening -----------------------------------------------------------------------------

void TableFile::open(const fs::path& path, bool exclusive, bool readOnly) {
    close();
    path_ = path;
    readOnly = readOnly && !exclusive;
    for (int attempt = 0;; ++attempt) {
        fd_ = ::open(path.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
        forWriting_ = fd_ >= 0 && !readOnly;
        if (fd_ < 0 && !readOnly && !exclusive && (errno == EACCES || errno == EROFS)) {
            fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            forWriting_ = false;
        }
        if (fd_ < 0) {
            if (errno == ENOENT) throw DatabaseError("The table file " + inQuotes(path) + " does not exist.");
            if (exclusive && (errno == EACCES || errno == EROFS))
                throw DatabaseError("The table " + inQuotes(path) +
                                    " cannot be opened for exclusive use: the file is read-only.");
            systemError("Opening the table", path);
        }
        bool locked = lock::tryLock(fd_, lock::kPresence, exclusive ? lock::Mode::Write : lock::Mode::Read);
        if (!locked) {
            ::close(fd_);
            fd_ = -1;
            if (exclusive)
                throw TableInUseError("The table " + inQuotes(path) +
                                      " is in use by another program or user, so it cannot be opened for "
                                      "exclusive use.");
            throw TableInUseError("The table " + inQuotes(path) +
                                  " is opened for exclusive use by another program or user.");
        }
        // A packer may have renamed a new file over the name between our open and lock.
        struct stat a {}, b {};
        if (::fstat(fd_, &a) == 0 && ::stat(path.c_str(), &b) == 0 && a.st_ino == b.st_ino && a.st_dev == b.st_dev)
            break;
        ::close(fd_);
        fd_ = -1;
        if (attempt == 10) throw DatabaseError("The table " + inQuotes(path) + " keeps being replaced.");
    }
    exclusive_ = exclusive;
}

void TableFile::replaceWith(int fd) {
    unmap();
    if (header_) ::munmap(header_, dbf::kFixedHeaderLength);
    header_ = nullptr;
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
    forWriting_ = true;
    exclusive_ = true;
}

void TableFile::close() {
    unmap();
    if (header_) ::munmap(header_, dbf::kFixedHeaderLength);
    header_ = nullptr;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    forWriting_ = exclusive_ = false;
}

// ---- mapping -----------------------------------------------------------------------------
// The file is mapped for reading, with room to grow: the span past the end becomes readable
// as appends extend the file, so appends do not remap each time.

void TableFile::setRecordLayout(uint32_t headerLength, uint32_t recordLength) {
    headerLength_ = headerLength;
    recordLength_ = std::max<uint32_t>(recordLength, 1);
    checkedRecord_ = 0;
}

size_t TableFile::size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) systemError("Reading the table", path_);
    return size_t(st.st_size);
}

void TableFile::unmap() const {
    if (map_) ::munmap(const_cast<char*>(map_), mapSpan_);
    map_ = nullptr;
    mapLength_ = mapSpan_ = 0;
    checkedRecord_ = 0;
}

void TableFile::remap() const {
    const size_t now = size();
    if (map_ && now <= mapSpan_) {
        mapLength_ = now;
        return;
    }
    unmap();
    if (now == 0) return;
    const size_t span = now + std::max<size_t>(now / 4, size_t(1) << 20);
    void* p = ::mmap(nullptr, span, PROT_READ, MAP_SHARED, fd_, 0);
    if (p == MAP_FAILED) systemError("Mapping the table", path_);
    map_ = static_cast<const char*>(p);
    mapLength_ = now;
    mapSpan_ = span;
}

std::string_view TableFile::mapped() const {
    remap();
    return map_ ? std::string_view(map_, mapLength_) : std::string_view();
}

void TableFile::changed() const { throw DatabaseError(changedMessage(path_)); }

const char* TableFile::record(int r) const {
    const size_t end = size_t(recordOffset(r)) + recordLength_;
    if (r != checkedRecord_ || end > mapLength_) {
        remap();
        if (end > mapLength_) changed();
        checkedRecord_ = r;
    }
    return map_ + recordOffset(r);
}

int TableFile::holeRecords(int r, int to) const {
    const off_t at = recordOffset(r);
    off_t data = ::lseek(fd_, at, SEEK_DATA);
    if (data < 0) {
        if (errno != ENXIO) return 0;  // no hole information: read
        data = off_t(size());          // a hole up to the end (or nothing at all past it)
    }
    if (data <= at) return 0;
    const int inHole = int(std::min<off_t>((data - at) / off_t(recordLength_), off_t(to - r + 1)));
    if (inHole > 0 && size_t(recordOffset(r + inHole)) > size()) changed();
    return inHole;
}

bool TableFile::readBlock(char* into, size_t bytes, off_t at) const {
    size_t got = 0;
    while (got < bytes) {
        ssize_t k = ::pread(fd_, into + got, bytes - got, at + off_t(got));
        if (k < 0 && errno == EINTR) continue;
        if (k < 0) systemError("Reading the table", path_);
        if (k == 0) return false;
        got += size_t(k);
    }
    return true;
}

void TableFile::mapHeader() {
    if (header_ || !forWriting_) return;
    void* p = ::mmap(nullptr, dbf::kFixedHeaderLength, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
    header_ = p == MAP_FAILED ? nullptr : static_cast<char*>(p);
}

}  // namespace rv::db
