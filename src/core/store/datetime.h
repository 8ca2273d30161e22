#pragma once
// A date-time cell holds the local wall-clock time as milliseconds since 1970-01-01 00:00,
// counted as if that clock had no time zone, so a stored time reads back exactly as it was shown,
// whatever zone the machine is set to when it is read.
#include <QDateTime>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace barqeen::datetime {

int64_t fromLocal(const QDateTime& local);
// The stored wall-clock time as a local time. A time that this machine's zone skips (the hour
// lost when the clocks go forward) comes back as the same wall-clock reading without a zone, so
// it still shows as it was recorded and fromLocal gives the same stamp back.
QDateTime toLocal(int64_t stamp);

// "yyyy-MM-dd hh:mm:ss" (".zzz" when there are milliseconds): the stored and the plain text form.
// Read as a wall-clock reading, never through the machine's zone.
std::string toText(int64_t stamp);
std::optional<int64_t> fromText(std::string_view text);

}  // namespace barqeen::datetime
