// The verse window names the current verse's meter and shows its feet, in space no designed
// control uses; it follows the verse as the person moves in the grid and edits the text.
#include "poem_edit_fixture.h"
#include "screen_reader.h"

#include <QSet>

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

// A screen reader hears the meter and its feet, after the label's caption.
TEST_F(PoemEditTest, AScreenReaderHearsTheMeterAndItsFeet)
{
    auto p = start();
    seed(*p);
    addVerse(*p, "قفا نبك من ذكرى حبيبٍ ومنزلِ\r\nبسقطِ اللوى بين الدخول فحوملِ", 0, "ق", "ل", "");
    open(*p, [&](TfmPoemEdit& w) {
        clickCell(*w.DBGrid1, 4, ColText);
        EXPECT_EQ(readName(w.lbMeter), QStringLiteral("بحر البيت: البحر: الطويل (تام)، "
                                                      "فعولن مفاعيلن فعولن مفاعلن / فعولن مفاعيلن فعول مفاعلن"));
        clickCell(*w.DBGrid1, 1, ColText);
        EXPECT_EQ(readName(w.lbMeter), QStringLiteral("بحر البيت: البحر: غير معروف"));
    });
}

// The list's filter and the verse's own letters have names apart; the count reads with its caption.
TEST_F(PoemEditTest, TheLetterBoxesAreNamedApartAndTheCountHasItsCaption)
{
    auto p = start();
    seed(*p);
    open(*p, [&](TfmPoemEdit& w) {
        const QStringList names = {readDescription(w.cbLetter), readDescription(w.DBComboBox2),
                                  readDescription(w.DBComboBox1)};
        EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), 3) << names.join(" | ").toStdString();
        EXPECT_TRUE(names[0].contains(QStringLiteral("حرف البداية"))) << names[0].toStdString();
        EXPECT_TRUE(names[1].contains(QStringLiteral("البيت"))) << names[1].toStdString();
        EXPECT_EQ(readCaptions(w.stCount), QStringList{QStringLiteral("عدد الأبيات")});
    });
}

}  // namespace
