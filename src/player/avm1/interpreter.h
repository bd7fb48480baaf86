// Runs action bytecode: frame scripts, clip events and script functions.
#pragma once
#include <cstddef>
#include <memory>
#include <vector>

#include "player/avm1/machine.h"

namespace player {
class SpriteInstance;
}

namespace avm1 {

class ClipObject;

// One running block or function call.
struct Activation {
  Activation* parent = nullptr;
  std::shared_ptr<const Code> code;
  std::shared_ptr<const std::vector<String>> constants;
  Scope* scope = nullptr;
  Value thisValue;
  ClipObject* baseClip = nullptr;  // the timeline the code belongs to
  Object* target = nullptr;        // set by SetTarget and tellTarget; null: the base clip
  // SetTarget named no clip: properties are undefined, timeline actions and
  // variables go to the root.
  bool targetMissing = false;
  std::vector<Value> registers;
  FunctionObject* callee = nullptr;
  Object* superObject = nullptr;
  ArrayObject* arguments = nullptr;  // made when first asked for
  const Value* args = nullptr;       // the call's arguments (the caller keeps them)
  size_t argCount = 0;
  FunctionObject* caller = nullptr;
  Object* locals = nullptr;  // a function's own variables; null in frame scripts
  size_t stackBase = 0;
  Value returnValue;
  int swfVersion = 0;
  bool suppressThis = false, suppressArguments = false, suppressSuper = false;
  bool constructing = false;  // a function run by `new`
  bool constructorChain = false;  // run by `new` or super()
  // A frame script of a clip on the stage: it ends when the clip goes.
  bool haltWhenRemoved = false;

  // The clip timeline actions act on, null when it is gone.
  player::SpriteInstance* targetSprite() const;
  void trace(Heap& heap);
};

// A frame script or clip event of `base`'s timeline.
void runTopLevel(Machine& m, const std::shared_ptr<const Code>& code, ClipObject* base);
// The body of a DefineFunction or DefineFunction2 function.
Value runFunction(Machine& m, FunctionObject* function, Call& call);

}  // namespace avm1
