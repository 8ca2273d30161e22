// The starter collection that a new user may load: every verse is taken by the import as it is,
// with its poet, topics and meter from the fixed lists, one spelling a poet, every poet in the
// public domain; enough verses for a game from every letter.
#include "exchange_fixture.h"

#include "core/rules/turn_rules.h"
#include "core/text/letters.h"
#include "core/text/verse_check.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <map>

using namespace barqeen;
using namespace barqeen::exchange;
using namespace barqeen::test;

namespace {

const std::string kVerses = STARTER_DIR "/verses.jsonl";
const QString kPoets = QStringLiteral(STARTER_DIR "/poets.tsv");

std::vector<QJsonObject> entries()
{
    QFile file(QString::fromStdString(kVerses));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    std::vector<QJsonObject> out;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.trimmed().isEmpty())
            out.push_back(QJsonDocument::fromJson(line).object());
    return out;
}

// The collection loaded into a new folder's tables, as the program loads it.
class StarterCollectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.OpenTables();
        ImportOptions options;
        options.writeReport = false;
        VerseImport import(store, kVerses, options);
        result = import.run();
    }

    TempFolder dir;
    PoemStore store{dir.path()};
    ImportResult result;
};

TEST_F(StarterCollectionTest, EveryVerseIsTakenWithItsLettersAndNoneRepeats)
{
    ASSERT_EQ(result.outcome, ImportResult::Outcome::Done) << result.error;
    for (const RefusedLine& r : result.refused)
        ADD_FAILURE() << "line " << r.line << ": " << r.detail << " «" << r.excerpt << "»";
    EXPECT_EQ(result.taken, entries().size());
    EXPECT_TRUE(result.headings.empty());
    // Every verse has the two hemistichs the verse table keeps on two lines.
    const int text = store.cdsPoem.field("Text").column();
    for (int r = 0; r < store.cdsPoem.rowCount(); ++r)
        EXPECT_EQ(std::count(store.cdsPoem.rowAt(r).cells[size_t(text)].text().begin(),
                             store.cdsPoem.rowAt(r).cells[size_t(text)].text().end(), '\n'),
                  1);
}

// A player may answer with any verse of the collection: each passes the game's check of a typed
// verse, as the game judges it (its matching form), with the game's options as they come. It is
// typed on one line, a space between its hemistichs (the matching form joins two lines into one
// word).
TEST_F(StarterCollectionTest, EveryVersePassesTheGamesVerseCheck)
{
    ASSERT_EQ(result.outcome, ImportResult::Outcome::Done);
    const int text = store.cdsPoem.field("Text").column();
    for (int r = 0; r < store.cdsPoem.rowCount(); ++r) {
        std::string verse(store.cdsPoem.rowAt(r).cells[size_t(text)].text());
        const size_t lineBreak = verse.find("\r\n");
        ASSERT_NE(lineBreak, std::string::npos);
        verse.replace(lineBreak, 2, " ");
        const VerseFault fault = CheckVerseRules(NormalizeText(verse));
        EXPECT_EQ(fault, VerseFault::None) << utf8(verse) << ": " << utf8(VerseFaultMessage(fault));
    }
}

TEST(StarterCollection, TopicsMetersAndSourcesComeFromTheFixedLists)
{
    const QSet<QString> topics{QStringLiteral("حكمة"), QStringLiteral("غزل"), QStringLiteral("فخر"),  QStringLiteral("مدح"),  QStringLiteral("رثاء"),   QStringLiteral("هجاء"),  QStringLiteral("وصف"),
                               QStringLiteral("زهد"),  QStringLiteral("حنين"), QStringLiteral("عتاب"), QStringLiteral("حماسة"), QStringLiteral("اعتذار"), QStringLiteral("شكوى"), QStringLiteral("دين")};
    const QSet<QString> meters{QStringLiteral("الطويل"), QStringLiteral("المديد"),  QStringLiteral("البسيط"),  QStringLiteral("الوافر"),  QStringLiteral("الكامل"),  QStringLiteral("الهزج"),
                               QStringLiteral("الرجز"),  QStringLiteral("الرمل"),   QStringLiteral("السريع"),  QStringLiteral("المنسرح"), QStringLiteral("الخفيف"),  QStringLiteral("المضارع"),
                               QStringLiteral("المقتضب"), QStringLiteral("المجتث"), QStringLiteral("المتقارب"), QStringLiteral("المتدارك")};
    int line = 0;
    for (const QJsonObject& e : entries()) {
        ++line;
        SCOPED_TRACE(line);
        const QJsonArray given = e[u"topics"].toArray();
        EXPECT_TRUE(given.size() >= 1 && given.size() <= 3) << given.size();
        for (const QJsonValue& t : given)
            EXPECT_TRUE(topics.contains(t.toString())) << t.toString().toStdString();
        EXPECT_TRUE(meters.contains(e[u"meter"].toString())) << e[u"meter"].toString().toStdString();
        EXPECT_FALSE(e[u"source"].toString().trimmed().isEmpty());
        EXPECT_FALSE(e[u"sadr"].toString().trimmed().isEmpty());
        EXPECT_FALSE(e[u"ajuz"].toString().trimmed().isEmpty());
    }
}

// A name as compared for "the same poet written twice": alif forms, ى/ي, ة/ه and spaces folded.
QString poetKey(QString name)
{
    for (const QChar alif : {u'أ', u'إ', u'آ'})
        name.replace(alif, u'ا');
    name.replace(u'ى', u'ي').replace(u'ة', u'ه').remove(u' ');
    return name;
}

TEST(StarterCollection, EachPoetHasOneSpellingAndDiedBefore1950)
{
    QFile file(kPoets);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::map<QString, int> died;  // poet -> year of death (CE)
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n').mid(1)) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() < 2)
            continue;
        bool number = false;
        const int year = fields[1].toInt(&number);
        EXPECT_TRUE(number) << "no year for " << fields[0].toStdString();
        died[fields[0]] = number ? year : 9999;
    }
    std::map<QString, QString> spellings;  // key -> the spelling first seen
    for (const QJsonObject& e : entries()) {
        const QString poet = e[u"poet"].toString();
        ASSERT_FALSE(poet.isEmpty());
        const auto [at, isNew] = spellings.try_emplace(poetKey(poet), poet);
        EXPECT_EQ(at->second.toStdString(), poet.toStdString()) << "two spellings of one poet";
        if (!isNew)
            continue;
        const auto year = died.find(poet);
        if (year == died.end()) {
            ADD_FAILURE() << poet.toStdString() << " is not in poets.tsv";
        } else {
            EXPECT_LT(year->second, 1950) << poet.toStdString();
        }
    }
    EXPECT_GE(spellings.size(), 100u);
}

// What the collection counts of each letter's starts and ends and each meter, against what a
// game needs: 40 verses a start letter (15 for the rarest), 5 a last letter. Where real verses
// fall short the count reached is written down below, so that it can only grow.
TEST_F(StarterCollectionTest, EveryLetterStartsAndEndsEnoughVersesForAGame)
{
    ASSERT_EQ(result.outcome, ImportResult::Outcome::Done);
    EXPECT_GE(store.cdsPoem.rowCount(), 3000);
    std::map<char, int> starts, ends;
    for (const char letter : PlayableLetters) {
        starts[letter] = store.cdsPoem.countRowsWith("StartLetter", std::string(1, letter));
        ends[letter] = store.cdsPoem.countRowsWith("EndLetter", std::string(1, letter));
    }
    const std::string rare = cp("ظضثذغط");
    const std::map<std::string, int> startsShort = {
        {"ج", 30}, {"خ", 35}, {"د", 27}, {"ذ", 23}, {"ز", 13}, {"ش", 22},
        {"ص", 28}, {"ض", 13}, {"ط", 14}, {"ظ", 11}, {"غ", 24}, {"ن", 37},
    };
    const std::map<std::string, int> endsShort = {
        {"خ", 0}, {"ذ", 0}, {"ز", 1}, {"ش", 2}, {"ص", 1}, {"ط", 0}, {"ظ", 0}, {"غ", 0},
    };
    for (const char letter : PlayableLetters) {
        const std::string name = utf8(std::string_view(&letter, 1));
        SCOPED_TRACE(name);
        const int startGoal = rare.find(letter) != std::string::npos ? 15 : 40;
        const auto shortStart = startsShort.find(name);
        EXPECT_GE(starts[letter], shortStart == startsShort.end() ? startGoal : shortStart->second);
        const auto shortEnd = endsShort.find(name);
        EXPECT_GE(ends[letter], shortEnd == endsShort.end() ? 5 : shortEnd->second);
    }
}

// The computer against a player who answers from the same collection: each side says a verse
// that begins with the letter the other's ended on, never one said before. From every letter the
// start-letter dialog offers, the game lasts at least 30 rounds.
TEST_F(StarterCollectionTest, AGameFromEveryStartLetterLastsThirtyRounds)
{
    ASSERT_EQ(result.outcome, ImportResult::Outcome::Done);
    for (const char start : OfferedLetters) {
        SCOPED_TRACE(utf8(std::string_view(&start, 1)));
        for (const uint64_t seed : {1u, 2u, 3u}) {
            TurnRules rules(store.cdsPoem, [](std::string_view) {});
            rules.setSeed(seed);
            std::string verse;
            char letter = start, next = 0;
            int said = 0;
            while (said < 60 && rules.PickComputerVerse(std::string_view(&letter, 1), verse, next)) {
                letter = next;
                rules.setSeed(seed * 1000 + uint64_t(said));
                ++said;
            }
            EXPECT_GE(said / 2, 30) << "seed " << seed;
            store.cdsPoem.setFiltered(false);
        }
    }
}

}  // namespace
