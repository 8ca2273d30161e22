#pragma once
// The category-set operations of the verse window's check list: fill it from the categories
// table, write the ticks as a verse's category-set text, and set the ticks from a verse.
// Made once at start-up, right after the main window; never shown.
#include "core/store/table.h"

#include <QObject>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QListWidget;

namespace barqeen {

class Shell;

class TfmCategory : public QObject {
    Q_OBJECT
public:
    TfmCategory(Shell& shell, QObject* parent);

    // The check list these operations work on: the verse window's, given when it is made.
    void setCheckList(QListWidget* list) { clbCategories = list; }

    // CategoryIDs[i] is the ID of item i of the check list.
    std::vector<int32_t> CategoryIDs;

    // Fills the check list from the categories table, unticked. A pending edit of the categories
    // is settled first; one the table refuses is reported once, and the stored rows are listed.
    void LoadCategoryList();
    std::string CheckedCategoriesText() const;
    // Runs at every move of the verse table: reads the current verse's text only. A text that
    // cannot be read is reported only while the check list's window is on the screen, once for
    // each verse it shows, and after the move has finished; scans of the table never hear of it.
    void ShowPoemCategories();
    static bool HasCategory(int32_t id, std::string_view text);

    // True while the ticks are being set by these operations rather than by the user.
    bool settingTicks() const { return settingTicks_; }

private:
    void reportDamagedText(const std::string& inside);
    static std::vector<Value> pendingValues(const Table& table);

    Shell& shell_;
    QListWidget* clbCategories = nullptr;
    const Field* categories_ = nullptr;  // the verse table's Categories field, found once
    bool settingTicks_ = false;
    int64_t reportedVerse_ = -1;  // the verse whose damaged text was last reported
    std::vector<Value> refusedEdit_;  // the categories' pending edit the table last refused
};

}  // namespace barqeen
