#include "core/lists/ListFile.h"

#include "core/db/DbTestSupport.h"

#include <gtest/gtest.h>

namespace rv::lists {
namespace {

TEST(ListFile, ParsesLinesByTheReadingRule) {
    const std::string longLine(300, 'x');
    struct Case {
        const char* what;
        std::string bytes;
        Entries expected;
    };
    const Case cases[] = {
        {"CR LF", "Drama\r\nComedy\r\n", {"Drama", "Comedy"}},
        {"LF", "Drama\nComedy\n", {"Drama", "Comedy"}},
        {"CR", "Drama\rComedy\r", {"Drama", "Comedy"}},
        {"mixed ends, last line unterminated", "A\r\nB\nC\rD", {"A", "B", "C", "D"}},
        {"blank and space-only lines skipped", "\r\n   \r\nA\n\n\rB\r\n", {"A", "B"}},
        {"spaces kept as read", "  Drama \r\n", {"  Drama "}},
        {"only spaces are trimmed for the blank test", "\t\r\n", {"\t"}},
        {"duplicates remain", "A\r\nA\r\n", {"A", "A"}},
        {"Windows-1252 bytes kept", "Caf\xe9\r\n", {"Caf\xe9"}},
        {"long line cut to 255, rest skipped", longLine + "\r\nNext\r\n", {std::string(255, 'x'), "Next"}},
        {"empty file", "", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(parseListText(c.bytes), c.expected) << c.what;
}

TEST(ListFile, WritesCrLfAndReadsBack) {
    db::test::TempDir dir;
    const Entries entries{"  Drama ", "Caf\xe9", "Drama"};
    ASSERT_TRUE(writeListFile(dir / "X.006", entries));
    EXPECT_EQ(db::test::readBytes(dir / "X.006"), "  Drama \r\nCaf\xe9\r\nDrama\r\n");
    EXPECT_EQ(readListFile(dir / "X.006"), entries);

    // An empty list gives an empty file, which reads back as an empty list.
    ASSERT_TRUE(writeListFile(dir / "X.006", {}));
    EXPECT_TRUE(std::filesystem::exists(dir / "X.006"));
    EXPECT_EQ(db::test::readBytes(dir / "X.006"), "");
    EXPECT_TRUE(readListFile(dir / "X.006").empty());

    // No temporary file is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}

TEST(ListFile, UnreadableOrUnwritableFilesFailSilently) {
    db::test::TempDir dir;
    EXPECT_TRUE(readListFile(dir / "MISSING.LST").empty());

    // A folder where the file should be: nothing read, nothing written, nothing changed.
    std::filesystem::create_directory(dir / "X.001");
    EXPECT_TRUE(readListFile(dir / "X.001").empty());
    EXPECT_FALSE(writeListFile(dir / "X.001", {"A"}));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "X.001"));

    // A missing folder: the write fails without creating anything.
    EXPECT_FALSE(writeListFile(dir / "nowhere" / "X.001", {"A"}));
    EXPECT_FALSE(std::filesystem::exists(dir / "nowhere"));
}

}  // namespace
}  // namespace rv::lists
