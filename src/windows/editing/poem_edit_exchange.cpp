// The verse window's import and export: the two buttons, the file dialogs, the preview before an
// import, the progress while the work runs and the summary after it, and files dropped on the window.
#include "windows/editing/category.h"
#include "windows/editing/exchange_progress.h"
#include "windows/editing/import_preview.h"
#include "windows/editing/poem_edit.h"

#include "core/prosody/poem_meter_note.h"
#include "core/common/error.h"
#include "core/exchange/import_report.h"
#include "core/exchange/verse_export.h"
#include "core/exchange/verse_import.h"
#include "windows/shell/anchors.h"
#include "windows/shell/dialogs.h"
#include "windows/shell/starter_collection.h"
#include "windows/shell/guard.h"
#include "windows/shell/shell.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QPushButton>

namespace barqeen {
namespace {

using namespace exchange;

constexpr std::chrono::milliseconds kSlice(40);

// A file type as the file dialogs list it: its name, then its patterns in parentheses, read left
// to right inside the Arabic line. The mark that sets them apart stands before the parenthesis
// and is closed by the line's end: the dialog reads the patterns from the parentheses at the end.
QString fileType(const QString& name, const QString& patterns)
{
    return name + QStringLiteral(" \u2066(") + patterns + QLatin1Char(')');
}

const QString kVerseFiles = fileType(QStringLiteral("ملفات الأبيات"), QStringLiteral("*.txt *.csv *.tsv *.jsonl *.ndjson *.json"));
const QString kOldArabicFiles = fileType(QStringLiteral("ملفات بالترميز العربي \u2066Windows-1256\u2069"),
                                         QStringLiteral("*.txt *.csv *.tsv"));
const QString kAllFiles = fileType(QStringLiteral("كل الملفات"), QStringLiteral("*"));

struct ExportKind {
    QString filter;
    const char* suffix;
};
const ExportKind kExportKinds[] = {
    {fileType(QStringLiteral("\u2066CSV\u2069 — جدول مفصول بالفواصل"), QStringLiteral("*.csv")), "csv"},
    {fileType(QStringLiteral("\u2066TSV\u2069 — جدول مفصول بعلامات الجدولة"), QStringLiteral("*.tsv")), "tsv"},
    {fileType(QStringLiteral("\u2066JSON Lines\u2069"), QStringLiteral("*.jsonl")), "jsonl"},
    {fileType(QStringLiteral("نص — بيت في كل سطر"), QStringLiteral("*.txt")), "txt"},
};

// The file dialogs open where the last file was taken from or written to; at first in the home folder.
QString& lastFolderChosen()
{
    static QString folder;
    return folder;
}

QString lastFolder()
{
    const QString& folder = lastFolderChosen();
    return folder.isEmpty() || !QFileInfo(folder).isDir() ? QDir::homePath() : folder;
}

void rememberFolder(const QString& file)
{
    lastFolderChosen() = QFileInfo(file).absolutePath();
}

QStringList localFiles(const QMimeData* data)
{
    QStringList files;
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
                files << url.toLocalFile();
    return files;
}

// Takes files dragged over the window or any of its controls before a control takes their names
// as text (the memo would).
class FileDropTarget : public QObject {
public:
    FileDropTarget(QWidget* window, std::function<void(const QStringList&)> dropped)
        : QObject(window), dropped_(std::move(dropped))
    {
        window->setAcceptDrops(true);
        window->installEventFilter(this);
        for (QWidget* child : window->findChildren<QWidget*>())
            child->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (localFiles(drag->mimeData()).isEmpty())
                return false;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList files = localFiles(drop->mimeData());
            if (files.isEmpty())
                return false;
            drop->acceptProposedAction();
            dropped_(files);
            return true;
        }
        default:
            return false;
        }
    }

private:
    std::function<void(const QStringList&)> dropped_;
};

}  // namespace

void TfmPoemEdit::buildExchangeControls()
{
    // In the free space between the authors button and the verse count, on the buttons' line.
    bbImport = new QPushButton(QStringLiteral("استيراد"), this);
    bbImport->setGeometry(272, 112, 81, 25);
    bbImport->setToolTip(QStringLiteral("استيراد أبيات من ملف نصي أو CSV أو TSV أو JSON Lines، أو أفلت الملف على النافذة"));
    connect(bbImport, &QPushButton::clicked, this, guarded([this] { bbImportClick(); }));
    bbExport = new QPushButton(QStringLiteral("تصدير"), this);
    bbExport->setGeometry(184, 112, 81, 25);
    bbExport->setToolTip(QStringLiteral("تصدير الأبيات، كلها أو المعروضة منها، إلى ملف"));
    connect(bbExport, &QPushButton::clicked, this, guarded([this] { bbExportClick(); }));
    bbStarter = new QPushButton(QStringLiteral("المختارات"), this);
    bbStarter->setGeometry(360, 112, 81, 25);
    // The count is not read here: the window is made at every start, the collection seldom used.
    bbStarter->setToolTip(QStringLiteral("تحميل «%1»: أبيات من الشعر العربي القديم؛ لا يُكرَّر بيت موجود")
                              .arg(StarterCollection::name()));
    connect(bbStarter, &QPushButton::clicked, this, guarded([this] { bbStarterClick(); }));
    anchor(bbImport, Qt::TopEdge | Qt::LeftEdge);
    anchor(bbExport, Qt::TopEdge | Qt::LeftEdge);
    anchor(bbStarter, Qt::TopEdge | Qt::LeftEdge);
    setTabOrder(bbAuthor, bbImport);
    setTabOrder(bbImport, bbExport);
    new FileDropTarget(this, [this](const QStringList& files) { runGuarded([&] { importFiles(files); }); });
}

void TfmPoemEdit::bbImportClick()
{
    QFileDialog dialog(this, QStringLiteral("استيراد أبيات من ملف"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters({kVerseFiles, kOldArabicFiles, kAllFiles});
    dialog.setDirectory(lastFolder());
    if (Dialogs::exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    rememberFolder(dialog.selectedFiles().first());
    importFiles(dialog.selectedFiles(), dialog.selectedNameFilter() == kOldArabicFiles);
}

void TfmPoemEdit::importFiles(const QStringList& paths, bool windows1256)
{
    for (const QString& path : paths) {
        ImportOptions options;
        options.encoding = windows1256 ? Encoding::Windows1256 : Encoding::Auto;
        // What would be stored is shown first; nothing happens unless the user goes on.
        TfmImportPreview preview(shell_.store(), path, options, this);
        if (Dialogs::exec(preview) == QDialog::Accepted)
            importFile(path, preview.options());
    }
}

void TfmPoemEdit::bbStarterClick()
{
    StarterCollection starter;
    if (starter.path().isEmpty())
        throw Error(starter.error().toStdString());
    importStarter(starter.path());
}

void TfmPoemEdit::importStarter(const QString& path)
{
    ImportOptions options;
    options.writeReport = false;  // nothing of it is the user's to correct
    importFile(path, options);
}

void TfmPoemEdit::importFile(const QString& path, const ImportOptions& chosen)
{
    ImportOptions options = chosen;
    options.poemMeter = prosody::readPoemMeter;  // a poem's meter, in the summary
    VerseImport import(shell_.store(), path.toStdString(), options);
    runWithProgress(this, QStringLiteral("استيراد الأبيات"),
                    {[&] { return import.step(kSlice); }, [&] { return import.progress(); },
                     [&] { return QString::fromStdString(import.stage()); }, [&] { return import.cancel(); },
                     [&] { return import.cancellable(); }});
    // New categories join the list; the count and ticks follow the verse table.
    category_.LoadCategoryList();
    category_.ShowPoemCategories();
    showCount();
    Dialogs::message(QString::fromStdString(summaryText(import.result())));
}

void TfmPoemEdit::bbExportClick()
{
    Table& poem = shell_.cdsPoem();
    bool selection = false;
    if (poem.filtered() && poem.recordCount() < poem.rowCount())
        selection = Dialogs::confirm(QStringLiteral("تصدير الأبيات المعروضة وحدها (%1 من %2)؟\n"
                                                    "اختر «لا» لتصدير كل الأبيات.")
                                         .arg(poem.recordCount())
                                         .arg(poem.rowCount()));
    QFileDialog dialog(this, QStringLiteral("تصدير الأبيات إلى ملف"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList filters;
    for (const ExportKind& kind : kExportKinds)
        filters << kind.filter;
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setDirectory(lastFolder());
    dialog.selectFile(QStringLiteral("أبيات.csv"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        for (const ExportKind& kind : kExportKinds)
            if (kind.filter == filter)
                dialog.setDefaultSuffix(QString::fromLatin1(kind.suffix));
    });
    if (Dialogs::exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    rememberFolder(dialog.selectedFiles().first());
    const std::string path = dialog.selectedFiles().first().toStdString();
    Format format = formatFromName(path);
    for (const ExportKind& kind : kExportKinds)
        if (format == Format::Auto && kind.filter == dialog.selectedNameFilter())
            parseFormat(kind.suffix, format);
    VerseExport out(shell_.store(), selection ? selectedVerses(poem) : allVerses(poem), path, format);
    out.allowOverwrite(true);  // the save dialog asked
    runWithProgress(this, QStringLiteral("تصدير الأبيات"),
                    {[&] { return out.step(kSlice); }, [&] { return out.progress(); },
                     [] { return QStringLiteral("كتابة الملف"); }, [&] { out.cancel(); return true; }});
    Dialogs::message(QString::fromStdString(exportSummary(out.result())));
}

}  // namespace barqeen
