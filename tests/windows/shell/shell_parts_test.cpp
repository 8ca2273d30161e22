// The shell's smaller parts: the version record, the folder lock, the message boxes, the error
// guard and the colours of the painted bands.
#include "files_fixture.h"
#include "scripted_dialogs.h"
#include "core/common/error.h"
#include "windows/shell/application.h"
#include "windows/shell/file_version.h"
#include "windows/shell/guard.h"
#include "windows/shell/painting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLockFile>
#include <QPushButton>
#include <QMessageBox>
#include <QTimer>

using namespace barqeen;
using namespace barqeen::test;

namespace {

TEST(FileVersionTest, TheProgramCarriesItsVersionOtherFilesDoNot)
{
    uint16_t major = 0, minor = 0, release = 0, build = 0;
    ASSERT_TRUE(GetFileVersion(BARQEEN_EXECUTABLE, major, minor, release, build));
    EXPECT_EQ(std::vector<int>({major, minor, release, build}), std::vector<int>({2, 0, 3, 3}));

    TempFolder dir;
    writeFile(dir.file("text"), "not a program");
    const std::string selfPath = QCoreApplication::applicationFilePath().toStdString();
    for (const std::string& path : {dir.file("text"), dir.file("missing"), selfPath}) {
        uint16_t a = 7, b = 7, c = 7, d = 7;
        EXPECT_FALSE(GetFileVersion(path, a, b, c, d)) << path;
        EXPECT_EQ(a + b + c + d, 28) << "outputs must stay untouched";
    }
}

TEST(FolderLockTest, ASecondCopyIsToldAndStops)
{
    ScriptedDialogsScope dialogs;
    TempFolder dir;
    bool another = true;
    auto first = lockDataFolder(QString::fromStdString(dir.path()), another);
    ASSERT_TRUE(first);
    EXPECT_FALSE(another);
    EXPECT_FALSE(lockDataFolder(QString::fromStdString(dir.path()), another));
    EXPECT_TRUE(another);
    ASSERT_EQ(dialogs->texts("message").size(), 1);
    EXPECT_TRUE(dialogs->texts("message").first().contains(QStringLiteral("نسخة أخرى")));
    first.reset();
    EXPECT_TRUE(lockDataFolder(QString::fromStdString(dir.path()), another));
}

TEST(GuardTest, AnErrorEndsTheHandlerAndIsShown)
{
    ScriptedDialogsScope dialogs;
    bool after = false;
    auto handler = guarded([&] {
        throw Error("Field value required.");
        after = true;
    });
    handler();
    EXPECT_FALSE(after);
    EXPECT_EQ(dialogs->texts("error"), QStringList{"Field value required."});
}

// The real boxes: caption, icon and Arabic buttons, read while each box is open.
TEST(MessageBoxTest, EachKindHasItsCaptionIconAndArabicButtons)
{
    QtDialogs real;
    struct Case {
        const char* kind;
        std::function<void()> show;
        QString caption;
        QMessageBox::Icon icon;
        int buttons;
    };
    const std::vector<Case> cases = {
        {"message", [&] { real.message("m"); }, "Barqeen", QMessageBox::NoIcon, 1},
        {"warning", [&] { real.warning("w"); }, QStringLiteral("تحذير"), QMessageBox::Warning, 1},
        {"warning question", [&] { real.warningYesNo("q"); }, QStringLiteral("تحذير"), QMessageBox::Warning, 2},
        {"confirmation", [&] { real.confirm("c"); }, QStringLiteral("تأكيد"), QMessageBox::Question, 2},
        {"error", [&] { real.error("e"); }, "Barqeen", QMessageBox::Critical, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            seen = true;
            EXPECT_EQ(box->windowTitle(), c.caption);
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->buttons().size(), c.buttons);
            // Room for the caption beside the frame's icon and buttons, so that the frame does
            // not cut it.
            QFont title = box->font();
            title.setBold(true);
            EXPECT_GE(box->width(), QFontMetrics(title).horizontalAdvance(c.caption) + 4 * 24);
            for (QAbstractButton* b : box->buttons()) {
                const QString text = b->text();
                EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.script() == QChar::Script_Arabic; }))
                    << text.toStdString();
                // The word alone: a picture beside it pushes it over the edge right to left.
                EXPECT_TRUE(b->icon().isNull()) << text.toStdString();
            }
            box->reject();
        });
        c.show();
        EXPECT_TRUE(seen);
    }
}

TEST(InputPromptTest, ButtonsCarryTheirWholeWords)
{
    QtDialogs real;
    QStringList captions;
    QTimer::singleShot(0, [&] {
        auto* prompt = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(prompt);
        for (QPushButton* b : prompt->findChildren<QPushButton*>()) {
            captions << b->text();
            EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
        }
        prompt->reject();
    });
    EXPECT_FALSE(real.input(QStringLiteral("مطارحة"), QStringLiteral("الرجاء كتابة إسم المتسابق"), QString()));
    captions.sort();
    EXPECT_EQ(captions, QStringList({QStringLiteral("إلغاء"), QStringLiteral("حسنًا")}));
}

TEST(PaintingTest, BackdropBandsAtTheTellingPlacesAndTheCap)
{
    const struct {
        int band;
        QRgb colour;
    } cases[] = {{0, 0x3296AA}, {100, 0x64B7C3}, {200, 0x96D8DC}, {270, 0xB9F0ED},
                 {315, 0xCFFFF8}, {340, 0xDCFFFF}, {409, 0xFEFFFF}, {410, 0xFFFFFF}, {900, 0xFFFFFF}};
    for (const auto& c : cases)
        EXPECT_EQ(backdropBandColor(c.band).rgb() & 0xFFFFFF, c.colour) << c.band;
}

}  // namespace
