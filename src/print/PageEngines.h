#pragma once
// The Qt page engines behind the report and label renderers (core/reports/PageEngine.h):
//  - PdfEngine: a PDF file (QPdfWriter), paper of the user's locale;
//  - PrinterEngine: a system printer (QPrinter over CUPS), paper from the printer;
//  - PageStoreEngine: the in-memory page store of the preview, one QPicture per page, which
//    drawStoredPage() shows at any scale and printStoredPages() sends to a printer.
//
// All of them draw in a logical unit of 1/7200 inch (0.01 point) and set fonts by that pixel
// size, so text is measured alike on every device; line heights come from
// rv::reports::lineHeightInches(), the same as the text file engine's.  Font faces resolve
// through fontconfig: "Arial" and "Courier New" give the metric-compatible Liberation fonts.

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPicture>
#include <QString>

#include <memory>
#include <vector>

#include "core/reports/PageEngine.h"

class QPdfWriter;
class QPrinter;

namespace rv::print {

inline constexpr double kUnitsPerInch = 7200.0;

// Programs without windows (reelvane-cli): a QGuiApplication for fonts and PDF output, on
// the offscreen platform when there is no display.  Does nothing when one exists.
void ensureGuiApplication();

// The Qt font of a report font: face, size (as pixels of 1/7200 inch), bold, italic,
// underline, strikeout.  The colour is separate: fontColor().
QFont qtFont(const rv::reports::ReportFontSpec& spec);
QColor fontColor(const rv::reports::ReportFontSpec& spec);

// Shared drawing of the three engines on a QPainter.
class PainterEngine : public rv::reports::PageEngine {
public:
    rv::reports::PageSize pageSize() const override { return page_; }
    int pageCount() const override { return pages_; }
    void setFont(const rv::reports::ReportFontSpec& font) override;
    double textWidth(std::string_view text) const override;
    void drawText(double x, double lineTop, std::string_view text) override;
    void drawLine(double x1, double y1, double x2, double y2) override;

protected:
    explicit PainterEngine(rv::reports::PageSize page) : page_(page) {}
    // Call after the painter began on the page's device.
    void preparePainter(double deviceDpiX, double deviceDpiY);
    QPainter painter_;
    rv::reports::PageSize page_;
    int pages_ = 0;

private:
    QFont font_;
    QColor color_;
    std::unique_ptr<QFontMetricsF> metrics_;
};

class PdfEngine final : public PainterEngine {
public:
    // paper: portrait size; the page is turned for landscape.
    PdfEngine(const QString& file, rv::reports::PageSize paper, bool landscape, const QString& title);
    ~PdfEngine() override;
    void beginPage() override;
    void endPage() override {}
    void finish() override;  // ReportFileError when the file could not be written
    void abort() override;

private:
    QString file_;
    std::unique_ptr<QPdfWriter> writer_;
};

class PrinterEngine final : public PainterEngine {
public:
    // The printer as chosen (name, copies); the engine sets full-page mode, the orientation
    // and the job title, and takes the paper from the printer.
    PrinterEngine(QPrinter& printer, bool landscape, const QString& title);
    ~PrinterEngine() override;
    void beginPage() override;
    void endPage() override {}
    void finish() override;
    void abort() override;

private:
    QPrinter& printer_;
};

// The pages of one run, kept for the preview and for printing later.
struct PageStore {
    rv::reports::PageSize page;     // inches, orientation applied
    bool landscape = false;
    QString title;
    std::vector<QPicture> pages;
    int count() const { return static_cast<int>(pages.size()); }
};

class PageStoreEngine final : public PainterEngine {
public:
    PageStoreEngine(PageStore& store, rv::reports::PageSize paper, bool landscape, const QString& title);
    ~PageStoreEngine() override;
    void beginPage() override;
    void endPage() override;
    void finish() override;
    void abort() override;  // the store is emptied

private:
    PageStore& store_;
    QPicture current_;
    bool open_ = false;
};

// Draws stored page `index` (0-based) scaled into `target` (device coordinates of the
// painter), keeping the page's proportions from the target's top-left corner.
void drawStoredPage(QPainter& painter, const PageStore& store, int index, const QRectF& target);

// Prints stored pages first..last (1-based, inclusive) on the printer, full page, in the
// store's orientation.  False when the printer could not be started.
bool printStoredPages(const PageStore& store, QPrinter& printer, int first, int last);

// The paper of the system's default printer, or the locale's when there is none.
rv::reports::PageSize defaultPrinterPaper();

}  // namespace rv::print
