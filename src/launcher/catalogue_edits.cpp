#include "launcher/catalogue_edits.h"

#include <vector>

#include "runtime/text.h"

namespace ql {

const char kPlaceholderItem[] = "添加项目";
const char kDefaultCategory[] = "默认分类";
const char kFirstRunCategory[] = "桌面图标";

size_t lastBackslash(const std::string& path) {
  size_t found = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (isGbkLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
      ++i;  // a trail byte may be 0x5C without being a separator
    } else if (path[i] == '\\') {
      found = i;
    }
  }
  return found;
}

std::string itemNameForPath(const std::string& path) {
  size_t at = lastBackslash(path);
  return replaceAll(at == std::string::npos ? path : path.substr(at + 1), "=", "-");
}

std::string containingFolder(const std::string& target) {
  size_t at = lastBackslash(target);
  return at == std::string::npos ? std::string() : target.substr(0, at);
}

namespace {

std::string withoutLineBreaks(const std::string& text) {
  return replaceAll(replaceAll(text, "\r", "-"), "\n", "-");
}

}  // namespace

std::string tidyItemName(const std::string& typed) {
  return trimSpaces(replaceAll(withoutLineBreaks(typed), "=", "-"));
}

std::string tidyCategoryName(const std::string& typed) {
  return trimSpaces(withoutLineBreaks(typed));
}

NameProblem itemNameProblem(const ConfigText& catalogue, const std::string& category,
                            const std::string& oldName, const std::string& name) {
  if (!name.empty() && name[0] == '[') return NameProblem::ReadsAsSection;
  if (name == oldName) return NameProblem::None;
  std::vector<std::string> keys;
  catalogue.keyNames(category, keys);
  for (const std::string& key : keys) {
    if (key == name) return NameProblem::ItemExists;
  }
  return NameProblem::None;
}

NameProblem categoryNameProblem(const ConfigText& catalogue, const std::string& oldName,
                                const std::string& name) {
  return name != oldName && catalogue.hasSection(name) ? NameProblem::CategoryExists
                                                       : NameProblem::None;
}

const char* nameRefusal(NameProblem problem) {
  switch (problem) {
    case NameProblem::None: return "";
    case NameProblem::ItemExists: return "当前项目名称已存在!  ";
    case NameProblem::CategoryExists: return "当前分类名称已存在!  ";
    case NameProblem::ReadsAsSection: return "项目名称不能以\"[\"开头!  ";
  }
  return "";
}

std::string suggestedCategoryName(int categoryCount) {
  return "分类软件" + intToText(categoryCount + 1);
}

bool ensureFirstCategory(ConfigText& catalogue) {
  if (catalogue.sectionCount() > 0) return false;
  catalogue.setValue(kFirstRunCategory, kPlaceholderItem, "");
  return true;
}

void addCategory(ConfigText& catalogue, const std::string& name) {
  catalogue.setValue(name, kPlaceholderItem, "");
}

void deleteCategory(ConfigText& catalogue, const std::string& category) {
  bool wasOnly = catalogue.sectionCount() == 1;
  catalogue.remove(category);
  if (wasOnly || catalogue.sectionCount() == 0) catalogue.setValue(kDefaultCategory, kPlaceholderItem, "");
}

bool deleteItemAt(ConfigText& catalogue, const std::string& category, int selected, int itemCount) {
  if (selected == itemCount) {
    catalogue.setValue(category, kPlaceholderItem, "");
    return false;
  }
  if (selected < 1) return false;
  std::string key = catalogue.keyName(category, selected);
  if (key.empty()) return false;
  catalogue.remove(category, &key);
  return true;
}

bool moveItem(ConfigText& catalogue, const std::string& from, const std::string& key,
              const std::string& to) {
  if (from == to || isBlank(to) || !catalogue.hasSection(from)) return false;
  std::vector<std::string> keys;
  catalogue.keyNames(from, keys);
  bool found = false;
  for (const std::string& name : keys) found = found || name == key;
  if (!found) return false;
  std::string value = catalogue.getValue(from, key);
  catalogue.setValue(to, key, value);
  catalogue.remove(from, &key);
  return true;
}

int moveTargetOf(int commandId) {
  // Up to the next block of commands (6001, the settings menu).
  return commandId > 4000 && commandId < 6000 ? commandId - 4000 : 0;
}

}  // namespace ql
