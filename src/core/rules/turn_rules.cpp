#include "core/rules/turn_rules.h"

#include "core/text/letters.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <random>

namespace barqeen {
namespace {

constexpr char kYehHamza = '\xC6', kTehMarbuta = '\xC9', kWaw = '\xE6', kAlefMaksura = '\xEC';

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

// text equals key once the characters skipped are passed over in text; key holds none of them.
bool equalsSkipping(std::string_view text, std::string_view key, bool skipSpaces, bool skipShadda)
{
    size_t k = 0;
    for (char c : text) {
        if ((skipSpaces && c == ' ') || (skipShadda && c == Shadda))
            continue;
        if (k == key.size() || key[k] != c)
            return false;
        ++k;
    }
    return k == key.size();
}

std::string withoutShadda(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != Shadda)
            out += c;
    return out;
}

// How many random draws to try before listing the verses still free; past this the letter's
// verses are mostly used, and listing them is both cheap and the only way to be sure.
constexpr int kDrawsBeforeListing = 64;

// The weighted levels: how many verses are sampled to weigh a common letter's endings, and how
// many draws look for a free verse with the chosen ending before its verses are listed.
constexpr int kWeightSample = 2048;
constexpr int kDrawsForAnEnding = 2048;

}  // namespace

bool GetEndLetter(std::string_view text, char& letter)
{
    if (text.empty())
        return false;
    char ch = text.back();
    if (ch == Alef || ch == kTehMarbuta || ch == kWaw || ch == kAlefMaksura) {
        if (text.size() < 2)
            return false;
        ch = text[text.size() - 2];  // one step back, never more
    }
    // The alif group as أ, and on a verse's end ئ too.
    ch = ch == kYehHamza ? AlefHamzaAbove : FoldAlifGroup(ch);
    letter = ch;
    return PlayableLetters.find(ch) != std::string_view::npos;
}

bool GetEndLetterPastMarks(std::string_view text, char& letter)
{
    std::string letters;
    letters.reserve(text.size());
    for (char c : text)
        if (c != Shadda && !inSet(VowelMarks, c))
            letters += c;
    return GetEndLetter(letters, letter);
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

std::string TurnRules::PlayerForm(std::string_view text) const
{
    // The shadda goes before the spaces are tidied, as the other marks do.
    return acceptVowelled_ ? NormalizeText(withoutShadda(text)) : NormalizeText(text);
}

bool TurnRules::PlayerEndLetter(std::string_view text, char& letter) const
{
    return acceptVowelled_ ? GetEndLetterPastMarks(text, letter) : GetEndLetter(text, letter);
}

void TurnRules::AddPlayerVerse(std::string_view text)
{
    PlayerVerses.push_back(PlayerForm(text));
}

bool TurnRules::SaidByPlayer(std::string_view text) const
{
    const std::string key = PlayerForm(withoutSpaces(text));
    return std::any_of(PlayerVerses.begin(), PlayerVerses.end(),
                       [&](const std::string& said) { return equalsSkipping(said, key, true, false); });
}

bool TurnRules::sameVerse(std::string_view form, std::string_view key) const
{
    return equalsSkipping(form, key, true, acceptVowelled_);
}

bool TurnRules::SaidByComputer(std::string_view text)
{
    // The verses are walked in table order for one that matches and that the computer used. Only
    // used verses can match, so look at those alone; the first in table order is the answer.
    Table::ScrollBatch batch(poem_);
    poem_.setFiltered(false);
    const std::string wanted = PlayerForm(text);
    int found = -1;
    for (const int32_t id : UsedTextIDs) {
        const int row = poem_.findRowByKey(id);
        if (row >= 0 && (found < 0 || row < found) &&
            equalsSkipping(poem_.derivedText(poem_.rowAt(row)), wanted, false, acceptVowelled_))
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
                       [&](const std::string& key) { return sameVerse(form, key); });
}

bool TurnRules::PickComputerVerse(std::string_view letter, std::string& verseText, char& nextLetter)
{
    const uint64_t seed =
        seed_ ? *seed_ : uint64_t(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::mt19937_64 random(seed);

    Table::ScrollBatch batch(poem_);
    // Setting a filter that is on already filters anew and goes to the first verse, which is all
    // that switching it on would do again.
    const bool wasFiltered = poem_.filtered();
    poem_.setFilter("StartLetter", Value(letter));
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

    const int chosen = level_ == PlayLevel::Normal ? pickUniform(count, random, playerKeys)
                                                   : pickWeighted(count, random, playerKeys);
    if (chosen < 0)
        return defeated();

    poem_.setRecNo(chosen + 1);
    verseText = poem_.field("Text").asString();
    AddUsedText(int32_t(poem_.field("TextID").asInteger()));
    const std::string end = poem_.field("EndLetter").asString();
    nextLetter = end.empty() ? '\0' : end[0];
    return true;
}

int TurnRules::pickUniform(int count, std::mt19937_64& random, const std::vector<std::string>& playerKeys) const
{
    // Draw until a free verse comes up, as long as free verses are likely; when they are not,
    // list them and draw among them. Either way every free verse is equally likely.
    std::uniform_int_distribution<int> draw(0, count - 1);
    for (int attempt = 0; attempt < kDrawsBeforeListing; ++attempt) {
        const int position = draw(random);
        if (!excludedAt(position, playerKeys))
            return position;
    }
    std::vector<int> free;
    for (int position = 0; position < count; ++position)
        if (!excludedAt(position, playerKeys))
            free.push_back(position);
    if (free.empty())
        return -1;
    return free[std::uniform_int_distribution<size_t>(0, free.size() - 1)(random)];
}

int TurnRules::pickEndingOn(uint8_t end, int count, std::mt19937_64& random,
                            const std::vector<std::string>& playerKeys) const
{
    // Draw among all the letter's verses until a free one ending on end comes up; when that
    // takes long (the ending is rare, or its verses are mostly said), list them and draw among
    // them. Either way every free verse ending on end is equally likely.
    std::uniform_int_distribution<int> draw(0, count - 1);
    for (int attempt = 0; attempt < kDrawsForAnEnding; ++attempt) {
        const int position = draw(random);
        if (endLetterAt(position) == end && !excludedAt(position, playerKeys))
            return position;
    }
    std::vector<int> free;
    for (int position = 0; position < count; ++position)
        if (endLetterAt(position) == end && !excludedAt(position, playerKeys))
            free.push_back(position);
    if (free.empty())
        return -1;
    return free[std::uniform_int_distribution<size_t>(0, free.size() - 1)(random)];
}

uint8_t TurnRules::endLetterAt(int position) const
{
    const Value& end = poem_.rowAt(poem_.rowIndexAtPosition(position)).cells[endColumn_];
    const std::string_view letter = end.isNull() ? std::string_view() : end.text();
    return letter.empty() ? 0 : uint8_t(letter[0]);
}

int TurnRules::pickWeighted(int count, std::mt19937_64& random, const std::vector<std::string>& playerKeys) const
{
    endColumn_ = size_t(poem_.field("EndLetter").column());
    // An end letter is drawn with the weight of the letter's verses that end on it, then a free
    // verse ending on it; an ending whose verses are all said drops out and the draw is made
    // again. How many verses end on each letter is counted on all of them when they are few,
    // otherwise on a uniform sample: the weights are as right on average, and a move reads a
    // few thousand verses instead of every one of a common letter's. An ending the sample
    // missed is still reached: when the sampled endings are spent, all the verses are counted.
    for (const bool sampled : {count > kWeightSample, false}) {
        std::array<double, 256> weight{};
        if (sampled) {
            std::uniform_int_distribution<int> draw(0, count - 1);
            for (int i = 0; i < kWeightSample; ++i)
                ++weight[endLetterAt(draw(random))];
        } else {
            for (int position = 0; position < count; ++position)
                ++weight[endLetterAt(position)];
        }
        // A letter that begins few verses of the table is hard to answer; one that begins many, easy.
        for (size_t b = 0; b < weight.size(); ++b) {
            if (weight[b] == 0)
                continue;
            const std::string letter = b == 0 ? std::string() : std::string(1, char(b));
            const double answers = double(poem_.countRowsWith("StartLetter", letter)) + 1.0;
            weight[b] *= level_ == PlayLevel::Hard ? 1.0 / answers : answers;
        }
        for (;;) {
            double total = 0;
            for (double w : weight)
                total += w;
            if (total <= 0)
                break;
            double at = std::uniform_real_distribution<double>(0, total)(random);
            size_t b = 0;
            while (b + 1 < weight.size() && (weight[b] == 0 || at >= weight[b])) {
                at -= weight[b];
                ++b;
            }
            // Rounding can carry the draw past the last ending with weight: take that ending.
            while (weight[b] == 0)
                --b;
            const int chosen = pickEndingOn(uint8_t(b), count, random, playerKeys);
            if (chosen >= 0)
                return chosen;
            weight[b] = 0;
        }
    }
    return -1;
}

}  // namespace barqeen
