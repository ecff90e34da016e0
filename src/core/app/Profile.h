#pragma once
// Profile (INI) files: "[Section]" headers and "Key=Value" entries, read and written one key
// at a time with a default, the way the Windows profile service does it.
//
//  - Section and key names match without regard to ASCII letter case; the first match wins.
//  - A value is read with surrounding blanks removed and one pair of matching enclosing
//    quotes taken off; then it is cut to the caller's read length.
//  - Writing a key replaces its line, or adds the line at the end of its section, or adds the
//    section at the end of the file.  Every other line (comments, unknown keys, blank lines)
//    stays as it was.  Values that the read rules would change (blanks at either end,
//    enclosing quotes) are written inside quotes so they read back unchanged; line breaks in
//    a value are written as spaces so a value can never start a new line.
//  - Files with CR LF, LF or CR line ends are read; files are written with CR LF.  Text is
//    Windows-1252 bytes, passed through unchanged.
//  - A file is replaced by writing a new file beside it and renaming it into place, so a crash
//    leaves the old or the new file, never a torn one.
//
// ProfileFile holds one file in memory: load once, read and set many keys, save once.  The
// free functions read or write a single key of a file on disk.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rv::app {

// The read lengths of the configuration values: the longest value kept from the file.
inline constexpr std::size_t kNumberReadLength = 14;   // whole and decimal numbers, Yes/No, colours
inline constexpr std::size_t kNameReadLength = 149;    // display names and font names
inline constexpr std::size_t kPathReadLength = 249;    // paths and other long texts
inline constexpr std::size_t kLabelItemReadLength = 24;

// The value forms.  Parsing follows the profile service's reading rules.
// Whole number: leading blanks, optional sign, decimal digits ("$" introduces hexadecimal
// digits); stops at the first other character; no digits give 0.  Values beyond 32 bits are
// held at the nearest 32-bit value.
std::int32_t parseWhole(std::string_view text);
// Decimal number: leading blanks, optional sign, digits, optional "." and decimals; stops at
// the first other character; no digits give 0 (so "1.x" reads as 1).
double parseDecimal(std::string_view text);
// Yes/No: exactly "YES" in any letter case is yes.
bool parseYesNo(std::string_view text);
// The written forms: "-4", "0.6562" (always four decimals), "Yes"/"No".
std::string wholeText(std::int64_t value);
std::string decimalText(double value);
const char* yesNoText(bool value);

class ProfileFile {
public:
    ProfileFile() = default;
    // Loads the file when it exists; a missing file is an empty profile.  A file that exists
    // but cannot be read (or is not a plain file) also reads as empty, and save() then refuses
    // to write over it, so its contents are never replaced by a few keys.
    explicit ProfileFile(std::filesystem::path path);

    // A profile over the given text (for tests and the fuzzer); path() is empty.
    static ProfileFile fromText(std::string_view text);

    const std::filesystem::path& path() const { return path_; }
    bool existed() const { return existed_; }         // the file was there when loaded
    bool readFailed() const { return readFailed_; }   // ... but could not be read

    // The raw value of a key (blanks and enclosing quotes removed, not cut), or nothing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Reading with a default, the value cut to maxLength characters first.
    std::string readText(std::string_view section, std::string_view key, std::string_view def,
                         std::size_t maxLength = kPathReadLength) const;
    std::int32_t readWhole(std::string_view section, std::string_view key, std::int32_t def) const;
    double readDecimal(std::string_view section, std::string_view key, double def) const;
    bool readYesNo(std::string_view section, std::string_view key, bool def) const;

    // Setting a key in memory; save() writes the file.  Section and key are plain names (no
    // blanks at either end, no line breaks, no "]" in a section, no "=" in a key, a key not
    // starting with "[" or ";"); anything else throws std::invalid_argument.
    void writeText(std::string_view section, std::string_view key, std::string_view value);
    void writeWhole(std::string_view section, std::string_view key, std::int64_t value);
    void writeDecimal(std::string_view section, std::string_view key, double value);
    void writeYesNo(std::string_view section, std::string_view key, bool value);

    // The file as it would be written: every line followed by CR LF.
    std::string text() const;

    // Writes text() to path() through a new file and a rename; when the path is a symbolic
    // link its target is replaced.  Keeps the old file's permissions.  False when the file
    // could not be written or could not be read when loaded (the old file is then untouched).
    bool save() const;
    bool saveAs(const std::filesystem::path& path) const;

private:
    struct Line {
        std::string text;     // the line as read, without its line end
        std::string section;  // for a section header: its name; else empty
        std::string key;      // for an entry: its key, blanks removed; else empty
        bool isSection = false;
        bool isEntry = false;
    };
    static Line makeLine(std::string text);
    void parse(std::string_view text);
    // Index of the header line of a section, or lines_.size().
    std::size_t findSection(std::string_view section) const;
    // Index of a key's line within the section starting at header `sec`, or lines_.size().
    std::size_t findKey(std::size_t sec, std::string_view key) const;

    std::filesystem::path path_;
    std::vector<Line> lines_;
    std::vector<std::size_t> sectionLines_;  // indices of the section headers in lines_, in order
    bool existed_ = false;
    bool readFailed_ = false;
};

// One key of a file on disk, as the profile service reads and writes it.
std::string readProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view def,
                              std::size_t maxLength = kPathReadLength);
bool writeProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value);

}  // namespace rv::app
