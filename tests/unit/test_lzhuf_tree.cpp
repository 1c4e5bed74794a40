// The shared adaptive tree against a plain one kept beside it: after every
// symbol, both ways of counting it (Update, and UpdateAlongPath from the
// walked path) must leave the same tables as the plain update, which finds
// the swap partner by a linear search and climbs by the parent links.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>

#include "archive/lzhuf_tree.h"

using namespace lzh;

namespace {

struct Tables {
  std::uint16_t freq[T + 1];
  std::int16_t prnt[T + N_CHAR];
  std::int16_t son[T];
  HuffTree Tree() { return HuffTree{freq, prnt, son}; }
  bool operator==(const Tables& o) const {
    return std::memcmp(freq, o.freq, sizeof freq) == 0 && std::memcmp(prnt, o.prnt, sizeof prnt) == 0 &&
           std::memcmp(son, o.son, sizeof son) == 0;
  }
};

void PlainUpdate(Tables& t, int symbol) {
  if (t.freq[R] == MAX_FREQ) Reconst(t.Tree());
  int c = t.prnt[symbol + T];
  do {
    unsigned k = ++t.freq[c];
    if (k > t.freq[c + 1]) {
      int l = c + 1;
      while (k > t.freq[l + 1]) l++;
      t.freq[c] = t.freq[l];
      t.freq[l] = static_cast<std::uint16_t>(k);
      int i = t.son[c];
      t.prnt[i] = static_cast<std::int16_t>(l);
      if (i < T) t.prnt[i + 1] = static_cast<std::int16_t>(l);
      int j = t.son[l];
      t.son[l] = static_cast<std::int16_t>(i);
      t.prnt[j] = static_cast<std::int16_t>(c);
      if (j < T) t.prnt[j + 1] = static_cast<std::int16_t>(c);
      t.son[c] = static_cast<std::int16_t>(j);
      c = l;
    }
    c = t.prnt[c];
  } while (c != 0);
}

// The nodes from the root's child down to the symbol's leaf, as the
// decoder's walk notes them.
std::intptr_t PathTo(const Tables& t, int symbol, std::int16_t* path) {
  std::int16_t reversed[T];
  std::intptr_t depth = 0;
  for (int c = t.prnt[symbol + T]; c != R; c = t.prnt[c]) reversed[depth++] = static_cast<std::int16_t>(c);
  for (std::intptr_t d = 0; d < depth; d++) path[d] = reversed[depth - 1 - d];
  return depth;
}

}  // namespace

TEST(LzhTree, BothUpdatesMatchAPlainOneSymbolBySymbol) {
  static Tables plain, counted, walked;
  StartHuff(plain.Tree());
  StartHuff(counted.Tree());
  StartHuff(walked.Tree());
  ASSERT_TRUE(plain == counted && plain == walked);

  // Phases of flat, skewed and single-symbol input: many moves among equal
  // counts, long codes, and rebuilds at the root limit.
  std::mt19937 random(20240611);
  std::int16_t path[T];
  int rebuilds = 0;
  int deepest = 0;
  for (int phase = 0; phase < 12; phase++) {
    int symbols = phase % 3 == 2 ? 40000 : 15000;
    for (int n = 0; n < symbols; n++) {
      int symbol;
      switch (phase % 3) {
        case 0: symbol = static_cast<int>(random() % N_CHAR); break;
        case 1: {
          // Symbol m half as often as symbol m - 1: the counts grow apart
          // faster than Fibonacci numbers, so the tree becomes a long chain.
          std::uint32_t bits = static_cast<std::uint32_t>(random()) | (1u << 26);
          symbol = 0;
          while (!(bits & 1)) {
            bits >>= 1;
            symbol++;
          }
          symbol = (symbol * 11 + phase) % N_CHAR;
          break;
        }
        default: symbol = (phase * 37) % N_CHAR; break;
      }
      if (plain.freq[R] == MAX_FREQ) rebuilds++;
      std::intptr_t depth = PathTo(walked, symbol, path);
      if (depth > deepest) deepest = static_cast<int>(depth);
      PlainUpdate(plain, symbol);
      Update(counted.Tree(), symbol);
      UpdateAlongPath(walked.Tree(), symbol, path, depth);
      ASSERT_TRUE(plain == counted) << "Update, phase " << phase << ", symbol " << n;
      ASSERT_TRUE(plain == walked) << "UpdateAlongPath, phase " << phase << ", symbol " << n;
    }
  }
  EXPECT_GE(rebuilds, 5);
  EXPECT_GE(deepest, 12);  // well past the nine levels of the starting tree
}
