#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "launcher/catalogue_edits.h"

using namespace ql;

namespace {

std::string textOf(const ConfigText& config) {
  Bytes bytes = config.toText();
  return std::string(bytes.begin(), bytes.end());
}

ConfigText catalogueOf(std::string text) {
  ConfigText config;
  config.loadText(text);
  return config;
}

std::vector<std::string> keysOf(const ConfigText& config, const std::string& section) {
  std::vector<std::string> keys;
  config.keyNames(section, keys);
  return keys;
}

}  // namespace

TEST(CatalogueEdits, ItemNamesComeFromTheFileName) {
  EXPECT_EQ(itemNameForPath("C:\\Program Files\\a=b.exe"), "a-b.exe");
  EXPECT_EQ(itemNameForPath("C:\\x\\==.lnk"), "--.lnk");
  EXPECT_EQ(itemNameForPath("plain.txt"), "plain.txt");
  // "俓" ends in the byte 0x5C ("\"); it is no separator.
  EXPECT_EQ(itemNameForPath("D:\\游戏\\俓.exe"), "俓.exe");
  EXPECT_EQ(itemNameForPath("D:\\俓\\x.exe"), "x.exe");
  EXPECT_EQ(containingFolder("D:\\游戏\\俓"), "D:\\游戏");
  EXPECT_EQ(containingFolder("C:\\a\\b.exe"), "C:\\a");
  EXPECT_EQ(containingFolder("nowhere"), "");
}

TEST(CatalogueEdits, NewCategoriesStartWithThePlaceholder) {
  EXPECT_EQ(suggestedCategoryName(2), "分类软件3");
  EXPECT_EQ(suggestedCategoryName(0), "分类软件1");

  ConfigText empty;
  EXPECT_TRUE(ensureFirstCategory(empty));
  EXPECT_EQ(textOf(empty), "[桌面图标]\r\n添加项目=\r\n");
  EXPECT_FALSE(ensureFirstCategory(empty));

  ConfigText catalogue = catalogueOf("[工具]\r\nnotepad=C:\\notepad.exe\r\n");
  addCategory(catalogue, "游戏");
  EXPECT_EQ(textOf(catalogue), "[工具]\r\nnotepad=C:\\notepad.exe\r\n[游戏]\r\n添加项目=\r\n");
}

TEST(CatalogueEdits, DeletingTheOnlyCategoryLeavesTheDefaultOne) {
  ConfigText one = catalogueOf("[工具]\r\nnotepad=C:\\notepad.exe\r\n");
  deleteCategory(one, "工具");
  EXPECT_EQ(textOf(one), "[默认分类]\r\n添加项目=\r\n");

  ConfigText two = catalogueOf("[工具]\r\na=1\r\n[游戏]\r\nb=2\r\n");
  deleteCategory(two, "工具");
  EXPECT_EQ(textOf(two), "[游戏]\r\nb=2\r\n");
}

TEST(CatalogueEdits, DeleteItemNeverRemovesTheLastEntry) {
  ConfigText catalogue = catalogueOf("[工具]\r\na=1\r\nb=2\r\nc=3\r\n");
  EXPECT_TRUE(deleteItemAt(catalogue, "工具", 2, 3));
  EXPECT_EQ(keysOf(catalogue, "工具"), (std::vector<std::string>{"a", "c"}));
  // The last entry selected: the placeholder is written instead.
  EXPECT_FALSE(deleteItemAt(catalogue, "工具", 2, 2));
  EXPECT_EQ(keysOf(catalogue, "工具"), (std::vector<std::string>{"a", "c", "添加项目"}));
  EXPECT_FALSE(deleteItemAt(catalogue, "工具", 3, 3));  // the placeholder is already there
  EXPECT_EQ(keysOf(catalogue, "工具").size(), 3u);
  // Nothing selected in an empty category (0 equals 0): the placeholder too.
  ConfigText bare = catalogueOf("[空]\r\nx=1\r\n");
  std::string x = "x";
  bare.remove("空", &x);
  EXPECT_FALSE(deleteItemAt(bare, "空", 0, 0));
  EXPECT_EQ(keysOf(bare, "空"), (std::vector<std::string>{"添加项目"}));
  // Nothing selected in a filled category: nothing happens.
  EXPECT_FALSE(deleteItemAt(catalogue, "工具", 0, 3));
  EXPECT_EQ(keysOf(catalogue, "工具").size(), 3u);
}

TEST(CatalogueEdits, MovingAnItemKeepsItsTarget) {
  ConfigText catalogue = catalogueOf("[工具]\r\na=C:\\a.exe\r\nb=C:\\b.exe\r\n[游戏]\r\nb=D:\\old.exe\r\n");
  EXPECT_TRUE(moveItem(catalogue, "工具", "a", "游戏"));
  EXPECT_EQ(catalogue.getValue("游戏", "a"), "C:\\a.exe");
  EXPECT_EQ(keysOf(catalogue, "工具"), (std::vector<std::string>{"b"}));
  // Same name in the target: the moved item's target wins.
  EXPECT_TRUE(moveItem(catalogue, "工具", "b", "游戏"));
  EXPECT_EQ(catalogue.getValue("游戏", "b"), "C:\\b.exe");
  EXPECT_EQ(keysOf(catalogue, "游戏").size(), 2u);
  // Into its own category, from nowhere, or to no category: nothing moves.
  EXPECT_FALSE(moveItem(catalogue, "游戏", "a", "游戏"));
  EXPECT_FALSE(moveItem(catalogue, "游戏", "missing", "工具"));
  EXPECT_FALSE(moveItem(catalogue, "游戏", "a", ""));
  EXPECT_EQ(catalogue.getValue("游戏", "a"), "C:\\a.exe");
}

TEST(CatalogueEdits, MoveCommandsReachEveryCategory) {
  EXPECT_EQ(moveTargetOf(4001), 1);
  EXPECT_EQ(moveTargetOf(4010), 10);
  EXPECT_EQ(moveTargetOf(4100), 100);
  EXPECT_EQ(moveTargetOf(4400), 400);
  EXPECT_EQ(moveTargetOf(4000), 0);
  EXPECT_EQ(moveTargetOf(2004), 0);
  EXPECT_EQ(moveTargetOf(6001), 0);
}

TEST(CatalogueEdits, TypedNamesAreTrimmedAndMadeStorable) {
  EXPECT_EQ(tidyItemName("  记事本 "), "记事本");
  EXPECT_EQ(tidyItemName("\xA1\xA1" "a=b\xA1\xA1"), "a-b");
  EXPECT_EQ(tidyItemName("two\r\nlines"), "two--lines");
  EXPECT_EQ(tidyItemName("   "), "");
  EXPECT_EQ(tidyCategoryName(" 游戏=娱乐 "), "游戏=娱乐");  // "=" is harmless in a section line
  EXPECT_EQ(tidyCategoryName("a\nb"), "a-b");
  EXPECT_EQ(tidyCategoryName("\xA1\xA1"), "");
}

TEST(CatalogueEdits, RenamesRefuseTakenNamesAndItemNamesThatReadAsSections) {
  ConfigText catalogue = catalogueOf("[工具]\r\na=C:\\a.exe\r\nb=C:\\b.exe\r\n[游戏]\r\nc=D:\\c.exe\r\n");
  EXPECT_EQ(itemNameProblem(catalogue, "工具", "a", "b"), NameProblem::ItemExists);
  EXPECT_EQ(itemNameProblem(catalogue, "工具", "a", "c"), NameProblem::None);  // another category's
  EXPECT_EQ(itemNameProblem(catalogue, "工具", "a", "a"), NameProblem::None);
  EXPECT_EQ(itemNameProblem(catalogue, "工具", "a", "[x]"), NameProblem::ReadsAsSection);
  EXPECT_EQ(itemNameProblem(catalogue, "工具", "a", "x[y]"), NameProblem::None);
  EXPECT_EQ(categoryNameProblem(catalogue, "工具", "游戏"), NameProblem::CategoryExists);
  EXPECT_EQ(categoryNameProblem(catalogue, "", "游戏"), NameProblem::CategoryExists);
  EXPECT_EQ(categoryNameProblem(catalogue, "工具", "[软件]"), NameProblem::None);
  EXPECT_STREQ(nameRefusal(NameProblem::None), "");
  EXPECT_STREQ(nameRefusal(NameProblem::CategoryExists), "当前分类名称已存在!  ");
  EXPECT_STREQ(nameRefusal(NameProblem::ItemExists), "当前项目名称已存在!  ");
}

TEST(CatalogueEdits, EveryAcceptedNameReadsBackAsGiven) {
  const std::vector<std::string> pieces = {"记事本", "a", "=", "[", "]", " ", "\xA1\xA1", "\r\n",
                                           "'", "x y", "\\", "\n", "添加项目", "[S]"};
  std::mt19937 rng(12);
  auto typed = [&] {
    std::string s;
    for (size_t n = 1 + rng() % 4; n > 0; --n) s += pieces[rng() % pieces.size()];
    return s;
  };
  for (int round = 0; round < 500; ++round) {
    ConfigText catalogue = catalogueOf("[工具]\r\na=C:\\a.exe\r\nb=C:\\b.exe\r\n[游戏]\r\nc=D:\\c.exe\r\n");
    std::string item = tidyItemName(typed());
    bool itemTaken = item.empty() || itemNameProblem(catalogue, "工具", "a", item) != NameProblem::None;
    if (!itemTaken) {
      ASSERT_TRUE(catalogue.renameKey("工具", "a", item)) << item;
    }
    std::string category = tidyCategoryName(typed());
    bool categoryTaken =
        category.empty() || categoryNameProblem(catalogue, "游戏", category) != NameProblem::None;
    if (!categoryTaken) {
      ASSERT_TRUE(catalogue.renameSection("游戏", category)) << category;
    }

    ConfigText back = catalogueOf(textOf(catalogue));
    std::string tools = itemTaken ? "a" : item;
    EXPECT_EQ(keysOf(back, "工具"), (std::vector<std::string>{tools, "b"})) << item;
    EXPECT_EQ(back.getValue("工具", tools), "C:\\a.exe");
    EXPECT_EQ(back.sectionName(2), categoryTaken ? "游戏" : category);
    EXPECT_EQ(back.getValue(back.sectionName(2), "c"), "D:\\c.exe");
  }
}
