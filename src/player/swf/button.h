// Buttons: DefineButton and DefineButton2 with their state records and the
// actions on their transitions, DefineButtonCxform and DefineButtonSound.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "player/swf/display.h"
#include "player/swf/sound.h"
#include "player/swf/types.h"

namespace swf {

enum ButtonState : uint8_t { kStateUp = 1, kStateOver = 2, kStateDown = 4, kStateHit = 8 };

struct ButtonRecord {
  uint8_t states = 0;  // ButtonState bits
  uint16_t characterId = 0;
  uint16_t depth = 0;
  Matrix matrix;
  ColorTransform colorTransform;
  std::shared_ptr<const std::vector<Filter>> filters;
  BlendMode blendMode = BlendMode::Normal;
};

// Transition bits of BUTTONCONDACTION, as the file's 16-bit field has them.
enum ButtonTransition : uint16_t {
  kIdleToOverUp = 0x0001,
  kOverUpToIdle = 0x0002,
  kOverUpToOverDown = 0x0004,
  kOverDownToOverUp = 0x0008,
  kOverDownToOutDown = 0x0010,
  kOutDownToOverDown = 0x0020,
  kOutDownToIdle = 0x0040,
  kIdleToOverDown = 0x0080,
  kOverDownToIdle = 0x0100,
};

struct ButtonAction {
  uint16_t conditions = 0;  // ButtonTransition bits
  int keyCode = 0;          // a key press that also runs it; 0: none
  std::vector<uint8_t> code;
};

struct ButtonDef {
  bool trackAsMenu = false;
  std::vector<ButtonRecord> records;
  std::vector<ButtonAction> actions;
  // DefineButtonSound: played on OverUpToIdle, IdleToOverUp,
  // OverUpToOverDown and OverDownToOverUp; id 0 for none.
  struct Sound {
    uint16_t id = 0;
    SoundInfo info;
  } sounds[4];
};

// DefineButton (version 1) or DefineButton2 (version 2).
bool parseButton(const uint8_t* data, size_t size, int version, uint16_t* id, ButtonDef* out);
// DefineButtonCxform: a colour transform for every record of a DefineButton.
bool parseButtonCxform(const uint8_t* data, size_t size, ButtonDef* button);
// DefineButtonSound.
bool parseButtonSound(const uint8_t* data, size_t size, ButtonDef* button);
// The button id a DefineButtonCxform or DefineButtonSound tag is for.
uint16_t buttonTagTarget(const uint8_t* data, size_t size);

}  // namespace swf
