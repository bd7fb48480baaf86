#include "control/autostart.h"

namespace ql {

const char kRunValuePath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\deskorb";

bool autostartEnabled(RunKeyStore& store) {
  return !store.read(RunScope::Machine).empty() || !store.read(RunScope::User).empty();
}

bool applyAutostart(RunKeyStore& store, bool on, const std::string& programPath) {
  if (on) {
    if (!store.write(RunScope::Machine, programPath)) store.write(RunScope::User, programPath);
  } else {
    store.remove(RunScope::Machine);
    store.remove(RunScope::User);
  }
  return autostartEnabled(store);
}

}  // namespace ql
