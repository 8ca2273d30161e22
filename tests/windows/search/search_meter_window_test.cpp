// The search by meter in the search window, used as a person does: the panel opened, the meter's
// box ticked with the mouse and the keyboard, a meter chosen from its list, Enter pressed; a search
// by meter asked before every verse's meter is known waits, showing how far the work is.
#include "classical_verses.h"
#include "files_fixture.h"
#include "person.h"
#include "scripted_dialogs.h"
#include "app/program.h"
#include "core/search/verse_meter.h"
#include "windows/main/main_window.h"
#include "windows/search/search_window.h"
#include "windows/shell/db_grid.h"
#include "windows/shell/meter_worker.h"
#include "windows/shell/picture_button.h"
#include "windows/shell/picture_push_button.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVariantAnimation>

#include <filesystem>
#include <set>

using namespace barqeen;
using namespace barqeen::test;

namespace {

class SearchMeterWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        program = std::make_unique<Program>(QString::fromStdString(dir.path()), QStringLiteral(BARQEEN_EXECUTABLE));
        main().cdsAuthors().appendRecord({Value(), Value(*codepage::fromUtf8("امرؤ القيس")), Value()});
        verses = classicalVerses("classical_verses.tsv", 80);
        for (size_t i = 0; i < verses.size(); i += 2)  // many meters, and some verses named by none
            main().cdsPoem().appendRecord({Value(), Value(verses[i]), Value(), Value(int64_t(1)), Value("a"), Value("b"), Value()});
    }
    TfmMain& main() { return *program->fmMain; }
    TfmSearch& search() { return *program->fmSearch; }
    MeterWorker& worker() { return main().meterWorker(); }

    void openSearch(const std::function<void(TfmSearch&)>& actions)
    {
        dialogs->onModal = [&](QDialog& d) {
            activate(d);
            actions(search());
            if (d.isVisible())
                d.reject();
            return int(QDialog::Rejected);
        };
        QTest::mouseClick(main().imSearch, Qt::LeftButton);
    }

    void openPanel(TfmSearch& w)
    {
        click(w.cxAdvanced);
        auto* slide = w.findChild<QVariantAnimation*>();
        ASSERT_TRUE(QTest::qWaitFor([&] { return slide->state() == QAbstractAnimation::Stopped; }, 10000));
    }

    // Opens the list with the mouse and walks it with the keys to the item, then Enter.
    void choose(QComboBox* list, const QString& item)
    {
        QTest::mouseClick(list, Qt::LeftButton);
        QAbstractItemView* view = list->view();
        ASSERT_TRUE(view->isVisible());
        QTest::keyClick(view, Qt::Key_Home);
        for (int i = 0; i <= list->count() && view->currentIndex().data().toString() != item; ++i)
            QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
        ASSERT_EQ(list->currentText(), item);
        activate(*list->window());
    }

    std::set<int64_t> listed(TfmSearch& w)
    {
        std::set<int64_t> keys;
        const int column = w.DBGrid1->tableModel().columnOfField("TextID");
        for (int r = 0; r < w.DBGrid1->model()->rowCount(); ++r)
            keys.insert(w.DBGrid1->model()->index(r, column).data().toLongLong());
        return keys;
    }

    // The verses a search for the meter finds, each scanned here.
    std::set<int64_t> ofMeter(int choice)
    {
        std::set<int64_t> keys;
        Table& poem = main().cdsPoem();
        for (int i = 0; i < poem.rowCount(); ++i)
            if (MeterMatches(choice, VerseMeterOf(poem.rowAt(i).cells[1].text())))
                keys.insert(poem.rowAt(i).cells[0].integer());
        return keys;
    }

    QString name(int choice) { return QString::fromStdString(MeterChoiceName(choice)); }

    TempFolder dir;
    ScriptedDialogsScope dialogs;
    std::unique_ptr<Program> program;
    std::vector<std::string> verses;
};

TEST_F(SearchMeterWindowTest, MeterTickedAndChosenWithMouseAndKeys)
{
    openSearch([&](TfmSearch& w) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return worker().complete(); }, 20000));
        EXPECT_FALSE(w.laMeterProgress->isVisible());
        openPanel(w);
        EXPECT_EQ(w.cxMeter->text(), QStringLiteral("البحر"));
        EXPECT_EQ(w.cbMeter->accessibleName(), QStringLiteral("البحر"));
        ASSERT_EQ(w.cbMeter->count(), 17);
        EXPECT_EQ(w.cbMeter->itemText(0), QStringLiteral("الطويل"));
        EXPECT_EQ(w.cbMeter->itemText(16), QStringLiteral("غير معروف"));
        EXPECT_FALSE(w.cbMeter->isEnabled());
        EXPECT_TRUE(w.cxMeter->geometry().intersects(w.Panel1->rect()) && w.cxMeter->parentWidget() == w.Panel1);

        click(w.cxMeter);
        EXPECT_TRUE(w.cbMeter->isEnabled());
        press(Qt::Key_Return);  // ticked, none chosen: no verse
        EXPECT_EQ(w.LaSearchCount->text(), QStringLiteral(" 0 "));

        const int tawil = 0;
        ASSERT_FALSE(ofMeter(tawil).empty());
        choose(w.cbMeter, name(tawil));
        click(w.bbSearch);
        EXPECT_EQ(listed(w), ofMeter(tawil));
        EXPECT_EQ(w.LaSearchCount->text(), QStringLiteral(" %1 ").arg(ofMeter(tawil).size()));

        // From the list, Shift+Tab to the box and Space unticks it: every verse again, the list
        // disabled with its choice kept; Space ticks it, Tab goes to the list, Down picks the next meter.
        QTest::mouseClick(w.cbMeter, Qt::LeftButton);
        QTest::keyClick(w.cbMeter->view(), Qt::Key_Escape);
        activate(w);
        EXPECT_EQ(w.focusWidget(), w.cbMeter);
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(w.focusWidget(), w.cxMeter);
        press(Qt::Key_Space);
        EXPECT_FALSE(w.cxMeter->isChecked());
        EXPECT_FALSE(w.cbMeter->isEnabled());
        EXPECT_EQ(w.cbMeter->currentText(), name(tawil));
        EXPECT_EQ(int(listed(w).size()), main().cdsPoem().rowCount());
        press(Qt::Key_Space);
        EXPECT_TRUE(w.cbMeter->isEnabled());
        press(Qt::Key_Tab);
        EXPECT_EQ(w.focusWidget(), w.cbMeter);
        press(Qt::Key_Down);
        EXPECT_EQ(w.cbMeter->currentText(), name(1));
        EXPECT_EQ(listed(w), ofMeter(1)) << "a search shown follows the meter chosen";

        // Combined with a word of the verses.
        choose(w.cbMeter, name(kNoMeterNamed));
        QTest::mouseClick(w.edSearch, Qt::LeftButton);
        type(QStringLiteral("من"));
        press(Qt::Key_Return);
        std::set<int64_t> both;
        for (int64_t key : ofMeter(kNoMeterNamed))
            if (Shell::NormalizeText(main().cdsPoem().rowAt(main().cdsPoem().findRowByKey(key)).cells[1].text())
                    .find(Shell::NormalizeText(*codepage::fromUtf8("من"))) != std::string::npos)
                both.insert(key);
        EXPECT_EQ(listed(w), both);
    });
}

// Asked before every meter is known, the search waits, its button disabled and the progress shown
// under the list, then lists the verses of the meter once the work is done.
TEST_F(SearchMeterWindowTest, SearchByMeterWaitsUntilTheMetersAreKnown)
{
    worker().hold(true);
    openSearch([&](TfmSearch& w) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return worker().started(); }, 5000));
        EXPECT_FALSE(worker().complete());
        openPanel(w);
        EXPECT_TRUE(w.laMeterProgress->isVisible());
        EXPECT_EQ(w.laMeterProgress->text(), QStringLiteral("جارٍ حساب البحور… 0٪"));
        click(w.cxMeter);
        choose(w.cbMeter, name(0));

        bool waitedVisibly = false;
        QTimer::singleShot(50, &w, [&] {
            waitedVisibly = !w.bbSearch->isEnabled() && w.laMeterProgress->isVisible() &&
                            w.LaSearchCount->text() == QStringLiteral("0");
            worker().hold(false);
        });
        press(Qt::Key_Return);
        EXPECT_TRUE(waitedVisibly);
        EXPECT_TRUE(worker().complete());
        EXPECT_FALSE(w.laMeterProgress->isVisible());
        EXPECT_TRUE(w.bbSearch->isEnabled());
        EXPECT_EQ(listed(w), ofMeter(0));

        // Another window changes a verse while the scanning is held back: the meter chosen next
        // with the keys is answered once its meter is known again, never from the old one.
        worker().hold(true);
        Table& poem = main().cdsPoem();
        poem.setRecNo(1);
        poem.edit();
        poem.field("Text").setValue(Value(verses[1]));
        poem.post();
        EXPECT_FALSE(worker().complete());
        QTest::mouseClick(w.cbMeter, Qt::LeftButton);
        QTest::keyClick(w.cbMeter->view(), Qt::Key_Escape);
        activate(w);
        press(Qt::Key_Down);
        EXPECT_EQ(w.cbMeter->currentText(), name(1));
        EXPECT_TRUE(w.laMeterProgress->isVisible());
        worker().hold(false);
        ASSERT_TRUE(QTest::qWaitFor([&] { return worker().complete(); }, 20000));
        EXPECT_FALSE(w.laMeterProgress->isVisible());
        EXPECT_EQ(listed(w), ofMeter(1));
        EXPECT_EQ(w.LaSearchCount->text(), QStringLiteral(" %1 ").arg(ofMeter(1).size()));
    });
}

// Closing the window while its search waits for the meters drops that search.
TEST_F(SearchMeterWindowTest, ClosingWhileWaitingDropsTheSearch)
{
    worker().hold(true);
    openSearch([&](TfmSearch& w) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return worker().started(); }, 5000));
        openPanel(w);
        click(w.cxMeter);
        choose(w.cbMeter, name(0));
        QTimer::singleShot(50, &w, [&] { press(Qt::Key_Escape); });
        press(Qt::Key_Return);
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_FALSE(main().SearchActive);
    EXPECT_EQ(main().cdsPoem().recordCount(), main().cdsPoem().rowCount());
    worker().hold(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return worker().complete(); }, 20000));
}

}  // namespace

namespace {

// The meters worked out in one run are kept at its close: the next start has nothing to scan,
// even with the scanning held back; a verse edited just before a close is scanned at the close.
TEST(SearchMetersKept, TheNextStartReadsThemAndAVerseEditedLastIsKeptToo)
{
    TempFolder dir;
    ScriptedDialogsScope dialogs;
    const std::vector<std::string> verses = classicalVerses("classical_verses.tsv", 30);
    auto start = [&] {
        return std::make_unique<Program>(QString::fromStdString(dir.path()), QStringLiteral(BARQEEN_EXECUTABLE));
    };
    {
        auto program = start();
        for (const std::string& verse : verses)
            program->fmMain->cdsPoem().appendRecord(
                {Value(), Value(verse), Value(), Value(int64_t(1)), Value("a"), Value("b"), Value()});
        ASSERT_TRUE(QTest::qWaitFor([&] { return program->fmMain->meterWorker().complete(); }, 20000));
    }
    ASSERT_TRUE(std::filesystem::exists(dir.file("Poem.meters")));
    {
        auto program = start();
        program->fmMain->meterWorker().hold(true);
        ASSERT_TRUE(QTest::qWaitFor([&] { return program->fmMain->meterWorker().started(); }, 5000));
        EXPECT_TRUE(program->fmMain->meterWorker().complete()) << "every verse answered from the kept file";
        Table& poem = program->fmMain->cdsPoem();
        poem.setRecNo(4);
        poem.edit();
        poem.field("Text").setValue(Value(verses[0]));
        poem.post();
    }
    {
        auto program = start();  // the edit, never scanned while held, was scanned at the close
        program->fmMain->meterWorker().hold(true);
        ASSERT_TRUE(QTest::qWaitFor([&] { return program->fmMain->meterWorker().started(); }, 5000));
        EXPECT_TRUE(program->fmMain->meterWorker().complete());
    }
}

}  // namespace
