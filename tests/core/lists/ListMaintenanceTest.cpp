#include "core/lists/ListMaintenance.h"

#include "core/lists/DefaultLists.h"
#include "core/db/DbTestSupport.h"

#include <gtest/gtest.h>

namespace rv::lists {
namespace {

TEST(ListEditor, AddKeepsDuplicatesAndRefusesBlankText) {
    ListEditor e(6, {"Drama"});
    EXPECT_TRUE(e.add("  Drama "));
    EXPECT_FALSE(e.add("   "));
    EXPECT_EQ(e.entries(), (Entries{"Drama", "Drama"}));
    EXPECT_EQ(maintenanceCaption(2), "Edit \"Stars\" List");
}

TEST(ListEditor, DeleteSelectsTheRowThatTookThePlace) {
    struct Case {
        Entries before;
        std::optional<std::size_t> selected;
        Entries after;
        std::optional<std::size_t> selectedAfter;
    };
    const Case cases[] = {
        {{"A", "B", "C"}, 0, {"B", "C"}, 0},
        {{"A", "B", "C"}, 1, {"A", "C"}, 1},
        {{"A", "B", "C"}, 2, {"A", "B"}, 1},  // the last: the new last
        {{"A"}, 0, {}, std::nullopt},          // the only one: no selection
        {{"A", "B"}, std::nullopt, {"A", "B"}, std::nullopt},  // no selection: nothing happens
    };
    for (const auto& c : cases) {
        ListEditor e(1, c.before);
        e.select(c.selected);
        e.removeSelected();
        EXPECT_EQ(e.entries(), c.after);
        EXPECT_EQ(e.selected(), c.selectedAfter);
    }
    EXPECT_EQ(ListEditor(1, {}).selected(), std::nullopt);
    EXPECT_EQ(ListEditor(1, {"A"}).selected(), 0u);
}

TEST(ListEditor, SortIgnoresLetterCaseOnce) {
    ListEditor e(6, {"western", "Drama", "\xc9pop\xe9" "e", "drama", "Comedy", "Drama", "zulu", "\xe9" "clair"});
    e.sort();
    EXPECT_EQ(e.entries(), (Entries{"Comedy", "Drama", "drama", "Drama", "\xe9" "clair", "\xc9pop\xe9" "e",
                                    "western", "zulu"}));
    e.add("Action");  // later additions go to the end again
    EXPECT_EQ(e.entries().back(), "Action");
}

TEST(ListEditor, AccentedLettersSortWithTheirBaseLetter) {
    struct Case { const char* a; const char* b; bool less; };
    const Case cases[] = {
        {"Zed", "\xc9mile", false},          // Émile before Zed, not after Z
        {"\xc9mile", "Eric", true},           // É weighs as E: m before r
        {"Emile", "\xc9mile", true},          // same letters: unaccented first
        {"\xc9mile", "Emile", false},
        {"emile", "EMILE", false},            // letter case alone: equal
        {"EMILE", "emile", false},
        {"\xc6on", "Af", true},               // Æ as AE
        {"Stra\xdf" "e", "Strasse", false},   // ß as ss: equal letters, plain first
        {"Strasse", "Stra\xdf" "e", true},
        {"\x8a" "kola", "Sm", true},           // Š as S
        {"Nu\xf1" "ez", "Nunz", true},        // ñ as n
        {"\xd6" "ko", "Ola", true},           // Ö as O
        {"Zoe", "Zo\xeb", true},
    };
    for (const auto& c : cases) EXPECT_EQ(lessNoCase(c.a, c.b), c.less) << c.a << " < " << c.b;

    ListEditor e(2, {"Zed, Adam", "\xc9mile, Paul", "Eastwood, Clint", "\xe5sa", "Bergman, Ingrid"});
    e.sort();
    EXPECT_EQ(e.entries(), (Entries{"\xe5sa", "Bergman, Ingrid", "Eastwood, Clint", "\xc9mile, Paul", "Zed, Adam"}));
}

TEST(ListEditor, OkStoresTheCopyAndSavesTheDatabaseLists) {
    db::test::TempDir program, folder;
    const auto base = folder / "MASTER";
    DataLists lists;
    lists.setList(2, {"Old Star"});
    lists.setList(1, {"Producer A"});

    // The Stars list: the one list, all six star drop-downs of the viewer, every file.
    ListEditor stars = ListEditor::open(lists, 2, program.path());
    EXPECT_EQ(stars.entries(), Entries{"Old Star"});
    stars.add("New Star");
    ASSERT_TRUE(stars.store(lists, base, program.path()));
    EXPECT_EQ(lists.list(2), (Entries{"Old Star", "New Star"}));
    for (int field = 2; field <= 7; ++field) EXPECT_EQ(lists.viewerList(field), lists.list(2)) << field;
    EXPECT_EQ(db::test::readBytes(folder / "MASTER.002"), "Old Star\r\nNew Star\r\n");
    EXPECT_EQ(db::test::readBytes(folder / "MASTER.001"), "Producer A\r\n");

    // Producer: its viewer drop-down, which loading never fills, gets the list.
    ListEditor producer = ListEditor::open(lists, 1, program.path());
    producer.add("Producer B");
    producer.store(lists, base, program.path());
    EXPECT_EQ(lists.viewerList(8), (Entries{"Producer A", "Producer B"}));

    // Oscar names: read from and written to OSCAR.LST; the database files are rewritten too.
    db::test::writeBytes(program / "OSCAR.LST", "Best Picture\r\n");
    std::filesystem::remove(folder / "MASTER.001");
    ListEditor oscars = ListEditor::open(lists, kOscarList, program.path());
    EXPECT_EQ(oscars.entries(), Entries{"Best Picture"});
    oscars.add("Best Director");
    ASSERT_TRUE(oscars.store(lists, base, program.path()));
    EXPECT_EQ(db::test::readBytes(program / "OSCAR.LST"), "Best Picture\r\nBest Director\r\n");
    EXPECT_TRUE(std::filesystem::exists(folder / "MASTER.001"));
    EXPECT_TRUE(lists.list(kOscarList).empty());
}

TEST(ListEditor, CancelChangesNothing) {
    DataLists lists;
    lists.setList(5, {"G", "PG"});
    db::test::TempDir program;
    ListEditor e = ListEditor::open(lists, 5, program.path());
    e.add("R");
    e.removeSelected();
    EXPECT_EQ(lists.list(5), (Entries{"G", "PG"}));  // the window's copy is not the list
}

TEST(DefaultLists, SeedingCopiesOnlyMissingFiles) {
    db::test::TempDir shipped, program;
    db::test::writeBytes(shipped / "RATING.LST", "G\r\nPG\r\n");
    db::test::writeBytes(shipped / "OSCAR.LST", "Best Picture\n");
    db::test::writeBytes(shipped / "category.lst", "Drama\r\n");
    db::test::writeBytes(program / "rating.lst", "Mine\r\n");  // already there in another letter case

    const auto copied = seedDefaultLists(program.path(), shipped.path());
    EXPECT_EQ(copied, (std::vector<std::string>{"CATEGORY.LST", "OSCAR.LST"}));
    EXPECT_EQ(db::test::readBytes(program / "rating.lst"), "Mine\r\n");
    EXPECT_FALSE(std::filesystem::exists(program / "RATING.LST"));
    EXPECT_EQ(db::test::readBytes(program / "OSCAR.LST"), "Best Picture\r\n");
    EXPECT_EQ(db::test::readBytes(program / "CATEGORY.LST"), "Drama\r\n");
    EXPECT_TRUE(seedDefaultLists(program.path(), shipped.path()).empty());
}

TEST(DefaultLists, ShippedFolderHoldsEveryListFile) {
    const auto shipped = shippedListsFolder();
    ASSERT_TRUE(shipped);
    for (const auto& def : kLists) {
        const auto file = *shipped / std::string(def.defaultFile);
        EXPECT_TRUE(std::filesystem::is_regular_file(file)) << def.defaultFile;
        // Entries fit the longest entry the maintenance window accepts for the list.
        for (const auto& item : kMaintenanceItems) {
            if (item.list != def.number) continue;
            for (const auto& entry : readListFile(file))
                EXPECT_LE(entry.size(), static_cast<std::size_t>(item.maxEntryLength)) << entry;
        }
    }
    EXPECT_FALSE(readListFile(*shipped / "RATING.LST").empty());
}

}  // namespace
}  // namespace rv::lists
