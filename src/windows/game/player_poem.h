#pragma once
// The recorded-verses window: the verses the player typed in one game, chosen in the history
// window. It is the program's one window that is not modal: it stays open beside the others
// until closed, and closes with the main window. From its context menu a verse is copied into
// the verse table (through the verse editing window) or deleted.
#include "windows/game/records_look.h"
#include "windows/shell/data_source.h"

#include <QDateTime>
#include <QStyleOptionViewItem>
#include <QWidget>

class QAction;
class QFrame;
class QLabel;
class QLocale;
class QMenu;

namespace barqeen {

class Shell;
class DBGrid;
class Field;

// A time as the system writes it: its short date form and its long time form (without the
// time-zone name), as laDate shows a game's start.
QString shortDateLongTime(const QDateTime& time, const QLocale& locale);

class TfmPlayerPoem : public QWidget {
    Q_OBJECT
public:
    explicit TfmPlayerPoem(Shell& shell);
    ~TfmPlayerPoem() override;

    // The game whose verses are listed: its player and start, shown on the strip.
    void showGame(const QString& playerName, const QDateTime& playTime);
    // Shows the game's verses, the window brought up in front (restored when minimised).
    void open(const QString& playerName, const QDateTime& playTime);

    // ---- controls, by their names ----
    DataSource DataSource1;
    QFrame* Panel1 = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* laPlayer = nullptr;
    QLabel* laDate = nullptr;
    DBGrid* DBGrid1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr;
    QAction* N2 = nullptr;

    // ---- handlers ----
    void N1Click();
    void N2Click();
    void DBGrid1DrawDataCell(QPainter& painter, const QRect& rect, Field& field, const QString& text,
                             const QStyleOptionViewItem& state);

protected:
    void paintEvent(QPaintEvent*) override;  // FormPaint
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeLabels();
    // Opens the context menu at a point of the screen.
    void popUpAt(const QPoint& globalPos);

    Shell& shell_;
    StripLabel player_;
    StripLabel date_;
};

}  // namespace barqeen
