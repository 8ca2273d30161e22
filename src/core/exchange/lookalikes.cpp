#include "core/exchange/lookalikes.h"

#include "core/text/lookalike_letters.h"

#include <cstring>

namespace barqeen::exchange {
namespace {

enum class Kind { Keep, Letter, Invisible, Space };

struct Fold {
    Kind kind = Kind::Keep;
    std::string_view replacement;
};

Fold foldOf(char32_t c)
{
    // The Arabic letters, as UTF-8.
    static const std::string_view letters[] = {"\xD9\x8A", "\xD9\x83", "\xD9\x87", "\xD8\xA9"};  // ي ك ه ة
    switch (arabicLetterFor(c)) {
    case u'\u064A': return {Kind::Letter, letters[0]};
    case u'\u0643': return {Kind::Letter, letters[1]};
    case u'\u0647': return {Kind::Letter, letters[2]};
    case u'\u0629': return {Kind::Letter, letters[3]};
    default: break;
    }
    switch (c) {
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
