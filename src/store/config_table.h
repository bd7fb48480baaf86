// The one record of "配置表" that holds the program's three configuration texts.
#pragma once
#include <string>

namespace ql {

class Database;
class ConfigText;

// Columns "字段1" (settings), "字段2" (launcher) and "字段3" (tasks).
enum class ConfigField { App = 1, Launcher = 2, Task = 3 };

// Writes `text` into its column of record 编号=1, making that record when the
// table has none. The text is bound as a parameter, never put into the
// statement, so its length does not matter.
bool storeConfigField(Database& db, ConfigField field, const std::string& text);

// The record as the program reads it at start-up and writes it afterwards.
class ConfigTable {
 public:
  explicit ConfigTable(Database& db) : db_(db) {}

  // Reads the first record, whatever its 编号, into the three texts; a table
  // without records reads as three empty texts. False when a field could not
  // be read: that text is left as it was.
  bool load(ConfigText& app, ConfigText& launcher, ConfigText& task);

  // Stores the whole text. A field that was not read is never written in this
  // run, so the defaults the program goes on with cannot replace what is stored.
  bool save(ConfigField field, const ConfigText& config);

  bool wasRead(ConfigField field) const { return read_[index(field)]; }

 private:
  static int index(ConfigField field) { return static_cast<int>(field) - 1; }

  Database& db_;
  bool read_[3] = {false, false, false};
};

}  // namespace ql
