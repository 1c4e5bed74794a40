#pragma once
// Helpers shared by the codec and packager tests: files, SHA-256, and the
// decoder driven from memory.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "archive/lzhuf.h"
#include "setup/install_running.h"

namespace lzhtest {

using Bytes = std::vector<unsigned char>;

inline std::string DataPath(const std::string& name) { return std::string(MW_TEST_DATA) + "/" + name; }

inline Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string Sha256Hex(const Bytes& data) {
  static const std::uint32_t k[64] = {
      0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
      0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
      0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
      0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
      0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
      0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
      0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
      0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
  std::uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  Bytes m = data;
  std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
  m.push_back(0x80);
  while (m.size() % 64 != 56) m.push_back(0);
  for (int i = 7; i >= 0; i--) m.push_back(static_cast<unsigned char>(bits >> (i * 8)));
  auto rotr = [](std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
  for (std::size_t block = 0; block < m.size(); block += 64) {
    std::uint32_t w[64];
    for (int i = 0; i < 16; i++) {
      const unsigned char* p = &m[block + i * 4];
      w[i] = std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
    }
    for (int i = 16; i < 64; i++) {
      std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
      std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], hh = h[7];
    for (int i = 0; i < 64; i++) {
      std::uint32_t t1 = hh + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + k[i] + w[i];
      std::uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
      hh = g; g = f; f = e; e = d + t1; d = c; c = b; b = a; a = t1 + t2;
    }
    h[0] += a; h[1] += b; h[2] += c; h[3] += d; h[4] += e; h[5] += f; h[6] += g; h[7] += hh;
  }
  char out[65];
  for (int i = 0; i < 8; i++) std::snprintf(out + i * 8, 9, "%08x", static_cast<unsigned>(h[i]));
  return std::string(out, 64);
}

// One line of the vectors' MANIFEST: sha256, length, name.
struct Vector {
  std::string sha256;
  std::int32_t length;
  std::string name;
};

inline std::vector<Vector> Manifest() {
  std::vector<Vector> vectors;
  std::ifstream in(DataPath("lzhuf/MANIFEST"));
  Vector v;
  while (in >> v.sha256 >> v.length >> v.name) vectors.push_back(v);
  return vectors;
}

// The decoder's callbacks over memory. Plain functions have no context, so
// the current source and sink live here.
struct MemoryCodec {
  const Bytes* input = nullptr;
  std::size_t readPos = 0;
  std::size_t readCalls = 0;
  Bytes output;
  // Optional hooks: clear InstallRunning or throw after so many bytes.
  std::size_t stopAfterWrites = SIZE_MAX;
  std::size_t stopAfterReads = SIZE_MAX;
  std::size_t throwAfterWrites = SIZE_MAX;
  bool fillMissingWithOnes = false;  // a reader that leaves junk when it has nothing
  std::uint16_t missingActual = 0;
};

inline MemoryCodec& Codec() {
  static MemoryCodec codec;
  return codec;
}

inline void MemoryRead(void* buffer, std::uint16_t count, std::uint16_t& actual) {
  MemoryCodec& c = Codec();
  c.readCalls++;
  if (count == 1 && c.input && c.readPos < c.input->size()) {
    *static_cast<unsigned char*>(buffer) = (*c.input)[c.readPos++];
    actual = 1;
  } else {
    if (c.fillMissingWithOnes) *static_cast<unsigned char*>(buffer) = 0xFF;
    actual = c.missingActual;
  }
  if (c.readCalls == c.stopAfterReads) InstallRunning = 0;
}

inline void MemoryWrite(void* buffer, std::uint16_t count, std::uint16_t& actual) {
  MemoryCodec& c = Codec();
  const unsigned char* p = static_cast<const unsigned char*>(buffer);
  c.output.insert(c.output.end(), p, p + count);
  actual = count;
  if (c.output.size() == c.stopAfterWrites) InstallRunning = 0;
  if (c.output.size() == c.throwAfterWrites) throw std::runtime_error("disk full");
}

// Decodes count bytes of stream with fresh callbacks; returns the output.
inline Bytes Decode(const Bytes& stream, std::int32_t count, MemoryCodec setup = MemoryCodec()) {
  MemoryCodec& c = Codec();
  c = setup;
  c.input = &stream;
  InstallRunning = 1;
  LzhUnpack(count, MemoryRead, MemoryWrite);
  InstallRunning = 0;
  return c.output;
}

}  // namespace lzhtest
