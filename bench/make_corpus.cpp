// Writes a data folder of made-up tables, for benchmarks and for trying the program on a large
// collection:  make_corpus DIR [VERSES=1000000] [SEED=1]
#include "corpus_files.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [VERSES=1000000] [SEED=1]\n", argv[0]);
        return 2;
    }
    barqeen::corpus::FolderSize size;
    if (argc > 2)
        size.verses = std::stoul(argv[2]);
    const uint64_t seed = argc > 3 ? std::stoull(argv[3]) : 1;
    const auto start = std::chrono::steady_clock::now();
    try {
        barqeen::corpus::WriteFolder(argv[1], seed, size);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("wrote %zu verses into %s in %.1f s\n", size.verses, argv[1], seconds);
    return 0;
}
