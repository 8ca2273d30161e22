// The main window with the keyboard alone: the picture buttons take the focus in reading order,
// show it, press on Return and Space, answer their Alt keys and follow the arrows.
#include "../game/game_fixture.h"

#include <QAccessible>

namespace barqeen::test {
namespace {

const QString kPrompt = QStringLiteral("input|مطارحة|الرجاء كتابة إسم المتسابق|");

using MainKeyboardTest = GameFixture;

TEST_F(MainKeyboardTest, TabWalksThePictureButtonsRightToLeftTopToBottom)
{
    TfmMain& m = main();
    activate(m);
    EXPECT_EQ(focused(), m.imGame);
    const std::vector<QWidget*> walk = {m.imCategories, m.imSearch,  m.imAuthors, m.imPoemEdit,
                                        m.imHistory,    m.imExit,    m.imGame};
    for (QWidget* next : walk) {
        press(Qt::Key_Tab);
        EXPECT_EQ(focused(), next) << next->accessibleName().toStdString();
    }
    press(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(focused(), m.imExit);

    // The arrows go to the button that way.
    m.imGame->setFocus();
    press(Qt::Key_Down);
    EXPECT_EQ(focused(), m.imSearch);
    press(Qt::Key_Left);
    EXPECT_EQ(focused(), m.imAuthors);
    press(Qt::Key_Up);
    EXPECT_EQ(focused(), m.imCategories);
    press(Qt::Key_Right);
    EXPECT_EQ(focused(), m.imGame);
}

TEST_F(MainKeyboardTest, TheFocusedButtonShowsAFrame)
{
    TfmMain& m = main();
    activate(m);
    const QImage before = m.imSearch->grab().toImage();
    m.imSearch->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(focused(), m.imSearch);
    const QImage focusedLook = m.imSearch->grab().toImage();
    EXPECT_NE(focusedLook, before) << "the focus does not show";
    // The frame is the highlight colour along the edge.
    const QColor highlight = m.imSearch->palette().color(QPalette::Highlight);
    const QColor edge = focusedLook.pixelColor(focusedLook.width() / 2, 1);
    EXPECT_LE(std::abs(edge.red() - highlight.red()) + std::abs(edge.green() - highlight.green()) +
                  std::abs(edge.blue() - highlight.blue()),
              60);
    press(Qt::Key_Tab);
    EXPECT_EQ(m.imSearch->grab().toImage(), before);
}

TEST_F(MainKeyboardTest, ReturnSpaceAndAltKeysPressTheButtons)
{
    TfmMain& m = main();
    activate(m);
    ASSERT_EQ(focused(), m.imGame);
    dialogs->inputs = {std::nullopt, std::nullopt, std::nullopt};
    press(Qt::Key_Return);
    EXPECT_EQ(takeShown(), QStringList{kPrompt});
    press(Qt::Key_Space);
    EXPECT_EQ(takeShown(), QStringList{kPrompt});

    // From another button, Alt+G still starts a game.
    m.imExit->setFocus();
    press(Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(takeShown(), QStringList{kPrompt});

    QStringList opened;
    dialogs->onModal = [&](QDialog& d) {
        opened << d.windowTitle();
        return int(QDialog::Rejected);
    };
    press(Qt::Key_H, Qt::AltModifier);
    ASSERT_EQ(opened.size(), 1);
    m.imHistory->setFocus();
    press(Qt::Key_Return);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0], opened[1]);
    EXPECT_TRUE(m.isVisible());
}

TEST_F(MainKeyboardTest, EachButtonNamesItsKeyInItsTipAndToScreenReaders)
{
    TfmMain& m = main();
    const struct {
        PictureButton* button;
        const char* key;
    } buttons[] = {{m.imGame, "Alt+G"},      {m.imCategories, "Alt+C"}, {m.imSearch, "Alt+S"}, {m.imAuthors, "Alt+P"},
                   {m.imPoemEdit, "Alt+V"}, {m.imHistory, "Alt+H"},    {m.imExit, "Alt+X"}};
    for (const auto& b : buttons) {
        const QString key = QKeySequence(QString::fromLatin1(b.key)).toString(QKeySequence::NativeText);
        EXPECT_TRUE(b.button->toolTip().contains(key)) << b.key;
        EXPECT_TRUE(b.button->toolTip().contains(b.button->accessibleName())) << b.key;
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(b.button);
        ASSERT_TRUE(i && i->actionInterface());
        EXPECT_TRUE(i->text(QAccessible::Description).contains(key)) << b.key;
        EXPECT_EQ(i->actionInterface()->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
                  QStringList{key});
        EXPECT_TRUE(i->state().focusable) << b.key;
    }
}

}  // namespace
}  // namespace barqeen::test
