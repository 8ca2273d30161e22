#pragma once
// What a screen reader is told about a control, read through QAccessible as it reads it.
#include <QAccessible>
#include <QWidget>

namespace barqeen::test {

inline QString readName(QObject* object)
{
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(object);
    return i ? i->text(QAccessible::Name) : QString();
}

// A drop-down list is named by its current item on this platform; its description names it.
inline QString readDescription(QObject* object)
{
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(object);
    return i ? i->text(QAccessible::Description) : QString();
}

// The names of the controls that label this one (its caption).
inline QStringList readCaptions(QObject* object)
{
    QStringList captions;
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(object);
    if (!i)
        return captions;
    for (const auto& [other, relation] : i->relations(QAccessible::Label))
        captions << other->text(QAccessible::Name);
    return captions;
}

}  // namespace barqeen::test
