// Putting the shipped movies together: characters, timelines whose objects
// follow a pose per frame, and frame scripts.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "art.h"
#include "swf_builder.h"

namespace kit {

using art::Affine;
using swftest::Bytes;
using swftest::Timeline;

// Where an object is in one frame and how it is tinted. Multipliers are
// 1 for unchanged, adds in 0..255 steps.
struct Pose {
  Affine m;
  double alpha = 1;
  int ratio = -1;  // morph ratio 0..65535; -1 for none
  double red = 1, green = 1, blue = 1;
  double addRed = 0, addGreen = 0, addBlue = 0;
  bool shown = true;
  bool sameTint(const Pose& o) const;
  bool plainTint() const;
};

// A movie of the catalogue: characters are numbered as they are added.
class Movie {
 public:
  Movie(int width, int height, double fps);
  uint16_t add(const art::Shape& shape);
  // A morph shape from one filled outline to another: the two must have the
  // same segments, and the paints the same kind and number of stops. Placed
  // objects show it at their ratio (0 the first, 65535 the second).
  uint16_t addMorph(const art::Outline& from, const art::Paint& fromPaint, const art::Outline& to,
                    const art::Paint& toPaint);
  // A sprite whose timeline is `timeline`, `frames` long.
  uint16_t add(const Timeline& timeline, int frames);
  Timeline& root() { return builder_.root(); }
  // The finished, compressed file.
  Bytes finish();
  int width() const { return width_; }
  int height() const { return height_; }
  double fps() const { return fps_; }

 private:
  swftest::MovieBuilder builder_;
  int width_, height_;
  double fps_;
  uint16_t nextId_ = 1;
};

// A pose with just a place and an alpha.
Pose posed(const Affine& m, double alpha = 1);

// PlaceObject2 of a new object (character `id`) or, with id 0, a move.
void place(Timeline& timeline, uint16_t depth, uint16_t id, const Pose& pose,
           const std::string& name = "", uint16_t clipDepth = 0);

// One object of an animated timeline: its character, depth and optional
// instance name, and its pose in frame f.
struct Actor {
  Actor(uint16_t id, uint16_t depth, std::function<Pose(int frame)> pose, std::string name = "",
        uint16_t clipDepth = 0)
      : id(id), depth(depth), pose(std::move(pose)), name(std::move(name)), clipDepth(clipDepth) {}
  uint16_t id;
  uint16_t depth;
  std::function<Pose(int frame)> pose;
  std::string name;
  uint16_t clipDepth;
};

// Writes `frames` frames: every actor is placed, moved only when its pose
// changes, removed while not shown. `script(frame)` is run in a frame when it
// gives code. Each frame ends with ShowFrame.
void animate(Timeline& timeline, int frames, const std::vector<Actor>& actors,
             const std::function<Bytes(int frame)>& script = nullptr);

// One static sprite holding `shapes` at depths 1, 2, ... with the given places.
Timeline still(const std::vector<std::pair<uint16_t, Affine>>& parts);

// Smooth 0..1..0 over a period, and the like, for seamless loops: t runs 0..1.
double wave(double t, double cycles = 1, double phase = 0);  // sin(2π(cycles t + phase))
double ease(double t);                                       // smoothstep
double frac(double x);                                       // x - floor(x)

// AVM1 byte code, written the way a compiler would lay it out.
class Script {
 public:
  Script& push(const std::string& text);
  Script& push(int value);
  Script& pushFloat(float value);
  Script& op(uint8_t code);  // an action without data
  // Calls `method` of the object named `object` with the values pushed
  // before (their count given); leaves the result.
  Script& callMethod(const std::string& object, const std::string& method, int argumentCount);
  // Skips `body` unless the value on the stack is true.
  Script& runIf(const Script& body);
  const Bytes& bytes() const { return code_; }

 private:
  void pushRecord(uint8_t type, const Bytes& data);
  Bytes code_;
};

namespace op {
constexpr uint8_t kAdd2 = 0x47, kMultiply = 0x0C, kDivide = 0x0D, kModulo = 0x3F, kNot = 0x12,
                  kGreater = 0x67, kToInteger = 0x18, kStringAdd = 0x21, kGetVariable = 0x1C,
                  kSetVariable = 0x1D, kSetProperty = 0x23, kNewObject = 0x40, kCallMethod = 0x52,
                  kPop = 0x17;
constexpr int kRotationProperty = 10;
}  // namespace op

// True (as a value on the stack) only where dates can be read: the clocks'
// guard, so an engine without them leaves the clock face as drawn.
Script datesWork();

}  // namespace kit
