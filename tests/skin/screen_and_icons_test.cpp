#include <gtest/gtest.h>

#include "ui/icon_lookup.h"
#include "ui/screen_fit.h"

namespace ql {
namespace {

TEST(KeepInside, MovesAWindowBackIntoTheArea) {
  const ScreenRect area = {0, 0, 1024, 738};
  int x = 312 - 520, y = 202;  // the skin chooser opened left of a window at the left edge
  keepInside(x, y, 320, 170, area);
  EXPECT_EQ(0, x);
  EXPECT_EQ(202, y);
  x = 900, y = 700;  // past the right and bottom edges
  keepInside(x, y, 230, 90, area);
  EXPECT_EQ(1024 - 230, x);
  EXPECT_EQ(738 - 90, y);
  x = 100, y = 100;  // inside: kept
  keepInside(x, y, 230, 90, area);
  EXPECT_EQ(100, x);
  EXPECT_EQ(100, y);
  x = -50, y = -50;  // larger than the area: the top-left corner stays in it
  keepInside(x, y, 2000, 1000, area);
  EXPECT_EQ(0, x);
  EXPECT_EQ(0, y);
}

TEST(IconLookup, RootsOfDrivesSharesAndPrefixedPaths) {
  EXPECT_EQ("C:\\", driveRootOf("C:\\windows\\notepad.exe"));
  EXPECT_EQ("z:\\", driveRootOf("z:\\tmp"));
  EXPECT_EQ("\\\\server\\share\\", driveRootOf("\\\\server\\share\\tools\\a.exe"));
  EXPECT_EQ("\\\\server\\share\\", driveRootOf("\\\\server\\share"));
  EXPECT_EQ("D:\\", driveRootOf("\\\\?\\D:\\long\\path.txt"));
  EXPECT_EQ("\\\\server\\share\\", driveRootOf("\\\\?\\UNC\\server\\share\\x"));
  EXPECT_EQ("", driveRootOf("relative\\file.txt"));
  EXPECT_EQ("", driveRootOf("\\\\server"));
  EXPECT_EQ("", driveRootOf(""));
}

TEST(IconLookup, OnlyLocalDrivesAreAskedAboutTheFileItself) {
  EXPECT_TRUE(isNetworkPath("\\\\server\\share\\a.lnk"));
  EXPECT_TRUE(isNetworkPath("//server/share/a.lnk"));
  EXPECT_TRUE(isNetworkPath("\\\\?\\UNC\\server\\share\\a.lnk"));
  EXPECT_FALSE(isNetworkPath("\\\\?\\C:\\a.lnk"));
  EXPECT_FALSE(isNetworkPath("C:\\a.lnk"));
  EXPECT_TRUE(lookUpIconOfFile(DriveKind::Local));
  EXPECT_FALSE(lookUpIconOfFile(DriveKind::Remote));
  EXPECT_FALSE(lookUpIconOfFile(DriveKind::Removable));
  EXPECT_FALSE(lookUpIconOfFile(DriveKind::Unknown));
}

}  // namespace
}  // namespace ql
