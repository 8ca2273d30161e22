#include "core/rules/turn_clock.h"

#include <algorithm>

namespace barqeen {

void TurnClock::setLimit(int seconds)
{
    limitMs_ = std::max(0, seconds) * int64_t(1000);
    stop();
}

void TurnClock::startTurn(int64_t now)
{
    running_ = timed();
    deadline_ = now + limitMs_;
    // A turn that starts while a box is open waits for the box like the rest of the turn.
    pausedAt_ = now;
}

void TurnClock::stop()
{
    running_ = false;
}

void TurnClock::pause(int64_t now)
{
    if (pauses_++ == 0)
        pausedAt_ = now;
}

void TurnClock::resume(int64_t now)
{
    if (pauses_ == 0)
        return;
    // A clock that went back while paused gives the pause no length, never a negative one.
    if (--pauses_ == 0)
        deadline_ += std::max<int64_t>(0, now - pausedAt_);
}

int64_t TurnClock::msLeft(int64_t now) const
{
    if (!running_)
        return limitMs_;
    const int64_t at = paused() ? pausedAt_ : now;
    return std::clamp<int64_t>(deadline_ - at, 0, limitMs_);
}

int TurnClock::secondsShown(int64_t now) const
{
    return int((msLeft(now) + 999) / 1000);
}

bool TurnClock::runOut(int64_t now) const
{
    return running_ && !paused() && msLeft(now) == 0;
}

}  // namespace barqeen
