#pragma once
// A plain LZHUF decoder written straight from the algorithm: one bit at a
// time, the tree climbed by its parent links with a linear scan. The tests
// hold the real decoder's order of read and write calls against it, and the
// benchmarks use it as the yardstick for speed.
#include <cstdint>
#include <cstring>

#include "archive/lzhuf_tree.h"

namespace lzhref {

using namespace lzh;

// Input and Output are callables: Input() gives the next byte or -1,
// Output(byte) takes one decoded byte.
template <typename Input, typename Output>
class Decoder {
public:
  Decoder(Input input, Output output) : input_(input), output_(output) {}

  void Decode(std::int64_t count) {
    getbuf_ = getlen_ = 0;
    StartHuff(HuffTree{freq_, prnt_, son_});
    std::memset(text_, ' ', N - F);
    std::memset(text_ + (N - F), 0, F - 1 + F);
    unsigned r = N - F;
    std::int64_t produced = 0;
    while (produced < count) {
      int c = DecodeChar();
      if (c < 256) {
        Put(static_cast<unsigned char>(c), r);
        produced++;
      } else {
        unsigned start = (r - static_cast<unsigned>(DecodePosition()) - 1) & (N - 1);
        for (int k = 0; k < c - 253; k++) Put(text_[(start + k) & (N - 1)], r);
        produced += c - 253;
      }
    }
  }

private:
  void Put(unsigned char b, unsigned& r) {
    text_[r] = b;
    r = (r + 1) & (N - 1);
    output_(b);
  }

  void Fill() {
    while (getlen_ <= 8) {
      int c = input_();
      unsigned byte = c < 0 ? 0u : static_cast<unsigned>(c);
      getbuf_ = (getbuf_ | (byte << (8 - getlen_))) & 0xFFFF;
      getlen_ += 8;
    }
  }

  int GetBit() {
    Fill();
    int bit = (getbuf_ >> 15) & 1;
    getbuf_ = (getbuf_ << 1) & 0xFFFF;
    getlen_--;
    return bit;
  }

  int GetByte() {
    Fill();
    int byte = static_cast<int>(getbuf_ >> 8);
    getbuf_ = (getbuf_ << 8) & 0xFFFF;
    getlen_ -= 8;
    return byte;
  }

  void Update(int c) {
    if (freq_[R] == MAX_FREQ) Reconst(HuffTree{freq_, prnt_, son_});
    c = prnt_[c + T];
    do {
      unsigned k = ++freq_[c];
      if (k > freq_[c + 1]) {
        int l = c + 1;
        while (k > freq_[l + 1]) l++;
        freq_[c] = freq_[l];
        freq_[l] = static_cast<std::uint16_t>(k);
        int i = son_[c];
        prnt_[i] = static_cast<std::int16_t>(l);
        if (i < T) prnt_[i + 1] = static_cast<std::int16_t>(l);
        int j = son_[l];
        son_[l] = static_cast<std::int16_t>(i);
        prnt_[j] = static_cast<std::int16_t>(c);
        if (j < T) prnt_[j + 1] = static_cast<std::int16_t>(c);
        son_[c] = static_cast<std::int16_t>(j);
        c = l;
      }
    } while ((c = prnt_[c]) != 0);
  }

  int DecodeChar() {
    int c = son_[R];
    while (c < T) c = son_[c + GetBit()];
    c -= T;
    Update(c);
    return c;
  }

  int DecodePosition() {
    unsigned i = static_cast<unsigned>(GetByte());
    unsigned high = static_cast<unsigned>(d_code[i]) << 6;
    for (int j = d_len[i] - 2; j > 0; j--) i = ((i << 1) + static_cast<unsigned>(GetBit())) & 0xFFFF;
    return static_cast<int>(high | (i & 0x3F));
  }

  Input input_;
  Output output_;
  unsigned getbuf_ = 0, getlen_ = 0;
  std::uint16_t freq_[T + 1];
  std::int16_t prnt_[T + N_CHAR];
  std::int16_t son_[T];
  unsigned char text_[N + 2 * F];
};

template <typename Input, typename Output>
void Decode(std::int64_t count, Input input, Output output) {
  // The tables are large for a stack; keep them on the heap.
  auto* decoder = new Decoder<Input, Output>(input, output);
  decoder->Decode(count);
  delete decoder;
}

}  // namespace lzhref
