#include "core/exchange/Import.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <cstdio>
#include <optional>

#include "core/exchange/ExchangeMessages.h"

namespace rv::exchange {

namespace fs = std::filesystem;
using db::FieldKind;
using db::Table;

std::string readWholeFile(const fs::path& file) {
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) throw ExchangeError("Cannot open \"" + file.string() + "\": " + std::strerror(errno));
    // Read at once into a string of the file's size (growing it chunk by chunk would copy a
    // large file many times over).
    std::string bytes;
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (!ec) bytes.resize(std::size_t(size));
    std::size_t got = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), in);
    bytes.resize(got);
    char chunk[1 << 16];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.append(chunk, n);  // a file that grew
    const bool failed = std::ferror(in) != 0;
    const int error = errno;
    std::fclose(in);
    if (failed) throw ExchangeError("Cannot read \"" + file.string() + "\": " + std::strerror(error));
    return bytes;
}

bool hasDbfEnding(const std::string& fileName) {
    if (fileName.size() < 4) return false;
    std::string tail = fileName.substr(fileName.size() - 4);
    for (char& c : tail) c = char(std::toupper(static_cast<unsigned char>(c)));
    return tail == ".DBF";
}

// ---- storing --------------------------------------------------------------------------------

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The whole number of a value's leading digits (after blanks and an optional sign); nothing
// when there are no digits or more than fit any field.
std::optional<double> leadingWhole(std::string_view v) {
    std::size_t i = 0;
    while (i < v.size() && v[i] == ' ') ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) negative = v[i++] == '-';
    long long n = 0;
    std::size_t digits = 0;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i, ++digits) {
        if (digits >= 18) return std::nullopt;
        n = n * 10 + (v[i] - '0');
    }
    if (digits == 0) return std::nullopt;
    return double(negative ? -n : n);
}

// A decimal number written with a point, blanks around it allowed; nothing when malformed.
std::optional<double> pointNumber(std::string_view v) {
    while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    bool negative = false;
    if (!v.empty() && (v.front() == '+' || v.front() == '-')) {
        negative = v.front() == '-';
        v.remove_prefix(1);
    }
    int digits = 0, points = 0;
    for (char c : v) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++points;
        else
            return std::nullopt;
    }
    if (digits == 0 || points > 1) return std::nullopt;
    double value = 0;
    auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || end != v.data() + v.size()) return std::nullopt;
    return negative ? -value : value;
}

}  // namespace

void storeValue(Table& t, int field, FieldKind kind, std::string_view value, const app::ShortDateFormat& dates) {
    switch (kind) {
        case FieldKind::Text:
            t.setString(field, value);
            return;
        case FieldKind::Whole: {
            const auto n = leadingWhole(value);
            try {
                t.setNumber(field, n.value_or(0));
            } catch (const db::DatabaseError&) {
                t.setNumber(field, 0);  // more digits than the field holds
            }
            return;
        }
        case FieldKind::Money: {
            const auto n = pointNumber(value);
            if (!n) {
                t.clear(field);
                return;
            }
            try {
                t.setNumber(field, *n);
            } catch (const db::DatabaseError&) {
                t.clear(field);
            }
            return;
        }
        case FieldKind::Date: {
            const bool looksLikeDate = value.find(dates.separator()) != std::string_view::npos &&
                                       std::none_of(value.begin(), value.end(), isLetter);
            const auto date = looksLikeDate ? dates.parse(value) : std::nullopt;
            if (date && !date->isEmpty() && date->isValid())
                t.setDate(field, *date);
            else
                t.clear(field);
            return;
        }
    }
}

// ---- the pairing grid ------------------------------------------------------------------------

ImportPairing::ImportPairing(const app::Settings& settings, std::vector<std::string> importNames)
    : names_(std::move(importNames)) {
    const int count = std::max(db::kFieldCount, int(names_.size()));
    rows_.resize(std::size_t(count));
    for (int r = 1; r <= count; ++r) {
        Row& row = rows_[std::size_t(r - 1)];
        if (r <= db::kFieldCount) row.programField = settings.displayNames[r];
        if (r <= int(names_.size())) {
            row.importField = names_[std::size_t(r - 1)];
            row.use = kYes;
        } else {
            row.importField = kEmptyImportField;
        }
    }
}

int ImportPairing::moveUp(int r) {
    if (r <= 1 || r > rowCount()) return r;
    Row& a = rows_[std::size_t(r - 1)];
    Row& b = rows_[std::size_t(r - 2)];
    std::swap(a.importField, b.importField);
    std::swap(a.use, b.use);
    return r - 1;
}

int ImportPairing::moveDown(int r) {
    if (r < 1 || r >= rowCount()) return r;
    Row& a = rows_[std::size_t(r - 1)];
    Row& b = rows_[std::size_t(r)];
    std::swap(a.importField, b.importField);
    std::swap(a.use, b.use);
    return r + 1;
}

void ImportPairing::toggleUse(int r) {
    if (r < 1 || r > rowCount()) return;
    std::string& use = rows_[std::size_t(r - 1)].use;
    if (use == kYes)
        use = kNo;
    else if (use == kNo)
        use = kYes;
}

FieldMap ImportPairing::fieldMap() const {
    FieldMap map(names_.size(), 0);
    const int rows = std::min(rowCount(), db::kFieldCount);
    for (std::size_t i = 0; i < names_.size(); ++i) {
        for (int r = 1; r <= rows; ++r) {
            const Row& row = rows_[std::size_t(r - 1)];
            if (row.importField != names_[i]) continue;
            if (row.use == kYes) map[i] = r;
            break;
        }
    }
    return map;
}

FieldMap initialFieldMap(const std::vector<std::string>& importNames) {
    app::Settings settings;
    return ImportPairing(settings, importNames).fieldMap();
}

// ---- sources ---------------------------------------------------------------------------------

namespace {

// Opens a dBase source for reading through the engine, dates in the date format.
void openSource(Table& source, const fs::path& file, const db::DateCodec& dates) {
    source.setPath(file);
    source.setReadOnly(true);
    source.setDateCodec(&dates);
    source.open();
}

struct Target {
    int source;  // import field index
    int table;   // field index in the video table
    FieldKind kind;
};

std::vector<Target> targetsOf(const Table& table, const FieldMap& map, int fields) {
    std::vector<Target> targets;
    for (int i = 0; i < std::min(fields, int(map.size())); ++i) {
        const int n = map[std::size_t(i)];
        if (n < 1 || n > db::kFieldCount) continue;
        const auto& def = db::field(n);
        const int index = table.fieldIndex(def.name.substr(0, 10));
        if (index >= 0) targets.push_back({i, index, def.kind});
    }
    return targets;
}

// Posts the new record or, on any failure while filling it, drops it before passing the
// failure on, so no half-filled record stays in the edit buffer.
template <class Fill>
void addRecord(Table& table, Fill fill) {
    table.append();
    try {
        fill();
        table.post();
    } catch (...) {
        if (table.state() == Table::State::Insert) table.cancel();
        throw;
    }
}

}  // namespace

DbfInfo dbfInfo(const fs::path& file) {
    Table source;
    openSource(source, file, db::defaultDateCodec());
    DbfInfo info;
    info.sourceFields = source.fieldCount();
    for (int i = 0; i < std::min(source.fieldCount(), kMaxImportFields); ++i)
        info.names.push_back(source.fieldName(i).substr(0, kImportNameLength));
    return info;
}

int importTextFrom(Table& table, std::string_view text, const FieldMap& map, bool skipFirst,
                   const app::ShortDateFormat& dates, const ImportProgress& progress) {
    const FirstLine first = checkFirstLine(text);
    if (!first.ok()) throw ExchangeError(firstLineMessage(*first.fault));
    const int fields = int(first.names.size());
    const std::vector<Target> targets = targetsOf(table, map, fields);

    RecordReader reader(text, fields);
    std::vector<std::string> values;
    if (skipFirst) reader.read(values);
    int count = 0;
    while (!reader.atEnd()) {
        if (!reader.read(values)) continue;
        addRecord(table, [&] {
            for (const Target& t : targets)
                if (t.source < int(values.size()))
                    storeValue(table, t.table, t.kind, values[std::size_t(t.source)], dates);
        });
        ++count;
        if (progress && !progress(count)) break;
    }
    table.flush();
    return count;
}

int importText(Table& table, const fs::path& file, const FieldMap& map, bool skipFirst,
               const app::ShortDateFormat& dates, const ImportProgress& progress) {
    const std::string text = readWholeFile(file);
    return importTextFrom(table, text, map, skipFirst, dates, progress);
}

int importDbf(Table& table, const fs::path& file, const FieldMap& map, const app::ShortDateFormat& dates,
              const ImportProgress& progress) {
    Table source;
    openSource(source, file, dates);
    const int fields = std::min(source.fieldCount(), kMaxImportFields);
    const std::vector<Target> targets = targetsOf(table, map, fields);
    int count = 0;
    for (source.first(); !source.eof(); source.next()) {
        addRecord(table, [&] {
            for (const Target& t : targets) {
                // A date goes into a date field as the date itself, so no century is lost to
                // a two-digit-year format on the way.
                if (t.kind == FieldKind::Date && source.fieldInfo(t.source).type == 'D') {
                    const db::Date d = source.asDate(t.source);
                    if (d.isEmpty() || !d.isValid())
                        table.clear(t.table);
                    else
                        table.setDate(t.table, d);
                    continue;
                }
                storeValue(table, t.table, t.kind, source.asString(t.source), dates);
            }
        });
        ++count;
        if (progress && !progress(count)) break;
    }
    table.flush();
    return count;
}

}  // namespace rv::exchange
