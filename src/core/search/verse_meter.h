#pragma once
// A verse's meter as the search knows it: the meter the scanner names, the two it names for a
// verse that is the same feet under both, or none («غير معروف»). The meters the search offers are
// the scanner's sixteen, in its order, and «غير معروف» after them.
#include <cstdint>
#include <string>
#include <string_view>

namespace barqeen {

// The meters offered: 0 … 15 the scanner's meters (prosody::Meter), kNoMeterNamed «غير معروف».
int MeterChoiceCount();
extern const uint8_t kNoMeterNamed;
std::string MeterChoiceName(int choice);  // UTF-8

struct VerseMeter {
    static constexpr uint8_t kNotScanned = 0xFF;
    uint8_t first = kNotScanned;   // a meter, kNoMeterNamed, or kNotScanned
    uint8_t second = kNotScanned;  // the other meter of a verse read under two; else kNoMeterNamed

    bool known() const { return first != kNotScanned; }
    bool operator==(const VerseMeter&) const = default;
};

// Scans the verse as the program holds it (Windows-1256, hemistichs on two lines).
VerseMeter VerseMeterOf(std::string_view text);

// Whether a verse of this (known) meter is found by a search for the choice: a verse read under
// two meters is found under both, «غير معروف» finds the verses no meter is named for.
bool MeterMatches(int choice, VerseMeter meter);

}  // namespace barqeen
