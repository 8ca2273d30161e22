#pragma once
// The authors and categories window (filled in with the data-bound controls).
#include <QDialog>

namespace barqeen {

class TfmMain;

class TfmCategoryEdit : public QDialog {
    Q_OBJECT
public:
    explicit TfmCategoryEdit(TfmMain& main, QWidget* parent = nullptr);
};

}  // namespace barqeen
