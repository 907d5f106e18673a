// SHA3-224 (FIPS 202): the digest by which the update archive is checked,
// both by the program after the download and by the updater before it
// changes any file. Both must produce the same 56 lowercase hex digits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr std::size_t kSha3_224RateBytes = 144;
inline constexpr std::size_t kSha3_224HexDigits = 56;

struct Sha3State {
  std::uint64_t lanes[25];
  std::size_t position;  // bytes of the current block absorbed so far
};

void Sha3Start(Sha3State& state);
void Sha3Add(Sha3State& state, const void* data, std::size_t size);
// Pads, squeezes and returns the digest as 56 lowercase hexadecimal digits.
// The state must be started again before further use.
std::string Sha3FinishHex(Sha3State& state);

std::string Sha3_224Hex(const void* data, std::size_t size);
