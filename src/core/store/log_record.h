#pragma once
// What the program keeps beside a table file while the file's log may hold changes the file does
// not (`<file>-wal-id`): a digest of every page of the file as the program last left it, and how
// far the log's commits and fold-ins had gone. After a crash it tells whether the log found beside
// the file was written for it (a fold-in writes only pages the log holds, so every other page must
// still read as recorded, and each page the log holds as recorded or as one of its frames), and
// whether committed changes went missing with a log cut short or deleted.
//
// The record carries checksums of its own and names the folder and file it was made for: a record
// damaged, cut short or copied from beside another table is no record, and the log is then read as
// SQLite alone reads it. It reaches the disk before each fold-in changes the file, so that a power
// cut never leaves it older than the file in a way that matters.
//
// The table file is read through SQLite's own handle of it: closing a descriptor of one's own
// would drop every lock the process holds on the file, SQLite's among them.
#include "core/store/page_digest.h"

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct sqlite3_file;

namespace barqeen {

struct LogProgress {
    uint32_t salt1 = 0, salt2 = 0;  // the log's round (its header's salts)
    uint32_t committed = 0;         // its frames up to the last commit
    uint32_t folded = 0;            // of them, the ones folded into the file
};

// A record as a run left it.
struct RecordedFile {
    uint32_t pageSize = 0;
    std::vector<uint64_t> digests;  // of pages 1, 2, ...
    LogProgress progress;

    // Reads the record beside the table file at tablePath; nullopt when there is none, or none
    // that can be trusted (it fails its checksums, or was made for another file or folder).
    static std::optional<RecordedFile> load(const std::string& tablePath);
    // Whether every page of the file reads as recorded, or as one of the log's frames of that
    // page (`logged`, sorted): a fold-in cut short leaves pages of the log in the file.
    bool matches(sqlite3_file* file, const std::vector<LoggedPage>& logged) const;
};

// The record kept up to date while the table is open for writing. Should it fail to be written,
// it is removed: no record means "cannot tell", never a wrong answer.
class LogRecord {
public:
    // Reads every page of the file as it is now and writes the record anew, with no progress yet.
    LogRecord(std::string tablePath, sqlite3_file* file);
    ~LogRecord();
    LogRecord(const LogRecord&) = delete;
    LogRecord& operator=(const LogRecord&) = delete;

    // A commit made the log `frames` long.
    void committed(uint32_t frames) noexcept;
    // The log is about to be folded into the file (by the program): what the record says reaches
    // the disk first.
    void beforeFoldIn() noexcept;
    // A fold-in wrote the pages the log held (some of `pages`) into the file, the first `frames`
    // frames of the log all told.
    void folded(sqlite3_file* file, const std::vector<uint32_t>& pages, uint32_t frames) noexcept;
    // Removes the record beside the table file: the file alone holds everything now (or is no
    // longer the program's).
    static void forget(const std::string& tablePath) noexcept;

private:
    bool writeAt(off_t at, const void* data, size_t size) noexcept;
    bool writeProgress(const LogProgress& progress) noexcept;
    bool writeDigests() noexcept;
    void fail() noexcept;

    std::string path_;  // the table file
    int fd_ = -1;       // the record, kept open for the small writes after each commit
    bool synced_ = false;  // it and its name in the folder have reached the disk
    uint64_t owner_ = 0;   // the folder and file it is made for
    uint32_t pageSize_ = 0;
    std::vector<uint64_t> digests_;
    uint64_t digestsChecksum_ = 0;  // as last written, which the progress's checksum carries on from
    LogProgress progress_;
};

}  // namespace barqeen
