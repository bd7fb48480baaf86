// flash.filters: BitmapFilter, BlurFilter, GlowFilter, DropShadowFilter,
// ColorMatrixFilter and ConvolutionFilter, and the effects scripts put on a
// clip: MovieClip.filters, blendMode and cacheAsBitmap, which the renderer
// takes as it takes those a file places.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/core/sprite.h"

namespace avm1 {

namespace {

constexpr double kPi = 3.14159265358979323846;

enum class FilterClass { Blur, Glow, DropShadow, ColorMatrix, Convolution };

// As with colour transforms, the filter lives in a cell hung on the object.
const char kData[] = "filter";

class FilterData : public NativeObject {
 public:
  explicit FilterData(FilterClass cls) : NativeObject(nullptr, kFilterTag), cls(cls) {}
  FilterClass cls;
  swf::Filter filter;
};

FilterData* dataOf(const Value& v) { return static_cast<FilterData*>(hiddenData(v, kData, kFilterTag)); }

void attach(Machine& m, Object* o, FilterClass cls, const swf::Filter& f) {
  FilterData* d = m.heap().make<FilterData>(cls);
  d->filter = f;
  attachHiddenData(o, kData, d);
}

Object* ownObject(Object* o, const char* name) {
  const Property* p = o ? o->findOwn(name, true) : nullptr;
  return p ? p->value.object() : nullptr;
}

// The class's prototype as installed, whatever the movie's version sees.
Object* prototypeOf(Machine& m, FilterClass cls) {
  static const char* const names[] = {"BlurFilter", "GlowFilter", "DropShadowFilter", "ColorMatrixFilter",
                                      "ConvolutionFilter"};
  Object* filters = ownObject(flashPackage(m), "filters");
  return ownObject(ownObject(filters, names[static_cast<int>(cls)]), "prototype");
}

Object* makeFilterObject(Machine& m, FilterClass cls, const swf::Filter& f) {
  Object* o = m.heap().make<Object>(prototypeOf(m, cls));
  attach(m, o, cls, f);
  return o;
}

double clampTo(double v, double lo, double hi) { return std::isnan(v) ? lo : std::min(hi, std::max(lo, v)); }

// ------------------------------------------------------------ fields

enum Field {
  kBlurX, kBlurY, kQuality, kColor, kAlpha, kStrength, kInner, kKnockout, kDistance, kAngle, kHideObject,
  kMatrixX, kMatrixY, kWeights, kDivisor, kBias, kPreserveAlpha, kClamp
};

const char* const kFieldNames[] = {"blurX",   "blurY",   "quality", "color",   "alpha", "strength",
                                   "inner",   "knockout", "distance", "angle", "hideObject", "matrixX",
                                   "matrixY", "matrix",  "divisor", "bias",    "preserveAlpha", "clamp"};

bool isFlag(int field) {
  return field == kInner || field == kKnockout || field == kHideObject || field == kPreserveAlpha || field == kClamp;
}

// A convolution keeps matrixX × matrixY weights, whatever was set.
void resizeWeights(swf::Filter& f) { f.matrix.resize(static_cast<size_t>(f.matrixX * f.matrixY), 0.0f); }

void setWeights(Machine& m, swf::Filter& f, const Value& v) {
  f.matrix.assign(static_cast<size_t>(f.matrixX * f.matrixY), 0.0f);
  Object* list = v.object();
  if (!list) return;
  double n = std::min(m.arrayLength(list), static_cast<double>(f.matrix.size()));
  for (int i = 0; i < n; ++i) {
    double w = m.toNumber(m.arrayGet(list, i));
    f.matrix[i] = std::isfinite(w) ? static_cast<float>(w) : 0.0f;
  }
}

Value fieldValue(Machine& m, const swf::Filter& f, int field) {
  switch (field) {
    case kMatrixX: return Value(static_cast<double>(f.matrixX));
    case kMatrixY: return Value(static_cast<double>(f.matrixY));
    case kWeights: {
      std::vector<Value> values;
      for (float w : f.matrix) values.push_back(Value(static_cast<double>(w)));
      return Value(m.newArray(values));
    }
    case kDivisor: return Value(f.divisor);
    case kBias: return Value(f.bias);
    case kPreserveAlpha: return Value(f.preserveAlpha);
    case kClamp: return Value(f.clamp);
    case kBlurX: return Value(f.blurX);
    case kBlurY: return Value(f.blurY);
    case kQuality: return Value(static_cast<double>(f.passes));
    case kColor: return Value(static_cast<double>((f.color.r << 16) | (f.color.g << 8) | f.color.b));
    case kAlpha: return Value(f.color.a / 255.0);
    case kStrength: return Value(f.strength);
    case kInner: return Value(f.inner);
    case kKnockout: return Value(f.knockout);
    case kDistance: return Value(f.distance);
    case kAngle: return Value(f.angle * 180 / kPi);
    default: return Value(f.hideObject);
  }
}

void setFieldValue(Machine& m, swf::Filter& f, int field, const Value& v) {
  double n = isFlag(field) || field == kWeights ? 0 : m.toNumber(v);
  switch (field) {
    case kMatrixX:
    case kMatrixY:
      (field == kMatrixX ? f.matrixX : f.matrixY) = static_cast<int>(clampTo(wrapToInt32(n), 0, 15));
      resizeWeights(f);
      break;
    case kWeights: setWeights(m, f, v); break;
    case kDivisor: f.divisor = std::isfinite(n) ? n : 1; break;
    case kBias: f.bias = std::isfinite(n) ? n : 0; break;
    case kPreserveAlpha: f.preserveAlpha = m.toBoolean(v); break;
    case kClamp: f.clamp = m.toBoolean(v); break;
    case kBlurX: f.blurX = clampTo(n, 0, 255); break;
    case kBlurY: f.blurY = clampTo(n, 0, 255); break;
    case kQuality: f.passes = static_cast<int>(clampTo(wrapToInt32(n), 0, 15)); break;
    case kColor: {
      uint32_t rgb = static_cast<uint32_t>(wrapToInt32(n));
      f.color.r = (rgb >> 16) & 0xFF;
      f.color.g = (rgb >> 8) & 0xFF;
      f.color.b = rgb & 0xFF;
      break;
    }
    case kAlpha: f.color.a = static_cast<uint8_t>(std::lround(clampTo(n, 0, 1) * 255)); break;
    case kStrength: f.strength = clampTo(n, 0, 255); break;
    case kInner: f.inner = m.toBoolean(v); break;
    case kKnockout: f.knockout = m.toBoolean(v); break;
    case kDistance: f.distance = std::isfinite(n) ? clampTo(n, -32767, 32767) : 0; break;
    case kAngle: f.angle = std::isfinite(n) ? std::fmod(n, 360) * kPi / 180 : 0; break;
    default: f.hideObject = m.toBoolean(v); break;
  }
}

Value getField(Machine& m, Call& c) {
  FilterData* d = dataOf(c.thisValue);
  return d ? fieldValue(m, d->filter, c.callee->magic) : Value();
}

Value setField(Machine& m, Call& c) {
  if (FilterData* d = dataOf(c.thisValue)) setFieldValue(m, d->filter, c.callee->magic, c.arg(0));
  return Value();
}

// The constructors' parameters in order, with the defaults of arguments left out.
struct Param {
  int field;
  double fallback;
};
const Param kBlurParams[] = {{kBlurX, 4}, {kBlurY, 4}, {kQuality, 1}};
const Param kGlowParams[] = {{kColor, 0xFF0000}, {kAlpha, 1}, {kBlurX, 6},   {kBlurY, 6},
                             {kStrength, 2},     {kQuality, 1}, {kInner, 0}, {kKnockout, 0}};
const Param kShadowParams[] = {{kDistance, 4}, {kAngle, 45},   {kColor, 0},   {kAlpha, 1},
                               {kBlurX, 4},    {kBlurY, 4},    {kStrength, 1}, {kQuality, 1},
                               {kInner, 0},    {kKnockout, 0}, {kHideObject, 0}};
const Param kConvolutionParams[] = {{kMatrixX, 0}, {kMatrixY, 0},       {kWeights, 0}, {kDivisor, 1}, {kBias, 0},
                                    {kPreserveAlpha, 1}, {kClamp, 1}, {kColor, 0},   {kAlpha, 0}};

template <size_t N>
void construct(Machine& m, Call& c, FilterClass cls, swf::Filter::Kind kind, const Param (&params)[N]) {
  Object* o = c.thisValue.object();
  if (!o) return;
  // Every argument is read (valueOf runs) even when the object already is
  // a filter, as a subclass calling super() twice finds: only the first
  // construction counts.
  swf::Filter f;
  f.kind = kind;
  for (size_t i = 0; i < N; ++i) {
    Value v = c.arg(i);
    if (v.isUndefined()) v = isFlag(params[i].field) ? Value(params[i].fallback != 0) : Value(params[i].fallback);
    setFieldValue(m, f, params[i].field, v);
  }
  if (!dataOf(c.thisValue)) attach(m, o, cls, f);
}

Value blurConstructor(Machine& m, Call& c) {
  construct(m, c, FilterClass::Blur, swf::Filter::Kind::Blur, kBlurParams);
  return Value();
}
Value glowConstructor(Machine& m, Call& c) {
  construct(m, c, FilterClass::Glow, swf::Filter::Kind::DropShadow, kGlowParams);
  return Value();
}
Value shadowConstructor(Machine& m, Call& c) {
  construct(m, c, FilterClass::DropShadow, swf::Filter::Kind::DropShadow, kShadowParams);
  return Value();
}
Value convolutionConstructor(Machine& m, Call& c) {
  construct(m, c, FilterClass::Convolution, swf::Filter::Kind::Convolution, kConvolutionParams);
  return Value();
}

// ------------------------------------------------------------ ColorMatrixFilter

const float kIdentityMatrix[20] = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};

void setMatrix(Machine& m, swf::Filter& f, const Value& v) {
  f.matrix.assign(kIdentityMatrix, kIdentityMatrix + 20);
  Object* list = v.object();
  if (!list) return;
  for (int i = 0; i < 20; ++i) {
    double n = m.toNumber(m.arrayGet(list, i));
    f.matrix[i] = std::isfinite(n) ? static_cast<float>(n) : 0.0f;
  }
}

Value colorMatrixConstructor(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o) return Value();
  swf::Filter f;
  f.kind = swf::Filter::Kind::ColorMatrix;
  setMatrix(m, f, c.arg(0));
  if (!dataOf(c.thisValue)) attach(m, o, FilterClass::ColorMatrix, f);
  return Value();
}

// A copy each time: changing the array changes nothing until it is set back.
Value getColorMatrix(Machine& m, Call& c) {
  FilterData* d = dataOf(c.thisValue);
  if (!d || d->cls != FilterClass::ColorMatrix) return Value();
  std::vector<Value> values;
  for (float x : d->filter.matrix) values.push_back(Value(static_cast<double>(x)));
  return Value(m.newArray(values));
}

Value setColorMatrix(Machine& m, Call& c) {
  FilterData* d = dataOf(c.thisValue);
  if (d && d->cls == FilterClass::ColorMatrix) setMatrix(m, d->filter, c.arg(0));
  return Value();
}

Value cloneFilter(Machine& m, Call& c) {
  FilterData* d = dataOf(c.thisValue);
  if (!d) return Value();
  return Value(makeFilterObject(m, d->cls, d->filter));
}

Value baseConstructor(Machine&, Call&) { return Value(); }

// ------------------------------------------------------------ MovieClip.filters

FilterClass classOf(const swf::Filter& f) {
  switch (f.kind) {
    case swf::Filter::Kind::Blur: return FilterClass::Blur;
    case swf::Filter::Kind::ColorMatrix: return FilterClass::ColorMatrix;
    case swf::Filter::Kind::Convolution: return FilterClass::Convolution;
    default: return f.distance == 0 ? FilterClass::Glow : FilterClass::DropShadow;
  }
}

bool scriptable(const swf::Filter& f) {
  return f.kind == swf::Filter::Kind::Blur || f.kind == swf::Filter::Kind::ColorMatrix ||
         f.kind == swf::Filter::Kind::DropShadow || f.kind == swf::Filter::Kind::Convolution;
}

Value getClipFilters(Machine& m, Call& c) {
  player::SpriteInstance* s = spriteOf(c.thisValue);
  player::DisplayObject* d = s ? s->displayObject() : nullptr;
  std::vector<Value> list;
  if (d && d->filters)
    for (const swf::Filter& f : *d->filters)
      if (scriptable(f)) list.push_back(Value(makeFilterObject(m, classOf(f), f)));
  return Value(m.newArray(list));
}

Value setClipFilters(Machine& m, Call& c) {
  player::SpriteInstance* s = spriteOf(c.thisValue);
  player::DisplayObject* d = s ? s->displayObject() : nullptr;
  if (!d) return Value();
  auto filters = std::make_shared<std::vector<swf::Filter>>();
  if (Object* list = c.arg(0).object()) {
    double n = m.arrayLength(list);
    for (double i = 0; i < n && i < 1000; ++i)
      if (FilterData* f = dataOf(m.arrayGet(list, i))) filters->push_back(f->filter);
  }
  d->filters = filters->empty() ? nullptr : std::move(filters);
  return Value();
}

// ------------------------------------------------------------ blendMode, cacheAsBitmap

const char* const kBlendModeNames[] = {"normal",     "layer",    "multiply", "screen", "lighten",
                                       "darken",     "difference", "add",    "subtract", "invert",
                                       "alpha",      "erase",    "overlay",  "hardlight"};

player::DisplayObject* clipDisplay(const Call& c) {
  player::SpriteInstance* s = spriteOf(c.thisValue);
  return s ? s->displayObject() : nullptr;
}

Value getBlendMode(Machine&, Call& c) {
  player::DisplayObject* d = clipDisplay(c);
  if (!d) return Value();
  size_t index = static_cast<size_t>(d->blendMode) - 1;
  return Value(kBlendModeNames[index < std::size(kBlendModeNames) ? index : 0]);
}

// By name or by the file's number; anything else leaves the mode as it was.
Value setBlendMode(Machine& m, Call& c) {
  player::DisplayObject* d = clipDisplay(c);
  if (!d) return Value();
  const Value& v = c.arg(0);
  if (v.isNumber()) {
    double n = v.number();
    if (n >= 1 && n <= std::size(kBlendModeNames) && n == std::floor(n)) d->blendMode = static_cast<swf::BlendMode>(n);
    return Value();
  }
  std::string name = m.toString(v).str();
  for (size_t i = 0; i < std::size(kBlendModeNames); ++i)
    if (name == kBlendModeNames[i]) d->blendMode = static_cast<swf::BlendMode>(i + 1);
  return Value();
}

Value getCacheAsBitmap(Machine&, Call& c) {
  player::DisplayObject* d = clipDisplay(c);
  return d ? Value(d->cacheAsBitmap) : Value();
}

Value setCacheAsBitmap(Machine& m, Call& c) {
  if (player::DisplayObject* d = clipDisplay(c)) d->cacheAsBitmap = m.toBoolean(c.arg(0));
  return Value();
}

}  // namespace

FunctionObject* filterNative(Machine& m, int major, int minor) {
  // The convolution's properties in constructor order, each a getter at an
  // odd number and its setter after it.
  if (major != 1109 || minor < 1 || minor > 2 * static_cast<int>(std::size(kConvolutionParams))) return nullptr;
  int field = kConvolutionParams[(minor - 1) / 2].field;
  return m.newNative(minor % 2 ? getField : setField, field);
}

void installFilters(Machine& m) {
  Object* flash = flashPackage(m);
  Object* package = m.newObject();
  flash->define("filters", Value(package), kDontEnum);

  Object* base = m.heap().make<Object>(m.protos().object);
  m.defineClass(package, "BitmapFilter", baseConstructor, base);
  m.method(base, "clone", cloneFilter);

  struct Class {
    const char* name;
    NativeFunction constructor;
    const Param* params;
    size_t paramCount;
  };
  const Class list[] = {
      {"BlurFilter", blurConstructor, kBlurParams, std::size(kBlurParams)},
      {"GlowFilter", glowConstructor, kGlowParams, std::size(kGlowParams)},
      {"DropShadowFilter", shadowConstructor, kShadowParams, std::size(kShadowParams)},
      {"ColorMatrixFilter", colorMatrixConstructor, nullptr, 0},
      {"ConvolutionFilter", convolutionConstructor, kConvolutionParams, std::size(kConvolutionParams)},
  };
  for (const Class& cls : list) {
    Object* proto = m.heap().make<Object>(base);
    m.defineClass(package, cls.name, cls.constructor, proto);
    for (size_t i = 0; i < cls.paramCount; ++i) {
      int field = cls.params[i].field;
      proto->defineVirtual(kFieldNames[field], m.newNative(getField, field), m.newNative(setField, field),
                           kDontEnum | kDontDelete);
    }
  }
  Object* colorMatrix = prototypeOf(m, FilterClass::ColorMatrix);
  colorMatrix->defineVirtual("matrix", m.newNative(getColorMatrix), m.newNative(setColorMatrix),
                             kDontEnum | kDontDelete);

  Object* clip = m.protos().movieClip;
  const uint32_t flags = kDontEnum | kDontDelete | kVersion8;
  clip->defineVirtual("filters", m.newNative(getClipFilters), m.newNative(setClipFilters), flags);
  clip->defineVirtual("blendMode", m.newNative(getBlendMode), m.newNative(setBlendMode), flags);
  clip->defineVirtual("cacheAsBitmap", m.newNative(getCacheAsBitmap), m.newNative(setCacheAsBitmap), flags);
}

}  // namespace avm1
