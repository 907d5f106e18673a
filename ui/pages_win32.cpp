#include "ui/pages_win32.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/controls_win32.h"
#include "ui/log_page.h"
#include "ui/theme.h"
#include "ui/theme_win32.h"
#include "ui/tooltips_win32.h"

namespace {

constexpr wchar_t kPageClass[] = L"VantrelPage";
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 360;
constexpr int kSidebarFontPoints = 10;

// Positions at 96 DPI, relative to the window or the page.
struct Box {
  int x;
  int y;
  int width;
  int height;
};
constexpr Box kPageBox{150, 10, 440, 340};

constexpr wchar_t kWmrHomeToolTip[] =
    L"EXPERIMENTAL! When off: No WMR Cliffhouse, No controller\r"
    L"Windows button menu and no Boundaries are shown.";
constexpr wchar_t kWmrHomeNote[] =
    L"EXPERIMENTAL! If you want to use SteamVR only, you can switch off WMR Home which also "
    L"switch off the Windows buttons on the controllers and the Boundaries wall. A switch off of "
    L"this setting needs a WMR Portal restart to work.\r\rWARNING! After a Windows boot up it "
    L"needs to be on the first time, or you have only 3DOF tracking in Steam VR!";
constexpr wchar_t kVirtualMonitorsToolTip[] =
    L"(recommened) More performance in some VR Apps and\r"
    L"also faster WMR Portal startup without Desktop refresh";
constexpr wchar_t kVirtualMonitorsNote[] =
    L"This is by default enabled (unchecked) and create on WMR Portal startup three virtual "
    L"monitors. It cost performance and also startup time. The only downside from switching this "
    L"off is a short freeze on startup of VR Apps.";
constexpr wchar_t kIdleToolTip[] =
    L"After this time in idle the Headset goes in Standby\r"
    L"(Needs WMR Portal Restart after change)";
constexpr wchar_t kColorToolTip[] =
    L"After changes put your Headset off and\ron again (Proximity-sensor trigger it)";

HWND mainWindow = nullptr;
HFONT sidebarFont = nullptr;
HFONT controlFont = nullptr;

// Every control with its place at 96 DPI, to lay it out again when the
// window moves to a screen of another scale.
struct PlacedControl {
  HWND window;
  Box box;
  bool sidebarFont;
};
std::vector<PlacedControl> placedControls;
int currentLabel = kLabelStartup;
int currentPage = kPageStartup;

// Controls report to their page; the main window's handler serves them all,
// so the page hands their notifications and colour requests up.
LRESULT CALLBACK PageCallback(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      return SendMessageW(GetParent(page), message, wParam, lParam);
    case WM_ERASEBKGND:
      if (HANDLE brush = GetPropW(page, L"bgc")) {
        RECT area{};
        GetClientRect(page, &area);
        FillRect(reinterpret_cast<HDC>(wParam), &area, static_cast<HBRUSH>(brush));
        return 1;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(page, message, wParam, lParam);
}

bool RegisterPageClass() {
  WNDCLASSEXW pageClass{};
  pageClass.cbSize = sizeof(pageClass);
  pageClass.lpfnWndProc = PageCallback;
  pageClass.hInstance = GetModuleHandleW(nullptr);
  pageClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  pageClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  pageClass.lpszClassName = kPageClass;
  return RegisterClassExW(&pageClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HFONT CreateSidebarFont() {
  return CreateFontW(-MulDiv(kSidebarFontPoints, static_cast<int>(LayoutDpi()), 72), 0, 0, 0,
                     FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Arial");
}

// The system's font for dialogs and controls, at the window's DPI.
HFONT CreateControlFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                                  LayoutDpi())) {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

HWND AddControl(HWND parent, int id, const wchar_t* className, const wchar_t* text, DWORD style,
                Box box, HFONT font) {
  HWND control = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, Scaled(box.x),
                                 Scaled(box.y), Scaled(box.width), Scaled(box.height), parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (!control) return nullptr;
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  RememberControl(id, control);
  placedControls.push_back({control, box, font == sidebarFont});
  return control;
}

// A flat button: centred text that reports clicks and takes its colours
// from the theme.
void AddLabel(HWND parent, int id, const wchar_t* text, Box box, HFONT font) {
  AddControl(parent, id, WC_STATICW, text, SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY, box, font);
  SetLabelBackground(id, LabelColors().normal);
}

HWND AddCheckBox(HWND page, int id, const wchar_t* text, Box box) {
  return AddControl(page, id, WC_BUTTONW, text, BS_AUTOCHECKBOX | WS_TABSTOP, box, controlFont);
}

HWND AddText(HWND page, int id, const wchar_t* text, Box box, DWORD style = SS_LEFT) {
  return AddControl(page, id, WC_STATICW, text, style, box, controlFont);
}

// An edit field that only its arrows change. `showsNumber`: the field's
// text is its number; otherwise the program writes the text.
HWND AddNumberField(HWND page, int id, Box box, int minimum, int maximum, bool showsNumber) {
  HWND field = AddControl(page, id, WC_EDITW, L"", WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, box,
                          controlFont);
  if (!field) return nullptr;
  const DWORD style = WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS |
                      (showsNumber ? UDS_SETBUDDYINT : 0);
  HWND spin = CreateWindowExW(0, UPDOWN_CLASSW, nullptr, style, 0, 0, 0, 0, page,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id + kSpinIdOffset)),
                              GetModuleHandleW(nullptr), nullptr);
  if (!spin) return nullptr;
  SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(field), 0);
  SendMessageW(spin, UDM_SETRANGE32, minimum, maximum);
  RememberSpin(id, spin);
  return field;
}

HWND AddPage(int id) {
  // A flat one-pixel border around each page.
  return AddControl(mainWindow, id, kPageClass, L"", WS_BORDER | WS_CLIPCHILDREN, kPageBox,
                    controlFont);
}

void AddTipped(HWND control, const wchar_t* toolTip) { AddToolTip(mainWindow, control, toolTip); }

void BuildSidebar() {
  AddLabel(mainWindow, kLabelStartup, L"Startup", {0, 11, 145, 39}, sidebarFont);
  AddLabel(mainWindow, kLabelAdvanced, L"Advanced", {0, 51, 145, 39}, sidebarFont);
  AddLabel(mainWindow, kLabelVantrel, L"Vantrel", {0, 91, 145, 39}, sidebarFont);
  AddLabel(mainWindow, kLabelLogWindow, L"Log Window", {0, 131, 145, 39}, sidebarFont);
  AddLabel(mainWindow, kLabelOpenTrayMenu, L"Open Tray Menu", {10, 320, 125, 29}, controlFont);
}

bool BuildStartupPage() {
  HWND page = AddPage(kPageStartup);
  if (!page) return false;
  AddCheckBox(page, kBoxStartWithSteam, L"Start Headset with Steam", {10, 10, 188, 20});
  AddCheckBox(page, kBoxStopWithSteam, L"Stop Headset with Steam   (Def Off)", {200, 10, 230, 20});
  AddCheckBox(page, kBoxStartSteamVR, L"Start SteamVR with Headset (Def Off)", {10, 40, 420, 20});
  AddTipped(AddCheckBox(page, kBoxStartOculus, L"Start Oculus Service with Headset* (Def Off)",
                        {10, 70, 420, 20}),
            L"For Revive Users");
  AddCheckBox(page, kBoxMinimizePortal, L"Minimize Mixed Reality Portal on startup (Def Off)",
              {10, 100, 420, 20});
  AddTipped(
      AddCheckBox(page, kBoxBackgroundRecording,
                  L"Disable Windows Video Background recording* (Def Off)", {10, 130, 420, 20}),
      L"Disable Background recording as long VR is running");
  AddText(page, kTextBackgroundRecording, L"Disable it only if you use it outside of VR!",
          {20, 150, 410, 20});
  AddTipped(
      AddCheckBox(page, kBoxWmrHome, L"Start WMR Home with Headset* (Def On)", {10, 185, 420, 20}),
      kWmrHomeToolTip);
  AddText(page, kTextWmrHome, kWmrHomeNote, {20, 205, 410, 132});
  ShowWindow(page, SW_HIDE);
  return true;
}

bool BuildAdvancedPage() {
  HWND page = AddPage(kPageAdvanced);
  if (!page) return false;
  AddTipped(AddCheckBox(page, kBoxVirtualMonitors,
                        L"Disable Virtual Monitor Pre-Allocation* (Def off)", {10, 10, 420, 20}),
            kVirtualMonitorsToolTip);
  AddText(page, kTextVirtualMonitors, kVirtualMonitorsNote, {20, 30, 410, 75});
  AddTipped(AddCheckBox(page, kBoxControllerButtons,
                        L"Disable VR Controller Windows Buttons permanently* (Def off)",
                        {10, 110, 420, 20}),
            L"Needs a Windows Reboot after change");
  AddTipped(AddNumberField(page, kFieldIdleMinutes, {10, 140, 48, 20}, 1, 300, true), kIdleToolTip);
  // Reports clicks only so that its tooltip sees the mouse.
  AddTipped(AddText(page, kTextIdleMinutes, L"Headset Idle Timeout in Minutes* (Def 15)",
                    {74, 141, 356, 20}, SS_LEFT | SS_NOTIFY),
            kIdleToolTip);
  AddTipped(AddCheckBox(page, kBoxColorCorrection,
                        L"Use Color Distortion Correction (Expert)* (Def off)", {10, 170, 420, 20}),
            kColorToolTip);
  AddText(page, kTextRed, L"Red:", {10, 196, 50, 20}, SS_RIGHT);
  AddNumberField(page, kFieldRed, {65, 195, 60, 20}, 900, 1100, false);
  AddText(page, kTextGreen, L"Green:", {135, 196, 55, 20}, SS_RIGHT);
  AddNumberField(page, kFieldGreen, {195, 195, 60, 20}, 900, 1100, false);
  AddText(page, kTextBlue, L"Blue:", {265, 196, 55, 20}, SS_RIGHT);
  AddNumberField(page, kFieldBlue, {325, 195, 60, 20}, 900, 1100, false);
  ShowWindow(page, SW_HIDE);
  return true;
}

bool BuildVantrelPage() {
  HWND page = AddPage(kPageVantrel);
  if (!page) return false;
  AddCheckBox(page, kBoxStartWithWindows, L"Start with Windows", {10, 10, 160, 20});
  AddCheckBox(page, kBoxStartMinimized, L"Start minimized", {10, 40, 160, 20});
  AddCheckBox(page, kBoxMenuHotkey, L"Tray Icon Menu Hotkey", {240, 10, 420, 20});
  AddCheckBox(page, kBoxHotkeyStrg, L"Strg", {260, 30, 50, 20});
  AddCheckBox(page, kBoxHotkeyAlt, L"Alt", {310, 30, 50, 20});
  AddCheckBox(page, kBoxHotkeyShift, L"Shift", {360, 30, 50, 20});
  AddLabel(page, kLabelHotkeyKey, L"Key", {260, 50, 160, 20}, controlFont);
  AddCheckBox(page, kBoxCloseToTray, L"Window Close Button minimize to Tray", {10, 70, 420, 20});
  AddText(page, kTextDarkMode, L"DarkMode (needs Program Restart)", {10, 100, 420, 20});
  // The three options form one group: the first opens it, the next control
  // after them opens the next.
  AddControl(page, kRadioDarkAuto, WC_BUTTONW, L"Auto", BS_AUTORADIOBUTTON | WS_GROUP,
             {30, 116, 50, 20}, controlFont);
  AddControl(page, kRadioDarkOn, WC_BUTTONW, L"On", BS_AUTORADIOBUTTON, {80, 116, 50, 20},
             controlFont);
  AddControl(page, kRadioDarkOff, WC_BUTTONW, L"Off", BS_AUTORADIOBUTTON, {130, 116, 50, 20},
             controlFont);
  AddControl(page, kBoxCheckForUpdate, WC_BUTTONW, L"Check for updates on startup",
             BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, {10, 260, 420, 20}, controlFont);
  AddLabel(page, kLabelCheckForUpdate, L"Check for Update", {70, 290, 145, 30}, controlFont);
  ShowWindow(page, SW_HIDE);
  return true;
}

bool BuildLogPage() {
  HWND page = AddPage(kPageLogWindow);
  if (!page || !BuildLogView(page)) return false;
  ShowWindow(page, SW_HIDE);
  return true;
}

void MarkSelected(int label, bool selected) {
  if (HWND window = ControlWindow(label)) SetWindowLongPtrW(window, GWLP_USERDATA, selected);
}

// The window's outer size: the layout, at its DPI, fills the client area
// and the frame, at the window's own DPI, comes on top.
SIZE WindowSize(HWND window) {
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  RECT frame{0, 0, Scaled(kClientWidth), Scaled(kClientHeight)};
  AdjustWindowRectExForDpi(&frame, style, FALSE, exStyle, GetDpiForWindow(window));
  return {frame.right - frame.left, frame.bottom - frame.top};
}

void PlaceWindow(HWND window) {
  const SIZE size = WindowSize(window);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
  SetWindowPos(window, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceControlsAnew() {
  for (const PlacedControl& control : placedControls) {
    SetWindowPos(control.window, nullptr, Scaled(control.box.x), Scaled(control.box.y),
                 Scaled(control.box.width), Scaled(control.box.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    HFONT font = control.sidebarFont ? sidebarFont : controlFont;
    SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  RealignSpins();
  RescaleLogView();
}

}  // namespace

HBRUSH MainWindowBackground() { return SolidBrush(WindowBackground()); }

bool BuildMainWindowContent(HWND window) {
  mainWindow = window;
  // Registers the up-down and tooltip classes of the common controls.
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  SetLayoutDpi(GetDpiForWindow(window));
  PlaceWindow(window);
  if (!RegisterPageClass()) return false;
  sidebarFont = CreateSidebarFont();
  controlFont = CreateControlFont();
  BuildSidebar();
  if (!BuildStartupPage() || !BuildAdvancedPage() || !BuildVantrelPage() || !BuildLogPage()) {
    return false;
  }
  ShowWindow(ControlWindow(kPageStartup), SW_SHOW);
  currentLabel = kLabelStartup;
  currentPage = kPageStartup;
  MarkSelected(kLabelStartup, true);
  SelectPage(kLabelLogWindow, kPageLogWindow);
  if (DarkModeOn()) ApplyDarkTheme();
  return true;
}

void FollowDpiChange(UINT dpi, const RECT& suggested) {
  SetLayoutDpi(dpi);
  HFONT previousSidebarFont = sidebarFont;
  HFONT previousControlFont = controlFont;
  sidebarFont = CreateSidebarFont();
  controlFont = CreateControlFont();
  PlaceControlsAnew();
  // Deleting the stock font that stands in for a missing system font is
  // ignored by Windows.
  DeleteObject(previousSidebarFont);
  DeleteObject(previousControlFont);
  const SIZE size = WindowSize(mainWindow);
  SetWindowPos(mainWindow, nullptr, suggested.left, suggested.top, size.cx, size.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void SelectPage(int label, int page) {
  ShowWindow(ControlWindow(currentPage), SW_HIDE);
  MarkSelected(currentLabel, false);
  ShowWindow(ControlWindow(page), SW_SHOW);
  MarkSelected(label, true);
  SetLabelBackground(currentLabel, LabelColors().normal);
  SetLabelBackground(label, LabelColors().selected);
  for (int repainted : {currentLabel, label}) {
    if (HWND control = ControlWindow(repainted)) UpdateWindow(control);
  }
  currentLabel = label;
  currentPage = page;
}

int SelectedLabel() { return currentLabel; }
