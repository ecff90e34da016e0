#pragma once
// The text file engine: report text files, one CR LF line per text line.  Pages are laid out
// on a page of the given size with the line heights every engine uses, so the file breaks
// pages where printing would; the renderer ends each page with a form feed.

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/reports/PageEngine.h"

namespace rv::reports {

class TextFileEngine final : public PageEngine {
public:
    // Creates (or empties) the file at once; ReportFileError when it cannot be created.
    TextFileEngine(std::filesystem::path file, PageSize page);
    ~TextFileEngine() override;

    PageSize pageSize() const override { return page_; }
    bool writesText() const override { return true; }
    void beginPage() override { ++pages_; }
    void endPage() override {}
    void finish() override;  // flushes and closes; ReportFileError when writing failed
    void abort() override;   // closes and removes the file
    int pageCount() const override { return pages_; }

    void setFont(const ReportFontSpec&) override {}
    double textWidth(std::string_view text) const override { return static_cast<double>(text.size()) / 10.0; }
    void drawText(double, double, std::string_view) override {}
    void drawLine(double, double, double, double) override {}
    void writeTextLine(std::string_view text) override;  // ReportFileError when writing fails

private:
    void fail();
    std::filesystem::path file_;
    PageSize page_;
    std::FILE* out_ = nullptr;
    std::string buffer_;
    int pages_ = 0;
};

}  // namespace rv::reports
