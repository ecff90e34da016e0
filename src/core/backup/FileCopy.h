#pragma once
// The file copy and the free-space test that backup and restore share.
//
// A copy never destroys the file it replaces before the new one is whole: it writes a
// temporary file in the destination folder, flushes it to disk and renames it over the
// destination.  A copy that fails at any moment (disk full, medium removed, read error)
// leaves the previous destination as it was and no temporary file behind.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace rv::backup {

// Copies source to destination as described above.  False when the source cannot be read,
// the destination folder cannot take the file, or anything fails on the way.
bool copyFile(const std::filesystem::path& source, const std::filesystem::path& destination);

// True when the two paths name the same file: the same file on disk (hard links included),
// or the same full path once symbolic links and "." / ".." are resolved, compared without
// regard to letter case.  Neither file needs to exist.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// The free space (bytes an unprivileged writer may use) of the file system holding a folder,
// or nothing when it cannot be found out.
using FreeSpaceProbe = std::function<std::optional<std::uintmax_t>(const std::filesystem::path& folder)>;
std::optional<std::uintmax_t> freeSpace(const std::filesystem::path& folder);
// Replaces the probe freeSpace() asks (tests use it to stand for a small medium); an empty
// probe puts the file system's own figure back.  Answers the probe it replaces.
FreeSpaceProbe setFreeSpaceProbe(FreeSpaceProbe probe);

// The free-space test: the copy fits when the free space of the destination's file system
// plus the size of the destination file (when one is already there, as it is about to be
// replaced) is at least the size of the source.  When the free space cannot be found out the
// test passes and the copy itself reports any failure.
bool fitsOnDestination(const std::filesystem::path& source, const std::filesystem::path& destination);

}  // namespace rv::backup
