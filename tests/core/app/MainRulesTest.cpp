// The main window's rules that need no window: the browse-only argument, the screen sizes
// and their scale factors, the recent-database list and the extension test.

#include "core/app/MainRules.h"

#include <gtest/gtest.h>

namespace rv::app {
namespace {

TEST(MainRules, BrowseArgument) {
    struct Case {
        const char* argument;
        bool browse;
    };
    const Case cases[] = {
        {"/BROWSE", true}, {"/browse", true}, {"/BrOwSe", true},
        {"/browsex", false}, {"BROWSE", false}, {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(isBrowseArgument(c.argument), c.browse) << c.argument;
}

TEST(MainRules, ScreenSizeNeedsAScreenThatHoldsIt) {
    struct Case {
        int stored, width, height, used;
        double factor;
    };
    const Case cases[] = {
        {640, 640, 480, 640, 1.0},      {800, 800, 600, 800, 1.25},   {800, 799, 600, 640, 1.0},
        {1024, 1024, 768, 1024, 1.6},   {1024, 1024, 767, 640, 1.0},  {1280, 1280, 1024, 1280, 2.0},
        {1280, 1024, 768, 640, 1.0},    {900, 1920, 1080, 640, 1.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(usableWindowSize(c.stored, c.width, c.height), c.used) << c.stored << " on " << c.width;
        EXPECT_DOUBLE_EQ(scaleFactorOf(usableWindowSize(c.stored, c.width, c.height)), c.factor);
    }
}

TEST(MainRules, ScaleNumeratorIsExactToTheHundredth) {
    EXPECT_EQ(scaleNumerator(1.0), 100);
    EXPECT_EQ(scaleNumerator(1.25), 125);
    EXPECT_EQ(scaleNumerator(1.6), 160);
    EXPECT_EQ(scaleNumerator(2.0), 200);
}

TEST(MainRules, RecentListPutsThePreviousDatabaseOnTop) {
    std::array<std::string, 5> recent{"a", "b", "c", "d", "e"};
    doLastFiles(recent, "x", "z");  // z is not in the list: the fifth drops off
    EXPECT_EQ(recent, (std::array<std::string, 5>{"x", "a", "b", "c", "d"}));
    doLastFiles(recent, "z", "b");  // b becomes current: it leaves the list
    EXPECT_EQ(recent, (std::array<std::string, 5>{"z", "x", "a", "c", "d"}));
    doLastFiles(recent, "b", "A");  // exact comparison, letter case included
    EXPECT_EQ(recent, (std::array<std::string, 5>{"b", "z", "x", "a", "c"}));
}

TEST(MainRules, DbfExtensionInAnyLetterCase) {
    EXPECT_TRUE(hasDbfExtension("MASTER.DBF"));
    EXPECT_TRUE(hasDbfExtension("films.dbf"));
    EXPECT_TRUE(hasDbfExtension(".Dbf"));
    EXPECT_FALSE(hasDbfExtension("films.dbx"));
    EXPECT_FALSE(hasDbfExtension("DBF"));
    EXPECT_FALSE(hasDbfExtension(""));
}

}  // namespace
}  // namespace rv::app
