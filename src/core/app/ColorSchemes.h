#pragma once
// The twelve predefined colour schemes of the Color Configuration window, the colour windows
// it is opened for, and how its choice is stored in the settings.
//
// A colour is a Windows colour value, red + 256 * green + 65536 * blue, as the settings and
// configuration files hold it.

#include <array>
#include <cstdint>
#include <string_view>

#include "core/app/Settings.h"

namespace rv::app {

inline constexpr std::int32_t winColor(int red, int green, int blue) { return red + 256 * green + 65536 * blue; }

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

// The windows of the Color menu, numbered as the colour commands number them: the first
// five are the colour sets of the settings in order, All sets every one of them.
enum class ColorWindow : int { Main = 1, Edit = 2, Search = 3, Report = 4, Configure = 5, All = 6 };
// The colour set a window edits (All edits a copy of the main window's set).
ColorSetIndex colorSetOf(ColorWindow window);
// Stores the colours chosen for a window: its own set, or for All every set.
void acceptColors(Settings& settings, ColorWindow window, const ColorSet& colors);

}  // namespace rv::app
