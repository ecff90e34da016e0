#include "core/reports/ReportStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "core/app/Paths.h"
#include "core/db/FieldCatalog.h"

namespace rv::reports {

namespace fs = std::filesystem;

fs::path reportFile(const fs::path& programFolder) { return rv::app::findFileNoCase(programFolder, kReportFileName); }

namespace {

std::optional<std::string> readWhole(const fs::path& file) {
    std::error_code ec;
    if (fs::is_directory(file, ec)) return std::nullopt;
    try {
        std::ifstream in(file, std::ios::binary);
        if (!in) return std::nullopt;
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        if (in.bad()) return std::nullopt;
        return bytes;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string systemReason(const std::string& what, const fs::path& file) {
    return what + " " + file.string() + ": " + std::strerror(errno);
}

}  // namespace

void writeFileAtomically(const fs::path& file, const std::string& bytes) {
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    std::string tmpl = (folder / ("." + file.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) throw ReportFileError(systemReason("Cannot write", file));
    int failure = 0;
    std::size_t done = 0;
    while (!failure && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) failure = n < 0 ? errno : ENOSPC;
        else done += static_cast<std::size_t>(n);
    }
    if (!failure && ::fsync(fd) != 0) failure = errno;
    // Keep the permissions of the file being replaced.
    struct stat st {};
    if (!failure) ::fchmod(fd, ::stat(file.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
    if (::close(fd) != 0 && !failure) failure = errno;
    if (!failure && ::rename(tmpl.c_str(), file.c_str()) != 0) failure = errno;
    if (failure) {
        ::unlink(tmpl.c_str());
        errno = failure;
        throw ReportFileError(systemReason("Cannot write", file));
    }
    // Make the rename itself durable.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

std::optional<std::string> ReportStore::load() const {
    auto bytes = readWhole(file_);
    if (!bytes) return std::nullopt;
    bytes->resize(bytes->size() / kDefinitionSize * kDefinitionSize);
    return bytes;
}

void ReportStore::store(const std::string& bytes) { writeFileAtomically(file_, bytes); }

std::vector<std::string> ReportStore::names() const {
    std::vector<std::string> list;
    auto bytes = load();
    if (!bytes) return list;
    for (std::size_t at = 0; at < bytes->size(); at += kDefinitionSize)
        list.push_back(readPascalString(*bytes, at, 30));
    return list;
}

int ReportStore::count() const {
    std::error_code ec;
    const auto size = fs::file_size(file_, ec);
    return ec ? 0 : static_cast<int>(size / kDefinitionSize);
}

std::optional<ReportDefinition> ReportStore::read(int position, DecodeNotes* notes) const {
    std::error_code ec;
    if (position < 0 || fs::is_directory(file_, ec)) return std::nullopt;
    std::ifstream in(file_, std::ios::binary);
    if (!in) return std::nullopt;
    std::string record(kDefinitionSize, '\0');
    in.seekg(static_cast<std::streamoff>(position) * static_cast<std::streamoff>(kDefinitionSize));
    if (!in.read(record.data(), static_cast<std::streamsize>(record.size()))) return std::nullopt;
    return decode(record, notes);
}

std::vector<ReportDefinition> ReportStore::readAll() const {
    std::vector<ReportDefinition> list;
    auto bytes = load();
    if (!bytes) return list;
    for (std::size_t at = 0; at < bytes->size(); at += kDefinitionSize)
        list.push_back(decode(std::string_view(*bytes).substr(at, kDefinitionSize)));
    return list;
}

int ReportStore::append(const ReportDefinition& def) { return append(std::vector<ReportDefinition>{def}); }

int ReportStore::append(const std::vector<ReportDefinition>& defs) {
    std::string bytes = load().value_or(std::string());
    const int first = static_cast<int>(bytes.size() / kDefinitionSize);
    for (const auto& d : defs) bytes += encode(d);
    store(bytes);
    return first;
}

void ReportStore::overwrite(int position, const ReportDefinition& def) {
    std::string bytes = load().value_or(std::string());
    const auto count = bytes.size() / kDefinitionSize;
    if (position < 0 || static_cast<std::size_t>(position) > count)
        throw std::out_of_range("no report definition at position " + std::to_string(position));
    const std::string record = encode(def);
    if (static_cast<std::size_t>(position) == count) bytes += record;
    else bytes.replace(static_cast<std::size_t>(position) * kDefinitionSize, kDefinitionSize, record);
    store(bytes);
}

bool ReportStore::remove(int position) {
    auto bytes = load();
    if (!bytes || position < 0 || static_cast<std::size_t>(position) >= bytes->size() / kDefinitionSize) return false;
    bytes->erase(static_cast<std::size_t>(position) * kDefinitionSize, kDefinitionSize);
    store(*bytes);
    return true;
}

// ------------------------------------------------------------------ old report file

ReportDefinition convertOldDefinition(std::string_view b) {
    if (b.size() < kOldDefinitionSize) throw std::invalid_argument("an old report definition needs 19831 bytes");
    ReportDefinition d;  // Courier New fonts, bold title/header/footnote, as a new report
    d.name = readPascalString(b, 0, 30);
    std::int16_t chars;
    std::memcpy(&chars, b.data() + 31, 2);
    d.charsPerLine = chars < 105 ? 90 : chars < 135 ? 120 : 150;
    for (auto& f : d.fonts) f.size = chars == 90 ? 10 : 8;
    d.columnHeaders = b[83] != 0;
    d.pageNumbers = b[84] != 0;
    d.useTotals = b[85] != 0;
    std::int16_t lines;
    std::memcpy(&lines, b.data() + 86, 2);
    d.lineCount = static_cast<std::int16_t>(std::clamp<int>(lines, 0, kMaxRecordLines));
    d.landscape = false;
    d.dateOnPages = true;
    d.verticalLines = d.horizontalLines = false;
    d.groupLevel1 = true;
    d.groupLevel2 = false;
    auto item = [&](std::size_t at, bool totals) {
        ReportItem i = decodeItem(b.substr(at, kItemSize));
        i.field = 0;
        if (i.isField()) {
            int n = 0;
            if (totals) n = totalNumberForName(i.kind);
            else if (auto f = rv::db::fieldNumber(i.kind)) n = *f;
            if (n) i.field = static_cast<std::uint8_t>(n);
            else i.kind = std::string(kFiller);
        }
        if (i.width > 255) i.width = 255;
        return i;
    };
    for (std::size_t k = 0; k < kItemsPerLine; ++k) d.totals[k] = item(88 + k * kItemSize, true);
    for (std::size_t t = 0; t < 3; ++t) d.titles[t] = readPascalString(b, 1588 + t * 81, 80);
    for (std::size_t l = 0; l < kMaxRecordLines; ++l)
        for (std::size_t k = 0; k < kItemsPerLine; ++k)
            d.lines[l][k] = item(1831 + (l * kItemsPerLine + k) * kItemSize, false);
    return d;
}

EnsureResult convertOldReports(const fs::path& oldFile, ReportStore& store) {
    EnsureResult r;
    std::error_code ec;
    if (!fs::exists(oldFile, ec)) return r;
    auto bytes = readWhole(oldFile);
    if (!bytes) {
        r.problem = "The old report file " + oldFile.string() + " cannot be read.";
        return r;
    }
    std::vector<ReportDefinition> converted;
    for (std::size_t at = 0; at + kOldDefinitionSize <= bytes->size(); at += kOldDefinitionSize) {
        const std::string_view record = std::string_view(*bytes).substr(at, kOldDefinitionSize);
        if (isOldBuiltInName(readPascalString(record, 0, 30))) {
            ++r.skipped;
            continue;
        }
        converted.push_back(convertOldDefinition(record));
    }
    if (!converted.empty()) {
        try {
            store.append(converted);
        } catch (const ReportFileError& e) {
            r.problem = std::string(e.what()) + "; the old report file was kept.";
            return r;
        }
    }
    r.converted = static_cast<int>(converted.size());
    r.oldFileRemoved = fs::remove(oldFile, ec);
    return r;
}

EnsureResult ensureReportFile(const fs::path& programFolder) {
    ReportStore store(reportFile(programFolder));
    bool created = false;
    std::error_code ec;
    if (!fs::exists(store.file(), ec)) {
        try {
            store.append(builtInReports());
            created = true;
        } catch (const ReportFileError&) {
            // No built-in reports this run; the program goes on without them.
        }
    }
    EnsureResult r = convertOldReports(rv::app::findFileNoCase(programFolder, kOldReportFileName), store);
    r.created = created;
    return r;
}

}  // namespace rv::reports
