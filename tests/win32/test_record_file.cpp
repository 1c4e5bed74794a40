// Record files with a record size of 1: the file-open mode decides how an
// existing file opens, creating always replaces, and every call leaves its
// result in IoResult instead of raising.
// MW_TEST_ALSO_ON_WIN98
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "runtime/record_file.h"
#include "support_setup_run.h"

namespace {

class RecordFiles : public ::testing::Test {
protected:
  void SetUp() override {
    Folder = setup_test::ScratchFolder("records");
    Path = Folder + "\\part.001";
    ASSERT_TRUE(setup_test::WriteTextFile(Path, "0123456789"));
    SavedMode = FileMode;
  }
  void TearDown() override {
    CloseRecordFile(File);
    FileMode = SavedMode;
  }
  std::string Folder;
  std::string Path;
  RecordFile File;
  int SavedMode = 2;
};

TEST_F(RecordFiles, TheFileModeDecidesWhatAnExistingFileAllows) {
  const struct {
    int Mode;
    bool CanRead;
    bool CanWrite;
  } cases[] = {{0, true, false}, {1, false, true}, {2, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE("FileMode " + std::to_string(c.Mode));
    ASSERT_TRUE(setup_test::WriteTextFile(Path, "0123456789"));
    FileMode = c.Mode;
    ASSERT_TRUE(OpenRecordFile(File, Path));
    EXPECT_EQ(0u, IoResult());
    EXPECT_EQ(10, RecordFileSize(File));

    char buffer[4] = {0};
    const std::int32_t read = ReadRecords(File, buffer, 4);
    if (c.CanRead) {
      EXPECT_EQ(4, read);
      EXPECT_EQ(0u, IoResult());
      EXPECT_EQ(std::string("0123"), std::string(buffer, 4));
    } else {
      EXPECT_EQ(-1, read);
      EXPECT_NE(0u, IoResult());
    }
    ASSERT_TRUE(SeekRecord(File, 8));
    const std::int32_t written = WriteRecords(File, "AB", 2);
    if (c.CanWrite) {
      EXPECT_EQ(2, written);
      EXPECT_EQ(0u, IoResult());
    } else {
      EXPECT_EQ(-1, written);
      EXPECT_NE(0u, IoResult());
    }
    CloseRecordFile(File);
    EXPECT_EQ(c.CanWrite ? "01234567AB" : "0123456789", setup_test::ReadTextFile(Path));
  }
}

TEST_F(RecordFiles, CreatingReplacesAnExistingFileAndOpensForReadingAndWriting) {
  FileMode = 0;  // creating does not look at the mode
  ASSERT_TRUE(CreateRecordFile(File, Path));
  EXPECT_EQ(0, RecordFileSize(File));
  EXPECT_EQ(5, WriteRecords(File, "hello", 5));
  ASSERT_TRUE(SeekRecord(File, 0));
  char buffer[8] = {0};
  EXPECT_EQ(5, ReadRecords(File, buffer, 8));
  EXPECT_EQ(std::string("hello"), std::string(buffer));
  // Other programs may read the file while it is open, but not write it.
  HANDLE reader = CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, reader);
  if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
  HANDLE writer = CreateFileA(Path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(INVALID_HANDLE_VALUE, writer);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
}

TEST_F(RecordFiles, ReadingAtTheEndMovesNothingAndIsNoError) {
  FileMode = 0;
  ASSERT_TRUE(OpenRecordFile(File, Path));
  char buffer[16];
  EXPECT_EQ(10, ReadRecords(File, buffer, 16));
  EXPECT_TRUE(RecordEof(File));
  EXPECT_EQ(0, ReadRecords(File, buffer, 16));
  EXPECT_EQ(0u, IoResult());
  EXPECT_TRUE(RecordEof(File));
}

TEST_F(RecordFiles, TruncateEndsTheFileAtTheCurrentPosition) {
  FileMode = 2;
  ASSERT_TRUE(OpenRecordFile(File, Path));
  ASSERT_TRUE(SeekRecord(File, 4));
  EXPECT_FALSE(RecordEof(File));
  ASSERT_TRUE(TruncateRecordFile(File));
  EXPECT_EQ(4, RecordFileSize(File));
  EXPECT_TRUE(RecordEof(File));
  CloseRecordFile(File);
  EXPECT_EQ("0123", setup_test::ReadTextFile(Path));
}

TEST_F(RecordFiles, FailuresAreReportedNotRaised) {
  EXPECT_FALSE(OpenRecordFile(File, Folder + "\\missing.002"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), IoResult());
  EXPECT_FALSE(IsOpen(File));
  char buffer[4];
  EXPECT_EQ(-1, ReadRecords(File, buffer, 4));
  EXPECT_NE(0u, IoResult());
  EXPECT_EQ(-1, WriteRecords(File, "x", 1));
  ASSERT_TRUE(OpenRecordFile(File, Path));
  EXPECT_FALSE(SeekRecord(File, -1));
  EXPECT_NE(0u, IoResult());
  EXPECT_FALSE(CreateRecordFile(File, Folder + "\\no such folder\\x.tmp"));
  EXPECT_NE(0u, IoResult());
  // The file that was open before is closed, not left locked.
  EXPECT_TRUE(setup_test::WriteTextFile(Path, "unlocked"));

  EXPECT_TRUE(FileExists(Path));
  EXPECT_FALSE(FileExists(Folder)) << "a folder is not a file";
  EXPECT_FALSE(FileExists(Folder + "\\missing.002"));
}

TEST_F(RecordFiles, TheRaisedErrorNamesWhatFailedAndWhy) {
  try {
    RaiseIoError("Cannot open", "A:\\Marwindl.002", ERROR_FILE_NOT_FOUND);
    ADD_FAILURE() << "RaiseIoError must raise";
  } catch (const EInOutError& error) {
    const std::string text = error.what();
    EXPECT_EQ(0u, text.find("Cannot open A:\\Marwindl.002: ")) << text;
    EXPECT_GT(text.size(), std::string("Cannot open A:\\Marwindl.002: .").size()) << "the system's reason is missing";
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), error.ErrorCode);
  }
}

}  // namespace
