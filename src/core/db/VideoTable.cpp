#include <fcntl.h>
#include <unistd.h>

#include "core/db/VideoTable.h"

#include "core/db/DbfFormat.h"
#include "core/db/FileLock.h"
#include "core/db/Table.h"

namespace rv::db {

namespace fs = std::filesystem;

bool DBaseInUse(const fs::path& dbfPath) {
    std::error_code ec;
    Table check;
    check.setPath(fs::absolute(dbfPath, ec));
    int fd = ::open(check.path().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;  // nobody can hold a file that is not there
    bool held = false;
    try {
        held = lock::heldElsewhere(fd, lock::kPresence, lock::Mode::Write);
    } catch (const DatabaseError&) {
        held = false;
    }
    ::close(fd);
    return held;
}

void RemoveMDXByte(const fs::path& dbfPath) {
    int fd = ::open(dbfPath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return;
    // Only a dBase header is touched: byte 28 of any other file is somebody's data.
    char head[dbf::kFixedHeaderLength];
    if (::pread(fd, head, sizeof head, 0) == ssize_t(sizeof head) && dbf::looksLikeTable(std::string_view(head, sizeof head)) &&
        head[dbf::kMdxFlagOffset] != 0) {
        char zero = 0;
        if (::pwrite(fd, &zero, 1, dbf::kMdxFlagOffset) == 1) ::fdatasync(fd);
    }
    ::close(fd);
}

std::optional<std::string> videoTableProblem(const fs::path& dbfPath) {
    std::error_code ec;
    Table check;
    check.setPath(fs::absolute(dbfPath, ec));
    check.setReadOnly(true);
    if (!fs::exists(check.mdxPath(), ec)) RemoveMDXByte(check.path());
    check.open();
    bool valid = check.fieldCount() == kFieldCount;
    for (int i = 0; valid && i < kFieldCount; ++i) valid = equalsNoCase(check.fieldName(i), kFields[size_t(i)].name);
    check.close();
    if (valid) return std::nullopt;
    return std::string(kNotVideoTableMessage);
}

std::optional<std::string> makeNewVideoTable(const fs::path& dbfPath) {
    std::error_code ec;
    if (fs::exists(dbfPath, ec) && DBaseInUse(dbfPath))
        return "The table \"" + dbfPath.string() + "\" is currently in use by another program.  New table creation will be aborted.";
    Table::createVideoTable(dbfPath);
    if (!fs::exists(dbfPath, ec)) throw DatabaseError("The table \"" + dbfPath.string() + "\" could not be created.");
    return std::nullopt;
}

}  // namespace rv::db
