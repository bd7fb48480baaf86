#include "skins/skin_chooser.h"

#include <algorithm>
#include <string>

#include "assets/assets.h"
#include "shell/app.h"
#include "skins/skin_choice.h"
#include "skins/skin_picture.h"
#include "ui/file_dialog.h"
#include "ui/skin_button.h"
#include "ui/skin_draw.h"
#include "ui/skin_form.h"
#include "ui/window_base.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

constexpr int kWidth = 320, kHeight = 170;

// One skin picture in small: a square from the top middle of the picture
// (where the skins keep their scenery), with rounded corners.
class Thumbnail : public SkinElement {
 public:
  void setPicture(const Bytes& bytes) {
    if (bytes.empty() || !picture_.loadMemory(bytes)) picture_.clear();
    repaint();
  }

  void paint(Gdiplus::Graphics& graphics) override {
    Gdiplus::RectF box = rect().toF();
    Gdiplus::GraphicsPath outline;
    addRoundRect(outline, box, 8);
    if (picture_.valid()) {
      float side = std::min(picture_.width() * 0.55f, float(picture_.height()));
      Gdiplus::Region previous;
      graphics.GetClip(&previous);
      graphics.SetClip(&outline, Gdiplus::CombineModeIntersect);
      Gdiplus::InterpolationMode interpolation = graphics.GetInterpolationMode();
      graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
      graphics.DrawImage(picture_.get(), box, (picture_.width() - side) / 2, 0, side, side,
                         Gdiplus::UnitPixel);
      graphics.SetInterpolationMode(interpolation);
      graphics.SetClip(&previous);
    } else {
      drawRoundRect(graphics, box, 8, theme::kSurface, 1, kRoundFill);
    }
    drawRoundRect(graphics, box, 8, theme::kHairline, 1, kRoundOutline);
  }

 private:
  SkinImage picture_;
};

// The frame around the thumbnail under the mouse; clicking it chooses that
// thumbnail.
class HoverFrame : public SkinElement {
 public:
  void paint(Gdiplus::Graphics& graphics) override {
    Gdiplus::RectF box = rect().toF();
    drawRoundRect(graphics, Gdiplus::RectF(box.X + 1, box.Y + 1, box.Width - 1, box.Height - 1), 10,
                  theme::kAccentHover, 2, kRoundOutline);
  }
};

// The mark on the chosen thumbnail; the mouse passes through it.
class SelectionMarker : public SkinElement {
 public:
  void setPicture(const Bytes& bytes) { picture_.loadMemory(bytes); }
  void paint(Gdiplus::Graphics& graphics) override { drawPicture(graphics, picture_, rect().toF()); }
  bool takesMouseAt(int, int) const override { return false; }

 private:
  SkinImage picture_;
};

Bytes fileBytes(const std::string& path) {
  Bytes bytes;
  if (!path.empty()) readWholeFile(path, bytes);
  return bytes;
}

Bytes builtInPicture(int index) {
  return index == kDefaultSkinIndex ? defaultSkinPicture() : fileBytes(skinFilePath(builtInSkinPath(index)));
}

class SkinChooser {
 public:
  void run(HWND owner) {
    POINT cursor;
    GetCursorPos(&cursor);
    RECT ownerRect;
    GetWindowRect(owner, &ownerRect);
    window_.onDestroyed = [this] {
      // Closed without OK: the picture in use before stays.
      if (!stored_) setSkinPicture(before_, true);
    };
    window_.onOk = [this] { store(); };
    window_.onCancel = [this] { cancel(); };
    // A hand over the thumbnail the frame marks: clicking chooses it.
    window_.onMessage = [this](UINT message, WPARAM, LPARAM, LRESULT& result) {
      if (message != WM_SETCURSOR || form_.hoveredElement() != &frame_) return false;
      SetCursor(LoadCursor(nullptr, IDC_HAND));
      result = TRUE;
      return true;
    };
    TopLevelArgs args;
    args.owner = owner;
    args.title = "更改外观!";
    args.created = [this](HWND window) { build(window); };
    args.modal = true;
    args.left = cursor.x - 520;
    args.top = ownerRect.top + 22;
    // Near the left of the screen that would be off it.
    fitInWorkArea(args.left, args.top, kWidth, kHeight);
    args.width = kWidth;
    args.height = kHeight;
    args.style = WS_POPUP;
    window_.createTopLevel(args);
  }

 private:
  void build(HWND window) {
    before_ = setSkinPicture(Bytes(), false);
    form_.attach(window, before_, SkinForm::kNoTransparentColor, kCaptionClose);
    form_.onPaint = paintBands;
    form_.onEvent = [this](HWND, int code, int element, int source) {
      return onEvent(code, element, source);
    };

    std::string stored = appConfig.getValue("控制配置", "皮肤");
    bool storedExists = !stored.empty() && fileExists(skinFilePath(stored));
    selected_ = skinIndexForStoredValue(stored, storedExists);
    if (selected_ == kCustomSkinIndex && stored != builtInSkinPath(kCustomSkinIndex)) customPath_ = stored;

    for (int index = 1; index <= kSkinThumbnailCount; ++index) {
      ThumbnailRect rect = thumbnailRect(index);
      Thumbnail& thumbnail = thumbnails_[index - 1];
      thumbnail.create(form_, rect.x, rect.y, rect.width, rect.height);
      bool custom = index == kCustomSkinIndex && !customPath_.empty();
      thumbnail.setPicture(custom ? fileBytes(skinFilePath(customPath_)) : builtInPicture(index));
    }
    int width = form_.width(), height = form_.height();
    cancel_.create(form_, width - 68, height - 28, 62, 22, "取 消");
    ok_.create(form_, width - 139, height - 28, 62, 22, "确 定");
    ok_.setAccent(true);
    custom_.create(form_, 18, height - 28, 62, 22, "自定义");
    frame_.create(form_, 0, 0, 52, 52);
    marker_.create(form_, 0, 0, 20, 20);
    marker_.setPicture(assetBytes(ASSET_SKIN_MARKER));
    hovered_ = selected_;
    moveFrameTo(selected_);
    moveMarkerTo(selected_);
  }

  // White bands over the picture keep the thumbnails and buttons readable.
  static void paintBands(Gdiplus::Graphics& graphics, int width, int height) {
    auto band = [&](int x, int y, int w, int h, int fromAlpha, int toAlpha) {
      Gdiplus::RectF box(float(x - 1), float(y - 1), float(w + 1), float(h + 1));
      fillGradient(graphics, box, withAlpha(theme::kWhite, fromAlpha), withAlpha(theme::kWhite, toAlpha));
    };
    band(0, 0, width, 25, 118, 230);
    band(0, 26, width, height - 60, 255, 255);
    band(0, height - 35, width, 35, 228, 228);
  }

  bool onEvent(int code, int element, int source) {
    if (source != kEventFromElement) return false;
    SkinElement* target = form_.element(element);
    if (code == kEventMouseEnter) {
      for (int index = 1; index <= kSkinThumbnailCount; ++index)
        if (target == &thumbnails_[index - 1]) {
          hovered_ = index;
          moveFrameTo(index);
        }
    } else if (code == kEventClick) {
      if (target == &frame_) choose(hovered_);
      else if (target == &custom_) chooseCustomPicture();
      else if (target == &ok_) store();
      else if (target == &cancel_) cancel();
    }
    return false;
  }

  void moveFrameTo(int index) {
    ThumbnailRect rect = thumbnailRect(index);
    frame_.move(rect.x - 2, rect.y - 2, 52, 52);
  }

  void moveMarkerTo(int index) {
    ThumbnailRect rect = thumbnailRect(index);
    marker_.move(rect.x, rect.y + rect.height - 19, 20, 20);
  }

  bool customPictureExists() const { return !customPath_.empty() && fileExists(skinFilePath(customPath_)); }

  // The picture thumbnail `index` stands for.
  Bytes pictureOf(int index) const {
    if (index == kCustomSkinIndex && customPictureExists()) return fileBytes(skinFilePath(customPath_));
    return builtInPicture(index);
  }

  void choose(int index) {
    selected_ = index;
    moveMarkerTo(index);
    setSkinPicture(pictureOf(index), true);
  }

  void chooseCustomPicture() {
    std::string path = askForFile(window_.handle(), "选择皮肤图片!",
                                  "图片类型(*.jpg;*.bmp;*.png;*.gif)\0*.jpg;*.bmp;*.png;*.gif\0");
    if (path.empty()) return;
    customPath_ = path;
    Bytes picture = fileBytes(customPath_);
    thumbnails_[kCustomSkinIndex - 1].setPicture(picture);
    selected_ = hovered_ = kCustomSkinIndex;
    moveFrameTo(kCustomSkinIndex);
    moveMarkerTo(kCustomSkinIndex);
    setSkinPicture(picture, true);
  }

  void store() {
    std::string value = storedValueForSkin(selected_, customPath_, customPictureExists());
    if (selected_ >= 2) setSkinPicture(pictureOf(selected_), true);
    appConfig.setValue("控制配置", "皮肤", value);
    stored_ = true;
    form_.postCloseClick();
  }

  void cancel() {
    setSkinPicture(before_, true);
    form_.postCloseClick();
  }

  WindowBase window_;
  SkinForm form_;
  Thumbnail thumbnails_[kSkinThumbnailCount];
  SkinButton cancel_, ok_, custom_;
  HoverFrame frame_;
  SelectionMarker marker_;
  Bytes before_;
  std::string customPath_;
  int selected_ = kDefaultSkinIndex;
  int hovered_ = kDefaultSkinIndex;
  bool stored_ = false;
};

}  // namespace

void openSkinChooser(HWND owner) {
  SkinChooser chooser;
  chooser.run(owner);
}

}  // namespace ql
