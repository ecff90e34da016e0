// The shared file copy: whole copies, a failure at any moment leaving the old destination
// as it was; the same-file test; the free-space test.

#include <gtest/gtest.h>

#include "core/backup/BackupTestSupport.h"
#include "core/backup/Places.h"

using namespace rv::backup;
using namespace rv::backup::test;
using rv::db::test::readBytes;
using rv::db::test::TempDir;
using rv::db::test::writeBytes;

namespace {

std::string pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = char('A' + i * 7 % 26);
    return s;
}

}  // namespace

TEST(FileCopy, CopiesWholeFilesAndReplacesTheOldOne) {
    TempDir dir;
    fs::create_directory(dir / "to");
    for (std::size_t size : {std::size_t(0), std::size_t(1), std::size_t(2048), std::size_t(200000)}) {
        writeBytes(dir / "from", pattern(size));
        writeBytes(dir / "to" / "copy", "an older, different copy");
        ASSERT_TRUE(copyFile(dir / "from", dir / "to" / "copy")) << size;
        EXPECT_EQ(readBytes(dir / "to" / "copy"), pattern(size)) << size;
        EXPECT_EQ(namesIn(dir / "to"), std::vector<std::string>{"copy"}) << "no temporary file is left";
    }
}

TEST(FileCopy, FailuresBeforeTheCopyLeaveTheDestinationAlone) {
    TempDir dir;
    writeBytes(dir / "old", "old backup");
    EXPECT_FALSE(copyFile(dir / "missing", dir / "old"));
    EXPECT_EQ(readBytes(dir / "old"), "old backup");
    EXPECT_FALSE(copyFile(dir.path(), dir / "old")) << "a folder is not a file to copy";
    EXPECT_EQ(readBytes(dir / "old"), "old backup");
    writeBytes(dir / "src", "x");
    EXPECT_FALSE(copyFile(dir / "src", dir / "no such folder" / "copy"));
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"old", "src"}));
}

TEST(FileCopy, AFullMediumHalfWayLeavesThePreviousCopyIntact) {
    TempDir dir;
    const std::string big = pattern(300000);
    writeBytes(dir / "source", big);
    fs::create_directory(dir / "medium");
    writeBytes(dir / "medium" / "backup", "the previous good backup");
    // Writes beyond 100000 bytes fail, as on a medium that fills up during the copy.
    const int code = withFileSizeLimit(100000, [&] { return copyFile(dir / "source", dir / "medium" / "backup") ? 0 : 1; });
    EXPECT_EQ(code, 1) << "the copy reports the failure";
    EXPECT_EQ(readBytes(dir / "medium" / "backup"), "the previous good backup");
    EXPECT_EQ(namesIn(dir / "medium"), std::vector<std::string>{"backup"}) << "the partial copy is removed";
}

TEST(FileCopy, TheCopyKeepsThePermissionsOfTheFileItReplaces) {
    TempDir dir;
    writeBytes(dir / "src", "data");
    writeBytes(dir / "dst", "old");
    fs::permissions(dir / "dst", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(copyFile(dir / "src", dir / "dst"));
    EXPECT_EQ(fs::status(dir / "dst").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(FileCopy, SameFileSeesThroughLinksDotsAndLetterCase) {
    TempDir dir;
    fs::create_directory(dir / "db");
    writeBytes(dir / "db" / "MASTER.DBF", "t");
    fs::create_directory_symlink(dir / "db", dir / "link");
    fs::create_hard_link(dir / "db" / "MASTER.DBF", dir / "hard.dbf");
    writeBytes(dir / "db" / "OTHER.DBF", "u");
    const fs::path master = dir / "db" / "MASTER.DBF";
    struct Case {
        fs::path other;
        bool same;
    };
    const Case cases[] = {
        {master, true},
        {dir / "db" / "." / ".." / "db" / "MASTER.DBF", true},
        {dir / "link" / "MASTER.DBF", true},
        {dir / "db" / "master.dbf", true},       // letter case does not count
        {dir / "hard.dbf", true},                 // one file under two names
        {dir / "db" / "OTHER.DBF", false},
        {dir / "MASTER.DBF", false},              // a file that does not exist, elsewhere
        {dir / "db" / "missing" / ".." / "MASTER.DBF", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sameFile(master, c.other), c.same) << c.other;
        EXPECT_EQ(sameFile(c.other, master), c.same) << c.other;
    }
}

TEST(FileCopy, FreeSpaceCountsTheFileAboutToBeReplaced) {
    TempDir dir;
    writeBytes(dir / "source", pattern(1000));
    struct Case {
        std::uintmax_t free;
        std::size_t oldCopy;  // 0: no older copy
        bool fits;
    };
    const Case cases[] = {
        {1000, 0, true}, {999, 0, false}, {0, 0, false}, {400, 600, true}, {399, 600, false}, {0, 5000, true},
    };
    for (const auto& c : cases) {
        fs::remove(dir / "dest");
        if (c.oldCopy) writeBytes(dir / "dest", pattern(c.oldCopy));
        FreeSpace space(c.free);
        EXPECT_EQ(fitsOnDestination(dir / "source", dir / "dest"), c.fits) << c.free << " + " << c.oldCopy;
    }
    // The file system's own figure: a small file fits in the temporary folder.
    EXPECT_TRUE(freeSpace(dir.path()).has_value());
    EXPECT_TRUE(fitsOnDestination(dir / "source", dir / "dest"));
}

TEST(Places, RemovableMediaAreTheMountsUnderMediaAndRunMedia) {
    const std::string table =
        "/dev/sda1 / ext4 rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/sdb1 /media/ann/STICK vfat rw 0 0\n"
        "/dev/sdc1 /run/media/bob/My\\040Disk ext4 rw 0 0\n"
        "/dev/sdd1 /media/CARD vfat rw 0 0\n"
        "/dev/sdb1 /media/ann/STICK vfat rw 0 0\n"  // mounted twice: offered once
        "tmpfs /media tmpfs rw 0 0\n"               // the folder itself is no medium
        "/dev/sde1 /mediathek ext4 rw 0 0\n"
        "broken-line\n";
    EXPECT_EQ(removableMedia(table),
              (std::vector<fs::path>{"/media/ann/STICK", "/run/media/bob/My Disk", "/media/CARD"}));
    EXPECT_TRUE(removableMedia("").empty());
}

TEST(FileCopy, ACopyKilledAtAnyMomentLeavesTheOldFileOrTheNewOne) {
    TempDir dir;
    const std::string fresh = pattern(8 << 20);
    writeBytes(dir / "source", fresh);
    fs::create_directory(dir / "medium");
    const std::string old = "the previous backup";
    int sawOld = 0, sawNew = 0;
    for (int delayMicros : {0, 200, 1000, 3000, 10000, 30000}) {
        writeBytes(dir / "medium" / "backup", old);
        pid_t pid = ::fork();
        if (pid == 0) {
            copyFile(dir / "source", dir / "medium" / "backup");
            ::_exit(0);
        }
        ::usleep(useconds_t(delayMicros));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        const std::string now = readBytes(dir / "medium" / "backup");
        ASSERT_TRUE(now == old || now == fresh) << "torn after " << delayMicros << " us: " << now.size() << " bytes";
        (now == old ? sawOld : sawNew)++;
        // A killed copy may leave its temporary file, never under the backup's name.
        for (const auto& name : namesIn(dir / "medium"))
            if (name != "backup") fs::remove(dir / "medium" / name);
    }
    EXPECT_EQ(sawOld + sawNew, 6);
}
