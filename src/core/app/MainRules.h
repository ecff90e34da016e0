#pragma once
// The main window's small rules that need no window: the browse-mode argument, the screen
// scale factor and the list of recent databases.

#include <array>
#include <string>
#include <string_view>

namespace rv::app {

// True when the first command-line argument turns browse-only mode on: its first 30
// characters, in upper case, are exactly "/BROWSE".
bool isBrowseArgument(std::string_view argument);

// The screen sizes of the Screen Size menu, by "Window Size".
struct ScreenChoice {
    int windowSize;   // 640, 800, 1024 or 1280
    double factor;    // 1.0, 1.25, 1.6 or 2.0
    int minWidth;     // smallest screen that supports it
    int minHeight;
};
inline constexpr std::array<ScreenChoice, 4> kScreenChoices{{
    {640, 1.0, 0, 0},
    {800, 1.25, 800, 600},
    {1024, 1.6, 1024, 768},
    {1280, 2.0, 1280, 1024},
}};

// The screen size actually used for a stored "Window Size" on a screen of the given size:
// the stored one when the screen supports it, else 640 (so any unknown value gives 640).
int usableWindowSize(int windowSize, int screenWidth, int screenHeight);
// The scale factor of a screen size that usableWindowSize answered (1.0 for anything else).
double scaleFactorOf(int windowSize);
// The ratio dialogs are scaled by: the whole part of factor * 100, over 100.
int scaleNumerator(double factor);

// DoLastFiles: the recent list after `newPath` became current and `previous` was left.
// An entry equal to newPath (exactly, case included) is removed first, the list moves down
// one place (dropping the fifth) and previous goes to the top.
void doLastFiles(std::array<std::string, 5>& recent, const std::string& previous, const std::string& newPath);

// True when a chosen file name, upper-cased, ends in ".DBF".
bool hasDbfExtension(std::string_view fileName);

}  // namespace rv::app
