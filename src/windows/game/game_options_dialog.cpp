#include "windows/game/game_options_dialog.h"

#include "windows/shell/picture_push_button.h"
#include "windows/game/records_look.h"
#include "windows/shell/dialogs.h"
#include "windows/shell/painting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <iterator>

namespace barqeen {
namespace {

const QString kTitle = QStringLiteral("خيارات المطارحة");

// The levels in the order the list offers them.
constexpr PlayLevel kLevels[] = {PlayLevel::Easy, PlayLevel::Normal, PlayLevel::Hard};

QString turnTimeText(int seconds)
{
    return seconds == 0 ? QStringLiteral("بلا مهلة") : QStringLiteral("%1 ثانية").arg(seconds);
}

QLabel* fieldLabel(const QString& text, QWidget* buddy, const QRect& box, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(box);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter | Qt::AlignAbsolute);
    l->setBuddy(buddy);
    buddy->setAccessibleName(text);
    return l;
}

}  // namespace

TfmGameOptions::TfmGameOptions(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(kTitle);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setLayoutDirection(Qt::RightToLeft);
    setFixedSize(360, 214);

    makeTitleStrip(this, kTitle, {8, 4, 344, 42});

    cxVowelled = new QCheckBox(QStringLiteral("قبول الأبيات المشكولة بالكامل"), this);
    cxVowelled->setGeometry(16, 64, 328, 24);

    cbLevel = new QComboBox(this);
    cbLevel->addItems({QStringLiteral("سهل"), QStringLiteral("عادي"), QStringLiteral("صعب")});
    cbLevel->setGeometry(96, 100, 130, 24);
    laLevel = fieldLabel(QStringLiteral("مستوى اللعب"), cbLevel, {232, 100, 112, 24}, this);

    cbTurnTime = new QComboBox(this);
    for (int seconds : kTurnLimits)
        cbTurnTime->addItem(turnTimeText(seconds), seconds);
    cbTurnTime->setGeometry(96, 134, 130, 24);
    laTurnTime = fieldLabel(QStringLiteral("مهلة الدور"), cbTurnTime, {232, 134, 112, 24}, this);

    bbOk = new PicturePushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("تم"), this);
    bbOk->setGeometry(190, 176, 75, 25);
    bbOk->setDefault(true);
    connect(bbOk, &QPushButton::clicked, this, &QDialog::accept);

    bbCancel =
        new PicturePushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("إلغاء"), this);
    bbCancel->setGeometry(95, 176, 75, 25);
    bbCancel->setAutoDefault(false);
    connect(bbCancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(cxVowelled, cbLevel);
    setTabOrder(cbLevel, cbTurnTime);
    setTabOrder(cbTurnTime, bbOk);
    setTabOrder(bbOk, bbCancel);
    showOptions(GameOptions());
}

void TfmGameOptions::edit()
{
    showOptions(GameOptions::load());
    cxVowelled->setFocus();
    if (Dialogs::exec(*this) == QDialog::Accepted)
        chosenOptions().save();
}

void TfmGameOptions::showOptions(const GameOptions& options)
{
    cxVowelled->setChecked(options.acceptVowelled);
    cbLevel->setCurrentIndex(int(std::find(std::begin(kLevels), std::end(kLevels), options.level) - std::begin(kLevels)));
    cbTurnTime->setCurrentIndex(std::max(0, cbTurnTime->findData(options.turnSeconds)));
}

GameOptions TfmGameOptions::chosenOptions() const
{
    GameOptions options;
    options.acceptVowelled = cxVowelled->isChecked();
    options.level = kLevels[std::clamp(cbLevel->currentIndex(), 0, 2)];
    options.turnSeconds = cbTurnTime->currentData().toInt();
    return options;
}

void TfmGameOptions::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintBackdrop(painter, *this);
}

}  // namespace barqeen
