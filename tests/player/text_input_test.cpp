// Typing into input fields: the restrict pattern, editing at the caret
// (maxChars, line breaks, surrogate pairs, GBK and UTF-8 fields), and the
// whole path from a click and keys through the stage: focus events,
// Selection, onChanged, the bound variable, the blinking caret.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "player/avm1/clip_object.h"
#include "player/avm1/machine.h"
#include "player/core/player.h"
#include "player/core/text_editing.h"
#include "player/core/text_field.h"
#include "player/text/restrict.h"
#include "swf_builder.h"

using player::EditOutcome;
using player::TextField;
using text::RestrictPattern;

namespace {

constexpr int kBackspace = 8, kEnd = 35, kHome = 36, kLeft = 37, kRight = 39, kDelete = 46;

char32_t filter(const char32_t* pattern, char32_t c) { return RestrictPattern(pattern).filter(c); }

TEST(RestrictPattern, RangesNegationEscapesAndCase) {
  EXPECT_EQ(U'x', RestrictPattern().filter(U'x'));
  EXPECT_EQ(0u, filter(U"", U'x'));  // an empty pattern lets nothing in
  EXPECT_EQ(U'5', filter(U"0-9", U'5'));
  EXPECT_EQ(0u, filter(U"0-9", U'a'));
  EXPECT_EQ(U'a', filter(U"^0-9", U'a'));
  EXPECT_EQ(0u, filter(U"^0-9", U'7'));
  // "^" switches: capitals but Q.
  EXPECT_EQ(U'P', filter(U"A-Z^Q", U'P'));
  EXPECT_EQ(0u, filter(U"A-Z^Q", U'Q'));
  // A letter allowed only in the other case is typed in that case.
  EXPECT_EQ(U'K', filter(U"A-Z", U'k'));
  EXPECT_EQ(U'k', filter(U"a-z", U'K'));
  // Escaped specials stand for themselves; a dash at the end too.
  EXPECT_EQ(U'-', filter(U"0-9\\-", U'-'));
  EXPECT_EQ(U'^', filter(U"\\^", U'^'));
  EXPECT_EQ(U'\\', filter(U"\\\\", U'\\'));
  EXPECT_EQ(U'-', filter(U"a-", U'-'));
  EXPECT_EQ(0u, filter(U"0-9\\-", U'a'));
  // Chinese ranges and characters past U+FFFF.
  EXPECT_EQ(U'中', filter(U"\u4e00-\u9fa5", U'中'));
  EXPECT_EQ(0u, filter(U"\u4e00-\u9fa5", U'a'));
  EXPECT_EQ(U'\U00020BB7', filter(U"\U00020000-\U0002A6DF", U'\U00020BB7'));
}

struct Field {
  explicit Field(int version = 10) {
    movie.header.version = static_cast<uint8_t>(version);
    def.readOnly = false;
    def.bounds = swf::Rect{0, 2000, 0, 400};
  }
  TextField& make() {
    field = std::make_unique<TextField>(def, movie);
    return *field;
  }
  player::Movie movie;
  swf::EditTextDef def;
  std::unique_ptr<TextField> field;
};

EditOutcome type(TextField& f, const std::u16string& s) { return player::typeText(f, s); }

TEST(TextEditing, TypingReplacesTheSelectionWithinMaxCharsAndLines) {
  Field single;
  single.def.maxLength = 5;
  TextField& f = single.make();
  EXPECT_EQ(EditOutcome::Changed, type(f, u"abc"));
  EXPECT_EQ(3, f.caretIndex());
  f.setSelection(1, 2);
  EXPECT_EQ(EditOutcome::Changed, type(f, u"XYZ"));  // "b" gives way: 5 fit
  EXPECT_EQ("aXYZc", f.text());
  EXPECT_EQ(4, f.caretIndex());
  EXPECT_EQ(EditOutcome::None, type(f, u"q"));  // full
  // Enter breaks no single line; control characters are not text.
  f.setSelection(0, 5);
  EXPECT_EQ(EditOutcome::Changed, type(f, u"a\rb\tc"));
  EXPECT_EQ("abc", f.text());

  Field lines;
  lines.def.multiline = true;
  TextField& m = lines.make();
  type(m, u"one\rtwo");
  EXPECT_EQ("one\rtwo", m.text());
  // Home and End keep to the line; a CR LF from a script is one step.
  m.setText("ab\r\ncd");
  m.setSelection(5, 5);
  player::editKey(m, kHome, false);
  EXPECT_EQ(4, m.caretIndex());
  player::editKey(m, kLeft, false);
  EXPECT_EQ(2, m.caretIndex());
  player::editKey(m, kDelete, false);
  EXPECT_EQ("abcd", m.text());

  // A read-only or unselectable field takes nothing.
  Field dynamic;
  dynamic.def.readOnly = true;
  EXPECT_EQ(EditOutcome::None, type(dynamic.make(), u"x"));
}

TEST(TextEditing, CaretKeysDeleteAndMoveBySurrogatePairs) {
  Field utf8;
  TextField& f = utf8.make();
  std::u16string pair = u"\U00020BB7";  // 𠮷, two units
  type(f, u"a" + pair + u"b");
  EXPECT_EQ("a\xF0\xA0\xAE\xB7" "b", f.text());
  EXPECT_EQ(4, f.caretIndex());
  player::editKey(f, kLeft, false);
  player::editKey(f, kLeft, false);
  EXPECT_EQ(1, f.caretIndex());  // over the pair in one step
  f.setSelection(2, 2);         // inside the pair: before it
  EXPECT_EQ(1, f.caretIndex());
  player::editKey(f, kDelete, false);
  EXPECT_EQ("ab", f.text());
  player::editKey(f, kEnd, false);
  player::editKey(f, kBackspace, false);
  EXPECT_EQ("a", f.text());
  EXPECT_EQ(EditOutcome::None, player::editKey(f, kRight, false));
  player::editKey(f, kHome, false);
  EXPECT_EQ(EditOutcome::None, player::editKey(f, kBackspace, false));
  // Shift extends; a plain arrow then collapses to the selection's end.
  type(f, u"xyz");
  player::editKey(f, kHome, false);
  player::editKey(f, kRight, true);
  player::editKey(f, kRight, true);
  EXPECT_EQ(0, f.selectionBegin());
  EXPECT_EQ(2, f.selectionEnd());
  player::editKey(f, kRight, false);
  EXPECT_EQ(2, f.caretIndex());
  EXPECT_EQ(f.selectionBegin(), f.selectionEnd());
  // maxChars counts units: half a pair is never let in.
  Field limited;
  limited.def.maxLength = 2;
  TextField& l = limited.make();
  type(l, u"a" + pair);
  EXPECT_EQ("a", l.text());
}

TEST(TextEditing, FieldsBeforeSwf6KeepGbk) {
  Field gbk(5);
  TextField& f = gbk.make();
  type(f, u"中文");
  EXPECT_EQ("\xD6\xD0\xCE\xC4", f.text());
  EXPECT_EQ(2, f.caretIndex());
  player::editKey(f, kBackspace, false);
  EXPECT_EQ("\xD6\xD0", f.text());
  Field utf8(6);
  TextField& u = utf8.make();
  type(u, u"中");
  EXPECT_EQ("\xE4\xB8\xAD", u.text());
}

// --- through the stage ---

int changes = 0;
std::string focusLog;
avm1::Value countChange(avm1::Machine&, avm1::Call&) {
  ++changes;
  return avm1::Value();
}
// onSetFocus and onKillFocus note what the other field was ("null" for none).
avm1::Value noteSetFocus(avm1::Machine& m, avm1::Call& c) {
  focusLog += "set(" + m.toString(c.arg(0)).str() + ")";
  return avm1::Value();
}
avm1::Value noteKillFocus(avm1::Machine& m, avm1::Call& c) {
  focusLog += "kill(" + m.toString(c.arg(0)).str() + ")";
  return avm1::Value();
}

class InputFieldMovie : public ::testing::Test {
 protected:
  void SetUp() override {
    changes = 0;
    focusLog.clear();
    swftest::MovieBuilder m(200, 100, 12, 8);
    m.background(0xFFFFFF);
    swftest::defineBoxFont(m, 1);
    swftest::EditTextSpec e;
    e.xMin = 200;
    e.xMax = 3000;
    e.yMin = 200;
    e.yMax = 800;
    e.fontId = 1;
    e.height = 400;
    e.useOutlines = true;
    e.input = true;
    e.variable = "typed";
    m.defineEditText(2, e);
    m.root().place(1, 2, swftest::Matrix(), 0, "field");
    m.root().showFrame();
    movie_ = m.finish(false);
    player::PlayerServices services;
    services.clock = player::fixedClock();
    player_ = player::Player::load(movie_.data(), movie_.size(), services);
    ASSERT_NE(nullptr, player_);
    player_->advanceFrame();
    machine_ = player_->stage().machine();
    root_ = avm1::Value(machine_->clipObject(&player_->stage().root()));
    field_ = machine_->getMember(root_, "field");
    avm1::Object* f = field_.object();
    ASSERT_NE(nullptr, f);
    machine_->set(f, "onChanged", avm1::Value(machine_->newNative(countChange)));
    machine_->set(f, "onSetFocus", avm1::Value(machine_->newNative(noteSetFocus)));
    machine_->set(f, "onKillFocus", avm1::Value(machine_->newNative(noteKillFocus)));
  }
  std::string text(const char* name) { return machine_->toString(machine_->getMember(root_, name)).str(); }
  double selection(const char* method) {
    avm1::Value s = machine_->getMember(avm1::Value(machine_->global()), "Selection");
    return machine_->toNumber(machine_->callMethod(s, method, nullptr, 0));
  }
  void click(double x, double y) {
    player_->pointerMove(x, y);
    player_->pointerButton(true);
    player_->pointerButton(false);
  }
  // Pixels of the field's inside (clear of its frame) unlike the white.
  int inked() {
    draw();
    int n = 0;
    for (int y = 11; y < 40; ++y)
      for (int x = 11; x < 150; ++x) n += pixels_[size_t(y) * 200 + x] != 0xFFFFFFFFu;
    return n;
  }
  std::vector<uint32_t>& draw() {
    pixels_.assign(200 * 100, 0);
    player_->render(pixels_.data(), 200, 100, 800, true);
    return pixels_;
  }
  uint32_t pixel(int x, int y) { return draw()[size_t(y) * 200 + x]; }

  std::vector<uint32_t> pixels_;

  swftest::Bytes movie_;
  std::unique_ptr<player::Player> player_;
  avm1::Machine* machine_ = nullptr;
  avm1::Value root_, field_;
};

TEST_F(InputFieldMovie, ClickTypeAndKeysReachFieldVariableAndScripts) {
  player_->render(std::vector<uint32_t>(200 * 100).data(), 200, 100, 800, true);  // laid out
  EXPECT_EQ(-1, selection("getCaretIndex"));
  click(50, 20);
  EXPECT_TRUE(player_->stage().textFocused());
  EXPECT_EQ("_level0.field", machine_->toString(machine_->callMethod(
                                 machine_->getMember(avm1::Value(machine_->global()), "Selection"), "getFocus",
                                 nullptr, 0)).str());
  for (char16_t c : std::u16string(u"AB A")) player_->stage().typeUnit(c);
  EXPECT_EQ("AB A", text("typed"));  // the bound variable follows each change
  EXPECT_EQ(4, changes);
  EXPECT_EQ(4, selection("getCaretIndex"));
  // Keys edit the field and still reach Key.
  player_->stage().key(true, kBackspace, 8);
  player_->stage().key(false, kBackspace, 8);
  EXPECT_EQ("AB ", text("typed"));
  EXPECT_EQ(8, machine_->toNumber(machine_->callMethod(
                   machine_->getMember(avm1::Value(machine_->global()), "Key"), "getCode", nullptr, 0)));
  // A surrogate pair arrives in two units and goes in once (the box font
  // has no glyph for it, the text still holds it).
  player_->stage().typeUnit(0xD842);
  player_->stage().typeUnit(0xDFB7);
  EXPECT_EQ("AB \xF0\xA0\xAE\xB7", text("typed"));
  EXPECT_EQ(5, selection("getEndIndex"));
  // A script's change of the variable shows in the field.
  machine_->set(root_.object(), "typed", avm1::Value("BA"));
  player_->advanceFrame();
  EXPECT_EQ("BA", machine_->toString(machine_->getMember(field_, "text")).str());
  // A click elsewhere takes the focus away.
  click(190, 90);
  EXPECT_FALSE(player_->stage().textFocused());
  EXPECT_EQ(-1, selection("getBeginIndex"));
  EXPECT_FALSE(player_->stage().typeUnit(u'A'));
}

TEST_F(InputFieldMovie, RestrictFromScriptsAndTheCaretBlinks) {
  machine_->set(field_.object(), "restrict", avm1::Value("A-Z"));
  EXPECT_EQ("A-Z", machine_->toString(machine_->getMember(field_, "restrict")).str());
  int empty = inked();
  click(20, 20);
  player_->stage().typeUnit(u'1');
  EXPECT_EQ(0, changes);
  int caretOn = inked();
  EXPECT_GT(caretOn, empty);
  for (int i = 0; i < 7; ++i) player_->advanceFrame();  // past 500 ms at 12 fps
  EXPECT_EQ(empty, inked());
  for (int i = 0; i < 6; ++i) player_->advanceFrame();
  EXPECT_EQ(caretOn, inked());
  // Typing (folded to the allowed case) shows the caret at once.
  for (int i = 0; i < 6; ++i) player_->advanceFrame();
  player_->stage().typeUnit(u'b');
  EXPECT_EQ("B", text("typed"));
  EXPECT_GT(inked(), caretOn);
}

TEST_F(InputFieldMovie, TheTextScrollsToKeepTheCaretInView) {
  auto property = [this](const char* name) { return machine_->toNumber(machine_->getMember(field_, name)); };
  inked();
  click(20, 20);
  // 136 pixels inside the gutters; 30 characters of 10 pixels scroll by 164.
  for (int i = 0; i < 30; ++i) player_->stage().typeUnit(u'A');
  inked();
  EXPECT_EQ(164, property("hscroll"));
  EXPECT_EQ(164, property("maxhscroll"));
  player_->stage().key(true, kHome, 0);
  inked();
  EXPECT_EQ(0, property("hscroll"));
  EXPECT_EQ(1, property("scroll"));
  EXPECT_EQ(1, property("maxscroll"));
  // Lines of 20 pixels in a field with room for one: it scrolls down.
  machine_->set(field_.object(), "multiline", avm1::Value(true));
  player_->stage().key(true, kEnd, 0);
  for (char16_t c : std::u16string(u"\rA\rA")) player_->stage().typeUnit(c);
  inked();
  EXPECT_EQ(3, property("scroll"));
  EXPECT_EQ(3, property("maxscroll"));
  player_->stage().key(true, 38, 0);  // up: not an editing key here
  player_->stage().key(true, kHome, 0);
  inked();
  EXPECT_EQ(3, property("scroll"));
}

TEST_F(InputFieldMovie, DraggingAndShiftClickSelectAndTheSelectionShowsInverted) {
  inked();
  click(11, 20);
  for (int i = 0; i < 4; ++i) player_->stage().typeUnit(u'A');
  // In the first character's cell: the gap before its glyph, and the glyph.
  EXPECT_EQ(0xFFFFFFFFu, pixel(12, 25));
  EXPECT_EQ(0xFF000000u, pixel(17, 25));
  // Characters of 10 pixels from x = 12: stops at 12, 22, 32, 42, 52.
  player_->pointerMove(11, 20);
  player_->pointerButton(true);
  player_->pointerMove(31, 20);
  EXPECT_EQ(0, selection("getBeginIndex"));
  EXPECT_EQ(2, selection("getEndIndex"));
  player_->pointerMove(70, 20);
  player_->pointerButton(false);
  player_->pointerMove(20, 20);  // released: the selection stays
  EXPECT_EQ(4, selection("getEndIndex"));
  EXPECT_EQ(4, selection("getCaretIndex"));
  // A dark block with the glyphs cut out of it in white.
  EXPECT_EQ(0xFF000000u, pixel(12, 25));
  EXPECT_EQ(0xFFFFFFFFu, pixel(17, 25));
  player_->stage().key(true, 16, 0);
  click(33, 20);
  player_->stage().key(false, 16, 0);
  EXPECT_EQ(0, selection("getBeginIndex"));
  EXPECT_EQ(2, selection("getEndIndex"));
  player_->stage().typeUnit(u'B');
  EXPECT_EQ("BAA", text("typed"));
}

TEST_F(InputFieldMovie, FocusEventsAndSetFocusFromScripts) {
  avm1::Value selection = machine_->getMember(avm1::Value(machine_->global()), "Selection");
  avm1::Value target("field");
  EXPECT_TRUE(machine_->toBoolean(machine_->callMethod(selection, "setFocus", &target, 1)));
  EXPECT_TRUE(player_->stage().textFocused());
  machine_->set(root_.object(), "typed", avm1::Value("AB"));
  player_->advanceFrame();
  avm1::Value none = avm1::Value::null();
  machine_->callMethod(selection, "setFocus", &none, 1);
  EXPECT_FALSE(player_->stage().textFocused());
  EXPECT_TRUE(machine_->toBoolean(machine_->callMethod(selection, "setFocus", &field_, 1)));
  EXPECT_EQ("set(null)kill(null)set(null)", focusLog);
  EXPECT_EQ(0, this->selection("getBeginIndex"));
  EXPECT_EQ(2, this->selection("getEndIndex"));  // the whole text selected
  avm1::Value range[2] = {avm1::Value(1.0), avm1::Value(1.0)};
  machine_->callMethod(selection, "setSelection", range, 2);
  // A listener of the field hears onChanged after the field's own handler.
  avm1::Value listener(machine_->newObject());
  machine_->set(listener.object(), "onChanged", avm1::Value(machine_->newNative(countChange)));
  machine_->callMethod(field_, "addListener", &listener, 1);
  player_->stage().typeUnit(u'A');
  EXPECT_EQ("AAB", text("typed"));
  EXPECT_EQ(2, changes);
}

}  // namespace
