#include "core/lists/DataLists.h"

#include "core/db/DbTestSupport.h"

#include <gtest/gtest.h>

namespace rv::lists {
namespace {

// A program folder with a default file for every database list ("<name> default") and a
// database folder beside it.
class DataListsFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(program());
        std::filesystem::create_directories(dbFolder.path());
        for (int n : kDatabaseListOrder)
            writeListFile(defaultListFile(program(), n), {std::string(listDef(n).name) + " default"});
    }
    std::filesystem::path program() const { return programFolder.path(); }
    std::filesystem::path base() const { return dbFolder / "MASTER"; }

    db::test::TempDir programFolder;
    db::test::TempDir dbFolder;
    DataLists lists;
};

TEST_F(DataListsFiles, NoMarkerFileMeansTheDefaultsAreShown) {
    // Only the Director file exists: it is no marker, so it is neither read nor kept.
    db::test::writeBytes(dbFolder / "MASTER.003", "Own Director\r\n");
    lists.loadAll(base(), program());
    for (int n : kDatabaseListOrder) EXPECT_EQ(lists.list(n), Entries{std::string(listDef(n).name) + " default"}) << n;

    ASSERT_TRUE(lists.saveAll(base()));
    EXPECT_EQ(db::test::readBytes(dbFolder / "MASTER.003"), "Director default\r\n");
    // All fifteen files now exist; the program-wide lists never get a database file.
    for (int n : kDatabaseListOrder) EXPECT_TRUE(std::filesystem::exists(databaseListFile(base(), n))) << n;
    EXPECT_FALSE(std::filesystem::exists(dbFolder / "MASTER.014"));
    EXPECT_FALSE(std::filesystem::exists(dbFolder / "MASTER.017"));
}

TEST_F(DataListsFiles, OneMarkerFileMakesEveryListTheDatabasesOwn) {
    for (const char* marker : {"MASTER.009", "MASTER.008", "MASTER.007", "MASTER.010", "master.009"}) {
        db::test::TempDir folder;
        db::test::writeBytes(folder / marker, "");
        db::test::writeBytes(folder / "MASTER.006", "Own Category\r\n");
        lists.loadAll(folder / "MASTER", program());
        EXPECT_EQ(lists.list(6), Entries{"Own Category"}) << marker;
        EXPECT_TRUE(lists.list(1).empty()) << marker;  // missing file: empty, not the default
        EXPECT_TRUE(lists.list(9).empty()) << marker;
    }
}

TEST_F(DataListsFiles, LoadingFillsOnlyTheNineViewerDropDowns) {
    lists.setViewerList(8, {"Typed Producer"});  // Producer's drop-down: loading leaves it alone
    lists.setViewerList(14, {"Stale"});
    lists.loadDefaults(program());
    for (const auto& d : kViewerDropDowns) {
        if (d.field == 8)
            EXPECT_EQ(lists.viewerList(8), Entries{"Typed Producer"});
        else if (d.field == 13 || d.field == 14 || d.field == 15 || d.field == 16 || d.field == 17 || d.field == 18 ||
                 d.field == 20 || d.field == 24 || d.field == 33)
            EXPECT_EQ(lists.viewerList(d.field).size(), 1u) << d.combo;
        else
            EXPECT_TRUE(lists.viewerList(d.field).empty()) << d.combo;
    }
    EXPECT_EQ(lists.viewerList(14), Entries{"Category default"});
}

TEST_F(DataListsFiles, DefaultsSaveAndLoadRoundTrip) {
    lists.loadDefaults(program());
    lists.addToList(2, "New Star");
    ASSERT_TRUE(lists.saveDefaults(program()));
    EXPECT_EQ(db::test::readBytes(programFolder / "STAR.LST"), "Stars default\r\nNew Star\r\n");

    DataLists other;
    other.loadDefaults(program());
    EXPECT_EQ(other.list(2), (Entries{"Stars default", "New Star"}));
}

TEST(DataLists, TypedValueJoinsItsListOnce) {
    DataLists lists;
    lists.setList(6, {"Drama"});
    struct Case {
        const char* typed;
        bool added;
    };
    const Case cases[] = {
        {" Drama", false},   // trimmed before the comparison
        {"Drama  ", false},
        {"drama", true},     // letter case counts
        {"   ", false},
        {"", false},
        {" Comedy ", true},  // stored trimmed
        {"Comedy", false},
    };
    for (const auto& c : cases) EXPECT_EQ(lists.addToList(6, c.typed), c.added) << '"' << c.typed << '"';
    EXPECT_EQ(lists.list(6), (Entries{"Drama", "drama", "Comedy"}));

    EXPECT_TRUE(lists.addToViewer(14, " Western"));
    EXPECT_FALSE(lists.addToViewer(14, "Western"));
    EXPECT_EQ(lists.viewerList(14), Entries{"Western"});
    EXPECT_THROW(lists.addToViewer(1, "Title has no drop-down"), std::out_of_range);
}

TEST(DataLists, ListenerHearsEachChange) {
    DataLists lists;
    std::vector<std::pair<bool, int>> heard;
    const int id = lists.subscribe([&](const DataLists::Change& c) { heard.emplace_back(c.viewer, c.number); });
    lists.addToList(2, "A");
    lists.addToList(2, "A");  // no change, nothing heard
    lists.addToViewer(5, "A");
    lists.unsubscribe(id);
    lists.addToList(3, "B");
    EXPECT_EQ(heard, (std::vector<std::pair<bool, int>>{{false, 2}, {true, 5}}));
}

}  // namespace
}  // namespace rv::lists
