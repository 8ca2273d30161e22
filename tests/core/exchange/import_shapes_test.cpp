// The shapes verse files have in the wild: diwans typed by hand with their hemistichs apart by a
// sign or on lines of their own, titles and numbers among the verses, Persian letters and
// invisible marks, other encodings, spreadsheets' "Unicode text", JSON corpora. Each file gives
// the verses it must, byte for byte, and names its headings and refused lines.
#include "exchange_fixture.h"

#include "core/exchange/import_report.h"

using namespace barqeen;
using namespace barqeen::exchange;
using namespace barqeen::test;

namespace {

// Verses whose letters the rules give plainly: first hemistich, second, first letter, last.
struct Verse {
    std::string a, b, first, last;
    StoredVerse stored(std::string poet = {}, std::vector<std::string> categories = {}) const
    {
        return {a + "\r\n" + b, std::move(poet), std::move(categories), first, last};
    }
};

const Verse kV1{"ألا كل شيء ما خلا الله باطل", "وكل نعيم لا محالة زائل", "أ", "ل"};
const Verse kV2{"ولست بنحوي يلوك لسانه", "ولكن سليقي أقول فأعرب", "و", "ب"};
const Verse kV3{"سيذكرني قومي إذا جد جدهم", "وفي الليلة الظلماء يفتقد البدر", "س", "ر"};
const Verse kV4{"لكل شيء إذا ما تم نقصان", "فلا يغر بطيب العيش إنسان", "ل", "ن"};
const Verse kV5{"أعز مكان في الدنى سرج سابح", "وخير جليس في الزمان كتاب", "أ", "ب"};
const Verse kV6{"على قدر أهل العزم تأتي العزائم", "وتأتي على قدر الكرام المكارم", "ع", "م"};
// Two poems of one rhyme each, for the diwans that set each hemistich on a line of its own.
const Verse kLabid2{"وكل أناس سوف تدخل بينهم", "دويهية تصفر منها الأنامل", "و", "ل"};
const Verse kLabid3{"وكل امرئ يوما سيعلم سعيه", "إذا كشفت عند الإله المحاصل", "و", "ل"};
const Verse kShawqi1{"وما نيل المطالب بالتمني", "ولكن تؤخذ الدنيا غلابا", "و", "ب"};
const Verse kShawqi2{"وما استعصى على قوم منال", "إذا الإقدام كان لهم ركابا", "و", "ب"};

struct Heading {
    int line;
    std::string text;
    bool operator==(const Heading&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Heading& h)
{
    return os << "line " << h.line << ": " << h.text;
}

struct ShapeCase {
    const char* name;
    const char* fileName;
    std::string bytes;
    std::vector<StoredVerse> verses;
    std::vector<Heading> headings;
    std::vector<Refusing> refused;
    Layout layout = Layout::Auto;  // the one the file is read with (text only)
    Format format = Format::Text;
    Encoding encoding = Encoding::Utf8;
    ImportOptions options = {};
};

ImportOptions withLayout(Layout layout, HeadingPoet poet = HeadingPoet::None)
{
    ImportOptions o;
    o.layout.kind = layout;
    o.headingPoet = poet;
    return o;
}

std::string utf16le(const std::string& utf8, bool bom)
{
    const QString s = QString::fromStdString(utf8);
    std::string out = bom ? "\xFF\xFE" : "";
    for (const QChar c : s) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    return out;
}

std::string line(const Verse& v, std::string_view separator)
{
    return v.a + std::string(separator) + v.b + "\n";
}

std::vector<ShapeCase> cases()
{
    std::vector<ShapeCase> all;
    // One verse a line, the hemistichs apart by a sign: the sign that splits most lines wins, and a
    // line it does not split is a heading.
    const struct {
        Layout layout;
        std::string_view separator, other;
    } signs[] = {
        {Layout::Spaces, "     ", "  "},   {Layout::Star, " * ", " * "},     {Layout::Stars, " *** ", " *** "},
        {Layout::Dots, " ... ", " ... "}, {Layout::Ellipsis, " … ", " … "}, {Layout::Dash, " - ", " – "},
        {Layout::Hash, " # ", " # "},     {Layout::Bar, " | ", " | "},
    };
    for (const auto& s : signs) {
        ShapeCase c{"", "diwan.txt",
                    "قصيدة في الحكمة\n" + line(kV1, s.separator) + line(kV2, s.other) + line(kV3, s.separator),
                    {kV1.stored(), kV2.stored(), kV3.stored()},
                    {{1, "قصيدة في الحكمة"}},
                    {},
                    s.layout};
        c.name = layoutName(s.layout).data();
        all.push_back(c);
    }
    all.push_back({"TAB: a line of three pieces is no verse", "tab.txt",
                   line(kV1, "\t") + line(kV2, "\t") + line(kV3, "\t") + "أ\tب\tج\n",
                   {kV1.stored(), kV2.stored(), kV3.stored()},
                   {},
                   {{4, Refusal::NotOneVerse}},
                   Layout::Tab});
    all.push_back({"numbers dropped (ASCII, Arabic-Indic, Persian, in brackets); the heading names the poet",
                   "numbered.txt",
                   "المتنبي\n1. " + line(kV1, " * ") + "١- " + line(kV2, " * ") + "۱۲. " + line(kV3, " * ") +
                       "(4) " + line(kV4, " * ") + "\nأبو تمام\nفي المدح\n٥) " + line(kV5, " * "),
                   {kV1.stored("المتنبي"), kV2.stored("المتنبي"), kV3.stored("المتنبي"), kV4.stored("المتنبي"),
                    kV5.stored("أبو تمام")},
                   {{1, "المتنبي"}, {7, "أبو تمام"}, {8, "في المدح"}},
                   {},
                   Layout::Star,
                   Format::Text,
                   Encoding::Utf8,
                   withLayout(Layout::Auto, HeadingPoet::First)});
    all.push_back({"two lines a verse, numbered, titles and poets' names in blocks of their own", "two-lines.txt",
                   "في الحكمة\nالمتنبي\n\n١. " + kV6.a + "\n" + kV6.b + "\n٢. " + kV1.a + "\n" + kV1.b +
                       "\n٣. " + kV2.a + "\n\nأبو فراس\n\n١. " + kV3.a + "\n   " + kV3.b + "\n",
                   {kV6.stored("المتنبي"), kV1.stored("المتنبي"), kV3.stored("أبو فراس")},
                   {{1, "في الحكمة"}, {2, "المتنبي"}, {10, "أبو فراس"}},
                   {{8, Refusal::NotOneVerse}},
                   Layout::TwoLines,
                   Format::Text,
                   Encoding::Utf8,
                   withLayout(Layout::Auto, HeadingPoet::Last)});
    all.push_back({"two lines a verse, numbered, each poem under a title and a poet: found by the numbers",
                   "found.txt",
                   "في الحكمة\nالمتنبي\n\n١. " + kV6.a + "\n" + kV6.b + "\n٢. " + kV5.a + "\n" + kV5.b +
                       "\n\nفي الفخر\nأبو فراس\n\n١. " + kV3.a + "\n" + kV3.b + "\n",
                   {kV6.stored(), kV5.stored(), kV3.stored()},
                   {{1, "في الحكمة"}, {2, "المتنبي"}, {9, "في الفخر"}, {10, "أبو فراس"}},
                   {},
                   Layout::TwoLines});
    all.push_back({"two lines a verse without numbers, chosen: a poem of an odd count of lines opens with its title",
                   "chosen.txt",
                   "قصيدة\n" + kV1.a + "\n" + kV1.b + "\n\n\n" + kV2.a + "\n" + kV2.b + "\n" + kV3.a + "\n" + kV3.b,
                   {kV1.stored(), kV2.stored(), kV3.stored()},
                   {{1, "قصيدة"}},
                   {},
                   Layout::TwoLines,
                   Format::Text,
                   Encoding::Utf8,
                   withLayout(Layout::TwoLines)});
    all.push_back({"a chosen separator", "custom.txt", "غزل\n" + line(kV4, " // ") + line(kV5, "//"),
                   {kV4.stored(), kV5.stored()},
                   {{1, "غزل"}},
                   {},
                   Layout::Custom,
                   Format::Text,
                   Encoding::Utf8,
                   [] {
                       ImportOptions o;
                       o.layout = {Layout::Custom, "//"};
                       return o;
                   }()});
    all.push_back({"Persian and Urdu letters folded, invisible marks and odd spaces gone before the duplicate check",
                   "persian.txt",
                   "ألا کل شيء ما خلا الله باطل\tوکل نعیم لا محالة زائل\n"                        // ک ی
                   "ألا كل\u200c شيء ما خلا\u00a0الله باطل\u200f\tوكل نعيم لا محالة زائل\n"    // ZWNJ NBSP RLM
                   "\u202bسيذكرني قومي إذا جد\u061c جدهم\u202c\tوفي الليلة الظلماء يفتقد البدر\n"  // RLE ALM PDF
                   "ھل غادر الشعراء من متردم\tأم ھل عرفت الدار بعد توہم\n"                      // ھ ہ
                   "يا ليل الصب متى غده\t🌙\n",
                   {kV1.stored(), kV3.stored(),
                    {"هل غادر الشعراء من متردم\r\nأم هل عرفت الدار بعد توهم", "", {}, "ه", "م"}},
                   {},
                   {{2, Refusal::DuplicateInFile}, {5, Refusal::Unmappable}},
                   Layout::Tab});
    all.push_back({"UTF-8 but for one byte: UTF-8, that line refused", "one-bad-byte.txt",
                   line(kV1, "\t") + kV2.a + "\xFF\t" + kV2.b + "\n" + line(kV3, "\t"),
                   {kV1.stored(), kV3.stored()},
                   {},
                   {{2, Refusal::BadEncoding}},
                   Layout::Tab});
    all.push_back({"UTF-16 without a byte-order mark, lines ended by CR alone", "utf16.txt",
                   utf16le(kV1.a + "\t" + kV1.b + "\r" + kV2.a + "\t" + kV2.b + "\r", false),
                   {kV1.stored(), kV2.stored()},
                   {},
                   {},
                   Layout::Tab,
                   Format::Text,
                   Encoding::Utf16});
    all.push_back({"a spreadsheet's \"Unicode text\": UTF-16 with a header row in a .txt is TSV", "sheet.txt",
                   utf16le("text\tpoet\tcategories\r\n\"" + kV4.a + "\n" + kV4.b + "\"\tأبو البقاء\tرثاء\r\n", true),
                   {kV4.stored("أبو البقاء", {"رثاء"})},
                   {},
                   {},
                   Layout::Auto,
                   Format::Tsv,
                   Encoding::Utf16});
    all.push_back({"CSV: trailing fields left out are empty; a quote left open names every line it spans",
                   "sheet.csv",
                   "text,poet,categories\n" + kV1.a + "," + "\n" + kV2.a + "\n\"" + kV3.a + ",أحد\n" + kV4.a +
                       ",آخر\n\"" + kV5.a + "\",ثالث\n" + kV6.a + ",المتنبي,حكمة\n",
                   {{kV1.a, "", {}, "أ", "ل"}, {kV2.a, "", {}, "و", "ه"}, {kV6.a, "المتنبي", {"حكمة"}, "ع", "م"}},
                   {},
                   {{4, Refusal::Malformed}},
                   Layout::Auto,
                   Format::Csv});
    all.push_back({"a .json array of objects over several lines, hemistichs by their common names", "corpus.json",
                   "[\n"
                   "  {\"sadr\": \"" + kV1.a + "\", \"ajuz\": \"" + kV1.b + "\", \"poet\": \"لبيد\"},\n"
                   "  {\"shatr1\": \"" + kV2.a + "\", \"shatr2\": \"" + kV2.b + "\"},\n"
                   "  {\n"
                   "    \"الشطر الأيمن\": \"" + kV3.a + "\",\n"
                   "    \"الشطر الايسر\": \"" + kV3.b + "\"\n"
                   "  },\n"
                   "  {\"title\": \"قصيدة\", \"body\": \"" + kV4.a + "\"},\n"
                   "  {\"text\": \"" + kV5.a + "\\n" + kV5.b + "\\n" + kV6.a + "\\n" + kV6.b + "\"},\n"
                   "  {\"الصدر\": \"" + kV6.a + "\", \"العجز\": \"" + kV6.b + "\"}\n"
                   "]\n",
                   {kV1.stored("لبيد"), kV2.stored(), kV3.stored(), kV6.stored()},
                   {},
                   {{8, Refusal::Malformed}, {9, Refusal::NotOneVerse}},
                   Layout::Auto,
                   Format::JsonLines});
    all.push_back({"JSON Lines with a poem a line: hemistichs two by two, verses as pairs or objects", "poems.jsonl",
                   "{\"poet\": \"المتنبي\", \"title\": \"x\", \"verses\": [\"" + kV6.a + "\", \"" + kV6.b + "\", \"" +
                       kV1.a + "\", \"" + kV1.b + "\"]}\n"
                       "{\"abyat\": [[\"" + kV2.a + "\", \"" + kV2.b + "\"]], \"poet\": \"أبو الطيب\"}\n"
                       "{\"poem\": [{\"sadr\": \"" + kV3.a + "\", \"ajuz\": \"" + kV3.b + "\"}], \"categories\": [\"فخر\"]}\n"
                       "{\"verses\": [\"" + kV4.a + "\", \"" + kV4.b + "\", \"" + kV5.a + "\"]}\n",
                   {kV6.stored("المتنبي"), kV1.stored("المتنبي"), kV2.stored("أبو الطيب"), kV3.stored("", {"فخر"}),
                    kV4.stored()},
                   {},
                   {{4, Refusal::NotOneVerse}},
                   Layout::Auto,
                   Format::JsonLines});
    all.push_back({"two lines a verse, no blank line nor number: every other line rhymes; a poet's name above "
                   "each poem is a heading, its label before the colon dropped",
                   "rhymes.txt",
                   "للشاعر: لبيد\n" + kV1.a + "\n" + kV1.b + "\n" + kLabid2.a + "\n" + kLabid2.b + "\n" + kLabid3.a +
                       "\n" + kLabid3.b + "\nالشاعر: أحمد شوقي\n" + kShawqi1.a + "\n" + kShawqi1.b + "\n" +
                       kShawqi2.a + "\n" + kShawqi2.b + "\n",
                   {kV1.stored("لبيد"), kLabid2.stored("لبيد"), kLabid3.stored("لبيد"), kShawqi1.stored("أحمد شوقي"),
                    kShawqi2.stored("أحمد شوقي")},
                   {{1, "للشاعر: لبيد"}, {8, "الشاعر: أحمد شوقي"}},
                   {},
                   Layout::TwoLines,
                   Format::Text,
                   Encoding::Utf8,
                   withLayout(Layout::Auto, HeadingPoet::Last)});
    all.push_back({"two lines a verse under a title and a poet, no number: the short lines are headings",
                   "titled.txt",
                   "مجهول\n" + kV1.a + "\n" + kV1.b + "\n" + kLabid2.a + "\n" + kLabid2.b + "\n" + kLabid3.a + "\n" +
                       kLabid3.b + "\n\nفي الحكمة\nأحمد شوقي\n" + kShawqi1.a + "\n" + kShawqi1.b + "\n" + kShawqi2.a +
                       "\n" + kShawqi2.b + "\n",
                   {kV1.stored(), kLabid2.stored(), kLabid3.stored(), kShawqi1.stored(), kShawqi2.stored()},
                   {{1, "مجهول"}, {9, "في الحكمة"}, {10, "أحمد شوقي"}},
                   {},
                   Layout::TwoLines});
    all.push_back({"a spreadsheet with the two hemistichs and the verse joined: the hemistichs are taken",
                   "both.csv",
                   "الشطر الأيمن,الشطر الأيسر,البيت\n" + kV4.a + "," + kV4.b + "," + kV4.a + " " + kV4.b + "\n",
                   {kV4.stored()},
                   {},
                   {},
                   Layout::Auto,
                   Format::Csv});
    all.push_back({"JSON Lines with the verse joined by # beside verse_part1 and verse_part2", "parts.jsonl",
                   "{\"verse\": \"" + kV5.a + " # " + kV5.b + "\", \"verse_part1\": \"" + kV5.a +
                       "\", \"verse_part2\": \"" + kV5.b + "\", \"poet\": \"المتنبي\"}\n",
                   {kV5.stored("المتنبي")},
                   {},
                   {},
                   Layout::Auto,
                   Format::JsonLines});
    all.push_back({"JSON Lines of whole poems: each element of \"poem verses\" a verse, or a hemistich", "poems2.jsonl",
                   "{\"poem title\": \"لامية\", \"poem meter\": \"الطويل\", \"poet\": \"لبيد\", \"poem verses\": [\"" +
                       kV1.a + " * " + kV1.b + "\", \"" + kLabid2.a + " * " + kLabid2.b + "\"]}\n"
                       "{\"poem title\": \"x\", \"poet\": \"أحمد شوقي\", \"poem verses\": [\"" + kShawqi1.a +
                       "\", \"" + kShawqi1.b + "\", \"" + kShawqi2.a + "\", \"" + kShawqi2.b + "\"]}\n",
                   {kV1.stored("لبيد"), kLabid2.stored("لبيد"), kShawqi1.stored("أحمد شوقي"), kShawqi2.stored("أحمد شوقي")},
                   {},
                   {},
                   Layout::Auto,
                   Format::JsonLines});
    return all;
}

TEST(ImportShapesTest, EachShapeGivesItsVersesHeadingsAndRefusals)
{
    for (const ShapeCase& c : cases()) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        PoemStore store{dir.path()};
        store.OpenTables();
        const std::string source = dir.file(c.fileName);
        writeFile(source, c.bytes);
        VerseImport import(store, source, c.options);
        const ImportResult& result = import.run();
        ASSERT_EQ(result.outcome, ImportResult::Outcome::Done) << result.error;
        EXPECT_EQ(result.format, c.format);
        EXPECT_EQ(result.encoding, c.encoding);
        if (c.format == Format::Text) {
            EXPECT_EQ(result.layout.kind, c.layout);
        }
        EXPECT_EQ(storedVerses(store), c.verses);
        std::vector<Heading> headings;
        for (const auto& h : result.headings)
            headings.push_back({h.line, h.text});
        EXPECT_EQ(headings, c.headings);
        std::vector<Refusing> refused;
        for (const RefusedLine& r : result.refused)
            refused.push_back({r.line, r.reason});
        EXPECT_EQ(refused, c.refused);
        for (const RefusedLine& r : result.refused)
            EXPECT_FALSE(r.detail.empty()) << r.line;
    }
}

}  // namespace
