#include "core/prosody/lexicon.h"

#include "core/prosody/lexicon_words.h"

#include <QStringList>

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>

namespace barqeen::prosody {
namespace {

// A present verb of the first person (أَ، نَ) takes no ending of the second or third; the
// imperative of the verbs whose present opens يَفْـ begins with a hamzat al-wasl (ٱفْعَلْ).
enum class Kind { Noun, Past, Present, FirstPerson, Imperative };

struct Entry {
    Word spelling;
    Kind kind;
    bool derived;  // made from another entry by rule (the other persons, the imperative, a past's noun)
};

constexpr char16_t kTa = u'ت', kNun = u'ن';

// The lookup key: the letters, every form of alif folded to ا (bare text often drops the hamza).
// The madda is a hamza and a long a, two letters said: it is not folded.
char16_t folded(char16_t c)
{
    return c == kHamzaAbove || c == kHamzaBelow || c == kAlifWasla ? kAlif : c;
}

bool isLong(char16_t c) { return c == kAlif || c == kAlifMaqsura || c == kWaw || c == kYa; }

struct KeyHash {
    using is_transparent = void;
    size_t operator()(std::u16string_view s) const { return std::hash<std::u16string_view>{}(s); }
};
using Index = std::unordered_map<std::u16string, std::vector<Entry>, KeyHash, std::equal_to<>>;

// A long و or ي inside a word is silent; marking it so spares the scanner a guess.
void markLongLetters(Word& w)
{
    for (size_t i = 1; i + 1 < w.size(); ++i)
        if ((w[i].letter == kWaw || w[i].letter == kYa) && w[i].marks == 0 && (w[i - 1].marks & Vowel))
            w[i].marks = Sukun;
}

// A past verb of plain letters only (كَتَبَ، أَرْسَلَ، عَلَّمَ): its last letter falls silent
// before its own pronoun (كَتَبْتُ).
bool plainPast(const Word& stem)
{
    return std::none_of(stem.begin() + 1, stem.end(), [](const Glyph& g) { return isLong(g.letter); }) &&
           !(stem.back().marks & Shadda);
}

// Two readings said alike: the same letters, each moving, silent or doubled alike (كَتَبَ and
// كُتِبَ, the dual's ـَيْن and the plural's ـِين).
bool saidAlike(const Word& a, const Word& b)
{
    constexpr unsigned kShape = Sukun | Shadda | Tanween;
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const Glyph& x, const Glyph& y) {
               return x.letter == y.letter && (x.marks & kShape) == (y.marks & kShape) &&
                      ((x.marks & Vowel) != 0) == ((y.marks & Vowel) != 0);
           });
}

void addEntry(Index& index, Word spelling, Kind kind, bool derived = false)
{
    std::u16string key;
    for (const Glyph& g : spelling)
        key += folded(g.letter);
    std::vector<Entry>& list = index[key];
    for (const Entry& e : list)
        if (e.kind == kind && saidAlike(e.spelling, spelling))
            return;
    list.push_back({std::move(spelling), kind, derived});
}

void addSection(Index& index, const char* text)
{
    Kind section = Kind::Noun;
    for (const QString& rawLine : QString::fromUtf8(text).split(u'\n')) {
        const QString line = rawLine.section(u'#', 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(u'@')) {
            section = line == u"@present" ? Kind::Present : line == u"@verb" ? Kind::Past : Kind::Noun;
            continue;
        }
        for (const QString& item : line.split(u' ', Qt::SkipEmptyParts)) {
            for (const QString& reading : item.split(u'|')) {
                const std::vector<Word> words = wordsOf(reading);
                if (words.size() != 1)
                    continue;
                Word spelling = words[0];
                markLongLetters(spelling);
                Kind kind = section;
                if (kind == Kind::Noun && (spelling.back().marks & Vowel))
                    kind = Kind::Past;
                // A past of three plain letters is as often a noun: فَعْل (كَسَرَ، كَسْر) or
                // فَعَل (ذَهَبَ، ذَهَب).
                if (kind == Kind::Past && spelling.size() == 3 && plainPast(spelling)) {
                    Word silentMiddle = spelling;
                    silentMiddle[1].marks = Sukun;
                    silentMiddle[2].marks = 0;
                    Word movingMiddle = spelling;
                    movingMiddle[2].marks = 0;
                    addEntry(index, spelling, kind);
                    addEntry(index, std::move(silentMiddle), Kind::Noun, true);
                    addEntry(index, std::move(movingMiddle), Kind::Noun, true);
                    continue;
                }
                addEntry(index, std::move(spelling), kind);
                // The present of the other persons: أَ، تَ، نَ in place of يَ.
                if (kind == Kind::Present && words[0][0].letter == kYa) {
                    for (const char16_t person : {u'ت', kHamzaAbove, u'ن'}) {
                        Word other = words[0];
                        markLongLetters(other);
                        other[0].letter = person;
                        addEntry(index, std::move(other), person == u'ت' ? Kind::Present : Kind::FirstPerson, true);
                    }
                    if ((words[0][0].marks & Fatha) && words[0].size() >= 3 && words[0][1].marks == Sukun) {
                        Word imperative = words[0];
                        markLongLetters(imperative);
                        imperative[0] = {kAlifWasla, 0};
                        addEntry(index, std::move(imperative), Kind::Imperative, true);
                    }
                }
            }
        }
    }
}

const Index& lexicon()
{
    static const Index index = [] {
        Index built;
        addSection(built, kLexiconNouns);
        addSection(built, kLexiconVerbs);
        return built;
    }();
    return index;
}

// What the letters after the stem are.
enum class Ending {
    None,
    Pronoun,     // ه ها هم هما هن ك كم كما ي نا ني
    Subject,     // a past verb's own pronoun: ت تم تما نا
    PluralWaw,   // وا: a past verb's plural, or a present verb's in the jussive
    PastDual,    // ا after a past verb
    Feminine,    // ة
    FemininePl,  // ات
    Dual,        // ان، ين
    PluralUn,    // ون، ين
    Tanween,     // the alif of an accusative tanween
};

struct Suffix {
    std::u16string_view letters;
    Ending ending;
};

// In the order their readings are offered when two fit: a past verb's نا is likelier its subject
// (كَتَبْنَا) than its object (كَتَبَنَا). The dual's ين and the plural's are said alike.
const Suffix kSuffixes[] = {
    {u"", Ending::None},          {u"ت", Ending::Subject},       {u"تم", Ending::Subject},
    {u"تما", Ending::Subject},    {u"نا", Ending::Subject},      {u"ه", Ending::Pronoun},
    {u"ها", Ending::Pronoun},     {u"هم", Ending::Pronoun},      {u"هما", Ending::Pronoun},
    {u"هن", Ending::Pronoun},     {u"ك", Ending::Pronoun},       {u"كم", Ending::Pronoun},
    {u"كما", Ending::Pronoun},    {u"ي", Ending::Pronoun},       {u"نا", Ending::Pronoun},
    {u"ني", Ending::Pronoun},     {u"وا", Ending::PluralWaw},    {u"ا", Ending::Tanween},
    {u"ا", Ending::PastDual},     {u"ة", Ending::Feminine},      {u"ات", Ending::FemininePl},
    {u"ان", Ending::Dual},        {u"ين", Ending::Dual},         {u"ون", Ending::PluralUn},
};

// The prefixes and the kinds of word each may stand before.
struct Prefix {
    std::u16string_view letters;
    bool nouns, verbs, presents;
};

const Prefix kPrefixes[] = {
    {u"", true, true, true},     {u"و", true, true, true},     {u"ف", true, true, true},
    {u"ب", true, false, false},  {u"ك", true, false, false},   {u"ل", true, false, true},
    {u"س", false, false, true},  {u"وب", true, false, false},  {u"فب", true, false, false},
    {u"وك", true, false, false}, {u"فك", true, false, false},  {u"ول", true, false, true},
    {u"فل", true, false, true},  {u"وس", false, false, true},  {u"فس", false, false, true},
};

bool kindTakes(Kind kind, Ending ending, std::u16string_view suffix)
{
    switch (ending) {
    case Ending::None: return true;
    case Ending::Pronoun:
        return kind == Kind::Noun ? suffix != u"ني" : kind == Kind::Imperative || suffix != u"ي";
    case Ending::Subject: return kind == Kind::Past;
    case Ending::PastDual: return kind == Kind::Past || kind == Kind::Imperative;
    case Ending::PluralWaw: return kind == Kind::Past || kind == Kind::Present || kind == Kind::Imperative;
    case Ending::PluralUn:
    case Ending::Dual: return kind == Kind::Noun || kind == Kind::Present;
    case Ending::Feminine:
    case Ending::FemininePl:
    case Ending::Tanween: return kind == Kind::Noun;
    }
    return false;
}

// The letters a prefix is said with.
Glyph prefixGlyph(char16_t c) { return {c, c == u'ب' || c == kLam ? unsigned(Kasra) : unsigned(Fatha)}; }

void setLastVowel(Word& stem, unsigned vowel)
{
    stem.back().marks = (stem.back().marks & Shadda) | vowel;
}


// The stem with its ending, as said; none when the stem cannot take it.
std::vector<Word> withEnding(Word stem, Kind kind, Ending ending, std::u16string_view suffix)
{
    const char16_t last = stem.back().letter;
    const bool feminine = last == kTaMarbuta;
    auto tail = [&](Word w, std::initializer_list<Glyph> letters) {
        w.insert(w.end(), letters.begin(), letters.end());
        return w;
    };
    auto suffixGlyphs = [&](Word w, unsigned firstVowel) {
        // ه، ها، هم ...: the pronoun's first letter moves, a following long letter or mim is left
        // to the scanner.
        for (size_t i = 0; i < suffix.size(); ++i)
            w.push_back({suffix[i], i == 0 ? firstVowel : 0u});
        return w;
    };
    switch (ending) {
    case Ending::None:
        return {stem};
    case Ending::Pronoun: {
        if (isLong(last) || last == u'ء')
            return {};
        if (feminine)
            stem.back().letter = kTa;
        if (kind == Kind::Imperative)  // ٱتْرُكْهُ، ٱتْرُكِي
            setLastVowel(stem, suffix == u"ي" ? Kasra : Sukun);
        else if (kind != Kind::Past)
            setLastVowel(stem, suffix == u"ي" ? Kasra : Damma);
        if (suffix == u"ي")
            return {tail(stem, {{kYa, 0}})};
        const unsigned vowel = suffix == u"ه" || suffix == u"هم" || suffix == u"هما" || suffix == u"هن" ? Damma : Fatha;
        return {suffixGlyphs(stem, suffix == u"ني" ? Kasra : vowel)};
    }
    case Ending::Subject: {
        if (!plainPast(stem))
            return {};
        Word silent = stem;
        setLastVowel(silent, Sukun);
        if (suffix == u"ت")  // كَتَبْتُ, or كَتَبَتْ
            return {tail(silent, {{kTa, Damma}}), tail(stem, {{kTa, Sukun}})};
        return {suffixGlyphs(silent, suffix == u"نا" ? Fatha : Damma)};
    }
    case Ending::PluralWaw:
        if (isLong(last) || feminine)
            return {};
        setLastVowel(stem, Damma);
        return {tail(stem, {{kWaw, Sukun}, {kAlif, 0}})};
    case Ending::PastDual:
        if (isLong(last))
            return {};
        setLastVowel(stem, Fatha);
        return {tail(stem, {{kAlif, 0}})};
    case Ending::Feminine:
        if (isLong(last) || feminine)
            return {};
        setLastVowel(stem, Fatha);
        return {tail(stem, {{kTaMarbuta, 0}})};
    case Ending::FemininePl: {
        if (!feminine || stem.size() < 3)
            return {};
        stem.pop_back();
        // فَعْلَة makes فَعَلَات: the middle letter's vowel is left to the scanner.
        if (stem.size() == 3 && (stem[0].marks & Fatha) && stem[1].marks == Sukun)
            stem[1].marks = 0;
        setLastVowel(stem, Fatha);
        return {tail(stem, {{kAlif, 0}, {kTa, 0}})};
    }
    case Ending::Dual:
    case Ending::PluralUn: {
        if (isLong(last) || (feminine && ending == Ending::PluralUn) || (feminine && kind != Kind::Noun))
            return {};
        if (feminine)
            stem.back().letter = kTa;
        const char16_t longLetter = suffix[0];
        const unsigned vowel = longLetter == kAlif ? Fatha
                               : ending == Ending::Dual ? Fatha
                               : longLetter == kWaw ? Damma
                                                    : Kasra;
        setLastVowel(stem, vowel);
        return {tail(stem, {{longLetter, longLetter == kAlif ? 0u : unsigned(Sukun)}, {kNun, 0}})};
    }
    case Ending::Tanween:
        if (isLong(last) || feminine || last == u'ء')
            return {};
        setLastVowel(stem, Fathatan);
        return {tail(stem, {{kAlif, 0}})};
    }
    return {};
}

// A noun with no article nor suffix may carry a tanween: its ending is left to the scanner, which
// prices a tanween as for any word, and is offered once more with one, as the next likeliest
// reading (a known noun takes one far more often than an unknown word, which may be a verb or a
// particle).
bool takesTanween(Kind kind, const Word& w)
{
    return kind == Kind::Noun && w.back().marks == 0 && !isLong(w.back().letter);
}

Word withTanween(Word w)
{
    w.back().marks = Kasratan;
    return w;
}

// The reading with the written word's own marks kept; none when they contradict it. A shadda the
// text leaves out is kept; one it adds is a contradiction, except on the sun letter after the
// article, which the article doubles. A hamza written is never a wasl.
bool mergeMarks(Word& said, const Word& written, size_t sunLetter)
{
    constexpr unsigned kSaid = Vowel | Sukun;
    for (size_t i = 0; i < said.size(); ++i) {
        const char16_t w = written[i].letter;
        if ((w == kHamzaAbove || w == kHamzaBelow) && (said[i].letter == kAlifWasla || said[i].letter == kAlif))
            return false;
        const unsigned wm = written[i].marks;
        if (wm == 0)
            continue;
        const unsigned lm = said[i].marks;
        if ((wm & kSaid) && (lm & kSaid) && (wm & kSaid) != (lm & kSaid))
            return false;
        if ((wm & Shadda) && !(lm & Shadda) && i != sunLetter)
            return false;
        said[i].marks = (wm & ~(i == sunLetter ? unsigned(Shadda) : 0u)) | (lm & Shadda);
    }
    return true;
}

}  // namespace

namespace {

// A written word split as prefix + article + stem + suffix, the stem looked up in the lexicon.
struct Split {
    const Prefix& prefix;
    bool withArticle;
    bool lamBefore;  // the prefix ends on the preposition لِ: the article is only its lam (لل)
    const Suffix& suffix;
};

// The readings of one written word, gathered from every way it splits, likeliest first.
class ReadingSearch {
public:
    explicit ReadingSearch(const Word& written) : written_(written), index_(lexicon())
    {
        for (const Glyph& g : written)
            key_ += folded(g.letter);
    }

    LexiconReadings run()
    {
        constexpr size_t kMostReadings = 4;
        // The whole word first: when it is known, it is never split.
        if (const auto it = index_.find(std::u16string_view(key_)); it != index_.end()) {
            for (const Entry& e : it->second) {
                add(e.spelling, 0, size_t(-1), false, 0, e.derived);
                if (takesTanween(e.kind, e.spelling))
                    add(withTanween(e.spelling), 0, size_t(-1), false, 0, e.derived);
            }
            return likeliestFirst(found_.size());
        }
        for (const Prefix& prefix : kPrefixes)
            if (std::u16string_view(key_).starts_with(prefix.letters))
                splitAfter(prefix);
        return likeliestFirst(kMostReadings);
    }

private:
    // Readings that put a hamza where the text wrote a bare alif come after the others.
    struct Found {
        size_t hamzaGuessed;
        size_t stripped;
        bool open;  // read through a suffix, or a form made by rule: another word may be meant
        Word said;
    };

    // The rest of the word after the prefix, with and without the article.
    void splitAfter(const Prefix& prefix)
    {
        const std::u16string_view afterPrefix = std::u16string_view(key_).substr(prefix.letters.size());
        const bool lamBefore = !prefix.letters.empty() && prefix.letters.back() == kLam;
        const std::u16string_view article = lamBefore ? std::u16string_view(u"ل") : std::u16string_view(u"ال");
        for (const bool withArticle : {true, false}) {
            if (withArticle && (!prefix.nouns || !afterPrefix.starts_with(article)))
                continue;
            const std::u16string_view rest = withArticle ? afterPrefix.substr(article.size()) : afterPrefix;
            for (const Suffix& suffix : kSuffixes)
                if (rest.ends_with(suffix.letters))
                    lookUpStem(Split{prefix, withArticle, lamBefore, suffix}, rest);
        }
    }

    void lookUpStem(const Split& split, std::u16string_view rest)
    {
        const Suffix& suffix = split.suffix;
        if (split.withArticle && (suffix.ending == Ending::Pronoun || suffix.ending == Ending::Tanween))
            return;
        if (split.prefix.letters.empty() && !split.withArticle && suffix.letters.empty())
            return;  // the whole word, looked up first
        const std::u16string_view stemKey = rest.substr(0, rest.size() - suffix.letters.size());
        // Two letters and a final ي or alif are mostly a word of their own (صَبِيّ، صَبَا).
        const bool longEnding = suffix.letters == u"ي" || suffix.letters == u"ا";
        const size_t shortest = split.withArticle ? 2 : split.prefix.letters.empty() && !longEnding ? 2 : 3;
        if (stemKey.size() < shortest)
            return;
        if (const auto it = index_.find(stemKey); it != index_.end())
            for (const Entry& e : it->second)
                readEntry(split, e);
        // A ت before a suffix may be the feminine ة of the stem (ليلته، ليلتان).
        if (stemKey.back() == kTa && !suffix.letters.empty() && suffix.ending != Ending::FemininePl) {
            const std::u16string feminineKey = std::u16string(stemKey.substr(0, stemKey.size() - 1)) + kTaMarbuta;
            if (const auto it = index_.find(std::u16string_view(feminineKey)); it != index_.end())
                for (const Entry& e : it->second)
                    if (e.kind == Kind::Noun)
                        readEntry(split, e);
        }
    }

    void readEntry(const Split& split, const Entry& e)
    {
        const Prefix& prefix = split.prefix;
        const bool kindAllowed = e.kind == Kind::Noun                                ? prefix.nouns
                                 : e.kind == Kind::Past || e.kind == Kind::Imperative ? prefix.verbs
                                                                                      : prefix.presents;
        if (!kindAllowed || (split.withArticle && e.kind != Kind::Noun) ||
            !kindTakes(e.kind, split.suffix.ending, split.suffix.letters))
            return;
        std::vector<Word> stems = withEnding(e.spelling, e.kind, split.suffix.ending, split.suffix.letters);
        // لِ before the article and a stem opening with lam leaves one lam written, doubled
        // (لليل is لِلَّيْل); likelier than لِلَيْل.
        if (split.lamBefore && !split.withArticle && e.kind == Kind::Noun && !stems.empty() &&
            stems[0][0].letter == kLam) {
            Word doubled = stems[0];
            doubled[0].marks |= Shadda;
            stems.insert(stems.begin(), std::move(doubled));
        }
        for (Word& stem : stems)
            addStem(split, e, stem);
    }

    // The stem with its prefix and article before it, as said.
    void addStem(const Split& split, const Entry& e, Word& stem)
    {
        const Prefix& prefix = split.prefix;
        Word said;
        for (const char16_t c : prefix.letters)
            said.push_back(prefixGlyph(c));
        size_t sunLetter = size_t(-1);
        if (split.withArticle) {
            if (!split.lamBefore)
                said.push_back({kAlif, 0});
            said.push_back({kLam, 0});
            sunLetter = said.size();
        }
        // After the article (ال، لل) a wasl is written as a plain alif, as the scanner reads it
        // (الِانْتِظَار).
        if (split.withArticle && (prefix.letters.empty() || split.lamBefore) && stem[0].letter == kAlifWasla)
            stem[0] = {kAlif, 0};
        said.insert(said.end(), stem.begin(), stem.end());
        if (said.size() != written_.size())
            return;
        const bool dropAlif = split.withArticle && !split.lamBefore && !prefix.letters.empty();
        const size_t stripped = prefix.letters.size() + split.suffix.letters.size();
        const bool nunated = !split.withArticle && split.suffix.ending == Ending::None && takesTanween(e.kind, said);
        Word nunatedWord = nunated ? withTanween(said) : Word{};
        // The article and the prefixes are told apart surely enough; a suffix may be the stem's
        // own last letters (وقتك: وَقْتُكَ or وَقَتْكَ).
        const bool open = e.derived || !split.suffix.letters.empty();
        add(std::move(said), stripped, sunLetter, dropAlif, prefix.letters.size(), open);
        if (nunated)
            add(std::move(nunatedWord), stripped, sunLetter, dropAlif, prefix.letters.size(), open);
    }

    void add(Word said, size_t stripped, size_t sunLetter, bool dropAlif, size_t alifAt, bool open)
    {
        if (!mergeMarks(said, written_, sunLetter))
            return;
        size_t hamzaGuessed = 0;
        for (size_t i = 0; i < written_.size(); ++i)
            hamzaGuessed += written_[i].letter == kAlif &&
                            (said[i].letter == kHamzaAbove || said[i].letter == kHamzaBelow);
        if (dropAlif) {
            said.erase(said.begin() + alifAt);
            // The article's lam: silent or taken by a sun letter; moving before a wasl, which
            // falls (وَلِٱنْتِظَار).
            const bool beforeWasl = alifAt + 1 < said.size() && said[alifAt + 1].letter == kAlifWasla;
            said[alifAt].marks = beforeWasl ? unsigned(Kasra) : unsigned(Sukun);
        }
        for (const Found& f : found_)
            if (saidAlike(f.said, said))
                return;
        found_.push_back({hamzaGuessed, stripped, open, std::move(said)});
    }

    LexiconReadings likeliestFirst(size_t most)
    {
        std::stable_sort(found_.begin(), found_.end(), [](const Found& a, const Found& b) {
            return a.hamzaGuessed != b.hamzaGuessed ? a.hamzaGuessed < b.hamzaGuessed : a.stripped < b.stripped;
        });
        LexiconReadings readings{{}, true};
        for (Found& f : found_) {
            if (readings.words.size() == most)
                break;
            readings.whole = readings.whole && !f.open;
            readings.words.push_back(std::move(f.said));
        }
        return readings;
    }

    const Word& written_;
    const Index& index_;
    std::u16string key_;
    std::vector<Found> found_;
};

}  // namespace

LexiconReadings lexiconReadings(const Word& written)
{
    return ReadingSearch(written).run();
}

}  // namespace barqeen::prosody
