#pragma once
// The Persian and Urdu letters that an Arabic keyboard layout or a Persian site produces stand
// for the Arabic letters the tables hold: ی ے as ي, ک as ك, ھ ہ as ه, ۀ ۃ as ة. Typed text and
// imported files are folded alike, so a verse never depends on the keyboard it came from.

namespace barqeen {

// The Arabic letter a look-alike stands for; zero for any other character.
constexpr char16_t arabicLetterFor(char32_t c)
{
    switch (c) {
    case 0x06CC:  // ی Farsi yeh
    case 0x06D2:  // ے yeh barree
        return u'\u064A';
    case 0x06A9:  // ک keheh
        return u'\u0643';
    case 0x06BE:  // ھ heh doachashmee
    case 0x06C1:  // ہ heh goal
        return u'\u0647';
    case 0x06C0:  // ۀ heh with yeh above
    case 0x06C3:  // ۃ teh marbuta goal
        return u'\u0629';
    default:
        return 0;
    }
}

}  // namespace barqeen
