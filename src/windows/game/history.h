#pragma once
// The game history window: one row per game played. Shown modally from the main window's
// history button (open); a double-click opens the chosen game's recorded verses in
// the recorded-verses window, which stays usable beside it.
#include "windows/game/records_look.h"
#include "windows/shell/data_source.h"

#include <QDialog>

class QFrame;
class QLabel;

namespace barqeen {

class Shell;
class DBGrid;

class TfmHistory : public QDialog {
    Q_OBJECT
public:
    explicit TfmHistory(Shell& shell, QWidget* parent = nullptr);
    ~TfmHistory() override;

    // Titles the columns of both tables and shows the window modally.
    void open();

    // ---- controls, by their names ----
    DataSource DataSource1;
    QFrame* Panel1 = nullptr;
    QLabel* StaticText1 = nullptr;
    DBGrid* DBGrid1 = nullptr;

    // ---- handlers ----
    void DBGrid1DblClick();

protected:
    void paintEvent(QPaintEvent*) override;  // FormPaint
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Shell& shell_;
};

}  // namespace barqeen
