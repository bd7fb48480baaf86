#include "player/avm1/text.h"

#include <cmath>

#include "player/avm1/machine.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#endif

namespace avm1 {

namespace {

bool isAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string codePageToUtf8(const std::string& raw, unsigned codePage) {
  if (isAscii(raw)) return raw;
#ifdef _WIN32
  UINT cp = codePage ? codePage : CP_ACP;
  int n = MultiByteToWideChar(cp, 0, raw.data(), static_cast<int>(raw.size()), nullptr, 0);
  if (n <= 0) return raw;
  std::u16string wide(static_cast<size_t>(n), u'\0');
  MultiByteToWideChar(cp, 0, raw.data(), static_cast<int>(raw.size()), reinterpret_cast<wchar_t*>(&wide[0]), n);
  return fromUtf16(wide).str();
#else
  char name[32];
  if (codePage == 0) codePage = 936;  // the program's own users
  if (codePage == 936) {
    std::snprintf(name, sizeof name, "GBK");
  } else {
    std::snprintf(name, sizeof name, "CP%u", codePage);
  }
  iconv_t cd = iconv_open("UTF-8", name);
  if (cd == reinterpret_cast<iconv_t>(-1)) return raw;
  std::string out;
  out.resize(raw.size() * 4 + 4);
  char* in = const_cast<char*>(raw.data());
  size_t inLeft = raw.size();
  char* to = &out[0];
  size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &to, &outLeft) != static_cast<size_t>(-1)) break;
    if (errno != EILSEQ && errno != EINVAL) break;
    // A byte that does not convert stands for itself.
    size_t used = static_cast<size_t>(to - &out[0]);
    std::string one;
    appendUtf8(one, static_cast<unsigned char>(*in));
    if (outLeft < one.size()) break;
    out.replace(used, one.size(), one);
    to += one.size();
    outLeft -= one.size();
    ++in;
    --inLeft;
  }
  out.resize(static_cast<size_t>(to - &out[0]));
  iconv_close(cd);
  return out;
#endif
}

String decodeText(const Machine& m, int swfVersion, std::string raw) {
  if (swfVersion >= 6 || isAscii(raw)) return String(std::move(raw));
  return String(codePageToUtf8(raw, m.codePage()));
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

String fromUtf16(const std::u16string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t u = s[i];
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      u = 0x10000 + ((u - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (u >= 0xD800 && u < 0xE000) {
      u = 0xFFFD;
    }
    appendUtf8(out, u);
  }
  return String(std::move(out));
}

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
