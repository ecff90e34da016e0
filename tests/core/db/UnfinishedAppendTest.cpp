// The bytes an append leaves when the program dies between writing a record and counting it
// in the header: the table opens for writing with the records the header counts.

#include <gtest/gtest.h>

#include "core/db/DbTestSupport.h"
#include "core/db/Table.h"

using namespace rv::db;
using namespace rv::db::test;

TEST(UnfinishedAppend, BytesOfOneUncountedRecordAreLeftOut) {
    TempDir dir;
    const fs::path p = dir / "t.dbf";
    Table::create(p, {{"Name", FieldKind::Text, 20}});
    {
        Table t;
        t.setPath(p);
        t.open();
        for (int i = 1; i <= 3; ++i) {
            t.append();
            t.setString("Name", "item " + std::to_string(i));
            t.post();
        }
    }
    const std::string good = readBytes(p);
    const size_t recordLength = 21;
    const std::string withoutMarker = good.substr(0, good.size() - 1);
    struct Case {
        const char* name;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"whole record and marker", withoutMarker + " uncounted           \x1A"},
        {"whole record", withoutMarker + " uncounted           "},
        {"part of a record", withoutMarker + " uncou"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_LE(c.bytes.size(), withoutMarker.size() + recordLength + 1);
        writeBytes(p, c.bytes);
        Table t;
        t.setPath(p);
        t.open();
        EXPECT_EQ(t.problem(), "");
        ASSERT_TRUE(t.isWritable());
        EXPECT_EQ(t.recordCount(), 3);
        t.append();
        t.setString("Name", "item 4");
        t.post();
        t.close();
        t.open();
        EXPECT_EQ(t.problem(), "");
        EXPECT_EQ(t.recordCount(), 4);
        t.last();
        EXPECT_EQ(t.asString("Name"), "item 4");
    }
}
