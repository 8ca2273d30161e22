#pragma once
// Made-up verses for measuring and for large test tables: words built from three-letter roots
// and the usual word patterns, two hemistichs a verse, some hamza forms, vowel marks on some
// verses, now and then a line break between the hemistichs. The same seed and count always give
// the same verses, on any machine (the generator carries its own random source).
#include "core/store/table.h"

#include <cstdint>
#include <string>
#include <vector>

namespace barqeen {
class PoemStore;
}

namespace barqeen::corpus {

// One verse as the verse table holds it (Windows-1256 text); its TextID is its position + 1.
struct Verse {
    std::string text;
    int32_t authorId = 0;     // 1..3000
    char startLetter = 0;     // first letter of the matching form, alif forms as أ
    char endLetter = 0;       // GetEndLetter of the text, or a playable letter drawn at random
    std::string categories;   // "" or up to three tags such as "(3)(12)"
};

// count verses for this seed.
std::vector<Verse> MakeVerses(uint64_t seed, size_t count);

// The verses as verse-table rows in key order (TextID 1, 2, ...), cells by stored column:
// TextID, Text, AuthorID, StartLetter, EndLetter, Categories (empty categories are null).
std::vector<Row> VerseRows(const std::vector<Verse>& verses);

// Replaces the rows of the store's verse table with these verses, in memory only: the table is
// detached from its file first, so nothing is written. The table is left open, unfiltered, on
// its first row.
void LoadVerses(PoemStore& store, const std::vector<Verse>& verses);

}  // namespace barqeen::corpus
