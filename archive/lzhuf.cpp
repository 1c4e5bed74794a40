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
LzhReadProc InputProc;


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

// A decode works on a copy of getbuf/getlen that can live in registers
// (the read callback could otherwise change them as far as the compiler
// knows); the copy goes back when the decode ends.
struct Bits {
  unsigned buf;  // the low 16 bits are getbuf
  unsigned len;
};

// Keeps at least 9 bits in the buffer, one byte per read call. A byte that
// is not delivered counts as eight zero bits.
inline void Refill(Bits& bits) {
  while (bits.len <= 8) {
    unsigned char byte = 0;
    std::uint16_t actual = 0;
    InputProc(&byte, 1, actual);
    unsigned value = actual == 1 ? byte : 0;
    bits.buf = (bits.buf | (value << (8 - bits.len))) & 0xFFFF;
    bits.len += 8;
  }
}

inline unsigned GetBit(Bits& bits) {
  Refill(bits);
  unsigned bit = (bits.buf >> 15) & 1;
  bits.buf = (bits.buf << 1) & 0xFFFF;
  bits.len--;
  return bit;
}

inline unsigned GetByte(Bits& bits) {
  Refill(bits);
  unsigned byte = (bits.buf >> 8) & 0xFF;
  bits.buf = (bits.buf << 8) & 0xFFFF;
  bits.len -= 8;
  return byte;
}

std::int16_t path[T];  // nodes of the symbol being decoded, for its update

inline int DecodeChar(Bits& bits) {
  const std::int16_t* tree = son;
  int depth = 0;
  int c = tree[R];
  for (;;) {
    int node = c + static_cast<int>(GetBit(bits));
    path[depth++] = static_cast<std::int16_t>(node);
    c = tree[node];
    if (c >= T) break;
  }
  c -= T;
  UpdateAlongPath(Tree(), c, path, depth);
  return c;
}

inline unsigned DecodePosition(Bits& bits) {
  unsigned i = GetByte(bits);
  unsigned high = static_cast<unsigned>(d_code[i]) << 6;
  for (int n = d_len[i] - 2; n > 0; n--) i = ((i << 1) + GetBit(bits)) & 0xFFFF;
  return high | (i & 0x3F);
}

struct FreeOnExit {
  ~FreeOnExit() { FreeLzh(); }
};

}  // namespace

void LzhUnpack(std::int32_t count, LzhReadProc read, LzhWriteProc write) {
  InitLzh();
  FreeOnExit cleanup;
  InputProc = read;
  StartHuff(Tree());
  // The ring starts as N - F spaces; the rest is zeroed so that a stream
  // that refers to it still decodes to the same bytes every time.
  std::memset(text_buf, ' ', PRESET);
  std::memset(text_buf + PRESET, 0, N + F - 1 - PRESET);

  unsigned r = PRESET;
  std::int64_t produced = 0;  // a last match may run past count
  std::uint16_t actual = 0;
  Bits bits = {getbuf, getlen};
  while (produced < count && InstallRunning) {
    int c = DecodeChar(bits);
    if (c < 256) {
      unsigned char byte = static_cast<unsigned char>(c);
      text_buf[r] = byte;
      r = (r + 1) & (N - 1);
      write(&byte, 1, actual);
      produced++;
    } else {
      unsigned start = (r - DecodePosition(bits) - 1) & (N - 1);
      int length = c - (255 - THRESHOLD);
      for (int k = 0; k < length; k++) {
        // Each byte is stored before the next is read: overlapping copies
        // repeat what they have just written.
        unsigned char byte = text_buf[(start + k) & (N - 1)];
        text_buf[r] = byte;
        r = (r + 1) & (N - 1);
        write(&byte, 1, actual);
      }
      produced += length;
    }
  }
  getbuf = static_cast<std::uint16_t>(bits.buf);
  getlen = static_cast<std::uint8_t>(bits.len);
}
