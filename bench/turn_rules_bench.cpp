// The turn rules on a large verse table: the computer's choice, the repeat check and the
// computer's whole move, each beside the step-by-step walk (ReferenceTurnRules) on the same
// verses and the same game state. The walk runs on a plain table without the letter index, as
// the steps read: filter the verses, walk them with the cursor, draw.
//
// The table is made once per size (corpus.h) and kept for all the benchmarks of that size. Its
// after-move hook reads the current verse's categories, as the verse window does, so every move
// of the cursor costs what it costs in the program.
#include "temp_folder.h"
#include "corpus.h"
#include "core/rules/turn_rules.h"
#include "reference_turn_rules.h"
#include "core/store/layouts.h"
#include "core/store/poem_store.h"
#include "core/text/letters.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

using namespace barqeen;

namespace {

constexpr uint64_t kTableSeed = 1;
constexpr uint64_t kNewVersesSeed = 2;
constexpr uint64_t kPlayerMovesSeed = 3;
constexpr size_t kRounds = 200;        // the repeat check is measured after this many rounds
constexpr size_t kUsedWhilePicking = 50;  // a game in progress when the computer chooses
constexpr size_t kCommonLetters = 10;

size_t hookSink = 0;  // what the after-move hook read, so that the reading is not optimised away


// One verse table and the game states measured on it.
struct Game {
    TempFolder folder;  // declared first: the store closes its files before the folder goes
    std::unique_ptr<PoemStore> store;
    std::vector<std::string> commonLetters;    // the most frequent start letters, most frequent first
    std::vector<int32_t> used;                 // kRounds verses the computer said, in order said
    std::vector<std::string> playerTexts;      // kRounds verses the player said, as typed
    std::string computerSaid;                  // a used verse's text: the one nearest the table's middle
    std::string playerSaid;                    // one of playerTexts
    std::string neverSaid;                     // a verse that is nowhere in the table
    std::vector<std::string> playerMoves;      // new verses with a playable last letter
    // The same verses in a table as a plain engine would keep them: no letter index, so its
    // filter reads every verse. The reference walks this one.
    std::unique_ptr<Table> plain;

    Table& poem() { return store->cdsPoem; }
};

std::unique_ptr<Game> makeGame(size_t verses)
{
    auto game = std::make_unique<Game>();
    game->store = std::make_unique<PoemStore>(game->folder.path());
    game->store->OpenTables();
    {
        const std::vector<corpus::Verse> table = corpus::MakeVerses(kTableSeed, verses);
        corpus::LoadVerses(*game->store, table);
        game->plain = std::make_unique<Table>("plain");
        layouts::definePoem(*game->plain);
        layouts::dressPoem(*game->plain, game->store->cdsAuthors);
        game->plain->load(corpus::VerseRows(table), int64_t(verses) + 1);

        std::map<char, size_t> starts;
        for (const corpus::Verse& v : table)
            ++starts[v.startLetter];
        std::vector<std::pair<size_t, char>> byCount;
        for (const auto& [letter, n] : starts)
            byCount.emplace_back(n, letter);
        std::sort(byCount.rbegin(), byCount.rend());
        for (size_t i = 0; i < std::min(kCommonLetters, byCount.size()); ++i)
            game->commonLetters.emplace_back(1, byCount[i].second);

        // The game so far: distinct verses, half said by the computer, half quoted by the player.
        std::mt19937_64 random(42);
        std::uniform_int_distribution<int32_t> anyVerse(1, int32_t(verses));
        std::vector<int32_t> drawn;
        while (drawn.size() < 2 * kRounds) {
            const int32_t id = anyVerse(random);
            if (std::find(drawn.begin(), drawn.end(), id) == drawn.end())
                drawn.push_back(id);
        }
        game->used.assign(drawn.begin(), drawn.begin() + kRounds);
        for (size_t i = kRounds; i < drawn.size(); ++i)
            game->playerTexts.push_back(table[size_t(drawn[i] - 1)].text);

        const int32_t middle = int32_t(verses / 2);
        const int32_t nearest = *std::min_element(game->used.begin(), game->used.end(), [&](int32_t a, int32_t b) {
            return std::abs(a - middle) < std::abs(b - middle);
        });
        game->computerSaid = table[size_t(nearest - 1)].text;
        game->playerSaid = game->playerTexts[kRounds / 2];
    }

    game->neverSaid = corpus::MakeVerses(kNewVersesSeed, 1).front().text;
    const std::string neverForm = NormalizeText(game->neverSaid);
    Table& poem = game->poem();
    for (int i = 0; i < poem.rowCount(); ++i)
        if (poem.derivedText(poem.rowAt(i)) == neverForm)
            throw std::runtime_error("the new verse is in the table; choose another seed");

    for (const corpus::Verse& v : corpus::MakeVerses(kPlayerMovesSeed, 1024)) {
        char letter;
        if (GetEndLetter(v.text, letter))
            game->playerMoves.push_back(v.text);
    }

    for (Table* t : {&poem, game->plain.get()})
        t->setAfterScroll([t] { hookSink += t->field("Categories").asString().size(); });
    return game;
}

Game& gameOf(size_t verses)
{
    static std::map<size_t, std::unique_ptr<Game>> games;
    auto& game = games[verses];
    if (!game)
        game = makeGame(verses);
    return *game;
}

// Every benchmark starts here: the table unfiltered on its first row, and the game after
// `rounds` rounds (that many verses from each side).
void startFrom(Game& game, TurnRules& rules, size_t rounds)
{
    for (Table* t : {&game.poem(), game.plain.get()}) {
        t->setFiltered(false);
        t->first();
    }
    rules.UsedTextIDs.assign(game.used.begin(), game.used.begin() + ptrdiff_t(rounds));
    rules.PlayerVerses.clear();
    for (size_t i = 0; i < rounds; ++i)
        rules.AddPlayerVerse(game.playerTexts[i]);
    rules.setSeed(7);
}

enum class Side { Fast, Reference };

// The fast rules' choice, taken off the used verses again so the game stays at the same round.
void pickWithoutRecording(TurnRules& rules, std::string_view letter, uint64_t turn, std::string& text, char& next)
{
    rules.setSeed(turn);
    const bool found = rules.PickComputerVerse(letter, text, next);
    benchmark::DoNotOptimize(found);
    if (found)
        rules.UsedTextIDs.pop_back();
}

// ---- the computer's choice, for a letter, in a game of kUsedWhilePicking rounds

void PickComputerVerse(benchmark::State& state, Side side)
{
    Game& game = gameOf(size_t(state.range(0)));
    TurnRules rules(game.poem(), nullptr);
    startFrom(game, rules, kUsedWhilePicking);
    test::ReferenceTurnRules reference{*game.plain, rules.UsedTextIDs};
    std::mt19937_64 random(7);
    std::string text;
    char next = 0;
    uint64_t turn = 0;
    for (auto _ : state) {
        const std::string& letter = game.commonLetters[turn % game.commonLetters.size()];
        ++turn;
        if (side == Side::Fast) {
            pickWithoutRecording(rules, letter, turn, text, next);
        } else {
            benchmark::DoNotOptimize(reference.PickComputerVerse(letter, random));
        }
    }
    if (rules.UsedTextIDs.size() != kUsedWhilePicking)
        state.SkipWithError("the used verses grew");
}

// ---- the repeat check after kRounds rounds

enum class Probe { ComputerSaid, PlayerSaid, NeverSaid };

void AlreadySaid(benchmark::State& state, Side side, Probe probe)
{
    Game& game = gameOf(size_t(state.range(0)));
    TurnRules rules(game.poem(), [](std::string_view) {});
    startFrom(game, rules, kRounds);
    test::ReferenceTurnRules reference{*game.plain, rules.UsedTextIDs};
    const std::string& text = probe == Probe::ComputerSaid ? game.computerSaid
                              : probe == Probe::PlayerSaid ? game.playerSaid
                                                           : game.neverSaid;
    const bool expected = probe != Probe::NeverSaid;
    bool said = false;
    for (auto _ : state) {
        if (side == Side::Fast)
            said = rules.AlreadySaid(text);
        else
            said = rules.SaidByPlayer(text) || reference.SaidByComputer(text);
        benchmark::DoNotOptimize(said);
    }
    if (said != expected)
        state.SkipWithError("wrong answer");
}

// ---- the computer's move: the letter the player's verse hands on, then the choice

void ComputerMove(benchmark::State& state, Side side)
{
    Game& game = gameOf(size_t(state.range(0)));
    TurnRules rules(game.poem(), nullptr);
    startFrom(game, rules, kUsedWhilePicking);
    test::ReferenceTurnRules reference{*game.plain, rules.UsedTextIDs};
    std::mt19937_64 random(7);
    std::string text;
    char next = 0;
    uint64_t turn = 0;
    for (auto _ : state) {
        const std::string& played = game.playerMoves[turn % game.playerMoves.size()];
        ++turn;
        char letter = 0;
        if (!GetEndLetter(played, letter))
            continue;
        const std::string_view wanted(&letter, 1);
        if (side == Side::Fast) {
            pickWithoutRecording(rules, wanted, turn, text, next);
        } else if (reference.PickComputerVerse(wanted, random) != 0) {
            // What the move hands back: the verse and the letter for the player.
            text = game.plain->field("Text").asString();
            const std::string end = game.plain->field("EndLetter").asString();
            next = end.empty() ? '\0' : end[0];
        }
        benchmark::DoNotOptimize(text.data());
        benchmark::DoNotOptimize(next);
    }
    if (rules.UsedTextIDs.size() != kUsedWhilePicking)
        state.SkipWithError("the used verses grew");
}

// ---- the computer's move at each level of play, in the same run: the easy and hard levels
// weigh every verse for the letter by its end letter, the normal level draws as above

void ComputerMoveAtLevel(benchmark::State& state, PlayLevel level)
{
    Game& game = gameOf(size_t(state.range(0)));
    TurnRules rules(game.poem(), nullptr);
    startFrom(game, rules, kUsedWhilePicking);
    rules.setLevel(level);
    std::string text;
    char next = 0;
    uint64_t turn = 0;
    for (auto _ : state) {
        const std::string& played = game.playerMoves[turn % game.playerMoves.size()];
        ++turn;
        char letter = 0;
        if (!rules.PlayerEndLetter(played, letter))
            continue;
        pickWithoutRecording(rules, std::string_view(&letter, 1), turn, text, next);
        benchmark::DoNotOptimize(text.data());
        benchmark::DoNotOptimize(next);
    }
    if (rules.UsedTextIDs.size() != kUsedWhilePicking)
        state.SkipWithError("the used verses grew");
}

void registerAll()
{
    auto sizes = [](benchmark::internal::Benchmark* b) {
        b->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
    };
    const std::pair<const char*, Side> sides[] = {{"fast", Side::Fast}, {"reference", Side::Reference}};
    const std::pair<const char*, Probe> probes[] = {
        {"computer-said", Probe::ComputerSaid}, {"player-said", Probe::PlayerSaid}, {"never-said", Probe::NeverSaid}};

    for (const auto& [name, side] : sides)
        sizes(benchmark::RegisterBenchmark((std::string("PickComputerVerse/") + name).c_str(), PickComputerVerse, side));
    for (const auto& [probeName, probe] : probes)
        for (const auto& [name, side] : sides)
            sizes(benchmark::RegisterBenchmark((std::string("AlreadySaid/") + probeName + "/" + name).c_str(),
                                               AlreadySaid, side, probe));
    for (const auto& [name, side] : sides)
        sizes(benchmark::RegisterBenchmark((std::string("ComputerMove/") + name).c_str(), ComputerMove, side));
    const std::pair<const char*, PlayLevel> levels[] = {
        {"easy", PlayLevel::Easy}, {"normal", PlayLevel::Normal}, {"hard", PlayLevel::Hard}};
    for (const auto& [name, level] : levels)
        sizes(benchmark::RegisterBenchmark((std::string("ComputerMoveAtLevel/") + name).c_str(), ComputerMoveAtLevel,
                                           level));
}

}  // namespace

int main(int argc, char** argv)
{
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    benchmark::DoNotOptimize(hookSink);
    return 0;
}
