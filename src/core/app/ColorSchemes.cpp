#include "core/app/ColorSchemes.h"

namespace rv::app {

void applyScheme(rv::app::ColorSet& set, int scheme) {
    if (scheme < 1 || scheme > static_cast<int>(kColorSchemes.size())) return;
    const ColorScheme& s = kColorSchemes[static_cast<std::size_t>(scheme - 1)];
    set[MainBackground] = s.mainBackground;
    set[MajorTitle] = s.majorTitle;
    set[MinorTitle] = s.minorTitle;
    set[EditBackground] = s.editBackground;
    set[EditText] = s.editText;
    set[RadioText] = s.radioText;
    set[ListBoxBackground] = set[ComboBackground] = s.editBackground;
    set[ListBoxText] = set[ComboText] = s.editText;
    set[RadioBackground] = set[CheckBackground] = s.mainBackground;
    set[CheckText] = s.radioText;
}

ColorSetIndex colorSetOf(ColorWindow window) {
    const int code = static_cast<int>(window);
    return code >= 1 && code <= kColorSetCount ? static_cast<ColorSetIndex>(code - 1) : MainWindowColors;
}

void acceptColors(Settings& settings, ColorWindow window, const ColorSet& colors) {
    const int code = static_cast<int>(window);
    if (window == ColorWindow::All)
        settings.colors.fill(colors);
    else if (code >= 1 && code <= kColorSetCount)
        settings.colors[static_cast<std::size_t>(code - 1)] = colors;
}

}  // namespace rv::app
