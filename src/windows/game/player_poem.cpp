#include "windows/game/player_poem.h"

#include "windows/shell/accessibility.h"
#include "windows/shell/anchors.h"
#include "windows/shell/db_grid.h"
#include "windows/shell/dialogs.h"
#include "windows/shell/fonts.h"
#include "windows/shell/guard.h"
#include "windows/shell/shell.h"
#include "windows/shell/verse_cell.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>

namespace barqeen {
namespace {

const QString kCaption = QStringLiteral("شعر مسجل");
const QString kAskDelete = QStringLiteral("هل تريد حذف البيت الحالي");
const QColor kGridBackground(0xC6, 0xE8, 0xE0);
constexpr int kLabelGap = 8;  // between the player's name and the date when the name is long

// The time format without its time-zone name: the zone is the machine's own and says nothing.
QString withoutZone(const QString& format)
{
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return out.trimmed();
}

}  // namespace

QString shortDateLongTime(const QDateTime& time, const QLocale& locale)
{
    return locale.toString(time.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(time.time(), withoutZone(locale.timeFormat(QLocale::LongFormat)));
}

TfmPlayerPoem::TfmPlayerPoem(Shell& shell) : QWidget(nullptr, Qt::Window), shell_(shell)
{
    setWindowTitle(kCaption);
    setLayoutDirection(Qt::RightToLeft);
    setFont(fonts::plainPixels(11));
    resize(536, 348);
    move(151, 85);

    const TitleStrip strip = makeTitleStrip(this, kCaption, {416, 4, 113, 42});
    Panel1 = strip.panel;  // Panel1: the title strip, with the player and the date
    StaticText1 = strip.title;  // StaticText1: the title, «شعر مسجل»
    player_ = StripLabel(Panel1, QStringLiteral("الاعب"), {336, 24});
    laPlayer = player_.label();
    date_ = StripLabel(Panel1, QStringLiteral("التاريخ"), {272, 24});
    laDate = date_.label();
    laDate->setLayoutDirection(Qt::LeftToRight);

    DataSource1.setTable(&shell_.cdsPlayerPoem());
    DBGrid1 = new DBGrid(DataSource1, this);  // DBGrid1: the verses the player typed in the game
    nameControl(DBGrid1, QStringLiteral("أبيات المتسابق"));
    DBGrid1->setGeometry(10, 61, 513, 273);
    DBGrid1->setReadOnly(true);
    DBGrid1->setFrameShape(QFrame::NoFrame);
    QPalette palette = DBGrid1->palette();
    palette.setColor(QPalette::Base, kGridBackground);
    DBGrid1->setPalette(palette);
    DBGrid1->drawDataCell = [this](QPainter& p, const QRect& r, Field& f, const QString& text,
                                   const QStyleOptionViewItem& state) { DBGrid1DrawDataCell(p, r, f, text, state); };
    anchor(DBGrid1, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);

    PopupMenu1 = new QMenu(this);  // PopupMenu1: the grid's context menu
    N1 = PopupMenu1->addAction(QStringLiteral("إضافة إلى جدول الشعر"));  // N1: «إضافة إلى جدول الشعر»
    N2 = PopupMenu1->addAction(QStringLiteral("حذف"));  // N2: «حذف»
    connect(N1, &QAction::triggered, this, guarded([this] { N1Click(); }));
    connect(N2, &QAction::triggered, this, guarded([this] { N2Click(); }));
    // There is nothing to delete in an empty list.
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this] {
        const Table* t = DataSource1.table();
        N2->setEnabled(t && t->active() && !t->isEmpty());
    });
    DBGrid1->installEventFilter(this);
    DBGrid1->viewport()->installEventFilter(this);

    // The window closes with the main window.
    shell_.mainWindow().installEventFilter(this);
}

TfmPlayerPoem::~TfmPlayerPoem() = default;

void TfmPlayerPoem::showGame(const QString& playerName, const QDateTime& playTime)
{
    laPlayer->setText(playerName);
    laDate->setText(shortDateLongTime(playTime, QLocale()));
    placeLabels();
}

void TfmPlayerPoem::open(const QString& playerName, const QDateTime& playTime)
{
    showGame(playerName, playTime);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TfmPlayerPoem::placeLabels()
{
    Panel1->resize(width(), Panel1->height());
    const int titleRight = Panel1->width() - (536 - 529);
    StaticText1->move(titleRight - StaticText1->width(), StaticText1->y());
    player_.place();
    date_.place(laPlayer->x() - kLabelGap);
}

void TfmPlayerPoem::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeLabels();
}

void TfmPlayerPoem::paintEvent(QPaintEvent*)
{
    shell_.PaintGradient(this);
}

void TfmPlayerPoem::DBGrid1DrawDataCell(QPainter& painter, const QRect& rect, Field& field, const QString& text,
                                        const QStyleOptionViewItem& state)
{
    drawVerseCell(painter, rect, field, text, state.state & QStyle::State_Selected, state.palette);
}

void TfmPlayerPoem::popUpAt(const QPoint& globalPos)
{
    PopupMenu1->popup(globalPos);
}

bool TfmPlayerPoem::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &shell_.mainWindow()) {
        // The main window hides only when its close has gone through (a minimised window's
        // hide comes from the system); a close it refuses leaves this window open.
        if (event->type() == QEvent::Hide && !event->spontaneous())
            close();
        return false;
    }
    if (watched == DBGrid1->viewport() && event->type() == QEvent::Resize)
        fitColumns(*DBGrid1);  // the last column takes the room the grid gains
    switch (event->type()) {
    case QEvent::ContextMenu: {
        auto* e = static_cast<QContextMenuEvent*>(event);
        // The menu key opens the menu through its key press below; the platform's own notice
        // of that key is dropped so that the menu does not open twice.
        if (e->reason() == QContextMenuEvent::Mouse)
            popUpAt(e->globalPos());
        return true;
    }
    case QEvent::KeyPress: {
        auto* e = static_cast<QKeyEvent*>(event);
        const bool menuKey = e->key() == Qt::Key_Menu || (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier);
        if (!menuKey || watched != DBGrid1)
            return false;
        // At the current cell, as the keyboard has no pointer; like a menu under the pointer, it
        // opens towards the reading direction's end (leftwards).
        const QRect cell = DBGrid1->visualRect(DBGrid1->currentIndex());
        QPoint at = DBGrid1->viewport()->mapToGlobal(cell.isValid() ? cell.center()
                                                                    : QPoint(DBGrid1->viewport()->width() / 2, 0));
        if (isRightToLeft())
            at.rx() -= PopupMenu1->sizeHint().width() - 1;
        popUpAt(at);
        return true;
    }
    default:
        return false;
    }
}

void TfmPlayerPoem::N1Click()
{
    // The new verse joins the whole table, whatever filter a game or the verse window left on.
    Table& poems = shell_.cdsPoem();
    Table& verses = shell_.cdsPlayerPoem();
    poems.setFiltered(false);
    poems.append();
    if (!verses.isEmpty())
        poems.field("Text").setAsString(verses.field("Text").asString());
    // The user completes the letters, the poet and the categories there, and posts or cancels.
    shell_.openVerseWindow();
    // The closed verse window hands the activation back to the main window's side, where the
    // modal history window would stand in front of this one: back to where the user was.
    raise();
    activateWindow();
}

void TfmPlayerPoem::N2Click()
{
    Table& verses = shell_.cdsPlayerPoem();
    if (verses.isEmpty())
        return;
    if (Dialogs::confirm(kAskDelete))
        verses.remove();
}

}  // namespace barqeen
