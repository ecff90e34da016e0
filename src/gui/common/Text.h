#pragma once
// Text at the edge between the core (Windows-1252 bytes) and Qt (Unicode).

#include <QString>

#include <optional>

#include <string>
#include <string_view>

#include "core/app/Cp1252.h"

class QWidget;

namespace rv::gui {

// A Windows-1252 text of the core as a QString.
inline QString toQ(std::string_view cp1252) {
    return QString::fromStdString(rv::app::cp1252ToUtf8(cp1252));
}

// A QString as Windows-1252 bytes; characters without a Windows-1252 form become "?".  For
// text that is to be stored, use storable() instead, which refuses such characters.
inline std::string fromQ(const QString& text) {
    std::string utf8 = text.toStdString();
    if (auto cp = rv::app::utf8ToCp1252(utf8)) return *cp;
    std::string out;
    for (QChar c : text) {
        auto one = rv::app::utf8ToCp1252(QString(c).toStdString());
        out += one ? *one : std::string("?");
    }
    return out;
}

// The Windows-1252 form of a text the user typed, or nothing after telling the user which
// character cannot be stored (an error box over `parent`).
std::optional<std::string> storable(QWidget* parent, const QString& text);

// A file path of the core (bytes as the file system has them) and back.  Paths are kept as
// the file system's bytes, so they go through the local 8-bit encoding, not Windows-1252.
inline QString pathToQ(const std::string& path) { return QString::fromLocal8Bit(path); }
inline std::string pathFromQ(const QString& path) { return path.toLocal8Bit().toStdString(); }

}  // namespace rv::gui
