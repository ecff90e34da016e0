#include "core/app/MainRules.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace rv::app {

namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

bool isBrowseArgument(std::string_view argument) {
    return upper(argument.substr(0, std::min<std::size_t>(argument.size(), 30))) == "/BROWSE";
}

int usableWindowSize(int windowSize, int screenWidth, int screenHeight) {
    for (const auto& c : kScreenChoices)
        if (c.windowSize == windowSize && screenWidth >= c.minWidth && screenHeight >= c.minHeight)
            return windowSize;
    return 640;
}

double scaleFactorOf(int windowSize) {
    for (const auto& c : kScreenChoices)
        if (c.windowSize == windowSize) return c.factor;
    return 1.0;
}

int scaleNumerator(double factor) {
    // 1.6 * 100 is 160.00000000000003 or 159.99999999999997 depending on rounding; the
    // factors are exact to two places, so round to the nearest hundredth first.
    return static_cast<int>(std::floor(std::round(factor * 10000.0) / 100.0));
}

void doLastFiles(std::array<std::string, 5>& recent, const std::string& previous, const std::string& newPath) {
    for (std::size_t i = 0; i < recent.size(); ++i) {
        if (recent[i] == newPath) {
            for (std::size_t j = i; j + 1 < recent.size(); ++j) recent[j] = recent[j + 1];
            recent.back().clear();
            break;
        }
    }
    for (std::size_t i = recent.size() - 1; i > 0; --i) recent[i] = recent[i - 1];
    recent[0] = previous;
}

bool hasDbfExtension(std::string_view fileName) {
    const std::string u = upper(fileName);
    return u.size() >= 4 && u.compare(u.size() - 4, 4, ".DBF") == 0;
}

}  // namespace rv::app
