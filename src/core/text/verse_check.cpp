#include "core/text/verse_check.h"

#include "core/text/letters.h"

#include <cstddef>

namespace barqeen {
namespace {

// A verse shorter than this (after shrinking spaces) is rejected.
constexpr std::size_t MinVerseLength = 26;

constexpr char Hamza = '\xC1';          // ء
constexpr char YehHamza = '\xC6';       // ئ
constexpr char TehMarbuta = '\xC9';     // ة
constexpr char Ghain = '\xDB';          // غ
constexpr char AlefMaksura = '\xEC';    // ى

// Shrinks every run of spaces to a single space; the ends are left alone.
void shrinkSpaces(std::string& text)
{
    std::size_t out = 0;
    for (std::size_t in = 0; in < text.size(); ++in) {
        if (text[in] == ' ' && out > 0 && text[out - 1] == ' ')
            continue;
        text[out++] = text[in];
    }
    text.resize(out);
}

bool isLayout(char ch)
{
    return ch == '\n' || ch == '\r' || ch == ' ';
}

// ة and ى only end a word.
bool endsWordOnly(char ch)
{
    return ch == TehMarbuta || ch == AlefMaksura;
}

// Letters that never begin a word (a space before them marks a word start).
bool neverStartsWord(char ch)
{
    return ch == Hamza || ch == YehHamza || ch == TehMarbuta || ch == AlefMaksura;
}

// Letters that never appear twice in a row.
bool neverDoubled(char ch)
{
    return ch == Hamza || ch == YehHamza || ch == TehMarbuta || ch == Ghain ||
           ch == AlefMaksura;
}

}  // namespace

VerseFault CheckVerseRules(std::string text)
{
    shrinkSpaces(text);
    const std::size_t n = text.size();
    if (n < MinVerseLength)
        return VerseFault::TooShort;

    for (std::size_t i = 0; i < n; ++i) {
        const char ch = text[i];
        const bool hasNext = i + 1 < n;

        if (!IsPoemChar(ch) && !isLayout(ch))
            return VerseFault::NotArabic;

        // Three equal characters; a run ending on the last character is let through.
        if (i + 3 < n && text[i + 1] == ch && text[i + 2] == ch)
            return VerseFault::NotPoetry;

        if (endsWordOnly(ch) && hasNext && IsPoemChar(text[i + 1]))
            return VerseFault::NotPoetry;

        if (neverStartsWord(ch) && (i == 0 || text[i - 1] == ' '))
            return VerseFault::NotPoetry;

        if (neverDoubled(ch) && hasNext && text[i + 1] == ch)
            return VerseFault::NotPoetry;
    }
    return VerseFault::None;
}

std::optional<char> FirstNotArabic(std::string_view text)
{
    for (char ch : text)
        if (!IsPoemChar(ch) && !isLayout(ch))
            return ch;
    return std::nullopt;
}

std::string_view VerseFaultMessage(VerseFault fault)
{
    switch (fault) {
    case VerseFault::None:
        return {};
    case VerseFault::TooShort:
        // طول البيت قصير
        return "\xD8\xE6\xE1 \xC7\xE1\xC8\xED\xCA \xDE\xD5\xED\xD1";
    case VerseFault::NotArabic:
        // توجد رموز أو حروف غير عربية في البيت
        return "\xCA\xE6\xCC\xCF \xD1\xE3\xE6\xD2 \xC3\xE6 \xCD\xD1\xE6\xDD \xDB\xED\xD1 "
               "\xDA\xD1\xC8\xED\xC9 \xDD\xED \xC7\xE1\xC8\xED\xCA";
    case VerseFault::NotPoetry:
        // هذا ليس شعر
        return "\xE5\xD0\xC7 \xE1\xED\xD3 \xD4\xDA\xD1";
    }
    return {};
}

}  // namespace barqeen
