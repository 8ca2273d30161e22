#pragma once
// The rules of one turn of the poetic exchange: the letter a verse hands on, whether a verse was
// said before in this game, and the computer's answer. No widgets: the game window owns one and
// forwards to it; tests build one on a verse table of their own.
#include "store/table.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace barqeen {

// The 28 letters on which a game verse may end (Windows-1256): ق ف أ ب ت ث ج ح خ د ذ ر ز س ش ص
// ض ط ظ ع غ ك ل م ن ه و ي. Of the alif forms only أ.
inline constexpr std::string_view PlayableLetters =
    "\xDE\xDD\xC3\xC8\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDA\xDB\xDF\xE1\xE3\xE4\xE5\xE6\xED";

// "قـــيل": the warning for a verse said before.
inline constexpr std::string_view kAlreadySaidMessage = "\xDE\xDC\xDC\xDC\xED\xE1";

// The letter text ends on, and whether the next verse may begin with it.
bool GetEndLetter(std::string_view text, char& letter);

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

private:
    bool excludedAt(int position, const std::vector<std::string>& playerKeys) const;

    Table& poem_;
    std::function<void(std::string_view)> warn_;
    std::optional<uint64_t> seed_;
};

}  // namespace barqeen
