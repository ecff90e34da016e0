// The quoted-text reader: the first-line check with its refusals, and the record lines.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/exchange/ExchangeMessages.h"
#include "core/exchange/QuotedText.h"

using namespace rv::exchange;

namespace {

using Lines = std::vector<std::vector<std::string>>;

// Every record the reader finds in `text` for an import field count.
Lines records(const std::string& text, int fields) {
    RecordReader reader(text, fields);
    Lines out;
    std::vector<std::string> values;
    while (!reader.atEnd())
        if (reader.read(values)) out.push_back(values);
    return out;
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

}  // namespace

struct FirstLineCase {
    const char* what;
    std::string text;
    std::vector<std::string> names;           // when accepted
    std::optional<FirstLineFault> fault;
};

TEST(FirstLine, AcceptsOrRefusesAsTheSyntaxSays) {
    const std::string fifty = [] {
        std::string s;
        for (int i = 1; i <= 50; ++i) s += (i > 1 ? ",\"" : "\"") + std::to_string(i) + "\"";
        return s;
    }();
    const std::vector<FirstLineCase> cases = {
        {"three quoted values", "\"Title\",\"Year\",\"Rating\"\r\n\"x\",\"1\",\"2\"\r\n", {"Title", "Year", "Rating"}, {}},
        {"names cut to 20", "\"" + std::string(30, 'n') + "\"\r\n", {std::string(20, 'n')}, {}},
        {"empty values are blank fields", "\"\",\"a\",\"\"\r\n", {"<BLANK FIELD>", "a", "<BLANK FIELD>"}, {}},
        {"LF line end", "\"a\",\"b\"\n\"c\",\"d\"\n", {"a", "b"}, {}},
        {"CR line end", "\"a\",\"b\"\r\"c\",\"d\"\r", {"a", "b"}, {}},
        {"no line end at all", "\"a\",\"b\"", {"a", "b"}, {}},
        {"unquoted values", "Title,Year,Price\r\n", {"Title", "Year", "Price"}, {}},
        {"mixed quoted and unquoted", "\"Title\",Year,\"A, B\"\n", {"Title", "Year", "A, B"}, {}},
        {"trailing comma gives a blank field", "\"a\",\n", {"a", "<BLANK FIELD>"}, {}},
        {"doubled quote in a name", "\"say \"\"hi\"\"\"\r\n", {"say \"hi\""}, {}},
        {"space before the quote stays", " \"a\"\r\n", {" a"}, {}},
        {"fifty values", fifty + "\r\n", {}, {}},
        {"255 characters", "\"" + std::string(255, 'x') + "\"\r\n", {std::string(20, 'x')}, {}},
        {"256 characters", "\"" + std::string(256, 'x') + "\"\r\n", {}, FirstLineFault::TooLong},
        {"unmatched quote", "\"a\",\"b\r\n\"c\"\r\n", {}, FirstLineFault::UnexpectedEnd},
        {"empty file", "", {}, FirstLineFault::UnexpectedEnd},
        {"empty first line", "\r\n\"a\"\r\n", {}, FirstLineFault::UnexpectedEnd},
        {"51 values", fifty + ",\"51\"\r\n", {}, FirstLineFault::TooMany},
        {"50 values and a trailing comma", fifty + ",\r\n", {}, FirstLineFault::TooMany},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FirstLine line = checkFirstLine(c.text);
        EXPECT_EQ(line.fault, c.fault);
        if (c.fault) {
            EXPECT_TRUE(line.names.empty());
        } else if (c.names.empty()) {
            EXPECT_EQ(line.names.size(), 50u);
        } else {
            EXPECT_EQ(line.names, c.names);
        }
    }
}

TEST(FirstLine, MessagesAreTheHeadAndTheReason) {
    const std::string head =
        "The file selected does not appear to be an ASCII delimited text file.  An ASCII delimited file requires a "
        "unique format of each field being surrounded by double quotes and separated by a comma.  ";
    EXPECT_EQ(firstLineMessage(FirstLineFault::TooLong),
              head + "The selected file has a field that is greater than 255 characters.");
    EXPECT_EQ(firstLineMessage(FirstLineFault::UnexpectedEnd),
              head + "The selected file had an unexpected end of a line most likely due to an unmatched quote.");
    EXPECT_EQ(firstLineMessage(FirstLineFault::TooMany),
              head + "The selected file has too many fields.  There are at least 10 more fields than are required "
                     "by Reelvane.");
}

struct RecordCase {
    const char* what;
    std::string text;
    int fields;
    Lines expected;
};

TEST(RecordReader, ReadsLinesAsTheSyntaxSays) {
    const std::vector<RecordCase> cases = {
        {"all quoted, CR LF", "\"a\",\"b\",\"c\"\r\n\"d\",\"e\",\"f\"\r\n", 3, {{"a", "b", "c"}, {"d", "e", "f"}}},
        {"LF only ends lines", "\"a\",\"b\"\n\"c\",\"d\"\n", 2, {{"a", "b"}, {"c", "d"}}},
        {"CR only ends lines", "\"a\",\"b\"\r\"c\",\"d\"", 2, {{"a", "b"}, {"c", "d"}}},
        {"mixed line ends", "\"1\"\r\n\"2\"\n\"3\"\r\"4\"", 1, {{"1"}, {"2"}, {"3"}, {"4"}}},
        {"doubled quotes read as one", "\"He said \"\"no\"\"\",\"x\"\r\n", 2, {{"He said \"no\"", "x"}}},
        {"quote pair alone", "\"\"\"\"\r\n", 1, {{"\""}}},
        {"comma inside quotes", "\"Smith, John\",\"b\"\r\n", 2, {{"Smith, John", "b"}}},
        {"unquoted values (spreadsheet)", "Casablanca,1942,12.50\r\nHigh Noon,1952,\r\n", 3,
         {{"Casablanca", "1942", "12.50"}, {"High Noon", "1952", ""}}},
        {"unquoted then quoted", "1942,\"Casablanca, the film\"\n", 2, {{"1942", "Casablanca, the film"}}},
        {"space before the quote stays", " \"a\",\"b\"\r\n", 2, {{" a", "b"}}},
        {"blank lines create nothing", "\"a\"\r\n\r\n\r\n\"b\"\r\n\n", 1, {{"a"}, {"b"}}},
        {"fewer values than fields", "\"a\"\r\n\"b\",\"c\"\r\n", 3, {{"a"}, {"b", "c"}}},
        {"extra values go with their line", "\"a\",\"b\",\"x\",\"y\"\r\n\"c\",\"d\"\r\n", 2, {{"a", "b"}, {"c", "d"}}},
        {"empty first value with more values", "\"\",\"b\"\r\n", 2, {{"", "b"}}},
        {"empty single value is no record", "\"\"\r\n\"a\"\r\n", 1, {{"a"}}},
        {"control characters are passed over", "\"a\tb\",\"\x01" "c\"\r\n", 2, {{"ab", "c"}}},
        {"end-of-file marker", "\"a\"\r\n\x1A", 1, {{"a"}}},
        {"stray character after the closing quote", "\"ab\"c,\"d\"\r\n", 2, {{"abc", "d"}}},
        {"Windows-1252 bytes kept", "\"Z\xFCrich\",\"Montr\xE9" "al\"\r\n", 2, {{"Z\xFCrich", "Montr\xE9" "al"}}},
        {"unmatched quote ends at the line", "\"abc\r\n\"d\"\r\n", 1, {{"abc"}, {"d"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(records(c.text, c.fields), c.expected);
    }
}

TEST(RecordReader, ValuesLongerThan255AreCut) {
    const std::string text = "\"first\"\r\n\"" + std::string(300, 'v') + "\"\r\n\"" + repeat("\"\"", 200) + "\"\r\n";
    const Lines got = records(text, 1);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[1][0], std::string(255, 'v'));
    EXPECT_EQ(got[2][0], std::string(200, '"'));
}

TEST(RecordReader, SkippingTheFirstRecordSkipsOneLine) {
    RecordReader reader("\"Title\",\"Year\"\n\"a\",\"1\"\n", 2);
    std::vector<std::string> values;
    ASSERT_TRUE(reader.read(values));
    EXPECT_EQ(values, (std::vector<std::string>{"Title", "Year"}));
    ASSERT_TRUE(reader.read(values));
    EXPECT_EQ(values, (std::vector<std::string>{"a", "1"}));
    EXPECT_TRUE(reader.atEnd());
}
