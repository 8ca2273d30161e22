#pragma once

// Rules a typed verse must meet before it is accepted.
// Text is Windows-1256: one byte per character.

#include <optional>
#include <string>
#include <string_view>

namespace barqeen {

enum class VerseFault { None, TooShort, NotArabic, NotPoetry };

// Checks a verse (normally the matching form of what the player typed).
// Runs of spaces are shrunk to one first, without trimming; then the length
// and, position by position, the character rules decide. The first failing
// position gives the fault.
VerseFault CheckVerseRules(std::string text);

// The character that makes a text fail as not Arabic: the first one that is neither a verse
// character nor a space or line break. No rule looks past it, so it is the one a NotArabic
// fault of CheckVerseRules stopped at. Nullopt when there is none.
std::optional<char> FirstNotArabic(std::string_view text);

// The fixed Windows-1256 message shown for a fault; empty for None.
std::string_view VerseFaultMessage(VerseFault fault);

}  // namespace barqeen
