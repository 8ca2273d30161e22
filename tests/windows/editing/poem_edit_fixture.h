#pragma once
// A whole program on a temp folder with a few authors, categories and verses, and the verse
// window opened from the main window's button and used with the mouse and the keys.
#include "app/program.h"
#include "windows/editing/category.h"
#include "windows/editing/poem_edit.h"
#include "files_fixture.h"
#include "person.h"
#include "scripted_dialogs.h"
#include "windows/shell/db_controls.h"
#include "windows/shell/db_grid.h"
#include "windows/shell/db_navigator.h"
#include "windows/main/main_window.h"
#include "core/text/codepage.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include <functional>
#include <memory>

namespace barqeen::test {

inline std::string cp(const QString& text)
{
    return codepage::fromUnicodeOrThrow(text);
}

// Columns of the verse grid, right to left: ID, text, poet, first letter, last letter.
enum PoemColumn { ColId, ColText, ColAuthor, ColStart, ColEnd };

class PoemEditTest : public ::testing::Test {
protected:
    std::unique_ptr<Program> start()
    {
        return std::make_unique<Program>(QString::fromStdString(dir.path()), QStringLiteral(BARQEEN_EXECUTABLE));
    }

    // Authors 1 جرير, 2 المتنبي; categories 1 غزل, 2 حكمة, 3 رثاء; four verses.
    void seed(Program& p)
    {
        PoemStore& s = p.fmMain->store();
        for (const char* a : {"جرير", "المتنبي"})
            s.cdsAuthors.appendRecord({Value(), Value(cp(QString::fromUtf8(a)))});
        for (const char* c : {"غزل", "حكمة", "رثاء"})
            s.cdsCategories.appendRecord({Value(), Value(cp(QString::fromUtf8(c)))});
        addVerse(p, "لقد طال ليلي", 1, "ل", "ي", "(2)");
        addVerse(p, "ألا ليت الشباب", 2, "أ", "ب", "");
        addVerse(p, "لمن طلل", 0, "ل", "ر", "(1)(3)");
        addVerse(p, "بكيت على الشباب", 1, "ب", "ب", "(3)(3)");
        p.fmMain->cdsPoem().first();
    }
    static void addVerse(Program& p, const char* text, int author, const char* first, const char* last,
                         const char* categories)
    {
        p.fmMain->cdsPoem().appendRecord({Value(), Value(cp(QString::fromUtf8(text))), Value(),
                                          author ? Value(int64_t(author)) : Value(),
                                          Value(cp(QString::fromUtf8(first))), Value(cp(QString::fromUtf8(last))),
                                          Value(std::string(categories))});
    }

    // Opens the window with its button's handler and runs the actions while it is shown.
    void open(Program& p, const std::function<void(TfmPoemEdit&)>& actions)
    {
        dialogs->onModal = [&](QDialog& d) {
            auto& w = static_cast<TfmPoemEdit&>(d);
            showOver(p, w);
            actions(w);
            w.hide();
            return int(QDialog::Rejected);
        };
        p.fmMain->imPoemEditClick();
        dialogs->onModal = nullptr;
    }

    // A modal window opens over the main window.
    static void showOver(Program&, QDialog& w) { activate(w); }

    // Ticks or unticks an item of the check list as a person does: a click on it, then Space.
    static void toggle(QListWidget* list, int item)
    {
        const QRect r = list->visualItemRect(list->item(item));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QTest::keyClick(list, Qt::Key_Space);
    }

    static QStringList ticked(TfmPoemEdit& w)
    {
        QStringList out;
        for (int i = 0; i < w.clbCategories->count(); ++i)
            if (w.clbCategories->item(i)->checkState() == Qt::Checked)
                out << w.clbCategories->item(i)->text();
        return out;
    }

    static void clickNav(TfmPoemEdit& w, DBNavigator::Button b) { click(w.DBNavigator1->button(b)); }

    // Clicks into the memo and puts the cursor at the end of the text.
    static void intoMemo(TfmPoemEdit& w)
    {
        QTest::mouseClick(w.DBMemo1->viewport(), Qt::LeftButton, {}, w.DBMemo1->viewport()->rect().center());
        press(Qt::Key_End, Qt::ControlModifier);
    }

    static QString cell(TfmPoemEdit& w, int row, int column)
    {
        return w.DBGrid1->model()->index(row, column).data().toString();
    }

    static QString currentText(Program& p)
    {
        return codepage::toUnicode(p.fmMain->cdsPoem().field("Text").asString());
    }

    TempFolder dir;
    ScriptedDialogsScope dialogs;
};

}  // namespace barqeen::test
