#pragma once
// The sixteen meters as the prosody books teach them: their feet, their forms, the changes
// (zihaf) the inner feet allow and the endings (illa) of the last foot of each hemistich.
//
// A pattern is written as the books write it with strokes and circles, one character a letter
// as pronounced: '1' a moving letter (/), '0' a silent one (o). فعولن is "11010".
#include <string_view>
#include <vector>

namespace barqeen::prosody {

enum class Meter : unsigned char {
    Tawil, Madid, Basit, Wafir, Kamil, Hazaj, Rajaz, Ramal,
    Sari, Munsarih, Khafif, Mudari, Muqtadab, Mujtath, Mutaqarib, Mutadarik,
};
inline constexpr int kMeterCount = 16;

// How much of the full circle the verse keeps.
enum class Shape : unsigned char { Full, Shortened, Halved, Cut };  // تام، مجزوء، مشطور، منهوك

// One way a foot may be pronounced: its name as the books write it after the change, its
// pattern, and how far it is from the sound foot (0 sound; the rarer the change, the higher).
struct FootForm {
    std::string_view name;     // UTF-8, e.g. "مفاعلن"
    std::string_view pattern;  // e.g. "110110"
    float cost;
};
using FootChoices = std::vector<FootForm>;

// A meter in one of its shapes. A verse of two hemistichs: the first is `inner` then one of
// `firstEnds` (العروض), the second is `inner` then one of `lastEnds` (الضرب). A halved or cut
// meter has one hemistich only: `inner` then one of `lastEnds`.
struct MeterForm {
    Meter meter;
    Shape shape;
    std::vector<FootChoices> inner;
    FootChoices firstEnds;
    FootChoices lastEnds;
    // The first hemistich may end as the last does (تصريع), as poems open; the rajaz poems rhyme
    // every pair of hemistichs so (المزدوج), where it is no sign of doubt.
    float rhymedOpeningCost = 0.3f;
    bool singleHemistich() const { return shape == Shape::Halved || shape == Shape::Cut; }
};

// Every form of every meter, in the order of the circles.
const std::vector<MeterForm>& meterForms();

// Names as the books give them (UTF-8): "الطويل", "تام".
std::string_view meterName(Meter meter);
std::string_view shapeName(Shape shape);

// The key verse (مفتاح البحر) that names each meter in its own rhythm, UTF-8.
std::string_view meterKeyVerse(Meter meter);

}  // namespace barqeen::prosody
