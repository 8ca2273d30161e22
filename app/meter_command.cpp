#include "app/meter_command.h"

#include "core/prosody/meter_finder.h"
#include "core/prosody/meter_rules.h"
#include "core/prosody/scansion_detail.h"
#include "core/search/verse_meters.h"
#include "core/store/layouts.h"
#include "core/store/poem_store.h"
#include "core/text/codepage.h"

#include <QFile>
#include <QStringDecoder>

#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <thread>

#include <unistd.h>

namespace barqeen {
namespace {

// UTF-8 as most files are; a file that is not valid UTF-8 is read as Windows-1256.
QString decoded(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = codepage::toUnicode(std::string_view(bytes.constData(), size_t(bytes.size())));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

void put(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// The meter, its form and feet; with `scan`, each hemistich's letters as said, its pattern and
// each foot with the words it covers and its change; where no meter is named, the closest and
// the foot where the verse leaves it.
void printScansion(const QString& verse, bool scan)
{
    if (!scan) {
        put(QString::fromStdString(prosody::describe(prosody::scanVerse(verse))));
        return;
    }
    const prosody::VerseDetail detail = prosody::scanInDetail(verse);
    put(QString::fromStdString(prosody::describe(detail.scansion)));
    if (const QString closest = prosody::closestMeterSentence(detail); !closest.isEmpty())
        put(QStringLiteral("  ") + closest);
    for (size_t h = 0; h < detail.hemistichs.size(); ++h) {
        const prosody::HemistichDetail& half = detail.hemistichs[h];
        put(QStringLiteral("  الشطر %1: %2").arg(prosody::hemistichName(h), half.said));
        QString pattern = QStringLiteral("    ");
        if (half.feet.empty()) {
            pattern += prosody::strokes(half.pattern);
        } else {
            for (const prosody::FootDetail& foot : half.feet)
                pattern += prosody::strokes(foot.pattern) + u' ';
        }
        put(pattern.trimmed().prepend(QStringLiteral("    ")));
        for (const prosody::FootDetail& foot : half.feet) {
            QString line = QStringLiteral("    ") + fromUtf8(foot.name) + QStringLiteral(" \u2068") + foot.text + u'\u2069';
            if (!foot.change.empty())
                line += QStringLiteral(" (") + QString::fromStdString(foot.change) + u')';
            put(line);
        }
    }
}

// The verses of a text. A line that carries a TAB is one verse (with its second field empty, a
// verse of one hemistich: مشطور، منهوك), as is a line with stars or a wide gap between its
// hemistichs; other lines of one hemistich pair up as the two hemistichs of a verse, and a blank
// line ends a verse left with one.
std::vector<QString> versesOf(const QString& text)
{
    std::vector<QString> verses;
    QStringList lines = text.split(u'\n');
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    QString pending;
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty() || line.contains(u'\t') || prosody::hemistichsOf(line).size() > 1) {
            if (!pending.isEmpty())
                verses.push_back(pending);
            pending.clear();
            if (!line.trimmed().isEmpty())
                verses.push_back(line);
        } else if (pending.isEmpty()) {
            pending = line;
        } else {
            verses.push_back(pending + u'\n' + line);
            pending.clear();
        }
    }
    if (!pending.isEmpty())
        verses.push_back(pending);
    return verses;
}

void scanText(const QString& text, bool scan)
{
    for (const QString& verse : versesOf(text))
        printScansion(verse, scan);
}

// The poem's meter from all its verses, then the verses that do not fit it, by their number.
void printPoem(const QString& text)
{
    const std::vector<QString> verses = versesOf(text);
    const prosody::PoemMeter poem = prosody::poemMeter(verses);
    if (!poem.known) {
        put(QStringLiteral("القصيدة: ") + fromUtf8(prosody::kUnknownMeter));
        return;
    }
    put(QStringLiteral("القصيدة: %1 (%2 من %3 بيتًا)")
            .arg(fromUtf8(prosody::meterName(poem.meter)))
            .arg(poem.fitting)
            .arg(verses.size()));
    for (const int v : poem.unread)
        put(QStringLiteral("  لم يُقرأ وزن البيت %1").arg(v + 1));
    for (const int v : poem.notFitting)
        put(QStringLiteral("  لا يوافقه البيت %1: %2 — %3")
                .arg(v + 1)
                .arg(QString(verses[size_t(v)]).replace(u'\t', QStringLiteral(" * ")).replace(u'\n', QStringLiteral(" * ")),
                     QString::fromStdString(prosody::describe(prosody::scanVerse(verses[size_t(v)])))));
}

}  // namespace

int meterCommand(const std::vector<std::string>& files, const MeterOptions& options)
{
    int code = 0;
    if (!options.poem.empty()) {
        QFile file(QString::fromStdString(options.poem));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "تعذرت قراءة الملف \u2068%s\u2069.\n", options.poem.c_str());
            return 1;
        }
        printPoem(decoded(file.readAll()));
        if (files.empty()) {
            std::fflush(stdout);
            return 0;
        }
    }
    if (files.empty()) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return 1;
        scanText(decoded(in.readAll()), options.scan);
        return 0;
    }
    for (const std::string& name : files) {
        QFile file(QString::fromStdString(name));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "تعذرت قراءة الملف \u2068%s\u2069.\n", name.c_str());
            code = 1;
            continue;
        }
        scanText(decoded(file.readAll()), options.scan);
    }
    std::fflush(stdout);
    return code;
}

int tableMeterCommand(PoemStore& store)
{
    VerseMeters meters(store.cdsPoem, store.pathOf(layouts::kPoem), store.metersPath());
    meters.open();
    const bool terminal = ::isatty(STDERR_FILENO);
    int shown = -1;
    meters.scanAll(std::max(1u, std::thread::hardware_concurrency()), [&](double progress) {
        if (terminal && int(progress * 100) != shown) {
            shown = int(progress * 100);
            std::fprintf(stderr, "\rالبحور: %d%%", shown);
        }
    });
    if (terminal && shown >= 0)
        std::fputs("\r\033[K", stderr);
    if (!meters.save())
        std::fprintf(stderr, "تعذرت كتابة الملف \u2068%s\u2069؛ تُحسب البحور من جديد في المرة القادمة.\n",
                     store.metersPath().c_str());
    // Counted as the search finds them: a verse read under two meters is found under both.
    std::vector<size_t> counts(size_t(MeterChoiceCount()), 0);
    size_t twoMeters = 0;
    for (const KeptMeter& m : meters.all()) {
        for (int choice = 0; choice < MeterChoiceCount(); ++choice)
            if (MeterMatches(choice, m.meter))
                ++counts[size_t(choice)];
        if (m.meter.second != kNoMeterNamed)
            ++twoMeters;
    }
    for (int choice = 0; choice < MeterChoiceCount(); ++choice)
        put(QStringLiteral("%1\t%2").arg(QString::fromStdString(MeterChoiceName(choice))).arg(counts[size_t(choice)]));
    put(QStringLiteral("الأبيات\t%1").arg(meters.all().size()));
    if (twoMeters > 0)
        put(QStringLiteral("منها على بحرين\t%1").arg(twoMeters));
    std::fflush(stdout);
    return 0;
}

}  // namespace barqeen
