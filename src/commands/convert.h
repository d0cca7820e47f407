// The convert command (a flight into a Google Earth document, filed under a chosen name in the
// saved-tracks folder) and the saved-tracks folder button.
#pragma once

namespace sky {

struct App;

void ConvertFlightLog(App& app);
void OpenSavedTracksFolder(App& app);

}  // namespace sky
