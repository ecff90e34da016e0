#include <gtest/gtest.h>

#include "core/db/Mdx.h"
#include "core/db/SortOrder.h"
#include "core/db/Table.h"
#include "core/db/DbTestSupport.h"

using namespace rv::db;
using namespace rv::db::test;

TEST(SortOrder, BuildsTheIndexExpressionFromTheLevels) {
    struct Case {
        SortLevels levels;
        const char* expression;
    };
    const std::vector<Case> cases = {
        {{0, 0, 0, 0}, ""},
        {{1, 0, 0, 0}, "Upper(Left(Title,80))"},
        {{1, 11, 0, 0}, "Upper(Left(Title,40))+STR(Year,12,0)"},
        {{0, 1, 0, 11}, "Upper(Left(Title,40))+STR(Year,12,0)"},  // unset levels are skipped
        {{14, 2, 35, 28}, "Upper(Left(Category,20))+Upper(Left(Star1,20))+DTOS(PurchDate)+STR(ListPrice,12,2)"},
        {{2, 3, 4, 0}, "Upper(Left(Star1,26))+Upper(Left(Star2,26))+Upper(Left(Star3,26))"},
        {{18, 0, 0, 0}, "Upper(Left(PersonalRa,80))"},
        {{41, -3, 1, 99}, "Upper(Left(Title,80))"},  // numbers outside 1..40 name no field
        {kDefaultSortLevels, "Upper(Left(Star1,80))"},
    };
    for (const Case& c : cases) EXPECT_EQ(BuildSortString(c.levels), c.expression);
}

TEST(SortOrder, RebuildingTheTagOrdersTheTableAtTheNextOpen) {
    TempDir dir;
    fs::path p = videoTable(dir.path(), "V.DBF", 12);
    Table t;
    t.setPath(p);
    rebuildSortTag(t, BuildSortString({11, 1, 0, 0}));
    EXPECT_FALSE(t.isOpen());
    EXPECT_EQ(t.indexName(), "NewIndex");
    t.open();
    EXPECT_EQ(t.orderExpression(), "STR(Year,12,0)+Upper(Left(Title,40))");
    EXPECT_EQ(t.tagStatus("NewIndex"), Table::TagStatus::Current);
    double year = 0;
    for (t.first(); !t.eof(); t.next()) {
        EXPECT_LE(year, t.asNumber("Year"));
        year = t.asNumber("Year");
    }
    t.close();

    // Rebuilding replaces the tag; "none" selects no tag and leaves the old one in the file.
    rebuildSortTag(t, BuildSortString({1, 0, 0, 0}));
    t.open();
    EXPECT_EQ(t.orderExpression(), "Upper(Left(Title,80))");
    t.close();
    rebuildSortTag(t, BuildSortString({0, 0, 0, 0}));
    EXPECT_EQ(t.indexName(), "");
    t.open();
    EXPECT_EQ(t.orderExpression(), "");
    EXPECT_EQ(t.indexTags(), std::vector<std::string>{"NEWINDEX"});
    t.close();

    // The index file went missing: the tag is simply created again.
    fs::remove(t.mdxPath());
    rebuildSortTag(t, BuildSortString({1, 0, 0, 0}));
    EXPECT_EQ(t.indexTags(), std::vector<std::string>{"NEWINDEX"});

    // Someone else holds the table: the rebuild fails as "in use".
    Table other;
    other.setPath(p);
    other.open();
    EXPECT_THROW(rebuildSortTag(t, BuildSortString({11, 0, 0, 0})), TableInUseError);
}

TEST(SortOrder, ADamagedIndexFileIsRebuiltAtStartAsAMissingOneIs) {
    const std::string expression = BuildSortString({11, 1, 0, 0});
    struct Case {
        const char* what;
        std::string mdx;  // "" : no index file at all
    };
    std::string random(4096, '\0');
    unsigned seed = 12345;
    for (char& c : random) c = char((seed = seed * 1103515245u + 12345u) >> 16);
    for (const Case& c : std::vector<Case>{{"missing", ""}, {"random bytes", random}, {"truncated", "\x02"}}) {
        TempDir dir;
        fs::path p = videoTable(dir.path(), "V.DBF", 9);
        if (!c.mdx.empty()) writeBytes(dir / "V.MDX", c.mdx);
        Table t;
        t.setPath(p);
        openSortTag(t, expression);
        t.open();
        EXPECT_EQ(t.orderExpression(), expression) << c.what;
        EXPECT_EQ(t.tagStatus("NewIndex"), Table::TagStatus::Current) << c.what;
        EXPECT_EQ(uint8_t(readBytes(p)[28]), 1) << c.what;
    }

    // A readable file with the tag is used as it is; no sort order selects no tag.
    TempDir dir;
    fs::path p = videoTable(dir.path(), "V.DBF", 3);
    Table t;
    t.setPath(p);
    t.addIndex("NewIndex", "Upper(Left(Title,80))");
    const std::string before = readBytes(dir / "V.MDX");
    openSortTag(t, expression);
    EXPECT_EQ(readBytes(dir / "V.MDX"), before);
    t.open();
    EXPECT_EQ(t.orderExpression(), "Upper(Left(Title,80))");
    t.close();
    openSortTag(t, "");
    t.open();
    EXPECT_EQ(t.orderExpression(), "");
}

TEST(SortOrder, RebuildIndexesRestoresTheSortTagFromADamagedOrEmptyFile) {
    const std::string expression = BuildSortString({11, 0, 0, 0});
    enum class Damage { RandomBytes, NoTags, OtherTagOnly, OtherExpression };
    for (Damage damage : {Damage::RandomBytes, Damage::NoTags, Damage::OtherTagOnly, Damage::OtherExpression}) {
        SCOPED_TRACE(int(damage));
        TempDir dir;
        Table t;
        fs::path p = videoTable(dir.path(), "V.DBF", 8);
        // Opened in record order, as the program is left when the file broke during a session.
        Table other;
        other.setPath(p);
        switch (damage) {
            case Damage::RandomBytes: writeBytes(dir / "V.MDX", std::string(3000, '\x5A')); break;
            case Damage::NoTags: mdx::writeMdx(dir / "V.MDX", {"V", {}}); break;
            case Damage::OtherTagOnly: other.addIndex("BYTITLE", "Upper(Left(Title,10))"); break;
            case Damage::OtherExpression: other.addIndex("NewIndex", "Upper(Left(Title,10))"); break;
        }
        t.setPath(p);
        t.setIndexName("NewIndex");
        t.setExclusive(true);
        t.open();
        regenerateSortIndexes(t, expression);
        EXPECT_EQ(t.orderExpression(), expression);
        EXPECT_EQ(t.tagStatus("NewIndex"), Table::TagStatus::Current);
        double year = 0;
        for (t.first(); !t.eof(); t.next()) {
            EXPECT_LE(year, t.asNumber("Year"));
            year = t.asNumber("Year");
        }
        if (damage == Damage::OtherTagOnly) {
            EXPECT_EQ(t.tagStatus("BYTITLE"), Table::TagStatus::Current);
        }
        t.close();
        t.setExclusive(false);
        t.open();
        EXPECT_EQ(t.orderExpression(), expression);
    }
}
