#include "core/text/letters.h"

namespace barqeen {
namespace {

enum Action : unsigned char { Keep, Drop, ToAlef, Space };

// What the matching form does with each byte; built from the set strings.
constexpr std::array<Action, 256> makeActionTable()
{
    std::array<Action, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const char ch = static_cast<char>(b);
        if (inSet(HamzaForms, ch))
            table[b] = ToAlef;
        else if (inSet(VowelMarks, ch) || ch == '\n' || ch == '\r')
            table[b] = Drop;
        else if (ch == ' ')
            table[b] = Space;
        else
            table[b] = Keep;
    }
    return table;
}

constexpr std::array<Action, 256> ActionTable = makeActionTable();

bool isTrimmed(char ch)
{
    return static_cast<unsigned char>(ch) <= 0x20;
}

}  // namespace

// One pass. A space is only written when the previous written byte is not a
// space; since dropped bytes write nothing, this also merges spaces that only
// became neighbours once a mark or line break between them vanished. Repeated
// halving of space runs ends with single spaces, so this gives the same text.
// Trimming applies only when some run actually had to shrink.
void NormalizeTextInto(std::string_view text, std::string& out)
{
    out.resize(text.size());
    char* const first = out.data();
    char* p = first;
    bool merged = false;
    for (const char ch : text) {
        switch (ActionTable[static_cast<unsigned char>(ch)]) {
        case Keep:
            *p++ = ch;
            break;
        case Drop:
            break;
        case ToAlef:
            *p++ = Alef;
            break;
        case Space:
            if (p != first && p[-1] == ' ')
                merged = true;
            else
                *p++ = ' ';
            break;
        }
    }
    out.resize(size_t(p - first));
    if (!merged)
        return;

    // Once trimmed, the ends are bytes above 20, so no later pass changes them.
    std::size_t end = out.size();
    while (end > 0 && isTrimmed(out[end - 1]))
        --end;
    std::size_t begin = 0;
    while (begin < end && isTrimmed(out[begin]))
        ++begin;
    out.resize(end);
    out.erase(0, begin);
}

std::string NormalizeText(std::string_view text)
{
    std::string out;
    NormalizeTextInto(text, out);
    return out;
}

}  // namespace barqeen
