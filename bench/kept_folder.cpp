#include "kept_folder.h"

#include "corpus_files.h"

#include <filesystem>
#include <fstream>

namespace barqeen::corpus {

std::string KeptFolder(const std::string& dir, size_t verses, uint64_t seed)
{
    // Written last, so a folder cut short by an interrupted run is written again.
    const std::string done = dir + "/.complete-v1";
    if (!std::filesystem::exists(done)) {
        FolderSize size;
        size.verses = verses;
        WriteFolder(dir, seed, size);
        std::ofstream(done) << "seed " << seed << "\n";
    }
    return dir;
}

std::string BenchFolder(size_t verses)
{
    return KeptFolder((std::filesystem::temp_directory_path() / ("barqeen-bench-" + std::to_string(verses))).string(),
                      verses);
}

}  // namespace barqeen::corpus
