#include "player/avm1/value.h"

#include <cmath>

#include "player/avm1/object.h"

namespace avm1 {

namespace {
const std::string kEmpty;
}

String::String(std::string s) {
  if (!s.empty()) {
    rep_ = new Rep;
    rep_->text = std::move(s);
  }
}

void String::destroy() { delete rep_; }

const std::string& String::str() const { return rep_ ? rep_->text : kEmpty; }

size_t String::units() const {
  if (!rep_) return 0;
  if (rep_->units < 0) {
    int64_t n = 0;
    for (unsigned char c : rep_->text) {
      if ((c & 0xC0) != 0x80) ++n;  // a lead byte starts a character
      if (c >= 0xF0) ++n;           // beyond the BMP: two UTF-16 units
    }
    rep_->units = n;
  }
  return static_cast<size_t>(rep_->units);
}

int32_t wrapToInt32(double d) {
  if (!std::isfinite(d)) return 0;
  double m = std::fmod(std::trunc(d), 4294967296.0);
  if (m < 0) m += 4294967296.0;
  return static_cast<int32_t>(static_cast<uint32_t>(m));
}

int32_t saturateToInt32(double d) {
  if (std::isnan(d) || d >= 2147483648.0 || d < -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(d);
}

Value::Value(Object* o) : type_(o ? Type::Object : Type::Null), object_(o) {}

}  // namespace avm1
