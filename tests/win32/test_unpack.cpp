// The unpack stage run through its real dialog over archives packed here:
// the split into place, installing over an earlier installation, files in
// use, cancel, and the faults that must stop the stage with a message.
#include "support_screens.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/archive_io.h"
#include "archive/file_directory.h"
#include "archive/lzhuf_encoder.h"
#include "archive/stages.h"
#include "runtime/file_names.h"
#include "setup/install_running.h"
#include "setup/pending_renames.h"
#include "setup/setup_config.h"
#include "setup/setup_state.h"

using namespace screens_test;

namespace {
using Bytes = std::vector<unsigned char>;
const char* const Dest = "C:\\unpack";

struct Listed {
  std::string name;
  Bytes bytes;
};

Bytes Filled(std::size_t size, unsigned seed) {
  Bytes bytes(size);
  unsigned v = seed * 2654435761u + 1;
  for (std::size_t i = 0; i < size; ++i) {
    v = v * 1103515245u + 12345u;
    bytes[i] = static_cast<unsigned char>(v >> 16);
  }
  return bytes;
}

void PutFile(const std::string& path, const Bytes& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// The file's bytes; "missing" is told apart by the flag.
Bytes GetFile(const std::string& path, bool* exists = nullptr) {
  Bytes bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (exists) *exists = file != INVALID_HANDLE_VALUE;
  if (file == INVALID_HANDLE_VALUE) return bytes;
  unsigned char block[4096];
  DWORD got = 0;
  while (ReadFile(file, block, sizeof(block), &got, nullptr) && got > 0) bytes.insert(bytes.end(), block, block + got);
  CloseHandle(file);
  return bytes;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Every test starts from an empty destination folder.
void EmptyFolder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(PathJoin(folder, "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFileA(PathJoin(folder, found.cFileName).c_str());
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

void PutInt32(Bytes& out, std::int32_t value) {
  for (int i = 0; i < 4; i++) out.push_back(static_cast<unsigned char>(static_cast<std::uint32_t>(value) >> (8 * i)));
}

class UnpackStageTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetupConfig = CompiledSetupConfig();
    SetupState.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    SetupState.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    SetupState.DestinationFolder = Dest;
    char windows[MAX_PATH] = {0};
    GetWindowsDirectoryA(windows, sizeof(windows));
    SetupState.WindowsFolder = windows;
    SetupState.MainProgramCreated = false;
    SetupState.InputBuffer = static_cast<unsigned char*>(std::malloc(TransferBufferSize));
    SetupState.OutputBuffer = static_cast<unsigned char*>(std::malloc(TransferBufferSize));
    CreateDirectoryA(Dest, nullptr);
    EmptyFolder(Dest);
    CreateDirectoryA(HelpFolder().c_str(), nullptr);
    OpenPendingRenameList();
  }
  void TearDown() override {
    ClosePendingRenameList();
    ReleaseFileDirectory(FileDirectory);
    std::free(SetupState.InputBuffer);
    std::free(SetupState.OutputBuffer);
    SetupState.InputBuffer = SetupState.OutputBuffer = nullptr;
  }

  std::string HelpFolder() const { return PathJoin(SetupState.WindowsFolder, "Help"); }
  std::string InDest(const std::string& name) const { return PathJoin(Dest, name); }

  // Packs the main program and the listed files into the joined archive and
  // loads their directory.
  void Prepare(const Bytes& program, const std::vector<Listed>& files) {
    Bytes stream = program;
    Bytes trailer;
    for (const Listed& f : files) {
      trailer.push_back(static_cast<unsigned char>(f.name.size()));
      std::string field = f.name;
      field.resize(19, 'Z');  // leftovers, as the packer may leave them
      trailer.insert(trailer.end(), field.begin(), field.end());
      PutInt32(trailer, static_cast<std::int32_t>(stream.size()));
      PutInt32(trailer, static_cast<std::int32_t>(f.bytes.size()));
      stream.insert(stream.end(), f.bytes.begin(), f.bytes.end());
    }
    trailer.push_back(static_cast<unsigned char>(files.size()));
    PutInt32(trailer, static_cast<std::int32_t>(stream.size()));
    const TrailerCheck check = ParseTrailer(trailer.data(), trailer.size(), FileDirectory);
    ASSERT_TRUE(check.Valid) << check.Reason;
    PutFile(InDest(SetupConfig.JoinedArchiveFile), LzhPack(stream.data(), stream.size()));
  }

  // Runs the stage; `user` plays whatever the run asks for.
  INT_PTR Run(const std::function<void(HWND)>& user = [](HWND dialog) { WaitUntilGone(dialog, 60000); }) {
    return RunDialog("Progress", UnpackStage, user);
  }

  // Waits for a message box of the dialog's thread, checks it and presses OK.
  static void ExpectBox(HWND dialog, const char* caption, const std::string& text) {
    HWND box = WaitForDialogWindow(GetWindowThreadProcessId(dialog, nullptr), caption, dialog, 20000);
    ASSERT_NE(box, nullptr) << "no message box \"" << caption << "\"";
    EXPECT_EQ(MessageBoxText(box), text);
    AnswerMessageBox(box, IDOK);
  }
};

TEST_F(UnpackStageTest, SplitsEveryFileIntoPlaceAndCutsTheMainProgram) {
  const Bytes program = Filled(3000, 1);
  const std::vector<Listed> files = {
      {"empty.txt", {}},
      {"block.bin", Filled(2048, 2)},
      {"block1.bin", Filled(2049, 3)},
      {"Guide.hlp", Filled(300, 4)},
      {"keep.Lib", Filled(50, 5)},
      {"new.lib", Filled(60, 6)},
      {"Layout.DTP", Filled(70, 7)},
  };
  Prepare(program, files);
  PutFile(InDest("keep.Lib"), Filled(11, 99));
  PutFile(InDest("Layout.DTP"), Filled(12, 98));

  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(InstallRunning, 0);
  EXPECT_TRUE(SetupState.MainProgramCreated);
  EXPECT_EQ(SetupConfig.MainProgramFile, "Marwindl.Exe");
  EXPECT_EQ(GetFile(InDest("Marwindl.Exe")), program) << "the main program alone stays";
  EXPECT_FALSE(Exists(InDest(SetupConfig.JoinedArchiveFile)));
  EXPECT_EQ(FileDirectory.First, nullptr);
  EXPECT_TRUE(SetupState.PendingRenameList.Lines.empty());

  for (const char* name : {"empty.txt", "block.bin", "block1.bin", "new.lib"}) {
    const auto& f = *std::find_if(files.begin(), files.end(), [&](const Listed& l) { return l.name == name; });
    bool there = false;
    EXPECT_EQ(GetFile(InDest(name), &there), f.bytes) << name;
    EXPECT_TRUE(there) << name;
  }
  EXPECT_EQ(GetFile(PathJoin(HelpFolder(), "Guide.hlp")), files[3].bytes);
  EXPECT_FALSE(Exists(InDest("Guide.hlp"))) << "help files go to the Windows help folder";
  EXPECT_EQ(GetFile(InDest("keep.Lib")), Filled(11, 99)) << "an existing .lib is kept";
  EXPECT_EQ(GetFile(InDest("Layout.DTP")), Filled(12, 98)) << "an existing .dtp is kept";
}

TEST_F(UnpackStageTest, OverAnEarlierInstallationFilesInUseWaitForTheRestart) {
  const Bytes program = Filled(2500, 11);
  const std::vector<Listed> files = {{"busy.dll", Filled(4000, 12)}, {"free.txt", Filled(10, 13)}};
  Prepare(program, files);
  PutFile(InDest("Marwindl.Exe"), Filled(100, 14));
  PutFile(InDest("busy.dll"), Filled(5, 15));
  const std::string oldProgram = ShortPath(InDest("Marwindl.Exe"));
  const std::string oldBusy = ShortPath(InDest("busy.dll"));
  // Held open by someone else, without sharing.
  HANDLE held = CreateFileA(InDest("busy.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  EXPECT_EQ(Run(), 1);
  CloseHandle(held);

  EXPECT_EQ(SetupConfig.MainProgramFile, "Marwindl.$$$");
  EXPECT_EQ(GetFile(InDest("Marwindl.Exe")), Filled(100, 14)) << "the earlier program stays until the restart";
  EXPECT_EQ(GetFile(InDest("Marwindl.$$$")), program) << "the split reads and cuts the .$$$ file";
  EXPECT_EQ(GetFile(InDest("busy.dll")), Filled(5, 15));
  EXPECT_EQ(GetFile(InDest("busy.$$$")), files[0].bytes);
  EXPECT_EQ(GetFile(InDest("free.txt")), files[1].bytes);
  const std::vector<std::string> expected = {oldProgram + "=" + ShortPath(InDest("Marwindl.$$$")),
                                             oldBusy + "=" + ShortPath(InDest("busy.$$$"))};
  EXPECT_EQ(SetupState.PendingRenameList.Lines, expected);
}

TEST_F(UnpackStageTest, WithoutListedFilesTheDecodedStreamIsTheMainProgram) {
  const Bytes program = Filled(5000, 21);
  Prepare(program, {});
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(GetFile(InDest("Marwindl.Exe")), program);
}

TEST_F(UnpackStageTest, AJoinedArchiveMissingOrLockedStopsWithTheSameMessage) {
  for (bool locked : {false, true}) {
    SCOPED_TRACE(locked ? "locked" : "missing");
    Prepare(Filled(100, 31), {{"a.txt", Filled(10, 32)}});
    const std::string archive = InDest(SetupConfig.JoinedArchiveFile);
    HANDLE held = INVALID_HANDLE_VALUE;
    if (locked) {
      held = CreateFileA(archive.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(held, INVALID_HANDLE_VALUE);
    } else {
      DeleteFileA(archive.c_str());
    }
    const INT_PTR result = Run([](HWND dialog) {
      ExpectBox(dialog, "Error", "Quillmark was unable to install its files.");
      WaitUntilGone(dialog, 20000);
    });
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(Exists(InDest("a.txt")));
    DeleteFileA(archive.c_str());
    DeleteFileA(InDest("Marwindl.Exe").c_str());
  }
}

TEST_F(UnpackStageTest, AStreamThatEndsBeforeAListedFileStopsWithAMessage) {
  // The directory promises more than the archive decodes to.
  Prepare(Filled(3000, 41), {{"first.txt", Filled(100, 42)}, {"late.bin", Filled(5000, 43)}});
  FileDirectory.UnpackedSize = 3100;
  const std::string text = "The installation is incomplete: late.bin is missing from " + InDest("Marwindl.Exe") + ".";
  const INT_PTR result = Run([&](HWND dialog) {
    ExpectBox(dialog, "Marwindle!", text);
    WaitUntilGone(dialog, 20000);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(InstallRunning, 0);
  EXPECT_EQ(GetFile(InDest("first.txt")), Filled(100, 42));
  EXPECT_FALSE(Exists(InDest("late.bin"))) << "a partial file must not look installed";
}

TEST_F(UnpackStageTest, CancelDuringTheDecodeAsksAndYesStopsIt) {
  // Random bytes hardly compress: a few seconds of decoding under Wine.
  const Bytes program = Filled(60000, 51);
  for (bool confirm : {false, true}) {
    SCOPED_TRACE(confirm ? "Yes" : "No");
    Prepare(program, {{"after.txt", Filled(10, 52)}});
    const INT_PTR result = Run([&](HWND dialog) {
      Sleep(300);
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      HWND box = WaitForDialogWindow(GetWindowThreadProcessId(dialog, nullptr), "Exit Marwindle!", dialog, 10000);
      ASSERT_NE(box, nullptr) << "no exit question";
      EXPECT_EQ(MessageBoxText(box), SetupConfig.ConfirmExitText);
      AnswerMessageBox(box, confirm ? IDYES : IDNO);
      WaitUntilGone(dialog, 60000);
    });
    EXPECT_EQ(result, confirm ? 0 : 1);
    EXPECT_FALSE(Exists(InDest(SetupConfig.JoinedArchiveFile))) << "the archive is deleted also after a cancel";
    bool there = false;
    const Bytes written = GetFile(InDest("Marwindl.Exe"), &there);
    if (confirm) {
      EXPECT_LT(written.size(), program.size());
      EXPECT_EQ(written.size() % 2048, 0u) << "no final flush after a cancel";
      EXPECT_FALSE(Exists(InDest("after.txt")));
    } else {
      EXPECT_EQ(written, program);
      EXPECT_TRUE(Exists(InDest("after.txt")));
    }
    DeleteFileA(InDest("Marwindl.Exe").c_str());
    DeleteFileA(InDest("after.txt").c_str());
    ReleaseFileDirectory(FileDirectory);
  }
}

}  // namespace
