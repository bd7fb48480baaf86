// Database over a real ODBC driver: SQLite's, through unixODBC.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "store/config_table.h"
#include "store/config_text.h"
#include "store/database.h"

using namespace ql;

namespace {

// A fresh file holding an empty 配置表, through SQLite's driver or another.
class DatabaseTest : public testing::Test {
 protected:
  void SetUp() override { open(SQLITE_ODBC_DRIVER); }
  void open(const char* driver) {
    path_ = testing::TempDir() + "/db_test_" +
            testing::UnitTest::GetInstance()->current_test_info()->name() + ".db";
    std::remove(path_.c_str());
    ASSERT_TRUE(db_.connect(std::string("DRIVER=") + driver + ";Database=" + path_ + ";"));
    ASSERT_TRUE(db_.execute("create table 配置表 (编号 integer, 字段1 text, 字段2 text, 字段3 text)"));
  }
  void TearDown() override {
    db_.close();
    std::remove(path_.c_str());
  }

  std::string path_;
  Database db_;
};

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

}  // namespace

TEST_F(DatabaseTest, ReadsColumnsByExactName) {
  ASSERT_TRUE(db_.insert("配置表", "编号,字段1,字段2", "1,'a','b'"));
  QueryCursor c = db_.query("select * from 配置表");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(db_.columnCount(c), 4);
  EXPECT_EQ(db_.columnIndex(c, "字段2"), 2);
  EXPECT_EQ(db_.textByName(c, "字段1"), "a");
  EXPECT_EQ(db_.textByName(c, "字段1 "), "");  // no trimming
  EXPECT_EQ(db_.textByName(c, "missing"), "");
  EXPECT_EQ(db_.bytesByName(c, "missing").size(), 0u);
  EXPECT_EQ(db_.intByName(c, "编号"), 1);
  EXPECT_EQ(db_.intByName(c, "missing"), 0);
  EXPECT_EQ(db_.textByName(c, "字段3"), "");  // NULL reads as empty
  EXPECT_TRUE(db_.freeCursor(c));
}

TEST_F(DatabaseTest, AsciiNamesDifferingInCaseDoNotMatch) {
  ASSERT_TRUE(db_.execute("create table t (Name text)"));
  ASSERT_TRUE(db_.insert("t", "Name", "'x'"));
  QueryCursor c = db_.query("select * from t");
  EXPECT_EQ(db_.textByName(c, "Name"), "x");
  EXPECT_EQ(db_.textByName(c, "name"), "");
  db_.freeCursor(c);
}

TEST_F(DatabaseTest, LongTextsAndBlobsAreReadWhole) {
  std::string longText = repeat("配置文本0123456789'", 700);  // well past one 255-byte piece
  ASSERT_TRUE(db_.insert("配置表", "编号,字段1", "1,''"));
  ConfigTable table(db_);
  ConfigText app, l, t;
  ASSERT_TRUE(table.load(app, l, t));
  app.setValue("控制配置", "长", longText);
  ASSERT_TRUE(table.save(ConfigField::App, app));
  ConfigText a;
  ASSERT_TRUE(ConfigTable(db_).load(a, l, t));
  EXPECT_TRUE(a.getValue("控制配置", "长") == longText);

  for (size_t size : {size_t(0), size_t(1), size_t(10240), size_t(10241), size_t(300000)}) {
    Bytes blob(size);
    for (size_t i = 0; i < size; ++i) blob[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
    ASSERT_TRUE(db_.execute("drop table if exists b"));
    ASSERT_TRUE(db_.execute("create table b (d blob)"));
    ASSERT_TRUE(db_.insertBlob("b", "(d)", blob));
    QueryCursor c = db_.query("select * from b");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(db_.bytesByName(c, "d"), blob) << size;
    db_.freeCursor(c);
  }
}

TEST_F(DatabaseTest, WalksRecordsAndKeepsEmptyResultsUsable) {
  for (int i = 1; i <= 3; ++i) ASSERT_TRUE(db_.insert("配置表", "编号,字段1", std::to_string(i) + ",'r'"));
  QueryCursor c = db_.query("select 编号 from 配置表 order by 编号");
  ASSERT_NE(c, nullptr);
  int seen = 0;
  do {
    EXPECT_EQ(db_.intAt(c, 0), ++seen);
  } while (db_.next(c));
  EXPECT_EQ(seen, 3);
  EXPECT_TRUE(db_.last(c));
  EXPECT_EQ(db_.intAt(c, 0), 3);
  EXPECT_TRUE(db_.moveTo(c, 2));
  EXPECT_EQ(db_.intAt(c, 0), 2);
  db_.freeCursor(c);

  QueryCursor empty = db_.query("select * from 配置表 where 编号=99");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(db_.textByName(empty, "字段1"), "");
  EXPECT_FALSE(db_.next(empty));
  db_.freeCursor(empty);
  EXPECT_EQ(db_.query("select * from no_such_table"), nullptr);
}

TEST_F(DatabaseTest, BuildersRunAndCount) {
  ASSERT_TRUE(db_.insert("配置表", "编号,字段1", "1,'x'"));
  ASSERT_TRUE(db_.insert("配置表", "编号,字段1", "2,'x'"));
  std::string cond = "编号=2";
  EXPECT_EQ(db_.count("配置表"), 2);
  EXPECT_EQ(db_.count("配置表", &cond), 1);
  EXPECT_TRUE(db_.exists("配置表", "字段1='x'"));
  EXPECT_FALSE(db_.exists("配置表", "字段1='y'"));
  EXPECT_TRUE(db_.update("配置表", "字段2='new'", "编号=1"));
  EXPECT_EQ(db_.lookupText("配置表", "编号=1", "字段2"), "new");
  EXPECT_TRUE(db_.deleteRows("配置表", "编号=2"));
  EXPECT_EQ(db_.count("配置表"), 1);
  EXPECT_FALSE(db_.update("no_such_table", "a=1", "b=2"));
}

TEST_F(DatabaseTest, FirstRecordOnlyIsLoaded) {
  ASSERT_TRUE(db_.insert("配置表", "编号,字段1", "1,'[S]\r\nk=first\r\n'"));
  ASSERT_TRUE(db_.insert("配置表", "编号,字段1", "2,'[S]\r\nk=second\r\n'"));
  ConfigText a, l, t;
  ASSERT_TRUE(ConfigTable(db_).load(a, l, t));
  EXPECT_EQ(a.getValue("S", "k"), "first");
}

TEST_F(DatabaseTest, TransactionsCommitAndRollBack) {
  ASSERT_TRUE(db_.beginTransaction());
  ASSERT_TRUE(db_.insert("配置表", "编号", "1"));
  EXPECT_TRUE(db_.rollback());
  EXPECT_EQ(db_.count("配置表"), 0);
  ASSERT_TRUE(db_.beginTransaction());
  ASSERT_TRUE(db_.insert("配置表", "编号", "1"));
  EXPECT_TRUE(db_.commit());
  EXPECT_EQ(db_.count("配置表"), 1);
}

TEST_F(DatabaseTest, ErrorsAreReadable) {
  EXPECT_FALSE(db_.execute("this is not sql"));
  std::string states, messages;
  db_.lastErrors(states, messages);  // statement errors stay with the statement
  SUCCEED();
}

TEST(DatabaseClosed, EveryOperationFailsQuietly) {
  Database db;
  EXPECT_FALSE(db.connect("DRIVER={No Such Driver};"));
  EXPECT_EQ(db.query("select 1"), nullptr);
  EXPECT_FALSE(db.update("t", "a=1", "b=1"));
  EXPECT_EQ(db.count("t"), 0);
  EXPECT_EQ(db.textByName(nullptr, "x"), "");
  EXPECT_FALSE(db.next(nullptr));
  EXPECT_EQ(db.lookupText("t", "1=1", "x"), "");
  ConfigTable table(db);
  ConfigText a, l, t;
  EXPECT_FALSE(table.load(a, l, t));
  EXPECT_FALSE(table.save(ConfigField::App, a));
}

TEST(DatabaseSql, BuildersProduceTheExactText) {
  std::string cond = "a=1";
  EXPECT_EQ(Database::countSql("t", nullptr), "select count(1) from t ");
  EXPECT_EQ(Database::countSql("t", &cond), "select count(1) from t where a=1");
  EXPECT_EQ(Database::insertSql("t", "a,b", "1,2"), "insert into t(a,b) values (1,2)");
  EXPECT_EQ(Database::insertBlobSql("t", "(d)"), "insert into t (d) values (?)");
  EXPECT_EQ(Database::updateSql("配置表", "字段2='x'", "编号=1"),
            "update 配置表 set 字段2='x' where 编号=1");
  EXPECT_EQ(Database::deleteSql("t", "a=1"), "delete from t where a=1");
  EXPECT_EQ(Database::lookupSql("t", "a=1"), "select * from t where a=1");
  EXPECT_EQ(Database::deleteDuplicatesSql("t", "a,b", "max(id)", "id"),
            "delete from t where id not in(select max(id) from t group by a,b)");
  EXPECT_EQ(Database::selectDuplicateRowsSql("t", "a"),
            "select * from t a where(a.a) in (select a from t group by a having count(*)>1)");
  EXPECT_EQ(Database::selectDuplicateRowsSql("t", "a,b"),
            "select * from t a where(a.a,a.b) in (select a,b from t group by a,b having count(*)>1)");
  EXPECT_EQ(Database::selectDuplicatesSql("t", "c"),
            "select * from t where c in (select c from t group by c having count(c)>1)");
}

TEST(DatabaseWarnings, SuccessWithInfoCountsAsFailure) {
  std::string path = testing::TempDir() + "/db_test_warnings.db";
  std::remove(path.c_str());
  Database db;
  ASSERT_TRUE(db.connect(std::string("DRIVER=") + WARNING_ODBC_DRIVER + ";Database=" + path + ";"));
  ASSERT_TRUE(db.execute("create table 配置表 (编号 integer, 字段1 text)"));
  ASSERT_TRUE(db.insert("配置表", "编号,字段1", "1,'old'"));

  // The row changes, but the warning makes the update report failure.
  EXPECT_FALSE(db.update("配置表", "字段1='new' /*warn*/", "编号=1"));
  EXPECT_EQ(db.lookupText("配置表", "编号=1", "字段1"), "new");
  EXPECT_FALSE(db.execute("update 配置表 set 字段1='x' /*warn*/"));

  // A query accepted with a warning gives no cursor.
  EXPECT_EQ(db.query("select * from 配置表 /*warn*/"), nullptr);
  QueryCursor plain = db.query("select * from 配置表");
  EXPECT_NE(plain, nullptr);
  db.freeCursor(plain);
  db.close();
  std::remove(path.c_str());
}

namespace {

// The test driver's switches and records (warning_driver.c).
struct DriverControls {
  int allocWithInfo;
  int noTotalPieces;
  int failingColumn;
  int liveStatements;
  char lastStatement[64001];
};

// The test driver, connected to a fresh file holding 配置表 with record 1.
class HabitsTest : public DatabaseTest {
 protected:
  void SetUp() override {
    open(WARNING_ODBC_DRIVER);
    void* driver = dlopen(WARNING_ODBC_DRIVER, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(driver, nullptr);
    auto controlsOf = reinterpret_cast<DriverControls* (*)()>(dlsym(driver, "warning_driver_controls"));
    ASSERT_NE(controlsOf, nullptr);
    driver_ = controlsOf();
    dlclose(driver);
    ASSERT_TRUE(db_.insert("配置表", "编号,字段1,字段2,字段3", "1,'','',''"));
  }
  void TearDown() override {
    if (driver_) driver_->allocWithInfo = driver_->noTotalPieces = driver_->failingColumn = 0;
    DatabaseTest::TearDown();
  }

  DriverControls* driver_ = nullptr;
};

}  // namespace

TEST_F(HabitsTest, ValuesEndedByNoDataAfterTheLastPieceAreKept) {
  std::string longText = repeat("启动项0123456789", 300);
  ASSERT_TRUE(db_.update("配置表", "字段1='" + longText + "', 字段2='短'", "编号=1"));
  driver_->noTotalPieces = 1;
  QueryCursor c = db_.query("select * from 配置表");
  ASSERT_NE(c, nullptr);
  std::string read = db_.textByName(c, "字段1");
  EXPECT_EQ(read.size(), longText.size());
  EXPECT_TRUE(read == longText);
  EXPECT_EQ(db_.textByName(c, "字段2"), "短");
  EXPECT_EQ(db_.textByName(c, "字段3"), "");
  db_.freeCursor(c);
}

TEST_F(HabitsTest, StatementsAllocatedWithInformationAreUsedAndFreed) {
  int before = driver_->liveStatements;
  driver_->allocWithInfo = 1;
  EXPECT_TRUE(db_.execute("update 配置表 set 字段1='a'"));
  EXPECT_TRUE(db_.update("配置表", "字段2='b'", "编号=1"));
  EXPECT_EQ(db_.count("配置表"), 1);
  QueryCursor c = db_.query("select * from 配置表");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(db_.textByName(c, "字段1"), "a");
  EXPECT_TRUE(db_.freeCursor(c));
  QueryCursor prepared = db_.prepare("select * from 配置表");
  ASSERT_NE(prepared, nullptr);
  EXPECT_TRUE(db_.freeCursor(prepared));
  EXPECT_EQ(driver_->liveStatements, before);
}

TEST_F(HabitsTest, LongTextsAreSavedAsParametersNotInsideTheStatement) {
  // Far beyond the 64,000 characters the Access driver allows a statement.
  ConfigTable table(db_);
  ConfigText app, launcher, task;
  ASSERT_TRUE(table.load(app, launcher, task));
  for (int i = 0; i < 3000; ++i)
    launcher.setValue("常用'工具", "程序" + std::to_string(i), "C:\\Program Files\\应用'" + std::to_string(i) + ".exe");
  ASSERT_GT(launcher.toText().size(), 100000u);
  ASSERT_TRUE(table.save(ConfigField::Launcher, launcher));
  EXPECT_STREQ(driver_->lastStatement, "update 配置表 set 字段2=? where 编号=1");

  ConfigText a, back, t;
  ASSERT_TRUE(ConfigTable(db_).load(a, back, t));
  EXPECT_TRUE(back.toText() == launcher.toText());
  EXPECT_EQ(back.getValue("常用'工具", "程序2999"), "C:\\Program Files\\应用'2999.exe");
}

TEST_F(HabitsTest, AFieldThatCouldNotBeReadIsNeverSavedOver) {
  ASSERT_TRUE(storeConfigField(db_, ConfigField::App, "[控制配置]\r\n高度=600\r\n"));
  ASSERT_TRUE(storeConfigField(db_, ConfigField::Launcher, "[工具]\r\n记事本=C:\\notepad.exe\r\n"));
  driver_->failingColumn = 3;  // 字段2
  ConfigTable table(db_);
  ConfigText app, launcher, task;
  EXPECT_FALSE(table.load(app, launcher, task));
  driver_->failingColumn = 0;
  EXPECT_TRUE(table.wasRead(ConfigField::App));
  EXPECT_FALSE(table.wasRead(ConfigField::Launcher));
  EXPECT_TRUE(table.wasRead(ConfigField::Task));
  EXPECT_EQ(app.getValue("控制配置", "高度"), "600");
  EXPECT_EQ(launcher.sectionCount(), 0);

  // The program goes on with a default catalogue; its saves leave the stored one alone.
  launcher.setValue("桌面图标", "添加项目", "");
  EXPECT_FALSE(table.save(ConfigField::Launcher, launcher));
  EXPECT_EQ(db_.lookupText("配置表", "编号=1", "字段2"), "[工具]\r\n记事本=C:\\notepad.exe\r\n");
  app.setValue("控制配置", "高度", "640");
  EXPECT_TRUE(table.save(ConfigField::App, app));
  EXPECT_EQ(db_.lookupText("配置表", "编号=1", "字段1"), "[控制配置]\r\n高度=640\r\n");
}

TEST_F(HabitsTest, AnEmptyTableReadsAsEmptyTextsAndGetsItsRecordAtTheFirstSave) {
  ASSERT_TRUE(db_.deleteRows("配置表", "1=1"));
  ConfigTable table(db_);
  ConfigText app, launcher, task;
  EXPECT_TRUE(table.load(app, launcher, task));
  EXPECT_EQ(app.entryCount() + launcher.entryCount() + task.entryCount(), 0);
  task.setValue("任务1", "执行类型", "响铃");
  EXPECT_TRUE(table.save(ConfigField::Task, task));
  app.setValue("控制配置", "皮肤", "");
  EXPECT_TRUE(table.save(ConfigField::App, app));
  EXPECT_EQ(db_.count("配置表"), 1);
  EXPECT_EQ(db_.lookupText("配置表", "编号=1", "字段3"), "[任务1]\r\n执行类型=响铃\r\n");
  EXPECT_EQ(db_.lookupText("配置表", "编号=1", "字段1"), "[控制配置]\r\n皮肤=\r\n");

  // Only a table known to be empty gets a record: one holding another
  // record is written at 编号=1 or not at all.
  ASSERT_TRUE(db_.execute("update 配置表 set 编号=2"));
  EXPECT_FALSE(table.save(ConfigField::Task, task));
  EXPECT_EQ(db_.count("配置表"), 1);
}
