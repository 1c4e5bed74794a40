// Decodes one stream once, through the setup program's decoder (with its
// read and write callbacks) or through the classic-style decoder, so that
// `valgrind --tool=callgrind` can count the instructions of either:
//   decode_once ours|classic STREAM COUNT
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "archive/lzhuf.h"
#include "classic_decoder.h"
#include "setup/install_running.h"

namespace {

const unsigned char* g_in;
std::size_t g_inPos, g_inSize;
unsigned char* g_out;
std::size_t g_outPos;

void Read(void* buffer, std::uint16_t, std::uint16_t& actual) {
  if (g_inPos < g_inSize) {
    *static_cast<unsigned char*>(buffer) = g_in[g_inPos++];
    actual = 1;
  } else {
    actual = 0;
  }
}

void Write(void* buffer, std::uint16_t, std::uint16_t& actual) {
  g_out[g_outPos++] = *static_cast<unsigned char*>(buffer);
  actual = 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: decode_once ours|classic STREAM COUNT\n");
    return 2;
  }
  std::ifstream file(argv[2], std::ios::binary);
  std::vector<unsigned char> in((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  long count = std::atol(argv[3]);
  std::vector<unsigned char> out(static_cast<std::size_t>(count) + lzh::F);
  if (std::strcmp(argv[1], "classic") == 0) {
    classic::Decode(in.data(), in.size(), out.data(), count);
  } else {
    g_in = in.data();
    g_inSize = in.size();
    g_out = out.data();
    InstallRunning = 1;
    LzhUnpack(static_cast<std::int32_t>(count), Read, Write);
  }
  // A checksum, so that both can be seen to agree.
  unsigned long sum = 0;
  for (long i = 0; i < count; i++) sum = sum * 31 + out[static_cast<std::size_t>(i)];
  std::printf("%lx\n", sum);
  return 0;
}
