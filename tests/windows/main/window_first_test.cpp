// The window first, the tables behind it: while a slow disk keeps the tables from opening, the
// main window is up and answers, a button that needs a table waits visibly and acts once they
// are open, and a close in the meantime loses nothing.
#include "app/program.h"
#include "files_fixture.h"
#include "person.h"
#include "scripted_dialogs.h"
#include "windows/editing/poem_edit.h"
#include "windows/main/main_window.h"
#include "windows/shell/picture_button.h"
#include "core/text/codepage.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <atomic>
#include <future>
#include <memory>
#include <thread>

using namespace barqeen;
using namespace barqeen::test;

namespace {

// A data folder holding three verses, written by a program that opened its tables at once.
void writeThreeVerses(const TempFolder& dir)
{
    Program p(QString::fromStdString(dir.path()), QStringLiteral(BARQEEN_EXECUTABLE));
    for (const char* text : {"قفا نبك من ذكرى حبيب ومنزل", "لخولة أطلال ببرقة ثهمد", "ألا هبي بصحنك فاصبحينا"})
        p.fmMain->cdsPoem().appendRecord({Value(), Value(codepage::fromUnicodeOrThrow(QString::fromUtf8(text))),
                                          Value(), Value(), Value(std::string("\xC7")), Value(std::string("\xE1")),
                                          Value()});
}

// The disk the tables are read from, held until the test lets it go.
struct SlowDisk {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> reading{false};

    std::function<void()> seam()
    {
        return [this] {
            reading = true;
            released.wait();
        };
    }
};

TEST(WindowFirstTest, ButtonsWaitVisiblyAndTheLastClickActsOnceTheTablesAreOpen)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    writeThreeVerses(dir);

    Program p(QString::fromStdString(dir.path()), QStringLiteral(BARQEEN_EXECUTABLE), TfmMain::TablesOpen::Behind);
    TfmMain& w = *p.fmMain;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    SlowDisk disk;
    w.openTablesBehind(disk.seam());
    ASSERT_TRUE(QTest::qWaitFor([&] { return disk.reading.load(); }));

    // The window is up and answers; nothing has read a table.
    QStringList modals;
    dialogs->onModal = [&](QDialog& d) {
        modals << d.metaObject()->className();
        if (auto* verses = qobject_cast<TfmPoemEdit*>(&d)) {
            EXPECT_TRUE(w.tablesReady());
            activate(*verses);
            EXPECT_EQ(verses->stCount->text(), QStringLiteral("3"));
            verses->hide();
        }
        return int(QDialog::Rejected);
    };
    EXPECT_FALSE(w.tablesReady());
    QTest::mouseClick(w.imGame, Qt::LeftButton);
    // The person changes their mind, with the keys: the verse window, not the game.
    QTest::keyClick(&w, Qt::Key_V, Qt::AltModifier);
    EXPECT_TRUE(modals.isEmpty());
    EXPECT_FALSE(w.cdsPoem().active());
    // The wait is shown, in words a screen reader reads too.
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.laOpening->isVisible(); }));
    EXPECT_TRUE(w.laOpening->text().startsWith(QStringLiteral("جارٍ فتح الجداول")));
    EXPECT_TRUE(w.laOpening->text().contains(QStringLiteral("تُفتح النافذة حين تجهز")));

    disk.release.set_value();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.tablesReady(); }));
    EXPECT_FALSE(w.laOpening->isVisible());
    EXPECT_EQ(modals, QStringList{QStringLiteral("barqeen::TfmPoemEdit")});
    EXPECT_EQ(w.cdsPoem().recordCount(), 3);
    EXPECT_TRUE(dialogs->shown.empty());  // no warning, no error
}

// The program's own first steps (the welcome of a first start) wait for the tables as well.
TEST(WindowFirstTest, TheFirstStartWelcomeComesOnceTheEmptyTablesAreOpen)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    Program p(QString::fromStdString(dir.path()), QStringLiteral(BARQEEN_EXECUTABLE), TfmMain::TablesOpen::Behind);
    p.fmMain->show();
    int welcomes = 0;
    dialogs->onModal = [&](QDialog&) {
        ++welcomes;
        EXPECT_TRUE(p.fmMain->cdsPoem().active());
        return int(QDialog::Rejected);
    };
    SlowDisk disk;
    p.fmMain->openTablesBehind(disk.seam());
    p.afterShow({});
    QApplication::processEvents();
    EXPECT_EQ(welcomes, 0);
    disk.release.set_value();
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.fmMain->tablesReady(); }));
    EXPECT_EQ(welcomes, 1);
}

// Closing while the tables are read waits for the reading, then closes them: the verses are all
// there at the next start, which says nothing.
TEST(WindowFirstTest, ACloseWhileTheTablesOpenLosesNothing)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    writeThreeVerses(dir);
    {
        Program p(QString::fromStdString(dir.path()), QStringLiteral(BARQEEN_EXECUTABLE), TfmMain::TablesOpen::Behind);
        p.fmMain->show();
        SlowDisk disk;
        p.fmMain->openTablesBehind(disk.seam());
        ASSERT_TRUE(QTest::qWaitFor([&] { return disk.reading.load(); }));
        // The disk answers while the close waits for it.
        std::thread slowAnswer([&] { disk.release.set_value(); });
        p.fmMain->close();
        slowAnswer.join();
        EXPECT_FALSE(p.fmMain->isVisible());
    }
    Program again(QString::fromStdString(dir.path()), QStringLiteral(BARQEEN_EXECUTABLE));
    EXPECT_EQ(again.fmMain->cdsPoem().recordCount(), 3);
    EXPECT_TRUE(dialogs->shown.empty()) << dialogs->shown.front().text.toStdString();
}

}  // namespace
