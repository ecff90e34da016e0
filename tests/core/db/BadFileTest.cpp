// Files that are not good dBase tables: each is refused with a DatabaseError a collector can
// read, or (when the file is too short for the records its header counts) opened read-only
// with the reason, and never changed.

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "core/db/Table.h"
#include "core/db/DbTestSupport.h"

using namespace rv::db;
using namespace rv::db::test;

namespace {

// A small table: NAME C(10), COUNT N(11), WHEN D; three records.
std::string goodTable(const TempDir& dir) {
    fs::path p = dir / "good.dbf";
    Table::create(p, {{"Name", FieldKind::Text, 10}, {"Count", FieldKind::Whole, 0}, {"When", FieldKind::Date, 0}});
    Table t;
    t.setPath(p);
    t.open();
    for (int i = 1; i <= 3; ++i) {
        t.append();
        t.setString("Name", "item " + std::to_string(i));
        t.setNumber("Count", i);
        t.setDate("When", Date{2000, 1, i});
        t.post();
    }
    t.close();
    return readBytes(p);
}

constexpr size_t kHeaderLength = 32 + 3 * 32 + 1;
constexpr size_t kRecordLength = 1 + 10 + 11 + 8;

void put16(std::string& b, size_t at, unsigned v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}

// Opens the file and reads every field of every record the way a display would.
void openAndWalk(const fs::path& p) {
    Table t;
    t.setPath(p);
    t.open();
    for (int i = 0; i < t.fieldCount(); ++i) (void)t.fieldInfo(i);
    for (t.first(); !t.eof(); t.next())
        for (int i = 0; i < t.fieldCount(); ++i) {
            (void)t.asString(i);
            (void)t.asNumber(i);
            (void)t.asDate(i);
        }
    for (int r = 0; r <= t.physicalRecordCount() + 1; ++r) (void)t.valueAt(r, 0);
}

}  // namespace

TEST(BadFile, DamagedHeadersAreRefusedWithAReadableMessage) {
    TempDir dir;
    const std::string good = goodTable(dir);
    ASSERT_EQ(good.size(), kHeaderLength + 3 * kRecordLength + 1);
    struct Case {
        const char* name;
        std::function<void(std::string&)> damage;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"empty file", [](std::string& b) { b.clear(); }, "empty"},
        {"text file", [](std::string& b) { b = "Title,Year\r\nAlien,1979\r\n"; }, "not a dBase table"},
        {"short file", [](std::string& b) { b.resize(20); }, "not a dBase table"},
        {"unknown version", [](std::string& b) { b[0] = 0x02; }, "not a dBase table"},
        {"header beyond file", [](std::string& b) { put16(b, 8, 60000); }, "header length"},
        {"header too small", [](std::string& b) { put16(b, 8, 40); }, "header length"},
        {"bad field type", [](std::string& b) { b[32 + 32 + 11] = 'X'; }, "type 'X'"},
        {"zero width text", [](std::string& b) { b[32 + 16] = 0; }, "impossible width"},
        {"date of width 5", [](std::string& b) { b[32 + 64 + 16] = 5; }, "impossible width"},
        {"numeric of width 60", [](std::string& b) { b[32 + 32 + 16] = 60; }, "impossible width"},
        {"records shorter than fields", [](std::string& b) { put16(b, 10, 12); }, "records are 12 bytes"},
        {"no end of field list", [](std::string& b) { b[kHeaderLength - 1] = 'Q'; }, "past the end of the header"},
        {"nameless field", [](std::string& b) { std::fill(b.begin() + 32, b.begin() + 43, '\0'); }, "no name"},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        c.damage(bytes);
        fs::path p = dir / "bad.dbf";
        writeBytes(p, bytes);
        Table t;
        t.setPath(p);
        try {
            t.open();
            ADD_FAILURE() << c.name << ": opened";
        } catch (const DatabaseError& e) {
            std::string msg = e.what();
            EXPECT_NE(msg.find(c.says), std::string::npos) << c.name << ": " << msg;
            EXPECT_NE(msg.find(p.string()), std::string::npos) << c.name << ": " << msg;
        }
        EXPECT_FALSE(t.isOpen()) << c.name;
        EXPECT_EQ(readBytes(p), bytes) << c.name;
    }
}

TEST(BadFile, FileTooShortForItsCountOpensReadOnlyAndChangesNothing) {
    TempDir dir;
    const std::string good = goodTable(dir);
    struct Case {
        const char* name;
        std::function<void(std::string&)> damage;
        int records;  // what can be read
    };
    const std::vector<Case> cases = {
        {"cut in the last record", [](std::string& b) { b.resize(kHeaderLength + 2 * kRecordLength + 7); }, 2},
        {"count too high", [](std::string& b) { b[4] = 9; }, 3},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        c.damage(bytes);
        fs::path p = dir / "count.dbf";
        writeBytes(p, bytes);
        Table t;
        t.setPath(p);
        t.open();
        EXPECT_FALSE(t.isWritable()) << c.name;
        EXPECT_NE(t.problem().find("opened read-only"), std::string::npos) << c.name << ": " << t.problem();
        EXPECT_EQ(t.recordCount(), c.records) << c.name;
        EXPECT_EQ(t.asString("Name"), "item 1");
        EXPECT_THROW(t.append(), DatabaseError) << c.name;
        EXPECT_THROW(t.edit(), DatabaseError) << c.name;
        EXPECT_THROW(t.deleteRecord(), DatabaseError) << c.name;
        t.close();
        t.setExclusive(true);
        t.open();
        EXPECT_THROW(t.pack(), DatabaseError) << c.name;
        EXPECT_THROW(t.regenerateIndexes(), DatabaseError) << c.name;
        t.close();
        EXPECT_THROW(t.addIndex("NewIndex", "Name"), DatabaseError) << c.name;
        EXPECT_EQ(readBytes(p), bytes) << c.name;
    }

    // Without the end marker the sizes agree: a sound table.
    std::string noMarker = good.substr(0, good.size() - 1);
    writeBytes(dir / "plain.dbf", noMarker);
    Table t;
    t.setPath(dir / "plain.dbf");
    t.open();
    EXPECT_TRUE(t.isWritable());
    EXPECT_EQ(t.problem(), "");
    EXPECT_EQ(t.recordCount(), 3);
}

TEST(BadFile, RandomDamageNeverCrashes) {
    TempDir dir;
    const std::string good = goodTable(dir);
    std::mt19937 rng(97);
    fs::path p = dir / "random.dbf";
    int opened = 0;
    for (int round = 0; round < 400; ++round) {
        std::string bytes = good;
        int flips = 1 + int(rng() % 6);
        for (int k = 0; k < flips; ++k) {
            // Mostly the header, where the layout lives.
            size_t at = rng() % 4 ? rng() % kHeaderLength : rng() % bytes.size();
            bytes[at] = char(rng() & 0xFF);
        }
        if (rng() % 5 == 0) bytes.resize(rng() % bytes.size());
        writeBytes(p, bytes);
        try {
            openAndWalk(p);
            ++opened;
        } catch (const DatabaseError&) {
        }
    }
    EXPECT_GT(opened, 0);  // some damage leaves a readable table
}
