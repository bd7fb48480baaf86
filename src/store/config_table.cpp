#include "store/config_table.h"

#include "store/config_text.h"
#include "store/database.h"

namespace ql {

namespace {

const char* columnOf(ConfigField field) {
  switch (field) {
    case ConfigField::App: return "字段1";
    case ConfigField::Launcher: return "字段2";
    case ConfigField::Task: return "字段3";
  }
  return "字段1";
}

}  // namespace

bool loadConfigRecord(Database& db, ConfigText& app, ConfigText& launcher, ConfigText& task) {
  QueryCursor cursor = db.query("select * from 配置表");
  if (!cursor) return false;
  // Only the first record is used, whatever its 编号.
  std::string text = db.textByName(cursor, "字段1");
  app.loadText(text);
  text = db.textByName(cursor, "字段2");
  launcher.loadText(text);
  text = db.textByName(cursor, "字段3");
  task.loadText(text);
  db.freeCursor(cursor);
  return true;
}

std::string configAssignment(ConfigField field, const std::string& text) {
  return std::string(columnOf(field)) + "=" + Database::literal(text);
}

bool saveConfigText(Database& db, ConfigField field, const ConfigText& config) {
  Bytes bytes = config.toText();
  return db.update("配置表", configAssignment(field, std::string(bytes.begin(), bytes.end())),
                   "编号=1");
}

}  // namespace ql
