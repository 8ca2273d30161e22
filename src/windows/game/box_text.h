#pragma once
// The game's text boxes hold Unicode with LF line breaks; the game's rules and tables work on
// Windows-1256 bytes with CR LF line breaks, as the stored verses have them. These are the
// crossings between the two.
#include <QString>

class QPlainTextEdit;

#include <string>
#include <string_view>

namespace barqeen {

// What the box holds, exactly as typed: lines end in LF, and a non-breaking space stays one
// (QPlainTextEdit::toPlainText would make it a plain space, changing what the rules judge).
QString TypedText(const QPlainTextEdit& box);

// Drops leading and trailing spaces, line breaks and other control characters (code 0 to 32).
QString TrimControls(const QString& text);

// The bytes a typed text is judged on. A character the code page cannot hold becomes '?', a
// character that is not Arabic, so the checks refuse it where they would refuse any such
// character; these bytes are never stored.
std::string CheckedBytes(const QString& text);

// The bytes a typed text is stored as. A character the code page cannot hold is refused with an
// Error naming it (the text stays where it was).
std::string StoredBytes(const QString& text);

// What the box shows for stored bytes: CR LF and lone CR become LF.
QString BoxText(std::string_view bytes);

}  // namespace barqeen
