#include "core/exchange/verse_export.h"

#include "core/common/error.h"
#include "core/exchange/columns.h"
#include "core/store/category_set.h"
#include "core/store/poem_store.h"
#include "core/text/codepage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

namespace barqeen::exchange {
namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kFlushAt = size_t(1) << 20;

std::string systemReason(int error)
{
    return "\u2066(" + std::string(std::strerror(error)) + ")\u2069";
}

// One cell of a CSV or TSV row, quoted when it must be.
void appendCell(std::string& out, std::string_view utf8, char separator)
{
    const bool quote = utf8.find_first_of(std::string{separator, '"', '\r', '\n'}) != std::string_view::npos ||
                       (!utf8.empty() && (utf8.front() == ' ' || utf8.back() == ' '));
    if (!quote) {
        out += utf8;
        return;
    }
    out += '"';
    for (const char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendJsonString(std::string& out, std::string_view utf8)
{
    out += '"';
    for (const char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (uint8_t(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(uint8_t(c)));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

}  // namespace

std::vector<int> allVerses(const Table& poem)
{
    std::vector<int> rows(size_t(poem.rowCount()));
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = int(i);
    return rows;
}

std::vector<int> selectedVerses(const Table& poem)
{
    std::vector<int> rows(size_t(poem.recordCount()));
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = poem.rowIndexAtPosition(int(i));
    return rows;
}

struct VerseExport::Work {
    Work(PoemStore& s, std::vector<int> r, std::string p, Format f)
        : store(s), rows(std::move(r)), path(std::move(p)), format(f),
          separator(f == Format::Tsv ? '\t' : ','), lineEnd(f == Format::Csv || f == Format::Tsv ? "\r\n" : "\n")
    {
    }
    ~Work()
    {
        if (fd >= 0) {
            ::close(fd);
            ::unlink(temp.c_str());
        }
    }

    PoemStore& store;
    std::vector<int> rows;
    std::string path;
    const Format format;
    const char separator;
    const char* const lineEnd;
    std::string temp;
    bool overwrite = false;
    int fd = -1;
    size_t next = 0;
    std::string out;
    std::vector<std::string> categoryNames;  // UTF-8, by key

    // The columns of the verse table and the authors' names, found once.
    struct Columns {
        int text, author, start, end, categories, authorName;
    };
    std::optional<Columns> columns;

    // One verse as the file holds it, UTF-8.
    struct Line {
        std::string verse, poet, first, last;
        std::vector<std::string_view> categories;
    } line;
    std::string joined;

    // The file made new beside its place (<file>.part), the categories' names read, the header
    // written.
    void open()
    {
        const Table& poem = store.cdsPoem;
        if (!poem.active())
            throw Error("جداول البرنامج ليست مفتوحة.");
        if (store.ownsFile(path))
            throw Error("لا تُصدَّر الأبيات إلى \u2068" + path + "\u2069: إنه من ملفات جداول البرنامج. اختر ملفًا آخر.");
        if (struct stat st {}; !overwrite && ::lstat(path.c_str(), &st) == 0)
            throw Error("الملف \u2068" + path +
                        "\u2069 موجود، فلم يُكتب فوقه شيء. اختر اسمًا آخر، أو اطلب الكتابة فوقه (--overwrite).");
        temp = path + ".part";
        // Made new: whatever was planted under the name (a link, another file) goes, and is
        // never followed or written into.
        std::remove(temp.c_str());
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0)
            throw Error("تعذّر إنشاء الملف \u2068" + path + "\u2069 " + systemReason(errno) + ".");
        readCategoryNames();
        columns = Columns{poem.field("Text").column(),       poem.field("AuthorID").column(),
                          poem.field("StartLetter").column(), poem.field("EndLetter").column(),
                          poem.field("Categories").column(),  store.cdsAuthors.field("AuthorName").column()};
        if (format == Format::Csv || format == Format::Tsv) {
            out += "\xEF\xBB\xBF";  // spreadsheets read the file as UTF-8 only with its mark
            const Column header[] = {Column::Text, Column::Poet, Column::Categories, Column::FirstLetter,
                                     Column::LastLetter};
            for (size_t c = 0; c < std::size(header); ++c) {
                if (c)
                    out += separator;
                out += columnName(header[c]);
            }
            out += lineEnd;
        }
    }

    void readCategoryNames()
    {
        const Table& categories = store.cdsCategories;
        const size_t key = size_t(categories.keyField()->column());
        const size_t name = size_t(categories.field("CategoryName").column());
        for (int r = 0; r < categories.rowCount(); ++r) {
            const int64_t k = categories.rowAt(r).cells[key].integer();
            if (k < 0 || k > (int64_t(1) << 24))
                continue;
            if (size_t(k) >= categoryNames.size())
                categoryNames.resize(size_t(k) + 1);
            categoryNames[size_t(k)] = codepage::toUtf8(categories.rowAt(r).cells[name].text());
        }
    }

    // The categories' names of a category-set text such as (3)(12), read as the verse window
    // reads it: the categories it ticks are the ones written. Tags of deleted categories go.
    void namesOf(std::string_view tags, std::vector<std::string_view>& names) const
    {
        names.clear();
        category_set::ForEachId(tags, [&](int32_t key) {
            if (key >= 0 && size_t(key) < categoryNames.size() && !categoryNames[size_t(key)].empty())
                names.push_back(categoryNames[size_t(key)]);
        });
    }

    // Writes the next verses until all are written or the slice ends; true when all are.
    bool writeSome(Clock::time_point deadline)
    {
        for (size_t n = 0; next < rows.size() && (n % 1024 != 0 || Clock::now() < deadline); ++n) {
            readLine(store.cdsPoem.rowAt(rows[next++]));
            if (format == Format::JsonLines)
                appendJsonLine();
            else if (format == Format::Text)
                appendTextLine();
            else
                appendDelimitedLine();
            out += lineEnd;
            if (out.size() >= kFlushAt)
                flush();
        }
        return next == rows.size();
    }

    void readLine(const Row& row)
    {
        const Columns& c = *columns;
        line.verse = codepage::toUtf8(row.cells[size_t(c.text)].text());
        line.poet.clear();
        if (row.cells[size_t(c.author)].isInteger())
            if (const auto name = store.cdsAuthors.lookupByKey(row.cells[size_t(c.author)].integer(), c.authorName))
                line.poet = codepage::toUtf8(name->text());
        line.first = codepage::toUtf8(row.cells[size_t(c.start)].text());
        line.last = codepage::toUtf8(row.cells[size_t(c.end)].text());
        namesOf(row.cells[size_t(c.categories)].text(), line.categories);
    }

    void appendJsonLine()
    {
        out += "{\"text\":";
        appendJsonString(out, line.verse);
        out += ",\"poet\":";
        appendJsonString(out, line.poet);
        out += ",\"categories\":[";
        for (size_t i = 0; i < line.categories.size(); ++i) {
            if (i)
                out += ',';
            appendJsonString(out, line.categories[i]);
        }
        out += "],\"first_letter\":";
        appendJsonString(out, line.first);
        out += ",\"last_letter\":";
        appendJsonString(out, line.last);
        out += '}';
    }

    // The hemistichs on one line, a TAB between them.
    void appendTextLine()
    {
        const std::string& verse = line.verse;
        for (size_t i = 0; i < verse.size(); ++i) {
            if (verse[i] == '\r' && i + 1 < verse.size() && verse[i + 1] == '\n')
                ++i;
            out += verse[i] == '\r' || verse[i] == '\n' ? '\t' : verse[i];
        }
    }

    void appendDelimitedLine()
    {
        joined.clear();
        for (size_t i = 0; i < line.categories.size(); ++i)
            (joined += i ? "; " : "") += line.categories[i];
        appendCell(out, line.verse, separator);
        out += separator;
        appendCell(out, line.poet, separator);
        out += separator;
        appendCell(out, joined, separator);
        out += separator;
        appendCell(out, line.first, separator);
        out += separator;
        appendCell(out, line.last, separator);
    }

    void flush()
    {
        size_t done = 0;
        while (done < out.size()) {
            const ssize_t n = ::write(fd, out.data() + done, out.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throw Error("تعذّرت كتابة الملف \u2068" + path + "\u2069 " + systemReason(errno) +
                            "؛ بقي الملف القديم كما كان إن وُجد.");
            done += size_t(n);
        }
        out.clear();
    }

    // Everything on the disk, then the file put in its place in one rename.
    void finish()
    {
        flush();
        if (::fsync(fd) != 0 || ::close(fd) != 0) {
            fd = -1;
            ::unlink(temp.c_str());
            throw Error("تعذّرت كتابة الملف \u2068" + path + "\u2069 " + systemReason(errno) + ".");
        }
        fd = -1;
        std::error_code ec;
        std::filesystem::rename(temp, path, ec);
        if (ec) {
            ::unlink(temp.c_str());
            throw Error("تعذّر وضع الملف \u2068" + path + "\u2069 في مكانه \u2066(" + ec.message() + ")\u2069.");
        }
    }
};

void VerseExport::allowOverwrite(bool allowed)
{
    if (work_)
        work_->overwrite = allowed;
}

VerseExport::VerseExport(PoemStore& store, std::vector<int> rows, std::string path, Format format)
{
    result_.path = std::move(path);
    result_.format = format == Format::Auto ? formatFromName(result_.path) : format;
    if (result_.format == Format::Auto)
        result_.format = Format::Csv;
    work_ = std::make_unique<Work>(store, std::move(rows), result_.path, result_.format);
}

VerseExport::~VerseExport()
{
    cancel();
}

const ExportResult& VerseExport::run()
{
    while (step(std::chrono::hours(1))) {
    }
    return result_;
}

void VerseExport::cancel()
{
    if (result_.outcome != ExportResult::Outcome::Running)
        return;
    work_.reset();  // the part written goes, the old file stays
    result_.outcome = ExportResult::Outcome::Cancelled;
    result_.written = 0;
}

double VerseExport::progress() const
{
    if (!work_ || work_->rows.empty())
        return 1.0;
    return double(work_->next) / double(work_->rows.size());
}

bool VerseExport::step(std::chrono::milliseconds budget)
{
    if (!work_ || result_.outcome != ExportResult::Outcome::Running)
        return false;
    Work& w = *work_;
    try {
        if (w.fd < 0)
            w.open();
        if (!w.writeSome(Clock::now() + budget))
            return true;
        w.finish();
        result_.written = w.rows.size();
    } catch (const std::exception& e) {
        work_.reset();
        result_.outcome = ExportResult::Outcome::Failed;
        result_.error = e.what();
        return false;
    }
    work_.reset();
    result_.outcome = ExportResult::Outcome::Done;
    return false;
}

std::string exportSummary(const ExportResult& result)
{
    const std::string name = "\u2068" + std::filesystem::path(result.path).filename().string() + "\u2069";
    switch (result.outcome) {
    case ExportResult::Outcome::Done:
        return "الأبيات المصدّرة: " + std::to_string(result.written) + "\nالملف: " + name;
    case ExportResult::Outcome::Cancelled:
        return "أُلغي التصدير؛ لم يُكتب الملف " + name + ".";
    case ExportResult::Outcome::Failed:
        return "لم يُصدَّر شيء.\n" + result.error;
    case ExportResult::Outcome::Running:
        break;
    }
    return "";
}

}  // namespace barqeen::exchange
