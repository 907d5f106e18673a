// Signature checks on the host: OpenSSL stands in for Windows' BCrypt and
// does the same real ECDSA P-256 verification.
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>

#include <memory>

#include "update/update_signature.h"

namespace {

template <auto Free>
struct Freer {
  template <typename T>
  void operator()(T* object) const {
    Free(object);
  }
};
using Key = std::unique_ptr<EVP_PKEY, Freer<EVP_PKEY_free>>;

Key ImportKey(const UpdatePublicKey& key) {
  unsigned char point[65] = {0x04};  // uncompressed: X then Y
  std::copy(key.begin(), key.end(), point + 1);
  std::unique_ptr<OSSL_PARAM_BLD, Freer<OSSL_PARAM_BLD_free>> build(OSSL_PARAM_BLD_new());
  OSSL_PARAM_BLD_push_utf8_string(build.get(), OSSL_PKEY_PARAM_GROUP_NAME, "prime256v1", 0);
  OSSL_PARAM_BLD_push_octet_string(build.get(), OSSL_PKEY_PARAM_PUB_KEY, point, sizeof(point));
  std::unique_ptr<OSSL_PARAM, Freer<OSSL_PARAM_free>> params(OSSL_PARAM_BLD_to_param(build.get()));
  std::unique_ptr<EVP_PKEY_CTX, Freer<EVP_PKEY_CTX_free>> context(
      EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
  EVP_PKEY* imported = nullptr;
  if (EVP_PKEY_fromdata_init(context.get()) != 1 ||
      EVP_PKEY_fromdata(context.get(), &imported, EVP_PKEY_PUBLIC_KEY, params.get()) != 1) {
    return nullptr;
  }
  return Key(imported);
}

// OpenSSL takes the signature in its DER form.
std::basic_string<unsigned char> DerSignature(const UpdateSignature& signature) {
  std::unique_ptr<ECDSA_SIG, Freer<ECDSA_SIG_free>> numbers(ECDSA_SIG_new());
  ECDSA_SIG_set0(numbers.get(), BN_bin2bn(signature.data(), 32, nullptr),
                 BN_bin2bn(signature.data() + 32, 32, nullptr));
  unsigned char* der = nullptr;
  const int size = i2d_ECDSA_SIG(numbers.get(), &der);
  std::basic_string<unsigned char> bytes(der, size > 0 ? size : 0);
  OPENSSL_free(der);
  return bytes;
}

}  // namespace

bool SignatureMatches(const std::string& message, const UpdateSignature& signature,
                      const UpdatePublicKey& key) {
  Key publicKey = ImportKey(key);
  if (!publicKey) return false;
  const std::basic_string<unsigned char> der = DerSignature(signature);
  std::unique_ptr<EVP_MD_CTX, Freer<EVP_MD_CTX_free>> verify(EVP_MD_CTX_new());
  return EVP_DigestVerifyInit(verify.get(), nullptr, EVP_sha256(), nullptr, publicKey.get()) == 1 &&
         EVP_DigestVerify(verify.get(), der.data(), der.size(),
                          reinterpret_cast<const unsigned char*>(message.data()),
                          message.size()) == 1;
}
