#include "core/app/Profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "core/app/Formats.h"
#include "core/db/FieldCatalog.h"

namespace rv::app {

namespace fs = std::filesystem;

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool isQuote(char c) { return c == '"' || c == '\''; }

bool enclosedInQuotes(std::string_view text) {
    return text.size() >= 2 && isQuote(text.front()) && text.front() == text.back();
}

// The value part of an entry line as the profile service returns it.
std::string_view entryValue(std::string_view line) {
    std::string_view value = trimBlanks(line.substr(line.find('=') + 1));
    if (enclosedInQuotes(value)) value = value.substr(1, value.size() - 2);
    return value;
}

// A value as it goes into the file so that entryValue gives it back.
std::string encodeValue(std::string_view value) {
    std::string text(value);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    if (trimBlanks(text).size() != text.size() || enclosedInQuotes(text)) text = '"' + text + '"';
    return text;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A section or key name that reads back as itself: not empty, no blanks at either end, no
// line break and none of the characters that end it.
bool validName(std::string_view name, std::string_view enders) {
    return !name.empty() && trimBlanks(name).size() == name.size() &&
           name.find_first_of(std::string("\r\n").append(enders)) == std::string_view::npos;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Writes all of `data` to `fd`; false on any failure.
bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void syncFolder(const fs::path& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

// ------------------------------------------------------------------ value forms

std::int32_t parseWhole(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i < text.size() && text[i] == '$') {
        // Hexadecimal: the low 32 bits, as a 32-bit reader holds "$FFFFFFFF" (-1).
        std::uint32_t value = 0;
        for (++i; i < text.size() && hexDigit(text[i]) >= 0; ++i)
            value = (value << 4) | static_cast<std::uint32_t>(hexDigit(text[i]));
        if (negative) value = 0u - value;
        return static_cast<std::int32_t>(value);
    }
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{INT32_MAX} + 1;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) value = kLimit;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<std::int32_t>(value);
}

double parseDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::string number;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-') number += '-';
        ++i;
    }
    bool digits = false;
    for (; i < text.size() && isDigit(text[i]); ++i, digits = true) number += text[i];
    if (i < text.size() && text[i] == '.') {
        number += digits ? "." : "0.";
        for (++i; i < text.size() && isDigit(text[i]); ++i, digits = true) number += text[i];
    }
    if (!digits) return 0.0;
    double value = 0.0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value;
}

bool parseYesNo(std::string_view text) { return rv::db::equalsNoCase(text, "YES"); }

std::string wholeText(std::int64_t value) { return std::to_string(value); }

std::string decimalText(double value) { return fixedNumber(1, 4, value); }

const char* yesNoText(bool value) { return value ? "Yes" : "No"; }

// ------------------------------------------------------------------ ProfileFile

ProfileFile::ProfileFile(fs::path path) : path_(std::move(path)) {
    int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        existed_ = errno != ENOENT && errno != ENOTDIR;
        readFailed_ = existed_;
        return;
    }
    existed_ = true;
    std::string text;
    struct stat st {};
    readFailed_ = ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode);
    char buffer[65536];
    while (!readFailed_) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            readFailed_ = n < 0;
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (!readFailed_) parse(text);
}

ProfileFile ProfileFile::fromText(std::string_view text) {
    ProfileFile profile;
    profile.parse(text);
    return profile;
}

ProfileFile::Line ProfileFile::makeLine(std::string text) {
    Line line;
    std::string_view view = text;
    if (view.substr(0, 3) == "\xEF\xBB\xBF") view.remove_prefix(3);  // a byte-order mark from an editor
    view = trimBlanks(view);
    if (!view.empty() && view.front() == '[') {
        std::string_view name = view.substr(1);
        name = name.substr(0, name.find(']'));
        line.isSection = true;
        line.section = std::string(trimBlanks(name));
    } else if (!view.empty() && view.front() != ';' && view.find('=') != std::string_view::npos) {
        line.isEntry = true;
        line.key = std::string(trimBlanks(view.substr(0, view.find('='))));
    }
    line.text = std::move(text);
    return line;
}

void ProfileFile::parse(std::string_view text) {
    lines_.clear();
    sectionLines_.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines_.push_back(makeLine(std::string(text.substr(start))));
            break;
        }
        lines_.push_back(makeLine(std::string(text.substr(start, end - start))));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].isSection) sectionLines_.push_back(i);
}

std::size_t ProfileFile::findSection(std::string_view section) const {
    for (std::size_t i : sectionLines_)
        if (rv::db::equalsNoCase(lines_[i].section, section)) return i;
    return lines_.size();
}

std::size_t ProfileFile::findKey(std::size_t sec, std::string_view key) const {
    for (std::size_t i = sec + 1; i < lines_.size() && !lines_[i].isSection; ++i)
        if (lines_[i].isEntry && rv::db::equalsNoCase(lines_[i].key, key)) return i;
    return lines_.size();
}

std::optional<std::string> ProfileFile::value(std::string_view section, std::string_view key) const {
    std::size_t sec = findSection(section);
    if (sec == lines_.size()) return std::nullopt;
    std::size_t at = findKey(sec, key);
    if (at == lines_.size()) return std::nullopt;
    return std::string(entryValue(lines_[at].text));
}

std::string ProfileFile::readText(std::string_view section, std::string_view key, std::string_view def,
                                  std::size_t maxLength) const {
    std::string text = value(section, key).value_or(std::string(def));
    if (text.size() > maxLength) text.resize(maxLength);
    return text;
}

std::int32_t ProfileFile::readWhole(std::string_view section, std::string_view key, std::int32_t def) const {
    auto text = value(section, key);
    return text ? parseWhole(text->substr(0, kNumberReadLength)) : def;
}

double ProfileFile::readDecimal(std::string_view section, std::string_view key, double def) const {
    auto text = value(section, key);
    return text ? parseDecimal(text->substr(0, kNumberReadLength)) : def;
}

bool ProfileFile::readYesNo(std::string_view section, std::string_view key, bool def) const {
    auto text = value(section, key);
    return text ? parseYesNo(text->substr(0, kNumberReadLength)) : def;
}

void ProfileFile::writeText(std::string_view section, std::string_view key, std::string_view value) {
    if (!validName(section, "]") || !validName(key, "=") || key.front() == '[' || key.front() == ';')
        throw std::invalid_argument("not a profile section or key name: " + std::string(section) + "/" + std::string(key));
    const std::string encoded = encodeValue(value);
    std::size_t sec = findSection(section);
    if (sec == lines_.size()) {
        if (!lines_.empty() && !trimBlanks(lines_.back().text).empty()) lines_.push_back(makeLine(""));
        sectionLines_.push_back(lines_.size());
        lines_.push_back(makeLine("[" + std::string(section) + "]"));
        lines_.push_back(makeLine(std::string(key) + "=" + encoded));
        return;
    }
    std::size_t at = findKey(sec, key);
    if (at != lines_.size()) {
        // Keep the key as the file spells it.
        lines_[at] = makeLine(lines_[at].key + "=" + encoded);
        return;
    }
    // A new key goes after the last entry of its section (or right after the header).
    std::size_t insertAt = sec + 1;
    for (std::size_t i = sec + 1; i < lines_.size() && !lines_[i].isSection; ++i)
        if (lines_[i].isEntry) insertAt = i + 1;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), makeLine(std::string(key) + "=" + encoded));
    for (std::size_t& header : sectionLines_)
        if (header >= insertAt) ++header;
}

void ProfileFile::writeWhole(std::string_view section, std::string_view key, std::int64_t value) {
    writeText(section, key, wholeText(value));
}

void ProfileFile::writeDecimal(std::string_view section, std::string_view key, double value) {
    writeText(section, key, decimalText(value));
}

void ProfileFile::writeYesNo(std::string_view section, std::string_view key, bool value) {
    writeText(section, key, yesNoText(value));
}

std::string ProfileFile::text() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.text;
        out += "\r\n";
    }
    return out;
}

bool ProfileFile::save() const { return !readFailed_ && saveAs(path_); }

bool ProfileFile::saveAs(const fs::path& path) const {
    if (path.empty()) return false;
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::canonical(target, ec);
        if (!ec) target = resolved;
    }
    const fs::path folder = target.parent_path();

    // Keep the permissions of the file being replaced; a new file gets 0666 less the umask.
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;

    static std::atomic<unsigned> counter{0};
    fs::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder / ("." + target.filename().string() + ".new-" + std::to_string(::getpid()) + "-" +
                         std::to_string(counter++));
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;

    bool ok = writeAll(fd, text());
    if (ok && replacing) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    if (ok) ok = ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

// ------------------------------------------------------------------ one key at a time

std::string readProfileString(const fs::path& file, std::string_view section, std::string_view key,
                              std::string_view def, std::size_t maxLength) {
    return ProfileFile(file).readText(section, key, def, maxLength);
}

bool writeProfileString(const fs::path& file, std::string_view section, std::string_view key,
                        std::string_view value) {
    ProfileFile profile(file);
    profile.writeText(section, key, value);
    return profile.save();
}

}  // namespace rv::app
