// An import file's bytes: the first-line check, the record reader and the storing of every
// value into a new video record of each field kind.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/Formats.h"
#include "core/db/Table.h"
#include "core/exchange/Export.h"
#include "core/exchange/Import.h"
#include "core/exchange/QuotedText.h"

namespace {

// One video table for the whole run; records are filled and cancelled, never posted.
rv::db::Table& table() {
    static rv::db::Table* t = [] {
        const auto path = std::filesystem::temp_directory_path() / ("fuzz_quoted_" + std::to_string(::getpid()) + ".DBF");
        rv::db::Table::createVideoTable(path);
        auto* opened = new rv::db::Table;
        opened->setPath(path);
        opened->open();
        return opened;
    }();
    return *t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const rv::exchange::FirstLine first = rv::exchange::checkFirstLine(text);
    if (!first.ok()) return 0;
    if (first.names.empty() || first.names.size() > std::size_t(rv::exchange::kMaxImportFields)) std::abort();
    for (const auto& name : first.names)
        if (name.empty() || name.size() > std::size_t(rv::exchange::kImportNameLength)) std::abort();

    static const rv::app::ShortDateFormat dates(1, false, [] { return rv::db::Date{2026, 6, 1}; });
    rv::db::Table& t = table();
    rv::exchange::RecordReader reader(text, int(first.names.size()));
    std::vector<std::string> values;
    int lines = 0;
    while (!reader.atEnd() && lines++ < 1000) {
        if (!reader.read(values)) continue;
        if (values.empty() || values.size() > first.names.size()) std::abort();
        t.append();
        for (std::size_t i = 0; i < values.size(); ++i) {
            const std::string& v = values[i];
            if (v.size() > std::size_t(rv::exchange::kMaxValueLength)) std::abort();
            if (v.find_first_of("\r\n") != std::string::npos) std::abort();
            // Every field of the catalogue in turn: text, whole numbers, prices, dates.
            const int number = int(i % rv::db::kFieldCount) + 1;
            rv::exchange::storeValue(t, t.fieldIndex(rv::db::field(number).name), rv::db::field(number).kind, v, dates);
            // What export writes of the value reads back as the value (without its blanks).
            std::string line;
            rv::exchange::appendExportValue(line, v);
            rv::exchange::RecordReader back(line, 1);
            std::vector<std::string> again;
            const std::string trimmed = rv::app::trim(v);
            if (back.read(again) != !trimmed.empty()) std::abort();
            if (!trimmed.empty() && again != std::vector<std::string>{trimmed}) std::abort();
        }
        t.cancel();
    }
    return 0;
}
