#pragma once
// The player's choices for the game beyond its designed rules. Every choice starts off (or at
// the normal level), which is the designed game; they are kept in the application's settings,
// never in the table files.
#include <array>

class QSettings;

namespace barqeen {

// How the computer chooses among the verses it may say.
enum class PlayLevel {
    Easy,    // prefers verses ending on letters that begin many verses of the table
    Normal,  // every free verse equally likely
    Hard,    // prefers verses ending on letters that begin few verses of the table
};

// The time limits a turn may have, in seconds; 0 is no limit.
inline constexpr std::array<int, 4> kTurnLimits = {0, 30, 60, 120};

struct GameOptions {
    bool acceptVowelled = false;  // a shadda counts as a vowel mark in the player's verse
    PlayLevel level = PlayLevel::Normal;
    int turnSeconds = 0;          // one of kTurnLimits

    bool operator==(const GameOptions&) const = default;

    // Values that are missing or not understood read as their defaults.
    static GameOptions read(QSettings& settings);
    void write(QSettings& settings) const;

    // The application's settings file (per user).
    static GameOptions load();
    void save() const;
};

}  // namespace barqeen
