#include "gui/common/Placement.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTableView>
#include <QTableWidget>
#include <QWidget>

#include "core/app/MainRules.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"

namespace rv::gui {

namespace {

// Widgets whose children are their own inner parts, not components of the form.
bool isComposite(const QWidget* w) {
    return qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QAbstractScrollArea*>(w) || qobject_cast<const QTabBar*>(w) ||
           qobject_cast<const QMenuBar*>(w);
}

void collect(QWidget* parent, std::vector<QWidget*>& out) {
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow()) continue;
        // Qt's helper widgets (a tab widget's page stack, a scroll area's viewport) are not
        // components, but what they hold may be.
        if (!w->objectName().startsWith(QLatin1String("qt_"))) out.push_back(w);
        if (!isComposite(w)) collect(w, out);
    }
}

int mulDiv(int value, int numerator, int denominator) {
    const long long v = static_cast<long long>(value) * numerator;
    return static_cast<int>(v >= 0 ? (v + denominator / 2) / denominator : -((-v + denominator / 2) / denominator));
}

bool isFixed(const QWidget* w) { return w->minimumSize() == w->maximumSize(); }

void setSize(QWidget* w, QSize size) {
    if (isFixed(w))
        w->setFixedSize(size);
    else
        w->resize(size);
}

void setGeometryKeepingFixed(QWidget* w, const QRect& r) {
    if (isFixed(w)) w->setFixedSize(r.size());
    w->setGeometry(r);
}

// Whether a layout of the parent places the widget.
bool laidOut(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    return parent && parent->layout() != nullptr;
}

int fontSizeOf(const QFont& f, bool* pixel) {
    *pixel = f.pixelSize() > 0;
    return *pixel ? f.pixelSize() : f.pointSize();
}

void setFontSize(QWidget* w, int size, bool pixel) {
    if (size <= 0) return;
    QFont f = w->font();
    if (pixel)
        f.setPixelSize(size);
    else
        f.setPointSize(size);
    w->setFont(f);
}

void scaleFont(QWidget* w, int numerator, int denominator) {
    bool pixel = false;
    const int size = fontSizeOf(w->font(), &pixel);
    setFontSize(w, std::max(1, mulDiv(size, numerator, denominator)), pixel);
}

// A plain frame drawn as a box or line: VCL's bevel, which has no font.
bool isBevel(const QWidget* w) {
    return w->metaObject() == &QFrame::staticMetaObject;
}

const rv::app::FontSpec* fontFor(FontKind kind, const rv::app::Settings& s) {
    switch (kind) {
    case FontKind::Label:
    case FontKind::ListBox:
    case FontKind::CheckBox:
    case FontKind::RadioButton:
    case FontKind::GroupBox: return &s.labelFont;
    case FontKind::StringGrid:
    case FontKind::Edit:
    case FontKind::MaskedEdit:
    case FontKind::ComboBox: return &s.editFont;
    case FontKind::Button: return &s.buttonFont;
    case FontKind::None: return nullptr;
    }
    return nullptr;
}

void applyFace(QFont& f, const rv::app::FontSpec& spec) {
    if (!spec.name.empty()) f.setFamily(toQ(spec.name));
    f.setBold(spec.bold);
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    f.setStrikeOut(spec.strikeout);
}

}  // namespace

std::vector<QWidget*> components(QWidget* form) {
    std::vector<QWidget*> out;
    collect(form, out);
    return out;
}

QFont toQFont(const rv::app::FontSpec& spec, const QFont& base) {
    QFont f = base;
    applyFace(f, spec);
    if (spec.size > 0) f.setPointSize(spec.size);
    return f;
}

rv::app::FontSpec toFontSpec(const QFont& font, std::int32_t color) {
    rv::app::FontSpec spec;
    spec.name = fromQ(font.family());
    spec.size = font.pointSize() > 0 ? font.pointSize() : 0;
    spec.color = color;
    spec.bold = font.bold();
    spec.italic = font.italic();
    spec.underline = font.underline();
    spec.strikeout = font.strikeOut();
    return spec;
}

FontKind fontKind(const QWidget* w) {
    if (qobject_cast<const QLabel*>(w)) return FontKind::Label;
    if (qobject_cast<const QListView*>(w) && !qobject_cast<const QTableView*>(w)) return FontKind::ListBox;
    if (qobject_cast<const QTableWidget*>(w)) return FontKind::StringGrid;
    if (qobject_cast<const QCheckBox*>(w)) return FontKind::CheckBox;
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->inputMask().isEmpty() ? FontKind::Edit : FontKind::MaskedEdit;
    if (qobject_cast<const QRadioButton*>(w)) return FontKind::RadioButton;
    if (qobject_cast<const QPushButton*>(w)) return FontKind::Button;
    if (qobject_cast<const QGroupBox*>(w)) return FontKind::GroupBox;
    if (qobject_cast<const QComboBox*>(w)) return FontKind::ComboBox;
    return FontKind::None;
}

void ApplyFonts(QWidget* window, const rv::app::Settings& settings) {
    for (QWidget* w : components(window)) {
        const rv::app::FontSpec* spec = fontFor(fontKind(w), settings);
        if (!spec) continue;
        QFont f = w->font();
        applyFace(f, *spec);
        w->setFont(f);
    }
}

void scaleBy(QWidget* form, int numerator, int denominator) {
    if (numerator == denominator || denominator <= 0) return;
    const QSize size = form->size();
    const auto list = components(form);
    // Every font size is read before any is changed and each is then set outright: a
    // component whose font follows its parent's would otherwise grow once with the parent
    // and once more on its own.
    struct Before {
        int size;
        bool pixel;
    };
    std::vector<Before> before;
    before.reserve(list.size());
    for (QWidget* w : list) {
        bool pixel = false;
        const int fontSize = fontSizeOf(w->font(), &pixel);
        before.push_back({fontSize, pixel});
    }
    scaleFont(form, numerator, denominator);
    for (std::size_t i = 0; i < list.size(); ++i) {
        QWidget* w = list[i];
        if (!isBevel(w)) setFontSize(w, std::max(1, mulDiv(before[i].size, numerator, denominator)), before[i].pixel);
        if (!laidOut(w)) {
            const QRect g = w->geometry();
            setGeometryKeepingFixed(w, QRect(mulDiv(g.x(), numerator, denominator), mulDiv(g.y(), numerator, denominator),
                                             mulDiv(g.width(), numerator, denominator),
                                             mulDiv(g.height(), numerator, denominator)));
        }
    }
    QSize scaled(mulDiv(size.width(), numerator, denominator), mulDiv(size.height(), numerator, denominator));
    if (form->layout()) scaled = scaled.expandedTo(form->minimumSizeHint());
    setSize(form, scaled);
}

void centreOnScreen(QWidget* window, QSize screen) {
    const QSize frame = window->frameGeometry().size().expandedTo(window->size());
    window->move((screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2);
}

void placeDialog(QWidget* dialog, const rv::app::Settings& settings, double factor, QSize screen) {
    ApplyFonts(dialog, settings);
    scaleBy(dialog, rv::app::scaleNumerator(factor), 100);
    centreOnScreen(dialog, screen);
}

void SaveFormDimensions(QWidget* form, FormDimensions& dims) {
    dims.clientWidth = form->width();
    dims.clientHeight = form->height();
    dims.formFontSize = fontSizeOf(form->font(), &dims.formPixelFont);
    dims.entries.clear();
    const auto list = components(form);
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i >= static_cast<std::size_t>(FormDimensions::kMaxEntries)) {
            prompt().error(form, QStringLiteral("Too many compenents to save dimensions."));
            break;
        }
        QWidget* w = list[i];
        FormDimensions::Entry e;
        e.widget = w;
        e.left = w->x();
        e.top = w->y();
        e.width = w->width();
        e.height = w->height();
        e.hasFont = !isBevel(w);
        e.fontSize = fontSizeOf(w->font(), &e.pixelFont);
        dims.entries.push_back(e);
    }
}

void RestoreFormDimensions(QWidget* form, const FormDimensions& dims, double factor, QSize screen) {
    setSize(form, QSize(dims.clientWidth, dims.clientHeight));
    setFontSize(form, dims.formFontSize, dims.formPixelFont);
    // Each entry names its component: the order of a form's children changes while it is
    // used (a tabbed notebook raises the page it shows), so a position in that order is no
    // way to find a component again.
    for (const auto& e : dims.entries) {
        QWidget* w = e.widget.data();
        if (!w) continue;
        if (!laidOut(w)) setGeometryKeepingFixed(w, QRect(e.left, e.top, e.width, e.height));
        if (e.hasFont) setFontSize(w, e.fontSize, e.pixelFont);
    }
    scaleBy(form, rv::app::scaleNumerator(factor), 100);
    centreOnScreen(form, screen);
}

}  // namespace rv::gui
