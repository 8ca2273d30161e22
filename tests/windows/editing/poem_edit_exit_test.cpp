// What becomes of a verse typed and not yet posted when the program ends, and a damaged
// categories text met while browsing, playing or searching.
#include "poem_edit_fixture.h"

using namespace barqeen;
using namespace barqeen::test;

namespace {

const QString kUnpostedStart = QStringLiteral("لم يُحفظ بعدُ ما كتبته");

TEST_F(PoemEditTest, AChangedVerseLeftPendingIsStoredAtExit)
{
    {
        auto p = start();
        seed(*p);
        p->fmMain->show();
        open(*p, [&](TfmPoemEdit& w) {
            clickCell(*w.DBGrid1, 2, ColText);
            intoMemo(w);
            type(QStringLiteral(" بسقط اللوى"));
        });
        EXPECT_EQ(p->fmMain->cdsPoem().state(), Table::State::Edit);  // closing the window posts nothing
        EXPECT_TRUE(p->fmMain->close());
        EXPECT_TRUE(dialogs->shown.empty());
    }
    auto p = start();
    p->fmMain->cdsPoem().setRecNo(3);
    EXPECT_EQ(currentText(*p), QStringLiteral("لمن طلل بسقط اللوى"));
}

// A new verse without its last letter: the user is told what is missing and chooses.
TEST_F(PoemEditTest, AnIncompleteVerseAtExitTakesTheUserBackToItWhenAsked)
{
    {
        auto p = start();
        seed(*p);
        p->fmMain->show();
        open(*p, [&](TfmPoemEdit& w) {
            clickNav(w, DBNavigator::Insert);
            intoMemo(w);
            type(QStringLiteral("قفا نبك"));
            pick(w.DBComboBox2, QStringLiteral("ق"));
        });
        dialogs->answers = {true};  // go back to it
        EXPECT_FALSE(p->fmMain->close());
        ASSERT_EQ(dialogs->texts("warningYesNo").size(), 1);
        const QString question = dialogs->texts("warningYesNo")[0];
        EXPECT_TRUE(question.startsWith(kUnpostedStart));
        EXPECT_TRUE(question.contains(QStringLiteral("Field 'حرف النهاية' must have a value")));
        EXPECT_TRUE(p->fmMain->isVisible());
        EXPECT_TRUE(p->fmMain->cdsPoem().active());

        // The window comes back on the new verse, the missing letter's list ready for it.
        bool shown = false;
        dialogs->onModal = [&](QDialog& d) {
            auto& w = static_cast<TfmPoemEdit&>(d);
            showOver(*p, w);
            shown = true;
            EXPECT_EQ(w.DBMemo1->toPlainText(), QStringLiteral("قفا نبك"));
            EXPECT_EQ(w.focusWidget(), w.DBComboBox1);
            pick(w.DBComboBox1, QStringLiteral("ك"));
            clickNav(w, DBNavigator::Post);
            w.hide();
            return int(QDialog::Rejected);
        };
        for (int i = 0; i < 5 && !shown; ++i)
            QCoreApplication::processEvents();
        EXPECT_TRUE(shown);
        EXPECT_TRUE(p->fmMain->close());
        EXPECT_EQ(dialogs->texts("warningYesNo").size(), 1);
    }
    auto p = start();
    Table& poem = p->fmMain->cdsPoem();
    ASSERT_EQ(poem.recordCount(), 5);
    poem.last();
    EXPECT_EQ(currentText(*p), QStringLiteral("قفا نبك"));
    EXPECT_EQ(poem.field("EndLetter").asString(), cp(QStringLiteral("ك")));
}

TEST_F(PoemEditTest, AnIncompleteVerseAtExitIsLeftOutWhenTheUserSaysSo)
{
    {
        auto p = start();
        seed(*p);
        p->fmMain->show();
        open(*p, [&](TfmPoemEdit& w) {
            clickNav(w, DBNavigator::Insert);
            intoMemo(w);
            type(QStringLiteral("قفا نبك"));
        });
        // A changed author, pending too, is still stored.
        Table& authors = p->fmMain->cdsAuthors();
        authors.first();
        authors.edit();
        authors.field("AuthorName").setAsString(cp(QStringLiteral("جرير بن عطية")));
        dialogs->answers = {false};  // exit without it
        EXPECT_TRUE(p->fmMain->close());
        ASSERT_EQ(dialogs->texts("warningYesNo").size(), 1);
        EXPECT_TRUE(dialogs->texts("warningYesNo")[0].contains(QStringLiteral("Field 'حرف البداية' must have a value")));
        EXPECT_FALSE(p->fmMain->cdsPoem().active());
    }
    auto p = start();
    EXPECT_EQ(p->fmMain->cdsPoem().recordCount(), 4);
    p->fmMain->cdsAuthors().first();
    EXPECT_EQ(p->fmMain->cdsAuthors().field("AuthorName").asString(), cp(QStringLiteral("جرير بن عطية")));
}

// The categories text of a verse damaged by another tool: (2)(x) cannot be read past (2).
TEST_F(PoemEditTest, ADamagedCategoriesTextIsReportedOnlyWhereTheWindowShowsThatVerse)
{
    auto p = start();
    seed(*p);
    addVerse(*p, "بيت تالف", 1, "ب", "ت", "(2)(x)");
    Table& poem = p->fmMain->cdsPoem();
    poem.first();
    open(*p, [](TfmPoemEdit&) {});
    ASSERT_TRUE(dialogs->texts("error").isEmpty());

    // Scans of the table while the window is not shown (a game, a search) hear nothing of it.
    poem.first();
    while (!poem.eof())
        poem.next();
    {
        Table::ScrollBatch batch(poem);
        poem.last();
    }
    poem.setFilterText(cp(QStringLiteral("StartLetter = 'ب'")));
    poem.setFiltered(true);
    poem.last();
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialogs->texts("error").isEmpty());

    // Shown in the window: said once, the tags before the damage still ticked.
    open(*p, [&](TfmPoemEdit& w) {
        QCoreApplication::processEvents();
        EXPECT_EQ(dialogs->texts("error"), QStringList{"'x' is not a valid integer value"});
        EXPECT_EQ(ticked(w), QStringList{QStringLiteral("حكمة")});
        showOver(*p, w);  // the box closing gives the window back its focus
        QCoreApplication::processEvents();
        EXPECT_EQ(dialogs->texts("error").size(), 1);

        // Going to another verse and back says it again.
        clickCell(*w.DBGrid1, 0, ColText);
        clickCell(*w.DBGrid1, 1, ColText);
        QCoreApplication::processEvents();
        EXPECT_EQ(dialogs->texts("error").size(), 2);

        // A tick rewrites the text whole, and the damage is gone.
        toggle(w.clbCategories, 0);
        EXPECT_EQ(poem.field("Categories").asString(), "(1)(2)");
        clickNav(w, DBNavigator::Post);
    });
    EXPECT_EQ(dialogs->texts("error").size(), 2);
}

}  // namespace
