// The packager's encoder: everything it makes decodes back exactly, and it
// packs the reference data at least as tightly as the classic encoder.
#include <gtest/gtest.h>

#include <random>

#include "archive/lzhuf_encoder.h"
#include "test_lzhuf_support.h"

using namespace lzhtest;

namespace {

Bytes Original(const std::string& name, std::int32_t length) {
  Bytes out = Decode(ReadFile(DataPath("lzhuf/" + name + ".lzh")), length);
  out.resize(static_cast<std::size_t>(length));
  return out;
}

Bytes Pack(const Bytes& data) { return LzhPack(data.data(), data.size()); }

void ExpectRoundTrip(const Bytes& data, const std::string& what) {
  Bytes stream = Pack(data);
  Bytes out = Decode(stream, static_cast<std::int32_t>(data.size()));
  // Exactly size bytes: the last item must not run past the end.
  ASSERT_EQ(out.size(), data.size()) << what;
  EXPECT_TRUE(out == data) << what;
}

Bytes Random(std::size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  Bytes out(size);
  for (auto& b : out) b = static_cast<unsigned char>(rng());
  return out;
}

TEST(LzhEncoder, RoundTrips) {
  struct Case {
    std::string what;
    Bytes data;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"one byte", {0x41}},
      {"two bytes", {0x00, 0xFF}},
      {"one space", {' '}},
      {"run of 61", Bytes(61, 'x')},
      {"run of 1000 after a byte", [] { Bytes b(1001, 'y'); b[0] = 'x'; return b; }()},
      {"spaces then text", [] { Bytes b(5000, ' '); for (char c : std::string("hello")) b.push_back(c); return b; }()},
      {"spaces longer than the preset", Bytes(9000, ' ')},
      {"incompressible", Random(70000, 1)},
      {"period 4096 (longest distance)", [] { Bytes r = Random(4096, 2); Bytes b = r; b.insert(b.end(), r.begin(), r.end()); b.insert(b.end(), r.begin(), r.end()); return b; }()},
      {"period 4097 (just out of reach)", [] { Bytes r = Random(4097, 3); Bytes b = r; b.insert(b.end(), r.begin(), r.end()); return b; }()},
  };
  // Every length up to F + 2 ends in a different place within a match.
  for (int n = 1; n <= 62; n++) cases.push_back({"abc run of " + std::to_string(n), [n] { Bytes b = {'a', 'b', 'c'}; b.insert(b.end(), static_cast<std::size_t>(n), 'z'); return b; }()});
  for (const Case& c : cases) ExpectRoundTrip(c.data, c.what);
}

TEST(LzhEncoder, RoundTripsOverAMegabyte) {
  // Text, binary, runs and noise in turn, so the tree is rebuilt many times
  // with very different statistics.
  Bytes text = Original("text.txt", 754519);
  Bytes mixed = Original("mixed.bin", 82683);
  Bytes data(text.begin(), text.begin() + 400000);
  data.insert(data.end(), mixed.begin(), mixed.end());
  data.insert(data.end(), 150000, 0);
  Bytes noise = Random(200000, 4);
  data.insert(data.end(), noise.begin(), noise.end());
  data.insert(data.end(), text.begin() + 400000, text.end());
  ASSERT_GT(data.size(), 1u << 20);
  ExpectRoundTrip(data, "mix over 1 MB");
}

TEST(LzhEncoder, NoLargerThanTheClassicEncoder) {
  for (const Vector& v : Manifest()) {
    SCOPED_TRACE(v.name);
    Bytes data = Original(v.name, v.length);
    ASSERT_EQ(Sha256Hex(data), v.sha256);
    Bytes classic = ReadFile(DataPath("lzhuf/" + v.name + ".lzh"));
    Bytes ours = Pack(data);
    EXPECT_LE(ours.size(), classic.size());
    EXPECT_EQ(Decode(ours, v.length), data);
    std::printf("%-18s classic %7zu  ours %7zu\n", v.name.c_str(), classic.size(), ours.size());
  }
}

TEST(LzhEncoder, ReportsProgressUpToTheTotal) {
  Bytes data = Random(10000, 5);
  std::vector<std::size_t> seen;
  auto record = [](std::size_t done, std::size_t total, void* context) {
    EXPECT_EQ(total, 10000u);
    static_cast<std::vector<std::size_t>*>(context)->push_back(done);
  };
  LzhPack(data.data(), data.size(), record, &seen);
  ASSERT_FALSE(seen.empty());
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(seen.back(), 10000u);
}

}  // namespace
