#include "animation/catalogue_store.h"

#include "store/database.h"

namespace ql {

std::vector<AnimationEntry> readCatalogue(Database& db) {
  std::vector<AnimationEntry> entries;
  QueryCursor cursor = db.query("select * from 动画表");
  do {
    entries.push_back({db.textByName(cursor, "动画分类"), db.textByName(cursor, "动画名称")});
  } while (db.next(cursor));
  db.freeCursor(cursor);
  return entries;
}

std::string animationDataSql(const std::string& category, const std::string& name) {
  return "select * from 动画表 where 动画分类=" + Database::literal(category) +
         " and 动画名称=" + Database::literal(name);
}

Bytes readAnimationData(Database& db, const std::string& category, const std::string& name) {
  QueryCursor cursor = db.query(animationDataSql(category, name));
  Bytes bytes = db.bytesByName(cursor, "动画数据");
  db.freeCursor(cursor);
  return bytes;
}

}  // namespace ql
