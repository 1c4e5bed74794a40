// The decoder's reader and writer over real files: block boundaries, the
// flushes, the message pump after each byte, cancel, and failing file calls.
// MW_TEST_ALSO_ON_WIN98
#include "support_screens.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "archive/archive_io.h"
#include "archive/file_directory.h"
#include "screens/progress_meter.h"
#include "setup/install_running.h"
#include "setup/setup_state.h"

namespace {
const char* const ArchivePath = "C:\\archive_io.bin";
const char* const OutputPath = "C:\\archive_io.out";
const UINT Marker = WM_APP + 7;

std::vector<unsigned char> Pattern(std::size_t size) {
  std::vector<unsigned char> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>((i * 7 + i / 256) & 0xFF);
  return bytes;
}

void WriteFileBytes(const char* path, const std::vector<unsigned char>& bytes) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, bytes.size());
}

std::vector<unsigned char> ReadFileBytes(const char* path) {
  std::vector<unsigned char> bytes;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  unsigned char block[4096];
  DWORD got = 0;
  while (ReadFile(file, block, sizeof(block), &got, nullptr) && got > 0) bytes.insert(bytes.end(), block, block + got);
  CloseHandle(file);
  return bytes;
}

// A thread message posted before a call is gone afterwards exactly when the
// call pumped the queue.
void PostMarker() { PostThreadMessageA(GetCurrentThreadId(), Marker, 0, 0); }
bool MarkerWaiting() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, Marker, Marker, PM_NOREMOVE) != 0;
}
void DropMarkers() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, Marker, Marker, PM_REMOVE)) {
  }
}

class ArchiveIoTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetupState.InputBuffer = static_cast<unsigned char*>(std::malloc(TransferBufferSize));
    SetupState.OutputBuffer = static_cast<unsigned char*>(std::malloc(TransferBufferSize));
    ReadIndex = 0;
    ReadCount = 0;
    WriteCount = 0;
    ArchiveReadError = 0;
    OutputWriteError = 0;
    InstallRunning = 1;
    DropMarkers();
  }
  void TearDown() override {
    CloseRecordFile(ArchiveHandle);
    CloseRecordFile(OutputHandle);
    DeleteFileA(ArchivePath);
    DeleteFileA(OutputPath);
    std::free(SetupState.InputBuffer);
    std::free(SetupState.OutputBuffer);
    SetupState.InputBuffer = SetupState.OutputBuffer = nullptr;
    InstallRunning = 0;
    DropMarkers();
  }

  void OpenArchive(const std::vector<unsigned char>& bytes) {
    WriteFileBytes(ArchivePath, bytes);
    ASSERT_TRUE(OpenRecordFileFor(ArchiveHandle, ArchivePath, 0, ShareReadWrite));
  }
  void CreateOutput() { ASSERT_TRUE(CreateRecordFile(OutputHandle, OutputPath, ShareRead)); }

  // Hands n pattern bytes to the writer as the decoder does, one at a time.
  void WriteBytes(const std::vector<unsigned char>& bytes, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      unsigned char byte = bytes[i];
      std::uint16_t actual = 0;
      ArchiveWriter(&byte, 1, actual);
      ASSERT_EQ(actual, 1) << "byte " << i;
    }
  }
  std::size_t OutputSize() { return ReadFileBytes(OutputPath).size(); }
};

TEST_F(ArchiveIoTest, ReaderReadsAtOnceCrossesBlocksAndStopsAtTheEnd) {
  // Lengths on and beside the block boundary.
  for (std::size_t size : {std::size_t(0), std::size_t(5), std::size_t(2048), std::size_t(4096), std::size_t(4097)}) {
    SCOPED_TRACE("archive of " + std::to_string(size) + " bytes");
    const std::vector<unsigned char> bytes = Pattern(size);
    OpenArchive(bytes);
    ReadIndex = 0;
    ReadCount = 0;

    std::vector<unsigned char> got;
    for (std::size_t i = 0; i < size; ++i) {
      unsigned char byte = 0;
      std::uint16_t actual = 0;
      PostMarker();
      ArchiveReader(&byte, 1, actual);
      ASSERT_EQ(actual, 1) << "byte " << i;
      ASSERT_FALSE(MarkerWaiting()) << "no message pump after byte " << i;
      if (i == 0) {
        EXPECT_EQ(ReadCount, size < 2048 ? static_cast<std::int32_t>(size) : 2048);
      }
      got.push_back(byte);
    }
    EXPECT_EQ(got, bytes);

    // After the last byte: a read of 0, nothing handed out, no pump; again and again.
    for (int again = 0; again < 2; ++again) {
      unsigned char byte = 0xAA;
      std::uint16_t actual = 1;
      PostMarker();
      ArchiveReader(&byte, 1, actual);
      EXPECT_EQ(actual, 0);
      EXPECT_EQ(ReadCount, 0);
      EXPECT_EQ(byte, 0xAA);
      EXPECT_TRUE(MarkerWaiting()) << "the end of the archive must not pump";
      DropMarkers();
    }
    CloseRecordFile(ArchiveHandle);
  }
}

TEST_F(ArchiveIoTest, WriterFlushesAtThe2049thByteAndOnTheFinalCall) {
  FileDirectory.UnpackedSize = 4096;
  const struct {
    std::size_t size;
    std::size_t flushedWhileWriting;  // bytes on disk before the final flush
    std::int32_t percent;             // LastPercent afterwards (-1: no update)
  } cases[] = {
      {0, 0, -1}, {1, 0, -1}, {2048, 0, -1}, {2049, 2048, 50}, {4096, 2048, 50}, {4097, 4096, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("stream of " + std::to_string(c.size) + " bytes");
    const std::vector<unsigned char> bytes = Pattern(c.size);
    CreateOutput();
    WriteCount = 0;
    ProgressMeter.LastPercent = -1;
    WrittenBytes = 0;  // the meter shows WrittenBytes against UnpackedSize
    const std::int32_t writtenBefore = WrittenBytes;

    WriteBytes(bytes, 0, c.size);
    EXPECT_EQ(OutputSize(), c.flushedWhileWriting);
    EXPECT_EQ(WrittenBytes - writtenBefore, static_cast<std::int32_t>(c.flushedWhileWriting))
        << "WrittenBytes counts full-block flushes";
    EXPECT_EQ(WriteCount, c.size - c.flushedWhileWriting);
    EXPECT_EQ(ProgressMeter.LastPercent, c.percent);

    std::uint16_t actual = 12345;
    ArchiveWriter(SetupState.OutputBuffer, 0, actual);
    EXPECT_EQ(actual, 12345) << "the final flush leaves actual alone";
    EXPECT_EQ(WrittenBytes - writtenBefore, static_cast<std::int32_t>(c.flushedWhileWriting));
    EXPECT_EQ(ProgressMeter.LastPercent, c.percent) << "the final flush does not move the meter";
    CloseRecordFile(OutputHandle);
    EXPECT_EQ(ReadFileBytes(OutputPath), bytes);
    EXPECT_EQ(OutputWriteError, 0u);
    EXPECT_EQ(InstallRunning, 1);
  }
}

TEST_F(ArchiveIoTest, CancelBetweenTwoBytesStopsBothAtOnce) {
  const std::vector<unsigned char> bytes = Pattern(3000);
  OpenArchive(bytes);
  CreateOutput();
  unsigned char byte = 0;
  std::uint16_t actual = 0;
  ArchiveReader(&byte, 1, actual);
  ASSERT_EQ(actual, 1);
  WriteBytes(bytes, 0, 2048);

  InstallRunning = 0;
  const std::uint16_t index = ReadIndex;
  PostMarker();
  actual = 1;
  ArchiveReader(&byte, 1, actual);
  EXPECT_EQ(actual, 0);
  EXPECT_EQ(ReadIndex, index);
  EXPECT_TRUE(MarkerWaiting()) << "a cancelled reader must not pump";

  actual = 1;
  byte = 0x55;
  ArchiveWriter(&byte, 1, actual);  // would be the 2,049th byte and flush
  EXPECT_EQ(actual, 0);
  EXPECT_EQ(WriteCount, 2048);
  EXPECT_EQ(OutputSize(), 0u) << "a cancelled writer writes nothing";
}

TEST_F(ArchiveIoTest, FailedReadStopsTheDecodeAndIsKept) {
  WriteFileBytes(ArchivePath, Pattern(100));
  // Open for writing only: every read fails.
  ASSERT_TRUE(OpenRecordFileFor(ArchiveHandle, ArchivePath, 1, ShareReadWrite));
  unsigned char byte = 0x11;
  std::uint16_t actual = 0;
  ArchiveReader(&byte, 1, actual);
  EXPECT_EQ(actual, 65535);
  EXPECT_EQ(byte, 0x11) << "no byte handed out";
  EXPECT_EQ(InstallRunning, 0);
  EXPECT_NE(ArchiveReadError, 0u);
  ArchiveReader(&byte, 1, actual);
  EXPECT_EQ(actual, 0) << "nothing more once stopped";
}

TEST_F(ArchiveIoTest, FailedFlushStopsTheDecodeAndIsKept) {
  const std::vector<unsigned char> bytes = Pattern(2049);
  WriteFileBytes(OutputPath, {});
  // Open for reading only: every write fails.
  ASSERT_TRUE(OpenRecordFileFor(OutputHandle, OutputPath, 0, ShareReadWrite));
  const std::int32_t writtenBefore = WrittenBytes;
  WriteBytes(bytes, 0, 2048);
  unsigned char byte = bytes[2048];
  std::uint16_t actual = 1;
  ArchiveWriter(&byte, 1, actual);
  EXPECT_EQ(actual, 0);
  EXPECT_EQ(InstallRunning, 0);
  EXPECT_NE(OutputWriteError, 0u);
  EXPECT_EQ(WrittenBytes, writtenBefore);

  // The final flush of a stream that never filled a block fails the same way.
  InstallRunning = 1;
  OutputWriteError = 0;
  WriteCount = 10;
  ArchiveWriter(SetupState.OutputBuffer, 0, actual);
  EXPECT_EQ(InstallRunning, 0);
  EXPECT_NE(OutputWriteError, 0u);
}

}  // namespace
