// Table files from disk: any bytes must open as a table or raise DatabaseError, never crash
// or read out of bounds.  A table that opens is walked in record and key order reading every
// field; a writable one is also appended to, edited, and packed, and must then hold what was
// written.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/db/DatabaseError.h"
#include "core/db/Table.h"

namespace {

using rv::db::DatabaseError;
using rv::db::Table;

void walk(Table& t) {
    for (t.first(); !t.eof(); t.next())
        for (int i = 0; i < t.fieldCount(); ++i) {
            (void)t.asString(i);
            (void)t.asNumber(i);
            (void)t.asDate(i);
            (void)t.asStored(i);
        }
    for (t.last(); !t.bof(); t.prior()) (void)t.recNo();
    const int rows = t.rowCount();
    for (int row = 0; row < rows; ++row) (void)t.valueAt(t.recNoAtRow(row), row % t.fieldCount());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("rv_fuzz_dbf_" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    const auto file = dir / "FUZZ.DBF";
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    Table t;
    t.setPath(file);
    t.setExclusive(true);
    try {
        t.open();
    } catch (const DatabaseError&) {
        return 0;
    }
    try {
        walk(t);
        // Key order over the first field, as the sort order builds it.
        t.orderBy("Upper(Left(" + t.fieldName(0) + ",20))");
        walk(t);
    } catch (const DatabaseError&) {
        // A field name the key expression cannot use (another program's header).
    }
    if (!t.isWritable()) return 0;

    const int before = t.physicalRecordCount();
    t.append();
    for (int i = 0; i < t.fieldCount(); ++i) {
        try {
            t.setString(i, "7");
        } catch (const DatabaseError&) {
        }
    }
    t.post();
    const std::string stored = t.asStored(0);
    if (t.physicalRecordCount() != before + 1) std::abort();
    if (before > 0 && t.moveToRecNo(1)) t.deleteRecord();
    t.pack();
    walk(t);
    t.close();

    // The appended record survives reopening and packing.
    t.open();
    if (!t.problem().empty()) std::abort();
    t.last();
    bool found = false;
    for (t.first(); !t.eof() && !found; t.next()) found = t.asStored(0) == stored;
    if (!found) std::abort();
    return 0;
}
