#pragma once
// The five tables of the program and their files: making missing files, opening and closing in
// their orders, and the row writers of the game.
#include "core/store/table.h"
#include "core/store/log_folder.h"
#include "core/store/table_file.h"

#include <QDateTime>

#include <array>
#include <memory>
#include <string>

namespace barqeen {

class PoemStore {
public:
    // dir: the folder that holds the table files (the program's own folder).
    explicit PoemStore(std::string dir);
    ~PoemStore();

    Table cdsPoem{"cdsPoem"};
    Table cdsAuthors{"cdsAuthors"};
    Table cdsCategories{"cdsCategories"};
    Table cdsHistory{"cdsHistory"};
    Table cdsPlayerPoem{"cdsPlayerPoem"};

    const std::string& dir() const { return dir_; }
    std::string pathOf(const char* kind) const;
    // The meters of the verses, kept beside the tables (a cache made again when lost).
    std::string metersPath() const;
    // Whether path names a file the store keeps: a table file with its logs and records, the
    // import's record or the lock, by its name in the folder, or the same file reached otherwise.
    bool ownsFile(const std::string& path) const;

    // Makes the missing files, then opens the five tables. Throws at the first table that fails;
    // the tables after it stay closed.
    void OpenTables();
    void CreatePoemTable();
    void CreateAuthorsTable();
    void CreateCategoriesTable();
    void CreateHistoryTable();
    void CreatePlayerPoemTable();
    // Closes all five, even when one of them cannot be written; then reports what failed.
    void CloseTables();
    // The logs are folded into the files a moment after the commits pause, on a thread of the
    // store's own (on by default; set before OpenTables).
    void setIdleFolding(bool on) { idleFolding_ = on; }
    // What the user is to be told once the tables are open (files that can only be read, logs set
    // aside, an interrupted import undone), or "".
    std::string openingNotice() const;

    // The open file of one of the five tables (nullptr while it is closed): for a change that is
    // written to several files at once (an import).
    TableFile* fileOf(const Table& table);
    // The kind of one of the five tables ("Poem"), the name its file and records go by.
    const char* kindOf(const Table& table) const;

    // name is Windows-1256 text; returns the new GameID.
    int AddHistory(const std::string& playerName, const QDateTime& playTime);
    void AddPlayerPoem(int gameId, const std::string& text);
    void FinishHistory(int gameId, int duration, int rounds, int endType);

private:
    struct Slot {
        Table* table;
        const char* kind;
        std::unique_ptr<TableFile> file;
    };
    Slot& slot(const char* kind);
    void createTable(const char* kind, void (*define)(Table&));
    void openTable(const char* kind);
    void closeTable(const char* kind);
    void undoInterruptedBatch();

    std::string dir_;
    std::array<Slot, 5> slots_;
    std::string batchNotice_;
    bool idleFolding_ = true;
    std::unique_ptr<LogFolder> folder_;
};

}  // namespace barqeen
