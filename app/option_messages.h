#pragma once
// What the command line says of an option it could not take; the command tests read the same.
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

}  // namespace barqeen::option_messages
