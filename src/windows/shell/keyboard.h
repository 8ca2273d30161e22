#pragma once
// What the keys do the same way in every window.
class QApplication;

namespace barqeen {

// Return or Enter on a focused push button presses that button, as on every desktop. Without
// it a dialog presses its default button instead, and a window that is no dialog does nothing.
void setUpKeyboard(QApplication& app);

}  // namespace barqeen
