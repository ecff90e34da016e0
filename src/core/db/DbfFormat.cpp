#include "core/db/DbfFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <set>

#include "core/db/DatabaseError.h"

namespace rv::db::dbf {

namespace {

uint32_t u32(std::string_view b, size_t at) {
    auto u = [&](size_t i) { return uint32_t(static_cast<unsigned char>(b[at + i])); };
    return u(0) | u(1) << 8 | u(2) << 16 | u(3) << 24;
}
uint32_t u16(std::string_view b, size_t at) {
    return uint32_t(static_cast<unsigned char>(b[at])) | uint32_t(static_cast<unsigned char>(b[at + 1])) << 8;
}
void putU32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}
void putU16(std::string& b, size_t at, uint32_t v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\0')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
    return s;
}

std::string inQuotes(std::string_view s) { return "\"" + std::string(s) + "\""; }

std::string layoutText(const FieldInfo& f) {
    std::string s(1, f.type);
    s += " " + std::to_string(f.length);
    if (f.type == 'N' || f.type == 'F') s += "." + std::to_string(f.decimals);
    return s;
}

// A plain decimal number ("-12", "3.5", ".25", "+7.") rounded half away from zero to
// `decimals` places and written without a plus sign or superfluous zeros; nothing when the
// text is not such a number.
std::optional<std::string> normalizedNumber(std::string_view text, int decimals) {
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::string whole, frac;
    size_t i = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') whole += text[i++];
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') frac += text[i++];
    }
    if (i != text.size() || (whole.empty() && frac.empty())) return std::nullopt;

    bool roundUp = int(frac.size()) > decimals && frac[size_t(decimals)] >= '5';
    frac.resize(size_t(decimals), '0');
    std::string digits = (whole.empty() ? "0" : whole) + frac;
    if (roundUp) {
        size_t k = digits.size();
        while (k > 0 && digits[k - 1] == '9') digits[--k] = '0';
        if (k == 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[k - 1];
    }
    std::string intPart = digits.substr(0, digits.size() - size_t(decimals));
    std::string fracPart = digits.substr(digits.size() - size_t(decimals));
    size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
    bool zero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
    std::string out = (negative && !zero ? "-" : "") + intPart;
    if (decimals > 0) out += "." + fracPart;
    return out;
}

void putRightAligned(char* record, const FieldInfo& f, const std::string& value, std::string_view shown) {
    if (int(value.size()) > f.length)
        throw DatabaseError("The value " + inQuotes(shown) + " is too large for the field " + f.name + " (" +
                            layoutText(f) + ").");
    char* p = record + f.offset;
    std::memset(p, ' ', size_t(f.length));
    std::memcpy(p + f.length - int(value.size()), value.data(), value.size());
}

void putLeftAligned(char* record, const FieldInfo& f, std::string_view value) {
    char* p = record + f.offset;
    size_t n = std::min(value.size(), size_t(f.length));
    std::memcpy(p, value.data(), n);
    std::memset(p + n, ' ', size_t(f.length) - n);
}

bool isNumeric(const FieldInfo& f) { return f.type == 'N' || f.type == 'F'; }
bool isMemo(const FieldInfo& f) { return f.type == 'M' || f.type == 'B' || f.type == 'G'; }

[[noreturn]] void cannotHold(const FieldInfo& f, const char* what) {
    throw DatabaseError(std::string("The field ") + f.name + " (" + layoutText(f) + ") cannot hold " + what + ".");
}

}  // namespace

bool looksLikeTable(std::string_view b) {
    if (b.size() < size_t(kFixedHeaderLength)) return false;
    unsigned v = static_cast<unsigned char>(b[0]);
    // dBase III/IV/5 (with or without memo flags), FoxPro and Visual FoxPro tables.
    bool known = ((v & 0x07) == 3 || (v & 0x07) == 4 || (v & 0x07) == 5) && (v & 0x30) == 0;
    known = known || v == 0x30 || v == 0x31 || v == 0x32 || v == 0xF5;
    if (!known) return false;
    unsigned month = static_cast<unsigned char>(b[2]), day = static_cast<unsigned char>(b[3]);
    return month <= 12 && day <= 31;
}

Layout parseHeader(std::string_view file, const std::string& label) {
    const std::string who = "The file " + inQuotes(label);
    if (!looksLikeTable(file)) throw DatabaseError(who + " is not a dBase table.");
    Layout l;
    l.version = static_cast<uint8_t>(file[0]);
    l.count = u32(file, 4);
    l.headerLength = u16(file, 8);
    l.recordLength = u16(file, 10);
    l.mdxFlag = static_cast<uint8_t>(file[kMdxFlagOffset]);

    const uint32_t minimum = kFixedHeaderLength + kDescriptorLength + 1;
    if (l.headerLength < minimum)
        throw DatabaseError(who + " is damaged: its header length (" + std::to_string(l.headerLength) +
                            " bytes) leaves no room for a field.");
    if (l.headerLength > file.size())
        throw DatabaseError(who + " is damaged: its header length (" + std::to_string(l.headerLength) +
                            " bytes) is larger than the file (" + std::to_string(file.size()) + " bytes).");

    size_t pos = kFixedHeaderLength;
    int offset = 1;
    bool terminated = false;
    std::set<std::string> names;
    while (pos < l.headerLength) {
        if (static_cast<unsigned char>(file[pos]) == kFieldTerminator) {
            terminated = true;
            break;
        }
        if (pos + kDescriptorLength > l.headerLength)
            throw DatabaseError(who + " is damaged: a field description runs past the end of the header.");
        std::string_view d = file.substr(pos, kDescriptorLength);
        FieldInfo f;
        std::string_view name = d.substr(0, 11);
        name = name.substr(0, std::min(name.find('\0'), name.size()));
        while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
        const std::string number = "field " + std::to_string(l.fields.size() + 1);
        if (name.empty()) throw DatabaseError(who + " is damaged: " + number + " has no name.");
        f.name = std::string(name);
        f.type = d[11];
        f.length = static_cast<unsigned char>(d[16]);
        f.decimals = static_cast<unsigned char>(d[17]);
        f.offset = offset;
        if (f.type == 'C') {
            // Clipper and FoxPro keep the high byte of long character widths in the decimals.
            f.length += f.decimals * 256;
            f.decimals = 0;
        }
        bool widthOk = false;
        switch (f.type) {
            case 'C': widthOk = f.length >= 1; break;
            case 'N':
            case 'F': widthOk = f.length >= 1 && f.length <= 32 && (f.decimals == 0 || f.decimals < f.length); break;
            case 'D': widthOk = f.length == 8; break;
            case 'L': widthOk = f.length == 1; break;
            case 'M':
            case 'B':
            case 'G': widthOk = f.length == 10 || f.length == 4; break;
            default: {
                unsigned t = static_cast<unsigned char>(f.type);
                char shown[8];
                if (t >= 0x20 && t < 0x7F)
                    std::snprintf(shown, sizeof shown, "'%c'", char(t));
                else
                    std::snprintf(shown, sizeof shown, "0x%02X", t);
                throw DatabaseError(who + " has a field " + f.name + " of type " + shown +
                                    ", which is not a dBase field type this program can read.");
            }
        }
        if (!widthOk)
            throw DatabaseError(who + " is damaged: the field " + f.name + " has an impossible width (" +
                                layoutText(f) + ").");
        offset += f.length;
        l.fields.push_back(std::move(f));
        pos += kDescriptorLength;
    }
    if (!terminated) throw DatabaseError(who + " is damaged: its list of fields has no end mark.");
    if (l.fields.empty()) throw DatabaseError(who + " has no fields.");
    if (uint32_t(offset) > l.recordLength)
        throw DatabaseError(who + " is damaged: its records are " + std::to_string(l.recordLength) +
                            " bytes long but its fields need " + std::to_string(offset) + ".");
    return l;
}

std::vector<FieldInfo> fieldsFromSpecs(const std::vector<FieldSpec>& specs) {
    if (specs.empty()) throw DatabaseError("A table needs at least one field.");
    std::vector<FieldInfo> out;
    std::set<std::string> seen;
    int offset = 1;
    for (const FieldSpec& s : specs) {
        bool nameOk = !s.name.empty() && s.name.size() <= 10;
        std::string upper;
        for (char c : s.name) {
            bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
            nameOk = nameOk && ok;
            upper += (c >= 'a' && c <= 'z') ? char(c - 32) : c;
        }
        if (!nameOk)
            throw DatabaseError("The field name " + inQuotes(s.name) +
                                " is not allowed: use 1 to 10 letters, digits or underscores.");
        if (!seen.insert(upper).second) throw DatabaseError("The field name " + inQuotes(s.name) + " is used twice.");
        FieldInfo f;
        f.name = upper;
        f.offset = offset;
        switch (s.kind) {
            case FieldKind::Text:
                if (s.width < 1 || s.width > kMaxCharWidth)
                    throw DatabaseError("The text field " + s.name + " must be 1 to " + std::to_string(kMaxCharWidth) +
                                        " characters wide, not " + std::to_string(s.width) + ".");
                f.type = 'C';
                f.length = s.width;
                break;
            case FieldKind::Whole:
                f.type = 'N';
                f.length = kWholeWidth;
                break;
            case FieldKind::Money:
                f.type = 'N';
                f.length = kMoneyWidth;
                f.decimals = kMoneyDecimals;
                break;
            case FieldKind::Date:
                f.type = 'D';
                f.length = 8;
                break;
            default: throw DatabaseError("The field " + s.name + " has an unknown kind.");
        }
        offset += f.length;
        out.push_back(std::move(f));
    }
    if (offset > 0xFFFF) throw DatabaseError("The fields are too wide for one dBase record.");
    return out;
}

uint32_t recordLengthOf(const std::vector<FieldInfo>& fields) {
    uint32_t n = 1;
    for (const auto& f : fields) n += uint32_t(f.length);
    return n;
}

std::string todayStamp() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    std::string s(3, '\0');
    s[0] = char(tm.tm_year & 0xFF);  // years since 1900
    s[1] = char(tm.tm_mon + 1);
    s[2] = char(tm.tm_mday);
    return s;
}

std::string buildHeader(const std::vector<FieldInfo>& fields, uint32_t count, bool mdxFlag) {
    const uint32_t headerLength = kFixedHeaderLength + kDescriptorLength * uint32_t(fields.size()) + 1;
    std::string h(headerLength, '\0');
    h[0] = char(kVersion);
    std::string stamp = todayStamp();
    std::memcpy(&h[1], stamp.data(), 3);
    putU32(h, 4, count);
    putU16(h, 8, headerLength);
    putU16(h, 10, recordLengthOf(fields));
    h[kMdxFlagOffset] = mdxFlag ? 1 : 0;
    h[kLanguageDriverOffset] = char(kLanguageDriver);
    size_t pos = kFixedHeaderLength;
    for (const auto& f : fields) {
        std::memcpy(&h[pos], f.name.data(), std::min<size_t>(f.name.size(), 10));
        h[pos + 11] = f.type;
        h[pos + 16] = char(f.type == 'C' ? (f.length & 0xFF) : f.length);
        h[pos + 17] = char(f.type == 'C' ? (f.length >> 8) : f.decimals);
        pos += kDescriptorLength;
    }
    h[pos] = char(kFieldTerminator);
    return h;
}

// ---- Values ----------------------------------------------------------------------------

std::string_view stored(const char* record, const FieldInfo& f) {
    return std::string_view(record + f.offset, size_t(f.length));
}

bool isBlank(std::string_view bytes) { return trimmed(bytes).empty(); }

std::string text(std::string_view bytes, const FieldInfo& f, const DateCodec& codec) {
    if (isNumeric(f)) {
        // Asterisks fill a number that did not fit, and shapelib writes them for "no value".
        std::string_view t = trimmed(bytes);
        return t.find_first_not_of('*') == std::string_view::npos ? std::string() : std::string(t);
    }
    if (f.type == 'L') return std::string(trimmed(bytes));
    if (f.type == 'D') {
        std::string_view t = trimmed(bytes);
        if (t.empty()) return {};
        auto d = Date::fromDtos(t);
        return d ? codec.format(*d) : std::string(t);
    }
    // Character data: some writers pad with NULs instead of spaces.
    bytes = bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
    while (!bytes.empty() && bytes.back() == ' ') bytes.remove_suffix(1);
    return std::string(bytes);
}

double number(std::string_view bytes) {
    std::string_view t = trimmed(bytes);
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    double v = 0;
    auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::fixed);
    (void)p;
    return ec == std::errc() && std::isfinite(v) ? v : 0.0;
}

Date date(std::string_view bytes, const FieldInfo& f) {
    if (f.type != 'D') return {};
    auto d = Date::fromDtos(trimmed(bytes));
    return d ? *d : Date{};
}

void setBlank(char* record, const FieldInfo& f) { std::memset(record + f.offset, ' ', size_t(f.length)); }

void setText(char* record, const FieldInfo& f, std::string_view value, const DateCodec& codec) {
    if (isMemo(f)) cannotHold(f, "text");
    if (f.type == 'C') return putLeftAligned(record, f, value);
    if (trimmed(value).empty()) return setBlank(record, f);
    if (isNumeric(f)) {
        auto n = normalizedNumber(value, f.decimals);
        if (!n)
            throw DatabaseError(inQuotes(value) + " is not a number, so it cannot be stored in the field " + f.name + ".");
        return putRightAligned(record, f, *n, value);
    }
    if (f.type == 'D') {
        auto d = codec.parse(value);
        if (!d || !d->isValid())
            throw DatabaseError(inQuotes(value) + " is not a valid date for the field " + f.name + ".");
        return putLeftAligned(record, f, d->dtos());
    }
    // Logical: T/Y or F/N, "?" for unknown.
    char c = trimmed(value).front();
    if (std::strchr("TtYy", c)) return putLeftAligned(record, f, "T");
    if (std::strchr("FfNn", c)) return putLeftAligned(record, f, "F");
    if (c == '?') return setBlank(record, f);
    throw DatabaseError(inQuotes(value) + " is not a yes/no value for the field " + f.name + ".");
}

void setNumber(char* record, const FieldInfo& f, double value) {
    if (!std::isfinite(value)) cannotHold(f, "an infinite or undefined number");
    if (isNumeric(f)) {
        // to_chars, not printf: the text must have a "." whatever the process's locale (a
        // window library sets it from the environment, and "19,95" reads back as 19).
        char buf[1024];
        auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, f.decimals);
        if (ec != std::errc()) cannotHold(f, "a number this large");
        const std::string text(buf, end);
        auto n = normalizedNumber(text, f.decimals);
        return putRightAligned(record, f, n ? *n : text, text);
    }
    if (f.type == 'C') {
        char buf[64];
        auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value);
        (void)ec;
        std::string s(buf, p);
        if (int(s.size()) > f.length)
            throw DatabaseError("The value " + s + " is too long for the field " + f.name + " (" + layoutText(f) + ").");
        return putLeftAligned(record, f, s);
    }
    cannotHold(f, "a number");
}

void setDate(char* record, const FieldInfo& f, const Date& value, const DateCodec& codec) {
    if (!value.isEmpty() && !value.isValid())
        throw DatabaseError("The date " + std::to_string(value.year) + "-" + std::to_string(value.month) + "-" +
                            std::to_string(value.day) + " does not exist, so it cannot be stored in the field " +
                            f.name + ".");
    if (f.type == 'D') return putLeftAligned(record, f, value.dtos());
    if (f.type == 'C') return putLeftAligned(record, f, codec.format(value));
    cannotHold(f, "a date");
}

}  // namespace rv::db::dbf
