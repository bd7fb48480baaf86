#include "store/access_file.h"

#include "runtime/files.h"
#include "runtime/text.h"

namespace ql {

namespace {
const unsigned long kPasswordSeed = 0x2B8E5F31UL;
const unsigned long kPasswordMask = 0x0F0F0F0FUL;
}  // namespace

std::string dataFilePath() { return programFolder() + "\\flash.mdb"; }

std::string accessPassword() {
  return intToText(static_cast<long long>(kPasswordSeed ^ kPasswordMask));
}

}  // namespace ql
