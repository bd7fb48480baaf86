// "特效": snow, cherry petals, fireworks and soap bubbles drifting over the desktop.
#include <algorithm>
#include <cmath>

#include "catalogue.h"
#include "movie_kit.h"

namespace catalogue {

using art::Outline;
using art::Pt;
using kit::Actor;
using kit::Pose;

namespace {

// ---- 飘雪 ---------------------------------------------------------------------

// Six arms with two pairs of side branches, 10 px long.
Outline crystalArms() {
  Outline arms;
  Pt o{0, 0};
  for (int k = 0; k < 6; ++k) {
    double a = k * 60.0 - 90;
    arms = art::joined(arms, art::segment(o, art::polar(o, 10, a)));
    for (double at : {0.45, 0.72}) {
      Pt root = art::polar(o, 10 * at, a);
      double len = at < 0.5 ? 3.6 : 2.4;
      arms = art::joined(arms, art::segment(root, art::polar(root, len, a - 50)));
      arms = art::joined(arms, art::segment(root, art::polar(root, len, a + 50)));
    }
  }
  return arms;
}

ShippedMovie snow() {
  const int loop = 240;
  kit::Movie movie(kWidth, kHeight, 24);
  art::Shape dot;
  dot.fill(art::circle({0, 0}, 10),
           art::radial({0, 0}, 10,
                       {{0, 0xFFFFFFFF}, {100, 0xF4F7FBFF}, {175, 0xA0B4C8E0}, {255, 0x00A0B8D4}}));
  uint16_t dotId = movie.add(dot);
  art::Shape crystal;
  Outline arms = crystalArms();
  crystal.fill(art::circle({0, 0}, 2.2), art::solid(0xFFFFFFFF));
  crystal.stroke(arms, 2.6, 0x584E6E90);
  crystal.stroke(arms, 1.2, 0xF8FFFFFF);
  uint16_t crystalId = movie.add(crystal);
  art::Shape bokeh;
  bokeh.fill(
      art::circle({0, 0}, 10),
      art::radial({0, 0}, 10,
                  {{0, 0x58FFFFFF}, {140, 0x40F4F8FF}, {225, 0x18E8F0FF}, {255, 0x00E8F0FF}}));
  uint16_t bokehId = movie.add(bokeh);

  struct Flake {
    uint16_t id;
    double size, x0, y0, sway, phase, alpha;
    int wraps, swayCycles, spin;
  };
  std::vector<Flake> flakes;
  Scatter s(7);
  for (int i = 0; i < 26; ++i)  // far and small: slow
    flakes.push_back({dotId, s.between(0.18, 0.42), s.between(0, kWidth), s.next(),
                      s.between(6, 16), s.next(), s.between(0.55, 0.9), 1, s.pick(1, 2), 0});
  for (int i = 0; i < 14; ++i)
    flakes.push_back({crystalId, s.between(0.7, 1.6), s.between(0, kWidth), s.next(),
                      s.between(10, 26), s.next(), 1, s.pick(1, 2), s.pick(1, 2),
                      s.pick(0, 1) ? 1 : -1});
  for (int i = 0; i < 10; ++i)
    flakes.push_back({dotId, s.between(0.5, 0.75), s.between(0, kWidth), s.next(),
                      s.between(12, 24), s.next(), 1, 2, s.pick(1, 2), 0});
  for (int i = 0; i < 4; ++i)  // near and large: fast and faint
    flakes.push_back({bokehId, s.between(1.3, 1.9), s.between(0, kWidth), s.next(),
                      s.between(20, 40), s.next(), 1, 3, 1, 0});

  std::vector<Actor> actors;
  for (size_t i = 0; i < flakes.size(); ++i) {
    Flake f = flakes[i];
    actors.push_back({f.id, uint16_t(i + 1), [f, loop](int frame) {
                        double t = double(frame) / loop;
                        Pose p;
                        double y = -30 + kit::frac(f.y0 + f.wraps * t) * (kHeight + 60);
                        double x = f.x0 + f.sway * kit::wave(t, f.swayCycles, f.phase);
                        p.m = art::at(x, y, 360.0 * f.spin * t + f.phase * 60, f.size, f.size);
                        p.alpha = f.alpha;
                        return p;
                      }});
  }
  kit::animate(movie.root(), loop, actors);
  return {u8"特效", u8"飘雪", loop, movie.finish()};
}

// ---- 樱花飘落 ---------------------------------------------------------------------

// A cherry petal 14 px long from its base (-7, 0) to the notched tip.
Outline petalOutline() {
  art::Pen pen;
  pen.moveTo({-7, 0})
      .cubicTo({-4.5, -5.5}, {2.5, -7.2}, {6.6, -3.2})
      .lineTo({4.9, 0})
      .lineTo({6.6, 3.2})
      .cubicTo({2.5, 7.2}, {-4.5, 5.5}, {-7, 0});
  return pen.outline();
}

art::Shape petalShape() {
  art::Shape petal;
  Outline o = petalOutline();
  petal.fill(o,
             art::linear({-7, 0}, {7, 0}, {{0, 0xFFFFF6F9}, {120, 0xFFFFD6E4}, {255, 0xFFF491B3}}));
  petal.stroke(o, 0.5, 0x80CF6E90);
  petal.stroke(art::segment({-5.5, 0}, {3, 0}), 0.5, 0x50E07A9C);
  return petal;
}

art::Shape blossomShape() {
  art::Shape blossom;
  Outline o = petalOutline();
  for (int k = 0; k < 5; ++k) {
    art::Affine m = art::Affine::rotate(k * 72.0 - 90) * art::Affine::translate(8.2, 0);
    blossom.fill(art::transformed(o, m),
                 art::linear(m.apply({-7, 0}), m.apply({7, 0}),
                             {{0, 0xFFFFE3EC}, {110, 0xFFFFD0DF}, {255, 0xFFF58CB0}}));
  }
  for (int k = 0; k < 5; ++k) {
    art::Affine m = art::Affine::rotate(k * 72.0 - 90) * art::Affine::translate(8.2, 0);
    blossom.stroke(art::transformed(o, m), 0.5, 0x80CF6E90);
  }
  blossom.fill(art::circle({0, 0}, 3.2),
               art::radial({0, 0}, 3.2, {{0, 0xFFFFF2A0}, {255, 0xFFE87A8C}}));
  for (int k = 0; k < 10; ++k) {
    Pt tip = art::polar({0, 0}, 6.2, k * 36.0 + 18);
    blossom.stroke(art::segment(art::polar({0, 0}, 2.6, k * 36.0 + 18), tip), 0.6, 0xC0D8607A);
    blossom.fill(art::circle(tip, 0.9), art::solid(0xFFFFD24A));
  }
  return blossom;
}

ShippedMovie petals() {
  const int loop = 240;
  kit::Movie movie(kWidth, kHeight, 24);
  uint16_t petalId = movie.add(petalShape());
  uint16_t blossomId = movie.add(blossomShape());
  struct Petal {
    uint16_t id;
    double size, x0, y0, drift, sway, phase, turn;
    int wraps, flips, spin;
    bool whole;  // a blossom: turns, never shows its edge
  };
  std::vector<Petal> all;
  Scatter s(21);
  for (int i = 0; i < 24; ++i)
    all.push_back({petalId, s.between(1.0, 1.9), s.between(-80, kWidth), s.next(),
                   s.between(70, 170), s.between(8, 26), s.next(), s.between(0, 360), s.pick(1, 2),
                   s.pick(1, 3), s.pick(0, 1) ? 1 : -1, false});
  for (int i = 0; i < 4; ++i)
    all.push_back({blossomId, s.between(1.15, 1.5), s.between(40, kWidth - 120), s.next(),
                   s.between(60, 110), s.between(10, 22), s.next(), s.between(0, 72), 1, 1,
                   s.pick(0, 1) ? 1 : -1, true});
  std::sort(all.begin(), all.end(), [](const Petal& a, const Petal& b) { return a.size < b.size; });

  std::vector<Actor> actors;
  for (size_t i = 0; i < all.size(); ++i) {
    Petal p = all[i];
    actors.push_back({p.id, uint16_t(i + 1), [p, loop](int frame) {
                        double t = double(frame) / loop;
                        double fall = kit::frac(p.y0 + p.wraps * t);
                        Pose pose;
                        double x =
                            p.x0 + p.drift * fall + p.sway * kit::wave(t, p.wraps * 2, p.phase);
                        double y = -30 + fall * (kHeight + 60);
                        double flip = kit::wave(t, p.flips, p.phase + 0.25);
                        double squash = p.whole ? 0.7 + 0.3 * flip : flip;
                        pose.m =
                            art::at(x, y, p.turn + 360.0 * p.spin * t, p.size, p.size * squash);
                        if (squash < 0)
                          pose.red = pose.green = pose.blue = 0.88;  // the paler underside
                        return pose;
                      }});
  }
  kit::animate(movie.root(), loop, actors);
  return {u8"特效", u8"樱花飘落", loop, movie.finish()};
}

// ---- 烟花 --------------------------------------------------------------------------

art::Shape sparkShape(uint32_t color, double r) {
  art::Shape spark;
  spark.fill(art::circle({0, 0}, r), art::radial({0, 0}, r,
                                                 {{0, 0xFFFFFFFF},
                                                  {70, art::withAlpha(color, 255)},
                                                  {160, art::withAlpha(color, 140)},
                                                  {255, art::withAlpha(color, 0)}}));
  return spark;
}

// A fading trail 100 px long behind its head at (0, 0), along -x; placed
// stretched to the length the spark flew in the last moment.
art::Shape trailShape(uint32_t color) {
  art::Shape trail;
  trail.fill(art::polygon({{-100, 0}, {0, -2}, {0, 2}}),
             art::linear({-100, 0}, {0, 0},
                         {{0, art::withAlpha(color, 0)},
                          {150, art::withAlpha(color, 110)},
                          {255, art::withAlpha(art::mix(color, 0xFFFFFFFF, 0.4), 230)}}));
  return trail;
}

ShippedMovie fireworks() {
  const int loop = 168, rise = 22, bloom = 56;
  kit::Movie movie(kWidth, kHeight, 24);
  struct Burst {
    int start;
    Pt centre;
    uint32_t outer, inner;
    double radius;
  };
  const Burst bursts[] = {
      {0, {180, 130}, 0xFFFFC23C, 0xFFFF6A3C, 150},
      {42, {425, 105}, 0xFFFF4F86, 0xFFFFE08A, 165},
      {84, {300, 160}, 0xFF4FD2FF, 0xFFE0F8FF, 140},
      {126, {455, 180}, 0xFFB27CFF, 0xFF6CFFB0, 130},
  };
  uint16_t rocketHead = movie.add(sparkShape(0xFFFFE6B0, 2.6));
  uint16_t rocketTrail = movie.add(trailShape(0xFFFFD080));
  std::vector<Actor> actors;
  uint16_t depth = 1;
  for (const Burst& b : bursts) {
    uint16_t outerTrail = movie.add(trailShape(b.outer)),
             innerTrail = movie.add(trailShape(b.inner));
    uint16_t outerHead = movie.add(sparkShape(b.outer, 2.8)),
             innerHead = movie.add(sparkShape(b.inner, 2.4));
    art::Shape flashShape;
    flashShape.fill(art::circle({0, 0}, 80),
                    art::radial({0, 0}, 80,
                                {{0, art::withAlpha(art::mix(b.outer, 0xFFFFFFFF, 0.6), 170)},
                                 {110, art::withAlpha(b.outer, 60)},
                                 {255, art::withAlpha(b.outer, 0)}}));
    uint16_t flashId = movie.add(flashShape);
    auto local = [b, loop](int frame) { return (frame - b.start + loop) % loop; };
    Pt launch{b.centre.x - 40, kHeight + 10};
    auto rocketAt = [b, launch](double u) {
      u = std::max(0.0, std::min(1.0, u));
      double e = 1 - (1 - u) * (1 - u);
      return Pt{launch.x + (b.centre.x - launch.x) * e, launch.y + (b.centre.y - launch.y) * e};
    };
    // A trail from where a flier was `lag` ago to where it is now.
    auto trailPose = [](Pt from, Pt to, double alpha) {
      Pose p;
      Pt d = to - from;
      double length = std::hypot(d.x, d.y);
      p.m = art::at(to.x, to.y, std::atan2(d.y, d.x) * 180 / art::kPi, std::max(length, 0.5) / 100,
                    1);
      p.alpha = alpha;
      return p;
    };
    actors.push_back({rocketTrail, depth++, [=](int frame) {
                        int l = local(frame);
                        Pose p;
                        p.shown = l < rise;
                        if (!p.shown) return p;
                        double u = double(l) / rise;
                        return trailPose(rocketAt(u - 0.3), rocketAt(u), 1);
                      }});
    actors.push_back({rocketHead, depth++, [=](int frame) {
                        int l = local(frame);
                        Pose p;
                        p.shown = l < rise;
                        if (!p.shown) return p;
                        Pt at = rocketAt(double(l) / rise);
                        p.m = art::at(at.x + (l % 2 ? 0.7 : -0.7), at.y);
                        return p;
                      }});
    actors.push_back({flashId, depth++, [=](int frame) {
                        Pose p;
                        int l = local(frame) - rise;
                        p.shown = l >= 0 && l < 12;
                        if (!p.shown) return p;
                        double k = 0.5 + 0.07 * l;
                        p.m = art::at(b.centre.x, b.centre.y, 0, k, k);
                        p.alpha = 1 - l / 12.0;
                        return p;
                      }});
    Scatter s(static_cast<uint32_t>(b.start * 7 + 3));
    const int outerSparks = 46, innerSparks = 18;
    for (int i = 0; i < outerSparks + innerSparks; ++i) {
      bool inner = i >= outerSparks;
      double angle = inner ? (i - outerSparks) * 360.0 / innerSparks + s.between(-6, 6)
                           : i * 360.0 / outerSparks + s.between(-4, 4);
      double reach = b.radius * (inner ? s.between(0.38, 0.52) : s.between(0.78, 1.04));
      int twinkle = s.pick(0, 2);
      // Where the spark is at tau (0..1 of the bloom): slowed by the air,
      // pulled down more and more.
      auto at = [=](double tau) {
        tau = std::max(0.0, tau);
        const double drag = 3.4;
        double out = (1 - std::exp(-drag * tau)) / (1 - std::exp(-drag));
        Pt dir = art::polar({0, 0}, 1, angle);
        return Pt{b.centre.x + dir.x * reach * out,
                  b.centre.y + dir.y * reach * out + 48 * tau * tau};
      };
      auto fade = [=](double tau, int l) {
        double f = tau < 0.5 ? 1 : std::pow(std::max(0.0, 1 - (tau - 0.5) / 0.5), 1.4);
        if (tau > 0.55 && (l + twinkle) % 3 == 0) f *= 0.35;
        return f;
      };
      actors.push_back({inner ? innerTrail : outerTrail, depth++, [=](int frame) {
                          int l = local(frame) - rise;
                          Pose p;
                          p.shown = l >= 1 && l < bloom;
                          if (!p.shown) return p;
                          double tau = double(l) / bloom;
                          return trailPose(at(tau - 0.16), at(tau), 0.85 * fade(tau, 0));
                        }});
      actors.push_back({inner ? innerHead : outerHead, depth++, [=](int frame) {
                          int l = local(frame) - rise;
                          Pose p;
                          p.shown = l >= 0 && l < bloom;
                          if (!p.shown) return p;
                          double tau = double(l) / bloom;
                          Pt here = at(tau);
                          double size = 1 - 0.4 * tau;
                          p.m = art::at(here.x, here.y, 0, size, size);
                          p.alpha = fade(tau, l);
                          return p;
                        }});
    }
  }
  kit::animate(movie.root(), loop, actors);
  return {u8"特效", u8"烟花", loop, movie.finish()};
}

// ---- 泡泡 -------------------------------------------------------------------------

art::Shape bubbleShape() {
  art::Shape bubble;
  Pt o{0, 0};
  bubble.fill(art::circle(o, 20), art::radial(o, 20,
                                              {{0, 0x00FFFFFF},
                                               {170, 0x0CE8F4FF},
                                               {215, 0x38B8D8F0},
                                               {242, 0x9068A0C8},
                                               {255, 0x30FFFFFF}}));
  // A film of colours along the rim.
  bubble.fill(
      art::ring(o, 20, 16.5),
      art::linear({-20, -20}, {20, 20},
                  {{0, 0x40FF80C0}, {90, 0x2080E0FF}, {170, 0x38FFF080}, {255, 0x40A080FF}}));
  art::Pen shine;
  shine.moveTo(art::polar(o, 15.5, 200)).arcTo(o, 15.5, 200, 262);
  shine.lineTo(art::polar(o, 12.5, 250)).arcTo(o, 12.5, 250, 212);
  bubble.fill(shine.outline(), art::solid(0xC8FFFFFF));
  bubble.fill(art::circle(art::polar(o, 13, 45), 1.8), art::solid(0x90FFFFFF));
  return bubble;
}

ShippedMovie bubbles() {
  const int loop = 240;
  kit::Movie movie(kWidth, kHeight, 24);
  uint16_t bubbleId = movie.add(bubbleShape());
  struct Bubble {
    double size, x0, y0, sway, phase;
    int wraps, swayCycles, wobble;
  };
  std::vector<Bubble> all;
  Scatter s(5);
  for (int i = 0; i < 18; ++i)
    all.push_back({s.between(0.35, 1.7), s.between(20, kWidth - 20), s.next(), s.between(10, 30),
                   s.next(), s.pick(1, 2), s.pick(1, 2), s.pick(4, 7)});
  std::sort(all.begin(), all.end(),
            [](const Bubble& a, const Bubble& b) { return a.size < b.size; });
  std::vector<Actor> actors;
  for (size_t i = 0; i < all.size(); ++i) {
    Bubble b = all[i];
    actors.push_back({bubbleId, uint16_t(i + 1), [b, loop](int frame) {
                        double t = double(frame) / loop;
                        Pose p;
                        double rise = kit::frac(b.y0 + b.wraps * t);
                        double y = kHeight + 40 - rise * (kHeight + 80);
                        double x = b.x0 + b.sway * kit::wave(t, b.swayCycles, b.phase);
                        double squash = 0.045 * kit::wave(t, b.wobble, b.phase);
                        p.m = art::at(x, y, 0, b.size * (1 + squash), b.size * (1 - squash));
                        return p;
                      }});
  }
  kit::animate(movie.root(), loop, actors);
  return {u8"特效", u8"泡泡", loop, movie.finish()};
}

}  // namespace

std::vector<ShippedMovie> effectMovies() { return {snow(), petals(), fireworks(), bubbles()}; }

}  // namespace catalogue
