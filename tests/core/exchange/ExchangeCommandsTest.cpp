// reelvane-cli import and export, run as a separate program the way scripts use them.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "core/db/DbTestSupport.h"
#include "core/db/Table.h"
#include "core/db/VideoTable.h"
#include "core/exchange/ExchangeMessages.h"
#include "core/exchange/QuotedText.h"

using namespace rv::db;
using namespace rv::db::test;

namespace {

struct CliRun {
    int code = -1;
    std::string out, err;
};

std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class ExchangeCommands : public ::testing::Test {
protected:
    TempDir dir;

    void SetUp() override { Table::createVideoTable(dir / "V.DBF"); }
    CliRun cli(const std::vector<std::string>& args) {
        std::string cmd = "REELVANE_CONFIG_DIR=" + shellQuoted(dir.path().string()) +
                          " REELVANE_PROGRAM_DIR=" + shellQuoted(dir.path().string()) + " " + REELVANE_CLI_PATH;
        for (const auto& a : args) cmd += " " + shellQuoted(a);
        cmd += " >" + shellQuoted((dir / "out").string()) + " 2>" + shellQuoted((dir / "err").string());
        int status = std::system(cmd.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(dir / "out"), readBytes(dir / "err")};
    }
    std::string path(const std::string& name) { return (dir / name).string(); }
    std::string db() { return path("V.DBF"); }
};

}  // namespace

TEST_F(ExchangeCommands, ImportWithDefaultsAndWithAMap) {
    writeBytes(dir / "in.txt", "\"Title\",\"Star 1\",\"Star 2\"\r\n\"Casablanca\",\"Bogart\",\"Bergman\"\r\n");
    // Skip-first defaults to the database's setting (Yes).
    CliRun r = cli({"import", db(), path("in.txt")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "1\n");
    r = cli({"import", db(), path("in.txt"), "--no-skip-first", "--map", "1:1,3:11"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "2\n");
    // The database's own setting off: the first line is a record too.
    writeBytes(dir / "V.INI", "[Import]\r\nSkip First=0\r\n");
    r = cli({"import", db(), path("in.txt"), "--map", "2:2"});
    EXPECT_EQ(r.out, "2\n");

    Table t;
    t.setPath(dir / "V.DBF");
    t.open();
    ASSERT_EQ(t.recordCount(), 5);
    std::vector<std::string> titles, stars, years;
    for (t.first(); !t.eof(); t.next()) {
        titles.push_back(t.asString("Title"));
        stars.push_back(t.asString("Star1"));
        years.push_back(t.asString("Year"));
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Casablanca", "Title", "Casablanca", "", ""}));
    EXPECT_EQ(stars, (std::vector<std::string>{"Bogart", "", "", "Star 1", "Bogart"}));
    // "Star 2" into Year: no leading digits, so 0.
    EXPECT_EQ(years, (std::vector<std::string>{"", "0", "0", "", ""}));
}

TEST_F(ExchangeCommands, ImportRefusals) {
    writeBytes(dir / "bad.txt", "\"a\",\"b\r\n");
    CliRun r = cli({"import", db(), path("bad.txt")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, rv::exchange::firstLineMessage(rv::exchange::FirstLineFault::UnexpectedEnd) + "\n");
    r = cli({"import", db(), path("bad.txt"), "--dbf"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Invalid file type selected.\n");
    r = cli({"import", db(), path("missing.txt")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("missing.txt"), std::string::npos);
    writeBytes(dir / "ok.txt", "\"a\"\r\n");
    EXPECT_EQ(cli({"import", db(), path("ok.txt"), "--map", "2:1"}).code, 2);  // only one import field
    EXPECT_EQ(cli({"import", db(), path("ok.txt"), "--skip-first", "--no-skip-first"}).code, 2);
    Table::create(dir / "OTHER.DBF", {{"NAME", FieldKind::Text, 10}});
    r = cli({"import", path("OTHER.DBF"), path("ok.txt")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, std::string(kNotVideoTableMessage) + "\n");
}

TEST_F(ExchangeCommands, ImportOfAWideDbfSaysSoOnce) {
    std::vector<FieldSpec> specs;
    for (int i = 1; i <= 55; ++i) specs.push_back({"F" + std::to_string(i), FieldKind::Text, 4});
    Table::create(dir / "WIDE.DBF", specs);
    {
        Table s;
        s.setPath(dir / "WIDE.DBF");
        s.open();
        for (int k = 0; k < 3; ++k) {
            s.append();
            s.setString(0, "r" + std::to_string(k));
            s.post();
        }
    }
    CliRun r = cli({"import", db(), path("WIDE.DBF"), "--dbf"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "3\n");
    EXPECT_EQ(r.err, std::string(rv::exchange::kWideSourceNotice) + "\n");
}

TEST_F(ExchangeCommands, ExportFollowsTheDatabaseSettings) {
    {
        Table t;
        t.setPath(dir / "V.DBF");
        t.open();
        t.append();
        t.setString("Title", "Caf\xE9 \"Noir\"");
        t.setNumber("Year", 1947);
        t.post();
    }
    // Export Title then Year only, no title line.
    std::string ini = "[Export]\r\nFirst Row=0\r\n[Export Fields]\r\n";
    for (int n = 3; n <= 40; ++n) ini += std::string(field(n).name) + "=0\r\n";
    ini += "[Export Order]\r\nTitle=2\r\nStar1=1\r\nStar2=3\r\n";
    writeBytes(dir / "V.INI", ini);
    CliRun r = cli({"export", db(), path("out.txt")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "1\n");
    EXPECT_EQ(readBytes(dir / "out.txt"), "\"\",\"Caf\xE9 \"\"Noir\"\"\"\r\n");

    r = cli({"export", db(), path("out.txt"), "--fields", "11,1", "--titles"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(readBytes(dir / "out.txt"), "\"Year\",\"Title\"\r\n\"1947\",\"Caf\xE9 \"\"Noir\"\"\"\r\n");

    r = cli({"export", db(), path("OUT.DBF"), "--dbf", "--fields", "1,11"});
    ASSERT_EQ(r.code, 0) << r.err;
    Table e;
    e.setPath(dir / "OUT.DBF");
    e.open();
    EXPECT_EQ(e.asString("TITLE"), "Caf\xE9 \"Noir\"");
    EXPECT_EQ(e.asString("YEAR"), "1947");

    EXPECT_EQ(cli({"export", db(), path("out.txt"), "--dbf"}).err, "Invalid file type selected.\n");
    std::string none = "[Export Fields]\r\n";
    for (int n = 1; n <= 40; ++n) none += std::string(field(n).name) + "=0\r\n";
    writeBytes(dir / "V.INI", none);
    r = cli({"export", db(), path("none.txt")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "No fields selected for export.\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "none.txt"));
}
