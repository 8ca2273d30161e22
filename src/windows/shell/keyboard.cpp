#include "windows/shell/keyboard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>

namespace barqeen {
namespace {

bool isReturn(const QKeyEvent& key)
{
    // Enter is Return on the keypad, which the event marks with its modifier.
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
           (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// The button that takes Return itself: a push or tool button holding the focus. A button
// with a menu opens it on Return already; check boxes keep the dialog's default.
QAbstractButton* pressedByReturn(QObject* object)
{
    auto* button = qobject_cast<QAbstractButton*>(object);
    if (!button || !button->hasFocus() || !button->isEnabled())
        return nullptr;
    if (auto* push = qobject_cast<QPushButton*>(button))
        return push->menu() ? nullptr : push;
    if (auto* tool = qobject_cast<QToolButton*>(button))
        return tool->menu() ? nullptr : tool;
    return nullptr;
}

class FocusedButtonPresser : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!isReturn(*key))
            return false;
        QAbstractButton* button = pressedByReturn(object);
        if (!button)
            return false;
        // A held key presses once, as Space does.
        if (!key->isAutoRepeat())
            button->click();
        return true;
    }
};

}  // namespace

void setUpKeyboard(QApplication& app)
{
    app.installEventFilter(new FocusedButtonPresser(&app));
}

}  // namespace barqeen
