#include <windows.h>

#include "setup/system_integration.h"

#include "runtime/file_names.h"
#include "runtime/record_file.h"
#include "runtime/registry.h"
#include "setup/final_texts.h"
#include "setup/pending_renames.h"
#include "setup/setup_config.h"
#include "setup/setup_state.h"

namespace {
static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record is the 148-byte one");

const char* const UninstallKey = "Software\\microsoft\\windows\\currentversion\\uninstall";
const char* const WindowsNtKey = "Software\\microsoft\\windows nt\\currentversion";

IntegrationPaths CurrentPaths() {
  return ComposeIntegrationPaths(SetupState.DestinationFolder, SetupState.WindowsFolder);
}

// A path too long for the 255-character buffers fails its registry write
// like any other failed write, before anything is written.
void RequireFit(const std::string& path) {
  if (!FitsSystemPath(path)) {
    throw ERegistryException("The path " + path + " is longer than " + std::to_string(MaxSystemPath) +
                             " characters.");
  }
}

// The registry object for keyPath, opened under HKEY_LOCAL_MACHINE; the
// object is destroyed on every way out, a raised write included.
class MachineRegistry {
public:
  explicit MachineRegistry(const char* keyPath) : Registry(CreateIniRegistry(keyPath)) {
    SetIniRegistryRoot(Registry, HKEY_LOCAL_MACHINE);
    OpenIniRegistryKey(Registry, keyPath, true);
  }
  ~MachineRegistry() { DestroyIniRegistry(Registry); }
  MachineRegistry(const MachineRegistry&) = delete;
  MachineRegistry& operator=(const MachineRegistry&) = delete;

  void WriteString(const std::string& section, const std::string& name, const std::string& value) {
    WriteIniRegistryString(Registry, section, name, value);
  }

private:
  IniRegistry* Registry;
};

// CopyFileA when both paths fit; a path that does not fit fails the copy.
bool CopyWithin(const std::string& from, const std::string& to, bool failIfExists) {
  if (!FitsSystemPath(from) || !FitsSystemPath(to)) return false;
  return CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}
}  // namespace

void ReadPlatformId() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = 148;
  GetVersionExA(&version);
  SetupState.PlatformId = version.dwPlatformId;
}

void RegisterUninstall() {
  const IntegrationPaths paths = CurrentPaths();
  RequireFit(paths.UninstallProgram);
  MachineRegistry registry(UninstallKey);
  registry.WriteString(SetupConfig.ProductName, "DisplayName", SetupConfig.ProductName);
  registry.WriteString(SetupConfig.ProductName, "UnInstallString", paths.UninstallProgram);
}

void CopyDriverFile() {
  const IntegrationPaths paths = CurrentPaths();
  if (!FitsSystemPath(paths.DriverSource)) return;
  // An existing driver in the system is never replaced.
  CopyWithin(ShortPath(paths.DriverSource), paths.DriverTarget, true);
}

void ReplaceTaskManagerFiles() {
  const IntegrationPaths paths = CurrentPaths();
  // The system's Task Manager is saved once. On a repeated installation
  // "TaskMan.Exe" is already ours, and copying it over the saved program
  // would lose the system's for good.
  CopyWithin(paths.SystemTaskManager, paths.SavedTaskManager, true);
  // Ours goes in only where the system's program is safe: saved, or never there.
  if (FileExists(paths.SavedTaskManager) || !FileExists(paths.SystemTaskManager)) {
    CopyWithin(paths.ProductTaskManager, paths.SystemTaskManager, false);
  }
  // An earlier copy still waiting for the restart stays as it is.
  CopyWithin(paths.RegistrationFile, paths.RegistrationCopy, true);
  if (!FitsSystemPath(paths.RegistrationCopy) || !FitsSystemPath(paths.RegistrationTarget)) return;
  const std::string source = ShortPath(paths.RegistrationCopy);
  if (!FitsSystemPath(source)) return;
  AddPendingRename(paths.RegistrationTarget, source);
}

void ReplaceWindowsShell() {
  const IntegrationPaths paths = CurrentPaths();
  if (SetupState.PlatformId == VER_PLATFORM_WIN32_NT) {
    RequireFit(paths.ShellProgram);
    MachineRegistry registry(WindowsNtKey);
    registry.WriteString("Winlogon", "Shell", paths.ShellProgram);
    return;
  }
  if (!FitsSystemPath(paths.ShellProgramForIni) || !FitsSystemPath(paths.SystemIni)) return;
  const std::string shell = ShortPath(paths.ShellProgramForIni);
  if (!FitsSystemPath(shell)) return;
  WritePrivateProfileStringA("Boot", "Shell", shell.c_str(), paths.SystemIni.c_str());
}
