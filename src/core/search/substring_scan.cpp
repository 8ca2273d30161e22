#include "core/search/substring_scan.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace barqeen {

size_t FindFrom(std::string_view text, std::string_view needle, size_t from)
{
    const size_t n = needle.size();
    if (from > text.size() || n > text.size() - from)
        return std::string_view::npos;
    if (n == 0)
        return from;
    if (n == 1) {
        const void* at = std::memchr(text.data() + from, needle[0], text.size() - from);
        return at ? size_t(static_cast<const char*>(at) - text.data()) : std::string_view::npos;
    }
    const char* hay = text.data();
    const size_t starts = text.size() - n + 1;  // places where the needle could begin
    size_t i = from;
#if defined(__SSE2__)
    // Compare the needle's first and last bytes at sixteen places at once; only places where
    // both agree are compared whole.
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i last = _mm_set1_epi8(needle[n - 1]);
    for (; i + 16 <= starts; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i + n - 1));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        while (mask) {
            const unsigned bit = unsigned(__builtin_ctz(mask));
            if (std::memcmp(hay + i + bit + 1, needle.data() + 1, n - 2) == 0)
                return i + bit;
            mask &= mask - 1;
        }
    }
#endif
    for (; i < starts; ++i)
        if (hay[i] == needle[0] && hay[i + n - 1] == needle[n - 1] && std::memcmp(hay + i + 1, needle.data() + 1, n - 2) == 0)
            return i;
    return std::string_view::npos;
}

}  // namespace barqeen
