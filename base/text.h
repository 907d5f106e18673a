// Small text helpers shared by every subsystem: UTF-8 conversion, ASCII
// case folding, trimming and the leading-integer rule used for numbers read
// as text.
#pragma once

#include <cstdint>
#include <string>

// UTF-16 on Windows, UTF-32 on the host; both convert losslessly to UTF-8.
std::string ToUtf8(const std::wstring& text);
// Invalid sequences become U+FFFD, so any byte string converts.
std::wstring FromUtf8(const std::string& bytes);

// The same conversions for UTF-16 text whatever the size of wchar_t, so the
// surrogate-pair handling that Windows relies on is also exercised on the
// host. A lone surrogate is written as U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);
std::u16string Utf8ToUtf16(const std::string& bytes);

std::wstring ToUpperAscii(std::wstring text);
std::wstring ToLowerAscii(std::wstring text);

// Removes leading and trailing spaces (character 32 only).
std::wstring TrimSpaces(const std::wstring& text);

// The text after the last backslash or slash.
std::wstring FileNamePart(const std::wstring& path);

// Reads an optional sign and the leading decimal digits; text without a
// number reads as 0. Saturates instead of overflowing.
std::int64_t LeadingInteger(const std::wstring& text);
