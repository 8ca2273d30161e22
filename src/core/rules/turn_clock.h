#pragma once
// The time left for the player's turn when turns are timed. Times are milliseconds of a steady
// clock the caller reads, so tests can run a turn on a clock of their own.
#include <cstdint>

namespace barqeen {

class TurnClock {
public:
    // 0: turns are not timed, and the clock never runs out.
    void setLimit(int seconds);
    int limitSeconds() const { return limitMs_ / 1000; }
    bool timed() const { return limitMs_ > 0; }

    // A turn begins (the computer has said its verse): the full limit is left.
    void startTurn(int64_t now);
    // No turn is running (the game is over); nothing runs out.
    void stop();
    bool running() const { return running_; }

    // While paused (a message box is open) no time passes for the player. Pauses nest.
    void pause(int64_t now);
    void resume(int64_t now);
    bool paused() const { return pauses_ > 0; }

    int64_t msLeft(int64_t now) const;
    // The whole seconds a countdown shows: 30 until a full second has gone, 0 only at the end.
    int secondsShown(int64_t now) const;
    // The player's turn ran out: timed, running, not paused, nothing left.
    bool runOut(int64_t now) const;

private:
    int64_t limitMs_ = 0;
    bool running_ = false;
    int64_t deadline_ = 0;
    int pauses_ = 0;
    int64_t pausedAt_ = 0;
};

}  // namespace barqeen
