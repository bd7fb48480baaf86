// The rows of "动画表" (category, name, movie bytes) as the program reads
// them. The program never writes the table.
#pragma once
#include <string>
#include <vector>

#include "runtime/files.h"

namespace ql {

class Database;

struct AnimationEntry {
  std::string category, name;
};

// Every row's category and name, in the order the query gives them. The
// current record is read before the first move on, so an empty or unreadable
// table still gives one entry with empty texts (which no tab shows).
std::vector<AnimationEntry> readCatalogue(Database& db);

// The statement that finds an entry's row. Quotes in the texts are doubled,
// so that a name like "Tom's cat" finds its row.
std::string animationDataSql(const std::string& category, const std::string& name);

// The movie bytes of the first row with this category and name; empty when
// there is none.
Bytes readAnimationData(Database& db, const std::string& category, const std::string& name);

}  // namespace ql
