#include "core/edit/Validation.h"

#include "core/app/Formats.h"
#include "core/edit/EditorMessages.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace rv::edit {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Consumes digits from text[pos]; answers how many.
std::size_t skipDigits(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos])) ++pos;
    return pos - start;
}

// sign? digits? ( "." digits+ )? ( [eE] sign? digits+ )?, with at least one digit before the
// exponent.
bool isDecimalNumber(std::string_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    std::size_t mantissa = skipDigits(text, pos);
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        const std::size_t decimals = skipDigits(text, pos);
        if (decimals == 0) return false;
        mantissa += decimals;
    }
    if (mantissa == 0) return false;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
        if (skipDigits(text, pos) == 0) return false;
    }
    return pos == text.size();
}

std::string removeAll(std::string_view text, char c) {
    std::string out;
    for (char x : text)
        if (x != c) out += x;
    return out;
}

}  // namespace

std::optional<double> readPrice(std::string_view text, const app::DisplayFormats& formats) {
    std::string number = app::trim(text);
    if (number.empty()) return 0.0;
    if (formats.currencyFormat() == int(rv::app::MoneyFormat::Locale)) {
        number = removeAll(number, formats.intl().thousandsSeparator);
        const auto point = number.find(formats.intl().decimalSeparator);
        if (point != std::string::npos) number[point] = '.';
    } else {
        number = removeAll(number, ',');
    }
    if (!isDecimalNumber(number)) return std::nullopt;
    const char* begin = number.data() + (number[0] == '+' ? 1 : 0);
    double value = 0;
    const auto [end, ec] = std::from_chars(begin, number.data() + number.size(), value);
    if (ec != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

bool isWholeNumber(std::string_view text) {
    const std::string number = app::trim(text);
    std::size_t pos = 0;
    if (pos < number.size() && (number[pos] == '+' || number[pos] == '-')) ++pos;
    return skipDigits(number, pos) > 0 && pos == number.size();
}

std::optional<db::Date> readDateBox(std::string_view text, const std::optional<LoadedDate>& loaded,
                                    const app::DisplayFormats& formats) {
    if (isBlankDate(text)) return db::Date{};
    const std::string typed = app::trim(text);
    if (loaded && typed == app::trim(loaded->text)) return loaded->date;
    const auto date = formats.date().parse(typed);
    if (!date || date->isEmpty() || !date->isValid()) return std::nullopt;
    return date;
}

std::string reformatPrice(std::string_view text, const app::DisplayFormats& formats) {
    if (app::trim(text).empty()) return std::string(text);
    const auto value = readPrice(text, formats);
    if (!value) return std::string(text);
    return app::trim(formats.formatCurrency(1, *value));
}

Validation validate(const EditorRecord& boxes, const app::DisplayFormats& formats) {
    Validation result;
    auto fail = [&](int step, int field, std::string_view message) {
        result.error = ValidationError{step, field, boxOfField(field).page, message};
        return result;
    };

    const auto checkDate = readDateBox(boxes[kCheckDateField], boxes.loadedDate(kCheckDateField), formats);
    if (!checkDate) return fail(1, kCheckDateField, kInvalidCheckDate);
    const auto purchDate = readDateBox(boxes[kPurchDateField], boxes.loadedDate(kPurchDateField), formats);
    if (!purchDate) return fail(2, kPurchDateField, kInvalidPurchDate);
    const auto listPrice = readPrice(boxes[kListPriceField], formats);
    if (!listPrice) return fail(3, kListPriceField, kInvalidListPrice);
    const auto purchPrice = readPrice(boxes[kPurchPriceField], formats);
    if (!purchPrice) return fail(4, kPurchPriceField, kInvalidPurchPrice);
    if (!app::trim(boxes[kRunTimeField]).empty() && !isWholeNumber(boxes[kRunTimeField]))
        return fail(5, kRunTimeField, kInvalidPlayTime);
    if (!app::trim(boxes[kYearField]).empty() && !isWholeNumber(boxes[kYearField]))
        return fail(6, kYearField, kInvalidYear);

    result.values = CheckedValues{*listPrice, *purchPrice, *checkDate, *purchDate};
    return result;
}

}  // namespace rv::edit
