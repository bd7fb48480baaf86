// "生活": a potted plant in a breeze, a steaming cup of coffee and candlelight.
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

// ---- 盆栽 -------------------------------------------------------------------------

// A leaf from its base at (0, 0) up to its tip, `length` long.
Outline leafOutline(double length, double width) {
  double l = length, w = width;
  return art::smooth({{0, 0},
                      {w * 0.22, l * 0.05},
                      {w * 0.5, -l * 0.22},
                      {w * 0.42, -l * 0.6},
                      {w * 0.12, -l * 0.9},
                      {0, -l},
                      {-w * 0.12, -l * 0.9},
                      {-w * 0.42, -l * 0.6},
                      {-w * 0.5, -l * 0.22},
                      {-w * 0.22, l * 0.05}},
                     true);
}

// A stem from the soil at (0, 0) bending to a leaf at its end.
art::Shape leafOnStem(Pt leafBase, Pt bendControl, double angle, double length, double width,
                      uint32_t green) {
  art::Shape s;
  s.stroke(art::curve({0, 0}, bendControl, leafBase), 4, art::mix(green, 0xFF000000, 0.25));
  s.stroke(art::curve({0, 0}, bendControl, leafBase), 2, art::mix(green, 0xFFFFFFFF, 0.1));
  Affine m = art::at(leafBase.x, leafBase.y, angle);
  Outline leaf = art::transformed(leafOutline(length, width), m);
  s.fill(leaf,
         art::linear(m.apply({-width / 2, -length * 0.3}), m.apply({width / 2, -length * 0.6}),
                     {{0, art::mix(green, 0xFFFFFFFF, 0.3)},
                      {140, green},
                      {255, art::mix(green, 0xFF000000, 0.3)}}));
  uint32_t vein = art::withAlpha(art::mix(green, 0xFFFFFFFF, 0.55), 200);
  s.stroke(
      art::transformed(art::curve({0, 0}, {width * 0.05, -length * 0.5}, {0, -length * 0.92}), m),
      1.4, vein);
  for (int k = 1; k <= 4; ++k) {
    double y = -length * (0.15 + 0.17 * k);
    for (int side : {-1, 1})
      s.stroke(
          art::transformed(art::curve({0, y}, {side * width * 0.2, y - length * 0.04},
                                      {side * width * 0.36 * (1 - 0.15 * k), y - length * 0.13}),
                           m),
          0.8, art::withAlpha(vein, 150));
  }
  s.stroke(leaf, 1, art::withAlpha(art::mix(green, 0xFF000000, 0.45), 160));
  return s;
}

art::Shape flowerOnStem(Pt head) {
  art::Shape s;
  s.stroke(art::curve({0, 0}, {head.x * 0.2, head.y * 0.6}, head), 3.2, 0xFF3E8A36);
  for (int k = 0; k < 6; ++k) {
    Affine m = art::at(head.x, head.y, k * 60.0);
    Outline petal = art::transformed(art::ellipse({11, 0}, 11, 6.5), m);
    s.fill(petal, art::radial(m.apply({2, 0}), 22,
                              {{0, 0xFFFFE8F0}, {160, 0xFFFF9CC0}, {255, 0xFFE8609A}}));
  }
  s.fill(art::circle(head, 6.5),
         art::radial({head.x - 2, head.y - 2}, 8, {{0, 0xFFFFF0A0}, {255, 0xFFF0A020}}));
  return s;
}

ShippedMovie pottedPlant() {
  const int loop = 240;
  kit::Movie movie(kWidth, kHeight, 24);
  const Pt soil{300, 290};
  art::Shape pot;
  pot.fill(art::ellipse({300, 388}, 96, 9),
           art::radial({300, 388}, 96, 9, 0, {{0, 0x50000000}, {255, 0x00000000}}));
  Outline body =
      art::smooth({{234, 300}, {366, 300}, {352, 360}, {340, 386}, {260, 386}, {248, 360}}, true);
  pot.fill(body,
           art::linear({232, 0}, {368, 0},
                       {{0, 0xFFA4482A}, {90, 0xFFE07A4A}, {170, 0xFFC85C34}, {255, 0xFF8A3820}}));
  pot.fill(art::roundRect(222, 282, 378, 308, 6),
           art::linear({222, 0}, {378, 0},
                       {{0, 0xFFB4502E}, {100, 0xFFF08A58}, {180, 0xFFD0663C}, {255, 0xFF944024}}));
  pot.fill(art::ellipse({300, 286}, 70, 7),
           art::linear({0, 279}, {0, 293}, {{0, 0xFF3A2214}, {255, 0xFF5A3620}}));
  pot.stroke(art::smooth({{248, 330}, {300, 336}, {352, 330}}, false), 2, 0x40FFFFFF);
  uint16_t potId = movie.add(pot);
  struct Leaf {
    Pt base, bend;
    double angle, length, width;
    uint32_t green;
    int cycles;
    double sway, phase;
  };
  const Leaf leaves[] = {
      {{-92, -120}, {-60, -40}, -58, 92, 58, 0xFF3E9A44, 1, 3.2, 0.0},
      {{-40, -190}, {-30, -90}, -22, 100, 62, 0xFF4CAE4C, 2, 2.4, 0.2},
      {{8, -222}, {-6, -110}, 6, 98, 60, 0xFF36903E, 1, 2.0, 0.45},
      {{60, -176}, {30, -90}, 30, 96, 60, 0xFF48A848, 2, 2.6, 0.7},
      {{104, -104}, {60, -40}, 62, 88, 56, 0xFF3A9440, 1, 3.4, 0.15},
      {{-64, -70}, {-40, -20}, -80, 70, 44, 0xFF5CBC54, 2, 3.0, 0.6},
      {{70, -60}, {40, -16}, 84, 66, 42, 0xFF56B650, 1, 3.0, 0.85},
  };
  // Drawn at this size it keeps within the stage whichever way it sways.
  const double k = 0.8;
  std::vector<Actor> actors;
  uint16_t depth = 1;
  for (const Leaf& l : leaves) {
    uint16_t id =
        movie.add(leafOnStem(l.base * k, l.bend * k, l.angle, l.length * k, l.width * k, l.green));
    actors.push_back(Actor(id, depth++, [=](int f) {
      double t = double(f) / loop;
      return kit::posed(
          art::at(soil.x, soil.y,
                  l.sway * kit::wave(t, l.cycles, l.phase) + 0.8 * kit::wave(t, 5, l.phase)));
    }));
  }
  actors.push_back(Actor(movie.add(flowerOnStem({-16, -176})), depth++, [=](int f) {
    return kit::posed(art::at(soil.x, soil.y, 2.2 * kit::wave(double(f) / loop, 2, 0.3)));
  }));
  actors.push_back(Actor(potId, depth++, [](int) { return Pose(); }));
  kit::animate(movie.root(), loop, actors);
  return {u8"生活", u8"盆栽", loop, movie.finish()};
}

// ---- 热咖啡 ------------------------------------------------------------------------

// A wisp of steam rising from (0, 0), swaying `bend` (-1 .. 1).
Outline wisp(double bend) {
  std::vector<Pt> centre;
  std::vector<double> widths;
  const int n = 9;
  for (int i = 0; i < n; ++i) {
    double u = double(i) / (n - 1);
    centre.push_back({bend * 16 * std::sin(u * 5.5), -110 * u});
    widths.push_back(7 + 13 * std::sin(u * art::kPi));
  }
  return art::ribbon(centre, widths);
}

ShippedMovie coffeeCup() {
  const int loop = 240, rise = 80;
  kit::Movie movie(kWidth, kHeight, 24);
  const double rimY = 214, bottomY = 330;
  art::Shape cup;
  cup.fill(art::ellipse({300, 352}, 168, 32),
           art::radial({300, 358}, 170, 34, 0, {{0, 0x50000000}, {255, 0x00000000}}));
  cup.fill(
      art::ellipse({300, 340}, 158, 30),
      art::linear({300, 310}, {300, 370}, {{0, 0xFFFFFFFF}, {160, 0xFFE8EAF0}, {255, 0xFFC8CCD8}}));
  cup.fill(art::ellipse({300, 336}, 110, 18),
           art::linear({300, 318}, {300, 354}, {{0, 0xFFD4D8E2}, {255, 0xFFF4F6FA}}));
  Outline handle = art::joined(art::ellipse({398, 262}, 40, 34), art::ellipse({396, 262}, 26, 21));
  cup.fill(handle, art::linear({360, 230}, {440, 300},
                               {{0, 0xFFFFFFFF}, {180, 0xFFE0E4EC}, {255, 0xFFB8BECC}}));
  Outline side = art::Pen()
                     .moveTo({202, rimY})
                     .cubicTo({204, 280}, {232, bottomY}, {300, bottomY + 4})
                     .cubicTo({368, bottomY}, {396, 280}, {398, rimY})
                     .outline();
  Outline body = side;
  body[0].segments.push_back({false, {}, {202, rimY}});
  cup.fill(body,
           art::linear({202, 0}, {398, 0},
                       {{0, 0xFFE2E6EE}, {70, 0xFFFFFFFF}, {180, 0xFFF0F2F6}, {255, 0xFFB4BAC8}}));
  cup.stroke(art::Pen().moveTo({206, 250}).cubicTo({240, 262}, {360, 262}, {394, 250}).outline(), 5,
             0xFF4A7EC8);
  cup.stroke(art::Pen().moveTo({209, 262}).cubicTo({240, 274}, {360, 274}, {391, 262}).outline(),
             1.5, 0xFF4A7EC8);
  cup.fill(art::ellipse({300, rimY}, 98, 22), art::solid(0xFFF4F6FA));
  cup.fill(art::ellipse({300, rimY + 2}, 88, 17),
           art::radial({300, rimY + 2}, 88, 17, 0,
                       {{0, 0xFF7A4424}, {200, 0xFF5A2E14}, {255, 0xFF3A1C0A}}));
  // A heart of milk foam on the coffee, seen from the side.
  art::Pen heart;
  heart.moveTo({300, rimY + 12})
      .cubicTo({290, rimY + 6}, {266, rimY + 4}, {270, rimY - 2})
      .cubicTo({274, rimY - 8}, {292, rimY - 8}, {300, rimY - 3});
  heart.cubicTo({308, rimY - 8}, {326, rimY - 8}, {330, rimY - 2})
      .cubicTo({334, rimY + 4}, {310, rimY + 6}, {300, rimY + 12});
  cup.fill(heart.outline(), art::radial({300, rimY}, 30, 10, 0,
                                        {{0, 0xFFFFF4E4}, {220, 0xFFF0D8B8}, {255, 0xFFC89A6A}}));
  cup.stroke(art::ellipse({300, rimY}, 98, 22), 1.2, 0xFFC8CCD8);
  cup.stroke(side, 1, 0x60A0A8B8);
  uint16_t cupId = movie.add(cup);
  art::Paint steam = art::linear(
      {0, 0}, {0, -110}, {{0, 0x00FFFFFF}, {60, 0x70FFFFFF}, {170, 0x50FFFFFF}, {255, 0x00FFFFFF}});
  uint16_t wispId = movie.addMorph(wisp(-1), steam, wisp(1), steam);
  std::vector<Actor> actors;
  for (int i = 0; i < 3; ++i) {
    actors.push_back(Actor(wispId, uint16_t(1 + i), [=](int f) {
      int l = (f + i * rise / 3 + (i == 2 ? 7 : 0)) % rise;
      double u = double(l) / rise;
      Pose p;
      p.ratio = static_cast<int>(32767.5 + 32767.5 * std::sin(u * art::kPi * 2 + i));
      double size = 0.9 + 0.6 * u;
      p.m = art::at(262 + i * 36 + 10 * std::sin(u * 4 + i), rimY - 8 - 70 * u, 0, size, size);
      p.alpha = std::sin(u * art::kPi);
      return p;
    }));
  }
  actors.push_back(Actor(cupId, 4, [](int) { return Pose(); }));
  kit::animate(movie.root(), loop, actors);
  return {u8"生活", u8"热咖啡", loop, movie.finish()};
}

// ---- 烛光 ---------------------------------------------------------------------------

// Flickering made of whole cycles per loop, so the loop has no seam: -1..1.
double flicker(double t, double phase) {
  return 0.5 * kit::wave(t, 7, phase) + 0.3 * kit::wave(t, 13, phase * 1.7) +
         0.2 * kit::wave(t, 23, phase * 2.3);
}

Outline flameOutline(double lean) {
  return art::smooth({{0, 0},
                      {9, -6},
                      {10 + lean * 2, -20},
                      {4 + lean * 6, -38},
                      {lean * 9, -52},
                      {-4 + lean * 6, -38},
                      {-10 + lean * 2, -20},
                      {-9, -6}},
                     true);
}

ShippedMovie candles() {
  const int loop = 120;
  kit::Movie movie(kWidth, kHeight, 24);
  struct Candle {
    double x, height, width;
  };
  const Candle all[] = {{222, 150, 48}, {312, 205, 54}, {398, 120, 44}};
  const double base = 350;
  art::Shape plate;
  plate.fill(art::ellipse({310, base + 16}, 190, 22),
             art::radial({310, base + 18}, 190, 22, 0, {{0, 0x50000000}, {255, 0x00000000}}));
  plate.fill(
      art::ellipse({310, base + 6}, 170, 20),
      art::linear({140, 0}, {480, 0},
                  {{0, 0xFF9A6A24}, {90, 0xFFF0CC7A}, {180, 0xFFC89442}, {255, 0xFF8A5A1C}}));
  plate.fill(art::ellipse({310, base + 2}, 150, 15),
             art::linear({0, base - 13}, {0, base + 17}, {{0, 0xFFB8863A}, {255, 0xFFF4D68C}}));
  uint16_t plateId = movie.add(plate);
  art::Paint flamePaint = art::radial(
      {0, -16}, 14, 34, 0,
      {{0, 0xFFFFFFF0}, {90, 0xFFFFF090}, {170, 0xFFFFB030}, {230, 0xC0FF6A10}, {255, 0x00FF4000}});
  uint16_t flameId = movie.addMorph(flameOutline(-1), flamePaint, flameOutline(1), flamePaint);
  art::Shape glowShape;
  glowShape.fill(art::circle({0, 0}, 90),
                 art::radial({0, 0}, 90, {{0, 0x70FFD070}, {90, 0x30FFB040}, {255, 0x00FF9020}}));
  uint16_t glowId = movie.add(glowShape);
  art::Shape blue;
  blue.fill(art::ellipse({0, -5}, 5, 7),
            art::radial({0, -4}, 6, 8, 0, {{0, 0xC04060FF}, {255, 0x002040FF}}));
  uint16_t blueId = movie.add(blue);
  std::vector<Actor> actors;
  actors.push_back(Actor(plateId, 1, [](int) { return Pose(); }));
  uint16_t depth = 2;
  Scatter s(9);
  for (const Candle& c : all) {
    double top = base - c.height, half = c.width / 2;
    art::Shape wax;
    wax.fill(
        art::roundRect(c.x - half, top, c.x + half, base + 4, 4),
        art::linear({c.x - half, 0}, {c.x + half, 0},
                    {{0, 0xFFE8D2AE}, {80, 0xFFFFF6E6}, {170, 0xFFFCEAD0}, {255, 0xFFD8BC90}}));
    wax.fill(art::ellipse({c.x, top}, half, 6),
             art::linear({0, top - 6}, {0, top + 6}, {{0, 0xFFFFF2DA}, {255, 0xFFF0D8B0}}));
    for (int k = 0; k < 3; ++k) {
      double dx = s.between(-half + 6, half - 6), len = s.between(14, 36);
      wax.fill(
          art::roundRect(c.x + dx - 4, top, c.x + dx + 4, top + len, 4),
          art::linear({c.x + dx - 4, 0}, {c.x + dx + 4, 0}, {{0, 0xFFFFF8EE}, {255, 0xFFF0DEC0}}));
    }
    wax.stroke(art::Pen()
                   .moveTo({c.x, top - 1})
                   .quadTo({c.x + 1, top - 8}, {c.x - 0.5, top - 13})
                   .outline(),
               2.2, 0xFF2A2018);
    uint16_t waxId = movie.add(wax);
    double phase = s.next();
    auto flick = [=](int f) { return flicker(double(f) / loop, phase); };
    actors.push_back(Actor(glowId, depth++, [=](int f) {
      double k = 1 + 0.06 * flick(f);
      return kit::posed(art::at(c.x, top - 26, 0, k, k), 0.85 + 0.15 * flick(f));
    }));
    actors.push_back(Actor(waxId, depth++, [](int) { return Pose(); }));
    actors.push_back(Actor(flameId, depth++, [=](int f) {
      Pose p;
      double t = double(f) / loop;
      p.ratio = static_cast<int>(
          32767.5 + 32767.5 * (0.6 * kit::wave(t, 5, phase) + 0.4 * kit::wave(t, 11, phase * 2)));
      double k = 1 + 0.09 * flick(f);
      p.m = art::at(c.x, top - 10, 1.5 * kit::wave(t, 3, phase), 1 - 0.04 * flick(f), k);
      return p;
    }));
    actors.push_back(
        Actor(blueId, depth++, [=](int) { return kit::posed(art::at(c.x, top - 9)); }));
  }
  kit::animate(movie.root(), loop, actors);
  return {u8"生活", u8"烛光", loop, movie.finish()};
}

}  // namespace

std::vector<ShippedMovie> lifeMovies() { return {pottedPlant(), coffeeCup(), candles()}; }

}  // namespace catalogue
