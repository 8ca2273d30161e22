#include "windows/shell/picture_push_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

namespace barqeen {
namespace {

constexpr int kSpacing = 4;  // between the picture and the text

}  // namespace

PicturePushButton::PicturePushButton(const QIcon& picture, const QString& text, QWidget* parent)
    : QPushButton(picture, text, parent)
{
    setIconSize(QSize(16, 16));
}

void PicturePushButton::layOut(QRect& picture, QRect& text) const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    QRect content = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (isDown() || isChecked())
        content.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                          style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    const QSize pictureSize = icon().isNull() ? QSize(0, 0) : iconSize();
    const int textWidth = fontMetrics().horizontalAdvance(QPushButton::text());
    const int gap = pictureSize.isEmpty() || textWidth == 0 ? 0 : kSpacing;
    const int left = content.x() + std::max(0, (content.width() - pictureSize.width() - gap - textWidth) / 2);
    const int pictureTop = content.y() + (content.height() - pictureSize.height()) / 2;
    if (layoutDirection() == Qt::RightToLeft) {
        text = QRect(left, content.y(), textWidth, content.height());
        picture = QRect(QPoint(left + textWidth + gap, pictureTop), pictureSize);
    } else {
        picture = QRect(QPoint(left, pictureTop), pictureSize);
        text = QRect(left + pictureSize.width() + gap, content.y(), textWidth, content.height());
    }
}

QRect PicturePushButton::pictureRect() const
{
    QRect picture, text;
    layOut(picture, text);
    return picture;
}

QRect PicturePushButton::textRect() const
{
    QRect picture, text;
    layOut(picture, text);
    return text;
}

void PicturePushButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The style draws the button's face and focus frame; the picture and the text come after.
    option.icon = QIcon();
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    QRect picture, text;
    layOut(picture, text);
    if (!icon().isNull()) {
        const QIcon::Mode mode = !isEnabled() ? QIcon::Disabled : (underMouse() ? QIcon::Active : QIcon::Normal);
        const QIcon::State state = isDown() || isChecked() ? QIcon::On : QIcon::Off;
        icon().paint(&painter, picture, Qt::AlignCenter, mode, state);
    }
    painter.drawItemText(text, Qt::AlignCenter | Qt::AlignAbsolute | Qt::TextShowMnemonic, palette(), isEnabled(),
                         QPushButton::text(), QPalette::ButtonText);
}

}  // namespace barqeen
