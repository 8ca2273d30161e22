// Export and import back: the verses, their letters, poets and categories come back the same;
// and the computer plays an imported verse.
#include "exchange_fixture.h"

#include "core/exchange/verse_export.h"
#include "core/rules/turn_rules.h"

using namespace barqeen;
using namespace barqeen::exchange;
using namespace barqeen::test;

namespace {

std::vector<StoredVerse> sortedCategories(std::vector<StoredVerse> verses)
{
    for (StoredVerse& v : verses)
        std::sort(v.categories.begin(), v.categories.end());
    return verses;
}

class RoundTripTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        source.OpenTables();
        for (const char* name : {"المتنبي", "أبو \"الطيب\", الكندي", "المعري"})
            source.cdsAuthors.appendRecord({Value(), Value(cp(name))});
        for (const char* name : {"حكمة", "غزل", "فخر", "محذوف"})
            source.cdsCategories.appendRecord({Value(), Value(cp(name))});
        struct V {
            const char* text;
            int author;  // 0: none
            const char* tags;
            const char* start;
            const char* end;
        };
        const V verses[] = {
            {"الخيل والليل والبيداء تعرفني\r\nوالسيف والرمح والقرطاس والقلم", 1, "(1)(3)", "أ", "م"},
            {"قالت \"نعم\", ثم ولت عنك مسرعة", 2, "(2)", "ق", "ع"},
            {"بيت بلا شاعر ولا موضوع", 0, "", "ب", "ع"},  // letters as stored, not as derived
            {" لعمرك ما الإنسان إلا ابن يومه\r\nعلى ما تجلى يومه\tلا ابن أمسه", 3, "(1)(99)", "ل", "ه"},
            {"سماءُ", 1, "(4)(2)", "س", "أ"},
        };
        for (const V& v : verses)
            source.cdsPoem.appendRecord({Value(), Value(cp(v.text)), Value(), v.author ? Value(int64_t(v.author)) : Value(),
                                         Value(cp(v.start)), Value(cp(v.end)),
                                         *v.tags ? Value(std::string(v.tags)) : Value()});
        // A category deleted after its verses were tagged: its tag names nothing.
        source.cdsCategories.setRecNo(4);
        source.cdsCategories.remove();
    }

    TempFolder from, to;
    PoemStore source{from.path()};
};

TEST_F(RoundTripTest, EachFormatGivesBackTheSameVersesLettersPoetsAndCategories)
{
    std::vector<StoredVerse> expected = storedVerses(source);
    // What a verse's text becomes: spaces around a hemistich and a TAB inside one are the
    // importer's to tidy; everything else comes back as it was.
    expected[3].text = "لعمرك ما الإنسان إلا ابن يومه\r\nعلى ما تجلى يومه\r\nلا ابن أمسه";
    for (const char* name : {"all.csv", "all.tsv", "all.jsonl"}) {
        SCOPED_TRACE(name);
        const std::string file = from.file(name);
        VerseExport out(source, allVerses(source.cdsPoem), file);
        ASSERT_EQ(out.run().outcome, ExportResult::Outcome::Done) << out.result().error;
        EXPECT_EQ(out.result().written, 5u);

        TempFolder empty;
        PoemStore target(empty.path());
        target.OpenTables();
        VerseImport in(target, file);
        ASSERT_EQ(in.run().outcome, ImportResult::Outcome::Done) << in.result().error;
        EXPECT_TRUE(in.result().refused.empty());
        EXPECT_EQ(sortedCategories(storedVerses(target)), sortedCategories(expected));
        EXPECT_EQ(target.cdsAuthors.rowCount(), 3);
        EXPECT_EQ(target.cdsCategories.rowCount(), 3) << "the deleted category is not made again";
    }
}

TEST_F(RoundTripTest, TheSelectionIsWhatTheFilterShows)
{
    source.cdsPoem.setFilterText("StartLetter = '" + cp("ق") + "'");
    source.cdsPoem.setFiltered(true);
    const std::string file = from.file("selection.jsonl");
    VerseExport out(source, selectedVerses(source.cdsPoem), file);
    ASSERT_EQ(out.run().outcome, ExportResult::Outcome::Done);
    EXPECT_EQ(readFile(file),
              "{\"text\":\"قالت \\\"نعم\\\", ثم ولت عنك مسرعة\",\"poet\":\"أبو \\\"الطيب\\\", الكندي\","
              "\"categories\":[\"غزل\"],\"first_letter\":\"ق\",\"last_letter\":\"ع\"}\n");
}

TEST_F(RoundTripTest, CsvIsQuotedWhereItMustBeAndMarkedAsUtf8)
{
    const std::string file = from.file("two.csv");
    VerseExport out(source, {0, 1}, file);
    ASSERT_EQ(out.run().outcome, ExportResult::Outcome::Done);
    EXPECT_EQ(readFile(file), "\xEF\xBB\xBFtext,poet,categories,first_letter,last_letter\r\n"
                              "\"الخيل والليل والبيداء تعرفني\r\nوالسيف والرمح والقرطاس والقلم\",المتنبي,حكمة; فخر,أ,م\r\n"
                              "\"قالت \"\"نعم\"\", ثم ولت عنك مسرعة\",\"أبو \"\"الطيب\"\", الكندي\",غزل,ق,ع\r\n");
}

TEST_F(RoundTripTest, CategoriesAreWrittenAsTheVerseWindowTicksThem)
{
    // Category texts another tool may have written. The verse window reads a tag's inside as a
    // decimal integer and stops at the first tag that is not one; the file says what it ticks.
    const struct {
        const char* tags;
        const char* written;
    } cases[] = {
        {"(+1)", "[\"حكمة\"]"},
        {"(01)", "[\"حكمة\"]"},
        {"(+1)(002)", "[\"حكمة\",\"غزل\"]"},
        {"(3)(x)(2)", "[\"فخر\"]"},
        {"(x)(1)", "[]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tags);
        source.cdsPoem.appendRecord({Value(), Value(cp("بيت موضوعه مكتوب بيد أخرى")), Value(), Value(),
                                     Value(cp("ب")), Value(cp("ى")), Value(std::string(c.tags))});
        const int row = source.cdsPoem.rowCount() - 1;
        const std::string file = from.file(std::string("tags") + std::to_string(&c - cases) + ".jsonl");
        VerseExport out(source, {row}, file);
        ASSERT_EQ(out.run().outcome, ExportResult::Outcome::Done) << out.result().error;
        const std::string line = readFile(file);
        EXPECT_NE(line.find(std::string("\"categories\":") + c.written), std::string::npos) << line;
        source.cdsPoem.setRecNo(row + 1);
        source.cdsPoem.remove();
    }
}

TEST_F(RoundTripTest, ACancelledOrFailedExportLeavesTheOldFile)
{
    const std::string file = from.file("kept.csv");
    writeFile(file, "old content");
    {
        VerseExport out(source, allVerses(source.cdsPoem), file);
        out.cancel();
        EXPECT_EQ(out.result().outcome, ExportResult::Outcome::Cancelled);
    }
    EXPECT_EQ(readFile(file), "old content");
    VerseExport nowhere(source, allVerses(source.cdsPoem), from.file("no/such/folder/x.csv"));
    EXPECT_EQ(nowhere.run().outcome, ExportResult::Outcome::Failed);
    EXPECT_NE(nowhere.result().error.find("x.csv"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(file + ".part"));
}

TEST(ImportedVerseInAGame, TheComputerAnswersWithAnImportedVerse)
{
    TempFolder dir;
    PoemStore store(dir.path());
    store.OpenTables();
    const std::string file = dir.file("poems.jsonl");
    writeFile(file, "{\"text\":[\"إذا غامرت في شرف مروم\",\"فلا تقنع بما دون النجوم\"],\"poet\":\"المتنبي\"}\n"
                    "{\"text\":\"وما نيل المطالب بالتمني\\tولكن تؤخذ الدنيا غلابا\"}\n");
    VerseImport import(store, file);
    ASSERT_EQ(import.run().outcome, ImportResult::Outcome::Done);

    TurnRules rules(store.cdsPoem, [](std::string_view) {});
    rules.setSeed(7);
    std::string verse;
    char next = 0;
    // A verse that opens with إ is found under أ, and hands on the letter it ends on.
    ASSERT_TRUE(rules.PickComputerVerse(cp("أ"), verse, next));
    EXPECT_EQ(verse, cp("إذا غامرت في شرف مروم\r\nفلا تقنع بما دون النجوم"));
    EXPECT_EQ(next, cp("م")[0]);
    ASSERT_TRUE(rules.PickComputerVerse(cp("و"), verse, next));
    EXPECT_EQ(next, cp("ب")[0]);
    EXPECT_FALSE(rules.PickComputerVerse(cp("أ"), verse, next)) << "said once, not again";
}

}  // namespace
