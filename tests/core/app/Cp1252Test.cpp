#include <gtest/gtest.h>

#include "core/app/Cp1252.h"

using namespace rv::app;

TEST(Cp1252, RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += char(b);
    auto back = utf8ToCp1252(cp1252ToUtf8(all));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(Cp1252, ConvertsAccentsAndPunctuation) {
    struct Case { const char* utf8; const char* cp1252; };
    const Case cases[] = {
        {"Am\xC3\xA9lie", "Am\xE9lie"},
        {"\xE2\x82\xAC 10", "\x80 10"},            // euro sign
        {"\xE2\x80\x9CQuoted\xE2\x80\x9D", "\x93Quoted\x94"},
        {"Stra\xC3\x9F" "e", "Stra\xDF" "e"},
        {"", ""},
    };
    for (const auto& c : cases) {
        auto got = utf8ToCp1252(c.utf8);
        ASSERT_TRUE(got) << c.utf8;
        EXPECT_EQ(*got, c.cp1252);
        EXPECT_EQ(cp1252ToUtf8(c.cp1252), c.utf8);
    }
}

TEST(Cp1252, RefusesCharactersWithoutAForm) {
    struct Case { const char* utf8; const char* bad; };
    const Case cases[] = {
        {"Tokyo \xE6\x9D\xB1\xE4\xBA\xAC", "\xE6\x9D\xB1"},  // CJK
        {"smile \xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},     // emoji
        {"broken \xC3", "\xC3"},                              // truncated sequence
        {"bad \xFF byte", "\xFF"},
        {"overlong \xE0\x81\x81", "\xE0\x81\x81"},          // 'A' in three bytes
    };
    for (const auto& c : cases) {
        std::string bad;
        EXPECT_FALSE(utf8ToCp1252(c.utf8, &bad).has_value()) << c.utf8;
        EXPECT_EQ(bad, c.bad);
    }
    EXPECT_NE(unencodableMessage("\xE6\x9D\xB1").find("\xE6\x9D\xB1"), std::string::npos);
}
