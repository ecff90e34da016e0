// An index file written by another dBase program: its tags are maintained with their flags
// and functions when the engine rewrites the file, and the ones it cannot maintain go.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "core/db/DbTestSupport.h"
#include "core/db/KeyExpression.h"
#include "core/db/Mdx.h"
#include "core/db/SortOrder.h"
#include "core/db/Table.h"

using namespace rv::db;
using namespace rv::db::test;

namespace {

struct ForeignTag {
    const char* name;
    const char* expression;
    int keyLength;
    bool descending = false;
    bool unique = false;
    char keyType = 'C';
};

// Writes an index file holding the given tags (without entries: the engine rebuilds them);
// then puts `nameByte` in place of the last letter of the tag "CAFE", as a program writing
// names in its own code page leaves "CAFÉ".
void writeForeignIndex(const fs::path& mdxFile, const std::vector<ForeignTag>& tags, char nameByte) {
    mdx::MdxContents contents;
    contents.tableName = "V";
    for (const auto& t : tags) {
        mdx::TagData tag;
        tag.name = t.name;
        tag.expression = t.expression;
        tag.keyLength = t.keyLength;
        tag.descending = t.descending;
        tag.unique = t.unique;
        tag.keyType = t.keyType;
        contents.tags.push_back(tag);
    }
    mdx::writeMdx(mdxFile, contents);
    std::string bytes = readBytes(mdxFile);
    for (size_t entry = 544; entry < 544 + 47 * 32; entry += 32)
        if (bytes.compare(entry + 4, 5, std::string("CAFE\0", 5)) == 0) bytes[entry + 7] = nameByte;
    writeBytes(mdxFile, bytes);
}

const mdx::TagData* findTag(const mdx::MdxContents& m, const std::string& name) {
    for (const auto& t : m.tags)
        if (t.name == name) return &t;
    return nullptr;
}

const std::vector<ForeignTag> kForeignTags = {
    {"WORDS", "UPPER(LEFT(TITLE,4))", 4, false, true},
    {"TITLEDESC", "UPPER(LEFT(TITLE,20))", 20, true, false},
    {"SUBS", "SUBSTR(TITLE,2,5)+DTOC(PURCHDATE)", 13},
    {"TRIMMED", "RIGHT(TRIM(TITLE),2)+LTRIM(STR(YEAR,10))", 20},
    {"DESCENDED", "DESCEND(DTOS(PURCHDATE))", 8},
    {"PRICEVAL", "STR(VAL(SUBSTR(TITLE,7)),6,1)+ALLTRIM(TITLE)", 40},
    {"NUMERIC", "YEAR", 12, false, false, 'N'},
    {"SOUNDS", "SOUNDEX(TITLE)", 4},
    {"CAFE", "LEFT(TITLE,5)", 5},
};

const std::vector<std::string> kKeptTags = {"WORDS",     "TITLEDESC", "SUBS",
                                            "TRIMMED",   "DESCENDED", "PRICEVAL", "CAF\xC9"};

std::vector<std::string> tagNames(const fs::path& mdxFile) {
    std::vector<std::string> out;
    if (auto m = mdx::readMdx(mdxFile, false))
        for (const auto& t : m->tags) out.push_back(t.name);
    return out;
}

}  // namespace

TEST(ForeignIndex, TagsAreRebuiltWithTheirFlagsAndFunctions) {
    TempDir dir;
    const fs::path p = videoTable(dir.path(), "V.DBF", 12);
    writeForeignIndex(dir / "V.MDX", kForeignTags, '\xC9');

    Table t;
    t.setPath(p);
    t.setExclusive(true);
    t.open();
    t.regenerateIndexes();
    // Numeric keys and SOUNDEX cannot be built here: those tags go rather than go stale.
    EXPECT_EQ(tagNames(t.mdxPath()), kKeptTags);
    for (const auto& name : kKeptTags) EXPECT_EQ(t.tagStatus(name), Table::TagStatus::Current) << name;

    auto m = mdx::readMdx(t.mdxPath(), true);
    ASSERT_TRUE(m);
    // Unique: one entry per key, the first record that has it (titles repeat every 7 records).
    const mdx::TagData* words = findTag(*m, "WORDS");
    ASSERT_TRUE(words);
    EXPECT_TRUE(words->unique);
    EXPECT_FALSE(words->descending);
    std::set<uint32_t> recnos;
    for (const auto& e : words->entries) recnos.insert(e.recno);
    EXPECT_EQ(recnos, (std::set<uint32_t>{1, 2, 3, 4, 5, 6, 7}));
    // Descending: keys from the highest down.
    const mdx::TagData* desc = findTag(*m, "TITLEDESC");
    ASSERT_TRUE(desc);
    EXPECT_TRUE(desc->descending);
    EXPECT_FALSE(desc->unique);
    ASSERT_EQ(desc->entries.size(), 12u);
    EXPECT_TRUE(std::is_sorted(desc->entries.begin(), desc->entries.end(),
                               [](const auto& a, const auto& b) { return a.key > b.key; }));
    EXPECT_EQ(desc->entries.front().key.substr(0, 5), "GOLF ");
    // A trimmed expression keeps the key length of the tag.
    EXPECT_EQ(findTag(*m, "TRIMMED")->keyLength, 20);
    EXPECT_EQ(findTag(*m, "PRICEVAL")->keyLength, 40);
    // Record 1, "alpha 1" bought 2001-02-02: SUBSTR and DTOC as the other program makes them.
    for (const auto& e : findTag(*m, "SUBS")->entries)
        if (e.recno == 1) {
            EXPECT_EQ(e.key, "lpha 02/02/01");
        }
    t.close();

    // Changes in a shared session keep the flags too.
    t.setExclusive(false);
    t.open();
    appendVideos(t, 13, 15);
    t.close();
    t.open();
    for (const auto& name : kKeptTags) EXPECT_EQ(t.tagStatus(name), Table::TagStatus::Current) << name;
    m = mdx::readMdx(t.mdxPath(), false);
    ASSERT_TRUE(m);
    EXPECT_TRUE(findTag(*m, "TITLEDESC")->descending);
    EXPECT_TRUE(findTag(*m, "WORDS")->unique);
}

TEST(ForeignIndex, ANameOutsideAsciiDoesNotStopTheSortTagRebuild) {
    TempDir dir;
    const fs::path p = videoTable(dir.path(), "V.DBF", 5);
    writeForeignIndex(dir / "V.MDX", {{"CAFE", "LEFT(TITLE,5)", 5}, {"NEWINDEX", "TITLE", 60}}, '\xC9');
    Table t;
    t.setPath(p);
    // Twice: the first rewrite must leave a file the second can rewrite again.
    for (int round = 0; round < 2; ++round) {
        ASSERT_NO_THROW(rebuildSortTag(t, BuildSortString({11, 0, 0, 0}))) << "round " << round;
        EXPECT_EQ(tagNames(t.mdxPath()), (std::vector<std::string>{"CAF\xC9", "NEWINDEX"}));
    }
    t.open();
    EXPECT_EQ(t.orderExpression(), "STR(Year,12,0)");
    EXPECT_EQ(t.tagStatus("CAF\xC9"), Table::TagStatus::Current);
}

TEST(ForeignIndex, TheEnginesOrderIsNotTakenFromADescendingOrUniqueTag) {
    // The tag that orders the records shares its expression with a unique tag: the order must
    // still hold every record, ascending.
    TempDir dir;
    const fs::path p = videoTable(dir.path(), "V.DBF", 10);
    writeForeignIndex(dir / "V.MDX",
                      {{"WORDS", "Upper(Left(Title,4))", 4, true, true}, {"NEWINDEX", "Upper(Left(Title,4))", 4}},
                      'E');
    Table t;
    t.setPath(p);
    t.setIndexName("NEWINDEX");
    t.setExclusive(true);
    t.open();
    t.regenerateIndexes();
    const std::vector<std::string> seen = titles(t);
    ASSERT_EQ(seen.size(), 10u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end(), [](const std::string& a, const std::string& b) {
        return upperCp1252(a.substr(0, 4)) < upperCp1252(b.substr(0, 4));
    }));
}
