#pragma once
// A verse table in memory (its file detached) with the search's record filter attached, as the
// main window attaches it, and helpers to run a search and read which verses it lets through.
#include "files_fixture.h"
#include "core/search/record_test.h"
#include "core/search/verse_search.h"
#include "core/store/poem_store.h"
#include "core/text/codepage.h"

#include <gtest/gtest.h>

#include <set>

namespace barqeen::test {

inline std::string ar(const char* utf8)
{
    return *codepage::fromUtf8(utf8);
}

class SearchFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.OpenTables();
        poem().setStorage(nullptr);
        poem().setFilterCallback([this](const RowRef& row) { return !active || search.accepts(row); });
    }
    Table& poem() { return store.cdsPoem; }

    int64_t addVerse(const std::string& text, int64_t author = 1, const std::string& start = "a",
                     const std::string& end = "b", const std::string& categories = "")
    {
        poem().appendRecord({Value(), Value(text), Value(), Value(author), Value(start), Value(end),
                             categories.empty() ? Value() : Value(categories)});
        return poem().field("TextID").asInteger();
    }

    // What the search button does: the criteria as set, every verse examined afresh.
    std::set<int64_t> run(const SearchCriteria& c)
    {
        search.setCriteria(c);
        active = true;
        poem().setFiltered(false);
        poem().setFilterText("");
        poem().setFiltered(true);
        return shown();
    }

    std::set<int64_t> shown()
    {
        std::set<int64_t> keys;
        const int key = poem().field("TextID").column();
        for (int p = 0; p < poem().recordCount(); ++p)
            keys.insert(poem().rowAt(poem().rowIndexAtPosition(p)).cells[size_t(key)].integer());
        return keys;
    }

    // The step-by-step test over every verse.
    std::set<int64_t> expected(const SearchCriteria& c)
    {
        std::set<int64_t> keys;
        const int key = poem().field("TextID").column();
        for (int i = 0; i < poem().rowCount(); ++i)
            if (AcceptsRecord(c, RowRef(poem(), poem().rowAt(i))))
                keys.insert(poem().rowAt(i).cells[size_t(key)].integer());
        return keys;
    }

    TempFolder dir;
    PoemStore store{dir.path()};
    VerseSearch search{store.cdsPoem};
    bool active = false;
};

}  // namespace barqeen::test
