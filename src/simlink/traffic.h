// The traffic reader: the simulator's table of surrounding aircraft into the traffic table.
#pragma once

#include <cstdint>

#include "simlink/fsuipc.h"

#include "core/traffic_table.h"

namespace sky {

// The simulator's traffic area: 40 slots of 40 bytes from 0xF080 (identifier, latitude,
// longitude, altitude, heading, ground speed, vertical speed, call sign), and the two one-byte
// control values written before each refresh.
inline constexpr uint32_t kTrafficAreaOffset = 0xF080;
inline constexpr uint32_t kTrafficSlotSize = 40;
inline constexpr uint32_t kTrafficSlots = 40;
inline constexpr uint32_t kTrafficAreaSize = kTrafficSlotSize * kTrafficSlots;
inline constexpr uint32_t kTrafficControlOffset = 0xF06A;  // 0 before each refresh
inline constexpr uint32_t kTrafficRangeOffset = 0xF068;    // the TCAS range, when it changed

// Refreshes the table: the control writes (the range only when it differs from `rangeSent`,
// which then takes it), then the whole area in one exchange, parsed slot by slot. A failed
// exchange reports LinkLost and leaves the table as it was; a value that cannot be converted
// stops the parse there and reports BadValue.
ReadOutcome GetAI(FsuipcLink& link, int range, int& rangeSent, TrafficTable& table);

}  // namespace sky
