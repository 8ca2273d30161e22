#pragma once
// The scansion (التقطيع) of one verse, as a student of prosody checks it: the meter, and for each
// hemistich the letters as said, the strokes of moving and silent letters, and each foot under the
// words it covers, right to left, with the change it carries. Where no meter is named, the closest
// meter and the foot where the verse leaves it.
#include "core/prosody/scansion_detail.h"

#include <QDialog>

class QLabel;
class QTableWidget;

namespace barqeen {

class TfmScansion : public QDialog {
    Q_OBJECT
public:
    explicit TfmScansion(QWidget* parent = nullptr);

    // Scans the verse (hemistichs on two lines, as the table holds them, in Unicode) and shows it.
    void showVerse(const QString& verse);

    QLabel* lbMeter = nullptr;    // the meter, its form and feet
    QLabel* lbClosest = nullptr;  // the closest meter, where none is named
    // One per hemistich: the said letters above a grid whose columns are the feet.
    QLabel* lbHemistich[2] = {nullptr, nullptr};
    QLabel* lbSaid[2] = {nullptr, nullptr};
    QTableWidget* grFeet[2] = {nullptr, nullptr};

    // The grid's rows, top to bottom.
    enum FootRow { RowText, RowStrokes, RowFoot, RowChange, RowCount };

private:
    void showHemistich(int index, const prosody::HemistichDetail& hemistich);
};

}  // namespace barqeen
