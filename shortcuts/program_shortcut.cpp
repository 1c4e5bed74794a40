#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "shortcuts/program_shortcut.h"

#include "runtime/file_names.h"
#include "runtime/registry.h"
#include "setup/setup_config.h"
#include "setup/setup_state.h"

namespace {
const CLSID ShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID ShellLinkInterface = {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID PersistFileInterface = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::string ProgramsFolder() {
  IniRegistry* explorer = CreateIniRegistry("Software\\microsoft\\windows\\currentversion\\explorer");
  std::string folder = ReadIniRegistryString(explorer, "Shell Folders", "programs", "");
  DestroyIniRegistry(explorer);
  return folder;
}

// The link points at the final name of the main program, which it takes at
// the next start of Windows when it had to be written under ".$$$".
void SaveLink(IShellLinkA* link, const std::string& programsFolder) {
  const std::string target = PathJoin(SetupState.DestinationFolder, ChangeFileExt(SetupConfig.MainProgramFile, ".Exe"));
  link->SetPath(target.c_str());
  link->SetWorkingDirectory(SetupState.DestinationFolder.c_str());
  link->SetShowCmd(SW_SHOWNORMAL);

  IPersistFile* file = nullptr;
  if (FAILED(link->QueryInterface(PersistFileInterface, reinterpret_cast<void**>(&file))) || file == nullptr) return;
  SetupConfig.GroupName += ".LNK";
  const std::string linkPath = PathJoin(programsFolder, SetupConfig.GroupName);
  WCHAR wide[255];
  // A path that does not fit is given as the empty name: the save fails and
  // no shortcut is made, rather than one under a cut-off name.
  if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, 255) == 0) wide[0] = L'\0';
  file->Save(wide, FALSE);
  file->Release();
}
}  // namespace

void CreateProgramShortcut() {
  const std::string programsFolder = ProgramsFolder();
  const HRESULT initialised = CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(ShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, ShellLinkInterface,
                                 reinterpret_cast<void**>(&link))) &&
      link != nullptr) {
    SaveLink(link, programsFolder);
    link->Release();
  }
  // Only a successful CoInitialize is balanced; a thread already in another
  // apartment model keeps its own.
  if (SUCCEEDED(initialised)) CoUninitialize();
}
