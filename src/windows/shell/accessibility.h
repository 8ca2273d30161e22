#pragma once
// What a screen reader needs beyond the names set where controls are made: the picture buttons
// and the link label as pressable controls, and names for every scroll bar.
class QApplication;
class QString;
class QWidget;

namespace barqeen {

void setUpAccessibility(QApplication& app);

// Names a control for screen readers. A drop-down list gets the name as its description too:
// on this platform a reader names it by its current item, which may be none.
void nameControl(QWidget* control, const QString& name);

// Leaves a decorative picture out of what screen readers are shown: its window lists it among
// none of its children.
void hideFromScreenReaders(QWidget* decoration);

}  // namespace barqeen
