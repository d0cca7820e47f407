#include "simlink/traffic.h"

#include <array>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

#include "core/numtext.h"
#include "simlink/fsuipc.h"

namespace sky {
namespace {

constexpr int kCallsignOffset = 22;
constexpr int kCallsignLength = 15;

template <typename T>
T Field(const uint8_t* slot, int offset) {
  T value;
  std::memcpy(&value, slot + offset, sizeof value);
  return value;
}

// A 32-bit float as the table writes it: up to 7 significant digits, "." as decimal point.
std::string FloatText(float value) {
  if (!std::isfinite(value)) throw std::domain_error("traffic value is not a number");
  return SingleText(value, ".");
}

// One call-sign byte, as UTF-8 (the simulator's bytes are Latin-1); blanks are trimmed away.
void AppendCallsignByte(std::string& callsign, uint8_t byte) {
  if (byte == ' ') return;
  if (byte < 0x80) {
    callsign += static_cast<char>(byte);
  } else {
    callsign += static_cast<char>(0xC0 | (byte >> 6));
    callsign += static_cast<char>(0x80 | (byte & 0x3F));
  }
}

// Writes one occupied slot into its row, in the order of the columns.
void ParseSlot(const uint8_t* slot, TrafficTarget& row) {
  row.Lat = FloatText(Field<float>(slot, 4));
  row.Lon = FloatText(Field<float>(slot, 8));
  row.Alt = FloatText(Field<float>(slot, 12));
  row.HDG = DefaultText(Field<int16_t>(slot, 16) * 360.0 / 65536 + 180, ".");
  row.Spd = std::to_string(Field<int16_t>(slot, 18));
  row.VS = std::to_string(Field<int16_t>(slot, 20));
  const uint8_t* callsign = slot + kCallsignOffset;
  if (callsign[0] == 0) return;  // no call sign: the column keeps its text
  std::string text;
  for (int i = 0; i < kCallsignLength && callsign[i] != 0; ++i) {
    AppendCallsignByte(text, callsign[i]);
  }
  row.Callsign = std::move(text);
}

}  // namespace

ReadOutcome GetAI(FsuipcLink& link, int range, int& rangeSent, TrafficTable& table) {
  int32_t result = 0;

  const uint8_t zero = 0;
  if (QueueWrite(link, kTrafficControlOffset, 1, &zero, result) && !ProcessRequests(link, result)) {
    return ReadOutcome::LinkLost;
  }
  if (range != rangeSent) {
    const auto byte = static_cast<uint8_t>(range);
    if (QueueWrite(link, kTrafficRangeOffset, 1, &byte, result)) {
      if (!ProcessRequests(link, result)) {
        return ReadOutcome::LinkLost;
      }
      rangeSent = range;
    }
  }

  std::array<uint8_t, kTrafficAreaSize> area{};
  if (!QueueRead(link, kTrafficAreaOffset, kTrafficAreaSize, area.data(), result) ||
      !ProcessRequests(link, result)) {
    return ReadOutcome::LinkLost;
  }

  try {
    table[0] = TrafficTarget{"ID\t", "Lat\t", "Lon\t", "Alt\t", "HDG\t", "Spd\t", "Callsign\t", ""};
    for (uint32_t i = 0; i < kTrafficSlots; ++i) {
      const uint8_t* slot = area.data() + i * kTrafficSlotSize;
      TrafficTarget& row = table[i + 1];
      const int32_t id = Field<int32_t>(slot, 0);
      row.ID = std::to_string(id);
      if (id != 0) ParseSlot(slot, row);
    }
  } catch (const std::exception&) {
    return ReadOutcome::BadValue;
  }

  // Empty slots lose their texts, except the vertical speed.
  for (int r = 1; r <= kTrafficRows; ++r) {
    TrafficTarget& row = table[r];
    if (row.ID != "0") continue;
    for (std::string* column :
         {&row.ID, &row.Lat, &row.Lon, &row.Alt, &row.HDG, &row.Spd, &row.Callsign}) {
      column->clear();
    }
  }
  return ReadOutcome::Done;
}

}  // namespace sky
