// The classic-style compressed size of a payload: the files given are
// concatenated in order (main program first, as mwpack packs them) and
// encoded once by the classic-style encoder.
//   classic_size [-o STREAM] FILE...
// Prints the input size and the stream size in bytes; -o also writes the
// stream.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "classic_encoder.h"

int main(int argc, char** argv) {
  const char* outPath = nullptr;
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "-o") == 0) {
    outPath = argv[2];
    first = 3;
  }
  if (first >= argc) {
    std::fprintf(stderr, "usage: classic_size [-o STREAM] FILE...\n");
    return 2;
  }
  std::vector<unsigned char> payload;
  for (int i = first; i < argc; i++) {
    std::ifstream in(argv[i], std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "classic_size: cannot read %s\n", argv[i]);
      return 1;
    }
    payload.insert(payload.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::vector<unsigned char> stream = classic_encoder::Encode(payload.data(), payload.size());
  if (outPath) {
    std::ofstream out(outPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
    if (!out) {
      std::fprintf(stderr, "classic_size: cannot write %s\n", outPath);
      return 1;
    }
  }
  std::printf("%zu %zu\n", payload.size(), stream.size());
  return 0;
}
