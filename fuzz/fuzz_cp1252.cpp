// UTF-8 text from the terminal or a window, converted for storage and back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/app/Cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto stored = rv::app::utf8ToCp1252(text)) {
        if (rv::app::cp1252ToUtf8(*stored) != text) std::abort();
    }
    return 0;
}
