#pragma once
// The five tables of the program and their files: making missing files, opening and closing in
// their orders, and the row writers of the game.
#include "store/table.h"
#include "store/table_file.h"

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
    // What the user is to be told once the tables are open (files that can only be read), or "".
    std::string openingNotice() const;

    // The open file of one of the five tables (nullptr while it is closed): for a change that is
    // written to several files at once (an import).
    TableFile* fileOf(const Table& table);

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

    std::string dir_;
    std::array<Slot, 5> slots_;
};

}  // namespace barqeen
