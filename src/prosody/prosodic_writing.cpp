#include "prosody/prosodic_writing.h"

#include "prosody/word_spellings.h"

#include <algorithm>

namespace barqeen::prosody {
namespace {

// The marks a written letter carries.
enum Mark : unsigned {
    Fatha = 1, Damma = 2, Kasra = 4, Sukun = 8, Shadda = 16,
    Fathatan = 32, Dammatan = 64, Kasratan = 128,
    Vowel = Fatha | Damma | Kasra,
    Tanween = Fathatan | Dammatan | Kasratan,
};

// A hemistich that ends on a silent letter (a rhyme held, قافية مقيدة) rather than a drawn-out
// vowel: less usual, but met in every collection.
constexpr float kRestrictedRhyme = 0.35f;

struct Glyph {
    char16_t letter;
    unsigned marks = 0;
};
using Word = std::vector<Glyph>;

constexpr char16_t kAlif = u'ا', kAlifMaqsura = u'ى', kAlifMadda = u'آ', kWaw = u'و',
                   kYa = u'ي', kTaMarbuta = u'ة', kLam = u'ل', kHa = u'ه', kMim = u'م',
                   kHamzaAbove = u'أ', kHamzaBelow = u'إ', kAlifWasla = u'\u0671';

bool isLetter(char16_t c) { return (c >= 0x0621 && c <= 0x064A) || c == kAlifWasla; }

unsigned markOf(char16_t c)
{
    switch (c) {
    case 0x064B: return Fathatan;
    case 0x064C: return Dammatan;
    case 0x064D: return Kasratan;
    case 0x064E: return Fatha;
    case 0x064F: return Damma;
    case 0x0650: return Kasra;
    case 0x0651: return Shadda;
    case 0x0652: return Sukun;
    default: return 0;
    }
}

// Splits a hemistich into words of letters with their marks; the tatweel and anything that is
// not an Arabic letter or mark are dropped (punctuation and digits part words).
std::vector<Word> wordsOf(const QString& text)
{
    std::vector<Word> words;
    Word word;
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (isLetter(c)) {
            word.push_back({c, 0});
        } else if (const unsigned mark = markOf(c)) {
            if (!word.empty())
                word.back().marks |= mark;
        } else if (c == 0x0670) {  // the small alif written above: a long a
            if (!word.empty())
                word.push_back({kAlif, 0});
        } else if (c == 0x0640 || c == 0x0654 || c == 0x0655) {
            // tatweel and loose hamza signs change nothing that is said
        } else if (!word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    return words;
}

QString bareKey(const Word& word)
{
    QString key;
    for (const Glyph& g : word)
        key += QChar(g.letter);
    if (!key.isEmpty() && (key[0] == kHamzaAbove || key[0] == kHamzaBelow || key[0] == kAlifMadda ||
                           key[0] == kAlifWasla))
        key[0] = kAlif;
    return key;
}

bool hasMarks(const Word& word)
{
    return std::any_of(word.begin(), word.end(), [](const Glyph& g) { return g.marks != 0; });
}

Slot slotOf(std::initializer_list<std::pair<const char*, float>> readings)
{
    Slot slot;
    for (const auto& [pattern, cost] : readings)
        slot.push_back(readingOf(pattern, cost));
    return slot;
}

// Where a word stands in its hemistich.
struct Place {
    bool opensHemistich = false;   // its first word
    bool endsHemistich = false;    // its last word: the last vowel is lengthened
    bool beforeWasl = false;       // the next word opens with a hamzat al-wasl
    size_t lettersReadBefore = 0;  // its opening bare alif (and the letter after it) were read
                                   // with the word before it
};

// True when the word opens with the article (ال) or a hamzat al-wasl that is not said after a
// word: the letters of the article with no mark on the alif.
bool opensWithArticle(const Word& w)
{
    return w.size() >= 3 && w[0].letter == kAlif && (w[0].marks & (Vowel | Tanween)) == 0 &&
           w[1].letter == kLam && (w[1].marks & (Vowel | Shadda)) == 0;
}

// The word opens with a hamzat al-wasl: the article, or an alif written as ٱ (ٱبْن، ٱسْم).
bool opensWithWasl(const Word& w)
{
    return opensWithArticle(w) || (!w.empty() && w[0].letter == kAlifWasla);
}

bool isLongAlif(const Word& w, size_t i)
{
    return i > 0 && i < w.size() && (w[i].letter == kAlif || w[i].letter == kAlifMaqsura);
}

class WordScanner {
public:
    WordScanner(const Word& w, const Place& place, std::vector<Slot>& out)
        : w_(w), place_(place), out_(out) {}

    void scan()
    {
        size_t i = 0;
        const size_t n = w_.size();
        bool articleNext = false;
        // A one-letter prefix (و ف ب ك) before the article, or لِ joined to it (لل).
        if (n >= 4 && (w_[0].letter == kWaw || w_[0].letter == u'ف' || w_[0].letter == u'ب' ||
                       w_[0].letter == u'ك') &&
            opensWithArticle(Word(w_.begin() + 1, w_.end()))) {
            out_.push_back(slotOf({{"1", 0}}));
            i = 2;  // the alif of the article is not said
            articleNext = true;
        } else if (n >= 4 && w_[0].letter == kLam && w_[1].letter == kLam &&
                   (w_[1].marks & Vowel) == 0) {
            out_.push_back(slotOf({{"1", 0}}));
            i = 1;
            articleNext = true;
        } else if (n >= 3 && opensWithArticle(w_)) {
            if (place_.opensHemistich)
                out_.push_back(slotOf({{"1", 0}}));  // said as أَلْ when it opens the hemistich
            i = 1;
            articleNext = true;
        }
        if (articleNext) {
            out_.push_back(slotOf({{"0", 0}}));  // the lam, silent or merged in a sun letter
            ++i;
            // لِلَّيْلِ: before a word that opens with lam, لِ and the article leave one lam
            // unwritten; the letter after it is then free to be silent.
            if (w_[0].letter == kLam && w_[1].letter == kLam && i + 1 < n && w_[i].letter != kLam &&
                w_[i].marks == 0) {
                out_.push_back(slotOf({{"1", 0}, {"10", 0.5f}, {"11", 0.5f}}));
                ++i;
            } else if (i < n) {
                stemStart_ = i;
                letter(i++, /*mustMove=*/true, /*dropShadda=*/true);
            }
        } else if (w_[0].letter == kAlifWasla) {
            if (place_.opensHemistich)
                out_.push_back(slotOf({{"1", 0}}));
            i = 1;
        } else if (w_[0].letter == kAlif && (w_[0].marks & Shadda) == 0) {
            // A bare alif opening a word: a hamza written plainly, or a hamzat al-wasl.
            if (place_.lettersReadBefore > 0)
                ;
            else if (place_.opensHemistich || (w_[0].marks & (Vowel | Tanween)))
                out_.push_back(slotOf({{"1", 0}}));
            else
                out_.push_back(slotOf({{"1", 0}, {"", 0.5f}}));
            i = std::max<size_t>(1, place_.lettersReadBefore);
        } else if (n >= 4 && QStringView(u"وفبك").contains(QChar(w_[0].letter)) && w_[1].letter == kAlif &&
                   w_[1].marks == 0) {
            // وا، فا، با، كا: a prefix before a hamzat al-wasl (وَاسْلَمِي، كَاسْتَقِمْ), or a long
            // alif of the word itself (وافر).
            // The two are told apart by the letter after the alif: silent after a wasl, moving
            // after a long vowel.
            letter(0, true, true);
            if (w_[2].marks & Sukun) {
                i = 2;
            } else if (w_[2].marks != 0 || n < 4) {
                push("0");
                i = 2;
            } else {
                out_.push_back(slotOf({{"01", 0}, {"0", 0.25f}}));
                i = 3;
            }
        } else if (w_[0].marks & Sukun) {
            push("0");  // ابن between two names written بن: its first letter silent
            i = 1;
        } else {
            letter(0, /*mustMove=*/true, /*dropShadda=*/true);
            i = 1;
        }
        for (; i < n; ++i)
            letter(i, false, false);
    }

private:
    bool last(size_t i) const { return i + 1 == w_.size(); }
    // The next letter is a long alif (not the silent one after the plural's waw).
    bool nextIsLong(size_t i) const
    {
        if (i + 1 < w_.size() && w_[i + 1].letter == kAlifMadda)
            return true;
        return isLongAlif(w_, i + 1) && !(w_[i].letter == kWaw && last(i + 1));
    }

    void letter(size_t i, bool mustMove, bool dropShadda)
    {
        const Glyph& g = w_[i];
        const unsigned marks = dropShadda ? (g.marks & ~Shadda) : g.marks;
        const char16_t c = g.letter;
        if (c == kAlifWasla)
            return;  // after a prefix (وَٱبْن): not said
        if (c == kAlifMadda) {
            out_.push_back(slotOf({{"10", 0}}));
            return;
        }
        if ((c == kAlif || c == kAlifMaqsura) && i > 0 && (marks & (Vowel | Shadda)) == 0) {
            longAlif(i);
            return;
        }
        if ((c == kWaw || c == kYa) && i > 0 && !mustMove && (marks == 0 || marks == Sukun)) {
            weakLetter(i, marks);
            return;
        }
        consonant(i, marks, mustMove);
    }

    void longAlif(size_t i)
    {
        const Glyph& before = w_[i - 1];
        if (last(i) && (before.marks & Tanween))
            return;  // the alif that carries a tanween is not said
        if (last(i) && w_[i].letter == kAlif && before.letter == kWaw && w_.size() >= 3) {
            out_.push_back(slotOf({{"", 0}, {"0", 0.8f}}));  // the alif after the plural's waw
            return;
        }
        if (last(i) && place_.beforeWasl) {
            // A long vowel meeting the silent lam is shortened; a tanween's نْ is moved.
            out_.push_back(slotOf({{"", 0}, {"1", 0.6f}}));
            return;
        }
        out_.push_back(slotOf({{"0", 0}}));
    }

    // و or ي after a letter, bare or silent: a long vowel or a diphthong (both silent), or a
    // moving consonant.
    void weakLetter(size_t i, unsigned marks)
    {
        if (marks == Sukun) {
            out_.push_back(slotOf({{"0", 0}}));
            return;
        }
        if (!last(i)) {
            if (nextIsLong(i))
                out_.push_back(slotOf({{"1", 0}, {"01", 0.9f}}));
            else
                out_.push_back(slotOf({{"0", 0}, {"1", 0.35f}, {"01", 0.9f}}));
        } else if (place_.endsHemistich) {
            out_.push_back(slotOf({{"0", 0}, {"10", 0.6f}, {"010", 0.8f}}));
        } else if (place_.beforeWasl) {
            out_.push_back(slotOf({{"", 0}, {"1", 0.5f}, {"01", 0.6f}}));
        } else {
            out_.push_back(slotOf({{"0", 0}, {"1", 0.5f}, {"10", 0.8f}, {"01", 1.0f}}));
        }
    }

    void consonant(size_t i, unsigned marks, bool mustMove)
    {
        const bool shadda = marks & Shadda;
        const bool bare = (marks & ~Shadda) == 0;
        // A tanween before the alif that carries it ends the word as said.
        const bool endsWord = last(i) || ((marks & Fathatan) && i + 2 == w_.size() &&
                                          (w_[i + 1].letter == kAlif || w_[i + 1].letter == kAlifMaqsura));
        if (!endsWord) {
            if (marks & Sukun)
                push(mustMove ? "1" : "0");
            else if (!bare || mustMove)
                push(shadda && !mustMove ? "01" : "1");
            else if (shadda)
                push("01");
            else if (nextIsLong(i))
                out_.push_back(slotOf({{"1", 0}, {"01", 1.0f}}));
            else if (i == stemStart_ + 1 && w_.size() >= stemStart_ + 3 &&
                     (w_[stemStart_].letter == kYa || w_[stemStart_].letter == kMim))
                // يَفْعَلُ، يُفْعِلُ، يَسْتَفْعِلُ; مَفْعُول، مُفْعِل، مُسْتَفْعِل: the measures of the
                // present verb and of the nouns made with م mostly still the letter after it.
                out_.push_back(slotOf({{"0", 0}, {"1", 0.15f}, {"01", 1.0f}}));
            else
                out_.push_back(slotOf({{"1", 0}, {"0", 0.15f}, {"01", 1.0f}}));
            return;
        }
        // The last letter of the word.
        const char* lead = shadda && !mustMove ? "0" : "";
        auto withLead = [&](std::initializer_list<std::pair<const char*, float>> readings) {
            Slot slot;
            for (const auto& [pattern, cost] : readings) {
                const std::string full = std::string(lead) + pattern;
                slot.push_back(readingOf(full.c_str(), cost));
            }
            out_.push_back(std::move(slot));
        };
        if (place_.endsHemistich) {
            if (marks & Sukun)
                withLead({{"0", 0}});
            else if (!bare)
                withLead({{"10", 0}});  // the last vowel is drawn out (إشباع), a tanween too
            else if (shadda)
                withLead({{"10", 0}});
            else if (w_.size() == 2)
                withLead({{"10", 0}, {"010", 0.2f}, {"0", kRestrictedRhyme}});
            else
                withLead({{"10", 0}, {"0", kRestrictedRhyme}, {"010", 1.0f}});
            return;
        }
        if (place_.beforeWasl) {
            if (marks & Tanween)
                withLead({{"11", 0}});
            else if (!bare || shadda)
                withLead({{"1", 0}});  // a silent end takes a vowel before the silent lam
            else
                withLead({{"1", 0}, {"11", 0.4f}, {"01", w_.size() == 2 ? 0.2f : 1.0f}});
            return;
        }
        const char16_t c = w_[i].letter;
        if (marks & Sukun)
            withLead({{"0", 0}});
        else if (marks & Tanween)
            withLead({{"10", 0}});
        else if (marks & (Damma | Kasra) && c == kHa && i > 0)
            // The pronoun's vowel is drawn out after a moving letter (لَهُو), not after a silent one.
            withLead(afterSilent(i) ? std::initializer_list<std::pair<const char*, float>>{{"1", 0}, {"10", 0.3f}}
                                    : std::initializer_list<std::pair<const char*, float>>{{"10", 0}, {"1", 0.2f}});
        else if (marks & (Damma | Kasra) && c == kMim && i > 0)
            withLead({{"1", 0}, {"10", 0.2f}});
        else if (!bare)
            withLead({{"1", 0}});
        else if (shadda)
            withLead({{"1", 0}, {"10", 0.4f}});
        else if (c == kHa && i > 0)
            withLead({{"1", 0.1f}, {"10", 0.1f}, {"0", 1.0f}});
        else if (c == kMim && i > 0 && (w_[i - 1].letter == kHa || w_[i - 1].letter == u'ك' ||
                                         w_[i - 1].letter == u'ت'))
            withLead({{"0", 0}, {"1", 0.3f}, {"10", 0.3f}});
        else if (c == kTaMarbuta)
            withLead({{"1", 0}, {"10", 0.4f}});
        else if (w_.size() == 2)
            // A word of two letters not known as a particle is mostly of a doubled root (ضرّ، حقّ)
            // or a hollow verb cut short (قُلْ، كُنْ، قُمْ).
            withLead({{"1", 0}, {"01", 0.2f}, {"0", 0.25f}, {"10", 0.45f}, {"010", 0.6f}});
        else
            withLead({{"1", 0}, {"10", 0.45f}, {"0", 0.45f}, {"01", 1.0f}, {"010", 1.4f}});
    }

    // The letter before is silent: marked so, or a long vowel.
    bool afterSilent(size_t i) const
    {
        const Glyph& before = w_[i - 1];
        if (before.marks & Sukun)
            return true;
        return i >= 2 && (before.marks & (Vowel | Shadda)) == 0 &&
               (before.letter == kAlif || before.letter == kWaw || before.letter == kYa);
    }

    void push(const char* pattern) { out_.push_back(slotOf({{pattern, 0}})); }

    const Word& w_;
    size_t stemStart_ = 0;  // the first letter after the article and its prefix
    const Place& place_;
    std::vector<Slot>& out_;
};

constexpr size_t kMostJoinedReadings = 64;

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

// The words as they are said: a known word is replaced by its spellings; a one-letter prefix
// before a known word is kept.
std::vector<std::vector<Word>> spelledWords(const std::vector<Word>& words)
{
    std::vector<std::vector<Word>> spelled;
    for (const Word& w : words) {
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
        if (known && (always || !hasMarks(w))) {
            for (const Spelling& s : *known) {
                Word full = prefix;
                for (const Word& part : wordsOf(s.text))
                    full.insert(full.end(), part.begin(), part.end());
                choices.push_back(std::move(full));
            }
        } else {
            choices.push_back(w);
        }
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

std::vector<Slot> prosodicWriting(const QString& hemistich)
{
    const std::vector<Word> written = wordsOf(hemistich);
    const std::vector<std::vector<Word>> words = spelledWords(written);
    const bool writesHamza = std::any_of(written.begin(), written.end(), [](const Word& w) {
        return w[0].letter == kHamzaAbove || w[0].letter == kHamzaBelow || w[0].letter == kAlifMadda;
    });
    std::vector<Slot> row;
    size_t lettersReadBefore = 0;
    for (size_t k = 0; k < words.size(); ++k) {
        Place place;
        place.opensHemistich = k == 0;
        place.endsHemistich = k + 1 == words.size();
        place.beforeWasl = !place.endsHemistich && opensWithWasl(words[k + 1].front());
        place.lettersReadBefore = lettersReadBefore;
        lettersReadBefore = 0;
        const std::vector<Word>& choices = words[k];
        const AlifOpening next = place.endsHemistich || place.beforeWasl
                                     ? AlifOpening{}
                                     : alifOpening(words[k + 1].front(), writesHamza);
        if (choices.size() == 1 && !next.either) {
            WordScanner(choices[0], place, row).scan();
            continue;
        }
        // The word's readings joined into one slot; before a bare alif, once as before a hamza
        // said and once as before a hamzat al-wasl, the alif read here.
        Slot merged;
        for (size_t c = 0; c < choices.size(); ++c) {
            const float extra = 0.15f * float(c);
            std::vector<Slot> own;
            WordScanner(choices[c], place, own).scan();
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
                WordScanner(choices[c], wasl, own).scan();
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
