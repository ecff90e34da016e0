// A list file's bytes, read into entries and written back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/lists/ListFile.h"
#include "core/lists/Selection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto entries = rv::lists::parseListText(bytes);
    for (const auto& entry : entries) {
        // One line each, at most 255 bytes, never blank.
        if (entry.size() > rv::lists::kMaxEntryLength) std::abort();
        if (entry.find_first_of("\r\n") != std::string::npos) std::abort();
        if (entry.find_first_not_of(' ') == std::string::npos) std::abort();
    }
    // What is written reads back the same.
    if (rv::lists::parseListText(rv::lists::formatListText(entries)) != entries) std::abort();

    // The selection window over the same entries, with the file's first line as the box text.
    const std::string_view firstLine = bytes.substr(0, bytes.find_first_of("\r\n"));
    rv::lists::Selection selection(rv::lists::SelectionKind::Miscellaneous, entries, firstLine);
    if (selection.joined().size() > rv::lists::kMaxEntryLength) std::abort();
    return 0;
}
