#include "tests/sim/sim_controls.h"

#include <algorithm>

#include "tests/sim/sim_state.h"
#include "ui/controls.h"
#include "winsettings/tweaks.h"

namespace sim {

namespace {

SimControl* Find(int id) {
  auto& controls = State().windowControls.controls;
  auto found = controls.find(id);
  return found == controls.end() ? nullptr : &found->second;
}

ControlKind KindOf(int id) {
  switch (id) {
    case kPageStartup:
    case kPageVantrel:
    case kPageLogWindow:
    case kPageAdvanced:
      return ControlKind::kPage;
    case kRadioDarkAuto:
    case kRadioDarkOn:
    case kRadioDarkOff:
      return ControlKind::kRadio;
    case kFieldIdleMinutes:
    case kFieldRed:
    case kFieldGreen:
    case kFieldBlue:
      return ControlKind::kNumberField;
    case kTextBackgroundRecording:
    case kTextWmrHome:
    case kTextDarkMode:
    case kTextVirtualMonitors:
    case kTextIdleMinutes:
    case kTextRed:
    case kTextGreen:
    case kTextBlue:
      return ControlKind::kText;
    case kLogViewId:
      return ControlKind::kRichText;
    default:
      return id <= kLastLabelId ? ControlKind::kLabel : ControlKind::kCheckBox;
  }
}

void AddControl(int id) {
  SimControl control;
  control.kind = KindOf(id);
  if (id == kFieldIdleMinutes) {
    control.minimum = kMinIdleMinutes;
    control.maximum = kMaxIdleMinutes;
  } else if (control.kind == ControlKind::kNumberField) {
    control.minimum = kMinColorFactor;
    control.maximum = kMaxColorFactor;
  }
  if (control.kind == ControlKind::kLabel) control.background = LabelColors().normal;
  State().windowControls.controls[id] = control;
}

}  // namespace

void AddMainWindowControls() {
  for (int id : {kLabelStartup, kLabelAdvanced, kLabelVantrel, kLabelLogWindow,
                 kLabelCheckForUpdate, kLabelHotkeyKey, kLabelOpenTrayMenu}) {
    AddControl(id);
  }
  for (int id = kPageStartup; id <= kTextBlue; ++id) AddControl(id);
}

const SimControl& Control(int id) {
  static const SimControl missing = [] {
    SimControl none;
    none.enabled = false;
    return none;
  }();
  const SimControl* control = Find(id);
  return control ? *control : missing;
}

const SimWindowControls& WindowControls() { return State().windowControls; }

void ClickControl(int id) {
  const MachineCall call;
  SimControl* control = Find(id);
  if (!control || !control->enabled) return;
  if (control->kind == ControlKind::kCheckBox) control->checked = !control->checked;
  if (control->kind == ControlKind::kRadio) {
    for (auto& [otherId, other] : State().windowControls.controls) {
      if (other.kind == ControlKind::kRadio) other.checked = otherId == id;
    }
  }
  QueueEvent(LoopEvent{kControlEvent, id, kControlClicked});
}

void StepControl(int id, int steps) {
  SimControl* control = Find(id);
  if (!control || !control->enabled) return;
  control->number = std::clamp(control->number + steps, control->minimum, control->maximum);
  // The idle field's text follows its number; the colour fields' text is
  // the program's.
  if (id == kFieldIdleMinutes) control->text = std::to_wstring(control->number);
  QueueEvent(LoopEvent{kControlEvent, id, kControlStepped});
}

void PointAt(int id) {
  State().windowControls.pointedLabel = id;
  for (auto& [labelId, control] : State().windowControls.controls) {
    control.underCursor = labelId == id;
  }
}

}  // namespace sim

using sim::Find;
using sim::State;

bool IsControlChecked(int id) {
  const sim::MachineCall call;
  const sim::SimControl* control = Find(id);
  return control && control->checked;
}

void SetControlChecked(int id, bool checked) {
  const sim::MachineCall call;
  if (sim::SimControl* control = Find(id)) control->checked = checked;
}

void SetControlEnabled(int id, bool enabled) {
  const sim::MachineCall call;
  if (id <= kLastLabelId) NoteLabelEnabledChanged();
  if (sim::SimControl* control = Find(id)) control->enabled = enabled;
}

std::wstring ControlText(int id) {
  const sim::MachineCall call;
  const sim::SimControl* control = Find(id);
  return control ? control->text : std::wstring();
}

void SetControlText(int id, const std::wstring& text) {
  const sim::MachineCall call;
  if (sim::SimControl* control = Find(id)) control->text = text;
}

void SetControlToolTip(int id, const std::wstring& text) {
  const sim::MachineCall call;
  if (sim::SimControl* control = Find(id)) control->toolTip = text;
}

int ControlNumber(int id) {
  const sim::MachineCall call;
  const sim::SimControl* control = Find(id);
  return control ? control->number : 0;
}

void SetControlNumber(int id, int number) {
  const sim::MachineCall call;
  sim::SimControl* control = Find(id);
  if (!control) return;
  control->number = std::clamp(number, control->minimum, control->maximum);
  if (id == kFieldIdleMinutes) control->text = std::to_wstring(control->number);
}

void DropControlFocus() {
  const sim::MachineCall call;
  ++State().windowControls.focusDrops;
}

void SelectPage(int label, int page) {
  const sim::MachineCall call;
  auto& window = State().windowControls;
  window.selectedPages.emplace_back(label, page);
  if (sim::SimControl* old = Find(window.selectedLabel)) old->selected = false;
  if (sim::SimControl* now = Find(label)) now->selected = true;
  window.selectedLabel = label;
}

int SelectedLabel() {
  const sim::MachineCall call;
  return State().windowControls.selectedLabel;
}

// The simulated cursor stands on a label rather than at a point.
HoverView ReadHoverView() {
  const sim::MachineCall call;
  HoverView view;
  view.cursorX = State().windowControls.pointedLabel;
  view.windowShown = State().mainWindowVisible;
  return view;
}

bool ReadLabelSituation(int id, LabelSituation& situation) {
  const sim::MachineCall call;
  const sim::SimControl* control = Find(id);
  if (!control || control->kind != sim::ControlKind::kLabel) return false;
  situation.underCursor = control->underCursor;
  situation.enabled = control->enabled;
  situation.selected = control->selected;
  return true;
}

Color LabelBackgroundOf(int id) {
  const sim::MachineCall call;
  const sim::SimControl* control = Find(id);
  return control ? control->background : 0;
}

void SetLabelBackground(int id, Color color) {
  const sim::MachineCall call;
  sim::SimControl* control = Find(id);
  if (!control) return;
  control->background = color;
  ++control->repaints;
}
