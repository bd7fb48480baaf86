#include "player/core/avm1.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "player/core/sprite.h"
#include "player/core/variables.h"
#include "player/swf/actions.h"
#include "player/swf/bit_reader.h"

namespace player {

namespace {

// Bounds the work of one block whatever its jumps do.
constexpr int kMaxSteps = 100000;
constexpr size_t kMaxStack = 4096;

struct Value {
  enum class Type : uint8_t { Undefined, Null, Boolean, Number, String } type = Type::Undefined;
  double number = 0;
  std::string text;

  double toNumber() const {
    switch (type) {
      case Type::Boolean:
      case Type::Number:
        return number;
      case Type::String: {
        char* end = nullptr;
        double d = std::strtod(text.c_str(), &end);
        return end && end != text.c_str() && *end == 0 ? d : NAN;
      }
      default:
        return NAN;
    }
  }
  // As AVM1 shows values: numbers in at most 15 significant digits.
  std::string toText() const {
    switch (type) {
      case Type::String: return text;
      case Type::Boolean: return number ? "true" : "false";
      case Type::Null: return "null";
      case Type::Undefined: return "";
      case Type::Number: {
        if (std::isnan(number)) return "NaN";
        if (std::isinf(number)) return number > 0 ? "Infinity" : "-Infinity";
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.15g", number);
        return buffer;
      }
    }
    return "";
  }
  bool toBoolean() const {
    if (type == Type::String) return !text.empty();
    double n = toNumber();
    return !(n == 0 || std::isnan(n));
  }
};

class Interpreter {
 public:
  Interpreter(const uint8_t* code, size_t size, SpriteInstance& target)
      : reader_(code, size), target_(target) {}

  void run() {
    swf::Action a;
    for (int steps = 0; steps < kMaxSteps && reader_.next(&a); ++steps) {
      if (!execute(a)) return;
    }
  }

 private:
  Value pop() {
    if (stack_.empty()) return Value();
    Value v = std::move(stack_.back());
    stack_.pop_back();
    return v;
  }
  void push(Value v) {
    if (stack_.size() < kMaxStack) stack_.push_back(std::move(v));
  }

  void gotoFrame(int frame, bool play) {
    target_.gotoFrame(frame);
    if (play) {
      target_.play();
    } else {
      target_.stop();
    }
  }

  void readPush(const swf::Action& a) {
    swf::BitReader r(a.data, a.size);
    while (!r.atEnd() && !r.failed()) {
      Value v;
      uint8_t type = r.u8();
      switch (type) {
        case 0: v.type = Value::Type::String; v.text = r.cstring(); break;
        case 1: v.type = Value::Type::Number; v.number = r.f32(); break;
        case 2: v.type = Value::Type::Null; break;
        case 3: break;
        case 4: r.u8(); break;  // register: registers are not kept yet
        case 5: v.type = Value::Type::Boolean; v.number = r.u8() ? 1 : 0; break;
        case 6: v.type = Value::Type::Number; v.number = r.f64(); break;
        case 7: v.type = Value::Type::Number; v.number = static_cast<int32_t>(r.u32()); break;
        case 8:
        case 9: {
          size_t index = type == 8 ? r.u8() : r.u16();
          if (index < constants_.size()) {
            v.type = Value::Type::String;
            v.text = constants_[index];
          }
          break;
        }
        default: return;  // unknown type: the rest cannot be read
      }
      if (r.failed()) return;
      push(std::move(v));
    }
  }

  // False ends the block.
  bool execute(const swf::Action& a) {
    switch (a.code) {
      case swf::kActionStop: target_.stop(); break;
      case swf::kActionPlay: target_.play(); break;
      case swf::kActionNextFrame: gotoFrame(target_.currentFrame() + 1, false); break;
      case swf::kActionPrevFrame: gotoFrame(target_.currentFrame() - 1, false); break;
      case swf::kActionGotoFrame: {
        swf::BitReader r(a.data, a.size);
        uint16_t frame = r.u16();
        if (!r.failed()) gotoFrame(frame, false);
        break;
      }
      case swf::kActionGotoLabel: {
        swf::BitReader r(a.data, a.size);
        int frame = target_.timeline().findLabel(r.cstring());
        if (frame >= 0) gotoFrame(frame, false);
        break;
      }
      case swf::kActionGotoFrame2: {
        swf::BitReader r(a.data, a.size);
        uint8_t flags = r.u8();
        int bias = (flags & 0x02) ? r.u16() : 0;
        bool play = flags & 0x01;
        Value v = pop();
        int frame = -1;
        if (v.type == Value::Type::String) {
          // "label", "frame number", or "target:frame" with this timeline as target.
          std::string s = v.text;
          size_t colon = s.rfind(':');
          if (colon != std::string::npos) s = s.substr(colon + 1);
          double n = Value{Value::Type::String, 0, s}.toNumber();
          frame = std::isnan(n) ? target_.timeline().findLabel(s) : static_cast<int>(n) - 1;
        } else {
          double n = v.toNumber();
          if (!std::isnan(n) && std::fabs(n) < 1e9) frame = static_cast<int>(n) - 1;
        }
        if (frame >= 0) gotoFrame(frame + bias, play);
        break;
      }
      case swf::kActionPush: readPush(a); break;
      case swf::kActionSetVariable: {
        Value value = pop();
        writeVariable(target_, pop().toText(), value.toText());
        break;
      }
      case swf::kActionGetVariable: {
        Value v;
        if (readVariable(target_, pop().toText(), &v.text)) v.type = Value::Type::String;
        push(std::move(v));
        break;
      }
      case swf::kActionPop: pop(); break;
      case swf::kActionConstantPool: {
        swf::BitReader r(a.data, a.size);
        int count = r.u16();
        constants_.clear();
        for (int i = 0; i < count && !r.failed(); ++i) constants_.push_back(r.cstring());
        break;
      }
      case swf::kActionJump:
      case swf::kActionIf: {
        swf::BitReader r(a.data, a.size);
        int16_t offset = r.s16();
        bool take = a.code == swf::kActionJump || pop().toBoolean();
        if (take && !r.failed()) {
          long next = static_cast<long>(a.offset) + 3 + static_cast<long>(a.size) + offset;
          if (next < 0 || !reader_.seek(static_cast<size_t>(next))) return false;
        }
        break;
      }
      default:
        break;  // not interpreted yet
    }
    return true;
  }

  swf::ActionReader reader_;
  SpriteInstance& target_;
  std::vector<Value> stack_;
  std::vector<std::string> constants_;
};

}  // namespace

void runActions(const uint8_t* code, size_t size, SpriteInstance& target) {
  Interpreter(code, size, target).run();
}

}  // namespace player
