// The one way the program reads and writes the registry. Each operation
// opens its key, does one thing and closes it again; failures are reported
// only through the optional result record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum RegValueType : int {
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
  kRegQword = 11,
};

// A predefined root key, by the value Windows gives its handle.
using RegRoot = std::uintptr_t;
inline constexpr RegRoot kHkeyCurrentUser = 0x80000001;
inline constexpr RegRoot kHkeyLocalMachine = 0x80000002;

// The module's own error codes, beside the Windows ones.
inline constexpr int kRegErrorMemory = -1;
inline constexpr int kRegErrorNoBinary = -2;

struct RegValue {
  std::int32_t VALUETYPE = 0;
  std::int32_t DATASIZE = 0;  // binary write: bytes to write, 0 for all of BINARY
  std::int32_t ERRORCODE = 0;
  std::wstring ERRORTEXT;
  std::uint32_t DWORDVALUE = 0;
  std::uint64_t QWORDVALUE = 0;
  std::vector<std::uint8_t> BINARY;  // binary read: all the data; binary write: the input
  std::wstring STRINGVALUE;
};

// The disposition (1 key created, 2 opened) on success, 0 on failure.
int WriteRegValue(RegRoot root, const std::wstring& path, const std::wstring& name,
                  const std::wstring& value, int type, int view32, RegValue* record);
// The value as text; empty on failure.
std::wstring ReadRegValue(RegRoot root, const std::wstring& path, const std::wstring& name,
                          int view32, RegValue* record);
// The value's registry type; 0 on failure.
int ReadRegValueType(RegRoot root, const std::wstring& path, const std::wstring& name, int view32,
                     RegValue* record);
int CountRegSubKeys(RegRoot root, const std::wstring& path, int view32, RegValue* record);
// The name of sub-key `index`; empty on failure or past the end.
std::wstring RegSubKeyName(RegRoot root, const std::wstring& path, int index, int view32,
                           RegValue* record);
// The system's message for a Windows error code; empty when it has none.
std::wstring RegErrorText(int code);

// Looks up the entry points taken at run time; false when one is missing, in
// which case the operations that need it fail like a failed registry call.
bool LoadRegistryFunctions();
