// reelvane-cli's search by form ("list --where") and "locate", run as a separate program.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "core/browse/Locate.h"
#include "core/browse/SearchCriteria.h"
#include "core/db/DbTestSupport.h"
#include "core/db/Table.h"

using namespace rv::db;
using namespace rv::db::test;

namespace {

std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct CliRun {
    int code = -1;
    std::string out, err;
};

class SearchCommands : public ::testing::Test {
protected:
    TempDir dir;

    void SetUp() override {
        Table t;
        openNewVideoTable(t, dir / "V.DBF");
        struct {
            const char* title;
            const char* category;
            int year;
            const char* keyWords;
            const char* star5;
        } rows[] = {{"Star Wars", "Science Fiction", 1977, "space, rebels", "Peter Cushing"},
                    {"Lone Star", "Drama", 1996, "", ""},
                    {"Alien", "Horror", 1979, "spaceship", ""},
                    {"Star Trek", "Science Fiction", 1995, "", "Harrison Ford"},
                    {"Brazil", "Comedy", 1985, "", ""}};
        for (const auto& r : rows) {
            t.append();
            t.setString("Title", r.title);
            t.setString("Category", r.category);
            t.setNumber("Year", r.year);
            t.setString("KeyWords", r.keyWords);
            t.setString("Star5", r.star5);
            t.post();
        }
        t.flush();
    }

    CliRun cli(const std::vector<std::string>& args) {
        std::string cmd = "REELVANE_CONFIG_DIR=" + shellQuoted(dir.path().string()) +
                          " REELVANE_PROGRAM_DIR=" + shellQuoted(dir.path().string()) + " " + REELVANE_CLI_PATH;
        for (const auto& a : args) cmd += " " + shellQuoted(a);
        cmd += " >" + shellQuoted((dir / "out").string()) + " 2>" + shellQuoted((dir / "err").string());
        int status = std::system(cmd.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(dir / "out"), readBytes(dir / "err")};
    }
    std::string db() { return (dir / "V.DBF").string(); }
    // The titles `list` prints for the extra arguments.
    CliRun titles(std::vector<std::string> extra) {
        std::vector<std::string> args{"list", db(), "--fields", "1"};
        args.insert(args.end(), extra.begin(), extra.end());
        return cli(args);
    }
};

}  // namespace

TEST_F(SearchCommands, ListWhereFiltersByLevelsOfRows) {
    struct Case {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"--where", "Title=star", "--where", "category=FICTION"}, "\"Star Wars\"\n\"Star Trek\"\n"},
        {{"--where", "11=1995", "--or", "--where", "Year=1996"}, "\"Lone Star\"\n\"Star Trek\"\n"},
        {{"--where", "Year=> 1977 AND < 1995", "--sort", "11"}, "\"Alien\"\n\"Brazil\"\n"},
        {{"--where=keywords=rebels space"}, "\"Star Wars\"\n\"Alien\"\n"},
        {{"--where", "Star2=ford"}, "\"Star Trek\"\n"},
        {{"--where", "Year=< 1979"}, "\"Star Wars\"\n"},
        {{"--where", "Title=nothing"}, ""},
        {{"--where", "Title=star", "--sort", "1", "--limit", "1"}, "\"Lone Star\"\n"},
    };
    for (const Case& c : cases) {
        CliRun r = titles(c.args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, c.out) << c.args[0] << " " << (c.args.size() > 1 ? c.args[1] : "");
    }
}

TEST_F(SearchCommands, ListWhereRefusesWhatTheSearchWindowRefuses) {
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string err;
    } cases[] = {
        {{"--where", "Year=19,95"}, 1, std::string(rv::browse::kInvalidCriteriaMessage) + "\n"},
        {{"--where", "Year=> 1990 AND <"}, 1, std::string(rv::browse::kInvalidCriteriaMessage) + "\n"},
        {{"--where", "Title=star", "--or"}, 1, std::string(rv::browse::kNoCriteriaMessage) + "\n"},
        {{"--where", "Title=\xe2\x82\xac\xe2\x88\x9e"}, 1, ""},  // the message names the character
        {{"--where", "Nonsense=1"}, 2, ""},
        {{"--or"}, 2, ""},
        {{"--where", "Title=a", "--where", "title=b"}, 2, ""},
    };
    for (const Case& c : cases) {
        CliRun r = titles(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.back() << " " << r.err;
        EXPECT_EQ(r.out, "");
        if (!c.err.empty()) {
            EXPECT_EQ(r.err, c.err);
        }
    }
    CliRun r = titles({"--where", "Title=\xe2\x88\x9e"});
    EXPECT_NE(r.err.find("\xe2\x88\x9e"), std::string::npos) << r.err;

    // 76 items over three levels.
    std::vector<std::string> many;
    for (int level = 0; level < 3; ++level) {
        if (level) many.push_back("--or");
        for (int f = 1; f <= 40; ++f)
            if (rv::browse::searchRowKind(f) == rv::browse::SearchRowKind::Text && (level < 2 || f <= 8))
                many.insert(many.end(), {"--where", std::to_string(f) + "=x"});
    }
    r = titles(many);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, rv::browse::tooManyItemsMessage() + "\n");
}

TEST_F(SearchCommands, LocatePrintsTheRecordFound) {
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string out, err;
    } cases[] = {
        {{"Title", "star"}, 0, "1\n", ""},
        {{"Title", "star", "--after", "1"}, 0, "4\n", ""},  // "Lone Star" does not begin with it
        {{"Title", "star", "--sort", "1"}, 0, "4\n", ""},
        {{"Title", "star", "--sort", "1", "--after", "4"}, 0, "1\n", ""},
        {{"Title", "star", "--sort", "1", "--after", "1"}, 1, "", "No more matches found\n"},
        {{"1", "Star", "--case"}, 0, "1\n", ""},
        {{"1", "STAR", "--case"}, 1, "", "No matches found\n"},
        {{"Title", "Star", "--exact"}, 1, "", "No matches found\n"},
        {{"Title", "lone star", "--exact"}, 0, "2\n", ""},
        {{"Title", "ien", "--anywhere"}, 0, "3\n", ""},
        {{"Year", "1995", "--exact"}, 0, "4\n", ""},
        {{"Title", "star", "--where", "Year=> 1990"}, 0, "4\n", ""},
        {{"Title", "star", "--where", "Year=2000"}, 1, "", "No matches found\n"},
        {{"Nofield", "x"}, 1, "", "Field Nofield not found.\n"},
        {{"Title", "star", "--exact", "--start"}, 2, "", ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"locate", db()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        CliRun r = cli(args);
        EXPECT_EQ(r.code, c.code) << c.args[1] << " " << r.err;
        EXPECT_EQ(r.out, c.out) << c.args[1];
        if (!c.err.empty()) {
            EXPECT_EQ(r.err, c.err) << c.args[1];
        }
    }
}
