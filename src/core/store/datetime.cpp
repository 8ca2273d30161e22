#include "core/store/datetime.h"

namespace barqeen::datetime {

int64_t fromLocal(const QDateTime& local)
{
    return QDateTime(local.date(), local.time(), Qt::UTC).toMSecsSinceEpoch();
}

QDateTime toLocal(int64_t stamp)
{
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(stamp, Qt::UTC);
    const QDateTime local(utc.date(), utc.time(), Qt::LocalTime);
    return local.isValid() ? local : utc;
}

std::string toText(int64_t stamp)
{
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(stamp, Qt::UTC);
    const char* form = t.time().msec() ? "yyyy-MM-dd hh:mm:ss.zzz" : "yyyy-MM-dd hh:mm:ss";
    return t.toString(QString::fromLatin1(form)).toStdString();
}

std::optional<int64_t> fromText(std::string_view text)
{
    // Date and time are read apart and joined without a zone: a reading that the machine's zone
    // skips or repeats is still a valid wall-clock reading.
    const QString s = QString::fromLatin1(text.data(), qsizetype(text.size())).trimmed();
    const QString datePart = s.left(10);
    const QDate date = QDate::fromString(datePart, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return std::nullopt;
    QTime time(0, 0);
    if (s.size() > 10) {
        if (s[10] != QLatin1Char(' '))
            return std::nullopt;
        const QString timePart = s.mid(11);
        time = QTime::fromString(timePart, QStringLiteral("hh:mm:ss.zzz"));
        if (!time.isValid())
            time = QTime::fromString(timePart, QStringLiteral("hh:mm:ss"));
        if (!time.isValid())
            return std::nullopt;
    }
    return QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch();
}

}  // namespace barqeen::datetime
