#pragma once
// What the command line says of an option it could not take, or of a file it could not find; the
// command tests read the same.
#include <QString>

namespace barqeen::option_messages {

inline QString unknown(const QString& typed)
{
    return QStringLiteral("خيار غير معروف: ") + typed;
}
inline QString dataNeedsFolder()
{
    return QStringLiteral("الخيار --data يأخذ اسم مجلد.");
}
inline QString takesNoValue(const QString& option)
{
    return QStringLiteral("الخيار %1 لا يأخذ قيمة.").arg(option);
}
inline QString needsValue(const QString& option)
{
    return QStringLiteral("الخيار %1 يأخذ قيمة: %1=…").arg(option);
}
inline QString fileMissing(const QString& path)
{
    return QStringLiteral("الملف غير موجود: \u2068%1\u2069").arg(path);
}

}  // namespace barqeen::option_messages
