#include "windows/shell/accessibility.h"

#include "windows/shell/grid_accessible.h"
#include "windows/shell/picture_button.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <algorithm>
#include <QComboBox>
#include <QEvent>
#include <QPointer>
#include <QScrollBar>

namespace barqeen {
namespace {

// Seen by assistive technology as what it is: a push button (a link for the link label) with a
// press action.
template <class Clickable>
class ClickableAccessible : public QAccessibleWidget {
public:
    ClickableAccessible(Clickable* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty())
            text = static_cast<Clickable*>(widget())->text();  // the link reads its address
        return text;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name != pressAction() || blockedByModalWindow())
            return;
        // After the reply: a click that opens a modal window would keep the reader waiting.
        QMetaObject::invokeMethod(widget(), [w = QPointer(static_cast<Clickable*>(widget()))] {
            if (w)
                w->click();
        }, Qt::QueuedConnection);
    }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        if constexpr (requires(const Clickable& c) { c.shortcut(); }) {
            const QKeySequence key = static_cast<const Clickable*>(widget())->shortcut();
            if (name == pressAction() && !key.isEmpty())
                return {key.toString(QKeySequence::NativeText)};
        }
        return {};
    }

private:
    // A person cannot click a window that a modal window blocks; neither can a reader.
    bool blockedByModalWindow() const
    {
        const QWidget* modal = QApplication::activeModalWidget();
        return modal && modal != widget()->window() && !modal->isAncestorOf(widget());
    }
};

const char* const kDecorative = "barqeenDecorative";

bool decorative(const QObject* object)
{
    return object->property(kDecorative).toBool();
}

// A widget whose children include a decoration: the children a reader walks leave it out.
class WithoutDecorations : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;

    int childCount() const override { return int(shown().size()); }
    QAccessibleInterface* child(int index) const override
    {
        const QWidgetList children = shown();
        return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child ? int(shown().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
    }

private:
    QWidgetList shown() const
    {
        QWidgetList children;
        for (QObject* o : widget()->children())
            if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow() && !decorative(w))
                children << w;
        return children;
    }
};

QAccessibleInterface* clickableAccessible(const QString& className, QObject* object)
{
    if (!object->isWidgetType())
        return nullptr;
    if (className == QLatin1String(object->metaObject()->className())) {
        const QObjectList& children = object->children();
        if (std::any_of(children.begin(), children.end(), decorative))
            return new WithoutDecorations(static_cast<QWidget*>(object));
    }
    if (className == QLatin1String(PictureButton::staticMetaObject.className()))
        return new ClickableAccessible<PictureButton>(static_cast<PictureButton*>(object), QAccessible::Button);
    if (className == QLatin1String(LinkLabel::staticMetaObject.className()))
        return new ClickableAccessible<LinkLabel>(static_cast<LinkLabel*>(object), QAccessible::Link);
    return nullptr;
}

// Scroll bars are named by their direction when made; a list or text box has no other name
// for them.
class ScrollBarNamer : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Polish)
            if (auto* bar = qobject_cast<QScrollBar*>(object); bar && bar->accessibleName().isEmpty())
                bar->setAccessibleName(bar->orientation() == Qt::Horizontal ? QStringLiteral("شريط التمرير الأفقي")
                                                                            : QStringLiteral("شريط التمرير العمودي"));
        return false;
    }
};

}  // namespace

void setUpAccessibility(QApplication& app)
{
    QAccessible::installFactory(clickableAccessible);
    QAccessible::installFactory(gridAccessible);
    app.installEventFilter(new ScrollBarNamer(&app));
}

void hideFromScreenReaders(QWidget* decoration)
{
    decoration->setProperty(kDecorative, true);
}

void nameControl(QWidget* control, const QString& name)
{
    control->setAccessibleName(name);
    if (qobject_cast<QComboBox*>(control))
        control->setAccessibleDescription(name);
}

}  // namespace barqeen
