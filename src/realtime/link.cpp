#include "realtime/link.h"

#include "core/app.h"

namespace sky {

void EnableViewButtons(App& app, bool enabled) {
  Form1Controls& form = app.Form1;
  for (Button* button :
       {&form.btn_setOverview, &form.btn_setRight, &form.btn_setLeft, &form.btn_setChase}) {
    button->enabled = enabled;
  }
}

void InitiateRealtime(App&) {}
void CreateRealtimeLink(App&) {}
void ToggleRealtime(App&) {}
void SetViewChase(App&) {}
void SetViewOverview(App&) {}
void SetViewLeft(App&) {}
void SetViewRight(App&) {}
void CloseAfterTrackingFailure(App&) {}
void WriteRealtimeDocuments(App&) {}

}  // namespace sky
