#include "core/app/Paths.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "core/db/FieldCatalog.h"

namespace rv::app {

namespace fs = std::filesystem;

namespace {

// A variable's value when it is set and not empty.
const char* envValue(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

fs::path homeDir() {
    if (const char* home = envValue("HOME")) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    std::error_code ec;
    return fs::current_path(ec);
}

// The override when set; else $XDG_<kind>_HOME/reelvane (only an absolute value counts, as
// the XDG rules say); else ~/<fallback>/reelvane.
fs::path userDir(const char* override, const char* xdgVariable, const char* fallback) {
    if (const char* dir = envValue(override)) return dir;
    if (const char* xdg = envValue(xdgVariable); xdg && fs::path(xdg).is_absolute()) return fs::path(xdg) / "reelvane";
    return homeDir() / fallback / "reelvane";
}

}  // namespace

fs::path programDir() { return userDir("REELVANE_PROGRAM_DIR", "XDG_DATA_HOME", ".local/share"); }

fs::path configDir() { return userDir("REELVANE_CONFIG_DIR", "XDG_CONFIG_HOME", ".config"); }

fs::path programConfigFile() { return findFileNoCase(configDir(), "RVLVID.INI"); }

fs::path findFileNoCase(const fs::path& folder, std::string_view name) {
    fs::path exact = folder / fs::path(std::string(name));
    std::error_code ec;
    if (fs::exists(exact, ec)) return exact;
    std::vector<std::string> matches;
    const fs::path dir = folder.empty() ? fs::path(".") : folder;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (rv::db::equalsNoCase(entry, name)) matches.push_back(std::move(entry));
    }
    if (matches.empty()) return exact;
    return folder / *std::min_element(matches.begin(), matches.end());
}

fs::path resolveNoCase(const fs::path& file) {
    return findFileNoCase(file.parent_path(), file.filename().string());
}

fs::path basePath(const fs::path& tablePath) {
    std::string name = tablePath.filename().string();
    if (auto dot = name.find('.'); dot != std::string::npos) name.erase(dot);
    return tablePath.parent_path() / name;
}

fs::path companionFile(const fs::path& tablePath, std::string_view extension) {
    fs::path base = basePath(tablePath);
    return findFileNoCase(base.parent_path(), base.filename().string() + std::string(extension));
}

fs::path databaseConfigFile(const fs::path& tablePath) { return companionFile(tablePath, ".INI"); }

std::string folderText(const fs::path& folder) {
    std::string text = folder.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

const std::string& startFolder() {
    static const std::string folder = [] {
        std::error_code ec;
        fs::path current = fs::current_path(ec);
        return ec ? std::string(".") : folderText(current);
    }();
    return folder;
}

std::optional<std::string> missingFolderProblem(const std::string& path) {
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty()) return std::nullopt;  // the current folder
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return std::nullopt;
    return "The folder \"" + folder.string() + "\" does not exist.  Choose a database file in an existing folder.";
}

}  // namespace rv::app
