// Index key expressions: a small recursive-descent compiler from the expression text to a
// tree of fixed-width terms, and an evaluator that writes a record's key straight into one
// output buffer without intermediate strings.
//
// Semantics, as the dBase engines evaluate these functions:
//   field            the field's raw bytes (character fields are space padded; numeric and
//                    date fields give their stored text, so Left/Upper work on them too)
//   Upper(t)         t with Windows-1252 letters in upper case; same length
//   Left(t, n)       the first n bytes of t, padded with spaces when t is shorter, so every
//                    key has the same length and the terms after it stay aligned
//   STR(f[,len[,d]]) the numeric value of f right-aligned in len characters with d decimals
//                    (defaults 10 and 0), rounded half away from zero; a value too wide for
//                    len gives len asterisks.  A blank field gives len spaces: the table keeps
//                    empty numbers blank, and spaces sort before every digit and sign, so
//                    records without a value come first.  A character field is read as a
//                    number the way VAL reads it (leading number, 0 when there is none).
//   DTOS(f)          the date as YYYYMMDD, 8 spaces for a blank date
//   DTOC(f)          the date as MM/DD/YY (the dBase default date form), "  /  /  " for a
//                    blank date
//   SUBSTR(t,s[,n])  n bytes of t from byte s (1-based; n defaults to the rest); shorter when
//                    t ends first
//   RIGHT(t,n)       the last n bytes of t (all of t when it is shorter)
//   TRIM(t), RTRIM(t)  t without trailing spaces;  LTRIM(t) without leading spaces;
//                    ALLTRIM(t) without either
//   DESCEND(t)       every byte b of t as (256 - b) mod 256, so keys sort the other way
//   VAL(t)           the leading number of t; a number, so only inside STR: STR(VAL(t),...)
//   a + b            concatenation
// Keys are compared as bytes; a key is at most 100 bytes long (the dBase IV limit).
//
// The trimming functions (and SUBSTR, RIGHT over them) make values of varying length.  The
// key is the concatenation padded with spaces to the key length: by default the longest key
// the expression can make, or the length an existing index tag was built with, as other dBase
// programs pad and cut keys to the length in their tag header.

#include "core/db/KeyExpression.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/db/DatabaseError.h"

namespace rv::db {

namespace {

constexpr int kMaxKeyLength = 100;
constexpr int kMaxLeft = 254;
constexpr int kMaxStrLength = 254;
constexpr int kMaxDepth = 32;

constexpr std::array<unsigned char, 256> makeUpperTable() {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
    for (int c = 'a'; c <= 'z'; ++c) table[c] = static_cast<unsigned char>(c - 32);
    // à..þ map to À..Þ, except ÷ (0xF7) which is no letter.
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7) table[c] = static_cast<unsigned char>(c - 0x20);
    table[0x9A] = 0x8A;  // š -> Š
    table[0x9C] = 0x8C;  // œ -> Œ
    table[0x9E] = 0x8E;  // ž -> Ž
    table[0xFF] = 0x9F;  // ÿ -> Ÿ
    return table;
}

constexpr std::array<unsigned char, 256> kUpper = makeUpperTable();

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

// Field names as stored in a header may carry trailing NULs or spaces.
std::string_view storedName(std::string_view name) {
    while (!name.empty() && (name.back() == '\0' || name.back() == ' ')) name.remove_suffix(1);
    return name;
}

enum class Op { Field, Upper, Left, Str, Dtos, Dtoc, Substr, Right, Rtrim, Ltrim, Alltrim, Descend };

struct Node {
    Op op = Op::Field;
    int width = 0;      // the most bytes this node produces (exactly this many when !variable)
    int field = -1;     // Field, Dtos, Dtoc, Str of a field: index into the field list
    int child = -1;     // the node worked on (Str: the text read through VAL)
    int decimals = 0;   // Str
    int start = 0;      // Substr: 0-based first byte
    bool variable = false;  // the value may be shorter than `width`
};

// Functions that need the whole value of their argument read it into a buffer of this size.
constexpr int kMaxArgument = 255;

// STR: `text` is the stored field text; writes exactly `width` bytes to out.
void formatNumber(std::string_view text, int width, int decimals, char* out);

// The compiled expression: the fields it may read, its nodes and the root of each term.
struct Program {
    std::string text;
    std::vector<KeyField> fields;
    std::vector<Node> nodes;
    std::vector<int> terms;  // root node of each "+" term, in order
    int keyLength = 0;

    // The bytes of field f in the record; missing bytes of a short record read as spaces.
    void copyField(const KeyField& f, std::string_view record, char* out, int want) const {
        int have = 0;
        if (f.offset >= 0 && static_cast<size_t>(f.offset) < record.size())
            have = static_cast<int>(std::min<size_t>(record.size() - f.offset, static_cast<size_t>(f.length)));
        have = std::min(have, want);
        if (have > 0) std::memcpy(out, record.data() + f.offset, static_cast<size_t>(have));
        if (want > have) std::memset(out + have, ' ', static_cast<size_t>(want - have));
    }

    // Writes the first `want` bytes (want <= the node's width) of node n's value, or all of
    // it when it is shorter (only a variable node can be), and returns how many it wrote.
    int eval(int n, std::string_view record, char* out, int want) const {
        const Node& node = nodes[static_cast<size_t>(n)];
        switch (node.op) {
        case Op::Field:
        case Op::Dtos:
            copyField(fields[static_cast<size_t>(node.field)], record, out, want);
            return want;
        case Op::Dtoc: {
            std::array<char, 8> raw;
            copyField(fields[static_cast<size_t>(node.field)], record, raw.data(), 8);
            std::array<char, 8> text;
            if (isBlankText(std::string_view(raw.data(), raw.size()))) {
                std::memcpy(text.data(), "  /  /  ", 8);
            } else {
                const char shown[8] = {raw[4], raw[5], '/', raw[6], raw[7], '/', raw[2], raw[3]};
                std::memcpy(text.data(), shown, 8);
            }
            std::memcpy(out, text.data(), static_cast<size_t>(want));
            return want;
        }
        case Op::Upper: {
            int got = eval(node.child, record, out, want);
            for (int i = 0; i < got; ++i) out[i] = static_cast<char>(kUpper[static_cast<unsigned char>(out[i])]);
            return got;
        }
        case Op::Descend: {
            int got = eval(node.child, record, out, want);
            for (int i = 0; i < got; ++i) out[i] = static_cast<char>(-static_cast<unsigned char>(out[i]));
            return got;
        }
        case Op::Left: {
            int childWant = std::min(want, nodes[static_cast<size_t>(node.child)].width);
            int got = eval(node.child, record, out, childWant);
            if (want > got) std::memset(out + got, ' ', static_cast<size_t>(want - got));
            return want;
        }
        case Op::Substr: {
            std::array<char, kMaxArgument> value;
            int need = std::min(nodes[static_cast<size_t>(node.child)].width, node.start + want);
            int got = eval(node.child, record, value.data(), need);
            int length = std::clamp(got - node.start, 0, want);
            if (length > 0) std::memcpy(out, value.data() + node.start, static_cast<size_t>(length));
            return length;
        }
        case Op::Right:
        case Op::Rtrim:
        case Op::Ltrim:
        case Op::Alltrim: {
            std::array<char, kMaxArgument> value;
            int got = eval(node.child, record, value.data(), nodes[static_cast<size_t>(node.child)].width);
            int from = 0;
            if (node.op == Op::Right) from = std::max(0, got - node.width);
            if (node.op == Op::Rtrim || node.op == Op::Alltrim)
                while (got > 0 && value[static_cast<size_t>(got - 1)] == ' ') --got;
            if (node.op == Op::Ltrim || node.op == Op::Alltrim)
                while (from < got && value[static_cast<size_t>(from)] == ' ') ++from;
            int length = std::min(got - from, want);
            if (length > 0) std::memcpy(out, value.data() + from, static_cast<size_t>(length));
            return length;
        }
        case Op::Str: {
            std::array<char, kMaxStrLength + 1> buffer;
            std::array<char, 256> raw;
            int rawLength;
            if (node.field >= 0) {
                const KeyField& f = fields[static_cast<size_t>(node.field)];
                rawLength = std::clamp(f.length, 0, 255);
                copyField(f, record, raw.data(), rawLength);
            } else {
                rawLength = eval(node.child, record, raw.data(), nodes[static_cast<size_t>(node.child)].width);
            }
            formatNumber(std::string_view(raw.data(), static_cast<size_t>(rawLength)), node.width, node.decimals,
                         buffer.data());
            std::memcpy(out, buffer.data(), static_cast<size_t>(want));
            return want;
        }
        }
        return 0;
    }

    static bool isBlankText(std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\0'; });
    }
};

// Decimal digits of a number with the position of its decimal point, so values are rounded
// exactly as written in the table rather than through binary floating point.  Field texts
// are at most 255 bytes, so fixed buffers hold everything and keys cost no allocation.
struct Decimal {
    bool negative = false;
    std::array<char, 256> digits;  // without sign or point; only the first `count` are set
    size_t count = 0;
    long point = 0;  // number of digits before the decimal point (may be <0 or >count)

    char digit(long index) const {
        return index >= 0 && static_cast<size_t>(index) < count ? digits[static_cast<size_t>(index)] : '0';
    }
};

// Reads the leading number of text the way VAL does; nothing read gives 0.
Decimal parseDecimal(std::string_view text) {
    Decimal d;
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\0')) ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        d.negative = text[i] == '-';
        ++i;
    }
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            if (d.count < d.digits.size()) d.digits[d.count++] = c;
            if (!seenPoint) ++d.point;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (d.count == 0) return Decimal{};
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '-' || text[j] == '+')) expNegative = text[j++] == '-';
        long exponent = 0;
        bool any = false;
        for (; j < text.size() && text[j] >= '0' && text[j] <= '9'; ++j) {
            any = true;
            if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
        }
        if (any) d.point += expNegative ? -exponent : exponent;
    }
    return d;
}

bool isBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\0'; });
}

void formatNumber(std::string_view text, int width, int decimals, char* out) {
    std::memset(out, ' ', static_cast<size_t>(width));
    if (isBlank(text)) return;
    Decimal d = parseDecimal(text);
    // A point this far out cannot fit any width we allow (too big) or rounds to zero.
    if (d.point > kMaxStrLength) {
        std::memset(out, '*', static_cast<size_t>(width));
        return;
    }
    if (d.point < -kMaxStrLength) d = Decimal{};

    // fixed[1..]: the integer digits, then `decimals` fraction digits; fixed[0] takes a carry.
    std::array<char, 2 * kMaxStrLength + 4> fixed;
    size_t length = 1;
    for (long i = 0; i < d.point; ++i) fixed[length++] = d.digit(i);
    if (length == 1) fixed[length++] = '0';
    size_t intEnd = length;  // one past the last integer digit
    for (long k = 0; k < decimals; ++k) fixed[length++] = d.digit(d.point + k);
    size_t first = 1;
    if (d.digit(d.point + decimals) >= '5') {
        size_t i = length;
        for (;;) {
            --i;
            if (i == 0) {  // carried out of the first digit: 99.96 -> 100.0
                fixed[0] = '1';
                first = 0;
                break;
            }
            if (fixed[i] != '9') {
                ++fixed[i];
                break;
            }
            fixed[i] = '0';
        }
    }
    // Drop leading zeros of the integer part, keeping one.
    while (first + 1 < intEnd && fixed[first] == '0') ++first;
    bool zero = std::all_of(fixed.begin() + static_cast<long>(first), fixed.begin() + static_cast<long>(length),
                            [](char c) { return c == '0'; });
    std::array<char, 2 * kMaxStrLength + 6> result;
    size_t used = 0;
    if (d.negative && !zero) result[used++] = '-';
    for (size_t i = first; i < intEnd; ++i) result[used++] = fixed[i];
    if (decimals > 0) {
        result[used++] = '.';
        for (size_t i = intEnd; i < length; ++i) result[used++] = fixed[i];
    }
    if (used > static_cast<size_t>(width)) {
        std::memset(out, '*', static_cast<size_t>(width));
        return;
    }
    std::memcpy(out + (width - static_cast<int>(used)), result.data(), used);
}

class Parser {
public:
    Parser(std::string_view text, Program& impl) : text_(text), impl_(impl) {}

    // lengthHint: the key length for an expression whose values vary in length (0: the
    // longest key it can make, which must fit an index key).
    void parse(int lengthHint) {
        skipSpaces();
        if (pos_ >= text_.size()) fail("the expression is empty");
        long longest = 0;
        bool variable = false;
        for (;;) {
            int term = parseTerm(0);
            impl_.terms.push_back(term);
            const Node& node = impl_.nodes[static_cast<size_t>(term)];
            longest += node.width;
            variable = variable || node.variable;
            if (longest > 1000000) fail("the key would be far too long");
            skipSpaces();
            if (pos_ >= text_.size()) break;
            if (text_[pos_] != '+') fail("\"+\" expected at position " + std::to_string(pos_ + 1));
            ++pos_;
        }
        if (variable && lengthHint >= 1 && lengthHint <= kMaxKeyLength) {
            impl_.keyLength = lengthHint;
            return;
        }
        if (longest > kMaxKeyLength)
            fail("the key would be " + std::to_string(longest) + " bytes long; an index key holds at most " +
                 std::to_string(kMaxKeyLength));
        impl_.keyLength = static_cast<int>(longest);
        if (impl_.keyLength < 1) fail("the key would be empty");
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw DatabaseError("Invalid index expression \"" + std::string(text_) + "\": " + what);
    }

    void skipSpaces() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    }

    static bool isNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
    static bool isNameChar(char c) { return isNameStart(c) || (c >= '0' && c <= '9'); }

    std::string_view name() {
        skipSpaces();
        if (pos_ >= text_.size()) fail("a field or function name expected at the end");
        if (!isNameStart(text_[pos_]))
            fail("unexpected \"" + std::string(1, text_[pos_]) + "\" at position " + std::to_string(pos_ + 1));
        size_t start = pos_;
        while (pos_ < text_.size() && isNameChar(text_[pos_])) ++pos_;
        return text_.substr(start, pos_ - start);
    }

    void expect(char c) {
        skipSpaces();
        if (pos_ >= text_.size() || text_[pos_] != c)
        {
            std::string message = "\"";
            message += c;
            message += "\" expected at position ";
            message += std::to_string(pos_ + 1);
            fail(message);
        }
        ++pos_;
    }

    bool peek(char c) {
        skipSpaces();
        return pos_ < text_.size() && text_[pos_] == c;
    }

    int number(const char* what) {
        skipSpaces();
        size_t start = pos_;
        long value = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            if (value < 100000) value = value * 10 + (text_[pos_] - '0');
            ++pos_;
        }
        if (pos_ == start) fail(std::string(what) + " expected at position " + std::to_string(start + 1));
        return static_cast<int>(value);
    }

    int field(std::string_view fieldName) {
        for (size_t i = 0; i < impl_.fields.size(); ++i)
            if (equalsNoCase(storedName(impl_.fields[i].name), fieldName)) return static_cast<int>(i);
        fail("unknown field \"" + std::string(fieldName) + "\"");
    }

    int add(Node node) {
        impl_.nodes.push_back(node);
        return static_cast<int>(impl_.nodes.size() - 1);
    }

    const Node& nodeAt(int n) const { return impl_.nodes[static_cast<size_t>(n)]; }

    int dateField(std::string_view function) {
        std::string_view fieldName = name();
        int f = field(fieldName);
        char type = impl_.fields[static_cast<size_t>(f)].type;
        if (type != 'D' && type != 'd')
            fail(std::string(function) + " needs a date field, and \"" + std::string(fieldName) + "\" is not one");
        return f;
    }

    // The argument of a function that reads the whole of it.
    int wholeArgument(std::string_view function, int depth) {
        int child = parseTerm(depth + 1);
        if (nodeAt(child).width > kMaxArgument)
            fail(std::string(function) + " works on at most " + std::to_string(kMaxArgument) + " characters");
        return child;
    }

    int count(const char* what, std::string_view function, int low, int high) {
        int n = number(what);
        if (n < low || n > high)
            fail(std::string(function) + " needs " + what + " of " + std::to_string(low) + " to " +
                 std::to_string(high) + ", not " + std::to_string(n));
        return n;
    }

    int parseTerm(int depth) {
        if (depth > kMaxDepth) fail("functions nested too deeply");
        std::string_view word = name();
        if (!peek('(')) {
            int f = field(word);
            return add(Node{Op::Field, std::max(impl_.fields[static_cast<size_t>(f)].length, 0), f, -1, 0});
        }
        ++pos_;  // "("
        Node node;
        if (equalsNoCase(word, "UPPER") || equalsNoCase(word, "DESCEND")) {
            node.op = equalsNoCase(word, "UPPER") ? Op::Upper : Op::Descend;
            node.child = parseTerm(depth + 1);
            node.width = nodeAt(node.child).width;
            node.variable = nodeAt(node.child).variable;
        } else if (equalsNoCase(word, "LEFT")) {
            node.op = Op::Left;
            node.child = parseTerm(depth + 1);
            expect(',');
            int n = number("a length");
            if (n < 1 || n > kMaxLeft)
                fail("Left takes 1 to " + std::to_string(kMaxLeft) + " characters, not " + std::to_string(n));
            node.width = n;
        } else if (equalsNoCase(word, "SUBSTR")) {
            node.op = Op::Substr;
            node.child = wholeArgument("SUBSTR", depth);
            expect(',');
            const int start = count("a start", "SUBSTR", 1, kMaxArgument);
            int length = kMaxArgument;
            if (peek(',')) {
                ++pos_;
                length = count("a length", "SUBSTR", 1, kMaxArgument);
            }
            node.start = start - 1;
            node.width = std::clamp(nodeAt(node.child).width - node.start, 0, length);
            node.variable = nodeAt(node.child).variable;
        } else if (equalsNoCase(word, "RIGHT")) {
            node.op = Op::Right;
            node.child = wholeArgument("RIGHT", depth);
            expect(',');
            node.width = std::min(count("a length", "RIGHT", 1, kMaxLeft), nodeAt(node.child).width);
            node.variable = nodeAt(node.child).variable;
        } else if (equalsNoCase(word, "TRIM") || equalsNoCase(word, "RTRIM") || equalsNoCase(word, "LTRIM") ||
                   equalsNoCase(word, "ALLTRIM")) {
            node.op = equalsNoCase(word, "LTRIM") ? Op::Ltrim : equalsNoCase(word, "ALLTRIM") ? Op::Alltrim : Op::Rtrim;
            node.child = wholeArgument(word, depth);
            node.width = nodeAt(node.child).width;
            node.variable = true;
        } else if (equalsNoCase(word, "STR")) {
            node.op = Op::Str;
            size_t at = pos_;
            std::string_view argument = name();
            if (equalsNoCase(argument, "VAL") && peek('(')) {
                ++pos_;
                node.child = wholeArgument("VAL", depth + 1);
                expect(')');
            } else {
                pos_ = at;
                std::string_view fieldName = name();
                node.field = field(fieldName);
                char type = impl_.fields[static_cast<size_t>(node.field)].type;
                if (type == 'D' || type == 'd' || type == 'L' || type == 'l' || type == 'M' || type == 'm')
                    fail("STR needs a numeric field, and \"" + std::string(fieldName) + "\" is not one");
            }
            int length = 10;
            int decimals = 0;
            if (peek(',')) {
                ++pos_;
                length = number("a length");
                if (peek(',')) {
                    ++pos_;
                    decimals = number("a number of decimals");
                }
            }
            if (length < 1 || length > kMaxStrLength)
                fail("STR takes a length of 1 to " + std::to_string(kMaxStrLength) + ", not " + std::to_string(length));
            if (decimals > 0 && decimals + 2 > length)
                fail("STR cannot show " + std::to_string(decimals) + " decimals in " + std::to_string(length) +
                     " characters");
            node.width = length;
            node.decimals = decimals;
        } else if (equalsNoCase(word, "DTOS") || equalsNoCase(word, "DTOC")) {
            node.op = equalsNoCase(word, "DTOS") ? Op::Dtos : Op::Dtoc;
            node.field = dateField(equalsNoCase(word, "DTOS") ? "DTOS" : "DTOC");
            node.width = 8;
        } else if (equalsNoCase(word, "VAL")) {
            fail("VAL gives a number, and an index key is text: use it inside STR, as in STR(VAL(...),10)");
        } else {
            fail("unknown function \"" + std::string(word) + "\"");
        }
        expect(')');
        return add(node);
    }

    std::string_view text_;
    Program& impl_;
    size_t pos_ = 0;
};

}  // namespace

struct KeyExpression::Impl {
    Program program;
};

KeyExpression KeyExpression::compile(std::string_view expression, const std::vector<KeyField>& fields,
                                     int lengthHint) {
    auto impl = std::make_unique<Impl>();
    impl->program.text = std::string(expression);
    impl->program.fields = fields;
    Parser(impl->program.text, impl->program).parse(lengthHint);
    return KeyExpression(std::move(impl));
}

KeyExpression::KeyExpression(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
KeyExpression::KeyExpression(const KeyExpression& other) : impl_(std::make_unique<Impl>(*other.impl_)) {}
KeyExpression::KeyExpression(KeyExpression&&) noexcept = default;
KeyExpression& KeyExpression::operator=(const KeyExpression& other) {
    if (this != &other) impl_ = std::make_unique<Impl>(*other.impl_);
    return *this;
}
KeyExpression& KeyExpression::operator=(KeyExpression&&) noexcept = default;
KeyExpression::~KeyExpression() = default;

const std::string& KeyExpression::text() const { return impl_->program.text; }

int KeyExpression::keyLength() const { return impl_->program.keyLength; }

std::string KeyExpression::key(std::string_view record) const {
    std::string out(static_cast<size_t>(impl_->program.keyLength), ' ');
    keyInto(record, out.data());
    return out;
}

void KeyExpression::keyInto(std::string_view record, char* out) const {
    const Program& p = impl_->program;
    int used = 0;
    for (int term : p.terms) {
        if (used == p.keyLength) break;
        int width = std::min(p.nodes[static_cast<size_t>(term)].width, p.keyLength - used);
        used += p.eval(term, record, out + used, width);
    }
    if (used < p.keyLength) std::memset(out + used, ' ', static_cast<size_t>(p.keyLength - used));
}

std::string upperCp1252(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
    return out;
}

}  // namespace rv::db
