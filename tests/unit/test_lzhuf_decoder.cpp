// The decoder against streams from the classic encoder, and its behaviour at
// the edges: counts, missing input, cancel, and exceptions from callbacks.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive/lzhuf.h"
#include "setup/install_running.h"
#include "test_lzhuf_reference.h"
#include "test_lzhuf_support.h"

using namespace lzhtest;

namespace {

Bytes Stream(const std::string& name) { return ReadFile(DataPath("lzhuf/" + name + ".lzh")); }

// The classic streams cover the spaces preset in front of the first byte
// (spaces_start.txt), position 0 repeats (zeros.bin), and many tree rebuilds
// at the root count limit (text.txt and zeros.bin).
TEST(LzhDecoder, ClassicStreamsDecodeBitForBit) {
  std::vector<Vector> vectors = Manifest();
  ASSERT_EQ(vectors.size(), 4u);
  for (const Vector& v : vectors) {
    SCOPED_TRACE(v.name);
    Bytes stream = Stream(v.name);
    ASSERT_FALSE(stream.empty());
    Bytes out = Decode(stream, v.length);
    EXPECT_EQ(out.size(), static_cast<std::size_t>(v.length));
    EXPECT_EQ(Sha256Hex(out), v.sha256);
    // One read per byte, and at most a few reads past the end: the bit
    // buffer holds no more than eight bytes.
    EXPECT_GE(Codec().readCalls, stream.size());
    EXPECT_LE(Codec().readCalls, stream.size() + 8);
  }
}

// The reads run ahead of the decode, so the decoder tells how many of the
// bits it read it left untaken; from that a caller knows whether a stream
// held every bit that was taken. A complete stream does, down to its last
// byte; cut by a byte, it does not.
TEST(LzhDecoder, BitsTakenEndWithinACompleteStream) {
  for (const Vector& v : Manifest()) {
    SCOPED_TRACE(v.name);
    Bytes stream = Stream(v.name);
    ASSERT_GT(stream.size(), 1u);
    for (std::size_t size : {stream.size(), stream.size() - 1}) {
      SCOPED_TRACE(size);
      Decode(Bytes(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(size)), v.length);
      std::uint64_t read = Codec().readCalls * 8;
      ASSERT_LE(LzhUnusedBits(), read);
      std::uint64_t taken = read - LzhUnusedBits();
      if (size == stream.size()) {
        EXPECT_LE(taken, size * 8);
        EXPECT_GT(taken, size * 8 - 8);  // the last byte is not padding alone
      } else {
        EXPECT_GT(taken, size * 8);
      }
    }
  }
}

// The reader pumps window messages and the writer counts progress, so the
// reads have to keep pace with the writes: against a plain decoder that
// reads a byte whenever its 16-bit buffer runs low, the same bytes go to
// write, one read call takes one byte (in order, or the output would differ),
// the reads made before each write are at most a few ahead (or behind), and
// over the whole decode there are at most a few more, also past the end of
// the input.
TEST(LzhDecoder, ReadsKeepPaceWithThoseOfAPlainDecoder) {
  struct Case {
    std::string stream;
    std::int32_t count;
    std::size_t cut;  // input bytes offered, SIZE_MAX for all
  } cases[] = {
      {"text.txt", 200000, SIZE_MAX},
      {"mixed.bin", 82683, SIZE_MAX},
      {"zeros.bin", 300000, SIZE_MAX},
      {"mixed.bin", 82683, 5000},
  };
  const long kAhead = 8;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stream + " cut " + std::to_string(c.cut));
    Bytes stream = Stream(c.stream);
    if (c.cut < stream.size()) stream.resize(c.cut);

    // For each byte written, the reads made before it.
    std::vector<long> expectedReads;
    Bytes expectedOut;
    long reads = 0;
    std::size_t pos = 0;
    lzhref::Decode(
        c.count,
        [&]() {
          reads++;
          return pos < stream.size() ? static_cast<int>(stream[pos++]) : -1;
        },
        [&](unsigned char b) {
          expectedReads.push_back(reads);
          expectedOut.push_back(b);
        });
    const long expectedTotal = reads;

    static std::vector<long>* readsAtWrite;
    static Bytes* out;
    static const Bytes* input;
    static std::size_t readPos;
    static long readCalls;
    std::vector<long> actualReads;
    Bytes actualOut;
    readsAtWrite = &actualReads;
    out = &actualOut;
    input = &stream;
    readPos = 0;
    readCalls = 0;
    InstallRunning = 1;
    LzhUnpack(
        c.count,
        [](void* buffer, std::uint16_t count, std::uint16_t& actual) {
          EXPECT_EQ(count, 1);
          readCalls++;
          actual = 0;
          if (readPos < input->size()) {
            *static_cast<unsigned char*>(buffer) = (*input)[readPos++];
            actual = 1;
          }
        },
        [](void* buffer, std::uint16_t count, std::uint16_t&) {
          EXPECT_EQ(count, 1);
          readsAtWrite->push_back(readCalls);
          out->push_back(*static_cast<unsigned char*>(buffer));
        });
    InstallRunning = 0;

    EXPECT_TRUE(actualOut == expectedOut);
    ASSERT_EQ(actualReads.size(), expectedReads.size());
    long worstAhead = 0, worstBehind = 0;
    for (std::size_t i = 0; i < actualReads.size(); i++) {
      worstAhead = std::max(worstAhead, actualReads[i] - expectedReads[i]);
      worstBehind = std::max(worstBehind, expectedReads[i] - actualReads[i]);
    }
    EXPECT_LE(worstAhead, kAhead);
    EXPECT_LE(worstBehind, kAhead);
    EXPECT_LE(readCalls, expectedTotal + kAhead);
    EXPECT_GE(readCalls, expectedTotal - kAhead);
  }
}

TEST(LzhDecoder, CountZeroCallsNoCallback) {
  Bytes stream = Stream("text.txt");
  for (std::int32_t count : {0, -1, INT32_MIN}) {
    Bytes out = Decode(stream, count);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(Codec().readCalls, 0u) << count;
  }
}

TEST(LzhDecoder, MissingBytesReadAsZeroBits) {
  Bytes stream = Stream("mixed.bin");
  Bytes cut(stream.begin(), stream.begin() + 1000);
  Bytes padded = cut;
  padded.resize(cut.size() + 4000, 0);
  const std::int32_t count = 20000;
  Bytes expected = Decode(padded, count);
  ASSERT_GE(expected.size(), static_cast<std::size_t>(count));

  // Whatever a failing reader leaves in the buffer, only actual == 1 counts.
  struct Case {
    bool junk;
    std::uint16_t actual;
  } cases[] = {{false, 0}, {true, 0}, {true, 2}, {true, 0xFFFF}};
  for (const Case& c : cases) {
    MemoryCodec setup;
    setup.fillMissingWithOnes = c.junk;
    setup.missingActual = c.actual;
    EXPECT_EQ(Decode(cut, count, setup), expected) << "junk " << c.junk << " actual " << c.actual;
  }

  // No input at all still makes exactly the bytes that zero bits code.
  Bytes zeros(64, 0);
  EXPECT_EQ(Decode(Bytes(), 500), Decode(zeros, 500));
  EXPECT_GE(Decode(Bytes(), 500).size(), 500u);
}

TEST(LzhDecoder, LastMatchIsCopiedWholePastCount) {
  Bytes stream = Stream("zeros.bin");
  Bytes full = Decode(stream, 300000);
  for (std::int32_t count : {1, 2, 3, 61, 1000, 299999}) {
    Bytes out = Decode(stream, count);
    ASSERT_GE(out.size(), static_cast<std::size_t>(count));
    EXPECT_LT(out.size(), static_cast<std::size_t>(count) + 60) << count;
    EXPECT_TRUE(std::equal(out.begin(), out.end(), full.begin())) << count;
  }
  // The first byte is a literal, the second starts a match: asking for two
  // bytes gets the whole match.
  EXPECT_GT(Decode(stream, 2).size(), 2u);
}

TEST(LzhDecoder, ClearedInstallRunningFinishesTheSymbolAndReturns) {
  Bytes stream = Stream("text.txt");
  Bytes full = Decode(stream, 754519);

  MemoryCodec byWrite;
  byWrite.stopAfterWrites = 5000;
  Bytes out = Decode(stream, 754519, byWrite);
  EXPECT_GE(out.size(), 5000u);
  EXPECT_LT(out.size(), 5060u);
  EXPECT_TRUE(std::equal(out.begin(), out.end(), full.begin()));

  // A cancel inside a read (where the reader pumps messages) completes the
  // symbol being decoded, and at most one match, then stops.
  MemoryCodec byRead;
  byRead.stopAfterReads = 3000;
  out = Decode(stream, 754519, byRead);
  EXPECT_GT(out.size(), 0u);
  EXPECT_LT(out.size(), 754519u);
  EXPECT_LE(Codec().readCalls, 3000u + 8);
  EXPECT_TRUE(std::equal(out.begin(), out.end(), full.begin()));

  // Not running at all: nothing is decoded.
  Codec() = MemoryCodec();
  Codec().input = &stream;
  InstallRunning = 0;
  LzhUnpack(100, MemoryRead, MemoryWrite);
  EXPECT_TRUE(Codec().output.empty());
  EXPECT_EQ(Codec().readCalls, 0u);
}

TEST(LzhDecoder, ExceptionFromCallbackPassesAndNothingCarriesOver) {
  Bytes stream = Stream("text.txt");
  Bytes expected = Decode(stream, 100000);
  MemoryCodec throwing;
  throwing.throwAfterWrites = 40000;
  EXPECT_THROW(Decode(stream, 100000, throwing), std::runtime_error);
  InstallRunning = 0;
  // The tables were released (the sanitizer build would report a leak) and
  // the next decode starts fresh.
  EXPECT_EQ(Decode(stream, 100000), expected);
}

TEST(LzhDecoder, ExceptionMessages) {
  EXPECT_STREQ(LzhNoMemoryMessage, "LZH : Cannot get memory for dictionary tables");
  EXPECT_STREQ(LzhFreeErrorMessage, "LZH : Error freeing memory for dictionary tables");
  ElzhException e(LzhNoMemoryMessage);
  const std::exception& base = e;
  EXPECT_STREQ(base.what(), LzhNoMemoryMessage);
}

}  // namespace
