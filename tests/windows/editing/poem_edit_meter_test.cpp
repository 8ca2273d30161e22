// The verse window names the current verse's meter and shows its feet, in space no designed
// control uses; it follows the verse as the person moves in the grid and edits the text.
#include "poem_edit_fixture.h"

using namespace barqeen;
using namespace barqeen::test;

namespace {

TEST_F(PoemEditTest, TheMeterLabelFollowsTheCurrentVerse)
{
    auto p = start();
    seed(*p);
    addVerse(*p, "قفا نبك من ذكرى حبيبٍ ومنزلِ\r\nبسقطِ اللوى بين الدخول فحوملِ", 0, "ق", "ل", "");
    open(*p, [&](TfmPoemEdit& w) {
        // Free space: it overlaps no other control of the window.
        for (QWidget* other : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other != w.lbMeter && other->isVisible()) {
                EXPECT_FALSE(other->geometry().intersects(w.lbMeter->geometry())) << qPrintable(other->objectName());
            }
        }

        clickCell(*w.DBGrid1, 4, ColText);
        EXPECT_EQ(w.lbMeter->text(), QStringLiteral("البحر: الطويل (تام)\n"
                                                      "فعولن مفاعيلن فعولن مفاعلن / فعولن مفاعيلن فعول مفاعلن"));
        // Both lines fit the label.
        const QRect needed = w.lbMeter->fontMetrics().boundingRect(QRect(0, 0, 10000, 10000), 0, w.lbMeter->text());
        EXPECT_LE(needed.height(), w.lbMeter->height());
        EXPECT_LE(needed.width(), w.lbMeter->width());
        clickCell(*w.DBGrid1, 1, ColText);  // "ألا ليت الشباب": too short to tell
        EXPECT_EQ(w.lbMeter->text(), QStringLiteral("البحر: غير معروف"));

        // Typing changes the verse, and the label with it.
        clickCell(*w.DBGrid1, 4, ColText);
        intoMemo(w);
        type(QStringLiteral(" كبير"));
        EXPECT_EQ(w.lbMeter->text(), QStringLiteral("البحر: غير معروف"));
        clickNav(w, DBNavigator::Cancel);
        EXPECT_TRUE(w.lbMeter->text().startsWith(QStringLiteral("البحر: الطويل")));
    });
}

}  // namespace
