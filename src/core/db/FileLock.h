#pragma once
// Open-file-description locks (F_OFD_SETLK) on a table file.  They belong to one open of the
// file, so two opens in the same process exclude each other just as two processes do, and
// they vanish when the file is closed (also when the process dies).
//
// The locked bytes lie far beyond any real table size, so they never stop another program
// from reading or writing the data itself:
//   presence  - every holder keeps a read lock on it; an exclusive holder a write lock;
//   append    - taken for writing while a holder appends a record and moves the count, for
//               reading while a holder reads the header;
//   record r  - taken for writing while a holder edits or deletes record r.

#include <sys/types.h>

namespace rv::db::lock {

inline constexpr off_t kBase = off_t(1) << 62;
inline constexpr off_t kPresence = kBase;
inline constexpr off_t kAppend = kBase + 1;
inline off_t recordByte(int recNo) { return kBase + 16 + off_t(recNo); }

enum class Mode { Read, Write };

// Takes the lock when no other open holds a conflicting one; false when one does.  Other
// failures raise DatabaseError.
bool tryLock(int fd, off_t at, Mode mode);
// Waits for the lock (the holders keep it only for a few system calls).
void waitLock(int fd, off_t at, Mode mode);
void unlock(int fd, off_t at);
// True when another open holds a lock that would conflict with `mode`.
bool heldElsewhere(int fd, off_t at, Mode mode);

// Holds a waited-for lock for one scope.
class Guard {
public:
    Guard(int fd, off_t at, Mode mode) : fd_(fd), at_(at) { waitLock(fd, at, mode); }
    ~Guard() { unlock(fd_, at_); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    int fd_;
    off_t at_;
};

}  // namespace rv::db::lock
