#include <windows.h>

#include <algorithm>

#include "base/system_libraries_win32.h"
#include "base/win32_handles.h"
#include "winsettings/registry.h"
#include "winsettings/registry_rules.h"

namespace {

using SetValueFunction = LSTATUS(WINAPI*)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);
using EnumKeyFunction = LSTATUS(WINAPI*)(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPWSTR, LPDWORD,
                                         PFILETIME);
using ExpandFunction = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);

UniqueModule advapi32;
SetValueFunction setValue = nullptr;
EnumKeyFunction enumKey = nullptr;
ExpandFunction expandStrings = nullptr;

template <typename Function>
Function LookUp(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

// What a missing entry point reports: the call "failed" as if the system
// had refused it.
constexpr LSTATUS kMissingEntryPoint = ERROR_PROC_NOT_FOUND;

// Windows' predefined root handles are 32-bit numbers sign-extended to
// pointer width (HKEY_CURRENT_USER is 0xFFFFFFFF80000001 in a 64-bit process).
HKEY RootKey(RegRoot root) {
  const auto number = static_cast<LONG>(static_cast<std::uint32_t>(root));
  return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(number));
}

REGSAM AccessMask(REGSAM base, int view32) { return view32 ? base | KEY_WOW64_32KEY : base; }

LSTATUS OpenForReading(RegRoot root, const std::wstring& path, int view32, UniqueKey& key) {
  HKEY opened = nullptr;
  const LSTATUS status = RegOpenKeyExW(RootKey(root), TrimKeyPath(path).c_str(), 0,
                                       AccessMask(KEY_READ, view32), &opened);
  key = UniqueKey(opened);
  return status;
}

LSTATUS SetValue(HKEY key, const std::wstring& name, DWORD type, const void* data, size_t bytes) {
  return RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data),
                        static_cast<DWORD>(bytes));
}

// Lists of strings go through the entry point looked up at start-up.
LSTATUS SetMultiString(HKEY key, const std::wstring& name, const std::u16string& data) {
  if (!setValue) return kMissingEntryPoint;
  return setValue(key, name.c_str(), 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                  static_cast<DWORD>(data.size() * sizeof(char16_t)));
}

LSTATUS WriteTyped(HKEY key, const std::wstring& name, const std::wstring& value, int type,
                   RegValue* record) {
  switch (type) {
    case kRegBinary: {
      if (!record || record->BINARY.empty()) return kRegErrorNoBinary;
      // A count beyond the buffer would read past it: write what is there.
      size_t bytes = record->BINARY.size();
      if (record->DATASIZE > 0) bytes = std::min(bytes, static_cast<size_t>(record->DATASIZE));
      return SetValue(key, name, REG_BINARY, record->BINARY.data(), bytes);
    }
    case kRegDword: {
      const DWORD number = static_cast<DWORD>(RegTextToInteger(value));
      return SetValue(key, name, REG_DWORD, &number, sizeof(number));
    }
    case kRegQword: {
      const std::uint64_t number = static_cast<std::uint64_t>(RegTextToInteger(value));
      return SetValue(key, name, REG_QWORD, &number, sizeof(number));
    }
    case kRegSz:
    case kRegExpandSz:
      return SetValue(key, name, static_cast<DWORD>(type), value.c_str(),
                      (value.size() + 1) * sizeof(wchar_t));
    case kRegMultiSz:
      return SetMultiString(key, name, MultiStringData(value));
    default:
      return ERROR_SUCCESS;
  }
}

// Environment references such as %SystemRoot% replaced by their values. A
// missing entry point or a failed expansion fails the read like a refused
// registry call.
LSTATUS Expand(const std::wstring& text, std::wstring& expanded) {
  if (!expandStrings) return kMissingEntryPoint;
  const DWORD needed = expandStrings(text.c_str(), nullptr, 0);
  if (needed < 1) return static_cast<LSTATUS>(GetLastError());
  expanded.assign(needed, L'\0');
  const DWORD written = expandStrings(text.c_str(), expanded.data(), needed);
  // More than `needed` means the environment changed between the two calls.
  if (written == 0 || written > needed) {
    expanded.clear();
    return written ? ERROR_MORE_DATA : static_cast<LSTATUS>(GetLastError());
  }
  expanded.resize(written - 1);
  return ERROR_SUCCESS;
}

}  // namespace

bool LoadRegistryFunctions() {
  advapi32 = LoadSystemLibrary(L"Advapi32.dll");
  setValue = LookUp<SetValueFunction>(advapi32.Get(), "RegSetValueExW");
  enumKey = LookUp<EnumKeyFunction>(advapi32.Get(), "RegEnumKeyExW");
  // Advapi32 does not export ExpandEnvironmentStringsW (kernel32 does):
  // looked up there, the slot would stay empty and every expandable string
  // would read back empty.
  expandStrings =
      LookUp<ExpandFunction>(GetModuleHandleW(L"kernel32.dll"), "ExpandEnvironmentStringsW");
  return setValue && enumKey && expandStrings;
}

std::wstring RegErrorText(int code) {
  LPWSTR buffer = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                     static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
  LocalFree(buffer);
  return text;
}

int WriteRegValue(RegRoot root, const std::wstring& path, const std::wstring& name,
                  const std::wstring& value, int type, int view32, RegValue* record) {
  ResetRegRecord(record, type == kRegBinary);
  if (type == kRegBinary && !record) return 0;
  HKEY created = nullptr;
  DWORD disposition = 0;
  LSTATUS status =
      RegCreateKeyExW(RootKey(root), TrimKeyPath(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      AccessMask(KEY_WRITE, view32), nullptr, &created, &disposition);
  UniqueKey key(created);
  if (status != ERROR_SUCCESS) {
    SetRegError(record, status);
    return 0;
  }
  status = WriteTyped(key.Get(), name, value, type, record);
  if (status != ERROR_SUCCESS) {
    SetRegError(record, status);
    return 0;
  }
  return static_cast<int>(disposition);
}

std::wstring ReadRegValue(RegRoot root, const std::wstring& path, const std::wstring& name,
                          int view32, RegValue* record) {
  ResetRegRecord(record, false);
  UniqueKey key;
  LSTATUS status = OpenForReading(root, path, view32, key);
  DWORD size = 0;
  if (status == ERROR_SUCCESS) {
    status = RegQueryValueExW(key.Get(), name.c_str(), nullptr, nullptr, nullptr, &size);
  }
  std::vector<std::uint8_t> data(size);
  DWORD type = 0;
  if (status == ERROR_SUCCESS) {
    status = RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, data.data(), &size);
  }
  if (status != ERROR_SUCCESS) {
    SetRegError(record, status);
    return std::wstring();
  }
  data.resize(size);
  std::wstring text = RenderRegData(static_cast<int>(type), data, record);
  if (type == REG_EXPAND_SZ) status = Expand(std::wstring(text), text);
  if (status != ERROR_SUCCESS) {
    SetRegError(record, status);
    return std::wstring();
  }
  if (record) record->VALUETYPE = static_cast<std::int32_t>(type);
  if (IsRegStringType(static_cast<int>(type))) SetRegString(record, text);
  return text;
}

int ReadRegValueType(RegRoot root, const std::wstring& path, const std::wstring& name, int view32,
                     RegValue* record) {
  ResetRegRecord(record, false);
  UniqueKey key;
  LSTATUS status = OpenForReading(root, path, view32, key);
  DWORD type = 0;
  if (status == ERROR_SUCCESS) {
    status = RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, nullptr, nullptr);
  }
  if (status != ERROR_SUCCESS) {
    SetRegError(record, status);
    return 0;
  }
  return static_cast<int>(type);
}

int CountRegSubKeys(RegRoot root, const std::wstring& path, int view32, RegValue* record) {
  ResetRegRecord(record, false);
  UniqueKey key;
  LSTATUS status = OpenForReading(root, path, view32, key);
  DWORD count = 0;
  if (status == ERROR_SUCCESS) {
    status = RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr);
  }
  if (status != ERROR_SUCCESS) {
    SetRegError(record, status);
    return 0;
  }
  return static_cast<int>(count);
}

std::wstring RegSubKeyName(RegRoot root, const std::wstring& path, int index, int view32,
                           RegValue* record) {
  ResetRegRecord(record, false);
  UniqueKey key;
  LSTATUS status = OpenForReading(root, path, view32, key);
  DWORD longest = 0;
  if (status == ERROR_SUCCESS) {
    status = RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, &longest, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr);
  }
  std::wstring name(longest + 1, L'\0');
  DWORD length = longest + 1;
  if (status == ERROR_SUCCESS) {
    status = enumKey ? enumKey(key.Get(), static_cast<DWORD>(index), name.data(), &length, nullptr,
                               nullptr, nullptr, nullptr)
                     : kMissingEntryPoint;
  }
  if (status != ERROR_SUCCESS) {
    SetRegError(record, status);
    return std::wstring();
  }
  name.resize(length);
  return name;
}
