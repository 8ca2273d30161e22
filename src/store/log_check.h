#pragma once
// A table file's write-ahead log as a crash leaves it: whether it is whole, read without SQLite
// (which drops a damaged tail without a word), and what identifies the file it was written for.
#include <string>

namespace barqeen::log_check {

// "" when the log at logPath is missing, empty or sound (whole frames, every checksum right,
// an unfinished last change being no damage); otherwise what is wrong with it, in Arabic.
std::string damage(const std::string& logPath);

// The identity of a table file as the program last left it beside its log: device, inode, length
// and time. A log is the file's only while the file is as recorded.
std::string identityOf(const std::string& path);
void record(const std::string& path) noexcept;  // writes <path>-wal-id
void forget(const std::string& path) noexcept;  // removes it
// The identity recorded, or "" when there is none.
std::string recorded(const std::string& path);

}  // namespace barqeen::log_check
