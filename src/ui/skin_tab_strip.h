// SkinTabStrip: a row of text tabs with a 1-based current tab (0 = none).
// Each tab is as wide as its text (measured with GDI+) plus padding. Changing
// the tab asks onAboutToChange first (false keeps the old tab), then calls
// onChanged with the new one.
#pragma once
#include "ui/skin_element.h"
#include "ui/tab_rules.h"

#include <vector>

namespace ql {

class SkinTabStrip : public SkinElement {
 public:
  int addTab(const std::string& text);
  bool deleteTab(int index);
  void clearTabs();
  int tabCount() const { return tabs_.count(); }
  std::string tabText(int index) const { return tabs_.text(index); }
  bool setTabText(int index, const std::string& text);
  int current() const { return tabs_.current(); }
  // Makes tab n current unless n is invalid or onAboutToChange refuses;
  // returns the tab current afterwards.
  int setCurrent(int n);
  // The 1-based tab under the element point (x, y), or 0.
  int tabAt(int x, int y) const;
  // Where tab `index` sits, in form coordinates; empty for an invalid index.
  SkinRect tabRect(int index) const;

  std::function<bool(SkinTabStrip& strip, int index)> onAboutToChange;
  std::function<void(SkinTabStrip& strip, int index)> onChanged;

  bool takesFocus() const override { return true; }
  void paint(Gdiplus::Graphics& graphics) override;
  void layout() override;
  void mouseMove(int x, int y, int keys) override;
  void mouseLeave() override;
  void leftDown(int x, int y, int keys) override;
  void doubleClick(int x, int y, int keys) override;
  bool keyDown(int key, int keys) override;
  bool animate(int elapsedMs) override;

 private:
  void measure();
  void repaintTab(int index);

  TabModel tabs_;
  std::vector<int> textWidths_;
  std::vector<int> edges_;   // element x of each tab's left edge, then the last right edge
  std::vector<float> glow_;  // hover fade per tab
  int hot_ = 0;              // tab under the mouse
  float underline_ = 0;      // x of the current tab's underline while it slides
  float underlineWidth_ = 0;
};

}  // namespace ql
