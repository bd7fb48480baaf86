// The catalogue read from "动画表" over a real ODBC driver (SQLite's).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "animation/catalogue_store.h"
#include "store/database.h"

namespace ql {
namespace {

class CatalogueStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    path_ = testing::TempDir() + "/catalogue_" +
            testing::UnitTest::GetInstance()->current_test_info()->name() + ".db";
    std::remove(path_.c_str());
    ASSERT_TRUE(
        db_.connect(std::string("DRIVER=") + SQLITE_ODBC_DRIVER + ";Database=" + path_ + ";"));
    ASSERT_TRUE(db_.execute(
        "create table 动画表 (编号 integer, 动画分类 text, 动画名称 text, 动画数据 blob)"));
  }
  void TearDown() override {
    db_.close();
    std::remove(path_.c_str());
  }
  void add(int number, const std::string& category, const std::string& name, const Bytes& bytes) {
    BlobArgs blobs;
    blobs.items[0] = &bytes;
    std::string sql = "insert into 动画表 (编号, 动画分类, 动画名称, 动画数据) values (" +
                      std::to_string(number) + ", '" + category + "', '" + name + "', ?)";
    ASSERT_TRUE(db_.executeWithBlobs(sql, nullptr, blobs)) << sql;
  }

  std::string path_;
  Database db_;
};

TEST_F(CatalogueStoreTest, ListsEveryRowInOrder) {
  add(1, "特效", "飘雪", {1, 2, 3});
  add(2, "时钟", "经典挂钟", {4});
  add(3, "别的", "不显示", {5});
  std::vector<AnimationEntry> entries = readCatalogue(db_);
  ASSERT_EQ(3u, entries.size());
  EXPECT_EQ("特效", entries[0].category);
  EXPECT_EQ("飘雪", entries[0].name);
  EXPECT_EQ("经典挂钟", entries[1].name);
  EXPECT_EQ("别的", entries[2].category);
}

TEST_F(CatalogueStoreTest, AnEmptyOrMissingTableGivesOneEmptyEntry) {
  std::vector<AnimationEntry> entries = readCatalogue(db_);
  ASSERT_EQ(1u, entries.size());
  EXPECT_EQ("", entries[0].category);
  ASSERT_TRUE(db_.execute("drop table 动画表"));
  entries = readCatalogue(db_);
  ASSERT_EQ(1u, entries.size());
  EXPECT_EQ("", entries[0].name);
  EXPECT_TRUE(readAnimationData(db_, "特效", "飘雪").empty());
}

TEST_F(CatalogueStoreTest, FetchesTheFirstMatchingRowsBytes) {
  Bytes big(300000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 13);
  add(1, "生活", "盆栽", big);
  add(2, "生活", "盆栽", {9, 9});
  add(3, "生活", "烛光", {7});
  EXPECT_EQ(big, readAnimationData(db_, "生活", "盆栽"));
  EXPECT_EQ(Bytes({7}), readAnimationData(db_, "生活", "烛光"));
  EXPECT_TRUE(readAnimationData(db_, "生活", "热咖啡").empty());
  EXPECT_TRUE(readAnimationData(db_, "其他", "烛光").empty());
}

// A quote in a category or a name is part of the text, not of the statement.
TEST_F(CatalogueStoreTest, QuotesInNamesFindTheirRow) {
  add(1, "其他", "Tom''s cat", {1, 1});
  add(2, "It''s", "x'' or ''1''=''1", {2});
  add(3, "其他", "plain", {3});
  EXPECT_EQ(Bytes({1, 1}), readAnimationData(db_, "其他", "Tom's cat"));
  EXPECT_EQ(Bytes({2}), readAnimationData(db_, "It's", "x' or '1'='1"));
  EXPECT_TRUE(readAnimationData(db_, "其他", "x' or '1'='1").empty());
  EXPECT_EQ("select * from 动画表 where 动画分类='It''s' and 动画名称='a''''b'",
            animationDataSql("It's", "a''b"));
}

}  // namespace
}  // namespace ql
