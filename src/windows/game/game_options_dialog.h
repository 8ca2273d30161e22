#pragma once
// The game options dialog «خيارات المطارحة», opened from the start-letter dialog: vowelled
// verses, the level of play and a time limit per turn. It shows the options kept in the
// application's settings and keeps the ones chosen when closed with OK.
#include "core/rules/game_options.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;

namespace barqeen {

class PicturePushButton;

class TfmGameOptions : public QDialog {
    Q_OBJECT
public:
    explicit TfmGameOptions(QWidget* parent = nullptr);

    // Shows the kept options, runs the dialog, and keeps what was chosen on OK.
    void edit();

    void showOptions(const GameOptions& options);
    GameOptions chosenOptions() const;

    QCheckBox* cxVowelled = nullptr;
    QLabel* laLevel = nullptr;
    QComboBox* cbLevel = nullptr;
    QLabel* laTurnTime = nullptr;
    QComboBox* cbTurnTime = nullptr;
    PicturePushButton* bbOk = nullptr;
    PicturePushButton* bbCancel = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace barqeen
