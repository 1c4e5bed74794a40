#include <windows.h>

#include <exception>
#include <string>

#include "archive/archive_io.h"
#include "archive/file_directory.h"
#include "archive/stages.h"
#include "runtime/file_names.h"
#include "runtime/record_file.h"
#include "screens/dialogs.h"
#include "screens/progress_meter.h"
#include "setup/install_running.h"
#include "setup/setup_config.h"
#include "setup/setup_sequence.h"
#include "setup/setup_state.h"

namespace {
const int LastDisk = 4;  // parts .001 to .004, whatever DiskCount says

RecordFile Part;
RecordFile Joined;

// Copies the open part behind what the joined archive holds. A read or write
// that fails is reported and stops the stage: the archive would otherwise
// hold a gap or old bytes, and the decode would install garbage.
void CopyPart(HWND dialog, std::int32_t& total) {
  unsigned char block[ArchiveBlockSize];
  while (InstallRunning) {
    const std::int32_t n = ReadRecords(Part, block, ArchiveBlockSize);
    if (n < 0) {
      StageFailure(dialog, FileFailureText("read", Part.Path, IoResult()) +
                               "\r\nThe disk may be damaged.");
      return;
    }
    if (n == 0) return;  // the end of the part
    const std::int32_t written = WriteRecords(Joined, block, n);
    if (written != n) {
      StageFailure(dialog, FileFailureText("written", Joined.Path, written < 0 ? IoResult() : ERROR_DISK_FULL));
      return;
    }
    total += n;
    UpdateMeter(total, JoinProgressTotal);
    PumpMessages();
  }
}

bool OpenPart(HWND dialog, const std::string& path) {
  FileMode = 0;
  if (OpenRecordFile(Part, path, ShareRead)) return true;
  // Joining without this part would make an archive that cannot decode.
  StageFailure(dialog, FileFailureText("opened", path, IoResult()));
  return false;
}

// Asks for the disk until its part is there, or the user gives up.
void WaitForDisk(HWND dialog, int disk, const std::string& path) {
  const std::string prompt = "Please Insert Disk number " + std::to_string(disk);
  while (!FileExists(path) && InstallRunning) {
    const int answer = MessageBoxA(dialog, prompt.c_str(), SetupConfig.ProductName.c_str(), MB_OKCANCEL);
    if (answer == IDOK) {
      if (!FileExists(path)) MessageBoxA(dialog, SetupConfig.WrongDiskText.c_str(), "", MB_OK);
    } else if (!FileExists(path)) {
      InstallRunning = 0;
    }
  }
}

void JoinParts(HWND dialog) {
  const TrailerCheck directory = LoadFileDirectoryChecked();
  if (!directory.Valid) {
    StageFailure(dialog, directory.Reason);
    return;
  }
  if (!OpenPart(dialog, PathJoin(SetupState.SourceFolder, SetupConfig.FirstPartFile))) return;

  const std::string joinedPath = PathJoin(SetupState.DestinationFolder, SetupConfig.JoinedArchiveFile);
  if (!CreateRecordFile(Joined, joinedPath, ShareRead)) {
    StageFailure(dialog, FileFailureText("created", joinedPath, IoResult()));
    return;
  }
  SetupState.JoinedArchiveCreated = true;

  std::int32_t total = 0;
  ProgressMeter.LastPercent = -1;  // the first block always draws
  CopyPart(dialog, total);
  CloseRecordFile(Part);

  for (int disk = 2; disk <= LastDisk && disk <= SetupConfig.DiskCount && InstallRunning; disk++) {
    SetupConfig.FirstPartFile = ChangeFileExt(SetupConfig.FirstPartFile, ".00" + std::to_string(disk));
    const std::string path = PathJoin(SetupState.SourceFolder, SetupConfig.FirstPartFile);
    WaitForDisk(dialog, disk, path);
    if (!InstallRunning) break;
    if (!OpenPart(dialog, path)) break;
    CopyPart(dialog, total);
    CloseRecordFile(Part);
  }
}

void JoinWork(HWND dialog) {
  const int savedMode = FileMode;
  FileMode = 0;
  try {
    JoinParts(dialog);
  } catch (const std::exception& error) {
    KeepSetupError(error);
    InstallRunning = 0;
  }
  CloseRecordFile(Part);
  CloseRecordFile(Joined);
  DestroyMeter();
  EndDialog(dialog, InstallRunning ? 1 : 0);
  FileMode = savedMode;
}
}  // namespace

INT_PTR CALLBACK JoinStage(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return StageDialogMessage(dialog, message, wParam, JoinWork);
}
