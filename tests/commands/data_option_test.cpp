// The commands find the tables where the windows do: --data names the folder, and help says
// which folder is in use.
#include "exchange_fixture.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <filesystem>

using namespace barqeen;
using namespace barqeen::test;

namespace {

TEST(CommandDataOptionTest, ImportAndHelpUseTheChosenFolder)
{
    TempFolder folder, work;
    const std::string program = folder.file("barqeen");
    std::filesystem::copy_file(BARQEEN_EXECUTABLE, program);
    writeFile(work.file("poems.txt"), "عجبت لمن يخاف الفقر\n");
    auto run = [&](const QStringList& args) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(QString::fromStdString(work.path()));
        process.start(QString::fromStdString(program), args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return std::pair{process.exitCode(), process.readAllStandardOutput().toStdString()};
    };

    const auto [code, out] = run({"--data", "club", "import", "poems.txt"});
    EXPECT_EQ(code, 0) << out;
    EXPECT_FALSE(std::filesystem::exists(folder.file("Poem.cds")));
    {
        PoemStore store(work.file("club"));
        store.OpenTables();
        EXPECT_EQ(store.cdsPoem.rowCount(), 1);
        store.CloseTables();
    }
    EXPECT_NE(run({"help", "--data=club"}).second.find("مجلد البيانات: " + work.file("club")), std::string::npos);
    EXPECT_NE(run({"help"}).second.find("مجلد البيانات: " + folder.path()), std::string::npos);
    EXPECT_EQ(run({"import", "--data"}).first, 2);
}

}  // namespace
