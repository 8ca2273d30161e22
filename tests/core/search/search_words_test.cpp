// The search's word split and word test, run through the verse table's real record filter (the
// fast answers) and checked against the step-by-step test of every verse.
#include "core/search/split_words.h"
#include "search_fixture.h"

using namespace barqeen;
using namespace barqeen::test;

namespace {

TEST(SplitWordsTest, CaseTable)
{
    struct Case {
        const char* text;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"\t\r\n", {}},
        {"a", {"a"}},
        {"  a", {"a"}},
        {"a  ", {"a"}},
        {"a b", {"a", "b"}},
        {"  a    b  c ", {"a", "b", "c"}},
        {"a\tb", {"a\tb"}},      // only the space parts words
        {"a \t b", {"a", "b"}},  // control bytes in front of a word are dropped
        {"a\r\nb c", {"a\r\nb", "c"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::string> list{"left over"};
        SplitWords(c.text, list);
        EXPECT_EQ(list, c.words);
    }
    std::vector<std::string> arabic;
    SplitWords(ar(" قفا  نبكِ "), arabic);
    EXPECT_EQ(arabic, (std::vector<std::string>{ar("قفا"), ar("نبكِ")}));
}

using SearchWordTest = SearchFixture;

TEST_F(SearchWordTest, WordTestCaseTable)
{
    struct Case {
        const char* verse;
        const char* search;
        bool found;
    };
    const Case cases[] = {
        {"يا أمل القلب", "امل", true},               // hamza forms folded on the verse's side
        {"يا إمل القلب", "امل", true},
        {"يا امل القلب", "أمل", true},               // ... and on the word's
        {"يا آمل القلب", "ءامل", false},             // ءامل folds to اامل, which آمل is not
        {"ضاع في السماء", "سماا", true},             // the lone hamza becomes alef
        {"قلبي الحزين", "قَلبِي", true},             // marks dropped from the word
        {"قَلبُ الحزينِ", "قلب الحزين", true},       // ... and from the verse
        {"غاب أحبابي", "حب", true},                  // inside a longer word
        {"ذكرت اللّه", "الله", false},               // a shadda must match
        {"ذكرت اللّه", "اللّه", true},
        {"ذكرت اللَّه", "اللّه", true},              // fatha dropped, shadda kept
        {"في رحمة", "رحمه", false},                  // teh marbuta is not heh
        {"في رحمه", "رحمة", false},
        {"على الباب", "علي", false},                 // alef maksura is not yeh
        {"في المؤمن", "المومن", false},              // waw with hamza is not folded
        {"قلبي\r\nعيني", "قلبيعيني", true},          // a line break joins the words around it
        {"قلبي\r\nعيني", "قلبي عيني", true},
        {"قلبي\r\nعيني", "يع", true},
        {"قلبي عيني", "قلبيعيني", false},
        {"ليل طويل وصبح", "صبح ليل", true},          // all words, in any order
        {"ليل طويل", "صبح ليل", false},
        {"ليل طويل", "   ليل  ", true},              // spaces around and between make no word
        {"ليل طويل", "َ", false},                    // a word of marks only occurs nowhere
        {"ليل طويل", "ليل ًٌ", false},
        {"ليل طويل", "", true},                      // no word test
        {"ليل طويل", " \t ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.verse) + " / " + c.search);
        const int64_t id = addVerse(ar(c.verse));
        SearchCriteria criteria;
        criteria.words = ar(c.search);
        const std::set<int64_t> found = run(criteria);
        EXPECT_EQ(found.count(id) == 1, c.found);
        EXPECT_EQ(expected(criteria).count(id) == 1, c.found);
        poem().setFiltered(false);
        poem().first();
        while (!poem().isEmpty())
            poem().remove();
    }
}

}  // namespace
