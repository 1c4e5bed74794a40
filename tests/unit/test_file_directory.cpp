// Reading the file directory from a setup program's tail, and refusing
// trailers that would lead the unpack somewhere unsafe.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/file_directory.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Record {
  std::string name;          // the first name bytes
  int length;                // the length byte; -1 for name.size()
  std::int32_t offset;
  std::int32_t size;
  std::string leftovers;     // what fills the rest of the 19 characters
};

void PutInt32(Bytes& out, std::int32_t value) {
  std::uint32_t v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; i++) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

Bytes Trailer(const std::vector<Record>& records, std::int32_t unpackedSize, int count = -1) {
  Bytes out;
  for (const Record& r : records) {
    out.push_back(static_cast<unsigned char>(r.length < 0 ? r.name.size() : r.length));
    std::string field = r.name + r.leftovers;
    field.resize(19, '\0');
    out.insert(out.end(), field.begin(), field.end());
    PutInt32(out, r.offset);
    PutInt32(out, r.size);
  }
  out.push_back(static_cast<unsigned char>(count < 0 ? records.size() : count));
  PutInt32(out, unpackedSize);
  return out;
}

Bytes WithImage(std::size_t imageSize, const Bytes& trailer) {
  Bytes file(imageSize + trailer.size(), 0xCC);
  std::copy(trailer.begin(), trailer.end(), file.begin() + static_cast<std::ptrdiff_t>(imageSize));
  return file;
}

struct Parsed {
  TrailerCheck check;
  std::vector<std::string> names;
  std::vector<std::pair<std::int32_t, std::int32_t>> spans;
  std::vector<Bytes> fields;
  std::int32_t unpackedSize;
};

Parsed Parse(const Bytes& file) {
  FileDirectoryRecord dir = {nullptr, nullptr, 0};
  Parsed p;
  p.check = ParseTrailer(file.data(), file.size(), dir);
  for (DirectoryEntry* e = dir.First; e; e = e->Next) {
    p.names.push_back(EntryName(*e));
    p.spans.push_back({e->Offset, e->Size});
    p.fields.push_back(Bytes(e->Name, e->Name + 20));
    if (!e->Next) {
      EXPECT_EQ(e, dir.Last);
    }
  }
  p.unpackedSize = dir.UnpackedSize;
  ReleaseFileDirectory(dir);
  EXPECT_EQ(dir.First, nullptr);
  EXPECT_EQ(dir.Last, nullptr);
  return p;
}

const std::vector<Record> kProduct = {
    {"abc", -1, 729088, 100, "LEFTOVER-TEXT!!!"},
    {"Logo.BMP", -1, 729188, 50, ""},
    {"logo.bmp", -1, 729238, 0, "xyz"},
    {"Readme.Txt", -1, 729238, 12, ""},
    {"NineteenCharsLong.a", -1, 729250, 5, ""},
};

TEST(FileDirectory, ReadsRecordsInOrderWithNamesAsStored) {
  Parsed p = Parse(WithImage(4096, Trailer(kProduct, 729255)));
  ASSERT_TRUE(p.check.Valid) << p.check.Reason;
  EXPECT_EQ(p.names, (std::vector<std::string>{"abc", "Logo.BMP", "logo.bmp", "Readme.Txt", "NineteenCharsLong.a"}));
  EXPECT_EQ(p.spans.front(), std::make_pair(729088, 100));
  EXPECT_EQ(p.spans.back(), std::make_pair(729250, 5));
  EXPECT_EQ(p.unpackedSize, 729255);
  // The name field arrives unchanged, leftovers behind the name included.
  Bytes expectedField = {3, 'a', 'b', 'c'};
  for (char c : std::string("LEFTOVER-TEXT!!!")) expectedField.push_back(static_cast<unsigned char>(c));
  EXPECT_EQ(p.fields[0], expectedField);
}

TEST(FileDirectory, FoundByPositionAloneBehindAnyImage) {
  Bytes trailer = Trailer(kProduct, 729255);
  Parsed reference = Parse(trailer);
  ASSERT_TRUE(reference.check.Valid);
  for (std::size_t imageSize : {1u, 5u, 28u, 1000u, 70000u}) {
    Parsed p = Parse(WithImage(imageSize, trailer));
    EXPECT_TRUE(p.check.Valid) << imageSize;
    EXPECT_EQ(p.names, reference.names) << imageSize;
    EXPECT_EQ(p.spans, reference.spans) << imageSize;
    EXPECT_EQ(p.fields, reference.fields) << imageSize;
  }
}

TEST(FileDirectory, TailOfALongFileIsEnough) {
  Bytes trailer = Trailer(kProduct, 729255);
  FileDirectoryRecord dir = {nullptr, nullptr, 0};
  TrailerCheck check = ParseTrailer(trailer.data(), trailer.size(), 5000000, dir);
  EXPECT_TRUE(check.Valid) << check.Reason;
  EXPECT_EQ(dir.UnpackedSize, 729255);
  ReleaseFileDirectory(dir);

  // A tail too short for the records it announces is the caller's mistake
  // and says so, rather than blaming the file.
  Bytes partial(trailer.end() - 40, trailer.end());
  check = ParseTrailer(partial.data(), partial.size(), 5000000, dir);
  EXPECT_FALSE(check.Valid);
  EXPECT_NE(check.Reason.find("were read"), std::string::npos) << check.Reason;
  EXPECT_EQ(dir.First, nullptr);
}

TEST(FileDirectory, EmptyDirectoryStillHasUnpackedSize) {
  Parsed p = Parse(WithImage(100, Trailer({}, 12345)));
  ASSERT_TRUE(p.check.Valid) << p.check.Reason;
  EXPECT_TRUE(p.names.empty());
  EXPECT_EQ(p.unpackedSize, 12345);
  // Exactly five bytes is a whole trailer.
  EXPECT_TRUE(Parse(Trailer({}, 0)).check.Valid);
}

TEST(FileDirectory, ReplacesWhatTheListHeldBefore) {
  FileDirectoryRecord dir = {nullptr, nullptr, 0};
  Bytes first = Trailer(kProduct, 729255);
  Bytes second = Trailer({{"one.dll", -1, 10, 5, ""}}, 15);
  ASSERT_TRUE(ParseTrailer(first.data(), first.size(), dir).Valid);
  ASSERT_TRUE(ParseTrailer(second.data(), second.size(), dir).Valid);
  ASSERT_NE(dir.First, nullptr);
  EXPECT_EQ(dir.First, dir.Last);
  EXPECT_EQ(EntryName(*dir.First), "one.dll");
  ReleaseFileDirectory(dir);
}

TEST(FileDirectory, EntryNameNeverReadsBeyondItsField) {
  DirectoryEntry entry;
  std::memset(&entry, 'x', sizeof entry);
  entry.Name[0] = 200;
  EXPECT_EQ(EntryName(entry), std::string(19, 'x'));
}

TEST(FileDirectory, RefusesTrailersThatCannotBeInstalledFrom) {
  struct Case {
    const char* what;
    Bytes file;
    const char* reason;  // a piece of the message
  };
  auto one = [](Record r, std::int32_t unpacked = 1000) { return WithImage(64, Trailer({r}, unpacked)); };
  const Case cases[] = {
      {"nothing", Bytes(), "0 bytes long"},
      {"four bytes", Bytes(4, 0), "4 bytes long"},
      {"more records than the file holds", Trailer({}, 100, 3), "claims 3 files but the file is only 5 bytes"},
      {"255 records in a small file", WithImage(100, Trailer({}, 100, 255)), "claims 255 files"},
      {"name length 20", one({"abc", 20, 0, 1, ""}), "name length of 20"},
      {"name length 255", one({"abc", 255, 0, 1, ""}), "name length of 255"},
      {"empty name", one({"", -1, 0, 1, "junk"}), "the name is empty"},
      {"backslash", one({"sub\\evil.dll", -1, 0, 1, ""}), "holds '\\'"},
      {"slash", one({"../evil.dll", -1, 0, 1, ""}), "holds '/'"},
      {"drive colon", one({"C:evil.dll", -1, 0, 1, ""}), "holds ':'"},
      {"control character", one({"a\tb", -1, 0, 1, ""}), "control character"},
      {"dot", one({".", -1, 0, 1, ""}), "\".\" is not a file name"},
      {"dot dot", one({"..", -1, 0, 1, ""}), "\"..\" is not a file name"},
      {"wildcard", one({"*.dll", -1, 0, 1, ""}), "holds '*'"},
      {"negative unpacked size", one({"a.dll", -1, 0, 1, ""}, -1), "unpacked size is negative"},
      {"negative offset", one({"a.dll", -1, -5, 1, ""}), "negative offset"},
      {"negative size", one({"a.dll", -1, 0, -1, ""}), "negative size"},
      {"end beyond unpacked size", one({"a.dll", -1, 990, 11, ""}), "ends at 1001, beyond the unpacked size 1000"},
      {"offset plus size overflows", one({"a.dll", -1, 0x7FFFFFFF, 0x7FFFFFFF, ""}, 0x7FFFFFFF),
       "ends at 4294967294"},
  };
  for (const Case& c : cases) {
    Parsed p = Parse(c.file);
    EXPECT_FALSE(p.check.Valid) << c.what;
    EXPECT_NE(p.check.Reason.find(c.reason), std::string::npos) << c.what << ": " << p.check.Reason;
    EXPECT_TRUE(p.names.empty()) << c.what;
    EXPECT_EQ(p.unpackedSize, 0) << c.what;
  }

  // The message names the entry by number and says what to do.
  Bytes second = WithImage(0, Trailer({{"ok.dll", -1, 0, 10, ""}, {"bad/name", -1, 10, 1, ""}}, 11));
  std::string reason = Parse(second).check.Reason;
  EXPECT_NE(reason.find("entry 2 \"bad/name\""), std::string::npos) << reason;
  EXPECT_NE(reason.find("Copy the setup program again"), std::string::npos) << reason;
}

TEST(FileDirectory, BoundaryValuesAreAccepted) {
  const Record ok[] = {
      {"a", -1, 0, 1000, ""},            // ends exactly at the unpacked size
      {"x.y", -1, 1000, 0, ""},          // empty file at the very end
      {"a b c.txt", -1, 0, 0, ""},       // spaces are fine in a name
      {"\xC4rger.txt", -1, 0, 1, ""},    // ANSI letters too
      {"...a", -1, 0, 1, ""},
  };
  for (const Record& r : ok) {
    Parsed p = Parse(WithImage(10, Trailer({r}, 1000)));
    EXPECT_TRUE(p.check.Valid) << r.name << ": " << p.check.Reason;
  }
}

}  // namespace
