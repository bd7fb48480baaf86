// Decoding of AVM1 action records (DoAction bytecode). The decoder only
// splits the byte stream into records; the player's interpreter gives them
// meaning, so new actions can be taught one at a time.
#pragma once
#include <cstddef>
#include <cstdint>

namespace swf {

enum ActionCode : uint8_t {
  kActionEnd = 0x00,
  kActionNextFrame = 0x04,
  kActionPrevFrame = 0x05,
  kActionPlay = 0x06,
  kActionStop = 0x07,
  kActionPop = 0x17,
  kActionGetVariable = 0x1C,
  kActionSetVariable = 0x1D,
  kActionGotoFrame = 0x81,
  kActionConstantPool = 0x88,
  kActionGotoLabel = 0x8C,
  kActionPush = 0x96,
  kActionJump = 0x99,
  kActionIf = 0x9D,
  kActionGotoFrame2 = 0x9F,
};

struct Action {
  uint8_t code = 0;
  const uint8_t* data = nullptr;  // payload of long actions (code >= 0x80)
  size_t size = 0;
  size_t offset = 0;  // where the record starts in the block
};

class ActionReader {
 public:
  ActionReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  // False at the end action, at the end of the block, or at a record whose
  // length runs past the block.
  bool next(Action* action);
  size_t position() const { return pos_; }
  // Continues at a byte offset within the block (jumps); false outside it.
  bool seek(size_t offset);

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace swf
