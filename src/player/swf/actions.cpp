#include "player/swf/actions.h"

namespace swf {

bool ActionReader::next(Action* action) {
  if (pos_ >= size_) return false;
  action->offset = pos_;
  action->code = data_[pos_++];
  action->data = nullptr;
  action->size = 0;
  if (action->code == kActionEnd) return false;
  if (action->code >= 0x80) {
    if (size_ - pos_ < 2) return false;
    size_t length = data_[pos_] | (size_t(data_[pos_ + 1]) << 8);
    pos_ += 2;
    if (length > size_ - pos_) return false;
    action->data = data_ + pos_;
    action->size = length;
    pos_ += length;
  }
  return true;
}

bool ActionReader::seek(size_t offset) {
  if (offset > size_) return false;
  pos_ = offset;
  return true;
}

}  // namespace swf
