#pragma once
// What the steps of one run share.
#include <windows.h>

#include <cstdint>
#include <string>

#include "archive/lzhuf.h"
#include "setup/install_running.h"
#include "setup/pending_renames.h"

struct SetupStateRecord {
  std::string SourceFolder;       // ends in a backslash
  std::string DestinationFolder;
  std::string WindowsFolder;
  PendingRenameListRecord PendingRenameList;
  HWND MainWindow;
  std::int32_t ScreenWidth;
  std::int32_t ScreenHeight;
  HBITMAP LogoBitmap;
  unsigned char* InputBuffer;     // 2,064 bytes each, from start-up to the end
  unsigned char* OutputBuffer;
  LzhReadProc ReadCallback;
  LzhWriteProc WriteCallback;
  std::int32_t DialogResult;
  bool SetupAborted;
  bool ReplaceTaskManager;
  bool ReplaceShell;
  std::uint32_t PlatformId;
  // Which files this run's stages created, so that the abort clean-up never
  // removes a file that an earlier installation left.
  bool JoinedArchiveCreated;
  bool MainProgramCreated;
};

extern SetupStateRecord SetupState;

const int TransferBufferSize = 2064;
const UINT StartWorkMessage = 32000;

// Removes every waiting message of the thread; dispatches all but WM_QUIT.
void PumpMessages();
