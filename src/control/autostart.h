// Starting with Windows: the Run value "deskorb" holding the program's path.
// The machine-wide Run key needs administrator rights; when it cannot be
// written the user's own Run key serves instead, and the state shown is
// always what the registry really holds.
#pragma once
#include <string>

namespace ql {

enum class RunScope { Machine, User };

// The registry behind autostart; tests substitute their own.
class RunKeyStore {
 public:
  virtual ~RunKeyStore() = default;
  // The text of the value (REG_SZ or REG_EXPAND_SZ); empty when absent.
  virtual std::string read(RunScope scope) = 0;
  virtual bool write(RunScope scope, const std::string& path) = 0;
  virtual void remove(RunScope scope) = 0;
};

// "SOFTWARE\Microsoft\Windows\CurrentVersion\Run\deskorb": the key, then the value name.
extern const char kRunValuePath[];

// On when either Run key holds non-empty text.
bool autostartEnabled(RunKeyStore& store);

// Switches autostart and returns the state the registry holds afterwards.
bool applyAutostart(RunKeyStore& store, bool on, const std::string& programPath);

#ifdef _WIN32
RunKeyStore& systemRunKeyStore();
#endif

}  // namespace ql
