#include "core/exchange/import_report.h"

#include <QDateTime>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

namespace barqeen::exchange {
namespace {

std::string fileName(const std::string& path)
{
    return "\u2068" + std::filesystem::path(path).filename().string() + "\u2069";
}

std::string count(size_t n)
{
    return std::to_string(n);
}

// The report is read in plain text editors, which show the invisible direction marks as stray
// characters: it carries none, and its paths stand on lines of their own instead.
std::string withoutIsolates(std::string text)
{
    for (const std::string_view mark : {"\u2066", "\u2067", "\u2068", "\u2069"})
        for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at))
            text.erase(at, mark.size());
    return text;
}

// "السطر 5، السطر 17", the first few of them.
std::string linesText(const std::vector<int>& lines)
{
    constexpr size_t kShown = 10;
    std::string text;
    for (size_t i = 0; i < lines.size() && i < kShown; ++i)
        text += (i ? "، السطر " : "السطر ") + count(size_t(lines[i]));
    if (lines.size() > kShown)
        text += "، وغيرها (" + count(lines.size()) + " في الجملة)";
    return text;
}

// Each poem's meter, named from all its verses, and the verses that do not fit it.
std::string poemMetersText(const ImportResult& result)
{
    std::string text;
    for (const ImportResult::PoemMeter& poem : result.poems) {
        text += "بحر القصيدة";
        if (result.poems.size() > 1)
            text += " عند السطر " + count(size_t(poem.firstLine));
        if (!poem.note.known) {
            text += ": غير معروف\n";
            continue;
        }
        text += ": " + poem.note.meter + " (" + count(size_t(poem.note.fitting)) + " من " +
                count(size_t(poem.verses)) + " بيتًا)\n";
        if (!poem.notFittingLines.empty())
            text += "    • لا توافقه: " + linesText(poem.notFittingLines) + "\n";
        if (!poem.unreadLines.empty())
            text += "    • لم يُقرأ وزنها: " + linesText(poem.unreadLines) + "\n";
    }
    return text;
}

}  // namespace

std::string refusalName(Refusal reason)
{
    switch (reason) {
    case Refusal::Malformed: return "سطر غير سليم";
    case Refusal::NotOneVerse: return "ليس بيتًا واحدًا";
    case Refusal::BadEncoding: return "بايتات لا تصح في ترميز الملف";
    case Refusal::Unmappable: return "حرف لا يُحفظ في الجداول";
    case Refusal::EmptyText: return "نص فارغ";
    case Refusal::TooLong: return "أطول مما يتسع له الجدول";
    case Refusal::NoLastLetter: return "لا حرف نهاية صالحًا";
    case Refusal::NoFirstLetter: return "لا حرف بداية صالحًا";
    case Refusal::DuplicateInTable: return "مكرر لبيت في الجدول";
    case Refusal::DuplicateInFile: return "مكرر لبيت سابق في الملف";
    }
    return "";
}

std::string sourceText(const ImportResult& result)
{
    // Names such as utf-8 are isolated, or the Arabic comma after them moves their digit.
    const std::string_view format = result.jsonArray ? "json" : formatName(result.format);
    std::string text = "الصيغة: \u2066" + std::string(format) + "\u2069، الترميز: \u2066" +
                       std::string(encodingName(result.encoding)) + "\u2069";
    if (result.format == Format::Text)
        text += "، الشطران: " + layoutTitle(result.layout);
    return text;
}

std::string summaryText(const ImportResult& result)
{
    using Outcome = ImportResult::Outcome;
    std::string text = (result.dryRun ? "فحص الملف " : "استيراد الملف ") + fileName(result.source) + "\n";
    if (result.outcome == Outcome::Failed)
        return text + "لم يُستورد شيء؛ بقيت الجداول كما كانت.\n" + result.error;
    if (result.outcome == Outcome::Cancelled)
        return text + "أُلغي الاستيراد؛ بقيت الجداول كما كانت.";
    if (result.cancelRefused)
        text += "جاء الإلغاء بعد أن بدأ حفظ الاستيراد، فلم يعد ممكنًا: حُفظ الاستيراد كله.\n";
    text += sourceText(result) + "\n";
    if (result.dryRun)
        text += "لم يُحفظ شيء. الأبيات التي تُستورد: " + count(result.taken) + "\n";
    else
        text += "الأبيات المستوردة: " + count(result.taken) + "\n";
    text += "الأسطر المرفوضة: " + count(result.refused.size()) + "\n";
    const auto by = result.refusedBy();
    for (int r = 0; r < kRefusalKinds; ++r)
        if (by[size_t(r)])
            text += "    • " + refusalName(Refusal(r)) + ": " + count(by[size_t(r)]) + "\n";
    if (!result.headings.empty())
        text += "عناوين لم تُحفظ أبياتًا: " + count(result.headings.size()) + "\n";
    text += poemMetersText(result);
    if (result.folded.letters)
        text += "حروف فارسية أو أردية صارت عربية: " + count(result.folded.letters) + "\n";
    if (result.folded.invisible)
        text += "رموز خفية حُذفت: " + count(result.folded.invisible) + "\n";
    if (result.folded.spaces)
        text += "مسافات خاصة صارت مسافة عادية: " + count(result.folded.spaces) + "\n";
    if (result.newPoets)
        text += (result.dryRun ? "شعراء جدد يُضافون: " : "شعراء جدد: ") + count(result.newPoets) + "\n";
    if (result.newCategories)
        text += (result.dryRun ? "مواضيع جديدة تُضاف: " : "مواضيع جديدة: ") + count(result.newCategories) + "\n";
    if (!result.reportPath.empty())
        text += "التقرير: " + fileName(result.reportPath);
    else if (!result.reportError.empty())
        text += result.reportError;
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

std::string reportPathFor(const std::string& source)
{
    return source + ".import-report.txt";
}

void writeReport(ImportResult& result)
{
    const std::string path = reportPathFor(result.source);
    std::string text = "تقرير استيراد الملف:\n" + result.source + "\n";
    text += "الوقت: " + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString() + "\n";
    text += "\n" + withoutIsolates(summaryText(result)) + "\n\n";
    if (!result.headings.empty()) {
        text += "العناوين (سطور لا تنقسم كما تنقسم الأبيات، فلم تُحفظ أبياتًا):\n";
        for (const ImportResult::Heading& h : result.headings)
            text += "السطر " + count(size_t(h.line)) + ": " + h.text + "\n";
        text += "\n";
    }
    if (result.refused.empty()) {
        text += "لم يُرفض أي سطر.\n";
    } else {
        text += "الأسطر المرفوضة:\n";
        for (const RefusedLine& r : result.refused) {
            text += r.lastLine > r.line ? "السطور " + count(size_t(r.line)) + "–" + count(size_t(r.lastLine))
                                        : "السطر " + count(size_t(r.line));
            text += ": " + refusalName(r.reason);
            if (!r.detail.empty())
                text += " — " + withoutIsolates(r.detail);
            text += "\n    " + r.excerpt + "\n";
        }
    }
    // Written under a fresh name beside it and renamed over it: a link or a file planted under the
    // report's name is replaced, never followed.
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    int error = errno;
    if (fd >= 0) {
        ::fchmod(fd, 0644);
        ok = ::close(fd) == 0 && ok;
        if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
            ok = false;
            error = errno;
        }
        if (!ok)
            ::unlink(temp.c_str());
    }
    if (ok) {
        result.reportPath = path;
        return;
    }
    result.reportError = "تعذّرت كتابة التقرير \u2068" + path + "\u2069 \u2066(" + std::strerror(error) + ")\u2069.";
}

}  // namespace barqeen::exchange
