#pragma once
// Quoted comma-separated text as import reads it: the check of a file's first line and the
// reader of the record lines after it.
//
// A value is read in three states:
//  - before an opening quote: a double quote starts the quoted part, a comma ends the value
//    (so unquoted values, as spreadsheets write them, read one cell each), a control character
//    is passed over, anything else belongs to the value;
//  - inside the quotes: a double quote leads to the third state, a control character is
//    passed over, anything else (a comma too) belongs to the value;
//  - after a quote inside the quotes: a second double quote adds one double quote and the
//    quoted part goes on, a comma ends the value, any other character closes the quoted part
//    and is read as before an opening quote.
// A line ends at CR LF, at CR alone or at LF alone, and at the end of the file; a line that
// ends inside the quotes has ended improperly (an unmatched quote).
//
// Text is kept as the file's bytes (Windows-1252).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rv::exchange {

inline constexpr int kMaxImportFields = 50;   // values on a first line, fields of a dBase source
inline constexpr int kMaxValueLength = 255;   // characters of one value
inline constexpr int kImportNameLength = 20;  // characters of an import field name
inline constexpr const char* kBlankFieldName = "<BLANK FIELD>";

// Why a first line was refused.
enum class FirstLineFault { TooLong, UnexpectedEnd, TooMany };

// The error shown for a refused first line (title "Error"): the common head and the reason.
std::string firstLineMessage(FirstLineFault fault);

struct FirstLine {
    std::vector<std::string> names;       // import field names, one per value (when accepted)
    std::optional<FirstLineFault> fault;  // set when the line was refused
    bool ok() const { return !fault; }
};

// GetFirstLine: reads the values of the first line of `text`.  More than 50 values, a value
// longer than 255 characters, a line that ends inside the quotes and an empty first line (an
// empty file too) are refused.  Each value gives an import field name: its first 20
// characters, or "<BLANK FIELD>" when it is empty.
FirstLine checkFirstLine(std::string_view text);

// Reads record lines one after another.  The text must outlive the reader.
class RecordReader {
public:
    // `fieldCount`: the import field count (the number of values on the first line).
    RecordReader(std::string_view text, int fieldCount);

    bool atEnd() const { return pos_ >= text_.size(); }

    // ReadInAsciiRecord: reads the next line into `values` (at most the import field count;
    // a line with fewer values gives fewer).  A value longer than 255 characters is cut to
    // 255.  Values beyond the import field count are dropped with their line.  Answers false
    // for a line whose first value is empty when the line ends (a blank line, the end of the
    // file): no record.
    bool read(std::vector<std::string>& values);

private:
    enum class End { Comma, Outside, Quoted, AfterQuote };
    // Reads one value into `out`; `tooLong` tells that characters past 255 were dropped.
    End readValue(std::string& out, bool& tooLong);
    bool lineEnded() const { return pos_ >= text_.size() || text_[pos_] == '\r' || text_[pos_] == '\n'; }
    void skipToLineEnd();
    void takeLineEnd();

    std::string_view text_;
    std::size_t pos_ = 0;
    int fieldCount_;

    friend FirstLine checkFirstLine(std::string_view text);
};

}  // namespace rv::exchange
