// The search by meter on a large verse table: working out the meters of all verses on two threads
// (as the program does after the tables open), opening with the meters kept in Poem.meters (read,
// every verse's text hashed and checked), and a search by meter once the meters are known, alone
// and with the other criteria, beside the step-by-step test that scans each verse.
//
// The made-up verses of corpus.h scan to no meter for the most part (prosody_bench): a search for
// «غير معروف» lets nearly every verse through, one for a meter almost none. Both are timed.
#include "temp_folder.h"
#include "corpus.h"
#include "core/search/record_test.h"
#include "core/search/verse_meters.h"
#include "core/search/verse_search.h"
#include "core/store/layouts.h"
#include "core/store/poem_store.h"
#include "core/text/codepage.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>

using namespace barqeen;

namespace {

constexpr uint64_t kTableSeed = 1;

struct Bench {
    TempFolder folder;
    std::unique_ptr<PoemStore> store;
    std::unique_ptr<VerseSearch> search;
    std::unique_ptr<VerseMeters> meters;
    bool stepByStep = false;
    SearchCriteria criteria;

    Table& poem() const { return store->cdsPoem; }
    std::unique_ptr<VerseMeters> newMeters()
    {
        return std::make_unique<VerseMeters>(poem(), store->pathOf(layouts::kPoem), store->metersPath());
    }
    // The meters of a table of this size, kept between runs: the same seed gives the same verses.
    std::string keptBetweenRuns() const
    {
        return (std::filesystem::temp_directory_path() /
                ("barqeen-meter-bench-" + std::to_string(poem().rowCount()) + ".meters"))
            .string();
    }
    void keepForNextRun() const
    {
        std::filesystem::copy_file(store->metersPath(), keptBetweenRuns(),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    void knowAllMeters()
    {
        if (meters && meters->complete())
            return;
        std::error_code ec;
        std::filesystem::copy_file(keptBetweenRuns(), store->metersPath(),
                                   std::filesystem::copy_options::overwrite_existing, ec);
        meters = newMeters();
        meters->open();
        if (!meters->complete()) {
            meters->scanAll(2);
            meters->save();
            keepForNextRun();
        }
        search->setMeters(meters.get());
    }
    int press(const SearchCriteria& c)
    {
        criteria = c;
        search->setCriteria(c);
        poem().setFiltered(false);
        poem().setFilterText("");
        poem().setFiltered(true);
        return poem().recordCount();
    }
};

Bench& bench(size_t verses)
{
    static std::map<size_t, std::unique_ptr<Bench>> made;
    auto& b = made[verses];
    if (!b) {
        b = std::make_unique<Bench>();
        b->store = std::make_unique<PoemStore>(b->folder.path());
        b->store->OpenTables();
        corpus::LoadVerses(*b->store, corpus::MakeVerses(kTableSeed, verses));
        b->search = std::make_unique<VerseSearch>(b->poem());
        Bench* raw = b.get();
        b->poem().setFilterCallback([raw](const RowRef& row) {
            return raw->stepByStep ? AcceptsRecord(raw->criteria, row) : raw->search->accepts(row);
        });
        b->search->makeForms();
    }
    return *b;
}

// The meters of every verse from nothing, on two threads.
void AllMeters(benchmark::State& state)
{
    Bench& b = bench(size_t(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(b.store->metersPath());
        b.meters = b.newMeters();
        state.ResumeTiming();
        b.meters->open();
        b.meters->scanAll(2);
        state.PauseTiming();
        b.meters->save();
        b.keepForNextRun();
        b.search->setMeters(b.meters.get());
        state.ResumeTiming();
    }
    state.counters["verses/s"] = benchmark::Counter(double(state.range(0)) * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}

// A start with the kept file: read, every verse's text hashed and matched; nothing left to scan.
void OpenWithKeptFile(benchmark::State& state)
{
    Bench& b = bench(size_t(state.range(0)));
    b.knowAllMeters();
    for (auto _ : state) {
        auto meters = b.newMeters();
        meters->open();
        if (!meters->complete())
            state.SkipWithError("the kept file did not answer for every verse");
    }
}

std::vector<SearchCriteria> meterSearches(bool withWord, bool withAuthor)
{
    std::vector<SearchCriteria> out;
    // «غير معروف» (nearly every made-up verse) and meters that name few of them, in turn.
    for (const int choice : {int(kNoMeterNamed), 0, int(kNoMeterNamed), 2, int(kNoMeterNamed), 4, 6, 14}) {
        SearchCriteria c;
        c.advanced = c.byMeter = true;
        c.meter = choice;
        if (withWord)
            c.words = *codepage::fromUtf8("من");
        if (withAuthor) {
            c.byAuthor = true;
            c.author = 1 + (choice * 373) % 3000;
        }
        out.push_back(c);
    }
    return out;
}

void MeterSearch(benchmark::State& state, bool withWord, bool withAuthor, bool stepByStep)
{
    Bench& b = bench(size_t(state.range(0)));
    if (!stepByStep)
        b.knowAllMeters();
    b.stepByStep = stepByStep;
    const std::vector<SearchCriteria> searches = meterSearches(withWord, withAuthor);
    size_t i = 0;
    int64_t found = 0;
    for (auto _ : state)
        found += b.press(searches[i++ % searches.size()]);
    b.stepByStep = false;
    state.counters["found"] = double(found) / double(state.iterations());
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    for (const int64_t verses : {int64_t(100000), int64_t(1000000)}) {
        benchmark::RegisterBenchmark("Meters/all/2-threads", AllMeters)
            ->Arg(verses)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
        benchmark::RegisterBenchmark("Meters/open-with-kept-file", OpenWithKeptFile)
            ->Arg(verses)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
        benchmark::RegisterBenchmark("Search/meter/fast", MeterSearch, false, false, false)
            ->Arg(verses)->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark("Search/meter+one-word/fast", MeterSearch, true, false, false)
            ->Arg(verses)->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark("Search/meter+author/fast", MeterSearch, false, true, false)
            ->Arg(verses)->Unit(benchmark::kMillisecond)->UseRealTime();
    }
    // The yardstick scans every verse at every search: on a smaller table.
    benchmark::RegisterBenchmark("Search/meter/reference", MeterSearch, false, false, true)
        ->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);
    benchmark::RegisterBenchmark("Search/meter/fast", MeterSearch, false, false, false)
        ->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
