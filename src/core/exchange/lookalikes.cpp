#include "core/exchange/lookalikes.h"

#include <cstring>

namespace barqeen::exchange {
namespace {

enum class Kind { Keep, Letter, Invisible, Space };

struct Fold {
    Kind kind = Kind::Keep;
    std::string_view replacement;
};

// The Arabic letters, as UTF-8.
constexpr std::string_view kYeh = "\xD9\x8A", kKaf = "\xD9\x83", kHeh = "\xD9\x87", kTehMarbuta = "\xD8\xA9";

Fold foldOf(char32_t c)
{
    switch (c) {
    case 0x06CC:  // ی Farsi yeh
    case 0x06D2:  // ے yeh barree
        return {Kind::Letter, kYeh};
    case 0x06A9:  // ک keheh
        return {Kind::Letter, kKaf};
    case 0x06BE:  // ھ heh doachashmee
    case 0x06C1:  // ہ heh goal
        return {Kind::Letter, kHeh};
    case 0x06C0:  // ۀ heh with yeh above
    case 0x06C3:  // ۃ teh marbuta goal
        return {Kind::Letter, kTehMarbuta};
    case 0x061C:  // Arabic letter mark
    case 0x200B:
    case 0x200C:
    case 0x200D:
    case 0x200E:
    case 0x200F:
    case 0x2060:
    case 0xFEFF:
        return {Kind::Invisible, {}};
    case 0x00A0:
    case 0x1680:
    case 0x202F:
    case 0x205F:
    case 0x3000:
        return {Kind::Space, " "};
    default:
        break;
    }
    if ((c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069))
        return {Kind::Invisible, {}};
    if (c >= 0x2000 && c <= 0x200A)
        return {Kind::Space, " "};
    return {};
}

// Only these lead bytes can start a character folded here.
bool mayFold(unsigned char c)
{
    return c == 0xC2 || c == 0xD8 || c == 0xDA || c == 0xDB || c == 0xE1 || c == 0xE2 || c == 0xE3 || c == 0xEF;
}

}  // namespace

void foldLookalikes(std::string_view utf8, std::string& out, FoldCounts& counts)
{
    out.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    const auto* copied = p;
    while (p < end) {
        const unsigned char c = *p;
        if (!mayFold(c)) {
            ++p;
            continue;
        }
        const int length = c < 0xE0 ? 2 : 3;
        if (end - p < length || (p[1] & 0xC0) != 0x80 || (length == 3 && (p[2] & 0xC0) != 0x80)) {
            ++p;
            continue;
        }
        const char32_t code = length == 2 ? char32_t(c & 0x1F) << 6 | (p[1] & 0x3F)
                                          : char32_t(c & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
        const Fold fold = foldOf(code);
        if (fold.kind == Kind::Keep) {
            p += length;
            continue;
        }
        out.append(reinterpret_cast<const char*>(copied), size_t(p - copied));
        out.append(fold.replacement);
        (fold.kind == Kind::Letter ? counts.letters : fold.kind == Kind::Invisible ? counts.invisible : counts.spaces)++;
        p += length;
        copied = p;
    }
    out.append(reinterpret_cast<const char*>(copied), size_t(end - copied));
}

}  // namespace barqeen::exchange
