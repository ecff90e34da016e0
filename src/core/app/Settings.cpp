#include "core/app/Settings.h"

#include <system_error>

#include "core/app/Paths.h"
#include "core/app/Profile.h"

namespace rv::app {

namespace fs = std::filesystem;

Settings::Settings() {
    for (const auto& field : rv::db::kFields) {
        displayNames[field.number] = std::string(field.displayName);
        displayFields[field.number] = true;
        fieldWidths[field.number] = 15;
        fieldOrder[field.number] = field.number;
        exportOrder[field.number] = field.number;
        exportFields[field.number] = true;
    }
}

namespace {

constexpr std::size_t kDisplayNameLength = 20;
constexpr std::size_t kLabelItemLength = 15;

const char* const kColorSections[kColorSetCount] = {"Main Window Color", "Edit Window Color", "Search Window Color",
                                                    "Report Window Color", "Configure Window Color"};
const char* const kColorKeys[kColorKeyCount] = {
    "Main Background", "Major Title",         "Minor Title",   "Edit Background",  "Edit Text",
    "Combo Background", "Combo Text",         "List Box Background", "List Box Text", "Radio Background",
    "Radio Text",      "Check Background",    "Check Text"};

// Reads every key into the record, each with its default.
class Reader {
public:
    explicit Reader(const ProfileFile& file) : file_(file) {}

    void whole(const char* section, std::string_view key, std::int32_t& value, std::int32_t def) {
        value = file_.readWhole(section, key, def);
    }
    void yesNo(const char* section, std::string_view key, bool& value, bool def) {
        value = file_.readYesNo(section, key, def);
    }
    void decimal(const char* section, std::string_view key, double& value, double def) {
        value = file_.readDecimal(section, key, def);
    }
    // `readLength` is what the file gives, `keep` what the record keeps of it.
    void text(const char* section, std::string_view key, std::string& value, std::string_view def,
              std::size_t readLength, std::size_t keep) {
        value = file_.readText(section, key, def, readLength);
        if (value.size() > keep) value.resize(keep);
    }

private:
    const ProfileFile& file_;
};

// Sets every key of the record in the file.
class Writer {
public:
    explicit Writer(ProfileFile& file) : file_(file) {}

    void whole(const char* section, std::string_view key, std::int32_t value, std::int32_t) {
        file_.writeWhole(section, key, value);
    }
    void yesNo(const char* section, std::string_view key, bool value, bool) { file_.writeYesNo(section, key, value); }
    void decimal(const char* section, std::string_view key, double value, double) {
        file_.writeDecimal(section, key, value);
    }
    void text(const char* section, std::string_view key, const std::string& value, std::string_view, std::size_t,
              std::size_t) {
        file_.writeText(section, key, value);
    }

private:
    ProfileFile& file_;
};

// The keys of the program configuration file, in file order.  S is Settings for reading and
// const Settings for writing, so one list serves both directions.
template <class S, class Io>
void programKeys(S& s, Io& io, const std::string& startFolder) {
    const char* misc = "Misc";
    io.whole(misc, "Button Bar", s.buttonBar, 1);
    io.whole(misc, "Main Window Left", s.mainLeft, 0);
    io.whole(misc, "Main Window Top", s.mainTop, 0);
    io.whole(misc, "Main Window Width", s.mainWidth, 640);
    io.whole(misc, "Main Window Height", s.mainHeight, 480);
    io.text(misc, "Last Import File", s.lastImportFile, startFolder, kPathReadLength, kPathReadLength);
    io.text(misc, "Last Export File", s.lastExportFile, startFolder, kPathReadLength, kPathReadLength);
    io.text(misc, "Last Database", s.lastDatabase, "", kPathReadLength, kPathReadLength);
    for (int i = 0; i < 5; ++i)
        io.text(misc, "Last File " + std::to_string(i + 1), s.recentDatabases[static_cast<std::size_t>(i)], "",
                kPathReadLength, kPathReadLength);
    io.yesNo(misc, "Show Tips", s.showTips, true);
    io.whole(misc, "Window Size", s.windowSize, 640);
    io.whole(misc, "Date Format", s.dateFormat, 1);
    io.yesNo(misc, "Date Leading Zeros", s.dateLeadingZeros, false);
    io.whole(misc, "Currency Format", s.currencyFormat, 1);
    io.whole(misc, "Numeric Format", s.numericFormat, 1);

    const char* label = "Label";
    io.decimal(label, "Face Top Margin", s.faceTopMargin, 1.0);
    io.decimal(label, "Face Left Margin", s.faceLeftMargin, 1.10);
    io.whole(label, "Face Count", s.faceCount, 10);
    io.decimal(label, "Face Width", s.faceWidth, 3.06);
    io.decimal(label, "Face Height", s.faceHeight, 1.8125);
    io.decimal(label, "Face Gap", s.faceGap, 0.25);
    io.decimal(label, "Spine Top Margin", s.spineTopMargin, 0.6);
    io.decimal(label, "Spine Left Margin", s.spineLeftMargin, 1.45);
    io.whole(label, "Spine Count", s.spineCount, 15);
    io.decimal(label, "Spine Width", s.spineWidth, 5.7);
    io.decimal(label, "Spine Height", s.spineHeight, 0.6562);
    io.decimal(label, "Spine Gap", s.spineGap, 0.0);
}

// A full font section: colour, name, size and the four style keys.
template <class F, class Io>
void fontKeys(F& font, Io& io, const char* section, std::int32_t defaultSize) {
    io.whole(section, "Color", font.color, 0);
    io.text(section, "Font Name", font.name, "Arial", kNameReadLength, kNameReadLength);
    io.whole(section, "Size", font.size, defaultSize);
    io.yesNo(section, "Bold", font.bold, false);
    io.yesNo(section, "Italic", font.italic, false);
    io.yesNo(section, "Underline", font.underline, false);
    io.yesNo(section, "Strikeout", font.strikeout, false);
}

// A program font: only the name and two style keys are kept in the file.
template <class F, class Io>
void programFontKeys(F& font, Io& io, const char* section) {
    io.text(section, "Font Name", font.name, "Arial", kNameReadLength, kNameReadLength);
    io.yesNo(section, "Bold", font.bold, false);
    io.yesNo(section, "Italic", font.italic, false);
}

// The keys of the per-database configuration file, in file order.
template <class S, class Io>
void databaseKeys(S& s, Io& io) {
    for (const auto& f : rv::db::kFields)
        io.text("Field Names", f.name, s.displayNames[f.number], f.displayName, kNameReadLength, kDisplayNameLength);
    for (const auto& f : rv::db::kFields) io.yesNo("Display Fields", f.name, s.displayFields[f.number], true);
    for (const auto& f : rv::db::kFields) io.whole("Field Width", f.name, s.fieldWidths[f.number], 15);
    for (const auto& f : rv::db::kFields) io.whole("Field Order", f.name, s.fieldOrder[f.number], f.number);
    for (const auto& f : rv::db::kFields) io.yesNo("Export Fields", f.name, s.exportFields[f.number], true);
    for (const auto& f : rv::db::kFields) io.whole("Export Order", f.name, s.exportOrder[f.number], f.number);

    io.yesNo("Export", "First Row", s.exportFirstRow, true);
    io.whole("Export", "File Type", s.exportFileType, 1);
    io.yesNo("Import", "Skip First", s.importSkipFirst, true);
    io.whole("Import", "File Type", s.importFileType, 1);
    io.whole("Sort Order", "Primary Sort", s.sortLevels[0], 2);
    io.whole("Sort Order", "Secondary Sort", s.sortLevels[1], 0);
    io.whole("Sort Order", "Third Level Sort", s.sortLevels[2], 0);
    io.whole("Sort Order", "Fourth Level Sort", s.sortLevels[3], 0);

    for (int set = 0; set < kColorSetCount; ++set)
        for (int key = 0; key < kColorKeyCount; ++key)
            io.whole(kColorSections[set], kColorKeys[key],
                     s.colors[static_cast<std::size_t>(set)][static_cast<std::size_t>(key)],
                     kDefaultColorSet[static_cast<std::size_t>(key)]);

    io.yesNo("Grid Title", "Show Titles", s.gridShowTitles, true);
    io.whole("Grid Title", "Background Color", s.gridTitleColor, kGrey);
    io.whole("Grid Title", "Alignment", s.gridTitleAlignment, 2);
    fontKeys(s.gridTitleFont, io, "Grid Title Font", 12);
    fontKeys(s.gridFont, io, "Grid Font", 10);

    io.whole("Grid Options", "Cell Color", s.gridCellColor, kLightGrey);
    io.yesNo("Grid Options", "Column Lines", s.columnLines, true);
    io.yesNo("Grid Options", "Row Lines", s.rowLines, true);
    io.yesNo("Grid Options", "Row Indicator", s.rowIndicator, true);
    io.yesNo("Grid Options", "Field Editing", s.fieldEditing, false);

    programFontKeys(s.editFont, io, "Edit Font");
    programFontKeys(s.labelFont, io, "Label Font");
    programFontKeys(s.buttonFont, io, "Button Font");

    const char* reports = "Reports";
    io.whole(reports, "Last Report", s.lastReport, 0);
    io.yesNo(reports, "Default Printer", s.defaultPrinter, true);
    io.whole(reports, "Printer Index", s.printerIndex, 0);
    io.whole(reports, "Report Viewing Window Left", s.reportLeft, 0);
    io.whole(reports, "Report Viewing Window Top", s.reportTop, 0);
    io.whole(reports, "Report Viewing Window Width", s.reportWidth, 640);
    io.whole(reports, "Report Viewing Window Height", s.reportHeight, 480);
    io.whole(reports, "Label Size", s.labelSize, 1);
    io.yesNo(reports, "Label Rating", s.labelShowsRating, true);
    io.yesNo(reports, "Label Title", s.labelShowsTitle, true);
    io.yesNo(reports, "Label Start Counter", s.labelShowsStartCounter, true);
    io.yesNo(reports, "Label Stop Counter", s.labelShowsStopCounter, true);
    io.yesNo(reports, "Label Play Time", s.labelShowsPlayTime, true);
    io.yesNo(reports, "Label Category", s.labelShowsCategory, true);
    io.yesNo(reports, "Label Media Number", s.labelShowsMediaNumber, true);
    io.yesNo(reports, "Label Year Released", s.labelShowsYear, true);
    io.whole(reports, "What To Print", s.whatToPrint, 1);
    for (int column = 0; column < 2; ++column)
        for (int row = 0; row < 8; ++row)
            io.text(reports, "Label Item " + std::to_string(column) + std::to_string(row),
                    s.labelMediaNumbers[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)], "",
                    kLabelItemReadLength, kLabelItemLength);
    fontKeys(s.reportLabelFont, io, "Report Label Font", 10);
}

// The file a part-2 read or write goes to: the given path, or a file of that name in another
// letter case beside it.
fs::path existingOrExact(const fs::path& file) { return file.empty() ? file : resolveNoCase(file); }

bool isFile(const fs::path& file) {
    std::error_code ec;
    return !file.empty() && fs::is_regular_file(file, ec);
}

}  // namespace

void readProgramKeys(Settings& settings, const ProfileFile& profile, const std::string& startFolder) {
    Reader reader(profile);
    programKeys(settings, reader, startFolder);
}

void readDatabaseKeys(Settings& settings, const ProfileFile& profile) {
    Reader reader(profile);
    databaseKeys(settings, reader);
    // A sort level names a field of the catalogue or none; anything else would index past it.
    for (auto& level : settings.sortLevels)
        if (level < 0 || level > rv::db::kFieldCount) level = 0;
}

void writeProgramKeys(const Settings& settings, ProfileFile& profile) {
    Writer writer(profile);
    programKeys(settings, writer, std::string());
}

void writeDatabaseKeys(const Settings& settings, ProfileFile& profile) {
    Writer writer(profile);
    databaseKeys(settings, writer);
}

void loadProgramSettings(Settings& settings, const fs::path& file, const std::string& startFolder) {
    readProgramKeys(settings, ProfileFile(existingOrExact(file)), startFolder);
}

void loadDatabaseSettings(Settings& settings, const fs::path& file, const fs::path& fallback) {
    fs::path chosen = existingOrExact(file);
    readDatabaseKeys(settings, ProfileFile(isFile(chosen) ? chosen : existingOrExact(fallback)));
}

bool saveProgramSettings(const Settings& settings, const fs::path& file) {
    fs::path target = existingOrExact(file);
    std::error_code ec;
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    ProfileFile profile(target);
    writeProgramKeys(settings, profile);
    return profile.save();
}

bool saveDatabaseSettings(const Settings& settings, const fs::path& file) {
    ProfileFile profile(existingOrExact(file));
    writeDatabaseKeys(settings, profile);
    return profile.save();
}

void loadSettings(Settings& settings, const fs::path& file, int part) {
    if (part == kProgramPart)
        loadProgramSettings(settings, programConfigFile(), startFolder());
    else if (part == kDatabasePart)
        loadDatabaseSettings(settings, file, programConfigFile());
    else
        throw std::invalid_argument("settings part must be 1 or 2");
}

bool saveSettings(const Settings& settings, const fs::path& file, int part) {
    if (part == kProgramPart) return saveProgramSettings(settings, programConfigFile());
    if (part == kDatabasePart) return saveDatabaseSettings(settings, file);
    throw std::invalid_argument("settings part must be 1 or 2");
}

void loadNewDatabaseSettings(Settings& settings) {
    std::error_code ec;
    const fs::path current = fs::current_path(ec);
    loadDatabaseSettings(settings, findFileNoCase(ec ? fs::path() : current, "RVLINV.INI"), programConfigFile());
}

}  // namespace rv::app
