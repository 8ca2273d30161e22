#pragma once
// The readings of one written word in its place in the hemistich: each letter becomes a slot
// holding what the letter may be as said (moving, silent, doubled, with tanween), the likelier
// readings cheaper.
#include "core/prosody/prosodic_writing.h"
#include "core/prosody/written_words.h"

#include <initializer_list>
#include <utility>

namespace barqeen::prosody {

// Where a word stands in its hemistich.
struct Place {
    bool opensHemistich = false;   // its first word
    bool endsHemistich = false;    // its last word: the last vowel is lengthened
    bool beforeWasl = false;       // the next word opens with a hamzat al-wasl
    bool runsOn = false;           // the word goes on in the next hemistich (a verse مدوّر):
                                   // its last written letter is inside the word
    bool runsIn = false;           // the word began in the hemistich before
    size_t lettersReadBefore = 0;  // its opening bare alif (and the letter after it) were read
                                   // with the word before it
};

// A slot of the given readings: pattern and cost.
Slot slotOf(std::initializer_list<std::pair<const char*, float>> readings);

// Appends the slots of word `w` standing at `place` to `out`.
void scanWord(const Word& w, const Place& place, std::vector<Slot>& out);

}  // namespace barqeen::prosody
