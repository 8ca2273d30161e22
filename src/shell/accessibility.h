#pragma once
// What a screen reader needs beyond the names set where controls are made: the picture buttons
// and the link label as pressable controls, and names for every scroll bar.
class QApplication;

namespace barqeen {

void setUpAccessibility(QApplication& app);

}  // namespace barqeen
