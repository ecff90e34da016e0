// reelvane-cli's table commands, run as a separate program the way scripts use them.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "core/app/Formats.h"
#include "core/db/SortOrder.h"
#include "core/db/Table.h"
#include "core/db/VideoTable.h"
#include "core/db/DbTestSupport.h"

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

class TableCommands : public ::testing::Test {
protected:
    TempDir dir;

    CliRun cli(const std::vector<std::string>& args) {
        std::string cmd = "REELVANE_CONFIG_DIR=" + shellQuoted(dir.path().string()) +
                          " REELVANE_PROGRAM_DIR=" + shellQuoted(dir.path().string()) + " " + REELVANE_CLI_PATH;
        for (const auto& a : args) cmd += " " + shellQuoted(a);
        cmd += " >" + shellQuoted((dir / "out").string()) + " 2>" + shellQuoted((dir / "err").string());
        int status = std::system(cmd.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(dir / "out"), readBytes(dir / "err")};
    }
    std::string db(const std::string& name = "V.DBF") { return (dir / name).string(); }
};

}  // namespace

TEST_F(TableCommands, CreateCheckAndInfo) {
    EXPECT_EQ(cli({"create", db()}).code, 0);
    EXPECT_EQ(cli({"check", db()}).code, 0);
    CliRun info = cli({"info", db()});
    EXPECT_EQ(info.code, 0);
    EXPECT_EQ(info.out, "records: 0\ndeleted: 0\nfields: 40\nsort: \nindex: absent\n");

    Table::create(db("OTHER.DBF"), {{"Title", FieldKind::Text, 60}});
    CliRun check = cli({"check", db("OTHER.DBF")});
    EXPECT_EQ(check.code, 1);
    EXPECT_EQ(check.err, std::string(kNotVideoTableMessage) + "\n");
    writeBytes(dir / "junk.dbf", "hello");
    check = cli({"check", db("junk.dbf")});
    EXPECT_EQ(check.code, 1);
    EXPECT_NE(check.err.find("is not a dBase table"), std::string::npos) << check.err;

    // A held table is not replaced.
    Table held;
    held.setPath(db());
    held.open();
    CliRun create = cli({"create", db()});
    EXPECT_EQ(create.code, 1);
    EXPECT_NE(create.err.find("is currently in use by another program.  New table creation will be aborted."),
              std::string::npos);

    EXPECT_EQ(cli({"info"}).code, 2);
    EXPECT_EQ(cli({"info", db(), "extra"}).code, 2);
}

TEST_F(TableCommands, ListPrintsQuotedUtf8LinesInTheChosenOrder) {
    Table::createVideoTable(db());
    {
        Table t;
        t.setPath(db());
        t.open();
        struct Row {
            const char* title;
            int year;
            Date bought;
        };
        for (const Row& r : {Row{"The \"Best\" Film", 1990, Date{1997, 3, 5}}, Row{"\xC9t\xE9", 1985, Date{}},
                             Row{"apple", 1990, Date{2001, 12, 31}}}) {
            t.append();
            t.setString("Title", r.title);
            t.setNumber("Year", r.year);
            t.setDate("PurchDate", r.bought);
            t.post();
        }
    }
    const auto formats = rv::app::loadDisplayFormats(dir / "RVLVID.INI");  // no file: the defaults
    const std::string d1 = formats.date().format(Date{1997, 3, 5});
    const std::string d3 = formats.date().format(Date{2001, 12, 31});

    CliRun plain = cli({"list", db(), "--fields", "1,11,35"});
    EXPECT_EQ(plain.code, 0) << plain.err;
    EXPECT_EQ(plain.out, "\"The \"\"Best\"\" Film\",\"1990\",\"" + d1 + "\"\n\"\xC3\x89t\xC3\xA9\",\"1985\",\"\"\n" +
                             "\"apple\",\"1990\",\"" + d3 + "\"\n");

    CliRun sorted = cli({"list", db(), "--sort", "11,1", "--fields", "1"});
    EXPECT_EQ(sorted.out, "\"\xC3\x89t\xC3\xA9\"\n\"apple\"\n\"The \"\"Best\"\" Film\"\n");
    CliRun limited = cli({"list", db(), "--sort=1", "--fields=1", "--limit", "1"});
    EXPECT_EQ(limited.out, "\"apple\"\n");
    CliRun all = cli({"list", db(), "--limit", "1"});
    EXPECT_EQ(std::count(all.out.begin(), all.out.end(), ','), 39);

    for (auto bad : std::vector<std::vector<std::string>>{{"list", db(), "--sort", "41"},
                                                          {"list", db(), "--sort", "1,2,3,4,5"},
                                                          {"list", db(), "--fields", "0"},
                                                          {"list", db(), "--limit", "-1"},
                                                          {"list", db(), "--colour", "red"}})
        EXPECT_EQ(cli(bad).code, 2) << bad[2];
}

TEST_F(TableCommands, DeletePackAndReindex) {
    fs::path p = videoTable(dir.path(), "V.DBF", 6);
    EXPECT_EQ(cli({"delete", db(), "2"}).code, 0);
    CliRun again = cli({"delete", db(), "2"});
    EXPECT_EQ(again.code, 1);
    EXPECT_EQ(again.err, "Record 2 does not exist or is already deleted.\n");
    EXPECT_EQ(cli({"delete", db(), "99"}).code, 1);
    EXPECT_EQ(cli({"delete", db(), "x"}).code, 2);
    EXPECT_NE(cli({"info", db()}).out.find("records: 5\ndeleted: 1\n"), std::string::npos);

    // The configuration file's levels, else the given ones.
    writeBytes(dir / "V.INI", "[Sort Order]\r\nPrimary Sort=11\r\nSecondary Sort=1\r\n");
    CliRun reindex = cli({"reindex", db()});
    EXPECT_EQ(reindex.code, 0) << reindex.err;
    EXPECT_EQ(reindex.out, "sort: STR(Year,12,0)+Upper(Left(Title,40))\n");
    EXPECT_NE(cli({"info", db()}).out.find("sort: STR(Year,12,0)+Upper(Left(Title,40))\nindex: present\n"),
              std::string::npos);
    EXPECT_EQ(cli({"reindex", db(), "--sort", "1"}).out, "sort: Upper(Left(Title,80))\n");

    // An index file left behind by changes that were never written to it.
    Table t;
    t.setPath(p);
    std::string oldIndex = readBytes(t.mdxPath());
    t.open();
    appendVideos(t, 7, 7);
    t.close();
    writeBytes(t.mdxPath(), oldIndex);
    EXPECT_NE(cli({"info", db()}).out.find("index: stale\n"), std::string::npos);

    CliRun pack = cli({"pack", db()});
    EXPECT_EQ(pack.code, 0) << pack.err;
    EXPECT_EQ(pack.out, "records: 6\nremoved: 1\n");
    EXPECT_EQ(cli({"info", db()}).out,
              "records: 6\ndeleted: 0\nfields: 40\nsort: Upper(Left(Title,80))\nindex: present\n");

    // Exclusive commands while another program holds the table.
    t.open();
    CliRun busy = cli({"pack", db()});
    EXPECT_EQ(busy.code, 1);
    EXPECT_EQ(busy.err,
              "Unable to pack table.  Packing requires exclusive use of the DBase File.  Make sure that the DBase File "
              "is not in use by another program  or that no other users are running the software or that no other "
              "copies of the software are in use.\n");
    busy = cli({"reindex", db()});
    EXPECT_EQ(busy.code, 1);
    EXPECT_EQ(busy.err.rfind("Unable to reindex table.  Reindexing requires exclusive use", 0), 0u) << busy.err;
}
