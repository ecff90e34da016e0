// The definitions file: list, read, append, overwrite, delete, the built-in reports at start,
// the conversion of the old report file, and rewrites that never leave a torn file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "core/db/FieldCatalog.h"
#include "core/reports/ReportStore.h"
#include "core/db/DbTestSupport.h"

namespace rv::reports {
namespace {

using rv::db::test::readBytes;
using rv::db::test::TempDir;
using rv::db::test::writeBytes;
namespace fs = std::filesystem;

ReportDefinition named(const std::string& name) {
    ReportDefinition d = newReportDefinition();
    d.name = name;
    return d;
}

const std::vector<std::string> kBuiltInNames{"Title and Media Number Report", "Ratings Report", "Star Report",
                                             "Oscar Report", "Large Report", "Statistic/Summary Report"};

TEST(ReportStore, FreshFileHoldsTheSixBuiltIns) {
    TempDir dir;
    const EnsureResult r = ensureReportFile(dir.path());
    EXPECT_TRUE(r.created);
    EXPECT_EQ(fs::file_size(dir / "RVLVID.URP"), 123732u);
    EXPECT_EQ(ReportStore(dir / "RVLVID.URP").names(), kBuiltInNames);
}

TEST(ReportStore, ExistingFileIsLeftAlone) {
    TempDir dir;
    ReportStore store(dir / "RVLVID.URP");
    store.append(named("Mine"));
    const std::string before = readBytes(store.file());
    EXPECT_FALSE(ensureReportFile(dir.path()).created);
    EXPECT_EQ(readBytes(store.file()), before);
    // Found whatever the letter case of its name.
    fs::rename(store.file(), dir / "rvlvid.urp");
    EXPECT_FALSE(ensureReportFile(dir.path()).created);
    EXPECT_FALSE(fs::exists(dir / "RVLVID.URP"));
    EXPECT_EQ(ReportStore(reportFile(dir.path())).names(), std::vector<std::string>{"Mine"});
}

TEST(ReportStore, MissingFolderGivesNoFileAndNoError) {
    TempDir dir;
    EXPECT_FALSE(ensureReportFile(dir / "missing").created);
    EXPECT_TRUE(ReportStore(dir / "missing" / "RVLVID.URP").names().empty());
    EXPECT_FALSE(ReportStore(dir / "none.urp").read(0));
}

TEST(ReportStore, AppendOverwriteDelete) {
    TempDir dir;
    ReportStore store(dir / "R.URP");
    EXPECT_EQ(store.append(named("A")), 0);
    EXPECT_EQ(store.append(named("B")), 1);
    EXPECT_EQ(store.append(std::vector<ReportDefinition>{named("C"), named("D")}), 2);
    EXPECT_EQ(store.names(), (std::vector<std::string>{"A", "B", "C", "D"}));
    store.overwrite(1, named("B2"));
    store.overwrite(4, named("E"));  // at the end: appended
    EXPECT_THROW(store.overwrite(9, named("X")), std::out_of_range);
    EXPECT_EQ(store.names(), (std::vector<std::string>{"A", "B2", "C", "D", "E"}));
    EXPECT_EQ(store.read(2)->name, "C");
    EXPECT_FALSE(store.read(5));

    const std::string before = readBytes(store.file());
    ASSERT_TRUE(store.remove(4));  // the last: one record shorter
    EXPECT_EQ(readBytes(store.file()), before.substr(0, 4 * kDefinitionSize));
    ASSERT_TRUE(store.remove(0));  // the first: the others move down in order
    EXPECT_EQ(readBytes(store.file()), before.substr(kDefinitionSize, 3 * kDefinitionSize));
    EXPECT_EQ(store.names(), (std::vector<std::string>{"B2", "C", "D"}));
    EXPECT_FALSE(store.remove(3));
    EXPECT_FALSE(store.remove(-1));
}

TEST(ReportStore, TrailingPartIsNoDefinition) {
    TempDir dir;
    ReportStore store(dir / "R.URP");
    store.append(named("A"));
    writeBytes(store.file(), readBytes(store.file()) + std::string(100, 'x'));
    EXPECT_EQ(store.names(), std::vector<std::string>{"A"});
    EXPECT_EQ(store.count(), 1);
    EXPECT_EQ(store.append(named("B")), 1);
    EXPECT_EQ(fs::file_size(store.file()), 2 * kDefinitionSize);
}

TEST(ReportStore, ChangesReplaceTheFileWhole) {
    TempDir dir;
    ReportStore store(dir / "R.URP");
    store.append(builtInReports());
    const std::string before = readBytes(store.file());
    // A reader that opened the file before the change still reads the old file entire.
    std::ifstream reader(store.file(), std::ios::binary);
    store.remove(0);
    std::string seen((std::istreambuf_iterator<char>(reader)), {});
    EXPECT_EQ(seen, before);
    for (const auto& e : fs::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename(), "R.URP") << "left behind: " << e.path();
}

TEST(ReportStore, FailedWriteKeepsTheOldFile) {
    TempDir dir;
    ReportStore store(dir / "R.URP");
    store.append(builtInReports());
    const std::string before = readBytes(store.file());
    // A child process that may not write files past 100,000 bytes tries to append.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit lim{100000, 100000};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        try {
            store.append(named("X"));
        } catch (const ReportFileError&) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(readBytes(store.file()), before);
    for (const auto& e : fs::directory_iterator(dir.path())) EXPECT_EQ(e.path().filename(), "R.URP");
}

// ------------------------------------------------------------------ old report file

void putI16(std::string& b, size_t at, int16_t v) { std::memcpy(b.data() + at, &v, 2); }

// An old 19,831-byte record: name, characters per line, flags, lines, and a record line.
std::string oldRecord(const std::string& name, int16_t chars, int16_t lines) {
    std::string b(kOldDefinitionSize, '\0');
    writePascalString(b.data(), 30, name);
    putI16(b, 31, chars);
    b[83] = 1;  // column headers
    b[84] = 0;  // page numbers
    b[85] = 1;  // use totals
    putI16(b, 86, lines);
    ReportItem total{"List Price", 0, 12, ""};
    encodeItem(total, b.data() + 88);
    writePascalString(b.data() + 1588, 80, "Old title");
    ReportItem title{"Title", 0, 60, ""}, media{"mediaNUM", 0, 10, ""}, bogus{"Gone", 0, 5, ""},
        label{"<LABEL>", 0, 8, "Hello"};
    encodeItem(title, b.data() + 1831);
    encodeItem(media, b.data() + 1831 + 75);
    encodeItem(bogus, b.data() + 1831 + 150);
    encodeItem(label, b.data() + 1831 + 225);
    return b;
}

TEST(ReportStore, OldReportFileIsConvertedOnce) {
    TempDir dir;
    writeBytes(dir / "VIDEO2.CFR", oldRecord("Complete Report", 120, 3) + oldRecord("Large Report", 120, 2) +
                                       oldRecord("My List", 90, 1));
    const EnsureResult r = ensureReportFile(dir.path());
    EXPECT_TRUE(r.created);
    EXPECT_EQ(r.converted, 2);
    EXPECT_EQ(r.skipped, 1);
    EXPECT_FALSE(fs::exists(dir / "VIDEO2.CFR"));
    ReportStore store(dir / "RVLVID.URP");
    auto names = store.names();
    ASSERT_EQ(names.size(), 8u);
    EXPECT_EQ(names[6], "Large Report");
    EXPECT_EQ(names[7], "My List");

    const ReportDefinition large = *store.read(6);
    EXPECT_EQ(large.charsPerLine, 120);
    EXPECT_EQ(large.lineCount, 2);
    EXPECT_EQ(large.fonts[TitleFont], (ReportFontSpec{"Courier New", 8, true, false, false, false, 0}));
    EXPECT_EQ(large.fonts[BodyFont], (ReportFontSpec{"Courier New", 8, false, false, false, false, 0}));
    EXPECT_TRUE(large.columnHeaders);
    EXPECT_FALSE(large.pageNumbers);
    EXPECT_TRUE(large.useTotals);
    EXPECT_TRUE(large.dateOnPages);
    EXPECT_FALSE(large.landscape || large.verticalLines || large.horizontalLines || large.groupLevel2);
    EXPECT_TRUE(large.groupLevel1);
    EXPECT_EQ(large.titles[0], "Old title");
    EXPECT_EQ(large.totals[0].field, 2);  // from its name
    EXPECT_EQ(large.lines[0][0].field, 1);
    EXPECT_EQ(large.lines[0][1].field, rv::db::fieldNumber("MediaNum").value());
    EXPECT_TRUE(large.lines[0][2].isFiller());  // no such field: empty space of its width
    EXPECT_EQ(large.lines[0][2].width, 5);
    EXPECT_EQ(large.lines[0][3].label, "Hello");
    EXPECT_EQ(store.read(7)->fonts[BodyFont].size, 10);  // 90 characters per line

    // A second start finds nothing to convert.
    const EnsureResult again = ensureReportFile(dir.path());
    EXPECT_EQ(again.converted, 0);
    EXPECT_EQ(store.count(), 8);
}

TEST(ReportStore, OldReportFileIsKeptWhenTheDefinitionsCannotBeWritten) {
    TempDir dir;
    writeBytes(dir / "VIDEO2.CFR", oldRecord("My List", 90, 1));
    fs::create_directory(dir / "RVLVID.URP");  // in the way: cannot be replaced by a file
    const EnsureResult r = ensureReportFile(dir.path());
    EXPECT_EQ(r.converted, 0);
    EXPECT_FALSE(r.problem.empty());
    EXPECT_TRUE(fs::exists(dir / "VIDEO2.CFR"));
    // Once the way is clear the next start converts it.
    fs::remove(dir / "RVLVID.URP");
    const EnsureResult later = ensureReportFile(dir.path());
    EXPECT_EQ(later.converted, 1);
    EXPECT_FALSE(fs::exists(dir / "VIDEO2.CFR"));
    EXPECT_EQ(ReportStore(dir / "RVLVID.URP").names().back(), "My List");
}

}  // namespace
}  // namespace rv::reports
