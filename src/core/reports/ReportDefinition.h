#pragma once
// Report definitions: the fixed 20,622-byte record of RVLVID.URP, its font and item parts,
// the values of a new report and of the six built-in reports.
//
// Text is Windows-1252 bytes, as stored.  decode() never trusts a file another program
// wrote: string lengths past their room, characters per line, line counts, widths and field
// numbers out of range are brought back into range (see decode()), so the renderer can rely
// on the ranges documented here.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rv::reports {

inline constexpr std::size_t kDefinitionSize = 20622;
inline constexpr std::size_t kFontSpecSize = 61;
inline constexpr std::size_t kItemSize = 75;
inline constexpr int kItemsPerLine = 20;
inline constexpr int kMaxRecordLines = 12;

inline constexpr std::string_view kFiller = "<FILLER>";
inline constexpr std::string_view kLabel = "<LABEL>";

// Total numbers of totals-line field items.
inline constexpr int kTotalQuantity = 1;
inline constexpr int kTotalListPrice = 2;
inline constexpr int kTotalPurchasePrice = 3;

struct ReportFontSpec {
    std::string name = "Courier New";  // at most 50 characters
    std::int16_t size = 10;            // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    std::int32_t color = 0;            // Windows RGB value: red in the low byte
    friend bool operator==(const ReportFontSpec&, const ReportFontSpec&) = default;
};

// One column of a line.
struct ReportItem {
    std::string kind{kFiller};  // "<FILLER>", "<LABEL>" or a field (or total) name; at most 30
    std::uint8_t field = 0;     // field number of a field item (1..40; totals 1..3)
    std::int16_t width = 0;     // characters; below 1 ends the line
    std::string label;          // label text of a "<LABEL>" item, at most 40

    bool isFiller() const { return kind == kFiller; }
    bool isLabel() const { return kind == kLabel; }
    bool isField() const { return !isFiller() && !isLabel(); }
    friend bool operator==(const ReportItem&, const ReportItem&) = default;
};

using ReportLine = std::array<ReportItem, kItemsPerLine>;

// 20 "<FILLER>" items of width 0, item 1 of width 150: an empty line.
ReportLine freshLine();
// The items of a line that print: from item 1 up to the first of width below 1.
int usedItems(const ReportLine& line);

enum FontKind : int { TitleFont = 0, HeaderFont = 1, BodyFont = 2, FourthFont = 3, FootnoteFont = 4 };

struct ReportDefinition {
    std::string name;                      // at most 30
    std::int16_t charsPerLine = 90;        // 90, 120 or 150
    std::array<ReportFontSpec, 5> fonts;   // indexed by FontKind
    bool columnHeaders = true;
    bool pageNumbers = true;
    bool landscape = false;
    bool dateOnPages = true;
    bool useTotals = true;
    std::int16_t lineCount = 1;            // 0..12
    ReportLine totals = freshLine();
    double topMargin = 0.5;
    double bottomMargin = 0.5;
    double leftMargin = 0.5;
    double rightMargin = 0.5;
    bool verticalLines = true;
    bool horizontalLines = true;
    std::array<std::string, 3> titles;     // at most 80 each
    std::array<ReportLine, kMaxRecordLines> lines;
    bool groupLevel1 = true;
    bool groupLevel2 = false;

    ReportDefinition();
    const ReportFontSpec& font(FontKind kind) const { return fonts[static_cast<std::size_t>(kind)]; }
    friend bool operator==(const ReportDefinition&, const ReportDefinition&) = default;
};

// The definition the New Report command starts from.
ReportDefinition newReportDefinition();

// The six built-in reports in file order.
std::vector<ReportDefinition> builtInReports();

// The names the old report file used for its own built-in reports (skipped on conversion).
bool isOldBuiltInName(std::string_view name);

// ------------------------------------------------------------------ byte layout

// The 20,622 bytes of a definition.  Strings longer than their room are cut; the reserved
// bytes and the room after each string are zeros.
std::string encode(const ReportDefinition& def);

// What decode() had to repair in a definition another program wrote.
struct DecodeNotes {
    std::vector<std::string> repairs;  // one text per repaired value, for messages and logs
    bool clean() const { return repairs.empty(); }
};

// Reads one definition from exactly kDefinitionSize bytes (fewer is refused with
// std::invalid_argument).  Repairs instead of trusting the bytes:
//  - a length byte past its room reads as the whole room;
//  - characters per line other than 90/120/150 becomes the nearest of the three;
//  - number of lines outside 0..12 is clamped;
//  - a width above 255 is cut to 255 (a line wider than a text line cannot print);
//  - a record-line field item whose number is outside 1..40 takes the number of the field its
//    name names, else it becomes a filler of the same width; totals items outside 1..3 take the
//    number from their name ("Quantity", "List Price", "Purchase Price"), else become fillers;
//  - margins that are not finite numbers or lie outside 0..20 inches become 0.5;
//  - font sizes outside 1..200 points become 10.
ReportDefinition decode(std::string_view bytes, DecodeNotes* notes = nullptr);

// Item layout shared with the old report file: kind at 0, width at 32, label text at 34.
ReportItem decodeItem(std::string_view bytes75);
void encodeItem(const ReportItem& item, char* out75);

// Length-prefixed string of `room` characters at `at`: the length byte is capped at the room.
std::string readPascalString(std::string_view bytes, std::size_t at, std::size_t room);
void writePascalString(char* out, std::size_t room, std::string_view text);

// The field number a totals item name stands for, 0 when none.
int totalNumberForName(std::string_view name);
std::string_view totalName(int number);

}  // namespace rv::reports
