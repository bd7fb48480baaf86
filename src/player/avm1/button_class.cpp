// Button: the class of buttons' script objects. Buttons answer for their
// display properties (_x, _name, ...) as clips do; their prototype holds
// only what buttons have, so clip methods do not reach them.
#include "player/avm1/builtins.h"

namespace avm1 {

void installButton(Machine& m) {
  Object* proto = m.heap().make<Object>(m.protos().object);
  m.defineClass(m.global(), "Button", returnNothing, proto, kDontEnum);
  // The depth as clips report it, by the same function.
  if (const Property* getDepth = m.protos().movieClip->findOwn("getDepth", true))
    proto->define("getDepth", getDepth->value, kDontEnum | kVersion6);
  proto->define("enabled", Value(true), kDontEnum | kVersion6);
  proto->define("useHandCursor", Value(true), kDontEnum | kVersion6);
  proto->define("trackAsMenu", Value(false), kDontEnum | kVersion6);
  m.protos().button = proto;
}

}  // namespace avm1
