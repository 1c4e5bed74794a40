#include <windows.h>

#include <cstring>
#include <exception>
#include <string>

#include "archive/archive_io.h"
#include "archive/file_directory.h"
#include "archive/lzhuf.h"
#include "archive/stages.h"
#include "runtime/file_names.h"
#include "runtime/record_file.h"
#include "screens/dialogs.h"
#include "screens/progress_meter.h"
#include "setup/install_running.h"
#include "setup/pending_renames.h"
#include "setup/setup_config.h"
#include "setup/setup_sequence.h"
#include "setup/setup_state.h"

namespace {
const char* const TemporaryExt = ".$$$";

RecordFile Source;  // the main program file, read for the split
RecordFile Target;

std::string WinInitPath() { return PathJoin(SetupState.WindowsFolder, "WinInit.Ini"); }

// A file that Windows is to put in place at its next start. Without its line
// the file would never arrive, so a line that cannot be written stops the run.
void QueueRename(const std::string& destination, const std::string& source) {
  if (!AddPendingRename(destination, source)) {
    RaiseIoError("Cannot add the line for " + destination + " to", WinInitPath(), GetLastError());
  }
}

// Step 1: the main program file, under the temporary name with its line when
// an earlier installation's file is there. False when it cannot be had.
bool OpenMainProgram(HWND dialog) {
  std::string path = PathJoin(SetupState.DestinationFolder, SetupConfig.MainProgramFile);
  std::string oldShort;
  const bool replacing = FileExists(path);
  if (replacing) {
    oldShort = ShortPath(path);
    SetupConfig.MainProgramFile = ChangeFileExt(SetupConfig.MainProgramFile, TemporaryExt);
    path = PathJoin(SetupState.DestinationFolder, SetupConfig.MainProgramFile);
  }
  const bool created = CreateRecordFile(OutputHandle, path, ShareNone);
  if (created) {
    SetupState.MainProgramCreated = true;
  } else if (!OpenRecordFileFor(OutputHandle, path, 1, ShareReadWrite)) {
    StageFailure(dialog, FileFailureText("created", path, IoResult()));
    return false;
  }
  // The line only once the file is there: a line without its file would
  // have Windows act on the earlier program for nothing.
  if (replacing) QueueRename(oldShort, ShortPath(path));
  return true;
}

// Step 2: decodes the joined archive into the main program file and deletes
// the archive, also after a cancel.
void Decode(HWND dialog) {
  ReadIndex = 0;
  ReadCount = 0;
  WriteCount = 0;
  ArchiveReadError = 0;
  OutputWriteError = 0;

  const std::string archive = PathJoin(SetupState.DestinationFolder, SetupConfig.JoinedArchiveFile);
  // An archive that is there but cannot be opened is no better than none.
  if (!FileExists(archive) || !OpenRecordFileFor(ArchiveHandle, archive, 0, ShareReadWrite)) {
    MessageBoxA(nullptr, "Quillmark was unable to install its files.", "Error", MB_OK);
    InstallRunning = 0;
    return;
  }
  LzhUnpack(FileDirectory.UnpackedSize, ArchiveReader, ArchiveWriter);
  if (InstallRunning) {
    std::uint16_t unused = 0;
    ArchiveWriter(SetupState.OutputBuffer, 0, unused);
  }
  CloseRecordFile(ArchiveHandle);
  DeleteFileA(archive.c_str());

  if (ArchiveReadError != 0) {
    StageFailure(dialog, FileFailureText("read", archive, ArchiveReadError));
  } else if (OutputWriteError != 0) {
    StageFailure(dialog, FileFailureText("written", OutputHandle.Path, OutputWriteError));
  }
}

// The entry's name with the temporary extension, held to the record's 19
// characters, written back into the entry.
std::string UseTemporaryName(DirectoryEntry& entry) {
  std::string name = ChangeFileExt(EntryName(entry), TemporaryExt);
  if (name.size() > kMaxNameLength) name.resize(kMaxNameLength);
  entry.Name[0] = static_cast<unsigned char>(name.size());
  std::memcpy(entry.Name + 1, name.data(), name.size());
  return name;
}

// A partial file is worse than none: it looks installed.
void DropTarget() {
  const std::string path = Target.Path;
  CloseRecordFile(Target);
  DeleteFileA(path.c_str());
}

// Copies one entry out of the main program file; false after a failure,
// which it has reported.
bool CopyEntry(HWND dialog, const DirectoryEntry& entry, const std::string& name) {
  unsigned char block[ArchiveBlockSize];
  std::int32_t remaining = entry.Size;
  while (remaining > 0) {
    const std::int32_t want = remaining < ArchiveBlockSize ? remaining : ArchiveBlockSize;
    const std::int32_t got = ReadRecords(Source, block, want);
    if (got < 0) {
      const DWORD code = IoResult();
      DropTarget();
      StageFailure(dialog, FileFailureText("read", Source.Path, code));
      return false;
    }
    if (got < want) {
      // The decoded stream ends before this file does.
      DropTarget();
      StageFailure(dialog, "The installation is incomplete: " + name + " is missing from " + Source.Path + ".");
      return false;
    }
    const std::int32_t written = WriteRecords(Target, block, got);
    if (written != got) {
      const DWORD code = written < 0 ? IoResult() : ERROR_DISK_FULL;
      const std::string path = Target.Path;
      DropTarget();
      StageFailure(dialog, FileFailureText("written", path, code));
      return false;
    }
    remaining -= got;
  }
  CloseRecordFile(Target);
  return true;
}

// Step 3: every listed file out of the main program file into its place.
void Split(HWND dialog) {
  const std::string mainPath = PathJoin(SetupState.DestinationFolder, SetupConfig.MainProgramFile);
  if (!OpenRecordFileFor(Source, mainPath, 0, ShareRead)) RaiseIoError("Cannot open", mainPath, IoResult());

  for (DirectoryEntry* entry = FileDirectory.First; entry != nullptr; entry = entry->Next) {
    const std::string name = EntryName(*entry);
    if (!SeekRecord(Source, entry->Offset)) RaiseIoError("Cannot read", mainPath, IoResult());
    const std::string ext = UpperCase(ExtractFileExt(name));
    const std::string destPath = PathJoin(SetupState.DestinationFolder, name);
    // Data files of these kinds hold the user's own settings.
    if ((ext == ".LIB" || ext == ".DTP") && FileExists(destPath)) continue;

    const std::string target =
        ext == ".HLP" ? PathJoin(PathJoin(SetupState.WindowsFolder, "Help"), name) : destPath;
    if (!CreateRecordFile(Target, target, ShareRead)) {
      // In use or protected: written beside it, put in place at the next start.
      const std::string oldShort = ShortPath(destPath);
      const std::string temporary = PathJoin(SetupState.DestinationFolder, UseTemporaryName(*entry));
      if (!CreateRecordFile(Target, temporary, ShareRead)) {
        StageFailure(dialog, FileFailureText("created", temporary, IoResult()) + "\r\n" + target +
                                 " is in use and cannot be replaced.");
        return;
      }
      QueueRename(oldShort, ShortPath(temporary));
    }
    if (!CopyEntry(dialog, *entry, name)) return;
  }
  CloseRecordFile(Source);

  // The main program file ends where the first listed file begins. With no
  // listed files the decoded stream is the main program as it stands.
  if (FileDirectory.First != nullptr) {
    RecordFile program;
    if (OpenRecordFileFor(program, mainPath, 2, ShareRead)) {
      if (SeekRecord(program, FileDirectory.First->Offset)) TruncateRecordFile(program);
      CloseRecordFile(program);
    }
  }
  ReleaseFileDirectory(FileDirectory);
}

void UnpackFiles(HWND dialog) {
  CloseRecordFile(ArchiveHandle);
  CloseRecordFile(OutputHandle);
  if (!OpenMainProgram(dialog)) return;
  Decode(dialog);
  CloseRecordFile(OutputHandle);
  if (!InstallRunning) return;
  Split(dialog);
}

void UnpackWork(HWND dialog) {
  const int savedMode = FileMode;
  try {
    UnpackFiles(dialog);
  } catch (const std::exception& error) {
    KeepSetupError(error);
    InstallRunning = 0;
  }
  CloseRecordFile(ArchiveHandle);
  CloseRecordFile(OutputHandle);
  CloseRecordFile(Source);
  CloseRecordFile(Target);
  DestroyMeter();
  EndDialog(dialog, InstallRunning ? 1 : 0);
  FileMode = savedMode;
}
}  // namespace

INT_PTR CALLBACK UnpackStage(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return StageDialogMessage(dialog, message, wParam, UnpackWork);
}
