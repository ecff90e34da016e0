#include "core/browse/SearchCriteria.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/app/Formats.h"

namespace rv::browse {

namespace {

using rv::db::FieldKind;

constexpr int kKeyWordsField = 26;
constexpr int kFirstStar = 2;
constexpr int kLastStar = 7;

std::string trimmed(std::string_view text) { return rv::app::trim(text); }

char fold(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = fold(c);
    return out;
}

// Deletes the first occurrence of `c`.
std::string withoutFirst(std::string text, char c) {
    if (auto at = text.find(c); at != std::string::npos) text.erase(at, 1);
    return text;
}

SearchTest textTest(int field) {
    if (field == kKeyWordsField) return SearchTest::AnyWord;
    if (field >= kFirstStar && field <= kLastStar) return SearchTest::AnyStar;
    return SearchTest::Contains;
}

// Exactly the date separator, two blanks and the date separator: what an untouched date
// template reads as.
bool isBlankDate(const std::string& text, char separator) {
    return text.empty() || text == std::string{separator, ' ', ' ', separator};
}

// The value of one bound or one single criterion; nothing when it cannot be read.
struct Value {
    std::string text;
    double number = 0;
    double date = 0;
};

std::optional<Value> readValue(const std::string& text, SearchRowKind kind, const rv::app::ShortDateFormat& dates) {
    Value v;
    if (kind == SearchRowKind::Number) {
        auto n = parseCriterionNumber(text);
        if (!n) return std::nullopt;
        v.text = text;
        v.number = *n;
        return v;
    }
    auto d = dates.parse(text);
    if (!d || d->isEmpty()) return std::nullopt;
    v.date = dayNumber(*d);
    v.text = std::to_string(static_cast<long long>(v.date));
    return v;
}

bool isEmptyBound(const std::string& text, SearchRowKind kind, char separator) {
    return kind == SearchRowKind::Date ? isBlankDate(text, separator) : text.empty();
}

class LevelStore {
public:
    LevelStore(SearchCriteria& criteria) : criteria_(criteria), before_(criteria.items.size()) {}

    // False when the limit is exceeded (the criteria are then emptied).
    bool add(SearchItem item) {
        if (int(criteria_.items.size()) + 1 > kMaxSearchItems) {
            criteria_.items.clear();
            return false;
        }
        item.levelEnd = false;
        criteria_.items.push_back(std::move(item));
        return true;
    }
    void undo() { criteria_.items.resize(before_); }
    bool addedAny() const { return criteria_.items.size() > before_; }

private:
    SearchCriteria& criteria_;
    size_t before_;
};

}  // namespace

SearchRowKind searchRowKind(int field) {
    switch (rv::db::field(field).kind) {
        case FieldKind::Whole:
        case FieldKind::Money: return SearchRowKind::Number;
        case FieldKind::Date: return SearchRowKind::Date;
        case FieldKind::Text: break;
    }
    return SearchRowKind::Text;
}

std::string tooManyItemsMessage() {
    return "More than " + std::to_string(kMaxSearchItems) + " search items have been entered.  " +
           "This exceeds the maximum allowable.  Search criteria will be cleared.";
}

std::string criteriaHeading(int level) { return " SEARCH CRITERIA    (Level " + std::to_string(level) + ")"; }

std::optional<double> parseCriterionNumber(std::string_view text) {
    size_t i = 0;
    const size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const size_t start = i;
    auto digits = [&] {
        size_t from = i;
        while (i < n && text[i] >= '0' && text[i] <= '9') ++i;
        return i - from;
    };
    size_t count = digits();
    if (i < n && text[i] == '.') {
        ++i;
        count += digits();
    }
    if (count == 0) return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) return std::nullopt;
    }
    if (i != n) return std::nullopt;
    std::string_view body = text.substr(start);
    double v = 0;
    auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), v);
    if (ec != std::errc() || end != body.data() + body.size() || !std::isfinite(v)) return std::nullopt;
    return negative ? -v : v;
}

double dayNumber(const rv::db::Date& date) {
    if (date.isEmpty()) return 0;
    // Days from the civil date (proleptic Gregorian calendar).
    auto days = [](long long y, long long m, long long d) {
        y -= m <= 2;
        const long long era = (y >= 0 ? y : y - 399) / 400;
        const long long yoe = y - era * 400;
        const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
        return era * 146097 + doe;
    };
    return double(days(date.year, date.month, date.day) - days(1899, 12, 30));
}

StoreResult storeLevel(SearchCriteria& criteria, const SearchLevelRows& rows, const rv::app::ShortDateFormat& dates) {
    LevelStore store(criteria);
    auto invalid = [&](int field) {
        store.undo();
        return StoreResult{StoreOutcome::Invalid, field, kInvalidCriteriaMessage};
    };
    const StoreResult tooMany{StoreOutcome::TooMany, 0, tooManyItemsMessage()};
    const char separator = dates.separator();

    for (int field = 1; field <= rv::db::kFieldCount; ++field) {
        const std::string& cell = rows.cells[size_t(field - 1)];
        const SearchRowKind kind = searchRowKind(field);
        if (kind == SearchRowKind::Text) {
            std::string text = upper(trimmed(cell));
            if (text.empty()) continue;
            if (text.size() > size_t(kMaxCriterionText)) text.resize(size_t(kMaxCriterionText));
            SearchItem item;
            item.text = std::move(text);
            item.field = field;
            item.test = textTest(field);
            if (!store.add(std::move(item))) return tooMany;
            continue;
        }

        const bool isDate = kind == SearchRowKind::Date;
        const RowComparison comparison = rows.comparisons[size_t(field - 1)];
        auto makeItem = [&](const Value& v, SearchTest test) {
            SearchItem item;
            item.text = v.text;
            item.number = v.number;
            item.date = v.date;
            item.field = field;
            item.test = test;
            item.isDate = isDate;
            return item;
        };

        if (comparison != RowComparison::Range) {
            const char mark = comparison == RowComparison::Equal ? '=' : comparison == RowComparison::Greater ? '>' : '<';
            const std::string text = trimmed(withoutFirst(trimmed(cell), mark));
            if (isEmptyBound(text, kind, separator)) continue;
            auto v = readValue(text, kind, dates);
            if (!v) return invalid(field);
            if (!store.add(makeItem(*v, static_cast<SearchTest>(comparison)))) return tooMany;
            continue;
        }

        const std::string text = trimmed(withoutFirst(withoutFirst(trimmed(cell), '<'), '>'));
        std::string lowerText = text, upperText;
        if (auto at = text.find("AND"); at != std::string::npos) {
            lowerText = trimmed(text.substr(0, at));
            upperText = trimmed(text.substr(at + 3));
        }
        const bool lowerEmpty = isEmptyBound(lowerText, kind, separator);
        const bool upperEmpty = isEmptyBound(upperText, kind, separator);
        if (lowerEmpty && upperEmpty) continue;
        if (lowerEmpty || upperEmpty) return invalid(field);
        auto low = readValue(lowerText, kind, dates);
        auto high = readValue(upperText, kind, dates);
        if (!low || !high) return invalid(field);
        if (!store.add(makeItem(*low, SearchTest::Greater))) return tooMany;
        if (!store.add(makeItem(*high, SearchTest::Less))) return tooMany;
    }

    if (!store.addedAny()) return {StoreOutcome::NoCriteria, 0, kNoCriteriaMessage};
    criteria.items.back().levelEnd = true;
    return {};
}

bool containsFolded(std::string_view haystack, std::string_view needle) {
    if (haystack.empty()) return false;
    if (needle.size() > haystack.size()) return false;
    char buffer[512];
    std::string big;
    char* folded = buffer;
    if (haystack.size() > sizeof buffer) {
        big.resize(haystack.size());
        folded = big.data();
    }
    for (size_t i = 0; i < haystack.size(); ++i) folded[i] = fold(haystack[i]);
    return std::string_view(folded, haystack.size()).find(needle) != std::string_view::npos;
}

bool matches(const SearchCriteria& criteria, const SearchRecord& record) {
    bool level = true;
    for (const SearchItem& item : criteria.items) {
        switch (item.test) {
            case SearchTest::Equal:
            case SearchTest::Greater:
            case SearchTest::Less:
                if (level) {
                    const double value = item.isDate ? record.date(item.field) : record.number(item.field);
                    const double target = item.isDate ? item.date : item.number;
                    level = item.test == SearchTest::Equal ? value == target
                            : item.test == SearchTest::Greater ? value > target
                                                               : value < target;
                }
                break;
            case SearchTest::Contains:
                if (level) level = containsFolded(record.text(item.field), item.text);
                break;
            case SearchTest::AnyWord:
                if (level) {
                    const std::string_view words = item.text;
                    const std::string_view keyWords = record.text(item.field);
                    bool found = false;
                    size_t start = 0;
                    while (!found) {
                        const size_t blank = words.find(' ', start);
                        const std::string_view word = words.substr(start, blank - start);
                        found = !word.empty() && containsFolded(keyWords, word);
                        if (blank == std::string_view::npos) break;
                        start = blank + 1;
                    }
                    level = found;
                }
                break;
            case SearchTest::AnyStar:
                if (level) {
                    bool found = false;
                    for (int star = kFirstStar; star <= kLastStar && !found; ++star)
                        found = containsFolded(record.text(star), item.text);
                    level = found;
                }
                break;
        }
        if (item.levelEnd) {
            if (level) return true;
            level = true;
        }
    }
    return false;
}

TypedRow typedRow(int field, std::string_view criterion) {
    TypedRow row;
    if (searchRowKind(field) == SearchRowKind::Text) {
        row.cell = std::string(criterion);
        return row;
    }
    const std::string text = trimmed(criterion);
    if (!text.empty() && text.front() == '>' && text.find("AND") != std::string::npos) {
        row.comparison = RowComparison::Range;
        row.cell = text;
    } else if (!text.empty() && text.front() == '>') {
        row.comparison = RowComparison::Greater;
        row.cell = text;
    } else if (!text.empty() && text.front() == '<') {
        row.comparison = RowComparison::Less;
        row.cell = text;
    } else if (!text.empty() && text.front() == '=') {
        row.cell = text;
    } else {
        row.cell = text.empty() ? std::string() : "= " + text;
    }
    return row;
}

}  // namespace rv::browse
