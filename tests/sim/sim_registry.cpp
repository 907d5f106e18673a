#include "tests/sim/sim_registry.h"

#include <cstring>
#include <map>

#include "app/text.h"
#include "tests/sim/sim_state.h"
#include "winsettings/registry_rules.h"

namespace {

constexpr int kFileNotFound = 2;
constexpr int kNoMoreItems = 259;

std::wstring KeyId(sim::RegRoot root, const std::wstring& path) {
  return std::to_wstring(root) + L"\\" + ToLowerAscii(TrimKeyPath(path));
}

// Creates the key and its missing parents; true when the key itself is new.
bool CreateKey(sim::RegRoot root, const std::wstring& path) {
  auto& keys = sim::State().registry;
  const std::wstring trimmed = TrimKeyPath(path);
  bool created = false;
  for (size_t end = 0; end != std::wstring::npos;) {
    end = trimmed.find(L'\\', end + 1);
    const std::wstring part = trimmed.substr(0, end);
    auto [entry, inserted] = keys.try_emplace(KeyId(root, part));
    if (inserted) entry->second.name = FileNamePart(part);
    created = inserted;
  }
  return created;
}

sim::SimKey* FindKey(sim::RegRoot root, const std::wstring& path) {
  auto found = sim::State().registry.find(KeyId(root, path));
  return found == sim::State().registry.end() ? nullptr : &found->second;
}

bool Failing(RegValue* record) {
  if (sim::State().registryFailure == 0) return false;
  SetRegError(record, sim::State().registryFailure);
  return true;
}

std::u16string AsText(const std::string& bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * 2);
  return text;
}

std::string Bytes(const void* data, size_t size) {
  return std::string(static_cast<const char*>(data), size);
}

std::vector<std::wstring> SubKeys(sim::RegRoot root, const std::wstring& path) {
  const std::wstring prefix = KeyId(root, path) + L"\\";
  std::vector<std::wstring> names;
  for (const auto& [id, key] : sim::State().registry) {
    if (id.rfind(prefix, 0) == 0 && id.find(L'\\', prefix.size()) == std::wstring::npos) {
      names.push_back(key.name);
    }
  }
  return names;
}

}  // namespace

namespace sim {
void FailRegistryCalls(int code) { State().registryFailure = code; }
}  // namespace sim

std::wstring RegErrorText(int code) {
  return code == kFileNotFound ? L"The system cannot find the file specified.\r\n"
                               : L"Error " + std::to_wstring(code) + L"\r\n";
}

bool LoadRegistryFunctions() { return true; }

int WriteRegValue(RegRoot root, const std::wstring& path, const std::wstring& name,
                  const std::wstring& value, int type, int, RegValue* record) {
  ResetRegRecord(record, type == kRegBinary);
  if ((type == kRegBinary && !record) || Failing(record)) return 0;
  if (type == kRegBinary && record->BINARY.empty()) {
    CreateKey(root, path);
    SetRegError(record, kRegErrorNoBinary);
    return 0;
  }
  const int disposition = CreateKey(root, path) ? 1 : 2;
  std::string data;
  if (type == kRegBinary) {
    size_t bytes = record->BINARY.size();
    if (record->DATASIZE > 0) bytes = std::min(bytes, static_cast<size_t>(record->DATASIZE));
    data = Bytes(record->BINARY.data(), bytes);
  } else if (type == kRegDword) {
    const auto number = static_cast<std::uint32_t>(RegTextToInteger(value));
    data = Bytes(&number, 4);
  } else if (type == kRegQword) {
    const auto number = static_cast<std::uint64_t>(RegTextToInteger(value));
    data = Bytes(&number, 8);
  } else if (type == kRegSz || type == kRegExpandSz) {
    const std::u16string text = Utf8ToUtf16(ToUtf8(value)) + u'\0';
    data = Bytes(text.data(), text.size() * 2);
  } else if (type == kRegMultiSz) {
    const std::u16string text = MultiStringData(value);
    data = Bytes(text.data(), text.size() * 2);
  } else {
    return disposition;
  }
  FindKey(root, path)->values[ToLowerAscii(name)] = sim::SimRegValue{type, data};
  return disposition;
}

namespace {

const sim::SimRegValue* FindValue(RegRoot root, const std::wstring& path, const std::wstring& name,
                                  RegValue* record) {
  sim::SimKey* key = FindKey(root, path);
  auto found = key ? key->values.find(ToLowerAscii(name)) : decltype(key->values.end()){};
  if (!key || found == key->values.end()) {
    SetRegError(record, kFileNotFound);
    return nullptr;
  }
  return &found->second;
}

std::wstring Render(const sim::SimRegValue& value, RegValue* record) {
  std::wstring text;
  if (value.type == kRegBinary) {
    std::vector<std::uint8_t> bytes(value.data.begin(), value.data.end());
    text = RenderBinary(bytes);
    if (record) {
      record->DATASIZE = static_cast<std::int32_t>(bytes.size());
      record->BINARY = std::move(bytes);
    }
  } else if (value.type == kRegDword) {
    std::uint32_t number = 0;
    std::memcpy(&number, value.data.data(), 4);
    if (record) record->DWORDVALUE = number, record->DATASIZE = 4;
    text = std::to_wstring(static_cast<std::int32_t>(number));
  } else if (value.type == kRegQword) {
    std::uint64_t number = 0;
    std::memcpy(&number, value.data.data(), 8);
    if (record) record->QWORDVALUE = number, record->DATASIZE = 8;
    text = std::to_wstring(static_cast<std::int64_t>(number));
  } else if (value.type == kRegSz || value.type == kRegExpandSz || value.type == kRegMultiSz) {
    const std::u16string data = AsText(value.data);
    text = value.type == kRegMultiSz ? MultiStringText(data) : StringFromData(data);
    if (record) record->STRINGVALUE = text, record->DATASIZE = static_cast<int>(text.size());
  }
  return text;
}

}  // namespace

std::wstring ReadRegValue(RegRoot root, const std::wstring& path, const std::wstring& name, int,
                          RegValue* record) {
  ResetRegRecord(record, false);
  if (Failing(record)) return std::wstring();
  const sim::SimRegValue* value = FindValue(root, path, name, record);
  if (!value) return std::wstring();
  if (record) record->VALUETYPE = value->type;
  return Render(*value, record);
}

int ReadRegValueType(RegRoot root, const std::wstring& path, const std::wstring& name, int,
                     RegValue* record) {
  ResetRegRecord(record, false);
  if (Failing(record)) return 0;
  const sim::SimRegValue* value = FindValue(root, path, name, record);
  return value ? value->type : 0;
}

int CountRegSubKeys(RegRoot root, const std::wstring& path, int, RegValue* record) {
  ResetRegRecord(record, false);
  if (Failing(record)) return 0;
  if (!FindKey(root, path)) {
    SetRegError(record, kFileNotFound);
    return 0;
  }
  return static_cast<int>(SubKeys(root, path).size());
}

std::wstring RegSubKeyName(RegRoot root, const std::wstring& path, int index, int,
                           RegValue* record) {
  ResetRegRecord(record, false);
  if (Failing(record)) return std::wstring();
  if (!FindKey(root, path)) {
    SetRegError(record, kFileNotFound);
    return std::wstring();
  }
  const std::vector<std::wstring> names = SubKeys(root, path);
  if (index < 0 || static_cast<size_t>(index) >= names.size()) {
    SetRegError(record, kNoMoreItems);
    return std::wstring();
  }
  return names[static_cast<size_t>(index)];
}
