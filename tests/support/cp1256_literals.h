#pragma once

// Test-only: turns readable UTF-8 Arabic literals into the Windows-1256 bytes
// the program works with. Covers ASCII, the Arabic letters and marks used in
// verses, and the Arabic comma, semicolon and question mark.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace barqeen::test {

inline unsigned char cp1256Byte(char32_t cp)
{
    if (cp < 0x80)
        return static_cast<unsigned char>(cp);
    // U+0621 ء .. U+063A غ
    static constexpr unsigned char Letters[] = {
        0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA,  // ء آ أ ؤ إ ئ ا ب ة ت
        0xCB, 0xCC, 0xCD, 0xCE, 0xCF, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4,  // ث ج ح خ د ذ ر ز س ش
        0xD5, 0xD6, 0xD8, 0xD9, 0xDA, 0xDB,                          // ص ض ط ظ ع غ
    };
    // U+0640 ـ .. U+0652 sukun
    static constexpr unsigned char Later[] = {
        0xDC, 0xDD, 0xDE, 0xDF, 0xE1, 0xE3, 0xE4, 0xE5, 0xE6, 0xEC,  // ـ ف ق ك ل م ن ه و ى
        0xED,                                                        // ي
        0xF0, 0xF1, 0xF2, 0xF3, 0xF5, 0xF6, 0xF8, 0xFA,  // ً ٌ ٍ َ ُ ِ ّ ْ
    };
    if (cp >= 0x0621 && cp <= 0x063A)
        return Letters[cp - 0x0621];
    if (cp >= 0x0640 && cp <= 0x0652)
        return Later[cp - 0x0640];
    switch (cp) {
    case 0x060C: return 0xA1;  // ،
    case 0x061B: return 0xBA;  // ؛
    case 0x061F: return 0xBF;  // ؟
    case 0x067E: return 0x81;  // پ
    case 0x06AF: return 0x90;  // گ
    case 0x06C1: return 0xC0;  // ہ
    }
    throw std::invalid_argument("no Windows-1256 byte for this code point in the test table");
}

// UTF-8 literal -> Windows-1256 bytes.
inline std::string cp1256(std::string_view utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        char32_t cp = 0;
        std::size_t len = 1;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            cp = lead & 0x1F;
            len = 2;
        } else if ((lead & 0xF0) == 0xE0) {
            cp = lead & 0x0F;
            len = 3;
        } else {
            throw std::invalid_argument("unsupported UTF-8 in test literal");
        }
        if (i + len > utf8.size())
            throw std::invalid_argument("truncated UTF-8 in test literal");
        for (std::size_t k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out.push_back(static_cast<char>(cp1256Byte(cp)));
        i += len;
    }
    return out;
}

}  // namespace barqeen::test
