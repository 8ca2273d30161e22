#include "game/rules/turn_rules.h"

#include "text/letters.h"

#include <algorithm>
#include <chrono>
#include <random>

namespace barqeen {
namespace {

constexpr char kHamza = '\xC1', kAlefMadda = '\xC2', kAlefHamzaAbove = '\xC3', kAlefHamzaBelow = '\xC5',
               kYehHamza = '\xC6', kAlef = '\xC7', kTehMarbuta = '\xC9', kWaw = '\xE6', kAlefMaksura = '\xEC';

// Spaces play no part when the player's verses are compared.
std::string withoutSpaces(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ')
            out += c;
    return out;
}

bool equalsWithoutSpaces(std::string_view text, std::string_view key)
{
    size_t k = 0;
    for (char c : text) {
        if (c == ' ')
            continue;
        if (k == key.size() || key[k] != c)
            return false;
        ++k;
    }
    return k == key.size();
}

// How many random draws to try before listing the verses still free; past this the letter's
// verses are mostly used, and listing them is both cheap and the only way to be sure.
constexpr int kDrawsBeforeListing = 64;

}  // namespace

bool GetEndLetter(std::string_view text, char& letter)
{
    if (text.empty())
        return false;
    char ch = text.back();
    if (ch == kAlef || ch == kTehMarbuta || ch == kWaw || ch == kAlefMaksura) {
        if (text.size() < 2)
            return false;
        ch = text[text.size() - 2];  // one step back, never more
    }
    if (ch == kHamza || ch == kAlefMadda || ch == kAlefHamzaBelow || ch == kYehHamza || ch == kAlef)
        ch = kAlefHamzaAbove;
    letter = ch;
    return PlayableLetters.find(ch) != std::string_view::npos;
}

TurnRules::TurnRules(Table& poem, std::function<void(std::string_view)> warn) : poem_(poem), warn_(std::move(warn))
{
}

void TurnRules::AddUsedText(int32_t id)
{
    UsedTextIDs.push_back(id);
}

bool TurnRules::IsUsedText(int32_t id) const
{
    return std::find(UsedTextIDs.begin(), UsedTextIDs.end(), id) != UsedTextIDs.end();
}

void TurnRules::AddPlayerVerse(std::string_view text)
{
    PlayerVerses.push_back(NormalizeText(text));
}

bool TurnRules::SaidByPlayer(std::string_view text) const
{
    const std::string key = NormalizeText(withoutSpaces(text));
    return std::any_of(PlayerVerses.begin(), PlayerVerses.end(),
                       [&](const std::string& said) { return equalsWithoutSpaces(said, key); });
}

bool TurnRules::SaidByComputer(std::string_view text)
{
    // The verses are walked in table order for one that matches and that the computer used. Only
    // used verses can match, so look at those alone; the first in table order is the answer.
    Table::ScrollBatch batch(poem_);
    poem_.setFiltered(false);
    const std::string wanted = NormalizeText(text);
    int found = -1;
    for (const int32_t id : UsedTextIDs) {
        const int row = poem_.findRowByKey(id);
        if (row >= 0 && (found < 0 || row < found) && poem_.derivedText(poem_.rowAt(row)) == wanted)
            found = row;
    }
    if (found < 0) {
        poem_.last();  // the walk ended at the end of the table
        return false;
    }
    poem_.setRecNo(found + 1);
    return true;
}

bool TurnRules::AlreadySaid(std::string_view text)
{
    const bool said = SaidByPlayer(text) || SaidByComputer(text);
    if (said && warn_)
        warn_(kAlreadySaidMessage);
    return said;
}

bool TurnRules::excludedAt(int position, const std::vector<std::string>& playerKeys) const
{
    const Row& row = poem_.rowAt(poem_.rowIndexAtPosition(position));
    if (IsUsedText(int32_t(row.cells[size_t(poem_.keyField()->column())].integer())))
        return true;
    // The computer does not answer with a verse the player has said in this game either.
    const std::string_view form = poem_.derivedText(row);
    return std::any_of(playerKeys.begin(), playerKeys.end(),
                       [&](const std::string& key) { return equalsWithoutSpaces(form, key); });
}

bool TurnRules::PickComputerVerse(std::string_view letter, std::string& verseText, char& nextLetter)
{
    const uint64_t seed =
        seed_ ? *seed_ : uint64_t(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::mt19937_64 random(seed);

    Table::ScrollBatch batch(poem_);
    std::string filter = "StartLetter = '";
    for (char c : letter)
        filter += c == '\'' ? std::string("''") : std::string(1, c);
    // Setting the text of a filter that is on already filters anew and goes to the first verse,
    // which is all that switching it on would do again.
    const bool wasFiltered = poem_.filtered();
    poem_.setFilterText(filter + "'");
    if (!wasFiltered)
        poem_.setFiltered(true);

    const int count = poem_.recordCount();
    if (count == 0)
        return false;
    // Without a free verse the computer is defeated; the walk looking for one has then passed
    // every verse of the letter and left the cursor at their end, where the editing window opens.
    auto defeated = [this] {
        poem_.last();
        return false;
    };
    std::vector<std::string> playerKeys;
    for (const std::string& said : PlayerVerses)
        playerKeys.push_back(withoutSpaces(said));

    // Draw until a free verse comes up, as long as free verses are likely; when they are not,
    // list them and draw among them. Either way every free verse is equally likely.
    std::uniform_int_distribution<int> draw(0, count - 1);
    int chosen = -1;
    for (int attempt = 0; attempt < kDrawsBeforeListing && chosen < 0; ++attempt) {
        const int position = draw(random);
        if (!excludedAt(position, playerKeys))
            chosen = position;
    }
    if (chosen < 0) {
        std::vector<int> free;
        for (int position = 0; position < count; ++position)
            if (!excludedAt(position, playerKeys))
                free.push_back(position);
        if (free.empty())
            return defeated();
        chosen = free[std::uniform_int_distribution<size_t>(0, free.size() - 1)(random)];
    }

    poem_.setRecNo(chosen + 1);
    verseText = poem_.field("Text").asString();
    AddUsedText(int32_t(poem_.field("TextID").asInteger()));
    const std::string end = poem_.field("EndLetter").asString();
    nextLetter = end.empty() ? '\0' : end[0];
    return true;
}

}  // namespace barqeen
