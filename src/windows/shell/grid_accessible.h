#pragma once
// What a screen reader is shown of a data-bound grid: the column titles and the rows in view,
// not every cell of the table. Qt's own table interface lists (rows + 1) × (columns + 1)
// children, and a reader walking a grid over a million verses never finishes.
class QAccessibleInterface;
class QObject;
class QString;

namespace barqeen {

// The accessibility factory's part for the grid (installed with the others).
QAccessibleInterface* gridAccessible(const QString& className, QObject* object);

}  // namespace barqeen
