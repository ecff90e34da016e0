// reelvane-cli add: the record editor's checks and write-back from the command line.
#include "core/db/DbTestSupport.h"
#include "core/db/Table.h"
#include "core/edit/EditorMessages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

namespace rv::edit {
namespace {

using db::test::readBytes;
using db::test::TempDir;

struct CliRun {
    int exitCode;
    std::string out;
    std::string err;
};

class AddCommand : public ::testing::Test {
protected:
    void SetUp() override { db::Table::createVideoTable(dir / "V.DBF"); }

    // Runs reelvane-cli add V.DBF with the arguments (each quoted for the shell), with the
    // program and configuration folders inside the test folder.
    CliRun add(const std::vector<std::string>& args) {
        std::string command = "REELVANE_PROGRAM_DIR='" + (dir / "program").string() + "' REELVANE_CONFIG_DIR='" +
                              (dir / "config").string() + "' '" REELVANE_CLI_PATH "' add '" + (dir / "V.DBF").string() + "'";
        for (const auto& a : args) command += " '" + a + "'";
        command += " 2>'" + (dir / "stderr").string() + "'";
        CliRun run{-1, "", ""};
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) return run;
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
        const int status = ::pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = readBytes(dir / "stderr");
        return run;
    }

    int records() {
        db::Table t;
        t.setPath(dir / "V.DBF");
        t.open();
        return t.recordCount();
    }

    TempDir dir;
};

TEST_F(AddCommand, AppendsAValidatedRecordAndExtendsTheLists) {
    const CliRun first = add({"title=Am\xc3\xa9lie", "STAR4=Audrey Tautou", "Year=2001", "ListPrice=1,234.5",
                           "CheckDate=3/5/97", "Viewed=yes", "Category= Comedy"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, "1\n");
    EXPECT_EQ(add({"Title=Second"}).out, "2\n");

    db::Table t;
    t.setPath(dir / "V.DBF");
    t.open();
    ASSERT_TRUE(t.moveToRecNo(1));
    EXPECT_EQ(t.asString("Title"), "Am\xe9lie");  // stored in Windows-1252
    EXPECT_EQ(t.asString("Star4"), "Audrey Tautou");
    EXPECT_EQ(t.asNumber("Year"), 2001);
    EXPECT_EQ(t.asNumber("ListPrice"), 1234.5);
    EXPECT_EQ(t.asNumber("RunTime"), 0);  // as the editor's cleared box shows it
    EXPECT_EQ(t.asDate("CheckDate"), (db::Date{1997, 3, 5}));
    EXPECT_EQ(t.asString("Viewed"), "Yes");
    EXPECT_EQ(t.asString("CheckOut"), "No");

    // The database now has lists of its own: the shipped defaults plus the typed values.
    EXPECT_EQ(readBytes(dir / "V.002"), "Audrey Tautou\r\n");
    const std::string categories = readBytes(dir / "V.006");
    EXPECT_NE(categories.find("Drama\r\n"), std::string::npos);
    EXPECT_NE(categories.find("\r\nComedy\r\n"), std::string::npos);
    EXPECT_EQ(categories.find(" Comedy"), std::string::npos);
}

TEST_F(AddCommand, RefusesWhatTheEditorRefuses) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string err;
    };
    const Case cases[] = {
        {{"Year=19x7", "CheckDate=44/44/44"}, 1, std::string(kInvalidCheckDate) + "\n"},
        {{"PurchPrice=12."}, 1, std::string(kInvalidPurchPrice) + "\n"},
        {{"RunTime=1.5", "Year=x"}, 1, std::string(kInvalidPlayTime) + "\n"},
        {{"Title=" + std::string(61, 'x')}, 1, "Title takes at most 60 characters\n"},
        {{"Nonsense=1"}, 2, ""},
        {{"Title"}, 2, ""},
        {{"Title=a", "title=b"}, 2, ""},
        {{"Viewed=maybe"}, 2, ""},
    };
    for (const auto& c : cases) {
        const CliRun run = add(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args[0];
        EXPECT_EQ(run.out, "") << c.args[0];
        if (!c.err.empty()) {
            EXPECT_EQ(run.err, c.err) << c.args[0];
        }
    }
    EXPECT_EQ(records(), 0);
}

}  // namespace
}  // namespace rv::edit
