#include "core/browse/Locate.h"

#include <algorithm>
#include <charconv>

#include "core/browse/ViewerLayout.h"
#include "core/db/DbfFormat.h"

namespace rv::browse {

namespace {

char fold(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

std::string folded(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = fold(c);
    return out;
}

std::string tildesAsBlanks(std::string text) {
    std::replace(text.begin(), text.end(), '~', ' ');
    return text;
}

bool isDecimalField(const rv::db::FieldInfo& f) { return (f.type == 'N' || f.type == 'F') && f.decimals > 0; }

// The value as the numeric exact match reads it: digits and points, at most a leading minus.
std::optional<double> exactNumber(std::string_view value) {
    std::string_view body = value;
    if (!body.empty() && body.front() == '-') body.remove_prefix(1);
    if (body.empty() || body.find_first_not_of("0123456789.") != std::string_view::npos) return std::nullopt;
    if (body.find_first_of("0123456789") == std::string_view::npos) return std::nullopt;
    // Only the first point is a decimal point; a second one makes it no number.
    if (std::count(body.begin(), body.end(), '.') > 1) return std::nullopt;
    return rv::db::dbf::number(value);
}

}  // namespace

std::string fieldNotFoundMessage(std::string_view fieldName) {
    return "Field " + std::string(fieldName) + " not found.";
}

std::vector<LocateField> locateFields(const rv::db::Table& table, const rv::app::Settings& settings,
                                      LocateFieldSelection selection, LocateFieldOrder order) {
    std::vector<bool> shown(size_t(rv::db::kFieldCount) + 1, false);
    for (const ViewerColumn& c : viewerColumns(settings)) shown[size_t(c.field)] = true;
    std::vector<LocateField> out;
    for (int i = 0; i < table.fieldCount(); ++i) {
        const std::string& name = table.fieldName(i);
        auto number = rv::db::fieldNumber(name);
        const bool visible = number && shown[size_t(*number)];
        if (selection == LocateFieldSelection::Visible && !visible) continue;
        out.push_back({tildesAsBlanks(visible ? settings.displayNames[*number] : name), name});
    }
    if (order == LocateFieldOrder::ByName)
        std::stable_sort(out.begin(), out.end(), [](const LocateField& a, const LocateField& b) { return a.label < b.label; });
    return out;
}

std::string fieldForLabel(const std::vector<LocateField>& fields, std::string_view label) {
    for (const auto& f : fields)
        if (f.label == label) return f.name;
    return {};
}

std::string labelForField(const std::vector<LocateField>& fields, std::string_view name) {
    if (name.empty()) return {};
    for (const auto& f : fields)
        if (rv::db::equalsNoCase(f.name, name)) return f.label;
    return {};
}

std::string displayedText(const rv::db::Table& table, int recNo, int fieldIndex) {
    const rv::db::FieldInfo& f = table.fieldInfo(fieldIndex);
    std::string text = table.valueAt(recNo, fieldIndex);
    if ((f.type != 'N' && f.type != 'F') || text.empty()) return text;
    // Written with a point whatever the process's locale.
    const double value = rv::db::dbf::number(text);
    char buffer[400];
    auto [end, ec] = f.decimals == 0
                         ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 0)
                         : std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return ec == std::errc() ? std::string(buffer, end) : text;
}

bool locateMatches(std::string_view shown, std::string_view value, LocateMatch match, bool caseSensitive,
                   bool numeric) {
    if (match == LocateMatch::Exact && numeric) {
        auto wanted = exactNumber(value);
        if (!wanted || shown.empty()) return false;
        return rv::db::dbf::number(shown) == *wanted;
    }
    std::string text = caseSensitive ? std::string(shown) : folded(shown);
    std::string v = caseSensitive ? std::string(value) : folded(value);
    switch (match) {
        case LocateMatch::Exact: return text == v;
        case LocateMatch::Start: return !v.empty() && text.compare(0, v.size(), v) == 0;
        case LocateMatch::Anywhere: return !v.empty() && text.find(v) != std::string::npos;
    }
    return false;
}

LocateResult locate(rv::db::Table& table, std::string_view fieldName, std::string_view value, LocateMatch match,
                    bool caseSensitive, bool fromFirst) {
    const int field = table.isOpen() ? table.fieldIndex(fieldName) : -1;
    if (fieldName.empty() || field < 0) return LocateResult::NoSuchField;
    const bool numeric = isDecimalField(table.fieldInfo(field));
    const std::string wanted = caseSensitive ? std::string(value) : folded(value);
    const int rows = table.rowCount();
    int row = 0;
    if (!fromFirst) {
        const int current = table.currentRow();
        row = current < 0 ? 0 : current + 1;
    }
    for (; row < rows; ++row) {
        const int recNo = table.recNoAtRow(row);
        if (locateMatches(displayedText(table, recNo, field), wanted, match, caseSensitive, numeric)) {
            table.moveToRow(row);
            return LocateResult::Found;
        }
    }
    return LocateResult::NotFound;
}

}  // namespace rv::browse
