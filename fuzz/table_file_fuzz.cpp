// libFuzzer target for the table-file loader. The first byte picks the table, the rest is the
// file. A file the loader refuses must be refused with an Error (no crash, nothing written); a file
// it accepts must read back the same after being written whole and reopened, and after one more
// row is committed through it.
#include "core/store/layouts.h"
#include "core/store/table_file.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

using namespace barqeen;

namespace {

const char* const kKinds[] = {layouts::kPoem, layouts::kAuthors, layouts::kCategories, layouts::kHistory,
                              layouts::kPlayerPoem};

void define(Table& t, const std::string& kind)
{
    using namespace layouts;
    if (kind == kPoem)
        definePoem(t);
    else if (kind == kAuthors)
        defineAuthors(t);
    else if (kind == kCategories)
        defineCategories(t);
    else if (kind == kHistory)
        defineHistory(t);
    else
        definePlayerPoem(t);
}

std::string dump(const Table& t)
{
    std::string out = "next " + std::to_string(t.nextKey()) + "\n";
    for (int r = 0; r < t.rowCount(); ++r) {
        for (const Value& v : t.rowAt(r).cells)
            out += (v.isNull() ? "-" : v.isInteger() ? std::to_string(v.integer()) : "'" + std::string(v.text())) + "|";
        out += "\n";
    }
    return out;
}

// The rows of the file at path, or nullopt when it is refused.
std::optional<std::string> load(const std::string& path, const std::string& kind)
{
    Table t(kind);
    define(t, kind);
    try {
        auto file = TableFile::open(path, t, kind);
        std::string rows = dump(t);
        t.setStorage(nullptr);
        file->close();
        return rows;
    } catch (const Error&) {
        return std::nullopt;
    }
}

// A row every table takes: values by field position, the key left to the table.
std::vector<Value> newRow(const std::string& kind)
{
    using namespace layouts;
    if (kind == kPoem)
        return {Value(), Value("fuzz"), Value(), Value(int64_t(1)), Value("a"), Value("b"), Value("(1)")};
    if (kind == kHistory)
        return {Value(), Value("fuzz"), Value(int64_t(1700000000000))};
    if (kind == kPlayerPoem)
        return {Value(), Value(int64_t(1)), Value("fuzz")};
    return {Value(), Value("fuzz")};
}

void fail(const char* what, const std::string& a, const std::string& b)
{
    std::fprintf(stderr, "%s\n--- first\n%s\n--- then\n%s\n", what, a.c_str(), b.c_str());
    std::abort();
}

// How many inputs were accepted, said at the end of a run.
struct Tally {
    long tried = 0, accepted = 0;
    ~Tally() { std::fprintf(stderr, "table files tried: %ld, accepted and read back the same: %ld\n", tried, accepted); }
} tally;

const std::string& folder()
{
    static const std::string dir = [] {
        std::string pattern = "/dev/shm/barqeen-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            pattern = (std::filesystem::temp_directory_path() / "barqeen-fuzz-XXXXXX").string();
            ::mkdtemp(pattern.data());
        }
        return pattern;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    ++tally.tried;
    const std::string kind = kKinds[data[0] % 5];
    const std::string path = folder() + "/" + kind + ".cds";
    const std::string copy = folder() + "/copy.cds";
    for (const std::string& p : {path, copy})
        for (const char* end : {"", "-wal", "-shm", "-journal", ".new"})
            std::remove((p + end).c_str());
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::ofstream(path, std::ios::binary) << bytes;

    Table t(kind);
    define(t, kind);
    std::unique_ptr<TableFile> file;
    try {
        file = TableFile::open(path, t, kind);
    } catch (const Error&) {
        std::ifstream in(path, std::ios::binary);
        const std::string after{std::istreambuf_iterator<char>(in), {}};
        if (after != bytes)
            fail("a refused file was written", bytes, after);
        return 0;
    }
    const std::string rows = dump(t);
    ++tally.accepted;

    // Written whole and reopened: the same rows.
    TableFile::write(copy, t, kind);
    const auto copied = load(copy, kind);
    if (!copied || *copied != rows)
        fail("the file written whole reads back otherwise", rows, copied.value_or("(refused)"));

    // One more row committed through the open file, then closed and reopened.
    bool added = false;
    try {
        t.appendRecord(newRow(kind));
        added = true;
    } catch (const Error&) {
        // a full key range is refused, and then the file stays as it was
    }
    t.setStorage(nullptr);
    file->close();
    const auto reopened = load(path, kind);
    if (!reopened)
        fail("an accepted file is refused after a commit", rows, "(refused)");
    if (added ? *reopened != dump(t) : *reopened != rows)
        fail("the committed row does not read back", dump(t), *reopened);
    return 0;
}
