// A P-256 key pair of the host tests' own, made with OpenSSL, that signs
// version files the way the release tool does.
#pragma once

#include <string>

#include "update/update_signature.h"

namespace update_test {

class TestSigner {
 public:
  TestSigner();
  ~TestSigner();
  TestSigner(const TestSigner&) = delete;
  TestSigner& operator=(const TestSigner&) = delete;

  const UpdatePublicKey& publicKey() const { return publicKey_; }
  // X then Y as 128 lowercase hexadecimal digits, as the policy names it.
  std::string PublicKeyHex() const;
  // The signature over `message` as 128 lowercase hexadecimal digits.
  std::string SignatureHex(const std::string& message) const;

 private:
  void* key_ = nullptr;  // EVP_PKEY
  UpdatePublicKey publicKey_{};
};

std::string HexOf(const unsigned char* bytes, size_t size);

}  // namespace update_test
