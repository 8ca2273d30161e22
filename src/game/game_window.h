#pragma once
// The game window (filled in with the game itself).
#include <QDialog>

namespace barqeen {

class TfmMain;

class TfmGame : public QDialog {
    Q_OBJECT
public:
    explicit TfmGame(TfmMain& main, QWidget* parent = nullptr);
};

}  // namespace barqeen
