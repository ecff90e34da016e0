#include "core/reports/ReportRenderer.h"

#include <algorithm>
#include <charconv>

#include "core/app/Formats.h"
#include "core/db/FieldCatalog.h"
#include "core/db/Table.h"

namespace rv::reports {

namespace {

constexpr std::size_t kGroupValueLength = 120;

bool isNumeric(int fieldNumber) {
    return fieldNumber >= 1 && fieldNumber <= rv::db::kFieldCount && rv::db::field(fieldNumber).typeLetter() == 'N';
}

// A price as the totals count it: the text trimmed, read with "." as decimal point; empty or
// unreadable text counts 0.
double priceValue(const std::string& text) {
    const std::string t = rv::app::trim(text);
    double v = 0;
    if (t.empty()) return 0;
    const char* b = t.data();
    if (*b == '+') ++b;
    auto [p, ec] = std::from_chars(b, t.data() + t.size(), v);
    return ec == std::errc() ? v : 0;
}

std::string spaces(int n) { return std::string(static_cast<std::size_t>(std::max(0, n)), ' '); }

}  // namespace

ReportRenderer::ReportRenderer(const ReportDefinition& def, ReportSource source, PageEngine& engine)
    : def_(def), src_(std::move(source)), engine_(engine), canvas_(engine) {
    columns_.fill(-1);
    if (src_.table) {
        for (int n = 1; n <= rv::db::kFieldCount; ++n) columns_[static_cast<std::size_t>(n)] =
            src_.table->fieldIndex(rv::db::field(n).name);
        listPriceColumn_ = src_.table->fieldIndex("ListPrice");
        purchPriceColumn_ = src_.table->fieldIndex("PurchPrice");
    }
    if (!src_.displayName) src_.displayName = [](int n) { return std::string(rv::db::field(n).displayName); };
}

ReportRenderer::~ReportRenderer() {
    if (started_ && !ended_ && src_.table) src_.table->enableControls();
}

int ReportRenderer::column(int fieldNumber) const {
    if (fieldNumber < 1 || fieldNumber > rv::db::kFieldCount) return -1;
    return columns_[static_cast<std::size_t>(fieldNumber)];
}

void ReportRenderer::start() {
    text_ = engine_.writesText();
    canvas_.setMargins(def_.topMargin, def_.bottomMargin, def_.leftMargin, def_.rightMargin);
    group1_ = group2_ = 0;
    if (def_.groupLevel1) {
        for (int level : src_.sortLevels) {
            if (level < 1 || level > rv::db::kFieldCount) continue;
            if (!group1_) group1_ = level;
            else if (!group2_) group2_ = level;
        }
        if (!def_.groupLevel2) group2_ = 0;
    }
    previous1_.clear();
    previous2_.clear();
    haveGroup_ = headingPending_ = subtotalsPending_ = finalPending_ = closed_ = false;
    firstGroup_ = true;
    grand_.clear();
    group_.clear();
    page_ = 0;
    started_ = true;
    ended_ = false;
    if (src_.table) {
        src_.table->disableControls();
        src_.table->first();
    }
}

bool ReportRenderer::atEnd() const { return !src_.table || src_.table->eof(); }

bool ReportRenderer::nextPage() {
    ++page_;
    deferred_ = false;
    progress_ = 0;
    engine_.beginPage();
    header();
    body();
    footer();
    engine_.endPage();
    const bool more = !atEnd() || finalPending_;
    // A page that could take nothing of what is waiting: every further page would be the same.
    if (more && progress_ == 0) {
        endBadly();
        throw ReportLayoutError();
    }
    return more;
}

void ReportRenderer::endBadly() {
    engine_.abort();
    if (started_ && !ended_ && src_.table) src_.table->enableControls();
    ended_ = true;
}

void ReportRenderer::finish() {
    if (ended_) return;
    ended_ = true;
    if (src_.table) src_.table->enableControls();
    engine_.finish();
}

void ReportRenderer::cancel() { endBadly(); }

bool ReportRenderer::run(const std::function<bool(int page)>& beforePage) {
    start();
    try {
        bool more = true;
        while (more) {
            if (beforePage && !beforePage(page_ + 1)) {
                cancel();
                return false;
            }
            more = nextPage();
        }
        finish();
    } catch (...) {
        endBadly();
        throw;
    }
    return true;
}

// ------------------------------------------------------------------ bands

void ReportRenderer::header() {
    canvas_.setBand(kHeaderTop, kHeaderBottom);
    canvas_.gotoTop();
    canvas_.setFont(def_.font(TitleFont));
    const double middle = canvas_.pageSize().width / 2;
    for (const auto& title : def_.titles) {
        if (title.empty()) continue;
        if (text_) {
            canvas_.writeLine(title);
        } else {
            canvas_.printCenter(title, middle);
            canvas_.newLine();
        }
    }
}

void ReportRenderer::footer() {
    const double bottom = canvas_.pageSize().height - def_.bottomMargin;
    canvas_.setBand(bottom - kFooterHeight, bottom);
    canvas_.setFont(def_.font(FootnoteFont));
    const std::string number = "Page " + std::to_string(page_);
    if (text_) {
        canvas_.writeLine("");
        std::string line;
        if (def_.pageNumbers) line = number + "     ";
        if (def_.dateOnPages) line += "     " + src_.today;
        line += '\f';
        canvas_.writeLine(line);
    } else {
        if (def_.pageNumbers) canvas_.printOnLastLine(number, Justify::Left);
        if (def_.dateOnPages) canvas_.printOnLastLine(src_.today, Justify::Right);
    }
}

void ReportRenderer::body() {
    canvas_.setBand(kBodyTop, canvas_.pageSize().height - def_.bottomMargin - kBodyGapAboveBottomMargin);
    canvas_.gotoTop();
    const int lines = def_.lineCount;
    if (lines == 1 && def_.columnHeaders) printColumnHeaders();
    else canvas_.setFont(def_.font(BodyFont));
    if (lines == 1) setRecordCells(def_.lines[0], false);

    while (canvas_.linesLeft() >= lines && !atEnd() && !deferred_) {
        if (subtotalsPending_) groupSubtotals();
        if (!subtotalsPending_ && headingPending_) groupHeading();
        if (!deferred_ && group1_) {
            const std::string v1 = groupValue(group1_);
            if (group2_) {
                const std::string v2 = groupValue(group2_);
                if (!haveGroup_ || v2 != previous2_) {
                    previous1_ = v1;
                    previous2_ = v2;
                    haveGroup_ = true;
                    groupChange();
                } else if (v1 != previous1_) {
                    previous1_ = v1;
                    groupChange();
                }
            } else if (!haveGroup_ || v1 != previous1_) {
                previous1_ = v1;
                haveGroup_ = true;
                groupChange();
            }
        }
        if (deferred_) break;

        if (lines == 1) {
            printLine(def_.lines[0], false, nullptr);
        } else {
            for (int l = 0; l < lines; ++l) {
                const ReportLine& line = def_.lines[static_cast<std::size_t>(l)];
                setRecordCells(line, false);
                printLine(line, false, nullptr);
            }
        }
        if (def_.useTotals) addToTotals();
        ++progress_;
        src_.table->next();
    }
    if (atEnd() && !closed_) closingTotals();
}

// ------------------------------------------------------------------ lines and cells

void ReportRenderer::setRecordCells(const ReportLine& line, bool columnHeaders) {
    canvas_.clearCells();
    const bool single = def_.lineCount == 1;
    unsigned boxes = kBoxNone;
    if (single) {
        if (def_.verticalLines) boxes |= kBoxLeft | kBoxRight;
        if (def_.horizontalLines) boxes |= kBoxTop | kBoxBottom;
    }
    const double unit = canvas_.printableWidth() / def_.charsPerLine;
    const int used = usedItems(line);
    for (int k = 0; k < used; ++k) {
        const ReportItem& item = line[static_cast<std::size_t>(k)];
        TabCell cell;
        cell.width = item.width * unit;
        cell.boxes = boxes;
        if (columnHeaders) cell.justify = Justify::Center;
        else if (single) cell.justify = item.isField() && isNumeric(item.field) ? Justify::Right : Justify::Left;
        else cell.justify = item.isLabel() ? Justify::Right : Justify::Left;
        canvas_.addCell(cell);
    }
}

void ReportRenderer::setTotalsCells() {
    canvas_.clearCells();
    const double unit = canvas_.printableWidth() / def_.charsPerLine;
    const int used = usedItems(def_.totals);
    for (int k = 0; k < used; ++k) {
        const ReportItem& item = def_.totals[static_cast<std::size_t>(k)];
        canvas_.addCell({std::nullopt, item.width * unit, item.isLabel() ? Justify::Right : Justify::Left, kBoxNone});
    }
}

std::string ReportRenderer::fieldText(int number) const {
    const int c = column(number);
    if (c < 0 || !src_.table) return {};
    const rv::db::FieldDef& f = rv::db::field(number);
    if (f.typeLetter() != 'N') return src_.table->asString(c);
    // A number never entered prints as nothing rather than as 0.
    if (src_.table->isBlank(c)) return {};
    const double v = src_.table->asNumber(c);
    if (f.decimals == 2) return src_.formats->formatCurrency(0, v);
    if (f.decimals == -1) return src_.formats->formatNumber(0, 0, v);
    return src_.formats->formatGroupedNumber(0, 0, v);
}

std::string ReportRenderer::itemText(const ReportItem& item) const {
    if (item.isFiller()) return {};
    if (item.isLabel()) return item.label;
    return fieldText(item.field);
}

std::string ReportRenderer::textLine(const ReportLine& line, bool totals, const std::array<double, 3>* set) const {
    std::string out;
    const int used = usedItems(line);
    for (int k = 0; k < used; ++k) {
        const ReportItem& item = line[static_cast<std::size_t>(k)];
        const auto w = static_cast<std::size_t>(item.width);
        if (item.isFiller()) {
            out.append(w, ' ');
        } else if (item.isLabel()) {
            out += rv::app::padLeft(item.label.substr(0, w), static_cast<int>(w));
        } else {
            std::string t;
            if (totals) {
                if (set && item.field >= 1 && item.field <= 3) {
                    const double v = (*set)[item.field - 1u];
                    t = item.field == kTotalQuantity ? src_.formats->formatGroupedNumber(0, 0, v)
                                                     : src_.formats->formatCurrency(0, v);
                }
            } else {
                t = fieldText(item.field);
            }
            t = t.substr(0, w);
            t.resize(w, ' ');
            out += t;
        }
        if (out.size() >= 255) break;
    }
    return out;
}

void ReportRenderer::printLine(const ReportLine& line, bool totals, const std::array<double, 3>* set) {
    if (text_) {
        canvas_.writeLine(textLine(line, totals, set));
        return;
    }
    std::vector<std::string> texts;
    const int used = usedItems(line);
    texts.reserve(static_cast<std::size_t>(used));
    for (int k = 0; k < used; ++k) {
        const ReportItem& item = line[static_cast<std::size_t>(k)];
        if (totals && item.isField()) {
            std::string t;
            if (set && item.field >= 1 && item.field <= 3) {
                const double v = (*set)[item.field - 1u];
                t = item.field == kTotalQuantity ? src_.formats->formatGroupedNumber(0, 0, v)
                                                 : src_.formats->formatCurrency(0, v);
            }
            texts.push_back(std::move(t));
        } else {
            texts.push_back(itemText(item));
        }
    }
    canvas_.printCells(texts);
}

void ReportRenderer::printColumnHeaders() {
    canvas_.setFont(def_.font(HeaderFont));
    const ReportLine& line = def_.lines[0];
    const int used = usedItems(line);
    if (text_) {
        std::string out;
        for (int k = 0; k < used; ++k) {
            const ReportItem& item = line[static_cast<std::size_t>(k)];
            const int w = item.width;
            std::string t = item.isField() ? src_.displayName(item.field) : std::string();
            t = t.substr(0, static_cast<std::size_t>(w));
            t.resize(static_cast<std::size_t>(w), ' ');
            out += t;
        }
        canvas_.setFont(def_.font(BodyFont));
        canvas_.writeLine(out);
        return;
    }
    setRecordCells(line, true);
    std::vector<std::string> texts;
    for (int k = 0; k < used; ++k) {
        const ReportItem& item = line[static_cast<std::size_t>(k)];
        texts.push_back(item.isField() ? src_.displayName(item.field) : std::string());
    }
    // The header line is drawn in the header font; the cursor then moves on by a body line.
    const double top = canvas_.y();
    canvas_.printCells(texts);
    canvas_.setFont(def_.font(BodyFont));
    canvas_.gotoXY(canvas_.leftMargin(), top);
    canvas_.newLine();
}

// ------------------------------------------------------------------ groups and totals

std::string ReportRenderer::groupValue(int number) const {
    const int c = column(number);
    if (c < 0 || !src_.table) return {};
    std::string v = src_.table->asString(c);
    if (v.size() > kGroupValueLength) v.resize(kGroupValueLength);
    return v;
}

void ReportRenderer::groupChange() {
    groupSubtotals();
    if (subtotalsPending_) headingPending_ = true;
    else groupHeading();
}

void ReportRenderer::groupSubtotals() {
    if (firstGroup_) {
        firstGroup_ = false;
        subtotalsPending_ = false;
        return;
    }
    if (!def_.useTotals) {
        subtotalsPending_ = false;
        return;
    }
    if (canvas_.linesLeft() < def_.lineCount + 3) {
        subtotalsPending_ = true;
        deferred_ = true;
        return;
    }
    subtotalsPending_ = false;
    totalsHeading("TOTALS");
    setTotalsCells();
    printLine(def_.totals, true, &group_.values);
    group_.clear();
    if (def_.lineCount == 1) setRecordCells(def_.lines[0], false);
    ++progress_;
}

void ReportRenderer::groupHeading() {
    if (canvas_.linesLeft() < def_.lineCount + 2) {
        headingPending_ = true;
        deferred_ = true;
        return;
    }
    headingPending_ = false;
    std::string text = previous1_;
    if (group2_) text += ", " + previous2_;
    if (text_) {
        const int len = static_cast<int>(text.size());
        const std::string indent = spaces(len >= def_.charsPerLine ? 0 : (def_.charsPerLine - len) / 2);
        const std::string rule(text.size(), '-');
        canvas_.writeLine("");
        canvas_.writeLine(indent + rule);
        canvas_.writeLine(indent + text);
        canvas_.writeLine(indent + rule);
    } else {
        const double pw = canvas_.printableWidth();
        double tw = canvas_.textWidth(text);
        if (tw > pw - kHeadingPadding) {
            text = canvas_.cutToWidth(text, pw - kHeadingPadding);
            tw = pw;
        }
        canvas_.newLine();
        canvas_.clearCells();
        canvas_.addCell({canvas_.leftMargin() + (pw - tw) / 2, tw + kHeadingPadding, Justify::Center, kBoxAll});
        canvas_.printCells({text});
        if (def_.lineCount == 1) setRecordCells(def_.lines[0], false);
    }
    ++progress_;
}

void ReportRenderer::totalsHeading(const std::string& heading) {
    if (text_) {
        canvas_.writeLine(spaces((def_.charsPerLine - static_cast<int>(heading.size())) / 2) + heading);
        return;
    }
    const double pw = canvas_.printableWidth();
    std::string text = heading;
    double tw = canvas_.textWidth(text);
    if (tw > pw - kHeadingPadding) {
        text = canvas_.cutToWidth(text, pw - kHeadingPadding);
        tw = pw;
    }
    canvas_.clearCells();
    canvas_.addCell({canvas_.leftMargin() + (pw - tw) / 2, tw + kHeadingPadding, Justify::Center, kBoxBottom});
    canvas_.printCells({text});
}

void ReportRenderer::closingTotals() {
    if (def_.useTotals && canvas_.linesLeft() < 5) {
        finalPending_ = true;
        return;
    }
    finalPending_ = false;
    closed_ = true;
    ++progress_;
    if (!def_.useTotals) return;
    totalsHeading("TOTALS");
    setTotalsCells();
    printLine(def_.totals, true, &group_.values);
    if (text_) canvas_.writeLine("");
    else canvas_.newLine();
    totalsHeading("GRAND TOTALS");
    setTotalsCells();
    printLine(def_.totals, true, &grand_.values);
}

void ReportRenderer::addToTotals() {
    const double list = listPriceColumn_ >= 0 ? priceValue(src_.table->asString(listPriceColumn_)) : 0;
    const double purch = purchPriceColumn_ >= 0 ? priceValue(src_.table->asString(purchPriceColumn_)) : 0;
    for (Totals* t : {&grand_, &group_}) {
        t->values[0] += 1;
        t->values[1] += list;
        t->values[2] += purch;
    }
}

}  // namespace rv::reports
