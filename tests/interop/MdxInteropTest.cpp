// An .MDX written here, read by an independent dBase index reader (the Perl XBase modules of
// Debian's libdbd-xbase-perl): it must list the same keys in the same order with the same
// record numbers, and each record number must lead to the record the key was made from.
// Skips itself when the reader is not installed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/db/KeyExpression.h"
#include "core/db/Mdx.h"
#include "core/db/Table.h"
#include "interop/InteropSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace rv::db;

bool haveReader() { return std::system("perl -MXBase -MXBase::Index -e 1 >/dev/null 2>&1") == 0; }

using rvtest::run;

// Walks `tag` of the index `mdx` with the independent reader and fetches `fields` of each
// record it points to from the table `dbf`: one line "key|recno|value|value..." per entry.
std::vector<std::string> walkWithReader(const fs::path& dbf, const fs::path& mdx, const std::string& tag,
                                        const std::string& fields) {
    const fs::path script = dbf.parent_path() / "walk.pl";
    std::ofstream(script) << R"(
use XBase; use XBase::Index;
my ($dbf, $mdx, $tag, @fields) = @ARGV;
my $table = new XBase $dbf or die XBase->errstr;
my $index = new XBase::Index $mdx, tag => $tag or die XBase::Index->errstr;
$index->prepare_select;
binmode STDOUT;
while (my ($key, $recno) = $index->fetch) {
    my (undef, @values) = $table->get_record($recno - 1, @fields);
    print join('|', $key, $recno, @values), "\n";
}
)";
    std::string out = run("perl " + script.string() + " " + dbf.string() + " " + mdx.string() + " " + tag + " " + fields);
    std::vector<std::string> lines;
    for (size_t at = 0; at < out.size();) {
        size_t end = out.find('\n', at);
        if (end == std::string::npos) end = out.size();
        lines.push_back(out.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

void put16(std::string& b, size_t at, unsigned v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

// A dBase III table of two fields, TITLE C(20) and YEAR N(4), with the production-index flag.
std::string tinyDbf(const std::vector<std::pair<std::string, std::string>>& rows) {
    const int recordLength = 1 + 20 + 4;
    std::string b(32 + 2 * 32 + 1, '\0');
    b[0] = 3;
    b[1] = 126;
    b[2] = 12;
    b[3] = 11;
    for (int i = 0; i < 4; ++i) b[4 + static_cast<size_t>(i)] = static_cast<char>((rows.size() >> (8 * i)) & 0xFF);
    put16(b, 8, static_cast<unsigned>(b.size()));
    put16(b, 10, recordLength);
    b[28] = 1;
    b[29] = 0x57;  // Windows ANSI
    auto field = [&](size_t at, const char* name, char type, int length) {
        std::memcpy(&b[at], name, std::strlen(name));
        b[at + 11] = type;
        b[at + 16] = static_cast<char>(length);
    };
    field(32, "TITLE", 'C', 20);
    field(64, "YEAR", 'N', 4);
    b[96] = 0x0D;
    for (const auto& [title, year] : rows) {
        std::string record(recordLength, ' ');
        record.replace(1, title.size(), title);
        record.replace(static_cast<size_t>(recordLength) - year.size(), year.size(), year);
        b += record;
    }
    b += '\x1A';
    return b;
}

TEST(MdxInterop, IndependentReaderListsOurKeysAndRecords) {
    if (!haveReader()) GTEST_SKIP() << "libdbd-xbase-perl (XBase::Index) is not installed";
    fs::path dir = fs::temp_directory_path() / ("rv_mdx_interop_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);

    // Enough records for a root over several leaves, with duplicates, a blank title and
    // Windows-1252 letters.
    std::vector<std::pair<std::string, std::string>> rows;
    const char* words[] = {"vertigo", "Rear Window", "\xe9t\xe9", "Notorious", "", "psycho", "The Birds"};
    for (int i = 0; i < 400; ++i)
        rows.push_back({std::string(words[i % 7]) + (i % 3 ? std::to_string(i % 50) : ""), std::to_string(1940 + i % 60)});
    const std::string dbf = tinyDbf(rows);
    std::ofstream(dir / "FILMS.DBF", std::ios::binary).write(dbf.data(), static_cast<std::streamsize>(dbf.size()));

    std::vector<KeyField> fields = {{"TITLE", 'C', 1, 20, 0}, {"YEAR", 'N', 21, 4, 0}};
    auto expression = KeyExpression::compile("Upper(Left(Title,20))+STR(Year,12,0)", fields);
    mdx::TagData tag{"NEWINDEX", expression.text(), expression.keyLength(), false, false, {}, 'C'};
    for (size_t i = 0; i < rows.size(); ++i) {
        std::string record = dbf.substr(97 + i * 25, 25);
        tag.entries.push_back({expression.key(record), static_cast<uint32_t>(i + 1)});
    }
    std::stable_sort(tag.entries.begin(), tag.entries.end(),
                     [](const mdx::TagEntry& a, const mdx::TagEntry& b) { return a.key < b.key; });
    mdx::writeMdx(dir / "FILMS.MDX", mdx::MdxContents{"FILMS", {tag}});

    auto walked = walkWithReader(dir / "FILMS.DBF", dir / "FILMS.MDX", "NEWINDEX", "TITLE");

    std::vector<std::string> expected;
    for (const auto& e : tag.entries) {
        std::string title = rows[e.recno - 1].first;  // the reader trims trailing spaces
        expected.push_back(e.key + "|" + std::to_string(e.recno) + "|" + title);
        EXPECT_EQ(e.key.substr(0, 20), upperCp1252((title + std::string(20, ' ')).substr(0, 20)));
    }
    EXPECT_EQ(walked, expected);
    fs::remove_all(dir);
}

// The whole chain: a video table written by the engine, its NewIndex tag built from the sort
// expression, and both files read by the independent reader, which must walk the records
// in the order of our keys.
TEST(MdxInterop, IndependentReaderWalksTheEnginesVideoTableInIndexOrder) {
    if (!haveReader()) GTEST_SKIP() << "libdbd-xbase-perl (XBase::Index) is not installed";
    fs::path dir = fs::temp_directory_path() / ("rv_mdx_engine_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path dbf = dir / "MASTER.DBF";
    const std::string expression =
        "Upper(Left(Category,20))+Upper(Left(Star1,20))+DTOS(PurchDate)+STR(ListPrice,12,2)";

    Table::createVideoTable(dbf);
    {
        Table table;
        table.setPath(dbf);
        table.open();
        const char* categories[] = {"drama", "Comedy", "", "western", "Drama"};
        const char* stars[] = {"Grant", "hepburn", "Stewart", "", "kelly", "Bogart"};
        for (int i = 0; i < 300; ++i) {
            table.append();
            table.setString("Title", "Film " + std::to_string(i));
            table.setString("Category", categories[i % 5]);
            table.setString("Star1", stars[i % 6]);
            if (i % 4) table.setDate("PurchDate", Date{1980 + i % 20, 1 + i % 12, 1 + i % 28});
            if (i % 3) table.setNumber("ListPrice", (i % 17) * 1.25);
            table.post();
        }
        table.close();
        table.addIndex("NewIndex", expression);
    }

    auto lines = walkWithReader(dbf, dir / "MASTER.MDX", "NEWINDEX", "CATEGORY STAR1");

    auto ours = mdx::readMdx(dir / "MASTER.MDX");
    ASSERT_TRUE(ours);
    ASSERT_EQ(ours->tags.size(), 1u);
    EXPECT_EQ(ours->tags[0].expression, expression);
    ASSERT_EQ(ours->tags[0].entries.size(), 300u);
    for (size_t i = 1; i < ours->tags[0].entries.size(); ++i)
        EXPECT_LE(ours->tags[0].entries[i - 1].key, ours->tags[0].entries[i].key);
    // Each line has our key and record number, and the key starts with the upper-case
    // category and star of the record the reader fetched.
    ASSERT_EQ(lines.size(), ours->tags[0].entries.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto& e = ours->tags[0].entries[i];
        const std::string prefix = e.key + "|" + std::to_string(e.recno) + "|";
        ASSERT_EQ(lines[i].substr(0, prefix.size()), prefix) << "entry " << i;
        std::string rest = lines[i].substr(prefix.size());
        std::string category = rest.substr(0, rest.find('|'));
        std::string star = rest.substr(rest.find('|') + 1);
        EXPECT_EQ(e.key.substr(0, 40), upperCp1252((category + std::string(20, ' ')).substr(0, 20) +
                                                   (star + std::string(20, ' ')).substr(0, 20)))
            << "entry " << i;
    }
    fs::remove_all(dir);
}

}  // namespace
