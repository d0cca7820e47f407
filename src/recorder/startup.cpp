#include "recorder/startup.h"

#include <cstdio>
#include <optional>

#include "core/app.h"
#include "core/numtext.h"
#include "instruments/status_window.h"
#include "instruments/tcas.h"
#include "kml/convert.h"
#include "kml/templates.h"
#include "online/online.h"
#include "realtime/link.h"
#include "recorder/flightlog.h"
#include "recorder/logging.h"
#include "settings/parameters.h"
#include "shell/messages.h"
#include "simlink/connection.h"
#include "simlink/flightdata.h"

namespace sky {
namespace {

std::string TwoDigits(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

std::string DateDigits(const LocalDateTime& local) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", local.year, local.month, local.day);
  return text;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(year - era * 400);
  const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

bool IsLeap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Minutes since 1970 of a "dd-mm-yyyy hh:mm" text; empty when it is not a valid date and time.
std::optional<int64_t> MinutesOf(const std::string& text) {
  int day = 0, month = 0, year = 0, hour = 0, minute = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%2d-%2d-%4d %2d:%2d%c", &day, &month, &year, &hour, &minute,
                  &tail) != 5) {
    return std::nullopt;
  }
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 100 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59) {
    return std::nullopt;
  }
  if (day > kDays[month - 1] + (month == 2 && IsLeap(year))) return std::nullopt;
  return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 1440 +
         hour * 60 + minute;
}

// Splits a file's text into its lines (CR LF or LF ends).
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    const bool last = end == std::string_view::npos;
    if (last) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!visit(line)) return;
    start = end + 1;
  }
}

void Fail(App& app, const std::string& title, const std::string& text) {
  app.ports.dialogs.MessageBox(title, text, MessageButtons::Ok);
  app.ended = true;
  app.ports.shell.EndProgram();
}

}  // namespace

std::string UtcTimeOf(App& app, const LocalDateTime& local) {
  const TimeZoneInfo zone = app.ports.clock.TimeZone();
  const int bias = zone.biasMinutes +
                   (zone.daylightActive ? zone.daylightBiasMinutes : zone.standardBiasMinutes);
  const int hours = static_cast<int>(RoundHalfEven(bias / 60.0));
  const int hour = ((local.hour + hours) % 24 + 24) % 24;
  return TwoDigits(hour) + TwoDigits(local.minute);
}

std::string GetUtcTime(App& app) {
  return UtcTimeOf(app, app.ports.clock.LocalNow());
}

std::string Timestamp(App& app) {
  const LocalDateTime now = app.ports.clock.LocalNow();
  return DateDigits(now) + UtcTimeOf(app, now) + TwoDigits(now.second);
}

bool IsLogRecent(App& app) {
  FileSystem& files = app.ports.files;
  const std::string& log = app.g.FlightLogPath;
  if (!files.Append(log, "")) return false;
  const auto text = files.ReadAll(log);
  if (!text) return false;
  std::string last;
  ForEachLine(*text, [&last](std::string_view line) {
    if (!line.empty()) last = line;
    return true;
  });
  const std::string stamp = last.substr(0, last.find(':'));
  const auto recorded = MinutesOf(CorrectDatumTijd(stamp));
  if (!recorded) return false;
  const LocalDateTime now = app.ports.clock.LocalNow();
  const std::string utc = GetUtcTime(app);
  char current[32];
  std::snprintf(current, sizeof current, "%02d-%02d-%04d %s", now.day, now.month, now.year,
                FormatDigits(utc, "00:00").c_str());
  const auto present = MinutesOf(current);
  if (!present) return false;
  return *present - *recorded <= 60;
}

bool LogHasRecords(App& app) {
  // Five lines are all that is looked at; a head of the file holds them unless they are huge.
  auto text = app.ports.files.ReadHead(app.g.FlightLogPath, 1 << 16);
  if (!text) return false;
  int lines = 0;
  std::string_view lastLine;
  auto visit = [&](std::string_view line) {
    lastLine = line;
    return ++lines < 5;
  };
  ForEachLine(*text, visit);
  if (lines < 5 && text->size() == (1u << 16)) {
    text = app.ports.files.ReadAll(app.g.FlightLogPath);
    if (!text) return false;
    lines = 0;
    ForEachLine(*text, visit);
  }
  return !lastLine.empty();
}

bool Form_Load(App& app) {
  Globals& g = app.g;
  RestartTimer(app, app.Form1.Timer1);
  RestartTimer(app, app.Form1.Timer2);

  g.AppTitle = "Skytrace flightlogger";
  g.ProductName = "Skytrace";
  g.UpdateCheckWanted = CheckOnline(app);
  g.UsageReportPending = true;
  g.FirstMinimise = true;
  app.Form1.caption = g.AppTitle;
  g.TcasRange = 20;
  g.TcasMode = 0;
  app.Form1.Label9.text = FormatDigits(GetUtcTime(app), "00:00") + "z";
  UpdateStatusLabels(app, false, false, false);
  g.ChaseView = true;
  g.ViewRight = false;
  g.LoggingOn = false;

  std::string dataFolder;
  try {
    dataFolder = AppDataFolder(app);
  } catch (const FolderNotFound& error) {
    Fail(app, g.AppTitle, error.what());
    return false;
  }
  g.FlightLogPath = dataFolder + kFlightLogFile;
  FileSystem& files = app.ports.files;
  if (!files.CreateDirectories(dataFolder)) {
    Fail(app, g.AppTitle, "Unable to create the folder " + dataFolder);
    return false;
  }
  files.Append(dataFolder + kOffsetsFile, "");
  LoadLoggingParameters(app);
  SaveLoggingParameters(app);
  LoadLoggingParameters(app);
  if (!LoadKmlTemplates(app)) return false;
  files.Append(g.FlightLogPath, "");

  const std::string twoAndAHalf = app.ports.system.LocaleNumberText(5.0 / 2);
  if (twoAndAHalf.find(',') != std::string::npos) {
    g.DecimalIsComma = true;
    g.DecimalSeparator = ",";
  }
  if (twoAndAHalf.find('.') != std::string::npos) {
    g.DecimalIsComma = false;
    g.DecimalSeparator = ".";
  }

  if (!IsLogRecent(app)) ResetLog(app, true);
  ShowMessage(app,
              g.AppTitle + ", made by simmers for simmers. Have fun using the " + g.AppTitle + "!");
  g.RealtimeOn = false;
  EnableViewButtons(app, false);
  app.Form1.visible = true;
  Timer1_Timer(app);
  return !app.ended;
}

void Timer1_Timer(App& app) {
  if (app.ended) return;
  Globals& g = app.g;
  Form1Controls& form = app.Form1;

  form.btn_resetlog.enabled = LogHasRecords(app);
  form.btn_Convert.enabled = form.btn_resetlog.enabled;
  form.btn_startlog.enabled = g.Connected;
  form.btn_ToggleRealtime.enabled = g.Connected;
  form.btn_startAnimate.enabled = g.Connected;
  form.btn_stoplog.enabled = g.Connected;

  const std::string& clock = form.Label9.text;
  const bool colon = clock.size() >= 3 && clock[2] == ':';
  form.Label9.text = FormatDigits(GetUtcTime(app), colon ? "00 00" : "00:00") + "z";

  if (!g.Connected) {
    int32_t result = 0;
    g.Connected = OpenLink(app.link, 0, result);
  } else {
    ReadFlightData(app);
    UpdateStatusLabels(app, g.LoggingOn, false, g.RealtimeOn);
    if (!g.Connected) return;

    if (app.prev.Latitude.empty()) app.prev.Latitude = app.sample.Latitude;
    if (app.prev.Longitude.empty()) app.prev.Longitude = app.sample.Longitude;
    for (std::string* lastLogged : {&g.LastLoggedHeading, &g.LastLoggedVerticalSpeed,
                                    &g.LastLoggedGroundSpeed, &g.LastLoggedAltitude}) {
      if (lastLogged->empty()) *lastLogged = "0";
    }
    if (g.StatusWindowOpen) WriteStatusLines(app);
    RecordSample(app, "", false);
    if (app.ended) return;
    if (g.RealtimeOn) WriteRealtimeDocuments(app);

    const FlightSample& s = app.sample;
    PreviousSample& p = app.prev;
    p.Heading = s.Heading;
    p.GroundSpeed = s.GroundSpeed;
    p.Latitude = s.Latitude;
    p.Longitude = s.Longitude;
    p.Altitude = s.Altitude;
    p.VerticalSpeed = s.VerticalSpeed;
    p.OnGround = s.OnGround;
    p.Spoilers = s.Spoilers;
    p.TailHook = s.TailHook;
    p.Overspeed = s.Overspeed;
    p.Stall = s.Stall;
    p.InnerMarker = s.InnerMarker;
    p.MiddleMarker = s.MiddleMarker;
    p.OuterMarker = s.OuterMarker;
    p.LocalizerInBand = s.LocalizerInBand;
    p.GlideslopeState = s.GlideslopeState;
    p.GlideslopeFlag = s.GlideslopeFlag;
    p.GlideslopeNeedle = s.GlideslopeNeedle;
    g.PrevTimestamp = Timestamp(app);
  }

  if (g.Connected) {
    ShowConnected(app, true);
  } else {
    g.TcasMode = 0;
    ShowTcasOff(app);
    ShowConnected(app, false);
    if (form.windowState == WindowState::Minimized && g.WasConnected) {
      form.windowState = WindowState::Normal;
      form.visible = true;
      form.trayIcon = false;
    }
  }
  if (g.UsageReportPending) {
    SendUsageReport(app);
    g.UsageReportPending = false;
  }
  g.WasConnected = g.Connected;
}

void Form_Unload(App& app) {
  app.Form1.trayIcon = false;
  app.Form1.closed = true;
  app.ended = true;
}

}  // namespace sky
