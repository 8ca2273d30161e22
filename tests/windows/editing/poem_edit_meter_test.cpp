// The verse window names the current verse's meter and shows its feet, in space no designed
// control uses; it follows the verse as the person moves in the grid and edits the text.
#include "poem_edit_fixture.h"
#include "screen_reader.h"

#include "windows/editing/scansion_view.h"

#include <QSet>
#include <QTableWidget>

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

// The first verse typed into an empty table is scanned as it is typed, as every later one is,
// although the table counts no verse until it is posted.
TEST_F(PoemEditTest, TheMeterFollowsTheFirstVerseOfAnEmptyTable)
{
    auto p = start();
    open(*p, [&](TfmPoemEdit& w) {
        EXPECT_EQ(w.lbMeter->text(), QString());
        EXPECT_FALSE(w.bbScansion->isEnabled());
        clickNav(w, DBNavigator::Insert);
        intoMemo(w);
        type(QStringLiteral("قفا نبك من ذكرى حبيب ومنزل"));
        press(Qt::Key_Return);
        type(QStringLiteral("بسقط اللوى بين الدخول فحومل"));
        EXPECT_TRUE(w.lbMeter->text().startsWith(QStringLiteral("البحر: الطويل"))) << w.lbMeter->text().toStdString();
        EXPECT_TRUE(w.bbScansion->isEnabled());
    });
}

// «التقطيع» opens the current verse cut into its feet: each hemistich's feet right to left, each
// under the words it covers, with its strokes and its change; reached with the keys as well.
TEST_F(PoemEditTest, TheScansionShowsEachFootUnderItsWords)
{
    auto p = start();
    seed(*p);
    addVerse(*p, "قفا نبك من ذكرى حبيبٍ ومنزلِ\r\nبسقطِ اللوى بين الدخول فحوملِ", 0, "ق", "ل", "");
    open(*p, [&](TfmPoemEdit& w) {
        for (QWidget* other : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other != w.bbScansion && other->isVisible()) {
                EXPECT_FALSE(other->geometry().intersects(w.bbScansion->geometry())) << qPrintable(other->objectName());
            }
        }
        clickCell(*w.DBGrid1, 4, ColText);

        int opened = 0;
        dialogs->onModal = [&](QDialog& d) {
            auto* view = qobject_cast<TfmScansion*>(&d);
            EXPECT_TRUE(view);
            if (!view)
                return int(QDialog::Rejected);
            ++opened;
            activate(*view);
            EXPECT_TRUE(view->lbMeter->text().startsWith(QStringLiteral("البحر: الطويل (تام)")));
            EXPECT_FALSE(view->lbClosest->isVisible());
            const QStringList expected[2] = {
                {QStringLiteral("فعولن"), QStringLiteral("مفاعيلن"), QStringLiteral("فعولن"), QStringLiteral("مفاعلن")},
                {QStringLiteral("فعولن"), QStringLiteral("مفاعيلن"), QStringLiteral("فعول"), QStringLiteral("مفاعلن")}};
            // Each foot under the words it covers; a word two feet share is cut with a tatweel.
            const QStringList words[2] = {
                {QStringLiteral("قفا نبكـ"), QStringLiteral("ـنبك من ذكرى"), QStringLiteral("حبيب"), QStringLiteral("ومنزل")},
                {QStringLiteral("بسقط اللوىـ"), QStringLiteral("ـاللوى بين الدخولـ"), QStringLiteral("ـالدخول"),
                 QStringLiteral("فحومل")}};
            for (int h = 0; h < 2; ++h) {
                QTableWidget& grid = *view->grFeet[h];
                QStringList feet, texts;
                for (int f = 0; f < grid.columnCount(); ++f) {
                    feet << grid.item(TfmScansion::RowFoot, f)->text();
                    texts << grid.item(TfmScansion::RowText, f)->text();
                    EXPECT_FALSE(grid.item(TfmScansion::RowStrokes, f)->text().isEmpty());
                }
                EXPECT_EQ(feet, expected[h]);
                EXPECT_EQ(texts, words[h]) << texts.join(" | ").toStdString();
                // Right to left, the first foot at the right, as the verse reads.
                EXPECT_EQ(grid.layoutDirection(), Qt::RightToLeft);
                EXPECT_FALSE(grid.accessibleName().isEmpty());
            }
            // A screen reader hears the texts themselves, not bare captions.
            EXPECT_TRUE(readName(view->lbMeter).startsWith(QStringLiteral("البحر: الطويل"))) << readName(view->lbMeter).toStdString();
            EXPECT_TRUE(readName(view->lbSaid[0]).contains(view->lbSaid[0]->text()));
            // فعول: the third foot of the second hemistich carries a change, named.
            EXPECT_EQ(view->grFeet[1]->item(TfmScansion::RowChange, 2)->text(), QStringLiteral("قبض"));
            EXPECT_EQ(view->grFeet[0]->item(TfmScansion::RowChange, 0)->text(), QStringLiteral("سالمة"));
            view->hide();
            return int(QDialog::Rejected);
        };
        click(w.bbScansion);
        EXPECT_EQ(opened, 1);

        // With the keys alone: Tab goes round to the button, and Space presses it.
        activate(w);
        w.DBGrid1->setFocus();
        for (int i = 0; i < 30 && QApplication::focusWidget() != w.bbScansion; ++i)
            press(Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), w.bbScansion);
        press(Qt::Key_Space);
        EXPECT_EQ(opened, 2);
    });
}

// A verse no meter reads: the closest meter, and where the verse leaves it.
TEST_F(PoemEditTest, TheScansionOfAnUnknownVerseNamesTheClosestMeter)
{
    auto p = start();
    seed(*p);
    addVerse(*p, "قفا نبك من ذكرى حبيبٍ ومنزلِ كبير\r\nبسقطِ اللوى بين الدخول فحوملِ", 0, "ق", "ل", "");
    open(*p, [&](TfmPoemEdit& w) {
        clickCell(*w.DBGrid1, 4, ColText);
        bool seen = false;
        dialogs->onModal = [&](QDialog& d) {
            auto& view = static_cast<TfmScansion&>(d);
            activate(view);
            seen = true;
            EXPECT_EQ(view.lbMeter->text(), QStringLiteral("البحر: غير معروف"));
            EXPECT_TRUE(view.lbClosest->isVisible());
            EXPECT_TRUE(view.lbClosest->text().startsWith(QStringLiteral("أقرب البحور إليه: ")))
                << view.lbClosest->text().toStdString();
            // No feet to part it into: the strokes of each hemistich whole.
            EXPECT_EQ(view.grFeet[0]->columnCount(), 1);
            EXPECT_FALSE(view.grFeet[0]->item(TfmScansion::RowStrokes, 0)->text().isEmpty());
            view.hide();
            return int(QDialog::Rejected);
        };
        click(w.bbScansion);
        EXPECT_TRUE(seen);
    });
}

}  // namespace
