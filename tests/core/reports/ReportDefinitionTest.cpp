// The 20,622-byte definition layout, checked at its offsets; the built-in and new reports;
// the repair of values another program wrote.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "core/reports/ReportDefinition.h"

namespace rv::reports {
namespace {

int16_t i16At(const std::string& b, size_t at) {
    int16_t v;
    std::memcpy(&v, b.data() + at, 2);
    return v;
}
double f64At(const std::string& b, size_t at) {
    double v;
    std::memcpy(&v, b.data() + at, 8);
    return v;
}
std::string strAt(const std::string& b, size_t at) { return b.substr(at + 1, static_cast<unsigned char>(b[at])); }
void putI16(std::string& b, size_t at, int16_t v) { std::memcpy(b.data() + at, &v, 2); }

constexpr size_t kLine1 = 2122;
size_t itemAt(size_t line, size_t item) { return kLine1 + (line - 1) * 1500 + (item - 1) * 75; }
size_t totalsItemAt(size_t item) { return 345 + (item - 1) * 75; }

TEST(ReportLayout, BuiltInTitleAndMediaReportAtItsOffsets) {
    const std::string b = encode(builtInReports().at(0));
    ASSERT_EQ(b.size(), kDefinitionSize);
    EXPECT_EQ(strAt(b, 0), "Title and Media Number Report");
    EXPECT_EQ(i16At(b, 31), 90);
    for (size_t f = 0; f < 5; ++f) {
        const size_t at = 33 + f * 61;
        EXPECT_EQ(strAt(b, at), "Arial");
        EXPECT_EQ(i16At(b, at + 51), 8);
        for (size_t k = 53; k < 61; ++k) EXPECT_EQ(b[at + k], 0) << "font " << f << " byte " << k;
    }
    EXPECT_EQ(b[338], 1);  // column headers
    EXPECT_EQ(b[339], 1);  // page numbers
    EXPECT_EQ(b[340], 0);  // landscape
    EXPECT_EQ(b[341], 1);  // date on pages
    EXPECT_EQ(b[342], 1);  // use totals
    EXPECT_EQ(i16At(b, 343), 1);
    for (size_t at : {1845u, 1853u, 1861u, 1869u}) EXPECT_EQ(f64At(b, at), 0.5);
    EXPECT_EQ(b[1877], 1);
    EXPECT_EQ(b[1878], 1);
    for (size_t t = 0; t < 3; ++t) EXPECT_EQ(b[1879 + t * 81], 0);
    // Line 1: MediaNum (19) 12; Title (1) 64; Year (11) 4; then width 0.
    EXPECT_EQ(strAt(b, itemAt(1, 1)), "MediaNum");
    EXPECT_EQ(uint8_t(b[itemAt(1, 1) + 31]), 19);
    EXPECT_EQ(i16At(b, itemAt(1, 1) + 32), 12);
    EXPECT_EQ(strAt(b, itemAt(1, 2)), "Title");
    EXPECT_EQ(uint8_t(b[itemAt(1, 2) + 31]), 1);
    EXPECT_EQ(i16At(b, itemAt(1, 2) + 32), 64);
    EXPECT_EQ(strAt(b, itemAt(1, 3)), "Year");
    EXPECT_EQ(uint8_t(b[itemAt(1, 3) + 31]), 11);
    EXPECT_EQ(i16At(b, itemAt(1, 4) + 32), 0);
    EXPECT_EQ(strAt(b, itemAt(1, 4)), "<FILLER>");
    // Lines 2..12 fresh: item 1 a filler of width 150, the rest width 0.
    for (size_t l = 2; l <= 12; ++l) {
        EXPECT_EQ(strAt(b, itemAt(l, 1)), "<FILLER>");
        EXPECT_EQ(i16At(b, itemAt(l, 1) + 32), 150);
        EXPECT_EQ(i16At(b, itemAt(l, 2) + 32), 0);
    }
    EXPECT_EQ(b[20122], 0);  // no grouping in this report
    EXPECT_EQ(b[20123], 0);
    for (size_t at = 20124; at < kDefinitionSize; ++at) ASSERT_EQ(b[at], 0) << at;
}

TEST(ReportLayout, BuiltInTotalsLine) {
    const std::string b = encode(builtInReports().at(3));
    struct Row { size_t item; const char* kind; int field; int width; const char* label; };
    const Row rows[] = {
        {1, "<LABEL>", 0, 14, "Quantity:"},        {2, "<FILLER>", 0, 1, ""},
        {3, "Quantity", 1, 12, ""},                {4, "<LABEL>", 0, 14, "List Price:"},
        {5, "<FILLER>", 0, 1, ""},                 {6, "List Price", 2, 12, ""},
        {7, "<LABEL>", 0, 18, "Purchase Price:"},  {8, "<FILLER>", 0, 1, ""},
        {9, "Purchase Price", 3, 12, ""},          {10, "<FILLER>", 0, 0, ""},
        {12, "<FILLER>", 0, 0, ""},                {13, "<FILLER>", 0, 60, ""},
        {14, "<FILLER>", 0, 0, ""},
    };
    for (const Row& r : rows) {
        const size_t at = totalsItemAt(r.item);
        EXPECT_EQ(strAt(b, at), r.kind) << "item " << r.item;
        EXPECT_EQ(uint8_t(b[at + 31]), r.field) << "item " << r.item;
        EXPECT_EQ(i16At(b, at + 32), r.width) << "item " << r.item;
        EXPECT_EQ(strAt(b, at + 34), r.label) << "item " << r.item;
    }
    EXPECT_EQ(usedItems(builtInReports()[3].totals), 9);
}

TEST(ReportLayout, BuiltInTable) {
    struct Row { const char* name; int chars, lines; bool headers, boxes, group; };
    const Row rows[] = {
        {"Title and Media Number Report", 90, 1, true, true, false}, {"Ratings Report", 90, 1, true, true, true},
        {"Star Report", 120, 3, false, false, true},                 {"Oscar Report", 120, 4, false, false, true},
        {"Large Report", 120, 12, false, false, true},               {"Statistic/Summary Report", 90, 0, false, false, true},
    };
    const auto list = builtInReports();
    ASSERT_EQ(list.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        const std::string b = encode(list[i]);
        EXPECT_EQ(strAt(b, 0), rows[i].name);
        EXPECT_EQ(i16At(b, 31), rows[i].chars) << rows[i].name;
        EXPECT_EQ(i16At(b, 343), rows[i].lines) << rows[i].name;
        EXPECT_EQ(b[338], rows[i].headers) << rows[i].name;
        EXPECT_EQ(b[1877], rows[i].boxes) << rows[i].name;
        EXPECT_EQ(b[1878], rows[i].boxes) << rows[i].name;
        EXPECT_EQ(b[20122], rows[i].group) << rows[i].name;
        EXPECT_EQ(decode(b), list[i]) << rows[i].name;
        EXPECT_EQ(encode(decode(b)), b) << rows[i].name;
    }
}

TEST(ReportLayout, LargeReportLines) {
    const std::string b = encode(builtInReports().at(4));
    // Line 1 as the Oscar Report's: "Media Number:" of width 13.
    EXPECT_EQ(strAt(b, itemAt(1, 1) + 34), "Media Number:");
    EXPECT_EQ(i16At(b, itemAt(1, 1) + 32), 13);
    // Line 5, item 18: LaserForma (27) 12; line 9 item 3: Descriptio (23) 110.
    EXPECT_EQ(strAt(b, itemAt(5, 18)), "LaserForma");
    EXPECT_EQ(uint8_t(b[itemAt(5, 18) + 31]), 27);
    EXPECT_EQ(i16At(b, itemAt(5, 18) + 32), 12);
    EXPECT_EQ(i16At(b, itemAt(5, 19) + 32), 0);
    EXPECT_EQ(strAt(b, itemAt(9, 3)), "Descriptio");
    EXPECT_EQ(uint8_t(b[itemAt(9, 3) + 31]), 23);
    EXPECT_EQ(i16At(b, itemAt(9, 3) + 32), 110);
    EXPECT_EQ(strAt(b, itemAt(4, 7) + 34), "Personal Rating:");
    EXPECT_EQ(i16At(b, itemAt(4, 7) + 32), 18);
    // Line 12 fresh.
    EXPECT_EQ(i16At(b, itemAt(12, 1) + 32), 150);
    // Star Report line 1: "Media Number:" of width 16; line 3 fresh.
    const std::string star = encode(builtInReports().at(2));
    EXPECT_EQ(i16At(star, itemAt(1, 1) + 32), 16);
    EXPECT_EQ(strAt(star, itemAt(2, 9)), "Star4");
    EXPECT_EQ(i16At(star, itemAt(3, 1) + 32), 150);
}

TEST(ReportLayout, NewReportValues) {
    const std::string b = encode(newReportDefinition());
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(i16At(b, 31), 90);
    const bool bold[5] = {true, true, false, false, true};
    for (size_t f = 0; f < 5; ++f) {
        EXPECT_EQ(strAt(b, 33 + f * 61), "Courier New");
        EXPECT_EQ(i16At(b, 33 + f * 61 + 51), 10);
        EXPECT_EQ(b[33 + f * 61 + 53], bold[f]) << f;
        EXPECT_EQ(b[33 + f * 61 + 54], 0);
    }
    EXPECT_EQ(std::string(b.data() + 338, 5), std::string("\1\1\0\1\1", 5));
    EXPECT_EQ(i16At(b, 343), 1);
    EXPECT_EQ(b[1877], 1);
    EXPECT_EQ(b[1878], 1);
    EXPECT_EQ(b[20122], 1);
    EXPECT_EQ(b[20123], 0);
    EXPECT_EQ(i16At(b, totalsItemAt(1) + 32), 150);
}

TEST(ReportLayout, RoomAfterAStringIsIgnoredOnReading) {
    std::string b = encode(builtInReports().at(0));
    b[30] = 'X';  // the last byte of the name's room, past its length
    b[itemAt(2, 1) + 31] = 77;  // the field byte of a filler
    EXPECT_EQ(decode(b), builtInReports().at(0));
}

TEST(ReportLayout, ForeignValuesAreRepaired) {
    const std::string good = encode(builtInReports().at(0));
    struct Case {
        const char* what;
        void (*damage)(std::string&);
        bool (*check)(const ReportDefinition&);
    };
    const Case cases[] = {
        {"characters per line 100", [](std::string& b) { putI16(b, 31, 100); },
         [](const ReportDefinition& d) { return d.charsPerLine == 90; }},
        {"characters per line 130", [](std::string& b) { putI16(b, 31, 130); },
         [](const ReportDefinition& d) { return d.charsPerLine == 120; }},
        {"characters per line -5", [](std::string& b) { putI16(b, 31, -5); },
         [](const ReportDefinition& d) { return d.charsPerLine == 90; }},
        {"lines 13", [](std::string& b) { putI16(b, 343, 13); },
         [](const ReportDefinition& d) { return d.lineCount == 12; }},
        {"lines -1", [](std::string& b) { putI16(b, 343, -1); },
         [](const ReportDefinition& d) { return d.lineCount == 0; }},
        {"name length 255", [](std::string& b) { b[0] = char(255); },
         [](const ReportDefinition& d) { return d.name.size() == 30; }},
        {"field number 0 of Title", [](std::string& b) { b[itemAt(1, 2) + 31] = 0; },
         [](const ReportDefinition& d) { return d.lines[0][1].field == 1; }},
        {"field 99 named nothing",
         [](std::string& b) { b[itemAt(1, 2) + 31] = 99; b[itemAt(1, 2)] = 3; std::memcpy(&b[itemAt(1, 2) + 1], "Foo", 3); },
         [](const ReportDefinition& d) { return d.lines[0][1].isFiller() && d.lines[0][1].width == 64; }},
        {"totals field 9", [](std::string& b) { b[totalsItemAt(6) + 31] = 9; },
         [](const ReportDefinition& d) { return d.totals[5].field == 2; }},
        {"width 30000", [](std::string& b) { putI16(b, itemAt(1, 2) + 32, 30000); },
         [](const ReportDefinition& d) { return d.lines[0][1].width == 255; }},
        {"margin NaN", [](std::string& b) { double v = std::numeric_limits<double>::quiet_NaN(); std::memcpy(&b[1853], &v, 8); },
         [](const ReportDefinition& d) { return d.bottomMargin == 0.5; }},
        {"margin -3", [](std::string& b) { double v = -3; std::memcpy(&b[1861], &v, 8); },
         [](const ReportDefinition& d) { return d.leftMargin == 0.5; }},
        {"font size 0", [](std::string& b) { putI16(b, 33 + 2 * 61 + 51, 0); },
         [](const ReportDefinition& d) { return d.fonts[BodyFont].size == 10; }},
    };
    for (const Case& c : cases) {
        std::string b = good;
        c.damage(b);
        DecodeNotes notes;
        const ReportDefinition d = decode(b, &notes);
        EXPECT_TRUE(c.check(d)) << c.what;
        EXPECT_FALSE(notes.clean()) << c.what;
    }
    DecodeNotes notes;
    decode(good, &notes);
    EXPECT_TRUE(notes.clean());
    EXPECT_THROW(decode(good.substr(0, 100)), std::invalid_argument);
}

}  // namespace
}  // namespace rv::reports
