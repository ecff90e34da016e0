#pragma once
// The default list files shipped with the program, and the first-start seeding of the
// program data folder with them.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rv::lists {

// The folder holding the shipped list files: "../share/reelvane/lists" beside the running
// executable (an installed layout) when it exists, else "lists" in the source tree's data
// folder; nothing when neither exists.
std::optional<std::filesystem::path> shippedListsFolder();

// Copies every default list file (the fifteen *.LST, OSCAR.LST, MISC.LST) that the program
// folder lacks (in any letter case) from `shipped`; files already there are never touched.
// Creates the program folder when missing.  Answers the names copied.
std::vector<std::string> seedDefaultLists(const std::filesystem::path& programDir,
                                          const std::filesystem::path& shipped);
// The same from shippedListsFolder(); nothing is copied when there is no shipped folder.
std::vector<std::string> seedDefaultLists(const std::filesystem::path& programDir);

}  // namespace rv::lists
