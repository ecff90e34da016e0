// The search criteria: storing a level of the Search window, and evaluating records.

#include <gtest/gtest.h>

#include <map>

#include "core/app/Formats.h"
#include "core/browse/SearchCriteria.h"

using namespace rv::browse;
using rv::app::ShortDateFormat;
using rv::db::Date;

namespace {

constexpr int kTitle = 1, kStar2 = 3, kStar5 = 6, kYear = 11, kCategory = 14, kKeyWords = 26, kListPrice = 28,
              kCheckDate = 32, kPurchDate = 35;

const ShortDateFormat& mdy() {
    static const ShortDateFormat f(7, true, [] { return Date{2026, 6, 1}; });  // mm/dd/yyyy
    return f;
}

// A record given as field texts; numbers and dates are read from the texts (blank = 0).
class Record final : public SearchRecord {
public:
    Record(std::map<int, std::string> values) : values_(std::move(values)) {}
    std::string_view text(int field) const override {
        auto it = values_.find(field);
        return it == values_.end() ? std::string_view() : std::string_view(it->second);
    }
    double number(int field) const override {
        auto n = parseCriterionNumber(std::string(text(field)));
        return n ? *n : 0;
    }
    double date(int field) const override {
        auto d = mdy().parse(text(field));
        return d ? dayNumber(*d) : 0;
    }

private:
    std::map<int, std::string> values_;
};

struct Row {
    int field;
    std::string cell;
    RowComparison comparison = RowComparison::Equal;
};

SearchLevelRows level(const std::vector<Row>& rows) {
    SearchLevelRows l;
    for (const Row& r : rows) {
        l.cell(r.field) = r.cell;
        l.comparison(r.field) = r.comparison;
    }
    return l;
}

// Criteria from levels that must all store.
SearchCriteria criteriaOf(const std::vector<std::vector<Row>>& levels, const ShortDateFormat& dates = mdy()) {
    SearchCriteria c;
    for (const auto& l : levels) {
        StoreResult r = storeLevel(c, level(l), dates);
        EXPECT_TRUE(r.ok()) << r.message;
    }
    return c;
}

}  // namespace

TEST(SearchCriteria, DayNumbersCountFromTheThirtiethOfDecember1899) {
    EXPECT_EQ(dayNumber(Date{1899, 12, 30}), 0);
    EXPECT_EQ(dayNumber(Date{1900, 1, 1}), 2);
    EXPECT_EQ(dayNumber(Date{2000, 1, 1}), 36526);
    EXPECT_EQ(dayNumber(Date{}), 0);
}

TEST(SearchCriteria, NumbersAreReadWithAPointWhateverTheLocale) {
    struct Case {
        const char* text;
        std::optional<double> value;
    } cases[] = {{"1995", 1995}, {"-3", -3}, {"+2.5", 2.5}, {"19.95", 19.95}, {".5", 0.5}, {"7.", 7},
                 {"1e3", 1000}, {"1.5E-1", 0.15}, {"19,95", std::nullopt}, {"1 000", std::nullopt},
                 {"$19.95", std::nullopt}, {"", std::nullopt}, {".", std::nullopt}, {"1e", std::nullopt},
                 {"12a", std::nullopt}, {"--1", std::nullopt}};
    for (const Case& c : cases) EXPECT_EQ(parseCriterionNumber(c.text), c.value) << c.text;
}

TEST(SearchCriteria, StoringALevelMakesOneItemPerFilledRow) {
    SearchCriteria c = criteriaOf({{{kTitle, "  star wars  "},
                                    {kStar5, "ford"},
                                    {kKeyWords, "alien space"},
                                    {kYear, "> 1990", RowComparison::Greater},
                                    {kListPrice, "> 10      AND < 20.5", RowComparison::Range},
                                    {kPurchDate, "= 03/05/1997"}}});
    ASSERT_EQ(c.items.size(), 7u);
    EXPECT_EQ(c.items[0], (SearchItem{"STAR WARS", 0, 0, kTitle, SearchTest::Contains, false, false}));
    EXPECT_EQ(c.items[1].test, SearchTest::AnyStar);  // rows in catalogue order
    EXPECT_EQ(c.items[2], (SearchItem{"1990", 1990, 0, kYear, SearchTest::Greater, false, false}));
    EXPECT_EQ(c.items[3].test, SearchTest::AnyWord);
    EXPECT_EQ(c.items[4], (SearchItem{"10", 10, 0, kListPrice, SearchTest::Greater, false, false}));
    EXPECT_EQ(c.items[5], (SearchItem{"20.5", 20.5, 0, kListPrice, SearchTest::Less, false, false}));
    const double day = dayNumber(Date{1997, 3, 5});
    EXPECT_EQ(c.items[6], (SearchItem{std::to_string(int(day)), 0, day, kPurchDate, SearchTest::Equal, true, true}));
}

TEST(SearchCriteria, TextIsUpperCasedForAToZOnlyAndCutTo110) {
    SearchCriteria c = criteriaOf({{{kTitle, "caf\xe9 \xe0 la mode"}, {29, std::string(150, 'x')}}});
    ASSERT_EQ(c.items.size(), 2u);
    EXPECT_EQ(c.items[0].text, "CAF\xe9 \xe0 LA MODE");
    EXPECT_EQ(c.items[1].text, std::string(110, 'X'));
}

TEST(SearchCriteria, RowsThatAreSkippedOrRefused) {
    struct Case {
        Row row;
        StoreOutcome outcome;
    } cases[] = {
        {{kYear, "=          "}, StoreOutcome::NoCriteria},
        {{kYear, "= 19,95"}, StoreOutcome::Invalid},  // a decimal comma is no number
        {{kYear, "= 19.95"}, StoreOutcome::Stored},
        {{kYear, "1995"}, StoreOutcome::Stored},     // the "=" is optional in the text
        {{kYear, "> 1990    AND <         ", RowComparison::Range}, StoreOutcome::Invalid},
        {{kYear, ">           AND < 1995", RowComparison::Range}, StoreOutcome::Invalid},
        {{kYear, ">           AND <         ", RowComparison::Range}, StoreOutcome::NoCriteria},
        {{kYear, "> 1990 AND < x", RowComparison::Range}, StoreOutcome::Invalid},
        {{kPurchDate, "=   /  /    "}, StoreOutcome::NoCriteria},  // the untouched template
        {{kPurchDate, "< 02/30/1997", RowComparison::Less}, StoreOutcome::Invalid},
        {{kPurchDate, "> 12/31/1996", RowComparison::Greater}, StoreOutcome::Stored},
        {{kPurchDate, ">   /  /     AND <   /  /    ", RowComparison::Range}, StoreOutcome::NoCriteria},
        {{kPurchDate, "> 01/01/1990 AND <   /  /    ", RowComparison::Range}, StoreOutcome::Invalid},
        {{kTitle, "     "}, StoreOutcome::NoCriteria},
    };
    for (const Case& c : cases) {
        SearchCriteria criteria = criteriaOf({{{kCategory, "drama"}}});
        const SearchCriteria before = criteria;
        StoreResult r = storeLevel(criteria, level({c.row}), mdy());
        EXPECT_EQ(r.outcome, c.outcome) << c.row.cell;
        if (c.outcome == StoreOutcome::Stored) {
            EXPECT_GT(criteria.items.size(), before.items.size());
            EXPECT_TRUE(criteria.items.back().levelEnd);
        } else {
            EXPECT_EQ(criteria, before) << c.row.cell;  // levels stored earlier are kept
        }
        if (c.outcome == StoreOutcome::Invalid) {
            EXPECT_EQ(r.row, c.row.field);
            EXPECT_EQ(r.message, kInvalidCriteriaMessage);
        }
        if (c.outcome == StoreOutcome::NoCriteria) {
            EXPECT_EQ(r.message, kNoCriteriaMessage);
        }
    }
}

TEST(SearchCriteria, AnInvalidRowDropsTheItemsOfItsLevelAlreadyAdded) {
    SearchCriteria c = criteriaOf({{{kTitle, "alien"}}});
    StoreResult r = storeLevel(c, level({{kCategory, "drama"}, {kYear, "= abc"}, {38, "ignored"}}), mdy());
    EXPECT_EQ(r.outcome, StoreOutcome::Invalid);
    EXPECT_EQ(r.row, kYear);
    ASSERT_EQ(c.items.size(), 1u);
    EXPECT_EQ(c.items[0].text, "ALIEN");
    EXPECT_TRUE(c.items[0].levelEnd);
}

TEST(SearchCriteria, BlankDateTemplatesOfEachSeparatorAreEmpty) {
    for (int format : {7, 8, 9}) {  // "/", "-", "."
        ShortDateFormat dates(format, true);
        const std::string blank = std::string("=   ") + dates.separator() + "  " + dates.separator() + "    ";
        SearchCriteria c;
        EXPECT_EQ(storeLevel(c, level({{kCheckDate, blank}}), dates).outcome, StoreOutcome::NoCriteria) << blank;
    }
    // Day-first format with "." reads 05.03.1997 as the fifth of March.
    ShortDateFormat dmy(12, true);
    SearchCriteria c;
    ASSERT_TRUE(storeLevel(c, level({{kCheckDate, "= 05.03.1997"}}), dmy).ok());
    EXPECT_EQ(c.items[0].date, dayNumber(Date{1997, 3, 5}));
}

TEST(SearchCriteria, SeventyFiveItemsAreTheLimit) {
    // 75 items from text rows over two levels are accepted.
    std::vector<Row> forty, thirtyFive;
    for (int f = 1; f <= 40; ++f)
        if (searchRowKind(f) == SearchRowKind::Text) forty.push_back({f, "a"});
    ASSERT_EQ(forty.size(), 34u);
    SearchCriteria c = criteriaOf({forty, forty});
    ASSERT_EQ(c.items.size(), 68u);
    std::vector<Row> seven(forty.begin(), forty.begin() + 7);
    ASSERT_TRUE(storeLevel(c, level(seven), mdy()).ok());
    EXPECT_EQ(c.items.size(), 75u);

    // The 76th from a text row clears everything.
    SearchCriteria full = c;
    StoreResult r = storeLevel(full, level({{kTitle, "one more"}}), mdy());
    EXPECT_EQ(r.outcome, StoreOutcome::TooMany);
    EXPECT_EQ(r.message, "More than 75 search items have been entered.  This exceeds the maximum allowable.  "
                         "Search criteria will be cleared.");
    EXPECT_TRUE(full.empty());

    // ... and from the upper bound of a range: 74 items plus a range is 76.
    SearchCriteria c74 = c;
    c74.items.pop_back();
    c74.items.back().levelEnd = true;
    r = storeLevel(c74, level({{kYear, "> 1 AND < 3", RowComparison::Range}}), mdy());
    EXPECT_EQ(r.outcome, StoreOutcome::TooMany);
    EXPECT_TRUE(c74.empty());
}

TEST(SearchCriteria, HeadingAndTypedRows) {
    EXPECT_EQ(criteriaHeading(1), " SEARCH CRITERIA    (Level 1)");
    EXPECT_EQ(criteriaHeading(10), " SEARCH CRITERIA    (Level 10)");
    struct Case {
        int field;
        const char* typed;
        const char* cell;
        RowComparison comparison;
    } cases[] = {{kTitle, "> star", "> star", RowComparison::Equal},
                 {kYear, "1995", "= 1995", RowComparison::Equal},
                 {kYear, "= 1995", "= 1995", RowComparison::Equal},
                 {kYear, " > 1990", "> 1990", RowComparison::Greater},
                 {kYear, "<1990", "<1990", RowComparison::Less},
                 {kYear, "> 1990 AND < 1995", "> 1990 AND < 1995", RowComparison::Range},
                 {kPurchDate, "03/05/1997", "= 03/05/1997", RowComparison::Equal}};
    for (const Case& c : cases) {
        TypedRow row = typedRow(c.field, c.typed);
        EXPECT_EQ(row.cell, c.cell) << c.typed;
        EXPECT_EQ(row.comparison, c.comparison) << c.typed;
    }
}

TEST(SearchCriteria, RecordsMatchingTheCriteria) {
    const Record starDrama{{{kTitle, "Star Wars"}, {kCategory, "Space drama"}}};
    const Record starComedy{{{kTitle, "Lone STAR"}, {kCategory, "Comedy"}}};
    const Record y1990{{{kYear, "1990"}}}, y1991{{{kYear, "1991"}}}, y1994{{{kYear, "1994"}}},
        y1995{{{kYear, "1995"}}}, y1996{{{kYear, "1996"}}}, noYear{{}};
    const Record keyAlien{{{kKeyWords, "aliens, horror"}}}, keyShip{{{kKeyWords, "spaceship"}}},
        keyNone{{{kKeyWords, "western"}}};
    const Record star5{{{kStar5, "Harrison Ford"}}}, star1{{{2, "Harrison Ford"}}}, noStars{{{kTitle, "Ford"}}};
    const Record blankDate{{}}, dated{{{kCheckDate, "03/05/1997"}}};

    struct Case {
        const char* what;
        SearchCriteria criteria;
        std::vector<std::pair<const Record*, bool>> records;
    } cases[] = {
        {"items of a level are AND-ed",
         criteriaOf({{{kTitle, "star"}, {kCategory, "drama"}}}),
         {{&starDrama, true}, {&starComedy, false}}},
        {"levels are OR-ed",
         criteriaOf({{{kYear, "= 1995"}}, {{kYear, "= 1996"}}}),
         {{&y1995, true}, {&y1996, true}, {&y1994, false}}},
        {"range bounds are exclusive",
         criteriaOf({{{kYear, "> 1990 AND < 1995", RowComparison::Range}}}),
         {{&y1990, false}, {&y1991, true}, {&y1994, true}, {&y1995, false}}},
        {"a blank number counts as 0",
         criteriaOf({{{kYear, "< 1", RowComparison::Less}}}),
         {{&noYear, true}, {&y1990, false}}},
        {"key words: any word",
         criteriaOf({{{kKeyWords, "alien space"}}}),
         {{&keyAlien, true}, {&keyShip, true}, {&keyNone, false}}},
        {"key words: an empty word between two blanks never matches",
         criteriaOf({{{kKeyWords, "western  zzz"}}}),
         {{&keyNone, true}, {&keyShip, false}}},
        {"a star row matches any of the six stars",
         criteriaOf({{{kStar2, "ford"}}}),
         {{&star5, true}, {&star1, true}, {&noStars, false}}},
        {"a blank date is day 0 under <",
         criteriaOf({{{kCheckDate, "< 01/01/1990", RowComparison::Less}}}),
         {{&blankDate, true}, {&dated, false}}},
        {"a blank date never passes >",
         criteriaOf({{{kCheckDate, "> 01/01/1990", RowComparison::Greater}}}),
         {{&blankDate, false}, {&dated, true}}},
        {"a failed level does not spoil the next",
         criteriaOf({{{kTitle, "star"}, {kCategory, "comedy"}}, {{kCategory, "drama"}}}),
         {{&starDrama, true}, {&starComedy, true}, {&y1990, false}}},
        {"an empty field contains nothing",
         criteriaOf({{{kCategory, "a"}}}),
         {{&y1990, false}}},
    };
    for (const Case& c : cases)
        for (const auto& [record, expected] : c.records) EXPECT_EQ(matches(c.criteria, *record), expected) << c.what;
    EXPECT_FALSE(matches(SearchCriteria{}, starDrama));
}
