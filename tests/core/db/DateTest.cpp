#include <gtest/gtest.h>

#include "core/db/Date.h"

using namespace rv::db;

TEST(Date, CalendarRulesAndStoredForm) {
    EXPECT_TRUE((Date{2000, 2, 29}).isValid());
    EXPECT_FALSE((Date{1900, 2, 29}).isValid());
    EXPECT_TRUE((Date{2024, 2, 29}).isValid());
    EXPECT_FALSE((Date{1999, 4, 31}).isValid());
    EXPECT_FALSE((Date{1999, 13, 1}).isValid());
    EXPECT_FALSE((Date{10000, 1, 1}).isValid());
    EXPECT_EQ((Date{1997, 3, 5}).dtos(), "19970305");
    EXPECT_EQ(Date{}.dtos(), "        ");
    EXPECT_EQ(Date::fromDtos("19970305"), (Date{1997, 3, 5}));
    EXPECT_EQ(Date::fromDtos("        "), Date{});
    EXPECT_EQ(Date::fromDtos(""), Date{});
    EXPECT_EQ(Date::fromDtos("19970230"), std::nullopt);
    EXPECT_EQ(Date::fromDtos("1997035"), std::nullopt);
    EXPECT_EQ(Date::fromDtos("1997-3-5"), std::nullopt);
}

TEST(Date, DefaultCodecIsMonthDayFourDigitYear) {
    const DateCodec& c = defaultDateCodec();
    EXPECT_EQ(c.format(Date{1997, 3, 5}), "03/05/1997");
    EXPECT_EQ(c.format(Date{}), "");
    EXPECT_EQ(c.parse("3/5/1997"), (Date{1997, 3, 5}));
    EXPECT_EQ(c.parse(" 12/31/2001 "), (Date{2001, 12, 31}));
    for (const char* bad : {"", "13/01/1997", "02/30/1997", "3/5/97", "3-5-1997", "3/5/19970", "a/b/cdef", "3/5/1997x"})
        EXPECT_EQ(c.parse(bad), std::nullopt) << bad;
}
