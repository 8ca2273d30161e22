#include "game/game_window.h"

namespace barqeen {

TfmGame::TfmGame(TfmMain&, QWidget* parent) : QDialog(parent) {}

}  // namespace barqeen
