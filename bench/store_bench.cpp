// The tables of a generated data folder (corpus_files.h): opening the five tables and the memory
// they take, closing with nothing changed, posting one changed verse with its write to the file,
// and walking the verse table with the after-move hook attached. Each beside what it is measured
// against in the same run: SQLite reading the same rows bare, one bare durable SQLite update, the
// walk without a hook.
#include "kept_folder.h"
#include "memory_probe.h"
#include "core/store/poem_store.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

using namespace barqeen;

namespace {

constexpr uint64_t kSeed = 1;
size_t sink = 0;

// ---- opening

void OpenTables(benchmark::State& state)
{
    const std::string dir = corpus::BenchFolder(size_t(state.range(0)));
    for (auto _ : state) {
        auto store = std::make_unique<PoemStore>(dir);
        store->OpenTables();
        sink += size_t(store->cdsPoem.recordCount());
        state.PauseTiming();
        store->CloseTables();
        store.reset();
        state.ResumeTiming();
    }
}

// SQLite stepping through the verse rows and touching each text: the floor under any open.
void ReadRowsBare(benchmark::State& state)
{
    const std::string path = corpus::BenchFolder(size_t(state.range(0))) + "/Poem.cds";
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "SELECT * FROM rows ORDER BY TextID", -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int c = 0; c < 6; ++c)
                sink += size_t(sqlite3_column_bytes(s, c));
        sqlite3_finalize(s);
        sqlite3_close(db);
    }
}

// Peak resident memory of a fresh process that opens the five tables: this program started again
// with --probe-open, so that nothing else this benchmark did is counted.
void OpenTablesPeakMemory(benchmark::State& state)
{
    const std::string dir = corpus::BenchFolder(size_t(state.range(0)));
    for (auto _ : state) {
        bench::MemoryFigures figures;
        if (!bench::RunMemoryProbe({"--probe-open", dir}, figures))
            return state.SkipWithError("the probe did not report");
        state.counters["before_MB"] = double(figures.beforeKb) / 1024;
        state.counters["peak_MB"] = double(figures.peakKb) / 1024;
        state.counters["after_open_MB"] = double(figures.afterKb) / 1024;
    }
}

// The probe: resident kilobytes before opening, at the peak, and after opening.
int probeOpen(const char* dir)
{
    bench::PrintMemoryFigures([&] {
        PoemStore store(dir);
        store.OpenTables();
    });
    return 0;
}

// ---- an open folder shared by the benchmarks that need one

PoemStore& openStore(size_t verses)
{
    static std::map<size_t, std::unique_ptr<PoemStore>> stores;
    auto& store = stores[verses];
    if (!store) {
        store = std::make_unique<PoemStore>(corpus::BenchFolder(verses));
        store->OpenTables();
    }
    return *store;
}

void CloseUnchanged(benchmark::State& state)
{
    const std::string dir = corpus::BenchFolder(size_t(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<PoemStore>(dir);
        store->OpenTables();
        state.ResumeTiming();
        store->CloseTables();
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
}

void PostOneVerse(benchmark::State& state)
{
    Table& poem = openStore(size_t(state.range(0))).cdsPoem;
    poem.setFiltered(false);
    int64_t turn = 0;
    for (auto _ : state) {
        poem.setRecNo(int(1 + (turn * 7919) % poem.recordCount()));
        poem.edit();
        poem.field("Text").setAsString(poem.field("Text").asString() + (turn % 2 ? "" : " "));
        poem.post();
        ++turn;
    }
}

// A post right after another program folded the verse file's log in with a truncating checkpoint
// (as sqlite3's `PRAGMA wal_checkpoint(TRUNCATE)` does, untimed): the file's time moved and SQLite's
// data_version with it, so the post first reads the file alone and compares every row with the
// table's, and makes the log's record anew (a digest of every page). Once per such checkpoint.
void PostAfterAnotherProgramsCheckpoint(benchmark::State& state)
{
    const size_t verses = size_t(state.range(0));
    Table& poem = openStore(verses).cdsPoem;
    poem.setFiltered(false);
    sqlite3* other = nullptr;
    sqlite3_open_v2((corpus::BenchFolder(verses) + "/Poem.cds").c_str(), &other, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(other, 2000);
    int64_t turn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        sqlite3_exec(other, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
        state.ResumeTiming();
        poem.setRecNo(int(1 + (turn * 7919) % poem.recordCount()));
        poem.edit();
        poem.field("Text").setAsString(poem.field("Text").asString() + (turn % 2 ? "" : " "));
        poem.post();
        ++turn;
    }
    sqlite3_close(other);
}

// One UPDATE of the same rows as PostOneVerse, each in its own transaction, synchronous as the
// tables write, on a copy of the verse file in the given journal mode: the floor under any durable
// post, through the write-ahead log the tables use ("wal") and through a rollback journal
// ("delete"), measured in the same run.
void UpdateOneRowBare(benchmark::State& state, const char* journalMode)
{
    const std::string dir = corpus::BenchFolder(size_t(state.range(0))) + "-bare";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(corpus::BenchFolder(size_t(state.range(0))) + "/Poem.cds", dir + "/Poem.cds");
    sqlite3* db = nullptr;
    sqlite3_open_v2((dir + "/Poem.cds").c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, (std::string("PRAGMA journal_mode = ") + journalMode + "; PRAGMA synchronous = FULL").c_str(),
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "UPDATE rows SET Text = Text || ? WHERE TextID = ?", -1, &s, nullptr);
    int64_t turn = 0;
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_reset(s);
        sqlite3_bind_text(s, 1, turn % 2 ? "" : " ", -1, SQLITE_STATIC);
        sqlite3_bind_int64(s, 2, 1 + (turn * 7919) % int64_t(state.range(0)));
        sqlite3_step(s);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        ++turn;
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    std::filesystem::remove_all(dir);
}

// ---- walking the verse table

void WalkVerses(benchmark::State& state, bool withHook)
{
    Table& poem = openStore(size_t(state.range(0))).cdsPoem;
    poem.setFiltered(false);
    if (withHook)  // as the verse window's hook: read the current verse's categories
        poem.setAfterScroll([&poem] { sink += poem.field("Categories").asString().size(); });
    for (auto _ : state)
        for (poem.first(); !poem.eof(); poem.next())
            ++sink;
    poem.setAfterScroll(nullptr);
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--probe-open")
        return probeOpen(argv[2]);
    sizes(benchmark::RegisterBenchmark("OpenTables", OpenTables)->Iterations(3));
    sizes(benchmark::RegisterBenchmark("OpenTables/bare-sqlite-read", ReadRowsBare)->Iterations(3));
    sizes(benchmark::RegisterBenchmark("OpenTables/peak-memory", OpenTablesPeakMemory)->Iterations(1));
    sizes(benchmark::RegisterBenchmark("CloseUnchanged", CloseUnchanged)->Iterations(5));
    sizes(benchmark::RegisterBenchmark("PostOneVerse", PostOneVerse));
    sizes(benchmark::RegisterBenchmark("PostOneVerse/after-another-programs-checkpoint", PostAfterAnotherProgramsCheckpoint)
              ->Iterations(5));
    sizes(benchmark::RegisterBenchmark("PostOneVerse/bare-update-wal", UpdateOneRowBare, "wal"));
    sizes(benchmark::RegisterBenchmark("PostOneVerse/bare-update-rollback-journal", UpdateOneRowBare, "delete"));
    sizes(benchmark::RegisterBenchmark("WalkVerses/with-hook", WalkVerses, true));
    sizes(benchmark::RegisterBenchmark("WalkVerses/no-hook", WalkVerses, false));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    benchmark::DoNotOptimize(sink);
    return 0;
}
