// Key expressions: evaluation of each function on raw record bytes, key widths, blanks,
// Windows-1252 upper case, and the errors that reject an expression.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/db/DatabaseError.h"
#include "core/db/KeyExpression.h"

namespace rv::db {
namespace {

// A small table layout: deletion flag at byte 0, then the fields in order.
std::vector<KeyField> layout() {
    std::vector<KeyField> fields = {
        {"TITLE", 'C', 0, 60, 0},     {"STAR1", 'C', 0, 25, 0},  {"YEAR", 'N', 0, 4, 0},
        {"LISTPRICE", 'N', 0, 12, 2}, {"PURCHDATE", 'D', 0, 8, 0}, {"CATEGORY", 'C', 0, 20, 0},
        {"YEARTEXT", 'C', 0, 6, 0},
    };
    int offset = 1;
    for (auto& f : fields) {
        f.offset = offset;
        offset += f.length;
    }
    return fields;
}

// A record with the given stored texts: character fields left aligned, numbers right aligned,
// everything else blank.
std::string record(const std::map<std::string, std::string>& values) {
    auto fields = layout();
    std::string rec(static_cast<size_t>(fields.back().offset + fields.back().length), ' ');
    for (const auto& [name, value] : values) {
        for (const auto& f : fields) {
            if (f.name != name) continue;
            std::string cell = value.substr(0, static_cast<size_t>(f.length));
            size_t at = f.type == 'N' ? f.length - cell.size() : 0;
            rec.replace(static_cast<size_t>(f.offset) + at, cell.size(), cell);
        }
    }
    return rec;
}

std::string keyOf(const std::string& expression, const std::map<std::string, std::string>& values) {
    return KeyExpression::compile(expression, layout()).key(record(values));
}

TEST(KeyExpression, EvaluatesEachFunction) {
    struct Case {
        const char* expression;
        std::map<std::string, std::string> values;
        std::string key;
    };
    const std::vector<Case> cases = {
        {"Star1", {{"STAR1", "Cary Grant"}}, "Cary Grant" + std::string(15, ' ')},
        {"Left(Star1,4)", {{"STAR1", "Cary Grant"}}, "Cary"},
        {"Upper(Left(Star1,6))", {{"STAR1", "Cary Grant"}}, "CARY G"},
        // Left beyond the field's width pads with spaces, keeping every key the same length.
        {"Left(Category,26)", {{"CATEGORY", "Drama"}}, "Drama" + std::string(21, ' ')},
        {"upper ( left ( title , 3 ) )", {{"TITLE", "rear window"}}, "REA"},
        {"STR(ListPrice,12,2)", {{"LISTPRICE", "19.95"}}, "       19.95"},
        {"STR(ListPrice,12,2)", {{"LISTPRICE", "7"}}, "        7.00"},
        {"STR(ListPrice,8,1)", {{"LISTPRICE", "19.95"}}, "    20.0"},
        {"STR(ListPrice,8,1)", {{"LISTPRICE", "-19.95"}}, "   -20.0"},
        {"STR(ListPrice,8,1)", {{"LISTPRICE", "-0.04"}}, "     0.0"},
        {"STR(ListPrice,6,0)", {{"LISTPRICE", "999.5"}}, "  1000"},
        {"STR(Year,12,0)", {{"YEAR", "1954"}}, "        1954"},
        {"STR(Year)", {{"YEAR", "1954"}}, "      1954"},
        {"STR(Year,3)", {{"YEAR", "1954"}}, "***"},
        {"STR(ListPrice,5,2)", {{"LISTPRICE", "123.45"}}, "*****"},
        // Blank numbers are blanks, which sort before every number.
        {"STR(Year,12,0)", {}, std::string(12, ' ')},
        {"STR(ListPrice,12,2)", {}, std::string(12, ' ')},
        // A character field read as a number: its leading number, 0 when it has none.
        {"STR(YearText,6,0)", {{"YEARTEXT", "1960s"}}, "  1960"},
        {"STR(YearText,6,0)", {{"YEARTEXT", "n/a"}}, "     0"},
        {"STR(YearText,6,1)", {{"YEARTEXT", "1.5E2"}}, " 150.0"},
        {"DTOS(PurchDate)", {{"PURCHDATE", "19970305"}}, "19970305"},
        {"DTOS(PurchDate)", {}, std::string(8, ' ')},
        // Left and Upper on numeric and date fields work on their stored text.
        {"Upper(Left(Year,20))", {{"YEAR", "1954"}}, "1954" + std::string(16, ' ')},
        {"Left(PurchDate,4)", {{"PURCHDATE", "19970305"}}, "1997"},
        {"Upper(Left(Category,5))+Upper(Left(Star1,5))+DTOS(PurchDate)+STR(ListPrice,12,2)",
         {{"CATEGORY", "drama"}, {"STAR1", "grace"}, {"PURCHDATE", "19970305"}, {"LISTPRICE", "5.5"}},
         "DRAMAGRACE19970305        5.50"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(keyOf(c.expression, c.values), c.key) << c.expression;
    }
}

TEST(KeyExpression, EvaluatesTheFunctionsOfOtherProgramsTags) {
    struct Case {
        const char* expression;
        std::map<std::string, std::string> values;
        std::string key;
        int length;  // the key length the tag was built with; 0: the expression's own
    };
    const std::vector<Case> cases = {
        {"SUBSTR(Category,3,4)", {{"CATEGORY", "Documentary"}}, "cume", 0},
        {"SUBSTR(Category,18)", {{"CATEGORY", "Documentary"}}, "   ", 0},  // the rest: 3 bytes
        {"SUBSTR(YearText,5,9)", {{"YEARTEXT", "1960s"}}, "s ", 0},       // cut at the field's end
        {"RIGHT(YearText,3)", {{"YEARTEXT", "1960s"}}, "0s ", 0},         // trailing blanks count
        {"RIGHT(TRIM(YearText),3)", {{"YEARTEXT", "1960s"}}, "60s   ", 6},
        {"RIGHT(YearText,10)", {{"YEARTEXT", "1960s"}}, "1960s ", 0},
        {"TRIM(Star1)+YearText", {{"STAR1", "Cary Grant"}, {"YEARTEXT", "1960s"}}, "Cary Grant1960s ", 16},
        {"RTRIM(Star1)+YearText", {{"STAR1", "Cary Grant"}, {"YEARTEXT", "1960s"}}, "Cary Grant1960s         ", 24},
        {"LTRIM(STR(Year,10))+YearText", {{"YEAR", "1954"}, {"YEARTEXT", "x"}}, "1954x" + std::string(11, ' '), 16},
        {"ALLTRIM(Left(YearText,5))", {{"YEARTEXT", " ab "}}, "ab   ", 0},
        // Too long for the tag's key length: cut to it.
        {"TRIM(Star1)+Category", {{"STAR1", "Cary Grant"}, {"CATEGORY", "Comedy"}}, "Cary GrantCom", 13},
        {"UPPER(TRIM(Star1))+YearText", {{"STAR1", "cary"}, {"YEARTEXT", "x"}}, "CARYx" + std::string(3, ' '), 8},
        {"DESCEND(Left(YearText,3))", {{"YEARTEXT", "AZ"}}, "\xBF\xA6\xE0", 0},
        {"DESCEND(DTOS(PurchDate))", {{"PURCHDATE", "19970305"}}, "\xCF\xC7\xC7\xC9\xD0\xCD\xD0\xCB", 0},
        {"DTOC(PurchDate)", {{"PURCHDATE", "19970305"}}, "03/05/97", 0},
        {"DTOC(PurchDate)", {}, "  /  /  ", 0},
        {"STR(VAL(YearText),6)", {{"YEARTEXT", "1960s"}}, "  1960", 0},
        {"STR(VAL(SUBSTR(YearText,3)),4,1)", {{"YEARTEXT", "192.5"}}, " 2.5", 0},
        {"str(val(trim(YearText)),6,1)", {{"YEARTEXT", "-3"}}, "  -3.0", 0},
    };
    for (const auto& c : cases) {
        const auto e = KeyExpression::compile(c.expression, layout(), c.length);
        EXPECT_EQ(e.key(record(c.values)), c.key) << c.expression;
        EXPECT_EQ(e.keyLength(), static_cast<int>(c.key.size())) << c.expression;
    }
    // A fixed-length expression keeps its own length whatever the tag says.
    EXPECT_EQ(KeyExpression::compile("Left(Title,5)", layout(), 40).keyLength(), 5);
    // A trimmed expression too long for a key needs the tag's length.
    EXPECT_THROW(KeyExpression::compile("TRIM(Title)+Title", layout()), DatabaseError);
    EXPECT_EQ(KeyExpression::compile("TRIM(Title)+Title", layout(), 100).keyLength(), 100);
}

TEST(KeyExpression, UpperCasesWindows1252LettersOnly) {
    // à é ñ ÿ š œ ž become À É Ñ Ÿ Š Œ Ž; ß, µ, ÷ and digits stay.
    EXPECT_EQ(upperCp1252("\xE0\xE9\xF1\xFF\x9A\x9C\x9E"), "\xC0\xC9\xD1\x9F\x8A\x8C\x8E");
    EXPECT_EQ(upperCp1252("\xDF\xB5\xF7" "09 z"), "\xDF\xB5\xF7" "09 Z");
    EXPECT_EQ(keyOf("Upper(Left(Star1,6))", {{"STAR1", "b\xE9la L"}}), "B\xC9LA L");
}

TEST(KeyExpression, KeysCompareCaseInsensitivelyAndBlanksFirst) {
    auto expression = KeyExpression::compile("Upper(Left(Title,10))+STR(Year,12,0)", layout());
    std::string a = expression.key(record({{"TITLE", "alpha"}, {"YEAR", "1990"}}));
    std::string b = expression.key(record({{"TITLE", "Alpha"}, {"YEAR", "2001"}}));
    std::string blank = expression.key(record({{"TITLE", "ALPHA"}}));
    std::string c = expression.key(record({{"TITLE", "beta"}, {"YEAR", "1"}}));
    EXPECT_LT(blank, a);
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
}

TEST(KeyExpression, KeyLengthOfTheProgramsExpressions) {
    // The widths the sort order builds: 80 of text in total, plus 12 per number, 8 per date.
    struct Case {
        const char* expression;
        int length;
    };
    for (const Case& c : std::vector<Case>{
             {"Upper(Left(Title,80))", 80},
             {"Upper(Left(Title,40))+STR(Year,12,0)", 52},
             {"Upper(Left(Category,20))+Upper(Left(Star1,20))+DTOS(PurchDate)+STR(ListPrice,12,2)", 60},
             {"Upper(Left(Title,20))+Upper(Left(Star1,20))+Upper(Left(Category,20))+Upper(Left(YearText,20))", 80},
             {"Upper(Left(Title,26))+Upper(Left(Star1,26))+Upper(Left(Category,26))", 78},
         }) {
        auto expression = KeyExpression::compile(c.expression, layout());
        EXPECT_EQ(expression.keyLength(), c.length) << c.expression;
        EXPECT_EQ(expression.key(record({})).size(), static_cast<size_t>(c.length)) << c.expression;
        EXPECT_EQ(expression.text(), c.expression);
    }
}

TEST(KeyExpression, ShortOrEmptyRecordsGiveSpacesNotGarbage) {
    auto expression = KeyExpression::compile("Upper(Left(Title,5))+DTOS(PurchDate)+STR(Year,4)", layout());
    EXPECT_EQ(expression.key(""), std::string(17, ' '));
    EXPECT_EQ(expression.key(std::string(" abc")), "ABC" + std::string(14, ' '));
}

TEST(KeyExpression, CopiesAreIndependent) {
    auto first = KeyExpression::compile("Left(Title,3)", layout());
    KeyExpression copy = first;
    first = KeyExpression::compile("DTOS(PurchDate)", layout());
    EXPECT_EQ(copy.key(record({{"TITLE", "Vertigo"}})), "Ver");
    EXPECT_EQ(first.keyLength(), 8);
}

TEST(KeyExpression, RejectsBadExpressionsWithAReadableMessage) {
    struct Case {
        const char* expression;
        const char* mentions;
    };
    for (const Case& c : std::vector<Case>{
             {"", "empty"},
             {"   ", "empty"},
             {"Upper(Left(Nosuch,20))", "unknown field \"Nosuch\""},
             {"Lower(Title)", "unknown function \"Lower\""},
             {"Left(Title,0)", "Left takes 1 to 254"},
             {"Left(Title,255)", "Left takes 1 to 254"},
             {"Left(Title)", "\",\" expected"},
             {"Left(Title,x)", "a length expected"},
             {"Upper(Title", "\")\" expected"},
             {"Title Star1", "\"+\" expected"},
             {"Title+", "name expected"},
             {"+Title", "unexpected \"+\""},
             {"Title,Star1", "\"+\" expected"},
             {"DTOS(Title)", "DTOS needs a date field"},
             {"STR(PurchDate,8)", "STR needs a numeric field"},
             {"STR(Year,0)", "STR takes a length"},
             {"STR(ListPrice,3,2)", "cannot show 2 decimals"},
             {"Title+Star1+Left(Category,20)", "at most 100"},
             {"Upper(Left(Title,99))+Upper(Left(Star1,2))", "at most 100"},
             {"VAL(YearText)", "VAL gives a number"},
             {"STR(VAL(PurchDate)", "\")\" expected"},
             {"SUBSTR(Title,0,3)", "SUBSTR needs a start of 1 to 255, not 0"},
             {"SUBSTR(Title,2,0)", "SUBSTR needs a length of 1 to 255"},
             {"SUBSTR(Title)", "\",\" expected"},
             {"RIGHT(Title,0)", "RIGHT needs a length of 1 to 254"},
             {"DTOC(Title)", "DTOC needs a date field"},
             {"SOUNDEX(Title)", "unknown function \"SOUNDEX\""},
         }) {
        try {
            KeyExpression::compile(c.expression, layout());
            ADD_FAILURE() << "accepted: " << c.expression;
        } catch (const DatabaseError& e) {
            EXPECT_NE(std::string(e.what()).find(c.mentions), std::string::npos)
                << c.expression << " -> " << e.what();
        }
    }
}

TEST(KeyExpression, DeepNestingIsRejectedNotACrash) {
    std::string expression;
    for (int i = 0; i < 5000; ++i) expression += "Upper(";
    expression += "Title";
    for (int i = 0; i < 5000; ++i) expression += ")";
    EXPECT_THROW(KeyExpression::compile(expression, layout()), DatabaseError);
}

TEST(KeyExpression, AFieldOfNoBytesMakesNoKey) {
    std::vector<KeyField> fields = {{"EMPTY", 'C', 1, 0, 0}};
    EXPECT_THROW(KeyExpression::compile("Empty", fields), DatabaseError);
    EXPECT_EQ(KeyExpression::compile("Left(Empty,2)", fields).key(" "), "  ");
}

TEST(KeyExpression, FieldNamesMatchWhateverTheirCaseOrPadding) {
    std::vector<KeyField> fields = {{std::string("Title\0\0", 7), 'C', 1, 10, 0}};
    auto expression = KeyExpression::compile("TITLE+title", fields);
    EXPECT_EQ(expression.key(" abcdefghij"), "abcdefghijabcdefghij");
}

}  // namespace
}  // namespace rv::db
