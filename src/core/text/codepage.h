#pragma once
// The program holds every text as Windows-1256 bytes, one byte a character. This is the one place
// where such bytes meet Unicode: at the widgets (QString) and at the table files (UTF-8).
//
// The byte <-> Unicode table is taken once from Qt's ICU-backed "windows-1256" decoder; the bulk
// conversions of the table files then run on that table, a million verses at a time.
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace barqeen::codepage {

// Every byte has a character, so decoding never fails.
QString toUnicode(std::string_view bytes);

// Result of encoding: the bytes, or the first character that has no byte in the code page.
struct Encoded {
    std::string bytes;
    std::optional<char32_t> unmappable;  // set when the text cannot be held
    qsizetype position = -1;             // its index in the QString given
    bool ok() const { return !unmappable; }
};

// Arabic presentation forms (as pasted from PDF files) are folded to their base letters first.
Encoded fromUnicode(const QString& text);

// As fromUnicode, but throws an Error whose text names the character that cannot be held.
std::string fromUnicodeOrThrow(const QString& text);

// The user-facing description of a character that has no byte, in Arabic.
QString unmappableMessage(char32_t ch);

// Table-file text: stored as UTF-8 so that any SQLite tool shows readable Arabic.
std::string toUtf8(std::string_view bytes);
// nullopt when the UTF-8 is malformed or holds a character the code page has no byte for.
std::optional<std::string> fromUtf8(std::string_view utf8);
// The same into out (its old content replaced); false where fromUtf8 gives nullopt.
bool fromUtf8Into(std::string_view utf8, std::string& out);

// Convenience for messages built in the core (UTF-8 text for the error box).
inline std::string utf8(std::string_view bytes) { return toUtf8(bytes); }

}  // namespace barqeen::codepage
