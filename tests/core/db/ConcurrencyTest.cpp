// Real processes against one table: concurrent appends lose nothing, and a pack killed at
// any moment leaves the old table or the new one, never a torn file.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <set>

#include "core/db/DbfFormat.h"
#include "core/db/Table.h"
#include "core/db/DbTestSupport.h"

using namespace rv::db;
using namespace rv::db::test;

namespace {

// Runs `work` in a child process; returns its pid.  The child exits 0 when work returns,
// 1 when it throws.
template <class Work>
pid_t spawn(Work work) {
    pid_t pid = ::fork();
    if (pid == 0) {
        int code = 0;
        try {
            work();
        } catch (...) {
            code = 1;
        }
        ::_exit(code);
    }
    return pid;
}

int waitFor(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

}  // namespace

TEST(Concurrency, TwoProcessesAppendingAtOnceLoseNothing) {
    TempDir dir;
    fs::path p = dir / "shared.dbf";
    Table::createVideoTable(p);
    constexpr int kEach = 1000;
    auto appender = [&](const std::string& who) {
        return [&, who] {
            Table t;
            t.setPath(p);
            t.open();
            for (int i = 1; i <= kEach; ++i) {
                t.append();
                t.setString("Title", who + " " + std::to_string(i));
                t.setNumber("Year", i);
                t.setString("Descriptio", std::string(140, who[0]));
                t.post();
            }
            t.flush();
        };
    };
    pid_t a = spawn(appender("A"));
    pid_t b = spawn(appender("B"));
    ASSERT_EQ(waitFor(a), 0);
    ASSERT_EQ(waitFor(b), 0);

    Table t;
    t.setPath(p);
    t.open();
    EXPECT_EQ(t.problem(), "");
    ASSERT_EQ(t.recordCount(), 2 * kEach);
    std::set<std::string> seen;
    int lastA = 0, lastB = 0;
    for (t.first(); !t.eof(); t.next()) {
        std::string title = t.asString("Title");
        int n = int(t.asNumber("Year"));
        ASSERT_EQ(title, title.substr(0, 1) + " " + std::to_string(n));
        ASSERT_EQ(t.asString("Descriptio"), std::string(140, title[0]));
        // Each process's records keep their order.
        int& last = title[0] == 'A' ? lastA : lastB;
        EXPECT_EQ(n, last + 1);
        last = n;
        seen.insert(title);
    }
    EXPECT_EQ(seen.size(), size_t(2 * kEach));
}

TEST(Concurrency, PostedRecordsSurviveTheProgramDying) {
    TempDir dir;
    fs::path p = dir / "crash.dbf";
    Table::createVideoTable(p);
    pid_t child = spawn([&] {
        Table t;
        t.setPath(p);
        t.open();
        appendVideos(t, 1, 50);
        t.first();
        t.edit();
        t.setString("Title", "edited");
        t.post();
        t.last();
        t.deleteRecord();
        t.append();
        t.setString("Title", "never posted");
        ::raise(SIGKILL);  // no close, no flush
    });
    EXPECT_TRUE(WIFSIGNALED(waitFor(child)));

    Table t;
    t.setPath(p);
    t.open();
    EXPECT_EQ(t.problem(), "");
    EXPECT_TRUE(t.isWritable());
    EXPECT_EQ(t.physicalRecordCount(), 50);
    EXPECT_EQ(t.recordCount(), 49);
    EXPECT_EQ(t.asString("Title"), "edited");
    for (int r = 2; r <= 49; ++r) EXPECT_EQ(t.valueAt(r, 0), titleOf(r));
}

TEST(Concurrency, PackKilledAtAnyMomentLeavesAWholeTable) {
    TempDir dir;
    fs::path p = dir / "pack.dbf";
    Table::createVideoTable(p);
    constexpr int kRecords = 20000;
    std::set<std::string> all, live;
    {
        Table t;
        t.setPath(p);
        t.setExclusive(true);
        t.open();
        for (int i = 1; i <= kRecords; ++i) {
            t.append();
            t.setString("Title", "Title " + std::to_string(i));
            t.setNumber("Year", i);
            t.post();
            all.insert("Title " + std::to_string(i));
            if (i % 3 == 0)
                t.deleteRecord();
            else
                live.insert("Title " + std::to_string(i));
        }
        t.addIndex("NewIndex", "Upper(Left(Title,80))");
    }
    Table probe;
    probe.setPath(p);
    const fs::path mdx = probe.mdxPath();
    ASSERT_TRUE(fs::exists(mdx));
    const fs::path pristine = dir / "pristine.dbf";
    const fs::path pristineMdx = dir / "pristine.mdx";
    fs::copy_file(p, pristine);
    fs::copy_file(mdx, pristineMdx);

    auto restore = [&] {
        fs::copy_file(pristine, p, fs::copy_options::overwrite_existing);
        fs::copy_file(pristineMdx, mdx, fs::copy_options::overwrite_existing);
    };
    auto packOnce = [&] {
        Table t;
        t.setPath(p);
        t.setExclusive(true);
        t.open();
        t.pack();
        t.close();
    };
    // How long a whole pack takes here, to spread the kills over it.
    auto start = std::chrono::steady_clock::now();
    packOnce();
    const auto full = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);

    int sawOld = 0, sawNew = 0;
    constexpr int kKills = 16;
    for (int k = 0; k < kKills; ++k) {
        restore();
        pid_t child = spawn(packOnce);
        ::usleep(useconds_t(full.count() * k / (kKills - 4)));
        ::kill(child, SIGKILL);
        waitFor(child);

        Table t;
        t.setPath(p);
        t.open();
        ASSERT_EQ(t.problem(), "") << "kill " << k;
        const int count = t.physicalRecordCount();
        std::set<std::string> seen;
        for (t.first(); !t.eof(); t.next()) seen.insert(t.asString("Title"));
        if (count == kRecords) {
            ++sawOld;
            EXPECT_EQ(t.deletedCount(), kRecords / 3) << "kill " << k;
        } else {
            ++sawNew;
            EXPECT_EQ(count, int(live.size())) << "kill " << k;
            EXPECT_EQ(t.deletedCount(), 0);
        }
        EXPECT_EQ(seen, live) << "kill " << k;
        // The header claims an index only when the index file matches the records.
        if (readBytes(p)[28] != 0) {
            EXPECT_EQ(t.tagStatus("NewIndex"), Table::TagStatus::Current) << "kill " << k;
        }
    }
    EXPECT_EQ(sawOld + sawNew, kKills);
    std::cout << "[          ] pack killed " << kKills << " times over " << full.count() << " us: " << sawOld
              << " left the old table, " << sawNew << " the packed one\n";
}

TEST(Concurrency, AppendKilledAtAnyMomentLeavesAWritableTable) {
    TempDir dir;
    fs::path p = dir / "append.dbf";
    Table::createVideoTable(p);
    const std::string empty = readBytes(p);
    const size_t hl = size_t(uint8_t(empty[8])) | size_t(uint8_t(empty[9])) << 8;
    const size_t rl = size_t(uint8_t(empty[10])) | size_t(uint8_t(empty[11])) << 8;
    auto bulkAppend = [&] {
        Table t;
        t.setPath(p);
        t.open();
        for (int i = 1;; ++i) {
            t.append();
            t.setString("Title", "bulk " + std::to_string(i));
            t.setString("Descriptio", std::string(200, 'd'));
            t.post();
        }
    };
    constexpr int kKills = 24;
    int longer = 0;
    for (int k = 0; k < kKills; ++k) {
        pid_t child = spawn(bulkAppend);
        ::usleep(useconds_t(2000 + 1500 * k));
        ::kill(child, SIGKILL);
        waitFor(child);

        const std::string bytes = readBytes(p);
        const uint32_t counted = u32At(bytes, 4);
        if (bytes.size() > hl + counted * rl + 1) ++longer;
        ASSERT_GE(bytes.size(), hl + counted * rl) << "kill " << k;

        Table t;
        t.setPath(p);
        t.setExclusive(true);
        t.open();
        ASSERT_EQ(t.problem(), "") << "kill " << k;
        ASSERT_TRUE(t.isWritable()) << "kill " << k;
        ASSERT_EQ(t.physicalRecordCount(), int(counted)) << "kill " << k;
        // The next append takes the place of the uncounted bytes.
        t.append();
        t.setString("Title", "after kill " + std::to_string(k));
        t.post();
        EXPECT_EQ(t.recNo(), int(counted) + 1) << "kill " << k;
        if (counted > 0) {
            t.first();
            t.deleteRecord();
            t.pack();
            EXPECT_EQ(t.physicalRecordCount(), int(counted)) << "kill " << k;
        }
        t.last();
        EXPECT_EQ(t.asString("Title"), "after kill " + std::to_string(k)) << "kill " << k;
        t.close();
        const std::string after = readBytes(p);
        EXPECT_EQ(after.size(), hl + u32At(after, 4) * rl + 1) << "kill " << k;
    }
    std::cout << "[          ] append killed " << kKills << " times: " << longer
              << " left bytes after the counted records\n";
}

// Another process cuts the open table to half its length: every access that reaches the
// missing records raises DatabaseError with a readable message; none ends the process.
// Each step runs in a process of its own, so that a bus error is reported, not suffered.
TEST(Concurrency, TableShortenedByAnotherProcessRaisesAnErrorNotASignal) {
    TempDir dir;
    Table setup;
    const fs::path p = indexedVideoTable(setup, dir.path(), 3000);
    const auto size = fs::file_size(p);
    struct Step {
        const char* name;
        std::function<void(Table&)> run;
        int exit = 2;  // 2: raised the error; 0: finished without one
    };
    const std::vector<Step> steps = {
        {"last and read", [](Table& t) {
             t.last();
             (void)t.asString("Title");
         }},
        {"values of the last rows", [](Table& t) {
             for (int row = t.rowCount() - 1; row > t.rowCount() - 40; --row) (void)t.valueAt(t.recNoAtRow(row), 0);
         }},
        {"walk", [](Table& t) {
             for (t.first(); !t.eof(); t.next()) (void)t.asString("Title");
         }},
        {"deleted count", [](Table& t) { (void)t.deletedCount(); }},
        // Read again, the file is one too short for its count, as at an open: read-only.
        {"refresh", [](Table& t) {
             t.refresh();
             if (t.isWritable() || t.problem().empty()) ::_exit(5);
             (void)t.asString("Title");
         }, 0},
        {"index status", [](Table& t) { (void)t.tagStatus("NewIndex"); }},
        {"reorder", [](Table& t) { t.orderBy("Upper(Left(Star1,20))"); }},
        {"append", [](Table& t) {
             t.append();
             t.setString("Title", "new");
             t.post();
         }},
        {"edit the last", [](Table& t) {
             t.moveToRecNo(3000);
             t.edit();
         }},
    };
    for (const Step& s : steps) {
        fs::resize_file(p, size);  // whole again (the cut records read as zeros)
        pid_t child = spawn([&] {
            Table t;
            t.setPath(p);
            t.open();  // record order: the last rows are the records cut away
            t.first();
            (void)t.rowCount();
            pid_t cutter = ::fork();
            if (cutter == 0) ::_exit(::truncate(p.c_str(), off_t(size / 2)) == 0 ? 0 : 1);
            if (waitFor(cutter) != 0) ::_exit(3);
            try {
                s.run(t);
            } catch (const DatabaseError& e) {
                if (std::string(e.what()).find("was changed by another program") == std::string::npos) ::_exit(4);
                ::_exit(2);
            }
            ::_exit(0);
        });
        const int status = waitFor(child);
        ASSERT_TRUE(WIFEXITED(status)) << s.name << ": ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), s.exit) << s.name << ": 0 no error, 2 the error, 4 another message";
    }
}
