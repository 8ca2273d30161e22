// The game options as kept in a settings file, and the clock of a timed turn.
#include "files_fixture.h"
#include "core/rules/game_options.h"
#include "core/rules/turn_clock.h"

#include <gtest/gtest.h>

#include <QSettings>

using namespace barqeen;
using barqeen::test::TempFolder;

namespace {

TEST(GameOptionsTest, AnEmptyFileReadsAsTheDesignedGame)
{
    TempFolder dir;
    QSettings settings(QString::fromStdString(dir.file("options.ini")), QSettings::IniFormat);
    const GameOptions options = GameOptions::read(settings);
    EXPECT_FALSE(options.acceptVowelled);
    EXPECT_EQ(options.level, PlayLevel::Normal);
    EXPECT_EQ(options.turnSeconds, 0);
}

TEST(GameOptionsTest, WrittenOptionsReadBackFromTheFile)
{
    TempFolder dir;
    const QString file = QString::fromStdString(dir.file("options.ini"));
    for (const GameOptions& written : {GameOptions{true, PlayLevel::Hard, 30}, GameOptions{false, PlayLevel::Easy, 120},
                                       GameOptions{true, PlayLevel::Normal, 60}, GameOptions{}}) {
        {
            QSettings settings(file, QSettings::IniFormat);
            written.write(settings);
        }
        QSettings again(file, QSettings::IniFormat);
        EXPECT_EQ(GameOptions::read(again), written);
    }
}

// A file changed by hand (or by another version) never gives an option outside its choices.
TEST(GameOptionsTest, ValuesNotUnderstoodReadAsDefaults)
{
    TempFolder dir;
    QSettings settings(QString::fromStdString(dir.file("options.ini")), QSettings::IniFormat);
    const std::pair<const char*, const char*> odd[] = {{"hard!", "45"}, {"", "-30"}, {"HARD", "thirty"}, {"3", "0"}};
    for (const auto& [level, seconds] : odd) {
        SCOPED_TRACE(std::string(level) + " / " + seconds);
        settings.setValue("game/level", level);
        settings.setValue("game/turnSeconds", seconds);
        const GameOptions options = GameOptions::read(settings);
        EXPECT_EQ(options.level, PlayLevel::Normal);
        EXPECT_EQ(options.turnSeconds, 0);
    }
}

TEST(TurnClockTest, CountsDownFromTheLimitAndRunsOutAtZero)
{
    TurnClock clock;
    clock.setLimit(30);
    EXPECT_FALSE(clock.running());
    EXPECT_EQ(clock.secondsShown(0), 30);

    clock.startTurn(1000);
    EXPECT_EQ(clock.secondsShown(1000), 30);
    EXPECT_EQ(clock.secondsShown(1999), 30);  // a whole second has not gone yet
    EXPECT_EQ(clock.secondsShown(2000), 29);
    EXPECT_EQ(clock.secondsShown(30999), 1);
    EXPECT_FALSE(clock.runOut(30999));
    EXPECT_TRUE(clock.runOut(31000));
    EXPECT_EQ(clock.msLeft(90000), 0);  // never below zero

    clock.startTurn(40000);  // the next turn has the whole limit again
    EXPECT_EQ(clock.msLeft(40000), 30000);
    clock.stop();
    EXPECT_FALSE(clock.runOut(100000));
}

TEST(TurnClockTest, NoTimePassesWhilePausedAndPausesNest)
{
    TurnClock clock;
    clock.setLimit(60);
    clock.startTurn(0);
    clock.pause(10000);  // 50 s left
    clock.pause(20000);  // a box over a box
    EXPECT_EQ(clock.msLeft(500000), 50000);
    EXPECT_FALSE(clock.runOut(500000));
    clock.resume(600000);
    EXPECT_EQ(clock.msLeft(600000), 50000);  // still paused by the first box
    clock.resume(700000);
    EXPECT_EQ(clock.msLeft(700000), 50000);
    EXPECT_EQ(clock.msLeft(740000), 10000);
    EXPECT_TRUE(clock.runOut(750000));

    clock.resume(800000);  // one resume too many changes nothing
    EXPECT_TRUE(clock.runOut(800000));
}

TEST(TurnClockTest, AnUntimedTurnNeverRunsOut)
{
    TurnClock clock;
    clock.setLimit(0);
    clock.startTurn(0);
    EXPECT_FALSE(clock.timed());
    EXPECT_FALSE(clock.running());
    EXPECT_FALSE(clock.runOut(int64_t(1) << 40));
}

}  // namespace
