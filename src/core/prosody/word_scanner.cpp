#include "core/prosody/word_scanner.h"

#include <algorithm>

namespace barqeen::prosody {
namespace {

// A hemistich that ends on a silent letter (a rhyme held, قافية مقيدة) rather than a drawn-out
// vowel: less usual, but met in every collection.
constexpr float kRestrictedRhyme = 0.35f;
// A doubled letter left unmarked where the word's measure calls for one.
constexpr float kDroppedShadda = 0.25f;

class WordScanner {
public:
    WordScanner(const Word& w, const Place& place, std::vector<Slot>& out)
        : w_(w), place_(place), out_(out) {}

    void scan()
    {
        size_t i = 0;
        const size_t n = w_.size();
        bool articleNext = false;
        if (place_.runsIn) {
            for (; i < n; ++i)
                letter(i, false, false);
            return;
        }
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
        } else if ((n >= 3 && opensWithArticle(w_)) || (place_.runsOn && isCutArticle(w_))) {
            if (place_.opensHemistich)
                out_.push_back(slotOf({{"1", 0}}));  // said as أَلْ when it opens the hemistich
            i = 1;
            articleNext = true;
        }
        withArticle_ = articleNext;
        if (articleNext && i + 3 < n && isPlainOrWaslAlif(w_[i + 1].letter) &&
            (w_[i + 1].marks & (Vowel | Tanween | Shadda)) == 0) {
            // الِاسْم، لِلِابْن، وَالِانْتِظَار: the article before a word that opens with a hamzat
            // al-wasl; the wasl falls, the lam moves and the letter after it stays silent.
            push("1");
            push("0");
            i += 3;
        } else if (articleNext) {
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
            } else if (w_[2].marks & Shadda) {
                // وَاتَّقِ (a wasl before a doubled letter) or وَادٌّ (a long alif before one).
                out_.push_back(slotOf({{"", 0}, {"0", 0.3f}}));
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
    bool last(size_t i) const { return i + 1 == w_.size() && !place_.runsOn; }
    // The plural's waw, followed only by the silent alif written after it.
    bool pluralWaw(size_t i) const
    {
        return w_[i].letter == kWaw && i + 2 == w_.size() && w_[i + 1].letter == kAlif &&
               w_[i + 1].marks == 0 && !place_.runsOn;
    }
    // The next letter is a long alif (not the silent one after the plural's waw).
    bool nextIsLong(size_t i) const
    {
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
        if (before.marks & (Kasra | Damma))
            return;  // no long a after i or u: a hamzat al-wasl inside the word (لِلِاسْمِ)
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
        const bool endsSaidWord = last(i) || pluralWaw(i);
        if (marks == Sukun) {
            if (endsSaidWord && place_.beforeWasl)
                // Before a silent lam a long vowel falls (فِيْ الْ); a diphthong's letter after a
                // fatha takes a vowel instead (أَوِ الْ).
                push(w_[i - 1].marks & Fatha ? "1" : "");
            else
                push("0");
            return;
        }
        if (pluralWaw(i) && place_.beforeWasl) {
            out_.push_back(slotOf({{"", 0}, {"1", 0.5f}, {"01", 0.6f}}));  // قَالُوا الْحَقَّ
            return;
        }
        if (!last(i)) {
            if (followsSilentLetter(i))
                out_.push_back(slotOf({{"1", 0}, {"01", 0.9f}}));  // سَائِل، قَاوَمَ
            else if (nextIsLong(i))
                out_.push_back(slotOf({{"1", 0}, {"01", 0.9f}}));
            else if (writtenLongVowel(i))
                out_.push_back(slotOf({{"0", 0}, {"1", 0.8f}, {"01", 0.9f}}));
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
            else if (nextIsLong(i) || followsSilentLetter(i))
                out_.push_back(slotOf({{"1", 0}, {"01", 1.0f}}));
            else if (i == stemStart_ + 1 && w_.size() >= stemStart_ + 5 && w_[i].letter == u'ت' &&
                     (w_[stemStart_].letter == kYa || w_[stemStart_].letter == kMim))
                // يَتَفَعَّلُ، يَتَفَاعَلُ، مُتَفَعِّل، مُتَفَاعِل: the ت of these measures moves.
                out_.push_back(slotOf({{"1", 0}, {"0", 0.2f}, {"01", 1.0f}}));
            else if (middleOfDoubledMeasure(i))
                // مُفَعِّل، مُفَعَّل، تَفَعُّل (المعلّم، تجهّم): bare text drops the shadda of these
                // measures more often than any other.
                out_.push_back(slotOf({{"1", 0}, {"0", 0.15f}, {"01", kDroppedShadda}}));
            else if (i == 1 && presentOfDoubledRoot())
                out_.push_back(slotOf({{"1", 0}, {"0", 0.15f}, {"01", 1.0f}}));  // يَهُمّ، يَكُنْ
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
                // A doubled last letter drawn out, or held silent as one letter (وَجَرّْ is وَجَرْ).
                out_.push_back(slotOf({{lead[0] ? "010" : "10", 0}, {"0", kRestrictedRhyme}}));
            else if (twoLetterStem())
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
                withLead(presentOfDoubledRoot()
                             ? std::initializer_list<std::pair<const char*, float>>{{"01", 0.1f}, {"1", 0.4f}, {"11", 0.4f}}
                             : std::initializer_list<std::pair<const char*, float>>{{"1", 0}, {"11", 0.4f}, {"01", twoLetterStem() ? 0.2f : 1.0f}});
            return;
        }
        const char16_t c = w_[i].letter;
        if (marks & Sukun)
            withLead({{"0", 0}});
        else if (marks & Tanween)
            withLead({{"10", 0}});
        else if (marks & (Damma | Kasra) && c == kHa && i > 0)
            // The pronoun's vowel is drawn out after a moving letter (لَهُو), not after a silent one;
            // after the article the ه is the word's own (الْوَلَهِ، الشَّبَهُ), never drawn out.
            withLead(afterSilent(i) || withArticle_ ? std::initializer_list<std::pair<const char*, float>>{{"1", 0}, {"10", 0.3f}}
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
        else if (twoLetterStem())
            // A word of two letters not known as a particle is mostly of a doubled root (ضرّ، حقّ)
            // or a hollow verb cut short (قُلْ، كُنْ، قُمْ); after the article, of a doubled
            // root (العزّ، الحبّ).
            withLead({{"1", 0}, {"01", 0.2f}, {"0", 0.25f}, {"10", 0.45f}, {"010", 0.6f}});
        else
            withLead({{"1", 0}, {"10", 0.45f}, {"0", 0.45f}, {"01", 1.0f}, {"010", 1.4f}});
    }

    // The third letter of a stem of four plain letters opening with م or ت, alone, after the
    // article or after a one-letter prefix (وتجلّدي).
    bool middleOfDoubledMeasure(size_t i) const
    {
        const bool prefixed = stemStart_ == 0 && w_.size() >= 5 &&
                              QStringView(u"وفبلك").contains(QChar(w_[0].letter)) && w_[0].marks == 0;
        return middleOfDoubledMeasure(i, stemStart_) || (prefixed && middleOfDoubledMeasure(i, 1));
    }
    bool middleOfDoubledMeasure(size_t i, size_t s) const
    {
        // مُتَفَعِّل، يَتَفَعَّلُ، تَتَفَعَّلُ (متردّم، يتكلّم): the same doubled letter one further on.
        const bool withTa = w_.size() >= s + 5 && w_[s + 1].letter == u'ت' &&
                            QStringView(u"مينت").contains(QChar(w_[s].letter)) && w_[s + 1].marks == 0;
        if (withTa)
            ++s;
        if (i != s + 2 || w_.size() < s + 4 || (w_[s].letter != kMim && w_[s].letter != u'ت'))
            return false;
        for (size_t k = s + 1; k <= s + 3; ++k)
            if (!plainConsonant(k) && !(withTa && k + 1 == w_.size() && w_[k].letter == kYa && w_[k].marks == 0))
                return false;  // a closing ي is the root's (المتمنّي)
        return true;
    }
    bool plainConsonant(size_t k) const
    {
        const char16_t c = w_[k].letter;
        return c != kAlif && c != kWaw && c != kYa && c != kAlifMaqsura && w_[k].marks == 0;
    }

    // يهمّ، تمرّ، نشدّ: three letters opening with the present's prefix are mostly a verb of a
    // doubled root, its last letter doubled.
    bool presentOfDoubledRoot() const
    {
        return w_.size() == 3 && QStringView(u"يتن").contains(QChar(w_[0].letter)) && w_[1].letter != kAlif &&
               w_[1].letter != kWaw && w_[1].letter != kYa && w_[2].letter != kAlif && w_[2].letter != kAlifMaqsura;
    }

    // The word is two written letters, alone or after the article.
    bool twoLetterStem() const
    {
        return w_.size() == 2 || (stemStart_ > 0 && w_.size() == stemStart_ + 2);
    }

    // Two silent letters never meet inside a word: after a letter marked silent or a long alif
    // the next letter moves (or is doubled).
    // ي after a kasra, و after a damma, left bare between two marked letters (تَعْصِينِي): the
    // writer marked the letters around it and left it bare because it is the long vowel.
    bool writtenLongVowel(size_t i) const
    {
        if (i == 0 || i + 1 >= w_.size())
            return false;
        const unsigned before = w_[i - 1].marks;
        const bool matching = (w_[i].letter == kYa && (before & Kasra)) || (w_[i].letter == kWaw && (before & Damma));
        return matching && (w_[i + 1].marks & (Vowel | Sukun | Shadda | Tanween)) != 0;
    }

    bool followsSilentLetter(size_t i) const
    {
        if (i == 0)
            return false;
        const Glyph& before = w_[i - 1];
        return (before.marks & Sukun) || before.letter == kAlifMadda ||
               (isLongAlif(w_, i - 1) && (before.marks & (Vowel | Shadda | Tanween)) == 0);
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
    bool withArticle_ = false;
    const Place& place_;
    std::vector<Slot>& out_;
};

}  // namespace

Slot slotOf(std::initializer_list<std::pair<const char*, float>> readings)
{
    Slot slot;
    for (const auto& [pattern, cost] : readings)
        slot.push_back(readingOf(pattern, cost));
    return slot;
}

void scanWord(const Word& w, const Place& place, std::vector<Slot>& out)
{
    WordScanner(w, place, out).scan();
}

}  // namespace barqeen::prosody
