#pragma once
// The yardstick for the packager's compression: an LZHUF encoder in the style
// of the original C program. Greedy parsing: at every step the string at r
// goes into a binary search tree of the strings in the ring, the longest
// match met on the way down is taken (of equal lengths, the nearest), and it
// is coded when it is longer than THRESHOLD, else a literal goes out. The
// input is read through the ring exactly as the original reads it with
// getc, so the last lookahead and the stale bytes behind the end of the
// input behave the same; the tree is the shared adaptive Huffman tree.
//
// Usage: classic_encoder::Encode(data, size) gives the headerless stream
// (no 4-byte length in front) that LzhUnpack(size, ...) decodes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "archive/lzhuf.h"
#include "archive/lzhuf_tree.h"

namespace classic_encoder {

using lzh::F;
using lzh::N;
using lzh::N_CHAR;
using lzh::T;
using lzh::THRESHOLD;

constexpr int NIL = N;  // "no node" in the search tree

struct Encoder {
  // The ring, with its first F - 1 bytes mirrored behind its end so that a
  // string starting near the end can be compared without wrapping.
  unsigned char text_buf[N + F - 1] = {};
  // Search tree: children and parent of each ring position; rson[N + 1 + c]
  // is the root of the tree of strings that start with byte c.
  int lson[N + 1];
  int rson[N + 257];
  int dad[N + 1];
  int match_position = 0;  // distance - 1 of the longest match found
  int match_length = 0;

  std::uint16_t freq[T + 1];
  std::int16_t prnt[T + N_CHAR];
  std::int16_t son[T];
  lzh::HuffTree tree{freq, prnt, son};

  // Position code: the first bits of the code for each upper six bits of a
  // position (left-aligned in a byte) and their number; the inverse of the
  // decoder's d_code/d_len.
  unsigned char p_code[64];
  unsigned char p_len[64];

  const unsigned char* in = nullptr;
  const unsigned char* inEnd = nullptr;
  std::vector<unsigned char>* out = nullptr;
  std::uint32_t putbuf = 0;  // bits not yet written, the first in the top bit
  int putlen = 0;

  Encoder() {
    for (int i = 255; i >= 0; i--) {
      p_code[lzh::d_code[i]] = static_cast<unsigned char>(i);
      p_len[lzh::d_code[i]] = lzh::d_len[i];
    }
  }

  int GetC() { return in < inEnd ? *in++ : -1; }

  void InitTree() {
    for (int i = N + 1; i <= N + 256; i++) rson[i] = NIL;
    for (int i = 0; i < N; i++) dad[i] = NIL;
  }

  // Puts the string at r into the tree, noting the longest match met on
  // the way down. A string equal in all F bytes replaces the older node.
  void InsertNode(int r) {
    int cmp = 1;
    const unsigned char* key = &text_buf[r];
    int p = N + 1 + key[0];
    rson[r] = lson[r] = NIL;
    match_length = 0;
    for (;;) {
      if (cmp >= 0) {
        if (rson[p] != NIL) {
          p = rson[p];
        } else {
          rson[p] = r;
          dad[r] = p;
          return;
        }
      } else {
        if (lson[p] != NIL) {
          p = lson[p];
        } else {
          lson[p] = r;
          dad[r] = p;
          return;
        }
      }
      int i;
      for (i = 1; i < F; i++) {
        if ((cmp = key[i] - text_buf[p + i]) != 0) break;
      }
      if (i > THRESHOLD) {
        if (i > match_length) {
          match_position = ((r - p) & (N - 1)) - 1;
          if ((match_length = i) >= F) break;
        }
        if (i == match_length) {
          int c = ((r - p) & (N - 1)) - 1;
          if (c < match_position) match_position = c;
        }
      }
    }
    dad[r] = dad[p];
    lson[r] = lson[p];
    rson[r] = rson[p];
    dad[lson[p]] = r;
    dad[rson[p]] = r;
    if (rson[dad[p]] == p) {
      rson[dad[p]] = r;
    } else {
      lson[dad[p]] = r;
    }
    dad[p] = NIL;
  }

  // Takes the string at p out of the tree.
  void DeleteNode(int p) {
    if (dad[p] == NIL) return;
    int q;
    if (rson[p] == NIL) {
      q = lson[p];
    } else if (lson[p] == NIL) {
      q = rson[p];
    } else {
      q = lson[p];
      if (rson[q] != NIL) {
        do {
          q = rson[q];
        } while (rson[q] != NIL);
        rson[dad[q]] = lson[q];
        dad[lson[q]] = dad[q];
        lson[q] = lson[p];
        dad[lson[p]] = q;
      }
      rson[q] = rson[p];
      dad[rson[p]] = q;
    }
    dad[q] = dad[p];
    if (rson[dad[p]] == p) {
      rson[dad[p]] = q;
    } else {
      lson[dad[p]] = q;
    }
    dad[p] = NIL;
  }

  // Writes the first l bits of c (given left-aligned in 32 bits).
  void Putcode(int l, std::uint32_t c) {
    putbuf |= c >> putlen;
    putlen += l;
    while (putlen >= 8) {
      out->push_back(static_cast<unsigned char>(putbuf >> 24));
      putbuf <<= 8;
      putlen -= 8;
    }
    // c may have had more than 32 - putlen bits: those were cut off above.
  }

  void EncodeChar(int c) {
    // The code is the path from the root down to the leaf: collected from
    // the leaf up, so each bit goes in at the top.
    std::uint32_t code = 0;
    int j = 0;
    int k = prnt[c + T];
    do {
      code >>= 1;
      if (k & 1) code |= 0x80000000u;
      j++;
    } while ((k = prnt[k]) != lzh::R);
    // A path longer than 24 bits would not fit beside up to 7 pending bits.
    if (putlen + j > 32) {
      Putcode(16, code);
      Putcode(j - 16, code << 16);
    } else {
      Putcode(j, code);
    }
    lzh::Update(tree, c);
  }

  void EncodePosition(int c) {
    int i = c >> 6;
    Putcode(p_len[i], static_cast<std::uint32_t>(p_code[i]) << 24);
    Putcode(6, static_cast<std::uint32_t>(c & 0x3F) << 26);
  }

  void EncodeEnd() {
    if (putlen) out->push_back(static_cast<unsigned char>(putbuf >> 24));
    putbuf = 0;
    putlen = 0;
  }

  void Encode(const unsigned char* data, std::size_t size, std::vector<unsigned char>& stream) {
    in = data;
    inEnd = data + size;
    out = &stream;
    putbuf = 0;
    putlen = 0;
    if (size == 0) return;
    lzh::StartHuff(tree);
    InitTree();
    int s = 0;
    int r = N - F;
    for (int i = s; i < r; i++) text_buf[i] = ' ';
    int len, c;
    for (len = 0; len < F && (c = GetC()) != -1; len++) text_buf[r + len] = static_cast<unsigned char>(c);
    for (int i = 1; i <= F; i++) InsertNode(r - i);
    InsertNode(r);
    do {
      if (match_length > len) match_length = len;
      if (match_length <= THRESHOLD) {
        match_length = 1;
        EncodeChar(text_buf[r]);
      } else {
        EncodeChar(255 - THRESHOLD + match_length);
        EncodePosition(match_position);
      }
      int last_match_length = match_length;
      int i;
      for (i = 0; i < last_match_length && (c = GetC()) != -1; i++) {
        DeleteNode(s);
        text_buf[s] = static_cast<unsigned char>(c);
        if (s < F - 1) text_buf[s + N] = static_cast<unsigned char>(c);
        s = (s + 1) & (N - 1);
        r = (r + 1) & (N - 1);
        InsertNode(r);
      }
      // Past the end of the input: the lookahead shrinks; the bytes left
      // behind in the ring stay, and matches running into them are cut to
      // what is left.
      while (i++ < last_match_length) {
        DeleteNode(s);
        s = (s + 1) & (N - 1);
        r = (r + 1) & (N - 1);
        if (--len) InsertNode(r);
      }
    } while (len > 0);
    EncodeEnd();
  }
};

// The classic-style stream of data[0..size).
inline std::vector<unsigned char> Encode(const unsigned char* data, std::size_t size) {
  std::vector<unsigned char> stream;
  auto encoder = std::make_unique<Encoder>();  // some 60 KB: not on the stack
  encoder->Encode(data, size, stream);
  return stream;
}

}  // namespace classic_encoder
