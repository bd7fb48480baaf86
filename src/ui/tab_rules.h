// The tab strip's model: ordered tab texts, the 1-based current index
// (0 = none) and the rule for changing it, plus where each tab sits once its
// text has been measured. No Win32 here.
#pragma once
#include <string>
#include <vector>

namespace ql {

class TabModel {
 public:
  int count() const { return int(texts_.size()); }
  int current() const { return current_; }
  bool isValid(int index) const { return index >= 1 && index <= count(); }

  // Returns the new tab's index.
  int add(const std::string& text) {
    texts_.push_back(text);
    return count();
  }
  std::string text(int index) const { return isValid(index) ? texts_[index - 1] : std::string(); }
  bool setText(int index, const std::string& text) {
    if (!isValid(index)) return false;
    texts_[index - 1] = text;
    return true;
  }
  // Removing a tab keeps the current index on the same tab; removing the
  // current tab leaves no tab current.
  bool remove(int index) {
    if (!isValid(index)) return false;
    texts_.erase(texts_.begin() + (index - 1));
    if (current_ == index)
      current_ = 0;
    else if (current_ > index)
      --current_;
    return true;
  }
  void clear() {
    texts_.clear();
    current_ = 0;
  }

  // Makes tab n current. An invalid n, or an about-to-change veto
  // (aboutToChange(n) returning false), keeps the old index. Otherwise
  // beforeStore(old) runs with the old index still current, n is stored and
  // changed(n) follows. Returns the index current afterwards.
  template <typename AboutToChange, typename BeforeStore, typename Changed>
  int change(int n, AboutToChange aboutToChange, BeforeStore beforeStore, Changed changed) {
    if (!isValid(n)) return current_;
    if (!aboutToChange(n)) return current_;
    beforeStore(current_);
    current_ = n;
    changed(n);
    return current_;
  }

 private:
  std::vector<std::string> texts_;
  int current_ = 0;
};

// Tab geometry along the strip: each tab is its text's width plus padding on
// both sides, never narrower than minWidth. Returns count + 1 edges, starting
// at `start`; tab i (1-based) spans [edges[i - 1], edges[i]).
inline std::vector<int> tabEdges(const std::vector<int>& textWidths, int padding, int minWidth,
                                 int start = 0) {
  std::vector<int> edges{start};
  for (int width : textWidths) {
    int tab = width + 2 * padding;
    edges.push_back(edges.back() + (tab < minWidth ? minWidth : tab));
  }
  return edges;
}

// The 1-based tab under x, or 0.
inline int tabAt(const std::vector<int>& edges, int x) {
  for (size_t i = 1; i < edges.size(); ++i)
    if (x >= edges[i - 1] && x < edges[i]) return int(i);
  return 0;
}

}  // namespace ql
