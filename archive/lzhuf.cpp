// LZHUF decoder: LZSS over a 4,096-byte ring, literals and match lengths in
// an adaptive Huffman code, match positions in a fixed prefix code plus six
// raw bits. The stream has no header; the caller says how many bytes to make.
#include "archive/lzhuf.h"

#include <cstdlib>
#include <cstring>

#include "archive/lzhuf_tree.h"
#include "setup/install_running.h"

using namespace lzh;

const char* const LzhNoMemoryMessage = "LZH : Cannot get memory for dictionary tables";
const char* const LzhFreeErrorMessage = "LZH : Error freeing memory for dictionary tables";

void lzh::Reconst(const HuffTree& tree) {
  std::uint16_t* freq = tree.freq;
  std::int16_t* prnt = tree.prnt;
  std::int16_t* son = tree.son;

  // Leaves to the front, counts halved (rounding up so none becomes 0).
  int j = 0;
  for (int i = 0; i < T; i++) {
    if (son[i] >= T) {
      freq[j] = static_cast<std::uint16_t>((freq[i] + 1) / 2);
      son[j] = son[i];
      j++;
    }
  }
  // Pair them again; a new node goes after existing nodes of equal count.
  for (int i = 0, n = N_CHAR; n < T; i += 2, n++) {
    std::uint16_t f = static_cast<std::uint16_t>(freq[i] + freq[i + 1]);
    freq[n] = f;
    int k = n - 1;
    while (f < freq[k]) k--;
    k++;
    std::size_t moved = static_cast<std::size_t>(n - k);
    std::memmove(&freq[k + 1], &freq[k], moved * sizeof freq[0]);
    freq[k] = f;
    std::memmove(&son[k + 1], &son[k], moved * sizeof son[0]);
    son[k] = static_cast<std::int16_t>(i);
  }
  for (int i = 0; i < T; i++) {
    int k = son[i];
    if (k >= T) {
      prnt[k] = static_cast<std::int16_t>(i);
    } else {
      prnt[k] = prnt[k + 1] = static_cast<std::int16_t>(i);
    }
  }
}

namespace {

// Decoder state: one decode at a time, tables only while it runs.
unsigned char* text_buf;  // N + F - 1 bytes; positions 0..N-1 are the ring
std::uint16_t* freq;
std::int16_t* prnt;
std::int16_t* son;
std::uint16_t getbuf;  // bits are taken from the top
std::uint8_t getlen;   // valid bits in getbuf


void FreeLzh() {
  // free() reports nothing, so there is no failure to raise here; raising
  // from the clean-up of a decode that is already unwinding would end the
  // program anyway.
  std::free(text_buf);
  std::free(freq);
  std::free(prnt);
  std::free(son);
  text_buf = nullptr;
  freq = nullptr;
  prnt = nullptr;
  son = nullptr;
}

void InitLzh() {
  getbuf = 0;
  getlen = 0;
  text_buf = static_cast<unsigned char*>(std::malloc(N + F - 1));
  freq = static_cast<std::uint16_t*>(std::malloc((T + 1) * sizeof(std::uint16_t)));
  prnt = static_cast<std::int16_t*>(std::malloc((T + N_CHAR) * sizeof(std::int16_t)));
  son = static_cast<std::int16_t*>(std::malloc(T * sizeof(std::int16_t)));
  if (!text_buf || !freq || !prnt || !son) {
    FreeLzh();  // release what was obtained; a later decode starts clean
    throw ElzhException(LzhNoMemoryMessage);
  }
}

HuffTree Tree() { return HuffTree{freq, prnt, son}; }

// A decode keeps its bit buffer, its read callback and the table addresses
// in locals, which the callbacks cannot reach, so they stay in registers
// across the calls; getbuf/getlen get the buffer back when the decode ends.
// The buffer's valid bits sit at the top of a 32-bit word, so taking bits
// is a shift with no masking. It is refilled exactly when a 16-bit buffer
// taken a bit at a time would be: before a bit is taken with 8 bits or fewer
// left, one byte per read call. The reader pumps window messages, so its
// calls keep their place among the write calls and the cancel tests.
struct Bits {
  std::uint32_t buf;
  unsigned len;
  LzhReadProc read;
};

// One byte from the reader; a byte that is not delivered counts as eight
// zero bits.
inline void ReadByte(Bits& bits) {
  unsigned char byte = 0;
  std::uint16_t actual = 0;
  bits.read(&byte, 1, actual);
  std::uint32_t value = actual == 1 ? byte : 0;
  bits.buf |= value << (24 - bits.len);
  bits.len += 8;
}

inline unsigned GetBit(Bits& bits) {
  if (bits.len <= 8) {
    ReadByte(bits);
    if (bits.len <= 8) ReadByte(bits);  // only from an empty buffer
  }
  unsigned bit = bits.buf >> 31;
  bits.buf <<= 1;
  bits.len--;
  return bit;
}

// path receives the nodes from the root's child down to the leaf, for the
// update that follows.
inline int DecodeChar(Bits& bits, const HuffTree& tree, int* path) {
  const std::int16_t* sons = tree.son;
  int depth = 0;
  int c = sons[R];
  do {
    int node = c + static_cast<int>(GetBit(bits));
    path[depth++] = node;
    c = sons[node];
  } while (c < T);
  c -= T;
  UpdateAlongPath(tree, c, path, depth);
  return c;
}

// The position's first eight bits, then d_len - 2 more, taken at once. Bit
// by bit the reads would come as the buffer runs low; here they come
// together, before the bits are taken, and there are as many: enough that
// the last of the 8 + n bits is taken with at least 9 bits in the buffer.
inline unsigned DecodePosition(Bits& bits) {
  while (bits.len <= 8) ReadByte(bits);
  unsigned first = bits.buf >> 24;
  unsigned n = d_len[first] - 2u;
  while (bits.len < n + 16) ReadByte(bits);
  unsigned code = bits.buf >> (24 - n);
  bits.buf <<= 8 + n;
  bits.len -= 8 + n;
  return (static_cast<unsigned>(d_code[first]) << 6) | (code & 0x3F);
}

struct FreeOnExit {
  ~FreeOnExit() { FreeLzh(); }
};

}  // namespace

void LzhUnpack(std::int32_t count, LzhReadProc read, LzhWriteProc write) {
  InitLzh();
  FreeOnExit cleanup;
  const HuffTree tree = Tree();
  StartHuff(tree);
  // The ring starts as N - F spaces; the rest is zeroed so that a stream
  // that refers to it still decodes to the same bytes every time.
  unsigned char* const ring = text_buf;
  std::memset(ring, ' ', PRESET);
  std::memset(ring + PRESET, 0, N + F - 1 - PRESET);

  unsigned r = PRESET;
  std::int64_t produced = 0;  // a last match may run past count
  std::uint16_t actual = 0;
  Bits bits = {static_cast<std::uint32_t>(getbuf) << 16, getlen, read};
  int path[T];  // a symbol's nodes, root side first; no code is longer than T
  while (produced < count && InstallRunning) {
    int c = DecodeChar(bits, tree, path);
    if (c < 256) {
      ring[r] = static_cast<unsigned char>(c);
      write(&ring[r], 1, actual);
      r = (r + 1) & (N - 1);
      produced++;
      continue;
    }
    unsigned from = (r - DecodePosition(bits) - 1) & (N - 1);
    unsigned length = static_cast<unsigned>(c - (255 - THRESHOLD));
    // A byte at a time, each stored before the next is read: an
    // overlapping copy repeats what it has just stored. Each byte is handed
    // out from its new place in the ring.
    unsigned to = r;
    if (from + length <= N && to + length <= N) {
      const unsigned char* src = ring + from;
      for (unsigned char *dst = ring + to, *end = dst + length; dst != end; dst++, src++) {
        *dst = *src;
        write(dst, 1, actual);
      }
    } else {
      for (unsigned k = 0; k < length; k++) {
        unsigned char* dst = &ring[(to + k) & (N - 1)];
        *dst = ring[(from + k) & (N - 1)];
        write(dst, 1, actual);
      }
    }
    r = (to + length) & (N - 1);
    produced += length;
  }
  getbuf = static_cast<std::uint16_t>(bits.buf >> 16);
  getlen = static_cast<std::uint8_t>(bits.len);
}
