#include "windows/game/history.h"

#include "windows/shell/accessibility.h"
#include "windows/shell/anchors.h"
#include "windows/shell/db_grid.h"
#include "windows/shell/dialogs.h"
#include "windows/shell/fonts.h"
#include "windows/shell/guard.h"
#include "windows/shell/shell.h"
#include "core/store/datetime.h"
#include "core/text/codepage.h"

#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace barqeen {
namespace {

const QString kCaption = QStringLiteral("سجل المطارحة");
const QColor kGridBackground(0xC8, 0xE8, 0xE4);

// The column titles of the two tables, set each time the history window opens.
struct Title {
    const char* field;
    const char* label;
};
constexpr Title kHistoryTitles[] = {
    {"GameID", "رقم متسلسل"},
    {"PlayerName", "إسم المتسابق"},
    {"PlayTime", "وقت المسابقة"},
    {"Duration", "زمن المسابقة بالدقائق"},
    {"Rounds", "عدد الجولات"},
    {"EndType", "النهاية"},
};
constexpr Title kPlayerPoemTitles[] = {
    {"TextID", "رقم متسلسل"},
    {"GameID", "رقم المطارحة"},
    {"Text", "نص البيت"},
};

void setTitles(Table& table, const auto& titles)
{
    for (const Title& t : titles)
        table.field(t.field).setDisplayLabel(t.label);
}

}  // namespace

TfmHistory::TfmHistory(Shell& shell, QWidget* parent) : QDialog(parent), shell_(shell)
{
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    // Modal to the main window only: the recorded-verses window it opens stays usable.
    setWindowModality(Qt::WindowModal);
    setLayoutDirection(Qt::RightToLeft);
    setFont(fonts::plainPixels(11));
    setSizeGripEnabled(true);
    resize(536, 330);
    move(151, 85);

    const TitleStrip strip = makeTitleStrip(this, kCaption, {376, 4, 153, 42});
    Panel1 = strip.panel;  // Panel1: the title strip
    StaticText1 = strip.title;  // StaticText1: the title, «سجل المطارحة»

    DataSource1.setTable(&shell_.cdsHistory());
    DBGrid1 = new DBGrid(DataSource1, this);  // DBGrid1: the games played
    nameControl(DBGrid1, QStringLiteral("المطارحات"));
    DBGrid1->setGeometry(12, 55, 513, 268);
    DBGrid1->setReadOnly(true);
    DBGrid1->setFrameStyle(QFrame::Box | QFrame::Plain);  // flat
    QPalette palette = DBGrid1->palette();
    palette.setColor(QPalette::Base, kGridBackground);
    DBGrid1->setPalette(palette);
    anchor(DBGrid1, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    // A double-click anywhere on the grid, its title row included, opens the current game.
    DBGrid1->viewport()->installEventFilter(this);
    DBGrid1->horizontalHeader()->viewport()->installEventFilter(this);
    // Return on the grid does the same, so that a keyboard alone can open a game's verses.
    DBGrid1->installEventFilter(this);
}

TfmHistory::~TfmHistory() = default;

void TfmHistory::paintEvent(QPaintEvent*)
{
    shell_.PaintGradient(this);
}

void TfmHistory::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    fitColumns(*DBGrid1);
}

void TfmHistory::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Panel1->resize(width(), Panel1->height());
    StaticText1->move(width() - (536 - 529) - StaticText1->width(), StaticText1->y());
}

bool TfmHistory::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DBGrid1->viewport() && event->type() == QEvent::Resize)
        fitColumns(*DBGrid1);  // the last column takes the room the grid gains
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        runGuarded([this] { DBGrid1DblClick(); });
        return true;
    }
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
            runGuarded([this] { DBGrid1DblClick(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfmHistory::DBGrid1DblClick()
{
    Table& history = shell_.cdsHistory();
    Table& verses = shell_.cdsPlayerPoem();
    // With no game the expression has no number, and the table refuses it: nothing opens.
    verses.setFilter("GameID", history.field("GameID").value());
    verses.setFiltered(true);
    verses.field("Text").setDisplayWidth(40);

    const Field& playTime = history.field("PlayTime");
    shell_.openRecordedVerses(codepage::toUnicode(history.field("PlayerName").asString()),
                              playTime.isNull() ? QDateTime() : datetime::toLocal(playTime.value().integer()));
}

void TfmHistory::open()
{
    setTitles(shell_.cdsHistory(), kHistoryTitles);
    setTitles(shell_.cdsPlayerPoem(), kPlayerPoemTitles);
    Dialogs::exec(*this);
}

}  // namespace barqeen
