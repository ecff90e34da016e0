#pragma once
// Colour sets on widgets, and the twelve predefined colour schemes.
//
// A colour is a Windows colour value, red + 256 * green + 65536 * blue, as the settings and
// configuration files hold it.  Each window's SetColors picks the colours of its set
// (rv::app::Settings::colors) and paints its controls with the helpers below.

#include <QColor>

#include <array>
#include <cstdint>
#include <string_view>

#include "core/app/Settings.h"

class QWidget;

namespace rv::gui {

QColor toQColor(std::int32_t winColor);
std::int32_t toWinColor(const QColor& color);
inline constexpr std::int32_t winColor(int red, int green, int blue) { return red + 256 * green + 65536 * blue; }

// A window, panel, label, radio button or check box: background and (optionally) text.
void paintBackground(QWidget* widget, std::int32_t background);
void paintText(QWidget* widget, std::int32_t text);
void paintTextAndBackground(QWidget* widget, std::int32_t text, std::int32_t background);
// An edit, combo or list box: the colours of its entry area and text.
void paintBox(QWidget* box, std::int32_t text, std::int32_t background);

// The predefined schemes of the Color Configuration window.  Each sets six colours; the
// other seven follow from them (applyScheme).
struct ColorScheme {
    std::string_view name;
    std::int32_t mainBackground;
    std::int32_t majorTitle;
    std::int32_t minorTitle;
    std::int32_t editBackground;
    std::int32_t editText;
    std::int32_t radioText;
};

inline constexpr std::array<ColorScheme, 12> kColorSchemes{{
    {"Monochrome", winColor(255, 255, 255), winColor(0, 0, 0), winColor(0, 0, 0), winColor(255, 255, 255), winColor(0, 0, 0), winColor(0, 0, 0)},
    {"Gray Mist", winColor(192, 192, 192), winColor(0, 0, 0), winColor(0, 0, 0), winColor(255, 255, 255), winColor(0, 0, 0), winColor(0, 0, 0)},
    {"Midnight Black", winColor(0, 0, 0), winColor(192, 192, 192), winColor(255, 255, 255), winColor(127, 127, 127), winColor(0, 0, 0), winColor(255, 255, 255)},
    {"Desert Sunset", winColor(255, 255, 128), winColor(0, 0, 0), winColor(0, 0, 0), winColor(255, 255, 0), winColor(0, 0, 0), winColor(0, 0, 0)},
    {"Easter Pastel", winColor(255, 128, 255), winColor(0, 0, 255), winColor(0, 0, 0), winColor(128, 0, 128), winColor(0, 255, 255), winColor(0, 0, 0)},
    {"Ocean Blue", winColor(0, 255, 255), winColor(255, 0, 0), winColor(0, 0, 0), winColor(255, 255, 255), winColor(0, 0, 128), winColor(0, 0, 0)},
    {"Fiery Red", winColor(255, 0, 0), winColor(0, 0, 128), winColor(0, 0, 0), winColor(255, 255, 255), winColor(255, 0, 0), winColor(0, 0, 0)},
    {"Christmas Season", winColor(0, 255, 0), winColor(255, 255, 255), winColor(255, 0, 0), winColor(255, 0, 0), winColor(255, 255, 255), winColor(255, 0, 0)},
    {"Wine", winColor(128, 0, 64), winColor(255, 0, 0), winColor(255, 0, 255), winColor(128, 0, 128), winColor(255, 0, 0), winColor(255, 0, 255)},
    {"More Pastels", winColor(0, 255, 128), winColor(255, 0, 255), winColor(128, 0, 128), winColor(0, 255, 255), winColor(0, 0, 255), winColor(128, 0, 128)},
    {"Green Glow", winColor(0, 0, 0), winColor(0, 255, 0), winColor(0, 255, 0), winColor(0, 255, 0), winColor(0, 0, 0), winColor(0, 255, 0)},
    {"Camouflage", winColor(128, 128, 0), winColor(0, 128, 0), winColor(127, 127, 127), winColor(0, 128, 128), winColor(192, 192, 192), winColor(127, 127, 127)},
}};

// Applies scheme 1..12 to a colour set: its six colours, then combo and list box colours
// from the edit box, radio and check backgrounds from the main background and the check
// text from the radio text.  Any other number leaves the set unchanged.
void applyScheme(rv::app::ColorSet& set, int scheme);

}  // namespace rv::gui
