// Realtime tracking: the Google Earth network link, switching realtime on and off, the view
// modes, and the clean-up when tracking fails.
#pragma once

namespace sky {

struct App;

void InitiateRealtime(App& app);
void CreateRealtimeLink(App& app);
void ToggleRealtime(App& app);
void SetViewChase(App& app);
void SetViewOverview(App& app);
void SetViewLeft(App& app);
void SetViewRight(App& app);
void CloseAfterTrackingFailure(App& app);

// Enables or disables the four view buttons together.
void EnableViewButtons(App& app, bool enabled);

// The realtime documents as the tick writes them ("Realtime.txt" into "Realtime.kml" and
// "RealtimeLocation.kml" in the data folder).
void WriteRealtimeDocuments(App& app);

}  // namespace sky
