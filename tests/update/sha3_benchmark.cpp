// Throughput of the program's SHA3-224 against OpenSSL's, in the same run
// on the same buffer: prints MB/s for both and their ratio.
#include <openssl/evp.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "update/sha3.h"

namespace {

constexpr size_t kBufferBytes = 32 << 20;
constexpr int kRounds = 9;

template <typename Hash>
double MegabytesPerSecond(size_t bytes, Hash hash) {
  const auto start = std::chrono::steady_clock::now();
  hash();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return bytes / seconds / 1e6;
}

std::string OpensslDigest(const std::vector<unsigned char>& buffer) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(buffer.data(), buffer.size(), digest, &length, EVP_sha3_224(), nullptr);
  std::string text;
  char hex[3];
  for (unsigned int i = 0; i < length; ++i) {
    std::snprintf(hex, sizeof(hex), "%02x", digest[i]);
    text += hex;
  }
  return text;
}

}  // namespace

int main() {
  std::vector<unsigned char> buffer(kBufferBytes);
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<unsigned char>(i * 131 + 17);
  std::string ours;
  std::string theirs;
  // Taken in turns, so a machine busy with other work slows both alike.
  double own = 0;
  double openssl = 0;
  for (int round = 0; round < kRounds; ++round) {
    own = std::max(own, MegabytesPerSecond(buffer.size(), [&] {
                     ours = Sha3_224Hex(buffer.data(), buffer.size());
                   }));
    openssl = std::max(openssl,
                       MegabytesPerSecond(buffer.size(), [&] { theirs = OpensslDigest(buffer); }));
  }
  std::printf(
      "SHA3-224 over %zu MiB, best of %d: Vantrel %.1f MB/s, OpenSSL %.1f MB/s, ratio %.2f\n",
      kBufferBytes >> 20, kRounds, own, openssl, own / openssl);
  if (ours != theirs) {
    std::printf("digests differ: %s %s\n", ours.c_str(), theirs.c_str());
    return 1;
  }
  return 0;
}
