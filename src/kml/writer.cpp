#include "kml/writer.h"

#include <exception>
#include <optional>

#include "core/app.h"
#include "core/messages.h"
#include "kml/kml_file.h"
#include "kml/log_records.h"
#include "kml/placemarks.h"
#include "kml/realtime_records.h"
#include "kml/realtime_view.h"
#include "kml/segments.h"
#include "kml/templates.h"
#include "kml/traffic_kml.h"
#include "kml/xml_escape.h"

namespace sky {

bool WriteKmlDocument(App& app, const std::string& inputLog, const std::string& outputPath,
                      const std::string& documentName, bool realtime,
                      const std::string& locationPath, const BeforeEndWriter& beforeEnd) {
  const KmlTemplateSet& kml = app.kml;
  const std::string& separator = app.g.DecimalSeparator;
  try {
    // The realtime log's records as earlier ticks rendered them, and the rest; a converted
    // flight's records are rendered as they are written.
    std::optional<RenderedRecords> rendered;
    std::optional<LogRecords> log;
    if (realtime) {
      rendered = RenderRealtimeRecords(app, inputLog);
    } else {
      log = ReadLogRecords(app.ports.files, inputLog);
    }
    // The document goes out as it is built; one line, as the snippets hold no line breaks.
    KmlFileWriter out(app.ports.files, outputPath);
    out << ReplaceFirst(kml.KML, "NAME", XmlEscape(documentName));
    out << ReplaceFirst(kml.Folder, "NAME", "Flight");
    if (rendered) {
      WriteRenderedPath(*rendered, out);
    } else {
      WritePathSegments(kml, separator, log->records, out);
    }
    out << kml.FolderEnd;

    std::string location;
    if (realtime) {
      const RealtimeCamera camera = ComputeRealtimeCamera(app);
      location = BuildLocationDocument(app, camera);
      out << BuildAircraftPin(app, camera);
      out << PredictedPathAndTraffic(app);  // closes the "Aircraft position" folder
    }
    if (rendered) {
      WriteRenderedPlacemarks(*rendered, out);
    } else {
      WriteSpecialPlacemarks(kml, separator, log->records, true, out);
    }
    if (beforeEnd) {
      const uint64_t mark = out.Mark();
      if (!beforeEnd(out)) out.RewindTo(mark);
    }
    out << kml.KMLEnd << "\r\n";
    out.Commit();

    if (realtime) {
      location.append(kml.KMLEnd).append("\r\n");
      WriteKmlFile(app.ports.files, locationPath, location);
    }
    return true;
  } catch (const std::exception&) {
    // Whatever failed, the next realtime document starts over from the whole log.
    if (realtime) ForgetRealtimeRendering(app);
    ShowMessage(app, "Not able to convert flightlog");
    return false;
  }
}

}  // namespace sky
