// The simulated registry: keys and values in memory, reached through the
// same operations and rules as the real one. Key and value names compare
// without regard to ASCII case; in the 32-bit view HKEY_LOCAL_MACHINE
// "Software" is redirected to "Software\WOW6432Node", as on 64-bit Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tests/sim/sim_state.h"
#include "winsettings/registry.h"

namespace sim {

// Makes every registry call fail with `code` (0: calls work again).
void FailRegistryCalls(int code);

// What another program might have left in the registry (native view; the
// key and its parents are created). `data` holds the stored bytes.
void PutRegKey(RegRoot root, const std::wstring& path);
void PutRegValue(RegRoot root, const std::wstring& path, const std::wstring& name, int type,
                 const std::string& data);
void PutRegString(RegRoot root, const std::wstring& path, const std::wstring& name,
                  const std::wstring& text, int type = kRegSz);
void PutRegDword(RegRoot root, const std::wstring& path, const std::wstring& name,
                 std::uint32_t number);

// What is stored (native view), for checking what the program wrote.
std::optional<SimRegValue> RegValueOf(RegRoot root, const std::wstring& path,
                                      const std::wstring& name);
bool HasRegKey(RegRoot root, const std::wstring& path);

// An environment variable that expandable strings refer to as %name%.
void SetEnvironmentVariable(const std::wstring& name, const std::wstring& value);

}  // namespace sim
