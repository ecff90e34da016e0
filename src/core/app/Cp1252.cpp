#include "core/app/Cp1252.h"

#include <array>
#include <cstdint>

namespace rv::app {

namespace {

// Unicode code points of the bytes 0x80..0x9F; the unassigned ones map to themselves.
constexpr std::array<char32_t, 32> kHigh{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

std::optional<unsigned char> toByte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

}  // namespace

std::string cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char ch : text) {
        auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) out += ch;
        else if (b < 0xA0) appendUtf8(out, kHigh[b - 0x80]);
        else appendUtf8(out, b);
    }
    return out;
}

std::optional<std::string> utf8ToCp1252(std::string_view text, std::string* bad) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        auto b0 = static_cast<unsigned char>(text[i]);
        if (b0 < 0x80) {
            out += char(b0);
            ++i;
            continue;
        }
        size_t len = (b0 >= 0xF0 && b0 < 0xF8) ? 4 : (b0 >= 0xE0) ? 3 : (b0 >= 0xC2 && b0 < 0xE0) ? 2 : 0;
        if (len == 0 || b0 >= 0xF8 || i + len > text.size()) {
            if (bad) *bad = std::string(text.substr(i, 1));
            return std::nullopt;
        }
        char32_t cp = b0 & (0xFF >> (len + 1));
        for (size_t k = 1; k < len; ++k) {
            auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) {
                if (bad) *bad = std::string(text.substr(i, k + 1));
                return std::nullopt;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMinimum[len]) {  // an overlong form is not valid UTF-8
            if (bad) *bad = std::string(text.substr(i, len));
            return std::nullopt;
        }
        auto byte = toByte(cp);
        if (!byte) {
            if (bad) *bad = std::string(text.substr(i, len));
            return std::nullopt;
        }
        out += char(*byte);
        i += len;
    }
    return out;
}

std::string unencodableMessage(std::string_view badCharacter) {
    return "The character \"" + std::string(badCharacter) +
           "\" cannot be stored in a database.  Only Western European (Windows-1252) characters can be stored.";
}

}  // namespace rv::app
