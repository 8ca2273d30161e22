// The search by meter, alone and with the other criteria: the fast answers, read from the meters
// kept for all verses, equal the step-by-step test that scans each verse, whether the meters are
// all known, known in part, or out of date after an edit.
#include "classical_verses.h"
#include "search_fixture.h"

#include "core/search/verse_meters.h"
#include "core/store/layouts.h"

#include <map>

using namespace barqeen;
using namespace barqeen::test;

namespace {

class SearchMeterTest : public SearchFixture {
protected:
    void SetUp() override
    {
        SearchFixture::SetUp();
        verses = classicalVerses("classical_verses.tsv", 80);
        ASSERT_EQ(verses.size(), 80u);
        // The verses of many meters; two poets in turn.
        for (size_t i = 0; i < verses.size(); ++i)
            addVerse(verses[i], 1 + int64_t(i % 2));
        meters.open();
        search.setMeters(&meters);
    }

    SearchCriteria byMeter(std::optional<int> choice)
    {
        SearchCriteria c;
        c.advanced = true;
        c.byMeter = true;
        c.meter = choice;
        return c;
    }

    // For every meter and «غير معروف»: alone, with a word, with a poet, with both.
    void expectFastAnswersEqualStepByStep()
    {
        for (int choice = 0; choice < MeterChoiceCount(); ++choice) {
            SCOPED_TRACE(MeterChoiceName(choice));
            SearchCriteria alone = byMeter(choice);
            SearchCriteria withWord = alone;
            withWord.words = ar("ما");
            SearchCriteria withPoet = alone;
            withPoet.byAuthor = true, withPoet.author = 2;
            SearchCriteria withBoth = withWord;
            withBoth.byAuthor = true, withBoth.author = 1;
            for (const SearchCriteria& c : {alone, withWord, withPoet, withBoth})
                EXPECT_EQ(run(c), expected(c));
        }
    }

    std::vector<std::string> verses;
    VerseMeters meters{store.cdsPoem, store.pathOf(layouts::kPoem), store.metersPath()};
};

TEST_F(SearchMeterTest, FastAnswersEqualTheStepByStepTest)
{
    meters.scanAll(2);
    ASSERT_TRUE(meters.complete());
    // The fixture is worth its name: several meters are found, and some verses named by none.
    std::map<int, size_t> found;
    for (int choice = 0; choice < MeterChoiceCount(); ++choice)
        found[choice] = run(byMeter(choice)).size();
    int metersFound = 0;
    for (int choice = 0; choice + 1 < MeterChoiceCount(); ++choice)
        metersFound += found[choice] > 0;
    EXPECT_GE(metersFound, 6);
    EXPECT_GT(found[kNoMeterNamed], 0u);

    expectFastAnswersEqualStepByStep();
    EXPECT_TRUE(run(byMeter(std::nullopt)).empty()) << "ticked with no meter chosen finds none";
    SearchCriteria hidden = byMeter(0);
    hidden.advanced = false;
    EXPECT_EQ(run(hidden).size(), size_t(poem().rowCount())) << "the hidden panel's meter does nothing";
}

// Before the meters are all known, and after edits that make some out of date, the answers are
// still those of the verses as they are now.
TEST_F(SearchMeterTest, AnswersRightWhileMetersAreKnownInPartOrOutOfDate)
{
    const VerseMeters::Batch some = meters.takeBatch(20);
    meters.apply(some, VerseMeters::Scan(some));
    ASSERT_FALSE(meters.complete());
    expectFastAnswersEqualStepByStep();

    meters.scanAll(2);
    // A verse takes another's text (of another meter), another verse is added: neither has its
    // meter known until scanned again.
    poem().setFiltered(false);
    poem().setRecNo(3);
    poem().edit();
    poem().field("Text").setValue(Value(verses[1]));
    poem().post();
    addVerse(verses[3], 2);
    ASSERT_FALSE(meters.complete());
    expectFastAnswersEqualStepByStep();
    meters.scanAll(2);
    expectFastAnswersEqualStepByStep();
}

}  // namespace
