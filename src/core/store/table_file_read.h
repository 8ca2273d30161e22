#pragma once
// Reading a table file: the checks that tell a sound file of ours from a foreign, damaged or cut
// one, and the rows. Each check throws Error with the reason in the user's words.
#include "core/store/table.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

namespace barqeen::table_file_read {

// Keys, and the game numbers taken from them, are 32-bit numbers.
constexpr int64_t kLargestKey = 2147483647;

constexpr int kApplicationId = 0x42515254;  // "BQRT": a Barqeen table
constexpr int kFormatVersion = 1;

// Before SQLite opens the path: a plain file the program may read (not a folder, a pipe, ...).
void checkPlainFile(const std::string& path);

// The two marks of a Barqeen table file.
void checkMarks(sqlite3* db);

// The statements that make the four tables of a file for these fields, as the program writes them.
std::vector<std::string> layoutStatements(const std::vector<FieldDef>& defs);

// Nothing in the file but the four tables, each as the program makes it: a trigger, a view, an
// index or a changed table would act on the program's writes behind its back.
void checkSchema(sqlite3* db, const std::vector<FieldDef>& defs);

// The table's name, fields and key index; answers the key counter.
int64_t checkLayout(sqlite3* db, const Table& table, const std::string& kind);

// The file is as long as its header says: a file cut short reads as zeroes where SQLite does
// not notice it.
void checkLength(const std::string& path);

// Every row in key order, long texts held in arena, each checked: keys positive, increasing and
// below the counter, required fields filled, numbers within their field's range, valid texts.
void readRows(sqlite3* db, const Table& table, int64_t nextKey, std::vector<Row>& rows, TextArena& arena);

}  // namespace barqeen::table_file_read
