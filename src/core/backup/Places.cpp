#include "core/backup/Places.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

namespace rv::backup {

namespace fs = std::filesystem;

namespace {

// The mount table's octal escapes (\040 blank, \011 tab, \012 new line, \134 backslash).
std::string unescape(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view digits = field.substr(i + 1, 3);
            if (digits.size() == 3 && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                out += char((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool under(std::string_view path, std::string_view folder) {
    return path.size() > folder.size() && path.substr(0, folder.size()) == folder;
}

}  // namespace

std::vector<fs::path> removableMedia(std::string_view mountTable) {
    std::vector<fs::path> out;
    std::size_t start = 0;
    while (start < mountTable.size()) {
        std::size_t end = mountTable.find('\n', start);
        if (end == std::string_view::npos) end = mountTable.size();
        const std::string_view line = mountTable.substr(start, end - start);
        start = end + 1;
        // The second blank-separated field is the mount point.
        const std::size_t first = line.find(' ');
        if (first == std::string_view::npos) continue;
        std::size_t second = line.find(' ', first + 1);
        if (second == std::string_view::npos) second = line.size();
        const std::string point = unescape(line.substr(first + 1, second - first - 1));
        if (!under(point, "/media/") && !under(point, "/run/media/")) continue;
        if (std::find(out.begin(), out.end(), fs::path(point)) == out.end()) out.emplace_back(point);
    }
    return out;
}

std::vector<fs::path> removableMedia() {
    std::ifstream in("/proc/self/mounts", std::ios::binary);
    const std::string table(std::istreambuf_iterator<char>(in), {});
    return removableMedia(table);
}

}  // namespace rv::backup
