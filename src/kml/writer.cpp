#include "kml/writer.h"

#include <exception>

#include "core/app.h"
#include "core/messages.h"
#include "kml/kml_file.h"
#include "kml/log_records.h"
#include "kml/placemarks.h"
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
    const LogRecords log = ReadLogRecords(app.ports.files, inputLog);
    // The document goes out as it is built; one line, as the snippets hold no line breaks.
    KmlFileWriter out(app.ports.files, outputPath);
    out << ReplaceFirst(kml.KML, "NAME", XmlEscape(documentName));
    out << ReplaceFirst(kml.Folder, "NAME", "Flight");
    WritePathSegments(kml, separator, log.records, out);
    out << kml.FolderEnd;

    std::string location;
    if (realtime) {
      const RealtimeCamera camera = ComputeRealtimeCamera(app);
      location = BuildLocationDocument(app, camera);
      out << BuildAircraftPin(app, camera);
      out << PredictedPathAndTraffic(app);  // closes the "Aircraft position" folder
    }
    WriteSpecialPlacemarks(kml, separator, log.records, !realtime, out);
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
    ShowMessage(app, "Not able to convert flightlog");
    return false;
  }
}

}  // namespace sky
