#include "player/text/restrict.h"

namespace text {

namespace {

char32_t otherCase(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 32;
  if (c >= U'A' && c <= U'Z') return c + 32;
  return c;
}

}  // namespace

RestrictPattern::RestrictPattern(const std::u32string& pattern) : allowsAll_(false), pattern_(pattern) {
  bool allowing = true;
  // A pattern that begins by refusing allows the rest.
  startAllowed_ = !pattern.empty() && pattern[0] == U'^';
  for (size_t i = 0; i < pattern.size(); ++i) {
    char32_t c = pattern[i];
    if (c == U'^') {
      allowing = !allowing;
      continue;
    }
    if (c == U'\\') {
      if (++i >= pattern.size()) break;
      c = pattern[i];
    }
    char32_t last = c;
    // "a-z"; a "-" at either end stands for itself.
    if (i + 2 < pattern.size() && pattern[i + 1] == U'-') {
      size_t at = i + 2;
      if (pattern[at] == U'\\' && at + 1 < pattern.size()) ++at;
      last = pattern[at];
      i = at;
    }
    if (last < c) std::swap(c, last);
    ranges_.push_back(Range{c, last, allowing});
  }
}

bool RestrictPattern::allows(char32_t c) const {
  bool allowed = startAllowed_;
  for (const Range& r : ranges_)
    if (c >= r.first && c <= r.last) allowed = r.allowed;
  return allowed;
}

char32_t RestrictPattern::filter(char32_t c) const {
  if (allowsAll_ || allows(c)) return c;
  char32_t other = otherCase(c);
  return other != c && allows(other) ? other : 0;
}

}  // namespace text
