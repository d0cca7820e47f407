#include "recorder/recording_state.h"

#include "core/app.h"

namespace sky {

void UpdateStatusLabels(App& app, bool logging, bool written, bool realtime) {
  Form1Controls& form = app.Form1;
  if (!logging) {
    form.Label5.text = "No logging";
    form.Label5.color = kBlack;
    form.Label13.text = "No animation";
  } else {
    form.Label5.text = "Logging";
    form.Label13.text = app.g.AnimationOn ? "Animation" : "No animation";
    form.Label5.color = written ? kGreen : kBlack;
  }
  form.Label6.text = realtime ? "Realtime" : "No realtime";
}

void ClearPreviousValues(App& app) {
  PreviousSample& prev = app.prev;
  prev.Latitude.clear();
  prev.Longitude.clear();
  prev.GroundSpeed.clear();
  prev.Altitude.clear();
  prev.Heading.clear();
  app.g.PrevTimestamp.clear();
}

}  // namespace sky
