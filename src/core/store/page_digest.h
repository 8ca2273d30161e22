#pragma once
// A digest of a table file's page, as the log's record keeps it and as a log's frames are compared
// with it. Not made to withstand anyone: it tells a page that changed from one that did not.
#include <compare>
#include <cstdint>
#include <cstring>

namespace barqeen {

inline uint64_t pageDigest(const unsigned char* page, size_t size)
{
    uint64_t h = 0x243f6a8885a308d3ull ^ size;
    for (size_t i = 0; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, page + i, 8);
        h = (h ^ word) * 0x9e3779b97f4a7c15ull;
        h ^= h >> 32;
    }
    return h;
}

// A page as one of a log's frames holds it.
struct LoggedPage {
    uint32_t page = 0;
    uint64_t digest = 0;
    auto operator<=>(const LoggedPage&) const = default;
};

}  // namespace barqeen
