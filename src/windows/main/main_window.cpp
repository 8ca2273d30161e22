#include "windows/main/main_window.h"

#include "core/search/verse_meters.h"
#include "core/search/verse_search.h"
#include "windows/shell/meter_worker.h"

#include "windows/shell/accessibility.h"
#include "windows/shell/file_version.h"
#include "windows/shell/fonts.h"
#include "windows/shell/guard.h"
#include "windows/shell/painting.h"
#include "windows/shell/picture_button.h"
#include "windows/shell/starter_collection.h"
#include "core/store/layouts.h"
#include "core/store/pending_edits.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace barqeen {
namespace {

const QString kCredit = QStringLiteral("تصميم وبرمجة فريق برقين");
const QString kWebAddress = QStringLiteral("https://www.barqeen.net");
const QString kFirstStart = QStringLiteral(
    "أهلًا بك في برقين.\n\nجدول الأبيات فارغ بعدُ، فلا يجد الحاسوب بيتًا يطارحك به. حمّل «%1»: %2 بيتًا من "
    "الشعر العربي القديم، فتطارح الحاسوب من فورك. أو أدخل أبياتك من نافذة «أبيات الشعر»: اكتبها فيها، أو "
    "استوردها من ملف بزرّ «استيراد»، أو أفلت الملف على النافذة.");
const QString kUnposted = QStringLiteral(
    "لم يُحفظ بعدُ ما كتبته:\n%1\n\nهل تريد الرجوع إليه لإكماله؟\n(لا: يُغلق البرنامج دون حفظه)");

// The title strip's picture: the gradient, and a handle to drag the borderless window by.
class TitleStrip : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        paintTitleStrip(p, width(), height());
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && window()->windowHandle())
            window()->windowHandle()->startSystemMove();
    }
};

QToolButton* glyphButton(const QString& picture, const QRect& geometry, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setIcon(QIcon(picture));
    b->setIconSize(QSize(16, 16));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(geometry);
    return b;
}

// A transparent label; its height grows to the font's line where the designed 13 pixels would
// clip Arabic letters, keeping its centre where it was designed.
QLabel* textLabel(const QString& text, QRect geometry, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignCenter);
    l->setAttribute(Qt::WA_TranslucentBackground);
    const int needed = l->fontMetrics().height();
    if (needed > geometry.height())
        geometry.adjust(0, -(needed - geometry.height()) / 2, 0, (needed - geometry.height() + 1) / 2);
    l->setGeometry(geometry);
    return l;
}

}  // namespace

TfmMain::TfmMain(const QString& dataDir, const QString& executablePath, TablesOpen when, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), store_(dataDir.toStdString()),
      executablePath_(executablePath)
{
    setWindowTitle(kAppTitle);
    setLayoutDirection(Qt::RightToLeft);
    setFixedSize(667, 506);
    setFont(fonts::plain(8));
    buildControls();
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    // The search's record filter stays on the verse table for the whole run; it lets every
    // verse through while no search is active.
    search_ = std::make_unique<VerseSearch>(store_.cdsPoem);
    meters_ = std::make_unique<VerseMeters>(store_.cdsPoem, store_.pathOf(layouts::kPoem), store_.metersPath());
    meterWorker_ = std::make_unique<MeterWorker>(*meters_);
    search_->setMeters(meters_.get());
    store_.cdsPoem.setFilterCallback([this](const RowRef& row) {
        bool accept = true;
        cdsPoemFilterRecord(row, accept);
        return accept;
    });
    runGuarded([this] { FormCreate(); });
    if (when == TablesOpen::Now)
        tablesOpened(openTables());
}

TfmMain::~TfmMain()
{
    FormClose();
}

void TfmMain::buildControls()
{
    // Created in drawing order: each lies over the ones before it; the title strip over all.
    Image1 = new QLabel(this);  // Image1: the background picture
    Image1->setPixmap(QPixmap(QStringLiteral(":/pictures/background.png")));
    Image1->setScaledContents(true);
    Image1->setGeometry(0, 17, 667, 489);
    hideFromScreenReaders(Image1);  // a backdrop says nothing

    Image2 = new QLabel(this);  // Image2: the logo
    Image2->setPixmap(QPixmap(QStringLiteral(":/pictures/logo.png")));
    Image2->setAlignment(Qt::AlignLeft | Qt::AlignTop | Qt::AlignAbsolute);
    Image2->setGeometry(167, 49, 322, 81);
    Image2->setAccessibleName(QStringLiteral("برقين"));  // the logo's word

    // In the order Tab takes them: as the eye reads the window, right to left, top to bottom.
    // Each has an Alt key named after its window in English, the layout a keyboard falls back to.
    const struct {
        PictureButton** button;
        const char* picture;
        const char16_t* caption;  // the words drawn in the picture
        QRect geometry;
        void (TfmMain::*click)();
        const char* shortcut;
    } buttons[] = {
        {&imGame, ":/pictures/game.png", u"مطارحة", {536, 161, 122, 41}, &TfmMain::imGameClick, "Alt+G"},
        {&imCategories, ":/pictures/categories.png", u"مواضيع الشعر", {10, 162, 121, 41}, &TfmMain::imCategoriesClick, "Alt+C"},
        {&imSearch, ":/pictures/search.png", u"بحث", {536, 238, 121, 41}, &TfmMain::imSearchClick, "Alt+S"},
        {&imAuthors, ":/pictures/authors.png", u"الشعراء", {13, 236, 112, 41}, &TfmMain::imAuthorsClick, "Alt+P"},
        {&imPoemEdit, ":/pictures/poemedit.png", u"أبيات الشعر", {537, 320, 122, 41}, &TfmMain::imPoemEditClick, "Alt+V"},
        {&imHistory, ":/pictures/history.png", u"سجل المطارحة", {9, 323, 121, 41}, &TfmMain::imHistoryClick, "Alt+H"},
        {&imExit, ":/pictures/exit.png", u"خروج", {268, 398, 121, 41}, &TfmMain::imExitClick, "Alt+X"},
    };
    PictureButton* previous = nullptr;
    for (const auto& b : buttons) {
        *b.button = new PictureButton(QString::fromLatin1(b.picture), b.geometry, this);
        (*b.button)->setAccessibleName(QString::fromUtf16(b.caption));
        (*b.button)->setShortcut(QKeySequence(QString::fromLatin1(b.shortcut)));
        connect(*b.button, &PictureButton::clicked, this, guarded([this, click = b.click] { clickWhenReady(click); }));
        if (previous)
            setTabOrder(previous, *b.button);
        previous = *b.button;
    }
    imGame->setFocus();  // the first button has the focus when the window opens
    buildOpeningLabel();

    laVersion = textLabel(QStringLiteral("رقم النسخة"), {296, 112, 121, 13}, this);
    Label1 = textLabel(kCredit, {268, 456, 131, 13}, this);  // Label1: the credit line
    Label2 = new LinkLabel(this);  // Label2: the web address, a link that opens it
    Label2->setText(kWebAddress);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setAttribute(Qt::WA_TranslucentBackground);
    Label2->setGeometry(251, 475, 162, std::max(13, Label2->fontMetrics().height()));
    QFont link = Label2->font();
    link.setUnderline(true);
    Label2->setFont(link);
    Label2->setStyleSheet(QStringLiteral("color: blue;"));
    Label2->setCursor(Qt::PointingHandCursor);
    connect(Label2, &LinkLabel::clicked, this, guarded([this] { Label2Click(); }));

    Panel1 = new QFrame(this);  // Panel1: the title strip
    Panel1->setGeometry(0, 0, 667, 17);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    Panel1->setAutoFillBackground(true);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(white);
    Image3 = new TitleStrip(Panel1);  // Image3: the strip's picture, a handle to drag the window by
    Image3->setGeometry(1, 1, 633, 15);
    sbMinimize = glyphButton(QStringLiteral(":/pictures/minimize.png"), {634, 2, 17, 14}, Panel1);
    sbClose = glyphButton(QStringLiteral(":/pictures/close.png"), {652, 1, 16, 15}, Panel1);
    sbMinimize->setAccessibleName(QStringLiteral("تصغير"));
    sbClose->setAccessibleName(QStringLiteral("إغلاق"));
    connect(sbMinimize, &QToolButton::clicked, this, guarded([this] { sbMinimizeClick(); }));
    connect(sbClose, &QToolButton::clicked, this, guarded([this] { sbCloseClick(); }));
    Panel1->raise();
}

void TfmMain::FormCreate()
{
    firstStart_ = !QFileInfo::exists(QString::fromStdString(store_.pathOf(layouts::kPoem)));
}

void TfmMain::showVersion()
{
    uint16_t major = 0, minor = 0, release = 0, build = 0;
    GetFileVersion(executablePath_.toStdString(), major, minor, release, build);
    laVersion->setText(QStringLiteral("نسخة رقم %1.%2.%3").arg(major).arg(minor).arg(release));
    // Where the tables are, for whoever asks the version.
    const QString folder = QStringLiteral("مجلد البيانات: \u2068%1\u2069").arg(QString::fromStdString(store_.dir()));
    laVersion->setToolTip(folder);
    laVersion->setAccessibleDescription(folder);
}

void TfmMain::welcomeFirstStart()
{
    if (!firstStart_ || !cdsPoem().active() || cdsPoem().rowCount() != 0)
        return;
    firstStart_ = false;
    const QString text = kFirstStart.arg(StarterCollection::name()).arg(StarterCollection::verseCount());
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::NoButton, this);
    box.setLayoutDirection(Qt::RightToLeft);
    QPushButton* load = box.addButton(QStringLiteral("تحميل المختارات"), QMessageBox::AcceptRole);
    QPushButton* open = box.addButton(QStringLiteral("أبيات الشعر"), QMessageBox::ActionRole);
    box.addButton(QStringLiteral("لاحقًا"), QMessageBox::RejectRole);
    box.setDefaultButton(load);
    Dialogs::exec(box);
    if (box.clickedButton() == load)
        importStarterCollection();
    else if (box.clickedButton() == open)
        imPoemEditClick();
}

void TfmMain::FormClose()
{
    if (closed_)
        return;
    opening_.waitForFinished();  // the files close once the reading has let go of them
    closed_ = true;
    // Nobody is asked any more: what can be posted is, what cannot is dropped with the table.
    while (std::optional<UnpostedEdit> unposted = postChangedEdits())
        unposted->table->cancel();
    runGuarded([this] { meterWorker_->finish(); });
    runGuarded([this] { store_.CloseTables(); });
}

std::optional<UnpostedEdit> TfmMain::postChangedEdits()
{
    std::optional<UnpostedEdit> unposted;
    runGuarded([&] {
        if (store_.cdsPoem.active())
            unposted = PostChangedEdits({&cdsPoem(), &cdsAuthors(), &cdsCategories(), &cdsHistory(), &cdsPlayerPoem()});
    });
    return unposted;
}

bool TfmMain::settleUnpostedEdits()
{
    while (std::optional<UnpostedEdit> unposted = postChangedEdits()) {
        if (askAtClose_ && Dialogs::warningYesNo(kUnposted.arg(QString::fromStdString(unposted->reason)))) {
            // Back to the row, once this close has been refused.
            QTimer::singleShot(0, this, guarded([this, table = unposted->table, field = unposted->fieldName] {
                showUnpostedEdit(*table, field);
            }));
            return false;
        }
        unposted->table->cancel();
    }
    return true;
}

void TfmMain::closeWithoutQuestions()
{
    askAtClose_ = false;
    close();
}

void TfmMain::closeEvent(QCloseEvent* event)
{
    opening_.waitForFinished();  // nothing of the tables is read while they are being opened
    if (!closed_ && !settleUnpostedEdits()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

}  // namespace barqeen
