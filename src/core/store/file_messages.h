#pragma once
// What the user is told about a table file, in Arabic; the file's name and any technical detail
// are kept left to right inside the sentence.
#include <string>

namespace barqeen::file_messages {

std::string isolated(const std::string& text);

// Why a file cannot be written, in the user's words: from the system's error when it tells (no
// room, a size limit, a read-only disk), else as its folder tells it (full, not writable).
std::string writeReason(const std::string& path, int error = 0);

// why is one of our own reasons (Arabic) or SQLite's (English, technical).
[[noreturn]] void unreadable(const std::string& path, const std::string& why);
// A new file that cannot be made (at start-up, or when a deleted file is written again).
[[noreturn]] void uncreatable(const std::string& path, const std::string& detail);
// error: the system's error of the failed write (a size limit, a full or read-only disk), or 0.
[[noreturn]] void unwritable(const std::string& path, const std::string& detail, int error = 0);
// reason: why the file can only be read (Arabic), or "".
[[noreturn]] void readOnlyRefusal(const std::string& path, const std::string& reason);

// Said at start-up about a file that can be read but not written.
std::string readOnlyNotice(const std::string& path, const std::string& reason);

// The file was replaced or changed by someone else while the program ran. kept names the file
// that now holds the program's rows and takes its later changes, or is empty with keptProblem
// saying why it could not be written. changeRefused: said when a change was being saved.
std::string replaced(const std::string& path, const std::string& kept, const std::string& keptProblem,
                     bool changeRefused);

}  // namespace barqeen::file_messages
