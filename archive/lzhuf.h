#pragma once
// LZHUF decoder (and the matching encoder used by the packager).
// No file or window access here: bytes come and go through callbacks.
#include <cstdint>
#include <stdexcept>
#include <string>

// The callback shape for both directions: buffer, count, actual.
typedef void (*LzhReadProc)(void* buffer, std::uint16_t count, std::uint16_t& actual);
typedef void (*LzhWriteProc)(void* buffer, std::uint16_t count, std::uint16_t& actual);

class ElzhException : public std::runtime_error {
public:
  explicit ElzhException(const std::string& message) : std::runtime_error(message) {}
};

// Parameters of the stream; the encoder and decoder must agree on every one.
namespace lzh {
constexpr int N = 4096;                     // ring buffer size
constexpr int F = 60;                       // longest match
constexpr int THRESHOLD = 2;                // a match is at least THRESHOLD + 1 bytes
constexpr int N_CHAR = 256 - THRESHOLD + F; // literals plus match lengths
constexpr int T = N_CHAR * 2 - 1;           // nodes of the Huffman tree
constexpr int R = T - 1;                    // root node
constexpr unsigned MAX_FREQ = 0x8000;       // root frequency that triggers a rebuild
constexpr int PRESET = N - F;               // spaces in front of the first byte
}  // namespace lzh

extern const char* const LzhNoMemoryMessage;    // "LZH : Cannot get memory for dictionary tables"
extern const char* const LzhFreeErrorMessage;   // "LZH : Error freeing memory for dictionary tables"

// Decodes until at least count bytes went to write, or InstallRunning is 0.
// Reads one byte per read call (a byte counts only when actual is 1; missing
// bytes read as zero bits) and hands out one byte per write call. A match is
// always copied whole, so up to F - 1 bytes beyond count may be written.
void LzhUnpack(std::int32_t count, LzhReadProc read, LzhWriteProc write);

// The bits the last LzhUnpack read (bytes not delivered count as eight zero
// bits) but did not take: its reads run a few bytes ahead of what it decodes,
// so the bits taken are eight per read call less these.
unsigned LzhUnusedBits();
