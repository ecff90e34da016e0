// Backup and restore of the four kinds of file: every check and message, the table back in
// shared use after each exclusive step, the search suspended or ended, and copies that never
// harm what they replace.

#include <gtest/gtest.h>

#include "core/backup/BackupTestSupport.h"
#include "core/db/SortOrder.h"
#include "core/db/VideoTable.h"

using namespace rv::backup;
using namespace rv::backup::test;
using rv::db::Table;
using rv::db::test::readBytes;
using rv::db::test::TempDir;
using rv::db::test::titles;
using rv::db::test::writeBytes;
using Strings = std::vector<std::string>;

namespace {

// A program folder, a database folder elsewhere and a backup medium.
struct Folders {
    TempDir dir;
    fs::path program = dir / "program";
    fs::path data = dir / "data";
    fs::path medium = dir / "medium";
    Folders() {
        fs::create_directory(program);
        fs::create_directory(data);
        fs::create_directory(medium);
    }
};

// A video table of n records titled "<prefix> n" with the tag NewIndex on the title.
fs::path database(const fs::path& path, int n, const std::string& prefix = "Video") {
    Table::createVideoTable(path);
    Table t;
    t.setPath(path);
    t.open();
    for (int i = n; i >= 1; --i) {
        t.append();
        t.setString("Title", prefix + " " + std::to_string(i));
        t.post();
    }
    t.close();
    t.addIndex(rv::db::kSortTagName, "Upper(Left(Title,80))");
    return path;
}

// List files base.001 ... base.017, also the two numbers no database has (they must never
// be copied).
void writeAllLists(const fs::path& base) {
    for (int n = 1; n <= 17; ++n) writeBytes(base.string() + listExtension(n), "entry " + std::to_string(n) + "\r\n");
}

Strings fifteenListNames(const std::string& name) {
    Strings out;
    for (int n = 1; n <= 17; ++n)
        if (n != 14 && n != 17) out.push_back(name + listExtension(n));
    return out;
}

const Notice kDoneBackup{"Notice", kBackupDone};

}  // namespace

// ---- Backup of the database --------------------------------------------------------------

TEST(BackupDatabase, IntoTheFolderItLivesInIsRefused) {
    Folders f;
    TestHost host(database(f.data / "master.dbf", 2), f.program);
    fs::create_directory_symlink(f.data, f.dir / "same");
    for (const fs::path& folder : {f.data, f.dir / "same", f.dir / "program" / ".." / "data"}) {
        host.notices.clear();
        EXPECT_EQ(backupDatabase(host, host, folder), Outcome::Stopped) << folder;
        ASSERT_EQ(host.notices.size(), 1u);
        EXPECT_EQ(host.notices[0].title, "Error");
        EXPECT_EQ(host.notices[0].text, kBackupIdentical);
    }
    EXPECT_EQ(namesIn(f.data), (Strings{"master.MDX", "master.dbf"}));
    EXPECT_TRUE(host.t.isOpen());
    EXPECT_TRUE(host.calls.empty()) << "nothing else happens";
}

TEST(BackupDatabase, CopiesTheTableOnlyWithTheSearchSuspendedAndResumed) {
    Folders f;
    const fs::path db = database(f.data / "MASTER.DBF", 3);
    TestHost host(db, f.program);
    host.search = true;
    writeBytes(f.medium / "master.dbf", "an older backup in another letter case");
    EXPECT_EQ(backupDatabase(host, host, f.medium), Outcome::Completed);
    EXPECT_EQ(host.texts(), Strings{kBackupDone});
    EXPECT_EQ(host.titles(), Strings{"Notice"});
    EXPECT_EQ(host.calls, (Strings{"suspend", "busy", "resume", "reopened", "not busy"}));
    EXPECT_EQ(namesIn(f.medium), Strings{"master.dbf"}) << "the index is not backed up; the old copy is replaced";
    EXPECT_EQ(readBytes(f.medium / "master.dbf"), readBytes(db));
    EXPECT_TRUE(host.t.isOpen());
    EXPECT_FALSE(host.t.exclusive());
    EXPECT_TRUE(host.search);
    EXPECT_EQ(host.openWhenShown, std::vector<bool>{true}) << "the success is shown over the reopened table";
}

TEST(BackupDatabase, HeldByAnotherProgramGivesTheExclusiveUseMessage) {
    Folders f;
    const fs::path db = database(f.data / "MASTER.DBF", 3);
    TestHost host(db, f.program);
    host.search = true;
    Holder other(db);
    ASSERT_TRUE(other.holding());
    EXPECT_EQ(backupDatabase(host, host, f.medium), Outcome::Stopped);
    EXPECT_EQ(host.texts(), Strings{backupInUseMessage()});
    EXPECT_EQ(host.titles(), Strings{"Error"});
    EXPECT_EQ(backupInUseMessage(),
              "Backing up the database requires exclusive use of the DBase File.  Make sure that the DBase File is not "
              "in use by another program  or that no other users are running the software or that no other copies of "
              "the software are in use.");
    EXPECT_EQ(host.calls, (Strings{"suspend", "resume", "reopened"}));
    EXPECT_TRUE(host.t.isOpen());
    EXPECT_FALSE(host.t.exclusive());
    EXPECT_EQ(host.t.recordCount(), 3);
    EXPECT_TRUE(namesIn(f.medium).empty());
}

TEST(BackupDatabase, NotEnoughRoomCountsTheOlderBackupItReplaces) {
    Folders f;
    const fs::path db = database(f.data / "MASTER.DBF", 3);
    const auto size = fs::file_size(db);
    TestHost host(db, f.program);
    {
        FreeSpace space(size - 1);
        EXPECT_EQ(backupDatabase(host, host, f.medium), Outcome::Stopped);
        EXPECT_EQ(host.texts(), Strings{kBackupNoRoom});
        EXPECT_EQ(host.titles(), Strings{"Error"});
        EXPECT_EQ(host.calls, Strings{"reopened"});
        EXPECT_TRUE(host.t.isOpen());
        EXPECT_TRUE(namesIn(f.medium).empty());
    }
    // An older backup of 100 bytes makes room for itself.
    writeBytes(f.medium / "MASTER.DBF", std::string(100, 'o'));
    host.notices.clear();
    {
        FreeSpace space(size - 100);
        EXPECT_EQ(backupDatabase(host, host, f.medium), Outcome::Completed);
        EXPECT_EQ(host.texts(), Strings{kBackupDone});
    }
    EXPECT_EQ(readBytes(f.medium / "MASTER.DBF"), readBytes(db));
}

TEST(BackupDatabase, AFailedCopyReportsAndReopens) {
    Folders f;
    TestHost host(database(f.data / "MASTER.DBF", 3), f.program);
    EXPECT_EQ(backupDatabase(host, host, f.dir / "removed medium"), Outcome::Stopped);
    EXPECT_EQ(host.texts(), Strings{kBackupFailed});
    EXPECT_EQ(host.titles(), Strings{"Error"});
    EXPECT_EQ(host.calls, (Strings{"busy", "not busy", "reopened"}));
    EXPECT_TRUE(host.t.isOpen());
}

TEST(BackupDatabase, AMediumFillingUpHalfWayKeepsThePreviousBackup) {
    Folders f;
    const fs::path db = database(f.data / "MASTER.DBF", 200);
    ASSERT_GT(fs::file_size(db), 60000u);
    writeBytes(f.medium / "MASTER.DBF", "yesterday's good backup");
    const int code = withFileSizeLimit(30000, [&] {
        TestHost host(db, f.program);
        const bool asExpected = backupDatabase(host, host, f.medium) == Outcome::Stopped &&
                                host.texts() == Strings{kBackupFailed} && host.t.isOpen() && host.t.recordCount() == 200;
        return asExpected ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readBytes(f.medium / "MASTER.DBF"), "yesterday's good backup");
    EXPECT_EQ(namesIn(f.medium), Strings{"MASTER.DBF"});
}

// ---- Backup of the data lists, the configuration and the report definitions -------------

TEST(BackupLists, CopiesTheFifteenListFilesAfterSavingTheLists) {
    Folders f;
    const fs::path db = database(f.data / "MASTER.DBF", 1);
    writeAllLists(f.data / "MASTER");
    TestHost host(db, f.program);
    EXPECT_EQ(backupLists(host, host, f.medium), Outcome::Completed);
    EXPECT_EQ(host.texts(), Strings{kBackupDone});
    EXPECT_EQ(host.calls, (Strings{"busy", "save lists", "not busy"}));
    EXPECT_EQ(namesIn(f.medium), fifteenListNames("MASTER")) << "lists 14 and 17 have no database file";
    EXPECT_EQ(readBytes(f.medium / "MASTER.016"), "entry 16\r\n");
}

TEST(BackupLists, MissingListsAreSkippedAndTheChecksStopTheRun) {
    Folders f;
    const fs::path db = database(f.data / "Video.Collection.dbf", 1);
    writeBytes(f.data / "Video.001", "a\r\n");
    writeBytes(f.data / "video.009", "b\r\n");  // found in any letter case
    TestHost host(db, f.program);
    EXPECT_EQ(backupLists(host, host, f.medium), Outcome::Completed);
    EXPECT_EQ(namesIn(f.medium), (Strings{"Video.001", "Video.009"})) << "named after the table name";

    host.notices.clear();
    EXPECT_EQ(backupLists(host, host, f.data), Outcome::Stopped);
    EXPECT_EQ(host.texts(), Strings{kBackupIdentical});

    host.notices.clear();
    EXPECT_EQ(backupLists(host, host, f.dir / "removed medium"), Outcome::Stopped);
    EXPECT_EQ(host.texts(), Strings{kBackupFailed});
    EXPECT_EQ(host.calls.back(), "not busy");
}

TEST(BackupConfiguration, CopiesTheWrittenConfigurationFile) {
    Folders f;
    const fs::path db = database(f.data / "MASTER.DBF", 1);
    TestHost host(db, f.program);
    // No configuration file yet: nothing to copy, and that is a success.
    EXPECT_EQ(backupConfiguration(host, host, f.medium), Outcome::Completed);
    EXPECT_EQ(host.texts(), Strings{kBackupDone});
    EXPECT_EQ(host.calls, (Strings{"busy", "save settings", "not busy"}));
    EXPECT_TRUE(namesIn(f.medium).empty());

    writeBytes(f.data / "master.ini", "[Sort Order]\r\nPrimary Sort=1\r\n");
    EXPECT_EQ(backupConfiguration(host, host, f.medium), Outcome::Completed);
    EXPECT_EQ(namesIn(f.medium), Strings{"MASTER.INI"});
    EXPECT_EQ(readBytes(f.medium / "MASTER.INI"), readBytes(f.data / "master.ini"));

    host.notices.clear();
    EXPECT_EQ(backupConfiguration(host, host, f.data), Outcome::Stopped);
    EXPECT_EQ(host.texts(), Strings{kBackupIdentical});
    host.notices.clear();
    EXPECT_EQ(backupConfiguration(host, host, f.dir / "removed medium"), Outcome::Stopped);
    EXPECT_EQ(host.texts(), Strings{kBackupFailed});
}

TEST(BackupReports, CopiesTheReportDefinitionsWithTheirOwnMessages) {
    Folders f;
    TestHost host(database(f.data / "MASTER.DBF", 1), f.program);
    const std::string definitions(5000, 'r');
    writeBytes(f.program / "RVLVID.URP", definitions);

    EXPECT_EQ(backupReports(host, host, f.program), Outcome::Stopped);
    EXPECT_EQ(host.texts(), Strings{kBackupReportsIdentical});
    host.notices.clear();
    {
        FreeSpace space(4999);
        EXPECT_EQ(backupReports(host, host, f.medium), Outcome::Stopped);
        EXPECT_EQ(host.texts(), Strings{kBackupReportsNoRoom});
        EXPECT_EQ(host.titles(), Strings{"Error"});
    }
    host.notices.clear();
    EXPECT_EQ(backupReports(host, host, f.medium), Outcome::Completed);
    EXPECT_EQ(host.texts(), Strings{kBackupDone});
    EXPECT_EQ(readBytes(f.medium / "RVLVID.URP"), definitions);
    EXPECT_TRUE(host.t.isOpen());

    fs::remove(f.program / "RVLVID.URP");
    host.notices.clear();
    EXPECT_EQ(backupReports(host, host, f.medium), Outcome::Stopped) << "no definitions file to copy";
    EXPECT_EQ(host.texts(), Strings{kBackupFailed});
    EXPECT_EQ(readBytes(f.medium / "RVLVID.URP"), definitions) << "the earlier backup stays";
}

// ---- Restore of a database ---------------------------------------------------------------

TEST(RestoreDatabase, OverTheCurrentDatabaseRebuildsItsIndexInTheCurrentOrder) {
    Folders f;
    const fs::path master = database(f.program / "MASTER.DBF", 3, "Old");
    database(f.medium / "MASTER.DBF", 5, "Restored");
    fs::remove(f.medium / "MASTER.MDX");  // backups carry no index
    TestHost host(master, f.program);
    host.search = true;
    host.sort = "STR(Year,12,0)+Upper(Left(Title,40))";
    EXPECT_EQ(restoreDatabase(host, host, f.medium / "MASTER.DBF"), Outcome::Completed);
    EXPECT_EQ(host.texts(), Strings{kRestoreDone});
    EXPECT_EQ(host.titles(), Strings{"Notice"});
    EXPECT_EQ(host.calls, (Strings{"end search", "busy", "current MASTER.DBF", "reopened", "not busy"}))
        << "the search is ended, not resumed";
    EXPECT_FALSE(host.search);
    EXPECT_TRUE(host.t.isOpen());
    EXPECT_FALSE(host.t.exclusive());
    EXPECT_EQ(host.t.path(), master);
    EXPECT_EQ(host.t.indexName(), rv::db::kSortTagName);
    EXPECT_EQ(host.t.orderExpression(), host.sort);
    EXPECT_EQ(host.t.tagStatus(rv::db::kSortTagName), Table::TagStatus::Current);
    EXPECT_EQ(titles(host.t), (Strings{"Restored 1", "Restored 2", "Restored 3", "Restored 4", "Restored 5"}));
    EXPECT_EQ(namesIn(f.program), (Strings{"MASTER.DBF", "MASTER.MDX"}));
}

TEST(RestoreDatabase, ABackupWithAnotherNameBecomesTheCurrentDatabase) {
    Folders f;
    const fs::path current = database(f.data / "MASTER.DBF", 3, "Current");
    const std::string before = readBytes(current);
    database(f.medium / "Films.dbf", 2, "Film");
    TestHost host(current, f.program);
    host.sort = "";
    EXPECT_EQ(restoreDatabase(host, host, f.medium / "Films.dbf"), Outcome::Completed);
    EXPECT_EQ(host.texts(), Strings{kRestoreDone});
    EXPECT_EQ(host.database, f.program / "Films.dbf") << "restored into the program folder";
    EXPECT_TRUE(host.t.isOpen());
    EXPECT_EQ(host.t.indexName(), "") << "no sort order: record order, and the old index is gone";
    EXPECT_EQ(namesIn(f.program), Strings{"Films.dbf"});
    EXPECT_EQ(titles(host.t), (Strings{"Film 2", "Film 1"}));
    EXPECT_EQ(readBytes(current), before);
}

TEST(RestoreDatabase, RefusedFilesCopyNothing) {
    Folders f;
    const fs::path master = database(f.program / "MASTER.DBF", 3);
    const std::string before = readBytes(master);
    writeBytes(f.medium / "NOTES.DBF", "plain text, no table");
    Table::create(f.medium / "OTHER.DBF", {{"NAME", rv::db::FieldKind::Text, 10}});
    TestHost host(master, f.program);
    host.search = true;
    struct Case {
        fs::path picked;
        std::string message;  // "" for an engine message of its own
    };
    const Case cases[] = {
        {f.program / "MASTER.DBF", kRestoreIdentical},
        {f.program / ".." / "program" / "master.dbf", kRestoreIdentical},
        {f.medium / "OTHER.DBF", rv::db::kNotVideoTableMessage},
        {f.medium / "NOTES.DBF", ""},
    };
    for (const auto& c : cases) {
        host.notices.clear();
        EXPECT_EQ(restoreDatabase(host, host, c.picked), Outcome::Stopped) << c.picked;
        ASSERT_EQ(host.notices.size(), 1u) << c.picked;
        EXPECT_EQ(host.notices[0].title, "Error");
        if (!c.message.empty()) {
            EXPECT_EQ(host.notices[0].text, c.message);
        }
        EXPECT_FALSE(host.notices[0].text.empty());
    }
    EXPECT_EQ(host.calls, Strings{"end search"}) << "a refused restore still ends the search";
    EXPECT_EQ(namesIn(f.program), (Strings{"MASTER.DBF", "MASTER.MDX"}));
    EXPECT_EQ(readBytes(master), before);
    EXPECT_TRUE(host.t.isOpen());
}

TEST(RestoreDatabase, HeldByAnotherProgramIsRefused) {
    Folders f;
    const fs::path master = database(f.program / "MASTER.DBF", 3);
    const fs::path films = database(f.program / "FILMS.DBF", 1);
    database(f.medium / "MASTER.DBF", 5);
    database(f.medium / "FILMS.DBF", 5);
    TestHost host(master, f.program);
    for (const fs::path& held : {master, films}) {
        const std::string before = readBytes(held);
        Holder other(held);
        ASSERT_TRUE(other.holding());
        host.notices.clear();
        host.calls.clear();
        EXPECT_EQ(restoreDatabase(host, host, f.medium / held.filename()), Outcome::Stopped) << held;
        EXPECT_EQ(host.texts(), Strings{kRestoreInUse});
        EXPECT_EQ(host.titles(), Strings{"Error"});
        EXPECT_EQ(readBytes(held), before);
        EXPECT_TRUE(host.t.isOpen());
        EXPECT_FALSE(host.t.exclusive());
        EXPECT_EQ(host.t.path(), master);
    }
}

TEST(RestoreDatabase, NotEnoughRoomLeavesTheCurrentDatabaseOpen) {
    Folders f;
    const fs::path master = database(f.program / "MASTER.DBF", 3);
    const fs::path backup = database(f.medium / "MASTER.DBF", 50);
    TestHost host(master, f.program);
    // The current database, about to be replaced, counts as room.
    FreeSpace space(fs::file_size(backup) - fs::file_size(master) - 1);
    EXPECT_EQ(restoreDatabase(host, host, backup), Outcome::Stopped);
    EXPECT_EQ(host.texts(), Strings{kRestoreNoRoom});
    EXPECT_EQ(host.calls, Strings{"reopened"});
    EXPECT_TRUE(host.t.isOpen());
    EXPECT_EQ(host.t.recordCount(), 3);
    // A new name in the program folder: the table was never closed.
    database(f.medium / "FILMS.DBF", 50);
    host.calls.clear();
    host.notices.clear();
    EXPECT_EQ(restoreDatabase(host, host, f.medium / "FILMS.DBF"), Outcome::Stopped);
    EXPECT_EQ(host.texts(), Strings{kRestoreNoRoom});
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(host.t.isOpen());
}

TEST(RestoreDatabase, ACopyFailingHalfWayLeavesThePreviousDatabaseIntactAndOpen) {
    Folders f;
    const fs::path master = database(f.program / "MASTER.DBF", 3, "Mine");
    const std::string before = readBytes(master);
    const fs::path backup = database(f.medium / "MASTER.DBF", 200, "Backup");
    ASSERT_GT(fs::file_size(backup), 60000u);
    const int code = withFileSizeLimit(30000, [&] {
        TestHost host(master, f.program);
        if (restoreDatabase(host, host, backup) != Outcome::Stopped) return 1;
        if (host.texts() != Strings{kRestoreFailed}) return 2;
        if (!host.t.isOpen() || host.t.path() != master || host.database != master) return 3;
        return host.t.recordCount() == 3 ? 0 : 4;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readBytes(master), before);
    EXPECT_EQ(namesIn(f.program), (Strings{"MASTER.DBF", "MASTER.MDX"})) << "no partial copy is left";
}

// ---- Restore of the data lists -----------------------------------------------------------

TEST(RestoreLists, IntoTheCurrentDatabasesFolderWithoutLookingForListsFourteenAndSeventeen) {
    Folders f;
    TestHost host(database(f.data / "MASTER.DBF", 1), f.program);
    for (const auto& name : fifteenListNames("MASTER")) writeBytes(f.medium / name, "restored " + name + "\r\n");
    EXPECT_EQ(restoreLists(host, host, f.medium / "MASTER.DBF"), Outcome::Completed);
    EXPECT_EQ(host.texts(), Strings{kListsRestored});
    EXPECT_EQ(host.titles(), Strings{"Notice"});
    EXPECT_EQ(host.calls, (Strings{"busy", "not busy", "lists loaded"}));
    EXPECT_EQ(readBytes(f.data / "MASTER.013"), "restored MASTER.013\r\n");
    for (const auto& name : fifteenListNames("MASTER")) EXPECT_TRUE(fs::exists(f.data / name)) << name;
    EXPECT_TRUE(namesIn(f.program).empty()) << "nothing lands in the program folder";
}

TEST(RestoreLists, EachMissingFileIsWarnedAboutAndTheEndSaysSo) {
    Folders f;
    TestHost host(database(f.data / "MASTER.DBF", 1), f.program);
    for (const auto& name : fifteenListNames("MASTER"))
        if (name != "MASTER.004" && name != "MASTER.015") writeBytes(f.medium / name, "x\r\n");
    // The dialog offers .DBF files, but any file of the folder will do.
    EXPECT_EQ(restoreLists(host, host, f.medium / "MASTER.001"), Outcome::Partial);
    EXPECT_EQ(host.texts(), (Strings{missingFileMessage("MASTER.004"), missingFileMessage("MASTER.015"),
                                     kListsPartlyRestored}));
    EXPECT_EQ(host.titles(), (Strings{"Warning", "Warning", "Notice"}));
    EXPECT_EQ(missingFileMessage("MASTER.004"),
              "The following file \"MASTER.004\" could not be located on the specified source drive.");
    EXPECT_EQ(host.calls.back(), "lists loaded");
}

TEST(RestoreLists, StopsAtTheIdenticalMessageOrAFailedCopyWithoutReloading) {
    Folders f;
    TestHost host(database(f.data / "MASTER.DBF", 1), f.program);
    writeAllLists(f.data / "MASTER");
    EXPECT_EQ(restoreLists(host, host, f.data / "MASTER.DBF"), Outcome::Stopped);
    EXPECT_EQ(host.texts(), Strings{kRestoreIdentical});

    for (const auto& name : fifteenListNames("MASTER")) writeBytes(f.medium / name, "new\r\n");
    fs::remove(f.medium / "MASTER.003");
    fs::create_directory(f.medium / "MASTER.003");  // there, but no file that can be read
    host.notices.clear();
    host.calls.clear();
    EXPECT_EQ(restoreLists(host, host, f.medium / "MASTER.DBF"), Outcome::Stopped);
    EXPECT_EQ(host.texts(), Strings{kRestoreFailed});
    EXPECT_EQ(host.calls, (Strings{"busy", "not busy"}));
    EXPECT_EQ(readBytes(f.data / "MASTER.002"), "new\r\n") << "lists before the stop stay restored";
    EXPECT_EQ(readBytes(f.data / "MASTER.004"), "entry 4\r\n");
}

// ---- Restore of a configuration file -----------------------------------------------------

TEST(RestoreConfiguration, TheCurrentDatabasesFileIsReadAgainAnotherOneOnlyCopied) {
    Folders f;
    TestHost host(database(f.data / "MASTER.DBF", 1), f.program);
    writeBytes(f.medium / "master.ini", "[Misc]\r\n");
    writeBytes(f.medium / "FILMS.INI", "[Films]\r\n");
    EXPECT_EQ(restoreConfiguration(host, host, f.medium / "Master.dbf"), Outcome::Completed);
    EXPECT_EQ(host.texts(), Strings{kConfigurationRestored});
    EXPECT_EQ(host.calls, (Strings{"busy", "settings read", "not busy"}));
    EXPECT_EQ(readBytes(f.data / "Master.INI"), "[Misc]\r\n");

    host.calls.clear();
    EXPECT_EQ(restoreConfiguration(host, host, f.medium / "FILMS.DBF"), Outcome::Completed);
    EXPECT_EQ(host.calls, (Strings{"busy", "not busy"}));
    EXPECT_EQ(readBytes(f.data / "FILMS.INI"), "[Films]\r\n");
    EXPECT_TRUE(namesIn(f.program).empty());
}

TEST(RestoreConfiguration, MissingAndIdenticalFiles) {
    Folders f;
    TestHost host(database(f.data / "MASTER.DBF", 1), f.program);
    EXPECT_EQ(restoreConfiguration(host, host, f.medium / "OTHER.DBF"), Outcome::Stopped);
    EXPECT_EQ(host.texts(), Strings{missingFileMessage("OTHER.INI")});
    EXPECT_EQ(host.titles(), Strings{"Warning"});
    host.notices.clear();
    EXPECT_EQ(restoreConfiguration(host, host, f.data / "MASTER.DBF"), Outcome::Stopped);
    EXPECT_EQ(host.texts(), Strings{kRestoreIdentical});
    EXPECT_EQ(host.calls.back(), "not busy");
}

// ---- Restore of the report definitions ---------------------------------------------------

TEST(RestoreReports, TheFolderOfThePickedFileGivesRVLVIDURP) {
    Folders f;
    TestHost host(database(f.data / "MASTER.DBF", 1), f.program);
    writeBytes(f.medium / "rvlvid.urp", std::string(3000, 'n'));
    writeBytes(f.medium / "OLD.URP", "not this one");
    writeBytes(f.program / "RVLVID.URP", "old definitions");

    EXPECT_EQ(restoreReports(host, host, f.program / "RVLVID.URP"), Outcome::Stopped);
    EXPECT_EQ(host.texts(), Strings{kRestoreIdentical});
    host.notices.clear();
    {
        FreeSpace space(3000 - std::string("old definitions").size() - 1);
        EXPECT_EQ(restoreReports(host, host, f.medium / "OLD.URP"), Outcome::Stopped);
        EXPECT_EQ(host.texts(), Strings{kRestoreNoRoom});
    }
    EXPECT_EQ(readBytes(f.program / "RVLVID.URP"), "old definitions");
    host.notices.clear();
    EXPECT_EQ(restoreReports(host, host, f.medium / "OLD.URP"), Outcome::Completed);
    EXPECT_EQ(host.texts(), Strings{kRestoreDone});
    EXPECT_EQ(readBytes(f.program / "RVLVID.URP"), std::string(3000, 'n'));
    EXPECT_EQ(namesIn(f.program), Strings{"RVLVID.URP"});

    host.notices.clear();
    EXPECT_EQ(restoreReports(host, host, f.data / "MASTER.DBF"), Outcome::Stopped);
    EXPECT_EQ(host.texts(), Strings{kReportsMissing});
    EXPECT_EQ(host.titles(), Strings{"Error"});
}

TEST(BackupRestore, TheChoiceSelectsTheKindAndABackupRestoresWhatItSaved) {
    Folders f;
    const fs::path master = database(f.program / "MASTER.DBF", 4, "Saved");
    writeAllLists(f.program / "MASTER");
    writeBytes(f.program / "MASTER.INI", "[Misc]\r\n");
    writeBytes(f.program / "RVLVID.URP", "reports");
    TestHost host(master, f.program);
    for (Choice c : {Choice::Database, Choice::Lists, Choice::Configuration, Choice::Reports})
        EXPECT_EQ(backup(host, host, c, f.medium), Outcome::Completed);
    Strings expected = fifteenListNames("MASTER");
    for (const char* n : {"MASTER.DBF", "MASTER.INI", "RVLVID.URP"}) expected.push_back(n);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(f.medium), expected);

    // Lose the records, then restore the backup over the current database.
    host.t.first();
    while (host.t.recordCount() > 0) host.t.deleteRecord();
    host.t.close();
    host.t.setExclusive(true);
    host.t.open();
    host.t.pack();
    host.t.close();
    host.t.setExclusive(false);
    host.t.open();
    EXPECT_EQ(host.t.recordCount(), 0);
    // The backup lies in another folder than the program folder here, so it is not "identical".
    EXPECT_EQ(restore(host, host, Choice::Database, f.medium / "MASTER.DBF"), Outcome::Completed);
    EXPECT_EQ(host.t.recordCount(), 4);
    EXPECT_EQ(restore(host, host, Choice::Reports, f.medium / "MASTER.DBF"), Outcome::Completed);
    EXPECT_EQ(restore(host, host, Choice::Configuration, f.medium / "MASTER.DBF"), Outcome::Completed);
    EXPECT_EQ(restore(host, host, Choice::Lists, f.medium / "MASTER.DBF"), Outcome::Completed);
}
