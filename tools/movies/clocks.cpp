// "时钟": clocks whose frame scripts read the time. Where dates cannot be read
// the hands rest at ten past ten and the second hand sweeps on its own, so
// the face always looks like a running clock.
#include <cmath>
#include <string>

#include "catalogue.h"
#include "movie_kit.h"

namespace catalogue {

using art::Affine;
using art::Outline;
using art::Pt;
using kit::Actor;
using kit::Pose;
using kit::Script;
using swftest::Bytes;

namespace {

// A minute of the second hand's own sweep, at the clocks' 12 frames a second.
constexpr int kFps = 12, kSweep = 60 * kFps;
// Ten past ten.
constexpr double kHourAngle = 305, kMinuteAngle = 60;

// ---- Numerals ---------------------------------------------------------------------

// The strokes of a digit in a box 0.6 wide and 1 high.
Outline digitStrokes(int digit) {
  art::Pen p;
  switch (digit) {
    case 0: return art::ellipse({0.3, 0.5}, 0.27, 0.48);
    case 1: p.moveTo({0.12, 0.2}).lineTo({0.34, 0}).lineTo({0.34, 1}); break;
    case 2:
      p.moveTo({0.04, 0.24}).cubicTo({0.06, 0.02}, {0.54, -0.02}, {0.55, 0.26});
      p.cubicTo({0.56, 0.48}, {0.2, 0.62}, {0.03, 1}).lineTo({0.58, 1});
      break;
    case 3:
      p.moveTo({0.05, 0.12}).cubicTo({0.2, -0.04}, {0.55, 0}, {0.54, 0.24});
      p.cubicTo({0.53, 0.44}, {0.34, 0.47}, {0.22, 0.47});
      p.moveTo({0.22, 0.47}).cubicTo({0.45, 0.47}, {0.6, 0.58}, {0.58, 0.74});
      p.cubicTo({0.56, 1.02}, {0.14, 1.04}, {0.03, 0.86});
      break;
    case 4: p.moveTo({0.46, 1}).lineTo({0.46, 0}).lineTo({0.02, 0.7}).lineTo({0.6, 0.7}); break;
    case 5:
      p.moveTo({0.55, 0}).lineTo({0.13, 0}).lineTo({0.08, 0.45});
      p.cubicTo({0.3, 0.36}, {0.6, 0.4}, {0.58, 0.68})
          .cubicTo({0.56, 1.02}, {0.14, 1.04}, {0.03, 0.86});
      break;
    case 6:
      p.moveTo({0.5, 0.04}).cubicTo({0.3, -0.05}, {0.04, 0.1}, {0.04, 0.64});
      return art::joined(p.outline(), art::ellipse({0.31, 0.71}, 0.27, 0.28));
    case 7: p.moveTo({0.02, 0}).lineTo({0.58, 0}).lineTo({0.2, 1}); break;
    case 8:
      return art::joined(art::ellipse({0.3, 0.25}, 0.22, 0.23),
                         art::ellipse({0.3, 0.73}, 0.27, 0.27));
    case 9:
      p.moveTo({0.56, 0.32}).cubicTo({0.56, 0.9}, {0.3, 1.05}, {0.1, 0.96});
      return art::joined(p.outline(), art::ellipse({0.29, 0.29}, 0.27, 0.28));
  }
  return p.outline();
}

// The number, `height` tall, centred on `centre`.
Outline numeral(int number, Pt centre, double height) {
  std::string text = std::to_string(number);
  double advance = 0.72 * height, width = advance * (text.size() - 1) + 0.6 * height;
  Outline out;
  for (size_t i = 0; i < text.size(); ++i) {
    Affine m = Affine::translate(centre.x - width / 2 + advance * i, centre.y - height / 2) *
               Affine::scale(height);
    out = art::joined(out, art::transformed(digitStrokes(text[i] - '0'), m));
  }
  return out;
}

// ---- Hands and faces --------------------------------------------------------------

// A hand pointing up from the centre: a slim leaf `length` long.
Outline handOutline(double length, double width, double tail) {
  return art::smooth({{0, tail},
                      {width * 0.55, tail * 0.4},
                      {width / 2, -length * 0.25},
                      {width * 0.22, -length * 0.8},
                      {0, -length},
                      {-width * 0.22, -length * 0.8},
                      {-width / 2, -length * 0.25},
                      {-width * 0.55, tail * 0.4}},
                     true);
}

struct Hands {
  uint16_t hour, minute, second, hourShadow, minuteShadow, secondShadow, cap;
};

art::Shape handShape(double length, double width, double tail, uint32_t color) {
  art::Shape hand;
  Outline o = handOutline(length, width, tail);
  hand.fill(o, art::linear({-width / 2, 0}, {width / 2, 0},
                           {{0, art::mix(color, 0xFFFFFFFF, 0.25)},
                            {128, color},
                            {255, art::mix(color, 0xFF000000, 0.3)}}));
  return hand;
}

art::Shape secondHandShape(double length, double tail, uint32_t color) {
  art::Shape hand;
  hand.fill(art::polygon({{-1.2, tail}, {1.2, tail}, {0.7, -length}, {-0.7, -length}}),
            art::solid(color));
  hand.fill(art::circle({0, tail}, 4.5), art::solid(color));
  hand.fill(art::circle({0, 0}, 4), art::solid(color));
  return hand;
}

Hands makeHands(kit::Movie& movie, double scale, uint32_t handColor, uint32_t secondColor,
                uint32_t capColor) {
  Hands h;
  auto both = [&](double length, double width, double tail, uint16_t* hand, uint16_t* shadow) {
    *hand = movie.add(handShape(length * scale, width * scale, tail * scale, handColor));
    art::Shape s;
    s.fill(handOutline(length * scale, width * scale, tail * scale), art::solid(0x30000000));
    *shadow = movie.add(s);
  };
  both(82, 10, 16, &h.hour, &h.hourShadow);
  both(120, 7.5, 20, &h.minute, &h.minuteShadow);
  h.second = movie.add(secondHandShape(132 * scale, 28 * scale, secondColor));
  art::Shape ss;
  ss.fill(art::polygon(
              {{-1.2, 28 * scale}, {1.2, 28 * scale}, {0.7, -132 * scale}, {-0.7, -132 * scale}}),
          art::solid(0x28000000));
  h.secondShadow = movie.add(ss);
  art::Shape cap;
  cap.fill(
      art::circle({0, 0}, 7 * scale),
      art::radial({-2, -2}, 8 * scale,
                  {{0, 0xFFFFFFFF}, {90, capColor}, {255, art::mix(capColor, 0xFF000000, 0.4)}}));
  cap.fill(art::circle({0, 0}, 2.4 * scale), art::solid(0xFF303030));
  h.cap = movie.add(cap);
  return h;
}

// Ticks, numerals and a soft glass shine on a round face of radius r.
art::Shape dialShape(Pt c, double r, uint32_t ink, bool allNumerals) {
  art::Shape dial;
  dial.fill(art::circle(c, r),
            art::radial({c.x - r * 0.2, c.y - r * 0.25}, r * 1.2,
                        {{0, 0xFFFFFFFF}, {190, 0xFFF8F4EC}, {255, 0xFFE4DCCB}}));
  for (bool hour : {false, true})
    for (int i = 0; i < 60; ++i) {
      double a = i * 6.0 - 90;
      if (hour != (i % 5 == 0)) continue;
      dial.stroke(
          art::segment(art::polar(c, r * (hour ? 0.84 : 0.895), a), art::polar(c, r * 0.93, a)),
          r * (hour ? 0.022 : 0.009), ink);
    }
  for (int n = 1; n <= 12; ++n) {
    if (!allNumerals && n % 3) continue;
    dial.stroke(numeral(n, art::polar(c, r * 0.7, n * 30.0 - 90), r * 0.15), r * 0.016, ink);
  }
  return dial;
}

// The clock's frame script: the hands set to the time (ticking seconds),
// the second hand's own sweep held at its start.
Bytes handsScript() {
  Script body;
  body.push("d").push(0).push("Date").op(kit::op::kNewObject).op(kit::op::kSetVariable);
  auto hourAngle = [](Script& s) {
    s.callMethod("d", "getHours", 0).push(12).op(kit::op::kModulo).push(30).op(kit::op::kMultiply);
    s.callMethod("d", "getMinutes", 0).pushFloat(0.5f).op(kit::op::kMultiply).op(kit::op::kAdd2);
  };
  auto minuteAngle = [](Script& s) {
    s.callMethod("d", "getMinutes", 0).push(6).op(kit::op::kMultiply);
    s.callMethod("d", "getSeconds", 0).pushFloat(0.1f).op(kit::op::kMultiply).op(kit::op::kAdd2);
  };
  auto secondAngle = [](Script& s) {
    s.callMethod("d", "getSeconds", 0).push(6).op(kit::op::kMultiply);
  };
  const std::pair<const char*, void (*)(Script&)> hands[] = {
      {"hour", hourAngle},           {"hourShadow", hourAngle}, {"minute", minuteAngle},
      {"minuteShadow", minuteAngle}, {"second", secondAngle},   {"secondShadow", secondAngle}};
  for (const auto& hand : hands) {
    body.push(hand.first).push(kit::op::kRotationProperty);
    hand.second(body);
    body.op(kit::op::kSetProperty);
  }
  for (const char* sweep : {"second", "secondShadow"})
    body.push(1).callMethod(sweep, "gotoAndStop", 1).op(kit::op::kPop);
  Script all = kit::datesWork();
  all.runIf(body);
  return all.bytes();
}

// A sprite turning one hand once a minute by itself.
uint16_t sweeping(kit::Movie& movie, uint16_t hand) {
  kit::Timeline t;
  kit::animate(
      t, kSweep,
      {Actor(hand, 1, [](int f) { return kit::posed(Affine::rotate(360.0 * f / kSweep)); })});
  return movie.add(t, kSweep);
}

// The hands of a clock centred on c, named for the script, with shadows
// `drop` pixels below, at depths from `firstDepth` on.
std::vector<Actor> handActors(kit::Movie& movie, const Hands& h, Pt c, double drop,
                              uint16_t firstDepth) {
  uint16_t secondSweep = sweeping(movie, h.second), shadowSweep = sweeping(movie, h.secondShadow);
  uint16_t hourSprite = movie.add(kit::still({{h.hour, Affine()}}), 1);
  uint16_t minuteSprite = movie.add(kit::still({{h.minute, Affine()}}), 1);
  uint16_t hourShadow = movie.add(kit::still({{h.hourShadow, Affine()}}), 1);
  uint16_t minuteShadow = movie.add(kit::still({{h.minuteShadow, Affine()}}), 1);
  Pt s{c.x + drop * 0.6, c.y + drop};
  uint16_t d = firstDepth;
  auto fixed = [](Affine m) { return [m](int) { return kit::posed(m); }; };
  return {
      Actor(hourShadow, d, fixed(art::at(s.x, s.y, kHourAngle)), "hourShadow"),
      Actor(minuteShadow, uint16_t(d + 1), fixed(art::at(s.x, s.y, kMinuteAngle)), "minuteShadow"),
      Actor(shadowSweep, uint16_t(d + 2), fixed(art::at(s.x, s.y)), "secondShadow"),
      Actor(hourSprite, uint16_t(d + 3), fixed(art::at(c.x, c.y, kHourAngle)), "hour"),
      Actor(minuteSprite, uint16_t(d + 4), fixed(art::at(c.x, c.y, kMinuteAngle)), "minute"),
      Actor(secondSweep, uint16_t(d + 5), fixed(art::at(c.x, c.y)), "second"),
      Actor(h.cap, uint16_t(d + 6), fixed(art::at(c.x, c.y)))};
}

// ---- 经典挂钟 ---------------------------------------------------------------------------

ShippedMovie wallClock() {
  kit::Movie movie(kWidth, kHeight, kFps);
  const Pt c{300, 200};
  const double r = 182;
  art::Shape body;
  // Rings rather than discs: the dial covers the middle, which so is never
  // painted twice.
  body.fill(art::ring({c.x + 5, c.y + 7}, r + 2, r - 30),
            art::radial({c.x + 5, c.y + 7}, r + 8,
                        {{0, 0x50000000}, {230, 0x38000000}, {255, 0x00000000}}));
  body.fill(art::ring(c, r, r - 10), art::linear({c.x - r, c.y - r}, {c.x + r, c.y + r},
                                                 {{0, 0xFFFFF0C4},
                                                  {70, 0xFFDDAE58},
                                                  {150, 0xFF9C6A24},
                                                  {215, 0xFFC89644},
                                                  {255, 0xFFF0D08A}}));
  body.fill(art::ring(c, r - 10, r - 18),
            art::linear({c.x + r, c.y + r}, {c.x - r, c.y - r},
                        {{0, 0xFFFFEAB8}, {110, 0xFFC89240}, {255, 0xFF7A4E18}}));
  body.stroke(art::circle(c, r - 0.5), 1, 0x907A4E18);
  uint16_t bodyId = movie.add(body);
  uint16_t dialId = movie.add(dialShape(c, r - 16, 0xFF26221E, true));
  art::Shape glass;
  art::Pen shine;
  shine.moveTo(art::polar(c, r - 24, 195)).arcTo(c, r - 24, 195, 265);
  shine.quadTo(art::polar(c, r * 0.35, 230), art::polar(c, r - 24, 195));
  glass.fill(shine.outline(),
             art::linear(art::polar(c, r, 230), c, {{0, 0x50FFFFFF}, {255, 0x00FFFFFF}}));
  uint16_t glassId = movie.add(glass);
  Hands hands = makeHands(movie, 1.0, 0xFF1E1C1A, 0xFFC8241C, 0xFFD8A848);
  std::vector<Actor> actors = {Actor(bodyId, 1, [](int) { return Pose(); }),
                               Actor(dialId, 2, [](int) { return Pose(); })};
  for (Actor& a : handActors(movie, hands, c, 4, 3)) actors.push_back(a);
  actors.push_back(Actor(glassId, 20, [](int) { return Pose(); }));
  Bytes script = handsScript();
  kit::animate(movie.root(), 2, actors, [&](int) { return script; });
  return {u8"时钟", u8"经典挂钟", kSweep, movie.finish(), true};
}

// ---- 摆钟 -------------------------------------------------------------------------------

ShippedMovie pendulumClock() {
  kit::Movie movie(kWidth, kHeight, kFps);
  const Pt c{300, 118};
  const double faceR = 78;
  const uint32_t woodLight = 0xFFA4522A, woodDark = 0xFF5A2410, gold = 0xFFE2B454;
  art::Shape back;
  back.fill(art::roundRect(218, 160, 394, 394, 18), art::solid(0x40000000));
  back.fill(art::roundRect(212, 150, 388, 388, 18),
            art::linear({212, 0}, {388, 0},
                        {{0, woodDark}, {90, woodLight}, {170, 0xFF8A4020}, {255, woodDark}}));
  back.fill(art::roundRect(238, 214, 362, 366, 12),
            art::linear({0, 214}, {0, 366}, {{0, 0xFF24100A}, {255, 0xFF3C1C10}}));
  back.stroke(art::roundRect(238, 214, 362, 366, 12), 4, gold);
  uint16_t backId = movie.add(back);
  // The pendulum, swinging once every two seconds.
  art::Shape pendulum;
  pendulum.fill(art::roundRect(-2.2, -4, 2.2, 122, 2),
                art::linear({-2.2, 0}, {2.2, 0}, {{0, 0xFFFFE8A0}, {255, 0xFFA07820}}));
  pendulum.fill(art::circle({0, 122}, 21),
                art::radial({-7, 115}, 30, {{0, 0xFFFFF6D0}, {80, gold}, {255, 0xFF8A6418}}));
  pendulum.stroke(art::circle({0, 122}, 14), 1.2, 0x80FFFFFF);
  uint16_t pendulumShape = movie.add(pendulum);
  const int swing = 2 * kFps;
  kit::Timeline swingTimeline;
  kit::animate(swingTimeline, swing, {Actor(pendulumShape, 1, [=](int f) {
                 return kit::posed(Affine::rotate(13 * kit::wave(double(f) / swing, 1, 0.25)));
               })});
  uint16_t pendulumId = movie.add(swingTimeline, swing);
  art::Shape window;
  art::Pen gloss;
  gloss.moveTo({246, 222}).lineTo({282, 222}).lineTo({252, 300}).lineTo({246, 300});
  window.fill(gloss.outline(), art::solid(0x22FFFFFF));
  window.fill(art::ring(c, faceR + 22, faceR + 2),
              art::linear({c.x - 100, 0}, {c.x + 100, 0},
                          {{0, woodDark}, {100, woodLight}, {255, woodDark}}));
  window.stroke(art::circle(c, faceR + 8), 5, gold);
  window.stroke(art::circle(c, faceR + 20), 1.5, 0xA0E8C070);
  window.stroke(art::segment({212, 166}, {388, 166}), 3, 0x80E2B454);
  uint16_t frontId = movie.add(window);
  uint16_t dialId = movie.add(dialShape(c, faceR + 4, 0xFF2A1E14, false));
  Hands hands = makeHands(movie, 0.6, 0xFF2A1A10, 0xFFB02018, gold);
  std::vector<Actor> actors = {
      Actor(backId, 1, [](int) { return Pose(); }),
      Actor(pendulumId, 2, [=](int) { return kit::posed(art::at(c.x, 218)); }),
      Actor(frontId, 3, [](int) { return Pose(); }), Actor(dialId, 4, [](int) { return Pose(); })};
  for (Actor& a : handActors(movie, hands, c, 2.5, 5)) actors.push_back(a);
  Bytes script = handsScript();
  kit::animate(movie.root(), 2, actors, [&](int) { return script; });
  return {u8"时钟", u8"摆钟", kSweep, movie.finish(), true};
}

// ---- 数字时钟 ------------------------------------------------------------------------------

// Seven segments a..g of a digit 60 x 110, each a slanted bar.
Outline segmentBar(int which) {
  const double w = 60, h = 110, t = 10, gap = 2, slant = 0.12;
  auto bar = [&](Pt a, Pt b) {
    Pt d = b - a;
    double len = std::hypot(d.x, d.y);
    Pt u = d * (1 / len), n{-u.y, u.x};
    a = a + u * gap;
    b = b - u * gap;
    std::vector<Pt> pts = {a, a + u * (t / 2) + n * (t / 2), b - u * (t / 2) + n * (t / 2),
                           b, b - u * (t / 2) - n * (t / 2), a + u * (t / 2) - n * (t / 2)};
    for (Pt& p : pts) p.x -= (p.y - h / 2) * slant;
    return art::polygon(pts);
  };
  const Pt corners[6] = {{t / 2, t / 2},     {w - t / 2, t / 2}, {t / 2, h / 2},
                         {w - t / 2, h / 2}, {t / 2, h - t / 2}, {w - t / 2, h - t / 2}};
  switch (which) {
    case 0: return bar(corners[0], corners[1]);   // a: top
    case 1: return bar(corners[1], corners[3]);   // b: top right
    case 2: return bar(corners[3], corners[5]);   // c: bottom right
    case 3: return bar(corners[4], corners[5]);   // d: bottom
    case 4: return bar(corners[2], corners[4]);   // e: bottom left
    case 5: return bar(corners[0], corners[2]);   // f: top left
    default: return bar(corners[2], corners[3]);  // g: middle
  }
}

art::Shape digitFace(int digit, uint32_t lit) {
  static const uint8_t kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
  art::Shape face;
  for (int s = 0; s < 7; ++s)
    if (!(kSegments[digit] & (1 << s)))
      face.fill(segmentBar(s), art::solid(art::withAlpha(lit, 34)));
  for (int s = 0; s < 7; ++s)
    if (kSegments[digit] & (1 << s))
      face.fill(segmentBar(s),
                art::linear({0, 0}, {0, 110}, {{0, art::mix(lit, 0xFFFFFFFF, 0.45)}, {255, lit}}));
  return face;
}

// A digit that the script sets by frame label ("d0" .. "d9"). Held digits
// start at `first` and stay; running ones count by themselves, one digit
// every `framesPerDigit` frames, from 0 to `count` - 1.
uint16_t digitSprite(kit::Movie& movie, const std::vector<uint16_t>& faces, int first, int count,
                     int framesPerDigit) {
  kit::Timeline t;
  bool held = framesPerDigit == 0;
  int frames = held ? 10 : count * framesPerDigit;
  for (int f = 0; f < frames; ++f) {
    int slot = held ? f : f / framesPerDigit;
    int digit = held ? (first + slot) % 10 : slot;
    bool starts = held || f % framesPerDigit == 0;
    if (starts) {
      if (f > 0) t.remove(1);
      kit::place(t, 1, faces[digit], Pose());
      t.label("d" + std::to_string(digit));
      if (held) t.action(swftest::act::stop());
    }
    t.showFrame();
  }
  return movie.add(t, frames);
}

Bytes digitalScript() {
  Script body;
  body.push("d").push(0).push("Date").op(kit::op::kNewObject).op(kit::op::kSetVariable);
  const std::pair<const char*, const char*> parts[] = {
      {"getHours", "h"}, {"getMinutes", "m"}, {"getSeconds", "s"}};
  for (const auto& part : parts) {
    for (int tens = 1; tens >= 0; --tens) {
      body.push("d");
      body.callMethod("d", part.first, 0).push(10).op(tens ? kit::op::kDivide : kit::op::kModulo);
      if (tens) body.op(kit::op::kToInteger);
      body.op(kit::op::kStringAdd);  // the label, the one argument
      body.callMethod(std::string(part.second) + (tens ? "1" : "2"), "gotoAndStop", 1)
          .op(kit::op::kPop);
    }
  }
  Script all = kit::datesWork();
  all.runIf(body);
  return all.bytes();
}

ShippedMovie digitalClock() {
  kit::Movie movie(kWidth, kHeight, kFps);
  const uint32_t lit = 0xFF38E0FF;
  art::Shape panel;
  // The shadow and the frame as bands: what lies under the screen is never painted.
  panel.fill(
      art::joined(art::roundRect(28, 104, 582, 312, 30), art::roundRect(20, 96, 580, 304, 28)),
      art::solid(0x38000000));
  panel.fill(
      art::joined(art::roundRect(20, 96, 580, 304, 28), art::roundRect(30, 106, 570, 294, 20)),
      art::linear({0, 96}, {0, 304}, {{0, 0xF0303848}, {255, 0xF0101420}}));
  panel.fill(art::roundRect(30, 106, 570, 294, 20),
             art::linear({0, 106}, {0, 294}, {{0, 0xFF0A1220}, {255, 0xFF060A12}}));
  panel.stroke(art::roundRect(20, 96, 580, 304, 28), 2, 0x90708090);
  panel.fill(art::polygon({{40, 110}, {560, 110}, {560, 150}, {40, 190}}), art::solid(0x0CFFFFFF));
  uint16_t panelId = movie.add(panel);
  std::vector<uint16_t> faces;
  for (int d = 0; d < 10; ++d) faces.push_back(movie.add(digitFace(d, lit)));
  art::Shape colon;
  colon.fill(art::circle({0, -22}, 6.5), art::solid(lit));
  colon.fill(art::circle({-5, 22}, 6.5), art::solid(lit));
  uint16_t colonId = movie.add(colon);
  // Ten past ten until the script sets the time; the seconds count by themselves.
  uint16_t h1 = digitSprite(movie, faces, 1, 0, 0), h2 = digitSprite(movie, faces, 0, 0, 0);
  uint16_t m1 = digitSprite(movie, faces, 1, 0, 0), m2 = digitSprite(movie, faces, 0, 0, 0);
  uint16_t s1 = digitSprite(movie, faces, 0, 6, 10 * kFps),
           s2 = digitSprite(movie, faces, 0, 10, kFps);
  auto fixed = [](Affine m) { return [m](int) { return kit::posed(m); }; };
  const double y = 145;
  std::vector<Actor> actors = {Actor(panelId, 1, fixed(Affine())),
                               Actor(h1, 3, fixed(art::at(62, y)), "h1"),
                               Actor(h2, 4, fixed(art::at(140, y)), "h2"),
                               Actor(m1, 6, fixed(art::at(262, y)), "m1"),
                               Actor(m2, 7, fixed(art::at(340, y)), "m2"),
                               Actor(s1, 8, fixed(art::at(438, y + 50, 0, 0.5, 0.5)), "s1"),
                               Actor(s2, 9, fixed(art::at(478, y + 50, 0, 0.5, 0.5)), "s2"),
                               Actor(colonId, 5, [](int f) {
                                 Pose p = kit::posed(art::at(226, 200));
                                 p.alpha = f < kFps / 2 ? 1 : 0.15;
                                 return p;
                               })};
  Bytes script = digitalScript();
  kit::animate(movie.root(), kFps, actors, [&](int) { return script; });
  return {u8"时钟", u8"数字时钟", 6 * 10 * kFps, movie.finish(), true};
}

// ---- 小闹钟 --------------------------------------------------------------------------------

ShippedMovie alarmClock() {
  kit::Movie movie(kWidth, kHeight, kFps);
  const Pt c{300, 212};
  const double r = 118;
  const uint32_t red = 0xFFE8404A, redDark = 0xFFA01C2C, gold = 0xFFF2C24E;
  art::Shape shadow;
  shadow.fill(art::ellipse({300, 376}, 120, 10),
              art::radial({300, 376}, 120, 10, 0, {{0, 0x50000000}, {255, 0x00000000}}));
  uint16_t shadowId = movie.add(shadow);
  art::Shape bells;
  for (int side : {-1, 1}) {
    Pt b = art::polar(c, r + 6, -90 + side * 42);
    Affine m = art::at(b.x, b.y, side * 42);
    Outline dome = art::transformed(
        art::smooth({{-40, 8}, {-34, -16}, {0, -34}, {34, -16}, {40, 8}}, true), m);
    bells.fill(dome, art::radial(m.apply({-10, -18}), 52,
                                 {{0, 0xFFFFF4C8}, {90, gold}, {255, 0xFFB07A1C}}));
    bells.fill(art::transformed(art::circle({0, -38}, 5), m), art::solid(gold));
  }
  bells.stroke(art::Pen()
                   .moveTo(art::polar(c, r - 4, -125))
                   .quadTo({c.x, c.y - r - 66}, art::polar(c, r - 4, -55))
                   .outline(),
               7, 0xFF8C8C98);
  for (int side : {-1, 1})
    bells.stroke(
        art::segment(art::polar(c, r - 10, 90 + side * 40), art::polar(c, r + 30, 90 + side * 40)),
        9, 0xFF7A1A26);
  uint16_t bellsId = movie.add(bells);
  art::Shape hammer;
  hammer.stroke(art::segment({0, 0}, {0, -44}), 4, 0xFF8C8C98);
  hammer.fill(art::ellipse({0, -46}, 9, 6), art::solid(0xFFB0B0BC));
  uint16_t hammerId = movie.add(hammer);
  art::Shape body;
  body.fill(art::ring(c, r, r - 13), art::radial({c.x - 40, c.y - 50}, r * 1.5,
                                                 {{0, 0xFFFF8A8A}, {90, red}, {255, redDark}}));
  body.fill(art::ring(c, r - 12, r - 18), art::solid(0xFFF4F4F4));
  body.stroke(art::circle(c, r - 12), 3, 0xFFB8B8C0);
  uint16_t bodyId = movie.add(body);
  uint16_t dialId = movie.add(dialShape(c, r - 16, 0xFF40343A, false));
  art::Shape face;
  face.fill(art::ellipse({c.x - 32, c.y + 36}, 12, 7), art::solid(0x50FF7A8A));
  face.fill(art::ellipse({c.x + 32, c.y + 36}, 12, 7), art::solid(0x50FF7A8A));
  art::Pen shine;
  shine.moveTo(art::polar(c, r - 5, 200))
      .arcTo(c, r - 5, 200, 250)
      .quadTo(art::polar(c, r * 0.6, 225), art::polar(c, r - 5, 200));
  face.fill(shine.outline(), art::solid(0x60FFFFFF));
  uint16_t faceId = movie.add(face);
  Hands hands = makeHands(movie, 0.72, 0xFF33282E, 0xFFE8404A, gold);
  // Every ten seconds it jiggles for a moment, as if about to ring.
  const int rest = 10 * kFps;
  auto jiggle = [=](int f) {
    int l = f % rest;
    return l < 14 ? 3.5 * std::sin(l * 2.4) * (1 - l / 14.0) : 0.0;
  };
  auto breathe = [=](int f) { return 1 + 0.012 * kit::wave(double(f) / rest, 2); };
  std::vector<Actor> parts = {
      Actor(hammerId, 1,
            [=](int f) { return kit::posed(art::at(c.x, c.y - r + 4, 8 * jiggle(f))); }),
      Actor(bellsId, 2, [](int) { return Pose(); }), Actor(bodyId, 3, [](int) { return Pose(); }),
      Actor(dialId, 4, [](int) { return Pose(); }), Actor(faceId, 5, [](int) { return Pose(); })};
  for (Actor& a : handActors(movie, hands, c, 2.5, 6)) parts.push_back(a);
  // The clock is one sprite, rocked about its feet.
  kit::Timeline clockTimeline;
  Bytes script = handsScript();
  kit::animate(clockTimeline, 2, parts, [&](int) { return script; });
  uint16_t clockId = movie.add(clockTimeline, 2);
  kit::animate(movie.root(), rest,
               {Actor(shadowId, 1, [](int) { return Pose(); }), Actor(clockId, 2, [=](int f) {
                  double s = breathe(f);
                  return kit::posed(Affine::translate(300, 360) * Affine::rotate(jiggle(f)) *
                                    Affine::scale(1 / s, s) * Affine::translate(-300, -360));
                })});
  return {u8"时钟", u8"小闹钟", kSweep, movie.finish(), true};
}

}  // namespace

std::vector<ShippedMovie> clockMovies() {
  return {wallClock(), pendulumClock(), digitalClock(), alarmClock()};
}

}  // namespace catalogue
