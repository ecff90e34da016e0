// The settings record and its two configuration files: defaults, round trips of both parts,
// files brought over from Windows, and the choice of file for part 2.

#include "core/app/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "core/app/AppTestSupport.h"
#include "core/app/Paths.h"
#include "core/app/Profile.h"

namespace rv::app {
namespace {

using test::readBytes;
using test::ScopedCurrentDir;
using test::ScopedEnv;
using test::TempDir;
using test::writeBytes;

// A record in which every value differs from its default.
Settings everythingChanged() {
    Settings s;
    s.buttonBar = 3;
    s.mainLeft = -4;
    s.mainTop = 17;
    s.mainWidth = 1024;
    s.mainHeight = 700;
    s.windowSize = 1280;
    s.dateFormat = 12;
    s.dateLeadingZeros = true;
    s.currencyFormat = 2;
    s.numericFormat = 2;
    s.reportLeft = 5;
    s.reportTop = 6;
    s.reportWidth = 800;
    s.reportHeight = 600;
    s.showTips = false;
    s.gridShowTitles = false;
    s.gridTitleFont = {"Courier New", 14, 255, true, false, true, false};
    s.gridFont = {"Times New Roman", 9, 65280, false, true, false, true};
    s.gridTitleAlignment = 0;
    s.gridTitleColor = 123;
    s.gridCellColor = 456;
    s.columnLines = s.rowLines = s.rowIndicator = false;
    s.fieldEditing = true;
    for (int n = 1; n <= rv::db::kFieldCount; ++n) {
        s.displayNames[n] = "Name " + std::to_string(n) + " caf\xE9";
        s.displayFields[n] = n % 2 == 0;
        s.fieldWidths[n] = 20 + n;
        s.fieldOrder[n] = 41 - n;
        s.exportOrder[n] = (n % 40) + 1;
        s.exportFields[n] = n % 3 == 0;
    }
    s.exportFirstRow = s.importSkipFirst = false;
    s.importFileType = 2;
    s.exportFileType = 2;
    s.sortLevels = {1, 11, 40, 14};
    s.labelFont.name = "Verdana";
    s.labelFont.bold = true;
    s.buttonFont.name = "Tahoma";
    s.buttonFont.italic = true;
    s.editFont.name = "Courier New";
    s.editFont.bold = s.editFont.italic = true;
    for (int set = 0; set < kColorSetCount; ++set)
        for (int key = 0; key < kColorKeyCount; ++key)
            s.colors[static_cast<std::size_t>(set)][static_cast<std::size_t>(key)] = set * 1000 + key + 1;
    s.lastReport = 7;
    s.defaultPrinter = false;
    s.printerIndex = 2;
    s.labelSize = 3;
    s.labelShowsTitle = s.labelShowsRating = s.labelShowsMediaNumber = s.labelShowsStartCounter = false;
    s.labelShowsStopCounter = s.labelShowsYear = s.labelShowsPlayTime = s.labelShowsCategory = false;
    s.reportLabelFont = {"Arial Narrow", 8, 128, true, true, true, true};
    for (std::size_t c = 0; c < 2; ++c)
        for (std::size_t r = 0; r < 8; ++r) s.labelMediaNumbers[c][r] = "T-" + std::to_string(c * 10 + r);
    s.whatToPrint = 2;
    s.lastDatabase = "/home/me/videos/MY.VIDEOS.DBF";
    s.lastImportFile = "/home/me/in.txt";
    s.lastExportFile = "/home/me/out";
    for (std::size_t i = 0; i < 5; ++i) s.recentDatabases[i] = "/v/DB" + std::to_string(i) + ".DBF";
    s.faceTopMargin = 0.5;
    s.faceLeftMargin = 0.75;
    s.faceWidth = 4;
    s.faceHeight = 2.125;
    s.faceGap = 0.0625;
    s.faceCount = 8;
    s.spineTopMargin = 0.25;
    s.spineLeftMargin = 1;
    s.spineWidth = 5.5;
    s.spineHeight = 0.6875;
    s.spineGap = 0.125;
    s.spineCount = 12;
    return s;
}

TEST(Settings, FirstStartWithoutFilesGivesTheDefaults) {
    TempDir dir;
    Settings s = everythingChanged();
    loadProgramSettings(s, dir / "RVLVID.INI", "/home/me");
    loadDatabaseSettings(s, dir / "MASTER.INI", dir / "RVLVID.INI");

    Settings expected;
    expected.lastImportFile = expected.lastExportFile = "/home/me";
    EXPECT_EQ(s, expected);
    // The values the first start is known by.
    EXPECT_EQ(std::tie(s.mainLeft, s.mainTop, s.mainWidth, s.mainHeight), std::make_tuple(0, 0, 640, 480));
    EXPECT_EQ(s.buttonBar, 1);
    EXPECT_EQ(s.windowSize, 640);
    EXPECT_EQ(s.dateFormat, 1);
    EXPECT_FALSE(s.dateLeadingZeros);
    EXPECT_EQ(s.currencyFormat, 1);
    EXPECT_EQ(s.numericFormat, 1);
    EXPECT_TRUE(s.showTips);
    EXPECT_EQ(s.sortLevels, (std::array<std::int32_t, 4>{2, 0, 0, 0}));  // Star1 first, not Title
    EXPECT_EQ(s.displayNames[19], "Media #");
    EXPECT_EQ(s.fieldOrder[40], 40);
    EXPECT_EQ(s.colors[ConfigureWindowColors][EditBackground], 16777215);
    EXPECT_DOUBLE_EQ(s.spineHeight, 0.6562);
    EXPECT_EQ(s.gridTitleFont, (FontSpec{"Arial", 12}));
}

TEST(Settings, BothPartsRoundTripEveryField) {
    TempDir dir;
    const Settings original = everythingChanged();
    ASSERT_TRUE(saveProgramSettings(original, dir / "config/RVLVID.INI"));  // folder created
    ASSERT_TRUE(saveDatabaseSettings(original, dir / "MY.INI"));

    Settings loaded;
    loadProgramSettings(loaded, dir / "config/RVLVID.INI", "/elsewhere");
    loadDatabaseSettings(loaded, dir / "MY.INI", dir / "config/RVLVID.INI");
    EXPECT_EQ(loaded, original);

    // Saving again changes nothing in either file.
    const std::string program = readBytes(dir / "config/RVLVID.INI");
    const std::string database = readBytes(dir / "MY.INI");
    ASSERT_TRUE(saveProgramSettings(loaded, dir / "config/RVLVID.INI"));
    ASSERT_TRUE(saveDatabaseSettings(loaded, dir / "MY.INI"));
    EXPECT_EQ(readBytes(dir / "config/RVLVID.INI"), program);
    EXPECT_EQ(readBytes(dir / "MY.INI"), database);
    EXPECT_EQ(program.find("[Field Names]"), std::string::npos);  // each part keeps to its file
    EXPECT_EQ(database.find("[Misc]"), std::string::npos);
}

TEST(Settings, SectionsAreWrittenInReadingOrder) {
    TempDir dir;
    ASSERT_TRUE(saveDatabaseSettings(Settings{}, dir / "A.INI"));
    const std::string text = readBytes(dir / "A.INI");
    std::vector<std::string> sections;
    for (std::size_t at = text.find("\r\n["); at != std::string::npos; at = text.find("\r\n[", at + 1))
        sections.push_back(text.substr(at + 3, text.find(']', at) - at - 3));
    sections.insert(sections.begin(), text.substr(1, text.find(']') - 1));
    const std::vector<std::string> expected = {
        "Field Names",         "Display Fields",    "Field Width",         "Field Order",
        "Export Fields",       "Export Order",      "Export",              "Import",
        "Sort Order",          "Main Window Color", "Edit Window Color",   "Search Window Color",
        "Report Window Color", "Configure Window Color", "Grid Title",     "Grid Title Font",
        "Grid Font",           "Grid Options",      "Edit Font",           "Label Font",
        "Button Font",         "Reports",           "Report Label Font"};
    EXPECT_EQ(sections, expected);
    EXPECT_NE(text.find("Title=Title\r\nStar1=Star 1\r\n"), std::string::npos);
    EXPECT_NE(text.find("Label Item 07=\r\nLabel Item 10=\r\n"), std::string::npos);
}

// The saved files turned into what a Windows user's files look like: names in other letter
// cases and every value written by another hand, with CR LF kept.
std::string windowsForm(const std::string& text) {
    std::string out;
    std::size_t start = 0;
    bool flip = false;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        std::string line = text.substr(start, end - start);
        start = end + 2;
        auto eq = line.find('=');
        std::string name = line.substr(0, std::min(eq, line.size()));
        std::transform(name.begin(), name.end(), name.begin(),
                       [&](unsigned char c) { return static_cast<char>(flip ? std::toupper(c) : std::tolower(c)); });
        flip = !flip;
        if (eq != std::string::npos) {
            std::string value = line.substr(eq + 1);
            if (value == "Yes") value = "YES";
            out += name + " = " + value + "\r\n";
        } else {
            out += name + "\r\n";
        }
    }
    return out;
}

TEST(Settings, AWindowsFormFileLoadsWithEveryValue) {
    TempDir dir;
    const Settings original = everythingChanged();
    ASSERT_TRUE(saveProgramSettings(original, dir / "saved/RVLVID.INI"));
    ASSERT_TRUE(saveDatabaseSettings(original, dir / "saved/MY.INI"));
    writeBytes(dir / "RVLVID.INI", windowsForm(readBytes(dir / "saved/RVLVID.INI")));
    writeBytes(dir / "my.ini", windowsForm(readBytes(dir / "saved/MY.INI")));  // lower-case name

    Settings loaded;
    loadProgramSettings(loaded, dir / "RVLVID.INI", "/x");
    loadDatabaseSettings(loaded, dir / "MY.INI", dir / "RVLVID.INI");
    EXPECT_EQ(loaded, original);
}

TEST(Settings, HandWrittenWindowsFile) {
    TempDir dir;
    writeBytes(dir / "RVLVID.INI",
               "[misc]\r\nMain Window Width=800px\r\nMain Window Height=abc\r\nShow Tips=Y\r\n"
               "Date Format=10\r\ndate leading zeros=yes\r\nLast Database=C:\\VIDEOS\\MASTER.DBF\r\n"
               "[LABEL]\r\nFace Height=1.8125\r\nSpine Gap=0\r\nFace Width=1.x\r\n");
    writeBytes(dir / "MASTER.INI",
               "[Field Names]\r\nTitle=" + std::string(30, 'T') + "\r\nSTAR1=Lead\r\n"
               "[Main Window Color]\r\nMain Background=$FF\r\n"
               "[Sort Order]\r\nPrimary Sort=99\r\nSecondary Sort=-1\r\nThird Level Sort=14\r\n"
               "[Reports]\r\nLabel Item 00=" + std::string(30, 'm') + "\r\n"
               "[Grid Font]\r\nBold=Yes\r\nSize=16\r\n");
    Settings s;
    loadProgramSettings(s, dir / "RVLVID.INI", "/x");
    loadDatabaseSettings(s, dir / "MASTER.INI", dir / "RVLVID.INI");
    EXPECT_EQ(s.mainWidth, 800);
    EXPECT_EQ(s.mainHeight, 0);
    EXPECT_FALSE(s.showTips);
    EXPECT_EQ(s.dateFormat, 10);
    EXPECT_TRUE(s.dateLeadingZeros);
    EXPECT_EQ(s.lastDatabase, "C:\\VIDEOS\\MASTER.DBF");
    EXPECT_DOUBLE_EQ(s.faceHeight, 1.8125);
    EXPECT_DOUBLE_EQ(s.faceWidth, 1.0);
    EXPECT_EQ(s.displayNames[1], std::string(20, 'T'));
    EXPECT_EQ(s.displayNames[2], "Lead");
    EXPECT_EQ(s.colors[MainWindowColors][MainBackground], 255);
    // Sort levels outside 0..40 would name no field: they read as none.
    EXPECT_EQ(s.sortLevels, (std::array<std::int32_t, 4>{0, 0, 14, 0}));
    EXPECT_EQ(s.labelMediaNumbers[0][0], std::string(15, 'm'));
    EXPECT_EQ(s.gridFont, (FontSpec{"Arial", 16, 0, true}));

    // Decimals are written back with four places.
    ASSERT_TRUE(saveProgramSettings(s, dir / "RVLVID.INI"));
    const std::string text = readBytes(dir / "RVLVID.INI");
    EXPECT_NE(text.find("Face Height=1.8125\r\n"), std::string::npos);
    EXPECT_NE(text.find("Spine Gap=0.0000\r\n"), std::string::npos);
    EXPECT_NE(text.find("[misc]\r\n"), std::string::npos);  // the file's own spelling stays
    EXPECT_NE(text.find("date leading zeros=Yes\r\n"), std::string::npos);
}

TEST(Settings, FontStyleFollowsTheFontAndDoesNotLeakBetweenDatabases) {
    TempDir dir;
    Settings s;
    loadDatabaseSettings(s, dir / "A.INI", dir / "RVLVID.INI");
    s.gridFont.bold = true;  // the user made the grid font bold after reading
    s.editFont.italic = true;
    ASSERT_TRUE(saveDatabaseSettings(s, dir / "A.INI"));
    const std::string text = readBytes(dir / "A.INI");
    EXPECT_NE(text.find("[Grid Font]\r\nColor=0\r\nFont Name=Arial\r\nSize=10\r\nBold=Yes\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Edit Font]\r\nFont Name=Arial\r\nBold=No\r\nItalic=Yes\r\n"), std::string::npos);

    // Opening another database whose file says "not bold" gives a font that is not bold.
    writeBytes(dir / "B.INI", "[Grid Font]\r\nBold=No\r\n");
    loadDatabaseSettings(s, dir / "B.INI", dir / "RVLVID.INI");
    EXPECT_FALSE(s.gridFont.bold);
    EXPECT_FALSE(s.editFont.italic);
}

TEST(Settings, ProgramFontsKeepTheirSizeAndColour) {
    TempDir dir;
    writeBytes(dir / "A.INI", "[Label Font]\r\nFont Name=Verdana\r\nSize=30\r\nColor=255\r\n");
    Settings s;
    s.labelFont.size = 11;
    s.labelFont.color = 7;
    loadDatabaseSettings(s, dir / "A.INI", dir / "RVLVID.INI");
    EXPECT_EQ(s.labelFont, (FontSpec{"Verdana", 11, 7}));
}

TEST(Settings, PartTwoFallsBackToTheProgramFileUntilTheDatabaseHasItsOwn) {
    TempDir dir;
    writeBytes(dir / "RVLVID.INI", "[Misc]\r\nButton Bar=2\r\n[Sort Order]\r\nPrimary Sort=5\r\n");
    Settings s;
    loadDatabaseSettings(s, dir / "NEW.INI", dir / "RVLVID.INI");
    EXPECT_EQ(s.sortLevels[0], 5);
    EXPECT_EQ(s.buttonBar, 1);  // part 2 reads no program keys

    s.sortLevels[0] = 8;
    ASSERT_TRUE(saveDatabaseSettings(s, dir / "NEW.INI"));
    EXPECT_TRUE(std::filesystem::exists(dir / "NEW.INI"));
    Settings again;
    loadDatabaseSettings(again, dir / "NEW.INI", dir / "RVLVID.INI");
    EXPECT_EQ(again.sortLevels[0], 8);
    EXPECT_EQ(readBytes(dir / "RVLVID.INI"), "[Misc]\r\nButton Bar=2\r\n[Sort Order]\r\nPrimary Sort=5\r\n");
}

TEST(Settings, ProgramCallsUseTheConfigurationFolder) {
    TempDir dir;
    ScopedEnv config("REELVANE_CONFIG_DIR", dir.path().string());
    writeBytes(dir / "rvlvid.ini", "[Misc]\nWindow Size=1024\n[Sort Order]\nPrimary Sort=3\n");  // copied in lower case
    Settings s;
    loadSettings(s, "ignored.INI", kProgramPart);
    EXPECT_EQ(s.windowSize, 1024);
    loadSettings(s, dir / "MISSING.INI", kDatabasePart);
    EXPECT_EQ(s.sortLevels[0], 3);

    s.windowSize = 800;
    ASSERT_TRUE(saveSettings(s, "ignored.INI", kProgramPart));
    EXPECT_FALSE(std::filesystem::exists(dir / "RVLVID.INI"));  // the existing file was written
    EXPECT_EQ(readProfileString(dir / "rvlvid.ini", "Misc", "Window Size", ""), "800");
    EXPECT_THROW(loadSettings(s, "", 3), std::invalid_argument);
}

TEST(Settings, NewDatabaseReadsRvlinvFromTheCurrentFolder) {
    TempDir dir;
    ScopedEnv config("REELVANE_CONFIG_DIR", (dir / "config").string());
    std::filesystem::create_directory(dir / "config");
    writeBytes(dir / "config/RVLVID.INI", "[Sort Order]\r\nPrimary Sort=7\r\n");
    ScopedCurrentDir cwd(dir.path());
    Settings s;
    loadNewDatabaseSettings(s);
    EXPECT_EQ(s.sortLevels[0], 7);  // no RVLINV.INI: the program file
    writeBytes(dir / "RVLINV.INI", "[Sort Order]\r\nPrimary Sort=9\r\n");
    loadNewDatabaseSettings(s);
    EXPECT_EQ(s.sortLevels[0], 9);
}

}  // namespace
}  // namespace rv::app
