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
unsigned unusedBits;   // read by the last decode but not taken


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
  unusedBits = 0;
  text_buf = static_cast<unsigned char*>(std::malloc(N + F - 1));
  freq = static_cast<std::uint16_t*>(std::malloc((T + 1) * sizeof(std::uint16_t)));
  prnt = static_cast<std::int16_t*>(std::malloc((T + N_CHAR) * sizeof(std::int16_t)));
  son = static_cast<std::int16_t*>(std::malloc(T * sizeof(std::int16_t)));
  if (!text_buf || !freq || !prnt || !son) {
    FreeLzh();  // release what was obtained; a later decode starts clean
    throw ElzhException(LzhNoMemoryMessage);
  }
}

// The decode loop keeps the bit buffer, the tree and the ring in locals that
// no callback can reach, so they stay in registers across the calls;
// getbuf/getlen get the buffer back when the decode ends.
//
// The buffer's valid bits sit at the top of a 64-bit word, so taking bits is
// a shift with no masking. Before each symbol it is topped up to at least 57
// bits once it has fallen below 32, so the tree walk runs without a check
// for codes of up to 18 bits, with the 14 bits of a position still to follow.
// Longer codes need very uneven counts (the tree keeps its counts in sibling
// order, so a leaf at depth d needs a root count of at least the (d + 2)nd
// Fibonacci number, and the root stops at MAX_FREQ: no code is longer than
// 22 bits); such a walk is done again with a check at every level. The
// buffer never holds more than eight bytes, so the reads run at most a few
// bytes ahead of a decoder that reads a byte whenever its 16-bit buffer runs
// low, and at the end of the stream at most a few more reads are made than
// there are bytes; those return nothing and read as zero bits.
constexpr unsigned kTopUpBelow = 32;
constexpr unsigned kLongestWalk = kTopUpBelow - 14;  // 8 + 6 bits of position follow

struct Bits {
  std::uint64_t buf;
  unsigned len;
};

// Returns the buffer with 57 to 64 valid bits, one read call per byte; a
// byte that is not delivered counts as eight zero bits.
[[gnu::noinline]] Bits TopUp(Bits bits, LzhReadProc read) {
  int shift = 56 - static_cast<int>(bits.len);
  do {
    unsigned char byte = 0;
    std::uint16_t actual = 0;
    read(&byte, 1, actual);
    std::uint64_t value = actual == 1 ? byte : 0;
    bits.buf |= value << shift;
    shift -= 8;
  } while (shift >= 0);
  bits.len = static_cast<unsigned>(56 - shift);
  return bits;
}

// The tree walk with a check at every level, for a code longer than the
// buffer is sure to hold.
[[gnu::noinline]] std::intptr_t SlowWalk(Bits& bits, LzhReadProc read, const std::int16_t* son) {
  std::intptr_t c = son[R];
  do {
    if (bits.len == 0) bits = TopUp(bits, read);
    c = son[c + static_cast<std::intptr_t>(bits.buf >> 63)];
    bits.buf <<= 1;
    bits.len--;
  } while (c < T);
  if (bits.len < 14) bits = TopUp(bits, read);
  return c;
}

struct FreeOnExit {
  ~FreeOnExit() { FreeLzh(); }
};

}  // namespace

void LzhUnpack(std::int32_t count, LzhReadProc read, LzhWriteProc write) {
  InitLzh();
  FreeOnExit cleanup;
  std::uint16_t* const freqs = freq;
  std::int16_t* const parents = prnt;
  std::int16_t* const sons = son;
  StartHuff(HuffTree{freqs, parents, sons});
  // The ring starts as N - F spaces; the rest is zeroed so that a stream
  // that refers to it still decodes to the same bytes every time.
  unsigned char* const ring = text_buf;
  std::memset(ring, ' ', PRESET);
  std::memset(ring + PRESET, 0, N + F - 1 - PRESET);

  unsigned r = PRESET;
  std::int64_t produced = 0;  // a last match may run past count
  std::uint16_t actual = 0;
  std::uint64_t buf = static_cast<std::uint64_t>(getbuf) << 48;
  unsigned len = getlen;
  std::int16_t path[T];  // a symbol's nodes, root side first; no code is longer than T
  while (produced < count && InstallRunning) {
    if (len < kTopUpBelow) {
      Bits topped = TopUp(Bits{buf, len}, read);
      buf = topped.buf;
      len = topped.len;
    }
    // The walk: one bit per level, the first child for 0, the second for 1.
    // It notes the nodes it passes, for the update.
    std::uint64_t walkBuf = buf;
    std::int16_t* step = path;
    // The bit picks the table's row before the child is known (the first
    // children's table, or the same shifted by one for the second), so each
    // level waits on one load only.
    std::intptr_t c = sons[R];
    do {
      std::intptr_t bit = static_cast<std::intptr_t>(walkBuf >> 63);
      walkBuf <<= 1;
      const std::int16_t* row = sons + bit;
#if defined(__GNUC__)
      asm("" : "+r"(row));  // keeps the compiler from folding the bit back into the index
#endif
      *step++ = static_cast<std::int16_t>(c + bit);
      c = row[c];
    } while (c < T);
    std::intptr_t depth = step - path;
    if (depth <= static_cast<std::intptr_t>(kLongestWalk)) {
      buf = walkBuf;
      len -= static_cast<unsigned>(depth);
      c -= T;
      UpdateAlongPath(HuffTree{freqs, parents, sons}, static_cast<int>(c), path, depth);
    } else {
      Bits bits{buf, len};
      c = SlowWalk(bits, read, sons) - T;
      buf = bits.buf;
      len = bits.len;
      Update(HuffTree{freqs, parents, sons}, static_cast<int>(c));
    }

    if (c < 256) {
      ring[r] = static_cast<unsigned char>(c);
      write(&ring[r], 1, actual);
      r = (r + 1) & (N - 1);
      produced++;
      continue;
    }
    // The position: its first eight bits, then d_len - 2 more, of which the
    // low six count.
    unsigned first = static_cast<unsigned>(buf >> 56);
    unsigned n = d_len[first] - 2u;
    unsigned low = static_cast<unsigned>(buf >> (56 - n)) & 0x3F;
    buf <<= 8 + n;
    len -= 8 + n;
    unsigned position = (static_cast<unsigned>(d_code[first]) << 6) | low;

    unsigned from = (r - position - 1) & (N - 1);
    unsigned length = static_cast<unsigned>(c - (255 - THRESHOLD));
    // A byte at a time, each stored before the next is read: an
    // overlapping copy repeats what it has just stored. Each byte is handed
    // out from its new place in the ring.
    unsigned to = r;
    if (from + length <= N && to + length <= N) {
      std::ptrdiff_t back = static_cast<std::ptrdiff_t>(to) - static_cast<std::ptrdiff_t>(from);
      for (unsigned char *dst = ring + to, *end = dst + length; dst != end; dst++) {
        *dst = dst[-back];
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
  // Whole bytes beyond what a 16-bit buffer holds were read ahead; the
  // module-wide copy keeps the next sixteen bits.
  getbuf = static_cast<std::uint16_t>(buf >> 48);
  getlen = static_cast<std::uint8_t>(len < 16 ? len : 16);
  unusedBits = len;
}

unsigned LzhUnusedBits() { return unusedBits; }
