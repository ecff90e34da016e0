// The table file as other programs and interrupted runs leave it: bytes after the counted
// records, a huge sparse file, temporary index files of dead writers, the language driver
// byte, and an order over keys that share long beginnings.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "core/db/DbfFormat.h"
#include "core/db/KeyExpression.h"
#include "core/db/Table.h"
#include "core/db/VideoTable.h"
#include "core/db/DbTestSupport.h"

using namespace rv::db;
using namespace rv::db::test;

namespace {

void putU32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

size_t headerLengthOf(const std::string& b) { return uint8_t(b[8]) | size_t(uint8_t(b[9])) << 8; }
size_t recordLengthOf(const std::string& b) { return uint8_t(b[10]) | size_t(uint8_t(b[11])) << 8; }

// A process that has already ended: its number names no live process.
pid_t deadPid() {
    pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return pid;
}

}  // namespace

TEST(TableFile, BytesAfterTheCountedRecordsAreIgnoredAndOverwrittenByTheNextAppend) {
    TempDir dir;
    const fs::path source = videoTable(dir.path(), "SOURCE.DBF", 3);
    const std::string good = readBytes(source);
    const size_t hl = headerLengthOf(good), rl = recordLengthOf(good);
    ASSERT_EQ(good.size(), hl + 3 * rl + 1);
    struct Case {
        const char* name;
        std::function<void(std::string&)> leave;
        int counted;
    };
    const std::vector<Case> cases = {
        // An append killed after writing its record and end mark, before the count moved.
        {"one uncounted record", [&](std::string& b) { putU32(b, 4, 2); }, 2},
        // Killed while writing the record: part of it, no end mark.
        {"part of an uncounted record",
         [&](std::string& b) {
             putU32(b, 4, 2);
             b.resize(hl + 2 * rl + 7);
         },
         2},
        // Part of a fourth record after the third: the file has room for the three it counts.
        {"part of a record after the end mark", [&](std::string& b) { b += std::string(rl / 2, 'x'); }, 3},
        {"padding after the end mark", [&](std::string& b) { b += std::string(700, '\0'); }, 3},
        {"records beyond the count", [&](std::string& b) { putU32(b, 4, 1); }, 1},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        c.leave(bytes);
        const fs::path p = dir / "tail.dbf";
        writeBytes(p, bytes);
        {
            Table t;
            t.setPath(p);
            t.open();
            EXPECT_EQ(t.problem(), "") << c.name;
            EXPECT_TRUE(t.isWritable()) << c.name;
            EXPECT_EQ(t.physicalRecordCount(), c.counted) << c.name;
            EXPECT_EQ(t.recordCount(), c.counted) << c.name;
            t.append();
            t.setString("Title", "appended");
            t.post();
            EXPECT_EQ(t.recNo(), c.counted + 1) << c.name;
            t.close();
        }
        const std::string after = readBytes(p);
        EXPECT_EQ(u32At(after, 4), uint32_t(c.counted + 1)) << c.name;
        EXPECT_EQ(after.substr(hl + size_t(c.counted) * rl + 1, 8), "appended") << c.name;
        EXPECT_EQ(uint8_t(after[hl + size_t(c.counted + 1) * rl]), 0x1A) << c.name;
        // Deleting, packing and reindexing work on it as on any table.
        Table t;
        t.setPath(p);
        t.setExclusive(true);
        t.open();
        ASSERT_TRUE(t.isWritable()) << c.name;
        t.first();
        t.deleteRecord();
        t.addIndex("NewIndex", "Upper(Left(Title,80))");
        t.pack();
        EXPECT_EQ(t.physicalRecordCount(), c.counted) << c.name;
        t.regenerateIndexes();
        EXPECT_EQ(t.tagStatus("NewIndex"), Table::TagStatus::Current) << c.name;
        t.close();
        EXPECT_EQ(readBytes(p).size(), hl + size_t(c.counted) * rl + 1) << c.name;
    }
}

TEST(TableFile, AFileShorterThanItsCountSaysHowItEnds) {
    TempDir dir;
    const std::string good = readBytes(videoTable(dir.path(), "SOURCE.DBF", 3));
    const size_t hl = headerLengthOf(good), rl = recordLengthOf(good);
    struct Case {
        const char* name;
        size_t size;
        uint32_t count;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"cut inside the last record", hl + 2 * rl + 9, 3, "holds 3 records, but the file ends inside the last of them."},
        {"cut after a record", hl + 2 * rl, 3, "holds 3 records, but the file ends after 2 complete records."},
        {"count far too high", good.size(), 10, "holds 10 records, but the file ends after 3 complete records."},
        {"only the header", hl, 5, "holds 5 records, but the file ends after 0 complete records."},
    };
    for (const Case& c : cases) {
        std::string bytes = good.substr(0, std::min(c.size, good.size()));
        putU32(bytes, 4, c.count);
        const fs::path p = dir / "short.dbf";
        writeBytes(p, bytes);
        Table t;
        t.setPath(p);
        t.open();
        EXPECT_FALSE(t.isWritable()) << c.name;
        EXPECT_NE(t.problem().find(c.says), std::string::npos) << c.name << ": " << t.problem();
        EXPECT_EQ(t.problem().find("has room for"), std::string::npos) << c.name << ": " << t.problem();
        EXPECT_THROW(t.append(), DatabaseError) << c.name;
        t.close();
        EXPECT_EQ(readBytes(p), bytes) << c.name;
    }
}

// A table whose header counts twenty million records in a file that is one hole: the check
// and the information read what they need, not the whole file.
TEST(TableFile, AHugeSparseTableIsCheckedWithoutReadingItIntoMemory) {
    TempDir dir;
    const fs::path p = dir / "SPARSE.DBF";
    Table::createVideoTable(p);
    std::string header = readBytes(p);
    const size_t hl = headerLengthOf(header), rl = recordLengthOf(header);
    constexpr uint32_t kClaimed = 20000000;
    putU32(header, 4, kClaimed);
    header.resize(hl);
    writeBytes(p, header);
    ASSERT_EQ(::truncate(p.c_str(), off_t(hl + size_t(kClaimed) * rl + 1)), 0);

    pid_t child = ::fork();
    if (child == 0) {
        int code = 0;
        try {
            if (videoTableProblem(p)) code = 2;
            Table t;
            t.setPath(p);
            t.setReadOnly(true);
            t.setIndexName("NewIndex");
            t.open();
            if (t.fieldCount() != 40 || t.problem() != "") code = 3;
            if (t.deletedCount() != 0) code = 4;
            if (t.recordCount() != int(kClaimed)) code = 5;
            if (t.tagStatus("NewIndex") != Table::TagStatus::Absent) code = 6;
            struct rusage use {};
            ::getrusage(RUSAGE_SELF, &use);
            if (use.ru_maxrss > 512 * 1024) code = 7;  // kilobytes
        } catch (...) {
            code = 1;
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1 error, 2 check, 3 fields, 4 deleted, 5 count, 6 index, 7 memory";
}

TEST(TableFile, TemporaryIndexFilesOfDeadWritersGoAtAnExclusiveOpenOrAPack) {
    TempDir dir;
    const fs::path p = videoTable(dir.path(), "V.DBF", 5);
    auto leave = [&](const std::string& name) {
        writeBytes(dir / name, std::string(4096, 'i'));
        return dir / name;
    };
    pid_t sleeper = ::fork();
    if (sleeper == 0) {
        ::pause();
        ::_exit(0);
    }
    const fs::path dead1 = leave("V.MDX.tmp" + std::to_string(deadPid()));
    const fs::path dead2 = leave("v.mdx.tmp" + std::to_string(deadPid()));
    const fs::path alive = leave("V.MDX.tmp" + std::to_string(sleeper));
    const fs::path mine = leave("V.MDX.tmp" + std::to_string(::getpid()));
    const fs::path other = leave("OTHER.MDX.tmp" + std::to_string(deadPid()));
    const fs::path notPid = leave("V.MDX.tmpfile");

    Table t;
    t.setPath(p);
    t.open();  // shared: another holder's writer may be at work
    EXPECT_TRUE(fs::exists(dead1));
    t.close();
    t.setExclusive(true);
    t.open();
    EXPECT_FALSE(fs::exists(dead1));
    EXPECT_FALSE(fs::exists(dead2));
    for (const fs::path& kept : {alive, mine, other, notPid}) EXPECT_TRUE(fs::exists(kept)) << kept;

    const fs::path dead3 = leave("V.MDX.tmp" + std::to_string(deadPid()));
    t.pack();
    EXPECT_FALSE(fs::exists(dead3));
    EXPECT_TRUE(fs::exists(alive));
    t.close();
    ::kill(sleeper, SIGKILL);
    ::waitpid(sleeper, nullptr, 0);
}

TEST(TableFile, NewTablesNameCodePage1252AndOlderDriversStillReadAsIt) {
    TempDir dir;
    const fs::path p = dir / "V.DBF";
    Table::createVideoTable(p);
    EXPECT_EQ(uint8_t(readBytes(p)[29]), 0x03);  // Windows ANSI, code page 1252
    {
        Table t;
        t.setPath(p);
        t.open();
        t.append();
        t.setString("Title", "\x80 5 \x97 \xC9t\xE9");  // "€ 5 — Été"
        t.post();
    }
    for (uint8_t driver : {uint8_t(0x57), uint8_t(0x00), uint8_t(0x03)}) {
        std::string bytes = readBytes(p);
        bytes[29] = char(driver);
        writeBytes(p, bytes);
        Table t;
        t.setPath(p);
        t.open();
        EXPECT_TRUE(t.isWritable()) << int(driver);
        EXPECT_EQ(t.asString("Title"), "\x80 5 \x97 \xC9t\xE9") << int(driver);
        t.append();
        t.setString("Title", "\x80");
        t.post();
        t.close();
        EXPECT_EQ(uint8_t(readBytes(p)[29]), driver) << "a table keeps the driver it has";
    }
}

// Titles that share their first eight (and more) characters, in both cases and with
// accented letters, come out in key order, equal keys by record number.
TEST(TableFile, OrderOverKeysSharingLongBeginningsIsTheKeyOrder) {
    TempDir dir;
    const fs::path p = dir / "V.DBF";
    Table t;
    openNewVideoTable(t, p);
    std::vector<std::string> titles;
    const char* stems[] = {"The Adventures of ", "the adventures of ", "The Adventure", "THE ADVENTURES OF ", "\xC9t\xE9 ",
                           "", "The"};
    for (int i = 0; i < 700; ++i) {
        std::string title = std::string(stems[i % 7]) + char('a' + (i * 7) % 26) + std::to_string(i % 13);
        titles.push_back(title);
        t.append();
        t.setString("Title", title);
        t.post();
    }
    t.close();
    const std::string expression = "Upper(Left(Title,40))";
    t.addIndex("NewIndex", expression);
    t.setIndexName("NewIndex");
    t.open();
    std::vector<KeyField> fields;
    for (int i = 0; i < t.fieldCount(); ++i) {
        const FieldInfo& f = t.fieldInfo(i);
        fields.push_back({f.name, f.type, f.offset, f.length, f.decimals});
    }
    const KeyExpression key = KeyExpression::compile(expression, fields);
    std::vector<std::pair<std::string, int>> want;
    for (int r = 1; r <= t.physicalRecordCount(); ++r) {
        t.moveToRecNo(r);
        std::string k(size_t(key.keyLength()), ' ');
        // The key of the record as stored: from the title's bytes in a record of its own.
        std::string title = t.asStored(0);
        std::string raw(size_t(t.fieldInfo(0).offset), ' ');
        raw += title;
        key.keyInto(raw, k.data());
        want.emplace_back(k, r);
    }
    std::sort(want.begin(), want.end());
    std::vector<int> got;
    for (t.first(); !t.eof(); t.next()) got.push_back(t.recNo());
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], want[i].second) << "row " << i;
    EXPECT_EQ(t.tagStatus("NewIndex"), Table::TagStatus::Current);
}
