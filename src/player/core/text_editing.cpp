#include "player/core/text_editing.h"

#include "player/core/text_field.h"
#include "player/text/encoding.h"

namespace player {

namespace {

constexpr int kBackspace = 8, kEnd = 35, kHome = 36, kLeft = 37, kRight = 39, kDelete = 46;

bool isHigh(char16_t u) { return u >= 0xD800 && u < 0xDC00; }
bool isLow(char16_t u) { return u >= 0xDC00 && u < 0xE000; }

// One character back or on from `i`: a surrogate pair (and a CR LF pair)
// counts as one.
int previous(const std::u16string& u, int i) {
  if (i <= 0) return 0;
  --i;
  if (i > 0 && ((isLow(u[i]) && isHigh(u[i - 1])) || (u[i] == u'\n' && u[i - 1] == u'\r'))) --i;
  return i;
}

int next(const std::u16string& u, int i) {
  int size = static_cast<int>(u.size());
  if (i >= size) return size;
  ++i;
  if (i < size && ((isLow(u[i]) && isHigh(u[i - 1])) || (u[i] == u'\n' && u[i - 1] == u'\r'))) ++i;
  return i;
}

// The start and end of the line (paragraph) holding unit `i`.
int lineStart(const std::u16string& u, int i) {
  while (i > 0 && u[i - 1] != u'\r' && u[i - 1] != u'\n') --i;
  return i;
}

int lineEnd(const std::u16string& u, int i) {
  int size = static_cast<int>(u.size());
  while (i < size && u[i] != u'\r' && u[i] != u'\n') ++i;
  return i;
}

void replaceSelection(TextField& field, std::u16string& u, const std::u16string& with) {
  int begin = field.selectionBegin(), end = field.selectionEnd();
  u.replace(static_cast<size_t>(begin), static_cast<size_t>(end - begin), with);
  field.setUnits(u);
  int caret = begin + static_cast<int>(with.size());
  field.setSelection(caret, caret);
}

}  // namespace

EditOutcome typeText(TextField& field, const std::u16string& typed) {
  if (!field.takesTyping()) return EditOutcome::None;
  std::u16string u = field.units();
  int begin = field.selectionBegin(), end = field.selectionEnd();
  // What fits: maxChars counts units, the selection's own giving way.
  int limit = field.def().maxLength;
  int room = limit > 0 ? limit - (static_cast<int>(u.size()) - (end - begin)) : 1 << 30;
  std::u16string accepted;
  std::u32string chars = text::decodeUtf16(typed);
  for (char32_t c : chars) {
    if (c == U'\r' || c == U'\n') {
      if (!field.def().multiline) continue;
      c = U'\r';
    } else if (c < 0x20 || c == 0x7F || c == 0xFFFD) {
      continue;
    } else {
      c = field.restrict().filter(c);
      if (!c) continue;
    }
    std::u16string units = text::encodeUtf16(std::u32string(1, c));
    if (static_cast<int>(units.size()) > room) break;
    room -= static_cast<int>(units.size());
    accepted += units;
  }
  if (accepted.empty()) return EditOutcome::None;
  replaceSelection(field, u, accepted);
  return EditOutcome::Changed;
}

EditOutcome editKey(TextField& field, int keyCode, bool shift) {
  if (!field.takesTyping()) return EditOutcome::None;
  std::u16string u = field.units();
  int caret = field.caretIndex(), anchor = field.anchorIndex();
  bool selected = field.selectionBegin() != field.selectionEnd();
  switch (keyCode) {
    case kBackspace:
    case kDelete: {
      if (!selected) {
        int from = keyCode == kBackspace ? previous(u, caret) : caret;
        int to = keyCode == kBackspace ? caret : next(u, caret);
        if (from == to) return EditOutcome::None;
        field.setSelection(from, to);
      }
      replaceSelection(field, u, std::u16string());
      return EditOutcome::Changed;
    }
    case kLeft:
      // Without shift, a selection collapses to its near end.
      caret = selected && !shift ? field.selectionBegin() : previous(u, caret);
      break;
    case kRight: caret = selected && !shift ? field.selectionEnd() : next(u, caret); break;
    case kHome: caret = lineStart(u, caret); break;
    case kEnd: caret = lineEnd(u, caret); break;
    default: return EditOutcome::None;
  }
  int oldAnchor = anchor, oldCaret = field.caretIndex();
  field.setSelection(shift ? anchor : caret, caret);
  return field.anchorIndex() == oldAnchor && field.caretIndex() == oldCaret ? EditOutcome::None
                                                                             : EditOutcome::Moved;
}

}  // namespace player
