#include "core/lists/Selection.h"

#include "core/db/DbTestSupport.h"

#include <gtest/gtest.h>

namespace rv::lists {
namespace {

std::vector<std::string> selectedEntries(const Selection& s) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.entries().size(); ++i)
        if (s.isSelected(i)) out.push_back(s.entries()[i]);
    return out;
}

TEST(Selection, MiscTextPreselectsItsEntriesAndWritesThemBack) {
    const Entries misc{"Widescreen", "Closed Captioned", "letterbox", "Dubbed"};
    Selection s(SelectionKind::Miscellaneous, misc, "Widescreen, Closed Captioned");
    EXPECT_EQ(s.entries(), (Entries{"Closed Captioned", "Dubbed", "letterbox", "Widescreen"}));
    EXPECT_EQ(selectedEntries(s), (std::vector<std::string>{"Closed Captioned", "Widescreen"}));
    EXPECT_EQ(s.joined(), "Closed Captioned, Widescreen");  // list order, not text order
}

TEST(Selection, AccentedEntriesSortWithTheirBaseLetter) {
    const Entries misc{"Zed, \xc9mile", "\xc9" "dition sp\xe9" "ciale", "Dubbed", "Extended"};
    Selection s(SelectionKind::Miscellaneous, misc);
    EXPECT_EQ(s.entries(), (Entries{"Dubbed", "\xc9" "dition sp\xe9" "ciale", "Extended", "Zed, \xc9mile"}));
}

TEST(Selection, UnknownMiscItemsJoinTheShownListOnly) {
    db::test::TempDir program;
    db::test::writeBytes(program / "MISC.LST", "Dubbed\r\nWidescreen\r\n");
    Selection s(SelectionKind::Miscellaneous, program.path(), "Signed Copy,  widescreen,,Dubbed");
    EXPECT_EQ(s.entries(), (Entries{"Dubbed", "Signed Copy", "Widescreen", "widescreen"}));
    EXPECT_EQ(s.joined(), "Dubbed, Signed Copy, widescreen");
    EXPECT_EQ(db::test::readBytes(program / "MISC.LST"), "Dubbed\r\nWidescreen\r\n");
    EXPECT_EQ(s.find("Widescreen"), 2);
    EXPECT_EQ(s.find("widescreen "), -1);
}

TEST(Selection, OscarKindsOpenWithoutSelectionAndJoinInListOrder) {
    db::test::TempDir program;
    db::test::writeBytes(program / "OSCAR.LST", "Best Picture\r\nBest Actor\r\nBest Director\r\n");
    Selection s(SelectionKind::OscarAwards, program.path(), "Best Picture");
    EXPECT_EQ(s.joined(), "");  // nothing preselected: OK empties the box
    s.toggle(2);                // Best Picture
    s.toggle(0);                // Best Actor
    s.toggle(1);
    s.toggle(1);
    EXPECT_EQ(s.joined(), "Best Actor, Best Picture");

    Selection none(SelectionKind::OscarNominations, program / "elsewhere");
    EXPECT_TRUE(none.entries().empty());
    EXPECT_EQ(none.joined(), "");
}

TEST(Selection, JoinedTextStopsAt255Characters) {
    Entries many;
    for (char c = 'a'; c <= 'z'; ++c) many.push_back(std::string(20, c));
    Selection s(SelectionKind::OscarNominations, many);
    for (std::size_t i = 0; i < many.size(); ++i) s.setSelected(i, true);
    EXPECT_EQ(s.joined().size(), 255u);
    EXPECT_EQ(s.joined().substr(0, 24), std::string(20, 'a') + ", " + "bb");
}

}  // namespace
}  // namespace rv::lists
