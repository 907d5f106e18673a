#include "update/sha3.h"

#include <bit>
#include <cstring>

namespace {

static_assert(std::endian::native == std::endian::little,
              "lanes are loaded from the message bytes as little-endian words");

constexpr std::uint64_t kRoundConstants[24] = {
    0x0000000000000001ULL, 0x0000000000008082ULL, 0x800000000000808aULL, 0x8000000080008000ULL,
    0x000000000000808bULL, 0x0000000080000001ULL, 0x8000000080008081ULL, 0x8000000000008009ULL,
    0x000000000000008aULL, 0x0000000000000088ULL, 0x0000000080008009ULL, 0x000000008000000aULL,
    0x000000008000808bULL, 0x800000000000008bULL, 0x8000000000008089ULL, 0x8000000000008003ULL,
    0x8000000000008002ULL, 0x8000000000000080ULL, 0x000000000000800aULL, 0x800000008000000aULL,
    0x8000000080008081ULL, 0x8000000000008080ULL, 0x0000000080000001ULL, 0x8000000080008008ULL,
};

constexpr std::size_t kRateLanes = kSha3_224RateBytes / 8;
constexpr std::size_t kDigestBytes = 28;

inline std::uint64_t Rotl(std::uint64_t value, int count) { return std::rotl(value, count); }

// Lanes kept complemented during the rounds. With this choice, chi needs a
// NOT on only six of its 25 lanes per round instead of on all of them (the
// "lane complementing" of the Keccak designers); theta, rho and pi pass the
// complements through unchanged.
constexpr int kComplementedLanes[] = {1, 7, 8, 14, 17, 22};

// Keccak-f[1600]. Lane (x, y) is a[x + 5 * y]. Theta, rho and pi are folded
// into one pass that yields the permuted lanes b row by row, and chi works
// on each row of b. The rounds run on a local copy of the state, which
// nothing else can reach, so the compiler keeps the lanes in registers.
void Permute(std::uint64_t* state) {
  std::uint64_t a[25];
  std::memcpy(a, state, sizeof(a));
  for (int lane : kComplementedLanes) a[lane] = ~a[lane];
  for (std::uint64_t roundConstant : kRoundConstants) {
    const std::uint64_t c0 = a[0] ^ a[5] ^ a[10] ^ a[15] ^ a[20];
    const std::uint64_t c1 = a[1] ^ a[6] ^ a[11] ^ a[16] ^ a[21];
    const std::uint64_t c2 = a[2] ^ a[7] ^ a[12] ^ a[17] ^ a[22];
    const std::uint64_t c3 = a[3] ^ a[8] ^ a[13] ^ a[18] ^ a[23];
    const std::uint64_t c4 = a[4] ^ a[9] ^ a[14] ^ a[19] ^ a[24];
    const std::uint64_t d0 = c4 ^ Rotl(c1, 1);
    const std::uint64_t d1 = c0 ^ Rotl(c2, 1);
    const std::uint64_t d2 = c1 ^ Rotl(c3, 1);
    const std::uint64_t d3 = c2 ^ Rotl(c4, 1);
    const std::uint64_t d4 = c3 ^ Rotl(c0, 1);
    const std::uint64_t b0 = a[0] ^ d0;
    const std::uint64_t b1 = Rotl(a[6] ^ d1, 44);
    const std::uint64_t b2 = Rotl(a[12] ^ d2, 43);
    const std::uint64_t b3 = Rotl(a[18] ^ d3, 21);
    const std::uint64_t b4 = Rotl(a[24] ^ d4, 14);
    const std::uint64_t b5 = Rotl(a[3] ^ d3, 28);
    const std::uint64_t b6 = Rotl(a[9] ^ d4, 20);
    const std::uint64_t b7 = Rotl(a[10] ^ d0, 3);
    const std::uint64_t b8 = Rotl(a[16] ^ d1, 45);
    const std::uint64_t b9 = Rotl(a[22] ^ d2, 61);
    const std::uint64_t b10 = Rotl(a[1] ^ d1, 1);
    const std::uint64_t b11 = Rotl(a[7] ^ d2, 6);
    const std::uint64_t b12 = Rotl(a[13] ^ d3, 25);
    const std::uint64_t b13 = Rotl(a[19] ^ d4, 8);
    const std::uint64_t b14 = Rotl(a[20] ^ d0, 18);
    const std::uint64_t b15 = Rotl(a[4] ^ d4, 27);
    const std::uint64_t b16 = Rotl(a[5] ^ d0, 36);
    const std::uint64_t b17 = Rotl(a[11] ^ d1, 10);
    const std::uint64_t b18 = Rotl(a[17] ^ d2, 15);
    const std::uint64_t b19 = Rotl(a[23] ^ d3, 56);
    const std::uint64_t b20 = Rotl(a[2] ^ d2, 62);
    const std::uint64_t b21 = Rotl(a[8] ^ d3, 55);
    const std::uint64_t b22 = Rotl(a[14] ^ d4, 39);
    const std::uint64_t b23 = Rotl(a[15] ^ d0, 41);
    const std::uint64_t b24 = Rotl(a[21] ^ d1, 2);
    a[0] = b0 ^ (b1 & b2);
    a[1] = b1 ^ (~b2 & b3);
    a[2] = ~(b2 ^ (b3 | b4));
    a[3] = b3 ^ (b4 & b0);
    a[4] = b4 ^ (b0 | b1);
    a[5] = b5 ^ (b6 & b7);
    a[6] = b6 ^ (b7 | b8);
    a[7] = b7 ^ (~b8 | b9);
    a[8] = b8 ^ (b9 & b5);
    a[9] = b9 ^ (b5 | b6);
    a[10] = b10 ^ (b11 & b12);
    a[11] = b11 ^ (b12 | b13);
    a[12] = b12 ^ (b13 & b14);
    a[13] = b13 ^ (b14 | ~b10);
    a[14] = b14 ^ (b10 | b11);
    a[15] = b15 ^ (b16 | b17);
    a[16] = b16 ^ (b17 & ~b18);
    a[17] = b17 ^ (b18 & b19);
    a[18] = b18 ^ (b19 | b15);
    a[19] = b19 ^ (b15 & b16);
    a[20] = b20 ^ (b21 & b22);
    a[21] = b21 ^ (b22 | ~b23);
    a[22] = b22 ^ (b23 | b24);
    a[23] = b23 ^ (b24 & b20);
    a[24] = b24 ^ (b20 | b21);
    a[0] ^= roundConstant;
  }
  for (int lane : kComplementedLanes) a[lane] = ~a[lane];
  std::memcpy(state, a, sizeof(a));
}

void XorByte(Sha3State& state, std::size_t position, std::uint8_t byte) {
  state.lanes[position / 8] ^= static_cast<std::uint64_t>(byte) << (8 * (position % 8));
}

void AbsorbBlock(Sha3State& state, const unsigned char* block) {
  for (std::size_t lane = 0; lane < kRateLanes; ++lane) {
    std::uint64_t word;
    std::memcpy(&word, block + 8 * lane, 8);
    state.lanes[lane] ^= word;
  }
  Permute(state.lanes);
}

}  // namespace

void Sha3Start(Sha3State& state) {
  std::memset(state.lanes, 0, sizeof(state.lanes));
  state.position = 0;
}

void Sha3Add(Sha3State& state, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  // Finish a block begun by an earlier call byte by byte, then take whole
  // blocks straight from the input.
  while (size > 0 && state.position != 0) {
    XorByte(state, state.position, *bytes++);
    --size;
    if (++state.position == kSha3_224RateBytes) {
      Permute(state.lanes);
      state.position = 0;
    }
  }
  for (; size >= kSha3_224RateBytes; size -= kSha3_224RateBytes) {
    AbsorbBlock(state, bytes);
    bytes += kSha3_224RateBytes;
  }
  for (; size > 0; --size) XorByte(state, state.position++, *bytes++);
}

std::string Sha3FinishHex(Sha3State& state) {
  // SHA-3's domain bits 01 followed by the first bit of pad10*1; the last
  // bit of the padding closes the block.
  XorByte(state, state.position, 0x06);
  XorByte(state, kSha3_224RateBytes - 1, 0x80);
  Permute(state.lanes);

  static constexpr char kHexDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(kSha3_224HexDigits);
  for (std::size_t i = 0; i < kDigestBytes; ++i) {
    const auto byte = static_cast<std::uint8_t>(state.lanes[i / 8] >> (8 * (i % 8)));
    text += kHexDigits[byte >> 4];
    text += kHexDigits[byte & 0xF];
  }
  return text;
}

std::string Sha3_224Hex(const void* data, std::size_t size) {
  Sha3State state;
  Sha3Start(state);
  Sha3Add(state, data, size);
  return Sha3FinishHex(state);
}
