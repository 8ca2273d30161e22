// Where a game stands, and the end type its history row gets.
#include "windows/game/game_progress.h"

#include <gtest/gtest.h>

using namespace barqeen;

namespace {

TEST(GameProgressTest, TheRowGetsItsOutcomeOnceAndTheRightEndType)
{
    GameProgress closed;
    EXPECT_FALSE(closed.finish()) << "no game yet: no row";
    closed.start();
    closed.recorded();
    EXPECT_EQ(closed.state(), GameState::Running);
    EXPECT_TRUE(closed.finish());
    EXPECT_EQ(closed.state(), GameState::EndedClosed);
    EXPECT_EQ(int(closed.endKind()), 0);
    EXPECT_FALSE(closed.finish()) << "written once";

    GameProgress givenUp;
    givenUp.start();
    givenUp.recorded();
    givenUp.decide();
    EXPECT_EQ(int(givenUp.endKind()), 2);
    EXPECT_TRUE(givenUp.finish());
    EXPECT_EQ(givenUp.state(), GameState::EndedDecided);
    EXPECT_EQ(int(givenUp.endKind()), 2) << "kept after the game";

    // The computer had no opening verse: decided before the game had its row.
    GameProgress noOpening;
    noOpening.start();
    noOpening.decide();
    EXPECT_EQ(noOpening.state(), GameState::OpeningDecided);
    EXPECT_FALSE(noOpening.finish()) << "no row yet";
    noOpening.recorded();
    EXPECT_TRUE(noOpening.finish());
    EXPECT_EQ(int(noOpening.endKind()), 2);

    // The next game starts afresh.
    noOpening.start();
    EXPECT_EQ(noOpening.state(), GameState::Opening);
    EXPECT_EQ(int(noOpening.endKind()), 0);
}

// The row could not be added (a full disk): hiding the window writes nothing.
TEST(GameProgressTest, AGameWithoutItsRowWritesNoOutcome)
{
    GameProgress progress;
    progress.start();
    EXPECT_FALSE(progress.finish());
    progress.decide();
    EXPECT_FALSE(progress.finish());
    EXPECT_EQ(int(progress.endKind()), 2);
}

}  // namespace
