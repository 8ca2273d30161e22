#pragma once
// The words of the poems with their vowelling, found through the letters a written word carries
// around its stem: the prefixes (و ف ب ك ل س), the article, the attached pronouns, the feminine
// ending, the dual and the plural. A prosodist reading bare text knows these words; so does the
// scanner, through this lexicon.
#include "core/prosody/written_words.h"

#include <vector>

namespace barqeen::prosody {

struct LexiconReadings {
    std::vector<Word> words;  // the likeliest first
    bool whole = false;       // every reading is a word the lexicon writes, with at most a
                              // prefix and the article: none read through a suffix, nor a form
                              // made by rule
};

// The word as said, with every letter of the lexicon's vowelling and the written word's own marks
// kept; no words when the word is not known or its marks contradict every reading. A word known
// whole is never split; a prefix is taken only before a stem of three letters or more (بحر is
// not بِ + حُرّ).
// The words may differ from `written` only where a prefix meets the article: the article's alif,
// not said there, is left out (وبالحب becomes وَبِلْحُبّ).
LexiconReadings lexiconReadings(const Word& written);

}  // namespace barqeen::prosody
