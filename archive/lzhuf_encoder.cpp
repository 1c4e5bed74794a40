// LZHUF encoder. Matches are found through hash chains over the ring window
// (the N - F spaces the decoder starts with included); the parse is chosen
// per block by least estimated bits, with the literal and length prices
// taken from the adaptive Huffman tree as it stands when the block starts.
#include "archive/lzhuf_encoder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "archive/lzhuf_tree.h"

using namespace lzh;

namespace {

constexpr int kHashBits = 15;
constexpr int kChainRing = 2 * N;       // older links are out of the window anyway
constexpr int kMaxChain = 24;           // links followed per position
constexpr int kNiceLength = 48;         // a match this long is taken without looking further
constexpr int kBlock = 4096;            // bytes parsed per price snapshot
constexpr int kMinMatch = THRESHOLD + 1;

struct PositionCode {
  std::uint8_t prefix[64];  // the code's first bits, left-aligned in 8 bits
  std::uint8_t bits[64];    // how many of them
};

// The encoder's side of d_code/d_len: for each upper six bits, the first
// 8-bit index that decodes to it and its length.
constexpr PositionCode MakePositionCode() {
  PositionCode p{};
  for (int i = 255; i >= 0; i--) {
    p.prefix[d_code[i]] = static_cast<std::uint8_t>(i);
    p.bits[d_code[i]] = d_len[i];
  }
  return p;
}
constexpr PositionCode kPositionCode = MakePositionCode();

class BitWriter {
public:
  explicit BitWriter(std::vector<unsigned char>& out) : out_(out) {}
  // Appends the low count bits of value, most significant first.
  void Put(std::uint32_t value, int count) {
    acc_ = (acc_ << count) | (value & ((std::uint64_t(1) << count) - 1));
    len_ += count;
    while (len_ >= 8) {
      len_ -= 8;
      out_.push_back(static_cast<unsigned char>(acc_ >> len_));
    }
  }
  // Fills the last byte with zero bits, which is also what a reader sees
  // beyond the end.
  void Flush() {
    if (len_ > 0) out_.push_back(static_cast<unsigned char>(acc_ << (8 - len_)));
    len_ = 0;
  }

private:
  std::vector<unsigned char>& out_;
  std::uint64_t acc_ = 0;
  int len_ = 0;
};

struct Model {
  std::uint16_t freq[T + 1];
  std::int16_t prnt[T + N_CHAR];
  std::int16_t son[T];
  HuffTree Tree() { return HuffTree{freq, prnt, son}; }

  // The leaf's path to the root, root side first. A first child always
  // sits at an even node, so the node's low bit is its branch.
  void EncodeChar(BitWriter& out, int c) {
    std::uint32_t code = 0;
    int length = 0;
    int k = prnt[c + T];
    do {
      code |= static_cast<std::uint32_t>(k & 1) << length;
      length++;
      k = prnt[k];
    } while (k != R);
    out.Put(code, length);
    Update(Tree(), c);
  }

  // Bits per symbol if it were coded now.
  void Depths(std::uint8_t* depth) const {
    for (int c = 0; c < N_CHAR; c++) {
      int length = 0;
      for (int k = prnt[c + T]; k != R; k = prnt[k]) length++;
      depth[c] = static_cast<std::uint8_t>(length);
    }
  }
};

void EncodePosition(BitWriter& out, unsigned p) {
  unsigned upper = p >> 6;
  out.Put(kPositionCode.prefix[upper] >> (8 - kPositionCode.bits[upper]), kPositionCode.bits[upper]);
  out.Put(p & 0x3F, 6);
}

int PositionBits(unsigned distance) { return kPositionCode.bits[(distance - 1) >> 6] + 6; }

struct Step {
  std::uint32_t cost;      // estimated bits from the window start
  std::uint16_t length;    // of the item that ends here (1 for a literal)
  std::uint16_t distance;  // 1..N for a match, 0 for a literal
};

// What the match finder saw at one position: for growing lengths, the
// nearest distance that reaches each. Skipped positions lie inside a long
// match that was taken without a choice.
struct Matches {
  std::uint8_t count;
  bool skipped;
  std::uint16_t length[kMaxChain];
  std::uint16_t distance[kMaxChain];
};

class Packer {
public:
  Packer(const unsigned char* data, std::size_t size)
      : size_(size), buf_(PRESET + size), head_(1u << kHashBits, -1), prev_(kChainRing, -1),
        matches_(kMatchRing), steps_(kBlock + kLookAhead + F + 1) {
    std::memset(buf_.data(), ' ', PRESET);
    if (size) std::memcpy(buf_.data() + PRESET, data, size);
    end_ = static_cast<std::int64_t>(buf_.size());
    for (std::int64_t b = 0; b < PRESET; b++) Insert(b);
    found_ = PRESET;
  }

  std::vector<unsigned char> Run(LzhPackProgress progress, void* context) {
    std::vector<unsigned char> out;
    out.reserve(size_ / 2 + 16);
    BitWriter bits(out);
    StartHuff(model_.Tree());
    std::int64_t b = PRESET;
    std::int64_t reported = b;
    // Short windows at first: the prices of a fresh tree are far from what
    // the data will make of it.
    int block = kFirstBlock;
    while (b < end_) {
      b = ParseAndEmit(b, block, bits);
      block = std::min(block * 2, kBlock);
      if (progress && (b - reported >= 65536 || b == end_)) {
        progress(static_cast<std::size_t>(b - PRESET), size_, context);
        reported = b;
      }
    }
    bits.Flush();
    return out;
  }

private:
  static constexpr int kLookAhead = 512;  // parsed again with the next block
  static constexpr int kFirstBlock = 64;
  static constexpr int kMatchRing = 8192;
  static_assert(kMatchRing >= kBlock + kLookAhead + F, "match ring too small");

  std::uint32_t Hash(std::int64_t b) const {
    std::uint32_t v = static_cast<std::uint32_t>(buf_[b]) << 16 | static_cast<std::uint32_t>(buf_[b + 1]) << 8 |
                      buf_[b + 2];
    return (v * 2654435761u) >> (32 - kHashBits);
  }

  void Insert(std::int64_t b) {
    if (b + kMinMatch > end_) return;
    std::uint32_t h = Hash(b);
    prev_[b & (kChainRing - 1)] = head_[h];
    head_[h] = static_cast<std::int32_t>(b);
  }

  Matches& At(std::int64_t b) { return matches_[b & (kMatchRing - 1)]; }

  // Walks the chain at b (before b is inserted).
  void FindMatches(std::int64_t b, Matches& m) {
    m.count = 0;
    m.skipped = false;
    int maxLength = static_cast<int>(std::min<std::int64_t>(F, end_ - b));
    if (maxLength < kMinMatch) return;
    const unsigned char* cur = buf_.data() + b;
    int run = 1;  // how many bytes here repeat the first
    while (run < maxLength && cur[run] == cur[0]) run++;
    int best = kMinMatch - 1;
    std::int64_t s = head_[Hash(b)];
    for (int chain = 0; s >= 0 && chain < kMaxChain; chain++) {
      std::int64_t distance = b - s;
      if (distance > N || distance <= 0) break;
      const unsigned char* src = buf_.data() + s;
      int length = 0;
      if (src[best] == cur[best] && src[0] == cur[0] && src[1] == cur[1]) {
        length = 2;
        while (length < maxLength && src[length] == cur[length]) length++;
        if (length > best) {
          best = length;
          m.length[m.count] = static_cast<std::uint16_t>(length);
          m.distance[m.count] = static_cast<std::uint16_t>(distance);
          m.count++;
          if (length >= maxLength) break;
        }
      }
      if (length >= kMinMatch && length < run) {
        // Inside a run of one byte the chain steps back one position per
        // link, each one byte longer; go straight to where the source run
        // is long enough (or starts). That position is in the chain too.
        std::int64_t want = s - (run - length);
        std::int64_t t = s;
        while (t > want && t > 0 && buf_[t - 1] == cur[0] && b - (t - 1) <= N) t--;
        if (t < s) {
          s = t;
          continue;
        }
      }
      std::int64_t next = prev_[s & (kChainRing - 1)];
      if (next >= s) break;
      s = next;
    }
  }

  // Runs the match finder up to (not including) limit.
  void FindUpTo(std::int64_t limit) {
    while (found_ < limit) {
      Matches& m = At(found_);
      FindMatches(found_, m);
      Insert(found_);
      found_++;
      // A long match is almost surely right: take it and only index the
      // bytes it covers.
      if (m.count && m.length[m.count - 1] >= kNiceLength) {
        std::int64_t stop = found_ - 1 + m.length[m.count - 1];
        for (; found_ < stop; found_++) {
          At(found_).skipped = true;
          At(found_).count = 0;
          Insert(found_);
        }
      }
    }
  }

  // Chooses the cheapest items for a window from start, by the prices of
  // the tree as it is now, and emits those that start in the first kBlock
  // bytes. Returns where the next window starts.
  std::int64_t ParseAndEmit(std::int64_t start, int block, BitWriter& bits) {
    const std::int64_t span = std::min<std::int64_t>(block + kLookAhead, end_ - start);
    const bool last = start + span == end_;
    FindUpTo(start + span);

    std::uint8_t depth[N_CHAR];
    model_.Depths(depth);
    std::vector<Step>& steps = steps_;
    for (std::int64_t i = 1; i < span + F; i++) steps[i].cost = UINT32_MAX;
    steps[0].cost = 0;

    for (std::int64_t i = 0; i < span; i++) {
      std::uint32_t here = steps[i].cost;
      const Matches& m = At(start + i);
      if (here == UINT32_MAX || m.skipped) continue;
      std::uint32_t literal = here + depth[buf_[start + i]];
      if (literal < steps[i + 1].cost) steps[i + 1] = Step{literal, 1, 0};
      int from = kMinMatch;
      for (int k = 0; k < m.count; k++) {
        std::uint32_t position = here + static_cast<std::uint32_t>(PositionBits(m.distance[k]));
        for (int length = from; length <= m.length[k]; length++) {
          std::uint32_t cost = position + depth[length + 255 - THRESHOLD];
          if (cost < steps[i + length].cost) steps[i + length] = Step{cost, static_cast<std::uint16_t>(length), m.distance[k]};
        }
        from = m.length[k] + 1;
      }
    }

    // The path ends at the end of the data. In the middle, an item that
    // runs past the window's end covers those bytes for nothing, so the
    // cheapest place at or past the end wins; otherwise a run of long
    // matches would be shifted to fit an arbitrary end.
    std::int64_t stop = span;
    if (!last) {
      for (std::int64_t q = span + 1; q < span + F; q++) {
        if (steps[q].cost <= steps[stop].cost) stop = q;
      }
    }
    items_.clear();
    for (std::int64_t i = stop; i > 0; i -= steps[i].length) items_.push_back(i);

    std::int64_t done = 0;
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
      const Step& s = steps[*it];
      if (!last && done >= block) break;
      if (s.distance == 0) {
        model_.EncodeChar(bits, buf_[start + *it - 1]);
      } else {
        model_.EncodeChar(bits, s.length + 255 - THRESHOLD);
        EncodePosition(bits, s.distance - 1u);
      }
      done = *it;
    }
    return start + done;
  }

  std::size_t size_;
  std::vector<unsigned char> buf_;  // the preset spaces, then the data
  std::int64_t end_;
  std::int64_t found_;              // the match finder has seen everything before this
  std::vector<std::int32_t> head_;
  std::vector<std::int32_t> prev_;
  std::vector<Matches> matches_;
  std::vector<Step> steps_;
  std::vector<std::int64_t> items_;
  Model model_;
};

}  // namespace

std::vector<unsigned char> LzhPack(const unsigned char* data, std::size_t size, LzhPackProgress progress,
                                   void* context) {
  Packer packer(data, size);
  return packer.Run(progress, context);
}
