#include "runtime/text.h"

#include <cstdlib>
#include <cstdio>

namespace ql {

double textToNumber(const std::string& text) {
  size_t i = 0, n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  size_t start = i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < n && text[j] >= '0' && text[j] <= '9') {
      while (j < n && text[j] >= '0' && text[j] <= '9') ++j;
      i = j;
    }
  }
  return std::strtod(text.substr(start, i - start).c_str(), nullptr);
}

namespace {

// Length of the space character at i (1 for ASCII, 2 for full-width), else 0.
size_t spaceAt(const std::string& s, size_t i) {
  if (s[i] == ' ') return 1;
  if ((unsigned char)s[i] == 0xA1 && i + 1 < s.size() && (unsigned char)s[i + 1] == 0xA1) return 2;
  return 0;
}

size_t charLength(const std::string& s, size_t i) {
  return (isGbkLeadByte((unsigned char)s[i]) && i + 1 < s.size()) ? 2 : 1;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

}  // namespace

std::string cutGbkText(const std::string& text, size_t maxBytes) {
  size_t end = 0;
  while (end < text.size()) {
    size_t next = end + charLength(text, end);
    if (next > maxBytes) break;
    end = next;
  }
  return text.substr(0, end);
}

size_t findLastSingleByte(const std::string& text, const std::string& characters) {
  size_t found = std::string::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(text[i]);
    if (isGbkLeadByte(byte) && i + 1 < text.size()) {
      ++i;  // the trail byte may look like "\"
      continue;
    }
    if (characters.find(text[i]) != std::string::npos) found = i;
  }
  return found;
}

std::string trimSpaces(const std::string& text) {
  // Walk by characters so that a trail byte A1 is never taken for half a space.
  size_t begin = 0, end = 0, i = 0;
  bool seenText = false;
  while (i < text.size()) {
    size_t sp = spaceAt(text, i);
    if (sp) {
      i += sp;
      if (!seenText) begin = i;
      continue;
    }
    seenText = true;
    i += charLength(text, i);
    end = i;
  }
  if (!seenText) return std::string();
  return text.substr(begin, end - begin);
}

bool isBlank(const std::string& text) { return trimSpaces(text).empty(); }

size_t findNoCase(const std::string& text, const std::string& needle, size_t from) {
  if (needle.empty() || needle.size() > text.size()) return std::string::npos;
  size_t i = 0;
  while (i < text.size()) {
    if (i >= from && text.size() - i >= needle.size()) {
      size_t k = 0;
      while (k < needle.size() && lowerAscii(text[i + k]) == lowerAscii(needle[k])) {
        // Bytes of a double-byte character are compared exactly.
        if (isGbkLeadByte((unsigned char)needle[k]) && k + 1 < needle.size()) {
          if (text[i + k + 1] != needle[k + 1]) break;
          k += 2;
        } else {
          ++k;
        }
      }
      if (k >= needle.size()) return i;
    }
    i += charLength(text, i);
  }
  return std::string::npos;
}

std::string textBetween(const std::string& text, const std::string& startMarker,
                        const std::string& endMarker) {
  size_t p = findNoCase(text, startMarker);
  if (p == std::string::npos || p == 0) return std::string();
  size_t from = p + startMarker.size();
  size_t q = findNoCase(text, endMarker, from);
  if (q == std::string::npos) return std::string();
  return text.substr(from, q - from);
}

std::vector<std::string> splitText(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  if (separator.empty()) {
    parts.push_back(text);
    return parts;
  }
  size_t start = 0;
  for (;;) {
    size_t at = text.find(separator, start);
    if (at == std::string::npos) break;
    parts.push_back(text.substr(start, at - start));
    start = at + separator.size();
  }
  parts.push_back(text.substr(start));
  return parts;
}

std::string replaceAll(const std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  std::string out;
  size_t start = 0;
  for (;;) {
    size_t at = text.find(from, start);
    if (at == std::string::npos) break;
    out.append(text, start, at - start).append(to);
    start = at + from.size();
  }
  out.append(text, start, std::string::npos);
  return out;
}

std::string intToText(long long value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%lld", value);
  return buf;
}

}  // namespace ql
