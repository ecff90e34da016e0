#include <gtest/gtest.h>

#include <cstring>

#include "core/db/DbfFormat.h"
#include "core/db/KeyExpression.h"
#include "core/db/Mdx.h"
#include "core/db/SortOrder.h"
#include "core/db/Table.h"
#include "core/db/VideoTable.h"
#include "core/db/DbTestSupport.h"

using namespace rv::db;
using namespace rv::db::test;

TEST(Table, NewVideoTableHasTheCatalogueFieldsAndAPlainDBaseLayout) {
    TempDir dir;
    fs::path p = dir / "MASTER.DBF";
    Table::createVideoTable(p);
    EXPECT_FALSE(fs::exists(dir / "MASTER.MDX"));

    std::string bytes = readBytes(p);
    const uint32_t headerLength = uint8_t(bytes[8]) | uint8_t(bytes[9]) << 8;
    EXPECT_EQ(uint8_t(bytes[0]), 0x03);
    EXPECT_EQ(u32At(bytes, 4), 0u);
    EXPECT_EQ(uint8_t(bytes[28]), 0);     // no production index
    EXPECT_EQ(uint8_t(bytes[29]), 0x03);  // Windows ANSI, code page 1252
    EXPECT_EQ(headerLength, 32u + 40u * 32u + 1u);
    EXPECT_EQ(uint8_t(bytes[headerLength - 1]), 0x0D);
    ASSERT_EQ(bytes.size(), headerLength + 1);
    EXPECT_EQ(uint8_t(bytes.back()), 0x1A);

    Table t;
    t.setPath(p);
    t.open();
    ASSERT_EQ(t.fieldCount(), 40);
    for (int i = 0; i < 40; ++i) {
        const FieldDef& def = kFields[size_t(i)];
        const FieldInfo& f = t.fieldInfo(i);
        std::string upper(def.name);
        for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(f.name, upper);
        EXPECT_EQ(f.type, def.typeLetter()) << def.name;
        if (def.kind == FieldKind::Text) {
            EXPECT_EQ(f.length, def.width) << def.name;
        }
    }
    EXPECT_EQ(t.fieldInfo(10).length, kWholeWidth);  // Year
    EXPECT_EQ(t.fieldInfo(27).decimals, 2);          // ListPrice
    EXPECT_EQ(t.fieldInfo(31).length, 8);            // CheckDate
    EXPECT_EQ(t.fieldIndex("purchdate"), 34);
    EXPECT_EQ(t.fieldIndex("NoSuchField"), -1);
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_TRUE(t.eof());
    EXPECT_TRUE(t.bof());
}

TEST(Table, ValuesRoundTripThroughTheFile) {
    TempDir dir;
    fs::path p = dir / "V.DBF";
    Table::createVideoTable(p);
    struct Case {
        const char* field;
        std::string in;
        std::string out;  // asString after reopening
        std::string stored;
    };
    const std::string longText(70, 'x');
    const std::vector<Case> cases = {
        {"Title", "\xC9t\xE9 \xE0 Paris", "\xC9t\xE9 \xE0 Paris", ""},  // Windows-1252 bytes kept
        {"Title", longText, longText.substr(0, 60), ""},                 // cut at the field width
        {"Title", "  leading kept", "  leading kept", ""},
        {"Year", "1997", "1997", "       1997"},
        {"Year", " -12 ", "-12", "        -12"},
        {"Year", "", "", "           "},  // blank, not 0
        {"RunTime", "96.6", "97", ""},     // whole numbers round
        {"ListPrice", "12.5", "12.50", "          12.50"},
        {"ListPrice", "0.005", "0.01", ""},
        {"ListPrice", "99999999999.99", "99999999999.99", ""},
        {"PurchPrice", "", "", "               "},
        {"PurchDate", "03/05/1997", "03/05/1997", "19970305"},
        {"CheckDate", "", "", "        "},
    };
    for (const Case& c : cases) {
        {
            Table t;
            t.setPath(p);
            t.open();
            t.append();
            t.setString(c.field, c.in);
            t.post();
        }
        Table t;
        t.setPath(p);
        t.open();
        t.last();
        EXPECT_EQ(t.asString(c.field), c.out) << c.field << " <- \"" << c.in << "\"";
        if (!c.stored.empty()) {
            EXPECT_EQ(t.asStored(t.fieldIndex(c.field)), c.stored) << c.field;
        }
    }
}

TEST(Table, NumbersAndDatesHaveTypedAccessors) {
    TempDir dir;
    fs::path p = dir / "V.DBF";
    Table t;
    openNewVideoTable(t, p);
    t.append();
    t.setNumber("Year", 1984);
    t.setNumber("ListPrice", 19.99);
    t.setNumber("PurchPrice", 1234567.1);
    t.setDate("PurchDate", Date{1999, 12, 31});
    t.setDate("CheckDate", Date{});
    t.post();
    EXPECT_EQ(t.asNumber("Year"), 1984);
    EXPECT_EQ(t.asNumber("ListPrice"), 19.99);  // exactly the double that was set
    EXPECT_EQ(t.asString("PurchPrice"), "1234567.10");
    EXPECT_EQ(t.asDate("PurchDate"), (Date{1999, 12, 31}));
    EXPECT_TRUE(t.asDate("CheckDate").isEmpty());
    EXPECT_EQ(t.asNumber("RunTime"), 0);
    EXPECT_TRUE(t.isBlank(t.fieldIndex("RunTime")));

    // A codec installed by the caller decides how dates read and parse as text.
    struct IsoCodec : DateCodec {
        std::string format(const Date& d) const override { return d.isEmpty() ? "" : d.dtos(); }
        std::optional<Date> parse(std::string_view s) const override {
            auto d = Date::fromDtos(s);
            return d && !d->isEmpty() ? d : std::nullopt;
        }
    } iso;
    t.setDateCodec(&iso);
    EXPECT_EQ(t.asString("PurchDate"), "19991231");
    t.edit();
    t.setString("CheckDate", "20010203");
    t.post();
    EXPECT_EQ(t.asDate("CheckDate"), (Date{2001, 2, 3}));
    t.setDateCodec(nullptr);
    EXPECT_EQ(t.asString("CheckDate"), "02/03/2001");
}

TEST(Table, ValuesThatDoNotSuitTheFieldAreRefused) {
    TempDir dir;
    fs::path p = dir / "V.DBF";
    Table t;
    openNewVideoTable(t, p);
    EXPECT_THROW(t.setString("Title", "not editing"), DatabaseError);
    t.append();
    struct Case {
        const char* field;
        const char* value;
        const char* mentions;
    };
    for (const Case& c : std::vector<Case>{{"Year", "nineteen", "YEAR"},
                                           {"Year", "1,997", "YEAR"},
                                           {"ListPrice", "12.50 $", "LISTPRICE"},
                                           {"ListPrice", "1e5", "LISTPRICE"},
                                           {"Year", "123456789012", "YEAR"},
                                           {"PurchDate", "02/30/1999", "PURCHDATE"},
                                           {"PurchDate", "yesterday", "PURCHDATE"}}) {
        try {
            t.setString(c.field, c.value);
            ADD_FAILURE() << c.field << " accepted \"" << c.value << "\"";
        } catch (const DatabaseError& e) {
            EXPECT_NE(std::string(e.what()).find(c.mentions), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.value), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(t.setNumber("PurchPrice", 1e15), DatabaseError);
    EXPECT_THROW(t.setDate("PurchDate", Date{1999, 2, 29}), DatabaseError);
    EXPECT_THROW(t.setString("NoSuchField", "x"), DatabaseError);
    EXPECT_THROW(t.setString(40, "x"), DatabaseError);
    // The refused values left the buffer as it was.
    t.post();
    EXPECT_EQ(t.asString("Year"), "");
    EXPECT_EQ(t.asString("PurchDate"), "");
}

TEST(Table, WalksSkipDeletedRecordsInRecordOrder) {
    TempDir dir;
    fs::path p = videoTable(dir.path(), "V.DBF", 6);
    Table t;
    t.setPath(p);
    t.open();
    ASSERT_EQ(t.recNo(), 1);
    ASSERT_TRUE(t.moveToRecNo(1));
    t.deleteRecord();
    EXPECT_EQ(t.recNo(), 2);  // the next record becomes current
    ASSERT_TRUE(t.moveToRecNo(4));
    t.deleteRecord();
    ASSERT_TRUE(t.moveToRecNo(6));
    t.deleteRecord();
    EXPECT_EQ(t.recNo(), 5);  // the last one went: the new last is current
    EXPECT_FALSE(t.moveToRecNo(4));
    EXPECT_FALSE(t.moveToRecNo(7));
    EXPECT_TRUE(t.isDeleted(4));

    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_EQ(t.physicalRecordCount(), 6);
    EXPECT_EQ(t.deletedCount(), 3);
    EXPECT_EQ(titles(t), (std::vector<std::string>{titleOf(2), titleOf(3), titleOf(5)}));

    t.last();
    EXPECT_EQ(t.recNo(), 5);
    EXPECT_TRUE(t.eof());
    t.prior();
    EXPECT_EQ(t.recNo(), 3);
    t.prior();
    t.prior();
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.recNo(), 2);

    // Rows for a lazy display.
    EXPECT_EQ(t.rowCount(), 3);
    EXPECT_EQ(t.recNoAtRow(2), 5);
    EXPECT_EQ(t.recNoAtRow(3), 0);
    EXPECT_TRUE(t.moveToRow(1));
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_EQ(t.currentRow(), 1);
    EXPECT_FALSE(t.moveToRow(-1));
    EXPECT_EQ(t.valueAt(5, 0), titleOf(5));
    EXPECT_EQ(t.valueAt(4, 0), titleOf(4));  // a deleted record can still be read by number
    EXPECT_EQ(t.valueAt(9, 0), "");
    EXPECT_EQ(t.recNo(), 3);  // reading by number does not move

    // Deletion marks survive reopening.
    t.close();
    t.open();
    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_EQ(t.recNo(), 2);
}

TEST(Table, EditPostCancelAndMovingPostsPendingChanges) {
    TempDir dir;
    fs::path p = videoTable(dir.path(), "V.DBF", 3);
    Table t;
    t.setPath(p);
    t.open();
    t.edit();
    EXPECT_EQ(t.state(), Table::State::Edit);
    t.setString("Title", "Changed");
    EXPECT_EQ(t.asString("Title"), "Changed");  // the buffer is what reads see
    t.cancel();
    EXPECT_EQ(t.asString("Title"), titleOf(1));

    t.edit();
    t.setString("Title", "Kept");
    t.next();  // moving posts
    EXPECT_EQ(t.state(), Table::State::Browse);
    EXPECT_EQ(t.valueAt(1, 0), "Kept");

    t.append();
    EXPECT_EQ(t.recNo(), 0);
    EXPECT_EQ(t.asString("Title"), "");
    t.setString("Title", "Dropped");
    t.cancel();
    EXPECT_EQ(t.physicalRecordCount(), 3);

    t.append();
    t.setString("Title", "Fourth");
    t.post();
    EXPECT_EQ(t.recNo(), 4);
    EXPECT_EQ(t.asString("Title"), "Fourth");
    t.close();

    // What was posted is in the file without any flush.
    std::string bytes = readBytes(p);
    EXPECT_EQ(u32At(bytes, 4), 4u);
    EXPECT_NE(bytes.find("Fourth"), std::string::npos);
    EXPECT_EQ(uint8_t(bytes.back()), 0x1A);
}

TEST(Table, IndexOrderFollowsTheTagAndStaysCurrentThroughChanges) {
    TempDir dir;
    fs::path p = videoTable(dir.path(), "V.DBF", 20);
    Table t;
    t.setPath(p);
    t.addIndex("NewIndex", "Upper(Left(Title,40))+STR(Year,12,0)");  // on the closed table
    EXPECT_TRUE(fs::exists(dir / "V.MDX"));
    EXPECT_EQ(uint8_t(readBytes(p)[28]), 1);
    EXPECT_FALSE(t.isOpen());
    t.setIndexName("NewIndex");  // takes effect at the open
    t.open();
    EXPECT_EQ(t.orderExpression(), "Upper(Left(Title,40))+STR(Year,12,0)");

    auto sortedTitles = [&] {
        std::vector<std::string> all = titles(t);
        std::vector<std::string> sorted = all;
        std::stable_sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
            return upperCp1252(a.substr(0, 40)) < upperCp1252(b.substr(0, 40));
        });
        return std::make_pair(all, sorted);
    };
    auto [all, sorted] = sortedTitles();
    ASSERT_EQ(all.size(), 20u);
    EXPECT_EQ(all, sorted);
    EXPECT_EQ(all.front().substr(0, 5), "alpha");  // case is ignored

    // Appends, edits and deletes keep the order.
    t.append();
    t.setString("Title", "AAA first");
    t.post();
    EXPECT_EQ(t.currentRow(), 0);
    t.moveToRow(5);
    int moved = t.recNo();
    t.edit();
    t.setString("Title", "zzz last");
    t.post();
    EXPECT_EQ(t.recNo(), moved);  // the edited record stays current at its new place
    EXPECT_EQ(t.currentRow(), t.rowCount() - 1);
    t.first();
    t.deleteRecord();
    std::tie(all, sorted) = sortedTitles();
    EXPECT_EQ(all.size(), 20u);
    EXPECT_EQ(all, sorted);
    EXPECT_EQ(all.back(), "zzz last");

    // Closing writes the index file again from the records.
    t.close();
    t.open();
    EXPECT_EQ(t.tagStatus("NewIndex"), Table::TagStatus::Current);
    EXPECT_EQ(t.indexTags(), std::vector<std::string>{"NEWINDEX"});

    // Selecting no tag gives record order at once.
    t.setIndexName("");
    EXPECT_EQ(t.orderExpression(), "");
    t.first();
    EXPECT_EQ(t.recNo(), 1);
    EXPECT_THROW(t.setIndexName("NoTag"), DatabaseError);
}

TEST(Table, DeletingTagsAndSelectingOnAClosedTable) {
    TempDir dir;
    fs::path p = videoTable(dir.path(), "V.DBF", 5);
    Table t;
    t.setPath(p);
    t.deleteIndex("NewIndex");  // no index file: already deleted
    t.addIndex("ByYear", "STR(Year,12,0)");
    t.addIndex("NewIndex", "Upper(Left(Title,80))");
    EXPECT_EQ(t.indexTags().size(), 2u);
    t.deleteIndex("missing");  // a missing tag: already deleted
    t.deleteIndex("newindex");
    EXPECT_EQ(t.indexTags(), std::vector<std::string>{"BYYEAR"});
    EXPECT_EQ(uint8_t(readBytes(p)[28]), 1);
    t.deleteIndex("ByYear");
    EXPECT_FALSE(fs::exists(dir / "V.MDX"));  // gone with its last tag
    EXPECT_EQ(uint8_t(readBytes(p)[28]), 0);

    // A tag that cannot be found at open leaves record order.
    t.setIndexName("NewIndex");
    t.open();
    EXPECT_EQ(t.orderExpression(), "");
    EXPECT_EQ(t.recordCount(), 5);

    // Index work on an open table needs it open exclusively.
    EXPECT_THROW(t.addIndex("NewIndex", "Title"), DatabaseError);
    EXPECT_THROW(t.regenerateIndexes(), DatabaseError);
    EXPECT_THROW(t.pack(), DatabaseError);
    t.close();
    // A bad expression changes nothing.
    EXPECT_THROW(t.addIndex("NewIndex", "Upper(Left(NoField,10))"), DatabaseError);
    EXPECT_FALSE(fs::exists(dir / "V.MDX"));
}

TEST(Table, DamagedOrMissingIndexFileIsTreatedLikeNoIndex) {
    TempDir dir;
    Table t;
    fs::path p = indexedVideoTable(t, dir.path(), 8);

    writeBytes(dir / "V.MDX", std::string(600, '\x7F'));  // not an index at all
    t.open();  // the order comes from the keys: this object knows the expression
    EXPECT_EQ(t.orderExpression(), "Upper(Left(Title,80))");
    EXPECT_EQ(t.asString("Title").substr(0, 5), "alpha");
    EXPECT_EQ(uint8_t(readBytes(p)[28]), 0);  // the flag no longer claims an index
    t.close();

    // Another object that never saw the expression opens in record order.
    Table other;
    other.setPath(p);
    other.setIndexName("NewIndex");
    other.open();
    EXPECT_EQ(other.orderExpression(), "");
    EXPECT_EQ(other.recNo(), 1);
    other.close();

    // Regenerating replaces the damaged file.
    t.setExclusive(true);
    t.open();
    t.regenerateIndexes();
    EXPECT_EQ(t.tagStatus("NewIndex"), Table::TagStatus::Current);
    EXPECT_EQ(uint8_t(readBytes(p)[28]), 1);
}

TEST(Table, StaleIndexFileIsDetectedAndNeverTrusted) {
    TempDir dir;
    fs::path p = videoTable(dir.path(), "V.DBF", 6);
    Table writer;
    writer.setPath(p);
    writer.addIndex("NewIndex", "Upper(Left(Title,80))");
    std::string goodMdx = readBytes(dir / "V.MDX");
    writer.open();
    appendVideos(writer, 7, 9);
    writer.first();
    writer.edit();
    writer.setString("Title", "Zulu");
    writer.post();
    writer.close();
    // Put back the index file of before the changes, as a crash would have left it.
    writeBytes(dir / "V.MDX", goodMdx);

    Table reader;
    reader.setPath(p);
    reader.setIndexName("NewIndex");
    reader.open();
    EXPECT_EQ(reader.tagStatus("NewIndex"), Table::TagStatus::Stale);
    std::vector<std::string> seen = titles(reader);
    ASSERT_EQ(seen.size(), 9u);  // all records, in the order of their keys
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end(), [](const std::string& a, const std::string& b) {
        return upperCp1252(a) < upperCp1252(b);
    }));
    EXPECT_EQ(seen.back(), "Zulu");
}

TEST(Table, RecordFilterIsConsultedForEveryRecord) {
    TempDir dir;
    fs::path p = videoTable(dir.path(), "V.DBF", 14);
    Table t;
    t.setPath(p);
    t.open();
    std::vector<Table::Event> events;
    t.subscribe([&](Table::Event e) { events.push_back(e); });
    t.setFilter([](Table& tb) { return tb.asString("Title").rfind("Echo", 0) == 0; });  // 4, 11
    EXPECT_EQ(events.back(), Table::Event::DataChanged);
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.recNo(), 4);
    EXPECT_EQ(titles(t), (std::vector<std::string>{titleOf(4), titleOf(11)}));
    EXPECT_FALSE(t.moveToRecNo(5));

    // A posted record the filter rejects stays current until the next move.
    t.append();
    t.setString("Title", "Other");
    t.post();
    EXPECT_EQ(t.recNo(), 15);
    EXPECT_EQ(t.asString("Title"), "Other");
    EXPECT_EQ(t.currentRow(), -1);
    EXPECT_EQ(t.recordCount(), 2);
    t.prior();
    EXPECT_EQ(t.recNo(), 11);

    t.clearFilter();
    EXPECT_EQ(t.recordCount(), 15);
    EXPECT_EQ(t.recNo(), 11);  // still on the same record
}

TEST(Table, DisabledControlsHoldBackNotifications) {
    TempDir dir;
    fs::path p = videoTable(dir.path(), "V.DBF", 3);
    Table t;
    t.setPath(p);
    std::vector<Table::Event> events;
    int id = t.subscribe([&](Table::Event e) { events.push_back(e); });
    t.open();
    EXPECT_EQ(events, std::vector<Table::Event>{Table::Event::Reopened});
    events.clear();
    t.disableControls();
    t.disableControls();
    appendVideos(t, 4, 6);
    t.next();
    t.enableControls();
    EXPECT_TRUE(events.empty());
    t.enableControls();
    EXPECT_EQ(events, std::vector<Table::Event>{Table::Event::DataChanged});
    t.enableControls();  // unbalanced: ignored
    events.clear();
    t.next();
    EXPECT_EQ(events, std::vector<Table::Event>{Table::Event::RecordMoved});
    t.unsubscribe(id);
    t.close();
    EXPECT_EQ(events.size(), 1u);
}

TEST(Table, SharedAndExclusiveOpensExcludeEachOther) {
    TempDir dir;
    fs::path p = videoTable(dir.path(), "V.DBF", 2);
    Table a, b;
    a.setPath(p);
    b.setPath(p);
    a.open();
    b.open();  // two shared holders
    EXPECT_TRUE(DBaseInUse(p));
    Table x;
    x.setPath(p);
    x.setExclusive(true);
    EXPECT_THROW(x.open(), TableInUseError);
    EXPECT_THROW(x.addIndex("NewIndex", "Title"), TableInUseError);
    EXPECT_FALSE(fs::exists(dir / "V.MDX"));
    a.close();
    b.close();
    EXPECT_FALSE(DBaseInUse(p));
    EXPECT_FALSE(x.isOpen());

    x.open();
    EXPECT_TRUE(DBaseInUse(p));
    EXPECT_THROW(a.open(), TableInUseError);
    x.close();
    a.open();
    EXPECT_EQ(a.recordCount(), 2);

    EXPECT_FALSE(DBaseInUse(dir / "missing.dbf"));
    writeBytes(dir / "junk.dbf", "not a table");
    EXPECT_FALSE(DBaseInUse(dir / "junk.dbf"));  // damaged is not "in use"
}

TEST(Table, SharedHoldersSeeEachOthersRecordsAndLockEditedOnes) {
    TempDir dir;
    fs::path p = videoTable(dir.path(), "V.DBF", 2);
    Table a, b;
    a.setPath(p);
    b.setPath(p);
    a.open();
    b.open();
    appendVideos(a, 3, 4);
    appendVideos(b, 5, 5);  // b appends after a's records, never over them
    EXPECT_EQ(b.recNo(), 5);
    EXPECT_EQ(b.physicalRecordCount(), 5);
    EXPECT_EQ(a.recordCount(), 4);
    a.refresh();
    EXPECT_EQ(a.recordCount(), 5);
    EXPECT_EQ(a.valueAt(5, 0), titleOf(5));
    for (int r = 1; r <= 5; ++r) EXPECT_EQ(b.valueAt(r, 0), titleOf(r));

    a.moveToRecNo(2);
    b.moveToRecNo(2);
    a.edit();
    EXPECT_THROW(b.edit(), DatabaseError);
    EXPECT_THROW(b.deleteRecord(), DatabaseError);
    a.setString("Title", "by a");
    a.post();
    b.edit();  // free again, and b edits what is in the file now
    EXPECT_EQ(b.asString("Title"), "by a");
    b.cancel();
}

TEST(Table, PackRemovesDeletedRecordsAndRebuildsTheTags) {
    TempDir dir;
    Table t;
    fs::path p = indexedVideoTable(t, dir.path(), 10);
    t.setExclusive(true);
    t.open();
    for (int r : {2, 5, 9}) {
        ASSERT_TRUE(t.moveToRecNo(r));
        t.deleteRecord();
    }
    t.pack();
    EXPECT_EQ(t.physicalRecordCount(), 7);
    EXPECT_EQ(t.deletedCount(), 0);
    EXPECT_EQ(t.tagStatus("NewIndex"), Table::TagStatus::Current);
    std::vector<std::string> seen = titles(t);
    std::vector<std::string> want;
    for (int i : {1, 3, 4, 6, 7, 8, 10}) want.push_back(titleOf(i));
    std::sort(want.begin(), want.end(), [](auto& a, auto& b) { return upperCp1252(a) < upperCp1252(b); });
    EXPECT_EQ(seen, want);
    // Still held exclusively after the file was replaced.
    EXPECT_TRUE(DBaseInUse(p));
    t.close();

    std::string bytes = readBytes(p);
    const uint32_t headerLength = uint8_t(bytes[8]) | uint8_t(bytes[9]) << 8;
    const uint32_t recordLength = uint8_t(bytes[10]) | uint8_t(bytes[11]) << 8;
    EXPECT_EQ(bytes.size(), headerLength + 7 * recordLength + 1);
    EXPECT_EQ(u32At(bytes, 4), 7u);
    EXPECT_EQ(uint8_t(bytes[28]), 1);
    for (const auto& e : fs::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".pack-"), std::string::npos) << e.path();
}

TEST(Table, PathsUseTheNameUpToTheFirstPeriodAndFindCompanionsInAnyCase) {
    TempDir dir;
    fs::path p = dir / "MY.VIDEOS.DBF";
    Table::createVideoTable(p);
    Table t;
    t.setPath(p);
    EXPECT_EQ(t.path(), p);
    EXPECT_EQ(t.tableName(), "MY");
    EXPECT_EQ(t.basePath(), dir / "MY");
    EXPECT_EQ(t.companionPath(".INI"), dir / "MY.INI");
    writeBytes(dir / "my.ini", "");
    EXPECT_EQ(t.companionPath(".INI"), dir / "my.ini");

    // A table copied from Windows with a lower-case name, asked for in upper case.
    Table::createVideoTable(dir / "master.dbf");
    Table m;
    m.setPath(dir / "MASTER.DBF");
    EXPECT_EQ(m.path(), dir / "master.dbf");
    m.addIndex("NewIndex", "Title");
    EXPECT_TRUE(fs::exists(dir / "MASTER.MDX"));
    fs::rename(dir / "MASTER.MDX", dir / "master.mdx");
    EXPECT_EQ(m.indexTags(), std::vector<std::string>{"NEWINDEX"});
}

TEST(Table, CreateReplacesAnUnheldTableAndItsIndex) {
    TempDir dir;
    fs::path p = videoTable(dir.path(), "V.DBF", 3);
    Table t;
    t.setPath(p);
    t.addIndex("NewIndex", "Title");
    Table::create(p, {{"Name", FieldKind::Text, 20}, {"Count", FieldKind::Whole, 0}, {"When", FieldKind::Date, 0}});
    EXPECT_FALSE(fs::exists(dir / "V.MDX"));
    t.open();
    EXPECT_EQ(t.fieldCount(), 3);
    EXPECT_EQ(t.fieldName(1), "COUNT");
    EXPECT_EQ(t.recordCount(), 0);

    // Not while someone holds it.
    EXPECT_THROW(Table::createVideoTable(p), TableInUseError);
    t.close();
    EXPECT_THROW(Table::create(dir / "bad.dbf", {{"Bad Name", FieldKind::Text, 5}}), DatabaseError);
    EXPECT_THROW(Table::create(dir / "bad.dbf", {{"A", FieldKind::Text, 0}}), DatabaseError);
    EXPECT_THROW(Table::create(dir / "bad.dbf", {{"A", FieldKind::Text, 5}, {"a", FieldKind::Text, 5}}), DatabaseError);
    EXPECT_FALSE(fs::exists(dir / "bad.dbf"));
}

TEST(Table, DeletingRunsOfRecordsKeepsTheOrderAndThePosition) {
    TempDir dir;
    Table t;
    fs::path p = indexedVideoTable(t, dir.path(), 30);
    t.open();
    std::vector<std::string> before = titles(t);
    // Delete every other record while walking in index order.
    std::vector<std::string> kept;
    t.first();
    for (size_t i = 0; i < before.size(); ++i) {
        ASSERT_EQ(t.asString("Title"), before[i]);
        if (i % 2 == 0) {
            t.deleteRecord();  // the next record becomes current
        } else {
            kept.push_back(before[i]);
            t.next();
        }
    }
    EXPECT_EQ(titles(t), kept);
    EXPECT_EQ(t.recordCount(), 15);
    // Delete from the end: the new last record becomes current each time.
    t.last();
    for (size_t i = kept.size(); i-- > 5;) {
        ASSERT_EQ(t.asString("Title"), kept[i]);
        t.deleteRecord();
    }
    EXPECT_EQ(t.asString("Title"), kept[4]);
    t.first();
    while (t.recordCount() > 0) t.deleteRecord();
    EXPECT_EQ(t.recNo(), 0);
    EXPECT_TRUE(t.eof());
    EXPECT_TRUE(t.bof());
    EXPECT_THROW(t.deleteRecord(), DatabaseError);
    t.close();
    t.open();
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_EQ(t.deletedCount(), 30);
}
