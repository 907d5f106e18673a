#include <windows.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <atomic>
#include <memory>

#include "base/com_win32.h"
#include "base/event_log.h"
#include "base/link_scheme.h"
#include "base/shell.h"

namespace {

// How long Explorer may take to take a link over. It is another process: a
// hung one would otherwise hold the caller for good.
constexpr DWORD kHandOverLimitMs = 10000;

struct HandOver {
  explicit HandOver(const std::wstring& link) : target(link) {}
  const std::wstring target;
  std::atomic<ShellOpen> outcome{ShellOpen::kRefused};
  // Set once the caller has stopped waiting and reported the link as not
  // opened: it must then not open after all when Explorer wakes up.
  std::atomic<bool> abandoned{false};
};

// A URL scheme's handler is a class key carrying a "URL Protocol" value
// ("Registering an Application to a URI Scheme"). It is only read here: what
// runs is chosen by the user's own shell.
bool HasUrlHandler(const std::wstring& scheme) {
  return RegGetValueW(HKEY_CLASSES_ROOT, scheme.c_str(), L"URL Protocol", RRF_RT_ANY, nullptr,
                      nullptr, nullptr) == ERROR_SUCCESS;
}

bool ShellParses(const std::wstring& target) {
  PIDLIST_ABSOLUTE item = nullptr;
  if (FAILED(SHParseDisplayName(target.c_str(), nullptr, &item, 0, nullptr))) return false;
  CoTaskMemFree(item);
  return true;
}

// The desktop's ShellExecute says nothing about whether anything opened,
// so whether there is a handler or a file is decided beforehand.
bool SomethingToOpen(const std::wstring& target) {
  const std::wstring scheme = LinkScheme(target);
  if (scheme.empty()) {
    return IsFullPath(target) && GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  // "shell:" names a place in the shell's own namespace, not a protocol.
  if (_wcsicmp(scheme.c_str(), L"shell") == 0) return ShellParses(target);
  return HasUrlHandler(scheme);
}

template <typename Wanted, typename Source>
ComRef<Wanted> Query(const ComRef<Source>& source, REFIID id) {
  void* raw = nullptr;
  if (!source || FAILED(source.Get()->QueryInterface(id, &raw))) return {};
  return ComRef<Wanted>(static_cast<Wanted*>(raw));
}

ComRef<IDispatch> DesktopWindow() {
  void* raw = nullptr;
  // Only a running Explorer's object is wanted: DISABLE_AAA rules out that
  // COM ever starts a server for the class as this process, with its rights
  // ("CLSCTX enumeration", activate-as-activator).
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_DISABLE_AAA,
                              IID_IShellWindows, &raw))) {
    return {};
  }
  ComRef<IShellWindows> windows(static_cast<IShellWindows*>(raw));
  VARIANT location;
  VariantInit(&location);
  V_VT(&location) = VT_I4;
  V_I4(&location) = CSIDL_DESKTOP;
  VARIANT root;
  VariantInit(&root);
  long window = 0;
  IDispatch* desktop = nullptr;
  // S_FALSE, and no object, when no desktop window is registered.
  const HRESULT found = windows.Get()->FindWindowSW(&location, &root, SWC_DESKTOP, &window,
                                                    SWFO_NEEDDISPATCH, &desktop);
  ComRef<IDispatch> held(desktop);
  if (found != S_OK) held.Reset();
  return held;
}

// The Shell.Application object of the desktop's folder view, which lives in
// Explorer: what it starts runs there, at the user's normal level, as if
// started from the desktop.
ComRef<IShellDispatch2> DesktopShell() {
  ComRef<IServiceProvider> services =
      Query<IServiceProvider>(DesktopWindow(), IID_IServiceProvider);
  if (!services) return {};
  IShellBrowser* browser = nullptr;
  if (FAILED(services.Get()->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                          reinterpret_cast<void**>(&browser)))) {
    return {};
  }
  ComRef<IShellBrowser> heldBrowser(browser);
  IShellView* view = nullptr;
  if (FAILED(browser->QueryActiveShellView(&view))) return {};
  ComRef<IShellView> heldView(view);
  void* background = nullptr;
  if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, &background))) return {};
  ComRef<IShellFolderViewDual> folderView = Query<IShellFolderViewDual>(
      ComRef<IDispatch>(static_cast<IDispatch*>(background)), IID_IShellFolderViewDual);
  if (!folderView) return {};
  IDispatch* application = nullptr;
  if (FAILED(folderView.Get()->get_Application(&application))) return {};
  return Query<IShellDispatch2>(ComRef<IDispatch>(application), IID_IShellDispatch2);
}

bool StartThrough(const ComRef<IShellDispatch2>& shell, const std::wstring& target) {
  UniqueBstr file(SysAllocString(target.c_str()));
  UniqueBstr verb(SysAllocString(L"open"));
  if (!file || !verb) return false;
  VARIANT none;
  VariantInit(&none);
  VARIANT operation;
  VariantInit(&operation);
  V_VT(&operation) = VT_BSTR;
  V_BSTR(&operation) = verb.Get();
  VARIANT show;
  VariantInit(&show);
  V_VT(&show) = VT_I4;
  V_I4(&show) = SW_SHOWNORMAL;
  return SUCCEEDED(shell.Get()->ShellExecute(file.Get(), none, none, operation, show));
}

ShellOpen OpenAtUserLevel(const HandOver& handOver) {
  const ComApartment com;
  if (!com.Ready()) return ShellOpen::kRefused;
  if (!SomethingToOpen(handOver.target)) return ShellOpen::kNothingToOpen;
  const ComRef<IShellDispatch2> shell = DesktopShell();
  if (!shell || handOver.abandoned || !StartThrough(shell, handOver.target)) {
    return ShellOpen::kRefused;
  }
  return ShellOpen::kStarted;
}

DWORD WINAPI RunHandOver(LPVOID parameter) {
  const std::unique_ptr<std::shared_ptr<HandOver>> handOver(
      static_cast<std::shared_ptr<HandOver>*>(parameter));
  (*handOver)->outcome = OpenAtUserLevel(**handOver);
  return 0;
}

// Explorer may send this thread's windows a message while it takes the link
// over (a DDE handler's broadcast does): those are answered while waiting,
// posted ones stay queued for the loop.
bool WaitAnsweringSentMessages(HANDLE thread, DWORD limitMs) {
  const ULONGLONG deadline = GetTickCount64() + limitMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    const DWORD woken = MsgWaitForMultipleObjectsEx(1, &thread, static_cast<DWORD>(deadline - now),
                                                    QS_SENDMESSAGE, 0);
    if (woken == WAIT_OBJECT_0) return true;
    if (woken != WAIT_OBJECT_0 + 1) return false;
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

// Runs on a thread of its own, so that a hung Explorer costs the caller the
// limit and no more, and COM is set up on a thread nobody else uses.
ShellOpen HandToTheDesktop(const std::wstring& target) {
  auto handOver = std::make_shared<HandOver>(target);
  auto* threadShare = new std::shared_ptr<HandOver>(handOver);
  UniqueHandle thread(CreateThread(nullptr, 0, RunHandOver, threadShare, 0, nullptr));
  if (!thread) {
    delete threadShare;
    return ShellOpen::kRefused;
  }
  if (!WaitAnsweringSentMessages(thread.Get(), kHandOverLimitMs)) {
    handOver->abandoned = true;
    return ShellOpen::kRefused;
  }
  return handOver->outcome;
}

}  // namespace

ShellOpen OpenShellLink(const std::wstring& target) {
  if (target.empty()) return ShellOpen::kNothingToOpen;
  // Vantrel runs elevated, and a handler's choice is the user's (HKCU
  // classes come first): it may only run at the user's level. With no
  // desktop shell to start it there, it is not started at all.
  const ShellOpen outcome = HandToTheDesktop(target);
  if (outcome == ShellOpen::kRefused) {
    AddLogLine(L"Could not open " + target + L" without administrator rights", 1);
  }
  return outcome;
}
