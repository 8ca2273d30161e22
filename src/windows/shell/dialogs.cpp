#include "windows/shell/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QTimer>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace barqeen {
namespace {

// What a window frame takes from the title bar besides the caption: its icon and three buttons.
constexpr int kFrameButtonsWidth = 4 * 28;

// A short message makes a narrow box, and the frame would cut its caption ("Bar…en"): the box
// is kept wide enough for the caption in a bold title font.
void makeRoomForCaption(QMessageBox& box)
{
    QFont title = box.font();
    title.setBold(true);
    const int width = QFontMetrics(title).horizontalAdvance(box.windowTitle()) + kFrameButtonsWidth;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

// For tests that run the program itself: with BARQEEN_SHOWN_LOG naming a file, each box and
// modal window appends a line to it once it is on the screen ("<title>: <text>").
void logWhenShown(QDialog& dialog, const QString& text)
{
    static const QString path = qEnvironmentVariable("BARQEEN_SHOWN_LOG");
    if (path.isEmpty())
        return;
    QTimer::singleShot(0, &dialog, [&dialog, text] {
        QFile log(path);
        if (log.open(QIODevice::Append | QIODevice::Text))
            log.write((dialog.windowTitle() + QStringLiteral(": ") + QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')) +
                       QLatin1Char('\n'))
                          .toUtf8());
    });
}

QMessageBox::StandardButton ask(QMessageBox::Icon icon, const QString& caption, const QString& text,
                                QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, caption, text, buttons, QApplication::activeWindow());
    box.setLayoutDirection(Qt::RightToLeft);
    makeRoomForCaption(box);
    logWhenShown(box, text);
    return QMessageBox::StandardButton(box.exec());
}

// The toolkit's message dialogs of the warning and confirmation kinds carry their kind as caption.
const QString kWarningCaption = QStringLiteral("تحذير");
const QString kConfirmCaption = QStringLiteral("تأكيد");

std::unique_ptr<DialogService>& current()
{
    static std::unique_ptr<DialogService> service = std::make_unique<QtDialogs>();
    return service;
}

}  // namespace

void QtDialogs::message(const QString& text)
{
    ask(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok);
}

void QtDialogs::warning(const QString& text)
{
    ask(QMessageBox::Warning, kWarningCaption, text, QMessageBox::Ok);
}

bool QtDialogs::warningYesNo(const QString& text)
{
    return ask(QMessageBox::Warning, kWarningCaption, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtDialogs::confirm(const QString& text)
{
    return ask(QMessageBox::Question, kConfirmCaption, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtDialogs::error(const QString& text)
{
    ask(QMessageBox::Critical, kAppTitle, text, QMessageBox::Ok);
}

std::optional<QString> QtDialogs::input(const QString& title, const QString& prompt, const QString& initial)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setLayoutDirection(Qt::RightToLeft);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    // The toolkit's own Arabic for Cancel is the clipped imperative "ألغِ".
    dialog.setCancelButtonText(QStringLiteral("إلغاء"));
    if (auto* edit = dialog.findChild<QLineEdit*>())
        edit->setMaxLength(255);
    logWhenShown(dialog, prompt);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

int QtDialogs::exec(QDialog& dialog)
{
    logWhenShown(dialog, QString());
    return dialog.exec();
}

namespace Dialogs {

DialogService& get()
{
    return *current();
}

std::unique_ptr<DialogService> set(std::unique_ptr<DialogService> service)
{
    std::swap(current(), service);
    return service;
}

}  // namespace Dialogs
}  // namespace barqeen
