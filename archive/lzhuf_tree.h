#pragma once
// The adaptive Huffman tree shared by the LZHUF decoder and encoder. Both
// sides must update it identically after every symbol, so there is only one
// copy of the code.
#include <cstdint>

#include "archive/lzhuf.h"

namespace lzh {

// Position code: the upper six bits of a position and the number of bits
// that code them, by the code's first eight bits. The tables follow from
// runs: 32 codes of 3 bits for upper value 0, then 3 values of 16 codes of
// 4 bits each, and so on down to 16 values with one 8-bit code each.
struct PositionTables {
  std::uint8_t code[256];
  std::uint8_t len[256];
};

constexpr PositionTables MakePositionTables() {
  PositionTables t{};
  struct Run { int len, values, repeat; };
  constexpr Run runs[] = {{3, 1, 32}, {4, 3, 16}, {5, 8, 8}, {6, 12, 4}, {7, 24, 2}, {8, 16, 1}};
  int index = 0, value = 0;
  for (const Run& run : runs) {
    for (int v = 0; v < run.values; v++, value++) {
      for (int r = 0; r < run.repeat; r++, index++) {
        t.code[index] = static_cast<std::uint8_t>(value);
        t.len[index] = static_cast<std::uint8_t>(run.len);
      }
    }
  }
  return t;
}

inline constexpr PositionTables kPositionTables = MakePositionTables();
inline constexpr const std::uint8_t (&d_code)[256] = kPositionTables.code;
inline constexpr const std::uint8_t (&d_len)[256] = kPositionTables.len;
static_assert(d_code[0x1F] == 0 && d_len[0x1F] == 3 && d_code[0x20] == 1 && d_len[0x20] == 4);
static_assert(d_code[0xC0] == 24 && d_len[0xC0] == 7 && d_code[0xFF] == 63 && d_len[0xFF] == 8);

struct HuffTree {
  std::uint16_t* freq;  // T + 1 entries, freq[T] is a 0xFFFF sentinel
  std::int16_t* prnt;   // T + N_CHAR entries: parents, then each symbol's leaf
  std::int16_t* son;    // T entries: first child, or T + symbol for a leaf
};

// Every symbol with frequency 1, paired up into a balanced tree.
inline void StartHuff(const HuffTree& tree) {
  std::uint16_t* freq = tree.freq;
  std::int16_t* prnt = tree.prnt;
  std::int16_t* son = tree.son;
  for (int i = 0; i < N_CHAR; i++) {
    freq[i] = 1;
    son[i] = static_cast<std::int16_t>(i + T);
    prnt[i + T] = static_cast<std::int16_t>(i);
  }
  for (int i = 0, j = N_CHAR; j <= R; i += 2, j++) {
    freq[j] = static_cast<std::uint16_t>(freq[i] + freq[i + 1]);
    son[j] = static_cast<std::int16_t>(i);
    prnt[i] = prnt[i + 1] = static_cast<std::int16_t>(j);
  }
  freq[T] = 0xFFFF;
  prnt[R] = 0;
}

// The last node after c whose count is below k (the counts are sorted and
// freq[T] is the 0xFFFF sentinel, so there is one). Mostly it is a few
// places on, so the search steps along at first; equal counts also come in
// long runs among rarely used symbols, and those it crosses by galloping.
inline std::intptr_t LastBelow(const std::uint16_t* freq, std::intptr_t c, unsigned k) {
  std::intptr_t lo = c + 1;  // freq[lo] < k
  constexpr int kNear = 8;
  if (c + 1 + kNear <= T) {
    // The counts below k among the next eight form a prefix, so their
    // number is the distance; counting them takes no branch that could
    // go the wrong way.
    std::intptr_t below = 0;
    for (int m = 1; m <= kNear; m++) below += freq[lo + m] < k;
    if (below < kNear) return lo + below;
    lo += kNear;
  } else {
    for (int steps = 0; steps < kNear; steps++) {
      if (k <= freq[lo + 1]) return lo;  // the sentinel stops this before T
      lo++;
    }
  }
  std::intptr_t step = 2;
  std::intptr_t hi = lo + step;
  while (hi < T && freq[hi] < k) {
    lo = hi;
    step <<= 1;
    hi = lo + step;
  }
  if (hi > T) hi = T;
  while (hi - lo > 1) {  // freq[lo] < k <= freq[hi]
    std::intptr_t mid = (lo + hi) / 2;
    if (freq[mid] < k) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return lo;
}

// Rebuilds the tree with halved counts once the root reaches MAX_FREQ.
void Reconst(const HuffTree& tree);

// Node c has just been counted up to k and now outranks the node after it:
// it trades places with the last node whose count is still below k, taking
// its subtree along. Returns the node's new place.
inline std::intptr_t MoveUp(const HuffTree& tree, std::intptr_t c, unsigned k) {
  std::uint16_t* freq = tree.freq;
  std::int16_t* prnt = tree.prnt;
  std::int16_t* son = tree.son;
  std::intptr_t l = LastBelow(freq, c, k);
  freq[c] = freq[l];
  freq[l] = static_cast<std::uint16_t>(k);
  // A subtree's root gives its parent to both its children, a leaf to its
  // symbol's entry alone; the second store goes to the same entry again for
  // a leaf, so neither store waits on a branch.
  std::intptr_t i = son[c];
  prnt[i] = static_cast<std::int16_t>(l);
  prnt[i + (i < T)] = static_cast<std::int16_t>(l);
  std::intptr_t j = son[l];
  son[l] = static_cast<std::int16_t>(i);
  prnt[j] = static_cast<std::int16_t>(c);
  prnt[j + (j < T)] = static_cast<std::int16_t>(c);
  son[c] = static_cast<std::int16_t>(j);
  return l;
}

// Counts one more occurrence of symbol c and restores the sibling order:
// every node from its leaf up to the root goes up by one, moving up as its
// count requires. The climb ends at the root, whose parent is 0 (no other
// node has parent 0: node 0 has the lowest count and so is always a leaf).
inline void Update(const HuffTree& tree, int symbol) {
  if (tree.freq[R] == MAX_FREQ) Reconst(tree);
  std::uint16_t* freq = tree.freq;
  const std::int16_t* prnt = tree.prnt;
  std::intptr_t c = prnt[symbol + T];
  do {
    unsigned k = ++freq[c];
    if (k > freq[c + 1]) c = MoveUp(tree, c, k);
    c = prnt[c];
  } while (c != 0);
}

// Update for a symbol whose nodes from the root's child down to its leaf
// the caller has just walked (path[0..depth)). Same result as Update: while
// no node changes place the parents are known in advance, so the counts
// along the path go up without waiting for each prnt load. A node that
// moves under another parent leaves the path above stale; from there the
// climb follows the parent links.
inline void UpdateAlongPath(const HuffTree& tree, int symbol, const std::int16_t* path, std::intptr_t depth) {
  std::uint16_t* freq = tree.freq;
  if (freq[R] == MAX_FREQ) {
    Update(tree, symbol);  // the rebuild invalidates the path
    return;
  }
  const std::int16_t* prnt = tree.prnt;
  for (std::intptr_t d = depth - 1; d >= 0; d--) {
    std::intptr_t c = path[d];
    unsigned k = ++freq[c];
    if (k > freq[c + 1]) {
      c = prnt[MoveUp(tree, c, k)];
      // A node that has only traded places with another child of its
      // parent leaves the nodes above where they were: the path holds.
      if (c == (d > 0 ? path[d - 1] : R)) continue;
      while (c != 0) {
        // The parent is loaded before the count is compared, so that the
        // next step waits on that one load unless the node moves.
        std::intptr_t up = prnt[c];
        k = ++freq[c];
        if (k > freq[c + 1]) up = prnt[MoveUp(tree, c, k)];
        c = up;
      }
      return;
    }
  }
  ++freq[R];  // never passes the sentinel, so never moves
}

}  // namespace lzh
