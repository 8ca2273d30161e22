#pragma once
// The second line of the refusal of a verse that holds a character the verse rules do not
// accept: which character it is, and for a vowel mark that the game options can accept it.
#include <QString>

namespace barqeen {

// failing is the Windows-1256 byte the rules stopped at; typed is the verse as typed (a
// character the code page cannot hold reaches the rules as '?', and is named from it).
QString notArabicDetail(char failing, const QString& typed, bool vowelledAccepted);

// The second line of the refusal of a verse with no end letter, when the verse ends on a vowel
// mark the options refuse: which mark, and the option that accepts it. Empty otherwise.
QString endMarkDetail(const QString& typed, bool vowelledAccepted);

}  // namespace barqeen
