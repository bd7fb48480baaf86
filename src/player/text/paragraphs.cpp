#include "player/text/paragraphs.h"

#include <cstdlib>

#include "player/text/encoding.h"

namespace text {

namespace {

char32_t lower(char32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

std::string lowerAscii(const std::u32string& s) {
  std::string out;
  for (char32_t c : s) out += c < 0x80 ? static_cast<char>(lower(c)) : '?';
  return out;
}

// Appends text to the paragraph's last run when the format is the same.
void append(Paragraph& p, const std::u32string& s, const CharFormat& f) {
  if (s.empty()) return;
  if (!p.runs.empty()) {
    const CharFormat& last = p.runs.back().format;
    if (last.font == f.font && last.size == f.size && last.color.r == f.color.r &&
        last.color.g == f.color.g && last.color.b == f.color.b && last.color.a == f.color.a &&
        last.bold == f.bold && last.italic == f.italic && last.underline == f.underline &&
        last.letterSpacing == f.letterSpacing && last.kerning == f.kerning && last.url == f.url) {
      p.runs.back().text += s;
      return;
    }
  }
  p.runs.push_back(Run{s, f});
}

// "&lt;" and the like at s[i] (which is '&'); *length is how much it spans.
char32_t entity(const std::u32string& s, size_t i, size_t* length) {
  size_t end = s.find(U';', i);
  if (end == std::u32string::npos || end - i > 10) return 0;
  std::u32string name = s.substr(i + 1, end - i - 1);
  *length = end - i + 1;
  std::string n = lowerAscii(name);
  if (n == "lt") return U'<';
  if (n == "gt") return U'>';
  if (n == "amp") return U'&';
  if (n == "quot") return U'"';
  if (n == "apos") return U'\'';
  if (n == "nbsp") return 0xA0;
  if (n.size() > 1 && n[0] == '#') {
    bool hex = n[1] == 'x';
    std::string digits = n.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    char* stop = nullptr;
    unsigned long v = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
    if (*stop || v == 0 || v > 0x10FFFF) return 0;
    return static_cast<char32_t>(v);
  }
  return 0;
}

struct Tag {
  std::string name;  // lower case, without '/'
  bool closing = false;
  std::vector<std::pair<std::string, std::u32string>> attributes;  // names lower case
  const std::u32string* find(const char* attr) const {
    for (const auto& a : attributes)
      if (a.first == attr) return &a.second;
    return nullptr;
  }
};

// The tag starting at s[i] ('<'); false when it is not one (then '<' is text).
bool readTag(const std::u32string& s, size_t i, Tag* tag, size_t* end) {
  size_t close = s.find(U'>', i);
  if (close == std::u32string::npos) return false;
  size_t p = i + 1;
  if (p < close && s[p] == U'/') {
    tag->closing = true;
    ++p;
  }
  size_t nameStart = p;
  while (p < close && s[p] != U' ' && s[p] != U'\t' && s[p] != U'\r' && s[p] != U'\n' && s[p] != U'/') ++p;
  tag->name = lowerAscii(s.substr(nameStart, p - nameStart));
  while (p < close) {
    while (p < close && (s[p] == U' ' || s[p] == U'\t' || s[p] == U'\r' || s[p] == U'\n' || s[p] == U'/')) ++p;
    size_t a = p;
    while (p < close && s[p] != U'=' && s[p] != U' ' && s[p] != U'/') ++p;
    std::string name = lowerAscii(s.substr(a, p - a));
    std::u32string value;
    if (p < close && s[p] == U'=') {
      ++p;
      char32_t quote = p < close && (s[p] == U'"' || s[p] == U'\'') ? s[p] : 0;
      if (quote) ++p;
      size_t v = p;
      while (p < close && (quote ? s[p] != quote : s[p] != U' ')) ++p;
      value = s.substr(v, p - v);
      if (quote && p < close) ++p;
    }
    if (!name.empty()) tag->attributes.emplace_back(name, value);
  }
  *end = close + 1;
  return true;
}

double number(const std::u32string& s) {
  std::string ascii;
  for (char32_t c : s) ascii += c < 0x80 ? static_cast<char>(c) : ' ';
  return std::atof(ascii.c_str());
}

swf::TextAlign alignOf(const std::u32string& s, swf::TextAlign fallback) {
  std::string a = lowerAscii(s);
  if (a == "left") return swf::TextAlign::Left;
  if (a == "right") return swf::TextAlign::Right;
  if (a == "center") return swf::TextAlign::Center;
  if (a == "justify") return swf::TextAlign::Justify;
  return fallback;
}

bool colorOf(const std::u32string& s, swf::Rgba* out) {
  std::string a = lowerAscii(s);
  if (a.empty() || a[0] != '#') return false;
  char* stop = nullptr;
  unsigned long v = std::strtoul(a.c_str() + 1, &stop, 16);
  if (*stop) return false;
  out->r = static_cast<uint8_t>(v >> 16);
  out->g = static_cast<uint8_t>(v >> 8);
  out->b = static_cast<uint8_t>(v);
  return true;
}

class HtmlReader {
 public:
  HtmlReader(const CharFormat& chars, const ParagraphFormat& paragraph) {
    formats_.push_back(chars);
    paragraphFormat_ = paragraph;
    paragraphs_.push_back(Paragraph{paragraph, {}});
  }

  std::vector<Paragraph> read(const std::u32string& s) {
    std::u32string pending;
    size_t i = 0;
    while (i < s.size()) {
      char32_t c = s[i];
      if (c == U'<') {
        Tag tag;
        size_t end = 0;
        if (readTag(s, i, &tag, &end)) {
          flush(pending);
          handle(tag);
          i = end;
          continue;
        }
      }
      if (c == U'&') {
        size_t length = 0;
        char32_t e = entity(s, i, &length);
        if (e) {
          pending += e;
          i += length;
          continue;
        }
      }
      if (c == U'\r' || c == U'\n') {
        flush(pending);
        newParagraph();
        i += c == U'\r' && i + 1 < s.size() && s[i + 1] == U'\n' ? 2 : 1;
        continue;
      }
      pending += c;
      ++i;
    }
    flush(pending);
    // "<p>a</p>" is one paragraph, not one and an empty one after it.
    if (closedParagraph_ && paragraphs_.size() > 1 && paragraphs_.back().runs.empty()) paragraphs_.pop_back();
    return paragraphs_;
  }

 private:
  void flush(std::u32string& pending) {
    if (!pending.empty()) closedParagraph_ = false;
    append(paragraphs_.back(), pending, formats_.back());
    pending.clear();
  }

  // A paragraph that holds nothing yet takes the format in force now.
  void newParagraph() {
    paragraphs_.push_back(Paragraph{paragraphFormat_, {}});
    started_ = false;
  }
  void startParagraph() {
    if (started_ || !paragraphs_.back().runs.empty()) newParagraph();
    paragraphs_.back().format = paragraphFormat_;
    started_ = true;
  }

  void handle(const Tag& tag) {
    const std::string& n = tag.name;
    if (n == "br" || n == "sbr") {
      closedParagraph_ = false;
      append(paragraphs_.back(), std::u32string(1, kLineBreak), formats_.back());
      return;
    }
    if (n == "p" || n == "li") {
      if (tag.closing) {
        newParagraph();
        closedParagraph_ = true;
        paragraphFormat_ = paragraphStack_.empty() ? paragraphFormat_ : paragraphStack_.back();
        if (!paragraphStack_.empty()) paragraphStack_.pop_back();
        paragraphs_.back().format = paragraphFormat_;
        return;
      }
      paragraphStack_.push_back(paragraphFormat_);
      if (const std::u32string* a = tag.find("align")) paragraphFormat_.align = alignOf(*a, paragraphFormat_.align);
      startParagraph();
      return;
    }
    if (n == "textformat") {
      if (tag.closing) {
        if (!paragraphStack_.empty()) {
          paragraphFormat_ = paragraphStack_.back();
          paragraphStack_.pop_back();
        }
        return;
      }
      paragraphStack_.push_back(paragraphFormat_);
      if (const std::u32string* a = tag.find("leftmargin")) paragraphFormat_.leftMargin = number(*a) * 20;
      if (const std::u32string* a = tag.find("rightmargin")) paragraphFormat_.rightMargin = number(*a) * 20;
      if (const std::u32string* a = tag.find("indent")) paragraphFormat_.indent = number(*a) * 20;
      if (const std::u32string* a = tag.find("blockindent")) paragraphFormat_.blockIndent = number(*a) * 20;
      if (const std::u32string* a = tag.find("leading")) paragraphFormat_.leading = number(*a) * 20;
      if (paragraphs_.back().runs.empty()) paragraphs_.back().format = paragraphFormat_;
      return;
    }
    bool styled = n == "font" || n == "b" || n == "i" || n == "u" || n == "a" || n == "span";
    if (!styled) return;
    if (tag.closing) {
      if (formats_.size() > 1) formats_.pop_back();
      return;
    }
    CharFormat f = formats_.back();
    if (n == "b") f.bold = true;
    if (n == "i") f.italic = true;
    if (n == "u") f.underline = true;
    if (n == "a") {
      if (const std::u32string* a = tag.find("href")) f.url = encodeUtf8(*a);
    }
    if (n == "font") {
      if (const std::u32string* a = tag.find("face")) f.font = encodeUtf8(*a);
      if (const std::u32string* a = tag.find("size")) {
        double v = number(*a);
        bool relative = !a->empty() && ((*a)[0] == U'+' || (*a)[0] == U'-');
        double px = relative ? f.size / 20 + v : v;
        if (px > 0) f.size = px * 20;
      }
      if (const std::u32string* a = tag.find("color")) colorOf(*a, &f.color);
      if (const std::u32string* a = tag.find("letterspacing")) f.letterSpacing = number(*a) * 20;
      if (const std::u32string* a = tag.find("kerning")) f.kerning = number(*a) != 0;
    }
    formats_.push_back(f);
  }

  std::vector<CharFormat> formats_;
  ParagraphFormat paragraphFormat_;
  std::vector<ParagraphFormat> paragraphStack_;
  std::vector<Paragraph> paragraphs_;
  bool started_ = false;
  bool closedParagraph_ = false;  // nothing since the last </p>
};

}  // namespace

std::vector<Paragraph> plainParagraphs(const std::u32string& text, const CharFormat& chars,
                                       const ParagraphFormat& paragraph) {
  std::vector<Paragraph> out(1, Paragraph{paragraph, {}});
  std::u32string line;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c == U'\r' || c == U'\n') {
      append(out.back(), line, chars);
      line.clear();
      out.push_back(Paragraph{paragraph, {}});
      if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
      continue;
    }
    line += c;
  }
  append(out.back(), line, chars);
  return out;
}

std::vector<Paragraph> htmlParagraphs(const std::u32string& html, const CharFormat& chars,
                                      const ParagraphFormat& paragraph) {
  return HtmlReader(chars, paragraph).read(html);
}

}  // namespace text
