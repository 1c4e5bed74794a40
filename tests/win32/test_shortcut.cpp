// The Start-menu shortcut, read back through the shell's link object.
// MW_TEST_ALSO_ON_WIN98
#include "support_screens.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "runtime/file_names.h"
#include "setup/setup_config.h"
#include "setup/setup_state.h"
#include "shortcuts/program_shortcut.h"

using namespace screens_test;

namespace {
const char* const ShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const Destination = "C:\\Program Files\\Marwindle";

struct Link {
  bool Loaded = false;
  std::string Target;
  std::string WorkingFolder;
  int ShowCommand = -1;
};

Link ReadLink(const std::string& path) {
  Link link;
  CoInitialize(nullptr);
  IShellLinkA* shellLink = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&shellLink)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      WCHAR wide[MAX_PATH];
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
      if (SUCCEEDED(file->Load(wide, STGM_READ))) {
        link.Loaded = true;
        char text[MAX_PATH] = {0};
        shellLink->GetPath(text, sizeof(text), nullptr, SLGP_RAWPATH);
        link.Target = text;
        text[0] = '\0';
        shellLink->GetWorkingDirectory(text, sizeof(text));
        link.WorkingFolder = text;
        shellLink->GetShowCmd(&link.ShowCommand);
      }
      file->Release();
    }
    shellLink->Release();
  }
  CoUninitialize();
  return link;
}

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

class ShortcutTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetupConfig = CompiledSetupConfig();
    SetupState.DestinationFolder = Destination;
    programs = RegistryString(HKEY_CURRENT_USER, ShellFoldersKey, "Programs", "");
    ASSERT_FALSE(programs.empty()) << "the prefix has no Start-menu programs folder";
    CreateDirectoryA("C:\\Program Files", nullptr);
    CreateDirectoryA(Destination, nullptr);
    // The installed program, as the unpack stage leaves it.
    HANDLE file = CreateFileA((std::string(Destination) + "\\Marwindl.Exe").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(file);
  }
  void TearDown() override {
    if (!programs.empty()) SetRegistryString(HKEY_CURRENT_USER, ShellFoldersKey, "Programs", programs);
  }
  std::string programs;
};

// The link always names the program's final ".Exe" name, whatever name the
// unpack stage had to use for it.
TEST_F(ShortcutTest, LinkToTheFinalProgramName) {
  const char* const mainFiles[] = {"Marwindl.Exe", "Marwindl.$$$", "Marwindl"};
  for (const char* mainFile : mainFiles) {
    SCOPED_TRACE(std::string("MainProgramFile ") + mainFile);
    SetupConfig.MainProgramFile = mainFile;
    SetupConfig.GroupName = "Marwindle!";
    const std::string path = PathJoin(programs, "Marwindle!.LNK");
    DeleteFileA(path.c_str());
    CreateProgramShortcut();
    EXPECT_EQ(SetupConfig.GroupName, "Marwindle!.LNK");
    EXPECT_EQ(SetupConfig.MainProgramFile, mainFile) << "the program's name itself is left alone";
    ASSERT_TRUE(IsFile(path)) << path;
    const Link link = ReadLink(path);
    ASSERT_TRUE(link.Loaded);
    EXPECT_STRCASEEQ(link.Target.c_str(), "C:\\Program Files\\Marwindle\\Marwindl.Exe");
    EXPECT_STRCASEEQ(link.WorkingFolder.c_str(), Destination);
    EXPECT_EQ(link.ShowCommand, SW_SHOWNORMAL);
  }
}

TEST_F(ShortcutTest, FileNamedAfterTheGroup) {
  CreateDirectoryA(PathJoin(programs, "Tools").c_str(), nullptr);
  struct Case {
    const char* group;
    const char* file;  // null: no shortcut at all
  };
  const Case cases[] = {
      {"", ".LNK"},
      {"Tools\\Marwindle", "Tools\\Marwindle.LNK"},  // into an existing subfolder
      {"Missing\\Marwindle", nullptr},                // no folder is made for it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("GroupName \"") + c.group + "\"");
    SetupConfig.GroupName = c.group;
    CreateProgramShortcut();
    EXPECT_EQ(SetupConfig.GroupName, std::string(c.group) + ".LNK");
    if (c.file) {
      EXPECT_TRUE(IsFile(PathJoin(programs, c.file)));
      EXPECT_TRUE(ReadLink(PathJoin(programs, c.file)).Loaded);
    } else {
      EXPECT_FALSE(IsFile(PathJoin(programs, "Missing\\Marwindle.LNK")));
      EXPECT_EQ(GetFileAttributesA(PathJoin(programs, "Missing").c_str()), INVALID_FILE_ATTRIBUTES);
    }
  }
}

// Without the "programs" value the link goes into the current folder.
TEST_F(ShortcutTest, MissingProgramsValueSavesInTheCurrentFolder) {
  ASSERT_TRUE(DeleteRegistryValue(HKEY_CURRENT_USER, ShellFoldersKey, "Programs"));
  ASSERT_TRUE(SetCurrentDirectoryA(Destination));
  SetupConfig.GroupName = "Marwindle!";
  CreateProgramShortcut();
  const std::string path = std::string(Destination) + "\\Marwindle!.LNK";
  EXPECT_TRUE(IsFile(path));
  EXPECT_STRCASEEQ(ReadLink(path).Target.c_str(), "C:\\Program Files\\Marwindle\\Marwindl.Exe");
  SetCurrentDirectoryA("C:\\");
}

// A path too long for the conversion buffer makes no shortcut rather than
// one under a cut-off name; the name alone would still be a valid file name.
TEST_F(ShortcutTest, OverlongNameMakesNoShortcut) {
  const std::size_t length = 260 - programs.size() - 5;
  ASSERT_LT(length + 4, 250u);
  SetupConfig.GroupName = std::string(length, 'M');
  CreateProgramShortcut();
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(PathJoin(programs, "MMMM*").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "found " << found.cFileName;
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}
}  // namespace
