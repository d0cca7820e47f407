#include "kml/writer.h"

#include <exception>
#include <optional>

#include "kml/kml_file.h"
#include "kml/log_records.h"
#include "kml/placemarks.h"
#include "kml/segments.h"
#include "kml/templates.h"
#include "kml/traffic_kml.h"
#include "kml/xml_escape.h"

namespace sky {

bool WriteKmlDocument(const KmlOutput& output, const std::string& inputLog,
                      const std::string& outputPath, const std::string& documentName,
                      const BeforeEndWriter& beforeEnd) {
  const KmlTemplateSet& kml = output.kml;
  try {
    const LogRecords log = ReadLogRecords(output.files, inputLog);
    // The document goes out as it is built; one line, as the snippets hold no line breaks.
    KmlFileWriter out(output.files, outputPath);
    out << ReplaceFirst(kml.KML, "NAME", XmlEscape(documentName));
    out << ReplaceFirst(kml.Folder, "NAME", "Flight");
    WritePathSegments(kml, output.separator, log.records, out);
    out << kml.FolderEnd;
    WriteSpecialPlacemarks(kml, output.separator, log.records, true, out);
    if (beforeEnd) {
      const uint64_t mark = out.Mark();
      if (!beforeEnd(out)) out.RewindTo(mark);
    }
    out << kml.KMLEnd << "\r\n";
    out.Commit();
    return true;
  } catch (const std::exception&) {
    output.board.Post("Not able to convert flightlog");
    return false;
  }
}

bool WriteRealtimeKmlDocuments(const KmlOutput& output, const RealtimeDocuments& documents,
                               const RealtimeScene& scene, RealtimeRenderingCache& cache) {
  const KmlTemplateSet& kml = output.kml;
  try {
    // The realtime log's records as earlier ticks rendered them, and the rest.
    const RenderedRecords rendered =
        RenderRealtimeRecords(output.files, kml, output.separator, documents.inputLog, cache);
    KmlFileWriter out(output.files, documents.outputPath);
    out << ReplaceFirst(kml.KML, "NAME", XmlEscape(documents.documentName));
    out << ReplaceFirst(kml.Folder, "NAME", "Flight");
    WriteRenderedPath(rendered, out);
    out << kml.FolderEnd;

    const RealtimeCamera camera = ComputeRealtimeCamera(scene);
    std::string location = BuildLocationDocument(kml, scene, camera);
    out << BuildAircraftPin(kml, scene, camera);
    out << PredictedPathAndTraffic(kml, scene, output.board);  // closes "Aircraft position"
    WriteRenderedPlacemarks(rendered, out);
    out << kml.KMLEnd << "\r\n";
    out.Commit();

    location.append(kml.KMLEnd).append("\r\n");
    WriteKmlFile(output.files, documents.locationPath, location);
    return true;
  } catch (const std::exception&) {
    // Whatever failed, the next realtime document starts over from the whole log.
    cache.reset();
    output.board.Post("Not able to convert flightlog");
    return false;
  }
}

}  // namespace sky
