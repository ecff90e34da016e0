#include "core/backup/FileCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <system_error>
#include <vector>

#include "core/db/FieldCatalog.h"

namespace rv::backup {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlockSize = 1 << 16;

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// The permission bits the copy gets: those of the file it replaces, else those of any newly
// created file (0666 less the process's umask).
mode_t copyMode(const fs::path& destination) {
    struct stat st {};
    if (::stat(destination.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return 0666 & ~mask;
}

// Makes a rename within a folder durable.
void syncFolder(const fs::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::mutex& probeMutex() {
    static std::mutex m;
    return m;
}

FreeSpaceProbe& installedProbe() {
    static FreeSpaceProbe probe;
    return probe;
}

std::optional<std::uintmax_t> fileSize(const fs::path& p) {
    std::error_code ec;
    if (!fs::is_regular_file(p, ec)) return std::nullopt;
    std::uintmax_t size = fs::file_size(p, ec);
    if (ec) return std::nullopt;
    return size;
}

fs::path folderOf(const fs::path& file) {
    fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

}  // namespace

bool copyFile(const fs::path& source, const fs::path& destination) {
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return false;
    }
    const fs::path folder = folderOf(destination);
    std::string temp = (folder / ("." + destination.filename().string() + ".XXXXXX")).string();
    int out = ::mkostemp(temp.data(), O_CLOEXEC);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = ::fchmod(out, copyMode(destination)) == 0;
    // The kernel copies without the data passing through here where it can; where it cannot
    // (another file system type, an old kernel) the blocks are read and written.
    bool byBlocks = false;
    while (ok) {
        ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, std::size_t(1) << 30, 0);
        if (n > 0) continue;
        if (n == 0) break;
        if (errno == EINTR) continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) {
            byBlocks = true;
            break;
        }
        ok = false;
    }
    std::vector<char> block(byBlocks ? kBlockSize : 0);
    while (ok && byBlocks) {
        ssize_t n = ::read(in, block.data(), block.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
        } else if (n == 0) {
            break;
        } else {
            ok = writeAll(out, block.data(), std::size_t(n));
        }
    }
    ok = ok && ::fsync(out) == 0;
    ok = ::close(out) == 0 && ok;
    ::close(in);
    if (ok) ok = ::rename(temp.c_str(), destination.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec) && !ec) return true;
    auto full = [](const fs::path& p) {
        std::error_code e;
        fs::path absolute = fs::absolute(p, e);
        if (e) absolute = p;
        fs::path canonical = fs::weakly_canonical(absolute, e);
        return (e ? absolute.lexically_normal() : canonical).string();
    };
    return rv::db::equalsNoCase(full(a), full(b));
}

std::optional<std::uintmax_t> freeSpace(const fs::path& folder) {
    {
        std::lock_guard lock(probeMutex());
        if (installedProbe()) return installedProbe()(folder);
    }
    std::error_code ec;
    fs::space_info info = fs::space(folder, ec);
    if (ec || info.available == static_cast<std::uintmax_t>(-1)) return std::nullopt;
    return info.available;
}

FreeSpaceProbe setFreeSpaceProbe(FreeSpaceProbe probe) {
    std::lock_guard lock(probeMutex());
    FreeSpaceProbe previous = std::move(installedProbe());
    installedProbe() = std::move(probe);
    return previous;
}

bool fitsOnDestination(const fs::path& source, const fs::path& destination) {
    std::optional<std::uintmax_t> free = freeSpace(folderOf(destination));
    if (!free) return true;
    const std::uintmax_t needed = fileSize(source).value_or(0);
    const std::uintmax_t replaced = fileSize(destination).value_or(0);
    return *free + replaced >= needed;
}

}  // namespace rv::backup
