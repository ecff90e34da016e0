#include "core/exchange/Export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "core/db/VideoTable.h"
#include "core/exchange/ExchangeMessages.h"

namespace rv::exchange {

namespace fs = std::filesystem;
using db::FieldKind;
using db::Table;

// ---- the export grid -------------------------------------------------------------------------

ExportChoice::ExportChoice(const app::Settings& s) {
    rows_.resize(std::size_t(rowCount()));
    std::vector<bool> placed(std::size_t(db::kFieldCount) + 1, false);
    std::vector<bool> filled(std::size_t(rowCount()), false);
    for (int p = 1; p <= rowCount(); ++p)
        for (int n = 1; n <= db::kFieldCount; ++n)
            if (!placed[std::size_t(n)] && s.exportOrder[n] == p) {
                rows_[std::size_t(p - 1)] = {s.displayNames[n], s.exportFields[n] ? kYes : kNo};
                placed[std::size_t(n)] = filled[std::size_t(p - 1)] = true;
                break;
            }
    // Positions that do not form a permutation (a hand-edited file): the fields left over
    // take the free rows in catalogue order.
    int free = 0;
    for (int n = 1; n <= db::kFieldCount; ++n) {
        if (placed[std::size_t(n)]) continue;
        while (filled[std::size_t(free)]) ++free;
        rows_[std::size_t(free)] = {s.displayNames[n], s.exportFields[n] ? kYes : kNo};
        filled[std::size_t(free)] = true;
    }
}

int ExportChoice::moveUp(int r) {
    if (r <= 1 || r > rowCount()) return r;
    std::swap(rows_[std::size_t(r - 1)], rows_[std::size_t(r - 2)]);
    return r - 1;
}

int ExportChoice::moveDown(int r) {
    if (r < 1 || r >= rowCount()) return r;
    std::swap(rows_[std::size_t(r - 1)], rows_[std::size_t(r)]);
    return r + 1;
}

void ExportChoice::toggle(int r) {
    if (r < 1 || r > rowCount()) return;
    std::string& cell = rows_[std::size_t(r - 1)].exportIt;
    cell = cell == kYes ? kNo : kYes;
}

void ExportChoice::defaults(const app::Settings& s) {
    for (int n = 1; n <= db::kFieldCount; ++n) rows_[std::size_t(n - 1)] = {s.displayNames[n], kYes};
}

void ExportChoice::store(app::Settings& s) const {
    for (int n = 1; n <= db::kFieldCount; ++n)
        for (int r = 1; r <= rowCount(); ++r)
            if (rows_[std::size_t(r - 1)].field == s.displayNames[n]) {
                s.exportOrder[n] = r;
                s.exportFields[n] = rows_[std::size_t(r - 1)].exportIt == kYes;
                break;
            }
}

std::vector<int> CalcIndexOrder(const app::Settings& s) {
    std::vector<int> list;
    for (int p = 1; p <= db::kFieldCount; ++p)
        for (int n = 1; n <= db::kFieldCount; ++n)
            if (s.exportOrder[n] == p) {
                if (s.exportFields[n]) list.push_back(n);
                break;
            }
    return list;
}

// ---- values -----------------------------------------------------------------------------------

std::string plainText(const Table& t, int field, FieldKind kind) {
    if (kind == FieldKind::Whole || kind == FieldKind::Money) {
        if (t.isBlank(field)) return {};
        char buf[64];
        auto [end, ec] = std::to_chars(buf, buf + sizeof buf, t.asNumber(field), std::chars_format::general, 15);
        return ec == std::errc() ? std::string(buf, end) : t.asString(field);
    }
    return t.asString(field);
}

void appendExportValue(std::string& line, std::string_view plain) {
    if (plain.size() > std::size_t(kMaxValueLength)) plain = plain.substr(0, std::size_t(kMaxValueLength));
    while (!plain.empty() && plain.front() == ' ') plain.remove_prefix(1);
    while (!plain.empty() && plain.back() == ' ') plain.remove_suffix(1);
    line += '"';
    for (char c : plain) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

std::string exportLabel(const app::Settings& s, const Table& t, int number) {
    if (s.displayFields[number]) return s.displayNames[number];
    const int index = t.fieldIndex(db::field(number).name);
    return index >= 0 ? t.fieldName(index) : std::string(db::field(number).name);
}

bool isTableFile(const Table& table, const fs::path& target) {
    std::error_code ec;
    return fs::exists(target, ec) && fs::equivalent(target, table.path(), ec);
}

// ---- writing ---------------------------------------------------------------------------------

namespace {

[[noreturn]] void writeFailure(const fs::path& file, int error) {
    throw ExchangeError("Cannot write \"" + file.string() + "\": " + std::strerror(error));
}

// The file a link names, so the rename replaces the file and not the link.
fs::path resolved(const fs::path& target) {
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        fs::path real = fs::canonical(target, ec);
        if (!ec) return real;
    }
    return target;
}

// A new name beside the target that no other export of this or another process uses.  Its
// name up to the first period differs from the target's, so no companion file is shared.
fs::path temporaryBeside(const fs::path& target, const char* extension) {
    static std::atomic<int> serial{0};
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    for (;;) {
        fs::path candidate = folder / ("~rvx" + std::to_string(::getpid()) + "_" + std::to_string(serial++) + extension);
        std::error_code ec;
        if (!fs::exists(candidate, ec)) return candidate;
    }
}

void syncFolder(const fs::path& file) {
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Gives a finished temporary file the target's name (and an existing target's permissions).
void renameIntoPlace(const fs::path& tmp, const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) ::chmod(tmp.c_str(), st.st_mode & 07777);
    if (::rename(tmp.c_str(), target.c_str()) != 0) writeFailure(target, errno);
    syncFolder(target);
}

// Removes a temporary file unless it was renamed into place.
struct TempGuard {
    fs::path path;
    bool keep = false;
    ~TempGuard() {
        if (keep) return;
        std::error_code ec;
        fs::remove(path, ec);
    }
};

// Holds the table's display updates off for the walk.
struct QuietTable {
    Table& t;
    explicit QuietTable(Table& table) : t(table) { t.disableControls(); }
    ~QuietTable() { t.enableControls(); }
};

struct Column {
    int index;  // field index in the table, -1 when the table has no such field
    FieldKind kind;
};

std::vector<Column> columnsOf(const Table& t, const std::vector<int>& fields) {
    std::vector<Column> columns;
    for (int n : fields) columns.push_back({t.fieldIndex(db::field(n).name), db::field(n).kind});
    return columns;
}

}  // namespace

ExportResult exportText(Table& table, const fs::path& chosen, const std::vector<int>& fields,
                        const std::vector<std::string>* titles, const ExportProgress& progress) {
    if (isTableFile(table, chosen)) throw ExchangeError(kExportOverDatabase);
    const fs::path target = resolved(chosen);
    TempGuard tmp{temporaryBeside(target, ".TXT")};
    std::FILE* out = std::fopen(tmp.path.c_str(), "wb");
    if (!out) writeFailure(target, errno);
    auto fail = [&](int error) {
        std::fclose(out);
        writeFailure(target, error);
    };

    std::string buffer;
    auto drain = [&](bool always) {
        if (!always && buffer.size() < (1u << 16)) return;
        if (!buffer.empty() && std::fwrite(buffer.data(), 1, buffer.size(), out) != buffer.size()) fail(errno);
        buffer.clear();
    };
    if (titles) {
        for (std::size_t i = 0; i < titles->size(); ++i) {
            if (i) buffer += ',';
            appendExportValue(buffer, (*titles)[i]);
        }
        buffer += "\r\n";
    }

    const std::vector<Column> columns = columnsOf(table, fields);
    ExportResult result;
    {
        QuietTable quiet(table);
        for (table.first(); !table.eof(); table.next()) {
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (i) buffer += ',';
                appendExportValue(buffer, columns[i].index < 0 ? std::string()
                                                               : plainText(table, columns[i].index, columns[i].kind));
            }
            buffer += "\r\n";
            drain(false);
            ++result.records;
            if (progress && !progress(result.records)) {
                result.cancelled = true;
                break;
            }
        }
    }
    if (result.cancelled) {
        std::fclose(out);
        return result;
    }
    drain(true);
    if (std::fflush(out) != 0 || ::fsync(::fileno(out)) != 0) fail(errno);
    if (std::fclose(out) != 0) writeFailure(target, errno);
    renameIntoPlace(tmp.path, target);
    tmp.keep = true;
    return result;
}

ExportResult exportDbf(Table& table, const fs::path& chosen, const std::vector<int>& fields,
                       const ExportProgress& progress) {
    if (isTableFile(table, chosen)) throw ExchangeError(kExportOverDatabase);
    const fs::path target = resolved(chosen);
    std::error_code ec;
    if (fs::exists(target, ec) && db::DBaseInUse(target))
        throw db::TableInUseError("The table \"" + target.string() +
                                  "\" is in use by another program or user, so it cannot be replaced.");

    const std::vector<Column> columns = columnsOf(table, fields);
    std::vector<db::FieldSpec> specs;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto& def = db::field(fields[i]);
        int width = def.kind == FieldKind::Text ? def.width : 0;
        if (def.kind == FieldKind::Text && columns[i].index >= 0)
            width = std::min(table.fieldInfo(columns[i].index).length, 254);
        specs.push_back({std::string(def.name), def.kind, width});
    }

    TempGuard tmp{temporaryBeside(target, ".DBF")};
    Table::create(tmp.path, specs);
    ExportResult result;
    {
        Table out;
        out.setPath(tmp.path);
        out.setExclusive(true);
        out.open();
        QuietTable quiet(table);
        for (table.first(); !table.eof(); table.next()) {
            out.append();
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const Column& c = columns[i];
                if (c.index < 0 || table.isBlank(c.index)) continue;
                const int f = int(i);
                switch (c.kind) {
                    case FieldKind::Text: out.setString(f, table.asString(c.index)); break;
                    case FieldKind::Whole:
                    case FieldKind::Money: out.setNumber(f, table.asNumber(c.index)); break;
                    case FieldKind::Date: {
                        const db::Date d = table.asDate(c.index);
                        if (!d.isEmpty()) out.setDate(f, d);
                        break;
                    }
                }
            }
            out.post();
            ++result.records;
            if (progress && !progress(result.records)) {
                result.cancelled = true;
                break;
            }
        }
        if (result.cancelled) return result;
        out.flush();
        out.close();
    }
    renameIntoPlace(tmp.path, target);
    tmp.keep = true;
    // The new table has no index: an index file of the table it replaced would describe
    // other records.
    Table named;
    named.setPath(target);
    const fs::path mdx = named.companionPath(".MDX");
    if (fs::exists(mdx, ec)) fs::remove(mdx, ec);
    return result;
}

}  // namespace rv::exchange
