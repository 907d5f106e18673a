#include "base/settings.h"

#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/clock.h"
#include "base/files.h"
#include "base/product.h"
#include "base/text.h"

namespace {

// A scanner or a backup tool may hold the file for a moment, often right at
// log-on when the program starts; the read waits that out.
constexpr int kReadTries = 10;
constexpr unsigned kReadRetryMs = 100;

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr size_t kMaxNameUnits = 256;
constexpr std::int64_t kMaxKeyIndex = 256;
// A number that does not fit the byte still means "light", like every value
// other than 0 and 1; wrapping it would turn 256 into "automatic".
constexpr std::uint8_t kLightDarkMode = 2;
constexpr std::wstring_view kForbiddenNameChars = L"\"*/:<>?\\|";

struct FlagKey {
  const wchar_t* name;
  std::uint8_t Settings::*field;
};

struct TextKey {
  const wchar_t* name;
  std::wstring Settings::*field;
};

constexpr FlagKey kGeneralFlags[] = {
    {L"StartMinimized", &Settings::StartMinimized},
    {L"CheckForUpdate", &Settings::CheckForUpdate},
    {L"CloseToTray", &Settings::CloseToTray},
    {L"StartHMDwithSteam", &Settings::StartHMDwithSteam},
    {L"StopHMDwithSteam", &Settings::StopHMDwithSteam},
    {L"AutoStartSteamVR", &Settings::AutoStartSteamVR},
    {L"AutoStartOculus", &Settings::AutoStartOculus},
    {L"UseMenuHotkey", &Settings::UseMenuHotkey},
    {L"MinimizeWMPortal", &Settings::MinimizeWMPortal},
    {L"DisWinBGRecording", &Settings::DisWinBGRecording},
};

constexpr FlagKey kModifierFlags[] = {
    {L"UseStrgHotkey", &Settings::UseStrgHotkey},
    {L"UseAltHotkey", &Settings::UseAltHotkey},
    {L"UseShiftHotkey", &Settings::UseShiftHotkey},
};

constexpr TextKey kColorKeys[] = {
    {L"ColorDistortionR", &Settings::ColorDistortionR},
    {L"ColorDistortionG", &Settings::ColorDistortionG},
    {L"ColorDistortionB", &Settings::ColorDistortionB},
};

const Settings& Defaults() {
  static const Settings defaults;
  return defaults;
}

// --- Value rules, applied when reading and again when writing, so that a
// value set in memory can never break the file's line structure.

// Windows counts the length in UTF-16 units; count the same way on any host.
size_t Utf16Length(const std::wstring& text) { return Utf8ToUtf16(ToUtf8(text)).size(); }

// A control character could end the line it is written on, and a leading
// space is skipped when the line is read back, so neither survives the file.
bool SurvivesTheFile(const std::wstring& text) {
  if (!text.empty() && text.front() == L' ') return false;
  for (wchar_t c : text) {
    if (static_cast<std::uint32_t>(c) < 32) return false;
  }
  return true;
}

bool IsValidName(const std::wstring& name) {
  if (name.empty() || Utf16Length(name) > kMaxNameUnits || !SurvivesTheFile(name)) return false;
  return name.find_first_of(kForbiddenNameChars) == std::wstring::npos;
}

std::wstring ProcessNameOr(const std::wstring& text, const std::wstring& fallback) {
  std::wstring name = FileNamePart(text);
  return IsValidName(name) ? name : fallback;
}

std::wstring ServiceNameOr(const std::wstring& text, const std::wstring& fallback) {
  return IsValidName(text) ? text : fallback;
}

// Four numbers need three full stops.
std::wstring VersionOrEmpty(const std::wstring& text) {
  const auto stops = std::count(text.begin(), text.end(), L'.');
  return stops == 3 && SurvivesTheFile(text) ? text : std::wstring();
}

// Whatever follows a line break would be read as further lines of the file.
std::wstring FirstLine(const std::wstring& text) {
  return text.substr(0, text.find_first_of(L"\r\n"));
}

std::uint8_t FlagValue(const std::wstring& text) { return LeadingInteger(text) == 1 ? 1 : 0; }

std::uint8_t DarkModeValue(const std::wstring& text) {
  const std::int64_t number = LeadingInteger(text);
  return number >= 0 && number <= 255 ? static_cast<std::uint8_t>(number) : kLightDarkMode;
}

std::int64_t KeyIndexValue(const std::wstring& text) {
  const std::int64_t number = LeadingInteger(text);
  return number >= 0 && number <= kMaxKeyIndex ? number : 0;
}

// --- Reading -------------------------------------------------------------

struct KeyLine {
  std::wstring lowerKey;
  std::wstring value;
};

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view SkipBlanks(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

// Adds the line if it is a key line; false at a section header, below which
// nothing belongs to this program.
bool TakeLine(std::wstring_view line, std::vector<KeyLine>& keyLines) {
  line = SkipBlanks(line);
  if (line.empty() || line.front() == L';') return true;
  if (line.front() == L'[') return false;
  const size_t equals = line.find(L'=');
  std::wstring_view key = line.substr(0, equals);
  while (!key.empty() && IsBlank(key.back())) key.remove_suffix(1);
  std::wstring_view value;
  if (equals != std::wstring_view::npos) value = SkipBlanks(line.substr(equals + 1));
  keyLines.push_back({ToLowerAscii(std::wstring(key)), std::wstring(value)});
  return true;
}

std::vector<KeyLine> CollectKeyLines(std::wstring_view text) {
  std::vector<KeyLine> keyLines;
  while (true) {
    const size_t end = text.find_first_of(L"\r\n");
    if (!TakeLine(text.substr(0, end), keyLines) || end == std::wstring_view::npos) break;
    const bool crLf = text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n';
    text.remove_prefix(end + (crLf ? 2 : 1));
  }
  return keyLines;
}

class KeyReader {
 public:
  explicit KeyReader(const std::string& fileBytes) {
    const bool hasMark = fileBytes.starts_with(kByteOrderMark);
    // A file without the mark is taken as UTF-8 as well: the program only
    // ever writes UTF-8, and broken bytes simply become U+FFFD.
    lines_ = CollectKeyLines(FromUtf8(hasMark ? fileBytes.substr(3) : fileBytes));
  }

  // The first line whose key matches, ignoring ASCII case; null when none.
  const std::wstring* Find(const wchar_t* name) const {
    const std::wstring wanted = ToLowerAscii(name);
    for (const KeyLine& line : lines_) {
      if (line.lowerKey == wanted) return &line.value;
    }
    return nullptr;
  }

  std::wstring TextOr(const wchar_t* name, const std::wstring& fallback) const {
    const std::wstring* value = Find(name);
    return value ? *value : fallback;
  }

 private:
  std::vector<KeyLine> lines_;
};

void ReadFlags(const KeyReader& reader, std::span<const FlagKey> keys, Settings& settings) {
  for (const FlagKey& key : keys) {
    if (const std::wstring* value = reader.Find(key.name)) settings.*key.field = FlagValue(*value);
  }
}

void ReadNames(const KeyReader& reader, Settings& settings) {
  const Settings& defaults = Defaults();
  settings.SkipUpdate = VersionOrEmpty(reader.TextOr(L"SkipUpdate", defaults.SkipUpdate));
  settings.WMRPortalProcessName =
      ProcessNameOr(reader.TextOr(L"WMRPortalProcessName", defaults.WMRPortalProcessName),
                    defaults.WMRPortalProcessName);
  settings.OculusServiceName = ServiceNameOr(
      reader.TextOr(L"OculusServiceName", defaults.OculusServiceName), defaults.OculusServiceName);
  settings.SteamVRProcessName =
      ProcessNameOr(reader.TextOr(L"SteamVRProcessName", defaults.SteamVRProcessName),
                    defaults.SteamVRProcessName);
}

// --- Writing -------------------------------------------------------------

void AddComment(std::wstring& out, std::wstring_view text) {
  out += L"; ";
  out += text;
  out += L"\r\n";
}

// A comment framed by empty comments.
void AddHeading(std::wstring& out, std::wstring_view text) {
  AddComment(out, L"");
  AddComment(out, text);
  AddComment(out, L"");
}

void AddKey(std::wstring& out, const wchar_t* name, std::wstring_view value) {
  out += name;
  out += L" = ";
  out += value;
  out += L"\r\n";
}

void AddFlags(std::wstring& out, std::span<const FlagKey> keys, const Settings& settings) {
  for (const FlagKey& key : keys) {
    AddKey(out, key.name, std::to_wstring(static_cast<unsigned>(settings.*key.field)));
  }
}

void AddNames(std::wstring& out, const Settings& settings) {
  const Settings& defaults = Defaults();
  AddKey(out, L"SkipUpdate", VersionOrEmpty(settings.SkipUpdate));
  AddKey(out, L"WMRPortalProcessName",
         ProcessNameOr(settings.WMRPortalProcessName, defaults.WMRPortalProcessName));
  AddKey(out, L"OculusServiceName",
         ServiceNameOr(settings.OculusServiceName, defaults.OculusServiceName));
  AddKey(out, L"SteamVRProcessName",
         ProcessNameOr(settings.SteamVRProcessName, defaults.SteamVRProcessName));
}

}  // namespace

Settings ParseSettings(const std::string& fileBytes, bool readColorBackup, const Settings& base) {
  const KeyReader reader(fileBytes);
  Settings settings;
  if (const std::wstring* value = reader.Find(L"DarkMode"))
    settings.DarkMode = DarkModeValue(*value);
  ReadFlags(reader, kGeneralFlags, settings);
  ReadFlags(reader, kModifierFlags, settings);
  if (const std::wstring* value = reader.Find(L"UseKeyHotkey")) {
    settings.UseKeyHotkey = KeyIndexValue(*value);
  }
  for (const TextKey& key : kColorKeys) {
    settings.*key.field =
        readColorBackup ? reader.TextOr(key.name, Defaults().*key.field) : base.*key.field;
  }
  ReadNames(reader, settings);
  return settings;
}

std::string RenderSettings(const Settings& settings, const std::wstring& productVersion) {
  std::wstring text = L"\r\n";
  AddComment(text, std::wstring(kProductName) + L" - " + FirstLine(productVersion) +
                       L" - Program Settings");
  AddHeading(text, L"0 = Auto (Def) / 1 = True / 2 = False");
  AddKey(text, L"DarkMode", std::to_wstring(static_cast<unsigned>(settings.DarkMode)));
  AddHeading(text, L"0 = False (Def) / 1 = True");
  AddFlags(text, kGeneralFlags, settings);
  AddHeading(text, L"Hotkey Setting");
  AddFlags(text, kModifierFlags, settings);
  AddKey(text, L"UseKeyHotkey", std::to_wstring(settings.UseKeyHotkey));
  AddHeading(text, L"Settings Backup");
  for (const TextKey& key : kColorKeys) AddKey(text, key.name, FirstLine(settings.*key.field));
  AddHeading(text, L"Don't change if you not know what you are doing!");
  AddNames(text, settings);
  return kByteOrderMark + ToUtf8(text);
}

SettingsRead ReadSettings(bool readColorBackup, const Settings& base) {
  std::string bytes;
  for (int attempt = 1;; ++attempt) {
    if (ReadWholeFile(kSettingsFileName, bytes))
      return {ParseSettings(bytes, readColorBackup, base)};
    bytes.clear();
    const bool there = FileSizeOf(kSettingsFileName) >= 0;
    if (!there || attempt == kReadTries)
      return {ParseSettings(bytes, readColorBackup, base), there};
    SleepMs(kReadRetryMs);
  }
}

bool SaveSettings(const Settings& settings, const std::wstring& productVersion) {
  return ReplaceFileContents(kSettingsFileName, RenderSettings(settings, productVersion));
}
