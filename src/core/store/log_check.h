#pragma once
// A table file's write-ahead log as a crash leaves it, read without SQLite (which drops a damaged
// tail without a word): whether it is whole, how far its commits go and which pages they hold.
#include "core/store/page_digest.h"

#include <cstdint>
#include <string>
#include <vector>

namespace barqeen::log_check {

struct LogScan {
    bool present = false;  // a log with a sound header
    std::string damage;    // "" or what is wrong with the log, in Arabic
    uint32_t pageSize = 0, salt1 = 0, salt2 = 0;
    uint32_t committedFrames = 0;  // the frames up to the last whole commit
    std::vector<LoggedPage> frames;  // the pages those frames hold, sorted
};

// Reads the whole log at logPath, checking every frame. A log that is missing or empty is not
// present, and not damaged; an unfinished last change is no damage either.
LogScan scan(const std::string& logPath);

// The pages the log's frames of its current round hold, from the frames' headers alone: every
// page a fold-in of the log may write into the file, sorted, each once.
std::vector<uint32_t> loggedPages(const std::string& logPath);

}  // namespace barqeen::log_check
