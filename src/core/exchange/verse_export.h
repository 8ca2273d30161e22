#pragma once
// Writing verses out: the whole verse table or the verses of the current selection, with their
// poets' and categories' names, as UTF-8 CSV, TSV, JSON Lines or plain text (one verse a line,
// a TAB between the hemistichs). The file appears whole or not at all: it is written beside
// its place and renamed over it at the end, so a cancelled or failed export leaves what was there.
#include "core/exchange/formats.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace barqeen {
class PoemStore;
class Table;
}

namespace barqeen::exchange {

// Rows of the verse table, by their index among all its rows.
std::vector<int> allVerses(const Table& poem);
std::vector<int> selectedVerses(const Table& poem);  // the rows the filter in force shows

struct ExportResult {
    enum class Outcome { Running, Done, Cancelled, Failed };
    Outcome outcome = Outcome::Running;
    std::string path;
    Format format = Format::Auto;
    size_t written = 0;
    std::string error;  // Failed: why, in Arabic (UTF-8)
};

class VerseExport {
public:
    // format Auto: from the file's name, CSV when the name tells nothing.
    VerseExport(PoemStore& store, std::vector<int> rows, std::string path, Format format = Format::Auto);
    ~VerseExport();  // an unfinished export is cancelled
    // An existing file is written over only when allowed (the save dialog asked); the program's
    // own table files never are.
    void allowOverwrite(bool allowed);
    VerseExport(const VerseExport&) = delete;
    VerseExport& operator=(const VerseExport&) = delete;

    bool step(std::chrono::milliseconds budget);  // false once ended
    const ExportResult& run();
    void cancel();
    double progress() const;
    const ExportResult& result() const { return result_; }

private:
    struct Work;
    std::unique_ptr<Work> work_;
    ExportResult result_;
};

// "الأبيات المصدّرة: 12 ..." or why nothing was written.
std::string exportSummary(const ExportResult& result);

}  // namespace barqeen::exchange
