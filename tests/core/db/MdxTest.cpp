// The .MDX production index: round trips through the writer and reader, the bytes other
// dBase programs look at, refused contents, and damaged files that must read as nothing.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/db/DatabaseError.h"
#include "core/db/Mdx.h"

namespace rv::db::mdx {
namespace {

namespace fs = std::filesystem;

class MdxTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("rv_mdx_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path file(const std::string& name = "VIDEOS.MDX") const { return dir_ / name; }

    static std::string bytesOf(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    static void store(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    fs::path dir_;
};

uint32_t get32(const std::string& b, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + static_cast<size_t>(i)]);
    return v;
}
uint32_t get16(const std::string& b, size_t at) {
    return static_cast<uint8_t>(b[at]) | (static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8);
}
void set32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A tag of `count` entries with keys of `keyLength` bytes in ascending order; record numbers
// run backwards so that a reader mixing them up with positions is caught.
TagData makeTag(const std::string& name, int keyLength, size_t count) {
    TagData tag;
    tag.name = name;
    tag.expression = "Upper(Left(Title," + std::to_string(keyLength) + "))";
    tag.keyLength = keyLength;
    for (size_t i = 0; i < count; ++i) {
        char digits[24];
        std::snprintf(digits, sizeof digits, "%09zu", i / 2);  // pairs of equal keys
        std::string key = std::string("K") + digits;
        key.resize(static_cast<size_t>(keyLength), ' ');
        tag.entries.push_back(TagEntry{key, static_cast<uint32_t>(count - i)});
    }
    return tag;
}

void expectSameTag(const TagData& got, const TagData& want) {
    EXPECT_EQ(got.name, want.name);
    EXPECT_EQ(got.expression, want.expression);
    EXPECT_EQ(got.keyLength, want.keyLength);
    EXPECT_EQ(got.keyType, want.keyType);
    EXPECT_EQ(got.descending, want.descending);
    EXPECT_EQ(got.unique, want.unique);
    ASSERT_EQ(got.entries.size(), want.entries.size()) << want.name;
    for (size_t i = 0; i < want.entries.size(); ++i) {
        ASSERT_EQ(got.entries[i].key, want.entries[i].key) << want.name << " entry " << i;
        ASSERT_EQ(got.entries[i].recno, want.entries[i].recno) << want.name << " entry " << i;
    }
}

TEST_F(MdxTest, RoundTripsTagsOfEverySize) {
    // 0 and 1 entries, one full leaf (12 keys of 80 bytes fit a block), one more than that
    // (two leaves and a root), and enough for four levels.
    for (size_t count : {size_t{0}, size_t{1}, size_t{12}, size_t{13}, size_t{5000}}) {
        MdxContents contents{"VIDEOS", {makeTag("NEWINDEX", 80, count)}};
        writeMdx(file(), contents);
        auto back = readMdx(file());
        ASSERT_TRUE(back) << count;
        EXPECT_EQ(back->tableName, "VIDEOS");
        ASSERT_EQ(back->tags.size(), 1u);
        expectSameTag(back->tags[0], contents.tags[0]);
    }
}

TEST_F(MdxTest, RoundTripsSeveralTagsWithTheirFlags) {
    TagData a = makeTag("NEWINDEX", 52, 700);
    TagData b = makeTag("BYYEAR", 12, 40);
    b.unique = true;
    TagData c = makeTag("ZDESC", 10, 300);
    c.descending = true;
    std::reverse(c.entries.begin(), c.entries.end());
    TagData d = makeTag("AMOUNT", 12, 3);
    d.keyType = 'N';  // another program's numeric tag: raw 12-byte keys kept as they are
    std::swap(d.entries[0], d.entries[2]);
    MdxContents contents{"MASTER", {a, b, c, d}};
    writeMdx(file(), contents);

    auto back = readMdx(file());
    ASSERT_TRUE(back);
    ASSERT_EQ(back->tags.size(), 4u);
    for (size_t i = 0; i < 4; ++i) expectSameTag(back->tags[i], contents.tags[i]);

    auto headers = readMdx(file(), false);
    ASSERT_TRUE(headers);
    ASSERT_EQ(headers->tags.size(), 4u);
    EXPECT_EQ(headers->tags[2].name, "ZDESC");
    EXPECT_EQ(headers->tags[2].expression, c.expression);
    EXPECT_TRUE(headers->tags[2].entries.empty());
}

TEST_F(MdxTest, WritesTheDBaseIvLayout) {
    TagData tag = makeTag("newindex", 52, 30);
    tag.expression = "Upper(Left(Title,40))+STR(Year,12,0)";
    writeMdx(file(), MdxContents{"master", {tag}});
    std::string b = bytesOf(file());

    ASSERT_EQ(b.size() % 1024, 0u);
    EXPECT_EQ(b[0], 2);
    EXPECT_EQ(std::string(b.data() + 4, 7), std::string("MASTER\0", 7));
    EXPECT_EQ(get16(b, 20), 2u);     // block = 2 pages
    EXPECT_EQ(get16(b, 22), 1024u);  // of 512 bytes
    EXPECT_EQ(b[24], 1);             // production index
    EXPECT_EQ(b[26], 32);            // tag table entry length
    EXPECT_EQ(get16(b, 28), 1u);     // tags in use
    EXPECT_EQ(get32(b, 32) * 512, b.size());

    uint32_t headerPage = get32(b, 544);
    EXPECT_EQ(headerPage, 4u);  // right after the header and tag table
    EXPECT_EQ(std::string(b.data() + 548, 9), std::string("NEWINDEX\0", 9));
    EXPECT_EQ(b[544 + 20], 'C');

    size_t h = headerPage * 512;
    EXPECT_EQ(b[h + 9], 'C');
    EXPECT_EQ(get16(b, h + 12), 52u);           // key length
    EXPECT_EQ(get16(b, h + 18), 56u);           // entry: 4 + 52, a multiple of 4
    EXPECT_EQ(get16(b, h + 14), (1024u - 12) / 56);
    EXPECT_EQ(std::string(b.data() + h + 24), tag.expression);

    // 30 keys of 52 bytes: two leaves under a root holding one key and the trailing pointer.
    size_t root = get32(b, h) * 512;
    EXPECT_EQ(get32(b, root), 1u);
    uint32_t left = get32(b, root + 8);
    uint32_t right = get32(b, root + 8 + 56);
    EXPECT_NE(right, 0u);
    EXPECT_EQ(get32(b, left * 512), 15u);
    EXPECT_EQ(get32(b, right * 512), 15u);
    // The separator is the last key of the left leaf; leaves end with a zero word.
    EXPECT_EQ(std::string(b.data() + root + 12, 52), tag.entries[14].key);
    EXPECT_EQ(get32(b, left * 512 + 8 + 15 * 56), 0u);
    EXPECT_EQ(get32(b, left * 512 + 8), tag.entries[0].recno);
}

TEST_F(MdxTest, ReplacesAnExistingFileWithoutLeavingATempFile) {
    writeMdx(file(), MdxContents{"VIDEOS", {makeTag("NEWINDEX", 20, 100)}});
    writeMdx(file(), MdxContents{"VIDEOS", {makeTag("OTHER", 10, 3)}});
    auto back = readMdx(file());
    ASSERT_TRUE(back);
    ASSERT_EQ(back->tags.size(), 1u);
    EXPECT_EQ(back->tags[0].name, "OTHER");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);

    EXPECT_THROW(writeMdx(dir_ / "missing" / "X.MDX", MdxContents{"X", {}}), DatabaseError);
}

TEST_F(MdxTest, RefusesContentsItCannotWriteFaithfully) {
    auto refused = [&](MdxContents contents) {
        EXPECT_THROW(writeMdx(file(), contents), DatabaseError);
        EXPECT_FALSE(fs::exists(file()));
    };
    TagData wrongLength = makeTag("A", 10, 3);
    wrongLength.entries[1].key = "short";
    refused({"T", {wrongLength}});
    TagData unordered = makeTag("A", 10, 3);
    std::swap(unordered.entries[0], unordered.entries[2]);
    refused({"T", {unordered}});
    TagData recordZero = makeTag("A", 10, 3);
    recordZero.entries[0].recno = 0;
    refused({"T", {recordZero}});
    refused({"T", {makeTag("ELEVENCHARS", 10, 1)}});
    refused({"T", {makeTag("A", 101, 1)}});
    refused({"T", {makeTag("A", 10, 1), makeTag("a", 10, 1)}});
    TagData longExpression = makeTag("A", 10, 1);
    longExpression.expression = std::string(220, 'X');
    refused({"T", {longExpression}});
    MdxContents tooMany{"T", {}};
    for (int i = 0; i < 48; ++i) tooMany.tags.push_back(makeTag("T" + std::to_string(i), 10, 1));
    refused(tooMany);
}

TEST_F(MdxTest, MissingOrForeignFilesReadAsNothing) {
    EXPECT_FALSE(readMdx(file("NONE.MDX")));
    store(file(), "");
    EXPECT_FALSE(readMdx(file()));
    store(file(), std::string(4096, 'x'));
    EXPECT_FALSE(readMdx(file()));
    EXPECT_FALSE(readMdx(dir_));  // a folder
}

TEST_F(MdxTest, EveryTruncationReadsAsNothing) {
    writeMdx(file(), MdxContents{"VIDEOS", {makeTag("NEWINDEX", 80, 60)}});
    std::string whole = bytesOf(file());
    for (size_t length = 0; length < whole.size(); length += 127) {
        store(file(), whole.substr(0, length));
        auto back = readMdx(file());
        EXPECT_FALSE(back) << "truncated to " << length;
    }
}

TEST_F(MdxTest, DamagedTreesReadAsNothing) {
    writeMdx(file(), MdxContents{"VIDEOS", {makeTag("NEWINDEX", 80, 2000)}});
    const std::string good = bytesOf(file());
    const size_t header = get32(good, 544) * 512;
    const size_t root = get32(good, header) * 512;
    const uint32_t rootPage = get32(good, header);
    const uint32_t firstChild = get32(good, root + 8);
    ASSERT_GT(get32(good, root), 0u);
    ASSERT_TRUE(readMdx(file()));

    struct Damage {
        const char* what;
        void (*apply)(std::string&, size_t header, size_t root, uint32_t rootPage, uint32_t firstChild);
    };
    const std::vector<Damage> damages = {
        {"root past the end", [](std::string& b, size_t h, size_t, uint32_t, uint32_t) {
             set32(b, h, static_cast<uint32_t>(b.size() / 512));
         }},
        {"root in the file header", [](std::string& b, size_t h, size_t, uint32_t, uint32_t) { set32(b, h, 0); }},
        {"tag header past the end", [](std::string& b, size_t, size_t, uint32_t, uint32_t) {
             set32(b, 544, 0x7FFFFFFF);
         }},
        {"child pointing at its parent", [](std::string& b, size_t, size_t r, uint32_t rootPage, uint32_t) {
             set32(b, r + 8, rootPage);
         }},
        {"grandchild pointing back up", [](std::string& b, size_t, size_t, uint32_t rootPage, uint32_t child) {
             set32(b, child * 512 + 8, rootPage);
         }},
        {"two parents share a child", [](std::string& b, size_t h, size_t r, uint32_t, uint32_t) {
             size_t entry = get16(b, h + 18);
             set32(b, r + 8 + entry, get32(b, r + 8));
         }},
        {"entry count beyond the block", [](std::string& b, size_t, size_t r, uint32_t, uint32_t) {
             set32(b, r, 5000);
         }},
        {"entry count of minus one", [](std::string& b, size_t, size_t r, uint32_t, uint32_t) {
             set32(b, r, 0xFFFFFFFF);
         }},
        {"key length 0", [](std::string& b, size_t h, size_t, uint32_t, uint32_t) { b[h + 12] = 0; b[h + 13] = 0; }},
        {"entry shorter than its key", [](std::string& b, size_t h, size_t, uint32_t, uint32_t) { b[h + 18] = 40; }},
        {"entry longer than a block", [](std::string& b, size_t h, size_t, uint32_t, uint32_t) {
             b[h + 18] = 0;
             b[h + 19] = 8;
         }},
        {"unterminated expression", [](std::string& b, size_t h, size_t, uint32_t, uint32_t) {
             std::fill(b.begin() + static_cast<long>(h) + 24, b.begin() + static_cast<long>(h) + 24 + 220, 'X');
         }},
        {"48 tags in use", [](std::string& b, size_t, size_t, uint32_t, uint32_t) { b[28] = 48; }},
        {"two tags in use, one described", [](std::string& b, size_t, size_t, uint32_t, uint32_t) { b[28] = 2; }},
        {"leaf record number 0", [](std::string& b, size_t, size_t, uint32_t, uint32_t child) {
             // Follow the leftmost path down to a leaf and clear its first record number.
             size_t at = child * 512;
             while (get32(b, at + 8 + get32(b, at) * 84) != 0) at = get32(b, at + 8) * 512;
             set32(b, at + 8, 0);
         }},
        {"keys out of order", [](std::string& b, size_t, size_t, uint32_t, uint32_t child) {
             size_t at = child * 512;
             while (get32(b, at + 8 + get32(b, at) * 84) != 0) at = get32(b, at + 8) * 512;
             b[at + 12] = 'Z';
         }},
        {"block size of 0", [](std::string& b, size_t, size_t, uint32_t, uint32_t) { b[20] = 0; b[21] = 0; }},
        {"block size disagreeing with its pages", [](std::string& b, size_t, size_t, uint32_t, uint32_t) {
             b[22] = 0;
             b[23] = 8;
         }},
        {"version 0", [](std::string& b, size_t, size_t, uint32_t, uint32_t) { b[0] = 0; }},
    };
    for (const auto& damage : damages) {
        std::string bytes = good;
        damage.apply(bytes, header, root, rootPage, firstChild);
        store(file(), bytes);
        EXPECT_FALSE(readMdx(file())) << damage.what;
    }
}

}  // namespace
}  // namespace rv::db::mdx
