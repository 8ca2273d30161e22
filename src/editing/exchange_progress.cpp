#include "editing/exchange_progress.h"

#include <QApplication>
#include <QProgressDialog>

namespace barqeen {

void runWithProgress(QWidget* parent, const QString& title, const SteppedWork& work)
{
    QProgressDialog dialog(work.stage(), QStringLiteral("إلغاء"), 0, 1000, parent);
    dialog.setWindowTitle(title);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setLayoutDirection(Qt::RightToLeft);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumWidth(360);
    dialog.show();
    while (work.step()) {
        dialog.setValue(int(work.progress() * 1000));
        const QString stage = work.stage();
        if (dialog.labelText() != stage)
            dialog.setLabelText(stage);
        QApplication::processEvents();
        if (dialog.wasCanceled()) {
            work.cancel();
            break;
        }
    }
}

}  // namespace barqeen
