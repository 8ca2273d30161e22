#pragma once
// A date-time cell holds the local wall-clock time as milliseconds since 1970-01-01 00:00,
// counted as if that clock had no time zone, so a stored time reads back exactly as it was shown.
#include <QDateTime>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace barqeen::datetime {

int64_t fromLocal(const QDateTime& local);
QDateTime toLocal(int64_t stamp);

// "yyyy-MM-dd hh:mm:ss" (".zzz" when there are milliseconds): the stored and the plain text form.
std::string toText(int64_t stamp);
std::optional<int64_t> fromText(std::string_view text);

}  // namespace barqeen::datetime
