// Writes the fuzzing corpus: a handful of tiny movies that between them use
// shapes of each version, strokes, gradients, bitmaps (lossless and JPEG,
// with and without alpha), sprites, masks, colour transforms, actions,
// blend modes, filters, buttons, fonts, text and sounds.
#include <cstdio>
#include <string>
#include <vector>

#include "swf_builder.h"


using namespace swftest;

namespace {

void save(const std::string& dir, const std::string& name, const Bytes& b) {
  FILE* f = std::fopen((dir + "/" + name).c_str(), "wb");
  if (!f) return;
  std::fwrite(b.data(), 1, b.size(), f);
  std::fclose(f);
}

Bytes tinyJpeg() {
  unsigned char rgb[8 * 8 * 3];
  for (int i = 0; i < 64; ++i) {
    rgb[i * 3] = static_cast<unsigned char>(i * 4);
    rgb[i * 3 + 1] = 128;
    rgb[i * 3 + 2] = static_cast<unsigned char>(255 - i * 4);
  }
  return encodeJpeg(8, 8, rgb, 50);
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = argc > 1 ? argv[1] : ".";

  {  // shapes 1-4, a stroke, a curve
    MovieBuilder m(40, 30, 12, 6);
    m.background(0x102030);
    for (int v = 1; v <= 4; ++v) {
      ShapeBuilder s(v);
      s.solidFill(0xFF00FF00u + v * 40);
      s.lineStyle(v * 10, 0xFF0000FF);
      Path p;
      p.fill1(1).line(1).moveTo(0, 0).lineTo(200, 0).curveTo(300, 100, 200, 200).lineTo(0, 0);
      m.defineShape(static_cast<uint16_t>(v), s, p, 0, 300, 0, 200);
      Matrix at;
      at.tx = v * 120;
      m.root().place(static_cast<uint16_t>(v), static_cast<uint16_t>(v), at);
    }
    m.root().showFrame();
    save(dir, "shapes.swf", m.finish(false));
  }
  {  // gradients of each spread, radial and linear
    MovieBuilder m(40, 30, 12);
    ShapeBuilder s(3);
    Matrix g;
    g.a = g.d = 0.02;
    s.gradientFill(0x10, g, 1, {{0, 0xFFFF0000}, {128, 0x8000FF00}, {255, 0xFF0000FF}});
    s.gradientFill(0x12, g, 2, {{40, 0xFFFFFFFF}, {20, 0xFF000000}});
    Path p;
    p.fill1(1).rect(0, 0, 400, 300);
    p.fill0(2).fill1(0).moveTo(100, 100).lineTo(300, 100).lineTo(200, 250).lineTo(100, 100);
    m.defineShape(1, s, p, 0, 400, 0, 300);
    m.root().place(1, 1);
    m.root().showFrame();
    save(dir, "gradients.swf", m.finish(false));
  }
  {  // sprite with its own frames, labels and actions, mask, colour transform
    MovieBuilder m(40, 30, 12);
    ShapeBuilder s;
    s.solidFill(0xFFFF8000);
    Path p;
    p.fill1(1).rect(0, 0, 200, 200);
    m.defineShape(1, s, p, 0, 200, 0, 200);
    Timeline t;
    t.place(1, 1);
    t.showFrame();
    Matrix mv;
    mv.tx = 100;
    t.move(1, mv);
    t.label("two");
    t.showFrame();
    m.defineSprite(2, t, 2);
    m.root().place(1, 1, Matrix(), 3);
    m.root().place(2, 2);
    m.root().placeWithColor(3, 2, mv, 128, 256, 256, 200, 10, 0, 0, 0);
    m.root().showFrame();
    m.root().label("again");
    m.root().action(act::join({act::pushString("again"), act::gotoFrame2(true)}));
    m.root().showFrame();
    m.root().action(act::join({act::gotoLabel("again"), act::prevFrame(), act::play(), act::stop(),
                               act::pushNumber(1), act::gotoFrame2(false), act::gotoFrame(0)}));
    m.root().remove(3);
    m.root().showFrame();
    save(dir, "sprites.swf", m.finish(false));
  }
  {  // bitmaps: lossless, JPEG2, JPEG3 with alpha, filled repeating and clipped
    MovieBuilder m(40, 30, 12);
    m.defineLosslessBitmap(1, 2, 2, {0xFFFF0000, 0x800000FF, 0xFF00FF00, 0x00000000});
    Bytes jpeg = tinyJpeg();
    Writer j2;
    j2.u16(2);
    j2.bytes(jpeg);
    m.define(21, j2.data());
    Writer j3;
    j3.u16(3);
    j3.u32(static_cast<uint32_t>(jpeg.size()));
    j3.bytes(jpeg);
    j3.bytes({0x78, 0x9C, 0x63, 0x60, 0x18, 0x05, 0x00, 0x00, 0x00, 0x40, 0x00, 0x01});  // 64 zero bytes
    m.define(35, j3.data());
    ShapeBuilder s;
    Matrix bm;
    bm.a = bm.d = 20;
    s.bitmapFill(1, bm, true, false);
    s.bitmapFill(2, bm, false, true);
    s.bitmapFill(3, bm, true, true);
    Path p;
    p.fill1(1).rect(0, 0, 200, 200);
    p.fill1(2).rect(200, 0, 400, 200);
    p.fill1(3).rect(0, 200, 400, 300);
    m.defineShape(4, s, p, 0, 400, 0, 300);
    m.root().place(1, 4);
    m.root().showFrame();
    save(dir, "bitmaps.swf", m.finish(false));
  }
  {  // the same sprite movie compressed
    MovieBuilder m(20, 20, 30, 8);
    ShapeBuilder s;
    s.solidFill(0xFF336699);
    Path p;
    p.fill1(1).rect(0, 0, 100, 100);
    m.defineShape(1, s, p, 0, 100, 0, 100);
    m.root().place(1, 1);
    m.root().showFrame();
    m.root().moveRatio(1, 30000);
    m.root().showFrame();
    save(dir, "compressed.swf", m.finish(true));
  }
  {  // PlaceObject3: blend modes in a layer, filters, hidden, cached with a
     // background; a button
    MovieBuilder m(40, 30, 12);
    ShapeBuilder s;
    s.solidFill(0xC0FF8000);
    s.lineStyle(30, 0xFF000080);
    Path p;
    p.fill1(1).line(1).moveTo(0, 0).lineTo(300, 0).curveTo(400, 200, 0, 300).lineTo(0, 0);
    m.defineShape(1, s, p, 0, 400, 0, 300);
    Place3Extras alpha;
    alpha.blendMode = 11;
    Timeline group;
    group.place(1, 1);
    group.place3(2, 1, Matrix(), alpha);
    group.showFrame();
    m.defineSprite(2, group, 1);
    MovieBuilder::ButtonRecord up;
    up.id = 1;
    m.defineButton2(3, {up});
    Place3Extras layer;
    layer.blendMode = 2;
    layer.filters = filter::list({filter::blur(6, 3, 2), filter::bevel(),
                                  filter::dropShadow(0x80000000, 4, 0.8, 5, 1.5, false, false, false, 1),
                                  filter::glow(0xFF00FF00, 3, 2, 1)});
    m.root().place3(1, 2, Matrix(), layer);
    Place3Extras inner;
    inner.blendMode = 14;
    inner.filters = filter::list({filter::dropShadow(0xFF0000FF, 2, 3, -4, 1, true, true, false, 3)});
    inner.cacheAsBitmap = 1;
    inner.background = 0xFF204060;
    Matrix moved;
    moved.tx = 200;
    moved.ty = 100;
    m.root().place3(2, 3, moved, inner);
    Place3Extras hidden;
    hidden.visible = 0;
    m.root().place3(3, 1, Matrix(), hidden);
    m.root().showFrame();
    save(dir, "layers.swf", m.finish(false));
  }
  {  // a font, static text, HTML edit text bound to a variable, a button with
     // actions and a sound, event and streamed sounds
    MovieBuilder m(64, 48, 12, 5);
    std::vector<Glyph> glyphs(2);
    glyphs[0].code = U'A';
    glyphs[0].outline.fill1(1).rect(100, -700, 412, 0).curveTo(600, -300, 412, -700);
    glyphs[1].code = 0xC4E3;  // a GBK code in a SWF 5 font
    glyphs[1].outline.fill1(1).rect(0, -500, 500, 0);
    m.defineFont2(1, "Boxes", glyphs, 800, 224);
    m.defineText(2, 1, 400, 0xFF000000, Matrix(), {{0, 300}, {1, 300}});
    EditTextSpec e;
    e.fontId = 1;
    e.useOutlines = e.html = e.wordWrap = e.border = true;
    e.variable = "v";
    e.text = "<p align='center'><font color='#FF0000' size='+3'>A&amp;\xC4\xE3</font><br>A</p>";
    m.defineEditText(3, e);
    m.defineRect(4, 0xFF00FF00, 0, 0, 32, 24);
    std::vector<int16_t> tone(400, 3000);
    m.defineSound(5, 1, 1, true, false, 400, encodeAdpcm(tone, false, 3));
    MovieBuilder::ButtonAction click;
    click.conditions = 0x0008;
    click.code = act::setVariable("v", "B");
    m.defineButton2(6, {{15, 4, 1, Matrix()}}, {click}, false);
    const uint16_t sounds[4] = {5, 5, 5, 5};
    m.defineButtonSound(6, sounds);
    m.root().soundStreamHead(3, 1, true, false, 100);
    m.root().place(1, 2);
    m.root().place(2, 3);
    m.root().place(3, 6);
    SoundStart start;
    start.loops = 3;
    start.envelope = {{0, 32768}, {200, 0}};
    m.root().startSound(5, start);
    m.root().soundStreamBlock(pcm16(tone));
    m.root().showFrame();
    m.root().soundStreamBlock(pcm16(tone, true));
    m.root().showFrame();
    save(dir, "media.swf", m.finish(false));
  }
  return 0;
}
