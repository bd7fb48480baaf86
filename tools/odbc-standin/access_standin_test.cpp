// The stand-in reached the way the program reaches the Access driver:
// through the driver manager, by the driver's name, with a Wine path.
#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "store/access_driver.h"
#include "store/database.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// "/tmp/x/flash.mdb" as Wine shows it: "Z:\tmp\x\flash.mdb".
std::string winePath(std::string unixPath) {
  for (char& c : unixPath)
    if (c == '/') c = '\\';
  return "Z:" + unixPath;
}

class AccessStandin : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/standin-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_)));
    SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_)));
  }
  void TearDown() override {
    if (connected_) SQLDisconnect(dbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    SQLFreeHandle(SQL_HANDLE_ENV, env_);
    std::string command = "rm -rf '" + folder_ + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
  }

  bool connect(const std::string& dbq) {
    std::string text = "DBQ=" + dbq + ";Pwd=20240101;DRIVER={Microsoft Access Driver (*.mdb)};";
    SQLCHAR out[1024];
    SQLSMALLINT outLength = 0;
    SQLRETURN rc = SQLDriverConnect(dbc_, nullptr, (SQLCHAR*)text.c_str(), SQL_NTS, out,
                                    sizeof out, &outLength, SQL_DRIVER_NOPROMPT);
    connected_ = SQL_SUCCEEDED(rc);
    return connected_;
  }

  bool run(const std::string& sql) {
    SQLHSTMT statement;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &statement))) return false;
    SQLRETURN rc = SQLExecDirect(statement, (SQLCHAR*)sql.c_str(), SQL_NTS);
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    return rc == SQL_SUCCESS;
  }

  std::string firstText(const std::string& sql) {
    SQLHSTMT statement;
    std::string value;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &statement))) return value;
    if (SQL_SUCCEEDED(SQLExecDirect(statement, (SQLCHAR*)sql.c_str(), SQL_NTS)) &&
        SQL_SUCCEEDED(SQLFetch(statement))) {
      char buffer[4096];
      SQLLEN length = 0;
      if (SQL_SUCCEEDED(SQLGetData(statement, 1, SQL_C_CHAR, buffer, sizeof buffer, &length)) &&
          length >= 0)
        value.assign(buffer, static_cast<size_t>(length));
    }
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    return value;
  }

  std::string folder_;
  SQLHENV env_ = SQL_NULL_HANDLE;
  SQLHDBC dbc_ = SQL_NULL_HANDLE;
  bool connected_ = false;
};

TEST_F(AccessStandin, WinePathOpensTheFileAndGbkBytesPassUntouched) {
  std::string file = folder_ + "/flash.mdb";
  writeFile(file, "");  // what CREATE_DB leaves
  ASSERT_TRUE(connect(winePath(file)));

  // "配置表", "字段1" in GBK; the value is not valid UTF-8 and has CR LF.
  const std::string table = "\xC5\xE4\xD6\xC3\xB1\xED", column = "\xD7\xD6\xB6\xCE" "1";
  const std::string value = "[\xBF\xD8\xD6\xC6]\r\n\xD7\xF3=-20\r\n\xFF\x81'";
  ASSERT_TRUE(run("create table " + table + " (" + column + " longtext)"));
  std::string quoted = value;
  quoted.replace(quoted.size() - 1, 1, "''");
  ASSERT_TRUE(run("insert into " + table + " values ('" + quoted + "')"));
  EXPECT_EQ(firstText("select " + column + " from " + table), value);
  EXPECT_GT(readFile(file).size(), 0u);
}

TEST_F(AccessStandin, PlainUnixPathIsAccepted) {
  std::string file = folder_ + "/flash.mdb";
  writeFile(file, "");
  EXPECT_TRUE(connect(file));
}

TEST_F(AccessStandin, MissingFileFailsAndIsNotCreated) {
  std::string file = folder_ + "/flash.mdb";
  EXPECT_FALSE(connect(winePath(file)));
  EXPECT_FALSE(exists(file));
}

TEST_F(AccessStandin, FileThatIsNotADatabaseFailsAndStaysAsItWas) {
  std::string file = folder_ + "/flash.mdb";
  const std::string junk(3000, '\x5A');
  writeFile(file, junk);
  EXPECT_FALSE(connect(winePath(file)));
  EXPECT_EQ(readFile(file), junk);
}

TEST_F(AccessStandin, OtherDriveLettersFollowThePrefixLinks) {
  std::string prefix = folder_ + "/prefix";
  std::string drive = folder_ + "/drive_c";
  ASSERT_EQ(mkdir(prefix.c_str(), 0755), 0);
  ASSERT_EQ(mkdir((prefix + "/dosdevices").c_str(), 0755), 0);
  ASSERT_EQ(mkdir(drive.c_str(), 0755), 0);
  ASSERT_EQ(symlink("../../drive_c", (prefix + "/dosdevices/c:").c_str()), 0);
  writeFile(drive + "/flash.mdb", "");

  const char* saved = getenv("WINEPREFIX");
  std::string savedValue = saved ? saved : "";
  setenv("WINEPREFIX", prefix.c_str(), 1);
  bool opened = connect("C:\\flash.mdb");
  if (saved)
    setenv("WINEPREFIX", savedValue.c_str(), 1);
  else
    unsetenv("WINEPREFIX");
  EXPECT_TRUE(opened);
}

TEST_F(AccessStandin, ConnectionWithoutDbqFails) {
  EXPECT_FALSE(connect(""));
  EXPECT_FALSE(connect("relative\\flash.mdb"));
}

// The program's own path: Database::openAccess names the driver this
// process should have. Natively this is a 64-bit process, like the x86-64
// program under Wine, so the name comes from the driver manager's list.
TEST_F(AccessStandin, SixtyFourBitProcessOpensThroughTheMdbNameWhenBothAreThere) {
  std::string file = folder_ + "/flash.mdb";
  writeFile(file, "");
  ql::Database db;
  EXPECT_EQ(db.accessDriver(), ql::kAccessDriverMdb);
  EXPECT_TRUE(db.openAccess(winePath(file), "20240101"));
}

// Only the Access Database Engine's name, as on 64-bit Windows. unixODBC
// keeps what it read of odbcinst.ini for the process's life, so the list is
// changed before this process (one per test under ctest) asks for it.
TEST(AccessDriverFallback, SixtyFourBitProcessOpensThroughTheAccdbName) {
  char pattern[] = "/tmp/standin-accdb-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::string folder = pattern, registered = getenv("ODBCSYSINI");
  writeFile(folder + "/odbcinst.ini", std::string("[") + ql::kAccessDriverAccdb +
                                          "]\nDriver64=" + registered +
                                          "/amd64/libaccess-standin.so\n");
  writeFile(folder + "/flash.mdb", "");
  setenv("ODBCSYSINI", folder.c_str(), 1);
  {
    ql::Database db;
    EXPECT_EQ(db.accessDriver(), ql::kAccessDriverAccdb);
    EXPECT_TRUE(db.openAccess(winePath(folder + "/flash.mdb"), "20240101"));
  }
  setenv("ODBCSYSINI", registered.c_str(), 1);
  EXPECT_EQ(std::system(("rm -rf '" + folder + "'").c_str()), 0);
}

TEST(AccessDriverChoice, ThirtyTwoBitAlwaysNamesTheMdbDriver) {
  EXPECT_EQ(ql::chooseAccessDriver(false, {}), ql::kAccessDriverMdb);
  EXPECT_EQ(ql::chooseAccessDriver(false, {ql::kAccessDriverAccdb}), ql::kAccessDriverMdb);
}

TEST(AccessDriverChoice, SixtyFourBitPrefersMdbThenFallsBackToAccdb) {
  EXPECT_EQ(ql::chooseAccessDriver(true, {"SQL Server", ql::kAccessDriverAccdb,
                                          ql::kAccessDriverMdb}),
            ql::kAccessDriverMdb);
  EXPECT_EQ(ql::chooseAccessDriver(true, {"SQL Server", ql::kAccessDriverAccdb}),
            ql::kAccessDriverAccdb);
  // Neither installed: the name the user has to install.
  EXPECT_EQ(ql::chooseAccessDriver(true, {"SQL Server"}), ql::kAccessDriverAccdb);
  EXPECT_EQ(ql::chooseAccessDriver(true, {}), ql::kAccessDriverAccdb);
}

}  // namespace
