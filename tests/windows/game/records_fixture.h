#pragma once
// The game records windows on a whole program: games entered in the history as the game enters
// them, the history window opened with the main window's button, the recorded-verses window
// reached through it.
#include "game_fixture.h"
#include "windows/game/history.h"
#include "windows/game/player_poem.h"
#include "windows/shell/db_grid.h"

#include <QHeaderView>
#include <QLocale>
#include <QMenu>

namespace barqeen::test {

// A game as the history holds it: who played, when, and the verses the player said.
struct RecordedGame {
    QString player;
    QDateTime playTime;
    QStringList verses;
};

// Dates and times written one known way for the length of a test.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(previous_); }

private:
    QLocale previous_;
};

class RecordsFixture : public GameFixture {
protected:
    TfmHistory& history() { return *program->fmHistory; }
    TfmPlayerPoem& playerPoem() { return *program->fmPlayerPoem; }

    // Enters the games as the game does: the history row, then each accepted verse.
    void record(const std::vector<RecordedGame>& games)
    {
        for (const RecordedGame& g : games) {
            const int id = main().store().AddHistory(cp(g.player), g.playTime);
            for (const QString& v : g.verses)
                main().store().AddPlayerPoem(id, cp(v));
            main().store().FinishHistory(id, 2, int(g.verses.size()) + 1, 2);
        }
    }

    // Presses the history button; actions run while the history window is shown.
    void openHistory(const std::function<void(TfmHistory&)>& actions)
    {
        dialogs->onModal = [&](QDialog& d) {
            auto* h = dynamic_cast<TfmHistory*>(&d);
            EXPECT_NE(h, nullptr) << "an unexpected modal window";
            if (!h)
                return int(QDialog::Rejected);
            activate(*h);
            actions(*h);
            h->hide();
            return int(QDialog::Rejected);
        };
        QTest::mouseClick(main().imHistory, Qt::LeftButton);
        dialogs->onModal = nullptr;
    }

    // The texts a grid shows in one column, top to bottom.
    static QStringList columnTexts(DBGrid& grid, int column)
    {
        QStringList out;
        for (int row = 0; row < grid.model()->rowCount(); ++row)
            out << grid.model()->index(row, column).data().toString();
        return out;
    }
    static QStringList titles(DBGrid& grid)
    {
        QStringList out;
        for (int c = 0; c < grid.model()->columnCount(); ++c)
            out << grid.model()->headerData(c, Qt::Horizontal).toString();
        return out;
    }
};

}  // namespace barqeen::test
