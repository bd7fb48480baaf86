#include "data_file.h"

#include <windows.h>
#include <odbcinst.h>
#include <sql.h>
#include <sqlext.h>

#include "store/config_table.h"
#include "store/database.h"

namespace {

std::string installerError() {
  DWORD code = 0;
  char message[SQL_MAX_MESSAGE_LENGTH] = "";
  WORD length = 0;
  if (SQLInstallerError(1, &code, message, sizeof message, &length) != SQL_SUCCESS) return "";
  return message;
}

std::string driverErrors(ql::Database& db) {
  std::string states, messages;
  db.lastErrors(states, messages);
  return messages.empty() ? states : messages;
}

// The driver's own name for its database format: "ACCESS" for the real one.
std::string dbmsName(ql::Database& db) {
  char name[64] = "";
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(static_cast<SQLHDBC>(db.connectionHandle()), SQL_DBMS_NAME, name,
                                sizeof name, &length)))
    return "";
  return name;
}

}  // namespace

bool createAccessFile(const std::string& path, std::string& error) {
  // Attribute list: "CREATE_DB=<path> <sort order>", then an empty string.
  std::string attributes = "CREATE_DB=\"" + path + "\" General";
  attributes.push_back('\0');
  attributes.push_back('\0');
  std::string driver = ql::Database().accessDriver();
  if (SQLConfigDataSource(nullptr, ODBC_ADD_DSN, driver.c_str(), attributes.c_str())) return true;
  error = "the Access driver could not create the file: " + installerError();
  return false;
}

bool setAccessPassword(const std::string& path, const std::string& password, std::string& error) {
  // The password can only be set with the file open exclusively, and the
  // statement needs the driver's ANSI-92 mode.
  ql::Database admin;
  if (!admin.connect("DBQ=" + path + ";Exclusive=1;ExtendedAnsiSQL=1;DRIVER={" +
                     admin.accessDriver() + "};")) {
    error = "cannot open the new file: " + driverErrors(admin);
    return false;
  }
  if (dbmsName(admin) != "ACCESS") return true;
  if (!admin.execute("ALTER DATABASE PASSWORD [" + password + "] NULL")) {
    error = "cannot set the password: " + driverErrors(admin);
    return false;
  }
  return true;
}

bool createTables(ql::Database& db) {
  // Type names that both Access and the SQLite stand-in read as long text
  // and long binary.
  return db.execute("create table 配置表 (编号 integer, 字段1 longtext, 字段2 longtext, "
                    "字段3 longtext)") &&
         db.insert("配置表", "编号, 字段1, 字段2, 字段3", "1, '', '', ''") &&
         db.execute("create table 动画表 (动画分类 varchar(255), 动画名称 varchar(255), "
                    "动画数据 longbinary)");
}

bool storeConfigText(ql::Database& db, int field, const ql::Bytes& text) {
  return ql::storeConfigField(db, static_cast<ql::ConfigField>(field),
                              std::string(text.begin(), text.end()));
}

bool storeMovie(ql::Database& db, const MovieFile& movie, const ql::Bytes& bytes) {
  ql::BlobArgs blobs;
  blobs.items[0] = &bytes;
  std::string sql = "insert into 动画表 (动画分类, 动画名称, 动画数据) values (" +
                    ql::Database::literal(movie.category) + ", " + ql::Database::literal(movie.name) + ", ?)";
  return db.executeWithBlobs(sql, nullptr, blobs);
}
