#include "animation/player_settings.h"

#include "runtime/text.h"
#include "store/config_text.h"

namespace ql {

const char kPlayerSection[] = "fl配置";

namespace {

constexpr int kSmallestSide = 200;
constexpr int kSideForTooSmall = 380;

int storedNumber(const ConfigText& config, const char* key, const std::string& fallback) {
  return static_cast<int>(textToNumber(config.getValue(kPlayerSection, key, fallback)));
}

}  // namespace

PlayerGeometry storedPlayerGeometry(const ConfigText& config, int screenWidth) {
  PlayerGeometry g;
  g.top = storedNumber(config, "顶边", "100");
  g.left = storedNumber(config, "左边", intToText(screenWidth - 800));
  g.width = storedNumber(config, "宽度", "600");
  g.height = storedNumber(config, "高度", "400");
  if (g.width < kSmallestSide) g.width = kSideForTooSmall;
  if (g.height < kSmallestSide) g.height = kSideForTooSmall;
  return g;
}

void storePlayerGeometry(ConfigText& config, const PlayerGeometry& g) {
  config.setValue(kPlayerSection, "左边", intToText(g.left));
  config.setValue(kPlayerSection, "顶边", intToText(g.top));
  config.setValue(kPlayerSection, "宽度", intToText(g.width));
  config.setValue(kPlayerSection, "高度", intToText(g.height));
}

const char* optionKey(AnimationOption option) {
  switch (option) {
    case kOptionOnTop: return "总在最前";
    case kOptionClickThrough: return "穿透";
    case kOptionMute: return "静音";
    case kOptionLock: return "锁定";
  }
  return "";
}

bool animationOptionOn(const ConfigText& config, AnimationOption option) {
  return config.getValue(kPlayerSection, optionKey(option), "假") != "假";
}

void storeAnimationOption(ConfigText& config, AnimationOption option, bool on) {
  config.setValue(kPlayerSection, optionKey(option), on ? "真" : "假");
}

}  // namespace ql
