#include "core/app/Formats.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <ctime>

#include "core/app/Cp1252.h"
#include "core/app/Paths.h"
#include "core/app/Settings.h"

namespace rv::app {

using rv::db::Date;

namespace {

constexpr std::size_t kMaxText = 255;

std::string cut(std::string text) {
    if (text.size() > kMaxText) text.resize(kMaxText);
    return text;
}

// The value rounded to `decimals` places in plain fixed notation with "." and no grouping.
// Rounding works on the shortest decimal form of the value, half away from zero, so 2.675
// (held as 2.67499999...) shows as 2.68 the way it was typed.
std::string fixedText(double value, int decimals) {
    decimals = std::clamp(decimals, 0, 20);
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";

    std::array<char, 400> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    std::string_view shortest(buffer.data(), ec == std::errc() ? static_cast<std::size_t>(end - buffer.data()) : 0);

    const bool negative = !shortest.empty() && shortest.front() == '-';
    if (negative) shortest.remove_prefix(1);
    const std::size_t dot = shortest.find('.');
    std::string whole(shortest.substr(0, dot));
    std::string fraction(dot == std::string_view::npos ? std::string_view() : shortest.substr(dot + 1));
    if (whole.empty()) whole = "0";

    const auto places = static_cast<std::size_t>(decimals);
    bool roundUp = fraction.size() > places && fraction[places] >= '5';
    fraction.resize(places, '0');
    std::string digits = whole + fraction;
    if (roundUp) {
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
        if (i == 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[i - 1];
    }
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    std::string text = (negative && !zero) ? "-" : "";
    text += digits.substr(0, digits.size() - places);
    if (places > 0) text += "." + digits.substr(digits.size() - places);
    return text;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) return 29;
    return kDays[month - 1];
}

std::string twoDigits(int value) {
    return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

// The first character of a locale value in Windows-1252, or nothing when it has none.
std::optional<char> firstCharacter(std::string_view value, bool utf8) {
    if (!utf8) return value.front();
    const auto lead = static_cast<unsigned char>(value.front());
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    auto converted = utf8ToCp1252(value.substr(0, std::min(length, value.size())));
    if (!converted || converted->size() != 1) return std::nullopt;
    return converted->front();
}

// The name the locale of a category resolves to from the environment.
std::string localeName(const char* category) {
    for (const char* variable : {"LC_ALL", category, "LANG"})
        if (const char* value = std::getenv(variable); value && *value) return value;
    return "C";
}

bool isCLocale(const std::string& name) {
    return name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0;
}

}  // namespace

// ------------------------------------------------------------------ dates

std::optional<DateFormat> dateFormat(int number) {
    static constexpr std::array<DateFormat, 12> kFormats{{
        {1, '/', false, false, "mm/dd/yy"},
        {2, '-', false, false, "mm-dd-yy"},
        {3, '.', false, false, "mm.dd.yy"},
        {4, '/', true, false, "dd/mm/yy"},
        {5, '-', true, false, "dd-mm-yy"},
        {6, '.', true, false, "dd.mm.yy"},
        {7, '/', false, true, "mm/dd/yyyy"},
        {8, '-', false, true, "mm-dd-yyyy"},
        {9, '.', false, true, "mm.dd.yyyy"},
        {10, '/', true, true, "dd/mm/yyyy"},
        {11, '-', true, true, "dd-mm-yyyy"},
        {12, '.', true, true, "dd.mm.yyyy"},
    }};
    if (number < 1 || number > 12) return std::nullopt;
    return kFormats[static_cast<std::size_t>(number - 1)];
}

Date systemToday() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

ShortDateFormat::ShortDateFormat(int number, bool leadingZeros, TodayFunction today)
    : number_(number), leadingZeros_(leadingZeros), today_(std::move(today)) {
    if (auto format = dateFormat(number)) {
        separator_ = format->separator;
        dayFirst_ = format->dayFirst;
        fourDigitYear_ = format->fourDigitYear;
    } else {
        defaultPattern_ = true;
    }
    if (!today_) today_ = systemToday;
}

std::string ShortDateFormat::pattern() const {
    const bool zeros = leadingZeros_ || defaultPattern_;
    const std::string day = zeros ? "dd" : "d";
    const std::string month = zeros ? "mm" : "m";
    const std::string sep(1, separator_);
    return (dayFirst_ ? day + sep + month : month + sep + day) + sep + (fourDigitYear_ ? "yyyy" : "yy");
}

std::string ShortDateFormat::format(const Date& date) const {
    if (date.isEmpty()) return "";
    const bool zeros = leadingZeros_ || defaultPattern_;
    auto part = [zeros](int value) { return zeros ? twoDigits(value) : std::to_string(value); };
    std::string year;
    if (fourDigitYear_) {
        year = std::to_string(date.year);
        year.insert(0, year.size() < 4 ? 4 - year.size() : 0, '0');
    } else {
        year = twoDigits(((date.year % 100) + 100) % 100);
    }
    const std::string sep(1, separator_);
    const std::string first = dayFirst_ ? part(date.day) : part(date.month);
    const std::string second = dayFirst_ ? part(date.month) : part(date.day);
    return first + sep + second + sep + year;
}

int ShortDateFormat::expandYear(int twoDigits, int currentYear) {
    const int first = currentYear + 10 - 99;  // the window's first year
    return first + (((twoDigits - first) % 100) + 100) % 100;
}

std::optional<Date> ShortDateFormat::parse(std::string_view text) const {
    struct Number {
        int value = 0;
        std::size_t digits = 0;
    };
    std::array<Number, 3> numbers{};
    std::size_t count = 0;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && text[i] == ' ') ++i;
    };
    skipBlanks();
    if (i == text.size()) return Date{};  // blank text: the empty date
    while (true) {
        if (count == numbers.size()) return std::nullopt;
        Number& n = numbers[count++];
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            if (++n.digits > 4) return std::nullopt;
            n.value = n.value * 10 + (text[i] - '0');
        }
        if (n.digits == 0) return std::nullopt;
        skipBlanks();
        if (i == text.size()) break;
        if (text[i] != separator_) return std::nullopt;
        ++i;
        skipBlanks();
    }
    if (count < 2) return std::nullopt;

    const Date today = today_();
    Date date;
    date.month = dayFirst_ ? numbers[1].value : numbers[0].value;
    date.day = dayFirst_ ? numbers[0].value : numbers[1].value;
    if (count == 2) {
        date.year = today.year;
    } else {
        date.year = numbers[2].digits <= 2 ? expandYear(numbers[2].value, today.year) : numbers[2].value;
    }
    if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > daysInMonth(date.year, date.month))
        return std::nullopt;
    return date;
}

// ------------------------------------------------------------------ locale values

IntlSettings intlSettingsFrom(const char* decimalPoint, const char* thousandsSep, int fracDigits, bool utf8) {
    IntlSettings intl;
    if (decimalPoint) intl.decimalSeparator = *decimalPoint ? firstCharacter(decimalPoint, utf8).value_or('.') : ' ';
    if (thousandsSep) intl.thousandsSeparator = *thousandsSep ? firstCharacter(thousandsSep, utf8).value_or(' ') : ' ';
    if (fracDigits >= 0 && fracDigits <= 9) intl.currencyDigits = fracDigits;
    return intl;
}

IntlSettings readIntlSettings() {
    const bool numeric = !isCLocale(localeName("LC_NUMERIC"));
    const bool monetary = !isCLocale(localeName("LC_MONETARY"));
    if (!numeric && !monetary) return IntlSettings{};
    // A locale object of its own, so the process's locale (and with it printf and strtod
    // everywhere else) stays as it is.
    locale_t locale = newlocale(LC_NUMERIC_MASK | LC_MONETARY_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (!locale) return IntlSettings{};
    const std::string codeset = nl_langinfo_l(CODESET, locale);
    const bool utf8 = codeset == "UTF-8" || codeset == "utf8";
    const char* fraction = nl_langinfo_l(FRAC_DIGITS, locale);
    const int fracDigits = monetary && fraction ? static_cast<signed char>(*fraction) : -1;
    IntlSettings intl = intlSettingsFrom(numeric ? nl_langinfo_l(RADIXCHAR, locale) : nullptr,
                                         numeric ? nl_langinfo_l(THOUSEP, locale) : nullptr, fracDigits, utf8);
    freelocale(locale);
    return intl;
}

// ------------------------------------------------------------------ text operations

std::string fixedNumber(int width, int decimals, double value) {
    return cut(padLeft(fixedText(value, decimals), width));
}

std::string groupDigits(std::string number, int decimals, char separator) {
    std::size_t k = decimals > 0 ? static_cast<std::size_t>(decimals) + 4 : 3;
    while (k < number.size()) {
        number.insert(number.size() - k, 1, separator);
        k += 4;
    }
    if (number.size() > 1 && number[0] == '-' && number[1] == separator) number.erase(1, 1);
    return number;
}

std::string groupedNumber(int width, int decimals, double value) {
    return cut(padLeft(groupDigits(fixedText(value, decimals), std::clamp(decimals, 0, 20), ','), width));
}

std::string trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return "";
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string stripChar(std::string_view text, int length, char ch) {
    std::string result = trim(text);
    result.resize(std::min(result.size(), static_cast<std::size_t>(std::max(length, 0))));
    std::erase(result, ch);
    return result;
}

std::string stripCommas(std::string_view text, int length) { return stripChar(text, length, ','); }

std::string padRight(std::string_view text, int length) {
    std::string result(text);
    if (length > 0 && result.size() < static_cast<std::size_t>(length)) result.resize(static_cast<std::size_t>(length), ' ');
    return result;
}

std::string padLeft(std::string_view text, int length) {
    std::string result(text);
    if (length > 0 && result.size() < static_cast<std::size_t>(length))
        result.insert(0, static_cast<std::size_t>(length) - result.size(), ' ');
    return result;
}

std::string repeatChar(char ch, int count) { return std::string(static_cast<std::size_t>(std::max(count, 0)), ch); }

// ------------------------------------------------------------------ DisplayFormats

DisplayFormats::DisplayFormats(const Settings& settings, IntlSettings intl, TodayFunction today)
    : numericFormat_(settings.numericFormat),
      currencyFormat_(settings.currencyFormat),
      intl_(intl),
      date_(settings.dateFormat, settings.dateLeadingZeros, today),
      today_(std::move(today)) {}

void DisplayFormats::setDateFormat(int number, bool leadingZeros) {
    date_ = ShortDateFormat(number, leadingZeros, today_);
}

namespace {

// The locale form of a number: the fixed text with the locale's decimal separator, grouped
// with its thousands separator.
std::string localeGrouped(int width, int decimals, double value, const IntlSettings& intl) {
    std::string text = fixedText(value, decimals);
    std::replace(text.begin(), text.end(), '.', intl.decimalSeparator);
    return cut(padLeft(groupDigits(std::move(text), std::clamp(decimals, 0, 20), intl.thousandsSeparator), width));
}

}  // namespace

std::string DisplayFormats::formatNumber(int width, int decimals, double value) const {
    std::string text = fixedNumber(width, decimals, value);
    if (numericFormat_ == int(MoneyFormat::Locale)) std::replace(text.begin(), text.end(), '.', intl_.decimalSeparator);
    return text;
}

std::string DisplayFormats::formatGroupedNumber(int width, int decimals, double value) const {
    if (numericFormat_ == int(MoneyFormat::Locale)) return localeGrouped(width, decimals, value, intl_);
    return groupedNumber(width, decimals, value);
}

std::string DisplayFormats::formatCurrency(int width, double value) const {
    if (currencyFormat_ == int(MoneyFormat::Locale)) return localeGrouped(width, intl_.currencyDigits, value, intl_);
    return groupedNumber(width, 2, value);
}

// ------------------------------------------------------------------ Options menu commands

bool chooseDateFormat(Settings& settings, DisplayFormats& formats, int number) {
    if (!dateFormat(number) || number == settings.dateFormat) return false;
    settings.dateFormat = number;
    formats.setDateFormat(number, settings.dateLeadingZeros);
    return true;
}

bool toggleLeadingZeros(Settings& settings, DisplayFormats& formats) {
    settings.dateLeadingZeros = !settings.dateLeadingZeros;
    formats.setDateFormat(settings.dateFormat, settings.dateLeadingZeros);
    return true;
}

void chooseCurrencyFormat(Settings& settings, DisplayFormats& formats, MoneyFormat format) {
    settings.currencyFormat = int(format);
    formats.setCurrencyFormat(int(format));
}

void chooseNumericFormat(Settings& settings, DisplayFormats& formats, MoneyFormat format) {
    settings.numericFormat = int(format);
    formats.setNumericFormat(int(format));
}

DisplayFormats loadDisplayFormats(const std::filesystem::path& programFile) {
    Settings settings;
    loadProgramSettings(settings, programFile, startFolder());
    return DisplayFormats(settings, readIntlSettings());
}

DisplayFormats loadDisplayFormats() { return loadDisplayFormats(programConfigFile()); }

}  // namespace rv::app
