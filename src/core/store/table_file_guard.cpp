// Keeping a table file's connection true to the file at the path while other programs may read,
// fold in, write or replace it: what counts as the same file, when the connection must be made
// again, and what happens when the file is no longer the program's.
#include "core/store/table_file.h"

#include "core/common/error.h"
#include "core/store/file_messages.h"
#include "core/store/kept_names.h"
#include "core/store/sqlite_calls.h"
#include "core/store/table_file_read.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>

namespace barqeen {

using namespace file_messages;
using sqlite::exec;
using sqlite::quoted;

namespace {

unsigned long long inodeOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// SQLite keeps a connection's hold on a file with POSIX locks, and the system drops every lock a
// process holds on a file as soon as the process closes any descriptor of it (a file dialog
// looking into the folder does). Without its hold the connection no longer keeps other programs'
// last connection from folding the log in and deleting it. The shared hold is a read lock from
// byte 0x40000002 on.
bool holdsSharedLock(unsigned long long inode)
{
    std::ifstream locks("/proc/locks");
    if (!locks)
        return true;  // nothing to tell by
    const std::string pid = " " + std::to_string(::getpid()) + " ";
    const std::string file = ":" + std::to_string(inode) + " 1073741826 ";
    for (std::string line; std::getline(locks, line);)
        if (line.find("->") == std::string::npos && line.find(pid) != std::string::npos &&
            line.find(file) != std::string::npos)
            return true;
    return false;
}

}  // namespace

std::string uriPath(const std::string& path)
{
    std::string uri = "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", unsigned(uint8_t(c)));
            uri += escaped;
        } else {
            uri += c;
        }
    }
    return uri;
}

void TableFile::rememberIdentity()
{
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0)
        return;
    identity_ = {st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, inodeOf(path_ + "-shm")};
}

TableFile::Place TableFile::place() const
{
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0)
        return errno == ENOENT ? Place::Vanished : Place::Replaced;
    if (st.st_dev != identity_.device || st.st_ino != identity_.inode)
        return Place::Replaced;
    const bool untouched = st.st_size == identity_.size && st.st_mtim.tv_sec == identity_.modifiedSec &&
                           st.st_mtim.tv_nsec == identity_.modifiedNsec;
    return untouched ? Place::Ours : Place::Touched;
}

bool TableFile::logRemoved() const
{
    // Another program's last connection folded the log in and removed it (and its index) while
    // the program's hold was lost: the connection would go on writing into the removed log.
    return inodeOf(path_ + "-shm") != identity_.indexInode;
}

bool TableFile::connectionStale() const
{
    return logRemoved() || !holdsSharedLock(identity_.inode);
}

void TableFile::reconnect()
{
    // The old connection must not fold its log into anything: another program already did.
    disconnect(false);
    connect();
    sqlite3_exec(db_, "PRAGMA mmap_size = 0", nullptr, nullptr, nullptr);
    prepareStatements();
}

int64_t TableFile::expectedCounter() const
{
    return batchCounter_ ? *batchCounter_ : table_.nextKey();
}

bool TableFile::holds(sqlite3* db, int64_t nextKey) const
{
    try {
        // A layout changed (a trigger, an index added) would act on the program's next writes.
        if (sqlite::integerOf(db, "PRAGMA schema_version") != schemaVersion_ ||
            sqlite::integerOf(db, "SELECT next_key FROM barqeen_table") != nextKey ||
            sqlite::integerOf(db, "SELECT count(*) FROM rows") != table_.rowCount())
            return false;
        // The same count and counter do not tell a row changed, or deleted and added again under
        // its key: every row is compared (this runs only when another program committed).
        std::vector<Row> rows;
        TextArena arena;
        table_file_read::readRows(db, table_, nextKey, rows, arena);
        const size_t stored = table_.storedFieldDefs().size();
        const auto same = [](const Value& a, const Value& b) {
            // An empty text is stored as NULL.
            const bool noneA = a.isNull() || (a.isText() && a.text().empty());
            const bool noneB = b.isNull() || (b.isText() && b.text().empty());
            return noneA || noneB ? noneA == noneB : a == b;
        };
        for (size_t r = 0; r < rows.size(); ++r)
            for (size_t c = 0; c < stored; ++c)
                if (!same(rows[r].cells[c], table_.rowAt(int(r)).cells[c]))
                    return false;
        return rows.size() == size_t(table_.rowCount());
    } catch (const Error&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool TableFile::fileAloneHolds(int64_t nextKey) const
{
    // Read without the log (immutable): bytes copied over the file in place would otherwise be
    // read through the program's own log and look like its rows.
    sqlite3* db = nullptr;
    const std::string uri = uriPath(path_) + "?immutable=1";
    bool same = sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) == SQLITE_OK &&
                holds(db, nextKey);
    sqlite3_close(db);
    return same;
}

void TableFile::rememberDataVersion()
{
    sqlite3_reset(dataVersion_);
    lastDataVersion_ = sqlite3_step(dataVersion_) == SQLITE_ROW ? sqlite3_column_int64(dataVersion_, 0) : 0;
    sqlite3_reset(dataVersion_);
}

bool TableFile::writtenByOthers()
{
    // Inside the write transaction: data_version moves when another connection committed (or
    // reset the log after folding it in); the rows and the key counter tell which.
    const int64_t before = lastDataVersion_;
    rememberDataVersion();
    return lastDataVersion_ != before && !holds(db_, expectedCounter());
}

TableFile::Place TableFile::checkPlace()
{
    const Place where = place();
    if (where == Place::Vanished || where == Place::Replaced)
        return where;
    // With its log removed, the file holds everything the log held, and whatever other programs
    // wrote: a new connection reads it as it is now. With the program's log still beside it, the
    // file alone tells whether bytes were copied over it in place (read through the log, they
    // would look like the program's rows).
    const bool removed = logRemoved();
    const bool same = where == Place::Ours ? true
                      : removed           ? true
                                          : fileAloneHolds(expectedCounter());
    if (!same)
        return Place::Replaced;
    // A new connection starts a new count of other programs' writes: what they wrote before it
    // is told by the rows.
    const bool stale = removed || !holdsSharedLock(identity_.inode);
    if (stale)
        reconnect();
    if (stale && !holds(db_, expectedCounter()))
        return Place::WrittenByOthers;
    if (stale || where == Place::Touched) {
        rememberIdentity();
        rememberDataVersion();
    }
    // Another program folded the log in: the file's pages moved.
    if (removed || where == Place::Touched)
        startLogRecord();
    return Place::Ours;
}

void TableFile::ensureFile()
{
    switch (checkPlace()) {
    case Place::Ours:
    case Place::Touched:
        return;
    case Place::Vanished:
        disconnect(false);
        dropLog();
        write(path_, table_, kind_);
        connect();
        prepareStatements();
        rememberIdentity();
        rememberDataVersion();
        startLogRecord();
        return;
    case Place::Replaced:
        giveUpFile(true, false);
    case Place::WrittenByOthers:
        giveUpFile(true, true);
    }
}

std::string TableFile::keepRowsBeside() const
{
    const std::string kept = keptName(openedPath_, "-kept-", ".cds");
    write(kept, table_, kind_);
    return kept;
}

void TableFile::giveUpFile(bool changeRefused, bool sameFile)
{
    if (!givenUp()) {
        // Nothing of the program's is folded into a file it no longer knows. When another program
        // wrote through SQLite, the log is shared and stays for the file; otherwise the log
        // belongs to no file at the path any more. The rows are kept below either way.
        disconnect(false);
        if (!sameFile)
            dropLog();
        // What the program recorded of the file no longer holds for it.
        logRecord_.reset();
        LogRecord::forget(path_);
        try {
            keptPath_ = keepRowsBeside();
            // The table's later changes go to the rows kept, so none of them is lost.
            path_ = keptPath_;
            connect();
            sqlite3_exec(db_, "PRAGMA mmap_size = 0", nullptr, nullptr, nullptr);
            prepareStatements();
            rememberIdentity();
            rememberDataVersion();
            startLogRecord();
            moveTo(Mode::WritingKept);
        } catch (const Error& e) {
            if (keptPath_.empty())
                keptProblem_ = e.what();
            disconnect(false);
            moveTo(Mode::Stopped);
        }
    }
    throw Error(replaced(openedPath_, keptPath_, keptProblem_, changeRefused));
}

void TableFile::dropLog() const
{
    std::remove((path_ + "-wal").c_str());
    std::remove((path_ + "-shm").c_str());
    LogRecord::forget(path_);
}

}  // namespace barqeen
