// The "应用工具" page: the launcher's categories as the control window's tabs
// and the current category's items, with their shell icons, as its list.
#pragma once
#include <string>

namespace ql {

// The list's entry colour on the launcher page.
constexpr unsigned kLauncherEntryColor = 0xF00060C0;

// Refills the list with the items of category tab `tab` (1-based).
void refreshItems(int tab);
// Replaces the tabs by the categories and selects the page's remembered one
// (the list follows the selected tab).
void rebuildCategories(int fill);
// Refills "移动到" with one entry per category.
void rebuildMoveMenu();
// Stores launcherConfig ("字段2").
void saveCatalogue();

// The current category's name (empty when none is selected) and the
// selected item's name (empty when none).
std::string currentCategory();
std::string selectedItemName();

}  // namespace ql
