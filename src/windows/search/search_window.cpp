#include "windows/search/search_window.h"
#include "windows/shell/letter_items.h"
#include "core/text/letters.h"

#include "windows/shell/picture_push_button.h"
#include "core/search/split_words.h"
#include "core/search/verse_meter.h"
#include "core/search/verse_search.h"
#include "windows/shell/meter_worker.h"
#include "windows/shell/accessibility.h"
#include "windows/shell/anchors.h"
#include "windows/shell/db_controls.h"
#include "windows/shell/db_grid.h"
#include "windows/shell/dialogs.h"
#include "windows/shell/fonts.h"
#include "windows/shell/guard.h"
#include "windows/shell/shell.h"
#include "windows/shell/verse_cell.h"
#include "core/text/codepage.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QScrollBar>
#include <QTimer>
#include <QVariantAnimation>
#include <QtConcurrent/QtConcurrentRun>

#include <exception>

namespace barqeen {
namespace {

constexpr int kGridTopOpen = 200;    // below the criteria panel
constexpr int kGridTopClosed = 115;  // where the panel would be
constexpr int kGridBottomGap = 6;    // between the grid and the window's bottom edge
constexpr int kCountRight = 138 + 6;  // the count's right edge: it grows to the left
constexpr int kSlideMsPerPixel = 2;   // the grid's slide between the two tops

QLabel* label(const QString& text, QRect geometry, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setAttribute(Qt::WA_TranslucentBackground);
    l->setGeometry(geometry);
    return l;
}

QCheckBox* checkBox(const QString& text, QRect geometry, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setLayoutDirection(Qt::RightToLeft);
    // As wide as its caption needs, growing to the left: its right edge stays where designed.
    const int width = std::max(geometry.width(), box->sizeHint().width());
    box->setGeometry(geometry.right() + 1 - width, geometry.y(), width, geometry.height());
    return box;
}

QComboBox* pickList(QRect geometry, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setGeometry(geometry);
    list->setEnabled(false);
    list->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));  // a short list that scrolls
    list->setMaxVisibleItems(12);
    return list;
}

// The pop-up list as wide as its longest name needs (never narrower than its box), so that no
// name is cut mid-word.
void widenPopUp(QComboBox& list)
{
    QAbstractItemView* view = list.view();
    int widest = 0;
    for (int i = 0; i < list.count(); ++i)
        widest = std::max(widest, view->sizeHintForIndex(list.model()->index(i, 0)).width());
    const int extra = view->verticalScrollBar()->sizeHint().width() + 2 * view->frameWidth() + 4;
    view->setMinimumWidth(std::max(list.width(), widest + extra));
}

// The key chosen in a list of table rows; none while nothing is chosen.
std::optional<int64_t> chosenKey(const QComboBox& list)
{
    const QVariant key = list.currentData();
    if (list.currentIndex() < 0 || !key.isValid())
        return std::nullopt;
    return int64_t(key.toLongLong());
}

// What the search box holds as code-page text. A character the code page cannot hold can be in
// no verse: it stands as a byte no verse holds (DEL), so that its word finds nothing.
std::string searchBytes(const QString& text)
{
    QString rest = text;
    std::string bytes;
    for (;;) {
        codepage::Encoded part = codepage::fromUnicode(rest);
        bytes += part.bytes;
        if (part.ok())
            return bytes;
        bytes += '\x7F';
        rest = rest.mid(part.position + (*part.unmappable > 0xFFFF ? 2 : 1));
    }
}

}  // namespace

const QStringList& TfmSearch::letterList()
{
    static const QStringList letters = letterItems(OfferedLetters);
    return letters;
}

TfmSearch::TfmSearch(Shell& shell, QWidget* parent) : QDialog(parent), shell_(shell)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("البحث"));
    setLayoutDirection(Qt::RightToLeft);
    setFont(fonts::plainPixels(11));
    resize(536, 392);
    move(120, 103);
    buildControls();
    criteriaChanged();
}

void TfmSearch::buildControls()
{
    buildTitle();
    buildSearchRow();
    buildCount();
    buildPanel();
    buildGrid();
    buildSlide();
    orderTabs();
}

// The title strip, «بحـــث».
void TfmSearch::buildTitle()
{
    Panel2 = new QFrame(this);  // Panel2: the title strip
    Panel2->setGeometry(0, 0, 536, 48);
    Panel2->setStyleSheet(QStringLiteral("background-color: #004040;"));
    anchor(Panel2, Qt::TopEdge | Qt::LeftEdge | Qt::RightEdge);
    StaticText1 = new QLabel(QStringLiteral("بحـــث"), Panel2);  // StaticText1: the title
    StaticText1->setGeometry(432, 1, 97, 52);
    StaticText1->setAlignment(Qt::AlignCenter);
    StaticText1->setFont(fonts::calligraphicPixels(32));
    StaticText1->setStyleSheet(QStringLiteral("color: #FFFF80; background: transparent;"));
    anchor(StaticText1, Qt::TopEdge | Qt::RightEdge);
    StaticText1->setAccessibleName(QStringLiteral("بحث"));  // the tatweels are drawing, not words
}

// The words to search for, the search button and the box that opens the panel.
void TfmSearch::buildSearchRow()
{
    Label1 = label(QStringLiteral("بحث مفردات"), {459, 50, 53, 13}, this);  // Label1: «بحث مفردات»
    Label1->adjustSize();
    Label1->move(512 - Label1->width(), 50);  // its right edge where it was designed
    edSearch = new QLineEdit(this);
    edSearch->setGeometry(352, 70, 169, 21);
    nameControl(edSearch, Label1->text());
    connect(edSearch, &QLineEdit::textChanged, this, [this] { criteriaChanged(); });

    bbSearch = new PicturePushButton(QIcon(QStringLiteral(":/pictures/book.png")), QStringLiteral("ابحث"), this);
    bbSearch->setGeometry(248, 68, 75, 25);
    bbSearch->setDefault(true);  // Enter in the window searches
    bbSearch->setAutoDefault(false);
    connect(bbSearch, &QPushButton::clicked, this, guarded([this] { bbSearchClick(); }));

    cxAdvanced = checkBox(QStringLiteral("بحث متقدم"), {423, 95, 97, 17}, this);
    cxAdvanced->setAutoFillBackground(true);
    QPalette blue = cxAdvanced->palette();
    blue.setColor(QPalette::Window, QColor(0xB6, 0xDC, 0xE7));
    cxAdvanced->setPalette(blue);
    // Toggled, not clicked: a screen reader's toggle action ticks the box without a click.
    connect(cxAdvanced, &QCheckBox::toggled, this, guarded([this] { cxAdvancedClick(); }));

    anchor(Label1, Qt::TopEdge | Qt::RightEdge);
    anchor(edSearch, Qt::TopEdge | Qt::RightEdge);
    anchor(bbSearch, Qt::TopEdge | Qt::RightEdge);
    anchor(cxAdvanced, Qt::TopEdge | Qt::RightEdge);
}

// The number of verses found, growing to the left.
void TfmSearch::buildCount()
{
    LaLabelCount = label(QStringLiteral("عدد ابيات الشعر"), {152, 75, 72, 13}, this);
    LaLabelCount->adjustSize();
    LaLabelCount->move(224 - LaLabelCount->width(), 75);
    LaSearchCount = new QLabel(QStringLiteral("0"), this);
    LaSearchCount->setLayoutDirection(Qt::LeftToRight);
    LaSearchCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LaSearchCount->setAutoFillBackground(true);
    QPalette white = LaSearchCount->palette();
    white.setColor(QPalette::Window, Qt::white);
    LaSearchCount->setPalette(white);
    LaSearchCount->setGeometry(138, 75, 6, 13);
    LaLabelCount->setBuddy(LaSearchCount);  // the count reads with its caption
    LaSearchCount->adjustSize();
    LaSearchCount->move(kCountRight - LaSearchCount->width(), 75);
}

// The verses found, bound to the verse table from the first search on.
void TfmSearch::buildGrid()
{
    DataSource1.setTable(nullptr);  // the grid shows nothing until the first search
    DBGrid1 = new DBGrid(DataSource1, this);  // DBGrid1: the verses found
    nameControl(DBGrid1, QStringLiteral("الأبيات الموجودة"));
    DBGrid1->setReadOnly(true);
    QPalette grid = DBGrid1->palette();
    grid.setColor(QPalette::Base, QColor(0xD6, 0xE4, 0xEB));
    DBGrid1->setPalette(grid);
    DBGrid1->drawDataCell = [this](QPainter& p, const QRect& r, Field& f, const QString& text,
                                   const QStyleOptionViewItem& state) { DBGrid1DrawDataCell(p, r, f, text, state); };
    DBGrid1->viewport()->installEventFilter(this);
    connect(&DataSource1, &DataSource::tableEvent, this, [this](const TableEvent& e) {
        if (e.kind == TableEvent::Reset || e.kind == TableEvent::Layout)
            sizeColumns();
        // Once the table has finished with the edit, not inside its notice.
        if (e.kind == TableEvent::StateChanged && answersState_ == AnswersState::Owed && !DataSource1.editing())
            QTimer::singleShot(0, this, guarded([this] {
                if (answersState_ == AnswersState::Owed && shell_.searchActive())
                    showAnswers();
            }));
    });
    connect(&DataSource1, &DataSource::tableReplaced, this, [this] { sizeColumns(); });
    placeGrid(kGridTopOpen);
}

// One pixel every few milliseconds, each step drawn; the window takes input meanwhile.
void TfmSearch::buildSlide()
{
    slide_ = new QVariantAnimation(this);
    slide_->setDuration((kGridTopOpen - kGridTopClosed) * kSlideMsPerPixel);
    connect(slide_, &QVariantAnimation::valueChanged, this, [this](const QVariant& top) { placeGrid(top.toInt()); });
}

void TfmSearch::orderTabs()
{
    QWidget* order[] = {edSearch,    DBGrid1,    cxAuthor,     dblcAuthor, cxStartLetter, cbStartLetter, cxEndLetter,
                        cbEndLetter, cxCategory, dblcCategory, cxMeter,    cbMeter,       bbSearch,      cxAdvanced};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

// The advanced criteria (author, first letter, last letter, category), hidden until cxAdvanced
// is ticked.
void TfmSearch::buildPanel()
{
    Panel1 = new QFrame(this);  // Panel1: the advanced criteria
    Panel1->setGeometry(8, 114, 520, 81);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    Panel1->setAutoFillBackground(true);
    QPalette teal = Panel1->palette();
    teal.setColor(QPalette::Window, QColor(0x40, 0x80, 0x80));
    Panel1->setPalette(teal);
    Panel1->hide();

    cxAuthor = checkBox(QStringLiteral("الشاعر"), {456, 15, 56, 17}, Panel1);
    dblcAuthor = pickList({432, 40, 81, 21}, Panel1);
    cxStartLetter = checkBox(QStringLiteral("حرف البداية"), {328, 16, 81, 17}, Panel1);
    cbStartLetter = pickList({327, 40, 81, 21}, Panel1);
    cbStartLetter->addItems(letterList());
    cbStartLetter->setCurrentIndex(-1);
    cxEndLetter = checkBox(QStringLiteral("حرف النهاية"), {232, 16, 81, 17}, Panel1);
    cbEndLetter = pickList({231, 40, 81, 21}, Panel1);
    cbEndLetter->addItems(letterList());
    cbEndLetter->setCurrentIndex(-1);
    cxCategory = checkBox(QStringLiteral("الموضوع"), {136, 15, 56, 17}, Panel1);
    dblcCategory = pickList({111, 40, 81, 21}, Panel1);
    buildMeterControls();
    reloadLists();
    for (auto [list, box] : {std::pair{dblcAuthor, cxAuthor}, {cbStartLetter, cxStartLetter}, {cbEndLetter, cxEndLetter},
                             {dblcCategory, cxCategory}, {cbMeter, cxMeter}})
        nameControl(list, box->text());

    connect(cxAuthor, &QCheckBox::toggled, this, guarded([this] { cxAuthorClick(); }));
    connect(cxStartLetter, &QCheckBox::toggled, this, guarded([this] { cxStartLetterClick(); }));
    connect(cxEndLetter, &QCheckBox::toggled, this, guarded([this] { cxEndLetterClick(); }));
    connect(cxCategory, &QCheckBox::toggled, this, guarded([this] { cxCategoryClick(); }));
    connect(cxMeter, &QCheckBox::toggled, this, guarded([this] { cxMeterClick(); }));
    for (QCheckBox* box : {cxAuthor, cxStartLetter, cxEndLetter, cxCategory, cxMeter, cxAdvanced})
        connect(box, &QCheckBox::toggled, this, [this] { criteriaChanged(); });
    for (QComboBox* list : {dblcAuthor, cbStartLetter, cbEndLetter, dblcCategory, cbMeter})
        connect(list, &QComboBox::currentIndexChanged, this, [this] { criteriaChanged(); });
    for (QWidget* w : Panel1->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        anchor(w, Qt::TopEdge | Qt::RightEdge);
    anchor(Panel1, Qt::TopEdge | Qt::LeftEdge | Qt::RightEdge);
}

// The meter, at the panel's left end, with the progress of the meters' working out below it.
void TfmSearch::buildMeterControls()
{
    cxMeter = checkBox(QStringLiteral("البحر"), {40, 15, 56, 17}, Panel1);
    cbMeter = pickList({15, 40, 81, 21}, Panel1);
    for (int choice = 0; choice < MeterChoiceCount(); ++choice)
        cbMeter->addItem(QString::fromStdString(MeterChoiceName(choice)), choice);
    cbMeter->setCurrentIndex(-1);
    widenPopUp(*cbMeter);
    laMeterProgress = new QLabel(Panel1);
    laMeterProgress->setGeometry(6, 62, 186, 16);
    laMeterProgress->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);  // from under the list
    laMeterProgress->setStyleSheet(QStringLiteral("color: #FFFFFF; background: transparent;"));
    laMeterProgress->setBuddy(cbMeter);
    connect(&shell_.meterWorker(), &MeterWorker::progressed, this, guarded([this] { showMeterProgress(); }));
    showMeterProgress();
}

bool TfmSearch::metersKnown() const
{
    return shell_.meterWorker().complete();
}

bool TfmSearch::searchesByMeter() const
{
    return cxAdvanced->isChecked() && cxMeter->isChecked();
}

// «جارٍ حساب البحور… 40٪» until every verse's meter is known; then the answers owed to a search by
// meter are shown, and the search button that waited goes on.
void TfmSearch::showMeterProgress()
{
    const bool known = metersKnown();
    const QString text = known ? QString()
                               : QStringLiteral("جارٍ حساب البحور… %1٪").arg(shell_.meterWorker().percent());
    laMeterProgress->setText(text);
    laMeterProgress->setVisible(!known);
    cbMeter->setAccessibleDescription(text);
    if (!known)
        return;
    if (untilMetersKnown_)
        untilMetersKnown_->quit();
    if (answersState_ == AnswersState::AwaitingMeters && shell_.searchActive())
        showAnswers();
}

// The poet and the letters beside the verse without a sideways scroll; the verse takes the rest.
void TfmSearch::sizeColumns()
{
    DBGrid1->fitColumnsGivingRoomTo("Text");
}

// The lists of authors and categories as the tables hold them now; the chosen ones stay chosen.
void TfmSearch::reloadLists()
{
    const std::pair<QComboBox*, Table*> lists[] = {{dblcAuthor, &shell_.cdsAuthors()},
                                                   {dblcCategory, &shell_.cdsCategories()}};
    for (const auto& [list, table] : lists) {
        const std::optional<int64_t> chosen = chosenKey(*list);
        const QSignalBlocker quiet(list);
        list->clear();
        const char* name = table == &shell_.cdsAuthors() ? "AuthorName" : "CategoryName";
        if (table->active())
            addRowItems(*list, *table, table->field(name).column());
        list->setCurrentIndex(chosen ? list->findData(QVariant::fromValue(qint64(*chosen))) : -1);
        widenPopUp(*list);
    }
    criteriaChanged();
}

SearchCriteria TfmSearch::criteria() const
{
    SearchCriteria c;
    c.words = searchBytes(edSearch->text());
    c.advanced = cxAdvanced->isChecked();
    c.byAuthor = cxAuthor->isChecked();
    c.author = chosenKey(*dblcAuthor);
    c.byStartLetter = cxStartLetter->isChecked();
    c.startLetter = searchBytes(cbStartLetter->currentText());
    c.byEndLetter = cxEndLetter->isChecked();
    c.endLetter = searchBytes(cbEndLetter->currentText());
    c.byCategory = cxCategory->isChecked();
    if (const std::optional<int64_t> key = chosenKey(*dblcCategory))
        c.category = int32_t(*key);
    c.byMeter = cxMeter->isChecked();
    if (const std::optional<int64_t> choice = chosenKey(*cbMeter))
        c.meter = int(*choice);
    return c;
}

// The record filter reads the criteria as the controls hold them: it is told at every change.
// While a search is shown, the verses listed follow at once, so that the table never lists
// verses its own filter would now refuse.
void TfmSearch::criteriaChanged()
{
    if (untilMetersKnown_ && !searchesByMeter())
        untilMetersKnown_->quit();  // the search that waited no longer asks for a meter
    const SearchCriteria now = criteria();
    if (now == shell_.search().criteria())
        return;
    shell_.search().setCriteria(now);
    if (shell_.searchActive())
        runGuarded([this] { showAnswers(); });
}

// The verse table asks its filter again. A pending verse edit is not settled for it: the rows
// follow once the edit is posted or cancelled.
void TfmSearch::showAnswers()
{
    Table& poem = shell_.cdsPoem();
    if (formsState_ == FormsState::Making || !poem.active() || !poem.filtered() || DataSource1.table() != &poem)
        return;
    if (DataSource1.editing()) {
        setAnswersState(AnswersState::Owed);
        return;
    }
    if (searchesByMeter() && !metersKnown()) {
        setAnswersState(AnswersState::AwaitingMeters);
        return;
    }
    setAnswersState(AnswersState::Current);
    poem.refilter();
    showCount(poem.recordCount());
}

void TfmSearch::setAnswersState(AnswersState state)
{
    answersState_ = state;
}

// ---------------------------------------------------------------- events

bool TfmSearch::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        runGuarded([this] { FormActivate(); });
    return QDialog::event(e);
}

void TfmSearch::done(int result)
{
    if (untilMetersKnown_)
        untilMetersKnown_->quit();  // the search that waited for the meters is dropped
    waitForForms();
    runGuarded([this] { FormClose(); });
    QDialog::done(result);
}

void TfmSearch::hideEvent(QHideEvent* event)
{
    if (untilMetersKnown_)
        untilMetersKnown_->quit();
    waitForForms();  // hidden without closing, as a stop signal does, before the tables close
    QDialog::hideEvent(event);
}

TfmSearch::~TfmSearch()
{
    waitForForms();
}

void TfmSearch::paintEvent(QPaintEvent*)
{
    shell_.PaintGradient(this);
}

void TfmSearch::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    placeGrid(DBGrid1->y());
    sizeColumns();
}

bool TfmSearch::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == DBGrid1->viewport() && e->type() == QEvent::MouseButtonDblClick)
        runGuarded([this] { DBGrid1DblClick(); });
    return QDialog::eventFilter(watched, e);
}

// The grid keeps 9 pixels to the window's sides and its bottom edge 6 pixels above the window's,
// wherever the slide has put its top: no row of it is ever hidden below the window's edge.
void TfmSearch::placeGrid(int top)
{
    DBGrid1->setGeometry(9, top, width() - 18, std::max(0, height() - top - kGridBottomGap));
}

void TfmSearch::FormActivate()
{
    reloadLists();
    cxAdvancedClick();
}

void TfmSearch::FormClose()
{
    shell_.setSearchActive(false);
    setAnswersState(AnswersState::Current);
    // The table keeps the verses it shows instead of asking its record filter at every read:
    // it asks again now, so that every view sees every verse, on the same verse as before. A
    // pending verse edit stays pending (on its verse): closing the search does not post it.
    Table& poem = shell_.cdsPoem();
    if (poem.active() && poem.filtered()) {
        const bool pending = poem.state() == Table::State::Edit || poem.state() == Table::State::Insert;
        const Value current = poem.currentRow() ? poem.field("TextID").value() : Value();
        poem.refilter();
        if (!pending && current.isInteger())
            poem.locate("TextID", current);
    }
}

// ---------------------------------------------------------------- handlers

void TfmSearch::cxAdvancedClick()
{
    const bool open = cxAdvanced->isChecked();
    Panel1->setVisible(open);
    // A click on the box during a slide starts a slide of its own in place of the older one.
    slide_->stop();
    slide_->setStartValue(open ? kGridTopClosed : kGridTopOpen);
    slide_->setEndValue(open ? kGridTopOpen : kGridTopClosed);
    slide_->start();
}

void TfmSearch::cxAuthorClick()
{
    dblcAuthor->setEnabled(cxAuthor->isChecked());
}

void TfmSearch::cxStartLetterClick()
{
    cbStartLetter->setEnabled(cxStartLetter->isChecked());
}

void TfmSearch::cxEndLetterClick()
{
    cbEndLetter->setEnabled(cxEndLetter->isChecked());
}

void TfmSearch::cxCategoryClick()
{
    dblcCategory->setEnabled(cxCategory->isChecked());
}

void TfmSearch::cxMeterClick()
{
    cbMeter->setEnabled(cxMeter->isChecked());
}

// A search by meter before every verse's meter is known waits for them, the window going on and
// the progress showing under the meter list; closing the window drops the search.
void TfmSearch::waitForMeters()
{
    if (!searchesByMeter() || metersKnown())
        return;
    QEventLoop untilKnown;
    untilMetersKnown_ = &untilKnown;
    bbSearch->setEnabled(false);
    untilKnown.exec();
    untilMetersKnown_ = nullptr;
    bbSearch->setEnabled(formsState_ == FormsState::Idle);
}

// The matching forms of every verse are made once, by the first search: on other threads, the
// window handling its input meanwhile. Nothing here changes the verse table until they are made.
void TfmSearch::makeFormsBesideTheWindow()
{
    VerseSearch& search = shell_.search();
    if (!search.needsForms())
        return;
    setFormsState(FormsState::Making);
    std::exception_ptr failure;
    QFutureWatcher<void> watcher;
    QEventLoop untilMade;
    connect(&watcher, &QFutureWatcher<void>::finished, &untilMade, &QEventLoop::quit);
    formsWorker_ = QtConcurrent::run([&search, &failure] {
        try {
            search.makeForms();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    watcher.setFuture(formsWorker_);
    untilMade.exec();
    setFormsState(FormsState::Idle);
    if (failure)
        std::rethrow_exception(failure);
}

void TfmSearch::setFormsState(FormsState state)
{
    formsState_ = state;
    bbSearch->setEnabled(state == FormsState::Idle);
}

// Closing the window changes the verse table's filter, and a stop signal closes the tables:
// neither may happen while the worker reads the verses, so they wait for it (well under a second).
void TfmSearch::waitForForms()
{
    formsWorker_.waitForFinished();
}

void TfmSearch::bbSearchClick()
{
    if (untilMetersKnown_)
        return;  // a search already waits for the meters
    makeFormsBesideTheWindow();
    if (!isVisible())
        return;  // closed while the forms were made
    waitForMeters();
    if (!isVisible() || (searchesByMeter() && !metersKnown()))
        return;  // closed while the meters were worked out
    shell_.setSearchActive(true);
    Table& poem = shell_.cdsPoem();
    criteriaChanged();
    poem.setFiltered(false);
    poem.setFilterText("");
    poem.setFiltered(true);
    if (DataSource1.table() != &poem)
        DataSource1.setTable(&poem);
    showCount(poem.recordCount());
}

void TfmSearch::showCount(int count)
{
    LaSearchCount->setText(QStringLiteral(" %1 ").arg(count));
    LaSearchCount->adjustSize();
    LaSearchCount->move(kCountRight - LaSearchCount->width(), LaSearchCount->y());
}

void TfmSearch::DBGrid1DblClick()
{
    if (formsState_ == FormsState::Making)
        return;  // the verse table may not change until the forms are made
    shell_.cdsPoem().field("Categories").setVisible(false);
    shell_.openVerseWindow();
}

void TfmSearch::DBGrid1DrawDataCell(QPainter& painter, const QRect& rect, Field& field, const QString& text,
                                    const QStyleOptionViewItem& state)
{
    drawVerseCell(painter, rect, field, text, state.state & QStyle::State_Selected, DBGrid1->palette());
}

}  // namespace barqeen
