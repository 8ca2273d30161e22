#include "core/exchange/verse_import.h"

#include "core/common/error.h"
#include "core/common/huge_pages.h"
#include "core/exchange/form_set.h"
#include "core/exchange/import_report.h"
#include "core/exchange/record_reader.h"
#include "core/exchange/tables_batch.h"
#include "core/store/category_set.h"
#include "core/store/poem_store.h"
#include "core/text/letters.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_map>

namespace barqeen::exchange {
namespace {

using Clock = std::chrono::steady_clock;

// The end of one slice of work.
struct Deadline {
    Clock::time_point at;
    bool ahead() const { return Clock::now() < at; }
};

// The smallest pieces of work: one step does at least one of them, and goes on while its time lasts.
constexpr size_t kReadPiece = size_t(8) << 20;
constexpr size_t kWritePiece = 20000;
constexpr int kCheckPiece = 128;
constexpr size_t kExcerpt = 160;
// No record of verse is this long, not even a poem of many verses on one JSON line: a longer
// line is no verse file's (a dump, a file of zeroes), and is not read on.
constexpr size_t kLongestLine = size_t(1) << 20;
constexpr size_t kFirstVerses = 100;
// A plain-text file of more verses than this is a collection, not poems to name a meter for.
constexpr size_t kPoemVersesAtMost = 2000;

// The start of a line for the report, cut at a character's boundary.
std::string excerptOf(std::string_view raw)
{
    size_t end = raw.size();
    if (end > kExcerpt) {
        end = kExcerpt;
        while (end > 0 && (uint8_t(raw[end]) & 0xC0) == 0x80)
            --end;
    }
    std::string out(raw.substr(0, end));
    std::replace_if(out.begin(), out.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return end < raw.size() ? out + "…" : out;
}

std::string systemReason(int error)
{
    return "\u2066(" + std::string(std::strerror(error)) + ")\u2069";
}

// Each name once, the first row that bears it: the table's rows, then those the files before
// this one would add to it.
std::unordered_map<std::string, int64_t> keysByName(const Table& table, const char* nameField,
                                                    const std::vector<Row>& madeBefore)
{
    std::unordered_map<std::string, int64_t> keys;
    const size_t key = size_t(table.keyField()->column());
    const size_t name = size_t(table.field(nameField).column());
    const auto take = [&](const Row& row) {
        keys.try_emplace(tidyName(row.cells[name].text()), row.cells[key].integer());
    };
    for (int r = 0; r < table.rowCount(); ++r)
        take(table.rowAt(r));
    for (const Row& row : madeBefore)
        take(row);
    return keys;
}

const RowsOfFilesBefore kNoFilesBefore;

// A pending edit is settled as the next move would settle it, before the tables are read.
void settle(Table& table)
{
    if (table.state() != Table::State::Edit && table.state() != Table::State::Insert)
        return;
    if (table.modified())
        table.post();
    else
        table.cancel();
}

// Follows the length of the line being read across the pieces of a file (lines end in LF, CR LF
// or a CR alone).
class LineLength {
public:
    // false once a line is longer than kLongestLine.
    bool add(std::string_view piece)
    {
        for (size_t at = 0; at < piece.size();) {
            const auto* lf = static_cast<const char*>(std::memchr(piece.data() + at, '\n', piece.size() - at));
            const size_t end = lf ? size_t(lf - piece.data()) : piece.size();
            if (current_ + (end - at) > kLongestLine) {
                // Long so far: only a CR alone may still end lines in it.
                for (size_t i = at; i < end; ++i)
                    if ((current_ = piece[i] == '\r' ? 0 : current_ + 1) > kLongestLine)
                        return false;
            } else {
                current_ += end - at;
            }
            if (lf)
                current_ = 0;
            at = end + 1;
        }
        return true;
    }

private:
    size_t current_ = 0;
};

// A JSON document (an array of verses or poems) may be written on one line of any length.
bool opensJsonArray(std::string_view start)
{
    const size_t first = start.find_first_not_of(std::string_view("\xEF\xBB\xBF\xFF\xFE\0 \t\r\n", 10));
    return first != std::string_view::npos && start[first] == '[';
}

}  // namespace

std::array<size_t, kRefusalKinds> ImportResult::refusedBy() const
{
    std::array<size_t, kRefusalKinds> counts{};
    for (const RefusedLine& r : refused)
        ++counts[size_t(r.reason)];
    return counts;
}

struct VerseImport::Work {
    enum class Stage { Open, Read, Index, Check, Write, Commit, Report, Ended };

    Work(PoemStore& s, std::string p, ImportOptions o) : store(s), path(std::move(p)), options(o), batch(s) {}
    ~Work()
    {
        if (fd >= 0)
            ::close(fd);
    }

    PoemStore& store;
    std::string path;
    ImportOptions options;
    Stage stage = Stage::Open;

    int fd = -1;
    size_t fileSize = 0;
    LineLength lineLength;
    bool jsonArray = false;
    std::string bytes;
    std::string text;  // the whole file as UTF-8
    std::unique_ptr<RecordReader> reader;

    FieldLimits limits;
    int textColumn = 0, authorColumn = 0, startColumn = 0, endColumn = 0, categoriesColumn = 0;
    int rowsIndexed = 0;
    FormSet forms;
    std::string form, otherForm;
    std::unordered_map<std::string, int64_t> poets, categories;
    std::vector<Row> newVerses, newPoets, newCategories;
    std::vector<int> newVerseLines;
    SourceRecord record;
    VerseFields verse;
    TablesBatch batch;

    // The verses of the poems of a plain-text file, each poem from a heading to the next.
    struct PoemVerses {
        std::vector<int> lines;
        std::vector<std::string> texts;
    };
    std::vector<PoemVerses> poemVerses{1};
    size_t poemVerseCount = 0;

    bool readsPoems(const ImportResult& result) const
    {
        return options.poemMeter && result.format == Format::Text && poemVerseCount <= kPoemVersesAtMost;
    }

    void keepPoemVerse(const ImportResult& result)
    {
        if (!readsPoems(result))
            return;
        ++poemVerseCount;
        poemVerses.back().lines.push_back(record.line);
        poemVerses.back().texts.push_back(verse.text);
    }

    // Each poem of two verses or more, its meter named from all of them, repeats of verses the
    // table already holds included: they are the poem's verses all the same.
    void namePoemMeters(ImportResult& result)
    {
        if (!readsPoems(result))
            return;
        for (PoemVerses& poem : poemVerses) {
            if (poem.texts.size() < 2)
                continue;
            ImportResult::PoemMeter named;
            named.firstLine = poem.lines.front();
            named.verses = int(poem.texts.size());
            named.note = options.poemMeter(poem.texts);
            for (const int v : named.note.notFitting)
                named.notFittingLines.push_back(poem.lines[size_t(v)]);
            for (const int v : named.note.unread)
                named.unreadLines.push_back(poem.lines[size_t(v)]);
            result.poems.push_back(std::move(named));
        }
        poemVerses.clear();
    }

    const RowsOfFilesBefore& before() const { return options.filesBefore ? *options.filesBefore : kNoFilesBefore; }

    // The verses the repeat check knows, by reference: the table's rows first, then the rows of
    // the files before this one.
    int knownVerses() const { return store.cdsPoem.rowCount() + int(before().verses.size()); }
    const Row& knownVerse(int32_t ref) const
    {
        const Table& poem = store.cdsPoem;
        return ref < poem.rowCount() ? poem.rowAt(ref) : before().verses[size_t(ref - poem.rowCount())];
    }

    // The key of a poet or category by its name; one that is not there yet is made, with the key
    // after those of the table and of the files before.
    int64_t keyOf(std::unordered_map<std::string, int64_t>& keys, const Table& table, const char* nameField,
                  const std::vector<Row>& madeBefore, std::vector<Row>& made, const std::string& name)
    {
        const auto [it, isNew] =
            keys.try_emplace(name, table.nextKey() + int64_t(madeBefore.size()) + int64_t(made.size()));
        if (isNew) {
            Row row{Cells(table.storedFieldDefs().size()), Value()};
            row.cells[size_t(table.keyField()->column())] = Value(it->second);
            row.cells[size_t(table.field(nameField).column())] = Value(name);
            made.push_back(std::move(row));
        }
        return it->second;
    }

    // The verse just checked as a row of the verse table, with the next free key.
    Row verseRow()
    {
        Table& poem = store.cdsPoem;
        Row row{Cells(poem.storedFieldDefs().size()), Value()};
        row.cells[size_t(poem.keyField()->column())] =
            Value(poem.nextKey() + int64_t(before().verses.size()) + int64_t(newVerses.size()));
        row.cells[size_t(textColumn)] = Value(verse.text);
        if (!verse.poet.empty())
            row.cells[size_t(authorColumn)] =
                Value(keyOf(poets, store.cdsAuthors, "AuthorName", before().poets, newPoets, verse.poet));
        row.cells[size_t(startColumn)] = Value(std::string_view(&verse.firstLetter, 1));
        row.cells[size_t(endColumn)] = Value(std::string_view(&verse.lastLetter, 1));
        if (!verse.categories.empty()) {
            std::vector<int32_t> tags;
            for (const std::string& name : verse.categories)
                tags.push_back(int32_t(
                    keyOf(categories, store.cdsCategories, "CategoryName", before().categories, newCategories, name)));
            // In the categories' own order, as the verse window writes them.
            std::sort(tags.begin(), tags.end());
            row.cells[size_t(categoriesColumn)] = Value(category_set::Write(tags));
        }
        return row;
    }

    // The stages, each run for one slice of work; each moves the stage on when it is done.

    // The tables settled and the file opened, after the checks that it is a plain file.
    void open()
    {
        for (Table* t : {&store.cdsPoem, &store.cdsAuthors, &store.cdsCategories}) {
            if (!t->active())
                throw Error("جداول البرنامج ليست مفتوحة.");
            settle(*t);
        }
        // Opened without waiting: a named pipe would hold the import, and the tables, until
        // something wrote to it.
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0)
            throw Error("تعذّر فتح الملف \u2066" + path + "\u2069 " + systemReason(errno) + ".");
        if (S_ISDIR(st.st_mode))
            throw Error("\u2066" + path + "\u2069 مجلد وليس ملفًا.");
        if (!S_ISREG(st.st_mode))
            throw Error("\u2066" + path +
                        "\u2069 ليس ملفًا عاديًا (أنبوب أو جهاز أو ما يشبههما)، فلم يُقرأ منه شيء.");
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        fileSize = size_t(st.st_size);
        // Room for the last piece's read too, so that the file is never copied to a larger buffer.
        bytes.reserve(fileSize + kReadPiece);
        AdviseHugePages(bytes.data(), bytes.capacity());
        stage = Stage::Read;
    }

    // Reads on until the file's end or the slice's end.
    void readSome(const Deadline& deadline, ImportResult& result)
    {
        bool atEnd = false;
        for (bool first = true; !atEnd && (first || deadline.ahead()); first = false) {
            const size_t had = bytes.size();
            bytes.resize(had + kReadPiece);
            const ssize_t got = ::read(fd, bytes.data() + had, kReadPiece);
            if (got < 0) {
                const int error = errno;
                if (error == EINTR) {
                    bytes.resize(had);
                    first = true;
                    continue;
                }
                throw Error("تعذّرت قراءة الملف \u2066" + path + "\u2069 " + systemReason(error) + ".");
            }
            bytes.resize(had + size_t(got));
            atEnd = got == 0;
            if (bytes.size() > fileSize)
                throw Error("تغيّر الملف \u2066" + path + "\u2069 أثناء قراءته، فلم يُستورد منه شيء.");
            if (had == 0)
                jsonArray = opensJsonArray(std::string_view(bytes).substr(0, 4096));
            if (!jsonArray && !lineLength.add(std::string_view(bytes).substr(had)))
                throw Error("في الملف \u2066" + path + "\u2069 سطر أطول من " + std::to_string(kLongestLine) +
                            " بايت، ولا يطول سطر بيت هذا الطول، فلم يُستورد منه شيء.");
        }
        if (atEnd)
            takeText(result);
    }

    // The whole file read: its text as UTF-8, its format, its reader.
    void takeText(ImportResult& result)
    {
        if (bytes.size() != fileSize)
            throw Error("تغيّر الملف \u2066" + path + "\u2069 أثناء قراءته، فلم يُستورد منه شيء.");
        ::close(fd);
        fd = -1;
        text = decodeToUtf8(std::move(bytes), options.encoding, result.encoding);
        bytes = std::string();
        if (result.format == Format::Auto)
            result.format = formatOf(path, text);
        result.jsonArray = jsonArray && result.format == Format::JsonLines;
        // A header without a verse column refuses all.
        reader = makeReader(result.format, text, ReadOptions{options.layout, options.headingPoet});
        result.layout = reader->layout();

        prepareCheck();
    }

    // What the check needs of the tables: field sizes, columns, the names already there.
    void prepareCheck()
    {
        PoemStore& s = store;
        limits.poet = size_t(s.cdsAuthors.field("AuthorName").size());
        limits.category = size_t(s.cdsCategories.field("CategoryName").size());
        textColumn = s.cdsPoem.field("Text").column();
        authorColumn = s.cdsPoem.field("AuthorID").column();
        startColumn = s.cdsPoem.field("StartLetter").column();
        endColumn = s.cdsPoem.field("EndLetter").column();
        categoriesColumn = s.cdsPoem.field("Categories").column();
        poets = keysByName(s.cdsAuthors, "AuthorName", before().poets);
        categories = keysByName(s.cdsCategories, "CategoryName", before().categories);
        forms.reserve(size_t(knownVerses()) + size_t(std::count(text.begin(), text.end(), '\n')) + 1);
        stage = Stage::Index;
    }

    // The matching forms of the verses already in the table (and the files before), for the
    // repeat check.
    void indexSome(const Deadline& deadline)
    {
        const int known = knownVerses();
        for (bool first = true; rowsIndexed < known && (first || deadline.ahead()); first = false) {
            for (const int end = std::min(known, rowsIndexed + 4096); rowsIndexed < end; ++rowsIndexed) {
                NormalizeTextInto(knownVerse(rowsIndexed).cells[size_t(textColumn)].text(), form);
                forms.insert(FormSet::hashOf(form), rowsIndexed);
            }
        }
        if (rowsIndexed == known)
            stage = Stage::Check;
    }

    // Checks the file's records, each against the table and the records before it.
    void checkSome(const Deadline& deadline, ImportResult& result)
    {
        const size_t keyColumn = size_t(store.cdsPoem.keyField()->column());
        const auto formOf = [&](int32_t ref) -> const std::string& {
            const Row& row = ref >= 0 ? knownVerse(ref) : newVerses[size_t(-ref - 1)];
            NormalizeTextInto(row.cells[size_t(textColumn)].text(), otherForm);
            return otherForm;
        };
        for (int n = 1;; ++n) {
            if (n % kCheckPiece == 0 && !deadline.ahead())
                break;
            if (!reader->next(record)) {
                namePoemMeters(result);
                stage = Stage::Write;
                break;
            }
            if (record.heading) {
                result.headings.push_back({record.line, record.text});
                if (!poemVerses.back().texts.empty())
                    poemVerses.emplace_back();  // a title: the next poem begins
                continue;
            }
            const auto refuse = [&](Refusal reason, std::string detail) {
                result.refused.push_back(
                    {record.line, record.lastLine, reason, std::move(detail), excerptOf(record.raw)});
            };
            if (auto refused = verseFromRecord(record, limits, verse)) {
                refuse(refused->reason, std::move(refused->detail));
                continue;
            }
            keepPoemVerse(result);
            NormalizeTextInto(verse.text, form);
            const uint64_t hash = FormSet::hashOf(form);
            if (const auto same = forms.find(hash, [&](int32_t ref) { return formOf(ref) == form; })) {
                if (*same >= 0)
                    refuse(Refusal::DuplicateInTable,
                           "الرقم المتسلسل " + std::to_string(knownVerse(*same).cells[keyColumn].integer()));
                else
                    refuse(Refusal::DuplicateInFile,
                           "السطر " + std::to_string(newVerseLines[size_t(-*same - 1)]));
                continue;
            }
            forms.insert(hash, -int32_t(newVerses.size()) - 1);
            newVerseLines.push_back(record.line);
            newVerses.push_back(verseRow());
            result.toTake = newVerses.size();
            result.folded += verse.folded;
            if (result.firstVerses.size() < kFirstVerses)
                result.firstVerses.push_back({record.line, verse});
        }
    }

    // Writes the new rows into the open transactions; a dry run only counts them.
    void writeSome(const Deadline& deadline, ImportResult& result)
    {
        if (options.dryRun) {
            result.taken = newVerses.size();
            result.newPoets = newPoets.size();
            result.newCategories = newCategories.size();
            if (RowsOfFilesBefore* rows = options.filesBefore) {
                const auto join = [](std::vector<Row>& to, std::vector<Row>& from) {
                    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
                    from.clear();
                };
                join(rows->verses, newVerses);
                join(rows->poets, newPoets);
                join(rows->categories, newCategories);
            }
            stage = options.writeReport ? Stage::Report : Stage::Ended;
            return;
        }
        if (batch.rowsInAll() == 0) {
            result.taken = newVerses.size();
            result.newPoets = newPoets.size();
            result.newCategories = newCategories.size();
            batch.add(store.cdsAuthors, std::move(newPoets));
            batch.add(store.cdsCategories, std::move(newCategories));
            batch.add(store.cdsPoem, std::move(newVerses));
            forms = FormSet();
            text = std::string();
        }
        bool more = batch.rowsInAll() > 0;
        for (bool first = true; more && (first || deadline.ahead()); first = false)
            more = batch.write(kWritePiece);
        if (!more)
            stage = Stage::Commit;
    }
};

VerseImport::VerseImport(PoemStore& store, std::string path, ImportOptions options)
    : work_(std::make_unique<Work>(store, path, options))
{
    result_.source = std::move(path);
    result_.format = options.format;
    result_.encoding = options.encoding;
    result_.layout = options.layout;
    result_.dryRun = options.dryRun;
}

VerseImport::~VerseImport()
{
    if (cancellable())
        cancel();
}

const ImportResult& VerseImport::run()
{
    while (step(std::chrono::hours(1))) {
    }
    return result_;
}

bool VerseImport::cancellable() const
{
    return work_ && result_.outcome == ImportResult::Outcome::Running && work_->stage < Work::Stage::Commit;
}

bool VerseImport::cancel()
{
    if (result_.outcome == ImportResult::Outcome::Cancelled)
        return true;
    // Until the step that commits has run, nothing is in the tables.
    const bool committed = !work_ || result_.outcome != ImportResult::Outcome::Running || work_->stage > Work::Stage::Commit;
    if (committed) {
        // Too late: the tables hold the import, and the summary must say so.
        if (result_.outcome != ImportResult::Outcome::Failed)
            result_.cancelRefused = true;
        return false;
    }
    work_.reset();  // rolls back what was written
    result_.outcome = ImportResult::Outcome::Cancelled;
    result_.refused.clear();
    return true;
}

double VerseImport::progress() const
{
    using Stage = Work::Stage;
    if (!work_ || result_.outcome != ImportResult::Outcome::Running)
        return 1.0;
    const Work& w = *work_;
    const auto part = [](double done, double all) { return all > 0 ? std::min(1.0, done / all) : 0.0; };
    switch (w.stage) {
    case Stage::Open: return 0.0;
    case Stage::Read: return 0.10 * part(double(w.bytes.size()), double(w.fileSize));
    case Stage::Index: return 0.10 + 0.05 * part(w.rowsIndexed, w.knownVerses());
    case Stage::Check: return 0.15 + 0.45 * part(double(w.reader->consumed()), double(w.text.size()));
    case Stage::Write: return 0.60 + 0.37 * part(double(w.batch.rowsWritten()), double(w.batch.rowsInAll()));
    case Stage::Commit:
    case Stage::Report: return 0.97;
    case Stage::Ended: break;
    }
    return 1.0;
}

std::string VerseImport::stage() const
{
    using Stage = Work::Stage;
    if (!work_ || result_.outcome != ImportResult::Outcome::Running)
        return "انتهى";
    switch (work_->stage) {
    case Stage::Open:
    case Stage::Read: return "قراءة الملف";
    case Stage::Index: return "مقارنة بالأبيات الموجودة";
    case Stage::Check: return "فحص الأسطر";
    case Stage::Write: return "كتابة الجداول";
    case Stage::Commit: return "حفظ الاستيراد";
    case Stage::Report: return "كتابة التقرير";
    case Stage::Ended: break;
    }
    return "انتهى";
}

bool VerseImport::step(std::chrono::milliseconds budget)
{
    using Stage = Work::Stage;
    if (!work_ || result_.outcome != ImportResult::Outcome::Running)
        return false;
    Work& w = *work_;
    const Deadline deadline{Clock::now() + budget};
    try {
        switch (w.stage) {
        case Stage::Open: w.open(); break;
        case Stage::Read: w.readSome(deadline, result_); break;
        case Stage::Index: w.indexSome(deadline); break;
        case Stage::Check: w.checkSome(deadline, result_); break;
        case Stage::Write: w.writeSome(deadline, result_); break;
        case Stage::Commit:
            w.batch.commit();
            w.stage = w.options.writeReport ? Stage::Report : Stage::Ended;
            break;
        case Stage::Report:
            writeReport(result_);
            w.stage = Stage::Ended;
            break;
        case Stage::Ended:
            break;
        }
    } catch (const std::exception& e) {
        const bool badAlloc = dynamic_cast<const std::bad_alloc*>(&e) != nullptr;
        work_.reset();  // rolls back what was written
        result_.outcome = ImportResult::Outcome::Failed;
        result_.error = badAlloc ? "لا تكفي الذاكرة لاستيراد هذا الملف؛ لم يُستورد منه شيء." : e.what();
        result_.refused.clear();
        result_.headings.clear();
        result_.firstVerses.clear();
        result_.taken = result_.newPoets = result_.newCategories = result_.toTake = 0;
        return false;
    }
    if (w.stage != Stage::Ended)
        return true;
    work_.reset();
    result_.outcome = ImportResult::Outcome::Done;
    return false;
}

}  // namespace barqeen::exchange
