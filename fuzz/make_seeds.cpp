// Writes the fuzz target's seeds: the five table files of a small folder, each with a few rows of
// every kind of value (a deleted row leaves a gap in the keys), prefixed by the byte that picks
// its table.      make_seeds DIR
#include "core/store/poem_store.h"

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace barqeen;

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string out = argv[1];
    const std::string dir = out + "/folder";
    std::filesystem::create_directories(dir);
    {
        PoemStore s(dir);
        s.OpenTables();
        for (int i = 0; i < 12; ++i) {
            s.cdsAuthors.appendRecord({Value(), Value("poet " + std::to_string(i)), Value(std::string(i * 7, 'n'))});
            s.cdsCategories.appendRecord({Value(), Value("topic " + std::to_string(i))});
            s.cdsPoem.appendRecord({Value(), Value("\xC7\xE1\xD4\xDA\xD1 " + std::to_string(i)), Value(),
                                    Value(int64_t(i + 1)), Value("\xC7"), Value("\xD1"), Value("(1)(2)")});
            const int game = s.AddHistory("player", QDateTime(QDate(2024, 3, 31), QTime(2, 30)));
            s.FinishHistory(game, 60 * i, i, i % 3);
            s.AddPlayerPoem(game, "verse " + std::to_string(i));
        }
        for (Table* t : {&s.cdsAuthors, &s.cdsCategories, &s.cdsPoem, &s.cdsHistory, &s.cdsPlayerPoem}) {
            t->setRecNo(3);
            t->remove();
        }
        s.CloseTables();
    }
    const char* kinds[] = {"Poem", "Authors", "Categories", "History", "PlayerPoem"};
    for (char i = 0; i < 5; ++i) {
        std::ifstream in(dir + "/" + kinds[int(i)] + ".cds", std::ios::binary);
        std::ofstream seed(out + "/" + kinds[int(i)], std::ios::binary);
        seed << i << std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::filesystem::remove_all(dir);
    return 0;
}
