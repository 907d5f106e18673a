#include "tests/sim/sim_registry.h"

#include <vector>

#include "base/text.h"
#include "winsettings/registry_rules.h"

namespace {

constexpr int kFileNotFound = 2;
constexpr int kBadPathname = 161;
constexpr int kNoMoreItems = 259;

sim::SimRegistry& Registry() { return sim::State().registry; }

bool Failing(RegValue* record) {
  if (Registry().failure == 0) return false;
  SetRegError(record, Registry().failure);
  return true;
}

// The key names along a path; empty names (doubled backslashes) are skipped.
using KeyPath = std::vector<std::wstring>;

KeyPath Components(const std::wstring& path) {
  KeyPath parts;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find(L'\\', start), path.size());
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

bool IsName(const std::wstring& part, const wchar_t* name) { return ToLowerAscii(part) == name; }

// The path an operation addresses: trimmed like the real module does, a
// backslash still leading after that refused like Windows refuses it, and
// HKEY_LOCAL_MACHINE "Software" redirected in the 32-bit view.
bool Resolve(RegRoot root, const std::wstring& path, int view32, KeyPath& parts, RegValue* record) {
  const std::wstring trimmed = TrimKeyPath(path);
  if (!trimmed.empty() && trimmed.front() == L'\\') {
    SetRegError(record, kBadPathname);
    return false;
  }
  parts = Components(trimmed);
  if (view32 && root == kHkeyLocalMachine && !parts.empty() && IsName(parts[0], L"software") &&
      !(parts.size() > 1 && IsName(parts[1], L"wow6432node"))) {
    parts.insert(parts.begin() + 1, L"WOW6432Node");
  }
  return true;
}

std::wstring KeyId(RegRoot root, const KeyPath& parts) {
  std::wstring id = std::to_wstring(root);
  for (const std::wstring& part : parts) id += L"\\" + ToLowerAscii(part);
  return id;
}

// Creates the key and its missing parents; true when the key itself is new.
bool CreateKey(RegRoot root, const KeyPath& parts) {
  auto& keys = Registry().keys;
  KeyPath walked;
  bool created = false;
  for (const std::wstring& part : parts) {
    walked.push_back(part);
    auto [entry, inserted] = keys.try_emplace(KeyId(root, walked));
    if (inserted) entry->second.name = part;
    created = inserted;
  }
  return created;
}

// Root keys always exist.
sim::SimKey* FindKey(RegRoot root, const KeyPath& parts) {
  auto& keys = Registry().keys;
  if (parts.empty()) return &keys[KeyId(root, parts)];
  auto found = keys.find(KeyId(root, parts));
  return found == keys.end() ? nullptr : &found->second;
}

// The key an operation reads from; null with the error in the record.
sim::SimKey* OpenKey(RegRoot root, const std::wstring& path, int view32, RegValue* record,
                     KeyPath& parts) {
  if (Failing(record) || !Resolve(root, path, view32, parts, record)) return nullptr;
  sim::SimKey* key = FindKey(root, parts);
  if (!key) SetRegError(record, kFileNotFound);
  return key;
}

const sim::SimRegValue* FindValue(RegRoot root, const std::wstring& path, const std::wstring& name,
                                  int view32, RegValue* record) {
  KeyPath parts;
  sim::SimKey* key = OpenKey(root, path, view32, record, parts);
  if (!key) return nullptr;
  auto found = key->values.find(ToLowerAscii(name));
  if (found == key->values.end()) {
    SetRegError(record, kFileNotFound);
    return nullptr;
  }
  return &found->second;
}

std::vector<std::wstring> SubKeys(RegRoot root, const KeyPath& parts) {
  const std::wstring prefix = KeyId(root, parts) + L"\\";
  std::vector<std::wstring> names;
  const auto& keys = Registry().keys;
  for (auto at = keys.lower_bound(prefix); at != keys.end() && at->first.starts_with(prefix);
       ++at) {
    if (at->first.find(L'\\', prefix.size()) == std::wstring::npos) {
      names.push_back(at->second.name);
    }
  }
  return names;
}

std::string Bytes(const void* data, size_t size) {
  return std::string(static_cast<const char*>(data), size);
}

std::string LittleEndian(std::uint64_t number, int width) {
  std::string bytes;
  for (int i = 0; i < width; ++i) bytes += static_cast<char>(number >> (8 * i) & 0xFF);
  return bytes;
}

std::string Utf16Bytes(const std::u16string& text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

// The stored form of a written value; nothing for types that are not written.
std::optional<std::string> Encode(const std::wstring& value, int type, const RegValue* record) {
  if (type == kRegBinary) {
    size_t bytes = record->BINARY.size();
    if (record->DATASIZE > 0) bytes = std::min(bytes, static_cast<size_t>(record->DATASIZE));
    return Bytes(record->BINARY.data(), bytes);
  }
  if (type == kRegDword)
    return LittleEndian(static_cast<std::uint32_t>(RegTextToInteger(value)), 4);
  if (type == kRegQword)
    return LittleEndian(static_cast<std::uint64_t>(RegTextToInteger(value)), 8);
  if (type == kRegSz || type == kRegExpandSz) return Utf16Bytes(Utf8ToUtf16(ToUtf8(value)) + u'\0');
  if (type == kRegMultiSz) return Utf16Bytes(MultiStringData(value));
  return std::nullopt;
}

// %name% replaced by the variable's value; unknown names stay as written,
// as Windows leaves them.
std::wstring ExpandEnvironment(const std::wstring& text) {
  std::wstring expanded;
  size_t at = 0;
  while (at < text.size()) {
    const size_t open = text.find(L'%', at);
    const size_t close = open == std::wstring::npos ? open : text.find(L'%', open + 1);
    if (close == std::wstring::npos) break;
    expanded += text.substr(at, open - at);
    const auto found =
        Registry().environment.find(ToLowerAscii(text.substr(open + 1, close - open - 1)));
    const bool known = close > open + 1 && found != Registry().environment.end();
    expanded += known ? found->second : text.substr(open, close + 1 - open);
    at = close + 1;
  }
  return expanded + text.substr(std::min(at, text.size()));
}

}  // namespace

namespace sim {

void FailRegistryCalls(int code) { Registry().failure = code; }

void PutRegKey(RegRoot root, const std::wstring& path) {
  CreateKey(root, Components(TrimKeyPath(path)));
}

void PutRegValue(RegRoot root, const std::wstring& path, const std::wstring& name, int type,
                 const std::string& data) {
  const KeyPath parts = Components(TrimKeyPath(path));
  CreateKey(root, parts);
  FindKey(root, parts)->values[ToLowerAscii(name)] = SimRegValue{type, data};
}

void PutRegString(RegRoot root, const std::wstring& path, const std::wstring& name,
                  const std::wstring& text, int type) {
  PutRegValue(root, path, name, type, Utf16Bytes(Utf8ToUtf16(ToUtf8(text)) + u'\0'));
}

void PutRegDword(RegRoot root, const std::wstring& path, const std::wstring& name,
                 std::uint32_t number) {
  PutRegValue(root, path, name, kRegDword, LittleEndian(number, 4));
}

std::optional<SimRegValue> RegValueOf(RegRoot root, const std::wstring& path,
                                      const std::wstring& name) {
  SimKey* key = FindKey(root, Components(TrimKeyPath(path)));
  if (!key) return std::nullopt;
  auto found = key->values.find(ToLowerAscii(name));
  if (found == key->values.end()) return std::nullopt;
  return found->second;
}

bool HasRegKey(RegRoot root, const std::wstring& path) {
  return FindKey(root, Components(TrimKeyPath(path))) != nullptr;
}

void SetEnvironmentVariable(const std::wstring& name, const std::wstring& value) {
  Registry().environment[ToLowerAscii(name)] = value;
}

}  // namespace sim

std::wstring RegErrorText(int code) {
  const sim::MachineCall call;
  return code == kFileNotFound ? L"The system cannot find the file specified.\r\n"
                               : L"Error " + std::to_wstring(code) + L"\r\n";
}

bool LoadRegistryFunctions() {
  const sim::MachineCall call;
  return true;
}

int WriteRegValue(RegRoot root, const std::wstring& path, const std::wstring& name,
                  const std::wstring& value, int type, int view32, RegValue* record) {
  const sim::MachineCall call;
  ++sim::State().calls.registryOpens;
  ResetRegRecord(record, type == kRegBinary);
  KeyPath parts;
  if ((type == kRegBinary && !record) || Failing(record) ||
      !Resolve(root, path, view32, parts, record)) {
    return 0;
  }
  const int disposition = CreateKey(root, parts) ? 1 : 2;
  if (type == kRegBinary && record->BINARY.empty()) {
    SetRegError(record, kRegErrorNoBinary);
    return 0;
  }
  if (std::optional<std::string> data = Encode(value, type, record)) {
    FindKey(root, parts)->values[ToLowerAscii(name)] = sim::SimRegValue{type, *data};
  }
  return disposition;
}

std::wstring ReadRegValue(RegRoot root, const std::wstring& path, const std::wstring& name,
                          int view32, RegValue* record) {
  const sim::MachineCall call;
  ++sim::State().calls.registryOpens;
  ResetRegRecord(record, false);
  const sim::SimRegValue* value = FindValue(root, path, name, view32, record);
  if (!value) return std::wstring();
  std::vector<std::uint8_t> data(value->data.begin(), value->data.end());
  std::wstring text = RenderRegData(value->type, data, record);
  if (value->type == kRegExpandSz) text = ExpandEnvironment(text);
  if (record) record->VALUETYPE = value->type;
  if (IsRegStringType(value->type)) SetRegString(record, text);
  return text;
}

int ReadRegValueType(RegRoot root, const std::wstring& path, const std::wstring& name, int view32,
                     RegValue* record) {
  const sim::MachineCall call;
  ++sim::State().calls.registryOpens;
  ResetRegRecord(record, false);
  const sim::SimRegValue* value = FindValue(root, path, name, view32, record);
  return value ? value->type : 0;
}

int CountRegSubKeys(RegRoot root, const std::wstring& path, int view32, RegValue* record) {
  const sim::MachineCall call;
  ++sim::State().calls.registryOpens;
  ResetRegRecord(record, false);
  KeyPath parts;
  if (!OpenKey(root, path, view32, record, parts)) return 0;
  return static_cast<int>(SubKeys(root, parts).size());
}

std::wstring RegSubKeyName(RegRoot root, const std::wstring& path, int index, int view32,
                           RegValue* record) {
  const sim::MachineCall call;
  ++sim::State().calls.registryOpens;
  ResetRegRecord(record, false);
  KeyPath parts;
  if (!OpenKey(root, path, view32, record, parts)) return std::wstring();
  const std::vector<std::wstring> names = SubKeys(root, parts);
  if (index < 0 || static_cast<size_t>(index) >= names.size()) {
    SetRegError(record, kNoMoreItems);
    return std::wstring();
  }
  return names[static_cast<size_t>(index)];
}
