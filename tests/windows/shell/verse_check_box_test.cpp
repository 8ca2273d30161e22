// The verse check every window shares: the message box of the first rule a verse breaks.
#include "scripted_dialogs.h"
#include "windows/shell/shell.h"
#include "core/text/codepage.h"

#include <gtest/gtest.h>

using namespace barqeen;
using namespace barqeen::test;

namespace {

// The verse check as the game calls it: on the matching form, one plain box at most.
TEST(ShellTest, CheckVerseShowsTheMessageOfTheFirstBrokenRule)
{
    ScriptedDialogsScope dialogs;
    struct Case {
        const char* verse;
        const char16_t* message;  // nullptr: accepted
    };
    const Case cases[] = {
        {"قفا نبك من ذكرى حبيب ومنزل", nullptr},
        {"قفا نبك من ذكرى", u"طول البيت قصير"},
        {"قفا نبك من ذكرى حبيب ومنزل x", u"توجد رموز أو حروف غير عربية في البيت"},
        {"ةقفا نبك من ذكرى حبيب ومنزل x", u"هذا ليس شعر"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.verse);
        dialogs->shown.clear();
        const std::string form = Shell::NormalizeText(*codepage::fromUtf8(c.verse));
        EXPECT_EQ(Shell::CheckVerse(form), c.message == nullptr);
        if (c.message) {
            ASSERT_EQ(dialogs->shown.size(), 1u);
            EXPECT_EQ(dialogs->shown[0].kind, "message");
            EXPECT_EQ(dialogs->shown[0].text, QString::fromUtf16(c.message));
        } else {
            EXPECT_TRUE(dialogs->shown.empty());
        }
    }
}

}  // namespace
