#pragma once
// The report definitions file RVLVID.URP: a headerless sequence of 20,622-byte definitions,
// addressed by position (0 = first).  Every operation opens the file, does its work and
// closes it again.  Changes (append, overwrite, delete) write the whole new file beside the
// old one and rename it into place, so a crash or a full disk leaves either the old or the
// new file, never a torn one.

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/reports/ReportDefinition.h"

namespace rv::reports {

inline constexpr const char* kReportFileName = "RVLVID.URP";
inline constexpr const char* kOldReportFileName = "VIDEO2.CFR";
inline constexpr std::size_t kOldDefinitionSize = 19831;

// A definitions file that cannot be read or written: the platform's reason in the text.
class ReportFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The definitions file of a program folder (an existing file of any letter case, else
// RVLVID.URP).
std::filesystem::path reportFile(const std::filesystem::path& programFolder);

class ReportStore {
public:
    explicit ReportStore(std::filesystem::path file) : file_(std::move(file)) {}
    const std::filesystem::path& file() const { return file_; }

    // Every definition's name in file order; empty when the file cannot be read.  A trailing
    // part shorter than a definition is not a definition and is not listed.
    std::vector<std::string> names() const;
    // The number of whole definitions in the file (0 when it cannot be read).
    int count() const;
    // The definition at a position; nothing when the file cannot be opened or holds no such
    // record.  `notes` receives what had to be repaired in it.
    std::optional<ReportDefinition> read(int position, DecodeNotes* notes = nullptr) const;
    // Every definition in the file.
    std::vector<ReportDefinition> readAll() const;

    // Appends definitions at the end (creating the file); returns the first new position.
    int append(const ReportDefinition& def);
    int append(const std::vector<ReportDefinition>& defs);
    // Replaces the definition at a position; a position at the end appends.  Positions past
    // the end are refused (std::out_of_range).
    void overwrite(int position, const ReportDefinition& def);
    // Removes the definition at a position; later ones move down one place.  False when there
    // is no such definition.
    bool remove(int position);

private:
    // The whole-definition part of the file, or nothing when it cannot be read.
    std::optional<std::string> load() const;
    void store(const std::string& bytes);  // ReportFileError on failure
    std::filesystem::path file_;
};

// What ensureReportFile() did.
struct EnsureResult {
    bool created = false;            // the built-in reports were written
    int converted = 0;               // definitions taken over from VIDEO2.CFR
    int skipped = 0;                 // old built-in reports not taken over
    bool oldFileRemoved = false;
    std::string problem;             // why the old file was kept, or "" (not shown at start)
};

// Program start: writes the six built-in reports when the definitions file does not exist
// (silently going on when it cannot be created), then converts VIDEO2.CFR when present.
EnsureResult ensureReportFile(const std::filesystem::path& programFolder);

// The conversion of the old report file: every old record is read first; the converted ones
// are appended to the definitions file in one atomic write; only after that write succeeded
// is the old file deleted.  A failed write keeps the old file (and says why in `problem`),
// so no definition is lost and the conversion runs again at the next start.
EnsureResult convertOldReports(const std::filesystem::path& oldFile, ReportStore& store);

// One old record (19,831 bytes) as a definition; field numbers of field items come from the
// catalogue by name (an unknown name turns the item into a filler of the same width).
ReportDefinition convertOldDefinition(std::string_view bytes19831);

// Writes bytes to a file through a temporary file in the same folder and a rename, after
// fsync.  ReportFileError on failure (the old file is then untouched).
void writeFileAtomically(const std::filesystem::path& file, const std::string& bytes);

}  // namespace rv::reports
