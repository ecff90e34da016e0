#include "core/db/FieldCatalog.h"

#include <stdexcept>
#include <string>

namespace rv::db {

namespace {
char upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
}  // namespace

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

const FieldDef& field(int number) {
    if (number < 1 || number > kFieldCount)
        throw std::out_of_range("no catalogue field number " + std::to_string(number));
    return kFields[size_t(number - 1)];
}

std::optional<int> fieldNumber(std::string_view name) {
    for (const auto& f : kFields)
        if (equalsNoCase(f.name, name)) return f.number;
    return std::nullopt;
}

}  // namespace rv::db
