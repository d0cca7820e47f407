// Bounded fuzz tests of the request-area parser and the file readers, from a fixed seed
// (SKYTRACE_FUZZ_CASES and SKYTRACE_FUZZ_SEED run more or others; the sanitizer build runs them).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/link_state.h"
#include "core/messages.h"
#include "core/text.h"
#include "kml/templates.h"
#include "settings/offsets_file.h"
#include "skytrace-sim/flight_source.h"
#include "skytrace-sim/simulator_core.h"
#include "skytrace-sim/track.h"
#include "skytrace-sim/traffic_source.h"
#include "test_app.h"

namespace sky {
namespace {

int Cases(int fallback) {
  const char* text = std::getenv("SKYTRACE_FUZZ_CASES");
  return text && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

// A random source with the helpers the fuzzers share.
class Fuzz {
 public:
  Fuzz() {
    const char* seed = std::getenv("SKYTRACE_FUZZ_SEED");
    random_.seed(seed ? std::strtoull(seed, nullptr, 10) : 20261204);
  }
  uint64_t Below(uint64_t bound) { return bound == 0 ? 0 : random_() % bound; }
  bool OneIn(uint64_t n) { return Below(n) == 0; }
  template <typename T>
  const T& Pick(const std::vector<T>& choices) {
    return choices[Below(choices.size())];
  }
  std::string Bytes(size_t size) {
    std::string bytes(size, '\0');
    Fill(bytes);
    return bytes;
  }
  template <typename Container>
  void Fill(Container& bytes) {
    uint64_t word = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (i % 8 == 0) word = random_();
      bytes[i] = static_cast<typename Container::value_type>(word >> (8 * (i % 8)));
    }
  }
  // The text with a few random edits: values between separators replaced by boundary texts
  // (most often), bytes changed, boundary texts put in, parts removed or doubled.
  std::string Mutate(std::string text, const std::vector<std::string>& dictionary) {
    const int edits = 1 + static_cast<int>(Below(3));
    for (int i = 0; i < edits; ++i) {
      const size_t at = Below(text.size() + 1);
      if (!OneIn(3)) {
        const size_t begin = text.find_last_of(",=\n", at == 0 ? 0 : at - 1);
        const size_t from = begin == std::string::npos || at == 0 ? 0 : begin + 1;
        const size_t end = std::min(text.find_first_of(",\r\n", from), text.size());
        text.replace(from, end - from, Pick(dictionary));
        continue;
      }
      switch (Below(5)) {
        case 0:
          if (at < text.size()) text[at] = static_cast<char>(Below(256));
          break;
        case 1:
          text.insert(at, Pick(dictionary));
          break;
        case 2:
          text.erase(at, Below(16));
          break;
        case 3:
          text.insert(at, text.substr(at, Below(64)));
          break;
        default:
          text.insert(at, Bytes(Below(8)));
          break;
      }
    }
    return text;
  }

 private:
  std::mt19937_64 random_;
};

// Number and text fragments at the edges of what the readers accept.
// clang-format off
const std::vector<std::string> kEdges = {
    "0", "-0", "180", "-180", "90", "-90", "90.0000001", "360", "1e308", "-1e308", "nan", "inf",
    "1e-320", "2000", "100000", "50000", "-2000", "32767", "-32768", "65536", "4294967296", ",",
    "\"", "\r", "\n", "\r\n", std::string(1, '\0'), "\xC3\xA9", "\xE9", "\xF0\x9F\x9B\xA9", "=", " ",
    std::string(300, '9'), "", "1", "0.5", "45", "-45", "100", "1.25", "7"};
// clang-format on

void Put32(std::vector<uint8_t>& area, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) area[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Records of every kind with lengths at and across the area's end, and garbage: the parser never
// touches a byte outside the area (the sanitizers watch), refuses a batch it cannot walk to its
// terminator without changing it, and answers a well-formed batch completely.
TEST(FuzzRequestArea, RandomAndBoundaryRecords) {
  Fuzz fuzz;
  sim::SimulatorCore core(8);
  for (uint32_t offset = 0; offset < sim::SimulatorCore::kSpaceSize; offset += 4) {
    core.Put<uint32_t>(offset, offset * 2654435761u);
  }
  const std::vector<size_t> sizes = {0, 1, 3, 4, 11, 12, 15, 16, 17, 20, kBatchLimit};
  std::vector<uint8_t> space(sim::SimulatorCore::kSpaceSize);
  for (int n = 0; n < Cases(3000); ++n) {
    const size_t size = fuzz.OneIn(2) ? fuzz.Pick(sizes) : fuzz.Below(kBatchLimit + 1);
    std::vector<uint8_t> area(size);  // exactly the area: one byte more is outside it
    fuzz.Fill(area);
    // A batch of records, well-formed or not.
    bool wellFormed = true;
    bool writes = false;
    struct Read {
      size_t at;
      uint32_t offset, length;
    };
    std::vector<Read> reads;
    size_t at = 0;
    while (size >= 16 && at <= size - 16 && !fuzz.OneIn(6)) {
      const uint32_t id = fuzz.Pick<uint32_t>({1, 2, 1, 2, 0x10001, 3, 0xFFFF, 0x12345678});
      const bool read = (id & 0xFFFF) == 1;
      const bool known = read || (id & 0xFFFF) == 2;
      const size_t header = read ? 16 : 12;
      const size_t room = size - at - header;
      const uint32_t length = fuzz.Pick<uint32_t>(
          {0, 1, 4, 8, static_cast<uint32_t>(room), static_cast<uint32_t>(room) + 1,
           static_cast<uint32_t>(room > 4 ? room - 4 : 0), 0xFFFFFFFF, 0x80000000,
           static_cast<uint32_t>(fuzz.Below(64))});
      const uint32_t offset =
          fuzz.Pick<uint32_t>({0, 0x3304, 0xF080, 0xFFFC, 0xFFFF, 0x10000, 0xFFFFFFFF,
                               static_cast<uint32_t>(fuzz.Below(0x10000))});
      Put32(area, at, id);
      Put32(area, at + 4, offset);
      Put32(area, at + 8, length);
      if (!known || length > room) {
        wellFormed = false;
        break;
      }
      if (read) reads.push_back({at + header, offset, length});
      writes = writes || !read;
      at += header + length;
    }
    if (wellFormed && size >= 4 && at <= size - 4) {
      Put32(area, at, 0);
    } else {
      wellFormed = false;  // a bad record, or no room for the terminator
    }
    const std::vector<uint8_t> before = area;
    core.Read(0, space.data(), static_cast<uint32_t>(space.size()));
    const uint32_t answer = core.HandleArea(area.data(), area.size());
    ASSERT_TRUE(answer == 0 || answer == 1) << n;
    if (answer == 0) {
      ASSERT_EQ(area, before) << "case " << n << ": a refused batch was changed";
    }
    if (!wellFormed) continue;
    ASSERT_EQ(answer, 1u) << "case " << n << ": a well-formed batch was refused";
    if (writes) continue;  // a read after a write would see the written value
    for (const Read& read : reads) {
      for (uint32_t i = 0; i < read.length; ++i) {
        const uint64_t address = static_cast<uint64_t>(read.offset) + i;
        const uint8_t expected = address < space.size() ? space[address] : 0;
        ASSERT_EQ(area[read.at + i], expected) << "case " << n << " byte " << i;
      }
    }
  }
}

// Mutated versions of a valid file, or with `randomBytes` one in four texts of random bytes up
// to that size: `read` refuses each with a short sentence beginning with `where`, or accepts it
// (returns true) and checks what it made; the edits reach the accepting paths too.
void FuzzReader(const std::string& valid, int cases,
                const std::function<bool(const std::string&, std::string&, int)>& read,
                const std::string& where = "line ", uint64_t randomBytes = 0) {
  Fuzz fuzz;
  int accepted = 0;
  for (int n = 0; n < cases; ++n) {
    std::string error;
    const bool random = randomBytes > 0 && fuzz.OneIn(4);
    if (read(random ? fuzz.Bytes(fuzz.Below(randomBytes)) : fuzz.Mutate(valid, kEdges), error, n)) {
      ++accepted;
      continue;
    }
    EXPECT_TRUE(error.starts_with(where)) << n << ": " << error;
    EXPECT_LT(error.size(), 200u) << n << ": " << error.substr(0, 300);
  }
  EXPECT_GT(accepted, cases / 20);
}

// Accepted track files: every row encodes (the range edges included) and the written file reads
// back as the same track.
TEST(FuzzReaders, TrackFiles) {
  const std::string valid =
      "t,lat,lon,alt_ft,ground_ft,gs_kt,ias_kt,tas_kt,hdg,vs_fpm,td_vs_fpm,on_ground,gear,flaps,"
      "spoilers,tailhook,overspeed,stall,om,mm,im,loc,gs,gs_flag,autobrake\n"
      "0,50.03,8.57,364,364,0,0,0,250,0,0,1,1,0,0,0,0,0,0,0,0,0,0,0,0\n"
      "60,-90,180,100000,30000,2000,2000,2000,360,50000,-50000,0,0.5,100,1,1,1,1,1,1,1,128,119,1,"
      "5\n"
      "61.5,90,-180,-2000,-2000,0,0,0,0,-50000,50000,0,0,0,0,0,0,0,0,0,0,-127,-136,0,0\n";
  FuzzReader(valid, Cases(20000), [](const std::string& text, std::string& error, int n) {
    const auto track = sim::ParseTrack(text, error);
    if (!track) return false;
    for (const sim::TrackRow& row : track->Rows()) sim::RawOf(row.state);
    const auto again = sim::ParseTrack(sim::FormatTrack(*track), error);
    EXPECT_TRUE(again.has_value()) << n << ": " << error;
    EXPECT_EQ(again ? sim::FormatTrack(*again) : "", sim::FormatTrack(*track)) << n;
    return true;
  });
}

// Accepted traffic files: call signs of at most 15 characters of UTF-8 text, which the traffic
// area holds.
TEST(FuzzReaders, TrafficFiles) {
  const std::string valid =
      "t,slot,id,lat,lon,alt_ft,hdg,gs_kt,vs_fpm,callsign\n"
      "0,0,4101,52.31,4.76,3000,90,180,0,KLM 1234\n"
      "0,39,4102,-90,180,9000,0,250,-500,\"\xC3\x86R\xC3\x98, \xC3\x85LBORG\"\n"
      "60,0,0,,,,,,,\n";
  FuzzReader(valid, Cases(20000), [](const std::string& text, std::string& error, int n) {
    auto file = sim::TrafficFile::Parse(text, error);
    if (!file) return false;
    for (const double t : {0.0, 59.0, 1e9}) {
      sim::TrafficSlots slots;
      file->SlotsAt(t, slots);
      for (const sim::TrafficAircraft& aircraft : slots) {
        EXPECT_EQ(FirstInvalidUtf8(aircraft.callsign), std::string::npos) << n;
        EXPECT_LE(Utf8CharacterCount(aircraft.callsign), 15u) << n;
      }
      sim::EncodeTrafficArea(slots);
    }
    return true;
  });
}

// Random and mutated settings files: whatever loads, the saver writes a file that loads back to
// the same values.
TEST(FuzzReaders, SettingsFiles) {
  Fuzz fuzz;
  test::TempDir root;
  FixedFolders folders(root.path(), root.path(), root.path());
  StdFileSystem files;
  std::vector<std::string> said;
  SentenceList board(said);
  const SettingsFile settings{files, folders, board, "Skytrace flightlogger"};
  std::filesystem::create_directories(root / "Skytrace flightlogger");
  const std::string valid = FormatLoggingParameters(LoggingParameters{});
  for (int n = 0; n < Cases(300); ++n) {
    const std::string text =
        fuzz.OneIn(4) ? fuzz.Bytes(fuzz.Below(200)) : fuzz.Mutate(valid, kEdges);
    test::WriteFile(root / "Skytrace flightlogger/Offsets.txt", text);
    LoggingParameters params;
    LoadLoggingParameters(settings, ".", params);
    const std::string loaded = FormatLoggingParameters(params);
    SaveLoggingParameters(settings, params);
    params = LoggingParameters{};
    LoadLoggingParameters(settings, ".", params);
    ASSERT_EQ(FormatLoggingParameters(params), loaded) << n;
  }
}

// Random and mutated snippet files: damage is named by a line of the file; a file without damage
// gives snippets of text a document can hold.
TEST(FuzzReaders, SnippetFiles) {
  const std::string valid = test::ReadFile(test::SourceData("KMLSettings.txt")).substr(0, 4000);
  const auto read = [](const std::string& text, std::string& damage, int n) {
    damage = SnippetFileDamage(text);
    if (!damage.empty()) return false;
    KmlTemplateSet set;
    ParseKmlTemplates(text, set);
    for (const std::string* snippet : {&set.KML, &set.Folder, &set.Path, &set.PinDot,
                                       &set.PlacemarkPin, &set.KMLEnd, &set.PredictedPathGND}) {
      EXPECT_EQ(FirstInvalidUtf8(*snippet), std::string::npos) << n;
      for (const char c : *snippet) {
        EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\t') << n;
      }
    }
    return true;
  };
  FuzzReader(valid, Cases(3000), read, "KMLSettings.txt, line ", 300);
}

}  // namespace
}  // namespace sky
