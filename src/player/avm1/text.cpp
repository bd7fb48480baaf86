#include "player/avm1/text.h"

#include <cmath>

#include "player/avm1/machine.h"
#include "player/text/encoding.h"

namespace avm1 {

namespace {

bool isAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

String decodeText(const Machine& m, int swfVersion, std::string raw) {
  if (swfVersion >= 6 || isAscii(raw)) return String(std::move(raw));
  return String(text::encodeUtf8(text::decodeCodePage(raw, m.codePage())));
}

std::u16string toUtf16(const String& s) {
  const std::string& in = s.str();
  std::u16string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size();) {
    unsigned char c = static_cast<unsigned char>(in[i]);
    uint32_t cp = c;
    size_t extra = 0;
    if (c >= 0xF0) {
      cp = c & 0x07;
      extra = 3;
    } else if (c >= 0xE0) {
      cp = c & 0x0F;
      extra = 2;
    } else if (c >= 0xC0) {
      cp = c & 0x1F;
      extra = 1;
    }
    ++i;
    for (size_t k = 0; k < extra && i < in.size(); ++k, ++i) cp = (cp << 6) | (static_cast<unsigned char>(in[i]) & 0x3F);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

String fromUtf16(const std::u16string& s) { return String(text::encodeUtf8(text::decodeUtf16(s))); }

String fromCharCode(uint32_t unit) {
  std::u16string s(1, static_cast<char16_t>(unit & 0xFFFF));
  return fromUtf16(s);
}

uint16_t firstCodeUnit(const String& s) {
  std::u16string u = toUtf16(s);
  return u.empty() ? 0 : u[0];
}

char16_t lowerUnit(char16_t ch) {
  if (ch >= 'A' && ch <= 'Z') return static_cast<char16_t>(ch + 32);
  if (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7) return static_cast<char16_t>(ch + 32);
  if (ch >= 0x391 && ch <= 0x3A9 && ch != 0x3A2) return static_cast<char16_t>(ch + 32);
  if (ch >= 0x410 && ch <= 0x42F) return static_cast<char16_t>(ch + 32);
  if (ch >= 0x400 && ch <= 0x40F) return static_cast<char16_t>(ch + 80);
  return ch;
}

char16_t upperUnit(char16_t ch) {
  if (ch >= 'a' && ch <= 'z') return static_cast<char16_t>(ch - 32);
  if (ch >= 0xE0 && ch <= 0xFE && ch != 0xF7) return static_cast<char16_t>(ch - 32);
  if (ch >= 0x3B1 && ch <= 0x3C9 && ch != 0x3C2) return static_cast<char16_t>(ch - 32);
  if (ch >= 0x430 && ch <= 0x44F) return static_cast<char16_t>(ch - 32);
  if (ch >= 0x450 && ch <= 0x45F) return static_cast<char16_t>(ch - 80);
  return ch;
}

String legacySubstring(const String& s, double index, double count) {
  std::u16string u = toUtf16(s);
  double start = std::isnan(index) ? 0 : std::floor(index) - 1;
  if (start < 0) start = 0;
  if (start >= static_cast<double>(u.size())) return String();
  double rest = static_cast<double>(u.size()) - start;
  double n = std::isnan(count) || count < 0 ? rest : std::min(std::floor(count), rest);
  return fromUtf16(u.substr(static_cast<size_t>(start), static_cast<size_t>(n)));
}

}  // namespace avm1
