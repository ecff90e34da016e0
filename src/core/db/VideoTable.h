#pragma once
// The main window's direct dealings with table files, apart from any open table: whether
// another holder has a table, clearing the production-index flag, checking that a file is a
// video table, and creating a new one.

#include <filesystem>
#include <optional>
#include <string>

namespace rv::db {

// True when another program, user or copy of the program has the table open: the table
// cannot be opened exclusively because of another holder.  A missing or damaged file is not
// "in use" (its own open raises the real error).
bool DBaseInUse(const std::filesystem::path& dbfPath);

// Clears the production-index flag (header byte 28) of a table file.  Does nothing, and says
// nothing, when the file cannot be opened for writing or does not look like a dBase table.
void RemoveMDXByte(const std::filesystem::path& dbfPath);

// The message shown when a file is not a video table.
inline constexpr const char* kNotVideoTableMessage =
    "This DBase file was not created with Reelvane Videos 97.  It cannot be opened.  You may, however, "
    "import data from this file using the import function.";

// The core of CheckDBaseFormat: clears the production-index flag when the .MDX is missing,
// opens the table read-only and checks its fields: exactly the forty catalogue names in
// catalogue order, any letter case (types and widths are not examined).  Nothing when it is
// a video table, else kNotVideoTableMessage.  A file that is no dBase table at all raises
// DatabaseError.
std::optional<std::string> videoTableProblem(const std::filesystem::path& dbfPath);

// The core of MakeNewDB: refuses when another holder has an existing file at the path (the
// message "The table "<path>" is currently in use by another program.  New table creation
// will be aborted."), otherwise creates an empty video table there.  Nothing on success.
std::optional<std::string> makeNewVideoTable(const std::filesystem::path& dbfPath);

}  // namespace rv::db
