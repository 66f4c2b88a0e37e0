#pragma once

// The controls of a dialog template as Qt widgets, and the messages each class answers.

#include "platform/linux/dialog_template.h"
#include "platform/linux/qt_dialog_units.h"
#include "platform/linux/qt_windows.h"

namespace platform::qt {

// The kind of control a window class stands for; false for a class this desktop lacks.
bool controlKind(const std::string& className, tKind& kind);

// Whether InitCommonControlsEx has registered the progress bar class.
bool progressClassRegistered();
void registerProgressClass();

// Makes the control an item describes, as a child of the dialog's widget, at the item's place
// converted with `units`.
tWindow* createControl(tWindow* dialog, const tDialogItemTemplate& item, tBaseUnits units);

// Shows `window`'s text in its widget, the way its class shows text.
void showText(tWindow* window);

// The messages of combo boxes and progress bars.
LRESULT comboMessage(tWindow* combo, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT progressMessage(tWindow* bar, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform::qt
