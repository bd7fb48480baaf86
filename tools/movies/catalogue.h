// The movies the program ships in its catalogue ("动画表"), made from code.
// Every movie is 600 x 400 with nothing behind its figures, and every part of
// it loops: the timeline of each sprite is whole cycles of its motions, so
// the picture after the last frame is the picture of the first.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace catalogue {

// Every movie's stage, the desktop player's default size.
constexpr int kWidth = 600, kHeight = 400;

struct ShippedMovie {
  std::string category;  // UTF-8: "特效", "动漫", "时钟", "生活" or "其他"
  std::string name;      // UTF-8, also the file name without ".swf"
  int loopFrames;        // frames after which the picture repeats
  std::vector<uint8_t> bytes;
  bool readsTime = false;  // its scripts set it to the time of day
};

std::vector<ShippedMovie> effectMovies();
std::vector<ShippedMovie> cartoonMovies();
std::vector<ShippedMovie> clockMovies();
std::vector<ShippedMovie> lifeMovies();
std::vector<ShippedMovie> otherMovies();
std::vector<ShippedMovie> allMovies();

// A repeatable stream of numbers for scattering things about.
class Scatter {
 public:
  explicit Scatter(uint32_t seed) : state_(seed) {}
  double next();  // 0 <= x < 1
  double between(double low, double high) { return low + (high - low) * next(); }
  int pick(int low, int high);  // low..high inclusive

 private:
  uint32_t state_;
};

}  // namespace catalogue
