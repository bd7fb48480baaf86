#include "player/swf/display.h"

#include "player/swf/bit_reader.h"

namespace swf {

namespace {

// Cap on filters kept per object, so a broken list cannot make drawing slow.
constexpr size_t kMaxFilters = 8;
constexpr int kMaxPasses = 15;
constexpr int kMaxKernel = 15;

double fixed16(BitReader& r) { return static_cast<int32_t>(r.u32()) / 65536.0; }

// BlurX and BlurY; Flash draws at most 255 pixels of blur.
void readBlur(BitReader& r, Filter* f) {
  f->blurX = static_cast<uint32_t>(r.u32()) / 65536.0;
  f->blurY = static_cast<uint32_t>(r.u32()) / 65536.0;
  if (f->blurX > 255) f->blurX = 255;
  if (f->blurY > 255) f->blurY = 255;
}

// A gradient filter's colours and their ratios.
void readGradient(BitReader& r, Filter* f) {
  int count = r.u8();
  f->gradient.resize(size_t(count));
  for (GradientStop& stop : f->gradient) stop.color = r.rgba();
  for (GradientStop& stop : f->gradient) stop.ratio = r.u8();
}

void readPasses(uint8_t flags, int bits, Filter* f) {
  int passes = flags & ((1 << bits) - 1);
  f->passes = passes < 1 ? 1 : passes > kMaxPasses ? kMaxPasses : passes;
}

// Angle and distance (of the filters that move), strength, and the flags
// byte: inside, knockout, the object kept, and, where the passes take four
// bits, a bevel's on-top flag.
void readShading(BitReader& r, bool moves, int passBits, Filter* f) {
  if (moves) {
    f->angle = fixed16(r);
    f->distance = fixed16(r);
  }
  f->strength = r.fixed8();
  uint8_t flags = r.u8();
  f->inner = flags & 0x80;
  f->knockout = flags & 0x40;
  f->hideObject = !(flags & 0x20);
  f->onTop = passBits == 4 && (flags & 0x10);
  readPasses(flags, passBits, f);
}

}  // namespace

BlendMode blendModeFromFile(uint8_t value) {
  if (value < 2 || value > 14) return BlendMode::Normal;
  return static_cast<BlendMode>(value);
}

bool readFilterList(BitReader& r, std::vector<Filter>* out) {
  int count = r.u8();
  for (int i = 0; i < count && !r.failed(); ++i) {
    Filter f;
    bool keep = true;
    uint8_t kind = r.u8();
    switch (kind) {
      case 0:  // drop shadow
        f.kind = Filter::Kind::DropShadow;
        f.color = r.rgba();
        readBlur(r, &f);
        readShading(r, true, 5, &f);
        break;
      case 1: {  // blur
        readBlur(r, &f);
        readPasses(static_cast<uint8_t>(r.u8() >> 3), 5, &f);
        break;
      }
      case 2:  // glow: a shadow that stays in place
        f.kind = Filter::Kind::DropShadow;
        f.color = r.rgba();
        readBlur(r, &f);
        readShading(r, false, 5, &f);
        break;
      case 3:  // bevel
      case 7: {  // gradient bevel
        bool gradient = kind == 7;
        f.kind = gradient ? Filter::Kind::GradientBevel : Filter::Kind::Bevel;
        if (gradient) {
          readGradient(r, &f);
        } else {
          // The lit side's colour comes first in the file.
          f.highlight = r.rgba();
          f.color = r.rgba();
        }
        readBlur(r, &f);
        readShading(r, true, 4, &f);
        break;
      }
      case 4:  // gradient glow
        f.kind = Filter::Kind::GradientGlow;
        readGradient(r, &f);
        readBlur(r, &f);
        readShading(r, true, 4, &f);
        break;
      case 5: {  // convolution
        f.kind = Filter::Kind::Convolution;
        f.matrixX = r.u8();
        f.matrixY = r.u8();
        f.divisor = r.f32();
        f.bias = r.f32();
        for (int k = 0; k < f.matrixX * f.matrixY && !r.failed(); ++k) f.matrix.push_back(r.f32());
        f.color = r.rgba();
        uint8_t flags = r.u8();
        f.clamp = flags & 0x02;
        f.preserveAlpha = flags & 0x01;
        // Kernels larger than this would be more work than any picture is worth.
        if (f.matrixX > kMaxKernel || f.matrixY > kMaxKernel) keep = false;
        break;
      }
      case 6:  // colour matrix
        f.kind = Filter::Kind::ColorMatrix;
        for (int k = 0; k < 20; ++k) f.matrix.push_back(r.f32());
        break;
      default:
        return false;
    }
    if (r.failed()) return false;
    if (keep && out->size() < kMaxFilters) out->push_back(f);
  }
  return !r.failed();
}

}  // namespace swf
