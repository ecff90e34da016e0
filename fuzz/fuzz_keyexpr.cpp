// Key expressions typed, read from a configuration file or from another program's index tag:
// compiling any text (with or without the tag's key length) either fails with a DatabaseError
// or gives an expression whose keys all have its key length and never write past it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/db/DatabaseError.h"
#include "core/db/KeyExpression.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<rv::db::KeyField> fields = {
        {"TITLE", 'C', 1, 60, 0},    {"YEAR", 'N', 61, 4, 0},      {"LISTPRICE", 'N', 65, 12, 2},
        {"PURCHDATE", 'D', 77, 8, 0}, {"DESCRIPTIO", 'C', 85, 140, 0}, {"CODE", 'C', 225, 6, 0},
    };
    std::string_view input(reinterpret_cast<const char*>(data), size);
    // The first bytes after a NUL (if any) are the record the key is taken from.
    std::string_view expression = input.substr(0, input.find('\0'));
    std::string_view record = expression.size() < input.size() ? input.substr(expression.size() + 1) : "";
    // Without a key length, and with the one an index tag of another program may carry.
    for (int hint : {0, static_cast<int>(size % 120)}) {
        try {
            auto compiled = rv::db::KeyExpression::compile(expression, fields, hint);
            const int length = compiled.keyLength();
            if (length < 1 || length > 100) std::abort();
            if (compiled.key(record).size() != static_cast<size_t>(length)) std::abort();
            std::string full(record);
            full.resize(231, ' ');
            std::string out(static_cast<size_t>(length) + 1, '\x7F');
            compiled.keyInto(full, out.data());
            if (out.back() != '\x7F' || compiled.key(full) != out.substr(0, static_cast<size_t>(length))) std::abort();
        } catch (const rv::db::DatabaseError&) {
        }
    }
    return 0;
}
