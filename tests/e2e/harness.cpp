#include "tests/e2e/harness.h"

#include <gtest/gtest.h>

#include "base/files.h"
#include "e2e_paths.h"

namespace e2e {

namespace {

std::wstring Widen(const char* text) { return std::wstring(text, text + strlen(text)); }

std::wstring CurrentTestName() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (!info) return L"no-test";
  return Widen(info->test_suite_name()) + L"." + Widen(info->name());
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry{};
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileForced(path);
      }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

struct WindowSearch {
  DWORD processId;
  std::wstring titlePart;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  if (WindowTitle(window).find(search->titlePart) == std::wstring::npos) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(20);
  }
}

ProgramFolder::ProgramFolder(const std::wstring& programName, const std::wstring& suffix) {
  CreateDirectoryW(kE2eWorkRoot, nullptr);
  path_ = std::wstring(kE2eWorkRoot) + L"\\" + CurrentTestName() + suffix;
  RemoveTree(path_);
  CreateDirectoryW(path_.c_str(), nullptr);
  AddProgramCopy(programName);
}

void ProgramFolder::AddProgramCopy(const std::wstring& programName) const {
  CopyFileW(kBuiltProgram, PathOf(programName).c_str(), FALSE);
}

void ProgramFolder::AddStandIn(const std::wstring& exeName) const {
  CopyFileW(kStandInProgram, PathOf(exeName).c_str(), FALSE);
}

void ProgramFolder::AddLaunchRecorder(const std::wstring& name) const {
  for (std::size_t slash = name.find(L'\\'); slash != std::wstring::npos;
       slash = name.find(L'\\', slash + 1)) {
    MakeFolder(name.substr(0, slash));
  }
  CopyFileW(kLaunchRecorder, PathOf(name).c_str(), FALSE);
}

void ProgramFolder::Write(const std::wstring& name, const std::string& bytes) const {
  ReplaceFileContents(PathOf(name), bytes);
}

std::string ProgramFolder::Read(const std::wstring& name) const {
  std::string bytes;
  ReadWholeFile(PathOf(name), bytes);
  return bytes;
}

bool ProgramFolder::Exists(const std::wstring& name) const {
  return GetFileAttributesW(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void ProgramFolder::MakeFolder(const std::wstring& name) const {
  CreateDirectoryW(PathOf(name).c_str(), nullptr);
}

void ProgramFolder::SetReadOnly(const std::wstring& name) const {
  SetFileAttributesW(PathOf(name).c_str(), FILE_ATTRIBUTE_READONLY);
}

RunningProgram::~RunningProgram() {
  if (process_ && IsRunning()) {
    TerminateProcess(process_.Get(), 9);
    WaitForSingleObject(process_.Get(), 5000);
  }
}

bool RunningProgram::IsRunning() const { return process_ && !WaitForExit(0); }

bool RunningProgram::WaitForExit(DWORD timeoutMs) const {
  return WaitForSingleObject(process_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD RunningProgram::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_.Get(), &code);
  return code;
}

namespace {

constexpr wchar_t kSteamClass[] = L"Software\\Classes\\steam";

void SetClassText(const std::wstring& key, const wchar_t* name, const std::wstring& text) {
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, REG_SZ, text.c_str(),
                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

// "Registering an Application to a URI Scheme": the class key with a
// "URL Protocol" value and the command its "open" verb runs.
SteamUrlHandler::SteamUrlHandler(const ProgramFolder& folder, const std::wstring& handlerName) {
  SetClassText(kSteamClass, nullptr, L"URL:steam");
  SetClassText(kSteamClass, L"URL Protocol", L"");
  SetClassText(std::wstring(kSteamClass) + L"\\shell\\open\\command", nullptr,
               L"\"" + folder.PathOf(handlerName) + L"\" \"%1\"");
}

SteamUrlHandler::~SteamUrlHandler() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSteamClass); }

RunningProgram Start(const ProgramFolder& folder, const std::wstring& programName,
                     const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + folder.PathOf(programName) + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      kE2eWorkRoot, &startup, &started)) {
    ADD_FAILURE() << "cannot start the program, error " << GetLastError();
    return RunningProgram();
  }
  CloseHandle(started.hThread);
  return RunningProgram(UniqueHandle(started.hProcess), started.dwProcessId);
}

LookAlikes::LookAlikes(bool programClass) : folder_(L"NotVantrel.exe", L".look-alikes") {
  folder_.AddStandIn(L"Vantrel.exe");
  folder_.AddStandIn(L"NotVantrel.exe");
  const std::wstring title = L"Vantrel - V1.0 (2026.1.1.1) look-alike";
  titled_ = Start(folder_, L"Vantrel.exe", programClass ? L"/program-class " + title : title);
  sameClass_ = Start(folder_, L"NotVantrel.exe", L"/program-class Vantrel - V1.0 (2026.1.1.1)");
  EXPECT_NE(WaitForWindow(titled_.id(), L"look-alike", 10000), nullptr);
  EXPECT_NE(WaitForWindow(sameClass_.id(), L"Vantrel - V1.0", 10000), nullptr);
}

bool LookAlikes::BothRunning() const { return titled_.IsRunning() && sameClass_.IsRunning(); }

HWND WaitForWindow(DWORD processId, const std::wstring& titlePart, DWORD timeoutMs) {
  WindowSearch search{processId, titlePart, nullptr};
  WaitUntil(
      [&] {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeoutMs);
  return search.found;
}

std::wstring WindowTitle(HWND window) {
  // WM_GETTEXT reaches across processes; GetWindowTextW would not.
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length);
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  text.resize(copied);
  return text;
}

namespace {

struct ControlSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchControl(HWND control, LPARAM context) {
  auto* search = reinterpret_cast<ControlSearch*>(context);
  if (GetDlgCtrlID(control) != search->id) return TRUE;
  search->found = control;
  return FALSE;
}

}  // namespace

HWND FindControl(HWND window, int id) {
  // EnumChildWindows walks grandchildren too, so controls on pages are found.
  ControlSearch search{id, nullptr};
  EnumChildWindows(window, MatchControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool WaitForControlText(HWND window, int id, const std::wstring& part, DWORD timeoutMs) {
  return WaitUntil(
      [&] {
        HWND control = FindControl(window, id);
        return control && WindowTitle(control).find(part) != std::wstring::npos;
      },
      timeoutMs);
}

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

ScreenDpi::ScreenDpi(DWORD dpi) {
  DWORD size = sizeof(previous_);
  hadValue_ = RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr,
                           &previous_, &size) == ERROR_SUCCESS;
  RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
}

ScreenDpi::~ScreenDpi() {
  if (hadValue_) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &previous_,
                    sizeof(previous_));
  } else {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels");
  }
}

bool SaveScreenshot(const std::wstring& name) {
  // Windows of other processes paint on their own threads; give them a
  // moment so the picture shows what a user would see.
  Sleep(500);
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const DWORD rowBytes = ((width * 3 + 3) / 4) * 4;
  const DWORD imageBytes = rowBytes * height;
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  header.bfSize = header.bfOffBits + imageBytes;
  std::string file(reinterpret_cast<const char*>(&header), sizeof(header));
  file.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
  file.append(static_cast<const char*>(pixels), imageBytes);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  CreateDirectoryW(kArtefactsFolder, nullptr);
  return ReplaceFileContents(std::wstring(kArtefactsFolder) + L"\\" + name + L".bmp", file);
}

}  // namespace e2e
