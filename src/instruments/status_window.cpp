#include "instruments/status_window.h"

#include "core/app.h"

namespace sky {

void OpenStatusWindow(App&) {}
void CloseStatusWindow(App&) {}
void WriteStatusLines(App&) {}
void ClearStatusLines(App& app) {
  StatusControls& w = app.frmACStatus;
  for (Label* label : {&w.Label1, &w.Label2, &w.Label3, &w.Label4, &w.Label8, &w.Label12}) {
    label->text.clear();
  }
}
void ToggleStatusOnTop(App&) {}

}  // namespace sky
