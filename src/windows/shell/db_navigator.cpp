#include "windows/shell/db_navigator.h"

#include "windows/shell/dialogs.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace barqeen {
namespace {

struct Look {
    const char16_t* glyph;  // the row runs right to left, so the arrows point that way
    const char16_t* tip;
};
const Look kLooks[DBNavigator::ButtonCount] = {
    {u"\u23ED", u"الأول"},   {u"\u25B6", u"السابق"}, {u"\u25C0", u"التالي"}, {u"\u23EE", u"الأخير"},
    {u"+", u"إضافة"},        {u"\u2212", u"حذف"},    {u"\u25B2", u"تعديل"},  {u"\u2714", u"حفظ"},
    {u"\u2716", u"إلغاء"},   {u"\u27F3", u"تحديث"},
};

}  // namespace

DBNavigator::DBNavigator(DataSource& source, QWidget* parent) : QWidget(parent), source_(source)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int b = 0; b < ButtonCount; ++b) {
        auto* button = new QToolButton(this);
        button->setText(QString::fromUtf16(kLooks[b].glyph));
        button->setToolTip(QString::fromUtf16(kLooks[b].tip));
        button->setAccessibleName(QString::fromUtf16(kLooks[b].tip));  // not the glyph's name
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setFocusPolicy(Qt::TabFocus);
        layout->addWidget(button);
        buttons_[size_t(b)] = button;
        connect(button, &QToolButton::clicked, this, [this, b] { click(Button(b)); });
    }
    connect(&source_, &DataSource::tableEvent, this, &DBNavigator::updateButtons);
    connect(&source_, &DataSource::tableReplaced, this, &DBNavigator::updateButtons);
    connect(&source_, &DataSource::requiredFieldMissing, this, &DBNavigator::requiredFieldMissing);
    updateButtons();
}

void DBNavigator::setVisibleButtons(std::initializer_list<Button> shown)
{
    for (auto* b : buttons_)
        b->hide();
    for (Button b : shown)
        buttons_[size_t(b)]->show();
}

void DBNavigator::click(Button b)
{
    Table* t = source_.table();
    if (!t)
        return;
    // What is being typed in a bound control goes with the action: cancel drops it, every
    // other button takes it first (and does nothing while it is refused).
    if (b == Cancel)
        source_.dropInputs();
    else if (!source_.commitInputs()) {
        updateButtons();
        return;
    }
    const bool done = source_.act([&] {
        switch (b) {
        case First: t->first(); break;
        case Prior: t->prior(); break;
        case Next: t->next(); break;
        case Last: t->last(); break;
        case Insert: t->insert(); break;
        case Delete:
            if (Dialogs::confirm(QStringLiteral("Delete record?")))
                t->remove();
            break;
        case Edit: t->edit(); break;
        case Post: t->post(); break;
        case Cancel: t->cancel(); break;
        case Refresh: t->refresh(); break;
        case ButtonCount: break;
        }
    });
    updateButtons();
    if (done)
        emit actionDone(b);
}

void DBNavigator::updateButtons()
{
    Table* t = source_.table();
    const bool active = t && t->active();
    const bool editing = active && t->state() != Table::State::Browse;
    const bool empty = !active || t->isEmpty();
    const bool enabled[ButtonCount] = {
        active && !t->bof(),  active && !t->bof(), active && !t->eof(), active && !t->eof(),
        active,               active && (!empty || editing), active && !editing && !empty,
        editing,              editing,             active && !editing,
    };
    for (int b = 0; b < ButtonCount; ++b)
        buttons_[size_t(b)]->setEnabled(enabled[b]);
}

}  // namespace barqeen
