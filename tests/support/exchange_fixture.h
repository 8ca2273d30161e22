#pragma once
// A data folder for import and export tests, and the verse table's rows read back as UTF-8.
#include "core/exchange/import_report.h"
#include "core/exchange/verse_import.h"
#include "files_fixture.h"
#include "core/store/poem_store.h"
#include "core/text/codepage.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace barqeen::test {

inline std::string cp(const std::string& utf8)
{
    return *codepage::fromUtf8(utf8);
}

inline std::string utf8(std::string_view bytes)
{
    return codepage::toUtf8(bytes);
}

// A verse as the tables hold it, in UTF-8; categories by name, in the categories' order.
struct StoredVerse {
    std::string text, poet;
    std::vector<std::string> categories;
    std::string first, last;
    bool operator==(const StoredVerse&) const = default;
};

// A refused line as the tests expect it: its number and the reason.
struct Refusing {
    int line;
    exchange::Refusal reason;
    bool operator==(const Refusing&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Refusing& r)
{
    return os << "line " << r.line << ": " << exchange::refusalName(r.reason);
}

inline std::ostream& operator<<(std::ostream& os, const StoredVerse& v)
{
    os << "{" << v.text << " | " << v.poet << " | [";
    for (const std::string& c : v.categories)
        os << c << ";";
    return os << "] | " << v.first << " | " << v.last << "}";
}

inline StoredVerse storedVerse(PoemStore& store, int rowIndex)
{
    const Table& poem = store.cdsPoem;
    const Row& row = poem.rowAt(rowIndex);
    StoredVerse v;
    v.text = utf8(row.cells[size_t(poem.field("Text").column())].text());
    const Value& author = row.cells[size_t(poem.field("AuthorID").column())];
    if (author.isInteger())
        if (auto name = store.cdsAuthors.lookupByKey(author.integer(), store.cdsAuthors.field("AuthorName").column()))
            v.poet = utf8(name->text());
    const std::string tags(row.cells[size_t(poem.field("Categories").column())].text());
    const Table& categories = store.cdsCategories;
    for (int r = 0; r < categories.rowCount(); ++r) {
        const std::string tag = "(" + std::to_string(categories.rowAt(r).cells[0].integer()) + ")";
        if (tags.find(tag) != std::string::npos)
            v.categories.push_back(utf8(categories.rowAt(r).cells[1].text()));
    }
    v.first = utf8(row.cells[size_t(poem.field("StartLetter").column())].text());
    v.last = utf8(row.cells[size_t(poem.field("EndLetter").column())].text());
    return v;
}

inline std::vector<StoredVerse> storedVerses(PoemStore& store, int from = 0)
{
    std::vector<StoredVerse> verses;
    for (int r = from; r < store.cdsPoem.rowCount(); ++r)
        verses.push_back(storedVerse(store, r));
    return verses;
}

// What the three tables an import writes hold, to tell that nothing changed.
struct TablesState {
    std::vector<StoredVerse> verses;
    std::vector<std::string> poets, categories;
    int64_t nextVerse = 0, nextPoet = 0, nextCategory = 0;
    bool operator==(const TablesState&) const = default;
};

inline TablesState stateOf(PoemStore& store)
{
    TablesState s;
    s.verses = storedVerses(store);
    for (int r = 0; r < store.cdsAuthors.rowCount(); ++r)
        s.poets.push_back(utf8(store.cdsAuthors.rowAt(r).cells[1].text()));
    for (int r = 0; r < store.cdsCategories.rowCount(); ++r)
        s.categories.push_back(utf8(store.cdsCategories.rowAt(r).cells[1].text()));
    s.nextVerse = store.cdsPoem.nextKey();
    s.nextPoet = store.cdsAuthors.nextKey();
    s.nextCategory = store.cdsCategories.nextKey();
    return s;
}

// The same, as a second reader of the folder's files sees them.
inline TablesState stateOnDisk(const std::string& dir)
{
    PoemStore reader(dir);
    reader.OpenTables();
    TablesState s = stateOf(reader);
    reader.CloseTables();
    return s;
}

}  // namespace barqeen::test
