// The main window on the offscreen platform: start-up, layout, the ways out, damaged files.
#include "files_fixture.h"
#include "scripted_dialogs.h"
#include "windows/main/main_window.h"
#include "windows/shell/picture_button.h"
#include "core/text/codepage.h"

#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace barqeen;
using namespace barqeen::test;

namespace {

std::unique_ptr<TfmMain> startIn(const TempFolder& dir)
{
    auto w = std::make_unique<TfmMain>(QString::fromStdString(dir.path()), QStringLiteral(BARQEEN_EXECUTABLE));
    w->show();
    return w;
}

TEST(MainWindowTest, FirstStartOpensFiveEmptyTablesAndShowsTheVersion)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    auto w = startIn(dir);
    EXPECT_TRUE(dialogs->shown.empty());
    for (const char* f : {"Poem.cds", "Authors.cds", "Categories.cds", "History.cds", "PlayerPoem.cds"})
        EXPECT_TRUE(std::filesystem::exists(dir.file(f))) << f;
    EXPECT_TRUE(w->cdsPoem().active());
    EXPECT_EQ(w->laVersion->text(), QStringLiteral("نسخة رقم 2.0.3"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Barqeen"));
}

TEST(MainWindowTest, BorderlessFixedRightToLeftWithItsControlsInPlace)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    auto w = startIn(dir);
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(w->size(), QSize(667, 506));
    EXPECT_EQ(w->minimumSize(), w->maximumSize());
    EXPECT_EQ(w->layoutDirection(), Qt::RightToLeft);

    const struct {
        PictureButton* button;
        QRect geometry;
        QSize picture;
    } buttons[] = {
        {w->imGame, {536, 161, 122, 41}, {120, 40}},       {w->imSearch, {536, 238, 121, 41}, {120, 40}},
        {w->imPoemEdit, {537, 320, 122, 41}, {120, 40}},   {w->imCategories, {10, 162, 121, 41}, {120, 40}},
        {w->imAuthors, {13, 236, 112, 41}, {110, 40}},     {w->imHistory, {9, 323, 121, 41}, {120, 40}},
        {w->imExit, {268, 398, 121, 41}, {120, 40}},
    };
    for (const auto& b : buttons) {
        EXPECT_EQ(b.button->geometry(), b.geometry);
        EXPECT_EQ(b.button->pixmap().size(), b.picture);
        EXPECT_EQ(b.button->cursor().shape(), Qt::PointingHandCursor);
    }
    EXPECT_EQ(w->Panel1->geometry(), QRect(0, 0, 667, 17));
    EXPECT_EQ(w->Image3->geometry(), QRect(1, 1, 633, 15));
    EXPECT_EQ(w->sbMinimize->geometry(), QRect(634, 2, 17, 14));
    EXPECT_EQ(w->sbClose->geometry(), QRect(652, 1, 16, 15));
    EXPECT_EQ(w->sbClose->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(w->Image1->geometry(), QRect(0, 17, 667, 489));
    EXPECT_FALSE(w->Image1->pixmap().isNull());
    EXPECT_EQ(w->Image2->pixmap().size(), QSize(321, 79));
    // The strip lies over everything else.
    EXPECT_EQ(w->children().last(), w->Panel1);
}

TEST(MainWindowTest, TitleStripIsPaintedWithItsGradient)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    auto w = startIn(dir);
    const QImage strip = w->Image3->grab().toImage();
    ASSERT_EQ(strip.size(), QSize(633, 15));
    const struct {
        int x;
        QRgb colour;
    } bands[] = {{0, 0x006478}, {1, 0x006478}, {200, 0x328591}, {400, 0x64A6AA}, {632, 0x9ECDC7}};
    for (const auto& b : bands)
        for (int y : {0, 14})
            EXPECT_EQ(strip.pixel(b.x, y) & 0xFFFFFF, b.colour) << "x " << b.x << " y " << y;
}

// Each way out closes the tables; a file deleted meanwhile is written again at the close.
TEST(MainWindowTest, EveryWayOutClosesTheTables)
{
    const std::vector<std::pair<const char*, std::function<void(TfmMain&)>>> ways = {
        {"close glyph", [](TfmMain& w) { QTest::mouseClick(w.sbClose, Qt::LeftButton); }},
        {"exit picture", [](TfmMain& w) { QTest::mouseClick(w.imExit, Qt::LeftButton); }},
        {"system close", [](TfmMain& w) { w.close(); }},
    };
    for (const auto& [what, closeIt] : ways) {
        SCOPED_TRACE(what);
        ScriptedDialogsScope dialogs;
        TempFolder dir;
        auto w = startIn(dir);
        w->cdsAuthors().appendRecord({Value(), Value("a")});
        std::filesystem::remove(dir.file("Authors.cds"));
        closeIt(*w);
        EXPECT_FALSE(w->isVisible());
        EXPECT_FALSE(w->cdsAuthors().active());
        EXPECT_FALSE(w->cdsPoem().active());
        EXPECT_TRUE(std::filesystem::exists(dir.file("Authors.cds")));
        EXPECT_TRUE(dialogs->shown.empty());
    }
}

TEST(MainWindowTest, DamagedTableFileIsReportedAndLeftAsItWas)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    const std::string garbage(3000, '\x5A');
    writeFile(dir.file("History.cds"), garbage);
    auto w = startIn(dir);
    ASSERT_EQ(dialogs->texts("error").size(), 1);
    EXPECT_TRUE(dialogs->texts("error").first().contains(QString::fromStdString(dir.file("History.cds"))));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->laVersion->text(), QStringLiteral("رقم النسخة"));  // the rest of start-up was skipped
    EXPECT_TRUE(w->cdsPlayerPoem().active());
    EXPECT_FALSE(w->cdsHistory().active());
    EXPECT_FALSE(w->cdsCategories().active());
    w->close();
    EXPECT_EQ(readFile(dir.file("History.cds")), garbage);
    EXPECT_EQ(dialogs->shown.size(), 1u);
}

TEST(MainWindowTest, FolderThatCannotHoldTablesIsReportedWithoutACrash)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    writeFile(dir.file("plain-file"), "x");
    TfmMain w(QString::fromStdString(dir.file("plain-file")), QStringLiteral(BARQEEN_EXECUTABLE));
    ASSERT_EQ(dialogs->texts("error").size(), 1);
    EXPECT_TRUE(dialogs->texts("error").first().contains(QStringLiteral("Poem.cds")));
    w.close();
}

}  // namespace


#include "windows/shell/shutdown.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <csignal>

namespace {

// Asked to stop by the system while a modal window is open: the modal window closes first, then
// the main window, which closes the tables; nothing is left for the signal's default action.
TEST(MainWindowTest, StopSignalClosesModalWindowsThenTheTables)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    auto w = startIn(dir);
    OrderlyShutdown shutdown;
    shutdown.setMainWindow(w.get(), [&w] { w->closeWithoutQuestions(); });
    QDialog modal(w.get());
    bool modalWasOpen = false;
    QTimer::singleShot(0, [&] {
        modalWasOpen = modal.isVisible();
        std::raise(SIGTERM);
    });
    modal.exec();
    for (int i = 0; i < 20 && w->isVisible(); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(modalWasOpen);
    EXPECT_FALSE(modal.isVisible());
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(w->cdsPoem().active());
    EXPECT_TRUE(dialogs->shown.empty());
}

}  // namespace
