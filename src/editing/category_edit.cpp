#include "editing/category_edit.h"

namespace barqeen {

TfmCategoryEdit::TfmCategoryEdit(TfmMain&, QWidget* parent) : QDialog(parent) {}

}  // namespace barqeen

#include "shell/main_window.h"

namespace barqeen {

void TfmMain::imCategoriesClick() {}
void TfmMain::imAuthorsClick() {}

}  // namespace barqeen
