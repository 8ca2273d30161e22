#include "core/prosody/written_words.h"

#include <algorithm>

namespace barqeen::prosody {
namespace {

// The tatweel (U+0640) sits among the letters but is only a stretch of the line.
bool isLetter(char16_t c) { return ((c >= 0x0621 && c <= 0x064A) && c != 0x0640) || c == kAlifWasla; }

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
    case 0x06E1: return Sukun;  // the sukun as the Quran's printers draw it
    default: return 0;
    }
}

// The letter a hamza or madda sign written after it makes (ا and U+0653 is آ).
char16_t joinedWith(char16_t letter, char16_t sign)
{
    if (letter == kAlif)
        return sign == 0x0653 ? kAlifMadda : sign == 0x0654 ? kHamzaAbove : kHamzaBelow;
    if (sign == 0x0654 && letter == kWaw)
        return u'ؤ';
    if (sign == 0x0654 && (letter == kYa || letter == kAlifMaqsura))
        return u'ئ';
    return letter;
}

// The article's two letters open the word: an alif with no vowel of its own, then a lam.
bool articleLetters(const Word& w)
{
    return w.size() >= 2 && isPlainOrWaslAlif(w[0].letter) && (w[0].marks & (Vowel | Tanween)) == 0 &&
           w[1].letter == kLam;
}

}  // namespace

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
            if (word.empty())
                continue;
            Glyph& seat = word.back();
            if (seat.letter == kWaw && seat.marks == 0)
                seat.letter = kAlif;  // الصَّلَوٰة: the و only carries it
            else if (seat.letter != kAlifMaqsura)  // عَلَىٰ: the ى is that long a already
                word.push_back({kAlif, 0});
        } else if (c == 0x0653 || c == 0x0654 || c == 0x0655) {
            // A madda or hamza written apart from its letter (آ as ا and a madda above).
            if (!word.empty())
                word.back().letter = joinedWith(word.back().letter, c);
        } else if (c == 0x0640 || (c >= 0x0656 && c <= 0x065F)) {
            // the tatweel and the rarer marks change nothing that is said
        } else if (!word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    // The conjunction written apart (و لا، و اذكر) is said with the word after it.
    for (size_t k = 0; k + 1 < words.size(); ++k) {
        if (words[k].size() == 1 && words[k][0].letter == kWaw && (words[k][0].marks & ~unsigned(Fatha)) == 0) {
            words[k].insert(words[k].end(), words[k + 1].begin(), words[k + 1].end());
            words.erase(words.begin() + ptrdiff_t(k) + 1);
        }
    }
    return words;
}

QString bareKey(const Word& word)
{
    QString key;
    for (const Glyph& g : word)
        key += QChar(g.letter);
    if (!key.isEmpty() && isAlifForm(key[0].unicode()))
        key[0] = kAlif;
    return key;
}

bool hasMarks(const Word& word)
{
    return std::any_of(word.begin(), word.end(), [](const Glyph& g) { return g.marks != 0; });
}

bool isPlainOrWaslAlif(char16_t c) { return c == kAlif || c == kAlifWasla; }

bool isAlifForm(char16_t c)
{
    return isPlainOrWaslAlif(c) || c == kHamzaAbove || c == kHamzaBelow || c == kAlifMadda;
}

bool opensWithArticle(const Word& w)
{
    // Texts vowelled in full often write the article's alif as ٱ (ٱلْقَمَرُ، ٱلشَّمْسُ).
    if (w.size() < 3 || !articleLetters(w))
        return false;
    // الِاسْم: the lam takes a kasra before the wasl of the word it opens.
    const bool beforeWasl =
        w[1].marks == Kasra && w.size() >= 4 && isPlainOrWaslAlif(w[2].letter) && w[2].marks == 0;
    return (w[1].marks & (Vowel | Shadda)) == 0 || beforeWasl;
}

bool opensWithWasl(const Word& w)
{
    // بْن written without its alif (يَا بْنَ) opens silent as the wasl leaves it.
    return opensWithArticle(w) || (!w.empty() && (w[0].letter == kAlifWasla || (w[0].marks & Sukun)));
}

bool isCutArticle(const Word& w)
{
    return w.size() == 2 && articleLetters(w) && (w[1].marks & (Vowel | Shadda)) == 0;
}

bool isLongAlif(const Word& w, size_t i)
{
    return i > 0 && i < w.size() && (w[i].letter == kAlif || w[i].letter == kAlifMaqsura);
}

}  // namespace barqeen::prosody
