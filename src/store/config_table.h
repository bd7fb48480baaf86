// The one record of "配置表" that holds the program's three configuration texts.
#pragma once
#include <string>

namespace ql {

class Database;
class ConfigText;

// Columns "字段1" (settings), "字段2" (launcher) and "字段3" (tasks).
enum class ConfigField { App = 1, Launcher = 2, Task = 3 };

// Reads the first record of "配置表" into the three texts. False when there is
// no record to read (the texts are then left as they were).
bool loadConfigRecord(Database& db, ConfigText& app, ConfigText& launcher, ConfigText& task);

// The assignment that stores a text: 字段N='text' with single quotes doubled.
std::string configAssignment(ConfigField field, const std::string& text);

// Writes the whole text into its column of record 编号=1.
bool saveConfigText(Database& db, ConfigField field, const ConfigText& config);

}  // namespace ql
