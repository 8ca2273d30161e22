#include "windows/shell/guard.h"

#include <QString>

namespace barqeen {

void showError(const std::exception& e)
{
    Dialogs::error(QString::fromUtf8(e.what()));
}

}  // namespace barqeen
