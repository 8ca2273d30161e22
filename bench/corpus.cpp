#include "corpus.h"

#include "core/rules/turn_rules.h"
#include "core/store/poem_store.h"
#include "core/text/letters.h"

#include <algorithm>
#include <string_view>

namespace barqeen::corpus {
namespace {

// splitmix64: small, fast, and the same everywhere (the standard distributions are not).
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1
    uint32_t below(uint32_t n) { return uint32_t((next() >> 32) * n >> 32); }
    bool chance(uint32_t percent) { return below(100) < percent; }

private:
    uint64_t state_;
};

// The letters a root is made of: the 27 consonants (و and ي included) with their own shapes.
constexpr std::string_view kRootLetters =
    "\xC8\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDA\xDB\xDD\xDE\xDF\xE1\xE3\xE4\xE5\xE6"
    "\xED";

// Word patterns: 1, 2, 3 stand for the root's letters; the rest is written as it is.
constexpr std::string_view kPatterns[] = {
    "123",                   // فعل
    "1\xC7" "23",            // فاعل
    "\xE3" "12\xE6" "3",     // مفعول
    "12\xED" "3",            // فعيل
    "12\xC7" "3",            // فعال
    "\xC3" "12\xC7" "3",     // أفعال
    "\xE3" "1\xC7" "23",     // مفاعل
    "\xCA" "12\xED" "3",     // تفعيل
    "123\xC9",               // فعلة
    "\xC7" "1\xCA" "2\xC7" "3",  // افتعال
    "\xC7\xD3\xCA" "123",    // استفعل
    "123\xC7\xC1",           // فعلاء
    "\xED" "123",            // يفعل
    "\xC5" "12\xC7" "3",     // إفعال
    "12\xE6" "3",            // فعول
    "123\xEC",               // فعلى
    "\xE3" "123\xC9",        // مفعلة
    "1\xC7\xC6" "3",         // فائل
    "\xE3\xC4" "23",         // مؤمن
    "\xC2" "23",             // آمن
    "\xC3" "23",             // أمر
    "12\xC1",                // بدء
    "\xC3" "123",            // أفعل
    "\xE3" "123",            // مفعل
    "\xCA" "123",            // تفعل
    "\xE4" "123",            // نفعل
    "1\xC7" "2\xED" "3",     // فاعيل
    "12\xC7\xC6" "3",        // فعائل
};

constexpr std::string_view kArticle = "\xC7\xE1";  // ال
constexpr char kWaw = '\xE6', kFeh = '\xDD';

bool isAlifForm(char c)
{
    return c == '\xC7' || c == '\xC3' || c == '\xC5' || c == '\xC2';
}

std::string makeWord(Random& random, bool first)
{
    const std::string_view pattern = kPatterns[random.below(std::size(kPatterns))];
    char root[3];
    for (char& r : root)
        r = kRootLetters[random.below(uint32_t(kRootLetters.size()))];
    std::string word;
    for (char c : pattern)
        word += c >= '1' && c <= '3' ? root[c - '1'] : c;
    if (word.size() <= 4 && random.chance(25))
        word.insert(0, kArticle);
    if (first && word.size() <= 5) {  // a verse often opens with "and" or "so"
        const uint32_t r = random.below(100);
        if (r < 30)
            word.insert(word.begin(), kWaw);
        else if (r < 38)
            word.insert(word.begin(), kFeh);
    }
    return word;
}

// Short vowels after most letters, now and then a shadda or a tanween at a word's end.
std::string withMarks(Random& random, std::string_view plain)
{
    constexpr char kShortVowels[] = {'\xF3', '\xF3', '\xF5', '\xF6', '\xFA'};  // fatha twice, damma, kasra, sukun
    constexpr char kTanween[] = {'\xF0', '\xF1', '\xF2'};
    std::string out;
    out.reserve(plain.size() * 2);
    for (size_t i = 0; i < plain.size(); ++i) {
        const char c = plain[i];
        out += c;
        if (c == ' ' || c == '\r' || c == '\n' || isAlifForm(c) || c == '\xEC')
            continue;
        const bool wordEnd = i + 1 == plain.size() || plain[i + 1] == ' ' || plain[i + 1] == '\r';
        if (wordEnd && random.chance(15)) {
            out += kTanween[random.below(3)];
            continue;
        }
        if (random.chance(4))
            out += '\xF8';
        if (random.chance(60))
            out += kShortVowels[random.below(std::size(kShortVowels))];
    }
    return out;
}

std::string makeHemistich(Random& random, bool first)
{
    std::string out;
    for (int n = 4 + int(random.below(3)), i = 0; i < n; ++i) {
        if (i > 0)
            out += ' ';
        out += makeWord(random, first && i == 0);
    }
    return out;
}

std::string makeCategories(Random& random)
{
    const uint32_t r = random.below(100);
    const int count = r < 40 ? 0 : r < 70 ? 1 : r < 90 ? 2 : 3;
    std::vector<int> tags;
    while (int(tags.size()) < count) {
        const int tag = 1 + int(random.below(40));
        if (std::find(tags.begin(), tags.end(), tag) == tags.end())
            tags.push_back(tag);
    }
    std::sort(tags.begin(), tags.end());
    std::string out;
    for (int tag : tags) {
        out += '(';
        out += std::to_string(tag);
        out += ')';
    }
    return out;
}

}  // namespace

std::vector<Verse> MakeVerses(uint64_t seed, size_t count)
{
    Random random(seed);
    std::vector<Verse> verses;
    verses.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        Verse v;
        const uint32_t between = random.below(100);
        std::string text = makeHemistich(random, true) + (between < 10 ? "\r\n" : between < 55 ? " " : "  ") +
                           makeHemistich(random, false);
        v.text = random.chance(35) ? withMarks(random, text) : std::move(text);

        const std::string form = NormalizeText(v.text);
        v.startLetter = form.empty() ? PlayableLetters[0] : isAlifForm(form[0]) ? '\xC3' : form[0];
        if (!GetEndLetter(v.text, v.endLetter))
            v.endLetter = PlayableLetters[random.below(uint32_t(PlayableLetters.size()))];
        v.authorId = int32_t(1 + random.below(3000));
        v.categories = makeCategories(random);
        verses.push_back(std::move(v));
    }
    return verses;
}

std::vector<Row> VerseRows(const std::vector<Verse>& verses)
{
    std::vector<Row> rows;
    rows.reserve(verses.size());
    int64_t key = 1;
    for (const Verse& v : verses) {
        Row row;
        row.cells.reserve(6);
        row.cells.emplace_back(key++);
        row.cells.emplace_back(v.text);
        row.cells.emplace_back(int64_t(v.authorId));
        row.cells.emplace_back(std::string_view(&v.startLetter, 1));
        row.cells.emplace_back(std::string_view(&v.endLetter, 1));
        row.cells.push_back(v.categories.empty() ? Value() : Value(v.categories));
        rows.push_back(std::move(row));
    }
    return rows;
}

void LoadVerses(PoemStore& store, const std::vector<Verse>& verses)
{
    Table& poem = store.cdsPoem;
    poem.setStorage(nullptr);
    poem.setFiltered(false);
    poem.load(VerseRows(verses), int64_t(verses.size()) + 1);
}

}  // namespace barqeen::corpus
