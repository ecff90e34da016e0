// Display formats: the twelve date formats both ways, numbers and money under the U.S. and
// the locale setting, the grouping rule, the small text operations and the locale values.

#include "core/app/Formats.h"

#include <gtest/gtest.h>

#include "core/app/AppTestSupport.h"
#include "core/app/Settings.h"

namespace rv::app {
namespace {

using rv::db::Date;
using test::ScopedEnv;
using test::TempDir;
using test::writeBytes;

TodayFunction fixedToday(int year, int month = 6, int day = 15) {
    return [=] { return Date{year, month, day}; };
}

const Date kMarch5th1997{1997, 3, 5};

TEST(ShortDateFormat, ShowsTheFifthOfMarch1997InEveryFormat) {
    struct Case {
        int number;
        const char* withZeros;
        const char* withoutZeros;
    };
    const Case cases[] = {
        {1, "03/05/97", "3/5/97"},         {2, "03-05-97", "3-5-97"},         {3, "03.05.97", "3.5.97"},
        {4, "05/03/97", "5/3/97"},         {5, "05-03-97", "5-3-97"},         {6, "05.03.97", "5.3.97"},
        {7, "03/05/1997", "3/5/1997"},     {8, "03-05-1997", "3-5-1997"},     {9, "03.05.1997", "3.5.1997"},
        {10, "05/03/1997", "5/3/1997"},    {11, "05-03-1997", "5-3-1997"},    {12, "05.03.1997", "5.3.1997"},
    };
    for (const auto& c : cases) {
        const ShortDateFormat zeros(c.number, true, fixedToday(2026));
        const ShortDateFormat plain(c.number, false, fixedToday(2026));
        EXPECT_EQ(zeros.format(kMarch5th1997), c.withZeros) << c.number;
        EXPECT_EQ(plain.format(kMarch5th1997), c.withoutZeros) << c.number;
        // Whatever a format shows, it reads back as the same date.
        EXPECT_EQ(zeros.parse(c.withZeros), kMarch5th1997) << c.number;
        EXPECT_EQ(plain.parse(c.withoutZeros), kMarch5th1997) << c.number;
        EXPECT_EQ(std::string(dateFormat(c.number)->caption).size(), c.number <= 6 ? 8u : 10u);
    }
    EXPECT_EQ(ShortDateFormat(1, true).format(Date{2005, 12, 1}), "12/01/05");
    EXPECT_EQ(ShortDateFormat(7, false).format(Date{812, 1, 2}), "1/2/0812");
    EXPECT_EQ(ShortDateFormat(1, true).format(Date{}), "");
    EXPECT_EQ(ShortDateFormat(4, false).pattern(), "d/m/yy");
    EXPECT_EQ(ShortDateFormat(12, true).pattern(), "dd.mm.yyyy");
}

TEST(ShortDateFormat, TwoDigitYearsUseASlidingWindow) {
    struct Case {
        int today;
        const char* text;
        int year;
    };
    const Case cases[] = {
        {2026, "3/5/97", 1997}, {2026, "3/5/37", 1937}, {2026, "3/5/36", 2036}, {2026, "3/5/00", 2000},
        {2026, "3/5/7", 2007},  {2026, "3/5/26", 2026}, {1997, "3/5/97", 1997}, {1997, "3/5/07", 2007},
        {1997, "3/5/08", 1908}, {2095, "3/5/05", 2105}, {2095, "3/5/06", 2006},
        // Longer years are taken as written.
        {2026, "3/5/1897", 1897}, {2026, "3/5/2097", 2097}, {2026, "3/5/097", 97},
    };
    for (const auto& c : cases) {
        const auto date = ShortDateFormat(1, false, fixedToday(c.today)).parse(c.text);
        ASSERT_TRUE(date) << c.text;
        EXPECT_EQ(date->year, c.year) << c.text << " in " << c.today;
    }
}

TEST(ShortDateFormat, AStoredDateSurvivesBeingShownAndReadBack) {
    // The editor shows a date in a two-digit format and writes the text back unchanged.
    for (int number = 1; number <= 12; ++number) {
        const ShortDateFormat format(number, false, fixedToday(2026));
        for (const Date& stored : {Date{1997, 3, 5}, Date{1940, 12, 31}, Date{2030, 2, 28}, Date{2000, 2, 29}})
            EXPECT_EQ(format.parse(format.format(stored)), stored) << number << " " << stored.year;
    }
}

TEST(ShortDateFormat, ReadsTypedText) {
    const ShortDateFormat mdy(1, false, fixedToday(2026));
    const ShortDateFormat dmy(11, true, fixedToday(2026));
    EXPECT_EQ(mdy.parse("3/5"), (Date{2026, 3, 5}));       // day and month of this year
    EXPECT_EQ(dmy.parse("5-3"), (Date{2026, 3, 5}));
    EXPECT_EQ(mdy.parse(" 3 / 5 / 97 "), kMarch5th1997);  // blanks around the numbers
    EXPECT_EQ(mdy.parse("03/05/1997"), kMarch5th1997);     // four digits in a two-digit format
    EXPECT_EQ(dmy.parse("5-3-97"), kMarch5th1997);         // and two in a four-digit one
    EXPECT_EQ(mdy.parse("2/29/2024"), (Date{2024, 2, 29}));
    EXPECT_EQ(mdy.parse("2/29/00"), (Date{2000, 2, 29}));
    EXPECT_EQ(mdy.parse(""), Date{});                      // blank: the empty date
    EXPECT_EQ(mdy.parse("   "), Date{});

    for (const char* bad : {"2/31/97", "2/29/2023", "2/29/1900", "13/1/97", "0/5/97", "3/0/97", "3/32/97",
                            "3-5-97", "3.5.97", "3/5/97x", "3//97", "/3/5", "3/5/", "1/2/3/4", "3", "abc",
                            "3/5/10000", "3/5/0000", "00003/5/97", "3 5 97"})
        EXPECT_EQ(mdy.parse(bad), std::nullopt) << bad;
    EXPECT_EQ(dmy.parse("31-02-1997"), std::nullopt);
    EXPECT_EQ(dmy.parse("03/05/1997"), std::nullopt);
}

TEST(ShortDateFormat, OutOfRangeNumberKeepsThePlatformDefault) {
    for (int number : {0, 13, -1}) {
        const ShortDateFormat format(number, false, fixedToday(2026));
        EXPECT_EQ(format.format(kMarch5th1997), "03/05/1997") << number;
        EXPECT_EQ(format.parse("3/5/97"), kMarch5th1997);
        EXPECT_EQ(format.pattern(), "mm/dd/yyyy");
        EXPECT_FALSE(dateFormat(number));
    }
}

TEST(DateFormatCommands, SwitchingFormatsChangesTheShownDates) {
    Settings settings;
    DisplayFormats formats(settings, IntlSettings{}, fixedToday(2026));
    EXPECT_EQ(formats.date().format(kMarch5th1997), "3/5/97");
    const rv::db::DateCodec& codec = formats.date();  // what the table engine holds on to

    EXPECT_FALSE(chooseDateFormat(settings, formats, 1));  // already ticked: nothing to do
    EXPECT_TRUE(chooseDateFormat(settings, formats, 10));
    EXPECT_EQ(settings.dateFormat, 10);
    EXPECT_EQ(codec.format(kMarch5th1997), "5/3/1997");
    EXPECT_FALSE(chooseDateFormat(settings, formats, 13));
    EXPECT_EQ(settings.dateFormat, 10);

    EXPECT_TRUE(toggleLeadingZeros(settings, formats));
    EXPECT_TRUE(settings.dateLeadingZeros);
    EXPECT_EQ(codec.format(kMarch5th1997), "05/03/1997");

    chooseCurrencyFormat(settings, formats, MoneyFormat::Locale);
    chooseNumericFormat(settings, formats, MoneyFormat::Locale);
    EXPECT_EQ(settings.currencyFormat, 2);
    EXPECT_EQ(formats.currencyFormat(), 2);
    EXPECT_EQ(settings.numericFormat, 2);
    EXPECT_EQ(formats.numericFormat(), 2);
}

TEST(NumberFormats, GroupingRuleExamples) {
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {1234567, 0, "1,234,567"},   {1234567.891, 2, "1,234,567.89"}, {-123456, 2, "-123,456.00"},
        {999, 0, "999"},             {-999, 0, "-999"},                {-1000, 0, "-1,000"},
        {1000, 3, "1,000.000"},      {0.5, 0, "1"},                    {-0.001, 2, "0.00"},
        {2.675, 2, "2.68"},          {9.995, 2, "10.00"},              {-2.5, 0, "-3"},
        {123456789012.0, 2, "123,456,789,012.00"},                     {1e20, 0, "100,000,000,000,000,000,000"},
    };
    for (const auto& c : cases) EXPECT_EQ(groupedNumber(1, c.decimals, c.value), c.text) << c.value;
    EXPECT_EQ(groupDigits("-123456.00", 2, ','), "-123,456.00");  // separator after "-" removed
    EXPECT_EQ(groupDigits("1234567,50", 2, '.'), "1.234.567,50");
}

TEST(NumberFormats, UsAndLocaleSettings) {
    Settings settings;
    DisplayFormats us(settings, IntlSettings{',', '.', 2});
    EXPECT_EQ(us.formatGroupedNumber(10, 0, 1234), "     1,234");
    EXPECT_EQ(us.formatNumber(1, 0, 1234567), "1234567");
    EXPECT_EQ(us.formatNumber(10, 2, 12.5), "     12.50");
    EXPECT_EQ(us.formatCurrency(1, 1234567.5), "1,234,567.50");
    EXPECT_EQ(us.formatCurrency(14, -5), "         -5.00");

    settings.numericFormat = settings.currencyFormat = 2;
    DisplayFormats european(settings, IntlSettings{',', '.', 2});
    EXPECT_EQ(european.formatCurrency(1, 1234567.5), "1.234.567,50");
    EXPECT_EQ(european.formatCurrency(1, -123456), "-123.456,00");
    EXPECT_EQ(european.formatNumber(1, 0, 1234567), "1234567");  // never grouped
    EXPECT_EQ(european.formatNumber(8, 2, 1234.5), " 1234,50");
    EXPECT_EQ(european.formatGroupedNumber(12, 1, 1234567.25), " 1.234.567,3");

    DisplayFormats noMoneyDecimals(settings, IntlSettings{'.', ',', 0});
    EXPECT_EQ(noMoneyDecimals.formatCurrency(1, 1234567.5), "1,234,568");

    DisplayFormats spaced(settings, intlSettingsFrom(".", "", 2, true));
    EXPECT_EQ(spaced.formatGroupedNumber(1, 0, 1234567), "1 234 567");
}

TEST(NumberFormats, ResultsStopAt255Characters) {
    EXPECT_EQ(fixedNumber(300, 0, 1).size(), 255u);
    EXPECT_EQ(DisplayFormats().formatCurrency(400, 1).size(), 255u);
    EXPECT_EQ(fixedNumber(0, 2, 1.5), "1.50");
}

TEST(TextOperations, Examples) {
    EXPECT_EQ(trim("  a b  "), "a b");
    EXPECT_EQ(trim("\ta "), "\ta");  // spaces only
    EXPECT_EQ(trim("   "), "");
    EXPECT_EQ(stripChar("  1,234,5  ", 5, ','), "1234");  // trimmed, cut to 5, then stripped
    EXPECT_EQ(stripCommas("1,234,567.00", 20), "1234567.00");
    EXPECT_EQ(stripChar("$12", 0, '$'), "");
    EXPECT_EQ(padRight("ab", 5), "ab   ");
    EXPECT_EQ(padLeft("ab", 5), "   ab");
    EXPECT_EQ(padRight("abcdef", 3), "abcdef");
    EXPECT_EQ(padLeft("abcdef", 3), "abcdef");
    EXPECT_EQ(repeatChar('-', 3), "---");
    EXPECT_EQ(repeatChar('-', 0), "");
    EXPECT_EQ(repeatChar('-', -2), "");
}

TEST(IntlSettings, LocaleValuesBecomeSeparators) {
    struct Case {
        const char* decimal;
        const char* thousands;
        int digits;
        bool utf8;
        IntlSettings expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, -1, true, {'.', ',', 2}},        // unavailable: the defaults
        {",", ".", 2, true, {',', '.', 2}},                 // German
        {"", "", 0, true, {' ', ' ', 0}},                   // empty values: spaces
        {",", "\xE2\x80\xAF", 2, true, {',', ' ', 2}},     // French: narrow no-break space
        {",", "\xC2\xA0", 2, true, {',', '\xA0', 2}},      // no-break space has a byte
        {".", "\xE2\x80\x99", 2, true, {'.', '\x92', 2}},  // Swiss apostrophe
        {",", "\xA0", 3, false, {',', '\xA0', 3}},         // an 8-bit locale
        {"\xD9\xAB", ",", 127, true, {'.', ',', 2}},        // no Windows-1252 decimal; CHAR_MAX digits
    };
    for (const auto& c : cases) EXPECT_EQ(intlSettingsFrom(c.decimal, c.thousands, c.digits, c.utf8), c.expected);
}

TEST(IntlSettings, TheCLocaleGivesTheDefaults) {
    for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
        ScopedEnv all("LC_ALL", std::string(name));
        EXPECT_EQ(readIntlSettings(), IntlSettings{}) << name;
    }
    ScopedEnv all("LC_ALL", std::nullopt);
    ScopedEnv numeric("LC_NUMERIC", std::nullopt);
    ScopedEnv monetary("LC_MONETARY", std::nullopt);
    ScopedEnv lang("LANG", std::string("xx_NOWHERE.UTF-8"));  // not installed
    EXPECT_EQ(readIntlSettings(), IntlSettings{});
}

TEST(DisplayFormatsFromFile, TheCliGetsTheDateFormatOfTheProgramFile) {
    TempDir dir;
    writeBytes(dir / "RVLVID.INI", "[Misc]\r\nDate Format=10\r\nDate Leading Zeros=Yes\r\nNumeric Format=2\r\n");
    const DisplayFormats formats = loadDisplayFormats(dir / "RVLVID.INI");
    EXPECT_EQ(formats.date().format(kMarch5th1997), "05/03/1997");
    EXPECT_EQ(formats.date().parse("05/03/1997"), kMarch5th1997);
    EXPECT_EQ(formats.numericFormat(), 2);
    EXPECT_EQ(formats.currencyFormat(), 1);
    EXPECT_EQ(loadDisplayFormats(dir / "MISSING.INI").date().format(kMarch5th1997), "3/5/97");
}

}  // namespace
}  // namespace rv::app
