// The convert command (a flight into a Google Earth document, filed under a chosen name in the
// saved-tracks folder) and the saved-tracks folder button.
#pragma once

#include <string>

namespace sky {

struct App;

void ConvertFlightLog(App& app);
void OpenSavedTracksFolder(App& app);

// "dd-mm-yyyy hh:mm" of a fourteen-digit time stamp (the seconds are dropped).
std::string CorrectDatumTijd(const std::string& DatumTijd);

}  // namespace sky
