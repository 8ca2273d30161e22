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
    Work(PoemStore& s, std::vector<int> r, std::string p) : store(s), rows(std::move(r)), path(std::move(p)) {}
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
    std::string temp;
    bool overwrite = false;
    int fd = -1;
    size_t next = 0;
    std::string out;
    std::vector<std::string> categoryNames;  // UTF-8, by key
    std::string scratch;

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

    // The categories' names of a category-set text such as (3)(12), read as the verse window
    // reads it: the categories it ticks are the ones written. Tags of deleted categories go.
    std::vector<std::string_view> namesOf(std::string_view tags) const
    {
        std::vector<std::string_view> names;
        for (const int32_t key : category_set::Ids(tags))
            if (key >= 0 && size_t(key) < categoryNames.size() && !categoryNames[size_t(key)].empty())
                names.push_back(categoryNames[size_t(key)]);
        return names;
    }
};

void VerseExport::allowOverwrite(bool allowed)
{
    if (work_)
        work_->overwrite = allowed;
}

VerseExport::VerseExport(PoemStore& store, std::vector<int> rows, std::string path, Format format)
    : work_(std::make_unique<Work>(store, std::move(rows), path))
{
    result_.path = std::move(path);
    result_.format = format == Format::Auto ? formatFromName(result_.path) : format;
    if (result_.format == Format::Auto)
        result_.format = Format::Csv;
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
    const Clock::time_point deadline = Clock::now() + budget;
    const Format format = result_.format;
    const char separator = format == Format::Tsv ? '\t' : ',';
    const char* const lineEnd = format == Format::Csv || format == Format::Tsv ? "\r\n" : "\n";
    try {
        const PoemStore& s = w.store;
        const Table& poem = s.cdsPoem;
        if (w.fd < 0) {
            if (!poem.active())
                throw Error("جداول البرنامج ليست مفتوحة.");
            if (s.ownsFile(w.path))
                throw Error("لا تُصدَّر الأبيات إلى \u2068" + w.path +
                            "\u2069: إنه من ملفات جداول البرنامج. اختر ملفًا آخر.");
            if (struct stat st {}; !w.overwrite && ::lstat(w.path.c_str(), &st) == 0)
                throw Error("الملف \u2068" + w.path +
                            "\u2069 موجود، فلم يُكتب فوقه شيء. اختر اسمًا آخر، أو اطلب الكتابة فوقه (--overwrite).");
            w.temp = w.path + ".part";
            // Made new: whatever was planted under the name (a link, another file) goes, and is
            // never followed or written into.
            std::remove(w.temp.c_str());
            w.fd = ::open(w.temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
            if (w.fd < 0)
                throw Error("تعذّر إنشاء الملف \u2068" + w.path + "\u2069 " + systemReason(errno) + ".");
            const Table& categories = s.cdsCategories;
            const size_t key = size_t(categories.keyField()->column());
            const size_t name = size_t(categories.field("CategoryName").column());
            for (int r = 0; r < categories.rowCount(); ++r) {
                const int64_t k = categories.rowAt(r).cells[key].integer();
                if (k < 0 || k > (int64_t(1) << 24))
                    continue;
                if (size_t(k) >= w.categoryNames.size())
                    w.categoryNames.resize(size_t(k) + 1);
                w.categoryNames[size_t(k)] = codepage::toUtf8(categories.rowAt(r).cells[name].text());
            }
            if (format == Format::Csv || format == Format::Tsv) {
                w.out += "\xEF\xBB\xBF";  // spreadsheets read the file as UTF-8 only with its mark
                const Column columns[] = {Column::Text, Column::Poet, Column::Categories, Column::FirstLetter,
                                          Column::LastLetter};
                for (size_t c = 0; c < std::size(columns); ++c)
                    w.out += (c ? std::string(1, separator) : std::string()) + std::string(columnName(columns[c]));
                w.out += lineEnd;
            }
        }
        const int text = poem.field("Text").column(), author = poem.field("AuthorID").column(),
                  start = poem.field("StartLetter").column(), end = poem.field("EndLetter").column(),
                  categories = poem.field("Categories").column();
        const Table& authors = s.cdsAuthors;
        const int authorName = authors.field("AuthorName").column();
        std::string verse, poet, first, last, joined;
        for (size_t n = 0; w.next < w.rows.size() && (n % 1024 != 0 || Clock::now() < deadline); ++n) {
            const Row& row = poem.rowAt(w.rows[w.next++]);
            verse = codepage::toUtf8(row.cells[size_t(text)].text());
            poet.clear();
            if (row.cells[size_t(author)].isInteger())
                if (const auto name = authors.lookupByKey(row.cells[size_t(author)].integer(), authorName))
                    poet = codepage::toUtf8(name->text());
            first = codepage::toUtf8(row.cells[size_t(start)].text());
            last = codepage::toUtf8(row.cells[size_t(end)].text());
            const std::vector<std::string_view> names = w.namesOf(row.cells[size_t(categories)].text());
            if (format == Format::JsonLines) {
                w.out += "{\"text\":";
                appendJsonString(w.out, verse);
                w.out += ",\"poet\":";
                appendJsonString(w.out, poet);
                w.out += ",\"categories\":[";
                for (size_t i = 0; i < names.size(); ++i) {
                    if (i)
                        w.out += ',';
                    appendJsonString(w.out, names[i]);
                }
                w.out += "],\"first_letter\":";
                appendJsonString(w.out, first);
                w.out += ",\"last_letter\":";
                appendJsonString(w.out, last);
                w.out += '}';
            } else if (format == Format::Text) {
                // The hemistichs on one line, a TAB between them.
                for (size_t i = 0; i < verse.size(); ++i) {
                    if (verse[i] == '\r' && i + 1 < verse.size() && verse[i + 1] == '\n')
                        ++i;
                    w.out += verse[i] == '\r' || verse[i] == '\n' ? '\t' : verse[i];
                }
            } else {
                joined.clear();
                for (size_t i = 0; i < names.size(); ++i)
                    (joined += i ? "; " : "") += names[i];
                appendCell(w.out, verse, separator);
                w.out += separator;
                appendCell(w.out, poet, separator);
                w.out += separator;
                appendCell(w.out, joined, separator);
                w.out += separator;
                appendCell(w.out, first, separator);
                w.out += separator;
                appendCell(w.out, last, separator);
            }
            w.out += lineEnd;
            if (w.out.size() >= kFlushAt)
                w.flush();
        }
        if (w.next < w.rows.size())
            return true;
        w.flush();
        if (::fsync(w.fd) != 0 || ::close(w.fd) != 0) {
            w.fd = -1;
            ::unlink(w.temp.c_str());
            throw Error("تعذّرت كتابة الملف \u2068" + w.path + "\u2069 " + systemReason(errno) + ".");
        }
        w.fd = -1;
        std::error_code ec;
        std::filesystem::rename(w.temp, w.path, ec);
        if (ec) {
            ::unlink(w.temp.c_str());
            throw Error("تعذّر وضع الملف \u2068" + w.path + "\u2069 في مكانه \u2066(" + ec.message() + ")\u2069.");
        }
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
