#pragma once
// Calendar dates as the table stores them (dBase "D": YYYYMMDD, blank = spaces) and the
// small interface through which the display formats turn them into text and back.

#include <optional>
#include <string>
#include <string_view>

namespace rv::db {

struct Date {
    int year = 0;  // 0 = empty date
    int month = 0;
    int day = 0;

    bool isEmpty() const { return year == 0; }
    bool isValid() const;                   // a real calendar date, years 1..9999
    std::string dtos() const;               // "19970305", or 8 spaces for an empty date
    static std::optional<Date> fromDtos(std::string_view text);  // "19970305" / blanks -> empty
    friend bool operator==(const Date&, const Date&) = default;
};

// Turns dates into display text and reads typed text back.  The display formats implement
// it from the user's chosen short date format; the engine falls back to mm/dd/yyyy.
class DateCodec {
public:
    virtual ~DateCodec() = default;
    virtual std::string format(const Date& date) const = 0;             // "" for an empty date
    virtual std::optional<Date> parse(std::string_view text) const = 0; // nothing when not a date
};

// The fallback codec: month/day/four-digit year with "/" and leading zeros.
const DateCodec& defaultDateCodec();

}  // namespace rv::db
