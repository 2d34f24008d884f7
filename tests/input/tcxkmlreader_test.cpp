// What the TCX and KML readers make of each shape a file may take, and of
// damaged and hostile files: cut short, zipped wrongly, or unpacking without
// end.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "gpsreadcall.h"
#include "input/kmlreader.h"
#include "input/tcxreader.h"
#include "input/wholefile.h"
#include "input/xmlpieces.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "zipfixtures.h"

using namespace geovanta;

namespace {

const std::string kData(GEOVANTA_TEST_DATA);

using PieceReader = LoadResult (*)(std::string_view, GpsRead&, std::size_t);

struct Read {
    test::GpsReadCall call;
    std::vector<std::string> rows;  // "stat name lat lon feet hh:mm:ss.zzz" in the order read
};

Read readInPieces(PieceReader reader, std::string_view bytes, std::size_t pieceBytes) {
    DataTable t;
    Read r{test::callReader([&](std::string_view b, GpsRead& read) { return reader(b, read, pieceBytes); }, t,
                            bytes),
           {}};
    for (std::size_t row : test::fileOrder(t)) {
        char text[200];
        const CivilDateTime c = msToCivil(t.timeMs(row, FieldId::Time));
        std::snprintf(text, sizeof text, "%c %s %.6f %.6f %.1f %02d:%02d:%02d.%03d", t.stat(row),
                      std::string(t.text(row, FieldId::Name)).c_str(), t.real(row, FieldId::Lat),
                      t.real(row, FieldId::Lon), t.isNull(row, FieldId::Elev) ? -1.0 : t.real(row, FieldId::Elev),
                      c.hour, c.minute, c.second, c.millisecond);
        r.rows.push_back(text);
    }
    return r;
}

struct Shape {
    const char* what;
    std::string xml;
    std::vector<std::string> rows;
    std::size_t withoutTime, withoutPosition;
    uint16_t tracks;
    std::string failure = {};  // the whole message
};

// Read whole and in pieces of a few bytes, which must come out the same.
void expectShapes(PieceReader reader, const std::vector<Shape>& shapes) {
    for (const Shape& s : shapes) {
        for (std::size_t piece : {XmlPieces::kDefaultPieceBytes, std::size_t{16}}) {
            SCOPED_TRACE(std::string(s.what) + ", pieces of " + std::to_string(piece));
            const Read r = readInPieces(reader, s.xml, piece);
            EXPECT_EQ(r.rows, s.rows);
            EXPECT_EQ(r.call.stats.withoutTime, s.withoutTime);
            EXPECT_EQ(r.call.stats.withoutPosition, s.withoutPosition);
            EXPECT_EQ(r.call.tracks, s.tracks);
            EXPECT_EQ(r.call.result.message, s.failure);
            EXPECT_EQ(r.call.result.ok(), s.failure.empty());
        }
    }
}

std::string kml(const std::string& body) {
    return "<?xml version=\"1.0\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
           "xmlns:gx=\"http://www.google.com/kml/ext/2.2\"><Document>\n" +
           body + "\n</Document></kml>\n";
}

std::string tcxPoint(const std::string& time, const std::string& lat, const std::string& lon,
                     const std::string& more = "") {
    std::string p = "<Trackpoint>";
    if (!time.empty()) p += "<Time>" + time + "</Time>";
    if (!lat.empty())
        p += "<Position><LatitudeDegrees>" + lat + "</LatitudeDegrees><LongitudeDegrees>" + lon +
             "</LongitudeDegrees></Position>";
    return p + more + "</Trackpoint>";
}

}  // namespace

TEST(KmlReader, Shapes) {
    expectShapes(readKmlInPieces, {
        {"a gx:Track with its times first, a time without a position, signed numbers",
         kml("<Placemark><name>Run</name><gx:Track><altitudeMode>absolute</altitudeMode>"
             "<when>2010-12-01T08:15:00Z</when><when>2010-12-01T11:15:10+03:00</when>"
             "<when> 2010-12-01T08:15:20.5Z </when><gx:coord>37.6 55.75 140</gx:coord><gx:coord/>"
             "<gx:coord>+037.62 +55.77</gx:coord></gx:Track></Placemark>"),
         {"T T01-0001 55.750000 37.600000 459.3 08:15:00.000", "T T01-0002 55.770000 37.620000 -1.0 08:15:20.500"},
         0, 1, 1},
        {"times and positions taking turns; a gx:MultiTrack's segments numbered across; a date alone",
         kml("<Placemark><gx:MultiTrack><gx:Track><when>2010-12-01T08:00:00Z</when><gx:coord>1 2</gx:coord>"
             "<when>2010</when><gx:coord>1 3</gx:coord></gx:Track><gx:Track><when>2010-12-01T08:01:00Z</when>"
             "<gx:coord>1 4</gx:coord><gx:coord>1 5</gx:coord></gx:Track></gx:MultiTrack></Placemark>"
             "<Placemark><gx:Track><when>2010-12-01T09:00:00Z</when><when>2010-12-01T09:00:01Z</when>"
             "<gx:coord>2 2</gx:coord></gx:Track></Placemark>"),
         {"T T01-0001 2.000000 1.000000 -1.0 08:00:00.000", "T T01-0002 4.000000 1.000000 -1.0 08:01:00.000",
          "T T02-0001 2.000000 2.000000 -1.0 09:00:00.000"},
         2, 1, 2},
        {"Placemarks: a timed Point under any prefix, comments in its coordinates; a time without a place; "
         "a Point without a time or with a date alone; a LineString whatever its TimeSpan",
         kml("<k:Placemark xmlns:k=\"http://www.opengis.net/kml/2.2\"><k:Point><k:coordinates> +037.5<!-- x -->5"
             " , +55.5,120 </k:coordinates></k:Point><k:TimeStamp><k:when>2010-12-01T11:20:00+03:00</k:when>"
             "</k:TimeStamp><k:name> Кремль </k:name></k:Placemark>"
             "<Placemark><name>Stop</name><TimeStamp><when>2010-12-01T08:30:00Z</when></TimeStamp></Placemark>"
             "<Folder><Placemark><name>Gallery</name><Point><coordinates>37.6,55.7</coordinates></Point></Placemark>"
             "<Placemark><TimeStamp><when>1997-07</when></TimeStamp><Point><coordinates>1,2</coordinates></Point>"
             "</Placemark></Folder><Placemark><TimeSpan><begin>2010-12-01T08:00:00Z</begin></TimeSpan>"
             "<LineString><coordinates>1,2,3 4,5\n6 , 7</coordinates></LineString></Placemark>"),
         {"P Кремль 55.500000 37.550000 393.7 08:20:00.000"}, 5, 1, 0},
        {"a position that is no number ends the read at its line, with the points before it",
         kml("<Placemark><gx:Track><when>2010-12-01T08:00:00Z</when><when>2010-12-01T08:00:01Z</when>\n"
             "<gx:coord>1 2</gx:coord>\n<gx:coord>1 north</gx:coord></gx:Track></Placemark>"),
         {"T T01-0001 2.000000 1.000000 -1.0 08:00:00.000"}, 0, 0, 1,
         "'north' is not a valid floating point value for field 'Lat'\nt.xml, line 5"},
    });
}

TEST(TcxReader, Shapes) {
    const std::string head = "<?xml version=\"1.0\"?>\n<TrainingCenterDatabase "
                             "xmlns=\"http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2\">\n";
    expectShapes(readTcxInPieces, {
        {"activities are tracks, numbered across their laps; points without a place or time; course points",
         head + "<Activities><Activity><Lap><Track>" +
             tcxPoint("2010-12-01T08:00:00Z", "55.75", "37.6", "<AltitudeMeters>140</AltitudeMeters>") +
             tcxPoint("2010-12-01T08:00:01Z", "", "", "<AltitudeMeters>141</AltitudeMeters>") +
             "</Track></Lap><Lap><Track>" + tcxPoint("2010-12-01T11:00:02+03:00", "55.76", "37.61") +
             "</Track></Lap></Activity><Activity><Lap><Track>" + tcxPoint("", "1", "2") +
             tcxPoint("2010-12-01T09:00:00Z", "-33.5", "151.2",
                      "<Extensions>" + tcxPoint("2010-12-01T09:00:00Z", "1", "1") + "</Extensions>") +
             "</Track></Lap></Activity></Activities><Courses><Course><Name>Plan</Name><Track/><CoursePoint>"
             "<Name>Turn</Name><Time>2010-12-01T10:00:00Z</Time><Position><LatitudeDegrees>55</LatitudeDegrees>"
             "<LongitudeDegrees>37</LongitudeDegrees></Position></CoursePoint></Course></Courses>"
             "</TrainingCenterDatabase>",
         {"T T01-0001 55.750000 37.600000 459.3 08:00:00.000", "T T01-0002 55.760000 37.610000 -1.0 08:00:02.000",
          "T T02-0001 -33.500000 151.200000 -1.0 09:00:00.000", "P Turn 55.000000 37.000000 -1.0 10:00:00.000"},
         1, 1, 3},
        {"a latitude out of range ends the read at its line",
         head + "<Activities><Activity><Lap><Track>" + tcxPoint("2010-12-01T08:00:00Z", "55.75", "37.6") +
             "\n" + tcxPoint("2010-12-01T08:00:01Z", "95", "37.6") + "</Track></Lap></Activity></Activities>",
         {"T T01-0001 55.750000 37.600000 -1.0 08:00:00.000"}, 0, 0, 1, "'95' is out of range for field 'Lat'\nt.xml, line 4"},
    });
}

TEST(TcxKmlReaders, OtherFilesAreRejectedAndHeadsTold) {
    const std::string tcx = test::fileBytes(kData + "/ride.tcx"), ride = test::fileBytes(kData + "/ride.kml");
    for (const auto& [reader, bytes] : std::vector<std::pair<PieceReader, std::string>>{
             {readTcxInPieces, ride}, {readKmlInPieces, tcx}, {readKmlInPieces, " \r\n"}, {readTcxInPieces, "text"}}) {
        const Read r = readInPieces(reader, bytes, 64);
        EXPECT_EQ(r.call.result.status, LoadResult::Status::Rejected) << bytes.substr(0, 40);
        EXPECT_TRUE(r.rows.empty());
        EXPECT_EQ(r.call.tracks, 0);
    }
    EXPECT_TRUE(looksLikeTcx(tcx.substr(0, 400)));
    EXPECT_TRUE(looksLikeKml(ride.substr(0, 400)));
    EXPECT_TRUE(looksLikeKml("\xEF\xBB\xBF<?xml version='1.0'?><!-- <gpx> --><!DOCTYPE kml>\n<ns3:kml xmlns:ns3=''>"));
    EXPECT_FALSE(looksLikeKml("<kmlx>"));
    EXPECT_FALSE(looksLikeKml("<?xml version='1.0'?><km"));
    EXPECT_FALSE(looksLikeTcx(ride.substr(0, 400)));
}

// Every cut of a file keeps the points before it, whole or in pieces alike.
TEST(TcxKmlReaders, FilesCutShortKeepThePointsBeforeTheCut) {
    for (const auto& [reader, name] :
         std::vector<std::pair<PieceReader, std::string>>{{readTcxInPieces, "ride.tcx"}, {readKmlInPieces, "ride.kml"}}) {
        const std::string bytes = test::fileBytes(kData + "/" + name);
        const std::vector<std::string> full = readInPieces(reader, bytes, XmlPieces::kDefaultPieceBytes).rows;
        for (std::size_t cut = 0; cut <= bytes.rfind('>'); cut += 41) {
            SCOPED_TRACE(name + " cut at " + std::to_string(cut));
            const Read whole = readInPieces(reader, bytes.substr(0, cut), XmlPieces::kDefaultPieceBytes);
            const Read pieces = readInPieces(reader, bytes.substr(0, cut), 64);
            EXPECT_NE(whole.call.result.status, LoadResult::Status::Loaded);
            EXPECT_EQ(whole.call.result.message, pieces.call.result.message);
            EXPECT_EQ(whole.rows, pieces.rows);
            ASSERT_LE(whole.rows.size(), full.size());
            EXPECT_TRUE(std::equal(whole.rows.begin(), whole.rows.end(), full.begin()));
        }
    }
}

TEST(KmzReader, DamagedAndHostileArchives) {
    const std::string ride = test::fileBytes(kData + "/ride.kml");
    const std::string bomb = ride.substr(0, ride.find("</kml>")) + std::string(16 << 20, ' ') + "</kml>";
    // The archive owns up to the two waypoints only.
    std::string lying = test::zipOf({{"bomb.kml", bomb}});
    test::claimSize(lying, static_cast<uint32_t>(ride.find("<Placemark>\n        <name>Gallery")));
    std::string huge = test::zipOf({{"doc.kml", ride}});
    test::claimSize(huge, 0x80000000u);
    std::string crcWrong = test::zipOf({{"doc.kml", ride, true}});
    crcWrong[crcWrong.find("<description>Start") + 13] = 's';
    const std::string good = test::zipOf({{"files/readme.txt", "x"}, {"a.KML", ride}, {"b.kml", "junk"}});
    const struct {
        const char* what;
        std::string zip;
        LoadResult::Status status;
        std::string message;
        std::size_t rows;
    } cases[] = {
        {"the first .kml is read", good, LoadResult::Status::Loaded, "", 11},
        {"no zip", ride, LoadResult::Status::Rejected, "The file is not a KML file!", 0},
        {"no .kml", test::zipOf({{"doc.txt", ride}}), LoadResult::Status::Rejected, "The archive t.kmz holds no KML file", 0},
        {"cut short", good.substr(0, good.size() / 2), LoadResult::Status::Failed, "The archive t.kmz is damaged: ", 0},
        {"wrong checksum", crcWrong, LoadResult::Status::Loaded, "", 11},
        {"unpacks beyond the limit", test::zipOf({{"bomb.kml", bomb}}), LoadResult::Status::Failed,
         "bomb.kml in the archive t.kmz unpacks to more than 1 MB", 0},
        {"unpacks beyond its stated size", lying, LoadResult::Status::Failed,
         "The archive t.kmz is damaged: bomb.kml unpacks to more than the archive states", 2},
        {"states a size beyond the whole limit", huge, LoadResult::Status::Failed,
         "doc.kml in the archive t.kmz unpacks to more than 1024 MB", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto start = std::chrono::steady_clock::now();
        const bool wholeLimit = std::string_view(c.what).starts_with("states");
        DataTable t;
        const test::GpsReadCall call = test::callReader(
            [&](std::string_view b, GpsRead& read) { return readKmzWithLimit(b, read, wholeLimit ? kMaxWholeFileBytes : 1 << 20); },
            t, c.zip, "t.kmz");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_EQ(call.result.status, c.status);
        EXPECT_EQ(call.result.message.substr(0, c.message.size()), c.message);
        EXPECT_EQ(t.rowCount(), c.rows);
        EXPECT_EQ(call.stats.warnings.size(), std::string_view(c.what) == "wrong checksum" ? 1u : 0u);
    }
}
