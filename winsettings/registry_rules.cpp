#include "winsettings/registry_rules.h"

#include <algorithm>

#include "base/text.h"

namespace {

int DigitValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return 99;
}

const std::wstring kMemoryErrorText = L"Error: Can't allocate memory";
const std::wstring kNoBinaryErrorText = L"Error: No Pointer to BINARY defined!";

}  // namespace

std::wstring TrimKeyPath(const std::wstring& path) {
  std::wstring trimmed = path;
  if (!trimmed.empty() && trimmed.front() == L'\\') trimmed.erase(0, 1);
  if (!trimmed.empty() && trimmed.back() == L'\\') trimmed.pop_back();
  return trimmed;
}

std::int64_t RegTextToInteger(const std::wstring& text) {
  size_t at = text.find_first_not_of(L" \t");
  if (at == std::wstring::npos) return 0;
  bool negative = false;
  if (text[at] == L'+' || text[at] == L'-') negative = text[at++] == L'-';
  int base = 10;
  if (at < text.size() && (text[at] == L'$' || text[at] == L'%')) {
    base = text[at++] == L'$' ? 16 : 2;
  }
  // Wraps like a machine integer instead of overflowing: only the low bits
  // are ever written.
  std::uint64_t value = 0;
  for (; at < text.size() && DigitValue(text[at]) < base; ++at) {
    value =
        value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(DigitValue(text[at]));
  }
  return static_cast<std::int64_t>(negative ? 0 - value : value);
}

std::wstring RenderBinary(const std::vector<std::uint8_t>& bytes) {
  static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring text;
  const size_t shown = std::min(bytes.size(), kRenderedBinaryLimit);
  for (size_t i = 0; i < shown; ++i) {
    if (i) text += L',';
    text += L'$';
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 15];
  }
  return text;
}

std::u16string MultiStringData(const std::wstring& text) {
  std::u16string data = Utf8ToUtf16(ToUtf8(text));
  for (char16_t& c : data) {
    if (c == u'\n') c = u'\0';
  }
  data += u'\0';  // the last string's own NUL
  data += u'\0';  // the end of the list
  return data;
}

std::wstring MultiStringText(const std::u16string& data) {
  std::u16string text = data;
  for (char16_t& c : text) {
    if (c == u'\0') c = u'\n';
  }
  if (!text.empty() && text.back() == u'\n') text.pop_back();
  return FromUtf8(Utf16ToUtf8(text));
}

std::wstring StringFromData(const std::u16string& data) {
  return FromUtf8(Utf16ToUtf8(data.substr(0, data.find(u'\0'))));
}

std::u16string Utf16FromBytes(const std::vector<std::uint8_t>& data) {
  std::u16string text(data.size() / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  return text;
}

namespace {

// Little-endian, zero-filled when the data is shorter than the number.
std::uint64_t NumberFromBytes(const std::vector<std::uint8_t>& data, size_t width) {
  std::uint64_t number = 0;
  for (size_t i = std::min(width, data.size()); i-- > 0;) number = number << 8 | data[i];
  return number;
}

}  // namespace

std::wstring RenderRegData(int type, std::vector<std::uint8_t>& data, RegValue* record) {
  switch (type) {
    case kRegBinary: {
      std::wstring text = RenderBinary(data);
      if (record) {
        record->DATASIZE = static_cast<std::int32_t>(data.size());
        record->BINARY = std::move(data);
      }
      return text;
    }
    case kRegDword: {
      const auto number = static_cast<std::uint32_t>(NumberFromBytes(data, 4));
      if (record) record->DWORDVALUE = number, record->DATASIZE = 4;
      return std::to_wstring(static_cast<std::int32_t>(number));
    }
    case kRegQword: {
      const std::uint64_t number = NumberFromBytes(data, 8);
      if (record) record->QWORDVALUE = number, record->DATASIZE = 8;
      return std::to_wstring(static_cast<std::int64_t>(number));
    }
    case kRegSz:
    case kRegExpandSz:
      return StringFromData(Utf16FromBytes(data));
    case kRegMultiSz:
      return MultiStringText(Utf16FromBytes(data));
    default:
      return std::wstring();
  }
}

bool IsRegStringType(int type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

void SetRegString(RegValue* record, const std::wstring& text) {
  if (!record) return;
  record->STRINGVALUE = text;
  record->DATASIZE = static_cast<std::int32_t>(text.size());
}

void ResetRegRecord(RegValue* record, bool keepBinaryInputs) {
  if (!record) return;
  RegValue fresh;
  if (keepBinaryInputs) {
    fresh.DATASIZE = record->DATASIZE;
    fresh.BINARY = std::move(record->BINARY);
  }
  *record = std::move(fresh);
}

void SetRegError(RegValue* record, int code) {
  if (!record) return;
  record->ERRORCODE = code;
  if (code == kRegErrorMemory) {
    record->ERRORTEXT = kMemoryErrorText;
  } else if (code == kRegErrorNoBinary) {
    record->ERRORTEXT = kNoBinaryErrorText;
  } else {
    record->ERRORTEXT = RegErrorText(code);
  }
}
