#include "store/datetime.h"

namespace barqeen::datetime {

int64_t fromLocal(const QDateTime& local)
{
    return QDateTime(local.date(), local.time(), Qt::UTC).toMSecsSinceEpoch();
}

QDateTime toLocal(int64_t stamp)
{
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(stamp, Qt::UTC);
    return QDateTime(utc.date(), utc.time(), Qt::LocalTime);
}

std::string toText(int64_t stamp)
{
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(stamp, Qt::UTC);
    const char* form = t.time().msec() ? "yyyy-MM-dd hh:mm:ss.zzz" : "yyyy-MM-dd hh:mm:ss";
    return t.toString(QString::fromLatin1(form)).toStdString();
}

std::optional<int64_t> fromText(std::string_view text)
{
    const QString s = QString::fromLatin1(text.data(), qsizetype(text.size())).trimmed();
    for (const char* form : {"yyyy-MM-dd hh:mm:ss.zzz", "yyyy-MM-dd hh:mm:ss", "yyyy-MM-dd"}) {
        QDateTime t = QDateTime::fromString(s, QString::fromLatin1(form));
        if (t.isValid()) {
            t.setTimeSpec(Qt::UTC);
            return t.toMSecsSinceEpoch();
        }
    }
    return std::nullopt;
}

}  // namespace barqeen::datetime
