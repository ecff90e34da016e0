#pragma once
// Databases of the two earlier versions of the program: V2LOG.DBF (versions 2.x, 29 fields)
// and VLOG.DBF (versions 1.x, 26 fields) in the program folder, recognised by their field
// names, converted by appending all their records to the current video table.
//
// A conversion never leaves half its records behind: every record of the old table is read
// and checked against the video table's fields before anything is appended, then all are
// appended and the table is flushed to disk, and only then may the old file be deleted.  A
// value the video table cannot take (a text in Year) stops the conversion with nothing
// appended, so the old table can be converted again once it is put right.

#include <filesystem>
#include <functional>
#include <string>

#include "core/db/Date.h"

namespace rv::db {

class Table;

inline constexpr const char* kVersion2File = "V2LOG.DBF";
inline constexpr const char* kVersion1File = "VLOG.DBF";

// The questions (title "Convert", Yes/No).
inline constexpr const char* kConvertTitle = "Convert";
inline constexpr const char* kConvertVersion2Question =
    "A database from a previous version (2.X) has been detected.  Would you like to convert it now?  NOTE: After "
    "conversion the old file will be deleted.  You may wish to make a copy of \"V2LOG.DBF\" first.";
inline constexpr const char* kConvertVersion1Question =
    "A database from a previous version (1.X) has been detected.  Would you like to convert it now?  NOTE: After "
    "conversion the old file will be deleted.  You may wish to make a copy of \"VLOG.DBF\" first.";

// True when the file is a table of that version: exactly 29 (26) fields whose names from the
// second on are those of the version, in any letter case; the first field is not examined.
// A missing or damaged file, or one that is no dBase table, is not.  Clears the file's
// production-index flag when its .MDX is missing, as the opening check of a database does.
bool CheckDBaseFormatV2(const std::filesystem::path& path);
bool CheckDBaseFormatV1(const std::filesystem::path& path);

// The Miscellane text of a version 1 record: "Closed Captioned", "Noise Reduction" and
// "Surround Sound" for each of the three flags whose value is "YES" in any letter case,
// joined by ", "; "" when none is set.
std::string version1Miscellaneous(const std::string& closeCapt, const std::string& noiseRed,
                                  const std::string& surroundSo);

// Appends every record of the old table to `target` (an open, writable video table) with the
// field mapping of its version, each value as text; then flushes `target`.  Answers the
// number of records appended.  Raises DatabaseError, with nothing appended, when the old
// table cannot be read or one of its values does not suit its new field.  Version 1 values
// are read and written with `version1Dates` (month/day/year with "/") for the length of the
// copy.
int ConvertV2(Table& target, const std::filesystem::path& path);
int ConvertV1(Table& target, const std::filesystem::path& path, const DateCodec& version1Dates);

// CheckForConversion: for version 2 and then version 1, when the old file is in the program
// folder and is a table of that version, asks (`ask` gets the question; true is Yes) and on
// Yes converts it and deletes the old .DBF file (its other files stay).  A declined or
// unrecognised file stays and is offered again next time.
struct ConversionResult {
    int version2Records = -1;  // records converted, -1 when not converted
    int version1Records = -1;
};
ConversionResult CheckForConversion(Table& target, const std::filesystem::path& programFolder,
                                    const std::function<bool(const std::string& question)>& ask,
                                    const DateCodec& version1Dates);

}  // namespace rv::db
