// Test helper: appends player verses to the tables in a folder, one committed row at a time,
// and reports each commit on stdout, so a test can kill it at any moment.
#include "store/poem_store.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    barqeen::PoemStore store(argv[1]);
    store.OpenTables();
    const int count = std::stoi(argv[2]);
    for (int i = 1; i <= count; ++i) {
        store.AddPlayerPoem(i, "verse " + std::to_string(i));
        std::printf("committed %d\n", i);
        std::fflush(stdout);
    }
    std::this_thread::sleep_for(std::chrono::hours(1));
    return 0;
}
