#include <gtest/gtest.h>

#include "skins/skin_choice.h"

using namespace ql;

TEST(SkinChoice, StoredValueSelectsItsThumbnail) {
  EXPECT_EQ(skinIndexForStoredValue("", false), 1);
  EXPECT_EQ(skinIndexForStoredValue("imgs\\skins_2.jpg", true), 2);
  EXPECT_EQ(skinIndexForStoredValue("imgs\\skins_7.jpg", false), 7);  // missing file: still built-in 7
  // Built-in 12 is thumbnail 12 as a built-in picture, not a custom one.
  EXPECT_EQ(skinIndexForStoredValue("imgs\\skins_12.jpg", true), 12);
  // "skins_1" is no built-in name: an existing file of that name is custom.
  EXPECT_EQ(skinIndexForStoredValue("imgs\\skins_1.jpg", true), 12);
  EXPECT_EQ(skinIndexForStoredValue("imgs\\skins_1.jpg", false), 1);
  EXPECT_EQ(skinIndexForStoredValue("D:\\pictures\\sea.png", true), 12);
  EXPECT_EQ(skinIndexForStoredValue("D:\\pictures\\gone.png", false), 1);
  // Exact text only.
  EXPECT_EQ(skinIndexForStoredValue("IMGS\\skins_3.jpg", false), 1);
  EXPECT_EQ(skinIndexForStoredValue("imgs\\skins_13.jpg", false), 1);
}

TEST(SkinChoice, OkStoresWhatTheNextStartReadsBack) {
  EXPECT_EQ(storedValueForSkin(1, "D:\\sea.png", true), "");
  EXPECT_EQ(storedValueForSkin(5, "D:\\sea.png", true), "imgs\\skins_5.jpg");
  EXPECT_EQ(storedValueForSkin(12, "D:\\sea.png", true), "D:\\sea.png");
  EXPECT_EQ(storedValueForSkin(12, "D:\\sea.png", false), "imgs\\skins_12.jpg");
  EXPECT_EQ(storedValueForSkin(12, "", false), "imgs\\skins_12.jpg");
  for (int index = 2; index <= 11; ++index)
    EXPECT_EQ(skinIndexForStoredValue(storedValueForSkin(index, "", false), false), index);
  EXPECT_EQ(skinIndexForStoredValue(storedValueForSkin(12, "D:\\sea.png", true), true), 12);
}

TEST(SkinChoice, RelativePicturesLieInTheProgramFolder) {
  EXPECT_EQ(skinFileLocation("imgs\\skins_3.jpg", "C:\\青岚"), "C:\\青岚\\imgs\\skins_3.jpg");
  EXPECT_EQ(skinFileLocation("D:\\sea.png", "C:\\青岚"), "D:\\sea.png");
  EXPECT_EQ(skinFileLocation("\\\\server\\share\\sea.png", "C:\\青岚"), "\\\\server\\share\\sea.png");
  EXPECT_EQ(skinFileLocation("", "C:\\青岚"), "");
}

TEST(SkinChoice, ThumbnailsFormTwoRowsOfSix) {
  EXPECT_EQ(thumbnailRect(1).x, 8);
  EXPECT_EQ(thumbnailRect(1).y, 28);
  EXPECT_EQ(thumbnailRect(6).x, 8 + 51 * 5);
  EXPECT_EQ(thumbnailRect(7).x, 8);
  EXPECT_EQ(thumbnailRect(7).y, 81);
  EXPECT_EQ(thumbnailRect(12).x, 263);
  EXPECT_EQ(thumbnailRect(12).width, 48);
  EXPECT_EQ(thumbnailRect(12).height, 48);
}
