#include "core/store/poem_store.h"

#include "core/common/error.h"
#include "core/store/datetime.h"
#include "core/store/file_messages.h"
#include "core/store/layouts.h"
#include "core/text/letters.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace barqeen {

using namespace layouts;

PoemStore::PoemStore(std::string dir)
    : dir_(std::move(dir)),
      slots_{{{&cdsPoem, kPoem, nullptr},
              {&cdsAuthors, kAuthors, nullptr},
              {&cdsCategories, kCategories, nullptr},
              {&cdsHistory, kHistory, nullptr},
              {&cdsPlayerPoem, kPlayerPoem, nullptr}}}
{
    definePoem(cdsPoem);
    defineAuthors(cdsAuthors);
    defineCategories(cdsCategories);
    defineHistory(cdsHistory);
    definePlayerPoem(cdsPlayerPoem);
    dressPoem(cdsPoem, cdsAuthors);
    // Verses are compared in their matching form; keep it beside each verse.
    cdsPoem.setDerivedText("Text", NormalizeTextInto);
    // The computer's choice filters the verses on their first letter at every turn.
    cdsPoem.setLetterIndex("StartLetter");
}

PoemStore::~PoemStore()
{
    folder_.reset();
}

std::string PoemStore::pathOf(const char* kind) const
{
    return (std::filesystem::path(dir_) / fileName(kind)).string();
}

std::string PoemStore::metersPath() const
{
    return (std::filesystem::path(dir_) / "Poem.meters").string();
}

bool PoemStore::ownsFile(const std::string& path) const
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string name = fs::path(path).filename().string();
    const bool inFolder = fs::equivalent(fs::absolute(path, ec).parent_path(), dir_, ec);
    if (inFolder && (name == "Barqeen.lock" || name == "Barqeen.batch-pending" || name.rfind("Poem.meters", 0) == 0))
        return true;
    struct stat target {};
    const bool exists = ::stat(path.c_str(), &target) == 0;
    for (const Slot& s : slots_) {
        // Poem.cds, and beside it Poem.cds-wal, Poem.cds-shm, Poem.cds-wal-id, Poem.cds.new
        if (inFolder && name.rfind(fileName(s.kind), 0) == 0)
            return true;
        struct stat table {};
        if (exists && ::stat(pathOf(s.kind).c_str(), &table) == 0 && table.st_dev == target.st_dev &&
            table.st_ino == target.st_ino)
            return true;
    }
    return false;
}

PoemStore::Slot& PoemStore::slot(const char* kind)
{
    for (Slot& s : slots_)
        if (std::strcmp(s.kind, kind) == 0)
            return s;
    throw Error(std::string("No such table: ") + kind);
}

TableFile* PoemStore::fileOf(const Table& table)
{
    for (Slot& s : slots_)
        if (s.table == &table)
            return s.file.get();
    return nullptr;
}

const char* PoemStore::kindOf(const Table& table) const
{
    for (const Slot& s : slots_)
        if (s.table == &table)
            return s.kind;
    throw Error("Not one of the five tables: " + table.name());
}

void PoemStore::createTable(const char* kind, void (*define)(Table&))
{
    Table fresh(kind);
    define(fresh);
    fresh.createDataSet();
    TableFile::write(pathOf(kind), fresh, kind);
}

void PoemStore::CreatePoemTable() { createTable(kPoem, definePoem); }
void PoemStore::CreateAuthorsTable() { createTable(kAuthors, defineAuthors); }
void PoemStore::CreateCategoriesTable() { createTable(kCategories, defineCategories); }
void PoemStore::CreateHistoryTable() { createTable(kHistory, defineHistory); }
void PoemStore::CreatePlayerPoemTable() { createTable(kPlayerPoem, definePlayerPoem); }

void PoemStore::openTable(const char* kind)
{
    Slot& s = slot(kind);
    s.file = TableFile::open(pathOf(kind), *s.table, kind);
}

void PoemStore::OpenTables()
{
    namespace fs = std::filesystem;
    const std::pair<const char*, void (PoemStore::*)()> creators[] = {
        {kPoem, &PoemStore::CreatePoemTable},
        {kAuthors, &PoemStore::CreateAuthorsTable},
        {kCategories, &PoemStore::CreateCategoriesTable},
        {kHistory, &PoemStore::CreateHistoryTable},
        {kPlayerPoem, &PoemStore::CreatePlayerPoemTable},
    };
    for (const auto& [kind, create] : creators) {
        std::error_code ec;
        const std::string path = pathOf(kind);
        if (fs::exists(path, ec))
            continue;
        // A link whose file is gone (a disk not mounted, a file moved) is no missing table.
        if (fs::is_symlink(fs::symlink_status(path, ec)))
            throw Error("ملف الجدول " + file_messages::isolated(path) + " رابط إلى ملف غير موجود " +
                        file_messages::isolated("(" + fs::read_symlink(path, ec).string() + ")") +
                        "، فلم يُنشأ مكانه جدول فارغ. أعد الملف الذي يشير إليه، أو احذف الرابط ليُنشأ جدول جديد فارغ. "
                        "لم يُفتح أي جدول.");
        (this->*create)();
    }
    undoInterruptedBatch();
    // The authors come first: the verse table's author name is looked up in them.
    for (const char* kind : {kAuthors, kPoem, kPlayerPoem, kHistory, kCategories})
        openTable(kind);
    if (idleFolding_) {
        folder_ = std::make_unique<LogFolder>([this] {
            for (Slot& s : slots_)
                if (s.file)
                    s.file->foldLog();
        });
        for (Slot& s : slots_)
            s.file->whenCommitted([folder = folder_.get()] { folder->committed(); });
    }
}

std::string PoemStore::openingNotice() const
{
    std::string notice = batchNotice_;
    const auto add = [&](const std::string& text) { notice += (notice.empty() ? "" : "\n") + text; };
    for (const Slot& s : slots_)
        if (s.file && s.file->readOnly())
            add(file_messages::readOnlyNotice(s.file->path(), s.file->readOnlyReason()));
    for (const Slot& s : slots_)
        if (s.file && !s.file->logNotice().empty())
            add(s.file->logNotice());
    // Rows kept beside a file another program replaced or wrote, in an earlier run: named at every
    // start until the user has dealt with them.
    for (const Slot& s : slots_) {
        const std::string prefix = std::string(s.kind) + "-kept-";
        std::vector<std::string> kept;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(dir_, ec)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(prefix, 0) == 0 && entry.path().extension() == ".cds" && s.file &&
                entry.path().string() != s.file->path())
                kept.push_back(entry.path().string());
        }
        std::sort(kept.begin(), kept.end());
        for (const std::string& k : kept)
            add("بجانب ملف الجدول " + file_messages::isolated(pathOf(s.kind)) + " الملف " + file_messages::isolated(k) +
                "، وفيه صفوف الجدول كما حفظها البرنامج بعد أن استُبدل الملف أو غيّره برنامج آخر. لم تُقرأ صفوفه في الجدول: "
                "انقل منه ما تريد أو ضعه مكان الملف، ثم احذفه أو انقله من المجلد.");
    }
    return notice;
}

void PoemStore::closeTable(const char* kind)
{
    Slot& s = slot(kind);
    if (!s.table->active())
        return;
    s.table->cancel();  // a pending edit is dropped, not committed
    s.table->setStorage(nullptr);
    std::unique_ptr<TableFile> file = std::move(s.file);
    try {
        if (file)
            file->close();
    } catch (...) {
        s.table->close();
        throw;
    }
    s.table->close();
}

void PoemStore::CloseTables()
{
    folder_.reset();  // the close folds in what is left
    std::string failures;
    for (const char* kind : {kPoem, kAuthors, kPlayerPoem, kHistory, kCategories}) {
        try {
            closeTable(kind);
        } catch (const Error& e) {
            failures += (failures.empty() ? "" : "\n") + std::string(e.what());
        }
    }
    if (!failures.empty())
        throw Error(failures);
}

int PoemStore::AddHistory(const std::string& playerName, const QDateTime& playTime)
{
    cdsHistory.appendRecord({Value(), Value(playerName), Value(datetime::fromLocal(playTime))});
    return int(cdsHistory.field("GameID").asInteger());
}

void PoemStore::AddPlayerPoem(int gameId, const std::string& text)
{
    cdsPlayerPoem.appendRecord({Value(), Value(gameId), Value(text)});
}

void PoemStore::FinishHistory(int gameId, int duration, int rounds, int endType)
{
    if (!cdsHistory.locate("GameID", Value(gameId)))
        return;
    cdsHistory.edit();
    cdsHistory.field("Duration").setAsInteger(duration);
    cdsHistory.field("Rounds").setAsInteger(rounds);
    cdsHistory.field("EndType").setAsInteger(endType);
    cdsHistory.post();
}

}  // namespace barqeen
