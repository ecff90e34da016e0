#pragma once
// What every dialog does when it is shown, and the helpers behind it:
//
//   placeDialog(dialog, settings, factor, screen)  -- ApplyFonts, scale by the screen scale
//                                                     factor, centre on the screen
//
// plus the form dimension memory of long-lived dialogs (SaveFormDimensions and
// RestoreFormDimensions), which keeps such a dialog from growing with every scaling.
// Windows usually call TMain::PlaceDialog, which passes the main window's own state.

#include <QFont>
#include <QPointer>
#include <QSize>

#include <array>
#include <vector>

#include "core/app/Settings.h"

class QWidget;

namespace rv::gui {

// The components of a form in component order: every descendant widget in creation order,
// without the inner parts of composite widgets (the edit of a combo box, the viewport and
// scroll bars of a list, Qt's own helper widgets).
std::vector<QWidget*> components(QWidget* form);

// A program font (face name, size, style; colour is separate) as a QFont and back.  A size of
// 0 keeps the size of `base`.
QFont toQFont(const rv::app::FontSpec& spec, const QFont& base = QFont());
rv::app::FontSpec toFontSpec(const QFont& font, std::int32_t color);

// The kinds ApplyFonts knows, tested in this order.
enum class FontKind { None, Label, ListBox, StringGrid, CheckBox, Edit, RadioButton, MaskedEdit, Button, GroupBox, ComboBox };
FontKind fontKind(const QWidget* widget);

// ApplyFonts: gives each component the face name and style (bold, italic, underline,
// strikeout) of its program font by kind -- labels, list boxes, check boxes, radio buttons
// and group boxes the label font; string grids, edit boxes, masked edits and combo boxes the
// edit font; buttons the button font.  Sizes and colours stay as designed; other components
// are left alone.
void ApplyFonts(QWidget* window, const rv::app::Settings& settings);

// Scales a form and its components by numerator/100 (VCL's ScaleBy): the form's client
// size, and each component's position, size and font size.  Each font is scaled exactly
// once, whether it is the component's own or inherited from its parent.  Components managed
// by a layout keep the layout's geometry; only their fonts grow.
void scaleBy(QWidget* form, int numerator, int denominator = 100);

// Moves a window to the centre of a screen of the given size: left = (screen width - its
// width) / 2, top likewise, both rounded toward zero.
void centreOnScreen(QWidget* window, QSize screen);

// Dialog placement: ApplyFonts, then scaleBy(factor), then centre on the screen.
void placeDialog(QWidget* dialog, const rv::app::Settings& settings, double factor, QSize screen);

// The design dimensions of a long-lived form, each entry naming its component.
struct FormDimensions {
    static constexpr int kMaxEntries = 121;
    struct Entry {
        QPointer<QWidget> widget;
        int left = 0, top = 0, width = 0, height = 0;
        int fontSize = 0;       // pixel size when the font has one, else point size
        bool pixelFont = false;
        bool hasFont = false;   // bevels keep geometry only
    };
    int clientWidth = 0;
    int clientHeight = 0;
    int formFontSize = 0;  // the form's own font, which components without a font inherit
    bool formPixelFont = false;
    std::vector<Entry> entries;  // at most kMaxEntries
};

// Records the form's client size and its components' geometry and font sizes (every
// component but a bevel records its font size, inherited or not).  A form with
// more than 121 components records the first 121 and shows "Too many compenents to save
// dimensions." (title "Error").
void SaveFormDimensions(QWidget* form, FormDimensions& dims);
// Puts the recorded dimensions back on the very components they were taken from (however the
// form's children were reordered since), then scales by the factor and centres on the screen.
void RestoreFormDimensions(QWidget* form, const FormDimensions& dims, double factor, QSize screen);

}  // namespace rv::gui
