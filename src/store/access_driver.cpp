#include "store/access_driver.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <algorithm>

namespace ql {

const char kAccessDriverMdb[] = "Microsoft Access Driver (*.mdb)";
const char kAccessDriverAccdb[] = "Microsoft Access Driver (*.mdb, *.accdb)";

std::string chooseAccessDriver(bool process64, const std::vector<std::string>& installedDrivers) {
  if (!process64) return kAccessDriverMdb;
  auto has = [&](const char* name) {
    return std::find(installedDrivers.begin(), installedDrivers.end(), name) !=
           installedDrivers.end();
  };
  if (has(kAccessDriverMdb)) return kAccessDriverMdb;
  return kAccessDriverAccdb;
}

std::vector<std::string> installedDrivers(void* environment) {
  std::vector<std::string> names;
  if (!environment) return names;
  SQLCHAR name[256];
  SQLCHAR attributes[1024];
  SQLSMALLINT nameLength = 0, attributesLength = 0;
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  for (;;) {
    SQLRETURN rc = SQLDrivers(static_cast<SQLHENV>(environment), direction, name, sizeof name,
                              &nameLength, attributes, sizeof attributes, &attributesLength);
    if (!SQL_SUCCEEDED(rc)) break;
    names.emplace_back(reinterpret_cast<const char*>(name));
    direction = SQL_FETCH_NEXT;
  }
  return names;
}

std::string accessDriverName(void* environment) {
  constexpr bool process64 = sizeof(void*) == 8;
  return process64 ? chooseAccessDriver(true, installedDrivers(environment))
                   : chooseAccessDriver(false, {});
}

}  // namespace ql
