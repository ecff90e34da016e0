#pragma once
// Conversion between UTF-8 (terminal, windows) and Windows-1252 (every file the program
// stores).  The core works on Windows-1252 byte strings; the CLI and the windows convert at
// their edges.

#include <optional>
#include <string>
#include <string_view>

namespace rv::app {

// Every Windows-1252 byte has a UTF-8 form (the five unassigned bytes map to U+0081 etc.),
// so this never fails.
std::string cp1252ToUtf8(std::string_view text);

// The Windows-1252 form of UTF-8 text, or nothing when the text holds a character with no
// Windows-1252 form or is not valid UTF-8.  On failure *bad (when given) receives the
// offending character as UTF-8 (or the invalid bytes) for the message.
std::optional<std::string> utf8ToCp1252(std::string_view text, std::string* bad = nullptr);

// The message a window or the CLI shows when utf8ToCp1252 refuses a text.
std::string unencodableMessage(std::string_view badCharacter);

}  // namespace rv::app
