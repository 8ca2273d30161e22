// Kills a writer of the real tables at random moments and checks that nothing committed is lost.
//
//   crash_check [--kills N] [--seed S] [--dir DIR] [--import]
//
// With --import the killed program imports a verse file (new poets, categories and verses, one
// change across three files) instead: after each kill the tables must hold all of the import or
// none of it, and all of it once the importer said it was done.
//
// Each round starts a writer (this program with --write) on one data folder. The writer opens the
// five tables and makes one committed change after another (verses of a game, authors added,
// changed and deleted, games started and finished, verses added), printing "committed I" after
// each. A random time after the tables opened it is killed with SIGKILL. The check then opens the folder and
// compares every table with what the same changes give when made in memory on the folder as it
// was before the round: the files must hold exactly the changes reported committed, or those and
// the one being made when the kill came, and the opening must have nothing to tell (no log set
// aside, none found damaged or missing). The folder is kept from round to round.
#include "core/exchange/verse_import.h"
#include "core/store/layouts.h"
#include "core/store/poem_store.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

using namespace barqeen;
namespace fs = std::filesystem;

namespace {

// The i-th change of a round; which row it touches depends only on the seed, i and the rows.
void change(PoemStore& s, uint64_t seed, int i)
{
    std::mt19937_64 random(seed * 1000003 + uint64_t(i));
    const std::string tag = std::to_string(seed) + "." + std::to_string(i);
    Table& authors = s.cdsAuthors;
    switch (random() % 7) {
    case 0:
        s.AddPlayerPoem(i, "verse of round " + tag);
        return;
    case 1:
        authors.appendRecord({Value(), Value("poet " + tag), Value(std::string(random() % 300, 'n'))});
        return;
    case 2:
    case 3:
        if (authors.recordCount() > 0) {
            authors.setRecNo(int(random() % uint64_t(authors.recordCount())) + 1);
            if (random() % 2) {
                authors.edit();
                authors.field("Info").setAsString("changed " + tag);
                authors.post();
            } else {
                authors.remove();
            }
            return;
        }
        authors.appendRecord({Value(), Value("poet " + tag)});
        return;
    case 4:
        s.AddHistory("player " + tag, QDateTime(QDate(2026, 1, 1).addDays(i % 300), QTime(12, i % 60)));
        return;
    case 5:
        if (s.cdsHistory.recordCount() > 0) {
            s.cdsHistory.last();
            s.FinishHistory(int(s.cdsHistory.field("GameID").asInteger()), i, i % 20, i % 3);
            return;
        }
        s.AddHistory("player " + tag, QDateTime(QDate(2026, 1, 1), QTime(12, 0)));
        return;
    default:
        s.cdsPoem.appendRecord({Value(), Value("text " + tag + std::string(random() % 200, 'v')), Value(),
                                Value(int64_t(random() % 50)), Value("a"), Value("b"), Value("(1)")});
        return;
    }
}

// Every row of every table, and the key counters, as text.
std::string dump(PoemStore& s)
{
    std::string out;
    for (Table* t : {&s.cdsPoem, &s.cdsAuthors, &s.cdsCategories, &s.cdsHistory, &s.cdsPlayerPoem}) {
        out += t->name() + " next " + std::to_string(t->nextKey()) + "\n";
        for (int r = 0; r < t->rowCount(); ++r) {
            for (const Value& v : t->rowAt(r).cells)
                out += (v.isNull() ? "-" : v.isInteger() ? std::to_string(v.integer()) : std::string(v.text())) + "|";
            out += "\n";
        }
    }
    return out;
}

int write(const std::string& dir, uint64_t seed)
{
    PoemStore store(dir);
    store.OpenTables();
    std::printf("opened\n");
    std::fflush(stdout);
    for (int i = 1;; ++i) {
        change(store, seed, i);
        std::printf("committed %d\n", i);
        std::fflush(stdout);
    }
}

// The folder's tables after the first `count` changes of a round made in memory.
std::string expected(const std::string& before, uint64_t seed, int count)
{
    PoemStore model(before);
    model.OpenTables();
    for (Table* t : {&model.cdsPoem, &model.cdsAuthors, &model.cdsCategories, &model.cdsHistory,
                     &model.cdsPlayerPoem})
        t->setStorage(nullptr);
    for (int i = 1; i <= count; ++i)
        change(model, seed, i);
    return dump(model);
}

// A verse file for round `seed`: verses, poets and categories the folder has not seen yet.
std::string importSource(const std::string& path, uint64_t seed)
{
    std::string csv = "text,poet,categories\n";
    for (int i = 0; i < 1000; ++i)
        csv += "بيت رقم " + std::to_string(seed) + "." + std::to_string(i) + " من الشعر,شاعر " + std::to_string(seed % 100000) +
               "." + std::to_string(i / 20) + ",موضوع " + std::to_string(seed % 1000) + "." + std::to_string(i % 9) + "\n";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(csv.data(), 1, csv.size(), f);
    std::fclose(f);
    return path;
}

int importInto(const std::string& dir, const std::string& source, bool tell = true)
{
    PoemStore store(dir);
    store.OpenTables();
    exchange::ImportOptions options;
    options.writeReport = false;
    exchange::VerseImport import(store, source, options);
    const bool done = import.run().outcome == exchange::ImportResult::Outcome::Done;
    if (done && tell) {
        std::printf("committed 1\n");
        std::fflush(stdout);
    }
    store.CloseTables();
    return done ? 0 : 1;
}

// Starts the writer, kills it after waitMs, answers the last change it reported committed.
int runAndKill(const char* self, const std::string& dir, uint64_t seed, int waitMs, const std::string& source = {})
{
    int out[2];
    if (::pipe(out) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        if (source.empty())
            ::execl(self, self, "--write", dir.c_str(), std::to_string(seed).c_str(), nullptr);
        else
            ::execl(self, self, "--import-into", dir.c_str(), source.c_str(), nullptr);
        _exit(127);
    }
    ::close(out[1]);
    std::string seen;
    char buffer[4096];
    // A writer's time counts from the tables' opening, which takes seconds on a large folder; an
    // importer's from its start, so that the kills fall all over its short run.
    bool opened = !source.empty();
    auto end = std::chrono::steady_clock::now() + (opened ? std::chrono::milliseconds(waitMs) : std::chrono::minutes(5));
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{out[0], POLLIN, 0};
        if (::poll(&p, 1, int(left.count())) > 0) {
            const ssize_t n = ::read(out[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            seen.append(buffer, size_t(n));
            if (!opened && seen.find("opened\n") != std::string::npos) {
                opened = true;
                end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
            }
        }
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        seen.append(buffer, size_t(n));
    ::close(out[0]);
    // Only whole lines count: a line cut by the kill was not reported.
    int last = 0;
    size_t at = 0;
    for (size_t nl; (nl = seen.find('\n', at)) != std::string::npos; at = nl + 1)
        std::sscanf(seen.c_str() + at, "committed %d", &last);
    return last;
}

}  // namespace

// How the opening notice after an import stopped between its files' commits begins.
const char* const kImportUndone = "توقف البرنامج في آخر تشغيل أثناء حفظ استيراد لم يكتمل";

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--write") == 0)
        return write(argv[2], std::stoull(argv[3]));
    if (argc == 4 && std::strcmp(argv[1], "--import-into") == 0)
        return importInto(argv[2], argv[3]);
    int kills = 100;
    bool imports = false;
    uint64_t seed = uint64_t(std::random_device{}());
    std::string dir;
    for (int a = 1; a < argc; ++a)
        if (std::strcmp(argv[a], "--import") == 0) {
            imports = true;
            for (int b = a; b + 1 < argc; ++b)
                argv[b] = argv[b + 1];
            --argc;
            break;
        }
    for (int a = 1; a + 1 < argc; a += 2) {
        if (std::strcmp(argv[a], "--kills") == 0)
            kills = std::stoi(argv[a + 1]);
        else if (std::strcmp(argv[a], "--seed") == 0)
            seed = std::stoull(argv[a + 1]);
        else if (std::strcmp(argv[a], "--dir") == 0)
            dir = argv[a + 1];
    }
    bool ownDir = false;
    if (dir.empty()) {
        std::string pattern = (fs::temp_directory_path() / "barqeen-crash-XXXXXX").string();
        dir = ::mkdtemp(pattern.data());
        ownDir = true;
    }
    const std::string data = dir + "/data", before = dir + "/before";
    fs::create_directories(data);
    std::printf("crash check%s: %d kills, seed %llu, folder %s\n", imports ? " of imports" : "", kills,
                (unsigned long long)seed, dir.c_str());
    long whole = 0, none = 0;
    std::mt19937_64 random(seed);
    long reported = 0, beyond = 0, undone = 0, partial = 0, falseNotices = 0;
    int failures = 0;
    for (int round = 1; round <= kills; ++round) {
        try {
            {
                PoemStore check(data);  // opens, or makes the files on the first round
                check.OpenTables();
                check.CloseTables();
            }
            fs::remove_all(before);
            fs::copy(data, before);
            const uint64_t roundSeed = random();
            if (imports) {
                const std::string source = importSource(dir + "/source.csv", roundSeed);
                const int waitMs = 20 + int(random() % 600);
                const bool said = runAndKill(argv[0], data, roundSeed, waitMs, source) == 1;
                PoemStore after(data);
                after.OpenTables();
                const std::string found = dump(after);
                const std::string notice = after.openingNotice();
                after.CloseTables();
                const std::string unchanged = [&] {
                    PoemStore model(before);
                    model.OpenTables();
                    return dump(model);
                }();
                const std::string imported = [&] {
                    const std::string copy = dir + "/model";
                    fs::remove_all(copy);
                    fs::copy(before, copy, fs::copy_options::recursive);
                    importInto(copy, source, false);
                    PoemStore model(copy);
                    model.OpenTables();
                    return dump(model);
                }();
                if (imported == unchanged) {
                    ++failures;
                    std::printf("round %d: the import took nothing, so the round proves nothing\n", round);
                    continue;
                }
                const bool all = found == imported, nothing = found == unchanged;
                whole += all;
                none += nothing;
                if (!(all || (nothing && !said))) {
                    ++failures;
                    ++partial;
                    std::printf("round %d: the tables hold %s of the import%s\n", round, nothing ? "none" : "a part",
                                said ? " the importer said was done" : "");
                }
                // The one thing to be told after a kill: that an import stopped between its files'
                // commits was undone, and only when the tables hold none of it.
                const bool undoneTold = notice.rfind(kImportUndone, 0) == 0 && notice.find("سجلّ") == std::string::npos &&
                                        notice.find("للقراءة فقط") == std::string::npos;
                if (!notice.empty() && !(undoneTold && nothing)) {
                    ++failures;
                    ++falseNotices;
                    std::printf("round %d: the opening told: %s\n", round, notice.c_str());
                }
                undone += undoneTold && nothing;
                continue;
            }
            const int waitMs = 20 + int(random() % 400);
            const int committed = runAndKill(argv[0], data, roundSeed, waitMs);
            PoemStore after(data);
            after.OpenTables();
            const std::string found = dump(after);
            const std::string notice = after.openingNotice();
            after.CloseTables();
            // Nothing was damaged: a log set aside, or told damaged or missing, would be a false alarm.
            if (!notice.empty()) {
                ++failures;
                std::printf("round %d: the opening told: %s\n", round, notice.c_str());
            }
            const bool exact = found == expected(before, roundSeed, committed);
            const bool oneMore = !exact && found == expected(before, roundSeed, committed + 1);
            reported += committed;
            beyond += oneMore;
            if (!exact && !oneMore) {
                ++failures;
                std::printf("round %d: the files do not hold the %d changes reported committed\n", round, committed);
            }
        } catch (const std::exception& e) {
            ++failures;
            std::printf("round %d: %s\n", round, e.what());
        }
    }
    if (imports) {
        std::printf("%d kills of imports: %ld found whole, %ld found not begun (%ld of them undone at the start, as "
                    "told), none partial: %s, no other notice: %s, no failure: %s\n",
                    kills, whole, none, undone, partial ? "NO" : "yes", falseNotices ? "NO" : "yes",
                    failures ? "NO" : "yes");
        if (ownDir && !failures)
            fs::remove_all(dir);
        return failures ? 1 : 0;
    }
    std::printf("%d kills, %ld changes reported committed, all found intact: %s "
                "(%ld rounds also kept the change being made at the kill)\n",
                kills, reported, failures ? "NO" : "yes", beyond);
    if (ownDir && !failures)
        fs::remove_all(dir);
    return failures ? 1 : 0;
}
