#include "core/reports/PageEngine.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/db/FieldCatalog.h"

namespace rv::reports {

namespace {

// The locale name that decides LC_PAPER, as the environment gives it.
std::string paperLocaleName() {
    for (const char* var : {"LC_ALL", "LC_PAPER", "LANG"})
        if (const char* v = std::getenv(var); v && *v) return v;
    return "C";
}

}  // namespace

PageSize localePaperSize() {
#ifdef _NL_PAPER_HEIGHT
    if (locale_t loc = ::newlocale(LC_PAPER_MASK, "", static_cast<locale_t>(nullptr))) {
        const auto height = static_cast<int>(reinterpret_cast<std::intptr_t>(::nl_langinfo_l(_NL_PAPER_HEIGHT, loc)));
        const auto width = static_cast<int>(reinterpret_cast<std::intptr_t>(::nl_langinfo_l(_NL_PAPER_WIDTH, loc)));
        ::freelocale(loc);
        if (height == 279 && width == 216) return kLetter;
        if (height > 0 && width > 0) return kA4;
    }
#endif
    // The locale is not installed: its name still tells the country.
    const std::string name = paperLocaleName();
    for (const char* country : {"_US", "_CA", "_PH", "_MX", "_CL", "_CO", "_VE", "_PR"})
        if (name.find(country) != std::string::npos) return kLetter;
    return kA4;
}

PageSize oriented(PageSize portrait, bool landscape) {
    if (landscape == (portrait.width > portrait.height)) return portrait;
    return {portrait.height, portrait.width};
}

double lineHeightInches(const ReportFontSpec& font) {
    using rv::db::equalsNoCase;
    // Ascent plus descent per em of the faces (hhea values of the metric-compatible fonts).
    double perEm = 1.15;
    const std::string_view face = font.name;
    if (equalsNoCase(face, "Arial") || equalsNoCase(face, "Liberation Sans") || equalsNoCase(face, "Helvetica"))
        perEm = (1854.0 + 434.0) / 2048.0;
    else if (equalsNoCase(face, "Courier New") || equalsNoCase(face, "Liberation Mono") || equalsNoCase(face, "Courier"))
        perEm = (1705.0 + 615.0) / 2048.0;
    else if (equalsNoCase(face, "Times New Roman") || equalsNoCase(face, "Liberation Serif") ||
             equalsNoCase(face, "Times"))
        perEm = (1825.0 + 443.0) / 2048.0;
    const int size = font.size > 0 ? font.size : 10;
    return size / 72.0 * perEm;
}

// ------------------------------------------------------------------ canvas

void PageCanvas::setMargins(double top, double bottom, double left, double right) {
    top_ = top;
    bottom_ = bottom;
    left_ = left;
    right_ = right;
    x_ = left_;
}

int PageCanvas::linesLeft() const {
    if (lineHeight_ <= 0) return 0;
    // A small tolerance so that a band of exactly n lines holds n lines despite rounding.
    const double n = std::floor((bandBottom_ - y_) / lineHeight_ + 1e-9);
    return n < 0 ? 0 : n > 1e6 ? 1000000 : static_cast<int>(n);
}

void PageCanvas::setFont(const ReportFontSpec& font) {
    font_ = font;
    lineHeight_ = lineHeightInches(font);
    engine_.setFont(font);
}

std::string PageCanvas::cutToWidth(std::string_view text, double width) const {
    if (text.empty() || engine_.textWidth(text) <= width) return std::string(text);
    // The longest prefix that fits: widths grow with the prefix, so a binary search finds the
    // point that removing the last character one at a time would reach.
    std::size_t lo = 0, hi = text.size() - 1;  // prefix lengths; lo fits (empty), hi unknown
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        if (engine_.textWidth(text.substr(0, mid)) <= width) lo = mid;
        else hi = mid - 1;
    }
    return std::string(text.substr(0, lo));
}

void PageCanvas::printCenter(std::string_view text, double x) {
    if (text.empty()) return;
    engine_.drawText(x - engine_.textWidth(text) / 2, y_, text);
}

void PageCanvas::printOnLastLine(std::string_view text, Justify justify) {
    if (text.empty()) return;
    const double top = bandBottom_ - lineHeight_;
    const double w = engine_.textWidth(text);
    double x = left_;
    if (justify == Justify::Center) x = left_ + (printableWidth() - w) / 2;
    else if (justify == Justify::Right) x = pageSize().width - right_ - w;
    engine_.drawText(x, top, text);
}

double PageCanvas::cellStart(std::size_t i) const {
    double x = left_;
    for (std::size_t k = 0; k <= i && k < cells_.size(); ++k) {
        if (cells_[k].start) x = *cells_[k].start;
        if (k < i) x += std::max(0.0, cells_[k].width);
    }
    return x;
}

void PageCanvas::printCells(const std::vector<std::string>& texts) {
    double x = left_;
    const double top = y_, bottom = y_ + lineHeight_;
    for (std::size_t i = 0; i < cells_.size() && i < texts.size(); ++i) {
        const TabCell& c = cells_[i];
        if (c.start) x = *c.start;
        const double w = std::max(0.0, c.width);
        if (w > 0) {
            if (c.boxes & kBoxLeft) engine_.drawLine(x, top, x, bottom);
            if (c.boxes & kBoxRight) engine_.drawLine(x + w, top, x + w, bottom);
            if (c.boxes & kBoxTop) engine_.drawLine(x, top, x + w, top);
            if (c.boxes & kBoxBottom) engine_.drawLine(x, bottom, x + w, bottom);
            const std::string text = cutToWidth(texts[i], w - 2 * kCellMargin);
            if (!text.empty()) {
                double tx = x + kCellMargin;
                if (c.justify != Justify::Left) {
                    const double tw = engine_.textWidth(text);
                    tx = c.justify == Justify::Right ? x + w - kCellMargin - tw : x + (w - tw) / 2;
                }
                engine_.drawText(tx, top, text);
            }
        }
        x += w;
    }
    newLine();
}

void PageCanvas::writeLine(std::string_view text) {
    engine_.writeTextLine(text.substr(0, 255));
    newLine();
}

}  // namespace rv::reports
