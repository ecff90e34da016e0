// Index files from disk: any bytes must read as a valid index or as nothing, never crash or
// read out of bounds.  Whatever reads back must write again and read back the same.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/db/DatabaseError.h"
#include "core/db/Mdx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("rv_fuzz_mdx_" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    const auto file = dir / "FUZZ.MDX";
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    auto headers = rv::db::mdx::readMdx(file, false);
    auto contents = rv::db::mdx::readMdx(file);
    if (contents && !headers) std::abort();
    if (!contents) return 0;
    try {
        rv::db::mdx::writeMdx(dir / "AGAIN.MDX", *contents);
    } catch (const rv::db::DatabaseError&) {
        return 0;  // another program's contents this writer refuses (names, lengths, order)
    }
    auto again = rv::db::mdx::readMdx(dir / "AGAIN.MDX");
    if (!again || again->tags.size() != contents->tags.size()) std::abort();
    for (size_t t = 0; t < again->tags.size(); ++t) {
        const auto& a = again->tags[t];
        const auto& b = contents->tags[t];
        if (a.expression != b.expression || a.entries.size() != b.entries.size()) std::abort();
        // Flags and names survive the rewrite (names with a-z in upper case).
        std::string name = b.name;
        for (char& c : name)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (a.descending != b.descending || a.unique != b.unique || a.keyType != b.keyType || a.name != name)
            std::abort();
        for (size_t i = 0; i < a.entries.size(); ++i)
            if (a.entries[i].key != b.entries[i].key || a.entries[i].recno != b.entries[i].recno) std::abort();
    }
    return 0;
}
