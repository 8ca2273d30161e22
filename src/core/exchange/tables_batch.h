#pragma once
// Rows added to several of the five tables as one change: stored in all of them, in their files
// and in memory, or in none. Nothing reaches a table in memory before every file has committed.
#include "core/store/poem_store.h"

#include <vector>

namespace barqeen::exchange {

class TablesBatch {
public:
    explicit TablesBatch(PoemStore& store) : store_(store) {}
    ~TablesBatch();  // what is still open is rolled back
    TablesBatch(const TablesBatch&) = delete;
    TablesBatch& operator=(const TablesBatch&) = delete;

    // Rows for one table, carrying the keys that follow its nextKey(). Tables are committed in
    // the order they are added: the tables the others refer to first.
    void add(Table& table, std::vector<Row> rows);

    // Writes up to maxRows more rows into the files' open transactions; false once all are
    // written. Throws when a file cannot take them; rollback() then leaves every file as it was.
    bool write(size_t maxRows);
    size_t rowsWritten() const { return written_; }
    size_t rowsInAll() const { return total_; }

    // Commits every file, then adds the rows to the tables in memory. When a file fails, the
    // files committed before it are taken back and the error is thrown: the tables are as they
    // were. (Should taking back fail too, those rows stay, in their files and in memory alike,
    // and the error says so.)
    void commit();
    void rollback() noexcept;

private:
    struct Part {
        Table* table;
        TableFile* file;  // null for a table without a file
        std::vector<Row> rows;
        int64_t firstKey;
        size_t written = 0;
        bool open = false;
    };

    PoemStore& store_;
    std::vector<Part> parts_;
    size_t written_ = 0;
    size_t total_ = 0;
};

}  // namespace barqeen::exchange
