// The pure rules of the registry module, shared by the Windows binding and
// the simulated registry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "winsettings/registry.h"

// One leading and one trailing backslash are dropped.
std::wstring TrimKeyPath(const std::wstring& path);

// Leading blanks and tabs skipped, optional sign, "$" hexadecimal, "%"
// binary, else decimal; stops at the first character that does not fit.
std::int64_t RegTextToInteger(const std::wstring& text);

// "$01,$AB" for the bytes 1 and 171; only the first 2096 bytes are shown.
std::wstring RenderBinary(const std::vector<std::uint8_t>& bytes);
inline constexpr std::size_t kRenderedBinaryLimit = 2096;

// Text with line feeds to the registry's list of NUL-ended strings and a
// final NUL, and back (one trailing line feed dropped).
std::u16string MultiStringData(const std::wstring& text);
std::wstring MultiStringText(const std::u16string& data);

// A string value's data up to its first NUL, or all of it without one.
std::wstring StringFromData(const std::u16string& data);

// Clears the record at the start of an operation; a binary write keeps its
// two inputs.
void ResetRegRecord(RegValue* record, bool keepBinaryInputs);
void SetRegError(RegValue* record, int code);
