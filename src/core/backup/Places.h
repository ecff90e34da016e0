#pragma once
// The places a backup can go to.  Drives of a Windows machine correspond here to mounted
// file systems: the home folder, and removable media, which desktops mount under /media
// (/media/<user>/<label>) or /run/media (/run/media/<user>/<label>).

#include <filesystem>
#include <string_view>
#include <vector>

namespace rv::backup {

// The mount points under /media or /run/media in the text of a mount table
// (/proc/self/mounts: "device mountpoint type options 0 0" lines, blanks in names written
// as \040), in table order, each once.
std::vector<std::filesystem::path> removableMedia(std::string_view mountTable);
// The same for the running system's mount table.
std::vector<std::filesystem::path> removableMedia();

}  // namespace rv::backup
