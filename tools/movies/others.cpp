// "其他": balloons floating up, fireflies in the grass and butterflies.
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

// ---- 彩色气球 -------------------------------------------------------------------------

art::Shape balloonShape(uint32_t color) {
  art::Shape b;
  b.stroke(art::smooth({{0, 44}, {-5, 70}, {4, 96}, {-3, 124}}, false), 1.2, 0xC0706870);
  Outline body = art::smooth({{0, -40},
                              {26, -33},
                              {33, -8},
                              {24, 22},
                              {6, 40},
                              {0, 42},
                              {-6, 40},
                              {-24, 22},
                              {-33, -8},
                              {-26, -33}},
                             true);
  b.fill(art::polygon({{0, 38}, {6, 47}, {-6, 47}}), art::solid(art::mix(color, 0xFF000000, 0.2)));
  b.fill(body, art::radial({-10, -16}, 58,
                           {{0, art::mix(color, 0xFFFFFFFF, 0.55)},
                            {70, color},
                            {255, art::mix(color, 0xFF000000, 0.35)}}));
  b.fill(art::transformed(art::ellipse({0, 0}, 6, 11), art::at(-14, -18, 28)),
         art::solid(0x90FFFFFF));
  b.fill(art::circle({-5, -31}, 2.2), art::solid(0x70FFFFFF));
  return b;
}

ShippedMovie balloons() {
  const int loop = 288;
  kit::Movie movie(kWidth, kHeight, 24);
  const uint32_t colors[] = {0xFFF03C4A, 0xFFFF9A2A, 0xFFFFD23A, 0xFF4CC25A,
                             0xFF3C8CF0, 0xFF9A5CE8, 0xFFFF6FB0};
  std::vector<uint16_t> ids;
  for (uint32_t c : colors) ids.push_back(movie.add(balloonShape(c)));
  struct Balloon {
    uint16_t id;
    double size, x, y0, sway, phase;
    int swayCycles;
  };
  std::vector<Balloon> all;
  Scatter s(17);
  for (int i = 0; i < 9; ++i)
    all.push_back({ids[i % ids.size()], s.between(0.6, 1.15), 40 + i * 64 + s.between(-18, 18),
                   s.next(), s.between(10, 26), s.next(), s.pick(1, 2)});
  std::sort(all.begin(), all.end(),
            [](const Balloon& a, const Balloon& b) { return a.size < b.size; });
  std::vector<Actor> actors;
  for (size_t i = 0; i < all.size(); ++i) {
    Balloon b = all[i];
    actors.push_back(Actor(b.id, uint16_t(i + 1), [=](int f) {
      double t = double(f) / loop;
      double rise = kit::frac(b.y0 + t);
      double y = kHeight + 60 - rise * (kHeight + 240);
      return kit::posed(art::at(b.x + b.sway * kit::wave(t, b.swayCycles, b.phase), y,
                                6 * kit::wave(t, b.swayCycles * 2, b.phase + 0.2), b.size, b.size));
    }));
  }
  kit::animate(movie.root(), loop, actors);
  return {u8"其他", u8"彩色气球", loop, movie.finish()};
}

// ---- 萤火虫 ---------------------------------------------------------------------------

ShippedMovie fireflies() {
  const int loop = 360;
  kit::Movie movie(kWidth, kHeight, 24);
  art::Shape glow;
  glow.fill(art::circle({0, 0}, 24), art::radial({0, 0}, 24,
                                                 {{0, 0xFFFFFFD0},
                                                  {30, 0xFFF4FF70},
                                                  {80, 0x90D8F040},
                                                  {160, 0x30A8E030},
                                                  {255, 0x0090D020}}));
  uint16_t glowId = movie.add(glow);
  art::Shape grass;
  Scatter g(3);
  for (int i = 0; i < 46; ++i) {
    double x = i * 13.5 + g.between(-5, 5), h = g.between(30, 78), lean = g.between(-22, 22);
    uint32_t green = art::mix(0xFF16301A, 0xFF2E5A28, g.next());
    grass.fill(
        art::smooth({{x - 4, 402},
                     {x + lean * 0.4 - 2, 402 - h * 0.5},
                     {x + lean, 400 - h},
                     {x + lean * 0.4 + 2, 402 - h * 0.5},
                     {x + 4, 402}},
                    true),
        art::linear({0, 402}, {0, 400 - h}, {{0, green}, {255, art::mix(green, 0xFF6A9A40, 0.5)}}));
  }
  uint16_t grassId = movie.add(grass);
  std::vector<Actor> actors;
  Scatter s(11);
  for (int i = 0; i < 20; ++i) {
    double cx = s.between(60, kWidth - 60), cy = s.between(90, 330), ax = s.between(30, 90),
           ay = s.between(18, 50);
    int p = s.pick(1, 2), q = s.pick(1, 3), blinks = s.pick(3, 6);
    double phase = s.next(), phase2 = s.next(), size = s.between(0.5, 1.1);
    actors.push_back(Actor(glowId, uint16_t(i + 1), [=](int f) {
      double t = double(f) / loop;
      double x = cx + ax * kit::wave(t, p, phase), y = cy + ay * kit::wave(t, q, phase2);
      double pulse = std::pow(std::max(0.0, kit::wave(t, blinks, phase * 3)), 2);
      double k = size * (0.75 + 0.35 * pulse);
      return kit::posed(art::at(x, y, 0, k, k), 0.15 + 0.85 * pulse);
    }));
  }
  actors.push_back(Actor(grassId, 30, [](int) { return Pose(); }));
  kit::animate(movie.root(), loop, actors);
  return {u8"其他", u8"萤火虫", loop, movie.finish()};
}

// ---- 蝴蝶 -----------------------------------------------------------------------------

struct WingColors {
  uint32_t inner, outer, edge, spots;
};

// The right pair of wings (x > 0) of a butterfly seen from above, its body
// along -y.
art::Shape wings(const WingColors& c) {
  art::Shape w;
  Outline fore = art::smooth({{1, -4}, {14, -30}, {38, -40}, {46, -30}, {38, -10}, {18, 0}}, true);
  Outline hind = art::smooth({{1, 0}, {22, 2}, {34, 16}, {30, 34}, {14, 38}, {4, 20}}, true);
  for (const Outline* o : {&hind, &fore})
    w.fill(*o, art::radial(
                   {4, -2}, 48,
                   {{0, c.inner}, {150, c.outer}, {215, c.outer}, {240, c.edge}, {255, c.edge}}));
  for (Pt v : {Pt{40, -34}, Pt{42, -22}, Pt{30, 30}, Pt{20, 34}})
    w.stroke(art::segment({3, -2}, v), 0.9, art::withAlpha(c.edge, 150));
  for (Pt spot : {Pt{40, -32}, Pt{43, -26}, Pt{38, -17}, Pt{28, 31}, Pt{18, 34}})
    w.fill(art::circle(spot, 1.8), art::solid(c.spots));
  w.stroke(fore, 1, art::withAlpha(c.edge, 200));
  w.stroke(hind, 1, art::withAlpha(c.edge, 200));
  return w;
}

art::Shape butterflyBody() {
  art::Shape b;
  b.fill(art::ellipse({0, 4}, 3.2, 16),
         art::linear({-3, 0}, {3, 0}, {{0, 0xFF3A2A22}, {255, 0xFF120C0A}}));
  b.fill(art::circle({0, -14}, 4), art::solid(0xFF1E1612));
  b.stroke(art::curve({-1, -17}, {-6, -28}, {-10, -32}), 0.9, 0xFF1E1612);
  b.stroke(art::curve({1, -17}, {6, -28}, {10, -32}), 0.9, 0xFF1E1612);
  b.fill(art::circle({-10, -32}, 1.4), art::solid(0xFF1E1612));
  b.fill(art::circle({10, -32}, 1.4), art::solid(0xFF1E1612));
  return b;
}

// A butterfly beating its wings once every `beat` frames (a whole number of
// beats to the loop).
uint16_t butterfly(kit::Movie& movie, const WingColors& colors, int beat) {
  uint16_t wing = movie.add(wings(colors)), body = movie.add(butterflyBody());
  kit::Timeline t;
  auto open = [beat](int f) {
    return 0.3 + 0.7 * (0.5 + 0.5 * std::cos(2 * art::kPi * f / beat));
  };
  kit::animate(t, beat,
               {Actor(wing, 1, [=](int f) { return kit::posed(Affine::scale(open(f), 1)); }),
                Actor(wing, 2, [=](int f) { return kit::posed(Affine::scale(-open(f), 1)); }),
                Actor(body, 3, [](int) { return Pose(); })});
  return movie.add(t, beat);
}

ShippedMovie butterflies() {
  const int loop = 288;
  kit::Movie movie(kWidth, kHeight, 24);
  uint16_t monarch = butterfly(movie, {0xFFFFC04A, 0xFFF08A1C, 0xFF2A1A10, 0xFFFFFFFF}, 12);
  uint16_t blue = butterfly(movie, {0xFFB8F0FF, 0xFF2E8CF0, 0xFF0E2450, 0xFFE8F8FF}, 9);
  uint16_t yellow = butterfly(movie, {0xFFFFFAD0, 0xFFFFE060, 0xFF403020, 0xFFFF8A40}, 16);
  struct Flight {
    uint16_t id;
    double cx, cy, ax, ay, size, phase;
    int p, q;
  };
  const Flight flights[] = {{monarch, 300, 190, 230, 120, 1.45, 0.0, 1, 2},
                            {blue, 300, 200, 200, 130, 1.2, 0.37, 2, 1},
                            {yellow, 290, 210, 160, 100, 1.1, 0.71, 1, 1}};
  std::vector<Actor> actors;
  uint16_t depth = 1;
  for (const Flight& fl : flights) {
    auto at = [fl, loop](double f) {
      double t = f / loop;
      return Pt{fl.cx + fl.ax * kit::wave(t, fl.p, fl.phase),
                fl.cy + fl.ay * kit::wave(t, fl.q, fl.phase + 0.25)};
    };
    actors.push_back(Actor(fl.id, depth++, [=](int f) {
      Pt here = at(f), ahead = at(f + 3);
      double heading = std::atan2(ahead.y - here.y, ahead.x - here.x) * 180 / art::kPi + 90;
      double flutter = 4 * kit::wave(double(f) / loop, 36, fl.phase);
      return kit::posed(art::at(here.x, here.y + flutter, heading, fl.size, fl.size));
    }));
  }
  kit::animate(movie.root(), loop, actors);
  return {u8"其他", u8"蝴蝶", loop, movie.finish()};
}

}  // namespace

std::vector<ShippedMovie> otherMovies() { return {balloons(), fireflies(), butterflies()}; }

}  // namespace catalogue
