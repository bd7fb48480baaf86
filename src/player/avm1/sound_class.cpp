// Sound.
#include "player/avm1/builtins.h"

namespace avm1 {

void stopAllSounds(Machine& m) { (void)m; }

void installSound(Machine& m) {
  Prototypes& p = m.protos();
  p.sound = m.heap().make<Object>(p.object);
}

}  // namespace avm1
