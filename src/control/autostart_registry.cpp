// The Run keys in the real registry.
#include <windows.h>

#include <vector>

#include "control/autostart.h"
#include "runtime/files.h"

namespace ql {

namespace {

HKEY rootOf(RunScope scope) {
  return scope == RunScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::string keyPath() {
  std::string path = kRunValuePath;
  return path.substr(0, path.rfind('\\'));
}

std::string valueName() {
  std::string path = kRunValuePath;
  return path.substr(path.rfind('\\') + 1);
}

class RegistryRunKeyStore : public RunKeyStore {
 public:
  std::string read(RunScope scope) override {
    HKEY key = nullptr;
    if (RegOpenKeyA(rootOf(scope), keyPath().c_str(), &key) != ERROR_SUCCESS) return std::string();
    std::vector<char> data(1024);
    DWORD type = 0, size = static_cast<DWORD>(data.size());
    LONG rc = RegQueryValueExA(key, valueName().c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(data.data()), &size);
    if (rc == ERROR_MORE_DATA) {
      data.resize(size + 1);
      size = static_cast<DWORD>(data.size());
      rc = RegQueryValueExA(key, valueName().c_str(), nullptr, &type,
                            reinterpret_cast<BYTE*>(data.data()), &size);
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::string();
    data.resize(size);
    return std::string(data.data(), strnlen(data.data(), data.size()));
  }

  bool write(RunScope scope, const std::string& path) override {
    HKEY key = nullptr;
    if (RegCreateKeyExA(rootOf(scope), keyPath().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
      return false;
    LONG rc = RegSetValueExA(key, valueName().c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(path.c_str()),
                             static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
  }

  void remove(RunScope scope) override {
    HKEY key = nullptr;
    bool deleted = false;
    if (RegOpenKeyExA(rootOf(scope), keyPath().c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
      deleted = RegDeleteValueA(key, valueName().c_str()) == ERROR_SUCCESS;
      RegCloseKey(key);
    }
    // Some old installs made "deskorb" a key of its own.
    if (!deleted) RegDeleteKeyA(rootOf(scope), kRunValuePath);
  }
};

}  // namespace

RunKeyStore& systemRunKeyStore() {
  static RegistryRunKeyStore store;
  return store;
}

}  // namespace ql
