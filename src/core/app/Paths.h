#pragma once
// Where the program keeps its files, and the file-name habits of collections copied over
// from Windows (names in any letter case, companion files named after the table).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace rv::app {

// The program data folder: the default database MASTER.DBF, the default list files, the
// report definitions file, help.  REELVANE_PROGRAM_DIR when set, else
// $XDG_DATA_HOME/reelvane, else ~/.local/share/reelvane.  Not created here.
std::filesystem::path programDir();

// The configuration folder holding RVLVID.INI.  REELVANE_CONFIG_DIR when set, else
// $XDG_CONFIG_HOME/reelvane, else ~/.config/reelvane.  Not created here.
std::filesystem::path configDir();

// The program configuration file: RVLVID.INI in configDir(), or a file of that name in
// another letter case when only such a one exists there.
std::filesystem::path programConfigFile();

// folder/name when that file exists; otherwise the first entry of the folder (in name
// order) whose name equals `name` without regard to ASCII letter case; otherwise
// folder/name, so the result can also be used to create the file.
std::filesystem::path findFileNoCase(const std::filesystem::path& folder, std::string_view name);

// findFileNoCase over the folder and file name of a full path.
std::filesystem::path resolveNoCase(const std::filesystem::path& file);

// The base path of a table: its folder and its file name up to the FIRST period
// ("/v/MY.VIDEOS.DBF" gives "/v/MY").  A name without a period is kept whole.
std::filesystem::path basePath(const std::filesystem::path& tablePath);

// A companion file of a table: base path + extension (".INI", ".MDX", ".001", ...),
// found without regard to letter case when the exact name is missing.
std::filesystem::path companionFile(const std::filesystem::path& tablePath, std::string_view extension);

// The per-database configuration file: companionFile(table, ".INI").
std::filesystem::path databaseConfigFile(const std::filesystem::path& tablePath);

// The process's current folder as it was at the first call (call it early at start-up),
// as text without a trailing separator; the root folder stays "/".
const std::string& startFolder();

// The text form used for a folder in the settings: no trailing separator, root kept as "/".
std::string folderText(const std::filesystem::path& folder);

// The refusal for a file to be created in a folder that does not exist ("The folder ... does
// not exist. ..."), or nothing when the folder exists (a bare file name means the current
// folder).
std::optional<std::string> missingFolderProblem(const std::string& path);

}  // namespace rv::app
