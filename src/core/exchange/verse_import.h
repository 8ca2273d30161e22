#pragma once
// Bringing a verse file into the tables: the file is read and checked line by line, the verses
// that can be taken are written to the verse table, with the poets and categories they name
// found by name or made, all as one change; every other line is refused with its reason. The
// work is done in slices (step) so that a window stays responsive and can cancel; cancelling
// or a failure at any point leaves the tables as they were, in memory and in their files.
#include "core/exchange/files_before.h"
#include "core/exchange/formats.h"
#include "core/exchange/text_layout.h"
#include "core/exchange/verse_fields.h"

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace barqeen {
class PoemStore;
}

namespace barqeen::exchange {

// A poem's meter decided from all its verses, as the meter scanner tells it (indices into the
// verses it was given).
struct PoemMeterNote {
    bool known = false;
    std::string meter;  // UTF-8, when known
    int fitting = 0;
    std::vector<int> notFitting;  // read as another meter
    std::vector<int> unread;      // no meter reads them
};
using PoemMeterReader = std::function<PoemMeterNote(const std::vector<std::string>& verses)>;

struct ImportOptions {
    Format format = Format::Auto;
    Encoding encoding = Encoding::Auto;
    TextLayout layout;                             // plain text: Auto decides from the file
    HeadingPoet headingPoet = HeadingPoet::None;  // plain text: a heading line that names the poet
    bool writeReport = true;                       // the report file beside the source
    bool dryRun = false;                           // check and report everything, store nothing
    // A dry run over several files: the rows the files checked before this one would add. This
    // file is checked against them as against the tables, and its own rows join them once it is
    // checked. Null: the tables alone.
    RowsOfFilesBefore* filesBefore = nullptr;
    // Plain text of a poem or a few (split at their headings): each poem's meter, named from all
    // its verses (Windows-1256 texts) by the layer that knows the meters. None without it.
    PoemMeterReader poemMeter;
};

struct RefusedLine {
    int line = 0;
    int lastLine = 0;  // a record over several lines ends here
    Refusal reason = Refusal::Malformed;
    std::string detail;   // UTF-8
    std::string excerpt;  // the start of the line as the file has it, UTF-8
};

struct ImportResult {
    enum class Outcome { Running, Done, Cancelled, Failed };
    Outcome outcome = Outcome::Running;
    std::string source;  // the file's path
    std::string error;   // Failed: why, in Arabic (UTF-8); nothing was stored
    Format format = Format::Auto;
    bool jsonArray = false;  // JsonLines: the file is one JSON array, not a record a line
    Encoding encoding = Encoding::Auto;
    TextLayout layout;  // plain text: the one used
    bool dryRun = false;
    size_t taken = 0;
    size_t newPoets = 0;
    size_t newCategories = 0;
    std::vector<RefusedLine> refused;  // in line order

    struct Heading {
        int line = 0;
        std::string text;  // UTF-8
    };
    std::vector<Heading> headings;  // plain text: titles and names among the verses, not stored

    // Plain text read as poems: each poem's meter, its verses by the lines they start on.
    struct PoemMeter {
        int firstLine = 0;
        int verses = 0;
        PoemMeterNote note;
        std::vector<int> notFittingLines, unreadLines;
    };
    std::vector<PoemMeter> poems;

    // The first verses to be taken, as they will be stored, and how many are to be taken so far.
    struct Verse {
        int line = 0;
        VerseFields fields;
    };
    std::vector<Verse> firstVerses;
    size_t toTake = 0;
    FoldCounts folded;  // in the verses to be taken
    std::string reportPath;            // the report written, if any
    std::string reportError;           // why the report could not be written
    bool cancelRefused = false;        // a cancel came after the commit had begun: everything was stored

    std::array<size_t, kRefusalKinds> refusedBy() const;
};

class VerseImport {
public:
    VerseImport(PoemStore& store, std::string path, ImportOptions options = {});
    ~VerseImport();  // an import not yet committed is cancelled
    VerseImport(const VerseImport&) = delete;
    VerseImport& operator=(const VerseImport&) = delete;

    // Does about `budget` of work; false once the import has ended (result().outcome).
    bool step(std::chrono::milliseconds budget);
    // Every step at once.
    const ImportResult& run();
    // Stops an import whose commit has not begun; nothing of it is kept (true). Once the commit
    // has run it is refused (false): what is committed stays, and the result says a cancel came late.
    bool cancel();
    // A cancel would still take effect. Turns false just before the step that commits, so a
    // window can refuse the cancel before the work becomes final.
    bool cancellable() const;

    double progress() const;    // 0 to 1
    std::string stage() const;  // what it is doing, in Arabic (UTF-8)
    const ImportResult& result() const { return result_; }

private:
    struct Work;
    std::unique_ptr<Work> work_;
    ImportResult result_;
};

}  // namespace barqeen::exchange
