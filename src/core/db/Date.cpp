#include "core/db/Date.h"

#include <cstdio>

namespace rv::db {

namespace {

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

bool isBlank(std::string_view text) {
    for (char c : text)
        if (c != ' ' && c != '\0') return false;
    return true;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads 1..maxDigits decimal digits at text[pos]; advances pos.
std::optional<int> readNumber(std::string_view text, size_t& pos, size_t minDigits, size_t maxDigits) {
    size_t start = pos;
    int value = 0;
    while (pos < text.size() && isDigit(text[pos]) && pos - start < maxDigits) value = value * 10 + (text[pos++] - '0');
    if (pos - start < minDigits || (pos < text.size() && isDigit(text[pos]))) return std::nullopt;
    return value;
}

class MonthDayYearCodec final : public DateCodec {
public:
    std::string format(const Date& date) const override {
        if (date.isEmpty()) return {};
        char buf[16];
        std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", date.month, date.day, date.year);
        return buf;
    }

    std::optional<Date> parse(std::string_view text) const override {
        while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
        size_t pos = 0;
        auto month = readNumber(text, pos, 1, 2);
        if (!month || pos >= text.size() || text[pos++] != '/') return std::nullopt;
        auto day = readNumber(text, pos, 1, 2);
        if (!day || pos >= text.size() || text[pos++] != '/') return std::nullopt;
        auto year = readNumber(text, pos, 4, 4);
        if (!year || pos != text.size()) return std::nullopt;
        Date d{*year, *month, *day};
        if (!d.isValid()) return std::nullopt;
        return d;
    }
};

}  // namespace

bool Date::isValid() const {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

std::string Date::dtos() const {
    if (isEmpty()) return std::string(8, ' ');
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", year % 10000, month % 100, day % 100);
    return buf;
}

std::optional<Date> Date::fromDtos(std::string_view text) {
    if (isBlank(text)) return Date{};
    if (text.size() != 8) return std::nullopt;
    for (char c : text)
        if (!isDigit(c)) return std::nullopt;
    auto num = [&](size_t at, size_t len) {
        int v = 0;
        for (size_t i = at; i < at + len; ++i) v = v * 10 + (text[i] - '0');
        return v;
    };
    Date d{num(0, 4), num(4, 2), num(6, 2)};
    if (!d.isValid()) return std::nullopt;
    return d;
}

const DateCodec& defaultDateCodec() {
    static const MonthDayYearCodec codec;
    return codec;
}

}  // namespace rv::db
