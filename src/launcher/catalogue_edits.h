// The launcher's catalogue is launcherConfig itself: one section per category,
// one key per item (name = target path). These are the changes its commands
// make to such a text. No Win32 here.
#pragma once
#include <string>

#include "store/config_text.h"

namespace ql {

// The placeholder item every new category starts with, and the category
// re-created when the last one is deleted.
extern const char kPlaceholderItem[];   // "添加项目"
extern const char kDefaultCategory[];   // "默认分类"
extern const char kFirstRunCategory[];  // "桌面图标"

// The position of the last "\" that is a separator (never the trail byte of
// a double-byte character); npos when there is none.
size_t lastBackslash(const std::string& path);

// The folder holding an item's target: everything before the last "\";
// empty when there is no "\".
std::string containingFolder(const std::string& target);

// An item name for a chosen file: the last "\" part of the path with every
// "=" made "-" (a key cannot hold "=").
std::string itemNameForPath(const std::string& path);

// A name typed for an item or a category, made storable: trimmed, with line
// breaks (which the one-line input box cannot hold) made "-", and for an item
// every "=" made "-" as for names taken from files. Empty means cancel.
std::string tidyItemName(const std::string& typed);
std::string tidyCategoryName(const std::string& typed);

// Why a tidied name cannot be given. Two items or categories of one name
// would be written as one; an item line starting with "[" reads back as a
// category.
enum class NameProblem { None, ItemExists, CategoryExists, ReadsAsSection };
// For renaming item `oldName` of `category` (keeping its own name is fine).
NameProblem itemNameProblem(const ConfigText& catalogue, const std::string& category,
                            const std::string& oldName, const std::string& name);
// For renaming category `oldName`, or for a new category when it is empty.
NameProblem categoryNameProblem(const ConfigText& catalogue, const std::string& oldName,
                                const std::string& name);
// What the input window tells the user; empty for NameProblem::None.
const char* nameRefusal(NameProblem problem);

// "分类软件" followed by the number the new category would get.
std::string suggestedCategoryName(int categoryCount);

// A catalogue with no category at all gets "桌面图标" holding the placeholder.
// True when it had to.
bool ensureFirstCategory(ConfigText& catalogue);

void addCategory(ConfigText& catalogue, const std::string& name);

// Deletes the whole category; deleting the only one leaves "默认分类" with
// the placeholder.
void deleteCategory(ConfigText& catalogue, const std::string& category);

// The delete-item command on the item at `selected` (1-based) of `itemCount`
// entries. The last entry is never deleted: the placeholder is (re)written
// into the category instead. Returns true when an item was deleted (the page
// must then be refreshed and the catalogue saved).
bool deleteItemAt(ConfigText& catalogue, const std::string& category, int selected, int itemCount);

// Moves item `key` of `from` to category `to` (appended, or replacing an item
// of that name there). False when the item does not exist or from == to.
bool moveItem(ConfigText& catalogue, const std::string& from, const std::string& key,
              const std::string& to);

// The 1-based target category of a "移动到" command, 0 for another command.
int moveTargetOf(int commandId);

}  // namespace ql
