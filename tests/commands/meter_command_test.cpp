// `barqeen meter`, run as a script runs it: verses on standard input or in files, one line of
// meter and feet a verse; it reads no table, so it runs while the program holds its folder.
#include "exchange_fixture.h"

#include <QLockFile>
#include <QProcess>

#include <filesystem>

using namespace barqeen;
using namespace barqeen::test;

namespace {

struct Printed {
    int code = -1;
    QString out, err;
};

Printed meter(const std::string& program, const QStringList& args, const QByteArray& input,
          const std::string& workDir)
{
    QProcess process;
    process.setWorkingDirectory(QString::fromStdString(workDir));
    process.start(QString::fromStdString(program), QStringList{QStringLiteral("meter")} + args);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

const char* const kTawil = "فعولن مفاعيلن فعولن مفاعلن / فعولن مفاعيلن فعول مفاعلن";

TEST(MeterCommand, NamesEachVerseFromStandardInputAndFilesWhileTheProgramHoldsItsFolder)
{
    TempFolder folder, work;
    const std::string program = folder.file("barqeen");
    std::filesystem::copy_file(BARQEEN_EXECUTABLE, program);
    QLockFile running(QString::fromStdString(folder.file("Barqeen.lock")));
    ASSERT_TRUE(running.tryLock(0));  // the program runs on its folder

    // A TAB between the hemistichs, or the two hemistichs on two lines; prose names no meter; a
    // verse copied from print with stars between its hemistichs is one verse.
    const Printed fromInput = meter(program, {},
                                "قِفَا نَبْكِ مِنْ ذِكْرَى حَبِيبٍ وَمَنْزِلِ\tبِسِقْطِ اللِّوَى بَيْنَ الدَّخُولِ فَحَوْمَلِ\n"
                                "\n"
                                "الخيلُ والليل والبيداءُ تعرفني\r\n"
                                "والسيف والرمح والقرطاس والقلمُ\r\n"
                                "\n"
                                "ذهبت إلى السوق في الصباح\tثم عدت إلى البيت\n"
                                "قفا نبك من ذكرى حبيبٍ ومنزلِ *** بسقطِ اللوى بين الدخول فحوملِ\n",
                                work.path());
    EXPECT_EQ(fromInput.code, 0) << qPrintable(fromInput.err);
    EXPECT_EQ(fromInput.out, QStringLiteral("الطويل (تام): ") + QString::fromUtf8(kTawil) + u'\n' +
                                 QStringLiteral("البسيط (تام): مستفعلن فاعلن مستفعلن فعلن / مستفعلن فاعلن مستفعلن فعلن\n"
                                                "غير معروف\n") +
                                 QStringLiteral("الطويل (تام): ") + QString::fromUtf8(kTawil) + u'\n');

    writeFile(work.file("verses.txt"), "قفا نبك من ذكرى حبيبٍ ومنزلِ\tبسقطِ اللوى بين الدخول فحوملِ\n");
    const Printed fromFiles = meter(program, {QStringLiteral("verses.txt"), QStringLiteral("missing.txt")}, {},
                                work.path());
    EXPECT_EQ(fromFiles.code, 1);  // one file could not be read
    EXPECT_EQ(fromFiles.out, QStringLiteral("الطويل (تام): ") + QString::fromUtf8(kTawil) + u'\n');
    EXPECT_TRUE(fromFiles.err.contains(QStringLiteral("missing.txt")));
}

}  // namespace
