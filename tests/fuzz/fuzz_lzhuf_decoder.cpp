// Any byte string is a stream the decoder must survive: the first two bytes
// say how many bytes to make (bounded), the rest is the stream. Checks the
// count, and that our encoder's output for the same bytes decodes back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "archive/lzhuf.h"
#include "archive/lzhuf_encoder.h"
#include "setup/install_running.h"

namespace {

const std::uint8_t* g_in;
std::size_t g_inSize, g_inPos;
std::vector<unsigned char> g_out;

void Read(void* buffer, std::uint16_t, std::uint16_t& actual) {
  if (g_inPos < g_inSize) {
    *static_cast<unsigned char*>(buffer) = g_in[g_inPos++];
    actual = 1;
  } else {
    actual = 0;
  }
}

void Write(void* buffer, std::uint16_t, std::uint16_t& actual) {
  g_out.push_back(*static_cast<unsigned char*>(buffer));
  actual = 1;
}

void Unpack(const std::uint8_t* data, std::size_t size, std::int32_t count) {
  g_in = data;
  g_inSize = size;
  g_inPos = 0;
  g_out.clear();
  InstallRunning = 1;
  LzhUnpack(count, Read, Write);
  InstallRunning = 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  std::int32_t count = (data[0] | data[1] << 8) & 0x3FFF;  // up to 16 KB out
  Unpack(data + 2, size - 2, count);
  // Whole matches only: at most F - 1 bytes past the count.
  if (g_out.size() < static_cast<std::size_t>(count) ||
      g_out.size() >= static_cast<std::size_t>(count) + lzh::F) {
    std::abort();
  }

  std::vector<unsigned char> original(data + 2, data + size);
  std::vector<unsigned char> packed = LzhPack(original.data(), original.size());
  Unpack(packed.data(), packed.size(), static_cast<std::int32_t>(original.size()));
  if (g_out != original) std::abort();
  return 0;
}
