// The verse window on a generated folder of a million verses, the whole program made as at
// start-up (offscreen): a cursor move with the window's after-move hook (ticks and count) beside
// the same move with the hook detached; picking a letter in cbLetter; posting a verse changed
// through the window beside one bare durable SQLite update of the same row; opening the window;
// the computer's move with the hook attached.
#include "app/program.h"
#include "kept_folder.h"
#include "windows/editing/category.h"
#include "windows/editing/poem_edit.h"
#include "windows/game/game_window.h"
#include "windows/shell/application.h"
#include "windows/main/main_window.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>

#include <filesystem>
#include <fstream>
#include <memory>

using namespace barqeen;
namespace fs = std::filesystem;

namespace {

// A copy of the store benchmark's folder that these benchmarks may write to.
std::string writableCopyOf(size_t verses)
{
    const std::string from = corpus::BenchFolder(verses);
    const std::string to = from + "-window";
    fs::remove_all(to);
    fs::create_directories(to);
    for (const char* f : {"Poem.cds", "Authors.cds", "Categories.cds", "History.cds", "PlayerPoem.cds"})
        fs::copy_file(from + "/" + f, to + "/" + f);
    return to;
}

// One program per size, kept for all the benchmarks of that size; gone before the application.
std::unique_ptr<Program> program;

Program& programOf(size_t verses)
{
    static size_t made = 0;
    if (made != verses) {
        program.reset();
        program = std::make_unique<Program>(QString::fromStdString(writableCopyOf(verses)), QString());
        made = verses;
        // The check list as the window's first showing fills it.
        program->fmCategory->LoadCategoryList();
    }
    return *program;
}

Table& unfilteredPoem(Program& p)
{
    Table& poem = p.fmMain->cdsPoem();
    if (poem.filtered())
        poem.setFiltered(false);
    poem.setAfterScroll([m = p.fmMain.get()] { m->cdsPoemAfterScroll(); });
    return poem;
}

// ---- one move of the cursor, with the window's hook and without; the window hidden (a game's
// or a search's moves) and shown (browsing in it: its grid, memo and lists follow too)

void CursorMove(benchmark::State& state, bool withHook, bool shown)
{
    Program& p = programOf(size_t(state.range(0)));
    Table& poem = unfilteredPoem(p);
    if (!withHook)
        poem.setAfterScroll(nullptr);
    if (shown)
        p.fmPoemEdit->show();
    poem.first();
    for (auto _ : state) {
        poem.next();
        if (poem.eof())
            poem.first();
    }
    state.counters["count_shown"] = p.fmPoemEdit->stCount->text().toDouble();
    p.fmPoemEdit->hide();
    unfilteredPoem(p);
}

// ---- picking a letter in cbLetter: the filter, the first verse, the hook

void PickLetter(benchmark::State& state)
{
    Program& p = programOf(size_t(state.range(0)));
    unfilteredPoem(p);
    TfmPoemEdit& w = *p.fmPoemEdit;
    w.show();  // picked in the shown window: its grid, memo and lists follow
    int item = 0;
    for (auto _ : state) {
        item = item % 28 + 1;  // the letters, never "all letters"
        w.cbLetterClick(item);
    }
    w.hide();
    unfilteredPoem(p);
}

// "All letters" after a letter: the whole table back.
void PickAllLetters(benchmark::State& state)
{
    Program& p = programOf(size_t(state.range(0)));
    unfilteredPoem(p);
    TfmPoemEdit& w = *p.fmPoemEdit;
    w.show();
    int item = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.cbLetterClick(item++ % 28 + 1);
        state.ResumeTiming();
        w.cbLetterClick(0);
    }
    w.hide();
}

// ---- posting a verse changed through the window's data source

void PostChangedVerse(benchmark::State& state)
{
    Program& p = programOf(size_t(state.range(0)));
    Table& poem = unfilteredPoem(p);
    TfmPoemEdit& w = *p.fmPoemEdit;
    w.show();  // the change comes from its controls
    int64_t turn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        poem.setRecNo(int(1 + (turn * 7919) % poem.recordCount()));
        const std::string text = poem.field("Text").asString() + (turn % 2 ? "" : " ");
        ++turn;
        state.ResumeTiming();
        w.DataSource1.setFieldFromControl("Text", Value(text));
        poem.post();
    }
    w.hide();
}

// One UPDATE of the same rows in its own transaction, synchronous as the tables write.
void UpdateOneRowBare(benchmark::State& state)
{
    const std::string dir = corpus::BenchFolder(size_t(state.range(0))) + "-bare";
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy_file(corpus::BenchFolder(size_t(state.range(0))) + "/Poem.cds", dir + "/Poem.cds");
    sqlite3* db = nullptr;
    sqlite3_open_v2((dir + "/Poem.cds").c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
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
    fs::remove_all(dir);
}

// ---- opening the window on the whole table: shown, activated, painted once

void OpenWindow(benchmark::State& state)
{
    Program& p = programOf(size_t(state.range(0)));
    unfilteredPoem(p);
    TfmPoemEdit& w = *p.fmPoemEdit;
    for (auto _ : state) {
        w.show();
        w.repaint();
        QCoreApplication::processEvents();
        state.PauseTiming();
        w.hide();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["count_shown"] = w.stCount->text().toDouble();
}

// ---- the computer's move with the window's hook attached

void ComputerMove(benchmark::State& state, bool withHook)
{
    Program& p = programOf(size_t(state.range(0)));
    Table& poem = unfilteredPoem(p);
    if (!withHook)
        poem.setAfterScroll(nullptr);
    TfmGame& game = *p.fmGame;
    game.UsedTextIDs().clear();
    static const char kLetters[] = "\xC3\xC8\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDA\xDB\xDE\xDD\xDF\xE1\xE3\xE4\xE5\xE6\xED";
    std::string text;
    char next = 0;
    size_t turn = 0;
    for (auto _ : state) {
        const std::string_view letter(&kLetters[turn++ % 28], 1);
        if (game.PickComputerVerse(letter, text, next))
            game.UsedTextIDs().pop_back();  // the game stays at its round
        benchmark::DoNotOptimize(text.data());
    }
    unfilteredPoem(p);
}

void millions(benchmark::internal::Benchmark* b)
{
    b->Arg(1000000)->Unit(benchmark::kMicrosecond)->UseRealTime();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setUpApplication(app);
    millions(benchmark::RegisterBenchmark("CursorMove/with-hook", CursorMove, true, false));
    millions(benchmark::RegisterBenchmark("CursorMove/no-hook", CursorMove, false, false));
    millions(benchmark::RegisterBenchmark("CursorMove/window-shown/with-hook", CursorMove, true, true));
    millions(benchmark::RegisterBenchmark("CursorMove/window-shown/no-hook", CursorMove, false, true));
    millions(benchmark::RegisterBenchmark("PickLetter", PickLetter));
    millions(benchmark::RegisterBenchmark("PickLetter/all-letters", PickAllLetters));
    millions(benchmark::RegisterBenchmark("PostChangedVerse", PostChangedVerse));
    millions(benchmark::RegisterBenchmark("PostChangedVerse/bare-sqlite-update", UpdateOneRowBare));
    millions(benchmark::RegisterBenchmark("OpenWindow", OpenWindow));
    millions(benchmark::RegisterBenchmark("ComputerMove/with-hook", ComputerMove, true));
    millions(benchmark::RegisterBenchmark("ComputerMove/no-hook", ComputerMove, false));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    program.reset();
    return 0;
}
