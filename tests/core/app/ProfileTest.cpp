// Profile files: value forms, the reading rules of the profile service, writing one key
// while keeping the rest of the file, and safe replacement of the file on disk.

#include "core/app/Profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>

#include "core/app/AppTestSupport.h"

namespace rv::app {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

TEST(ProfileValueForms, WholeNumbersReadTheirLeadingDigits) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"640", 640},          {"-4", -4},          {"+7", 7},
        {"   12", 12},         {"800px", 800},      {"abc", 0},
        {"", 0},               {"- 5", 0},          {"1.5", 1},
        {"$FF", 255},          {"$ff", 255},        {"-$10", -16},
        {"$1G", 1},            {"$", 0},            {"$FFFFFFFF", -1},
        {"99999999999", INT32_MAX},                 {"-99999999999", INT32_MIN},
        {"2147483647", INT32_MAX},                  {"-2147483648", INT32_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(parseWhole(c.text), c.value) << '"' << c.text << '"';
}

TEST(ProfileValueForms, DecimalsAndYesNo) {
    struct DecimalCase {
        const char* text;
        double value;
    };
    const DecimalCase decimals[] = {{"1.8125", 1.8125}, {"0", 0.0},   {" -0.5", -0.5}, {"2.", 2.0},
                                    {"1.x", 1.0},       {".5", 0.5},  {"abc", 0.0},    {"3e5", 3.0},
                                    {"0.6562in", 0.6562}};
    for (const auto& c : decimals) EXPECT_DOUBLE_EQ(parseDecimal(c.text), c.value) << c.text;

    for (const char* yes : {"Yes", "yes", "YES", "yEs"}) EXPECT_TRUE(parseYesNo(yes)) << yes;
    for (const char* no : {"No", "Y", "", "YESS", "1", "True"}) EXPECT_FALSE(parseYesNo(no)) << no;
}

TEST(ProfileValueForms, WrittenForms) {
    EXPECT_EQ(decimalText(1.8125), "1.8125");
    EXPECT_EQ(decimalText(0.0), "0.0000");
    EXPECT_EQ(decimalText(0.6562), "0.6562");
    EXPECT_EQ(decimalText(1.1), "1.1000");
    EXPECT_EQ(decimalText(-4.5), "-4.5000");
    EXPECT_EQ(wholeText(-4), "-4");
    EXPECT_EQ(wholeText(16777215), "16777215");
    EXPECT_STREQ(yesNoText(true), "Yes");
    EXPECT_STREQ(yesNoText(false), "No");
}

// A file as a collector brings it from Windows: CR LF, sections and keys in any case,
// comments, blanks around names and values, a quoted value, a Windows-1252 byte.
const char* const kWindowsText =
    "; written by hand\r\n"
    "Orphan=before any section\r\n"
    "[MISC]\r\n"
    "  Button Bar = 2  \r\n"
    "main window width=800px\r\n"
    "Main Window Width=1024\r\n"
    "Show Tips=\"yes\"\r\n"
    "Empty=\r\n"
    "\r\n"
    "[ Field Names ]\r\n"
    "Title=Titre du r\xE9" "alisateur\r\n"
    "[Misc]\r\n"
    "Window Size=1280\r\n";

TEST(ProfileRead, MatchesSectionsAndKeysLikeTheProfileService) {
    const ProfileFile profile = ProfileFile::fromText(kWindowsText);
    EXPECT_EQ(profile.readWhole("Misc", "Button Bar", 1), 2);
    EXPECT_EQ(profile.readWhole("misc", "MAIN WINDOW WIDTH", 640), 800);  // the first entry wins
    EXPECT_TRUE(profile.readYesNo("Misc", "Show Tips", false));         // quotes come off
    EXPECT_EQ(profile.readText("Misc", "Empty", "default"), "");          // present but empty
    EXPECT_EQ(profile.readText("Field Names", "title", ""), "Titre du r\xE9" "alisateur");
    // Only the first section of a name counts; keys outside a section are never found.
    EXPECT_EQ(profile.readWhole("Misc", "Window Size", 640), 640);
    EXPECT_EQ(profile.readText("Misc", "Orphan", "none"), "none");
    EXPECT_EQ(profile.readText("Missing", "Button Bar", "none"), "none");
    EXPECT_EQ(profile.readText("Misc", "; written by hand", "none"), "none");
}

TEST(ProfileRead, AcceptsEveryLineEnd) {
    for (const char* text : {"[A]\r\nk=1\r\nj=2\r\n", "[A]\nk=1\nj=2", "[A]\rk=1\rj=2\r", "\xEF\xBB\xBF[A]\nk=1\r\nj=2\r"}) {
        const ProfileFile profile = ProfileFile::fromText(text);
        EXPECT_EQ(profile.readWhole("A", "k", 0), 1) << text;
        EXPECT_EQ(profile.readWhole("A", "j", 0), 2) << text;
    }
}

TEST(ProfileRead, ValuesAreCutToTheirReadLength) {
    const ProfileFile profile = ProfileFile::fromText(
        "[S]\nNumber=00000000000000800\nName=" + std::string(200, 'n') + "\nFlag=YES           x\n");
    EXPECT_EQ(profile.readWhole("S", "Number", 7), 0);  // fourteen zeros, then the cut
    EXPECT_EQ(profile.readText("S", "Name", "", kNameReadLength).size(), kNameReadLength);
    EXPECT_EQ(profile.readText("S", "Name", "", 5), "nnnnn");
    EXPECT_FALSE(profile.readYesNo("S", "Flag", true));
}

TEST(ProfileWrite, KeepsEveryOtherLineAndWritesCrLf) {
    ProfileFile profile = ProfileFile::fromText(
        "; comment\n[misc]\nbutton bar=1\nUnknown Key=kept  as is\n\n; about labels\n[Label]\nFace Count=10\n");
    profile.writeWhole("Misc", "Button Bar", 3);        // replaced where it is, spelling kept
    profile.writeText("MISC", "Last Database", "/v/A.DBF");  // new key after the last entry
    profile.writeDecimal("Reports", "Gap", 0.25);       // new section at the end
    EXPECT_EQ(profile.text(),
              "; comment\r\n[misc]\r\nbutton bar=3\r\nUnknown Key=kept  as is\r\nLast Database=/v/A.DBF\r\n\r\n"
              "; about labels\r\n[Label]\r\nFace Count=10\r\n\r\n[Reports]\r\nGap=0.2500\r\n");
}

TEST(ProfileWrite, AwkwardValuesReadBackUnchanged) {
    const std::string values[] = {" leading",     "trailing ", "\"quoted\"", "'single'", "",
                                  "x=y",          "[not a section]", "\"",   "a\"b'", std::string(300, 'v'),
                                  "caf\xE9 \x80"};
    ProfileFile profile;
    for (std::size_t i = 0; i < std::size(values); ++i) profile.writeText("S", "K" + std::to_string(i), values[i]);
    const ProfileFile reread = ProfileFile::fromText(profile.text());
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(reread.value("S", "K" + std::to_string(i)), values[i]) << i;
}

TEST(ProfileWrite, LineBreaksInAValueCannotStartNewEntries) {
    ProfileFile profile;
    profile.writeText("S", "Name", "evil\r\n[Misc]\nButton Bar=3");
    profile.writeText("S", "Next", "1");
    const ProfileFile reread = ProfileFile::fromText(profile.text());
    EXPECT_EQ(reread.value("S", "Name"), "evil  [Misc] Button Bar=3");
    EXPECT_EQ(reread.value("Misc", "Button Bar"), std::nullopt);
    EXPECT_EQ(reread.value("S", "Next"), "1");
}

TEST(ProfileWrite, RefusesNamesThatWouldNotReadBack) {
    ProfileFile profile;
    const std::pair<const char*, const char*> bad[] = {{"", "k"},  {"S", ""},     {" S", "k"},  {"S", "k "},
                                                       {"S]", "k"}, {"S", "a=b"}, {"S", "[k"}, {"S", ";k"},
                                                       {"S\n", "k"}, {"S", "k\r"}};
    for (const auto& [section, key] : bad)
        EXPECT_THROW(profile.writeText(section, key, "v"), std::invalid_argument) << section << "/" << key;
    EXPECT_EQ(profile.text(), "");
}

TEST(ProfileFileOnDisk, BatchWritesEqualOneKeyAtATime) {
    TempDir dir;
    const std::string start = "[Misc]\r\n; keep me\r\nButton Bar=1\r\n";
    writeBytes(dir / "single.ini", start);
    writeBytes(dir / "batch.ini", start);
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } writes[] = {{"Misc", "Button Bar", "2"}, {"Label", "Face Gap", "0.2500"}, {"misc", "Show Tips", "No"},
                  {"Misc", "BUTTON BAR", "3"}, {"Label", "Face Count", "12"}};

    ProfileFile batch(dir / "batch.ini");
    for (const auto& w : writes) {
        ASSERT_TRUE(writeProfileString(dir / "single.ini", w.section, w.key, w.value));
        batch.writeText(w.section, w.key, w.value);
    }
    ASSERT_TRUE(batch.save());
    EXPECT_EQ(readBytes(dir / "batch.ini"), readBytes(dir / "single.ini"));
    EXPECT_EQ(readProfileString(dir / "batch.ini", "MISC", "button bar", ""), "3");
    EXPECT_EQ(readProfileString(dir / "missing.ini", "Misc", "Button Bar", "1"), "1");
}

TEST(ProfileFileOnDisk, SaveReplacesTheFileWholeAndKeepsItsMode) {
    TempDir dir;
    const auto file = dir / "RVLVID.INI";
    writeBytes(file, "[Misc]\nButton Bar=1\n");
    ::chmod(file.c_str(), 0640);
    ProfileFile profile(file);
    EXPECT_TRUE(profile.existed());
    profile.writeWhole("Misc", "Button Bar", 2);
    ASSERT_TRUE(profile.save());
    EXPECT_EQ(readBytes(file), "[Misc]\r\nButton Bar=2\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // Only the file itself is left in the folder: no temporary file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST(ProfileFileOnDisk, SaveThroughASymbolicLinkReplacesItsTarget) {
    TempDir dir;
    std::filesystem::create_directory(dir / "real");
    writeBytes(dir / "real/RVLVID.INI", "[A]\nk=1\n");
    std::filesystem::create_symlink(dir / "real/RVLVID.INI", dir / "link.ini");
    ASSERT_TRUE(writeProfileString(dir / "link.ini", "A", "k", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(readBytes(dir / "real/RVLVID.INI"), "[A]\r\nk=2\r\n");
}

TEST(ProfileFileOnDisk, AFailedSaveReportsItAndLeavesNoFile) {
    TempDir dir;
    EXPECT_FALSE(writeProfileString(dir / "no-such-folder/X.INI", "A", "k", "1"));
    EXPECT_FALSE(std::filesystem::exists(dir / "no-such-folder"));
    EXPECT_FALSE(ProfileFile::fromText("[A]\nk=1").save());  // no path to write to

    // Something that cannot be read is never replaced by the few keys written into it.
    std::filesystem::create_directory(dir / "A.INI");
    ProfileFile unreadable(dir / "A.INI");
    EXPECT_TRUE(unreadable.existed());
    EXPECT_TRUE(unreadable.readFailed());
    EXPECT_EQ(unreadable.readText("A", "k", "default"), "default");
    unreadable.writeText("A", "k", "1");
    EXPECT_FALSE(unreadable.save());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "A.INI"));
}

}  // namespace
}  // namespace rv::app
