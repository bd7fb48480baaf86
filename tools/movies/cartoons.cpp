// "动漫": a cat strolling across the desktop, a goldfish bowl and a penguin
// waddling in place.
#include <algorithm>
#include <cmath>

#include "catalogue.h"
#include "movie_kit.h"

namespace catalogue {

using art::Affine;
using art::Outline;
using art::Pt;
using kit::Actor;
using kit::Pose;

namespace {

// ---- 小猫散步 -------------------------------------------------------------------

const uint32_t kFur = 0xFFF0A04E, kFurDark = 0xFFD57C32, kCream = 0xFFFFE6C4, kInk = 0xFF3A2618;

art::Shape catBody() {
  art::Shape body;
  Outline o = art::smooth({{-40, -68},
                           {-10, -72},
                           {28, -72},
                           {46, -60},
                           {42, -42},
                           {12, -35},
                           {-24, -36},
                           {-47, -44},
                           {-50, -58}},
                          true);
  body.fill(o, art::linear({0, -74}, {0, -34}, {{0, kFur}, {150, 0xFFF6B86A}, {255, kCream}}));
  for (double x : {-30.0, -14.0, 2.0})
    body.stroke(art::curve({x, -70.5}, {x + 5, -63}, {x + 2, -56}), 4.5, kFurDark);
  body.stroke(o, 1.2, 0x60A0581E);
  return body;
}

art::Shape catLeg(bool near) {
  art::Shape leg;
  uint32_t top = near ? kFur : 0xFFD88A42, low = near ? 0xFFF6B86A : 0xFFD89A5A;
  leg.fill(art::roundRect(-5.5, -4, 5.5, 30, 5.5),
           art::linear({0, -4}, {0, 30}, {{0, top}, {255, low}}));
  leg.fill(art::ellipse({1.8, 30.5}, 7.5, 4.8), art::solid(near ? kCream : 0xFFE8CFA8));
  leg.stroke(art::roundRect(-5.5, -4, 5.5, 30, 5.5), 1, 0x50A0581E);
  return leg;
}

art::Shape catTail() {
  art::Shape tail;
  Outline line = art::smooth({{0, 0}, {-12, -4}, {-22, -16}, {-26, -34}, {-20, -49}}, false);
  tail.stroke(line, 10.5, 0x60A0581E);
  tail.stroke(line, 9, kFur);
  tail.stroke(art::smooth({{-25, -33}, {-24.5, -42}, {-20, -49}}, false), 9, kFurDark);
  return tail;
}

art::Shape catHead(bool eyesOpen) {
  art::Shape head;
  head.fill(art::polygon({{-16, -10}, {-11, -33}, {3, -17}}), art::solid(0xFFDC8A40));
  head.fill(art::polygon({{-12, -13}, {-10, -26}, {-1, -16}}), art::solid(0xFFF7A9A0));
  Outline face = art::smooth(
      {{-22, 0}, {-18, -14}, {0, -19}, {18, -16}, {26, -2}, {22, 12}, {6, 18}, {-12, 16}, {-22, 8}},
      true);
  head.fill(art::polygon({{2, -18}, {15, -34}, {19, -9}}), art::solid(kFur));
  head.fill(art::polygon({{6, -17}, {14, -28}, {16, -12}}), art::solid(0xFFF7A9A0));
  head.fill(face, art::radial({2, -4}, 30, {{0, 0xFFF8B66A}, {255, kFur}}));
  head.fill(art::ellipse({13, 9}, 12, 7.5), art::solid(kCream));
  head.fill(art::ellipse({4, 6}, 4, 2.4), art::solid(0x70FF8C8C));
  head.fill(art::ellipse({24, 6}, 2.6, 2), art::solid(0x60FF8C8C));
  if (eyesOpen) {
    for (double x : {4.0, 17.0}) {
      head.fill(art::ellipse({x, -3}, 3.6, 4.8), art::solid(0xFF2B2320));
      head.fill(art::circle({x + 1.1, -4.8}, 1.3), art::solid(0xFFFFFFFF));
    }
  }
  head.fill(art::polygon({{19.5, 2.5}, {25.5, 2.5}, {22.5, 6}}), art::solid(0xFFE87F8A));
  if (!eyesOpen)
    for (double x : {4.0, 17.0})
      head.stroke(art::curve({x - 4, -3}, {x, 1}, {x + 4, -3}), 1.6, kInk);
  head.stroke(art::segment({22.5, 6}, {22.5, 8.5}), 1, kInk);
  head.stroke(art::curve({22.5, 8.5}, {20, 11.5}, {17.5, 9.5}), 1, kInk);
  head.stroke(art::curve({22.5, 8.5}, {25, 11.5}, {27.5, 9.5}), 1, kInk);
  for (int k = 0; k < 3; ++k) {
    head.stroke(art::curve({27, 5.0f + 2 * k}, {34, 3.0f + 4 * k}, {42, 1.0f + 6 * k}), 0.8,
                0xB0603A20);
    head.stroke(art::curve({3, 8.0f + 2 * k}, {-5, 7.0f + 3 * k}, {-12, 6.0f + 5 * k}), 0.8,
                0x90603A20);
  }
  for (double x : {-4.0, 1.0, 6.0})
    head.stroke(art::segment({x, -17}, {x + 0.5, -11}), 2.2, kFurDark);
  head.stroke(face, 1.2, 0x60A0581E);
  return head;
}

ShippedMovie walkingCat() {
  const int loop = 240, step = 15, blinkLoop = 120;
  kit::Movie movie(kWidth, kHeight, 24);
  uint16_t body = movie.add(catBody()), nearLeg = movie.add(catLeg(true)),
           farLeg = movie.add(catLeg(false));
  uint16_t tail = movie.add(catTail()), headOpen = movie.add(catHead(true)),
           headShut = movie.add(catHead(false));
  uint16_t shadow = movie.add(art::groundShadow({0, 0}, 62, 8));

  // The head blinks twice in a while.
  kit::Timeline headTimeline;
  kit::animate(headTimeline, blinkLoop,
               {Actor(headOpen, 1,
                      [](int f) {
                        Pose p;
                        p.shown = !(f >= 90 && f < 93) && !(f >= 97 && f < 100);
                        return p;
                      }),
                Actor(headShut, 2, [](int f) {
                  Pose p;
                  p.shown = (f >= 90 && f < 93) || (f >= 97 && f < 100);
                  return p;
                })});
  uint16_t head = movie.add(headTimeline, blinkLoop);

  // One step: legs in a walk's order (back, front, other back, other front),
  // the body bobbing twice, the tail swaying once.
  auto legPose = [step](Pt hip, double phase) {
    return [step, hip, phase](int f) {
      double t = double(f) / step;
      double s = kit::wave(t, 1, phase), c = kit::wave(t, 1, phase + 0.25);
      double bob = 1.4 * kit::wave(t, 2);
      return kit::posed(art::at(hip.x, hip.y + bob, -17 * s, 1, 1 - 0.14 * std::max(0.0, c)));
    };
  };
  kit::Timeline walk;
  kit::animate(
      walk, step,
      {Actor(farLeg, 1, legPose({-32, -42}, 0.5)), Actor(farLeg, 2, legPose({30, -42}, 0.75)),
       Actor(tail, 3,
             [step](int f) {
               double t = double(f) / step;
               return kit::posed(
                   art::at(-46, -57 + 1.4 * kit::wave(t, 2), 10 * kit::wave(t, 1, 0.1)));
             }),
       Actor(
           body, 4,
           [step](int f) { return kit::posed(art::at(0, 1.4 * kit::wave(double(f) / step, 2))); }),
       Actor(nearLeg, 5, legPose({-27, -40}, 0)), Actor(nearLeg, 6, legPose({34, -40}, 0.25)),
       Actor(head, 7, [step](int f) {
         double t = double(f) / step;
         return kit::posed(art::at(50, -77 + 1.8 * kit::wave(t, 2, 0.1), 2.5 * kit::wave(t, 2)));
       })});
  uint16_t cat = movie.add(walk, step);

  const double scale = 1.35, ground = 338;
  // It starts on the stage; it leaves and comes back in off the stage.
  auto along = [loop](int f) {
    double t = double(f) / loop + 0.35;
    return -130 + (kWidth + 260) * (t - std::floor(t));
  };
  kit::animate(
      movie.root(), loop,
      {Actor(shadow, 1,
             [=](int f) { return kit::posed(art::at(along(f), ground + 2, 0, scale, scale)); }),
       Actor(cat, 2,
             [=](int f) { return kit::posed(art::at(along(f), ground, 0, scale, scale)); })});
  return {u8"动漫", u8"小猫散步", loop, movie.finish()};
}

// ---- 金鱼缸 -----------------------------------------------------------------------

const Pt kBowl{300, 212};
const double kBowlRadius = 152, kMouthY = 92, kWaterY = 148, kSandY = 318;

// The part of a circle below the chord at height y, as one closed outline.
Outline circleBelow(Pt c, double r, double y) {
  double a = std::asin(std::max(-1.0, std::min(1.0, (y - c.y) / r))) * 180 / art::kPi;
  art::Pen pen;
  pen.moveTo(art::polar(c, r, a)).arcTo(c, r, a, 180 - a).lineTo(art::polar(c, r, a));
  return pen.outline();
}

art::Shape goldfishBody(uint32_t back, uint32_t belly) {
  art::Shape fish;
  Outline body = art::smooth(
      {{30, 0}, {22, -12}, {4, -16}, {-14, -11}, {-24, -3}, {-24, 3}, {-14, 11}, {4, 16}, {22, 12}},
      true);
  fish.fill(body, art::linear({0, -16}, {0, 16},
                              {{0, back}, {140, art::mix(back, belly, 0.6)}, {255, belly}}));
  fish.fill(art::ellipse({6, -7}, 14, 4), art::solid(0x40FFFFFF));
  fish.stroke(art::curve({14, -10}, {9, 0}, {14, 10}), 1.2,
              art::withAlpha(art::mix(back, 0xFF000000, 0.3), 160));
  for (int k = 0; k < 4; ++k)
    fish.stroke(art::curve({-4.0 - 6 * k, -8}, {-1.0 - 6 * k, 0}, {-4.0 - 6 * k, 8}), 0.7,
                art::withAlpha(art::mix(back, 0xFF000000, 0.2), 90));
  fish.fill(art::circle({21, -3}, 4.4), art::solid(0xFFFFFFFF));
  fish.fill(art::circle({22, -3}, 2.6), art::solid(0xFF1E1A22));
  fish.fill(art::circle({22.8, -4}, 0.9), art::solid(0xFFFFFFFF));
  fish.stroke(body, 1, art::withAlpha(art::mix(back, 0xFF000000, 0.35), 150));
  return fish;
}

art::Shape fishFin(const Outline& o, uint32_t color, Pt from, Pt to) {
  art::Shape fin;
  fin.fill(o, art::linear(from, to,
                          {{0, art::withAlpha(color, 235)},
                           {255, art::withAlpha(art::mix(color, 0xFFFFFFFF, 0.45), 120)}}));
  fin.stroke(o, 0.8, art::withAlpha(art::mix(color, 0xFF000000, 0.3), 120));
  return fin;
}

// A fish swimming with its tail and fins, one stroke every 12 frames.
uint16_t goldfish(kit::Movie& movie, uint32_t back, uint32_t belly) {
  Outline tail = art::smooth(
      {{0, 0}, {-12, -12}, {-30, -20}, {-25, -5}, {-28, 0}, {-25, 5}, {-30, 20}, {-12, 12}}, true);
  uint16_t tailId = movie.add(fishFin(tail, back, {0, 0}, {-30, 0}));
  uint16_t dorsal = movie.add(
      fishFin(art::smooth({{10, 0}, {0, -10}, {-14, -9}, {-10, 0}}, true), back, {0, 0}, {0, -10}));
  uint16_t pectoral = movie.add(
      fishFin(art::smooth({{0, 0}, {-6, 8}, {-13, 9}, {-7, 2}}, true), belly, {0, 0}, {-12, 8}));
  uint16_t body = movie.add(goldfishBody(back, belly));
  const int stroke = 12;
  kit::Timeline swim;
  kit::animate(
      swim, stroke,
      {Actor(tailId, 1,
             [=](int f) {
               return kit::posed(art::at(-22, 0, 16 * kit::wave(double(f) / stroke), 1, 1));
             }),
       Actor(dorsal, 2,
             [=](int f) {
               return kit::posed(
                   art::at(2, -13, 0, 1 - 0.1 * kit::wave(double(f) / stroke, 1, 0.2), 1));
             }),
       Actor(body, 3, [](int) { return Pose(); }), Actor(pectoral, 4, [=](int f) {
         return kit::posed(art::at(8, 8, 18 * kit::wave(double(f) / stroke, 1, 0.3)));
       })});
  return movie.add(swim, stroke);
}

// Seaweed from its root, bent by `bend` (-1 left .. 1 right).
Outline seaweed(Pt root, double height, double bend, double wiggle) {
  std::vector<Pt> centre;
  std::vector<double> widths;
  const int n = 9;
  for (int i = 0; i < n; ++i) {
    double u = double(i) / (n - 1);
    centre.push_back({root.x + bend * 26 * u * u + wiggle * std::sin(u * 7), root.y - height * u});
    widths.push_back(15 * (1 - u) + 3);
  }
  return art::ribbon(centre, widths);
}

ShippedMovie fishBowl() {
  const int loop = 240;
  kit::Movie movie(kWidth, kHeight, 24);
  uint16_t shadow = movie.add(art::groundShadow({0, 0}, 120, 11));
  art::Shape glass;
  glass.fill(
      circleBelow(kBowl, kBowlRadius, kMouthY),
      art::radial(kBowl, kBowlRadius,
                  {{0, 0x10FFFFFF}, {200, 0x1AC8ECFF}, {238, 0x38A8D8F0}, {255, 0x70E0F8FF}}));
  uint16_t glassId = movie.add(glass);
  art::Shape water;
  water.fill(
      circleBelow(kBowl, kBowlRadius - 5, kWaterY),
      art::linear({0, kWaterY}, {0, kBowl.y + kBowlRadius}, {{0, 0x9070CAF2}, {255, 0xC82A7CBE}}));
  water.fill(
      circleBelow(kBowl, kBowlRadius - 5, kSandY),
      art::linear({0, kSandY}, {0, kBowl.y + kBowlRadius}, {{0, 0xFFE6CC92}, {255, 0xFFBE9A5C}}));
  Scatter s(31);
  const uint32_t pebbles[] = {0xFF8A8FA0, 0xFFB07A5A, 0xFFE0E0D8, 0xFF6E8E6A, 0xFFC89A70};
  for (int i = 0; i < 16; ++i) {
    double x = s.between(kBowl.x - 110, kBowl.x + 110);
    double half = std::sqrt(
        std::max(0.0, (kBowlRadius - 12) * (kBowlRadius - 12) - (x - kBowl.x) * (x - kBowl.x)));
    double y = std::min(kSandY + s.between(2, 24), kBowl.y + half - 6);
    double rx = s.between(4, 8.5);
    water.fill(art::ellipse({x, y}, rx, rx * 0.65),
               art::radial({x - 2, y - 2}, rx * 1.3,
                           {{0, 0xFFFFFFFF},
                            {60, pebbles[i % 5]},
                            {255, art::mix(pebbles[i % 5], 0xFF000000, 0.3)}}));
  }
  uint16_t waterId = movie.add(water);
  std::vector<uint16_t> weeds;
  const Pt weedRoots[] = {{225, 330}, {240, 334}, {372, 332}};
  const double weedHeights[] = {120, 88, 104};
  for (int i = 0; i < 3; ++i) {
    Outline left = seaweed(weedRoots[i], weedHeights[i], -1, 4),
            right = seaweed(weedRoots[i], weedHeights[i], 1, -4);
    uint32_t green = i == 1 ? 0xFF5CBF4A : 0xFF2E9A4E;
    art::Paint paint = art::linear(
        weedRoots[i], weedRoots[i] - Pt{0, weedHeights[i]},
        {{0, art::mix(green, 0xFF000000, 0.35)}, {255, art::mix(green, 0xFFFFFFFF, 0.25)}});
    weeds.push_back(movie.addMorph(left, paint, right, paint));
  }
  uint16_t fishA = goldfish(movie, 0xFFFF6A1C, 0xFFFFD080),
           fishB = goldfish(movie, 0xFFF04848, 0xFFFFE0C0);
  uint16_t fishC = goldfish(movie, 0xFF3C8CE8, 0xFFC8F0FF);
  art::Shape bubble;
  bubble.fill(art::circle({0, 0}, 3),
              art::radial({0, 0}, 3, {{0, 0x30FFFFFF}, {190, 0x50E8F8FF}, {255, 0xD0FFFFFF}}));
  bubble.fill(art::circle({-1, -1}, 0.9), art::solid(0xE0FFFFFF));
  uint16_t bubbleId = movie.add(bubble);
  art::Shape surface;
  double half =
      std::sqrt(kBowlRadius * kBowlRadius - (kWaterY - kBowl.y) * (kWaterY - kBowl.y)) - 5;
  surface.fill(
      art::ellipse({kBowl.x, kWaterY}, half, 9),
      art::linear({0, kWaterY - 9}, {0, kWaterY + 9}, {{0, 0x90D8F6FF}, {255, 0x5070C8F0}}));
  surface.stroke(art::ellipse({kBowl.x, kWaterY}, half, 9), 1.2, 0xB0E8FCFF);
  uint16_t surfaceId = movie.add(surface);
  art::Shape rim;
  double mouth = std::sqrt(kBowlRadius * kBowlRadius - (kMouthY - kBowl.y) * (kMouthY - kBowl.y));
  rim.stroke(art::ellipse({kBowl.x, kMouthY}, mouth, 10), 4, 0xB0D8F2FF);
  rim.stroke(art::ellipse({kBowl.x, kMouthY}, mouth, 10), 1.5, 0xE0FFFFFF);
  rim.stroke(circleBelow(kBowl, kBowlRadius, kMouthY + 3), 1.6, 0x90C8ECFF);
  art::Pen shine;
  shine.moveTo(art::polar(kBowl, 136, 200)).arcTo(kBowl, 136, 200, 245);
  shine.lineTo(art::polar(kBowl, 124, 240)).arcTo(kBowl, 124, 240, 203);
  rim.fill(shine.outline(), art::solid(0x90FFFFFF));
  rim.fill(art::ellipse(art::polar(kBowl, 128, 25), 7, 16), art::solid(0x50FFFFFF));
  uint16_t rimId = movie.add(rim);

  std::vector<Actor> actors;
  uint16_t depth = 1;
  actors.push_back({shadow, depth++,
                    [](int) { return kit::posed(art::at(kBowl.x, kBowl.y + kBowlRadius + 4)); }});
  actors.push_back({glassId, depth++, [](int) { return Pose(); }});
  actors.push_back({waterId, depth++, [](int) { return Pose(); }});
  for (int i = 0; i < 3; ++i)
    actors.push_back({weeds[i], depth++, [=](int f) {
                        Pose p;
                        p.ratio = static_cast<int>(
                            32767.5 + 32767.5 * kit::wave(double(f) / loop, 2 + i % 2, 0.3 * i));
                        return p;
                      }});
  // Fish swim to and fro and turn about (their width passing through 0).
  struct Swimmer {
    uint16_t id;
    double centreX, span, y, bob, size, phase;
    int laps;
  };
  const Swimmer swimmers[] = {{fishC, 300, 60, 290, 6, 0.62, 0.5, 2},
                              {fishA, 300, 78, 228, 10, 1.0, 0.0, 1},
                              {fishB, 296, 70, 262, 9, 0.85, 0.35, 1}};
  for (const Swimmer& w : swimmers)
    actors.push_back({w.id, depth++, [=](int f) {
                        double t = double(f) / loop;
                        double x = w.centreX + w.span * kit::wave(t, w.laps, w.phase);
                        double facing = kit::wave(t, w.laps, w.phase + 0.25);
                        double y = w.y + w.bob * kit::wave(t, 2 * w.laps, w.phase + 0.1);
                        double turn =
                            std::fabs(facing) < 0.12 ? 0.12 * (facing < 0 ? -1 : 1) : facing;
                        return kit::posed(art::at(x, y, 0, w.size * turn, w.size));
                      }});
  for (int i = 0; i < 7; ++i) {
    double x0 = i < 4 ? 352 : 238, offset = (i % 4) / 4.0 + (i < 4 ? 0 : 0.13);
    actors.push_back({bubbleId, depth++, [=](int f) {
                        double t = double(f) / loop;
                        double u = std::fmod(offset + 3 * t, 1.0);
                        Pose p;
                        double y = kSandY - 4 - u * (kSandY - kWaterY - 4);
                        p.m = art::at(x0 + 4 * kit::wave(t, 9, i * 0.3), y, 0, 0.7 + 0.6 * u,
                                      0.7 + 0.6 * u);
                        return p;
                      }});
  }
  actors.push_back({surfaceId, depth++, [=](int f) {
                      double t = double(f) / loop;
                      return kit::posed(art::at(kBowl.x, kWaterY + 1.2 * kit::wave(t, 4), 0, 1,
                                                1 + 0.12 * kit::wave(t, 6)) *
                                        Affine::translate(-kBowl.x, -kWaterY));
                    }});
  actors.push_back({rimId, depth++, [](int) { return Pose(); }});
  kit::animate(movie.root(), loop, actors);
  return {u8"动漫", u8"金鱼缸", loop, movie.finish()};
}

// ---- 摇摆企鹅 -----------------------------------------------------------------------

art::Shape penguinBody(bool eyesOpen) {
  art::Shape p;
  p.fill(art::ellipse({0, -95}, 62, 92),
         art::radial({-22, -132}, 130, {{0, 0xFF44516E}, {255, 0xFF141A2A}}));
  Outline front = art::smooth({{0, -156},
                               {26, -152},
                               {38, -128},
                               {34, -104},
                               {44, -70},
                               {36, -30},
                               {0, -12},
                               {-36, -30},
                               {-44, -70},
                               {-34, -104},
                               {-38, -128},
                               {-26, -152}},
                              true);
  p.fill(front,
         art::radial({-8, -96}, 80, {{0, 0xFFFFFFFF}, {200, 0xFFF2F6FA}, {255, 0xFFD8E2EE}}));
  p.fill(art::ellipse({-27, -118}, 8, 5), art::solid(0x80FF9AA8));
  p.fill(art::ellipse({27, -118}, 8, 5), art::solid(0x80FF9AA8));
  for (double x : {-15.0, 15.0}) {
    if (eyesOpen) {
      p.fill(art::ellipse({x, -134}, 6.5, 8.5), art::solid(0xFF161A24));
      p.fill(art::circle({x + 2, -137}, 2.2), art::solid(0xFFFFFFFF));
      p.fill(art::circle({x - 2, -131}, 1), art::solid(0xC0FFFFFF));
    } else {
      p.stroke(art::curve({x - 6.5, -134}, {x, -128}, {x + 6.5, -134}), 2.2, 0xFF161A24);
    }
  }
  p.fill(art::smooth({{-10, -126}, {0, -129}, {10, -126}, {0, -113}}, true),
         art::linear({0, -129}, {0, -113}, {{0, 0xFFFFC24A}, {255, 0xFFF08A24}}));
  // The scarf round the neck.
  Outline scarf =
      art::smooth({{-50, -112}, {0, -100}, {50, -112}, {52, -100}, {0, -86}, {-52, -100}}, true);
  p.fill(scarf, art::linear({0, -112}, {0, -86}, {{0, 0xFFF24A4A}, {255, 0xFFB82434}}));
  for (double x : {-30.0, -10.0, 10.0, 30.0})
    p.stroke(art::segment({x, -104 + std::fabs(x) * 0.2}, {x + 4, -91 + std::fabs(x) * 0.2}), 3,
             0x60FFFFFF);
  return p;
}

art::Shape penguinFlipper() {
  art::Shape f;
  Outline o = art::smooth({{0, 0}, {-8, 12}, {-18, 42}, {-13, 58}, {-3, 44}, {5, 12}}, true);
  f.fill(o, art::linear({0, 0}, {-15, 58}, {{0, 0xFF283250}, {255, 0xFF121826}}));
  return f;
}

art::Shape penguinFoot() {
  art::Shape f;
  Outline o = art::smooth({{-16, 0}, {-10, -7}, {10, -7}, {18, -1}, {10, 4}, {-10, 4}}, true);
  f.fill(o, art::linear({0, -7}, {0, 4}, {{0, 0xFFFFB03A}, {255, 0xFFE07A1C}}));
  return f;
}

art::Shape scarfEnd() {
  art::Shape s;
  Outline o = art::smooth({{0, 0}, {8, 2}, {12, 30}, {8, 42}, {0, 40}, {-2, 12}}, true);
  s.fill(o, art::linear({0, 0}, {0, 42}, {{0, 0xFFE23C44}, {255, 0xFFB02030}}));
  s.stroke(art::segment({1, 36}, {9, 37}), 2, 0x70FFFFFF);
  return s;
}

art::Shape heart() {
  art::Shape h;
  art::Pen pen;
  pen.moveTo({0, 4})
      .cubicTo({-2, -1}, {-10, -2}, {-10, -7})
      .cubicTo({-10, -12}, {-3, -13}, {0, -8});
  pen.cubicTo({3, -13}, {10, -12}, {10, -7}).cubicTo({10, -2}, {2, -1}, {0, 4});
  h.fill(pen.outline(), art::radial({-3, -8}, 12, {{0, 0xFFFFB8C8}, {255, 0xFFFF4F7A}}));
  return h;
}

ShippedMovie waddlingPenguin() {
  const int loop = 240, waddle = 40;
  kit::Movie movie(kWidth, kHeight, 24);
  uint16_t bodyOpen = movie.add(penguinBody(true)), bodyShut = movie.add(penguinBody(false));
  uint16_t flipper = movie.add(penguinFlipper()), foot = movie.add(penguinFoot()),
           scarf = movie.add(scarfEnd());
  uint16_t heartId = movie.add(heart()), shadow = movie.add(art::groundShadow({0, 0}, 70, 9));
  auto blinking = [](int f) { return (f >= 150 && f < 153) || (f >= 158 && f < 161); };
  // The body rocks from foot to foot; the raised foot leaves the ground a little.
  auto rock = [=](int f) { return 7 * kit::wave(double(f) / waddle); };
  auto bodyAt = [=](int f) {
    double a = rock(f);
    double pivot = a > 0 ? 20 : -20;  // the foot carrying the weight
    return Affine::translate(300 + pivot, 365) * Affine::rotate(a) * Affine::translate(-pivot, 0);
  };
  std::vector<Actor> actors;
  actors.push_back({shadow, 1, [](int) { return kit::posed(art::at(300, 366)); }});
  actors.push_back({foot, 2, [=](int f) {
                      double lift = std::max(0.0, rock(f)) * 0.9;
                      return kit::posed(art::at(278, 364 - lift, -lift));
                    }});
  actors.push_back({foot, 3, [=](int f) {
                      double lift = std::max(0.0, -rock(f)) * 0.9;
                      return kit::posed(art::at(322, 364 - lift, lift, -1, 1));
                    }});
  actors.push_back({flipper, 4, [=](int f) {
                      double t = double(f) / waddle;
                      return kit::posed(bodyAt(f) *
                                        art::at(-54, -112, 12 + 14 * kit::wave(t, 1, 0.5)));
                    }});
  actors.push_back({flipper, 5, [=](int f) {
                      double t = double(f) / waddle;
                      return kit::posed(bodyAt(f) *
                                        art::at(54, -112, -12 - 14 * kit::wave(t, 1), -1, 1));
                    }});
  actors.push_back({bodyOpen, 6, [=](int f) {
                      Pose p = kit::posed(bodyAt(f));
                      p.shown = !blinking(f);
                      return p;
                    }});
  actors.push_back({bodyShut, 7, [=](int f) {
                      Pose p = kit::posed(bodyAt(f));
                      p.shown = blinking(f);
                      return p;
                    }});
  actors.push_back({scarf, 8, [=](int f) {
                      double t = double(f) / waddle;
                      return kit::posed(bodyAt(f) *
                                        art::at(34, -98, -8 - 10 * kit::wave(t, 1, 0.15)));
                    }});
  for (int i = 0; i < 3; ++i)
    actors.push_back({heartId, uint16_t(9 + i), [=](int f) {
                        int l = (f - i * 80 + loop) % loop;
                        Pose p;
                        p.shown = l < 70;
                        if (!p.shown) return p;
                        double u = l / 70.0;
                        double size = 0.6 + 0.7 * kit::ease(u * 3);
                        p.m = art::at(330 + 18 * i + 10 * std::sin(u * 8), 200 - 110 * u,
                                      8 * std::sin(u * 6), size, size);
                        p.alpha = u < 0.6 ? 1 : 1 - (u - 0.6) / 0.4;
                        return p;
                      }});
  kit::animate(movie.root(), loop, actors);
  return {u8"动漫", u8"摇摆企鹅", loop, movie.finish()};
}

}  // namespace

std::vector<ShippedMovie> cartoonMovies() { return {walkingCat(), fishBowl(), waddlingPenguin()}; }

}  // namespace catalogue
