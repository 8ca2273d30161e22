// The program as a desktop sees it: the welcome on a first start with no verses, and every
// control named and pressable for a screen reader.
#include "app/program.h"
#include "windows/editing/poem_edit.h"
#include "files_fixture.h"
#include "person.h"
#include "scripted_dialogs.h"
#include "windows/search/search_window.h"
#include "windows/main/main_window.h"
#include "windows/shell/picture_button.h"
#include "windows/shell/starter_collection.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <memory>

using namespace barqeen;
using namespace barqeen::test;

namespace {

std::unique_ptr<Program> startIn(const TempFolder& dir)
{
    auto program = std::make_unique<Program>(QString::fromStdString(dir.path()), QStringLiteral(BARQEEN_EXECUTABLE));
    program->fmMain->show();
    return program;
}

QString accessibleName(QObject* object)
{
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(object);
    return i ? i->text(QAccessible::Name) + i->text(QAccessible::Description) : QString();
}

// Answers the welcome box with the button of that caption; the next modal window is recorded.
struct WelcomeAnswer {
    explicit WelcomeAnswer(const QString& button) : button(button) {}
    QString button;
    QString boxText;
    QDialog* openedAfter = nullptr;
};

void answerWelcome(ScriptedDialogs& dialogs, WelcomeAnswer& answer)
{
    dialogs.onModal = [&](QDialog& d) {
        auto* box = qobject_cast<QMessageBox*>(&d);
        if (!box) {
            answer.openedAfter = &d;
            return int(QDialog::Rejected);
        }
        answer.boxText = box->text();
        activate(*box);
        for (QAbstractButton* b : box->buttons())
            if (b->text() == answer.button)
                QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_FALSE(box->isVisible()) << "no button " << answer.button.toStdString();
        return box->result();
    };
}

TEST(WelcomeTest, AFirstStartWithNoVersesOffersTheVerseWindowOnce)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    {
        auto program = startIn(dir);
        WelcomeAnswer answer(QStringLiteral("أبيات الشعر"));
        answerWelcome(*dialogs, answer);
        program->afterShow({});
        EXPECT_TRUE(answer.boxText.contains(QStringLiteral("«أبيات الشعر»"))) << answer.boxText.toStdString();
        EXPECT_TRUE(answer.boxText.contains(QStringLiteral("استيراد")));
        EXPECT_TRUE(answer.boxText.contains(QStringLiteral("أفلت")));
        EXPECT_EQ(answer.openedAfter, static_cast<QDialog*>(program->fmPoemEdit.get()));
    }
    // The tables are there now, still without verses: no word at the next start.
    dialogs->onModal = nullptr;
    {
        auto program = startIn(dir);
        program->afterShow({});
    }
    EXPECT_TRUE(dialogs->shown.empty());
}

TEST(WelcomeTest, TheDefaultButtonLoadsTheStarterCollectionForAFirstGame)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    auto program = startIn(dir);
    QString defaultButton;
    WelcomeAnswer answer(QStringLiteral("تحميل المختارات"));
    answerWelcome(*dialogs, answer);
    const auto answerBox = dialogs->onModal;
    dialogs->onModal = [&](QDialog& d) {
        if (auto* box = qobject_cast<QMessageBox*>(&d); box && box->defaultButton())
            defaultButton = box->defaultButton()->text();
        return answerBox(d);
    };
    program->afterShow({});
    const int verses = StarterCollection::verseCount();
    EXPECT_GE(verses, 3000);
    EXPECT_EQ(defaultButton, QStringLiteral("تحميل المختارات"));
    EXPECT_TRUE(answer.boxText.contains(QString::number(verses))) << "the box says how many verses";
    EXPECT_EQ(answer.openedAfter, static_cast<QDialog*>(program->fmPoemEdit.get()));
    // The import runs in the verse window, as any import: all of it, then its summary.
    QTRY_COMPARE_WITH_TIMEOUT(program->fmMain->cdsPoem().rowCount(), verses, 20000);
    QTRY_VERIFY(!dialogs->texts("message").isEmpty());
    EXPECT_TRUE(dialogs->texts("message").back().contains(QString::number(verses)))
        << dialogs->texts("message").back().toStdString();
    EXPECT_GT(program->fmMain->cdsAuthors().rowCount(), 100);
    EXPECT_FALSE(std::filesystem::exists(dir.file("مختارات برقين.jsonl.import-report.txt")));
}

TEST(WelcomeTest, LaterLeavesTheMainWindowAlone)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    auto program = startIn(dir);
    WelcomeAnswer answer(QStringLiteral("لاحقًا"));
    answerWelcome(*dialogs, answer);
    program->afterShow({});
    EXPECT_FALSE(answer.boxText.isEmpty());
    EXPECT_EQ(answer.openedAfter, nullptr);
}

TEST(AccessibilityTest, PictureButtonsArePressableButtonsNamedByTheirCaption)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    auto program = startIn(dir);
    TfmMain& m = *program->fmMain;
    const struct {
        PictureButton* button;
        const char* caption;
    } buttons[] = {
        {m.imGame, "مطارحة"},          {m.imSearch, "بحث"},     {m.imPoemEdit, "أبيات الشعر"},
        {m.imCategories, "مواضيع الشعر"}, {m.imAuthors, "الشعراء"}, {m.imHistory, "سجل المطارحة"},
        {m.imExit, "خروج"},
    };
    for (const auto& b : buttons) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(b.button);
        ASSERT_TRUE(i && i->actionInterface());
        EXPECT_EQ(i->role(), QAccessible::Button);
        EXPECT_EQ(i->text(QAccessible::Name), QString::fromUtf8(b.caption));
        EXPECT_EQ(i->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    }
    QAccessibleInterface* link = QAccessible::queryAccessibleInterface(m.Label2);
    EXPECT_EQ(link->role(), QAccessible::Link);
    EXPECT_EQ(link->text(QAccessible::Name), m.Label2->text());
    EXPECT_EQ(accessibleName(m.sbClose), QStringLiteral("إغلاق"));
    EXPECT_EQ(accessibleName(m.sbMinimize), QStringLiteral("تصغير"));

    // Pressed by a screen reader, the search button opens the search window; while that window
    // is up, a press on the main window's buttons does nothing, as a click would.
    std::vector<QDialog*> opened;
    auto press = [](PictureButton* button) {
        QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
    };
    dialogs->onModal = [&](QDialog& d) {
        opened.push_back(&d);
        d.setWindowModality(Qt::ApplicationModal);
        d.show();
        press(m.imPoemEdit);
        QTest::qWait(50);
        d.hide();
        return int(QDialog::Rejected);
    };
    press(m.imSearch);
    for (int i = 0; i < 200 && opened.empty(); ++i)
        QTest::qWait(10);  // the press acts once the reader has its answer
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], static_cast<QDialog*>(program->fmSearch.get()));
}

// The controls of a shown window a screen reader cannot name.
QStringList unnamedControls(QWidget& window)
{
    QStringList unnamed;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible() || qobject_cast<QHeaderView*>(w))  // a header is read by its sections' titles
            continue;
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractScrollArea*>(w) ||
                             qobject_cast<QScrollBar*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
                             qobject_cast<PictureButton*>(w);
        if (control && accessibleName(w).isEmpty())
            unnamed << QStringLiteral("%1 %2 at %3,%4")
                           .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName())
                           .arg(w->mapTo(&window, QPoint()).x())
                           .arg(w->mapTo(&window, QPoint()).y());
    }
    return unnamed;
}

TEST(AccessibilityTest, EveryControlOfTheWindowsOpenedFromTheMainWindowHasAName)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    auto program = startIn(dir);
    TfmMain& m = *program->fmMain;
    EXPECT_EQ(unnamedControls(m).join(QStringLiteral("; ")).toStdString(), "");
    for (PictureButton* button : {m.imPoemEdit, m.imSearch, m.imCategories, m.imAuthors, m.imHistory}) {
        SCOPED_TRACE(accessibleName(button).toStdString());
        dialogs->onModal = [&](QDialog& d) {
            activate(d);
            EXPECT_EQ(unnamedControls(d).join(QStringLiteral("; ")).toStdString(), "");
            d.reject();
            return int(QDialog::Rejected);
        };
        QTest::mouseClick(button, Qt::LeftButton);
    }
}

// The backdrop is a decoration: the main window does not list it to a screen reader.
TEST(AccessibilityTest, TheMainWindowsBackdropIsHiddenFromScreenReaders)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    auto program = startIn(dir);
    TfmMain& m = *program->fmMain;
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&m);
    ASSERT_TRUE(window);
    bool buttonListed = false;
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface* child = window->child(i);
        ASSERT_TRUE(child);
        EXPECT_NE(child->object(), m.Image1);
        EXPECT_EQ(window->indexOfChild(child), i);
        buttonListed = buttonListed || child->object() == m.imGame;
    }
    EXPECT_TRUE(buttonListed);
}

}  // namespace
