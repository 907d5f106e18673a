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

// Stored bytes as UTF-16 units, little-endian; an odd last byte is dropped.
std::u16string Utf16FromBytes(const std::vector<std::uint8_t>& data);

// The text a read returns for stored data of `type`, with the record's
// number fields filled in; binary data moves into the record when there is
// one. Expandable strings come back unexpanded: the caller expands them.
std::wstring RenderRegData(int type, std::vector<std::uint8_t>& data, RegValue* record);
bool IsRegStringType(int type);
// A string read's result: STRINGVALUE and its length in DATASIZE.
void SetRegString(RegValue* record, const std::wstring& text);

// Clears the record at the start of an operation; a binary write keeps its
// two inputs.
void ResetRegRecord(RegValue* record, bool keepBinaryInputs);
void SetRegError(RegValue* record, int code);
