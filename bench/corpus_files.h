#pragma once
// A whole data folder of made-up tables: the five table files written through the table layer,
// with the verses of corpus.h, a few thousand authors, a few dozen categories and about a
// hundred recorded games with their player verses.
#include <cstdint>
#include <string>

namespace barqeen::corpus {

struct FolderSize {
    size_t verses = 1000000;
    size_t authors = 3000;  // the verses' AuthorIDs run 1..3000
    size_t games = 100;
};

// Writes Poem.cds, Authors.cds, Categories.cds, History.cds and PlayerPoem.cds into dir,
// replacing any that are there. The same seed and sizes give the same files' rows.
void WriteFolder(const std::string& dir, uint64_t seed, const FolderSize& size = {});

}  // namespace barqeen::corpus
