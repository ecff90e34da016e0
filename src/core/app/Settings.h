#pragma once
// The settings record: every configuration value of the run, filled from the program
// configuration file RVLVID.INI (part 1) and the database's own configuration file (part 2),
// and written back to them.

#include <array>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "core/db/FieldCatalog.h"

namespace rv::app {

// A font description without any window library: face name, size in points (0 = the
// platform's default size), colour (red + 256 * green + 65536 * blue) and style.
struct FontSpec {
    std::string name = "Arial";
    std::int32_t size = 0;
    std::int32_t color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// The thirteen colours of a colour set, in file order.
enum ColorKey : int {
    MainBackground,
    MajorTitle,
    MinorTitle,
    EditBackground,
    EditText,
    ComboBackground,
    ComboText,
    ListBoxBackground,
    ListBoxText,
    RadioBackground,
    RadioText,
    CheckBackground,
    CheckText,
};
inline constexpr int kColorKeyCount = 13;
using ColorSet = std::array<std::int32_t, kColorKeyCount>;

// The five colour sets, in file order.
enum ColorSetIndex : int { MainWindowColors, EditWindowColors, SearchWindowColors, ReportWindowColors, ConfigureWindowColors };
inline constexpr int kColorSetCount = 5;

inline constexpr std::int32_t kLightGrey = 12632256;  // 192, 192, 192
inline constexpr std::int32_t kWhite = 16777215;
inline constexpr std::int32_t kGrey = 8553090;        // 130, 130, 130

// The default colour set: light grey backgrounds, white boxes, black text.
inline constexpr ColorSet kDefaultColorSet{kLightGrey, 0, 0, kWhite, 0, kWhite, 0, kWhite, 0, kLightGrey, 0, kLightGrey, 0};

// One value per field of the catalogue, indexed by catalogue number 1..40 (at() throws
// std::out_of_range for any other number).
template <class T>
struct PerField {
    std::array<T, rv::db::kFieldCount> values{};
    T& operator[](int number) { return values.at(static_cast<std::size_t>(number - 1)); }
    const T& operator[](int number) const { return values.at(static_cast<std::size_t>(number - 1)); }
    friend bool operator==(const PerField&, const PerField&) = default;
};

// The settings record.  A default-constructed record holds the built-in defaults (what
// loading from missing files gives, except the import and export folders, which loading
// sets to the start folder).  The style keys of a font section are the font's own style
// flags, so they always describe the font as it now looks.
struct Settings {
    Settings();

    // Program configuration file, section "Misc" (and "Report Viewing Window" below).
    std::int32_t buttonBar = 1;        // gui ButtonBar: 1 speed buttons, 2 lettered buttons, 3 none
    std::int32_t mainLeft = 0;
    std::int32_t mainTop = 0;
    std::int32_t mainWidth = 640;
    std::int32_t mainHeight = 480;
    std::int32_t windowSize = 640;     // 640, 800, 1024 or 1280
    std::int32_t dateFormat = 1;       // 1..12
    bool dateLeadingZeros = false;
    std::int32_t currencyFormat = 1;   // MoneyFormat: 1 U.S. dollars, 2 locale setting
    std::int32_t numericFormat = 1;    // MoneyFormat: 1 U.S. format, 2 locale setting

    // Per database, section "Reports".
    std::int32_t reportLeft = 0;
    std::int32_t reportTop = 0;
    std::int32_t reportWidth = 640;
    std::int32_t reportHeight = 480;

    bool showTips = true;              // program file

    // Per database: the viewer's look.
    bool gridShowTitles = true;
    FontSpec gridTitleFont{"Arial", 12};
    FontSpec gridFont{"Arial", 10};
    std::int32_t gridTitleAlignment = 2;
    std::int32_t gridTitleColor = kGrey;
    std::int32_t gridCellColor = kLightGrey;
    bool columnLines = true;
    bool rowLines = true;
    bool rowIndicator = true;
    bool fieldEditing = false;

    // Per database, one per field.
    PerField<std::string> displayNames;  // at most 20 characters; default: catalogue name
    PerField<bool> displayFields;        // default Yes
    PerField<std::int32_t> fieldWidths;  // default 15
    PerField<std::int32_t> fieldOrder;   // default: the field's number
    PerField<std::int32_t> exportOrder;  // default: the field's number
    PerField<bool> exportFields;         // default Yes

    bool exportFirstRow = true;
    bool importSkipFirst = true;
    std::int32_t importFileType = 1;
    std::int32_t exportFileType = 1;
    std::array<std::int32_t, 4> sortLevels{2, 0, 0, 0};  // catalogue numbers, 0 = none

    // The three program fonts: only name and style come from the file.
    FontSpec labelFont;
    FontSpec buttonFont;
    FontSpec editFont;

    std::array<ColorSet, kColorSetCount> colors{kDefaultColorSet, kDefaultColorSet, kDefaultColorSet,
                                                kDefaultColorSet, kDefaultColorSet};

    std::int32_t lastReport = 0;
    bool defaultPrinter = true;
    std::int32_t printerIndex = 0;
    std::int32_t labelSize = 1;
    bool labelShowsTitle = true;
    bool labelShowsRating = true;
    bool labelShowsMediaNumber = true;
    bool labelShowsStartCounter = true;
    bool labelShowsStopCounter = true;
    bool labelShowsYear = true;
    bool labelShowsPlayTime = true;
    bool labelShowsCategory = true;
    FontSpec reportLabelFont{"Arial", 10};
    std::array<std::array<std::string, 8>, 2> labelMediaNumbers;  // [column][row], at most 15 characters
    std::int32_t whatToPrint = 1;

    // Program file: paths (native file-name bytes, at most 255 characters).
    std::string lastDatabase;
    std::string lastImportFile;
    std::string lastExportFile;
    std::array<std::string, 5> recentDatabases;  // newest first

    // Program file, section "Label": sheet dimensions in inches.
    double faceTopMargin = 1.0;
    double faceLeftMargin = 1.10;
    double faceWidth = 3.06;
    double faceHeight = 1.8125;
    double faceGap = 0.25;
    std::int32_t faceCount = 10;
    double spineTopMargin = 0.6;
    double spineLeftMargin = 1.45;
    double spineWidth = 5.7;
    double spineHeight = 0.6562;
    double spineGap = 0;
    std::int32_t spineCount = 15;

    friend bool operator==(const Settings&, const Settings&) = default;
};

// Part 1 is the program configuration file, part 2 the per-database keys.
inline constexpr int kProgramPart = 1;
inline constexpr int kDatabasePart = 2;

// Reads the program keys from `file`; "Last Import File"/"Last Export File" default to
// `startFolder`.
void loadProgramSettings(Settings& settings, const std::filesystem::path& file, const std::string& startFolder);
// Reads the per-database keys from `file` when a file exists there, else from `fallback`
// (the program configuration file).  Missing keys take their defaults.
void loadDatabaseSettings(Settings& settings, const std::filesystem::path& file, const std::filesystem::path& fallback);
// Write every key of the part in one go, keeping the rest of the file.  False when the file
// could not be written.  The program file's folder is created when missing.
[[nodiscard]] bool saveProgramSettings(const Settings& settings, const std::filesystem::path& file);
[[nodiscard]] bool saveDatabaseSettings(const Settings& settings, const std::filesystem::path& file);

// The same keys read from or set in a profile already in memory, for callers that batch
// several parts into one write.
class ProfileFile;
void readProgramKeys(Settings& settings, const ProfileFile& profile, const std::string& startFolder);
void readDatabaseKeys(Settings& settings, const ProfileFile& profile);
void writeProgramKeys(const Settings& settings, ProfileFile& profile);
void writeDatabaseKeys(const Settings& settings, ProfileFile& profile);

// The program's calls: part 1 always uses programConfigFile() (the path is not used); part 2
// reads `file` or falls back to programConfigFile(), and writes `file`.  Any other part
// throws std::invalid_argument.
void loadSettings(Settings& settings, const std::filesystem::path& file, int part);
[[nodiscard]] bool saveSettings(const Settings& settings, const std::filesystem::path& file, int part);

// Settings for a newly created database: part 2 from RVLINV.INI in the current folder when
// such a file exists, else from the program configuration file.
void loadNewDatabaseSettings(Settings& settings);

}  // namespace rv::app
