#pragma once
// Where a game stands, from its start to the outcome written into its history row. Every change
// of state is made here.
#include <cstdint>

namespace barqeen {

enum class GameState {
    NotStarted,      // no game since the window was made
    Opening,         // the computer's opening verse is chosen; the game has no history row yet
    OpeningDecided,  // the computer had no opening verse; still no history row
    Running,         // the history row waits for the outcome
    Decided,         // given up, out of time or the computer beaten: the row waits for it
    EndedClosed,     // the row holds the end of a game whose window was closed
    EndedDecided,    // the row holds the end of a decided game
};

// The end types the history table records.
enum class GameEndKind : int32_t {
    Closed = 0,   // the window was closed while the game ran
    Decided = 2,  // given up, out of time, or the computer had no verse
};

class GameProgress {
public:
    GameState state() const { return state_; }

    // A new game: the computer opens it.
    void start() { state_ = GameState::Opening; }
    // The game is over before its window closes (given up, out of time, no verse).
    void decide()
    {
        if (state_ == GameState::Opening)
            state_ = GameState::OpeningDecided;
        else if (state_ == GameState::Running)
            state_ = GameState::Decided;
    }
    // The game has its history row.
    void recorded()
    {
        if (state_ == GameState::Opening)
            state_ = GameState::Running;
        else if (state_ == GameState::OpeningDecided)
            state_ = GameState::Decided;
    }
    // The window hides: true when the row waits for the outcome, which is then to be written.
    bool finish()
    {
        if (state_ == GameState::Running)
            state_ = GameState::EndedClosed;
        else if (state_ == GameState::Decided)
            state_ = GameState::EndedDecided;
        else
            return false;
        return true;
    }

    GameEndKind endKind() const
    {
        const bool decided = state_ == GameState::OpeningDecided || state_ == GameState::Decided ||
                             state_ == GameState::EndedDecided;
        return decided ? GameEndKind::Decided : GameEndKind::Closed;
    }

private:
    GameState state_ = GameState::NotStarted;
};

}  // namespace barqeen
