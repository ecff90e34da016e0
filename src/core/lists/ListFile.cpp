#include "core/lists/ListFile.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace rv::lists {

namespace fs = std::filesystem;

Entries parseListText(std::string_view bytes) {
    Entries entries;
    std::size_t pos = 0;
    const std::size_t size = bytes.size();
    while (pos < size) {
        std::size_t end = pos;
        while (end < size && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        const std::string_view line = bytes.substr(pos, std::min(end - pos, kMaxEntryLength));
        if (line.find_first_not_of(' ') != std::string_view::npos) entries.emplace_back(line);
        // One line end: CR LF, LF or CR.
        if (end < size) {
            if (bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n') ++end;
            ++end;
        }
        pos = end;
    }
    return entries;
}

std::string formatListText(const Entries& entries) {
    std::string text;
    for (const auto& entry : entries) {
        text += entry;
        text += "\r\n";
    }
    return text;
}

Entries readListFile(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    std::string bytes;
    struct stat info{};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    char buffer[65536];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ok ? parseListText(bytes) : Entries{};
}

namespace {

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

bool writeListFile(const fs::path& file, const Entries& entries) {
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return false;
    // A path naming a folder (or anything but a plain file) is not a list file to replace.
    const auto status = fs::status(file, ec);
    if (fs::exists(status) && !fs::is_regular_file(status)) return false;

    // The new file keeps the permissions of the one it replaces.
    mode_t mode = 0666;
    struct stat old{};
    const bool hadOld = ::stat(file.c_str(), &old) == 0;
    if (hadOld) mode = old.st_mode & 07777;

    std::random_device seed;
    fs::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = folder / ("." + file.filename().string() + "." + std::to_string(seed()) + ".tmp");
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;

    bool ok = writeAll(fd, formatListText(entries));
    if (ok && hadOld) ok = ::fchmod(fd, mode) == 0;
    if (ok) ok = ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (ok) ok = ::rename(temp.c_str(), file.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace rv::lists
