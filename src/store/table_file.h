#pragma once
// A table's file: an SQLite database written by this program (layout in docs/table-files.md).
// Every committed change is written in its own durable transaction at once; a file that is not
// ours, or not sound, is refused and never written; a file replaced while the program runs is
// left as it was put, the program's rows written beside it.
#include "store/table.h"

#include <functional>
#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace barqeen {

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

    const std::string& path() const { return path_; }
    // The file can be read but not written: every change is refused.
    bool readOnly() const { return readOnly_; }

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
    bool inBatch() const { return inBatch_; }
    // Removes the rows from firstKey on and sets the key counter back to it, in one transaction:
    // undoes a committed batch whose partner files could not commit.
    void takeBack(int64_t firstKey);

private:
    // What the path holds now, against what the program last wrote there.
    enum class Place { Ours, Vanished, Replaced };
    struct Identity {
        unsigned long long device = 0, inode = 0;
        long long size = 0, modifiedSec = 0, modifiedNsec = 0;
        bool operator==(const Identity&) const = default;
    };

    TableFile(std::string path, Table& table, std::string kind);
    void connect();
    void prepareStatements();
    void disconnect(bool checkpoint);
    Place place() const;
    void rememberIdentity();
    void ensureFile();
    [[noreturn]] void giveUpFile(bool changeRefused);
    void dropLog() const;  // removes the log files beside the path
    std::string keepRowsBeside() const;
    void bindRow(sqlite3_stmt* stmt, const Row& row);
    void commit(const std::function<void()>& statements);

    std::string path_;
    Table& table_;
    std::string kind_;
    std::vector<FieldDef> defs_;  // the stored fields, in file order
    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
    sqlite3_stmt* update_ = nullptr;
    sqlite3_stmt* delete_ = nullptr;
    sqlite3_stmt* counter_ = nullptr;
    Identity identity_;
    bool readOnly_ = false;
    bool inBatch_ = false;
    int64_t fileCounter_ = 0;  // the key counter as last written by a batch
    bool hadLog_ = false, hadIndex_ = false;  // log files found beside it at opening
    bool givenUp_ = false;      // the file was replaced: nothing more is written to it
    std::string keptPath_;      // where the rows were kept then
    std::string keptProblem_;   // or why they could not be
};

}  // namespace barqeen
