// The join stage through its real dialog. The stage reads the file directory
// from the end of the running program, so each case runs a copy of this test
// program with a directory appended, in a child process, and plays the user
// from here.
#include "support_screens.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/file_directory.h"
#include "archive/stages.h"
#include "runtime/file_names.h"
#include "screens/progress_meter.h"
#include "setup/install_running.h"
#include "setup/setup_config.h"
#include "setup/setup_state.h"

using namespace screens_test;

namespace {
using Bytes = std::vector<unsigned char>;
const char* const ChildVariable = "MW_JOIN_CHILD";
const char* const Source = "C:\\join\\src";
const char* const Dest = "C:\\join\\dst";

Bytes Filled(std::size_t size, unsigned seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(seed * 31 + i * 7 + i / 251);
  return bytes;
}

void PutFile(const std::string& path, const Bytes& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

Bytes GetFile(const std::string& path) {
  Bytes bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  unsigned char block[4096];
  DWORD got = 0;
  while (ReadFile(file, block, sizeof(block), &got, nullptr) && got > 0) bytes.insert(bytes.end(), block, block + got);
  CloseHandle(file);
  return bytes;
}

std::string OwnPath() {
  char path[MAX_PATH] = {0};
  GetModuleFileNameA(nullptr, path, sizeof(path));
  return path;
}

// One record: "a.txt" at 10, 5 bytes, in a stream of 15. A name length of
// 25 makes the directory unusable.
Bytes Trailer(int nameLength) {
  Bytes t;
  t.push_back(static_cast<unsigned char>(nameLength));
  const std::string field = std::string("a.txt") + std::string(14, 'q');
  t.insert(t.end(), field.begin(), field.end());
  for (std::int32_t v : {10, 5}) {
    for (int i = 0; i < 4; i++) t.push_back(static_cast<unsigned char>(v >> (8 * i)));
  }
  t.push_back(1);
  for (int i = 0; i < 4; i++) t.push_back(static_cast<unsigned char>(15 >> (8 * i)));
  return t;
}

// In the child: run the stage and leave what the parent checks in result.txt.
TEST(JoinStageChild, Run) {
  char setting[64] = {0};
  if (GetEnvironmentVariableA(ChildVariable, setting, sizeof(setting)) == 0) GTEST_SKIP() << "parent run";
  SetupConfig = CompiledSetupConfig();
  SetupConfig.DiskCount = std::atoi(setting);
  SetupState.SourceFolder = ExtractFilePath(OwnPath());
  SetupState.DestinationFolder = Dest;
  SetupState.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  SetupState.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  SetupState.JoinedArchiveCreated = false;
  const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), "IProgress", nullptr, JoinStage, 0);
  int entries = 0;
  for (DirectoryEntry* e = FileDirectory.First; e; e = e->Next) entries++;
  FILE* out = std::fopen((std::string(Dest) + "\\result.txt").c_str(), "w");
  std::fprintf(out, "%d %d %d %d %d %s\n", static_cast<int>(result), static_cast<int>(ProgressMeter.LastPercent),
               SetupState.JoinedArchiveCreated ? 1 : 0, entries, static_cast<int>(InstallRunning),
               SetupConfig.FirstPartFile.c_str());
  std::fclose(out);
}

struct ChildResult {
  int result = -1, lastPercent = -2, created = -1, entries = -1, running = -1;
  std::string lastPart;
};

class JoinStageTest : public ::testing::Test {
protected:
  void SetUp() override {
    char setting[8];
    if (GetEnvironmentVariableA(ChildVariable, setting, sizeof(setting)) != 0) GTEST_SKIP() << "child run";
    SetupConfig = CompiledSetupConfig();
    CreateDirectoryA("C:\\join", nullptr);
    CreateDirectoryA(Source, nullptr);
    CreateDirectoryA(Dest, nullptr);
    for (int k = 1; k <= 5; ++k) PutFile(PartPath(k), parts[k - 1]);
    // An archive of an earlier run, longer than any join here.
    PutFile(Joined(), Filled(20000, 9));
    DeleteFileA((std::string(Dest) + "\\result.txt").c_str());
    MakeChild(Trailer(5));
  }

  std::string PartPath(int k) const { return std::string(Source) + "\\Marwindl.00" + std::to_string(k); }
  std::string Joined() const { return std::string(Dest) + "\\Marwindle._TM"; }
  Bytes PartsUpTo(int last) const {
    Bytes all;
    for (int k = 1; k <= last; ++k) all.insert(all.end(), parts[k - 1].begin(), parts[k - 1].end());
    return all;
  }
  void MakeChild(const Bytes& trailer) {
    Bytes image = GetFile(OwnPath());
    ASSERT_FALSE(image.empty());
    image.insert(image.end(), trailer.begin(), trailer.end());
    PutFile(std::string(Source) + "\\child.exe", image);
  }

  // Runs the child with DiskCount; `user` gets the child's thread id.
  ChildResult RunChild(int diskCount, const std::function<void(DWORD)>& user = [](DWORD) {}) {
    SetEnvironmentVariableA(ChildVariable, std::to_string(diskCount).c_str());
    std::string command = std::string(Source) + "\\child.exe --gtest_filter=JoinStageChild.*";
    STARTUPINFOA start = {};
    start.cb = sizeof(start);
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, Source, &start,
                                        &process);
    SetEnvironmentVariableA(ChildVariable, nullptr);
    ChildResult r;
    EXPECT_TRUE(started);
    if (!started) return r;
    user(process.dwThreadId);
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
      ADD_FAILURE() << "the join stage did not end (a prompt nobody answered?)";
      TerminateProcess(process.hProcess, 1);
      WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    char lastPart[64] = {0};
    if (FILE* in = std::fopen((std::string(Dest) + "\\result.txt").c_str(), "r")) {
      if (std::fscanf(in, "%d %d %d %d %d %63s", &r.result, &r.lastPercent, &r.created, &r.entries, &r.running,
                      lastPart) == 6) {
        r.lastPart = lastPart;
      }
      std::fclose(in);
    }
    return r;
  }

  // Waits for a message box of the child, checks its text and answers it.
  static void Answer(DWORD thread, const char* caption, const std::string& text, int button) {
    HWND box = WaitForDialogWindow(thread, caption, nullptr, 15000);
    ASSERT_NE(box, nullptr) << "no message box \"" << caption << "\"";
    EXPECT_EQ(MessageBoxText(box), text);
    AnswerMessageBox(box, button);
    WaitUntilGone(box, 5000);
  }

  const std::vector<Bytes> parts = {Filled(3000, 1), Filled(2048, 2), Filled(1, 3), Filled(4100, 4), Filled(7, 5)};
};

TEST_F(JoinStageTest, JoinsTheDisksItIsToldOfWithoutAskingWhenThePartsAreThere) {
  const struct {
    int diskCount;
    int lastDisk;
    const char* lastPart;
  } cases[] = {{1, 1, "Marwindl.001"}, {2, 2, "Marwindl.002"}, {7, 4, "Marwindl.004"}};
  for (const auto& c : cases) {
    SCOPED_TRACE("DiskCount " + std::to_string(c.diskCount));
    PutFile(Joined(), Filled(20000, 9));
    const ChildResult r = RunChild(c.diskCount);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.running, 0) << "the dialog's destruction clears InstallRunning";
    EXPECT_EQ(r.created, 1);
    EXPECT_EQ(r.entries, 1) << "the directory stays loaded for the unpack stage";
    EXPECT_EQ(r.lastPart, c.lastPart);
    // The total is shown against 2,100,000: a few KB stay at 0 %.
    EXPECT_EQ(r.lastPercent, 0);
    EXPECT_EQ(GetFile(Joined()), PartsUpTo(c.lastDisk)) << "replaced, not appended to; parts in order";
  }
}

TEST_F(JoinStageTest, AMissingDiskIsAskedForUntilItIsThereOrCancelled) {
  DeleteFileA(PartPath(2).c_str());
  const Bytes second = parts[1];
  const std::string secondPath = PartPath(2);
  // OK without the disk: the wrong-disk message, then the prompt again; the
  // part copied in while the prompt is open, and OK goes on.
  ChildResult r = RunChild(2, [&](DWORD thread) {
    Answer(thread, "Marwindle!", "Please Insert Disk number 2", IDOK);
    Answer(thread, "", SetupConfig.WrongDiskText, IDOK);
    HWND box = WaitForDialogWindow(thread, "Marwindle!", nullptr, 15000);
    ASSERT_NE(box, nullptr) << "no second prompt";
    PutFile(secondPath, second);
    AnswerMessageBox(box, IDOK);
  });
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(GetFile(Joined()), PartsUpTo(2));

  // Cancel while the disk is missing ends the stage; disk 3 is never asked
  // for (an unanswered prompt would keep the child from ending).
  DeleteFileA(PartPath(2).c_str());
  r = RunChild(3, [&](DWORD thread) { Answer(thread, "Marwindle!", "Please Insert Disk number 2", IDCANCEL); });
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.lastPart, "Marwindl.002");
  EXPECT_EQ(GetFile(Joined()), PartsUpTo(1));
}

TEST_F(JoinStageTest, AnUnusableDirectoryStopsBeforeAnyPartIsRead) {
  MakeChild(Trailer(25));
  const Bytes earlier = GetFile(Joined());
  const ChildResult r = RunChild(2, [](DWORD thread) {
    HWND box = WaitForDialogWindow(thread, "Marwindle!", nullptr, 15000);
    ASSERT_NE(box, nullptr) << "no message about the directory";
    EXPECT_NE(MessageBoxText(box).find("is damaged (entry 1 has a name length of 25"), std::string::npos)
        << MessageBoxText(box);
    AnswerMessageBox(box, IDOK);
  });
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.created, 0);
  EXPECT_EQ(r.entries, 0);
  EXPECT_EQ(GetFile(Joined()), earlier) << "nothing joined from an unusable directory";
}

}  // namespace
