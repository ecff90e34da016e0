#pragma once
// Display formats: the twelve short date formats, the locale's number values, and the
// formatting of numbers and money that the viewer, the editor, exports and reports share.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/db/Date.h"

namespace rv::app {

struct Settings;

// ---------------------------------------------------------------- dates

// One of the twelve date formats: 1-3 month/day/yy with "/", "-", "."; 4-6 day/month/yy;
// 7-9 month/day/yyyy; 10-12 day/month/yyyy.
struct DateFormat {
    int number = 1;
    char separator = '/';
    bool dayFirst = false;
    bool fourDigitYear = false;
    const char* caption = "mm/dd/yy";   // the menu caption
};
std::optional<DateFormat> dateFormat(int number);  // nothing outside 1..12

// Today's date; the date format reads it for the current year.  Tests pass a fixed one.
using TodayFunction = std::function<rv::db::Date()>;
rv::db::Date systemToday();

// The current short date format: shows dates and reads typed dates back.
//  - Shown as e.g. "03/05/97" (leading zeros) or "3/5/97" (without); two-digit years show
//    the year's last two digits.
//  - Read: numbers separated by the format's separator, in the format's order, blanks
//    around them allowed.  A year of one or two digits is taken in the hundred years that
//    end ten years after the current year (in 2026: 37-99 give 1937-1999, 00-36 give
//    2000-2036); a longer year is taken as written.  Two numbers alone are day and month
//    (in the format's order) of the current year.  Impossible dates read as nothing; a
//    blank text reads as the empty date.
class ShortDateFormat final : public rv::db::DateCodec {
public:
    // A number outside 1..12 keeps the platform default: month/day/four-digit year with "/"
    // and leading zeros, whatever the leading-zeros choice.
    explicit ShortDateFormat(int number = 1, bool leadingZeros = false, TodayFunction today = systemToday);

    int number() const { return number_; }
    bool leadingZeros() const { return leadingZeros_; }
    char separator() const { return separator_; }
    bool dayFirst() const { return dayFirst_; }
    bool fourDigitYear() const { return fourDigitYear_; }
    // The pattern in force, e.g. "m/d/yy" or "dd.mm.yyyy".
    std::string pattern() const;

    std::string format(const rv::db::Date& date) const override;
    std::optional<rv::db::Date> parse(std::string_view text) const override;

    // The year a one- or two-digit year stands for, given the current year.
    static int expandYear(int twoDigits, int currentYear);

private:
    int number_;
    bool leadingZeros_;
    char separator_ = '/';
    bool dayFirst_ = false;
    bool fourDigitYear_ = true;
    bool defaultPattern_ = false;
    TodayFunction today_;
};

// ---------------------------------------------------------------- locale values

// The locale's number values: decimal separator, thousands separator, decimals of money.
struct IntlSettings {
    char decimalSeparator = '.';
    char thousandsSeparator = ',';
    int currencyDigits = 2;
    friend bool operator==(const IntlSettings&, const IntlSettings&) = default;
};

// The values of the user's locale (from the LC_* / LANG environment), read without changing
// the process's locale.  The C/POSIX locale, or a value it lacks, gives the defaults.
IntlSettings readIntlSettings();

// The rule that turns a locale's raw values into IntlSettings.  `decimalPoint` and
// `thousandsSep` are in the locale's character set (UTF-8 when `utf8`); nullptr means
// unavailable (default), an empty text means a space.  A thousands separator with no
// Windows-1252 form (U+202F in French locales) becomes a space, such a decimal separator
// the default ".".  `fracDigits` outside 0..9 means unavailable.
IntlSettings intlSettingsFrom(const char* decimalPoint, const char* thousandsSep, int fracDigits, bool utf8);

// ---------------------------------------------------------------- text operations

// Every result is cut to 255 characters.
std::string fixedNumber(int width, int decimals, double value);    // "1234.50", padded left
std::string groupedNumber(int width, int decimals, double value);  // "1,234.50", padded left
// Inserts `separator` between digit groups of `number` (no leading blanks), which has
// `decimals` decimals and one decimal separator character when decimals > 0.
std::string groupDigits(std::string number, int decimals, char separator);
std::string trim(std::string_view text);                           // spaces only, both ends
std::string stripChar(std::string_view text, int length, char ch); // trim, cut, remove ch
std::string stripCommas(std::string_view text, int length);
std::string padRight(std::string_view text, int length);
std::string padLeft(std::string_view text, int length);
std::string repeatChar(char ch, int count);

// ---------------------------------------------------------------- the shared format state

// The formats in force for the run: number and money setting, locale values, date format.
// The main window owns one; the CLI and the reports get it from there or from
// loadDisplayFormats().
// The two choices of the Currency Format and Numeric Format menus, with the values the
// settings store ("Currency Format", "Numeric Format").
enum class MoneyFormat : int { US = 1, Locale = 2 };

class DisplayFormats {
public:
    DisplayFormats() = default;
    DisplayFormats(const Settings& settings, IntlSettings intl, TodayFunction today = systemToday);

    int numericFormat() const { return numericFormat_; }
    int currencyFormat() const { return currencyFormat_; }
    const IntlSettings& intl() const { return intl_; }
    const ShortDateFormat& date() const { return date_; }

    void setNumericFormat(int format) { numericFormat_ = format; }
    void setCurrencyFormat(int format) { currencyFormat_ = format; }
    void setIntl(const IntlSettings& intl) { intl_ = intl; }
    void setDateFormat(int number, bool leadingZeros);

    // Numbers and money for display, padded on the left to at least `width`, at most 255
    // characters.  Format 2 uses the locale values; no currency symbol in either case.
    std::string formatNumber(int width, int decimals, double value) const;
    std::string formatGroupedNumber(int width, int decimals, double value) const;
    std::string formatCurrency(int width, double value) const;

private:
    int numericFormat_ = 1;
    int currencyFormat_ = 1;
    IntlSettings intl_;
    ShortDateFormat date_;
    TodayFunction today_ = systemToday;
};

// The Options menu commands: each changes the settings record and the format state together.
// chooseDateFormat and toggleLeadingZeros return true when the table must be refreshed so the
// viewer shows dates anew (choosing the format already in force changes nothing).
bool chooseDateFormat(Settings& settings, DisplayFormats& formats, int number);
bool toggleLeadingZeros(Settings& settings, DisplayFormats& formats);
void chooseCurrencyFormat(Settings& settings, DisplayFormats& formats, MoneyFormat format);
void chooseNumericFormat(Settings& settings, DisplayFormats& formats, MoneyFormat format);

// For the CLI and other programs without a main window: the formats of the program
// configuration file (date format, leading zeros, number and money setting) with the
// locale's values.  `formats.date()` is the DateCodec to hand to the table engine.
DisplayFormats loadDisplayFormats(const std::filesystem::path& programFile);
DisplayFormats loadDisplayFormats();  // from programConfigFile()

}  // namespace rv::app
