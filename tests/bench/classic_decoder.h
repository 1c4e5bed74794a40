#pragma once
// The yardstick for the decoder's speed: an LZHUF decoder in the style of the
// original C program. Module-wide tables, a 16-bit bit buffer filled a byte
// at a time and emptied a bit at a time, the tree climbed by its parent links
// with a linear search for the swap partner, and bytes taken from and put
// into memory directly, with no callback in between. It shares no code with
// the setup program's decoder, so making that one faster leaves this as it is.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace classic {

constexpr int N = 4096;
constexpr int F = 60;
constexpr int THRESHOLD = 2;
constexpr int N_CHAR = 256 - THRESHOLD + F;
constexpr int T = N_CHAR * 2 - 1;
constexpr int R = T - 1;
constexpr unsigned MAX_FREQ = 0x8000;

struct State {
  unsigned char text_buf[N + F - 1];
  std::uint16_t freq[T + 1];
  std::int16_t prnt[T + N_CHAR];
  std::int16_t son[T];
  unsigned char d_code[256];
  unsigned char d_len[256];
  unsigned getbuf, getlen;
  const unsigned char* in;
  const unsigned char* inEnd;
  unsigned char* out;
};

inline State g;

inline int InByte() { return g.in < g.inEnd ? *g.in++ : -1; }

inline int GetBit() {
  while (g.getlen <= 8) {
    int i = InByte();
    if (i < 0) i = 0;
    g.getbuf |= static_cast<unsigned>(i) << (8 - g.getlen);
    g.getlen += 8;
  }
  int bit = (g.getbuf >> 15) & 1;
  g.getbuf = (g.getbuf << 1) & 0xFFFF;
  g.getlen--;
  return bit;
}

inline int GetByte() {
  while (g.getlen <= 8) {
    int i = InByte();
    if (i < 0) i = 0;
    g.getbuf |= static_cast<unsigned>(i) << (8 - g.getlen);
    g.getlen += 8;
  }
  int byte = static_cast<int>(g.getbuf >> 8);
  g.getbuf = (g.getbuf << 8) & 0xFFFF;
  g.getlen -= 8;
  return byte;
}

inline void MakeTables() {
  static const int runs[6][3] = {{3, 1, 32}, {4, 3, 16}, {5, 8, 8}, {6, 12, 4}, {7, 24, 2}, {8, 16, 1}};
  int index = 0, value = 0;
  for (const auto& run : runs) {
    for (int v = 0; v < run[1]; v++, value++) {
      for (int k = 0; k < run[2]; k++, index++) {
        g.d_code[index] = static_cast<unsigned char>(value);
        g.d_len[index] = static_cast<unsigned char>(run[0]);
      }
    }
  }
}

inline void StartHuff() {
  for (int i = 0; i < N_CHAR; i++) {
    g.freq[i] = 1;
    g.son[i] = static_cast<std::int16_t>(i + T);
    g.prnt[i + T] = static_cast<std::int16_t>(i);
  }
  for (int i = 0, j = N_CHAR; j <= R; i += 2, j++) {
    g.freq[j] = static_cast<std::uint16_t>(g.freq[i] + g.freq[i + 1]);
    g.son[j] = static_cast<std::int16_t>(i);
    g.prnt[i] = g.prnt[i + 1] = static_cast<std::int16_t>(j);
  }
  g.freq[T] = 0xFFFF;
  g.prnt[R] = 0;
}

inline void Reconst() {
  int j = 0;
  for (int i = 0; i < T; i++) {
    if (g.son[i] >= T) {
      g.freq[j] = static_cast<std::uint16_t>((g.freq[i] + 1) / 2);
      g.son[j] = g.son[i];
      j++;
    }
  }
  for (int i = 0, n = N_CHAR; n < T; i += 2, n++) {
    unsigned f = static_cast<unsigned>(g.freq[i] + g.freq[i + 1]);
    int k = n - 1;
    while (f < g.freq[k]) k--;
    k++;
    for (int m = n; m > k; m--) {
      g.freq[m] = g.freq[m - 1];
      g.son[m] = g.son[m - 1];
    }
    g.freq[k] = static_cast<std::uint16_t>(f);
    g.son[k] = static_cast<std::int16_t>(i);
  }
  for (int i = 0; i < T; i++) {
    int k = g.son[i];
    g.prnt[k] = static_cast<std::int16_t>(i);
    if (k < T) g.prnt[k + 1] = static_cast<std::int16_t>(i);
  }
}

inline void Update(int c) {
  if (g.freq[R] == MAX_FREQ) Reconst();
  c = g.prnt[c + T];
  do {
    unsigned k = ++g.freq[c];
    if (k > g.freq[c + 1]) {
      int l = c + 1;
      while (k > g.freq[l + 1]) l++;
      g.freq[c] = g.freq[l];
      g.freq[l] = static_cast<std::uint16_t>(k);
      int i = g.son[c];
      g.prnt[i] = static_cast<std::int16_t>(l);
      if (i < T) g.prnt[i + 1] = static_cast<std::int16_t>(l);
      int j = g.son[l];
      g.son[l] = static_cast<std::int16_t>(i);
      g.prnt[j] = static_cast<std::int16_t>(c);
      if (j < T) g.prnt[j + 1] = static_cast<std::int16_t>(c);
      g.son[c] = static_cast<std::int16_t>(j);
      c = l;
    }
    c = g.prnt[c];
  } while (c != 0);
}

inline int DecodeChar() {
  int c = g.son[R];
  while (c < T) c = g.son[c + GetBit()];
  c -= T;
  Update(c);
  return c;
}

inline int DecodePosition() {
  unsigned i = static_cast<unsigned>(GetByte());
  unsigned high = static_cast<unsigned>(g.d_code[i]) << 6;
  for (int j = g.d_len[i] - 2; j > 0; j--) i = ((i << 1) + static_cast<unsigned>(GetBit())) & 0xFFFF;
  return static_cast<int>(high | (i & 0x3F));
}

// Decodes count bytes of in[0..inSize) into out, which has room for count
// plus F - 1 bytes (the last match is copied whole).
inline void Decode(const unsigned char* in, std::size_t inSize, unsigned char* out, std::int64_t count) {
  MakeTables();
  g.in = in;
  g.inEnd = in + inSize;
  g.out = out;
  g.getbuf = g.getlen = 0;
  StartHuff();
  std::memset(g.text_buf, ' ', N - F);
  unsigned r = N - F;
  for (std::int64_t produced = 0; produced < count;) {
    int c = DecodeChar();
    if (c < 256) {
      *g.out++ = static_cast<unsigned char>(c);
      g.text_buf[r++] = static_cast<unsigned char>(c);
      r &= N - 1;
      produced++;
    } else {
      unsigned i = (r - static_cast<unsigned>(DecodePosition()) - 1) & (N - 1);
      int j = c - 255 + THRESHOLD;
      for (int k = 0; k < j; k++) {
        unsigned char b = g.text_buf[(i + k) & (N - 1)];
        *g.out++ = b;
        g.text_buf[r++] = b;
        r &= N - 1;
      }
      produced += j;
    }
  }
}

}  // namespace classic
