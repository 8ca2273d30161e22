// The table engine's rules: pending edits, required fields, filters, the after-move hook, keys.
#include "core/store/table.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace barqeen;

namespace {

// Records what the table hands to its file, and can refuse to write.
struct FakeStorage : TableStorage {
    std::vector<std::string> calls;
    bool fail = false;
    void rowAdded(const Row& row, int64_t nextKey) override
    {
        check();
        calls.push_back("add " + std::to_string(row.cells[0].integer()) + " next " + std::to_string(nextKey));
    }
    void rowChanged(const Row& row) override
    {
        check();
        calls.push_back("change " + std::to_string(row.cells[0].integer()));
    }
    void rowDeleted(int64_t key) override
    {
        check();
        calls.push_back("delete " + std::to_string(key));
    }
    void check()
    {
        if (fail)
            throw Error("disk full");
    }
};

// A small verse-like table: ID, Name string(5) required, Letter string(1), Count integer.
class TableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        t.addFieldDef({"ID", FieldType::AutoIncrement, 0, false});
        t.addFieldDef({"Name", FieldType::String, 5, true});
        t.addFieldDef({"Letter", FieldType::String, 1, false});
        t.addFieldDef({"Count", FieldType::Integer, 0, false});
        t.addFieldDef({"Note", FieldType::Memo, 10, false});
        t.addIndexDef({"", "ID", true, true});
        t.field("Name").setDisplayLabel("Label of Name");
        t.createDataSet();
        t.setStorage(&storage);
        t.setAfterScroll([this] { ++scrolls; });
    }

    void add(const std::string& name, const std::string& letter, int count = 0)
    {
        t.appendRecord({Value(), Value(name), Value(letter), Value(count)});
    }

    std::vector<std::string> names()
    {
        std::vector<std::string> out;
        for (t.first(); !t.eof(); t.next())
            out.push_back(t.field("Name").asString());
        return out;
    }

    // Runs an action and answers how many times the after-move hook ran during it.
    int scrollsDuring(const std::function<void()>& action)
    {
        const int before = scrolls;
        action();
        return scrolls - before;
    }

    Table t{"test"};
    FakeStorage storage;
    int scrolls = 0;
};

TEST_F(TableTest, AppendedRowsTakeIncreasingKeysAndAreStoredAtOnce)
{
    add("a", "x");
    add("b", "y");
    EXPECT_EQ(t.field("ID").asInteger(), 2);  // the append leaves the new row current
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(storage.calls, (std::vector<std::string>{"add 1 next 2", "add 2 next 3"}));
}

TEST_F(TableTest, KeyOfADeletedRowIsNeverGivenAgain)
{
    add("a", "x");
    add("b", "x");
    t.last();
    t.remove();
    add("c", "x");
    EXPECT_EQ(t.field("ID").asInteger(), 3);
    EXPECT_EQ(t.nextKey(), 4);
}

TEST_F(TableTest, ChangedPendingEditIsCommittedByTheNextMove)
{
    add("a", "x");
    add("b", "x");
    t.first();
    t.edit();
    t.field("Name").setAsString("z");
    t.next();
    EXPECT_EQ(t.state(), Table::State::Browse);
    EXPECT_EQ(names(), (std::vector<std::string>{"z", "b"}));
    EXPECT_EQ(storage.calls.back(), "change 1");
}

TEST_F(TableTest, UnchangedPendingEditIsDroppedWithoutWriting)
{
    add("a", "x");
    storage.calls.clear();
    t.edit();
    t.first();
    t.insert();
    t.append();  // settles the empty insertion: dropped
    t.setFiltered(false);
    EXPECT_EQ(t.state(), Table::State::Browse);
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_TRUE(storage.calls.empty());
}

TEST_F(TableTest, EverySettlingEventCommitsAChangedInsertion)
{
    struct Case {
        const char* what;
        bool filteredBefore;
        std::function<void(Table&)> settle;
    };
    const std::vector<Case> cases = {
        {"first", false, [](Table& t) { t.first(); }},
        {"next", false, [](Table& t) { t.next(); }},
        {"recno", false, [](Table& t) { t.setRecNo(1); }},
        {"locate", false, [](Table& t) { t.locate("ID", Value(1)); }},
        {"append", false, [](Table& t) { t.appendRecord({Value(), Value("w")}); }},
        {"filter on", false, [](Table& t) { t.setFiltered(true); }},
        {"filter off", true, [](Table& t) { t.setFiltered(false); }},
        {"filter text while on", true, [](Table& t) { t.setFilterText("Letter = 'x'"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Table fresh("fresh");
        fresh.addFieldDef({"ID", FieldType::AutoIncrement, 0, false});
        fresh.addFieldDef({"Name", FieldType::String, 5, true});
        fresh.addFieldDef({"Letter", FieldType::String, 1, false});
        fresh.addIndexDef({"", "ID", true, true});
        fresh.createDataSet();
        fresh.appendRecord({Value(), Value("a"), Value("x")});
        fresh.setFiltered(c.filteredBefore);
        fresh.insert();
        fresh.field("Name").setAsString("new");
        c.settle(fresh);
        EXPECT_EQ(fresh.state(), Table::State::Browse);
        fresh.setFiltered(false);
        EXPECT_TRUE(fresh.locate("Name", Value("new")));
    }
}

TEST_F(TableTest, RequiredFieldLeftEmptyNamesItsLabelAndKeepsTheEdit)
{
    t.insert();
    t.field("Letter").setAsString("x");
    try {
        t.post();
        FAIL() << "post should refuse";
    } catch (const RequiredFieldError& e) {
        EXPECT_STREQ(e.what(), "Field 'Label of Name' must have a value");
        EXPECT_EQ(e.fieldName, "Name");
    }
    EXPECT_EQ(t.state(), Table::State::Insert);
    EXPECT_EQ(t.field("Letter").asString(), "x");
    // A move settles the changed insertion by committing it, which fails the same way.
    EXPECT_THROW(t.first(), RequiredFieldError);
    EXPECT_EQ(t.state(), Table::State::Insert);
}

TEST_F(TableTest, RequiredTextSetToEmptyIsRefusedByTheTable)
{
    add("a", "x");
    t.edit();
    t.field("Name").setAsString("");
    EXPECT_FALSE(t.field("Name").isNull());
    try {
        t.post();
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Field value required.");
    }
    EXPECT_EQ(t.state(), Table::State::Edit);
    t.cancel();
    EXPECT_EQ(t.field("Name").asString(), "a");
}

TEST(RequiredMemoTest, AMemoErasedToEmptyTextHasNoValue)
{
    Table verses("verses");
    verses.addFieldDef({"ID", FieldType::AutoIncrement, 0, false});
    verses.addFieldDef({"Text", FieldType::Memo, 70, true});
    verses.addIndexDef({"", "ID", true, true});
    verses.createDataSet();
    verses.field("Text").setDisplayLabel("Verse");
    for (bool existing : {false, true}) {
        if (existing) {
            verses.appendRecord({Value(), Value("a verse")});
            verses.edit();
        } else {
            verses.insert();
        }
        verses.field("Text").setAsString("typed");
        verses.field("Text").setAsString("");
        try {
            verses.post();
            FAIL() << "an empty required memo was posted";
        } catch (const RequiredFieldError& e) {
            EXPECT_STREQ(e.what(), "Field 'Verse' must have a value");
            EXPECT_EQ(e.fieldName, "Text");
        }
        EXPECT_NE(verses.state(), Table::State::Browse);
        verses.cancel();
    }
    ASSERT_EQ(verses.rowCount(), 1);
    EXPECT_EQ(verses.rowAt(0).cells[1].text(), "a verse");
}

TEST_F(TableTest, RefusedAppendLeavesTheTableAsItWas)
{
    add("a", "x");
    const int scrollsBefore = scrolls;
    for (const Value& name : {Value(), Value("")}) {
        try {
            t.appendRecord({Value(), name, Value("y")});
            FAIL();
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Field value required.");
        }
    }
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.nextKey(), 2);
    EXPECT_EQ(t.state(), Table::State::Browse);
    EXPECT_EQ(t.field("Name").asString(), "a");
    EXPECT_EQ(scrolls, scrollsBefore);
}

TEST_F(TableTest, FailedWriteKeepsMemoryAsItWasAndTheEditPending)
{
    add("a", "x");
    storage.fail = true;
    EXPECT_THROW(add("b", "x"), Error);
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.nextKey(), 2);

    t.edit();
    t.field("Name").setAsString("z");
    EXPECT_THROW(t.post(), Error);
    EXPECT_EQ(t.state(), Table::State::Edit);  // the user's change is still there to retry
    EXPECT_EQ(t.field("Name").asString(), "z");
    t.cancel();
    EXPECT_THROW(t.remove(), Error);
    EXPECT_EQ(t.recordCount(), 1);
    storage.fail = false;
    t.remove();
    EXPECT_TRUE(t.isEmpty());
}

TEST_F(TableTest, StringsAreCutToTheirSizeButMemosAreNot)
{
    t.appendRecord({Value(), Value("abcdefgh"), Value("xyz"), Value(), Value("a memo much longer than ten")});
    EXPECT_EQ(t.field("Name").asString(), "abcde");
    EXPECT_EQ(t.field("Letter").asString(), "x");
    EXPECT_EQ(t.field("Note").asString(), "a memo much longer than ten");
}

TEST_F(TableTest, NumberFieldsParseTextAndRefuseGarbage)
{
    add("a", "x");
    t.edit();
    t.field("Count").setAsString(" 42 ");
    EXPECT_EQ(t.field("Count").asInteger(), 42);
    try {
        t.field("Count").setAsString("4x");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'4x' is not a valid integer value");
    }
    t.field("Count").setAsString("");
    EXPECT_TRUE(t.field("Count").isNull());
    EXPECT_THROW(t.field("ID").setAsInteger(7), Error);  // the key is the table's
}

TEST_F(TableTest, SettingAFieldNeedsEditOrInsert)
{
    add("a", "x");
    EXPECT_THROW(t.field("Name").setAsString("b"), Error);
}

TEST_F(TableTest, EditOnAnEmptyTableStartsAnInsertion)
{
    t.edit();
    EXPECT_EQ(t.state(), Table::State::Insert);
}

TEST_F(TableTest, FilterTextShowsOnlyMatchingRowsAndMovesSeeOnlyThem)
{
    add("a", "x");
    add("b", "y");
    add("c", "x");
    add("d", "y");
    t.setFilterText("Letter = 'y'");
    EXPECT_EQ(t.recordCount(), 4);  // the text alone filters nothing
    t.setFiltered(true);
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.field("Name").asString(), "b");  // left on the first visible row
    EXPECT_EQ(names(), (std::vector<std::string>{"b", "d"}));
    t.setRecNo(2);
    EXPECT_EQ(t.field("Name").asString(), "d");
    EXPECT_FALSE(t.locate("ID", Value(1)));  // hidden rows cannot be located
    EXPECT_TRUE(t.locate("ID", Value(4)));

    t.setFilterText("Count = 0");
    EXPECT_EQ(t.recordCount(), 4);
    t.setFiltered(false);
    EXPECT_EQ(t.filterText(), "Count = 0");
    EXPECT_EQ(t.recordCount(), 4);
}

TEST_F(TableTest, FilterCallbackAndTextMustBothAccept)
{
    add("a", "x", 1);
    add("b", "x", 2);
    add("c", "y", 2);
    bool onlyTwos = false;
    t.setFilterCallback([&](const RowRef& row) { return !onlyTwos || row.cell("Count").integer() == 2; });
    t.setFilterText("Letter = 'x'");
    t.setFiltered(true);
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "b"}));
    onlyTwos = true;
    t.refilter();
    EXPECT_EQ(names(), (std::vector<std::string>{"b"}));
}

TEST_F(TableTest, BadFilterTextIsRefusedAndTheOldOneKept)
{
    t.setFilterText("Letter = 'x'");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"GameID = ", "Field 'GameID' not found"},
        {"Count = ", "Expression expected but nothing found"},
        {"Count", "Operator expected but nothing found"},
        {"Count = 'x", "Unterminated string"},
        {"= 3", "Expression expected but = found"},
        {"Count = 3 4", "End of expression expected but 4 found"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        try {
            t.setFilterText(text);
            FAIL();
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
        EXPECT_EQ(t.filterText(), "Letter = 'x'");
    }
}

TEST_F(TableTest, QuotesAndNumbersInFilterText)
{
    t.appendRecord({Value(), Value("o'k"), Value("'")});
    add("b", "y", 12);
    t.setFilterText("Letter = ''''");
    t.setFiltered(true);
    EXPECT_EQ(names(), (std::vector<std::string>{"o'k"}));
    t.setFilterText("Count = 12");
    EXPECT_EQ(names(), (std::vector<std::string>{"b"}));
}

TEST_F(TableTest, AfterMoveHookFiresWhereItShould)
{
    add("a", "x");
    add("b", "x");
    add("c", "x");
    struct Case {
        const char* what;
        std::function<void()> action;
        int expected;
    };
    const std::vector<Case> cases = {
        {"first", [&] { t.first(); }, 1},
        {"next", [&] { t.next(); }, 1},
        {"prior", [&] { t.prior(); }, 1},
        {"prior down to the start and past it", [&] { t.setRecNo(2), t.prior(), t.prior(), t.prior(); }, 3},
        {"last", [&] { t.last(); }, 1},
        {"next at the end", [&] { t.next(); }, 0},  // last left the table at its end
        {"recno elsewhere", [&] { t.setRecNo(1); }, 1},
        {"recno same row", [&] { t.setRecNo(1); }, 0},
        {"locate found", [&] { t.locate("ID", Value(2)); }, 1},
        {"locate not found", [&] { t.locate("ID", Value(99)); }, 0},
        {"edit", [&] { t.edit(); }, 0},
        {"post", [&] { t.field("Name").setAsString("q"), t.post(); }, 0},
        {"cancel edit", [&] { t.edit(), t.field("Name").setAsString("r"), t.cancel(); }, 0},
        {"insert", [&] { t.insert(); }, 1},
        {"cancel insert", [&] { t.cancel(); }, 1},
        {"append", [&] { t.append(); }, 1},
        {"delete (cancels the insertion)", [&] { t.remove(); }, 1},
        {"append with values", [&] { add("d", "x"); }, 1},
        {"delete", [&] { t.remove(); }, 1},
        {"filter switched to its own state", [&] { t.setFiltered(false); }, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scrollsDuring(c.action), c.expected) << c.what;
}

TEST_F(TableTest, ScrollBatchRunsTheHookOnceAtTheEnd)
{
    add("a", "x");
    add("b", "x");
    EXPECT_EQ(scrollsDuring([&] {
                  Table::ScrollBatch batch(t);
                  for (t.first(); !t.eof(); t.next()) {
                  }
              }),
              1);
    EXPECT_EQ(scrollsDuring([&] { Table::ScrollBatch batch(t); }), 0);
}

TEST_F(TableTest, CursorFlagsFollowTheMoves)
{
    EXPECT_TRUE(t.eof() && t.bof());
    EXPECT_EQ(t.recNo(), 0);
    add("a", "x");
    add("b", "x");
    t.first();
    EXPECT_TRUE(t.bof());
    EXPECT_FALSE(t.eof());
    t.next();
    t.next();
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.field("Name").asString(), "b");  // at the end, the last row stays current
    EXPECT_EQ(t.recNo(), 2);
    t.setRecNo(99);
    EXPECT_EQ(t.recNo(), 2);
}

TEST_F(TableTest, DeletingMovesToTheNextRowOrTheLast)
{
    add("a", "x");
    add("b", "x");
    add("c", "x");
    t.setRecNo(2);
    t.remove();
    EXPECT_EQ(t.field("Name").asString(), "c");
    t.remove();
    EXPECT_EQ(t.field("Name").asString(), "a");
    t.remove();
    EXPECT_TRUE(t.isEmpty());
    EXPECT_THROW(t.remove(), Error);
}

TEST_F(TableTest, DeletingUnderAFilterKeepsTheOtherVisibleRows)
{
    for (const char* n : {"a", "b", "c", "d", "e"})
        add(n, std::string(n) < "c" ? "x" : "y");
    t.setFilterText("Letter = 'y'");
    t.setFiltered(true);
    t.remove();  // c
    EXPECT_EQ(names(), (std::vector<std::string>{"d", "e"}));
    t.setFiltered(false);
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "b", "d", "e"}));
}

TEST_F(TableTest, AnEditedRowThatNoLongerMatchesLeavesTheFilteredView)
{
    add("a", "x");
    add("b", "x");
    t.setFilterText("Letter = 'x'");
    t.setFiltered(true);
    t.edit();
    t.field("Letter").setAsString("y");
    t.post();
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.field("Name").asString(), "b");
}

TEST_F(TableTest, ClosedTableRefusesWork)
{
    t.close();
    EXPECT_THROW(t.first(), Error);
    EXPECT_THROW(t.appendRecord({}), Error);
}

TEST(LookupFieldTest, ShowsTheSourceRowsValueOrNothing)
{
    Table authors("authors");
    authors.addFieldDef({"AuthorID", FieldType::AutoIncrement, 0, false});
    authors.addFieldDef({"AuthorName", FieldType::String, 30, true});
    authors.addIndexDef({"", "AuthorID", true, true});
    authors.createDataSet();
    authors.appendRecord({Value(), Value("Mutanabbi")});
    authors.appendRecord({Value(), Value("Maarri")});

    Table poem("poem");
    poem.addFieldDef({"TextID", FieldType::AutoIncrement, 0, false});
    poem.addFieldDef({"AuthorID", FieldType::Integer, 0, false});
    poem.addIndexDef({"", "TextID", true, true});
    poem.addLookupField(1, "AuthorName", 30, "AuthorID", authors, "AuthorName");
    poem.createDataSet();
    EXPECT_EQ(poem.fieldAt(1).name(), "AuthorName");
    EXPECT_EQ(poem.fieldAt(2).name(), "AuthorID");

    poem.appendRecord({Value(), Value(), Value(2)});
    EXPECT_EQ(poem.field("AuthorName").asString(), "Maarri");
    poem.appendRecord({Value(), Value(), Value(7)});
    EXPECT_EQ(poem.field("AuthorName").asString(), "");
    poem.appendRecord({});
    EXPECT_EQ(poem.field("AuthorName").asString(), "");
    EXPECT_THROW(poem.appendRecord({Value(), Value("x")}), Error);  // not stored, not settable

    authors.first();
    authors.remove();  // deleting an author leaves the verses, which then show no name
    poem.first();
    poem.edit();
    poem.field("AuthorID").setAsInteger(1);
    EXPECT_EQ(poem.field("AuthorName").asString(), "");
}

TEST(ValueTest, HoldsIntegersShortAndLongTextAndCopies)
{
    const std::string longText(300, '\xC7');
    std::vector<Value> values = {Value(), Value(int64_t(-5)), Value("abc"), Value(std::string(14, 'x')),
                                 Value(std::string(15, 'y')), Value(longText), Value("")};
    std::vector<Value> copies = values;
    std::vector<Value> moved = std::move(copies);
    ASSERT_EQ(moved.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(moved[i], values[i]) << i;
    EXPECT_EQ(moved[5].text(), longText);
    EXPECT_EQ(moved[4].text().size(), 15u);
    EXPECT_TRUE(moved[6].isText());
    EXPECT_TRUE(moved[0].isNull());
    EXPECT_NE(Value(""), Value());
    moved[5] = moved[2];
    EXPECT_EQ(moved[5].text(), "abc");
}

}  // namespace

namespace {

// A filter on an indexed one-letter field shows exactly what a scan would, through appends,
// edits and deletes in any order.
TEST(LetterIndexTest, IndexedFilterMatchesAPlainScan)
{
    auto define = [](Table& t) {
        t.addFieldDef({"ID", FieldType::AutoIncrement, 0, false});
        t.addFieldDef({"Letter", FieldType::String, 1, false});
        t.addIndexDef({"", "ID", true, true});
    };
    Table indexed("indexed"), plain("plain");
    define(indexed);
    define(plain);
    indexed.setLetterIndex("Letter");
    indexed.createDataSet();
    plain.createDataSet();
    const std::string letters = "abc";
    std::mt19937 random(11);
    auto visibleKeys = [](Table& t, const std::string& filter) {
        t.setFilterText(filter);
        t.setFiltered(true);
        std::vector<int64_t> keys;
        for (t.first(); !t.eof(); t.next())
            keys.push_back(t.field("ID").asInteger());
        t.setFiltered(false);
        return keys;
    };
    for (int step = 0; step < 600; ++step) {
        const int op = int(random() % 4);
        const Value letter = random() % 10 == 0 ? Value("") : Value(std::string(1, letters[random() % 3]));
        const int at = plain.isEmpty() ? 0 : int(random() % plain.recordCount()) + 1;
        for (Table* t : {&indexed, &plain}) {
            if (op <= 1 || t->isEmpty()) {
                t->appendRecord({Value(), letter});
            } else if (op == 2) {
                t->setRecNo(at);
                t->edit();
                t->field("Letter").setValue(letter);
                t->post();
            } else {
                t->setRecNo(at);
                t->remove();
            }
        }
        for (const char* filter : {"Letter = 'a'", "Letter = 'b'", "Letter = 'c'", "Letter = ''", "Letter = 'ab'"})
            ASSERT_EQ(visibleKeys(indexed, filter), visibleKeys(plain, filter)) << "step " << step << " " << filter;
    }
}

}  // namespace

#include "core/store/text_arena.h"

namespace {

// Rows read from a file point into the table's text arena; a value copied out of a row owns its
// text, so it stays good after the table has closed and freed the arena.
TEST(TextArenaTest, CopiesOfBorrowedTextOwnTheirText)
{
    const std::string verse(100, '\xC8');
    Value copy;
    {
        TextArena arena;
        const Value held = arena.hold(verse);
        const Value shortOne = arena.hold("short");
        EXPECT_EQ(held.text(), verse);
        EXPECT_EQ(shortOne.text(), "short");
        copy = held;
    }
    EXPECT_EQ(copy.text(), verse);

    Table t("t");
    t.addFieldDef({"ID", FieldType::AutoIncrement, 0, false});
    t.addFieldDef({"Text", FieldType::Memo, 70, false});
    t.addIndexDef({"", "ID", true, true});
    TextArena arena;
    std::vector<Row> rows;
    rows.push_back({{Value(int64_t(1)), arena.hold(verse)}, {}});
    t.load(std::move(rows), 2, std::move(arena));
    const Value read = t.field("Text").value();
    t.close();
    EXPECT_EQ(read.text(), verse);
}

}  // namespace

namespace {

// Views come and go while notices are delivered: one that leaves is not called again, one that
// arrives hears the next notice.
TEST(TableObserversTest, ObserversAddedOrRemovedDuringANotice)
{
    Table t("t");
    t.addFieldDef({"ID", FieldType::AutoIncrement, 0, false});
    t.addIndexDef({"", "ID", true, true});
    t.createDataSet();
    int first = 0, second = 0, late = 0;
    int secondId = 0;
    t.addObserver([&](const TableEvent& e) {
        if (e.kind != TableEvent::Moved)
            return;
        ++first;
        if (first == 1) {
            t.removeObserver(secondId);
            t.addObserver([&](const TableEvent& e2) { late += e2.kind == TableEvent::Moved; });
        }
    });
    secondId = t.addObserver([&](const TableEvent& e) { second += e.kind == TableEvent::Moved; });
    t.first();
    EXPECT_EQ(second, 0);
    t.first();
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(late, 2);  // it was added before the first notice's list was done
}

}  // namespace
