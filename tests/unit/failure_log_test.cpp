#include "runtime/failure_log.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/files.h"
#include "runtime/scoped_handle.h"
#include "runtime/text.h"

namespace ql {
namespace {

TEST(FailureLog, KeepsTheNewestWholeLinesWithinTheLimit) {
  std::string log;
  for (int i = 0; i < 10; ++i) log = appendLogLine(log, "line " + std::to_string(i) + "\r\n", 64);
  EXPECT_LE(log.size(), 64u);
  EXPECT_EQ(0u, log.rfind("line ", 0)) << "starts at a whole line: " << log;
  EXPECT_NE(std::string::npos, log.find("line 9\r\n"));
  EXPECT_EQ(std::string::npos, log.find("line 0"));
  // Short logs grow untouched.
  EXPECT_EQ("a\r\nb\r\n", appendLogLine("a\r\n", "b\r\n", 64));
}

TEST(FolderOf, SplitsAtTheLastSeparatorByteThatIsNoTrailByte) {
  // "\x95\x5C" is one GBK character whose second byte is "\".
  const std::string folder = "C:\\\x95\x5C\xCE\xC4";
  EXPECT_EQ(folder, folderOf(folder + "\\qinglan.exe"));
  EXPECT_EQ("C:", folderOf("C:\\\x95\x5C"));
  EXPECT_EQ("C:/a", folderOf("C:/a/b.exe"));
  EXPECT_EQ("", folderOf("qinglan.exe"));
  EXPECT_EQ(std::string::npos, findLastSingleByte("\x95\x5C", "\\"));
  EXPECT_EQ(1u, findLastSingleByte("a\\\x95\x5C", "\\"));
}

struct CountingFree {
  static int freed;
  void operator()(int) const { ++freed; }
};
int CountingFree::freed = 0;

TEST(ScopedHandle, FreesOnceWhateverPathTheHandleTakes) {
  CountingFree::freed = 0;
  {
    ScopedHandle<int, CountingFree> a(1);
    a.reset(2);  // the first goes
    EXPECT_EQ(1, CountingFree::freed);
    a.reset(2);  // the same handle again is kept
    EXPECT_EQ(1, CountingFree::freed);
    ScopedHandle<int, CountingFree> b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(2, b.get());
    int kept = ScopedHandle<int, CountingFree>(3).release();
    EXPECT_EQ(3, kept);
  }
  EXPECT_EQ(2, CountingFree::freed);  // 1, then 2 when b went; 3 was given up
  int member = 4;
  freeAndNull(member, CountingFree());
  EXPECT_EQ(0, member);
  EXPECT_EQ(3, CountingFree::freed);
}

}  // namespace
}  // namespace ql
