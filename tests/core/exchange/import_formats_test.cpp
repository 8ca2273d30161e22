// Small files of each kind, each with the verses it must give and the lines it must refuse.
#include "exchange_fixture.h"

#include "core/exchange/import_report.h"

using namespace barqeen;
using namespace barqeen::exchange;
using namespace barqeen::test;

namespace {

struct FileCase {
    const char* name;
    const char* fileName;  // its extension tells the format
    std::string bytes;
    std::vector<StoredVerse> verses;  // added after the verse already in the table
    std::vector<Refusing> refused;
    Encoding encoding = Encoding::Utf8;  // the one the import should recognise
};

const char* const kUtf8Bom = "\xEF\xBB\xBF";

std::vector<FileCase> cases()
{
    return {
        {"plain text: a TAB between the hemistichs, blank lines and CR LF ignored, duplicates by matching form",
         "diwan.txt",
         "على قدر أهل العزم تأتي العزائم\tوتأتي على قدر الكرام المكارم\r\n"
         "\r\n"
         "   \t  \r\n"
         "إذا غامرت في شرف مروم\r\n"
         "كأنما ثغرها لؤلؤ\n"
         "قِفا نَبكِ مِن ذِكرى حَبيبٍ وَمَنزِلِ\n"
         "اذا غامرت في  شرف مروم",
         {{"على قدر أهل العزم تأتي العزائم\r\nوتأتي على قدر الكرام المكارم", "", {}, "ع", "م"},
          {"إذا غامرت في شرف مروم", "", {}, "أ", "م"}},
         {{5, Refusal::NoLastLetter}, {6, Refusal::DuplicateInTable}, {7, Refusal::DuplicateInFile}}},

        {"CSV with a byte-order mark: quoting, CR LF inside and between rows, unknown columns, poets and "
         "categories found or made, malformed rows",
         "poems.csv",
         std::string(kUtf8Bom) +
             "id,text,poet,notes,categories\r\n"
             "1,\"الخيل والليل والبيداء تعرفني\r\nوالسيف والرمح والقرطاس والقلم\",المتنبي,\"note, with comma\",\"حكمة; فخر\"\r\n"
             "2,\"ومن يتهيب صعود الجبال\tيعش أبد الدهر بين الحفر\",أبو القاسم الشابي,,حكمة،غزل\r\n"
             "3,\"قالت \"\"نعم\"\" ثم ولت عنك مسرعة\",  امرؤ  القيس ,x,غزل\r\n"
             "5,\"بيت\"x,a,b,c\r\n"
             "6,,المتنبي,,\r\n"
             "7,only,three\r\n"
             ",,,,\r\n"
             "8,أعز مكان في الدنى سرج سابح,المتنبي,,\"حكمة\"\r\n"
             "9,\"مفتوح بلا إغلاق,x,y,z\r\n",
         {{"الخيل والليل والبيداء تعرفني\r\nوالسيف والرمح والقرطاس والقلم", "المتنبي", {"حكمة", "فخر"}, "أ", "م"},
          {"ومن يتهيب صعود الجبال\r\nيعش أبد الدهر بين الحفر", "أبو القاسم الشابي", {"غزل", "حكمة"}, "و", "ر"},
          {"قالت \"نعم\" ثم ولت عنك مسرعة", "امرؤ القيس", {"غزل"}, "ق", "ع"},
          {"أعز مكان في الدنى سرج سابح", "المتنبي", {"حكمة"}, "أ", "ح"}},
         // Row 8 leaves its last fields out: they are empty, and "only" has no Arabic letter.
         {{6, Refusal::Malformed}, {7, Refusal::EmptyText}, {8, Refusal::NoLastLetter}, {11, Refusal::Malformed}}},

        {"TSV with the hemistichs in two columns, letters given, a poet too long, a letter that is none",
         "poems.tsv",
         "hemistich1\themistich2\tpoet\tfirst_letter\tlast_letter\n"
         "يا دار عبلة بالجواء تكلمي\tوعمي صباحا دار عبلة واسلمي\tعنترة\t\t\n"
         "لا تحسب المجد تمرا أنت آكله\tلن تبلغ المجد حتى تلعق الصبرا\t\tإ\tب\n"
         "نص\tآخر\tشاعر اسمه أطول بكثير من ثلاثين حرفا\t\t\n"
         "بيت ثالث هنا\tوشطره الثاني\t\tab\t\n",
         {{"يا دار عبلة بالجواء تكلمي\r\nوعمي صباحا دار عبلة واسلمي", "عنترة", {}, "ي", "ي"},
          {"لا تحسب المجد تمرا أنت آكله\r\nلن تبلغ المجد حتى تلعق الصبرا", "", {}, "أ", "ب"}},
         {{4, Refusal::TooLong}, {5, Refusal::NoFirstLetter}}},

        {"JSON Lines: a line break in the text, the hemistichs as an array or as two keys, bad lines, a "
         "character the code page has not",
         "poems.jsonl",
         "{\"text\":\"لعمرك ما الإنسان إلا ابن يومه\\nعلى ما تجلى يومه لا ابن أمسه\",\"poet\":\"المعري\","
         "\"categories\":[\"حكمة\"],\"extra\":42}\n"
         "{\"text\":[\"سلو قلبي غداة سلا وثابا\",\"لعل على الجمال له عتابا\"],\"poet\":\"شوقي\"}\n"
         "{\"text\": \"بيت ناقص\n"
         "[1,2,3]\n"
         "{\"text\":\"يا ليل الصب متى غده 🌙\"}\n"
         "{\"text\":42}\n"
         "{\"hemistich1\":\"ومن لم يذق مر التعلم ساعة\",\"hemistich2\":\"تجرع ذل الجهل طول حياته\"}\n"
         "{\"notes\":{\"a\":[1,true,null]},\"text\":\"\\u0633\\u0645\\u0627\\u0621 \\\"\\u0639\\u0627\\u0644\\u064a\\u0629\\\"\"}\n"
         "{\"text\":\"يا ليل \\ud83c\\udf19\"}\n",
         {{"لعمرك ما الإنسان إلا ابن يومه\r\nعلى ما تجلى يومه لا ابن أمسه", "المعري", {"حكمة"}, "ل", "ه"},
          {"سلو قلبي غداة سلا وثابا\r\nلعل على الجمال له عتابا", "شوقي", {}, "س", "ب"},
          {"ومن لم يذق مر التعلم ساعة\r\nتجرع ذل الجهل طول حياته", "", {}, "و", "ه"},
          {"سماء \"عالية\"", "", {}, "س", "ي"}},
         {{3, Refusal::Malformed}, {4, Refusal::Malformed}, {5, Refusal::Unmappable}, {6, Refusal::Malformed},
          {9, Refusal::Unmappable}}},

        {"Windows-1256 text, recognised; vowel marks at the end do not hide the last letter", "old.txt",
         cp("وَعَيناكِ لَو لا أَنَّ لي فيهِما هَوىً\tلَما كُنتُ أَشكو مِن صُدودِكِ ما أَشكو\r\nسماءُ") + "\r\n",
         {{"وَعَيناكِ لَو لا أَنَّ لي فيهِما هَوىً\r\nلَما كُنتُ أَشكو مِن صُدودِكِ ما أَشكو", "", {}, "و", "ك"},
          {"سماءُ", "", {}, "س", "أ"}},
         {},
         Encoding::Windows1256},

        {"categories separated by the Arabic semicolon as by the Arabic comma and ';'", "topics.csv",
         "text,categories\r\nأبيت اللعن,\"حكمة؛ فخر،غزل;رثاء\"\r\n",
         {{"أبيت اللعن", "", {"غزل", "حكمة", "فخر", "رثاء"}, "أ", "ن"}},  // in the table's order
         {}},

        {"CSV separated by semicolons, as some spreadsheets write it", "list.csv",
         "text;poet\r\nأبيت اللعن;النابغة\r\n",
         {{"أبيت اللعن", "النابغة", {}, "أ", "ن"}},
         {}},
    };
}

class ImportFormatsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.OpenTables();
        store.cdsAuthors.appendRecord({Value(), Value(cp("امرؤ القيس"))});
        store.cdsCategories.appendRecord({Value(), Value(cp("غزل"))});
        store.cdsPoem.appendRecord({Value(), Value(cp("قفا نبك من ذكرى حبيب ومنزل")), Value(), Value(int64_t(1)),
                                    Value(cp("ق")), Value(cp("ل")), Value(std::string("(1)"))});
    }

    TempFolder dir;
    PoemStore store{dir.path()};
};

TEST_F(ImportFormatsTest, EachFileGivesItsVersesAndRefusesItsFaultyLines)
{
    for (const FileCase& c : cases()) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        PoemStore fresh(folder.path());
        fresh.OpenTables();
        fresh.cdsAuthors.appendRecord({Value(), Value(cp("امرؤ القيس"))});
        fresh.cdsCategories.appendRecord({Value(), Value(cp("غزل"))});
        fresh.cdsPoem.appendRecord({Value(), Value(cp("قفا نبك من ذكرى حبيب ومنزل")), Value(), Value(int64_t(1)),
                                    Value(cp("ق")), Value(cp("ل")), Value(std::string("(1)"))});
        const std::string source = folder.file(c.fileName);
        writeFile(source, c.bytes);

        VerseImport import(fresh, source);
        const ImportResult& result = import.run();

        ASSERT_EQ(result.outcome, ImportResult::Outcome::Done) << result.error;
        EXPECT_EQ(result.encoding, c.encoding);
        EXPECT_EQ(storedVerses(fresh, 1), c.verses);
        std::vector<Refusing> refused;
        for (const RefusedLine& r : result.refused)
            refused.push_back({r.line, r.reason});
        EXPECT_EQ(refused, c.refused);
        EXPECT_EQ(result.taken, c.verses.size());

        // The tables' files hold what memory holds.
        fresh.CloseTables();
        const TablesState onDisk = stateOnDisk(folder.path());
        EXPECT_EQ(std::vector<StoredVerse>(onDisk.verses.begin() + 1, onDisk.verses.end()), c.verses);
    }
}

TEST_F(ImportFormatsTest, RefusalsAreExplainedInTheSummaryAndTheReportBesideTheSource)
{
    const std::string source = dir.file("poems.csv");
    writeFile(source,
              "text,poet\n"
              "عفت الديار محلها فمقامها,لبيد\n"
              "عفت الديار محلها فمقامها,لبيد\n"
              "\"يا ليل الصب 🌙\",\n"
              "ستبدي لك الأيام ما كنت جاهلا,طرفة\n");
    VerseImport import(store, source);
    const ImportResult& result = import.run();
    ASSERT_EQ(result.outcome, ImportResult::Outcome::Done) << result.error;

    const std::string summary = summaryText(result);
    EXPECT_NE(summary.find("الأبيات المستوردة: 2"), std::string::npos) << summary;
    EXPECT_NE(summary.find("الأسطر المرفوضة: 2"), std::string::npos) << summary;
    EXPECT_NE(summary.find(refusalName(Refusal::DuplicateInFile) + ": 1"), std::string::npos) << summary;
    EXPECT_NE(summary.find(refusalName(Refusal::Unmappable) + ": 1"), std::string::npos) << summary;
    EXPECT_NE(summary.find("شعراء جدد: 2"), std::string::npos) << summary;

    ASSERT_EQ(result.reportPath, source + ".import-report.txt");
    const std::string report = readFile(result.reportPath);
    EXPECT_NE(report.find("السطر 3: " + refusalName(Refusal::DuplicateInFile) + " — السطر 2"), std::string::npos)
        << report;
    EXPECT_NE(report.find("السطر 4: " + refusalName(Refusal::Unmappable)), std::string::npos) << report;
    EXPECT_NE(report.find("U+1F319"), std::string::npos) << "the character is named";
    EXPECT_NE(report.find("يا ليل الصب"), std::string::npos) << "the refused line is shown";
    // Read in plain text editors: no invisible direction marks, the source's path on its own line.
    for (const char* mark : {"\u2066", "\u2067", "\u2068", "\u2069"})
        EXPECT_EQ(report.find(mark), std::string::npos) << report;
    EXPECT_NE(report.find("\n" + source + "\n"), std::string::npos) << report;
}

TEST_F(ImportFormatsTest, AFileWithoutAVerseColumnIsRefusedWholeAndNothingChanges)
{
    const TablesState before = stateOf(store);
    for (const auto& [name, bytes] : {std::pair{"poets.csv", "poet,categories\r\nالمتنبي,حكمة\r\n"},
                                      {"poets.tsv", "poet\themistich2\nالمتنبي\tشطر\n"}}) {
        SCOPED_TRACE(name);
        const std::string source = dir.file(name);
        writeFile(source, bytes);
        VerseImport import(store, source);
        const ImportResult& result = import.run();
        EXPECT_EQ(result.outcome, ImportResult::Outcome::Failed);
        EXPECT_NE(result.error.find("عمود لنص البيت"), std::string::npos) << result.error;
        EXPECT_NE(result.error.find("\u2068poet\u2069"), std::string::npos) << "the columns found are listed";
        EXPECT_EQ(stateOf(store), before);
        EXPECT_FALSE(std::filesystem::exists(source + ".import-report.txt"));
    }
    EXPECT_EQ(stateOnDisk(dir.path()), before);
}

TEST_F(ImportFormatsTest, AChosenEncodingIsUsedAsChosen)
{
    // In Windows-1256 these bytes are "ب؟ ب؟"; they are also valid UTF-8 ("ȿ ȿ"), which the code
    // page cannot hold. Recognised, they are UTF-8; chosen, they are Arabic.
    const std::string source = dir.file("chosen.txt");
    writeFile(source, cp("ب؟ ب؟") + "\n");
    {
        VerseImport import(store, source);
        ASSERT_EQ(import.run().outcome, ImportResult::Outcome::Done);
        EXPECT_EQ(import.result().encoding, Encoding::Utf8);
        ASSERT_EQ(import.result().refused.size(), 1u);
        EXPECT_EQ(import.result().refused[0].reason, Refusal::Unmappable);
    }
    ImportOptions options;
    options.encoding = Encoding::Windows1256;
    VerseImport import(store, source, options);
    ASSERT_EQ(import.run().outcome, ImportResult::Outcome::Done);
    EXPECT_EQ(import.result().encoding, Encoding::Windows1256);
    ASSERT_EQ(store.cdsPoem.rowCount(), 2);
    EXPECT_EQ(storedVerse(store, 1), (StoredVerse{"ب؟ ب؟", "", {}, "ب", "ب"}));
}

TEST_F(ImportFormatsTest, AnEncodingTheBytesAreNotIsRefusedSayingSoNotReadAsReplacementMarks)
{
    // A Windows-1256 spreadsheet read as UTF-8, and a UTF-8 one read as UTF-16: no header would
    // be found, only marks that stand for bytes that could not be read.
    const struct {
        const char* name;
        std::string bytes;
        Encoding chosen;
    } cases[] = {
        {"cp1256.csv", cp("نص البيت,الشاعر\nقفا نبك,امرؤ القيس\n"), Encoding::Utf8},
        {"utf8.csv", "نص البيت,الشاعر\nقفا نبك,امرؤ القيس\n", Encoding::Utf16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = dir.file(c.name);
        writeFile(source, c.bytes);
        ImportOptions options;
        options.encoding = c.chosen;
        options.dryRun = true;
        VerseImport import(store, source, options);
        const ImportResult& result = import.run();
        ASSERT_EQ(result.outcome, ImportResult::Outcome::Failed);
        EXPECT_NE(result.error.find("يخالف الملف"), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find("\uFFFD"), std::string::npos) << result.error;
    }
}

TEST_F(ImportFormatsTest, AJsonArrayIsNamedJsonInTheSummary)
{
    const std::string source = dir.file("corpus.json");
    writeFile(source, "[{\"sadr\": \"ألا كل شيء ما خلا الله باطل\", \"ajuz\": \"وكل نعيم لا محالة زائل\"}]\n");
    ImportOptions options;
    options.dryRun = true;
    options.writeReport = false;
    VerseImport import(store, source, options);
    ASSERT_EQ(import.run().outcome, ImportResult::Outcome::Done);
    const std::string summary = summaryText(import.result());
    EXPECT_NE(summary.find("\u2066json\u2069"), std::string::npos) << summary;
}

TEST_F(ImportFormatsTest, AMissingFileFailsWithItsName)
{
    VerseImport import(store, dir.file("gone.csv"));
    const ImportResult& result = import.run();
    EXPECT_EQ(result.outcome, ImportResult::Outcome::Failed);
    EXPECT_NE(result.error.find("gone.csv"), std::string::npos) << result.error;
    EXPECT_EQ(store.cdsPoem.rowCount(), 1);
}

}  // namespace
