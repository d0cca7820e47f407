#include "kml/realtime_records.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/ports.h"
#include "kml/event_table.h"
#include "kml/placemarks.h"
#include "kml/segments.h"
#include "kml/templates.h"

namespace sky {

// What earlier ticks rendered of a realtime log: its first `records` records, the writers ready
// for the next one, and what they wrote.
struct RealtimeRendering {
  RealtimeRendering(std::string logPath, std::string decimalSeparator,
                    const KmlTemplateSet& snippets)
      : path(std::move(logPath)),
        separator(std::move(decimalSeparator)),
        kml(snippets),
        segments(kml, separator),
        pins(kml, separator, MarkPart::Pins),
        points(kml, separator, MarkPart::DataPoints) {}
  RealtimeRendering(const RealtimeRendering&) = delete;
  RealtimeRendering& operator=(const RealtimeRendering&) = delete;

  std::string path;
  std::string separator;
  KmlTemplateSet kml;  // the snippets rendered with; the writers fill these
  size_t records = 0;
  uint64_t bytes = 0;          // the length of the kept records' lines, from the log's start
  std::string end;             // the last bytes of those lines, to find them again
  bool nextStartsRun = false;  // the record after them begins a logging run
  PathSegmentWriter segments;
  EventMarkWriter pins;
  EventMarkWriter points;
  StringSink pathText;
  StringSink pinText;
  StringSink pointText;
};

namespace {

// The kept part is found again by its last bytes.
constexpr size_t kEndBytes = 256;

// The log's records after the kept ones; nothing when the log no longer continues them.
std::optional<LogRecords> ReadRest(FileSystem& files, const RealtimeRendering& kept) {
  auto text =
      files.ReadAt(kept.path, kept.bytes - kept.end.size(), std::numeric_limits<size_t>::max());
  if (!text || !text->starts_with(kept.end)) return std::nullopt;
  text->erase(0, kept.end.size());
  LogRecords rest = SplitLogRecords(std::move(*text));
  if (rest.records.empty()) return std::nullopt;
  if (kept.records > 0 && StartsLoggingRun(rest.records[0]) != kept.nextStartsRun) {
    return std::nullopt;
  }
  return rest;
}

// Where the log may be cut after record i: after the line end that follows it, when that holds
// an LF (a cut there reads the rest of the log as the whole log does); 0 at a "*", a lone CR or
// the end of the text.
size_t CutAfter(const LogRecords& log, size_t i) {
  const std::string_view record = log.records[i];
  const size_t end = static_cast<size_t>(record.data() - log.text.data()) + record.size();
  const std::string& text = log.text;
  if (end < text.size() && text[end] == '\n') return end + 1;
  if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') return end + 2;
  return 0;
}

void AddRecord(size_t index, std::string_view record, bool runEnds, PathSegmentWriter& segments,
               EventMarkWriter& pins, EventMarkWriter& points, TextSink& pathOut, TextSink& pinOut,
               TextSink& pointOut) {
  segments.Add(record, pathOut);
  VisitEventMarks(index, record, runEnds, false, [&](const EventVisit& visit) {
    pins.Add(visit, pinOut);
    points.Add(visit, pointOut);
  });
}

RenderedRecords Render(FileSystem& files, const KmlTemplateSet& kml, std::string_view separator,
                       const std::string& path, RealtimeRenderingCache& cache) {
  std::shared_ptr<RealtimeRendering> kept = cache;
  std::optional<LogRecords> rest;
  if (kept && kept->path == path && kept->separator == separator && kept->kml == kml) {
    rest = ReadRest(files, *kept);
  }
  if (!rest) {
    kept = std::make_shared<RealtimeRendering>(path, std::string(separator), kml);
    rest = ReadLogRecords(files, path);
  }
  const std::vector<std::string_view>& records = rest->records;
  const size_t count = records.size();
  if (kept->records + count > kMaxKmlRecords) throw DataError("too many records");
  auto runEnds = [&records, count](size_t i) {
    return i + 1 < count && StartsLoggingRun(records[i + 1]);
  };

  // Keep all but the last two records, up to a line end.
  size_t keep = count >= 2 ? count - 2 : 0;
  while (keep > 0 && CutAfter(*rest, keep - 1) == 0) --keep;
  for (size_t i = 0; i < keep; ++i) {
    AddRecord(kept->records + i, records[i], runEnds(i), kept->segments, kept->pins, kept->points,
              kept->pathText, kept->pinText, kept->pointText);
  }
  if (keep > 0) {
    const size_t cut = CutAfter(*rest, keep - 1);
    kept->end.append(rest->text, 0, cut);
    kept->end.erase(0, kept->end.size() - std::min(kept->end.size(), kEndBytes));
    kept->records += keep;
    kept->bytes += cut;
    kept->nextStartsRun = StartsLoggingRun(records[keep]);
  }

  RenderedRecords rendered;
  PathSegmentWriter segments = kept->segments;
  EventMarkWriter pins = kept->pins;
  EventMarkWriter points = kept->points;
  StringSink pathOut, pinOut, pointOut;
  for (size_t i = keep; i < count; ++i) {
    AddRecord(kept->records - keep + i, records[i], runEnds(i), segments, pins, points, pathOut,
              pinOut, pointOut);
  }
  segments.Finish(pathOut);
  rendered.pathTail = std::move(pathOut.text());
  rendered.pinsTail = std::move(pinOut.text());
  rendered.pointsTail = std::move(pointOut.text());
  rendered.pinsWritten = pins.wrote();
  rendered.pointsWritten = points.wrote();
  rendered.kept = kept;
  cache = std::move(kept);
  return rendered;
}

}  // namespace

RenderedRecords RenderRealtimeRecords(FileSystem& files, const KmlTemplateSet& kml,
                                      std::string_view separator, const std::string& path,
                                      RealtimeRenderingCache& cache) {
  try {
    return Render(files, kml, separator, path, cache);
  } catch (...) {
    cache.reset();
    throw;
  }
}

void WriteRenderedPath(const RenderedRecords& records, TextSink& out) {
  out << records.kept->pathText.text() << records.pathTail;
}

void WriteRenderedPlacemarks(const RenderedRecords& records, TextSink& out) {
  if (!records.pinsWritten) return;
  const KmlTemplateSet& kml = records.kept->kml;
  out << records.kept->pinText.text() << records.pinsTail;
  if (records.pointsWritten) {
    out << records.kept->pointText.text() << records.pointsTail << kml.FolderEnd;
  }
  out << kml.FolderEnd;
}

}  // namespace sky
