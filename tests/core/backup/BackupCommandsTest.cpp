// reelvane-cli backup and restore, run as a separate program the way scripts use them.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "core/app/Profile.h"
#include "core/backup/BackupTestSupport.h"
#include "core/db/SortOrder.h"

using namespace rv::backup;
using namespace rv::backup::test;
using rv::db::Table;
using rv::db::test::readBytes;
using rv::db::test::TempDir;
using rv::db::test::writeBytes;

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

class BackupCommands : public ::testing::Test {
protected:
    TempDir dir;
    fs::path program = dir / "program";
    fs::path config = dir / "config";
    fs::path data = dir / "data";
    fs::path medium = dir / "medium";

    void SetUp() override {
        for (const auto& p : {program, config, data, medium}) fs::create_directory(p);
    }

    CliRun cli(const std::vector<std::string>& args) {
        std::string cmd = "REELVANE_CONFIG_DIR=" + shellQuoted(config.string()) +
                          " REELVANE_PROGRAM_DIR=" + shellQuoted(program.string()) + " " + REELVANE_CLI_PATH;
        for (const auto& a : args) cmd += " " + shellQuoted(a);
        cmd += " >" + shellQuoted((dir / "out").string()) + " 2>" + shellQuoted((dir / "err").string());
        int status = std::system(cmd.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(dir / "out"), readBytes(dir / "err")};
    }

    fs::path table(const fs::path& path, std::vector<std::string> titles) {
        Table::createVideoTable(path);
        Table t;
        t.setPath(path);
        t.open();
        for (const auto& title : titles) {
            t.append();
            t.setString("Title", title);
            t.post();
        }
        t.close();
        return path;
    }
};

}  // namespace

TEST_F(BackupCommands, BackupPrintsTheWindowsMessages) {
    const fs::path db = table(data / "FILMS.DBF", {"One", "Two"});
    CliRun run = cli({"backup", db.string(), "--what", "db", medium.string()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, std::string(kBackupDone) + "\n");
    EXPECT_EQ(readBytes(medium / "FILMS.DBF"), readBytes(db));

    run = cli({"backup", db.string(), "--what", "db", data.string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, std::string(kBackupIdentical) + "\n");

    {
        Holder other(db);
        ASSERT_TRUE(other.holding());
        run = cli({"backup", db.string(), "--what=db", medium.string()});
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err, backupInUseMessage() + "\n");
    }

    writeBytes(data / "FILMS.002", "Star\r\n");
    writeBytes(data / "FILMS.014", "not a database list\r\n");
    run = cli({"backup", db.string(), "--what", "lists", medium.string()});
    EXPECT_EQ(run.code, 0);
    EXPECT_TRUE(fs::exists(medium / "FILMS.002"));
    EXPECT_FALSE(fs::exists(medium / "FILMS.014"));

    run = cli({"backup", db.string(), "--what", "reports", medium.string()});
    EXPECT_EQ(run.code, 1) << "no report definitions in the program folder yet";
    EXPECT_EQ(run.err, std::string(kBackupFailed) + "\n");
    writeBytes(program / "RVLVID.URP", "definitions");
    run = cli({"backup", db.string(), "--what", "reports", medium.string()});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(readBytes(medium / "RVLVID.URP"), "definitions");

    EXPECT_EQ(cli({"backup", db.string(), medium.string()}).code, 2) << "--what is needed";
    EXPECT_EQ(cli({"backup", db.string(), "--what", "all", medium.string()}).code, 2);
    run = cli({"backup", (data / "NONE.DBF").string(), "--what", "db", medium.string()});
    EXPECT_EQ(run.code, 1);
}

TEST_F(BackupCommands, RestoredDatabaseBecomesTheLastDatabaseIndexedInItsOrder) {
    // The current database is the last one of RVLVID.INI; its configuration sorts by Year.
    const fs::path current = table(data / "MINE.DBF", {"Mine"});
    {
        rv::app::ProfileFile ini(config / "RVLVID.INI");
        ini.writeText("Misc", "Last Database", current.string());
        ini.save();
        rv::app::ProfileFile own(data / "MINE.INI");
        own.writeWhole("Sort Order", "Primary Sort", 11);
        own.save();
    }
    table(medium / "FILMS.DBF", {"b", "a", "c"});
    CliRun run = cli({"restore", "--what", "db", (medium / "FILMS.DBF").string()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, std::string(kRestoreDone) + "\n");
    EXPECT_TRUE(fs::exists(program / "FILMS.DBF"));
    rv::app::ProfileFile ini(config / "RVLVID.INI");
    EXPECT_EQ(ini.readText("Misc", "Last Database", ""), (program / "FILMS.DBF").string());
    Table t;
    t.setPath(program / "FILMS.DBF");
    t.setIndexName(rv::db::kSortTagName);
    t.open();
    EXPECT_EQ(t.orderExpression(), rv::db::BuildSortString({11, 0, 0, 0}));
    EXPECT_EQ(t.tagStatus(rv::db::kSortTagName), Table::TagStatus::Current);

    // Lists and configuration go beside the database named with --db.
    writeBytes(medium / "MINE.001", "Producer\r\n");
    writeBytes(medium / "MINE.INI", "[Misc]\r\n");
    run = cli({"restore", "--what", "lists", (medium / "FILMS.DBF").string(), "--db", current.string()});
    EXPECT_EQ(run.code, 1) << "fourteen of the fifteen files are missing";
    EXPECT_EQ(readBytes(data / "MINE.001"), "Producer\r\n");
    EXPECT_NE(run.err.find(missingFileMessage("MINE.002")), std::string::npos);
    EXPECT_EQ(run.out, std::string(kListsPartlyRestored) + "\n");
    run = cli({"restore", "--what", "ini", (medium / "MINE.DBF").string(), "--db", current.string()});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(readBytes(data / "MINE.INI"), "[Misc]\r\n");

    run = cli({"restore", "--what", "reports", (medium / "FILMS.DBF").string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, std::string(kReportsMissing) + "\n");
}
