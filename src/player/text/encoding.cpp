#include "player/text/encoding.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <cstdint>
#include <string>
#include <vector>

namespace text {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr unsigned kGbk = 936, kShiftJis = 932;

#ifdef _WIN32

std::u32string fromUtf16(const wchar_t* s, int n) {
  std::u32string out;
  for (int i = 0; i < n; ++i) {
    char32_t c = static_cast<char16_t>(s[i]);
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < n) {
      char32_t low = static_cast<char16_t>(s[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    out += c;
  }
  return out;
}

}  // namespace

std::u32string decodeCodePage(const std::string& bytes, unsigned codePage) {
  if (bytes.empty()) return {};
  if (codePage == 0) codePage = CP_ACP;
  int size = static_cast<int>(bytes.size());
  int n = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (n <= 0) return std::u32string(bytes.size(), kReplacement);
  std::vector<wchar_t> wide(static_cast<size_t>(n));
  MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), n);
  return fromUtf16(wide.data(), n);
}

namespace {

std::string encodeCodePage(const std::u32string& text, unsigned codePage) {
  std::wstring wide;
  for (char32_t c : text) {
    if (c >= 0x10000) {
      wide += L'?';
    } else {
      wide += static_cast<wchar_t>(c);
    }
  }
  if (wide.empty()) return {};
  int size = static_cast<int>(wide.size());
  int n = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, "?", nullptr);
  if (n <= 0) return std::string(text.size(), '?');
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), size, &out[0], n, "?", nullptr);
  return out;
}

#else

std::string iconvName(unsigned codePage) {
  if (codePage == 0 || codePage == kGbk) return "GBK";
  return "CP" + std::to_string(codePage);
}

}  // namespace

std::u32string decodeCodePage(const std::string& bytes, unsigned codePage) {
  std::u32string out;
  iconv_t cd = iconv_open("UTF-32LE", iconvName(codePage).c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::u32string(bytes.size(), kReplacement);
  std::vector<char> in(bytes.begin(), bytes.end());
  char* src = in.data();
  size_t left = in.size();
  while (left > 0) {
    uint32_t buffer[256];
    char* dst = reinterpret_cast<char*>(buffer);
    size_t room = sizeof buffer;
    size_t result = iconv(cd, &src, &left, &dst, &room);
    size_t got = (sizeof buffer - room) / 4;
    for (size_t i = 0; i < got; ++i) out += static_cast<char32_t>(buffer[i]);
    if (result == static_cast<size_t>(-1) && got == 0 && left > 0) {
      // A byte that starts no character (or a character cut off at the end).
      out += kReplacement;
      ++src;
      --left;
    }
  }
  iconv_close(cd);
  return out;
}

namespace {

std::string encodeCodePage(const std::u32string& text, unsigned codePage) {
  std::string out;
  iconv_t cd = iconv_open(iconvName(codePage).c_str(), "UTF-32LE");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text.size(), '?');
  for (char32_t c : text) {
    uint32_t one = c;
    char* src = reinterpret_cast<char*>(&one);
    size_t left = 4;
    char buffer[8];
    char* dst = buffer;
    size_t room = sizeof buffer;
    if (iconv(cd, &src, &left, &dst, &room) == static_cast<size_t>(-1)) {
      out += '?';
    } else {
      out.append(buffer, sizeof buffer - room);
    }
  }
  iconv_close(cd);
  return out;
}

#endif

}  // namespace

std::u32string decodeUtf8(const std::string& bytes) {
  std::u32string out;
  size_t i = 0, n = bytes.size();
  while (i < n) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || (extra > 0 && i + extra >= n)) {
      out += kReplacement;
      ++i;
      continue;
    }
    char32_t c = extra == 0 ? b : b & (0x3F >> extra);
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      unsigned char t = static_cast<unsigned char>(bytes[i + k]);
      if ((t & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      c = (c << 6) | (t & 0x3F);
    }
    if (!ok) {
      out += kReplacement;
      ++i;
      continue;
    }
    out += c;
    i += extra + 1;
  }
  return out;
}

std::string encodeUtf8(const std::u32string& text) {
  std::string out;
  for (char32_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u32string decodeMovieText(const std::string& bytes, int swfVersion) {
  if (swfVersion >= 6) return decodeUtf8(bytes);
  // Plain ASCII needs no code page.
  bool ascii = true;
  for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return std::u32string(bytes.begin(), bytes.end());
  return decodeCodePage(bytes, kGbk);
}

std::string encodeMovieText(const std::u32string& text, int swfVersion) {
  if (swfVersion >= 6) return encodeUtf8(text);
  return encodeCodePage(text, kGbk);
}

bool sameNameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x != y && !((x | 0x20) == (y | 0x20) && (x | 0x20) >= 'a' && (x | 0x20) <= 'z')) return false;
  }
  return true;
}

char32_t decodeFontCode(uint16_t code, int swfVersion, bool shiftJis) {
  if (swfVersion >= 6 || code < 0x80) return code;
  std::string bytes;
  if (code > 0xFF) bytes += static_cast<char>(code >> 8);
  bytes += static_cast<char>(code & 0xFF);
  std::u32string c = decodeCodePage(bytes, shiftJis ? kShiftJis : kGbk);
  return c.size() == 1 ? c[0] : kReplacement;
}

std::u16string encodeUtf16(const std::u32string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (c >= 0x10000 && c <= 0x10FFFF) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c <= 0xFFFF ? c : 0xFFFD);
    }
  }
  return out;
}

std::u32string decodeUtf16(const std::u16string& units) {
  std::u32string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t u = units[i];
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
      u = 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (u >= 0xD800 && u < 0xE000) {
      u = 0xFFFD;
    }
    out += u;
  }
  return out;
}

}  // namespace text
