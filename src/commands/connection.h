// The "(Re) Connect" command and the connection label of the main window.
#pragma once

namespace sky {

struct App;

// Opens the link unless it is open. A failure shows the "Connection failure" box with the link's
// result code and returns false; the caller runs a tick after a success.
bool ConnectSimulator(App& app);

// Shows the connection state on the main window's label.
void ShowConnected(App& app, bool connected);

}  // namespace sky
