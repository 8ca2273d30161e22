// Naming the meter of one verse: on generated verses (corpus.h, made-up words, some vowelled) and
// on classical verses as the books print them (tests/core/prosody), as printed and without any mark.
// Besides the mean per verse that Google Benchmark reports, each run times every verse on its own
// and reports the median (median_us) and the slowest tenth (p90_us).
#include "corpus.h"
#include "core/prosody/meter_finder.h"
#include "core/text/codepage.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

using namespace barqeen;

namespace {

std::vector<std::string> generatedVerses()
{
    std::vector<std::string> texts;
    for (const corpus::Verse& v : corpus::MakeVerses(1, 20000))
        texts.push_back(v.text);
    return texts;
}

// The classical verses of one file in the table's code page, hemistichs on two lines.
std::vector<std::string> classicalVerses(const char* name, bool stripMarks)
{
    QFile file(QStringLiteral(PROSODY_VERSES_DIR "/") + QString::fromUtf8(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression marks(QStringLiteral("[\\x{064B}-\\x{0652}]"));
    std::vector<std::string> texts;
    for (QString line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        line = line.mid(line.indexOf(u'\t') + 1).replace(u'\t', QStringLiteral("\r\n"));
        if (stripMarks)
            line.remove(marks);
        texts.push_back(codepage::fromUnicodeOrThrow(line));
    }
    return texts;
}

void scanEach(benchmark::State& state, const std::vector<std::string>& verses)
{
    if (verses.empty()) {
        state.SkipWithError("no verses");
        return;
    }
    std::vector<double> micros;
    size_t next = 0, named = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const prosody::Scansion s = prosody::scanVerseBytes(verses[next]);
        const auto end = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(s);
        named += s.known;
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        next = (next + 1) % verses.size();
    }
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p90_us"] = micros[micros.size() * 9 / 10];
    state.counters["named"] = double(named) / double(micros.size());
}

// A file of classical verses, as printed or bare, read once.
const std::vector<std::string>& versesOf(const char* name, bool bare)
{
    static std::map<std::pair<std::string, bool>, std::vector<std::string>> read;
    auto [at, isNew] = read.try_emplace({name, bare});
    if (isNew)
        at->second = classicalVerses(name, bare);
    return at->second;
}

void BM_MeterOfGeneratedVerse(benchmark::State& state)
{
    static const std::vector<std::string> verses = generatedVerses();
    scanEach(state, verses);
}
BENCHMARK(BM_MeterOfGeneratedVerse)->Iterations(20000);

// The verses the scanner was tuned on, those kept apart from its tuning, and a set fully
// vowelled; each as printed (bare:0) and without any mark (bare:1). Each run goes once through
// its set about a hundred times.
struct VerseSet {
    const char* benchmark;
    const char* file;
    int64_t iterations;
};
const VerseSet kVerseSets[] = {
    {"BM_MeterOfClassicalVerse", "classical_verses.tsv", 8300},
    {"BM_MeterOfHeldOutVerse", "held_out_verses.tsv", 7800},
    {"BM_MeterOfSecondHeldOutVerse", "held_out_verses_2.tsv", 8800},
    {"BM_MeterOfThirdHeldOutVerse", "held_out_verses_3.tsv", 8400},
    {"BM_MeterOfFourthHeldOutVerse", "held_out_verses_4.tsv", 8300},
    {"BM_MeterOfFullyVowelledVerse", "vowelled_verses.tsv", 8400},
};

const bool kVerseSetsRegistered = [] {
    for (const VerseSet& set : kVerseSets)
        benchmark::RegisterBenchmark(set.benchmark, [file = set.file](benchmark::State& state) {
            scanEach(state, versesOf(file, state.range(0) != 0));
        })->Arg(0)->Arg(1)->ArgName("bare")->Iterations(set.iterations);
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
