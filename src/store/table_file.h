#pragma once
// A table's file: an SQLite database written by this program (layout in docs/table-files.md).
// Every committed change is written in its own transaction at once; a file that is not ours,
// or not readable, is refused and never written.
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

    // Reads the file into the table, after checking that it is ours and holds this table's
    // layout. On success the table is open and sends its commits to the returned file.
    static std::unique_ptr<TableFile> open(const std::string& path, Table& table, const std::string& kind);

    ~TableFile() override;
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    // Ends the file's use; a file deleted while the table was open is first written again whole.
    void close();

    const std::string& path() const { return path_; }

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
    TableFile(std::string path, Table& table, std::string kind);
    void openConnection();
    void prepareStatements();
    void disconnect();
    bool fileStillOurs() const;
    void ensureFile();  // writes the file again whole if it has vanished
    void rememberIdentity();
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
    bool inBatch_ = false;
    unsigned long long device_ = 0;
    unsigned long long inode_ = 0;
};

}  // namespace barqeen
