// Text through whole movies: static text in an embedded font, edit text
// bound to a variable, plain and HTML text laid out (wrap, alignment,
// breaks, colours), Chinese device text in GBK and UTF-8 movies; and the
// pieces: the HTML subset, the movie text encodings.
#include <gtest/gtest.h>

#include "player/text/encoding.h"
#include "player/text/paragraphs.h"
#include "swf_builder.h"
#include "test_player.h"

using swftest::Bytes;
using swftest::EditTextSpec;
using swftest::MovieBuilder;
using swftest::Picture;
using swftest::TestPlayer;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;

// One frame placing character 2 at (0, 0); the font is character 1.
Bytes fieldMovie(const EditTextSpec& e, int version = 10, const Bytes& script = {}) {
  MovieBuilder m(200, 100, 12, version);
  m.background(0xFFFFFF);
  swftest::defineBoxFont(m, 1);
  m.defineEditText(2, e);
  m.root().place(1, 2);
  if (!script.empty()) m.root().action(script);
  m.root().showFrame();
  return m.finish(true);
}

EditTextSpec boxField() {
  EditTextSpec e;
  e.xMin = 0;
  e.xMax = 3000;
  e.yMin = 0;
  e.yMax = 1400;
  e.fontId = 1;
  e.height = 1024;  // one twip per glyph unit
  e.useOutlines = true;
  e.argb = 0xFF0000FF;
  return e;
}

}  // namespace

TEST(StaticText, GlyphsOfAnEmbeddedFontSitOnTheBaselineInTheRunColour) {
  MovieBuilder m(100, 60, 12);
  m.background(0xFFFFFF);
  swftest::defineBoxFont(m, 1);
  swftest::Matrix at;
  at.tx = 200;  // 10 px
  at.ty = 1000; // baseline at 50 px
  // "AB" at 1024 twips: glyph units are twips; B follows 600 twips on.
  m.defineText(2, 1, 1024, 0xFFFF0000, at, {{0, 600}, {1, 600}});
  m.root().place(1, 2);
  m.root().showFrame();
  TestPlayer p(m.finish(true));
  ASSERT_TRUE(p.loaded());
  p->advanceFrame();
  Picture pic = p.draw();
  // A spans x 15..30.6 px, y 15..50 px.
  EXPECT_EQ(0xFFFF0000u, pic.at(20, 20));
  EXPECT_EQ(0xFFFF0000u, pic.at(20, 48));
  EXPECT_EQ(kWhite, pic.at(20, 52));
  EXPECT_EQ(kWhite, pic.at(12, 30));
  // B from 45 px on, only its lower half (y 32.5..50).
  EXPECT_EQ(0xFFFF0000u, pic.at(50, 45));
  EXPECT_EQ(kWhite, pic.at(50, 25));
}

TEST(EditText, BoundVariableIsShownAndFollowedFrameByFrame) {
  EditTextSpec e = boxField();
  e.variable = "msg";
  MovieBuilder m(200, 100, 12);
  m.background(0xFFFFFF);
  swftest::defineBoxFont(m, 1);
  m.defineEditText(2, e);
  m.root().place(1, 2);
  m.root().action(swftest::act::setVariable("msg", "AB"));
  m.root().showFrame();
  m.root().action(swftest::act::setVariable("msg", "B"));
  m.root().showFrame();
  TestPlayer p(m.finish(true));
  p->advanceFrame();
  Picture first = p.draw();
  // Gutter of 2 px, baseline 2 + 40 px down; A over x 7..22.6 px, B from 32.6 px.
  EXPECT_EQ(0xFF0000FFu, first.at(15, 20));
  EXPECT_EQ(0xFF0000FFu, first.at(40, 35));
  EXPECT_EQ(kWhite, first.at(40, 20));
  p->advanceFrame();
  Picture second = p.draw();
  EXPECT_EQ(kWhite, second.at(15, 20));
  EXPECT_EQ(0xFF0000FFu, second.at(15, 35));  // B now first
}

// A button is no timeline: its field's variable lives on the clip holding
// the button, where a frame script sets it.
TEST(EditText, FieldInAButtonIsBoundToTheClipHoldingTheButton) {
  EditTextSpec e = boxField();
  e.variable = "msg";
  e.text = "B";
  MovieBuilder m(200, 100, 12);
  m.background(0xFFFFFF);
  swftest::defineBoxFont(m, 1);
  m.defineEditText(2, e);
  m.defineButton2(3, {{1 | 2 | 4 | 8, 2, 1, {}}});
  m.root().place(1, 3);
  m.root().action(swftest::act::setVariable("msg", "AB"));
  m.root().showFrame();
  TestPlayer p(m.finish(true));
  p->advanceFrame();
  Picture pic = p.draw();
  EXPECT_EQ(0xFF0000FFu, pic.at(15, 20));  // A, from the root's variable
  EXPECT_EQ(0xFF0000FFu, pic.at(40, 35));
}

TEST(EditText, InitialTextSetsAnUnsetVariableThatOtherFieldsShow) {
  EditTextSpec source = boxField(), mirror = boxField();
  source.variable = mirror.variable = "shared";
  source.text = "A";
  mirror.yMin = 1400;
  mirror.yMax = 2000;
  MovieBuilder m(200, 100, 12);
  m.background(0xFFFFFF);
  swftest::defineBoxFont(m, 1);
  m.defineEditText(2, source);
  m.defineEditText(3, mirror);
  m.root().place(1, 2);
  m.root().place(2, 3);
  m.root().showFrame();
  TestPlayer p(m.finish(true));
  p->advanceFrame();
  Picture pic = p.draw();
  EXPECT_EQ(0xFF0000FFu, pic.at(15, 20));
  EXPECT_EQ(0xFF0000FFu, pic.at(15, 85));  // the mirror, 70 px lower
}

TEST(EditText, WordWrapAlignmentAndHtmlBreaksAndColours) {
  // Three words of "A" in a field 2 glyphs wide: one word a line.
  EditTextSpec wrap = boxField();
  wrap.xMax = 1200;
  wrap.yMax = 4000;
  wrap.wordWrap = true;
  wrap.multiline = true;
  wrap.text = "A A A";
  TestPlayer wrapped(fieldMovie(wrap));
  wrapped->advanceFrame();
  Picture w = wrapped.draw();
  // Lines are 1024 twips (51.2 px) apart; each holds one A.
  EXPECT_EQ(0xFF0000FFu, w.at(15, 20));
  EXPECT_EQ(0xFF0000FFu, w.at(15, 71));
  EXPECT_EQ(kWhite, w.at(40, 20));

  // Right alignment puts the text's end 2 px inside the right edge.
  EditTextSpec right = boxField();
  right.align = 1;
  right.text = "A";
  TestPlayer aligned(fieldMovie(right));
  aligned->advanceFrame();
  Picture r = aligned.draw();
  // The field is 150 px wide: A's box ends 100 units before its advance.
  EXPECT_EQ(0xFF0000FFu, r.at(140, 20));
  EXPECT_EQ(kWhite, r.at(15, 20));

  EditTextSpec html = boxField();
  html.html = true;
  html.multiline = true;
  html.yMax = 3000;
  html.text = "<p align=\"center\"><font color=\"#00FF00\">A</font><br>B</p>";
  TestPlayer styled(fieldMovie(html));
  styled->advanceFrame();
  Picture h = styled.draw();
  // Centred in 146 px: A spans about 67..83 px, green; B on the next line.
  EXPECT_EQ(0xFF00FF00u, h.at(75, 20));
  EXPECT_EQ(0xFF0000FFu, h.at(75, 85));
  EXPECT_EQ(kWhite, h.at(15, 20));
}

TEST(EditText, BorderIsAFrameOnTheBoundsPixelsAndTextIsClippedToThem) {
  EditTextSpec e = boxField();
  e.border = true;
  e.xMax = 400;  // 20 px: A runs past the right edge
  e.text = "A";
  TestPlayer p(fieldMovie(e));
  p->advanceFrame();
  Picture pic = p.draw();
  EXPECT_EQ(0xFF000000u, pic.at(0, 30));   // left line
  EXPECT_EQ(0xFF000000u, pic.at(20, 30));  // right line, just past the bounds
  EXPECT_EQ(0xFF000000u, pic.at(10, 0));   // top line
  EXPECT_EQ(0xFF0000FFu, pic.at(15, 30));  // the text inside
  EXPECT_EQ(kWhite, pic.at(21, 30));       // cut off beyond the field
}

namespace {

// The first frame of a movie whose script makes field "t" at (x, y), w × h
// pixels, and sets its `properties`.
struct Property {
  const char* name;
  double number;
  bool isFlag = false;
};
Picture createdField(double x, double y, double w, double h, const std::vector<Property>& properties) {
  MovieBuilder m(200, 100, 12, 8);
  m.background(0xFFFFFF);
  swftest::Script s;
  s.push(h).push(w).push(y).push(x).push(1).push("t").push(6).getVariable("_root");
  s.push("createTextField").op(swftest::Script::kCallMethod).op(swftest::Script::kPop);
  for (const Property& property : properties) {
    s.getVariable("t").push(property.name);
    if (property.isFlag) {
      s.push(property.number != 0);
    } else {
      s.push(property.number);
    }
    s.op(swftest::Script::kSetMember);
  }
  m.root().action(s.bytes());
  m.root().showFrame();
  TestPlayer p(m.finish(true));
  p->advanceFrame();
  return p.draw();
}

}  // namespace

// A ground without a frame covers the pixels the bounds' corners fall in,
// up to but not including the far ones, where a frame would be drawn.
TEST(EditText, GroundAloneEndsBeforeTheFarEdgeAndStartsInTheCornersPixel) {
  Picture pic = createdField(10.5, 10.5, 20, 20, {{"background", 1, true}, {"backgroundColor", 0x0000FF}});
  EXPECT_EQ(0xFF0000FFu, pic.at(10, 10));
  EXPECT_EQ(0xFF0000FFu, pic.at(29, 29));
  EXPECT_EQ(kWhite, pic.at(30, 20));
  EXPECT_EQ(kWhite, pic.at(20, 30));
  EXPECT_EQ(kWhite, pic.at(9, 20));
}

// A frame turned by a hair stays upright on whole pixels at its full size.
TEST(EditText, FrameTurnedByAHairStaysUprightAndKeepsItsSize) {
  Picture pic = createdField(30, 10, 10, 10, {{"border", 1, true}, {"_rotation", 0.2}});
  EXPECT_EQ(0xFF000000u, pic.at(30, 15));
  EXPECT_EQ(0xFF000000u, pic.at(40, 15));  // the right side, not tipped back to 39
  EXPECT_EQ(0xFF000000u, pic.at(35, 20));
  EXPECT_EQ(kWhite, pic.at(39, 15));
  EXPECT_EQ(kWhite, pic.at(35, 19));
}

TEST(DeviceText, ChineseInGbkBeforeSwf6AndUtf8AfterDrawTheSameCharacters) {
  if (text::installedChineseFonts().empty()) GTEST_SKIP() << "no Chinese font installed";
  EditTextSpec e;
  e.xMax = 4000;
  e.yMax = 1000;
  e.height = 480;
  // "你好" as GBK bytes and as UTF-8.
  e.text = "\xC4\xE3\xBA\xC3";
  TestPlayer gbk(fieldMovie(e, 5));
  e.text = u8"\u4F60\u597D";
  TestPlayer utf8(fieldMovie(e, 6));
  gbk->advanceFrame();
  utf8->advanceFrame();
  Picture a = gbk.draw(), b = utf8.draw();
  int ink = a.inked(0, 0, 200, 50, kWhite);
  EXPECT_GT(ink, 60);  // two characters of 24 px drawn
  EXPECT_EQ(a.px, b.px);
  // Read as UTF-8, the GBK bytes would be garbage: a different picture.
  e.text = "\xC4\xE3\xBA\xC3";
  TestPlayer wrong(fieldMovie(e, 6));
  wrong->advanceFrame();
  EXPECT_NE(a.px, wrong.draw().px);
}

TEST(Paragraphs, HtmlSubsetTagsEntitiesAndNesting) {
  text::CharFormat base;
  base.font = "Base";
  base.size = 200;
  text::ParagraphFormat para;
  auto ps = text::htmlParagraphs(U"<P ALIGN='right'><b>x &amp; <font size='+2' color='#102030' face=\"F\">y</font></b>"
                                 U"</p><textformat leftmargin=\"5\">z&#x4E2D;&lt;</textformat><unknown>w",
                                 base, para);
  ASSERT_EQ(2u, ps.size());
  EXPECT_EQ(swf::TextAlign::Right, ps[0].format.align);
  ASSERT_EQ(2u, ps[0].runs.size());
  EXPECT_EQ(U"x & ", ps[0].runs[0].text);
  EXPECT_TRUE(ps[0].runs[0].format.bold);
  EXPECT_EQ(U"y", ps[0].runs[1].text);
  EXPECT_EQ(240, ps[0].runs[1].format.size);  // 10 px + 2
  EXPECT_EQ(0x30, ps[0].runs[1].format.color.b);
  EXPECT_EQ("F", ps[0].runs[1].format.font);
  EXPECT_EQ(swf::TextAlign::Left, ps[1].format.align);
  EXPECT_EQ(100, ps[1].format.leftMargin);
  EXPECT_EQ(U"z\u4E2D<w", ps[1].runs[0].text);
  EXPECT_FALSE(ps[1].runs[0].format.bold);  // </b> closed it

  auto plain = text::plainParagraphs(U"a\r\nb\rc\n", base, para);
  ASSERT_EQ(4u, plain.size());
  EXPECT_EQ(U"b", plain[1].runs[0].text);
  EXPECT_TRUE(plain[3].runs.empty());
}

TEST(MovieText, Swf5IsGbkLaterIsUtf8AndBadBytesAreMarked) {
  EXPECT_EQ(U"\u4E2D\u6587", text::decodeMovieText("\xD6\xD0\xCE\xC4", 5));
  EXPECT_EQ(U"\u4E2D\u6587", text::decodeMovieText(u8"\u4E2D\u6587", 6));
  EXPECT_EQ(U"a\uFFFDb", text::decodeMovieText("a\xFF" "b", 6));
  EXPECT_EQ("\xD6\xD0?", text::encodeMovieText(U"\u4E2D\U0001F600", 5));
  EXPECT_EQ(U'\u4E2D', text::decodeFontCode(0xD6D0, 5, false));
  EXPECT_EQ(U'\u4E2D', text::decodeFontCode(0x4E2D, 6, false));
  EXPECT_TRUE(text::sameNameNoCase("_Root.Clip", "_root.clip"));
  EXPECT_FALSE(text::sameNameNoCase("a[", "A{"));  // only letters fold
  EXPECT_FALSE(text::sameNameNoCase("ab", "abc"));
}
