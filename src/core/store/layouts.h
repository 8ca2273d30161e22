#pragma once
// The five tables' layouts: their fields in file order, key index, and the verse table's own
// field list with its display properties.
#include "core/store/table.h"

namespace barqeen::layouts {

// The name a table file records for the table it holds, and the file's name.
inline constexpr const char* kPoem = "Poem";
inline constexpr const char* kAuthors = "Authors";
inline constexpr const char* kCategories = "Categories";
inline constexpr const char* kHistory = "History";
inline constexpr const char* kPlayerPoem = "PlayerPoem";
std::string fileName(const char* kind);  // "Poem" -> "Poem.cds"

void definePoem(Table& t);
void defineAuthors(Table& t);
void defineCategories(Table& t);
void defineHistory(Table& t);
void definePlayerPoem(Table& t);

// The verse table's field list as the windows see it: the looked-up author name, the labels,
// widths, hidden and read-only fields. Needs the authors table for the looked-up name.
void dressPoem(Table& poem, const Table& authors);

}  // namespace barqeen::layouts
