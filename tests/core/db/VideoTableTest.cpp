// The functions that deal with video table files directly: the check of the forty fields,
// clearing the index flag, and creating a new video table.

#include <gtest/gtest.h>

#include <cctype>

#include "core/db/Table.h"
#include "core/db/VideoTable.h"
#include "core/db/DbTestSupport.h"

using namespace rv::db;
using namespace rv::db::test;

TEST(VideoTable, CheckAcceptsTheFortyNamesInOrderInAnyCase) {
    TempDir dir;
    auto specs = Table::videoFieldSpecs();
    Table::create(dir / "good.dbf", specs);
    EXPECT_EQ(videoTableProblem(dir / "good.dbf"), std::nullopt);

    // Lower-case names in the header, other types and widths: still a video table.
    auto other = specs;
    for (auto& s : other) {
        for (char& c : s.name) c = char(std::tolower(static_cast<unsigned char>(c)));
        s.kind = FieldKind::Text;
        s.width = 30;
    }
    Table::create(dir / "lower.dbf", other);
    std::string bytes = readBytes(dir / "lower.dbf");
    for (int i = 0; i < 40; ++i)  // create() stores upper case; write the header as others do
        for (int k = 0; k < 10; ++k) {
            char& c = bytes[size_t(32 + 32 * i + k)];
            c = char(std::tolower(static_cast<unsigned char>(c)));
        }
    writeBytes(dir / "lower.dbf", bytes);
    EXPECT_EQ(videoTableProblem(dir / "lower.dbf"), std::nullopt);

    auto swapped = specs;
    std::swap(swapped[0], swapped[1]);
    Table::create(dir / "swapped.dbf", swapped);
    EXPECT_EQ(videoTableProblem(dir / "swapped.dbf"), std::string(kNotVideoTableMessage));
    auto extra = specs;
    extra.push_back({"Extra", FieldKind::Text, 5});
    Table::create(dir / "extra.dbf", extra);
    EXPECT_EQ(videoTableProblem(dir / "extra.dbf"), std::string(kNotVideoTableMessage));
    EXPECT_THROW(videoTableProblem(dir / "missing.dbf"), DatabaseError);
}

TEST(VideoTable, CheckClearsTheIndexFlagWhenTheIndexFileIsMissing) {
    TempDir dir;
    fs::path p = videoTable(dir.path(), "V.DBF", 2);
    Table t;
    t.setPath(p);
    t.addIndex("NewIndex", "Title");
    ASSERT_EQ(uint8_t(readBytes(p)[28]), 1);
    fs::remove(dir / "V.MDX");
    EXPECT_EQ(videoTableProblem(p), std::nullopt);
    EXPECT_EQ(uint8_t(readBytes(p)[28]), 0);
}

TEST(VideoTable, RemoveMdxByteTouchesOnlyDBaseHeaders) {
    TempDir dir;
    fs::path p = videoTable(dir.path(), "V.DBF", 1);
    std::string bytes = readBytes(p);
    bytes[28] = 1;
    writeBytes(p, bytes);
    RemoveMDXByte(p);
    bytes[28] = 0;
    EXPECT_EQ(readBytes(p), bytes);

    std::string text(64, 'A');  // byte 28 of a file that is no table is somebody's data
    writeBytes(dir / "notes.dbf", text);
    RemoveMDXByte(dir / "notes.dbf");
    EXPECT_EQ(readBytes(dir / "notes.dbf"), text);
    RemoveMDXByte(dir / "missing.dbf");  // nothing happens
    EXPECT_FALSE(fs::exists(dir / "missing.dbf"));
}

TEST(VideoTable, MakeNewReplacesAnUnheldFileAndRefusesAHeldOne) {
    TempDir dir;
    fs::path p = videoTable(dir.path(), "V.DBF", 4);
    EXPECT_EQ(makeNewVideoTable(p), std::nullopt);
    Table t;
    t.setPath(p);
    t.open();
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_EQ(t.fieldCount(), 40);
    EXPECT_EQ(makeNewVideoTable(p), "The table \"" + p.string() +
                                        "\" is currently in use by another program.  New table creation will be "
                                        "aborted.");
}
