// Throughput of the LZHUF decoder (through one read and one write callback
// per byte, as the setup program drives it) and of the packager's encoder.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/lzhuf.h"
#include "archive/lzhuf_encoder.h"
#include "archive/lzhuf_tree.h"
#include "../unit/test_lzhuf_reference.h"
#include "classic_decoder.h"
#include "setup/install_running.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadFile(const std::string& name) {
  std::ifstream in(std::string(MW_TEST_DATA) + "/lzhuf/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// In-memory callbacks, the cheapest the decoder can be given.
const unsigned char* g_in;
std::size_t g_inPos, g_inSize;
unsigned char* g_out;
std::size_t g_outPos, g_outCap;

void Read(void* buffer, std::uint16_t, std::uint16_t& actual) {
  if (g_inPos < g_inSize) {
    *static_cast<unsigned char*>(buffer) = g_in[g_inPos++];
    actual = 1;
  } else {
    actual = 0;
  }
}

void Write(void* buffer, std::uint16_t, std::uint16_t& actual) {
  if (g_outPos < g_outCap) g_out[g_outPos] = *static_cast<unsigned char*>(buffer);
  g_outPos++;
  actual = 1;
}

Bytes Unpack(const Bytes& stream, std::size_t count) {
  Bytes out(count + lzh::F);
  g_in = stream.data();
  g_inPos = 0;
  g_inSize = stream.size();
  g_out = out.data();
  g_outPos = 0;
  g_outCap = out.size();
  InstallRunning = 1;
  LzhUnpack(static_cast<std::int32_t>(count), Read, Write);
  out.resize(count);
  return out;
}


struct Payload {
  std::string name;
  Bytes original;
  Bytes stream;  // from our encoder
};

// text.txt as it is; the binary payload is mixed.bin repeated to about
// 1.5 MB (the window is 4 KB, so the copies do not help each other).
const Payload& GetPayload(int which) {
  static std::vector<Payload> payloads = [] {
    std::vector<Payload> p;
    Bytes text = Unpack(ReadFile("text.txt.lzh"), 754519);
    Bytes mixed = Unpack(ReadFile("mixed.bin.lzh"), 82683);
    Bytes binary;
    while (binary.size() < 1500000) binary.insert(binary.end(), mixed.begin(), mixed.end());
    p.push_back({"text.txt", text, LzhPack(text.data(), text.size())});
    p.push_back({"mixed.bin x" + std::to_string(binary.size() / mixed.size()), binary,
                 LzhPack(binary.data(), binary.size())});
    // The classic encoder's stream of text.txt, for decoding only.
    p.push_back({"text.txt, classic stream", text, ReadFile("text.txt.lzh")});
    return p;
  }();
  return payloads[which];
}

void BM_Decode(benchmark::State& state) {
  const Payload& p = GetPayload(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Bytes out = Unpack(p.stream, p.original.size());
    benchmark::DoNotOptimize(out.data());
  }
  if (Unpack(p.stream, p.original.size()) != p.original) state.SkipWithError("round trip differs");
  state.SetLabel(p.name);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * p.original.size()));
}

void BM_DecodeReference(benchmark::State& state) {
  const Payload& p = GetPayload(static_cast<int>(state.range(0)));
  Bytes out(p.original.size() + lzh::F);
  for (auto _ : state) {
    std::size_t inPos = 0, outPos = 0;
    const Bytes& in = p.stream;
    unsigned char* o = out.data();
    lzhref::Decode(
        static_cast<std::int64_t>(p.original.size()),
        [&]() { return inPos < in.size() ? static_cast<int>(in[inPos++]) : -1; },
        [&](unsigned char b) { o[outPos++] = b; });
    benchmark::DoNotOptimize(out.data());
  }
  out.resize(p.original.size());
  if (out != p.original) state.SkipWithError("reference decode differs");
  state.SetLabel(p.name + ", plain decoder without callbacks");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * p.original.size()));
}

// The yardstick: a decoder in the style of the original C program, from
// memory to memory with no callback. Ours, with its two callback calls per
// byte, should be at least as fast.
void BM_DecodeClassic(benchmark::State& state) {
  const Payload& p = GetPayload(static_cast<int>(state.range(0)));
  Bytes out(p.original.size() + lzh::F);
  for (auto _ : state) {
    classic::Decode(p.stream.data(), p.stream.size(), out.data(), static_cast<std::int64_t>(p.original.size()));
    benchmark::DoNotOptimize(out.data());
  }
  out.resize(p.original.size());
  if (out != p.original) state.SkipWithError("classic decode differs");
  state.SetLabel(p.name + ", classic decoder in memory");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * p.original.size()));
}

void BM_Encode(benchmark::State& state) {
  const Payload& p = GetPayload(static_cast<int>(state.range(0)));
  std::size_t size = 0;
  for (auto _ : state) {
    Bytes stream = LzhPack(p.original.data(), p.original.size());
    size = stream.size();
    benchmark::DoNotOptimize(stream.data());
  }
  state.SetLabel(p.name + ", " + std::to_string(size) + " bytes packed");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * p.original.size()));
}

}  // namespace

BENCHMARK(BM_Decode)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeReference)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeClassic)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
