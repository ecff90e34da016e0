// An importing process killed at several moments: the table always opens, and every record
// the import counted before the kill is there, whole.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/app/Formats.h"
#include "core/db/DbTestSupport.h"
#include "core/exchange/Import.h"

using namespace rv;
using namespace rv::exchange;
using db::Table;
using db::test::TempDir;

namespace {

std::string lineOf(int i) {
    return "\"Title " + std::to_string(i) + "\",\"" + std::string(20 + i % 50, char('a' + i % 26)) + "\",\"" +
           std::to_string(1900 + i % 100) + "\"\r\n";
}

}  // namespace

TEST(ImportKill, RecordsCountedBeforeTheKillAreWhole) {
    constexpr int kLines = 20000;
    std::string text;
    for (int i = 1; i <= kLines; ++i) text += lineOf(i);
    TempDir dir;
    const auto file = dir / "in.txt";
    db::test::writeBytes(file, text);

    for (int killAt : {1, 700, 5000, 15000}) {
        SCOPED_TRACE(killAt);
        const auto table = dir / ("K" + std::to_string(killAt) + ".DBF");
        Table::createVideoTable(table);
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipeFds[0]);
            try {
                app::ShortDateFormat dates;
                Table t;
                t.setPath(table);
                t.open();
                importText(t, file, {1, 8, 11}, false, dates, [&](int count) {
                    // Tell the parent the count, as the window's counter shows it.
                    return ::write(pipeFds[1], &count, sizeof count) == sizeof count;
                });
            } catch (...) {
            }
            ::_exit(0);
        }
        ::close(pipeFds[1]);
        int counted = 0, count = 0;
        while (counted < killAt && ::read(pipeFds[0], &count, sizeof count) == sizeof count) counted = count;
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(pipeFds[0]);
        ASSERT_GE(counted, killAt);

        Table t;
        t.setPath(table);
        t.open();
        // A kill inside an append leaves the unfinished record's bytes after the last counted
        // one: the table still opens for writing, without them.
        EXPECT_EQ(t.problem(), "");
        EXPECT_TRUE(t.isWritable());
        ASSERT_GE(t.recordCount(), counted);
        int i = 0;
        for (t.first(); !t.eof(); t.next()) {
            ++i;
            ASSERT_EQ(t.asString("Title"), "Title " + std::to_string(i));
            ASSERT_EQ(t.asString("Producer"), std::string(20 + i % 50, char('a' + i % 26)).substr(0, 28));
            ASSERT_EQ(t.asString("Year"), std::to_string(1900 + i % 100));
        }
        // The next record goes where the unfinished one was.
        const int before = t.recordCount();
        t.append();
        t.setString("Title", "after the kill");
        t.post();
        t.close();
        t.open();
        EXPECT_EQ(t.problem(), "");
        EXPECT_EQ(t.recordCount(), before + 1);
        t.last();
        EXPECT_EQ(t.asString("Title"), "after the kill");
    }
}
