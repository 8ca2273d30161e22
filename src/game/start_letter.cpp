#include "game/start_letter.h"

namespace barqeen {

TfmStartLetter::TfmStartLetter(QWidget* parent) : QDialog(parent) {}

}  // namespace barqeen
