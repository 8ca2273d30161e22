#pragma once
// Words whose writing and pronunciation part (هذا is said هاذا, عمرو ends silent, the alif of
// مائة is not said), and the common small words, spelled in full so a bare text still scans.
#include <QString>

#include <vector>

namespace barqeen::prosody {

struct Spelling {
    QString text;  // fully or mostly vowelled
    float cost;
};

// The spellings of a word given without marks (a hamza form of alif that opens it folded to ا),
// or none.
// `always` is set for the words whose written letters mislead even when vowelled.
const std::vector<Spelling>* knownSpellings(const QString& bareWord, bool& always);

}  // namespace barqeen::prosody
