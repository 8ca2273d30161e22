#include "windows/editing/category.h"

#include "windows/shell/dialogs.h"
#include "windows/shell/guard.h"
#include "windows/shell/shell.h"
#include "core/store/category_set.h"
#include "core/text/codepage.h"

#include <QListWidget>
#include <QTimer>

namespace barqeen {

TfmCategory::TfmCategory(Shell& shell, QObject* parent) : QObject(parent), shell_(shell)
{
}

void TfmCategory::LoadCategoryList()
{
    Table& categories = shell_.cdsCategories();
    // Walking the table settles a pending edit of the categories, so that the list shows it. One
    // the table refuses is said once and the stored rows are listed: the error box closing
    // activates the verse window again, which must not try the same edit again.
    bool walk = true;
    if (categories.state() == Table::State::Edit || categories.state() == Table::State::Insert) {
        const std::vector<Value> edit = pendingValues(categories);
        walk = edit != refusedEdit_;
        if (walk) {
            try {
                categories.first();
            } catch (const Error& e) {
                refusedEdit_ = edit;
                walk = false;
                showError(e);
            }
        }
    }
    if (walk)
        refusedEdit_.clear();

    settingTicks_ = true;
    if (clbCategories)
        clbCategories->clear();
    CategoryIDs.clear();
    const Field& id = categories.field("CategoryID");
    const Field& name = categories.field("CategoryName");
    auto add = [this](int64_t key, const std::string& text) {
        if (clbCategories) {
            auto* item = new QListWidgetItem(codepage::toUnicode(text));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
            clbCategories->addItem(item);
        }
        CategoryIDs.push_back(int32_t(key));
    };
    if (walk) {
        for (categories.first(); !categories.eof(); categories.next())
            add(id.asInteger(), name.asString());
    } else {
        // The stored rows, read in place: the cursor and the pending edit stay as they are.
        for (int i = 0; i < categories.rowCount(); ++i) {
            const Cells& cells = categories.rowAt(i).cells;
            const Value& key = cells[size_t(id.column())];
            const Value& text = cells[size_t(name.column())];
            add(key.isInteger() ? key.integer() : 0, text.isText() ? std::string(text.text()) : std::string());
        }
    }
    settingTicks_ = false;
}

std::vector<Value> TfmCategory::pendingValues(const Table& table)
{
    std::vector<Value> values;
    for (int i = 0; i < table.fieldCount(); ++i)
        values.push_back(table.fieldAt(i).value());
    return values;
}

std::string TfmCategory::CheckedCategoriesText() const
{
    std::vector<bool> ticked(CategoryIDs.size(), false);
    if (clbCategories)
        for (int i = 0; i < clbCategories->count() && size_t(i) < ticked.size(); ++i)
            ticked[size_t(i)] = clbCategories->item(i)->checkState() == Qt::Checked;
    return category_set::Encode(CategoryIDs, ticked);
}

void TfmCategory::ShowPoemCategories()
{
    Table& poem = shell_.cdsPoem();
    if (!categories_)
        categories_ = poem.findField("Categories");
    const Value text = poem.active() && categories_ ? categories_->value() : Value();
    const category_set::Decoded decoded =
        category_set::Decode(text.isText() ? text.text() : std::string_view(), CategoryIDs);

    if (clbCategories) {
        std::vector<bool> ticked(size_t(clbCategories->count()), false);
        for (size_t item : decoded.items)
            if (item < ticked.size())
                ticked[item] = true;
        settingTicks_ = true;
        for (int i = 0; i < clbCategories->count(); ++i) {
            QListWidgetItem* item = clbCategories->item(i);
            const Qt::CheckState state = ticked[size_t(i)] ? Qt::Checked : Qt::Unchecked;
            if (item->checkState() != state)
                item->setCheckState(state);
        }
        settingTicks_ = false;
    }

    if (!decoded.invalidTag) {
        reportedVerse_ = -1;
        return;
    }
    reportDamagedText(*decoded.invalidTag);
}

void TfmCategory::reportDamagedText(const std::string& inside)
{
    // Only the verse window shows this verse; anywhere else (a game, a search) the text is
    // simply read as far as it goes.
    if (!clbCategories || !clbCategories->window()->isVisible())
        return;
    const Field* key = shell_.cdsPoem().keyField();
    const int64_t verse = key ? key->asInteger() : 0;
    if (verse == reportedVerse_)
        return;  // the box closing reactivates the window: say it once per verse shown
    reportedVerse_ = verse;
    // After the move that brought the verse has finished, not inside it.
    const QString message = QString::fromStdString(category_set::InvalidTagMessage(inside));
    QTimer::singleShot(0, this, [message] { Dialogs::error(message); });
}

bool TfmCategory::HasCategory(int32_t id, std::string_view text)
{
    return category_set::HasCategory(id, text);
}

}  // namespace barqeen
