#include "windows/game/start_letter.h"
#include "windows/shell/letter_items.h"
#include "core/text/letters.h"

#include "windows/game/game_options_dialog.h"
#include "windows/shell/picture_push_button.h"
#include "windows/shell/accessibility.h"
#include "windows/shell/guard.h"
#include "core/text/codepage.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace barqeen {
namespace {

constexpr int kVisibleLetters = 10;
constexpr int kLetterPixels = 20;  // a lone Arabic letter is short beside its font's height
constexpr int kBoxLetterPixels = 14;

}  // namespace

const QStringList& TfmStartLetter::Letters()
{
    static const QStringList letters = letterItems(OfferedLetters);
    return letters;
}

TfmStartLetter::TfmStartLetter(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("حرف البداية"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setLayoutDirection(Qt::RightToLeft);
    setFixedSize(274, 142);
    // Placed where it was laid out, not centred (a moved dialog is not centred by Qt).
    move(192, 107);

    Label1 = new QLabel(QStringLiteral("اختر حرف البداية"), this);  // Label1: «اختر حرف البداية»
    Label1->adjustSize();
    Label1->move(103, 16);

    cbLetter = new QComboBox(this);
    cbLetter->setEditable(false);
    cbLetter->addItems(Letters());
    cbLetter->setCurrentIndex(0);
    cbLetter->setGeometry(97, 40, 81, 21);
    nameControl(cbLetter, Label1->text());
    // A short list under the box with letters large enough to read, rather than the style's
    // popup of all the letters over the whole screen height.
    cbLetter->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    cbLetter->setMaxVisibleItems(kVisibleLetters);
    QFont letters = cbLetter->font();
    letters.setPixelSize(kBoxLetterPixels);
    cbLetter->setFont(letters);
    letters.setPixelSize(kLetterPixels);
    cbLetter->view()->setFont(letters);

    // BitBtn1: «تم», accepts the letter
    BitBtn1 = new PicturePushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("تم"), this);
    BitBtn1->setGeometry(144, 80, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    // BitBtn2: «إلغاء», no game
    BitBtn2 = new PicturePushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("إلغاء"), this);
    BitBtn2->setGeometry(56, 80, 75, 25);
    BitBtn2->setAutoDefault(false);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    // In the free strip under the designed buttons.
    fmGameOptions = new TfmGameOptions(this);
    bbOptions = new QPushButton(QStringLiteral("خيارات المطارحة…"), this);
    bbOptions->setGeometry(72, 112, 130, 24);
    bbOptions->setAutoDefault(false);
    connect(bbOptions, &QPushButton::clicked, this, guarded([this] { fmGameOptions->edit(); }));
}

char TfmStartLetter::chosenLetter() const
{
    const std::string bytes = codepage::fromUnicode(cbLetter->currentText()).bytes;
    return bytes.empty() ? '\0' : bytes.front();
}

}  // namespace barqeen
