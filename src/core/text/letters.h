#pragma once

// Arabic letter sets and the matching form of a verse.
// All text is Windows-1256: one byte per character.

#include <array>
#include <string>
#include <string_view>

namespace barqeen {

// Letters accepted in a verse, plus the tatweel; kept in their stored order:
// ذدجحخهعغإفقثصضطكمنتـاألبيسشظزوةىآرؤءئ
inline constexpr std::string_view PoemLetters =
    "\xD0\xCF\xCC\xCD\xCE"  // ذ د ج ح خ
    "\xE5\xDA\xDB\xC5\xDD"  // ه ع غ إ ف
    "\xDE\xCB\xD5\xD6\xD8"  // ق ث ص ض ط
    "\xDF\xE3\xE4\xCA\xDC"  // ك م ن ت ـ
    "\xC7\xC3\xE1\xC8\xED"  // ا أ ل ب ي
    "\xD3\xD4\xD9\xD2\xE6"  // س ش ظ ز و
    "\xC9\xEC\xC2\xD1\xC4"  // ة ى آ ر ؤ
    "\xC1\xC6";             // ء ئ

// Vowel marks accepted in a verse: fathatan, kasra, dammatan, damma, fathatan
// (the repeat is harmless, membership is all that matters).
inline constexpr std::string_view PoemMarks = "\xF0\xF6\xF1\xF5\xF0";

// Hamza-bearing forms folded into bare alef ا when matching: أ إ آ ء
inline constexpr std::string_view HamzaForms = "\xC3\xC5\xC2\xC1";

// Marks dropped when matching: dammatan, damma, fathatan, fatha, kasra, kasratan, sukun.
// Shadda is deliberately absent: the matching form keeps it.
inline constexpr std::string_view VowelMarks = "\xF1\xF5\xF0\xF3\xF6\xF2\xFA";

// Shadda, the doubling mark; the matching form keeps it.
inline constexpr char Shadda = '\xF8';

// Bare alef ا, the letter every hamza form becomes.
inline constexpr char Alef = '\xC7';

// Alef with hamza above أ: the alif group's letter in every letter list.
inline constexpr char AlefHamzaAbove = '\xC3';

// The 28 letters on which a game verse may begin or end (Windows-1256): ق ف أ ب ت ث ج ح خ د ذ ر
// ز س ش ص ض ط ظ ع غ ك ل م ن ه و ي. Of the alif forms only أ.
inline constexpr std::string_view PlayableLetters =
    "\xDE\xDD\xC3\xC8\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDA\xDB\xDF\xE1\xE3\xE4\xE5\xE6\xED";

// The same 28 in the order the verse window lists them: أبتثجحخدذرزسشصضطظعغقفكلمنهوي.
inline constexpr std::string_view ListedLetters =
    "\xC3\xC8\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDA\xDB\xDE\xDD\xDF\xE1\xE3\xE4\xE5\xE6\xED";

// The 26 letters the start-letter dialog and the search offer: the list above without ق and ف.
inline constexpr std::string_view OfferedLetters =
    "\xC3\xC8\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDA\xDB\xDF\xE1\xE3\xE4\xE5\xE6\xED";

// The alif group: ا أ إ آ and the lone hamza ء all stand as أ in the letter lists, so a verse
// that begins with any of them is found under أ.
constexpr bool InAlifGroup(char c)
{
    return c == Alef || c == AlefHamzaAbove || c == '\xC5' || c == '\xC2' || c == '\xC1';
}
constexpr char FoldAlifGroup(char c)
{
    return InAlifGroup(c) ? AlefHamzaAbove : c;
}

// True when the set string contains the byte.
constexpr bool inSet(std::string_view set, char ch)
{
    return set.find(ch) != std::string_view::npos;
}

namespace detail {

// Lookup table derived from the set strings, so the sets stay the single source of truth.
constexpr std::array<bool, 256> makePoemCharTable()
{
    std::array<bool, 256> table{};
    for (int b = 1; b < 256; ++b) {  // byte 0 is never a verse character
        const char ch = static_cast<char>(b);
        table[b] = inSet(PoemLetters, ch) || inSet(PoemMarks, ch);
    }
    return table;
}

inline constexpr std::array<bool, 256> PoemCharTable = makePoemCharTable();

}  // namespace detail

// True when the byte is a letter or vowel mark accepted in a verse.
inline bool IsPoemChar(char ch)
{
    return detail::PoemCharTable[static_cast<unsigned char>(ch)];
}

// The matching form of a text: hamza forms become ا, vowel marks are dropped,
// line breaks are deleted, and runs of spaces shrink to one. When any run of
// spaces had to shrink, the ends are also trimmed of bytes 00..20.
std::string NormalizeText(std::string_view text);
// The same, written into out (its old content replaced): for bulk use without a new string each time.
void NormalizeTextInto(std::string_view text, std::string& out);

}  // namespace barqeen
