#pragma once
// The drawing surface of the report and label renderers, and the page geometry they share.
//
// A PageEngine draws one document page by page: text at a position in the current font,
// lines, and (for the text file engine) whole text lines.  Coordinates are inches from the
// top-left corner of the page as printed (orientation applied).  The engines are:
//  - TextFileEngine (core/reports/TextFileEngine.h): report text files;
//  - in src/print: PDF files, the system printer and the in-memory page store of the preview.
//
// PageCanvas holds what the renderers lay out with: margins, a band (section) with a top and
// a bottom, a cursor moving line by line at the height of the current font, the lines left in
// the band, and tab cells (start, width, justification, an inner margin of 0.02 inch on each
// side, box lines).  It is the same for every engine, so the text file paginates exactly as
// printing does and tests can check the geometry without Qt.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/reports/ReportDefinition.h"

namespace rv::reports {

struct PageSize {
    double width = 8.5;   // inches
    double height = 11.0;
    friend bool operator==(const PageSize&, const PageSize&) = default;
};
inline constexpr PageSize kLetter{8.5, 11.0};
inline constexpr PageSize kA4{210.0 / 25.4, 297.0 / 25.4};

// The paper size of the user's locale (LC_PAPER): Letter in the U.S. and Canada and
// wherever the locale says so, A4 elsewhere.
PageSize localePaperSize();
PageSize oriented(PageSize portrait, bool landscape);

// The line height of a font: its size times the ascent plus descent of the face, per em.
// Every engine paginates with this height so that all output modes break pages alike.
// "Arial", "Courier New" and "Times New Roman" (and their metric-compatible Liberation faces)
// use their own metrics, other faces 1.15 em.
double lineHeightInches(const ReportFontSpec& font);

enum class Justify { Left, Center, Right };
enum BoxLine : unsigned { kBoxNone = 0, kBoxLeft = 1, kBoxRight = 2, kBoxTop = 4, kBoxBottom = 8, kBoxAll = 15 };

class PageEngine {
public:
    virtual ~PageEngine() = default;
    virtual PageSize pageSize() const = 0;
    // The text file engine: the renderers build text lines (writeTextLine) instead of drawing.
    virtual bool writesText() const { return false; }

    virtual void beginPage() = 0;
    virtual void endPage() = 0;
    virtual void finish() = 0;   // after the last page: the document is complete
    virtual void abort() = 0;    // cancelled or failed run: nothing of it is kept
    virtual int pageCount() const = 0;  // pages begun so far

    virtual void setFont(const ReportFontSpec& font) = 0;
    virtual double textWidth(std::string_view text) const = 0;  // current font, inches
    // Text (Windows-1252) with its left edge at x on the line whose top is at `lineTop` and
    // whose height is the current font's line height.
    virtual void drawText(double x, double lineTop, std::string_view text) = 0;
    virtual void drawLine(double x1, double y1, double x2, double y2) = 0;
    virtual void writeTextLine(std::string_view /*text*/) {}
};

struct TabCell {
    std::optional<double> start;  // absent: right after the previous cell (first: left margin)
    double width = 0;             // inches; 0 or less takes no room
    Justify justify = Justify::Left;
    unsigned boxes = kBoxNone;
};

class PageCanvas {
public:
    static constexpr double kCellMargin = 0.02;  // inches, on each side of a cell's text

    explicit PageCanvas(PageEngine& engine) : engine_(engine) {}
    PageEngine& engine() { return engine_; }
    PageSize pageSize() const { return engine_.pageSize(); }

    void setMargins(double top, double bottom, double left, double right);
    double leftMargin() const { return left_; }
    double rightMargin() const { return right_; }
    double topMargin() const { return top_; }
    double bottomMargin() const { return bottom_; }
    double printableWidth() const { return pageSize().width - left_ - right_; }

    // The band the cursor moves in (inches from the top of the page).
    void setBand(double top, double bottom) { bandTop_ = top; bandBottom_ = bottom; }
    double bandTop() const { return bandTop_; }
    double bandBottom() const { return bandBottom_; }
    void gotoTop() { y_ = bandTop_; x_ = left_; }
    void gotoXY(double x, double y) { x_ = x; y_ = y; }
    double x() const { return x_; }
    double y() const { return y_; }  // top of the current line
    void newLine() { y_ += lineHeight_; x_ = left_; }
    // Whole lines of the current font that still fit between the cursor and the band bottom.
    int linesLeft() const;

    void setFont(const ReportFontSpec& font);
    const ReportFontSpec& font() const { return font_; }
    double lineHeight() const { return lineHeight_; }
    double textWidth(std::string_view text) const { return engine_.textWidth(text); }
    // The text cut from its end until it is no wider than `width` (may become empty).
    std::string cutToWidth(std::string_view text, double width) const;

    // Text on the current line: centred on x; or left, centred, right in the printable width
    // on the band's last line (the footer).
    void printCenter(std::string_view text, double x);
    void printOnLastLine(std::string_view text, Justify justify);

    void clearCells() { cells_.clear(); }
    void addCell(const TabCell& cell) { cells_.push_back(cell); }
    const std::vector<TabCell>& cells() const { return cells_; }
    // The left edge and width of cell i as placed on the page.
    double cellStart(std::size_t i) const;
    // One line of cells: for each cell that has a text, its box lines for the current line
    // and the text cut to the cell's usable width, placed by its justification; then a new
    // line.  Cells past the texts are not drawn.
    void printCells(const std::vector<std::string>& texts);

    // Text file engine: the line is written and the cursor moves one line down, so each text
    // line takes the room of one printed line of the current font.
    void writeLine(std::string_view text);

private:
    PageEngine& engine_;
    double top_ = 0.5, bottom_ = 0.5, left_ = 0.5, right_ = 0.5;
    double bandTop_ = 0, bandBottom_ = 0;
    double x_ = 0.5, y_ = 0;
    ReportFontSpec font_;
    double lineHeight_ = 10.0 / 72.0;
    std::vector<TabCell> cells_;
};

}  // namespace rv::reports
