#include "core/lists/DefaultLists.h"

#include "core/app/Paths.h"
#include "core/lists/DataLists.h"

namespace rv::lists {

namespace fs = std::filesystem;

#ifndef REELVANE_DATA_DIR
#define REELVANE_DATA_DIR ""
#endif

std::optional<fs::path> shippedListsFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path installed = exe.parent_path().parent_path() / "share" / "reelvane" / "lists";
        if (fs::is_directory(installed, ec)) return installed;
    }
    const fs::path source = fs::path(REELVANE_DATA_DIR) / "lists";
    if (!std::string_view(REELVANE_DATA_DIR).empty() && fs::is_directory(source, ec)) return source;
    return std::nullopt;
}

std::vector<std::string> seedDefaultLists(const fs::path& programDir, const fs::path& shipped) {
    std::vector<std::string> copied;
    std::error_code ec;
    fs::create_directories(programDir, ec);
    for (const auto& def : kLists) {
        const std::string name(def.defaultFile);
        if (fs::exists(app::resolveNoCase(programDir / name), ec)) continue;
        const fs::path source = app::resolveNoCase(shipped / name);
        if (!fs::is_regular_file(source, ec)) continue;
        if (writeListFile(programDir / name, readListFile(source))) copied.push_back(name);
    }
    return copied;
}

std::vector<std::string> seedDefaultLists(const fs::path& programDir) {
    const auto shipped = shippedListsFolder();
    if (!shipped) return {};
    return seedDefaultLists(programDir, *shipped);
}

}  // namespace rv::lists
