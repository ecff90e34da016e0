#include "print/PageEngines.h"

#include <QColor>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>
#include <cstdlib>

#include "core/app/Cp1252.h"
#include "core/reports/ReportStore.h"

namespace rv::print {

using rv::reports::PageSize;

namespace {

QString fromStored(std::string_view text) { return QString::fromStdString(rv::app::cp1252ToUtf8(text)); }

QPageSize qtPageSize(PageSize portrait) {
    auto near = [](PageSize a, PageSize b) { return std::abs(a.width - b.width) < 0.02 && std::abs(a.height - b.height) < 0.02; };
    if (near(portrait, rv::reports::kLetter)) return QPageSize(QPageSize::Letter);
    if (near(portrait, rv::reports::kA4)) return QPageSize(QPageSize::A4);
    return QPageSize(QSizeF(portrait.width, portrait.height), QPageSize::Inch);
}

PageSize portraitOf(PageSize p) { return p.width > p.height ? PageSize{p.height, p.width} : p; }

}  // namespace

void ensureGuiApplication() {
    if (QCoreApplication::instance()) return;
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "reelvane-cli";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);  // lives for the rest of the process
}

QFont qtFont(const rv::reports::ReportFontSpec& spec) {
    QFont f(fromStored(spec.name));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(spec.size * kUnitsPerInch / 72.0))));
    f.setBold(spec.bold);
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    f.setStrikeOut(spec.strikeout);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QColor fontColor(const rv::reports::ReportFontSpec& spec) {
    const auto c = static_cast<std::uint32_t>(spec.color);
    return QColor(int(c & 0xff), int((c >> 8) & 0xff), int((c >> 16) & 0xff));
}

// ------------------------------------------------------------------ shared drawing

void PainterEngine::preparePainter(double dpiX, double dpiY) {
    painter_.resetTransform();
    painter_.scale(dpiX / kUnitsPerInch, dpiY / kUnitsPerInch);
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    if (metrics_) {
        painter_.setFont(font_);
        painter_.setPen(color_);
    }
}

void PainterEngine::setFont(const rv::reports::ReportFontSpec& font) {
    font_ = qtFont(font);
    color_ = fontColor(font);
    metrics_ = std::make_unique<QFontMetricsF>(font_);
    if (painter_.isActive()) {
        painter_.setFont(font_);
        painter_.setPen(color_);
    }
}

double PainterEngine::textWidth(std::string_view text) const {
    if (!metrics_ || text.empty()) return 0;
    return metrics_->horizontalAdvance(fromStored(text)) / kUnitsPerInch;
}

void PainterEngine::drawText(double x, double lineTop, std::string_view text) {
    if (!painter_.isActive() || text.empty() || !metrics_) return;
    painter_.setPen(color_);
    painter_.setFont(font_);
    painter_.drawText(QPointF(x * kUnitsPerInch, lineTop * kUnitsPerInch + metrics_->ascent()), fromStored(text));
}

void PainterEngine::drawLine(double x1, double y1, double x2, double y2) {
    if (!painter_.isActive()) return;
    QPen pen(Qt::black);
    pen.setWidthF(0.008 * kUnitsPerInch);
    painter_.setPen(pen);
    painter_.drawLine(QPointF(x1 * kUnitsPerInch, y1 * kUnitsPerInch), QPointF(x2 * kUnitsPerInch, y2 * kUnitsPerInch));
    painter_.setPen(color_);
}

// ------------------------------------------------------------------ PDF

PdfEngine::PdfEngine(const QString& file, PageSize paper, bool landscape, const QString& title)
    : PainterEngine(rv::reports::oriented(portraitOf(paper), landscape)), file_(file) {
    writer_ = std::make_unique<QPdfWriter>(file);
    writer_->setResolution(1200);
    writer_->setTitle(title);
    writer_->setCreator(QStringLiteral("Reelvane Videos 97"));
    writer_->setPageLayout(QPageLayout(qtPageSize(portraitOf(paper)),
                                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
}

PdfEngine::~PdfEngine() {
    if (painter_.isActive()) painter_.end();
}

void PdfEngine::beginPage() {
    if (!painter_.isActive()) {
        if (pages_ > 0) return;
        if (!painter_.begin(writer_.get()))
            throw rv::reports::ReportFileError("Cannot write " + file_.toStdString());
    } else {
        writer_->newPage();
    }
    ++pages_;
    preparePainter(writer_->resolution(), writer_->resolution());
}

void PdfEngine::finish() {
    if (pages_ == 0) beginPage();  // a PDF file always has a page
    if (painter_.isActive() && !painter_.end()) throw rv::reports::ReportFileError("Cannot write " + file_.toStdString());
}

void PdfEngine::abort() {
    if (painter_.isActive()) painter_.end();
    writer_.reset();
    QFile::remove(file_);
}

// ------------------------------------------------------------------ printer

PrinterEngine::PrinterEngine(QPrinter& printer, bool landscape, const QString& title)
    : PainterEngine(PageSize{}), printer_(printer) {
    printer_.setFullPage(true);
    printer_.setDocName(title);
    printer_.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    const QRectF full = printer_.pageLayout().fullRect(QPageLayout::Inch);
    page_ = PageSize{full.width(), full.height()};
}

PrinterEngine::~PrinterEngine() {
    if (painter_.isActive()) painter_.end();
}

void PrinterEngine::beginPage() {
    if (!painter_.isActive()) {
        if (pages_ > 0) return;
        if (!painter_.begin(&printer_)) throw rv::reports::ReportFileError("The printer could not be started.");
    } else {
        printer_.newPage();
    }
    ++pages_;
    preparePainter(printer_.logicalDpiX(), printer_.logicalDpiY());
}

void PrinterEngine::finish() {
    if (painter_.isActive()) painter_.end();
}

void PrinterEngine::abort() {
    if (painter_.isActive()) {
        printer_.abort();
        painter_.end();
    }
}

// ------------------------------------------------------------------ page store

PageStoreEngine::PageStoreEngine(PageStore& store, PageSize paper, bool landscape, const QString& title)
    : PainterEngine(rv::reports::oriented(portraitOf(paper), landscape)), store_(store) {
    store_.page = page_;
    store_.landscape = landscape;
    store_.title = title;
    store_.pages.clear();
}

PageStoreEngine::~PageStoreEngine() {
    if (painter_.isActive()) painter_.end();
}

void PageStoreEngine::beginPage() {
    current_ = QPicture();
    painter_.begin(&current_);
    open_ = true;
    ++pages_;
    preparePainter(current_.logicalDpiX(), current_.logicalDpiY());
}

void PageStoreEngine::endPage() {
    if (!open_) return;
    painter_.end();
    open_ = false;
    store_.pages.push_back(current_);
}

void PageStoreEngine::finish() { endPage(); }

void PageStoreEngine::abort() {
    if (painter_.isActive()) painter_.end();
    open_ = false;
    store_.pages.clear();
}

void drawStoredPage(QPainter& painter, const PageStore& store, int index, const QRectF& target) {
    if (index < 0 || index >= store.count()) return;
    const QPicture& pic = store.pages[static_cast<std::size_t>(index)];
    const double sx = target.width() / (store.page.width * pic.logicalDpiX());
    const double sy = target.height() / (store.page.height * pic.logicalDpiY());
    const double s = std::min(sx, sy);
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(s, s);
    painter.drawPicture(0, 0, pic);
    painter.restore();
}

bool printStoredPages(const PageStore& store, QPrinter& printer, int first, int last) {
    first = std::max(first, 1);
    last = std::min(last, store.count());
    if (first > last) return true;
    printer.setFullPage(true);
    printer.setDocName(store.title);
    printer.setPageOrientation(store.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    for (int p = first; p <= last; ++p) {
        if (p > first) printer.newPage();
        const QRectF full(0, 0, store.page.width * printer.logicalDpiX(), store.page.height * printer.logicalDpiY());
        drawStoredPage(painter, store, p - 1, full);
    }
    return painter.end();
}

PageSize defaultPrinterPaper() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        const QSizeF s = info.defaultPageSize().size(QPageSize::Inch);
        if (s.width() > 0 && s.height() > 0) return PageSize{s.width(), s.height()};
    }
    return rv::reports::localePaperSize();
}

}  // namespace rv::print
