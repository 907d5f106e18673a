// The simulated main window controls: what the program set on them, and
// clicks and arrow steps as a user makes them.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ui/theme.h"

namespace sim {

enum class ControlKind { kLabel, kCheckBox, kRadio, kNumberField, kText, kPage, kRichText };

struct SimControl {
  ControlKind kind = ControlKind::kText;
  bool checked = false;
  bool enabled = true;
  std::wstring text;
  std::wstring toolTip;
  int number = 0;
  int minimum = 0;
  int maximum = 0;
  bool selected = false;     // labels: the label of the visible page
  bool underCursor = false;  // labels
  Color background = 0;      // labels
  int repaints = 0;          // labels: background changes
};

struct SimWindowControls {
  std::map<int, SimControl> controls;
  int selectedLabel = -1;
  int pointedLabel = -1;
  std::vector<std::pair<int, int>> selectedPages;  // (label, page) as asked
  int focusDrops = 0;
};

// Creates every control of the main window, as built but not yet set.
void AddMainWindowControls();
// A control the program built; a disabled, empty one when there is none.
const SimControl& Control(int id);
const SimWindowControls& WindowControls();

// A user's click: a check box toggles, a radio button takes the mark from
// its group, and the event goes to the main loop's queue.
void ClickControl(int id);
// One press of a number field's up (+1) or down (-1) arrow, kept in range.
void StepControl(int id, int steps);
// The mouse pointer over label `id` (-1: over none).
void PointAt(int id);

}  // namespace sim
