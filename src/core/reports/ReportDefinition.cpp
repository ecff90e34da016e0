#include "core/reports/ReportDefinition.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "core/db/FieldCatalog.h"

namespace rv::reports {

static_assert(std::endian::native == std::endian::little, "the byte layout is written for little-endian hosts");

namespace {

// Offsets of the definition record.
constexpr std::size_t kNameAt = 0;
constexpr std::size_t kCharsAt = 31;
constexpr std::size_t kFontsAt = 33;  // five font blocks of 61 bytes
constexpr std::size_t kColumnHeadersAt = 338;
constexpr std::size_t kPageNumbersAt = 339;
constexpr std::size_t kLandscapeAt = 340;
constexpr std::size_t kDateOnPagesAt = 341;
constexpr std::size_t kUseTotalsAt = 342;
constexpr std::size_t kLineCountAt = 343;
constexpr std::size_t kTotalsAt = 345;
constexpr std::size_t kTopMarginAt = 1845;
constexpr std::size_t kBottomMarginAt = 1853;
constexpr std::size_t kLeftMarginAt = 1861;
constexpr std::size_t kRightMarginAt = 1869;
constexpr std::size_t kVerticalLinesAt = 1877;
constexpr std::size_t kHorizontalLinesAt = 1878;
constexpr std::size_t kTitlesAt = 1879;  // three string[80]
constexpr std::size_t kLinesAt = 2122;
constexpr std::size_t kGroup1At = 20122;
constexpr std::size_t kGroup2At = 20123;
constexpr std::size_t kLineSize = kItemSize * kItemsPerLine;

constexpr int kMaxWidth = 255;

template <class T>
T readLE(std::string_view b, std::size_t at) {
    T v;
    std::memcpy(&v, b.data() + at, sizeof v);
    return v;
}
template <class T>
void writeLE(char* out, T v) {
    std::memcpy(out, &v, sizeof v);
}

bool flag(std::string_view b, std::size_t at) { return b[at] != 0; }

ReportFontSpec decodeFont(std::string_view b) {
    ReportFontSpec f;
    f.name = readPascalString(b, 0, 50);
    f.size = readLE<std::int16_t>(b, 51);
    f.bold = flag(b, 53);
    f.italic = flag(b, 54);
    f.underline = flag(b, 55);
    f.strikeout = flag(b, 56);
    f.color = readLE<std::int32_t>(b, 57);
    return f;
}

void encodeFont(const ReportFontSpec& f, char* out) {
    writePascalString(out, 50, f.name);
    writeLE(out + 51, f.size);
    out[53] = f.bold;
    out[54] = f.italic;
    out[55] = f.underline;
    out[56] = f.strikeout;
    writeLE(out + 57, f.color);
}

ReportItem field(std::string_view name, int number, int width) {
    ReportItem i;
    i.kind = std::string(name);
    i.field = static_cast<std::uint8_t>(number);
    i.width = static_cast<std::int16_t>(width);
    return i;
}
ReportItem label(std::string_view text, int width) {
    ReportItem i;
    i.kind = std::string(kLabel);
    i.width = static_cast<std::int16_t>(width);
    i.label = std::string(text);
    return i;
}
ReportItem filler(int width) {
    ReportItem i;
    i.width = static_cast<std::int16_t>(width);
    return i;
}

ReportLine lineOf(std::initializer_list<ReportItem> items) {
    ReportLine line = freshLine();
    line[0].width = 0;
    std::size_t k = 0;
    for (const auto& item : items) line.at(k++) = item;
    return line;
}

ReportLine builtInTotals() {
    ReportLine t = lineOf({label("Quantity:", 14), filler(1), field("Quantity", 1, 12), label("List Price:", 14),
                           filler(1), field("List Price", 2, 12), label("Purchase Price:", 18), filler(1),
                           field("Purchase Price", 3, 12)});
    t[12] = filler(60);  // item 13: stored, never printed (the line ends after item 9)
    return t;
}

ReportLine mediaTitleYear(int mediaLabelWidth) {
    return lineOf({label("Media Number:", mediaLabelWidth), filler(1), field("MediaNum", 19, 10), label("Title:", 10),
                   filler(1), field("Title", 1, 60), label("Year:", 8), filler(1), field("Year", 11, 4)});
}
ReportLine stars() {
    return lineOf({label("Stars:", 6), filler(1), field("Star1", 2, 25), filler(4), field("Star2", 3, 25), filler(4),
                   field("Star3", 4, 25), filler(4), field("Star4", 5, 25)});
}
ReportLine oscarNom() { return lineOf({label("Oscar Nom:", 10), filler(1), field("OscarNom", 29, 109)}); }
ReportLine oscarAward() { return lineOf({label("Oscar Award:", 12), filler(1), field("OscarAward", 30, 107)}); }

ReportDefinition builtInTemplate() {
    ReportDefinition d;
    d.charsPerLine = 120;
    for (auto& f : d.fonts) f = ReportFontSpec{"Arial", 8, false, false, false, false, 0};
    d.columnHeaders = d.pageNumbers = d.dateOnPages = d.useTotals = true;
    d.landscape = false;
    d.lineCount = 1;
    d.verticalLines = d.horizontalLines = false;
    d.totals = builtInTotals();
    d.groupLevel1 = true;
    d.groupLevel2 = false;
    return d;
}

// The nearest of 90, 120, 150.
std::int16_t nearestCharsPerLine(int v) {
    if (v < 105) return 90;
    if (v < 135) return 120;
    return 150;
}

void repairLine(ReportLine& line, bool totalsLine, const std::string& where, DecodeNotes& notes) {
    const int used = usedItems(line);
    for (int k = 0; k < kItemsPerLine; ++k) {
        ReportItem& item = line[static_cast<std::size_t>(k)];
        if (item.width > kMaxWidth) {
            notes.repairs.push_back(where + " item " + std::to_string(k + 1) + ": width " + std::to_string(item.width) +
                                    " cut to " + std::to_string(kMaxWidth));
            item.width = kMaxWidth;
        }
        if (k >= used || !item.isField()) continue;
        const int lo = 1, hi = totalsLine ? 3 : rv::db::kFieldCount;
        if (item.field >= lo && item.field <= hi) continue;
        int number = 0;
        if (totalsLine)
            number = totalNumberForName(item.kind);
        else if (auto n = rv::db::fieldNumber(item.kind))
            number = *n;
        std::string text = where + " item " + std::to_string(k + 1) + ": field number " + std::to_string(item.field);
        if (number) {
            item.field = static_cast<std::uint8_t>(number);
            notes.repairs.push_back(text + " replaced by " + std::to_string(number) + " from its name");
        } else {
            item.kind = std::string(kFiller);
            item.field = 0;
            notes.repairs.push_back(text + " names no field; printed as empty space");
        }
    }
}

}  // namespace

ReportLine freshLine() {
    ReportLine line;
    line[0].width = 150;
    return line;
}

int usedItems(const ReportLine& line) {
    int n = 0;
    while (n < kItemsPerLine && line[static_cast<std::size_t>(n)].width >= 1) ++n;
    return n;
}

ReportDefinition::ReportDefinition() {
    for (auto& l : lines) l = freshLine();
    fonts[TitleFont].bold = fonts[HeaderFont].bold = fonts[FootnoteFont].bold = true;
}

ReportDefinition newReportDefinition() { return ReportDefinition(); }

std::vector<ReportDefinition> builtInReports() {
    std::vector<ReportDefinition> list;
    auto add = [&](std::string_view name, int chars, int lines, bool headers, bool boxes, bool group) -> ReportDefinition& {
        ReportDefinition d = builtInTemplate();
        d.name = std::string(name);
        d.charsPerLine = static_cast<std::int16_t>(chars);
        d.lineCount = static_cast<std::int16_t>(lines);
        d.columnHeaders = headers;
        d.verticalLines = d.horizontalLines = boxes;
        d.groupLevel1 = group;
        list.push_back(d);
        return list.back();
    };
    add("Title and Media Number Report", 90, 1, true, true, false).lines[0] =
        lineOf({field("MediaNum", 19, 12), field("Title", 1, 64), field("Year", 11, 4)});
    add("Ratings Report", 90, 1, true, true, true).lines[0] =
        lineOf({field("Title", 1, 60), field("Rating", 13, 15), field("PersonalRa", 18, 15)});
    {
        auto& d = add("Star Report", 120, 3, false, false, true);
        d.lines[0] = mediaTitleYear(16);
        d.lines[1] = stars();
    }
    {
        auto& d = add("Oscar Report", 120, 4, false, false, true);
        d.lines[0] = mediaTitleYear(13);
        d.lines[1] = oscarNom();
        d.lines[2] = oscarAward();
    }
    {
        auto& d = add("Large Report", 120, 12, false, false, true);
        d.lines[0] = mediaTitleYear(13);
        d.lines[1] = stars();
        d.lines[2] = lineOf({label("Producer:", 9), filler(1), field("Producer", 8, 28), label("Director:", 11), filler(1),
                             field("Director", 9, 28), label("Released By:", 14), filler(1), field("ReleasedBy", 10, 37)});
        d.lines[3] = lineOf({label("Category:", 9), filler(1), field("Category", 14, 20), label("Rating:", 9), filler(1),
                             field("Rating", 13, 15), label("Personal Rating:", 18), filler(1),
                             field("PersonalRa", 18, 15), label("Content:", 10), filler(1), field("Content", 24, 10)});
        d.lines[4] = lineOf({label("Play Time:", 10), filler(1), field("RunTime", 12, 3), label("Picture:", 10), filler(1),
                             field("Picture", 15, 5), label("Sound:", 8), filler(1), field("Sound", 16, 6),
                             label("Format:", 9), filler(1), field("Format", 17, 10), label("Record Speed:", 16),
                             filler(1), field("RecSpeed", 20, 3), label("Laser Format:", 15), filler(1),
                             field("LaserForma", 27, 12)});
        d.lines[5] = lineOf({label("Counter Start:", 14), filler(1), field("CounterSta", 21, 10), label("Counter Stop:", 15),
                             filler(1), field("CounterSto", 22, 10), label("List Price:", 13), filler(1),
                             field("ListPrice", 28, 20)});
        d.lines[6] = lineOf({label("Key Words:", 10), filler(1), field("KeyWords", 26, 80)});
        d.lines[7] = lineOf({label("Miscellaneous:", 14), filler(1), field("Miscellane", 25, 80)});
        d.lines[8] = lineOf({label("Summary:", 8), filler(1), field("Descriptio", 23, 110)});
        d.lines[9] = oscarNom();
        d.lines[10] = oscarAward();
    }
    add("Statistic/Summary Report", 90, 0, false, false, true);
    return list;
}

bool isOldBuiltInName(std::string_view name) {
    static constexpr std::string_view kNames[] = {"Title and Media Number Report", "Ratings Report", "Star Report",
                                                  "Oscar Report", "Complete Report", "Statistic/Summary Report"};
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

int totalNumberForName(std::string_view name) {
    for (int n = 1; n <= 3; ++n)
        if (rv::db::equalsNoCase(name, totalName(n))) return n;
    return 0;
}

std::string_view totalName(int number) {
    switch (number) {
        case kTotalQuantity: return "Quantity";
        case kTotalListPrice: return "List Price";
        case kTotalPurchasePrice: return "Purchase Price";
        default: return "";
    }
}

// ------------------------------------------------------------------ byte layout

std::string readPascalString(std::string_view bytes, std::size_t at, std::size_t room) {
    const std::size_t len = std::min<std::size_t>(static_cast<unsigned char>(bytes[at]), room);
    return std::string(bytes.substr(at + 1, len));
}

void writePascalString(char* out, std::size_t room, std::string_view text) {
    const std::size_t len = std::min(text.size(), room);
    std::memset(out, 0, room + 1);
    out[0] = static_cast<char>(len);
    std::memcpy(out + 1, text.data(), len);
}

ReportItem decodeItem(std::string_view b) {
    ReportItem i;
    i.kind = readPascalString(b, 0, 30);
    i.field = static_cast<std::uint8_t>(b[31]);
    i.width = readLE<std::int16_t>(b, 32);
    i.label = readPascalString(b, 34, 40);
    if (!i.isField()) i.field = 0;  // the byte means nothing for fillers and labels
    return i;
}

void encodeItem(const ReportItem& item, char* out) {
    writePascalString(out, 30, item.kind);
    out[31] = item.isField() ? static_cast<char>(item.field) : 0;
    writeLE(out + 32, item.width);
    writePascalString(out + 34, 40, item.label);
}

std::string encode(const ReportDefinition& d) {
    std::string out(kDefinitionSize, '\0');
    char* p = out.data();
    writePascalString(p + kNameAt, 30, d.name);
    writeLE(p + kCharsAt, d.charsPerLine);
    for (std::size_t f = 0; f < 5; ++f) encodeFont(d.fonts[f], p + kFontsAt + f * kFontSpecSize);
    p[kColumnHeadersAt] = d.columnHeaders;
    p[kPageNumbersAt] = d.pageNumbers;
    p[kLandscapeAt] = d.landscape;
    p[kDateOnPagesAt] = d.dateOnPages;
    p[kUseTotalsAt] = d.useTotals;
    writeLE(p + kLineCountAt, d.lineCount);
    for (std::size_t k = 0; k < kItemsPerLine; ++k) encodeItem(d.totals[k], p + kTotalsAt + k * kItemSize);
    writeLE(p + kTopMarginAt, d.topMargin);
    writeLE(p + kBottomMarginAt, d.bottomMargin);
    writeLE(p + kLeftMarginAt, d.leftMargin);
    writeLE(p + kRightMarginAt, d.rightMargin);
    p[kVerticalLinesAt] = d.verticalLines;
    p[kHorizontalLinesAt] = d.horizontalLines;
    for (std::size_t t = 0; t < 3; ++t) writePascalString(p + kTitlesAt + t * 81, 80, d.titles[t]);
    for (std::size_t l = 0; l < kMaxRecordLines; ++l)
        for (std::size_t k = 0; k < kItemsPerLine; ++k)
            encodeItem(d.lines[l][k], p + kLinesAt + l * kLineSize + k * kItemSize);
    p[kGroup1At] = d.groupLevel1;
    p[kGroup2At] = d.groupLevel2;
    return out;
}

ReportDefinition decode(std::string_view b, DecodeNotes* notesOut) {
    if (b.size() < kDefinitionSize) throw std::invalid_argument("a report definition needs 20622 bytes");
    DecodeNotes notes;
    ReportDefinition d;
    d.name = readPascalString(b, kNameAt, 30);
    if (static_cast<unsigned char>(b[kNameAt]) > 30) notes.repairs.push_back("name length past its room");
    for (std::size_t t = 0; t < 3; ++t)
        if (static_cast<unsigned char>(b[kTitlesAt + t * 81]) > 80) notes.repairs.push_back("title length past its room");
    const int chars = readLE<std::int16_t>(b, kCharsAt);
    d.charsPerLine = nearestCharsPerLine(chars);
    if (d.charsPerLine != chars)
        notes.repairs.push_back("characters per line " + std::to_string(chars) + " read as " +
                                std::to_string(d.charsPerLine));
    for (std::size_t f = 0; f < 5; ++f) {
        d.fonts[f] = decodeFont(b.substr(kFontsAt + f * kFontSpecSize, kFontSpecSize));
        if (d.fonts[f].size < 1 || d.fonts[f].size > 200) {
            notes.repairs.push_back("font size " + std::to_string(d.fonts[f].size) + " read as 10");
            d.fonts[f].size = 10;
        }
    }
    d.columnHeaders = flag(b, kColumnHeadersAt);
    d.pageNumbers = flag(b, kPageNumbersAt);
    d.landscape = flag(b, kLandscapeAt);
    d.dateOnPages = flag(b, kDateOnPagesAt);
    d.useTotals = flag(b, kUseTotalsAt);
    const int lines = readLE<std::int16_t>(b, kLineCountAt);
    d.lineCount = static_cast<std::int16_t>(std::clamp(lines, 0, kMaxRecordLines));
    if (d.lineCount != lines)
        notes.repairs.push_back("number of lines " + std::to_string(lines) + " read as " + std::to_string(d.lineCount));
    for (std::size_t k = 0; k < kItemsPerLine; ++k) d.totals[k] = decodeItem(b.substr(kTotalsAt + k * kItemSize, kItemSize));
    double* margins[] = {&d.topMargin, &d.bottomMargin, &d.leftMargin, &d.rightMargin};
    const std::size_t marginAt[] = {kTopMarginAt, kBottomMarginAt, kLeftMarginAt, kRightMarginAt};
    for (std::size_t m = 0; m < 4; ++m) {
        const double v = readLE<double>(b, marginAt[m]);
        if (std::isfinite(v) && v >= 0 && v <= 20) {
            *margins[m] = v;
        } else {
            *margins[m] = 0.5;
            notes.repairs.push_back("a margin out of range read as 0.5 inch");
        }
    }
    d.verticalLines = flag(b, kVerticalLinesAt);
    d.horizontalLines = flag(b, kHorizontalLinesAt);
    for (std::size_t t = 0; t < 3; ++t) d.titles[t] = readPascalString(b, kTitlesAt + t * 81, 80);
    for (std::size_t l = 0; l < kMaxRecordLines; ++l)
        for (std::size_t k = 0; k < kItemsPerLine; ++k)
            d.lines[l][k] = decodeItem(b.substr(kLinesAt + l * kLineSize + k * kItemSize, kItemSize));
    d.groupLevel1 = flag(b, kGroup1At);
    d.groupLevel2 = flag(b, kGroup2At);

    repairLine(d.totals, true, "totals line", notes);
    for (std::size_t l = 0; l < kMaxRecordLines; ++l)
        repairLine(d.lines[l], false, "line " + std::to_string(l + 1), notes);
    if (notesOut) *notesOut = std::move(notes);
    return d;
}

}  // namespace rv::reports
