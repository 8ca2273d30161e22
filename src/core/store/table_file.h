#pragma once
// A table's file: an SQLite database written by this program (layout in docs/table-files.md).
// Every committed change is written in its own durable transaction at once; a file that is not
// ours, or not sound, is refused and never written; a file replaced or written by another program
// while this one runs is left as that program left it, and the table's rows go on in a file
// beside it. Other programs may read it and fold its log in at any time.
#include "core/store/log_record.h"
#include "core/store/table.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace barqeen {

// A file name as a SQLite URI ("file:..."), for opening with URI parameters.
std::string uriPath(const std::string& path);

class TableFile : public TableStorage {
public:
    // Writes a whole file for the table's definitions and rows, atomically (a new file renamed
    // over the old one). kind names the table the file holds, e.g. "Poem".
    static void write(const std::string& path, const Table& table, const std::string& kind);

    // Reads the file into the table, after checking that it is ours, holds this table's layout
    // and sound rows. On success the table is open and sends its commits to the returned file.
    static std::unique_ptr<TableFile> open(const std::string& path, Table& table, const std::string& kind);

    ~TableFile() override;
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    // Ends the file's use, leaving the .cds file alone to hold everything. A file deleted while
    // the table was open is first written again whole; a file replaced is left alone, the rows
    // written beside it, and the user told (thrown).
    void close();

    // Where the table's changes go: the file opened, or the file its rows were kept in after the
    // file was replaced or written by another program.
    const std::string& path() const { return path_; }
    // The file can be read but not written: every change is refused. readOnlyReason says why
    // (no right to write, a full disk), in Arabic.
    bool readOnly() const { return mode_ == Mode::ReadOnly || mode_ == Mode::ReadAsItStands; }
    const std::string& readOnlyReason() const { return readOnlyReason_; }
    // What the user is to be told about the file's log found at opening (set aside or damaged), or "".
    const std::string& logNotice() const { return logNotice_; }

    // Folds the log into the file if nothing is being written (another program may hold it back:
    // then later). Safe to call from another thread than the one that commits.
    void foldLog() noexcept;
    // Called after every commit (to have the log folded in a moment later).
    void whenCommitted(std::function<void()> callback) { committed_ = std::move(callback); }

    void rowAdded(const Row& row, int64_t nextKey) override;
    void rowChanged(const Row& row) override;
    void rowDeleted(int64_t key) override;

    // Many rows added as one change (an import), possibly with other tables' files: beginBatch
    // opens a write transaction, appendInBatch writes rows into it (the table in memory is not
    // touched: Table::appendRows follows once every file has committed), commitBatch makes them
    // part of the file, rollbackBatch leaves the file as it was. No other change is written
    // while a batch is open.
    void beginBatch();
    void appendInBatch(const Row* rows, size_t count, int64_t nextKey);
    void commitBatch();
    void rollbackBatch() noexcept;
    bool inBatch() const { return batchCounter_.has_value(); }
    // Removes the rows from firstKey on and sets the key counter back to it, in one transaction:
    // undoes a committed batch whose partner files could not commit.
    void takeBack(int64_t firstKey);

private:
    // How the file is used. The mode changes only in moveTo, which lists the moves it makes.
    enum class Mode {
        Writing,         // every committed change is written to the file
        ReadOnly,        // read through SQLite, never written; readOnlyReason_ says why
        ReadAsItStands,  // read without the log's index, which could not be made; never written
        WritingKept,     // the file was replaced or written by another program: the rows went on
                         // in a file beside it (keptPath_), where the later changes go
        Stopped,         // the same, but the rows could not be kept there (keptProblem_): nothing
                         // more is written
    };
    void moveTo(Mode next);
    bool givenUp() const { return mode_ == Mode::WritingKept || mode_ == Mode::Stopped; }

    // What the path holds now, against what the program last left there. A file is another one
    // when its device and inode are; the same file with another length or time was touched by
    // someone else (a checkpoint by another SQLite reader, or bytes copied over it). Its rows
    // tell which (checkPlace), and whether another program wrote rows of its own.
    enum class Place { Ours, Touched, Vanished, Replaced, WrittenByOthers };
    struct Identity {
        unsigned long long device = 0, inode = 0;
        long long size = 0, modifiedSec = 0, modifiedNsec = 0;
        unsigned long long indexInode = 0;  // the -shm file the connection uses
    };

    TableFile(std::string path, Table& table, std::string kind);
    void connect();
    void connectForReading();
    void prepareStatements();
    void disconnect(bool checkpoint);
    // The log a crash left beside the file, looked at before SQLite reads it (table_file_log.cpp).
    void checkLeftLog();
    std::string keepLogAside(bool move);
    void startLogRecord();
    static int onLogCommit(void* file, sqlite3* db, const char* name, int frames);
    void reconnect();
    Place place() const;
    Place checkPlace();
    bool logRemoved() const;
    bool connectionStale() const;
    bool fileAloneHolds(int64_t nextKey) const;
    bool holds(sqlite3* db, int64_t nextKey) const;
    void rememberIdentity();
    void rememberDataVersion();
    bool writtenByOthers();
    void ensureFile();
    // Refuses a write the mode forbids; otherwise makes sure the file is there to take it.
    void prepareToWrite();
    [[noreturn]] void giveUpFile(bool changeRefused, bool sameFile);
    void dropLog() const;  // removes the log files beside the path
    std::string keepRowsBeside() const;
    int64_t expectedCounter() const;
    void bindRow(sqlite3_stmt* stmt, const Row& row);
    // The system's error of the connection's last failed call (ENOSPC, EFBIG, ...), or 0.
    int systemError() const;
    void commit(const std::function<void()>& statements);
    void foldKeptWhole();

    std::string path_;
    Table& table_;
    std::string kind_;
    std::vector<FieldDef> defs_;  // the stored fields, in file order
    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
    sqlite3_stmt* update_ = nullptr;
    sqlite3_stmt* delete_ = nullptr;
    sqlite3_stmt* counter_ = nullptr;
    sqlite3_stmt* dataVersion_ = nullptr;
    Identity identity_;
    int64_t lastDataVersion_ = 0;  // SQLite's data_version after the program's own last commit
    int64_t schemaVersion_ = 0;    // the layout's version number, as checked at opening
    std::recursive_mutex connection_;  // the connection is used by the folding thread too
    Mode mode_ = Mode::Writing;
    std::string readOnlyReason_;
    std::string logNotice_;
    std::unique_ptr<LogRecord> logRecord_;  // while the file is written
    // While an import's batch is open: the key counter as the batch last wrote it.
    std::optional<int64_t> batchCounter_;
    int64_t committedBatchCounter_ = 0;  // what the last committed batch left, for takeBack
    bool hadLog_ = false, hadIndex_ = false;  // log files found beside it at opening
    std::function<void()> committed_;
    std::string foldProblem_;  // why the log could not be folded in, the last time it was tried
    int foldError_ = 0;        // and the system's error then
    std::string openedPath_;    // the table's own file
    std::string keptPath_;      // where the rows were kept when the file was given up
    std::string keptProblem_;   // or why they could not be
};

}  // namespace barqeen
