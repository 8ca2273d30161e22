#pragma once
// The start-letter dialog: the contestant chooses the letter of the computer's opening verse.
// The list keeps its choice from one game to the next.
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace barqeen {

class PicturePushButton;
class TfmGameOptions;

class TfmStartLetter : public QDialog {
    Q_OBJECT
public:
    explicit TfmStartLetter(QWidget* parent = nullptr);

    // The letters offered, in their order (ق and ف are not among them).
    static const QStringList& Letters();
    // The chosen letter, a Windows-1256 byte.
    char chosenLetter() const;

    QLabel* Label1 = nullptr;
    QComboBox* cbLetter = nullptr;
    PicturePushButton* BitBtn1 = nullptr;  // OK, the default button
    PicturePushButton* BitBtn2 = nullptr;  // Cancel, also Esc
    QPushButton* bbOptions = nullptr;      // opens the game options, below the designed controls
    TfmGameOptions* fmGameOptions = nullptr;
};

}  // namespace barqeen
