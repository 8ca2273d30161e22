#include "corpus_files.h"

#include "corpus.h"
#include "core/store/datetime.h"
#include "core/store/layouts.h"
#include "core/store/table_file.h"
#include "core/text/codepage.h"

#include <QDateTime>

#include <filesystem>

namespace barqeen::corpus {
namespace {

// The topics of Arabic poetry, as the categories table would hold them.
constexpr const char* kTopics[] = {
    "حكمة", "غزل", "مدح", "رثاء", "فخر", "وصف", "هجاء", "زهد", "حماسة", "اعتذار",
    "شوق", "حنين", "عتاب", "وطن", "طبيعة", "خمريات", "فروسية", "صداقة", "أم", "شكوى",
    "دهر", "موت", "شباب", "مشيب", "كرم", "شجاعة", "صبر", "علم", "نصيحة", "تصوف",
    "ليل", "بحر", "صحراء", "مطر", "رحلة", "فراق", "لقاء", "أطلال", "خيل", "سيف",
};
constexpr const char* kPlayers[] = {"سالم", "فاطمة", "عبد الله", "مريم", "خالد", "نورة", "يوسف", "ليلى"};

std::string cp(const char* utf8)
{
    return *codepage::fromUtf8(utf8);
}

// The first `words` words of a made-up verse: a plausible name.
std::string firstWords(const std::string& text, int words)
{
    size_t end = 0;
    for (int w = 0; w < words && end != std::string::npos; ++w)
        end = text.find(' ', end + (w ? 1 : 0));
    std::string name = text.substr(0, end);
    return name.size() > 30 ? name.substr(0, 30) : name;
}

void writeTable(const std::string& dir, const char* kind, void (*define)(Table&), std::vector<Row> rows)
{
    Table table(kind);
    define(table);
    const int64_t next = int64_t(rows.size()) + 1;
    table.load(std::move(rows), next);
    TableFile::write((std::filesystem::path(dir) / layouts::fileName(kind)).string(), table, kind);
}

}  // namespace

void WriteFolder(const std::string& dir, uint64_t seed, const FolderSize& size)
{
    std::filesystem::create_directories(dir);
    writeTable(dir, layouts::kPoem, layouts::definePoem, VerseRows(MakeVerses(seed, size.verses)));

    std::vector<Row> authors;
    const std::vector<Verse> nameSource = MakeVerses(seed + 1, size.authors);
    for (size_t i = 0; i < size.authors; ++i) {
        const std::string name = firstWords(nameSource[i].text, 2);
        authors.push_back({{Value(int64_t(i + 1)), Value(name), i % 4 ? Value() : Value(nameSource[i].text)}, {}});
    }
    writeTable(dir, layouts::kAuthors, layouts::defineAuthors, std::move(authors));

    std::vector<Row> categories;
    for (const char* topic : kTopics)
        categories.push_back({{Value(int64_t(categories.size() + 1)), Value(cp(topic))}, {}});
    writeTable(dir, layouts::kCategories, layouts::defineCategories, std::move(categories));

    std::vector<Row> games, playerVerses;
    const std::vector<Verse> said = MakeVerses(seed + 2, size.games * 20);
    const QDateTime first(QDate(2026, 1, 1), QTime(20, 0));
    for (size_t g = 0; g < size.games; ++g) {
        const int rounds = int(1 + (g * 7) % 20);
        games.push_back({{Value(int64_t(g + 1)), Value(cp(kPlayers[g % std::size(kPlayers)])),
                          Value(datetime::fromLocal(first.addSecs(qint64(g) * 86400 * 3 + qint64(g % 5) * 3600))),
                          Value(int64_t(rounds / 2)), Value(int64_t(rounds)), Value(int64_t(g % 3 ? 2 : 0))},
                         {}});
        for (int v = 0; v < rounds - 1; ++v)
            playerVerses.push_back({{Value(int64_t(playerVerses.size() + 1)), Value(int64_t(g + 1)),
                                     Value(said[g * 20 + size_t(v)].text)},
                                    {}});
    }
    writeTable(dir, layouts::kHistory, layouts::defineHistory, std::move(games));
    writeTable(dir, layouts::kPlayerPoem, layouts::definePlayerPoem, std::move(playerVerses));
}

}  // namespace barqeen::corpus
