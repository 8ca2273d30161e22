// The verse window's import and export, used as a person uses them: the two buttons, the file
// dialog typed into, the progress dialog's cancel button, a file dropped on the window.
#include "app/program.h"
#include "windows/editing/import_preview.h"
#include "windows/editing/poem_edit.h"
#include "files_fixture.h"
#include "person.h"
#include "reading_order.h"
#include "scripted_dialogs.h"
#include "screen_reader.h"
#include "windows/shell/db_controls.h"
#include "windows/main/main_window.h"
#include "core/text/codepage.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>

using namespace barqeen;
using namespace barqeen::test;

namespace {

std::string ar(const char* utf8)
{
    return *codepage::fromUtf8(utf8);
}

class PoemEditExchangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        homeBefore = qgetenv("HOME");
        qputenv("HOME", QByteArray::fromStdString(dir.path()));
        program = std::make_unique<Program>(QString::fromStdString(dir.path()), QStringLiteral(BARQEEN_EXECUTABLE));
        Table& poem = program->fmMain->cdsPoem();
        for (const auto& [text, start, end] : {std::tuple{"قفا نبك من ذكرى حبيب ومنزل", "ق", "ل"},
                                               {"ألا هبي بصحنك فاصبحينا", "أ", "ن"},
                                               {"أمن أم أوفى دمنة لم تكلم", "أ", "م"}})
            poem.appendRecord({Value(), Value(ar(text)), Value(), Value(), Value(ar(start)), Value(ar(end))});
        poem.first();
    }

    // Shows the verse window and runs the actions in it; the file dialogs it opens are answered
    // by typing `files` (one a dialog) into their file name box, after choosing `filter` if set.
    void inVerseWindow(const std::function<void(TfmPoemEdit&)>& actions)
    {
        dialogs->onModal = [&](QDialog& d) {
            if (auto* files = qobject_cast<QFileDialog*>(&d))
                return answerFileDialog(*files);
            if (auto* preview = qobject_cast<TfmImportPreview*>(&d))
                return answerPreview(*preview);
            auto& w = static_cast<TfmPoemEdit&>(d);
            activate(w);
            actions(w);
            w.hide();
            return int(QDialog::Rejected);
        };
        program->fmMain->imPoemEditClick();
    }

    int answerFileDialog(QFileDialog& d)
    {
        d.show();
        EXPECT_FALSE(typedNames.empty()) << "unexpected file dialog";
        if (typedNames.empty())
            return int(QDialog::Rejected);
        if (!filterToChoose.isEmpty()) {
            auto* types = d.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            while (types && types->currentText() != filterToChoose && types->currentIndex() + 1 < types->count())
                QTest::keyClick(types, Qt::Key_Down);
        }
        auto* name = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        EXPECT_TRUE(name);
        if (!name)
            return int(QDialog::Rejected);
        // The dialog opens in the home folder, where the test's files are: their names are typed.
        const std::string path = typedNames.front();
        typedNames.erase(typedNames.begin());
        QTest::keyClicks(name, QString::fromStdString(std::filesystem::path(path).filename().string()));
        QTest::keyClick(name, Qt::Key_Return);
        return d.result();
    }

    // The preview before an import: looked at by onPreview when set, else its import button clicked.
    int answerPreview(TfmImportPreview& preview)
    {
        preview.show();
        activate(preview);
        if (onPreview)
            onPreview(preview);
        else
            click(preview.bbImport);
        return preview.result();
    }

    // The current verse as the memo shows it (one line break between the hemistichs).
    QString currentText() const
    {
        return QString::fromStdString(codepage::toUtf8(program->fmMain->cdsPoem().field("Text").asString()))
            .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }

    void TearDown() override { qputenv("HOME", homeBefore); }

    TempFolder dir;
    QByteArray homeBefore;
    ScriptedDialogsScope dialogs;
    std::unique_ptr<Program> program;
    std::vector<std::string> typedNames;
    QString filterToChoose;
    std::function<void(TfmImportPreview&)> onPreview;
};

// Waits while the preview checks the rest of the file.
void untilChecked(TfmImportPreview& preview)
{
    for (int i = 0; i < 2000 && !preview.checked(); ++i)
        QTest::qWait(5);
    ASSERT_TRUE(preview.checked());
}

QStringList row(QTableWidget* grid, int r)
{
    QStringList cells;
    for (int c = 0; c < grid->columnCount(); ++c)
        cells << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
    return cells;
}

TEST_F(PoemEditExchangeTest, ImportButtonTakesTheFileTypedIntoTheDialogAndShowsTheSummary)
{
    const std::string file = dir.file("poems.csv");
    writeFile(file, "text,poet,categories\n"
                    "\"الخيل والليل والبيداء تعرفني\tوالسيف والرمح والقرطاس والقلم\",المتنبي,فخر\n"
                    "على قدر أهل العزم تأتي العزائم,المتنبي,حكمة\n"
                    "قِفا نَبكِ مِن ذِكرى حَبيبٍ وَمَنزِلِ,,\n");
    typedNames = {file};
    inVerseWindow([&](TfmPoemEdit& w) {
        ASSERT_TRUE(w.bbImport && w.bbExport);
        EXPECT_EQ(w.bbImport->text(), QStringLiteral("استيراد"));
        EXPECT_EQ(w.bbExport->text(), QStringLiteral("تصدير"));
        EXPECT_EQ(w.stCount->text(), QStringLiteral("3"));
        click(w.bbImport);
        EXPECT_EQ(w.stCount->text(), QStringLiteral("5"));
        QStringList categories;
        for (int i = 0; i < w.clbCategories->count(); ++i)
            categories << w.clbCategories->item(i)->text();
        EXPECT_EQ(categories, (QStringList{QStringLiteral("فخر"), QStringLiteral("حكمة")}));
        EXPECT_EQ(w.DBMemo1->toPlainText(), currentText());
    });
    const QStringList messages = dialogs->texts(QStringLiteral("message"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("الأبيات المستوردة: 2"))) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QStringLiteral("مكرر لبيت في الجدول: 1"))) << messages[0].toStdString();
    EXPECT_TRUE(std::filesystem::exists(file + ".import-report.txt"));
    EXPECT_EQ(program->fmMain->cdsAuthors().rowCount(), 1);
}

// The progress dialog's cancel button pressed while the label reads a stage: before the commit
// it keeps nothing, and the summary says so; from the commit on the button is greyed, a click
// or Esc changes nothing, and the summary says the import was stored, as it was.
struct CancelAt {
    const char* stage;
    bool takesEffect;
};

class PoemEditImportCancelTest : public PoemEditExchangeTest, public ::testing::WithParamInterface<CancelAt> {};

TEST_P(PoemEditImportCancelTest, ACancelEitherKeepsNothingOrIsVisiblyRefused)
{
    const CancelAt at = GetParam();
    std::string csv = "text,categories\n";
    for (int i = 0; i < 45000; ++i)
        csv += "بيت رقم " + std::to_string(i) + " من الشعر,موضوع " + std::to_string(i % 5) + "\n";
    const std::string file = dir.file("many.csv");
    writeFile(file, csv);
    typedNames = {file};
    bool pressed = false, buttonEnabled = false;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (!progress || pressed || progress->labelText() != QString::fromUtf8(at.stage))
            return;
        pressed = true;
        auto* cancel = progress->findChild<QPushButton*>();
        ASSERT_TRUE(cancel);
        EXPECT_EQ(cancel->text(), QStringLiteral("إلغاء"));
        buttonEnabled = cancel->isEnabled();
        QTest::mouseClick(cancel, Qt::LeftButton);
        if (!buttonEnabled)
            QTest::keyClick(progress, Qt::Key_Escape);
    });
    watcher.start();
    inVerseWindow([&](TfmPoemEdit& w) {
        click(w.bbImport);
        EXPECT_EQ(w.stCount->text(), at.takesEffect ? QStringLiteral("3") : QStringLiteral("45003"));
    });
    ASSERT_TRUE(pressed) << "the label never read " << at.stage;
    EXPECT_EQ(buttonEnabled, at.takesEffect);
    const QStringList messages = dialogs->texts(QStringLiteral("message"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].contains(QStringLiteral("أُلغي الاستيراد")), at.takesEffect) << messages[0].toStdString();
    if (!at.takesEffect) {
        EXPECT_TRUE(messages[0].contains(QStringLiteral("حُفظ الاستيراد كله"))) << messages[0].toStdString();
    }
    const int rows = at.takesEffect ? 3 : 45003;
    EXPECT_EQ(program->fmMain->cdsPoem().rowCount(), rows);
    program.reset();  // the tables close; their files hold what the summary said
    PoemStore reader(dir.path());
    reader.OpenTables();
    EXPECT_EQ(reader.cdsPoem.rowCount(), rows);
    EXPECT_EQ(reader.cdsCategories.rowCount(), at.takesEffect ? 0 : 5);
}

INSTANTIATE_TEST_SUITE_P(EachStage, PoemEditImportCancelTest,
                         ::testing::Values(CancelAt{"قراءة الملف", true}, CancelAt{"مقارنة بالأبيات الموجودة", true},
                                           CancelAt{"فحص الأسطر", true}, CancelAt{"كتابة الجداول", true},
                                           CancelAt{"حفظ الاستيراد", false}));

TEST_F(PoemEditExchangeTest, AFileDroppedOnTheMemoIsImportedNotPastedAsItsName)
{
    const std::string file = dir.file("dropped.txt");
    writeFile(file, "سلو قلبي غداة سلا وثابا\tلعل على الجمال له عتابا\n");
    inVerseWindow([&](TfmPoemEdit& w) {
        const QString before = w.DBMemo1->toPlainText();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
        data.setText(QString::fromStdString(file));
        QWidget* target = w.DBMemo1->viewport();
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_TRUE(drop.isAccepted());
        EXPECT_EQ(w.stCount->text(), QStringLiteral("4"));
        EXPECT_FALSE(w.DBMemo1->toPlainText().contains(QStringLiteral("dropped.txt")));
        EXPECT_EQ(w.DBMemo1->toPlainText(), before);
    });
    ASSERT_EQ(dialogs->texts(QStringLiteral("message")).size(), 1);
    EXPECT_TRUE(dialogs->texts(QStringLiteral("message"))[0].contains(QStringLiteral("الأبيات المستوردة: 1")));
}

TEST_F(PoemEditExchangeTest, ExportWritesTheShownVersesOrAllOfThem)
{
    const std::string shown = dir.file("shown.jsonl"), all = dir.file("all.tsv");
    typedNames = {shown, all};
    dialogs->answers = {true, false};  // the shown verses only; then all of them
    inVerseWindow([&](TfmPoemEdit& w) {
        // The letter list, by keyboard: past "كل الأحرف" to أ.
        w.cbLetter->setFocus();
        QTest::keyClick(w.cbLetter, Qt::Key_Down);
        QTest::keyClick(w.cbLetter, Qt::Key_Down);
        ASSERT_EQ(w.cbLetter->currentText(), QStringLiteral("أ"));
        ASSERT_EQ(w.stCount->text(), QStringLiteral("2"));
        click(w.bbExport);
        click(w.bbExport);
    });
    const QStringList questions = dialogs->texts(QStringLiteral("confirm"));
    ASSERT_EQ(questions.size(), 2);
    EXPECT_TRUE(questions[0].contains(QStringLiteral("(2 من 3)"))) << questions[0].toStdString();
    EXPECT_EQ(readFile(shown),
              "{\"text\":\"ألا هبي بصحنك فاصبحينا\",\"poet\":\"\",\"categories\":[],\"first_letter\":\"أ\",\"last_letter\":\"ن\"}\n"
              "{\"text\":\"أمن أم أوفى دمنة لم تكلم\",\"poet\":\"\",\"categories\":[],\"first_letter\":\"أ\",\"last_letter\":\"م\"}\n");
    const std::string tsv = readFile(all);
    EXPECT_EQ(std::count(tsv.begin(), tsv.end(), '\n'), 4) << "the header and three verses";
    const QStringList messages = dialogs->texts(QStringLiteral("message"));
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("الأبيات المصدّرة: 2"))) << messages[0].toStdString();
    EXPECT_TRUE(messages[1].contains(QStringLiteral("الأبيات المصدّرة: 3"))) << messages[1].toStdString();
}

TEST_F(PoemEditExchangeTest, TheArabicCodePageIsChosenInTheFileDialog)
{
    // Valid UTF-8 by accident; as Windows-1256 it is the verse "ب؟ ب؟".
    const std::string file = dir.file("old.txt");
    writeFile(file, ar("ب؟ ب؟") + "\n");
    typedNames = {file};
    filterToChoose = QStringLiteral("ملفات بالترميز العربي \u2066Windows-1256\u2069 \u2066(*.txt *.csv *.tsv)");
    inVerseWindow([&](TfmPoemEdit& w) { click(w.bbImport); });
    EXPECT_EQ(program->fmMain->cdsPoem().rowCount(), 4);
    EXPECT_EQ(program->fmMain->cdsPoem().rowAt(3).cells[1].text(), ar("ب؟ ب؟"));
}

// The import dialog's file types, and a message naming a path, read in their own order inside the
// Arabic lines: the patterns and the path left to right, their slashes and dots where typed.
TEST_F(PoemEditExchangeTest, FileTypesAndPathsReadInTheirOwnOrder)
{
    QStringList types, previewTexts;
    QFont typesFont;
    dialogs->onModal = [&](QDialog& d) {
        if (auto* files = qobject_cast<QFileDialog*>(&d)) {
            files->show();
            auto* combo = files->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            EXPECT_TRUE(combo);
            for (int i = 0; combo && i < combo->count(); ++i)
                types << combo->itemText(i);
            typesFont = combo ? combo->font() : QFont();
            return int(QDialog::Rejected);
        }
        if (auto* preview = qobject_cast<TfmImportPreview*>(&d)) {  // a folder is refused in the preview
            untilChecked(*preview);
            previewTexts << preview->laSource->text() << preview->laCounts->text();
            return int(QDialog::Rejected);
        }
        auto& w = static_cast<TfmPoemEdit&>(d);
        activate(w);
        click(w.bbImport);
        w.importFiles({QString::fromStdString(dir.path())});  // a folder, refused by its path
        w.hide();
        return int(QDialog::Rejected);
    };
    program->fmMain->imPoemEditClick();
    ASSERT_EQ(types.size(), 3);
    for (const QString& type : types) {
        const qsizetype open = type.lastIndexOf(QLatin1Char('('));
        ASSERT_GT(open, 0) << type.toStdString();
        EXPECT_TRUE(readsLeftToRight(type, int(open), int(type.size()), typesFont)) << type.toStdString();
    }
    EXPECT_TRUE(partReadsLeftToRight(types[1], QStringLiteral("Windows-1256"), typesFont));
    const QString path = QString::fromStdString(dir.path());
    QString line;
    for (const QString& message :
         dialogs->texts(QStringLiteral("message")) + dialogs->texts(QStringLiteral("error")) + previewTexts)
        for (const QString& l : message.split(QLatin1Char('\n')))
            if (l.contains(path))
                line = l;
    ASSERT_FALSE(line.isEmpty()) << dialogs->texts(QStringLiteral("message")).join('|').toStdString();
    EXPECT_TRUE(partReadsLeftToRight(line, path)) << line.toStdString();
}

// A folder's random name may hold a ligature ("ff"): its path still reads in its own order; and a
// path left without its isolate after Arabic text is still seen reversed.
TEST(ReadingOrder, ALigatureInAPathIsNoReversal)
{
    const QString path = QStringLiteral("/tmp/barqeen-test-ffcp5f");
    const QString isolated = QChar(0x2066) + path + QChar(0x2069) + QStringLiteral(" مجلد وليس ملفًا.");
    EXPECT_TRUE(partReadsLeftToRight(isolated, path));
    EXPECT_FALSE(partReadsLeftToRight(QStringLiteral("مجلد /tmp/a-b ليس"), QStringLiteral("/tmp/a-b")));
}

TEST_F(PoemEditExchangeTest, ThePreviewShowsWhatWillBeStoredFollowsTheChoicesAndImportsOrCancels)
{
    const std::string diwan = dir.file("diwan.txt"), other = dir.file("other.txt");
    writeFile(diwan, "المتنبي\n"
                     "١. أعز مكان في الدنى سرج سابح * وخير جليس في الزمان كتاب\n"
                     "٢. ولست بنحوي يلوك لسانه * ولكن سليقي أقول فأعرب\n"
                     "٣. بيت * في * ثلاثة أجزاء\n"
                     "٤. سيذكرني قومي إذا جد جدهم * وفي الليلة الظلماء يفتقد البدر\n");
    writeFile(other, "سلو قلبي غداة سلا وثابا\tلعل على الجمال له عتابا\n");
    typedNames = {diwan, other};
    int previews = 0;
    onPreview = [&](TfmImportPreview& p) {
        untilChecked(p);
        if (previews++ == 1) {
            click(p.bbCancel);
            return;
        }
        EXPECT_TRUE(p.laSource->text().contains(QStringLiteral("« * »"))) << p.laSource->text().toStdString();
        EXPECT_TRUE(partReadsLeftToRight(p.laSource->text(), QStringLiteral("utf-8"), p.laSource->font()))
            << p.laSource->text().toStdString();
        ASSERT_EQ(p.grVerses->rowCount(), 3);
        EXPECT_EQ(row(p.grVerses, 0), (QStringList{"2", "أعز مكان في الدنى سرج سابح", "وخير جليس في الزمان كتاب", "",
                                                   "", "أ", "ب"}));
        EXPECT_TRUE(p.laCounts->text().contains(QStringLiteral("أبيات تُستورد 3، عناوين 1، أسطر مرفوضة 1")))
            << p.laCounts->text().toStdString();
        EXPECT_TRUE(p.laCounts->text().contains(QStringLiteral("ليس بيتًا واحدًا: 1"))) << p.laCounts->text().toStdString();
        pick(p.cbHeadingPoet, QStringLiteral("أول سطر من كل عنوان اسم الشاعر"));
        untilChecked(p);
        ASSERT_EQ(p.grVerses->rowCount(), 3);
        EXPECT_EQ(row(p.grVerses, 1)[3], QStringLiteral("المتنبي"));
        pick(p.cbLayout, QStringLiteral("البيت كله في سطر واحد"));
        untilChecked(p);
        // Each line a whole verse: the star stays in the text.
        QStringList lineTwo;
        for (int r = 0; r < p.grVerses->rowCount(); ++r)
            if (row(p.grVerses, r)[0] == QStringLiteral("2"))
                lineTwo = row(p.grVerses, r);
        ASSERT_FALSE(lineTwo.isEmpty());
        EXPECT_EQ(lineTwo[1], QStringLiteral("أعز مكان في الدنى سرج سابح * وخير جليس في الزمان كتاب"));
        EXPECT_EQ(lineTwo[2], QString());
        pick(p.cbLayout, QStringLiteral("يُعرف من الملف"));
        untilChecked(p);
        EXPECT_EQ(p.grVerses->rowCount(), 3);
        click(p.bbImport);
    };
    inVerseWindow([&](TfmPoemEdit& w) {
        click(w.bbImport);
        EXPECT_EQ(w.stCount->text(), QStringLiteral("6"));
        click(w.bbImport);
        EXPECT_EQ(w.stCount->text(), QStringLiteral("6")) << "the preview was cancelled";
    });
    EXPECT_EQ(previews, 2);
    const Table& poem = program->fmMain->cdsPoem();
    ASSERT_EQ(poem.rowCount(), 6);
    EXPECT_EQ(program->fmMain->cdsAuthors().rowCount(), 1);
    EXPECT_EQ(poem.rowAt(4).cells[1].text(), ar("ولست بنحوي يلوك لسانه\r\nولكن سليقي أقول فأعرب"));
    const QStringList messages = dialogs->texts(QStringLiteral("message"));
    ASSERT_EQ(messages.size(), 1) << "no summary after a cancelled preview";
    EXPECT_TRUE(messages[0].contains(QStringLiteral("الأبيات المستوردة: 3"))) << messages[0].toStdString();
}

// Three files dropped at once, each holding the same two verses: the first preview offers them
// (taken with the keyboard), and once they are stored the next two show that nothing would be taken and do not offer the
// import; a click on the greyed button does nothing, the preview is left by its cancel or Esc.
TEST_F(PoemEditExchangeTest, ThePreviewOffersTheImportOnlyWhenAVerseWouldBeTaken)
{
    const std::string verses = "سلو قلبي غداة سلا وثابا\tلعل على الجمال له عتابا\n"
                               "أعز مكان في الدنى سرج سابح\tوخير جليس في الزمان كتاب\n";
    QList<QUrl> files;
    for (const char* name : {"one.txt", "two.txt", "three.txt"}) {
        writeFile(dir.file(name), verses);
        files << QUrl::fromLocalFile(QString::fromStdString(dir.file(name)));
    }
    QStringList counts;
    QString gridName;
    onPreview = [&](TfmImportPreview& p) {
        untilChecked(p);
        counts << p.laCounts->text();
        gridName = readName(p.grVerses);
        if (counts.size() == 1) {
            // By the keyboard: from the choices over the grid to «استيراد», then Return.
            EXPECT_TRUE(p.bbImport->isEnabled());
            p.cbEncoding->setFocus();
            ASSERT_TRUE(tabTo(p.bbImport, 6)) << "Tab leaves the grid";
            press(Qt::Key_Return);
            return;
        }
        EXPECT_FALSE(p.bbImport->isEnabled());
        QTest::mouseClick(p.bbImport, Qt::LeftButton);
        EXPECT_TRUE(p.isVisible()) << "the greyed button does nothing";
        if (counts.size() == 2)
            click(p.bbCancel);
        else
            press(Qt::Key_Escape);
        EXPECT_FALSE(p.isVisible());
    };
    inVerseWindow([&](TfmPoemEdit& w) {
        QMimeData data;
        data.setUrls(files);
        QWidget* target = w.DBMemo1->viewport();
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_EQ(w.stCount->text(), QStringLiteral("5"));
    });
    ASSERT_EQ(counts.size(), 3);
    EXPECT_TRUE(counts[0].contains(QStringLiteral("أبيات تُستورد 2، "))) << counts[0].toStdString();
    for (const QString& later : {counts[1], counts[2]}) {
        EXPECT_TRUE(later.contains(QStringLiteral("أبيات تُستورد 0، "))) << later.toStdString();
        EXPECT_TRUE(later.contains(QStringLiteral("مكرر لبيت في الجدول: 2"))) << later.toStdString();
    }
    EXPECT_EQ(gridName, QStringLiteral("الأبيات كما تُحفظ")) << "the grid is named for screen readers";
    EXPECT_EQ(dialogs->texts(QStringLiteral("message")).size(), 1) << "one import, one summary";
    EXPECT_EQ(program->fmMain->cdsPoem().rowCount(), 5);
}

}  // namespace
