#pragma once
// dBase index key expressions: the sort expressions the program builds (Upper, Left, STR,
// DTOS, field names, "+") and the common character functions of tags other dBase programs
// build (SUBSTR, RIGHT, TRIM, RTRIM, LTRIM, ALLTRIM, DESCEND, DTOC, STR(VAL(...))), compiled
// against a table's field layout and evaluated on raw record bytes.  All keys are character
// keys of a fixed length.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rv::db {

// One field of the table as laid out in its records.
struct KeyField {
    std::string name;  // as stored in the header
    char type = 'C';   // dBase type letter
    int offset = 0;    // byte offset within the record (the deletion flag is byte 0)
    int length = 0;
    int decimals = 0;
};

class KeyExpression {
public:
    // Compiles an expression: terms joined by "+"; a term is a field name, Upper(term),
    // Left(term, n), STR(field or VAL(term) [, length [, decimals]]), DTOS(field),
    // DTOC(field), SUBSTR(term, start [, n]), RIGHT(term, n), TRIM / RTRIM / LTRIM /
    // ALLTRIM(term) or DESCEND(term).  Names and functions are matched without regard to
    // case.  A syntax error or an unknown field raises DatabaseError with a message naming
    // the problem.
    //
    // Keys of an expression with trimmed parts vary in length before they are padded with
    // spaces: `lengthHint` (1..100), the key length of the index tag being maintained, is
    // then the key length; otherwise (and always for fixed-length expressions) the key
    // length is the longest key the expression can make.
    static KeyExpression compile(std::string_view expression, const std::vector<KeyField>& fields,
                                 int lengthHint = 0);

    KeyExpression(const KeyExpression&);
    KeyExpression(KeyExpression&&) noexcept;
    KeyExpression& operator=(const KeyExpression&);
    KeyExpression& operator=(KeyExpression&&) noexcept;
    ~KeyExpression();

    const std::string& text() const;  // the expression as given
    int keyLength() const;            // every key has exactly this many bytes

    // The key of one record; `record` holds the whole record (deletion flag first).
    std::string key(std::string_view record) const;
    // The same key written to out[0 .. keyLength()), without allocating.
    void keyInto(std::string_view record, char* out) const;

private:
    struct Impl;
    explicit KeyExpression(std::unique_ptr<Impl>);
    std::unique_ptr<Impl> impl_;
};

// Upper case of Windows-1252 text: a-z and the accented letters with an upper-case form.
std::string upperCp1252(std::string_view text);

}  // namespace rv::db
