#pragma once
// The rules of one turn of the poetic exchange: the letter a verse hands on, whether a verse was
// said before in this game, and the computer's answer. No widgets: the game window owns one and
// forwards to it; tests build one on a verse table of their own.
#include "core/rules/game_options.h"
#include "core/store/table.h"
#include "core/text/letters.h"  // PlayableLetters

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace barqeen {

// "قـــيل": the warning for a verse said before.
inline constexpr std::string_view kAlreadySaidMessage = "\xDE\xDC\xDC\xDC\xED\xE1";

// The letter text ends on, and whether the next verse may begin with it.
bool GetEndLetter(std::string_view text, char& letter);

// The letter text ends on when every vowel mark and shadda is passed over: a fully vowelled
// verse ends on a mark.
bool GetEndLetterPastMarks(std::string_view text, char& letter);

class TurnRules {
public:
    // warn shows a warning box with OK (Windows-1256 text); poem is the verse table.
    TurnRules(Table& poem, std::function<void(std::string_view)> warn);

    std::vector<int32_t> UsedTextIDs;        // the computer's verses in this game, in order said
    std::vector<std::string> PlayerVerses;   // the player's accepted verses, in matching form

    void AddUsedText(int32_t id);
    bool IsUsedText(int32_t id) const;
    void AddPlayerVerse(std::string_view text);
    bool SaidByPlayer(std::string_view text) const;
    // Leaves the verse table unfiltered (the filter text stays), on the verse found or at its end.
    bool SaidByComputer(std::string_view text);
    bool AlreadySaid(std::string_view text);
    // Leaves the verse table filtered on letter, on the chosen verse.
    bool PickComputerVerse(std::string_view letter, std::string& verseText, char& nextLetter);

    // Tests fix the draw; otherwise every choice reseeds from the clock.
    void setSeed(std::optional<uint64_t> seed) { seed_ = seed; }

    // With vowelled verses accepted, the player's verse is judged with its shadda dropped like
    // the other vowel marks: its form, its repeats by either side, and its end letter.
    void setAcceptVowelled(bool on) { acceptVowelled_ = on; }
    bool acceptVowelled() const { return acceptVowelled_; }
    void setLevel(PlayLevel level) { level_ = level; }
    PlayLevel level() const { return level_; }

    // The form the player's verse is judged and remembered in.
    std::string PlayerForm(std::string_view text) const;
    // The letter the player's verse hands on to the computer.
    bool PlayerEndLetter(std::string_view text, char& letter) const;

private:
    bool excludedAt(int position, const std::vector<std::string>& playerKeys) const;
    bool sameVerse(std::string_view form, std::string_view key) const;
    // The position of a free verse, every one equally likely; -1 when none is free.
    int pickUniform(int count, std::mt19937_64& random, const std::vector<std::string>& playerKeys) const;
    // The position of a free verse, weighted by the level; -1 when none is free.
    int pickWeighted(int count, std::mt19937_64& random, const std::vector<std::string>& playerKeys) const;
    // A free verse ending on the byte end, each equally likely; -1 when none is.
    int pickEndingOn(uint8_t end, int count, std::mt19937_64& random, const std::vector<std::string>& playerKeys) const;
    uint8_t endLetterAt(int position) const;  // first byte of EndLetter at a filtered position; 0 when empty

    Table& poem_;
    std::function<void(std::string_view)> warn_;
    std::optional<uint64_t> seed_;
    mutable size_t endColumn_ = 0;
    bool acceptVowelled_ = false;
    PlayLevel level_ = PlayLevel::Normal;
};

}  // namespace barqeen
