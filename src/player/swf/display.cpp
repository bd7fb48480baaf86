#include "player/swf/display.h"

#include "player/swf/bit_reader.h"

namespace swf {

namespace {

// Cap on filters kept per object, so a broken list cannot make drawing slow.
constexpr size_t kMaxFilters = 8;
constexpr int kMaxPasses = 15;

double fixed16(BitReader& r) { return static_cast<int32_t>(r.u32()) / 65536.0; }

// BlurX and BlurY; Flash draws at most 255 pixels of blur.
void readBlur(BitReader& r, Filter* f) {
  f->blurX = static_cast<uint32_t>(r.u32()) / 65536.0;
  f->blurY = static_cast<uint32_t>(r.u32()) / 65536.0;
  if (f->blurX > 255) f->blurX = 255;
  if (f->blurY > 255) f->blurY = 255;
}

void readPasses(uint8_t flags, int bits, Filter* f) {
  int passes = flags & ((1 << bits) - 1);
  f->passes = passes < 1 ? 1 : passes > kMaxPasses ? kMaxPasses : passes;
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
    switch (r.u8()) {
      case 0: {  // drop shadow
        f.kind = Filter::Kind::DropShadow;
        f.color = r.rgba();
        readBlur(r, &f);
        f.angle = fixed16(r);
        f.distance = fixed16(r);
        f.strength = r.fixed8();
        uint8_t flags = r.u8();
        f.inner = flags & 0x80;
        f.knockout = flags & 0x40;
        f.hideObject = !(flags & 0x20);
        readPasses(flags, 5, &f);
        break;
      }
      case 1: {  // blur
        readBlur(r, &f);
        readPasses(static_cast<uint8_t>(r.u8() >> 3), 5, &f);
        break;
      }
      case 2: {  // glow: a shadow that stays in place
        f.kind = Filter::Kind::DropShadow;
        f.color = r.rgba();
        readBlur(r, &f);
        f.strength = r.fixed8();
        uint8_t flags = r.u8();
        f.inner = flags & 0x80;
        f.knockout = flags & 0x40;
        f.hideObject = !(flags & 0x20);
        readPasses(flags, 5, &f);
        break;
      }
      case 3:  // bevel
        r.skip(27);
        keep = false;
        break;
      case 4:  // gradient glow
      case 7: {  // gradient bevel
        int colors = r.u8();
        r.skip(size_t(colors) * 5 + 19);
        keep = false;
        break;
      }
      case 5: {  // convolution
        int w = r.u8(), h = r.u8();
        r.skip(8 + size_t(w) * h * 4 + 5);
        keep = false;
        break;
      }
      case 6:  // colour matrix
        r.skip(80);
        keep = false;
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
