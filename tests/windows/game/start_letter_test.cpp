// The start-letter dialog on the offscreen platform: its look, its letters, its buttons and keys.
#include "windows/shell/picture_push_button.h"
#include "windows/game/start_letter.h"
#include "windows/shell/painting.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace barqeen;

namespace {

TEST(StartLetterTest, PlacedAsLaidOutWithTwentySixLetters)
{
    TfmStartLetter d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("حرف البداية"));
    EXPECT_EQ(d.size(), QSize(274, 142));
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    EXPECT_EQ(d.layoutDirection(), Qt::RightToLeft);
    d.show();
    EXPECT_EQ(d.pos(), QPoint(192, 107));  // not centred

    EXPECT_EQ(d.Label1->text(), QStringLiteral("اختر حرف البداية"));
    EXPECT_EQ(d.Label1->pos(), QPoint(103, 16));
    EXPECT_EQ(d.cbLetter->geometry(), QRect(97, 40, 81, 21));
    EXPECT_FALSE(d.cbLetter->isEditable());
    EXPECT_EQ(d.BitBtn1->geometry(), QRect(144, 80, 75, 25));
    EXPECT_EQ(d.BitBtn2->geometry(), QRect(56, 80, 75, 25));
    EXPECT_EQ(d.BitBtn1->text(), QStringLiteral("تم"));
    EXPECT_EQ(d.BitBtn2->text(), QStringLiteral("إلغاء"));
    EXPECT_FALSE(d.BitBtn1->icon().isNull());
    EXPECT_FALSE(d.BitBtn2->icon().isNull());

    QStringList items;
    for (int i = 0; i < d.cbLetter->count(); ++i)
        items << d.cbLetter->itemText(i);
    EXPECT_EQ(items.join(QString()), QStringLiteral("أبتثجحخدذرزسشصضطظعغكلمنهوي"));
    EXPECT_EQ(d.cbLetter->currentIndex(), 0);
    EXPECT_EQ(d.chosenLetter(), '\xC3');  // أ
    d.cbLetter->setCurrentIndex(25);
    EXPECT_EQ(d.chosenLetter(), '\xED');  // ي

    // Plain button face, no gradient.
    const QImage picture = d.grab().toImage();
    const QColor face = d.palette().color(QPalette::Window);
    for (const QPoint& at : {QPoint(3, 3), QPoint(270, 130), QPoint(20, 60)}) {
        EXPECT_EQ(picture.pixelColor(at), face) << at.x() << "," << at.y();
        EXPECT_NE(picture.pixelColor(at), backdropBandColor(at.y() / 2));
    }
    d.hide();
}

// The list opens under the box as a short list of readable letters, and the keys choose one.
TEST(StartLetterTest, TheLetterListIsShortAndReadable)
{
    TfmStartLetter d;
    d.show();
    QTest::mouseClick(d.cbLetter, Qt::LeftButton);
    QAbstractItemView* list = d.cbLetter->view();
    ASSERT_TRUE(list->isVisible());
    const int rowHeight = list->visualRect(list->model()->index(0, 0)).height();
    EXPECT_LE(list->window()->height(), 12 * rowHeight) << "the popup shows every letter at once";
    EXPECT_GE(QFontInfo(list->font()).pixelSize(), 14);
    for (int i = 0; i < 7; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(d.cbLetter->currentText(), QStringLiteral("د"));
    EXPECT_EQ(d.chosenLetter(), '\xCF');
}

TEST(StartLetterTest, EnterTakesTheLetterEscCancels)
{
    TfmStartLetter d;
    const struct {
        const char* what;
        std::function<void()> act;
        int result;
    } ways[] = {
        {"Enter", [&] { QTest::keyClick(d.cbLetter, Qt::Key_Return); }, QDialog::Accepted},
        {"Esc", [&] { QTest::keyClick(d.cbLetter, Qt::Key_Escape); }, QDialog::Rejected},
        {"OK", [&] { QTest::mouseClick(d.BitBtn1, Qt::LeftButton); }, QDialog::Accepted},
        {"Cancel", [&] { QTest::mouseClick(d.BitBtn2, Qt::LeftButton); }, QDialog::Rejected},
    };
    EXPECT_TRUE(d.BitBtn1->isDefault());
    EXPECT_FALSE(d.BitBtn2->isDefault());
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        d.setResult(-1);
        d.show();
        way.act();
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), way.result);
    }
}

}  // namespace
