#include "core/reports/TextFileEngine.h"

#include <cerrno>
#include <cstring>

#include "core/reports/ReportStore.h"

namespace rv::reports {

TextFileEngine::TextFileEngine(std::filesystem::path file, PageSize page) : file_(std::move(file)), page_(page) {
    out_ = std::fopen(file_.c_str(), "wb");
    if (!out_) throw ReportFileError("Cannot create " + file_.string() + ": " + std::strerror(errno));
    buffer_.reserve(1 << 16);
}

TextFileEngine::~TextFileEngine() {
    if (out_) std::fclose(out_);
}

void TextFileEngine::fail() {
    const std::string reason = std::strerror(errno);
    abort();
    throw ReportFileError("Cannot write " + file_.string() + ": " + reason);
}

void TextFileEngine::writeTextLine(std::string_view text) {
    if (!out_) return;
    buffer_.append(text);
    buffer_.append("\r\n");
    if (buffer_.size() >= (1u << 16)) {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size()) fail();
        buffer_.clear();
    }
}

void TextFileEngine::finish() {
    if (!out_) return;
    const bool ok = std::fwrite(buffer_.data(), 1, buffer_.size(), out_) == buffer_.size() && std::fflush(out_) == 0;
    buffer_.clear();
    if (!ok) fail();
    std::fclose(out_);
    out_ = nullptr;
}

void TextFileEngine::abort() {
    if (out_) std::fclose(out_);
    out_ = nullptr;
    buffer_.clear();
    std::error_code ec;
    std::filesystem::remove(file_, ec);
}

}  // namespace rv::reports
