// The search on a large verse table, from the search button to the count: the fast search
// (VerseSearch, as the main window's record filter uses it) beside the step-by-step test of every
// verse (AcceptsRecord) and beside SQLite counting the same texts with LIKE '%…%'. Also the first
// search after opening (the matching forms still to be made) and reading a page of results.
//
// Each timed search changes the criteria (it cycles through several searches of its kind), so
// every one is worked out afresh, as after typing a new word.
#include "temp_folder.h"
#include "corpus.h"
#include "core/search/record_test.h"
#include "core/search/split_words.h"
#include "core/search/verse_search.h"
#include "core/store/poem_store.h"
#include "core/text/codepage.h"
#include "core/text/letters.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace barqeen;

namespace {

constexpr uint64_t kTableSeed = 1;
constexpr int kSearchesOfAKind = 8;


struct Sqlite {
    sqlite3* db = nullptr;
    ~Sqlite() { sqlite3_close(db); }
    void exec(const char* sql)
    {
        char* error = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string text = error ? error : "?";
            sqlite3_free(error);
            throw std::runtime_error(text);
        }
    }
};

enum Kind { OneWord, TwoWords, AuthorAndFirstLetter };

struct Bench {
    TempFolder folder;
    std::unique_ptr<PoemStore> store;
    std::unique_ptr<VerseSearch> search;
    bool searchActive = false;
    enum class Hook { Fast, StepByStep } hook = Hook::Fast;
    SearchCriteria stepCriteria;
    std::map<Kind, std::vector<SearchCriteria>> searches;
    Sqlite sql;  // the same verses, UTF-8 as in the table files, in memory

    Table& poem() { return store->cdsPoem; }

    // What the search button does, then the count label's number.
    int press(const SearchCriteria& c)
    {
        if (hook == Hook::Fast)
            search->setCriteria(c);
        else
            stepCriteria = c;
        searchActive = true;
        poem().setFiltered(false);
        poem().setFilterText("");
        poem().setFiltered(true);
        return poem().recordCount();
    }
};

std::string wordOf(const std::string& text, size_t index)
{
    std::vector<std::string> words;
    SplitWords(text, words);
    return words.empty() ? std::string() : words[index % words.size()];
}

std::unique_ptr<Bench> makeBench(size_t verses)
{
    auto b = std::make_unique<Bench>();
    b->store = std::make_unique<PoemStore>(b->folder.path());
    b->store->OpenTables();
    const std::vector<corpus::Verse> table = corpus::MakeVerses(kTableSeed, verses);
    corpus::LoadVerses(*b->store, table);
    b->search = std::make_unique<VerseSearch>(b->poem());
    Bench* raw = b.get();
    b->poem().setFilterCallback([raw](const RowRef& row) {
        if (!raw->searchActive)
            return true;
        return raw->hook == Bench::Hook::Fast ? raw->search->accepts(row) : AcceptsRecord(raw->stepCriteria, row);
    });

    // Words as a user would type them: taken from verses spread over the table, as stored.
    const char* letters[] = {"أ", "و", "م", "ف", "ت", "ي", "ن", "ب"};
    for (int i = 0; i < kSearchesOfAKind; ++i) {
        const std::string& text = table[(size_t(i) * 7919 * 131 + 12345) % table.size()].text;
        SearchCriteria one;
        one.words = wordOf(text, 2 + size_t(i));
        b->searches[OneWord].push_back(one);
        SearchCriteria two;
        two.words = wordOf(text, 1 + size_t(i)) + " " + wordOf(text, 4 + size_t(i));
        b->searches[TwoWords].push_back(two);
        SearchCriteria panel;
        panel.advanced = panel.byAuthor = panel.byStartLetter = true;
        panel.author = 1 + (i * 373) % 3000;
        panel.startLetter = *codepage::fromUtf8(letters[i]);
        b->searches[AuthorAndFirstLetter].push_back(panel);
    }

    if (sqlite3_open(":memory:", &b->sql.db) != SQLITE_OK)
        throw std::runtime_error("sqlite");
    b->sql.exec("CREATE TABLE Poem (TextID INTEGER PRIMARY KEY, Text TEXT, AuthorID INTEGER, StartLetter TEXT)");
    b->sql.exec("BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(b->sql.db, "INSERT INTO Poem VALUES (?, ?, ?, ?)", -1, &insert, nullptr);
    for (size_t i = 0; i < table.size(); ++i) {
        const std::string text = codepage::toUtf8(table[i].text);
        const std::string start = codepage::toUtf8(std::string(1, table[i].startLetter));
        sqlite3_bind_int64(insert, 1, int64_t(i + 1));
        sqlite3_bind_text(insert, 2, text.data(), int(text.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 3, table[i].authorId);
        sqlite3_bind_text(insert, 4, start.data(), int(start.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    b->sql.exec("COMMIT");
    return b;
}

Bench& bench(size_t verses)
{
    static std::map<size_t, std::unique_ptr<Bench>> made;
    auto& b = made[verses];
    if (!b)
        b = makeBench(verses);
    return *b;
}

void Fast(benchmark::State& state, Kind kind)
{
    Bench& b = bench(size_t(state.range(0)));
    b.hook = Bench::Hook::Fast;
    if (b.search->needsForms())
        b.search->makeForms();  // the first search is measured apart
    const auto& searches = b.searches[kind];
    size_t i = 0;
    int64_t found = 0;
    for (auto _ : state)
        found += b.press(searches[i++ % searches.size()]);
    state.counters["found"] = double(found) / double(state.iterations());
}

void StepByStep(benchmark::State& state, Kind kind)
{
    Bench& b = bench(size_t(state.range(0)));
    b.hook = Bench::Hook::StepByStep;
    const auto& searches = b.searches[kind];
    size_t i = 0;
    int64_t found = 0;
    for (auto _ : state)
        found += b.press(searches[i++ % searches.size()]);
    state.counters["found"] = double(found) / double(state.iterations());
    b.hook = Bench::Hook::Fast;
}

void SqliteLike(benchmark::State& state, Kind kind)
{
    Bench& b = bench(size_t(state.range(0)));
    const auto& searches = b.searches[kind];
    const char* sql = kind == OneWord    ? "SELECT count(*) FROM Poem WHERE Text LIKE ?1"
                      : kind == TwoWords ? "SELECT count(*) FROM Poem WHERE Text LIKE ?1 AND Text LIKE ?2"
                                         : "SELECT count(*) FROM Poem WHERE AuthorID = ?3 AND StartLetter = ?4";
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(b.sql.db, sql, -1, &query, nullptr);
    size_t i = 0;
    int64_t found = 0;
    for (auto _ : state) {
        const SearchCriteria& c = searches[i++ % searches.size()];
        std::vector<std::string> words;
        SplitWords(c.words, words);
        for (size_t w = 0; w < words.size() && w < 2; ++w) {
            const std::string like = "%" + codepage::toUtf8(words[w]) + "%";
            sqlite3_bind_text(query, int(w + 1), like.data(), int(like.size()), SQLITE_TRANSIENT);
        }
        if (kind == AuthorAndFirstLetter) {
            const std::string letter = codepage::toUtf8(c.startLetter);
            sqlite3_bind_int64(query, 3, c.author.value_or(0));
            sqlite3_bind_text(query, 4, letter.data(), int(letter.size()), SQLITE_TRANSIENT);
        }
        if (sqlite3_step(query) == SQLITE_ROW)
            found += sqlite3_column_int64(query, 0);
        sqlite3_reset(query);
    }
    sqlite3_finalize(query);
    state.counters["found"] = double(found) / double(state.iterations());
}

// The answers alone, without the table's filter.
void AnswersOnly(benchmark::State& state, Kind kind)
{
    Bench& b = bench(size_t(state.range(0)));
    if (b.search->needsForms())
        b.search->makeForms();
    const auto& searches = b.searches[kind];
    size_t i = 0;
    for (auto _ : state) {
        b.search->setCriteria(searches[i++ % searches.size()]);
        b.search->prepare();
    }
}

// Switching the filter with a hook that answers at once.
void FilterOnly(benchmark::State& state)
{
    Bench& b = bench(size_t(state.range(0)));
    b.searchActive = false;
    for (auto _ : state) {
        b.poem().setFiltered(false);
        b.poem().setFilterText("");
        b.poem().setFiltered(true);
    }
}

// The game's and the verse window's filter on the most common first letter, with the search's
// record filter attached and off (as in the program between searches), and with none attached.
void LetterFilter(benchmark::State& state, bool hooked)
{
    Bench& b = bench(size_t(state.range(0)));
    b.searchActive = false;
    if (!hooked)
        b.poem().setFilterCallback(nullptr);
    const std::string letters[] = {*codepage::fromUtf8("أ"), *codepage::fromUtf8("و")};
    size_t i = 0;
    for (auto _ : state) {
        b.poem().setFilterText("StartLetter = '" + letters[i++ % 2] + "'");
        b.poem().setFiltered(true);
        benchmark::DoNotOptimize(b.poem().recordCount());
    }
    Bench* raw = &b;
    b.poem().setFilterCallback([raw](const RowRef& row) {
        if (!raw->searchActive)
            return true;
        return raw->hook == Bench::Hook::Fast ? raw->search->accepts(row) : AcceptsRecord(raw->stepCriteria, row);
    });
    b.poem().setFilterText("");
}

// The first search after opening: the matching forms of every verse are made first.
void FirstSearch(benchmark::State& state)
{
    Bench& b = bench(size_t(state.range(0)));
    b.hook = Bench::Hook::Fast;
    size_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        b.search = std::make_unique<VerseSearch>(b.poem());
        state.ResumeTiming();
        benchmark::DoNotOptimize(b.press(b.searches[OneWord][i++ % kSearchesOfAKind]));
    }
}

// Making the matching forms alone: the part of the first search that runs beside the window.
void MakeForms(benchmark::State& state)
{
    Bench& b = bench(size_t(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        b.search = std::make_unique<VerseSearch>(b.poem());
        state.ResumeTiming();
        b.search->makeForms();
    }
}

// After a search: the count and one screen of the grid (30 rows of every shown field), at a
// place further down each time, as when scrolling.
void ReadResults(benchmark::State& state)
{
    Bench& b = bench(size_t(state.range(0)));
    b.hook = Bench::Hook::Fast;
    const int count = b.press(b.searches[OneWord][0]);
    size_t sink = 0;
    int top = 0;
    for (auto _ : state) {
        sink += size_t(b.poem().recordCount());
        for (int r = top; r < top + 30 && r < count; ++r)
            for (int f = 0; f < b.poem().fieldCount(); ++f)
                sink += b.poem().valueAt(r, b.poem().fieldAt(f)).text().size();
        top = count > 30 ? (top + 29) % (count - 30) : 0;
    }
    benchmark::DoNotOptimize(sink);
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const std::pair<const char*, Kind> kinds[] = {
        {"one-word", OneWord}, {"two-words", TwoWords}, {"author+first-letter", AuthorAndFirstLetter}};
    for (const size_t verses : {size_t(100000), size_t(1000000)}) {
        for (const auto& [name, kind] : kinds) {
            const std::string base = std::string("Search/") + name;
            benchmark::RegisterBenchmark((base + "/fast").c_str(), Fast, kind)
                ->Arg(int64_t(verses))->Unit(benchmark::kMillisecond)->UseRealTime();
            benchmark::RegisterBenchmark((base + "/sqlite-like").c_str(), SqliteLike, kind)
                ->Arg(int64_t(verses))->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);
            benchmark::RegisterBenchmark((base + "/reference").c_str(), StepByStep, kind)
                ->Arg(int64_t(verses))->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(verses > 100000 ? 2 : 8);
        }
        for (const auto& [name, kind] : kinds)
            benchmark::RegisterBenchmark((std::string("Answers/") + name + "/fast").c_str(), AnswersOnly, kind)
                ->Arg(int64_t(verses))->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark("FilterSwitch/fast", FilterOnly)
            ->Arg(int64_t(verses))->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark("LetterFilter/search-hook-off/fast", LetterFilter, true)
            ->Arg(int64_t(verses))->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark("LetterFilter/no-hook/fast", LetterFilter, false)
            ->Arg(int64_t(verses))->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark("FirstSearch/one-word/fast", FirstSearch)
            ->Arg(int64_t(verses))->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
        benchmark::RegisterBenchmark("MakeForms/fast", MakeForms)
            ->Arg(int64_t(verses))->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
        benchmark::RegisterBenchmark("ReadResults/fast", ReadResults)
            ->Arg(int64_t(verses))->Unit(benchmark::kMillisecond)->UseRealTime();
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
