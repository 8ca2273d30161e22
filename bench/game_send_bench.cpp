// The whole send path of the game, as a player meets it: the real program on a generated folder,
// the game started with the game button, and each round the player's verse typed into the box and
// the send button clicked, until the computer's verse is in the window and the window is painted.
// That is the checks, the player's verse recorded in its file, the computer's choice and the
// window brought up to date. Offscreen, so it runs without a display.
//
//   game_send_bench [--benchmark_...]        folders as store_bench makes them (barqeen-bench-N)
#include "app/program.h"
#include "kept_folder.h"
#include "windows/game/game_window.h"
#include "windows/shell/picture_push_button.h"
#include "windows/game/start_letter.h"
#include "scripted_dialogs.h"
#include "windows/main/main_window.h"
#include "windows/shell/picture_button.h"
#include "core/text/codepage.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace barqeen;

namespace {

// Verses the player may say, by their first letter: texts of the table's own verses whose end
// letter is playable (the computer may have said some of them; those are refused and skipped).
std::map<char, std::vector<std::string>> playerVerses(const Table& poem)
{
    std::map<char, std::vector<std::string>> byLetter;
    const int text = poem.field("Text").column();
    const int start = poem.field("StartLetter").column();
    for (int r = 0; r < poem.rowCount() && r < 400000; ++r) {
        const Row& row = poem.rowAt(r);
        char end = '\0';
        const std::string_view verse = row.cells[size_t(text)].text();
        if (row.cells[size_t(start)].text().empty() || !GetEndLetter(verse, end))
            continue;
        auto& list = byLetter[row.cells[size_t(start)].text()[0]];
        if (list.size() < 2000)
            list.emplace_back(verse);
    }
    return byLetter;
}

// recordInFile: false leaves the player's verses in memory only (their table detached from its
// file), to show what the durable write of the verse costs within the path.
void SendOneVerse(benchmark::State& state, bool recordInFile)
{
    const std::string dir = corpus::BenchFolder(size_t(state.range(0)));
    test::ScriptedDialogsScope dialogs;
    Program program(QString::fromStdString(dir), QCoreApplication::applicationFilePath());
    TfmMain& main = *program.fmMain;
    main.show();
    const auto verses = playerVerses(main.cdsPoem());
    Table& playerPoem = main.store().cdsPlayerPoem;
    TableStorage* file = main.store().fileOf(playerPoem);
    if (!recordInFile)
        playerPoem.setStorage(nullptr);
    std::map<char, size_t> nextOf;

    dialogs->inputs.push_back(QStringLiteral("لاعب"));
    dialogs->onModal = [&](QDialog& d) -> int {
        if (auto* s = dynamic_cast<TfmStartLetter*>(&d)) {
            s->show();
            s->cbLetter->setCurrentIndex(0);
            QTest::mouseClick(s->BitBtn1, Qt::LeftButton);
            return s->result();
        }
        auto& game = dynamic_cast<TfmGame&>(d);
        game.show();
        QApplication::processEvents();
        for (auto _ : state) {
            state.PauseTiming();
            // The player's verse for the letter asked, typed into the box (typing is not timed).
            const char letter = game.RequiredLetter;
            const auto found = verses.find(letter);
            if (found == verses.end() || nextOf[letter] >= found->second.size()) {
                state.SkipWithError("no verse left for the player");
                break;
            }
            const std::string& verse = found->second[nextOf[letter]++];
            game.mePlayer->setPlainText(codepage::toUnicode(verse));
            const int rounds = game.RoundCount;
            state.ResumeTiming();

            QTest::mouseClick(game.bbSend, Qt::LeftButton);
            game.repaint();

            state.PauseTiming();
            if (game.RoundCount != rounds + 1 && !dialogs->shown.empty()) {
                // Said before (by the computer): refused with a message; the round did not count.
                dialogs->shown.clear();
                game.mePlayer->clear();
            }
            if (!game.isVisible()) {
                state.SkipWithError("the game ended");
                break;
            }
            state.ResumeTiming();
        }
        state.counters["rounds"] = game.RoundCount;
        game.close();
        return game.result();
    };
    emit main.imGame->clicked();
    playerPoem.setStorage(file);
    main.close();
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (const bool recordInFile : {true, false})
        benchmark::RegisterBenchmark(recordInFile ? "GameSend/whole-path" : "GameSend/verse-not-written",
                                     SendOneVerse, recordInFile)
            ->Arg(100000)
            ->Arg(1000000)
            ->Iterations(200)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
