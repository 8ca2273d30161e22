#pragma once
// The start-letter dialog (filled in with the game itself).
#include <QDialog>

namespace barqeen {

class TfmStartLetter : public QDialog {
    Q_OBJECT
public:
    explicit TfmStartLetter(QWidget* parent = nullptr);
};

}  // namespace barqeen
