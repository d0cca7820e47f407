#include "simlink/identity.h"

#include "simlink/fsuipc.h"

namespace sky {

std::string SimulatorNameOf(int code) {
  switch (code) {
    case 1:
      return "FS98";
    case 2:
      return "FS2000";
    case 3:
      return "Combat FS2";
    case 4:
      return "Combat FS1";
    case 5:
      return "Fly!";
    case 6:
      return "FS2002";
    case 7:
      return "FS2004";
    case 8:
      return "FSX";
    default:
      return "? " + std::to_string(code);
  }
}

std::string GetSimulatorName(FsuipcLink& link, bool connected) {
  if (!connected) return "Not connected";
  int32_t result = 0;
  uint16_t xplane = 0;
  if (QueueRead(link, 0x6FFF, 2, &xplane, result) && ProcessRequests(link, result) && xplane != 0) {
    return "X-Plane";
  }
  uint16_t code = 0;
  if (QueueRead(link, kOffsetSimulatorVersion, 2, &code, result) && ProcessRequests(link, result)) {
    return SimulatorNameOf(code);
  }
  return "";
}

}  // namespace sky
