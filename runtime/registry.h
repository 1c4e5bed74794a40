#pragma once
// The ini-style registry object: a key path opened under a root key, whose
// subkeys act as sections and whose string values act as entries.
#include <windows.h>

#include <stdexcept>
#include <string>

struct IniRegistry {
  HKEY RootKey;
  HKEY CurrentKey;  // null when no key is open
  LONG OpenError = ERROR_SUCCESS;  // why the last open failed, for the error a write raises
};

class ERegistryException : public std::runtime_error {
public:
  explicit ERegistryException(const std::string& message) : std::runtime_error(message) {}
};

// Opens keyPath under HKEY_CURRENT_USER with full access, creating it when
// missing; nothing is written into it.
IniRegistry* CreateIniRegistry(const std::string& keyPath);
// Changes the root key; the key that was open is closed.
void SetIniRegistryRoot(IniRegistry* registry, HKEY root);
// Opens keyPath under the root with full access, creating it when canCreate.
bool OpenIniRegistryKey(IniRegistry* registry, const std::string& keyPath, bool canCreate);
// The string value name of subkey section, or def when the key, the subkey
// or the value is missing or cannot be opened with full access.
std::string ReadIniRegistryString(IniRegistry* registry, const std::string& section, const std::string& name,
                                  const std::string& def);
// Sets the string value name of subkey section (created when missing);
// raises ERegistryException when the subkey or the value cannot be written.
void WriteIniRegistryString(IniRegistry* registry, const std::string& section, const std::string& name,
                            const std::string& value);
// Closes the keys and frees the object.
void DestroyIniRegistry(IniRegistry* registry);
