#include "ui/skin_tab_strip.h"

#include "ui/skin_draw.h"
#include "ui/skin_form.h"

#include <algorithm>
#include <cmath>

namespace ql {

namespace {
constexpr int kTabPadding = 14;
constexpr int kMinTabWidth = 48;
constexpr int kStartX = 6;
constexpr float kUnderlineHeight = 2;
}  // namespace

int SkinTabStrip::addTab(const std::string& text) {
  int index = tabs_.add(text);
  measure();
  repaint();
  return index;
}

bool SkinTabStrip::deleteTab(int index) {
  if (!tabs_.remove(index)) return false;
  if (hot_ == index) hot_ = 0;
  measure();
  repaint();
  return true;
}

void SkinTabStrip::clearTabs() {
  tabs_.clear();
  hot_ = 0;
  measure();
  repaint();
}

bool SkinTabStrip::setTabText(int index, const std::string& text) {
  if (!tabs_.setText(index, text)) return false;
  measure();
  repaint();
  return true;
}

int SkinTabStrip::setCurrent(int n) {
  return tabs_.change(
      n, [&](int to) { return !onAboutToChange || onAboutToChange(*this, to); },
      [&](int from) { repaintTab(from); },
      [&](int to) {
        repaint();
        startAnimation();  // the underline slides over
        if (onChanged) onChanged(*this, to);
        report(kEventTabChanged);
        repaintTab(to);
      });
}

int SkinTabStrip::tabAt(int x, int y) const {
  if (y < 0 || y >= height()) return 0;
  return ql::tabAt(edges_, x);
}

SkinRect SkinTabStrip::tabRect(int index) const {
  if (index < 1 || index >= int(edges_.size())) return {};
  int x0 = edges_[size_t(index - 1)], x1 = edges_[size_t(index)];
  return {left() + x0, top(), x1 - x0, height()};
}

void SkinTabStrip::measure() {
  textWidths_.clear();
  for (int i = 1; i <= tabs_.count(); ++i)
    textWidths_.push_back(int(std::ceil(measureSkinText(tabs_.text(i), font()).Width)));
  edges_ = tabEdges(textWidths_, kTabPadding, kMinTabWidth, kStartX);
  glow_.resize(size_t(tabs_.count()), 0.0f);
}

void SkinTabStrip::layout() { measure(); }

void SkinTabStrip::repaintTab(int index) {
  SkinRect tab = tabRect(index);
  if (tab.width > 0 && form()) form()->invalidate(tab);
}

void SkinTabStrip::mouseMove(int x, int y, int) {
  int tab = tabAt(x, y);
  if (tab == hot_) return;
  hot_ = tab;
  startAnimation();
}

void SkinTabStrip::mouseLeave() {
  SkinElement::mouseLeave();
  hot_ = 0;
  startAnimation();
}

void SkinTabStrip::leftDown(int x, int y, int keys) {
  SkinElement::leftDown(x, y, keys);
  int tab = tabAt(x, y);
  // Clicking the tab already shown changes nothing.
  if (tab && tab != current()) setCurrent(tab);
}

void SkinTabStrip::doubleClick(int x, int y, int keys) { leftDown(x, y, keys); }

bool SkinTabStrip::keyDown(int key, int) {
  if (key == VK_LEFT && current() > 1)
    setCurrent(current() - 1);
  else if (key == VK_RIGHT && current() < tabCount())
    setCurrent(current() + 1);
  else
    return false;
  return true;
}

bool SkinTabStrip::animate(int elapsedMs) {
  bool running = SkinElement::animate(elapsedMs);
  for (size_t i = 0; i < glow_.size(); ++i) {
    float before = glow_[i];
    if (fade(glow_[i], int(i) + 1 == hot_ ? 1.0f : 0.0f, elapsedMs, hot_ == int(i) + 1 ? 110 : 220))
      running = true;
    if (glow_[i] != before) repaintTab(int(i) + 1);
  }
  // The underline glides to the current tab.
  int n = current();
  if (n >= 1 && n < int(edges_.size())) {
    float targetX = float(edges_[size_t(n - 1)] + kTabPadding);
    float targetW = float(textWidths_[size_t(n - 1)]);
    if (underlineWidth_ <= 0) {
      underline_ = targetX;
      underlineWidth_ = targetW;
    }
    float k = std::min(1.0f, float(elapsedMs) / 60.0f);
    float x = underline_ + (targetX - underline_) * k,
          w = underlineWidth_ + (targetW - underlineWidth_) * k;
    if (std::fabs(x - targetX) < 0.5f && std::fabs(w - targetW) < 0.5f) {
      x = targetX;
      w = targetW;
    } else {
      running = true;
    }
    if (x != underline_ || w != underlineWidth_) {
      underline_ = x;
      underlineWidth_ = w;
      repaint();
    }
  }
  return running;
}

void SkinTabStrip::paint(Gdiplus::Graphics& graphics) {
  Gdiplus::RectF box = rect().toF();
  graphics.SetClip(box, Gdiplus::CombineModeIntersect);
  if (backColor() >> 24) {
    Gdiplus::SolidBrush brush(argbColor(backColor()));
    graphics.FillRectangle(&brush, box);
  }
  // The hairline the tabs stand on.
  Gdiplus::SolidBrush line(argbColor(theme::kHairline));
  graphics.FillRectangle(&line, Gdiplus::RectF(box.X, box.Y + box.Height - 1, box.Width, 1));

  int n = current();
  for (int i = 1; i <= tabs_.count() && i < int(edges_.size()); ++i) {
    float x0 = box.X + float(edges_[size_t(i - 1)]), x1 = box.X + float(edges_[size_t(i)]);
    float glow = glow_[size_t(i - 1)];
    if (glow > 0 && i != n) {
      Gdiplus::RectF hoverBox(x0 + 2, box.Y + 4, x1 - x0 - 4, box.Height - 8);
      drawRoundRect(graphics, hoverBox, 6, withAlpha(theme::kAccent, int(26 * glow)), 1,
                    kRoundFill);
    }
    uint32_t color =
        i == n ? theme::kAccentPressed : mixColors(theme::kTextSecondary, theme::kText, glow);
    drawSkinText(graphics, tabs_.text(i), font(),
                 Gdiplus::RectF(x0, box.Y, x1 - x0, box.Height - 1), color, kAlignCenter,
                 kTextSingleLine);
  }
  if (n >= 1 && n < int(edges_.size())) {
    float x = underlineWidth_ > 0 ? underline_ : float(edges_[size_t(n - 1)] + kTabPadding);
    float w = underlineWidth_ > 0 ? underlineWidth_ : float(textWidths_[size_t(n - 1)]);
    drawRoundRect(graphics,
                  Gdiplus::RectF(box.X + x - 2, box.Y + box.Height - kUnderlineHeight - 1, w + 5,
                                 kUnderlineHeight + 1),
                  2, theme::kAccent, 1, kRoundFill);
  }
}

}  // namespace ql
