#include "recorder/animation.h"

#include <stdexcept>

#include "core/geometry.h"
#include "core/messages.h"
#include "core/numtext.h"
#include "core/system.h"
#include "core/timestamp.h"

namespace sky {
namespace {

void Require(bool done, const std::string& path) {
  if (!done) throw std::runtime_error("file: " + path);
}

// A traffic-table number ("." as decimal point).
double TableNumber(const std::string& text) {
  return RequireNumber(text, ".");
}

// The call sign as a field of the line: a line break inside would end the line, so control
// characters are left out. A ":" stays; the reader takes the call sign as everything between the
// seventh and the fourth-last field.
void AppendCallsign(std::string& line, const std::string& callsign) {
  for (const char c : callsign) {
    if (static_cast<unsigned char>(c) >= 0x20) line += c;
  }
}

// The traffic lines of one recording, each ended by CR LF, for every row of the table with a
// latitude, in table order. Throws std::exception when a value does not convert.
void BuildTrafficLines(const RecordInputs& in, MessageBoard& board, const std::string& stamp,
                       const std::string& previous, std::string& lines) {
  const FlightSample& own = in.sample;
  const double ownAltitude = RequireNumber(own.Altitude, in.separator);
  const TrafficFilter filter{own.Altitude, own.Longitude, own.Latitude,
                             in.separator, in.TcasRange,  in.TcasMode};
  for (int r = 1; r <= kTrafficRows; ++r) {
    const TrafficTarget& row = in.traffic[r];
    if (row.Lat.empty()) continue;
    const double altitude = TableNumber(row.Alt);
    const int64_t hundreds = Floor64((altitude - ownAltitude) / 100);
    const int level =
        ClassifyTraffic(filter, TableNumber(row.Lat), TableNumber(row.Lon), altitude, board);
    lines.append(stamp).append(":");
    lines.append(row.ID).append(":");
    lines.append(row.Lat).append(":");
    lines.append(row.Lon).append(":");
    lines.append(row.Alt).append(":");
    lines.append(row.HDG).append(":");
    lines.append(row.Spd).append(":");
    AppendCallsign(lines, row.Callsign);
    lines.append(":");
    lines.append(row.VS).append(":");
    lines.append(std::to_string(level)).append(":");
    lines.append(hundreds >= 0 ? "+" : "").append(std::to_string(hundreds)).append(":");
    lines.append(previous).append("\r\n");
  }
}

}  // namespace

bool RecordAnimation(const RecordInputs& in, const std::string& prevStamp, const std::string& code,
                     std::vector<std::string>& sentences) {
  FileSystem& files = in.files;
  SentenceList board(sentences);
  try {
    const std::string stamp = Timestamp(in.clock);
    // A record with an event code carries no previous time stamp.
    const std::string previous = !code.empty() ? "" : prevStamp.empty() ? "-" : prevStamp;
    const std::string folder = AppDataFolder(in.folders);
    const std::string animation = folder + kAnimationLogFile;

    bool write = true;
    if (code.empty() && RequireNumber(in.sample.GroundSpeed, in.separator) == 0) {
      // A parked aircraft is recorded once: not when the log already has a first line.
      auto head = files.ReadHead(animation, 1);
      if (!head) {
        Require(files.Append(animation, ""), animation);
        head = files.ReadHead(animation, 1);
        Require(head.has_value(), animation);
      }
      write = head->empty() || (*head)[0] == '\r' || (*head)[0] == '\n';
    }
    if (write) {
      std::string line;
      BuildFlightRecord(in.sample, in.separator, stamp, code, previous, line);
      line += "\r\n";
      AppendRecord(files, animation, line);
    }

    // Traffic exists only while the TCAS display reads it.
    if (in.TcasMode == 0) return true;
    const std::string traffic = folder + kTrafficLogFile;
    std::string lines;
    try {
      BuildTrafficLines(in, board, stamp, previous, lines);
    } catch (const std::exception&) {
      Require(files.Append(traffic, ""), traffic);  // the file exists all the same
      throw;
    }
    // One append creates the file and writes the whole recording.
    if (lines.empty()) {
      Require(files.Append(traffic, ""), traffic);
    } else {
      AppendRecord(files, traffic, lines);
    }
    return true;
  } catch (const std::exception&) {
    board.Post("Error in animating flight.");
    return false;
  }
}

}  // namespace sky
