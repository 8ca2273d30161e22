// A dry run over several files says what the import of the same files will do: each file counted
// against the table and the files before it, as the import, which stores each file in turn,
// counts it. The verses are the starter collection's, written into files of several shapes.
#include "exchange_fixture.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sstream>

using namespace barqeen;
using namespace barqeen::exchange;
using namespace barqeen::test;

namespace {

// The collection's lines, JSON Lines as it ships.
const std::vector<std::string>& collectionLines()
{
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> all;
        std::istringstream in(readFile(STARTER_DIR "/verses.jsonl"));
        for (std::string line; std::getline(in, line) && all.size() < 60;)
            all.push_back(line);
        return all;
    }();
    return lines;
}

enum class Shape { JsonLines, TabText };

// Verses [from, to) of the collection in one file's shape: as shipped (with poet and topics), or
// as plain text with a TAB between the hemistichs and nothing else.
std::string versesAs(Shape shape, int from, int to)
{
    std::string out;
    for (int i = from; i < to; ++i) {
        const std::string& line = collectionLines().at(size_t(i));
        if (shape == Shape::JsonLines) {
            out += line + "\n";
            continue;
        }
        const QJsonObject verse = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        out += verse.value(QStringLiteral("sadr")).toString().toStdString() + "\t" +
               verse.value(QStringLiteral("ajuz")).toString().toStdString() + "\n";
    }
    return out;
}

struct SourceFile {
    const char* name;
    Shape shape = Shape::JsonLines;
    int from = 0, to = 0;
    bool written = true;  // false: the file is missing, and its import fails
};

struct DryRunCase {
    const char* what;
    int inTable;  // the collection's first verses, imported before
    std::vector<SourceFile> files;
    std::vector<size_t> taken;  // by the dry run, file by file
};

std::ostream& operator<<(std::ostream& os, const DryRunCase& c)
{
    return os << c.what;
}

class DryRunFilesTest : public ::testing::TestWithParam<DryRunCase> {};

ImportResult importOnce(PoemStore& store, const std::string& path, RowsOfFilesBefore* filesBefore)
{
    ImportOptions options;
    options.writeReport = false;
    options.dryRun = filesBefore != nullptr;
    options.filesBefore = filesBefore;
    VerseImport import(store, path, options);
    return import.run();
}

std::vector<std::tuple<int, Refusal, std::string>> refusals(const ImportResult& result)
{
    std::vector<std::tuple<int, Refusal, std::string>> out;
    for (const RefusedLine& r : result.refused)
        out.emplace_back(r.line, r.reason, r.detail);
    return out;
}

TEST_P(DryRunFilesTest, EachFileIsCountedAsTheImportWillCountIt)
{
    const DryRunCase& c = GetParam();
    TempFolder dir;
    PoemStore store(dir.path());
    store.OpenTables();
    if (c.inTable > 0) {
        writeFile(dir.file("table.jsonl"), versesAs(Shape::JsonLines, 0, c.inTable));
        ASSERT_EQ(importOnce(store, dir.file("table.jsonl"), nullptr).taken, size_t(c.inTable));
    }
    std::vector<std::string> paths;
    for (const SourceFile& f : c.files) {
        paths.push_back(dir.file(f.name));
        if (f.written)
            writeFile(paths.back(), versesAs(f.shape, f.from, f.to));
    }
    const TablesState before = stateOf(store);

    RowsOfFilesBefore filesBefore;
    std::vector<ImportResult> dry;
    for (const std::string& path : paths)
        dry.push_back(importOnce(store, path, &filesBefore));
    EXPECT_EQ(stateOf(store), before) << "a dry run stores nothing";
    EXPECT_EQ(stateOnDisk(dir.path()), before);

    for (size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i]);
        const ImportResult done = importOnce(store, paths[i], nullptr);
        EXPECT_EQ(dry[i].outcome, done.outcome);
        EXPECT_EQ(dry[i].taken, done.taken);
        EXPECT_EQ(dry[i].newPoets, done.newPoets);
        EXPECT_EQ(dry[i].newCategories, done.newCategories);
        EXPECT_EQ(refusals(dry[i]), refusals(done)) << "the same lines refused, for the same reasons";
    }
    std::vector<size_t> taken;
    for (const ImportResult& r : dry)
        taken.push_back(r.taken);
    EXPECT_EQ(taken, c.taken);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DryRunFilesTest,
    ::testing::Values(
        DryRunCase{"the same forty verses in three files",
                   0,
                   {{"a.jsonl", Shape::JsonLines, 0, 40}, {"b.jsonl", Shape::JsonLines, 0, 40},
                    {"c.jsonl", Shape::JsonLines, 0, 40}},
                   {40, 0, 0}},
        DryRunCase{"files that overlap each other and the table, one of them plain text",
                   5,
                   {{"a.jsonl", Shape::JsonLines, 0, 20}, {"b.txt", Shape::TabText, 10, 30},
                    {"c.jsonl", Shape::JsonLines, 25, 50}},
                   {15, 10, 20}},
        DryRunCase{"a file that fails between two others adds nothing for the next",
                   0,
                   {{"a.jsonl", Shape::JsonLines, 0, 10}, {"gone.jsonl", Shape::JsonLines, 10, 50, false},
                    {"c.jsonl", Shape::JsonLines, 5, 15}},
                   {10, 0, 5}}),
    [](const ::testing::TestParamInfo<DryRunCase>& info) { return "Case" + std::to_string(info.index); });

}  // namespace
