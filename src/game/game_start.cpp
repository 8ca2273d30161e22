// The main window's game button: one game from the name prompt to its end.
#include "shell/main_window.h"

namespace barqeen {

void TfmMain::imGameClick() {}

}  // namespace barqeen
