#include "core/exchange/QuotedText.h"

#include "core/exchange/ExchangeMessages.h"

namespace rv::exchange {

std::string firstLineMessage(FirstLineFault fault) {
    std::string text = kNotAsciiHead;
    switch (fault) {
        case FirstLineFault::TooLong: text += kFieldTooLong; break;
        case FirstLineFault::UnexpectedEnd: text += kUnexpectedEnd; break;
        case FirstLineFault::TooMany: text += kTooManyFields; break;
    }
    return text;
}

RecordReader::RecordReader(std::string_view text, int fieldCount) : text_(text), fieldCount_(fieldCount) {}

RecordReader::End RecordReader::readValue(std::string& out, bool& tooLong) {
    out.clear();
    tooLong = false;
    enum { Outside, Quoted, AfterQuote } state = Outside;
    auto add = [&](char c) {
        if (out.size() < std::size_t(kMaxValueLength))
            out += c;
        else
            tooLong = true;
    };
    for (;;) {
        if (lineEnded()) return state == Outside ? End::Outside : state == Quoted ? End::Quoted : End::AfterQuote;
        const char c = text_[pos_++];
        const bool control = static_cast<unsigned char>(c) < 32;
        switch (state) {
            case Outside:
                if (c == '"')
                    state = Quoted;
                else if (c == ',')
                    return End::Comma;
                else if (!control)
                    add(c);
                break;
            case Quoted:
                if (c == '"')
                    state = AfterQuote;
                else if (!control)
                    add(c);
                break;
            case AfterQuote:
                if (c == '"') {
                    add('"');
                    state = Quoted;
                } else if (c == ',') {
                    return End::Comma;
                } else {
                    // A stray character after the closing quote: the quoted part is over and
                    // the value goes on as an unquoted one.
                    state = Outside;
                    if (!control) add(c);
                }
                break;
        }
    }
}

void RecordReader::skipToLineEnd() {
    while (!lineEnded()) ++pos_;
}

void RecordReader::takeLineEnd() {
    if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
}

bool RecordReader::read(std::vector<std::string>& values) {
    values.clear();
    std::string value;
    bool tooLong = false;
    bool lineDone = false;
    bool blank = false;
    for (int i = 0; i < fieldCount_; ++i) {
        const End end = readValue(value, tooLong);
        values.push_back(value);
        if (end != End::Comma) {
            lineDone = true;
            blank = i == 0 && value.empty();
            break;
        }
    }
    // Values past the import field count belong to this line and go with it.
    if (!lineDone) skipToLineEnd();
    takeLineEnd();
    if (blank) values.clear();
    return !blank;
}

FirstLine checkFirstLine(std::string_view text) {
    FirstLine result;
    RecordReader reader(text, kMaxImportFields);
    std::string value;
    bool tooLong = false;
    for (;;) {
        if (result.names.size() == std::size_t(kMaxImportFields)) {
            result.fault = FirstLineFault::TooMany;
            break;
        }
        const auto end = reader.readValue(value, tooLong);
        if (tooLong) {
            result.fault = FirstLineFault::TooLong;
            break;
        }
        result.names.push_back(value.empty() ? std::string(kBlankFieldName) : value.substr(0, kImportNameLength));
        if (end == RecordReader::End::Comma) continue;
        // A line ending inside the quotes is an unmatched quote; an empty first line (or an
        // empty file) has no field at all.
        if (end == RecordReader::End::Quoted || (result.names.size() == 1 && value.empty() &&
                                                 end == RecordReader::End::Outside))
            result.fault = FirstLineFault::UnexpectedEnd;
        break;
    }
    if (result.fault) result.names.clear();
    return result;
}

}  // namespace rv::exchange
