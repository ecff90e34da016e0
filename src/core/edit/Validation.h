#pragma once
// The record editor's checks of typed dates, prices and whole numbers, shared by the editor
// window and the command-line tool.

#include "core/db/Date.h"
#include "core/edit/EditorRecord.h"

#include <optional>
#include <string_view>

namespace rv::app {
class DisplayFormats;
}

namespace rv::edit {

// The amount a price box stands for, or nothing when its text is not a price.  The text is
// trimmed; under the U.S. money format every "," is removed, under the locale format every
// thousands separator is removed and the first decimal separator becomes ".".  What remains
// must be: an optional sign, digits, optionally a point followed by at least one digit (the
// digits before it may be absent), optionally E or e with an optional sign and digits.
// An empty box stands for 0.  "12." and "$12" are not prices.
std::optional<double> readPrice(std::string_view text, const app::DisplayFormats& formats);

// An optional sign followed by at least one digit, after trimming.
bool isWholeNumber(std::string_view text);

// The date a date box stands for: the empty date for a blank box; the loaded date when the
// box still shows the loaded text (compared trimmed); otherwise the trimmed text read by the
// current short date format.  Nothing when the text is not a date.
std::optional<db::Date> readDateBox(std::string_view text, const std::optional<LoadedDate>& loaded,
                                    const app::DisplayFormats& formats);

// The text a price box shows when the focus leaves it: the amount formatted as money, or
// the text unchanged when it is blank or not a price (the update reports it then).
std::string reformatPrice(std::string_view text, const app::DisplayFormats& formats);

// The first check that failed: its message, the box and page to show it on.
struct ValidationError {
    int step;                  // 1..6
    int field;                 // catalogue number of the box
    int page;                  // notebook page to select
    std::string_view message;  // shown with the title "Error"
};

// The values the update writes that come out of the checks.
struct CheckedValues {
    double listPrice = 0;
    double purchPrice = 0;
    db::Date checkDate;  // empty for a blank box
    db::Date purchDate;
};

struct Validation {
    std::optional<ValidationError> error;
    CheckedValues values;  // meaningful when there is no error
};

// The six checks in their order: check-out date, purchase date, list price, purchase price,
// play time, year.  The first failure ends the checking.
Validation validate(const EditorRecord& boxes, const app::DisplayFormats& formats);

}  // namespace rv::edit
