#pragma once
// What an import will store, shown before anything is stored: the file's format, encoding and
// hemistich layout, its first verses exactly as they will be stored, and the counts so far
// (verses to take, headings, refusals by reason) while the rest of the file is checked in the
// background. Changing the encoding, the layout or the heading rule checks the file again.
#include "core/exchange/verse_import.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace barqeen {

class PoemStore;

class TfmImportPreview : public QDialog {
    Q_OBJECT
public:
    TfmImportPreview(PoemStore& store, const QString& path, const exchange::ImportOptions& options,
                     QWidget* parent = nullptr);
    ~TfmImportPreview() override;

    // The options chosen, for the import that follows an accepted preview.
    const exchange::ImportOptions& options() const { return options_; }
    // The check of the whole file has ended (its counts are final).
    bool checked() const;

    QLabel* laFile;
    QLabel* laSource;     // format, encoding, layout
    QComboBox* cbEncoding;
    QComboBox* cbLayout;
    QComboBox* cbHeadingPoet;
    QTableWidget* grVerses;  // the first verses as they will be stored
    QLabel* laCounts;
    QPushButton* bbImport;
    QPushButton* bbCancel;

private:
    void optionsChanged();
    void restart();
    void stepCheck();
    void showCheck();

    PoemStore& store_;
    std::string path_;
    exchange::ImportOptions options_;
    std::unique_ptr<exchange::VerseImport> check_;  // a dry run of the import
    QTimer stepper_;
    int rowsShown_ = 0;
};

}  // namespace barqeen
