// Which Windows ODBC driver opens the Access data file in this process.
#pragma once
#include <string>
#include <vector>

namespace ql {

// The driver Windows ships for 32-bit processes only.
extern const char kAccessDriverMdb[];
// The Access Database Engine's driver, the one a 64-bit process can have.
extern const char kAccessDriverAccdb[];

// A 32-bit process always names the first; a 64-bit one names whichever of
// the two is installed (the first when both are), and the second when
// neither is, so that the failure names the driver the user lacks.
std::string chooseAccessDriver(bool process64, const std::vector<std::string>& installedDrivers);

// The names of the drivers the driver manager of `environment` (an ODBC
// environment handle) knows.
std::vector<std::string> installedDrivers(void* environment);

// The driver this process uses; a 64-bit process asks the driver manager of
// `environment` which are installed.
std::string accessDriverName(void* environment);

}  // namespace ql
