#include "player/swf/button.h"

#include "player/swf/bit_reader.h"

namespace swf {

bool parseButton(const uint8_t* data, size_t size, int version, uint16_t* id, ButtonDef* out) {
  BitReader r(data, size);
  *id = r.u16();
  size_t actionsAt = 0;
  if (version == 2) {
    out->trackAsMenu = r.u8() & 0x01;
    size_t offsetAt = r.position();
    uint16_t offset = r.u16();
    if (offset) actionsAt = offsetAt + offset;
  }
  if (r.failed()) return false;
  while (!r.failed()) {
    uint8_t flags = r.u8();
    if (flags == 0 || r.failed()) break;
    ButtonRecord b;
    b.states = flags & 0x0F;
    b.characterId = r.u16();
    b.depth = r.u16();
    b.matrix = r.matrix();
    if (version == 2) {
      b.colorTransform = r.colorTransform(true);
      if (flags & 0x10) {
        auto filters = std::make_shared<std::vector<Filter>>();
        if (!readFilterList(r, filters.get())) break;
        if (!filters->empty()) b.filters = std::move(filters);
      }
      if (flags & 0x20) b.blendMode = blendModeFromFile(r.u8());
    }
    if (r.failed()) break;
    out->records.push_back(std::move(b));
  }
  if (version == 1) {
    // The rest of the tag is one action block, run on release.
    ButtonAction a;
    a.conditions = kOverDownToOverUp;
    a.code.assign(r.current(), r.current() + r.remaining());
    if (!a.code.empty()) out->actions.push_back(std::move(a));
    return true;
  }
  size_t at = actionsAt;
  while (at && at + 4 <= size) {
    uint16_t length = static_cast<uint16_t>(data[at] | (data[at + 1] << 8));
    uint16_t flags = static_cast<uint16_t>(data[at + 2] | (data[at + 3] << 8));
    size_t end = length ? at + length : size;
    if (end > size || end < at + 4) end = size;
    ButtonAction a;
    a.conditions = flags & 0x01FF;
    a.keyCode = flags >> 9;
    a.code.assign(data + at + 4, data + end);
    out->actions.push_back(std::move(a));
    if (!length) break;
    at = end;
  }
  return true;
}

uint16_t buttonTagTarget(const uint8_t* data, size_t size) {
  return size >= 2 ? static_cast<uint16_t>(data[0] | (data[1] << 8)) : 0;
}

bool parseButtonCxform(const uint8_t* data, size_t size, ButtonDef* button) {
  BitReader r(data, size);
  r.u16();
  ColorTransform cx = r.colorTransform(false);
  if (r.failed()) return false;
  for (ButtonRecord& b : button->records) b.colorTransform = cx;
  return true;
}

bool parseButtonSound(const uint8_t* data, size_t size, ButtonDef* button) {
  size_t at = 2;
  for (ButtonDef::Sound& sound : button->sounds) {
    if (at + 2 > size) return false;
    sound.id = static_cast<uint16_t>(data[at] | (data[at + 1] << 8));
    at += 2;
    if (!sound.id) continue;
    size_t used = 0;
    if (!readSoundInfo(data + at, size - at, &used, &sound.info)) return false;
    at += used;
  }
  return true;
}

}  // namespace swf
