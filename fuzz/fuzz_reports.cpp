// Report definitions from foreign files, read and rendered to the text engine.
//
// The input patches a valid record: byte 0 chooses the definitions file (even) or the old
// report file (odd), byte 1 the built-in report to start from, and each following group of
// three bytes sets one byte (16-bit offset, value).  An input of a whole record or more is
// read as a definitions file as it is.  Every definition read is rendered over a small table:
// the run must end (pages, or the no-room error), every text line within 255 characters.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/app/Formats.h"
#include "core/db/Table.h"
#include "core/reports/ReportRenderer.h"
#include "core/reports/ReportStore.h"
#include "core/reports/TextFileEngine.h"

namespace {

namespace fs = std::filesystem;
using namespace rv::reports;

struct World {
    fs::path dir;
    rv::db::Table table;
    rv::app::DisplayFormats formats;
    World() {
        dir = fs::temp_directory_path() / ("rv_fuzz_reports_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        rv::db::Table::createVideoTable(dir / "V.DBF");
        table.setPath(dir / "V.DBF");
        table.open();
        const char* cats[] = {"Drama", "Drama", "Comedy", "", "zzxkytrweq"};
        for (int i = 0; i < 5; ++i) {
            table.append();
            table.setString("Title", "Title " + std::string(size_t(i * 20), 'x'));
            table.setString("Category", cats[i]);
            table.setString("ListPrice", std::to_string(i) + ".5");
            table.setNumber("Year", 1990 + i);
            table.post();
        }
    }
};

World& world() {
    static World w;
    return w;
}

void render(const ReportDefinition& def) {
    World& w = world();
    const fs::path out = w.dir / "out.txt";
    TextFileEngine engine(out, oriented(kLetter, def.landscape));
    ReportSource src;
    src.table = &w.table;
    src.formats = &w.formats;
    src.sortLevels = {14, 11, 0, 0};
    src.today = "12/11/26";
    ReportRenderer renderer(def, src, engine);
    try {
        int pages = 0;
        renderer.run([&pages](int) { return ++pages < 10000; });
    } catch (const ReportLayoutError&) {
        if (fs::exists(out)) std::abort();  // no output kept after the error
        return;
    }
    std::ifstream in(out, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) std::abort();  // every line ends with CR LF
        if (end - start > 255) std::abort();
        start = end + 2;
    }
}

void check(const ReportDefinition& d) {
    // What is read writes back to the same definition, and stays in the documented ranges.
    if (decode(encode(d)) != d) std::abort();
    if (d.charsPerLine != 90 && d.charsPerLine != 120 && d.charsPerLine != 150) std::abort();
    if (d.lineCount < 0 || d.lineCount > kMaxRecordLines) std::abort();
    render(d);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    World& w = world();
    if (size >= kDefinitionSize) {
        const fs::path file = w.dir / "RVLVID.URP";
        std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), std::streamsize(size));
        ReportStore store(file);
        if (store.names().size() != size / kDefinitionSize) std::abort();
        for (const auto& d : store.readAll()) check(d);
        return 0;
    }
    const bool old = data[0] & 1;
    std::string bytes;
    if (old) {
        bytes.assign(kOldDefinitionSize, '\0');
        const std::string base = encode(builtInReports()[data[1] % 6]);
        // The old layout: name and characters per line as in the new one, lines further on.
        bytes.replace(0, 33, base.substr(0, 33));
        bytes.replace(88, 1500, base.substr(345, 1500));
        bytes.replace(1831, 18000, base.substr(2122, 18000));
    } else {
        bytes = encode(builtInReports()[data[1] % 6]);
    }
    for (size_t i = 2; i + 2 < size; i += 3)
        bytes[(size_t(data[i]) << 8 | data[i + 1]) % bytes.size()] = char(data[i + 2]);
    check(old ? convertOldDefinition(bytes) : decode(bytes));
    return 0;
}
