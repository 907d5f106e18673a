#include "tests/update/test_signer.h"

#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/evp.h>

#include <memory>

namespace update_test {

namespace {

EVP_PKEY* KeyOf(void* key) { return static_cast<EVP_PKEY*>(key); }

}  // namespace

std::string HexOf(const unsigned char* bytes, size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (size_t i = 0; i < size; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 15];
  }
  return hex;
}

TestSigner::TestSigner() : key_(EVP_EC_gen("P-256")) {
  unsigned char point[65] = {};
  size_t size = 0;
  EVP_PKEY_get_octet_string_param(KeyOf(key_), OSSL_PKEY_PARAM_PUB_KEY, point, sizeof(point),
                                  &size);
  std::copy(point + 1, point + 65, publicKey_.begin());
}

TestSigner::~TestSigner() { EVP_PKEY_free(KeyOf(key_)); }

std::string TestSigner::PublicKeyHex() const { return HexOf(publicKey_.data(), publicKey_.size()); }

std::string TestSigner::SignatureHex(const std::string& message) const {
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                  EVP_MD_CTX_free);
  unsigned char der[80];
  size_t derSize = sizeof(der);
  if (EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, KeyOf(key_)) != 1 ||
      EVP_DigestSign(context.get(), der, &derSize,
                     reinterpret_cast<const unsigned char*>(message.data()), message.size()) != 1) {
    return "";
  }
  const unsigned char* read = der;
  std::unique_ptr<ECDSA_SIG, decltype(&ECDSA_SIG_free)> numbers(
      d2i_ECDSA_SIG(nullptr, &read, static_cast<long>(derSize)), ECDSA_SIG_free);
  if (!numbers) return "";
  unsigned char raw[64];
  BN_bn2binpad(ECDSA_SIG_get0_r(numbers.get()), raw, 32);
  BN_bn2binpad(ECDSA_SIG_get0_s(numbers.get()), raw + 32, 32);
  return HexOf(raw, sizeof(raw));
}

}  // namespace update_test
