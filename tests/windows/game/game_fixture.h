#pragma once
// A whole program on a temp folder with a small verse table, and the game button played through
// the message service: the name prompt and the start-letter dialog are answered from a script,
// the game window is shown (offscreen) and handed to the test to play.
#include "files_fixture.h"
#include "person.h"
#include "scripted_dialogs.h"
#include "windows/game/game_window.h"
#include "windows/shell/picture_push_button.h"
#include "core/rules/game_options.h"
#include "windows/game/start_letter.h"
#include "windows/main/main_window.h"
#include "windows/shell/picture_button.h"
#include "app/program.h"
#include "core/store/poem_store.h"
#include "core/text/codepage.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace barqeen::test {

inline std::string cp(const QString& text)
{
    return codepage::fromUnicodeOrThrow(text);
}

// The fixture verses: every letter the games below need has exactly one verse, so the computer's
// choices are known. Each verse's stored end letter is the one its text ends on.
struct FixtureVerse {
    QString text;
    QString start;
    QString end;
};

// أ -> ب
inline const QString kAlaLayta = QStringLiteral("ألا ليت الشباب يعود يوما فأخبره بما فعل المشيب");
// ر -> ب
inline const QString kRaaytu = QStringLiteral("رأيت الشيب يطرد كل لهو ويدعو المرء للقول المصيب");
// ب -> ب
inline const QString kBakaytu = QStringLiteral("بكيت على الشباب بدمع عيني فلم يغن البكاء ولا النحيب");
// ل -> أ (ends on ء)
inline const QString kLaqad = QStringLiteral("لقد طال ليلي واستبد بي الظما وزاد اشتياقي للقاء السماء");

// Verses for the player (not in the table).
// ب -> ر (the final ا is stepped over)
inline const QString kBalaghna = QStringLiteral("بلغنا السماء مجدنا وجدودنا وإنا لنرجو فوق ذلك مظهرا");
// ب -> ل
inline const QString kBanaytu = QStringLiteral("بنيت لنفسي من المكارم منزلا يطول على الأيام ثم يطول");
// bare ا -> ل
inline const QString kIdha = QStringLiteral("اذا المرء لم يدنس من اللؤم عرضه فكل رداء يرتديه جميل");

inline const std::vector<FixtureVerse>& fixtureVerses()
{
    static const std::vector<FixtureVerse> verses = {
        {kAlaLayta, QStringLiteral("أ"), QStringLiteral("ب")},
        {kRaaytu, QStringLiteral("ر"), QStringLiteral("ب")},
        {kBakaytu, QStringLiteral("ب"), QStringLiteral("ب")},
        {kLaqad, QStringLiteral("ل"), QStringLiteral("أ")},
    };
    return verses;
}

// The five table files as another program would read them now.
struct HistoryRow {
    int gameId = 0;
    std::string name;
    std::optional<int64_t> duration, rounds, endType;
};
struct PlayerPoemRow {
    int gameId = 0;
    std::string text;
};

class OnDisk {
public:
    explicit OnDisk(const TempFolder& dir) : store_(dir.path()) { store_.OpenTables(); }

    std::vector<HistoryRow> history()
    {
        std::vector<HistoryRow> rows;
        Table& t = store_.cdsHistory;
        for (t.first(); !t.eof(); t.next()) {
            HistoryRow r;
            r.gameId = int(t.field("GameID").asInteger());
            r.name = t.field("PlayerName").asString();
            const std::pair<const char*, std::optional<int64_t>*> outcome[] = {
                {"Duration", &r.duration}, {"Rounds", &r.rounds}, {"EndType", &r.endType}};
            for (const auto& [field, value] : outcome)
                if (!t.field(field).isNull())
                    *value = t.field(field).asInteger();
            rows.push_back(r);
        }
        return rows;
    }
    std::vector<PlayerPoemRow> playerPoems()
    {
        std::vector<PlayerPoemRow> rows;
        Table& t = store_.cdsPlayerPoem;
        for (t.first(); !t.eof(); t.next())
            rows.push_back({int(t.field("GameID").asInteger()), t.field("Text").asString()});
        return rows;
    }

private:
    PoemStore store_;
};

class GameFixture : public ::testing::Test {
protected:
    TempFolder dir;
    ScriptedDialogsScope dialogs;
    std::unique_ptr<Program> program;
    QDateTime start{QDate(2026, 3, 1), QTime(20, 0, 0)};
    QDateTime now = start;
    int gameWindowsShown = 0;

    void SetUp() override
    {
        GameOptions().save();  // every game starts as designed unless the test chooses otherwise
        program = std::make_unique<Program>(QString::fromStdString(dir.path()), QStringLiteral(BARQEEN_EXECUTABLE));
        for (const FixtureVerse& v : fixtureVerses())
            main().cdsPoem().appendRecord({Value(), Value(cp(v.text)), Value(), Value(), Value(cp(v.start)), Value(cp(v.end))});
        game().setClock([this] { return now; });
    }

    TfmMain& main() { return *program->fmMain; }
    TfmGame& game() { return *program->fmGame; }
    TfmStartLetter& startLetter() { return *program->fmStartLetter; }

    // Presses the game button: name is the prompt's answer (nullopt: Cancel); letter is chosen in
    // the start-letter dialog (nullopt: Cancel); play runs while the game window is shown and
    // must end the game.
    void pressGame(std::optional<QString> name, std::optional<QString> letter,
                   std::function<void(TfmGame&)> play = nullptr)
    {
        dialogs->inputs.push_back(name);
        dialogs->onModal = [this, letter, play](QDialog& d) -> int {
            if (auto* s = dynamic_cast<TfmStartLetter*>(&d)) {
                s->show();
                if (!letter) {
                    QTest::mouseClick(s->BitBtn2, Qt::LeftButton);
                } else {
                    const int index = TfmStartLetter::Letters().indexOf(*letter);
                    EXPECT_GE(index, 0);
                    s->cbLetter->setCurrentIndex(index);
                    QTest::mouseClick(s->BitBtn1, Qt::LeftButton);
                }
                EXPECT_FALSE(s->isVisible());
                return s->result();
            }
            auto* g = dynamic_cast<TfmGame*>(&d);
            EXPECT_NE(g, nullptr) << "an unexpected modal window";
            if (!g)
                return QDialog::Rejected;
            ++gameWindowsShown;
            g->show();
            if (play)
                play(*g);
            EXPECT_FALSE(g->isVisible()) << "the game was not ended";
            if (g->isVisible())
                g->hide();
            return g->result();
        };
        emit main().imGame->clicked();
    }

    // The player types text and presses the send button.
    static void send(TfmGame& g, const QString& text)
    {
        g.mePlayer->setPlainText(text);
        QTest::mouseClick(g.bbSend, Qt::LeftButton);
    }

    // What was shown since the last call, as kind|text.
    QStringList takeShown()
    {
        QStringList out;
        for (const Shown& s : dialogs->shown)
            out << s.kind + "|" + s.text;
        dialogs->shown.clear();
        return out;
    }
};

}  // namespace barqeen::test
