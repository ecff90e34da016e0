#include <gtest/gtest.h>

#include <algorithm>

#include "core/browse/ViewerLayout.h"

using namespace rv::browse;
using rv::app::Settings;

TEST(ViewerLayout, DefaultsShowAllFortyFieldsInCatalogueOrder) {
    Settings s;
    auto columns = viewerColumns(s);
    ASSERT_EQ(columns.size(), 40u);
    EXPECT_EQ(columns[0], (ViewerColumn{1, "Title", 15}));
    EXPECT_EQ(columns[18], (ViewerColumn{19, "Media #", 15}));
    EXPECT_EQ(columns[39].field, 40);
}

TEST(ViewerLayout, OrderHiddenFieldsAndGaps) {
    Settings s;
    for (int f = 1; f <= 40; ++f) s.displayFields[f] = false;
    EXPECT_TRUE(viewerColumns(s).empty());  // hiding every field leaves no data columns

    s = Settings{};
    s.fieldOrder[1] = 3;   // Title third
    s.fieldOrder[3] = 1;   // Star 2 first
    s.displayFields[2] = false;
    auto columns = viewerColumns(s);
    ASSERT_EQ(columns.size(), 39u);
    EXPECT_EQ(columns[0].field, 3);
    EXPECT_EQ(columns[1].field, 1);  // position 2 is Star 1, hidden; position 3 is Title
    EXPECT_EQ(columns[2].field, 4);

    // A position no field holds moves field 1 there (a hand-edited file can do this); every
    // field still shows exactly once.
    s = Settings{};
    s.fieldOrder[40] = 39;
    columns = viewerColumns(s);
    ASSERT_EQ(columns.size(), 40u);
    EXPECT_EQ(columns[37].field, 39);
    EXPECT_EQ(columns[38].field, 40);
    EXPECT_EQ(columns[39].field, 1);
}

TEST(ViewerLayout, OrderThatIsNotAPermutationKeepsEveryFieldOnce) {
    struct Case {
        std::vector<std::pair<int, int>> order;  // field, view position
        std::vector<int> first;                  // the first columns' fields
    };
    const Case cases[] = {
        // Only Star 1 (field 2) moved to 5: position 2 is empty, Star 4 (field 5) shares 5.
        {{{2, 5}}, {1, 3, 4, 5, 2, 6}},
        // Fields 1 and 2 both at 40: positions 1 and 2 are empty, field 1 moves through
        // them and ends at 40; field 2, chosen by no position, keeps its place.
        {{{1, 40}, {2, 40}}, {2, 3, 4}},
        // Every field at position 1: field 1 moves through every empty position to the end.
        {{}, {2, 3, 4}},
    };
    for (const auto& c : cases) {
        Settings s;
        if (c.order.empty())
            for (int f = 1; f <= 40; ++f) s.fieldOrder[f] = 1;
        for (const auto& [f, p] : c.order) s.fieldOrder[f] = p;
        const auto columns = viewerColumns(s);
        ASSERT_EQ(columns.size(), 40u);
        std::vector<int> fields;
        for (const auto& col : columns) fields.push_back(col.field);
        std::vector<int> sorted = fields;
        std::sort(sorted.begin(), sorted.end());
        for (int f = 1; f <= 40; ++f) EXPECT_EQ(sorted[static_cast<std::size_t>(f - 1)], f) << "field " << f;
        for (std::size_t i = 0; i < c.first.size(); ++i) EXPECT_EQ(fields[i], c.first[i]) << "column " << i;
    }
}

TEST(ViewerLayout, WidthCells) {
    struct Case { const char* cell; int width; };
    const Case cases[] = {{"12", 12}, {" 40 ", 40}, {"12a", 12}, {"255", 255}, {"1", 1}, {"+7", 7},
                          {"0", 10}, {"256", 10}, {"abc", 10}, {"", 10}, {"-5", 10}, {"99999999999", 10}};
    for (const auto& c : cases) EXPECT_EQ(parseWidthCell(c.cell), c.width) << '"' << c.cell << '"';
}

TEST(ViewerLayout, DuplicateNames) {
    Settings s;
    EXPECT_FALSE(duplicateNameMessage(s.displayNames));
    s.displayNames[5] = "star 1";  // differs from "Star 1" only in case: accepted
    EXPECT_FALSE(duplicateNameMessage(s.displayNames));
    s.displayNames[9] = "Title";
    EXPECT_EQ(duplicateNameMessage(s.displayNames), "Two field names have the same name \"Title\".  Please change one.");
    s = Settings{};
    s.displayNames[3] = "";
    s.displayNames[30] = "";
    EXPECT_EQ(duplicateNameMessage(s.displayNames), "Two field names have the same name \"\".  Please change one.");
}

TEST(ViewerLayout, StoringPagesRenamesAndReordersByTheOpeningNames) {
    Settings s;
    ViewConfigPages pages = viewConfigPages(s);
    EXPECT_EQ(pages.orderRows[0], "Title");
    EXPECT_EQ(pages.displayCells[1], "Yes");

    // Rename Title and move it down one row while the window is open: both take effect.
    pages.nameCells[1] = "Film Title That Is Far Too Long";
    std::swap(pages.orderRows[0], pages.orderRows[1]);
    pages.widthCells[2] = "abc";
    pages.widthCells[3] = "12a";
    pages.displayCells[4] = "yes";  // only exactly "Yes" shows a field
    storeViewConfigPages(s, pages);

    EXPECT_EQ(s.displayNames[1], "Film Title That Is F");
    EXPECT_EQ(s.fieldOrder[1], 2);
    EXPECT_EQ(s.fieldOrder[2], 1);
    EXPECT_EQ(s.fieldWidths[2], 10);
    EXPECT_EQ(pages.widthCells[2], "10");
    EXPECT_EQ(s.fieldWidths[3], 12);
    EXPECT_FALSE(s.displayFields[4]);
    EXPECT_EQ(viewerColumns(s)[0].field, 2);
    EXPECT_EQ(viewerColumns(s)[1].title, "Film Title That Is F");

    // Defaults put the rows back in catalogue order under the names the window opened with.
    Settings before;
    pages = viewConfigPages(before);
    std::swap(pages.orderRows[5], pages.orderRows[20]);
    defaultOrderRows(pages, before);
    EXPECT_EQ(pages.orderRows[5], "Star 5");
    EXPECT_EQ(pages.orderRows[20], "Counter Start");
}
