// Databases of the two earlier versions: recognised by their fields, converted with the field
// mapping and the version 1 flags rule, appended after the current records, and never half
// converted.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "core/app/Formats.h"
#include "core/db/Conversion.h"
#include "core/db/DbTestSupport.h"

using namespace rv::db;
using namespace rv::db::test;

namespace {

const std::vector<std::string> kV2Names{
    "Title",    "Star1",      "Star2",      "Star3",      "Star4",      "Producer",   "Director",
    "ReleasedBy", "Year",     "RunTime",    "Rating",     "Category",   "Picture",    "Sound",
    "Format",   "PersonalRa", "MediaNum",   "RecSpeed",   "CounterSta", "CounterSto", "Descriptio",
    "Content",  "Miscellane", "KeyWords",   "LaserForma", "ListPrice",  "OscarNom",   "OscarAward"};
const std::vector<std::string> kV1Names{
    "Title",    "Star1",      "Star2",      "Star3",      "Star4",      "Producer",   "Director",
    "ReleasedBy", "Year",     "RunTime",    "Rating",     "Category",   "Picture",    "Sound",
    "Format",   "PersonalRa", "TapeNum",    "RecSpeed",   "CounterSta", "CounterSto", "Descriptio",
    "Content",  "CloseCapt",  "NoiseRed",   "SurroundSo"};

// An old table: a first field of any name, then `names`, all text except Year (a number).
fs::path oldTable(const fs::path& path, const std::string& first, std::vector<std::string> names) {
    std::vector<FieldSpec> specs{{first, FieldKind::Text, 8}};
    for (const auto& n : names) specs.push_back({n, equalsNoCase(n, "Year") ? FieldKind::Whole : FieldKind::Text, 30});
    Table::create(path, specs);
    return path;
}

// Appends one record of name=value pairs.
void addOld(const fs::path& path, const std::vector<std::pair<std::string, std::string>>& values) {
    Table t;
    t.setPath(path);
    t.open();
    t.append();
    for (const auto& [name, value] : values) t.setString(name, value);
    t.post();
    t.close();
}

const rv::app::ShortDateFormat kMdy(1);

}  // namespace

TEST(Conversion, OldTablesAreRecognisedByTheirFieldsFromTheSecondOn) {
    TempDir dir;
    auto upper = [](std::vector<std::string> v) {
        for (auto& s : v)
            for (auto& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
        return v;
    };
    std::vector<std::string> extra = kV2Names;
    extra.push_back("Extra");
    std::vector<std::string> swapped = kV2Names;
    std::swap(swapped[0], swapped[1]);
    struct Case {
        std::string first;
        std::vector<std::string> names;
        bool v2, v1;
    };
    const Case cases[] = {
        {"ID", kV2Names, true, false},
        {"WHATEVER", upper(kV2Names), true, false},  // any first field, any letter case
        {"ID", kV1Names, false, true},
        {"Key", extra, false, false},
        {"ID", swapped, false, false},
        {"ID", std::vector<std::string>(kV1Names.begin(), kV1Names.end() - 1), false, false},
    };
    int i = 0;
    for (const auto& c : cases) {
        const fs::path p = oldTable(dir / ("T" + std::to_string(++i) + ".DBF"), c.first, c.names);
        EXPECT_EQ(CheckDBaseFormatV2(p), c.v2) << i;
        EXPECT_EQ(CheckDBaseFormatV1(p), c.v1) << i;
    }
    writeBytes(dir / "junk.dbf", "not a table at all");
    EXPECT_FALSE(CheckDBaseFormatV2(dir / "junk.dbf"));
    EXPECT_FALSE(CheckDBaseFormatV1(dir / "missing.dbf"));
}

TEST(Conversion, VersionOneFlagsBecomeTheMiscellaneousText) {
    struct Case {
        const char *cc, *nr, *ss, *text;
    };
    const Case cases[] = {
        {"Yes", "no", "YES", "Closed Captioned, Surround Sound"},
        {"yes", "YES", "Yes", "Closed Captioned, Noise Reduction, Surround Sound"},
        {"", "", "", ""},
        {"Y", "No", "yess", ""},
        {"", "yes", "", "Noise Reduction"},
    };
    for (const auto& c : cases) EXPECT_EQ(version1Miscellaneous(c.cc, c.nr, c.ss), c.text) << c.cc << c.nr << c.ss;
}

TEST(Conversion, VersionTwoRecordsAreAppendedAfterTheCurrentOnes) {
    TempDir dir;
    Table target;
    openNewVideoTable(target, dir / "MASTER.DBF");
    appendVideos(target, 1, 2);
    const fs::path old = oldTable(dir / "V2LOG.DBF", "Number", kV2Names);
    addOld(old, {{"Title", "Vertigo"}, {"Star1", "James Stewart"}, {"Year", "1958"}, {"MediaNum", "T-12"},
                 {"Miscellane", "Widescreen"}, {"KeyWords", "tower"}, {"ListPrice", "19.95"}, {"OscarNom", "Art"}});
    addOld(old, {{"Title", "Psycho"}, {"Year", ""}});
    EXPECT_EQ(ConvertV2(target, old), 2);
    ASSERT_EQ(target.recordCount(), 4);
    target.moveToRecNo(3);
    EXPECT_EQ(target.asString("Title"), "Vertigo");
    EXPECT_EQ(target.asString("Star1"), "James Stewart");
    EXPECT_EQ(target.asNumber("Year"), 1958);
    EXPECT_EQ(target.asString("MediaNum"), "T-12");
    EXPECT_EQ(target.asString("Miscellane"), "Widescreen");
    EXPECT_EQ(target.asString("KeyWords"), "tower");
    EXPECT_EQ(target.asNumber("ListPrice"), 19.95);
    EXPECT_EQ(target.asString("OscarNom"), "Art");
    EXPECT_EQ(target.asString("Star5"), "");
    EXPECT_EQ(target.asString("CheckOut"), "");
    target.moveToRecNo(4);
    EXPECT_EQ(target.asString("Title"), "Psycho");
    EXPECT_EQ(target.asString("Year"), "") << "an empty number stays empty";
    target.close();
    target.open();
    EXPECT_EQ(target.recordCount(), 4) << "flushed";
}

TEST(Conversion, VersionOneMapsTapeNumberAndTheFlags) {
    TempDir dir;
    Table target;
    openNewVideoTable(target, dir / "MASTER.DBF");
    const fs::path old = oldTable(dir / "VLOG.DBF", "X", kV1Names);
    addOld(old, {{"Title", "Alien"}, {"TapeNum", "42"}, {"CloseCapt", "Yes"}, {"NoiseRed", "no"}, {"SurroundSo", "YES"},
                 {"Content", "SF"}});
    addOld(old, {{"Title", "Brazil"}});
    EXPECT_EQ(ConvertV1(target, old, kMdy), 2);
    target.first();
    EXPECT_EQ(target.asString("Title"), "Alien");
    EXPECT_EQ(target.asString("MediaNum"), "42");
    EXPECT_EQ(target.asString("Content"), "SF");
    EXPECT_EQ(target.asString("Miscellane"), "Closed Captioned, Surround Sound");
    EXPECT_EQ(target.asString("KeyWords"), "");
    target.next();
    EXPECT_EQ(target.asString("Miscellane"), "");
    EXPECT_EQ(&target.dateCodec(), &defaultDateCodec()) << "the date format is put back";
}

TEST(Conversion, AValueTheNewFieldCannotTakeStopsWithNothingAppended) {
    TempDir dir;
    Table target;
    openNewVideoTable(target, dir / "MASTER.DBF");
    appendVideos(target, 1, 3);
    // Year is text in this old table, and the third record's is no number.
    std::vector<FieldSpec> specs{{"ID", FieldKind::Text, 4}};
    for (const auto& n : kV2Names) specs.push_back({n, FieldKind::Text, 20});
    Table::create(dir / "V2LOG.DBF", specs);
    for (const char* year : {"1990", "1991", "soon", "1993"}) addOld(dir / "V2LOG.DBF", {{"Title", "Old"}, {"Year", year}});
    EXPECT_THROW(ConvertV2(target, dir / "V2LOG.DBF"), DatabaseError);
    EXPECT_EQ(target.recordCount(), 3);
    // The start-up check leaves the old file for another try.
    int asked = 0;
    EXPECT_THROW(CheckForConversion(target, dir.path(), [&](const std::string&) { return ++asked, true; }, kMdy),
                 DatabaseError);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(fs::exists(dir / "V2LOG.DBF"));
    EXPECT_EQ(target.recordCount(), 3);
}

TEST(Conversion, StartUpAsksForEachVersionAndDeletesOnlyTheConvertedFile) {
    TempDir dir;
    Table target;
    openNewVideoTable(target, dir / "MASTER.DBF");
    addOld(oldTable(dir / "V2LOG.DBF", "ID", kV2Names), {{"Title", "Two"}});
    addOld(oldTable(dir / "vlog.dbf", "ID", kV1Names), {{"Title", "One"}});
    writeBytes(dir / "V2LOG.MDX", "an old index");
    std::vector<std::string> questions;
    // Declined: both stay and are offered again.
    auto result = CheckForConversion(target, dir.path(), [&](const std::string& q) { return questions.push_back(q), false; }, kMdy);
    EXPECT_EQ(questions, (std::vector<std::string>{kConvertVersion2Question, kConvertVersion1Question}));
    EXPECT_EQ(result.version2Records, -1);
    EXPECT_EQ(target.recordCount(), 0);
    EXPECT_TRUE(fs::exists(dir / "V2LOG.DBF"));
    // Accepted: version 2 first, then version 1; only the .DBF files go.
    questions.clear();
    result = CheckForConversion(target, dir.path(), [&](const std::string& q) { return questions.push_back(q), true; }, kMdy);
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(result.version2Records, 1);
    EXPECT_EQ(result.version1Records, 1);
    EXPECT_EQ(titles(target), (std::vector<std::string>{"Two", "One"}));
    EXPECT_FALSE(fs::exists(dir / "V2LOG.DBF"));
    EXPECT_FALSE(fs::exists(dir / "vlog.dbf"));
    EXPECT_TRUE(fs::exists(dir / "V2LOG.MDX"));
    // Nothing left to offer.
    questions.clear();
    CheckForConversion(target, dir.path(), [&](const std::string& q) { return questions.push_back(q), true; }, kMdy);
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(kConvertVersion2Question,
              std::string("A database from a previous version (2.X) has been detected.  Would you like to convert it "
                          "now?  NOTE: After conversion the old file will be deleted.  You may wish to make a copy of "
                          "\"V2LOG.DBF\" first."));
}

TEST(Conversion, AnUnrecognisedOldFileIsLeftAloneWithoutAQuestion) {
    TempDir dir;
    Table target;
    openNewVideoTable(target, dir / "MASTER.DBF");
    Table::create(dir / "V2LOG.DBF", {{"Title", FieldKind::Text, 10}});
    bool asked = false;
    CheckForConversion(target, dir.path(), [&](const std::string&) { return asked = true; }, kMdy);
    EXPECT_FALSE(asked);
    EXPECT_TRUE(fs::exists(dir / "V2LOG.DBF"));
}

TEST(Conversion, TheConvertCommandConvertsWithoutAsking) {
    TempDir dir;
    const fs::path db = videoTable(dir.path(), "MINE.DBF", 2);
    fs::create_directory(dir / "program");
    addOld(oldTable(dir / "program" / "V2LOG.DBF", "ID", kV2Names), {{"Title", "Two"}});
    addOld(dir / "program" / "V2LOG.DBF", {{"Title", "Three"}});
    addOld(oldTable(dir / "program" / "VLOG.DBF", "ID", kV1Names), {{"Title", "One"}, {"NoiseRed", "Yes"}});
    const std::string env = "REELVANE_CONFIG_DIR='" + dir.path().string() + "' REELVANE_PROGRAM_DIR='" +
                            (dir / "program").string() + "' ";
    const std::string out = (dir / "out").string();
    auto run = [&](const std::string& args) {
        const int status = std::system((env + REELVANE_CLI_PATH + " " + args + " >'" + out + "' 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("convert '" + db.string() + "'"), 0);
    EXPECT_EQ(readBytes(out), "V2LOG.DBF: 2 records\nVLOG.DBF: 1 records\n");
    EXPECT_FALSE(fs::exists(dir / "program" / "V2LOG.DBF"));
    Table t;
    t.setPath(db);
    t.open();
    EXPECT_EQ(t.recordCount(), 5);
    t.last();
    EXPECT_EQ(t.asString("Miscellane"), "Noise Reduction");
    t.close();
    EXPECT_EQ(run("convert '" + db.string() + "'"), 0);
    EXPECT_EQ(readBytes(out).rfind("No database of an earlier version", 0), 0u) << readBytes(out);
}
