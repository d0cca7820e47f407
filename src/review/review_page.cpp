#include "review/review_page.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include "kml/event_table.h"
#include "kml/xml_escape.h"
#include "review/exports.h"

namespace sky {
namespace {

enum class Phase { Ground, Climb, Level, Descent, Approach };

struct PhaseStyle {
  const char* name;
  const char* colour;
};
constexpr PhaseStyle kPhases[] = {{"Ground", "#7f7f7f"},
                                  {"Climb", "#2a9d3a"},
                                  {"Level", "#1f6fd1"},
                                  {"Descent", "#e08a00"},
                                  {"Approach", "#c0392b"}};

Phase PhaseOf(const TrackPoint& p) {
  if (p.onGround) return Phase::Ground;
  if (p.verticalSpeedFpm > 300) return Phase::Climb;
  if (p.verticalSpeedFpm < -300) return p.heightFt < 3000 ? Phase::Approach : Phase::Descent;
  return Phase::Level;
}

const char* Colour(Phase phase) {
  return kPhases[static_cast<int>(phase)].colour;
}

// The kind whose repeats are grouped, empty for an event that stands alone.
std::string_view GroupOf(std::string_view code) {
  if (code == "BG" || code == "OG" || code == "AG") return "Glideslope";
  if (code == "LI" || code == "LL") return "Localizer";
  if (code.substr(0, 3) == "FL=") return "Flaps";
  if (code == "GU" || code == "GD") return "Gear";
  if (code == "SD" || code == "SU") return "Spoilers";
  if (code == "TL" || code == "TU") return "Tailhook";
  if (code == "O" || code == "OE") return "Overspeed";
  if (code == "S" || code == "SE") return "Stall";
  return {};
}

constexpr size_t kGroupFrom = 4;
constexpr int64_t kGroupGapS = 120;
constexpr size_t kChartPoints = 2000;

// The points a chart draws: every one of a short flight, an even choice of a long one.
std::vector<size_t> ChartIndices(const Track& track) {
  std::vector<size_t> indices;
  const size_t n = track.points.size();
  const size_t stride = std::max<size_t>(1, (n + kChartPoints - 1) / kChartPoints);
  for (size_t i = 0; i < n; i += stride) indices.push_back(i);
  if (n > 0 && indices.back() != n - 1) indices.push_back(n - 1);
  return indices;
}

// A round step for about `count` ticks over `range`: 1, 2 or 5 times a power of ten.
double NiceStep(double range, int count) {
  const double raw = std::max(range, 1e-9) / count;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double m : {1.0, 2.0, 5.0}) {
    if (raw <= m * power) return m * power;
  }
  return 10 * power;
}

std::string Num(double value) {
  return Fixed(value, 1);
}

std::string HhMm(int64_t stamp) {
  return ClockTime(stamp).substr(0, 5);
}

// A chart's frame: x and y ranges mapped into the plot area, axes with round ticks.
struct Chart {
  double width, height, left = 64, right = 16, top = 12, bottom = 34;
  double x0, x1, y0, y1;
  double X(double x) const { return left + (x - x0) / (x1 - x0) * (width - left - right); }
  double Y(double y) const {
    return height - bottom - (y - y0) / (y1 - y0) * (height - top - bottom);
  }
};

void Axes(std::string& out, const Chart& c, const std::string& xLabel, const std::string& yLabel) {
  out += "<rect x=\"" + Num(c.left) + "\" y=\"" + Num(c.top) + "\" width=\"" +
         Num(c.width - c.left - c.right) + "\" height=\"" + Num(c.height - c.top - c.bottom) +
         "\" fill=\"#fbfbfd\" stroke=\"#999\"/>\n";
  const double xStep = NiceStep(c.x1 - c.x0, 8);
  for (double x = std::ceil(c.x0 / xStep) * xStep; x <= c.x1 + 1e-9; x += xStep) {
    out += "<line x1=\"" + Num(c.X(x)) + "\" x2=\"" + Num(c.X(x)) + "\" y1=\"" + Num(c.top) +
           "\" y2=\"" + Num(c.height - c.bottom) + "\" stroke=\"#e3e3e8\"/><text x=\"" +
           Num(c.X(x)) + "\" y=\"" + Num(c.height - c.bottom + 14) + "\" text-anchor=\"middle\">" +
           Fixed(x, xStep < 1 ? 1 : 0) + "</text>\n";
  }
  const double yStep = NiceStep(c.y1 - c.y0, 5);
  for (double y = std::ceil(c.y0 / yStep) * yStep; y <= c.y1 + 1e-9; y += yStep) {
    out += "<line x1=\"" + Num(c.left) + "\" x2=\"" + Num(c.width - c.right) + "\" y1=\"" +
           Num(c.Y(y)) + "\" y2=\"" + Num(c.Y(y)) + "\" stroke=\"#e3e3e8\"/><text x=\"" +
           Num(c.left - 6) + "\" y=\"" + Num(c.Y(y) + 4) + "\" text-anchor=\"end\">" + Fixed(y, 0) +
           "</text>\n";
  }
  out += "<text x=\"" + Num((c.left + c.width - c.right) / 2) + "\" y=\"" + Num(c.height - 4) +
         "\" text-anchor=\"middle\" class=\"axis\">" + xLabel + "</text>\n";
  out += "<text x=\"14\" y=\"" + Num((c.top + c.height - c.bottom) / 2) +
         "\" text-anchor=\"middle\" class=\"axis\" transform=\"rotate(-90 14 " +
         Num((c.top + c.height - c.bottom) / 2) + ")\">" + yLabel + "</text>\n";
}

void GroundTrack(std::string& out, const Track& track, const std::vector<size_t>& chosen) {
  constexpr double kWidth = 900, kHeight = 520, kMargin = 30;
  const auto& pts = track.points;
  double latMin = 90, latMax = -90, lonMin = 180, lonMax = -180;
  for (const TrackPoint& p : pts) {
    latMin = std::min(latMin, p.latitudeDeg);
    latMax = std::max(latMax, p.latitudeDeg);
    lonMin = std::min(lonMin, p.longitudeDeg);
    lonMax = std::max(lonMax, p.longitudeDeg);
  }
  const double shrink = std::cos((latMin + latMax) / 2 * std::numbers::pi / 180);
  const double xRange = std::max((lonMax - lonMin) * shrink, 0.005);
  const double yRange = std::max(latMax - latMin, 0.005);
  const double scale = std::min((kWidth - 2 * kMargin) / xRange, (kHeight - 2 * kMargin) / yRange);
  const double xOffset = (kWidth - xRange * scale) / 2, yOffset = (kHeight - yRange * scale) / 2;
  const auto X = [&](const TrackPoint& p) {
    return xOffset +
           ((p.longitudeDeg - lonMin) * shrink + (xRange - (lonMax - lonMin) * shrink) / 2) * scale;
  };
  const auto Y = [&](const TrackPoint& p) {
    return kHeight - yOffset - (p.latitudeDeg - latMin + (yRange - (latMax - latMin)) / 2) * scale;
  };

  out +=
      "<svg class=\"chart\" viewBox=\"0 0 900 520\" xmlns=\"http://www.w3.org/2000/svg\" "
      "role=\"img\" aria-label=\"Ground track\">\n<rect width=\"900\" height=\"520\" "
      "fill=\"#f4f7f2\"/>\n";
  // One line per run of one phase within a segment; each run starts where the last one ended.
  std::vector<size_t> segmentOf(pts.size(), 0);
  const auto segments = TrackSegments(track);
  for (size_t s = 0; s < segments.size(); ++s) {
    for (size_t i = segments[s].first; i < segments[s].second; ++i) segmentOf[i] = s;
  }
  std::string line;
  Phase phase = Phase::Ground;
  const auto xy = [&](size_t i) { return Num(X(pts[i])) + "," + Num(Y(pts[i])); };
  const auto flush = [&]() {
    if (line.find(' ') != std::string::npos) {
      out += "<polyline fill=\"none\" stroke=\"" + std::string(Colour(phase)) +
             "\" stroke-width=\"2.5\" stroke-linejoin=\"round\" points=\"" + line + "\"/>\n";
    }
    line.clear();
  };
  for (size_t k = 0; k < chosen.size(); ++k) {
    const size_t i = chosen[k];
    if (k == 0 || segmentOf[i] != segmentOf[chosen[k - 1]]) {
      flush();
    } else if (PhaseOf(pts[i]) != phase) {
      flush();
      line = xy(chosen[k - 1]);
    }
    phase = PhaseOf(pts[i]);
    line += (line.empty() ? "" : " ") + xy(i);
  }
  flush();
  for (const TrackPoint& p : pts) {
    if (p.code.empty()) continue;
    out += "<circle cx=\"" + Num(X(p)) + "\" cy=\"" + Num(Y(p)) +
           "\" r=\"3.5\" fill=\"#fff\" stroke=\"#222\" stroke-width=\"1.2\"><title>" +
           ClockTime(p.stamp) + "z " + XmlEscape(EventName(p)) + "</title></circle>\n";
  }
  if (!pts.empty()) {
    out += "<circle cx=\"" + Num(X(pts.front())) + "\" cy=\"" + Num(Y(pts.front())) +
           "\" r=\"6\" fill=\"#2a9d3a\"><title>Start</title></circle>\n";
    out += "<rect x=\"" + Num(X(pts.back()) - 5) + "\" y=\"" + Num(Y(pts.back()) - 5) +
           "\" width=\"10\" height=\"10\" fill=\"#222\"><title>End</title></rect>\n";
  }
  // Scale bar: a round distance of at most 160 pixels (a minute of latitude is a mile).
  const double pixelsPerNm = scale / 60;
  double nm = NiceStep(160 / pixelsPerNm, 1);
  while (nm * pixelsPerNm > 160) nm /= 2;
  const double bar = nm * pixelsPerNm;
  out += "<g transform=\"translate(20 495)\"><rect width=\"" + Num(bar) +
         "\" height=\"6\" fill=\"#222\"/><rect width=\"" + Num(bar / 2) +
         "\" height=\"6\" fill=\"#fff\" stroke=\"#222\"/><text x=\"" + Num(bar + 8) +
         "\" y=\"7\">" + (nm < 1 ? Fixed(nm, 2) : Fixed(nm, 0)) + " NM</text></g>\n";
  out +=
      "<g transform=\"translate(860 30)\"><path d=\"M0,-18 L8,10 L0,4 L-8,10 Z\" "
      "fill=\"#222\"/><text x=\"0\" y=\"26\" text-anchor=\"middle\" "
      "font-weight=\"bold\">N</text></g>\n";
  out += "<g transform=\"translate(20 20)\">";
  double x = 0;
  for (const PhaseStyle& style : kPhases) {
    out += "<rect x=\"" + Num(x) + "\" y=\"0\" width=\"14\" height=\"8\" fill=\"" + style.colour +
           "\"/><text x=\"" + Num(x + 18) + "\" y=\"8\">" + style.name + "</text>";
    x += 92;
  }
  out += "</g>\n</svg>\n";
}

void VerticalProfile(std::string& out, const Track& track, const std::vector<size_t>& chosen,
                     const std::vector<double>& distanceNm) {
  double low = 0, high = 1000;
  for (const size_t i : chosen) {
    const TrackPoint& p = track.points[i];
    low = std::min(low, p.altitudeFt - p.heightFt);
    high = std::max(high, p.altitudeFt);
  }
  Chart c{900, 280, 64, 16, 12, 34, 0, std::max(distanceNm.back(), 1.0), low, high * 1.05};
  out +=
      "<svg class=\"chart\" viewBox=\"0 0 900 280\" xmlns=\"http://www.w3.org/2000/svg\" "
      "role=\"img\" aria-label=\"Vertical profile\">\n";
  Axes(out, c, "distance flown (NM)", "feet");
  std::string ground = Num(c.X(0)) + "," + Num(c.Y(c.y0));
  std::string flown;
  for (const size_t i : chosen) {
    const TrackPoint& p = track.points[i];
    const std::string x = Num(c.X(distanceNm[i]));
    ground += " " + x + "," + Num(c.Y(p.altitudeFt - p.heightFt));
    flown += (flown.empty() ? "" : " ") + x + "," + Num(c.Y(p.altitudeFt));
  }
  ground += " " + Num(c.X(distanceNm.back())) + "," + Num(c.Y(c.y0));
  out += "<polygon fill=\"#b9a27c\" fill-opacity=\"0.7\" points=\"" + ground + "\"/>\n";
  out += "<polyline fill=\"none\" stroke=\"#1f6fd1\" stroke-width=\"2\" points=\"" + flown +
         "\"/>\n</svg>\n";
}

void SpeedProfile(std::string& out, const Track& track, const std::vector<size_t>& chosen) {
  const auto& pts = track.points;
  double high = 50;
  for (const size_t i : chosen) high = std::max({high, pts[i].groundSpeedKt, pts[i].iasKt});
  const double minutes = std::max(1.0, (pts.back().seconds - pts.front().seconds) / 60.0);
  Chart c{900, 240, 64, 16, 12, 34, 0, minutes, 0, high * 1.05};
  out +=
      "<svg class=\"chart\" viewBox=\"0 0 900 240\" xmlns=\"http://www.w3.org/2000/svg\" "
      "role=\"img\" aria-label=\"Speed profile\">\n";
  Axes(out, c, "minutes since " + HhMm(pts.front().stamp) + "z", "knots");
  std::string ground, indicated;
  for (const size_t i : chosen) {
    const std::string x = Num(c.X((pts[i].seconds - pts.front().seconds) / 60.0));
    ground += (ground.empty() ? "" : " ") + x + "," + Num(c.Y(std::max(0.0, pts[i].groundSpeedKt)));
    indicated += (indicated.empty() ? "" : " ") + x + "," + Num(c.Y(std::max(0.0, pts[i].iasKt)));
  }
  out += "<polyline fill=\"none\" stroke=\"#1f6fd1\" stroke-width=\"1.8\" points=\"" + ground +
         "\"/>\n<polyline fill=\"none\" stroke=\"#e08a00\" stroke-width=\"1.8\" points=\"" +
         indicated + "\"/>\n";
  out +=
      "<g transform=\"translate(80 26)\"><rect width=\"14\" height=\"4\" y=\"-4\" "
      "fill=\"#1f6fd1\"/><text x=\"18\" y=\"0\">ground speed</text><rect x=\"120\" "
      "width=\"14\" height=\"4\" y=\"-4\" fill=\"#e08a00\"/><text x=\"138\" "
      "y=\"0\">indicated airspeed</text></g>\n</svg>\n";
}

const char* RatingColour(std::string_view rating) {
  if (rating == TouchdownRating(-700)) return "#f4c7c3";
  if (rating == TouchdownRating(-400)) return "#fce1b8";
  if (rating == TouchdownRating(-200)) return "#d6efd0";
  return "#bfe8c4";
}

void LandingCards(std::string& out, const std::vector<LandingBlock>& landings) {
  out += "<h2 id=\"landings\">Landings</h2>\n";
  if (landings.empty()) out += "<p>No landing report for this flight.</p>\n";
  out += "<div class=\"cards\">\n";
  for (const LandingBlock& block : landings) {
    out += "<div class=\"card\"><h3>Landing " + XmlEscape(block.time.substr(11, 8)) +
           "z</h3><table>\n";
    for (const std::string& line : block.lines) {
      const size_t colon = line.find(": ");
      const std::string label = line.substr(0, colon);
      const std::string value = colon == std::string::npos ? "" : line.substr(colon + 2);
      const std::string style =
          label == "Rating" ? " style=\"background:" + std::string(RatingColour(value)) + "\"" : "";
      out += "<tr><th>" + XmlEscape(label) + "</th><td" + style + ">" + XmlEscape(value) +
             "</td></tr>\n";
    }
    out += "</table></div>\n";
  }
  out += "</div>\n";
}

}  // namespace

std::vector<LandingBlock> LandingsOfFlight(std::vector<LandingBlock> all, const Track& track) {
  if (track.points.empty()) return {};
  const std::string first = IsoTime(track.points.front().stamp);
  const std::string last = IsoTime(track.points.back().stamp);
  std::erase_if(all, [&](const LandingBlock& b) { return b.time < first || b.time > last; });
  return all;
}

std::vector<EventLine> GroupedEvents(const Track& track) {
  struct Open {
    std::vector<const TrackPoint*> events;
  };
  std::vector<EventLine> lines;
  std::map<std::string_view, Open> open;
  const auto close = [&lines](std::string_view group, Open& run) {
    if (run.events.size() >= kGroupFrom) {
      lines.push_back({run.events.front()->stamp,
                       std::string(group) + ": " + std::to_string(run.events.size()) +
                           " changes between " + HhMm(run.events.front()->stamp) + " and " +
                           HhMm(run.events.back()->stamp)});
    } else {
      for (const TrackPoint* p : run.events) lines.push_back({p->stamp, EventName(*p)});
    }
    run.events.clear();
  };
  for (const TrackPoint& p : track.points) {
    if (p.code.empty()) continue;
    const std::string_view group = GroupOf(p.code);
    if (group.empty()) {
      lines.push_back({p.stamp, EventName(p)});
      continue;
    }
    Open& run = open[group];
    if (!run.events.empty() && p.seconds - run.events.back()->seconds > kGroupGapS) {
      close(group, run);
    }
    run.events.push_back(&p);
  }
  for (auto& [group, run] : open) close(group, run);
  std::stable_sort(lines.begin(), lines.end(),
                   [](const EventLine& a, const EventLine& b) { return a.stamp < b.stamp; });
  return lines;
}

void WriteReviewPage(std::string& out, const Track& track,
                     const std::vector<LandingBlock>& landings, std::string_view name) {
  const auto& pts = track.points;
  const std::string title = XmlEscape(name.empty() ? std::string_view("Flight") : name);
  out +=
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<title>Flight review: " +
      title +
      "</title>\n<style>\n"
      "body{font-family:'DejaVu Sans',Verdana,Arial,sans-serif;margin:24px auto;"
      "max-width:940px;color:#222;background:#fff}\n"
      "h1{font-size:24px;margin:0 0 4px}h2{font-size:18px;margin:28px 0 8px;"
      "border-bottom:1px solid #ccd}h3{font-size:15px;margin:0 0 6px}\n"
      ".facts{color:#555;margin:0 0 12px}.chart{width:100%;height:auto;display:block;"
      "font-size:11px}.axis{font-size:12px;fill:#444}\n"
      ".cards{display:flex;flex-wrap:wrap;gap:12px}.card{border:1px solid #ccd;"
      "border-radius:6px;padding:10px 12px;flex:1 1 420px;background:#fafafe}\n"
      "table{border-collapse:collapse;width:100%;font-size:13px}th{text-align:left;"
      "font-weight:normal;color:#555;padding:2px 8px 2px 0;white-space:nowrap;"
      "vertical-align:top}td{padding:2px 4px}\n"
      "ul.events{font-size:13px;columns:2;padding-left:18px}\n"
      "</style>\n</head>\n<body>\n";
  out += "<h1>" + title + "</h1>\n";
  if (pts.empty()) {
    out += "<p>The flight log holds no record.</p>\n</body>\n</html>\n";
    return;
  }
  std::vector<double> distanceNm(pts.size(), 0.0);
  double topFt = pts[0].altitudeFt, fastestKt = 0;
  size_t flightLog = 0, animation = 0;
  for (size_t i = 0; i < pts.size(); ++i) {
    if (i > 0) {
      const bool gap = pts[i].startsRun || pts[i].seconds - pts[i - 1].seconds > 60;
      distanceNm[i] = distanceNm[i - 1] + (gap ? 0 : DistanceNm(pts[i - 1], pts[i]));
    }
    topFt = std::max(topFt, pts[i].altitudeFt);
    fastestKt = std::max(fastestKt, pts[i].groundSpeedKt);
    flightLog += pts[i].fromFlightLog;
    animation += pts[i].fromAnimation;
  }
  const int64_t minutes = (pts.back().seconds - pts.front().seconds + 30) / 60;
  out += "<p class=\"facts\">" + IsoTime(pts.front().stamp).substr(0, 10) + ", " +
         HhMm(pts.front().stamp) + "z to " + HhMm(pts.back().stamp) + "z (" +
         std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min), " +
         Fixed(distanceNm.back(), 1) + " NM flown, highest " + Fixed(topFt, 0) + " ft, fastest " +
         Fixed(fastestKt, 0) + " kt over the ground; " + std::to_string(flightLog) +
         " flight-log records, " + std::to_string(animation) + " animation records.</p>\n";

  const std::vector<size_t> chosen = ChartIndices(track);
  out += "<h2>Ground track</h2>\n";
  GroundTrack(out, track, chosen);
  out += "<h2>Vertical profile</h2>\n";
  VerticalProfile(out, track, chosen, distanceNm);
  out += "<h2>Speed</h2>\n";
  SpeedProfile(out, track, chosen);
  LandingCards(out, landings);
  out += "<h2>Events</h2>\n<ul class=\"events\">\n";
  for (const EventLine& line : GroupedEvents(track)) {
    out += "<li>" + ClockTime(line.stamp) + "z " + XmlEscape(line.text) + "</li>\n";
  }
  out += "</ul>\n<p class=\"facts\">Written by the Skytrace flightlogger from the flight log" +
         std::string(animation > 0 ? " and the animation log" : "") + ".</p>\n</body>\n</html>\n";
}

}  // namespace sky
