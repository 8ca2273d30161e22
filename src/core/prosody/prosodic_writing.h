#pragma once
// The prosodic writing (الكتابة العروضية): what is pronounced is written, what is not is dropped.
// A hemistich becomes a row of slots, one for each written letter (or one for a whole word whose
// spelling is known), each holding the readings the letter allows as moving ('1') and silent
// ('0') letters, with a cost for the less likely ones. A fully vowelled letter has one reading;
// a bare letter may have several (moving or silent, doubled, carrying tanween).
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace barqeen::prosody {

// One reading: up to 16 pronounced letters, the first in the lowest bit.
struct Reading {
    std::uint16_t bits = 0;  // bit i set: letter i is moving
    std::uint8_t length = 0;
    float cost = 0;
};
using Slot = std::vector<Reading>;

// "1101" -> a reading of four letters.
Reading readingOf(const char* pattern, float cost = 0);
std::string patternOf(const Reading& reading);

// The slots of one hemistich (Unicode text, vowel marks optional). Each hemistich is said on its
// own: a hamzat al-wasl that opens it is pronounced, its last vowel is drawn out.
std::vector<Slot> prosodicWriting(const QString& hemistich);
// The same, telling for each slot the written word it belongs to (index in `wordTexts`, the
// words' letters as written).
std::vector<Slot> prosodicWriting(const QString& hemistich, std::vector<int>* wordOfSlot, std::vector<QString>* wordTexts);

// The hemistichs as they are read together: a word cut across them divided as prosody divides it.
std::vector<QString> readTogether(const std::vector<QString>& hemistichs);

// The slots of each hemistich of a verse, read together where they meet: a word cut across
// them (a verse مدوّر, the cut marked with a tatweel) is divided as prosody divides it.
std::vector<std::vector<Slot>> prosodicWriting(const std::vector<QString>& hemistichs);

// The most likely reading of a hemistich as a pattern, e.g. "11010110101". For tests and for
// showing a word's syllables.
std::string likeliestPattern(const QString& hemistich);

}  // namespace barqeen::prosody
