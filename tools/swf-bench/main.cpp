// swf-bench [SUITE_DIR] [--write-samples DIR]
// Prints the time per frame at 600 × 400 (advance + draw, smoothed edges)
// and the share of one core at each movie's own frame rate, for three
// typical desktop animations built here, for two scripted ones (a clock
// reading Date, a few hundred particles moved in onEnterFrame; script and
// drawing timed apart), for a heavy one and hostile ones (endless scripts,
// 9000 nested masks, twelve nested blurs), for the movies the program ships,
// for text-heavy movies (device text through FreeType) and for the heaviest
// movies of the reference suite; then the share of one core that playing a
// looping MP3 takes (decoding through libmpg123 and mixing). --write-samples
// saves the built movies.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue.h"
#include "media_movies.h"
#include "player/core/player.h"
#include "player/sound/mixer.h"
#include "player/sound/mpg123_codec.h"
#include "player/text/freetype_fonts.h"
#include "swf_builder.h"

namespace {

using swftest::Bytes;
using swftest::Matrix;
using swftest::MovieBuilder;
using swftest::Path;
using swftest::Script;
using swftest::ShapeBuilder;

constexpr int kWidth = 600, kHeight = 400;

Matrix moved(double x, double y, double scale = 1, double angle = 0) {
  Matrix m;
  m.a = scale * std::cos(angle);
  m.b = scale * std::sin(angle);
  m.c = -m.b;
  m.d = m.a;
  m.tx = static_cast<int32_t>(x * 20);
  m.ty = static_cast<int32_t>(y * 20);
  return m;
}

// A circle of radius r (twips) from eight quadratic curves, fill style 1.
Path circle(int32_t r) {
  Path p;
  const double k = std::tan(3.14159265358979 / 8);
  p.fill1(1).moveTo(r, 0);
  for (int i = 0; i < 8; ++i) {
    double a0 = i * 3.14159265358979 / 4, a1 = (i + 1) * 3.14159265358979 / 4;
    double am = (a0 + a1) / 2, rc = r / std::cos(3.14159265358979 / 8);
    (void)k;
    p.curveTo(static_cast<int32_t>(rc * std::cos(am)), static_cast<int32_t>(rc * std::sin(am)),
              static_cast<int32_t>(r * std::cos(a1)), static_cast<int32_t>(r * std::sin(a1)));
  }
  return p;
}

// Thirty-six shapes drifting and turning over a plain stage: solid circles
// and rectangles with outlines, a few gradient balls, 24 frames.
Bytes driftingShapes() {
  MovieBuilder m(550, 400, 24);
  m.background(0xFFFFFF);
  for (int i = 0; i < 6; ++i) {
    ShapeBuilder s;
    uint32_t colour = 0xFF000000u | ((i * 0x3A5F17u) & 0xFFFFFF);
    s.solidFill(colour);
    s.lineStyle(40, 0xFF202020);
    Path p;
    if (i % 2) {
      p = circle(600);
      p.line(1);
    } else {
      p.fill1(1).line(1).rect(-500, -350, 500, 350);
    }
    m.defineShape(static_cast<uint16_t>(1 + i), s, p, -650, 650, -650, 650);
  }
  ShapeBuilder ball;
  Matrix g;
  g.a = g.d = 1400.0 / 32768;
  ball.gradientFill(0x12, g, 0, {{0, 0xFFFFFFFF}, {120, 0xFF3399FF}, {255, 0xFF002266}});
  m.defineShape(7, ball, circle(700), -700, 700, -700, 700);
  for (int f = 0; f < 24; ++f) {
    for (int i = 0; i < 36; ++i) {
      double x = 30 + (i % 9) * 60 + 20 * std::sin((f + i) * 0.26);
      double y = 40 + (i / 9) * 95 + 15 * std::cos((f + 2 * i) * 0.26);
      Matrix mm = moved(x, y, 0.8 + 0.2 * std::sin(i + f * 0.26), (f + i) * 0.26);
      uint16_t id = static_cast<uint16_t>(i % 12 == 0 ? 7 : 1 + i % 6);
      if (f == 0) {
        m.root().place(static_cast<uint16_t>(1 + i), id, mm);
      } else {
        m.root().move(static_cast<uint16_t>(1 + i), mm);
      }
    }
    m.root().showFrame();
  }
  return m.finish(true);
}

// A full-stage sky gradient, a radial sun, and two sprites (a walking
// figure of curved shapes inside a turning sprite), half-transparent clouds.
Bytes skyScene() {
  MovieBuilder m(550, 400, 30);
  m.background(0x000000);
  ShapeBuilder sky;
  Matrix g;
  g.a = 0;
  g.b = 8000.0 / 32768;
  g.c = -8000.0 / 32768;
  g.d = 0;
  g.tx = 5500;
  g.ty = 4000;
  sky.gradientFill(0x10, g, 0, {{0, 0xFF0A1A5A}, {160, 0xFF5AA0E6}, {255, 0xFFF0D8A0}});
  Path skyPath;
  skyPath.fill1(1).rect(0, 0, 11000, 8000);
  m.defineShape(1, sky, skyPath, 0, 11000, 0, 8000);
  ShapeBuilder sun;
  Matrix sg;
  sg.a = sg.d = 2400.0 / 32768;
  sun.gradientFill(0x12, sg, 0, {{0, 0xFFFFFFE0}, {90, 0xFFFFD040}, {255, 0x00FF8000}});
  m.defineShape(2, sun, circle(2400), -2400, 2400, -2400, 2400);
  ShapeBuilder cloud;
  cloud.solidFill(0xB0FFFFFF);
  m.defineShape(3, cloud, circle(900), -900, 900, -900, 900);
  ShapeBuilder limb;
  limb.solidFill(0xFF603020);
  limb.lineStyle(30, 0xFF000000);
  Path lp;
  lp.fill1(1).line(1).moveTo(-100, 0).curveTo(0, -150, 100, 0).lineTo(60, 900).lineTo(-60, 900).lineTo(-100, 0);
  m.defineShape(4, limb, lp, -150, 150, -150, 950);

  swftest::Timeline walker;  // four limbs swinging, 12 frames
  for (int f = 0; f < 12; ++f) {
    for (int k = 0; k < 4; ++k) {
      Matrix mm = moved(0, 0, 1, std::sin((f + 3 * k) * 0.52) * 0.6 + k * 1.57);
      if (f == 0) {
        walker.place(static_cast<uint16_t>(1 + k), 4, mm);
      } else {
        walker.move(static_cast<uint16_t>(1 + k), mm);
      }
    }
    walker.showFrame();
  }
  m.defineSprite(5, walker, 12);
  swftest::Timeline carousel;  // the walker thrice, turning around a centre, 36 frames
  for (int f = 0; f < 36; ++f) {
    for (int k = 0; k < 3; ++k) {
      double a = f * 0.1745 + k * 2.094;
      Matrix mm = moved(120 * std::cos(a), 60 * std::sin(a), 0.7);
      if (f == 0) {
        carousel.place(static_cast<uint16_t>(1 + k), 5, mm);
      } else {
        carousel.move(static_cast<uint16_t>(1 + k), mm);
      }
    }
    carousel.showFrame();
  }
  m.defineSprite(6, carousel, 36);

  m.root().place(1, 1);
  m.root().place(2, 2, moved(420, 90));
  m.root().place(3, 6, moved(275, 260));
  for (int i = 0; i < 8; ++i) m.root().place(static_cast<uint16_t>(10 + i), 3, moved(40 + i * 70, 60 + (i % 3) * 30, 1.2));
  for (int f = 0; f < 60; ++f) {
    if (f > 0)
      for (int i = 0; i < 8; ++i)
        m.root().move(static_cast<uint16_t>(10 + i), moved(std::fmod(40 + i * 70 + f * 2.0, 600) - 25, 60 + (i % 3) * 30, 1.2));
    m.root().showFrame();
  }
  return m.finish(true);
}

// A bitmap-filled card turning, thirty small stars fading with colour
// transforms, all behind a mask window, 30 frames.
Bytes bitmapCards() {
  MovieBuilder m(550, 400, 25);
  m.background(0x202830);
  std::vector<uint32_t> pixels(64 * 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      pixels[y * 64 + x] = ((x / 8 + y / 8) % 2) ? 0xFFE04030u : 0xFFF0F0F0u;
  m.defineLosslessBitmap(9, 64, 64, pixels);
  ShapeBuilder card;
  Matrix bm;
  bm.a = bm.d = 40;
  bm.tx = -1280;
  bm.ty = -1280;
  card.bitmapFill(9, bm, true, true);
  Path cp;
  cp.fill1(1).rect(-1800, -1200, 1800, 1200);
  m.defineShape(1, card, cp, -1800, 1800, -1200, 1200);
  ShapeBuilder star;
  star.solidFill(0xFFFFE060);
  Path sp;
  sp.fill1(1).moveTo(0, -300);
  for (int i = 1; i <= 10; ++i) {
    double a = -1.5708 + i * 0.6283;
    double r = i % 2 ? 120 : 300;
    sp.lineTo(static_cast<int32_t>(r * std::cos(a)), static_cast<int32_t>(r * std::sin(a)));
  }
  m.defineShape(2, star, sp, -300, 300, -300, 300);
  ShapeBuilder window;
  window.solidFill(0xFF000000);
  m.defineShape(3, window, circle(3600), -3600, 3600, -3600, 3600);

  m.root().place(1, 3, moved(275, 200), 100);  // mask over everything above it
  for (int f = 0; f < 30; ++f) {
    Matrix cm = moved(275, 200, 1, f * 0.209);
    if (f == 0) {
      m.root().place(2, 1, cm);
    } else {
      m.root().move(2, cm);
    }
    for (int i = 0; i < 30; ++i) {
      int alpha = 64 + static_cast<int>(191 * (0.5 + 0.5 * std::sin(f * 0.21 + i)));
      m.root().remove(static_cast<uint16_t>(10 + i));
      m.root().placeWithColor(static_cast<uint16_t>(10 + i), 2,
                              moved(30 + (i * 53) % 500, 30 + (i * 97) % 340, 1, f * 0.1 + i),
                              256, 256, 256, alpha, 0, 0, 0, 0);
    }
    m.root().showFrame();
  }
  return m.finish(true);
}

// A heavy but honest movie: 150 large translucent gradient discs drifting
// over the whole stage, many under blur, 30 frames a second.
Bytes heavyScene() {
  MovieBuilder m(600, 400, 30);
  ShapeBuilder disc;
  Matrix g;
  g.a = g.d = 3000.0 / 16384;
  disc.gradientFill(0x12, g, 0, {{0, 0xC0FFF0A0}, {128, 0x80FF6090}, {255, 0x103060FF}});
  m.defineShape(1, disc, circle(3000), -3000, 3000, -3000, 3000);
  for (int f = 0; f < 60; ++f) {
    for (int i = 0; i < 150; ++i) {
      Matrix mm = moved(300 + 260 * std::sin(i * 1.7 + f * 0.105), 200 + 180 * std::cos(i * 2.3 + f * 0.105), 0.6 + (i % 5) * 0.15);
      uint16_t depth = static_cast<uint16_t>(1 + i);
      if (f == 0 && i % 4 == 0) {
        swftest::Place3Extras blurred;
        blurred.filters = swftest::filter::list({swftest::filter::blur(12, 12, 2)});
        m.root().place3(depth, 1, mm, blurred);
      } else if (f == 0) {
        m.root().place(depth, 1, mm);
      } else {
        m.root().move(depth, mm);
      }
    }
    m.root().showFrame();
  }
  return m.finish(true);
}

// Hostile movies: what a broken or spiteful file may hold. Each must cost a
// bounded time per frame and bounded memory.

// Frame 1 places 3000 objects; the frames' scripts then jump back and forth
// between frames 1 and 2 for ever, and a third block loops on itself.
Bytes endlessScripts() {
  MovieBuilder m(600, 400, 24);
  ShapeBuilder dot;
  dot.solidFill(0xFF3080FF);
  Path p;
  p.fill1(1).rect(-40, -40, 40, 40);
  m.defineShape(1, dot, p, -40, 40, -40, 40);
  for (int i = 0; i < 3000; ++i) m.root().place(static_cast<uint16_t>(1 + i), 1, moved(10 + (i % 60) * 10, 10 + (i / 60) * 8));
  m.root().action(swftest::act::gotoFrame(1));
  m.root().action({0x99, 2, 0, 0xFB, 0xFF});  // Jump -5: to itself
  m.root().showFrame();
  m.root().action(swftest::act::gotoFrame(0));
  m.root().showFrame();
  return m.finish(true);
}

// 9000 masks, each clipping everything above it.
Bytes deepMasks() {
  MovieBuilder m(600, 400, 24);
  ShapeBuilder window;
  window.solidFill(0xFF000000);
  m.defineShape(1, window, circle(3000), -3000, 3000, -3000, 3000);
  ShapeBuilder content;
  content.solidFill(0xFFFF8000);
  Path p;
  p.fill1(1).rect(0, 0, 12000, 8000);
  m.defineShape(2, content, p, 0, 12000, 0, 8000);
  for (int i = 0; i < 9000; ++i) m.root().place(static_cast<uint16_t>(1 + i), 1, moved(300 + i % 7, 200), 60000);
  m.root().place(9001, 2);
  m.root().showFrame();
  return m.finish(true);
}

// Twelve sprites inside each other, each blurred on its own layer.
Bytes nestedBlurs() {
  MovieBuilder m(600, 400, 24);
  ShapeBuilder square;
  square.solidFill(0xFF20C040);
  Path p;
  p.fill1(1).rect(-2000, -2000, 2000, 2000);
  m.defineShape(1, square, p, -2000, 2000, -2000, 2000);
  uint16_t inner = 1;
  for (int level = 0; level < 12; ++level) {
    swftest::Timeline t;
    swftest::Place3Extras blurred;
    blurred.filters = swftest::filter::list({swftest::filter::blur(40, 40, 3)});
    t.place3(1, inner, moved(level ? 0 : 0, 0), blurred);
    t.showFrame();
    uint16_t id = static_cast<uint16_t>(10 + level);
    m.defineSprite(id, t, 1);
    inner = id;
  }
  m.root().place(1, inner, moved(300, 200));
  m.root().showFrame();
  return m.finish(true);
}

// this.<name>
Script& thisMember(Script& s, const std::string& name) {
  return s.getVariable("this").push(name).op(Script::kGetMember);
}

// A clock face with ticks drawn by script and three hands turned every
// frame from new Date(), 24 fps.
Bytes scriptedClock() {
  MovieBuilder m(400, 400, 24, 8);
  m.background(0xFFFFFF);
  ShapeBuilder face;
  face.solidFill(0xFFF4F0E0);
  face.lineStyle(80, 0xFF303030);
  Path fp = circle(3600);
  fp.line(1);
  m.defineShape(1, face, fp, -3700, 3700, -3700, 3700);
  const int32_t lengths[3] = {1800, 2800, 3200}, widths[3] = {90, 60, 20};
  const uint32_t colours[3] = {0xFF202020, 0xFF202020, 0xFFC02020};
  for (int i = 0; i < 3; ++i) {
    ShapeBuilder hand;
    hand.solidFill(colours[i]);
    Path hp;
    hp.fill1(1).rect(-widths[i], -lengths[i], widths[i], 200);
    m.defineShape(static_cast<uint16_t>(2 + i), hand, hp, -widths[i], widths[i], -lengths[i], 200);
    swftest::Timeline t;
    t.place(1, static_cast<uint16_t>(2 + i));
    t.showFrame();
    m.defineSprite(static_cast<uint16_t>(10 + i), t, 1);
  }
  m.root().place(1, 1, moved(200, 200));
  const char* names[3] = {"h", "m", "s"};
  for (int i = 0; i < 3; ++i) m.root().place(static_cast<uint16_t>(2 + i), static_cast<uint16_t>(10 + i), moved(200, 200), 0, names[i]);

  // Sixty ticks drawn on a clip of their own once.
  Script s;
  s.push("ticks").push(10).push("ticks").push(2).getVariable("this").push("createEmptyMovieClip").op(Script::kCallMethod);
  s.op(Script::kDefineLocal);
  // Arguments go on the stack last first: lineStyle(2, 0x303030, 100).
  s.push(100).push(0x303030).push(2).push(3).getVariable("ticks").push("lineStyle").op(Script::kCallMethod).op(Script::kPop);
  s.push("i").push(0).op(Script::kDefineLocal).label("loop");
  // a = i * PI / 30; ticks.moveTo(200 + 170 sin a, 200 - 170 cos a); ticks.lineTo(200 + 185 sin a, ...)
  for (int k = 0; k < 2; ++k) {
    double r = k ? 185 : 170;
    s.push(200).push(r).getVariable("i").push(0.10471975511965977).op(Script::kMultiply);
    s.push(1).getVariable("Math").push("cos").op(Script::kCallMethod).op(Script::kMultiply).op(Script::kSubtract);
    s.push(200).push(r).getVariable("i").push(0.10471975511965977).op(Script::kMultiply);
    s.push(1).getVariable("Math").push("sin").op(Script::kCallMethod).op(Script::kMultiply).op(Script::kAdd2);
    s.push(2).getVariable("ticks").push(k ? "lineTo" : "moveTo").op(Script::kCallMethod).op(Script::kPop);
  }
  s.push("i").getVariable("i").op(Script::kIncrement).op(Script::kSetVariable);
  s.getVariable("i").push(60).op(Script::kLess2).ifTrue("loop");
  // onEnterFrame: the hands follow the time.
  Script tick;
  tick.push("d").push(0).push("Date").op(Script::kNewObject).op(Script::kDefineLocal);
  auto field = [&](Script& b, const char* method) {
    b.push(0).getVariable("d").push(method).op(Script::kCallMethod);
  };
  tick.getVariable("s").push("_rotation");
  field(tick, "getSeconds");
  tick.push(6).op(Script::kMultiply).op(Script::kSetMember);
  tick.getVariable("m").push("_rotation");
  field(tick, "getMinutes");
  tick.push(6).op(Script::kMultiply);
  field(tick, "getSeconds");
  tick.push(10).op(Script::kDivide).op(Script::kAdd2).op(Script::kSetMember);
  tick.getVariable("h").push("_rotation");
  field(tick, "getHours");
  tick.push(12).op(Script::kModulo).push(30).op(Script::kMultiply);
  field(tick, "getMinutes");
  tick.push(2).op(Script::kDivide).op(Script::kAdd2).op(Script::kSetMember);
  s.getVariable("this").push("onEnterFrame").function("", {}, tick).op(Script::kSetMember);
  s.op(Script::kStop);
  m.root().action(s.bytes());
  m.root().showFrame();
  return m.finish(true);
}

// Three hundred dots attached by script, each moved, bounced, faded and
// turned by its own onEnterFrame handler, 30 fps.
Bytes scriptedParticles() {
  MovieBuilder m(600, 400, 30, 8);
  m.background(0x101828);
  ShapeBuilder dot;
  Matrix g;
  g.a = g.d = 240.0 / 32768;
  dot.gradientFill(0x12, g, 0, {{0, 0xFFFFFFFF}, {100, 0xFF80C0FF}, {255, 0x002040FF}});
  m.defineShape(1, dot, circle(240), -240, 240, -240, 240);
  swftest::Timeline t;
  t.place(1, 1);
  t.showFrame();
  m.defineSprite(2, t, 1);
  m.exportAs(2, "dot");

  // function move(): this._x += this.vx, bouncing off the edges; likewise y.
  Script move;
  for (const char* axis : {"x", "y"}) {
    std::string pos = std::string("_") + axis, speed = std::string("v") + axis;
    double limit = axis[0] == 'x' ? 600 : 400;
    move.getVariable("this").push(pos);
    thisMember(move, pos);
    thisMember(move, speed);
    move.op(Script::kAdd2).op(Script::kSetMember);
    std::string bounce = std::string("bounce") + axis, inside = std::string("inside") + axis;
    thisMember(move, pos).push(0).op(Script::kLess2).ifTrue(bounce);
    move.push(limit);
    thisMember(move, pos).op(Script::kLess2).ifTrue(bounce).jump(inside);
    move.label(bounce).getVariable("this").push(speed).push(0);
    thisMember(move, speed).op(Script::kSubtract).op(Script::kSetMember);
    move.label(inside);
  }
  move.getVariable("this").push("_rotation");
  thisMember(move, "_rotation").push(7).op(Script::kAdd2).op(Script::kSetMember);
  move.getVariable("this").push("_alpha").push(40);
  thisMember(move, "_x").push(10).op(Script::kDivide).op(Script::kAdd2).op(Script::kSetMember);

  Script s;
  s.function("move", {}, move);
  s.push("i").push(0).op(Script::kDefineLocal).label("loop");
  // var p = attachMovie("dot", "p" + i, i);
  s.push("p").getVariable("i").push("p").getVariable("i").op(Script::kAdd2).push("dot").push(3);
  s.getVariable("this").push("attachMovie").op(Script::kCallMethod).op(Script::kDefineLocal);
  const char* fields[4] = {"_x", "_y", "vx", "vy"};
  const int ranges[4] = {600, 400, 11, 11};
  for (int k = 0; k < 4; ++k) {
    s.getVariable("p").push(fields[k]).push(ranges[k]).op(0x30);  // RandomNumber
    if (k >= 2) s.push(5).op(Script::kSubtract);
    s.op(Script::kSetMember);
  }
  s.getVariable("p").push("onEnterFrame").getVariable("move").op(Script::kSetMember);
  s.push("i").getVariable("i").op(Script::kIncrement).op(Script::kSetVariable);
  s.getVariable("i").push(300).op(Script::kLess2).ifTrue("loop");
  s.op(Script::kStop);
  m.root().action(s.bytes());
  m.root().showFrame();
  return m.finish(true);
}

struct Result {
  std::string name;
  double msPerFrame;
  double fps;
  double scriptMs = -1;  // of msPerFrame, the timelines and scripts alone
};

Result measure(const std::string& name, const Bytes& bytes, int frames,
               const player::PlayerServices& services = player::PlayerServices()) {
  auto player = player::Player::load(bytes.data(), bytes.size(), services);
  if (!player) return {name + " (does not load)", 0, 0};
  std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
  // One untimed frame so buffers are in place, as in a playing window.
  player->advanceFrame();
  player->render(pixels.data(), kWidth, kHeight, kWidth * 4, false);
  using Clock = std::chrono::steady_clock;
  Clock::duration advancing{}, drawing{};
  for (int i = 0; i < frames; ++i) {
    auto t0 = Clock::now();
    player->advanceFrame();
    auto t1 = Clock::now();
    player->render(pixels.data(), kWidth, kHeight, kWidth * 4, false);
    advancing += t1 - t0;
    drawing += Clock::now() - t1;
  }
  double advanceMs = std::chrono::duration<double, std::milli>(advancing).count() / frames;
  double drawMs = std::chrono::duration<double, std::milli>(drawing).count() / frames;
  Result r{name, advanceMs + drawMs, player->frameRate()};
  r.scriptMs = advanceMs;
  return r;
}

void print(const Result& r, bool split = false) {
  std::printf("  %-42s %7.3f ms/frame  %5.1f fps  %5.1f%% of one core", r.name.c_str(), r.msPerFrame, r.fps,
              r.msPerFrame * r.fps / 10);
  if (split) std::printf("  (script %.3f ms, drawing %.3f ms)", r.scriptMs, r.msPerFrame - r.scriptMs);
  std::printf("\n");
}

// Plays `seconds` of a movie's sound as a player window does: its frames at
// their rate, each followed by a frame's worth of mixing. Nothing is drawn,
// so the time is the sound's (the movie itself is one rectangle).
void measureSound(const std::string& name, const Bytes& bytes, int seconds) {
  auto codec = sound::makeMpg123Codec();
  sound::Mixer mixer(codec.get());
  player::PlayerServices services;
  services.mixer = &mixer;
  auto player = player::Player::load(bytes.data(), bytes.size(), services);
  if (!player) return;
  const size_t perFrame = static_cast<size_t>(sound::Mixer::kRate / player->frameRate());
  std::vector<int16_t> out(perFrame * 2);
  int frames = static_cast<int>(seconds * player->frameRate());
  double sum = 0;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < frames; ++i) {
    player->advanceFrame();
    mixer.mix(out.data(), perFrame);
    for (int16_t v : out) sum += double(v) * v;
  }
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  // The level shows the sound was heard, not skipped.
  double level = std::sqrt(sum / (double(frames) * double(out.size())));
  std::printf("  %-42s %7.3f ms a second of sound  %5.2f%% of one core  (level %.0f)\n", name.c_str(),
              ms / seconds, ms / seconds / 10, level);
}

Bytes readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  std::string suite, samples;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--write-samples") && i + 1 < argc) {
      samples = argv[++i];
    } else {
      suite = argv[i];
    }
  }
  std::vector<std::pair<std::string, Bytes>> typical = {
      {"drifting shapes (36 shapes, outlines, gradients)", driftingShapes()},
      {"sky scene (gradients, nested sprites, alpha)", skyScene()},
      {"bitmap card (bitmap fill, 30 fading stars, mask)", bitmapCards()},
  };
  std::vector<std::pair<std::string, Bytes>> scripted = {
      {"scripted clock (Date, drawn ticks, 3 hands)", scriptedClock()},
      {"scripted particles (300 clips, onEnterFrame)", scriptedParticles()},
  };
  std::vector<std::pair<std::string, Bytes>> hostile = {
      {"heavy", heavyScene()},
      {"endless-scripts", endlessScripts()},
      {"deep-masks", deepMasks()},
      {"nested-blurs", nestedBlurs()},
  };
  if (!samples.empty()) {
    std::filesystem::create_directories(samples);
    auto write = [&](const std::string& name, const Bytes& bytes) {
      std::ofstream out(std::filesystem::path(samples) / (name + ".swf"), std::ios::binary);
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    };
    int n = 0;
    for (const auto& t : scripted) typical.push_back(t);
    for (const auto& t : typical) write("typical-" + std::to_string(++n), t.second);
    for (const auto& h : hostile) write(h.first, h.second);
    std::printf("wrote %zu movies to %s\n", typical.size() + hostile.size(), samples.c_str());
    return 0;
  }
  std::printf("Typical desktop animations at %d x %d:\n", kWidth, kHeight);
  for (const auto& t : typical) print(measure(t.first, t.second, 300));
  std::printf("Scripted animations at %d x %d:\n", kWidth, kHeight);
  for (const auto& t : scripted) print(measure(t.first, t.second, 300), true);
  std::printf("Heavy and hostile movies at %d x %d:\n", kWidth, kHeight);
  for (const auto& h : hostile) print(measure(h.first, h.second, 10));
  std::printf("Shipped movies at %d x %d:\n", kWidth, kHeight);
  for (const catalogue::ShippedMovie& movie : catalogue::allMovies())
    print(measure(movie.category + "/" + movie.name, movie.bytes, 240));

  std::unique_ptr<text::DeviceFonts> fonts = text::makeFreeTypeFonts(text::installedChineseFonts());
  player::PlayerServices withFonts;
  withFonts.deviceFonts = fonts.get();
  std::printf("Text at %d x %d (device fonts: %s):\n", kWidth, kHeight, fonts ? "FreeType" : "none installed");
  print(measure("a page of Chinese device text (20 x 30)", swftest::chineseTextPage(), 300, withFonts));
  print(measure("digital clock (device text, new each frame)", swftest::digitalClock(), 300, withFonts));

  std::printf("Sound (44.1 kHz stereo mix):\n");
  measureSound("one looping MP3 event sound", swftest::loopingMp3Movie(), 20);
  measureSound("one looping MP3 stream", swftest::loopingMp3Stream(), 20);

  if (suite.empty() || !std::filesystem::is_directory(suite)) {
    std::printf("(no reference suite given: pass its visual folder to time its movies)\n");
    return 0;
  }
  std::vector<Result> results;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(suite)) {
    if (entry.path().filename() != "test.swf") continue;
    std::string name = std::filesystem::relative(entry.path().parent_path(), suite).generic_string();
    results.push_back(measure(name, readFile(entry.path()), 100));
  }
  std::sort(results.begin(), results.end(),
            [](const Result& a, const Result& b) { return a.msPerFrame > b.msPerFrame; });
  std::printf("Heaviest reference movies at %d x %d:\n", kWidth, kHeight);
  for (size_t i = 0; i < results.size() && i < 6; ++i) print(results[i]);
  return 0;
}
