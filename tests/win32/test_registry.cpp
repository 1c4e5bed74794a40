// The ini-style registry object: every read has a default, every failed
// write raises ERegistryException with a message that names the value.
// MW_TEST_ALSO_ON_WIN98
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "runtime/registry.h"

namespace {

const char* const Base = "Software\\MarwindleTest";

bool SetDword(const std::string& key, const char* name, DWORD value) {
  HKEY k = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const LONG rc = RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  RegCloseKey(k);
  return rc == ERROR_SUCCESS;
}

bool KeyExists(HKEY root, const std::string& key) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

TEST(IniRegistry, ReadsGiveTheDefaultForAMissingKeySectionOrValue) {
  IniRegistry* registry = CreateIniRegistry(Base);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Base)) << "creating the object creates its key";
  WriteIniRegistryString(registry, "Paths", "RegDir", "C:\\Marwindle");
  ASSERT_TRUE(SetDword(std::string(Base) + "\\Paths", "Count", 7));

  const struct {
    const char* Section;
    const char* Name;
    const char* Expected;
  } cases[] = {
      {"Paths", "RegDir", "C:\\Marwindle"},
      {"paths", "regdir", "C:\\Marwindle"},  // the registry ignores letter case
      {"Paths", "Missing", "<default>"},
      {"No Such Section", "RegDir", "<default>"},
      {"Paths", "Count", "<default>"},  // not a string
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.Expected, ReadIniRegistryString(registry, c.Section, c.Name, "<default>"))
        << c.Section << "\\" << c.Name;
  }

  // A key that is not there, opened without creating it.
  EXPECT_FALSE(OpenIniRegistryKey(registry, std::string(Base) + "\\Not There", false));
  EXPECT_EQ("<default>", ReadIniRegistryString(registry, "Paths", "RegDir", "<default>"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(Base) + "\\Not There"));
  DestroyIniRegistry(registry);
}

TEST(IniRegistry, WritesCreateTheSectionAndReadBack) {
  IniRegistry* registry = CreateIniRegistry(Base);
  WriteIniRegistryString(registry, "New Section", "Empty", "");
  WriteIniRegistryString(registry, "New Section", "Text", "Marwindle! 1.0 \"quoted\"");
  EXPECT_EQ("", ReadIniRegistryString(registry, "New Section", "Empty", "<default>"));
  EXPECT_EQ("Marwindle! 1.0 \"quoted\"", ReadIniRegistryString(registry, "New Section", "Text", "<default>"));
  DestroyIniRegistry(registry);
}

TEST(IniRegistry, AnotherRootKey) {
  IniRegistry* registry = CreateIniRegistry(Base);
  SetIniRegistryRoot(registry, HKEY_LOCAL_MACHINE);
  EXPECT_EQ("<default>", ReadIniRegistryString(registry, "Paths", "RegDir", "<default>")) << "no key is open";
  ASSERT_TRUE(OpenIniRegistryKey(registry, "Software\\MarwindleMachineTest", true));
  WriteIniRegistryString(registry, "Section", "Name", "machine value");
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\MarwindleMachineTest\\Section"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\MarwindleMachineTest"));
  EXPECT_EQ("machine value", ReadIniRegistryString(registry, "Section", "Name", "<default>"));
  DestroyIniRegistry(registry);
}

TEST(IniRegistry, AWriteThatFailsRaisesAnErrorNamingTheValue) {
  IniRegistry* registry = CreateIniRegistry(Base);
  // A section name beyond the registry's limit of 255 characters.
  const std::string tooLong(300, 'S');
  try {
    WriteIniRegistryString(registry, tooLong, "RegDir", "x");
    ADD_FAILURE() << "a section that cannot be created must raise";
  } catch (const ERegistryException& error) {
    EXPECT_NE(std::string::npos, std::string(error.what()).find(tooLong)) << error.what();
  }

  // No key open: the key path could not be opened.
  EXPECT_FALSE(OpenIniRegistryKey(registry, std::string(Base) + "\\Not There Either", false));
  try {
    WriteIniRegistryString(registry, "Paths", "RegDir", "x");
    ADD_FAILURE() << "a write without an open key must raise";
  } catch (const ERegistryException& error) {
    EXPECT_NE(std::string::npos, std::string(error.what()).find("RegDir")) << error.what();
  }
  DestroyIniRegistry(registry);
}

}  // namespace
