// At exit every table's changed pending edit is posted; the first that cannot be is handed back,
// pending, with its reason.
#include "core/store/pending_edits.h"

#include <gtest/gtest.h>

using namespace barqeen;

namespace {

struct NamedTable {
    Table table;
    explicit NamedTable(const char* name) : table(name)
    {
        table.addFieldDef({"ID", FieldType::AutoIncrement, 0, false});
        table.addFieldDef({"Name", FieldType::String, 20, true});
        table.addIndexDef({"", "ID", true, true});
        table.createDataSet();
        table.appendRecord({Value(), Value("one")});
    }
    std::string storedName() const { return std::string(table.rowAt(0).cells[1].text()); }
};

TEST(PendingEditsTest, ChangedEditsArePostedAndUnchangedOnesLeftAlone)
{
    NamedTable changed("a"), untouched("b"), browsing("c");
    changed.table.edit();
    changed.table.field("Name").setAsString("two");
    untouched.table.edit();
    EXPECT_FALSE(PostChangedEdits({&changed.table, &untouched.table, &browsing.table}));
    EXPECT_EQ(changed.table.state(), Table::State::Browse);
    EXPECT_EQ(changed.storedName(), "two");
    EXPECT_EQ(untouched.table.state(), Table::State::Edit);  // dropped when the table closes
}

TEST(PendingEditsTest, TheFirstRefusedEditIsHandedBackAndTheTablesAfterItAreNotTouched)
{
    NamedTable first("a"), refused("b"), after("c");
    first.table.edit();
    first.table.field("Name").setAsString("two");
    refused.table.insert();  // a name typed and erased again: nothing to store
    refused.table.field("Name").setAsString("x");
    refused.table.field("Name").clear();
    after.table.edit();
    after.table.field("Name").setAsString("three");

    const std::optional<UnpostedEdit> unposted = PostChangedEdits({&first.table, &refused.table, &after.table});
    ASSERT_TRUE(unposted);
    EXPECT_EQ(unposted->table, &refused.table);
    EXPECT_EQ(unposted->fieldName, "Name");
    EXPECT_EQ(unposted->reason, "Field 'Name' must have a value");
    EXPECT_EQ(first.storedName(), "two");
    EXPECT_EQ(refused.table.state(), Table::State::Insert);
    EXPECT_EQ(after.table.state(), Table::State::Edit);
    EXPECT_EQ(after.storedName(), "one");

    // Left out, as the user may choose: the rest is posted on the next call.
    refused.table.cancel();
    EXPECT_FALSE(PostChangedEdits({&first.table, &refused.table, &after.table}));
    EXPECT_EQ(after.storedName(), "three");
    EXPECT_EQ(refused.table.rowCount(), 1);
}

}  // namespace
