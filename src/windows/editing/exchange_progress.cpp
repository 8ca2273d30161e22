#include "windows/editing/exchange_progress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>

namespace barqeen {
namespace {

// A progress dialog whose cancel can be withdrawn: once the work can no longer be undone, Esc and
// the window's close do nothing, as the greyed button does.
class WorkProgressDialog : public QProgressDialog {
public:
    WorkProgressDialog(const QString& label, QWidget* parent) : QProgressDialog(parent)
    {
        cancelButton_ = new QPushButton(QStringLiteral("إلغاء"), this);
        setCancelButton(cancelButton_);
        setLabelText(label);
        setRange(0, 1000);
    }

    void refuseCancel()
    {
        cancelButton_->setEnabled(false);
        // The dialog's own Esc shortcut would cancel past the greyed button.
        for (QShortcut* shortcut : findChildren<QShortcut*>())
            shortcut->setEnabled(false);
        cancelButton_->setToolTip(QStringLiteral("بدأ الحفظ، فلم يعد الإلغاء ممكنًا"));
    }
    bool cancelRefused() const { return !cancelButton_->isEnabled(); }
    // Esc or a close came after the cancel was refused.
    bool cancelCameLate() const { return cameLate_; }

protected:
    void reject() override
    {
        if (!cancelRefused())
            QProgressDialog::reject();
    }
    void closeEvent(QCloseEvent* event) override
    {
        if (cancelRefused()) {
            cameLate_ = true;
            event->ignore();
        } else
            QProgressDialog::closeEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!cancelRefused())
            QProgressDialog::keyPressEvent(event);
        else if (event->key() == Qt::Key_Escape)
            cameLate_ = true;
    }

private:
    QPushButton* cancelButton_ = nullptr;
    bool cameLate_ = false;
};

}  // namespace

void runWithProgress(QWidget* parent, const QString& title, const SteppedWork& work)
{
    WorkProgressDialog dialog(work.stage(), parent);
    dialog.setWindowTitle(title);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setLayoutDirection(Qt::RightToLeft);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumWidth(360);
    dialog.show();
    for (;;) {
        // A cancel pressed during the last slice is taken while it can still take effect; the
        // button is greyed, and seen so, before a slice that cannot be undone begins.
        QApplication::processEvents();
        if (dialog.wasCanceled() && work.cancel())
            return;
        const bool refuseNow = !dialog.cancelRefused() && !work.cancellable();
        if (refuseNow)
            dialog.refuseCancel();
        dialog.setValue(int(work.progress() * 1000));
        const QString stage = work.stage();
        if (dialog.labelText() != stage)
            dialog.setLabelText(stage);
        if (refuseNow)
            QApplication::processEvents();
        if (!work.step())
            break;
    }
    if (dialog.cancelCameLate())
        work.cancel();  // refused: the work says so in its result
}

}  // namespace barqeen
