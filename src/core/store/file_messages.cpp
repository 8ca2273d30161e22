#include "core/store/file_messages.h"

#include "core/common/error.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>

namespace barqeen::file_messages {
namespace {

const char* const kNothingSaved = ". لم يُحفظ التغيير، وما حُفظ من قبل باقٍ كما هو.";

}  // namespace

std::string writeReason(const std::string& path, int error)
{
    if (error == ENOSPC || error == EDQUOT)
        return "القرص ممتلئ";
    if (error == EFBIG)
        return "بلغت الملفات أكبر حجم يسمح به النظام";
    if (error == EROFS)
        return "القرص للقراءة فقط";
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(path).parent_path();
    std::error_code ec;
    std::string reason;
    if (!fs::is_directory(folder.empty() ? fs::path(".") : folder, ec))
        reason = "المجلد " + isolated(folder.string()) + " غير موجود";
    else if (::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0)
        reason = "المجلد لا يسمح بالكتابة فيه";
    else if (fs::space(folder, ec).available < (1u << 20) && !ec)
        reason = "القرص ممتلئ";
    else
        reason = "تعذّرت الكتابة";
    return reason;
}

namespace {

// Why a file cannot be written, with the technical detail in parentheses.
std::string writeProblem(const std::string& path, const std::string& detail, int error = 0)
{
    return writeReason(path, error) + " " + isolated("(" + detail + ")");
}

}  // namespace

std::string isolated(const std::string& text)
{
    return "\u2066" + text + "\u2069";
}

void unreadable(const std::string& path, const std::string& why)
{
    const bool technical = std::all_of(why.begin(), why.end(), [](char c) { return uint8_t(c) < 0x80; });
    const std::string reason = technical ? "الملف تالف أو ليس من ملفات برقين " + isolated("(" + why + ")") : why;
    throw Error("تعذّرت قراءة ملف الجدول " + isolated(path) + ": " + reason +
                ". لم يُفتح هذا الجدول ولا الجداول التي تليه، ولن يُكتب في الملف شيء.");
}

void uncreatable(const std::string& path, const std::string& detail)
{
    throw Error("تعذّر إنشاء ملف الجدول " + isolated(path) + ": " + writeProblem(path, detail) + ".");
}

void unwritable(const std::string& path, const std::string& detail, int error)
{
    throw Error("تعذّر حفظ التغيير في ملف الجدول " + isolated(path) + ": " + writeProblem(path, detail, error) +
                kNothingSaved);
}

void readOnlyRefusal(const std::string& path, const std::string& reason)
{
    throw Error("تعذّر حفظ التغيير في ملف الجدول " + isolated(path) + ": الملف للقراءة فقط" +
                (reason.empty() ? "" : " (" + reason + ")") + kNothingSaved);
}

std::string readOnlyNotice(const std::string& path, const std::string& reason)
{
    return "ملف الجدول " + isolated(path) + " للقراءة فقط" + (reason.empty() ? "" : " (" + reason + ")") +
           ": تُعرض بياناته، ولن يُحفظ فيه أي تغيير ما دام كذلك.";
}

std::string replaced(const std::string& path, const std::string& kept, const std::string& keptProblem,
                     bool changeRefused)
{
    std::string text = "استُبدل ملف الجدول " + isolated(path) +
                       " أو غيّره برنامج آخر أثناء عمل برقين، فلم يكتب فيه البرنامج شيئًا بعد ذلك وبقي كما تركه.";
    if (!kept.empty()) {
        text += " حُفظت صفوف الجدول كما كانت في البرنامج في الملف " + isolated(kept) +
                "، وتُحفظ فيه تغييرات الجدول من الآن حتى يُعاد تشغيل البرنامج.";
        if (changeRefused)
            text += " لم يُحفظ التغيير الأخير بعد، وما زال معروضًا: احفظه مرة أخرى ليُكتب في ذلك الملف.";
    } else {
        text += " وتعذّر حفظ صفوف الجدول بجانبه: " + keptProblem + ".";
        if (changeRefused)
            text += " لم يُحفظ التغيير.";
    }
    return text + " أعد تشغيل البرنامج ليقرأ الملف الموجود الآن.";
}

}  // namespace barqeen::file_messages
