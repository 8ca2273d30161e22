// Importing and exporting a million verses: files written from a generated data folder
// (corpus_files.h) by the export itself, then imported into an empty folder; the time of each and
// the peak memory of an import in a process of its own. Beside them, the JSON Lines file read by
// simdjson and by the hand-written reader it replaced, and the time an import's preview takes to
// have its first verses.
//   exchange_bench [--benchmark_...]        the benchmarks
//   exchange_bench --probe-import FILE DIR  (used by the memory benchmark)
#include "kept_folder.h"
#include "memory_probe.h"
#include "core/exchange/verse_export.h"
#include "core/exchange/formats.h"
#include "core/exchange/record_reader.h"
#include "core/exchange/verse_import.h"
#include "core/store/poem_store.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

using namespace barqeen;
using namespace barqeen::exchange;
namespace fs = std::filesystem;

namespace barqeen::bench {
std::unique_ptr<exchange::RecordReader> makeHandWrittenJsonLinesReader(std::string_view utf8);
}

namespace {

constexpr uint64_t kSeed = 1;
constexpr int64_t kVerses = 1000000;

fs::path benchDir()
{
    return fs::temp_directory_path() / "barqeen-exchange-bench";
}

// The generated data folder the files are written from, made on first use and kept.
std::string sourceFolder(size_t verses, uint64_t seed = kSeed)
{
    const std::string name = "folder-" + std::to_string(verses) + (seed == kSeed ? "" : "-seed" + std::to_string(seed));
    return corpus::KeptFolder((benchDir() / name).string(), verses, seed);
}

PoemStore& sourceStore(size_t verses, uint64_t seed = kSeed)
{
    static std::map<std::pair<size_t, uint64_t>, std::unique_ptr<PoemStore>> stores;
    auto& store = stores[{verses, seed}];
    if (!store) {
        store = std::make_unique<PoemStore>(sourceFolder(verses, seed));
        store->OpenTables();
    }
    return *store;
}

// The folder's whole verse table written as a file of this kind (by the export), kept.
std::string sourceFile(size_t verses, const char* extension, uint64_t seed = kSeed)
{
    const std::string stem = "verses-" + std::to_string(verses) + (seed == kSeed ? "" : "-seed" + std::to_string(seed));
    const fs::path file = benchDir() / (stem + "." + extension);
    const fs::path done = file.string() + ".complete-v1";
    if (!fs::exists(done)) {
        PoemStore& store = sourceStore(verses, seed);
        VerseExport out(store, allVerses(store.cdsPoem), file.string());
        if (out.run().outcome != ExportResult::Outcome::Done)
            throw std::runtime_error(out.result().error);
        std::ofstream(done) << "seed " << seed << "\n";
    }
    return file.string();
}

// ---- export

void Export(benchmark::State& state, const char* extension)
{
    PoemStore& store = sourceStore(size_t(state.range(0)));
    const std::string file = (benchDir() / (std::string("export-out.") + extension)).string();
    for (auto _ : state) {
        VerseExport out(store, allVerses(store.cdsPoem), file);
        if (out.run().outcome != ExportResult::Outcome::Done)
            return state.SkipWithError(out.result().error.c_str());
        state.counters["verses"] = double(out.result().written);
    }
    state.counters["file_MB"] = double(fs::file_size(file)) / (1 << 20);
    fs::remove(file);
}

// ---- import into an empty folder

void Import(benchmark::State& state, const char* extension)
{
    const std::string file = sourceFile(size_t(state.range(0)), extension);
    const fs::path dir = benchDir() / "import-into";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(dir);
        fs::create_directories(dir);
        auto store = std::make_unique<PoemStore>(dir.string());
        store->OpenTables();
        state.ResumeTiming();
        VerseImport import(*store, file);
        if (import.run().outcome != ImportResult::Outcome::Done)
            return state.SkipWithError(import.result().error.c_str());
        state.PauseTiming();
        state.counters["taken"] = double(import.result().taken);
        state.counters["refused"] = double(import.result().refused.size());
        store->CloseTables();
        store.reset();
        state.ResumeTiming();
    }
    fs::remove_all(dir);
}

// ---- the JSON Lines file read record by record, by each reader, in the same run

void ReadJsonLines(benchmark::State& state, bool simdjson)
{
    const std::string file = sourceFile(size_t(state.range(0)), "jsonl");
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (auto _ : state) {
        auto reader = simdjson ? makeReader(Format::JsonLines, text) : bench::makeHandWrittenJsonLinesReader(text);
        SourceRecord record;
        size_t records = 0, malformed = 0;
        while (reader->next(record)) {
            ++records;
            malformed += !record.malformed.empty();
        }
        state.counters["records"] = double(records);
        state.counters["malformed"] = double(malformed);
    }
}

// ---- the preview: a dry run of the import stepped in the window's slices until it has the
// first verses the window shows

size_t previewFirstVerses(PoemStore& store, const std::string& file)
{
    ImportOptions options;
    options.dryRun = true;
    options.writeReport = false;
    VerseImport check(store, file, options);
    while (check.result().firstVerses.size() < 20 && check.step(std::chrono::milliseconds(30))) {
    }
    return check.result().firstVerses.size();
}

void PreviewFirstVerses(benchmark::State& state, const char* extension)
{
    const std::string file = sourceFile(size_t(state.range(0)), extension);
    const fs::path dir = benchDir() / "preview-into";
    fs::remove_all(dir);
    fs::create_directories(dir);
    PoemStore store(dir.string());
    store.OpenTables();
    for (auto _ : state)
        state.counters["shown"] = double(previewFirstVerses(store, file));
    store.CloseTables();
    fs::remove_all(dir);
}

// The same beside a table that already holds a million verses (other verses than the file's):
// their forms are indexed for the duplicate check before the first verse can be shown.
void PreviewBesideAMillion(benchmark::State& state, const char* extension)
{
    const std::string file = sourceFile(size_t(state.range(0)), extension, kSeed + 1);
    PoemStore& store = sourceStore(kVerses);
    for (auto _ : state)
        state.counters["shown"] = double(previewFirstVerses(store, file));
}

// Peak resident memory of a process that opens an empty folder and imports the file: this
// program started again with --probe-import, so that nothing else measured here is counted.
void ImportPeakMemory(benchmark::State& state, const char* extension)
{
    const std::string file = sourceFile(size_t(state.range(0)), extension);
    const fs::path dir = benchDir() / "import-probe";
    for (auto _ : state) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        bench::MemoryFigures figures;
        if (!bench::RunMemoryProbe({"--probe-import", file, dir.string()}, figures))
            return state.SkipWithError("the probe did not report");
        state.counters["before_MB"] = double(figures.beforeKb) / 1024;
        state.counters["peak_MB"] = double(figures.peakKb) / 1024;
        state.counters["after_MB"] = double(figures.afterKb) / 1024;
    }
    fs::remove_all(dir);
}

int probeImport(const char* file, const char* dir)
{
    bool done = false;
    bench::PrintMemoryFigures([&] {
        PoemStore store(dir);
        store.OpenTables();
        VerseImport import(store, file);
        done = import.run().outcome == ImportResult::Outcome::Done;
    });
    return done ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--probe-import") == 0)
        return probeImport(argv[2], argv[3]);
    fs::create_directories(benchDir());
    for (const char* kind : {"csv", "tsv", "jsonl"})
        benchmark::RegisterBenchmark((std::string("Export/") + kind).c_str(), Export, kind)
            ->Arg(kVerses)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
    // CSV and JSON Lines carry their letters; plain text has them derived from each verse.
    for (const char* kind : {"csv", "jsonl", "txt"})
        benchmark::RegisterBenchmark((std::string("Import/") + kind).c_str(), Import, kind)
            ->Arg(kVerses)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
    for (const char* kind : {"csv", "jsonl", "txt"})
        benchmark::RegisterBenchmark((std::string("Import/peak-memory/") + kind).c_str(), ImportPeakMemory, kind)
            ->Arg(kVerses)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
    benchmark::RegisterBenchmark("ReadJsonLines/simdjson", ReadJsonLines, true)
        ->Arg(kVerses)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
    benchmark::RegisterBenchmark("ReadJsonLines/hand-written", ReadJsonLines, false)
        ->Arg(kVerses)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
    for (const char* kind : {"txt", "csv", "jsonl"})
        benchmark::RegisterBenchmark((std::string("Preview/first-verses/") + kind).c_str(), PreviewFirstVerses, kind)
            ->Arg(kVerses)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
    for (const char* kind : {"txt", "csv", "jsonl"})
        benchmark::RegisterBenchmark((std::string("Preview/beside-a-million/") + kind).c_str(), PreviewBesideAMillion, kind)
            ->Arg(kVerses)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
