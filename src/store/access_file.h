// Where the program's data file lives and the password it carries.
#pragma once
#include <string>

namespace ql {

// "flash.mdb" beside the executable.
std::string dataFilePath();

// The data file's password: a decimal text built at run time from a numeric
// constant, so it never stands in the program as plain text.
std::string accessPassword();

}  // namespace ql
