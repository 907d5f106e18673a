#include "base/text.h"

#include <limits>
#include <type_traits>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

template <typename Char>
char32_t UnitValue(Char unit) {
  return static_cast<char32_t>(static_cast<std::make_unsigned_t<Char>>(unit));
}

bool IsSurrogate(char32_t value) { return value >= 0xD800 && value <= 0xDFFF; }

// --- UTF-8 encoding -------------------------------------------------------

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || IsSurrogate(cp)) cp = kReplacement;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
    return;
  }
  int continuation = cp < 0x800 ? 1 : cp < 0x10000 ? 2 : 3;
  static constexpr unsigned char kLeadMarks[] = {0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLeadMarks[continuation] | (cp >> (6 * continuation)));
  for (int shift = 6 * (continuation - 1); shift >= 0; shift -= 6) {
    out += static_cast<char>(0x80 | ((cp >> shift) & 0x3F));
  }
}

// Units are UTF-16 when they are two bytes wide and UTF-32 otherwise.
template <typename Char>
std::string EncodeUtf8(const std::basic_string<Char>& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = UnitValue(text[i]);
    if constexpr (sizeof(Char) == 2) {
      if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
        char32_t low = UnitValue(text[i + 1]);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          ++i;
        }
      }
    }
    AppendUtf8(out, cp);
  }
  return out;
}

// --- UTF-8 decoding -------------------------------------------------------

template <typename Char>
void AppendCodePoint(std::basic_string<Char>& out, char32_t cp) {
  if constexpr (sizeof(Char) == 2) {
    if (cp > 0xFFFF) {
      cp -= 0x10000;
      out += static_cast<Char>(0xD800 + (cp >> 10));
      out += static_cast<Char>(0xDC00 + (cp & 0x3FF));
      return;
    }
  }
  out += static_cast<Char>(cp);
}

struct SequenceShape {
  int length;          // 0: the byte cannot start a sequence
  unsigned char low;   // allowed range of the second byte, which rules
  unsigned char high;  // out overlong forms, surrogates and > U+10FFFF
};

SequenceShape ShapeOf(unsigned char lead) {
  if (lead < 0x80) return {1, 0, 0};
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

// Decodes one sequence at `pos`. An ill-formed one yields U+FFFD and consumes
// its longest valid prefix (at least one byte), the usual practice, so the
// byte after a broken sequence is read afresh.
char32_t DecodeOne(const std::string& bytes, size_t& pos) {
  auto byteAt = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byteAt(pos++);
  const SequenceShape shape = ShapeOf(lead);
  if (shape.length == 1) return lead;
  if (shape.length == 0) return kReplacement;
  static constexpr unsigned char kLeadPayload[] = {0, 0, 0x1F, 0x0F, 0x07};
  char32_t cp = lead & kLeadPayload[shape.length];
  for (int k = 1; k < shape.length; ++k) {
    if (pos >= bytes.size()) return kReplacement;
    const unsigned char next = byteAt(pos);
    const unsigned char low = k == 1 ? shape.low : 0x80;
    const unsigned char high = k == 1 ? shape.high : 0xBF;
    if (next < low || next > high) return kReplacement;
    cp = (cp << 6) | (next & 0x3F);
    ++pos;
  }
  return cp;
}

template <typename Char>
std::basic_string<Char> DecodeUtf8(const std::string& bytes) {
  std::basic_string<Char> out;
  out.reserve(bytes.size());
  size_t pos = 0;
  while (pos < bytes.size()) AppendCodePoint(out, DecodeOne(bytes, pos));
  return out;
}

}  // namespace

std::string ToUtf8(const std::wstring& text) { return EncodeUtf8(text); }

std::wstring FromUtf8(const std::string& bytes) { return DecodeUtf8<wchar_t>(bytes); }

std::string Utf16ToUtf8(const std::u16string& text) { return EncodeUtf8(text); }

std::u16string Utf8ToUtf16(const std::string& bytes) { return DecodeUtf8<char16_t>(bytes); }

std::wstring ToUpperAscii(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return text;
}

std::wstring ToLowerAscii(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return text;
}

std::wstring TrimSpaces(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos) return std::wstring();
  const size_t last = text.find_last_not_of(L' ');
  return text.substr(first, last - first + 1);
}

std::wstring FileNamePart(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::int64_t LeadingInteger(const std::wstring& text) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == L'-';
  if (!text.empty() && (text[0] == L'-' || text[0] == L'+')) i = 1;
  // The magnitude of the most negative value is one more than the largest.
  const std::uint64_t limit =
      static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
  std::uint64_t magnitude = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    const std::uint64_t digit = static_cast<std::uint64_t>(text[i] - L'0');
    magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
  }
  if (!negative) return static_cast<std::int64_t>(magnitude);
  if (magnitude == limit) return std::numeric_limits<std::int64_t>::min();
  return -static_cast<std::int64_t>(magnitude);
}
