#pragma once
// Colour sets on widgets.
//
// A colour is a Windows colour value, red + 256 * green + 65536 * blue, as the settings and
// configuration files hold it.  Each window's SetColors picks the colours of its set
// (rv::app::Settings::colors) and paints its controls with the helpers below.

#include <QColor>

#include <array>
#include <cstdint>
#include <string_view>

#include "core/app/ColorSchemes.h"
#include "core/app/Settings.h"

class QWidget;

namespace rv::gui {

QColor toQColor(std::int32_t winColor);
std::int32_t toWinColor(const QColor& color);

// A window, panel, label, radio button or check box: background and (optionally) text.
void paintBackground(QWidget* widget, std::int32_t background);
void paintText(QWidget* widget, std::int32_t text);
void paintTextAndBackground(QWidget* widget, std::int32_t text, std::int32_t background);
// An edit, combo or list box: the colours of its entry area and text.
void paintBox(QWidget* box, std::int32_t text, std::int32_t background);

// The schemes and the colour-set rules live in core (core/app/ColorSchemes.h).
using rv::app::applyScheme;
using rv::app::ColorScheme;
using rv::app::kColorSchemes;
using rv::app::winColor;

}  // namespace rv::gui
