#pragma once
// Everything that names or describes the product, compiled in.
#include <cstdint>
#include <string>

struct SetupConfigRecord {
  std::uint32_t GradientTopColor;     // COLORREF 0x00BBGGRR
  std::uint32_t GradientBottomColor;
  std::uint32_t TitleColor;
  std::int32_t DiskCount;
  std::string GroupName;
  std::string ProductName;
  std::string MainProgramFile;
  std::string FirstPartFile;
  std::string JoinedArchiveFile;
  std::string DefaultFolder;
  std::string NoticeLine;
  std::string SetupTitle;
  std::string ConfirmExitText;
  std::string TerminatedText;
  std::string WrongDiskText;
  std::string SuccessRunText;
};

extern SetupConfigRecord SetupConfig;

// The compiled-in values, as at process start.
SetupConfigRecord CompiledSetupConfig();
