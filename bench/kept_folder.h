#pragma once
// Generated data folders the benchmarks share: each written once, on first use, and kept in the
// temporary folder between runs (a million verses take a few seconds to write).
#include <string>

namespace barqeen::corpus {

// The folder `dir` holding `verses` made-up verses from `seed`; written only when a finished one
// is not there yet.
std::string KeptFolder(const std::string& dir, size_t verses, uint64_t seed = 1);

// The folder most benchmarks read: temp/barqeen-bench-VERSES, seed 1.
std::string BenchFolder(size_t verses);

}  // namespace barqeen::corpus
