#include "core/edit/Validation.h"

#include "core/app/Formats.h"
#include "core/app/Settings.h"
#include "core/edit/EditorMessages.h"

#include <gtest/gtest.h>

namespace rv::edit {
namespace {

// Formats as of 1 June 2026: date format `dateFormat`, money by `currencyFormat`, the locale
// writing 1.234,50.
app::DisplayFormats formats(int currencyFormat = 1, int dateFormat = 1, app::IntlSettings intl = {',', '.', 2}) {
    app::Settings settings;
    settings.currencyFormat = currencyFormat;
    settings.dateFormat = dateFormat;
    return app::DisplayFormats(settings, intl, [] { return db::Date{2026, 6, 1}; });
}

TEST(Validation, PricesUnderBothMoneySettings) {
    struct Case {
        int currencyFormat;
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {1, "1,234.50", 1234.5},
        {1, "  12.5 ", 12.5},
        {1, ".5", 0.5},
        {1, "-3", -3},
        {1, "+3", 3},
        {1, "1e3", 1000},
        {1, "2.5E-1", 0.25},
        {1, "", 0},
        {1, "   ", 0},
        {1, "12.", std::nullopt},
        {1, "$12", std::nullopt},
        {1, ".", std::nullopt},
        {1, "-", std::nullopt},
        {1, "1e", std::nullopt},
        {1, "1 234", std::nullopt},
        {1, "12,5.3.1", std::nullopt},
        {1, "1e999", std::nullopt},
        {2, "1.234,50", 1234.5},
        {2, "1.234.567,5", 1234567.5},
        {2, ",5", 0.5},
        {2, "12,", std::nullopt},
        {2, "12,5,1", std::nullopt},  // only the first decimal separator becomes a point
        {2, "1,234.50", 1.2345},       // the thousands "." goes, the "," is the decimal point
        {2, "", 0},
    };
    for (const auto& c : cases) {
        const auto value = readPrice(c.text, formats(c.currencyFormat));
        ASSERT_EQ(value.has_value(), c.value.has_value()) << c.currencyFormat << " '" << c.text << "'";
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.value) << c.currencyFormat << " '" << c.text << "'";
        }
    }
    // A locale whose thousands separator is a space.
    EXPECT_EQ(readPrice("1 234,5", formats(2, 1, {',', ' ', 2})), 1234.5);
}

TEST(Validation, WholeNumbers) {
    for (const char* good : {"1997", " 1997 ", "-5", "+12", "0"}) {
        EXPECT_TRUE(isWholeNumber(good)) << good;
    }
    for (const char* bad : {"", "+", "19 97", "1.5", "1e3", "abc", "12a"}) {
        EXPECT_FALSE(isWholeNumber(bad)) << bad;
    }
}

TEST(Validation, DateBoxes) {
    const auto mdy = formats(1, 1);  // mm/dd/yy
    for (const char* blank : {"", "  ", "/  /", " /  / ", "-  -", ".  .", "//", "__/__/____"}) {
        EXPECT_EQ(readDateBox(blank, std::nullopt, mdy), db::Date{}) << blank;
    }
    EXPECT_EQ(readDateBox("03/05/97", std::nullopt, mdy), (db::Date{1997, 3, 5}));
    EXPECT_EQ(readDateBox(" 3/5/1997 ", std::nullopt, mdy), (db::Date{1997, 3, 5}));
    EXPECT_FALSE(readDateBox("13/05/97", std::nullopt, mdy));
    EXPECT_FALSE(readDateBox("02/30/97", std::nullopt, mdy));
    EXPECT_FALSE(readDateBox("03.05.97", std::nullopt, mdy));
    EXPECT_FALSE(readDateBox("/5/", std::nullopt, mdy));
    EXPECT_EQ(readDateBox("05.03.1997", std::nullopt, formats(1, 12)), (db::Date{1997, 3, 5}));

    // A date shown with a two-digit year and left alone keeps its century; typed again it is
    // read by the format's rule.
    const LoadedDate loaded{"03/05/25", db::Date{1925, 3, 5}};
    EXPECT_EQ(readDateBox("03/05/25", loaded, mdy), (db::Date{1925, 3, 5}));
    EXPECT_EQ(readDateBox(" 03/05/25 ", loaded, mdy), (db::Date{1925, 3, 5}));
    EXPECT_EQ(readDateBox("03/06/25", loaded, mdy), (db::Date{2025, 3, 6}));
}

TEST(Validation, PriceBoxReformatsOnLeaving) {
    EXPECT_EQ(reformatPrice("1234.5", formats(1)), "1,234.50");
    EXPECT_EQ(reformatPrice("1,234.5", formats(1)), "1,234.50");
    EXPECT_EQ(reformatPrice("-123456", formats(1)), "-123,456.00");
    EXPECT_EQ(reformatPrice("1234,5", formats(2)), "1.234,50");
    EXPECT_EQ(reformatPrice("12.", formats(1)), "12.");  // not a price: left for the update to report
    EXPECT_EQ(reformatPrice("  ", formats(1)), "  ");
}

// A record that passes every check, then one fault after another: the first check that
// fails decides the message and the page, whatever else is wrong.
TEST(Validation, SixChecksInTheirOrder) {
    EditorRecord boxes = clearedRecord();
    boxes[kCheckDateField] = "99/99/99";
    boxes[kPurchDateField] = "xx";
    boxes[kListPriceField] = "12.";
    boxes[kPurchPriceField] = "$5";
    boxes[kRunTimeField] = "1.5";
    boxes[kYearField] = "19x7";

    struct Step {
        int field;
        std::string_view message;
        int page;
        const char* fix;
    };
    const Step steps[] = {
        {kCheckDateField, kInvalidCheckDate, 2, "03/05/97"},
        {kPurchDateField, kInvalidPurchDate, 3, "/  /"},
        {kListPriceField, kInvalidListPrice, 3, "12.50"},
        {kPurchPriceField, kInvalidPurchPrice, 3, ""},
        {kRunTimeField, kInvalidPlayTime, 2, " 95 "},
        {kYearField, kInvalidYear, 0, "1997"},
    };
    int number = 1;
    for (const auto& step : steps) {
        const auto result = validate(boxes, formats());
        ASSERT_TRUE(result.error) << number;
        EXPECT_EQ(result.error->step, number);
        EXPECT_EQ(result.error->field, step.field);
        EXPECT_EQ(result.error->message, step.message);
        EXPECT_EQ(result.error->page, step.page);
        boxes[step.field] = step.fix;
        ++number;
    }
    const auto result = validate(boxes, formats());
    ASSERT_FALSE(result.error);
    EXPECT_EQ(result.values.checkDate, (db::Date{1997, 3, 5}));
    EXPECT_TRUE(result.values.purchDate.isEmpty());
    EXPECT_DOUBLE_EQ(result.values.listPrice, 12.5);
    EXPECT_DOUBLE_EQ(result.values.purchPrice, 0);

    // Empty play time and year are no numbers and need none.
    boxes[kRunTimeField] = "  ";
    boxes[kYearField] = "";
    EXPECT_FALSE(validate(boxes, formats()).error);
}

}  // namespace
}  // namespace rv::edit
