// The classic-style encoder that the packager's compression is measured
// against must be the classic encoder: on every vector it gives back the
// classic stream byte for byte, and the setup program's decoder decodes it.
#include <gtest/gtest.h>

#include "../bench/classic_encoder.h"
#include "test_lzhuf_support.h"

using namespace lzhtest;

namespace {

// The original of a vector: its classic stream decoded (the SHA-256 in the
// MANIFEST checks it).
Bytes Original(const Vector& v) {
  Bytes out = Decode(ReadFile(DataPath("lzhuf/" + v.name + ".lzh")), v.length);
  out.resize(static_cast<std::size_t>(v.length));
  return out;
}

TEST(LzhClassicYardstick, ReproducesTheClassicStreamsByteForByte) {
  std::vector<Vector> vectors = Manifest();
  ASSERT_EQ(vectors.size(), 4u);
  for (const Vector& v : vectors) {
    SCOPED_TRACE(v.name);
    Bytes original = Original(v);
    ASSERT_EQ(Sha256Hex(original), v.sha256);
    Bytes classic = ReadFile(DataPath("lzhuf/" + v.name + ".lzh"));
    Bytes stream = classic_encoder::Encode(original.data(), original.size());
    EXPECT_EQ(stream.size(), classic.size());
    EXPECT_TRUE(stream == classic);
    Bytes decoded = Decode(stream, v.length);
    EXPECT_EQ(Sha256Hex(decoded), v.sha256);
  }
}

// Inputs shorter than the lookahead, and ones that end inside a long match,
// take the classic's end-of-input path; the stream must still decode.
TEST(LzhClassicYardstick, ShortAndRepetitiveInputsDecode) {
  for (std::size_t size : {1u, 2u, 3u, 59u, 60u, 61u, 4097u, 10000u}) {
    SCOPED_TRACE(size);
    Bytes data(size);
    for (std::size_t i = 0; i < size; i++) data[i] = static_cast<unsigned char>("abcab  x"[i % 8] + (i / 700));
    Bytes stream = classic_encoder::Encode(data.data(), data.size());
    EXPECT_EQ(Decode(stream, static_cast<std::int32_t>(size)), data);
  }
}

}  // namespace
