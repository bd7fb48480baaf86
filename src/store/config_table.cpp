#include "store/config_table.h"

#include "store/config_text.h"
#include "store/database.h"

namespace ql {

namespace {

const char kTable[] = "配置表";

const char* columnOf(ConfigField field) {
  switch (field) {
    case ConfigField::App: return "字段1";
    case ConfigField::Launcher: return "字段2";
    case ConfigField::Task: return "字段3";
  }
  return "字段1";
}

// True only when the table is known to hold no record: a failed count is
// not taken for an empty table.
bool hasNoRecord(Database& db) {
  QueryCursor cursor = db.query(Database::countSql(kTable, nullptr));
  std::string count;
  bool read = db.readText(cursor, 0, count);
  if (cursor) db.freeCursor(cursor);
  return read && count == "0";
}

}  // namespace

bool storeConfigField(Database& db, ConfigField field, const std::string& text) {
  std::string column = columnOf(field);
  long rows = 0;
  bool stored = db.executeWithText(Database::updateSql(kTable, column + "=?", "编号=1"), text, &rows);
  if (rows != 0 || !hasNoRecord(db)) return stored;
  return db.executeWithText(
      Database::insertSql(kTable, std::string("编号,") + column, "1,?"), text);
}

bool ConfigTable::load(ConfigText& app, ConfigText& launcher, ConfigText& task) {
  QueryCursor cursor = db_.query(std::string("select * from ") + kTable);
  if (!cursor) return false;
  std::string texts[3];
  for (ConfigField field : {ConfigField::App, ConfigField::Launcher, ConfigField::Task}) {
    int i = index(field);
    read_[i] = db_.readText(cursor, db_.columnIndex(cursor, columnOf(field)), texts[i]);
  }
  db_.freeCursor(cursor);
  if (!read_[0] && !read_[1] && !read_[2] && hasNoRecord(db_)) {
    read_[0] = read_[1] = read_[2] = true;
  }
  ConfigText* configs[3] = {&app, &launcher, &task};
  for (int i = 0; i < 3; ++i) {
    if (read_[i]) configs[i]->loadText(texts[i]);
  }
  return read_[0] && read_[1] && read_[2];
}

bool ConfigTable::save(ConfigField field, const ConfigText& config) {
  if (!wasRead(field)) return false;
  Bytes bytes = config.toText();
  return storeConfigField(db_, field, std::string(bytes.begin(), bytes.end()));
}

}  // namespace ql
