// The characters an input field lets a user type, from its `restrict`
// pattern: ranges ("A-Z"), "^" switching between allowed and refused
// ("^0-9" everything but digits; "A-Z^Q" capitals but Q), and a backslash
// taking the next character as it is ("\\-", "\\^", "\\\\").
#pragma once
#include <string>
#include <vector>

namespace text {

class RestrictPattern {
 public:
  // Everything may be typed.
  RestrictPattern() = default;
  // An empty pattern lets nothing be typed.
  explicit RestrictPattern(const std::u32string& pattern);

  bool allowsAll() const { return allowsAll_; }
  const std::u32string& pattern() const { return pattern_; }
  // The character as typed, or in its other case where only that is
  // allowed; 0 when refused.
  char32_t filter(char32_t c) const;

 private:
  struct Range {
    char32_t first, last;
    bool allowed;
  };
  bool allows(char32_t c) const;

  bool allowsAll_ = true;
  bool startAllowed_ = false;  // what no range mentions
  std::u32string pattern_;
  std::vector<Range> ranges_;  // later ones win
};

}  // namespace text
