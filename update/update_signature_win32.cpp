#include <windows.h>

#include <bcrypt.h>

#include <cstring>
#include <vector>

#include "base/win32_handles.h"
#include "update/update_signature.h"

namespace {

// mingw's headers leave out NT_SUCCESS, which lives in the driver kit.
bool Succeeded(NTSTATUS status) { return status >= 0; }

struct AlgorithmTraits {
  using Handle = BCRYPT_ALG_HANDLE;
  static Handle None() { return nullptr; }
  static bool Valid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { BCryptCloseAlgorithmProvider(handle, 0); }
};
using UniqueAlgorithm = UniqueResource<AlgorithmTraits>;

struct KeyTraits {
  using Handle = BCRYPT_KEY_HANDLE;
  static Handle None() { return nullptr; }
  static bool Valid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { BCryptDestroyKey(handle); }
};
using UniqueKeyHandle = UniqueResource<KeyTraits>;

UniqueAlgorithm OpenAlgorithm(const wchar_t* name) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!Succeeded(BCryptOpenAlgorithmProvider(&algorithm, name, nullptr, 0))) return {};
  return UniqueAlgorithm(algorithm);
}

bool Sha256(const std::string& message, unsigned char (&digest)[32]) {
  UniqueAlgorithm sha256 = OpenAlgorithm(BCRYPT_SHA256_ALGORITHM);
  return sha256 &&
         Succeeded(BCryptHash(sha256.Get(), nullptr, 0,
                              reinterpret_cast<PUCHAR>(const_cast<char*>(message.data())),
                              static_cast<ULONG>(message.size()), digest, sizeof(digest)));
}

// An ECC public blob is its header followed by X and Y, each as long as
// the header's cbKey says. BCrypt checks that the point lies on the curve.
UniqueKeyHandle ImportKey(BCRYPT_ALG_HANDLE ecdsa, const UpdatePublicKey& key) {
  std::vector<unsigned char> blob(sizeof(BCRYPT_ECCKEY_BLOB) + key.size());
  BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, static_cast<ULONG>(key.size() / 2)};
  std::memcpy(blob.data(), &header, sizeof(header));
  std::memcpy(blob.data() + sizeof(header), key.data(), key.size());
  BCRYPT_KEY_HANDLE imported = nullptr;
  if (!Succeeded(BCryptImportKeyPair(ecdsa, nullptr, BCRYPT_ECCPUBLIC_BLOB, &imported, blob.data(),
                                     static_cast<ULONG>(blob.size()), 0))) {
    return {};
  }
  return UniqueKeyHandle(imported);
}

}  // namespace

bool SignatureMatches(const std::string& message, const UpdateSignature& signature,
                      const UpdatePublicKey& key) {
  unsigned char digest[32];
  if (message.size() > MAXLONG || !Sha256(message, digest)) return false;
  UniqueAlgorithm ecdsa = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
  if (!ecdsa) return false;
  UniqueKeyHandle publicKey = ImportKey(ecdsa.Get(), key);
  if (!publicKey) return false;
  // ECDSA takes the signature as r and s side by side, without padding.
  UpdateSignature bytes = signature;
  return BCryptVerifySignature(publicKey.Get(), nullptr, digest, sizeof(digest), bytes.data(),
                               static_cast<ULONG>(bytes.size()), 0) == 0;
}
