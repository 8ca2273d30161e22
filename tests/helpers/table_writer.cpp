// Test helper, killed in the middle by the tests:
//   table_writer DIR COUNT          appends player verses one committed row at a time, reporting each
//   table_writer DIR COUNT close    the same, waiting for the logs to be folded in halfway and at
//                                   the end, then closes the tables
//   table_writer DIR import FILE    imports a verse file into the tables, then says "imported N"
#include "core/exchange/verse_import.h"
#include "core/store/poem_store.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    barqeen::PoemStore store(argv[1]);
    store.OpenTables();
    if (argc == 4 && std::strcmp(argv[2], "import") == 0) {
        barqeen::exchange::ImportOptions options;
        options.writeReport = false;
        barqeen::exchange::VerseImport import(store, argv[3], options);
        const auto& result = import.run();
        std::printf("imported %zu\n%s\n", result.taken, result.error.c_str());
        store.CloseTables();
        return result.outcome == barqeen::exchange::ImportResult::Outcome::Done ? 0 : 1;
    }
    const int count = std::stoi(argv[2]);
    for (int i = 1; i <= count; ++i) {
        store.AddPlayerPoem(i, "verse " + std::to_string(i));
        std::printf("committed %d\n", i);
        std::fflush(stdout);
        if (argc == 4 && i == count / 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
    }
    if (argc == 4 && std::strcmp(argv[3], "close") == 0) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        store.CloseTables();
        return 0;
    }
    std::this_thread::sleep_for(std::chrono::hours(1));
    return 0;
}
