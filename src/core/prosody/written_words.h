#pragma once
// A hemistich as written: its words, each a row of letters with the marks they carry. The
// prosodic writing reads these; nothing here decides what is said.
#include <QString>

#include <vector>

namespace barqeen::prosody {

// The marks a written letter carries.
enum Mark : unsigned {
    Fatha = 1, Damma = 2, Kasra = 4, Sukun = 8, Shadda = 16,
    Fathatan = 32, Dammatan = 64, Kasratan = 128,
    Vowel = Fatha | Damma | Kasra,
    Tanween = Fathatan | Dammatan | Kasratan,
};

struct Glyph {
    char16_t letter;
    unsigned marks = 0;
};
using Word = std::vector<Glyph>;

inline constexpr char16_t kAlif = u'ا', kAlifMaqsura = u'ى', kAlifMadda = u'آ', kWaw = u'و',
                          kYa = u'ي', kTaMarbuta = u'ة', kLam = u'ل', kHa = u'ه', kMim = u'م',
                          kHamzaAbove = u'أ', kHamzaBelow = u'إ', kAlifWasla = u'\u0671';

// Splits a hemistich into words of letters with their marks; the tatweel and anything that is
// not an Arabic letter or mark are dropped (punctuation and digits part words).
std::vector<Word> wordsOf(const QString& text);

// The word's letters without marks, a hamza form of alif that opens it folded to ا.
QString bareKey(const Word& word);
bool hasMarks(const Word& word);

// A plain alif or one written as ٱ: either may be a hamzat al-wasl.
bool isPlainOrWaslAlif(char16_t c);
// Any form of alif: plain, with a hamza above or below, with a madda, or written as ٱ.
bool isAlifForm(char16_t c);
// True when the word opens with the article (ال) or a hamzat al-wasl that is not said after a
// word: the letters of the article with no mark on the alif.
bool opensWithArticle(const Word& w);
// The word opens with a hamzat al-wasl: the article, an alif written as ٱ (ٱبْن، ٱسْم), or a
// first letter marked silent, the wasl's alif left out (يَا بْنَ).
bool opensWithWasl(const Word& w);
// The article alone, cut from its word by the hemistichs' border (أديمَ الـ / ـأرضِ).
bool isCutArticle(const Word& w);
// Letter i is an alif (or alif maqsura) after another letter: a long a, when bare.
bool isLongAlif(const Word& w, size_t i);

}  // namespace barqeen::prosody
