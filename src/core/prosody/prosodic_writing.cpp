#include "core/prosody/prosodic_writing.h"

#include "core/prosody/lexicon.h"
#include "core/prosody/word_scanner.h"
#include "core/prosody/word_spellings.h"
#include "core/prosody/written_words.h"

#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace barqeen::prosody {
namespace {

constexpr size_t kMostJoinedReadings = 64;
// The price of each choice of a word's spelling after its likeliest.
constexpr float kLessLikelyChoice = 0.2f;

// Every reading of a run of row as one slot (for a word whose spelling is known).
Slot joined(const std::vector<Slot>& row, float extra)
{
    Slot all{Reading{0, 0, extra}};
    for (const Slot& slot : row) {
        Slot next;
        for (const Reading& a : all)
            for (const Reading& b : slot)
                if (a.length + b.length <= 16)
                    next.push_back({std::uint16_t(a.bits | (b.bits << a.length)),
                                    std::uint8_t(a.length + b.length), a.cost + b.cost});
        // Many bare letters multiply the readings: keep the likeliest, each pattern once.
        std::sort(next.begin(), next.end(), [](const Reading& a, const Reading& b) {
            return a.length != b.length ? a.length < b.length
                   : a.bits != b.bits   ? a.bits < b.bits
                                        : a.cost < b.cost;
        });
        next.erase(std::unique(next.begin(), next.end(),
                               [](const Reading& a, const Reading& b) {
                                   return a.length == b.length && a.bits == b.bits;
                               }),
                   next.end());
        if (next.size() > kMostJoinedReadings) {
            std::nth_element(next.begin(), next.begin() + kMostJoinedReadings, next.end(),
                             [](const Reading& a, const Reading& b) { return a.cost < b.cost; });
            next.resize(kMostJoinedReadings);
        }
        all = std::move(next);
    }
    return all;
}

bool sameLetter(char16_t a, char16_t b) { return a == b || (isAlifForm(a) && isAlifForm(b)); }

// The known spelling `spelled` with the marks the text itself gives, or nothing when the text
// says otherwise: a vowel where the spelling has a silent letter or the other way round, or a
// shadda the spelling lacks. The vowel's quality does not change what is said in the meter.
// Where both give a mark, a shadda the spelling has and the text leaves out is kept.
// The letters are matched one to one, but for those written one way and said another: a hidden
// alif the text leaves out (لَكِنَّ، هَذَا) and a bare و or ا the text writes and no one says
// (أُولَئِكَ، مِائَةٌ).
std::optional<Word> withTextsMarks(const Word& written, const Word& spelled)
{
    Word merged;
    size_t k = 0, j = 0;
    while (k < written.size() || j < spelled.size()) {
        const bool bothLeft = k < written.size() && j < spelled.size();
        if (bothLeft && sameLetter(written[k].letter, spelled[j].letter)) {
            merged.push_back(spelled[j]);
        } else if (j < spelled.size() && spelled[j].letter == kAlif && spelled[j].marks == 0) {
            merged.push_back(spelled[j++]);
            continue;
        } else if (k < written.size() && written[k].marks == 0 &&
                   (written[k].letter == kWaw || written[k].letter == kAlif)) {
            ++k;
            continue;
        } else {
            return std::nullopt;
        }
        const unsigned marks = written[k].marks;
        const unsigned known = spelled[j].marks;
        const bool lastWritten = k + 1 == written.size();
        ++k, ++j;
        if (marks == 0)
            continue;
        const bool bothSilent = (marks & Sukun) && (known & Sukun);
        const bool bothMove = (marks & (Vowel | Tanween)) && (known & (Vowel | Sukun)) != Sukun;
        // A silent end takes a vowel before a wasl (إِنِ اسْطَعْتَ): the text's vowel holds.
        const bool movedEnd = lastWritten && (marks & Vowel) && known == Sukun;
        if (movedEnd) {
            merged.back().marks = marks;
            continue;
        }
        // Inside the word another vowel is another word, written alike (لِمَا is not لَمَّا); only
        // the last letter's vowel changes with the sentence, and a hamza's seat outweighs its mark.
        const bool seat = written[k - 1].letter == kHamzaAbove || written[k - 1].letter == kHamzaBelow;
        const bool otherVowel =
            !lastWritten && !seat && (marks & Vowel) && (known & Vowel) && !(marks & known & Vowel);
        if (otherVowel)
            return std::nullopt;
        if (((marks & Shadda) && !(known & Shadda)) || (known != 0 && !bothSilent && !bothMove && marks != Shadda))
            return std::nullopt;
        merged.back().marks = marks | (known & Shadda);
    }
    return merged;
}

// The written hamza's seat rules out a spelling on the other seat (أَلا is not إِلّا), unless the
// seat and the text's own mark disagree (إَلا): one of the two is a slip, and either may be.
bool otherHamzaSeat(const Glyph& written, char16_t spelled)
{
    const bool above = written.letter == kHamzaAbove, below = written.letter == kHamzaBelow;
    if ((above && (written.marks & Kasra)) || (below && (written.marks & (Fatha | Damma))))
        return false;
    return (above && spelled == kHamzaBelow) || (below && spelled == kHamzaAbove);
}

// The words as they are said: a known small word is replaced by its spellings (those its own
// marks allow, when it has any; a one-letter prefix before one is kept); any other word the
// lexicon knows, through its prefixes and suffixes, by its readings.
// A word cut by the hemistichs' border (`runsIn`, `runsOn`) is only part of a word: the
// lexicon is not asked about it.
std::vector<std::vector<Word>> spelledWords(const std::vector<Word>& words, bool runsIn, bool runsOn)
{
    std::vector<std::vector<Word>> spelled;
    for (size_t k = 0; k < words.size(); ++k) {
        const Word& w = words[k];
        const bool cut = (k == 0 && runsIn) || (k + 1 == words.size() && runsOn);
        std::vector<Word> choices;
        bool always = false;
        const QString key = bareKey(w);
        const std::vector<Spelling>* known = knownSpellings(key, always);
        Word prefix;
        // A one-letter prefix before a known word; لل is لِ before the article, not لِ before a word.
        if (!known && key.size() > 2 && QStringLiteral("وفبلك").contains(key[0]) &&
            !(key[0] == kLam && key[1] == kLam)) {
            known = knownSpellings(bareKey(Word(w.begin() + 1, w.end())), always);
            prefix.push_back(w[0]);
        }
        if (known) {
            for (const Spelling& s : *known) {
                Word full = prefix;
                for (const Word& part : wordsOf(s.text))
                    full.insert(full.end(), part.begin(), part.end());
                // بانت is بَانَتْ, not بِ before أنت: after a prefix a hamza is written as one.
                if (!prefix.empty() && w[1].letter == kAlif &&
                    (full[1].letter == kHamzaAbove || full[1].letter == kHamzaBelow))
                    continue;
                // The hamza's seat is written with more care than its mark: أَلا is not إِلّا,
                // and إَلا (a fatha put on the wrong seat) still is.
                if (hasMarks(w) && otherHamzaSeat(w[prefix.size()], full[prefix.size()].letter))
                    continue;
                std::optional<Word> marked = hasMarks(w) ? withTextsMarks(w, full) : std::nullopt;
                if (marked)
                    choices.push_back(std::move(*marked));
                else if (always || !hasMarks(w))
                    choices.push_back(std::move(full));  // said so whatever the text marks
            }
        }
        if (LexiconReadings lexical = choices.empty() && !cut ? lexiconReadings(w) : LexiconReadings{};
            !lexical.words.empty()) {
            // The hemistich's last vowel, unwritten, may be held silent (a rhyme held): the
            // scanner chooses it, as for any bare letter there.
            if (k + 1 == words.size() && w.back().marks == 0)
                for (Word& r : lexical.words)
                    r.back().marks &= ~unsigned(Vowel);
            choices = std::move(lexical.words);
            // A word read through its suffixes may be another word the lexicon lacks (وقتك:
            // وَقْتُكَ or وَقَتْكَ), and one the text vowelled in part may be read as its marks
            // say: the letters as written stay the last choice.
            if (!lexical.whole || hasMarks(w))
                choices.push_back(w);
        }
        if (choices.empty())
            choices.push_back(w);
        spelled.push_back(std::move(choices));
    }
    return spelled;
}

// A bare alif opening a word inside the hemistich is a hamza said (أ written plainly) or a
// hamzat al-wasl, dropped with the vowel before it shortened or a silent end moved. The word's
// shape tells which is likelier: the measures افتعل، انفعل، استفعل and their nouns open with a
// wasl; and a text that writes its hamzas leaves a bare alif only to the wasl.
struct AlifOpening {
    bool either = false;
    float hamzaCost = 0;
    float waslCost = 0;
    // The letter after the alif is bare and plain: silent after a wasl (that is why the wasl is
    // there), mostly silent after a hamza too (أَفْعَل، إِفْعَال), and read here with the alif.
    bool withNextLetter = false;
};

AlifOpening alifOpening(const Word& w, bool writesHamza)
{
    if (w.size() < 3 || w[0].letter != kAlif || (w[0].marks & (Vowel | Tanween | Shadda)) ||
        opensWithArticle(w))
        return {};
    const bool waslMeasure = w[2].letter == u'ت' || (w.size() >= 5 && w[1].letter == u'س' && w[2].letter == u'ت') ||
                             (w.size() >= 5 && w[1].letter == u'ن') || (w[1].marks & Sukun);
    const bool plainNext = w[1].marks == 0 && w[1].letter != kAlif && w[1].letter != kWaw &&
                           w[1].letter != kYa && w[1].letter != kAlifMaqsura;
    if (waslMeasure)
        return {true, 0.6f, 0, plainNext};
    return writesHamza ? AlifOpening{true, 0.4f, 0.1f, plainNext} : AlifOpening{true, 0.1f, 0.4f, plainNext};
}

}  // namespace

Reading readingOf(const char* pattern, float cost)
{
    Reading r;
    r.cost = cost;
    for (; *pattern; ++pattern, ++r.length)
        if (*pattern == '1')
            r.bits |= std::uint16_t(1u << r.length);
    return r;
}

std::string patternOf(const Reading& reading)
{
    std::string s;
    for (int i = 0; i < reading.length; ++i)
        s += (reading.bits >> i) & 1 ? '1' : '0';
    return s;
}

std::vector<Slot> prosodicWriting(const QString& hemistich) { return prosodicWriting(hemistich, nullptr, nullptr); }

std::vector<Slot> prosodicWriting(const QString& hemistich, std::vector<int>* wordOfSlot, std::vector<QString>* wordTexts)
{
    const std::vector<Word> written = wordsOf(hemistich);
    const bool writesHamza = std::any_of(written.begin(), written.end(), [](const Word& w) {
        return w[0].letter == kHamzaAbove || w[0].letter == kHamzaBelow || w[0].letter == kAlifMadda;
    });
    // A word cut by the hemistichs' border is written with a tatweel at the cut (الرحـ / ـب).
    const QString text = hemistich.trimmed();
    const bool runsOn = text.endsWith(QChar(0x0640));
    const bool runsIn = text.startsWith(QChar(0x0640));
    const std::vector<std::vector<Word>> words = spelledWords(written, runsIn, runsOn);
    std::vector<Slot> row;
    if (wordTexts)
        for (const Word& w : written) {
            QString text;
            for (const Glyph& g : w)
                text += QChar(g.letter);
            wordTexts->push_back(text);
        }
    // Each slot's word: the slots added since the word before.
    const auto ownedBy = [&](size_t k) {
        if (wordOfSlot)
            wordOfSlot->resize(row.size(), int(k));
    };
    size_t lettersReadBefore = 0;
    for (size_t k = 0; k < words.size(); ++k) {
        struct Own {
            decltype(ownedBy)& mark;
            size_t k;
            ~Own() { mark(k); }
        } own{ownedBy, k};
        Place place;
        place.opensHemistich = k == 0;
        place.endsHemistich = k + 1 == words.size() && !runsOn;
        place.runsOn = k + 1 == words.size() && runsOn;
        place.runsIn = k == 0 && runsIn;
        place.beforeWasl = k + 1 < words.size() &&
                           (opensWithWasl(words[k + 1].front()) ||
                            (runsOn && k + 2 == words.size() && isCutArticle(words[k + 1].front())));
        place.lettersReadBefore = lettersReadBefore;
        lettersReadBefore = 0;
        const std::vector<Word>& choices = words[k];
        const AlifOpening next = k + 1 == words.size() || place.beforeWasl
                                     ? AlifOpening{}
                                     : alifOpening(words[k + 1].front(), writesHamza);
        if (choices.size() == 1 && !next.either) {
            scanWord(choices[0], place, row);
            continue;
        }
        // The word's readings joined into one slot; before a bare alif, once as before a hamza
        // said and once as before a hamzat al-wasl, the alif read here.
        Slot merged;
        for (size_t c = 0; c < choices.size(); ++c) {
            const float extra = kLessLikelyChoice * float(c);
            std::vector<Slot> own;
            scanWord(choices[c], place, own);
            if (next.either) {
                own.push_back(slotOf({{"1", 0}}));
                if (next.withNextLetter)
                    own.push_back(slotOf({{"0", 0}, {"1", 0.15f}}));
            }
            Slot one = joined(own, extra + next.hamzaCost);
            merged.insert(merged.end(), one.begin(), one.end());
            if (next.either) {
                Place wasl = place;
                wasl.beforeWasl = true;
                own.clear();
                scanWord(choices[c], wasl, own);
                if (next.withNextLetter)
                    own.push_back(slotOf({{"0", 0}}));
                one = joined(own, extra + next.waslCost);
                merged.insert(merged.end(), one.begin(), one.end());
            }
        }
        lettersReadBefore = next.either ? (next.withNextLetter ? 2 : 1) : 0;
        row.push_back(std::move(merged));
    }
    return row;
}

std::vector<std::vector<Slot>> prosodicWriting(const std::vector<QString>& hemistichs)
{
    std::vector<std::vector<Slot>> rows;
    for (const QString& half : readTogether(hemistichs))
        rows.push_back(prosodicWriting(half));
    return rows;
}

std::vector<QString> readTogether(const std::vector<QString>& hemistichs)
{
    std::vector<QString> halves = hemistichs;
    constexpr QChar kTatweel(0x0640);
    static const QRegularExpression marks(QStringLiteral("[\\x{064B}-\\x{0652}\\x{0640}]"));
    // A word cut across the hemistichs (a verse مدوّر): pages set a tatweel at the cut, on one
    // side or both. The second part is read as the rest of a word; a doubled letter at the cut
    // gives its silent half to the first hemistich, as prosody divides it (يغتـ / ـرُّ is يَغْتَرْ / رُ).
    for (size_t h = 0; h + 1 < halves.size(); ++h) {
        QString& first = halves[h];
        QString& second = halves[h + 1];
        first = first.trimmed();
        second = second.trimmed();
        if (!first.endsWith(kTatweel))
            continue;
        if (!second.startsWith(kTatweel))
            second.prepend(kTatweel);
        qsizetype at = 0;
        while (at < second.size() && second[at] == kTatweel)
            ++at;
        qsizetype end = at + 1;
        while (end < second.size() && marks.match(QString(second[end])).hasMatch() && second[end] != kTatweel)
            ++end;
        const QString letter = second.mid(at, 1);
        const QString itsMarks = second.mid(at + 1, end - at - 1);
        if (letter.isEmpty() || !itsMarks.contains(QChar(0x0651)))
            continue;
        while (first.endsWith(kTatweel))
            first.chop(1);
        first += letter + QChar(0x0652) + kTatweel;
        second = QString(kTatweel) + letter + QString(itsMarks).remove(QChar(0x0651)) + second.mid(end);
    }
    return halves;
}

std::string likeliestPattern(const QString& hemistich)
{
    std::string pattern;
    for (const Slot& slot : prosodicWriting(hemistich)) {
        const auto best = std::min_element(slot.begin(), slot.end(), [](const Reading& a, const Reading& b) {
            return a.cost < b.cost;
        });
        if (best != slot.end())
            pattern += patternOf(*best);
    }
    return pattern;
}

}  // namespace barqeen::prosody
