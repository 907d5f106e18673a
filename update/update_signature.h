// The version file's signature: an ECDSA P-256 signature over the SHA-256
// digest of the file's first four fields, carried as a fifth field. The
// key it is checked with is compiled in, or named by an administrator.
#pragma once

#include <array>
#include <optional>
#include <string>

// A P-256 public key as its two coordinates, X then Y, big-endian.
using UpdatePublicKey = std::array<unsigned char, 64>;
// A P-256 signature as its two numbers, r then s, big-endian.
using UpdateSignature = std::array<unsigned char, 64>;

// Whether `signature` is `key`'s signature over the SHA-256 digest of
// `message`. False as well for a key that is no point of the curve.
bool SignatureMatches(const std::string& message, const UpdateSignature& signature,
                      const UpdatePublicKey& key);

// 128 hexadecimal digits as 64 bytes; `lowercaseOnly` refuses "A" to "F".
// Nothing for any other text.
std::optional<std::array<unsigned char, 64>> ParseHex64(const std::string& hex, bool lowercaseOnly);

// Whether the version file, exactly as served, carries `key`'s signature:
// its text before the fourth "|" is what was signed, and the fifth field
// holds the signature as 128 lowercase hexadecimal digits.
bool VersionFileIsSigned(const std::string& text, const UpdatePublicKey& key);

// The key compiled into the program; the configure step put it into the
// generated header as "vantrel-update-key:<kind>:<128 digits>".
UpdatePublicKey CompiledUpdateKey();
