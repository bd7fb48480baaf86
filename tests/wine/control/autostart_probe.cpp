// Switches autostart the way the settings menu does, through a registry whose
// machine-wide Run key refuses writes (as it does without administrator
// rights) while the user's Run key is the real one.
//
//   autostart_probe on|off
//
// Prints "state=0|1 mark=0|1 config=TEXT" (TEXT: "控制配置"/"开机启动" in GBK).
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "control/autostart_switch.h"
#include "control/command_dispatch.h"
#include "control/control_menus.h"
#include "shell/app.h"

namespace {

class MachineKeyDenied : public ql::RunKeyStore {
 public:
  std::string read(ql::RunScope scope) override { return real().read(scope); }
  bool write(ql::RunScope scope, const std::string& path) override {
    return scope == ql::RunScope::User && real().write(scope, path);
  }
  void remove(ql::RunScope scope) override {
    if (scope == ql::RunScope::User) real().remove(scope);
  }

 private:
  static ql::RunKeyStore& real() { return ql::systemRunKeyStore(); }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || (std::strcmp(argv[1], "on") != 0 && std::strcmp(argv[1], "off") != 0)) {
    std::fprintf(stderr, "usage: autostart_probe on|off\n");
    return 2;
  }
  ql::createControlMenus();
  ql::fillTrayAndSettingsMenus(ql::autostartEnabled(ql::systemRunKeyStore()));
  MachineKeyDenied store;
  bool state = ql::switchAutostart(store, std::strcmp(argv[1], "on") == 0);
  bool mark = ql::controlMenu(ql::kSettingsMenu).itemState(ql::kCommandAutostart) & MF_CHECKED;
  std::printf("state=%d mark=%d config=%s\n", state ? 1 : 0, mark ? 1 : 0,
              ql::appConfig.getValue("控制配置", "开机启动").c_str());
  return 0;
}
