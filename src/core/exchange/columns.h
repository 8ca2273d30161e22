#pragma once
// The columns (and JSON keys) a verse file may have, known by several names: the names this
// program writes, the verse table's own field names, and common English and Arabic ones.
#include <string_view>

namespace barqeen::exchange {

enum class Column { Unknown, Text, Hemistich1, Hemistich2, Poet, Categories, FirstLetter, LastLetter, Verses };
inline constexpr int kColumnKinds = 9;

// The verse's names a file may use, for the message that finds none of them (UTF-8).
std::string_view knownVerseNames();

// Case, spaces, underscores and hyphens do not matter: "First Letter" is first_letter.
Column columnOf(std::string_view name);

// The names this program writes, and reads back.
std::string_view columnName(Column column);

}  // namespace barqeen::exchange
