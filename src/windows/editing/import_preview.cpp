#include "windows/editing/import_preview.h"

#include "core/exchange/import_report.h"
#include "windows/shell/accessibility.h"
#include "windows/shell/guard.h"
#include "core/text/codepage.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace barqeen {
namespace {

using namespace exchange;

constexpr std::chrono::milliseconds kSlice(30);

QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

QString fromCodePage(std::string_view bytes)
{
    return codepage::toUnicode(bytes);
}

const std::pair<Encoding, QString> kEncodings[] = {
    {Encoding::Auto, QStringLiteral("تلقائي")},
    {Encoding::Utf8, QStringLiteral("UTF-8")},
    {Encoding::Utf16, QStringLiteral("UTF-16")},
    {Encoding::Windows1256, QStringLiteral("Windows-1256 (العربي القديم)")},
};

const std::pair<HeadingPoet, QString> kHeadingRules[] = {
    {HeadingPoet::None, QStringLiteral("عناوين فقط، لا تُحفظ")},
    {HeadingPoet::First, QStringLiteral("أول سطر من كل عنوان اسم الشاعر")},
    {HeadingPoet::Last, QStringLiteral("آخر سطر فوق الأبيات اسم الشاعر")},
};

// The refusals by reason, on one line.
QString refusalCounts(const ImportResult& result)
{
    QStringList parts;
    const auto by = result.refusedBy();
    for (int r = 0; r < kRefusalKinds; ++r)
        if (by[size_t(r)])
            parts << QStringLiteral("%1: %2").arg(fromUtf8(refusalName(Refusal(r)))).arg(by[size_t(r)]);
    return parts.join(QStringLiteral("، "));
}

}  // namespace

TfmImportPreview::TfmImportPreview(PoemStore& store, const QString& path, const ImportOptions& options,
                                   QWidget* parent)
    : QDialog(parent), store_(store), path_(path.toStdString()), options_(options)
{
    options_.dryRun = false;
    setWindowTitle(QStringLiteral("معاينة الاستيراد"));
    resize(820, 520);

    laFile = new QLabel(QStringLiteral("الملف: %1").arg(QFileInfo(path).fileName()), this);
    laSource = new QLabel(this);
    cbEncoding = new QComboBox(this);
    for (const auto& [encoding, name] : kEncodings)
        cbEncoding->addItem(name);
    cbLayout = new QComboBox(this);
    for (const Layout layout : allLayouts())
        cbLayout->addItem(fromUtf8(layoutTitle({layout, {}})));
    if (options_.layout.kind == Layout::Custom)
        cbLayout->addItem(fromUtf8(layoutTitle(options_.layout)));
    cbHeadingPoet = new QComboBox(this);
    for (const auto& [rule, name] : kHeadingRules)
        cbHeadingPoet->addItem(name);
    for (int i = 0; i < int(std::size(kEncodings)); ++i)
        if (kEncodings[i].first == options_.encoding)
            cbEncoding->setCurrentIndex(i);
    const auto& layouts = allLayouts();
    const auto at = std::find(layouts.begin(), layouts.end(), options_.layout.kind);
    cbLayout->setCurrentIndex(at == layouts.end() ? cbLayout->count() - 1 : int(at - layouts.begin()));
    cbHeadingPoet->setCurrentIndex(int(options_.headingPoet));

    grVerses = new QTableWidget(0, 7, this);
    grVerses->setHorizontalHeaderLabels({QStringLiteral("السطر"), QStringLiteral("الشطر الأول"),
                                         QStringLiteral("الشطر الثاني"), QStringLiteral("الشاعر"),
                                         QStringLiteral("المواضيع"), QStringLiteral("البداية"),
                                         QStringLiteral("النهاية")});
    grVerses->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grVerses->setSelectionBehavior(QAbstractItemView::SelectRows);
    grVerses->setTabKeyNavigation(false);  // Tab goes on to the buttons, not from cell to cell
    grVerses->verticalHeader()->hide();
    nameControl(grVerses, QStringLiteral("الأبيات كما تُحفظ"));
    grVerses->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grVerses->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    grVerses->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    laCounts = new QLabel(this);
    laCounts->setWordWrap(true);
    laCounts->setTextInteractionFlags(Qt::TextSelectableByMouse);

    bbImport = new QPushButton(QStringLiteral("استيراد"), this);
    bbCancel = new QPushButton(QStringLiteral("إلغاء"), this);
    bbImport->setDefault(true);

    auto* choices = new QFormLayout;
    choices->addRow(QStringLiteral("الترميز:"), cbEncoding);
    choices->addRow(QStringLiteral("الشطران:"), cbLayout);
    choices->addRow(QStringLiteral("سطور العناوين:"), cbHeadingPoet);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bbImport);
    buttons->addWidget(bbCancel);
    auto* column = new QVBoxLayout(this);
    column->addWidget(laFile);
    column->addWidget(laSource);
    column->addLayout(choices);
    column->addWidget(grVerses, 1);
    column->addWidget(laCounts);
    column->addLayout(buttons);

    for (QComboBox* box : {cbEncoding, cbLayout, cbHeadingPoet})
        connect(box, &QComboBox::currentIndexChanged, this, guarded([this] { optionsChanged(); }));
    connect(bbImport, &QPushButton::clicked, this, &QDialog::accept);
    connect(bbCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(&stepper_, &QTimer::timeout, this, guarded([this] { stepCheck(); }));
    connect(this, &QDialog::finished, this, [this] {
        stepper_.stop();
        check_.reset();
    });
    restart();
}

TfmImportPreview::~TfmImportPreview() = default;

bool TfmImportPreview::checked() const
{
    return !check_ || check_->result().outcome != ImportResult::Outcome::Running;
}

void TfmImportPreview::optionsChanged()
{
    options_.encoding = kEncodings[size_t(std::max(0, cbEncoding->currentIndex()))].first;
    const auto& layouts = allLayouts();
    const int layout = cbLayout->currentIndex();
    if (layout >= 0 && layout < int(layouts.size()))
        options_.layout = {layouts[size_t(layout)], {}};
    options_.headingPoet = kHeadingRules[size_t(std::max(0, cbHeadingPoet->currentIndex()))].first;
    restart();
}

void TfmImportPreview::restart()
{
    stepper_.stop();
    ImportOptions dry = options_;
    dry.dryRun = true;
    dry.writeReport = false;
    check_.reset();
    check_ = std::make_unique<VerseImport>(store_, path_, dry);
    grVerses->setRowCount(0);
    rowsShown_ = 0;
    stepCheck();
    // The first verses come within the first slices; the rest of the file is counted between events.
    for (int i = 0; i < 50 && !checked() && check_->result().firstVerses.size() < 20; ++i)
        stepCheck();
    if (!checked())
        stepper_.start(0);
}

void TfmImportPreview::stepCheck()
{
    if (!check_)
        return;
    if (!check_->step(kSlice))
        stepper_.stop();
    showCheck();
}

void TfmImportPreview::showCheck()
{
    const ImportResult& r = check_->result();
    const bool failed = r.outcome == ImportResult::Outcome::Failed;
    const bool text = r.format == Format::Text;
    cbLayout->setEnabled(text || r.format == Format::Auto);
    cbHeadingPoet->setEnabled(text || r.format == Format::Auto);
    // Nothing to store, nothing to do: the import is offered once a verse would be taken.
    bbImport->setEnabled(!failed && r.toTake > 0);
    laSource->setText(r.format == Format::Auto ? QString() : fromUtf8(sourceText(r)));
    if (failed) {
        laCounts->setText(fromUtf8(r.error));
        return;
    }
    for (; rowsShown_ < int(r.firstVerses.size()); ++rowsShown_) {
        const ImportResult::Verse& v = r.firstVerses[size_t(rowsShown_)];
        const std::string& verse = v.fields.text;
        const size_t cut = verse.find("\r\n");
        QStringList categories;
        for (const std::string& c : v.fields.categories)
            categories << fromCodePage(c);
        const QString cells[] = {QString::number(v.line),
                                 fromCodePage(std::string_view(verse).substr(0, cut)),
                                 cut == std::string::npos ? QString() : fromCodePage(std::string_view(verse).substr(cut + 2)),
                                 fromCodePage(v.fields.poet),
                                 categories.join(QStringLiteral("، ")),
                                 fromCodePage(std::string_view(&v.fields.firstLetter, 1)),
                                 fromCodePage(std::string_view(&v.fields.lastLetter, 1))};
        grVerses->insertRow(rowsShown_);
        for (int c = 0; c < int(std::size(cells)); ++c)
            grVerses->setItem(rowsShown_, c, new QTableWidgetItem(cells[c]));
    }
    const bool done = r.outcome == ImportResult::Outcome::Done;
    QString counts = done ? QStringLiteral("في الملف كله: ")
                          : QStringLiteral("إلى الآن (فُحص %1٪ من الملف): ")
                                .arg(int(std::clamp((check_->progress() - 0.15) / 0.45, 0.0, 1.0) * 100));
    counts += QStringLiteral("أبيات تُستورد %1، عناوين %2، أسطر مرفوضة %3")
                  .arg(done ? r.taken : r.toTake)
                  .arg(r.headings.size())
                  .arg(r.refused.size());
    if (!r.refused.empty())
        counts += QStringLiteral(" (%1)").arg(refusalCounts(r));
    if (r.folded.any())
        counts += QStringLiteral("\nوُحِّد من الحروف المتشابهة %1، وحُذف من الرموز الخفية %2، وصارت مسافةً عادية %3.")
                      .arg(r.folded.letters)
                      .arg(r.folded.invisible)
                      .arg(r.folded.spaces);
    laCounts->setText(counts);
}

}  // namespace barqeen
