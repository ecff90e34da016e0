#include "core/db/FileLock.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "core/db/DatabaseError.h"

namespace rv::db::lock {

namespace {

struct flock region(off_t at, short type) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = at;
    fl.l_len = 1;
    fl.l_pid = 0;  // required for open-file-description locks
    return fl;
}

short typeOf(Mode mode) { return mode == Mode::Read ? F_RDLCK : F_WRLCK; }

[[noreturn]] void fail(const char* what) {
    throw DatabaseError(std::string("The table file could not be locked (") + what + "): " + std::strerror(errno));
}

}  // namespace

bool tryLock(int fd, off_t at, Mode mode) {
    struct flock fl = region(at, typeOf(mode));
    if (fcntl(fd, F_OFD_SETLK, &fl) == 0) return true;
    if (errno == EAGAIN || errno == EACCES) return false;
    fail("F_OFD_SETLK");
}

void waitLock(int fd, off_t at, Mode mode) {
    struct flock fl = region(at, typeOf(mode));
    while (fcntl(fd, F_OFD_SETLKW, &fl) != 0)
        if (errno != EINTR) fail("F_OFD_SETLKW");
}

void unlock(int fd, off_t at) {
    struct flock fl = region(at, F_UNLCK);
    fcntl(fd, F_OFD_SETLK, &fl);
}

bool heldElsewhere(int fd, off_t at, Mode mode) {
    struct flock fl = region(at, typeOf(mode));
    if (fcntl(fd, F_OFD_GETLK, &fl) != 0) fail("F_OFD_GETLK");
    return fl.l_type != F_UNLCK;
}

}  // namespace rv::db::lock
