#include <windows.h>

#include "runtime/registry.h"
#include "runtime/record_file.h"

namespace {
void CloseCurrent(IniRegistry* registry) {
  if (registry->CurrentKey != nullptr) {
    RegCloseKey(registry->CurrentKey);
    registry->CurrentKey = nullptr;
  }
}
}  // namespace

IniRegistry* CreateIniRegistry(const std::string& keyPath) {
  IniRegistry* registry = new IniRegistry{HKEY_CURRENT_USER, nullptr};
  OpenIniRegistryKey(registry, keyPath, true);
  return registry;
}

void SetIniRegistryRoot(IniRegistry* registry, HKEY root) {
  CloseCurrent(registry);
  registry->RootKey = root;
}

bool OpenIniRegistryKey(IniRegistry* registry, const std::string& keyPath, bool canCreate) {
  CloseCurrent(registry);
  HKEY key = nullptr;
  LONG rc;
  if (canCreate) {
    DWORD disposition = 0;
    rc = RegCreateKeyExA(registry->RootKey, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                         nullptr, &key, &disposition);
  } else {
    rc = RegOpenKeyExA(registry->RootKey, keyPath.c_str(), 0, KEY_ALL_ACCESS, &key);
  }
  registry->OpenError = rc;
  if (rc != ERROR_SUCCESS) return false;
  registry->CurrentKey = key;
  return true;
}

std::string ReadIniRegistryString(IniRegistry* registry, const std::string& section, const std::string& name,
                                  const std::string& def) {
  if (registry->CurrentKey == nullptr) return def;
  HKEY sub = nullptr;
  if (RegOpenKeyExA(registry->CurrentKey, section.c_str(), 0, KEY_ALL_ACCESS, &sub) != ERROR_SUCCESS) return def;
  std::string result = def;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(sub, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::string data(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(sub, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &got) ==
        ERROR_SUCCESS) {
      data.resize(got);
      while (!data.empty() && data.back() == '\0') data.pop_back();
      result = data;
    }
  }
  RegCloseKey(sub);
  return result;
}

void WriteIniRegistryString(IniRegistry* registry, const std::string& section, const std::string& name,
                            const std::string& value) {
  if (registry->CurrentKey == nullptr) {
    std::string reason = "the key could not be opened";
    if (registry->OpenError != ERROR_SUCCESS) {
      std::string why = SystemErrorText(static_cast<DWORD>(registry->OpenError));
      while (!why.empty() && (why.back() == '.' || why.back() == ' ')) why.pop_back();
      reason += " (" + why + ")";
    }
    throw ERegistryException("Failed to write " + name + ": " + reason + ".");
  }
  HKEY sub = nullptr;
  DWORD disposition = 0;
  LONG rc = RegCreateKeyExA(registry->CurrentKey, section.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &sub, &disposition);
  if (rc != ERROR_SUCCESS) {
    throw ERegistryException("Failed to create key " + section + ": " + SystemErrorText(static_cast<DWORD>(rc)) + ".");
  }
  rc = RegSetValueExA(sub, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                      static_cast<DWORD>(value.size() + 1));
  RegCloseKey(sub);
  if (rc != ERROR_SUCCESS) {
    throw ERegistryException("Failed to set data for " + name + ": " + SystemErrorText(static_cast<DWORD>(rc)) + ".");
  }
}

void DestroyIniRegistry(IniRegistry* registry) {
  if (registry == nullptr) return;
  CloseCurrent(registry);
  delete registry;
}
