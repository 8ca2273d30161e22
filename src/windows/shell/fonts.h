#pragma once
// The bundled faces: a calligraphic one for titles and a plain Arabic face for everything else,
// so that the look does not depend on what a machine happens to have.
#include <QFont>
#include <QString>

namespace barqeen::fonts {

void load();  // once, before the first window
QString plainFamily();
QString calligraphicFamily();

// The plain face at a point size, and at a pixel height.
QFont plain(int pointSize);
QFont plainPixels(int pixels);
QFont calligraphicPixels(int pixels, bool bold = true);

}  // namespace barqeen::fonts
