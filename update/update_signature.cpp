#include "update/update_signature.h"

#include "update/update_key.h"

namespace {

constexpr char kFieldSeparator = '|';
constexpr size_t kSignedFields = 4;

int HexDigitValue(char c, bool lowercaseOnly) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (!lowercaseOnly && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::array<unsigned char, 64>> ParseHex64(const std::string& hex,
                                                        bool lowercaseOnly) {
  std::array<unsigned char, 64> bytes{};
  if (hex.size() != 2 * bytes.size()) return std::nullopt;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const int high = HexDigitValue(hex[2 * i], lowercaseOnly);
    const int low = HexDigitValue(hex[2 * i + 1], lowercaseOnly);
    if (high < 0 || low < 0) return std::nullopt;
    bytes[i] = static_cast<unsigned char>(high * 16 + low);
  }
  return bytes;
}

bool VersionFileIsSigned(const std::string& text, const UpdatePublicKey& key) {
  size_t fourthSeparator = std::string::npos;
  for (size_t found = 0, start = 0; found < kSignedFields; ++found) {
    fourthSeparator = text.find(kFieldSeparator, start);
    if (fourthSeparator == std::string::npos) return false;
    start = fourthSeparator + 1;
  }
  const size_t fieldStart = fourthSeparator + 1;
  const size_t fieldEnd = text.find(kFieldSeparator, fieldStart);
  const std::optional<UpdateSignature> signature =
      ParseHex64(text.substr(fieldStart, fieldEnd - fieldStart), true);
  return signature && SignatureMatches(text.substr(0, fourthSeparator), *signature, key);
}

UpdatePublicKey CompiledUpdateKey() {
  const std::string marked(kCompiledUpdateKey);
  return ParseHex64(marked.substr(marked.find_last_of(':') + 1), true).value_or(UpdatePublicKey{});
}
