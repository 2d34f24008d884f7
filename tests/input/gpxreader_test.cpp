#include "input/gpxreader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "table/datatable.h"
#include "table/datetime.h"
#include "table/messages.h"
#include "table/numbertext.h"
#include "input/ozifileheaders.h"
#include "unicsv.h"

using namespace geovanta;

namespace {

constexpr double kFeetPerMetre = 1 / 0.3048;

std::string gpx(std::string_view body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<gpx version=\"1.1\" creator=\"test\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n" +
           std::string(body) + "</gpx>\n";
}

// A track point one second apart per `second`, on one line.
std::string trkpt(int second, std::string_view extra = "<ele>100</ele>") {
    const std::string s = std::to_string(100 + second).substr(1);
    return "<trkpt lat=\"55." + s + "\" lon=\"37." + s + "\">" + std::string(extra) + "<time>2010-12-01T08:15:" + s +
           "Z</time></trkpt>\n";
}

int64_t utc(int h, int mi, int s, int ms = 0) { return *civilToMs(CivilDateTime{2010, 12, 1, h, mi, s, ms}); }

class GpxReaderTest : public ::testing::Test {
protected:
    LoadResult load(std::string_view bytes, std::size_t pieceBytes = 0) {
        GpxReader reader(table, trackCounter);
        if (pieceBytes) reader.setPieceBytes(pieceBytes);
        const LoadResult r = reader.loadBytes(bytes, "t.gpx");
        stats = reader.stats();
        return r;
    }
    std::vector<std::size_t> fileOrder() const { return test::fileOrder(table); }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (std::size_t row : fileOrder()) out.emplace_back(table.text(row, FieldId::Name));
        return out;
    }
    // Every stored field of every row, in file order.
    std::string dump() const {
        std::string out;
        for (std::size_t row : fileOrder()) {
            out += std::string(table.text(row, FieldId::Stat)) + "|" + std::string(table.text(row, FieldId::Name)) +
                   "|" + std::to_string(table.timeMs(row, FieldId::Time));
            for (FieldId f : {FieldId::Lat, FieldId::Lon, FieldId::Elev})
                out += "|" + (table.isNull(row, f) ? std::string("-") : formatShortest(table.real(row, f)));
            out += "\n";
        }
        return out;
    }
    std::string firstLine(const LoadResult& r) const { return r.message.substr(0, r.message.find('\n')); }
    std::string where(const LoadResult& r) const { return r.message.substr(r.message.find('\n') + 1); }

    DataTable table;
    uint16_t trackCounter = 0;
    GpxLoadStats stats;
};

}  // namespace

TEST_F(GpxReaderTest, TracksRoutesAndWaypoints) {
    trackCounter = 4;  // tracks loaded before go on counting
    const std::string file =
        gpx("<wpt lat=\"55.75\" lon=\"37.61\"><time>2010-12-01T08:20:00Z</time><name>Кремль</name></wpt>\n"
            "<trk><name>Ride</name><trkseg>" + trkpt(1) + trkpt(2) + "</trkseg>\n<trkseg>" + trkpt(3) +
            "</trkseg></trk>\n"
            "<rte><rtept lat=\"55.7\" lon=\"37.6\"><time>2010-12-01T08:00:00Z</time><name>A</name></rtept>"
            "<rtept lat=\"55.8\" lon=\"37.7\"><time>2010-12-01T08:10:00Z</time></rtept></rte>\n"
            "<trk><name>Empty</name></trk>\n<trk><trkseg>" + trkpt(4) + "</trkseg></trk>\n");
    ASSERT_TRUE(load(file).ok());
    const std::vector<std::string> expected = {"Кремль",   "T05-0001", "T05-0002", "T05-0003",
                                               "T06-0001", "T06-0002", "T08-0001"};
    EXPECT_EQ(names(), expected) << "points numbered across segments; routes and empty tracks count";
    EXPECT_EQ(trackCounter, 8);
    const std::vector<std::size_t> rows = fileOrder();
    EXPECT_EQ(table.text(rows[0], FieldId::Stat), "P");
    for (std::size_t k = 1; k < rows.size(); ++k) EXPECT_EQ(table.text(rows[k], FieldId::Stat), "T");
    EXPECT_EQ(table.timeMs(rows[0], FieldId::Time), utc(8, 20, 0));
    EXPECT_EQ(table.real(rows[4], FieldId::Lat), 55.7);
    EXPECT_EQ(stats.points, 7u);
    EXPECT_EQ(stats.pointsWithoutTime, 0u);
    // Binding is the load's, once for everything it read: the reader leaves
    // the rows unshifted in file order.
    for (std::size_t row = 0; row < table.rowCount(); ++row) EXPECT_TRUE(table.isNull(row, FieldId::VTime));
    EXPECT_EQ(table.text(0, FieldId::Name), "Кремль");
    EXPECT_FALSE(table.displaySuspended());

    ASSERT_TRUE(load(file).ok());
    EXPECT_EQ(table.rowCount(), 14u) << "loading appends";
    EXPECT_EQ(trackCounter, 12);
}

TEST_F(GpxReaderTest, ValuesAsTheTableKeepsThem) {
    const std::string longName(70, 'x');
    auto waypoint = [](const std::string& name) {
        return "<wpt lat=\"1\" lon=\"2\"><time>2010-12-01T08:19:00Z</time>" + name + "</wpt>\n";
    };
    ASSERT_TRUE(load(gpx("<trk><trkseg>\n"
                         "<trkpt lat=\" -33.856784 \" lon=\"151.215297\"><ele>\n 100 \n</ele>"
                         "<time>2010-12-01T11:15:00.250+03:00</time></trkpt>\n"
                         "<trkpt lat=\"55\" lon=\"37\"><time>2010-12-01T03:16:00-05:00</time></trkpt>\n"
                         "<trkpt lat=\"55\" lon=\"37\"><ele></ele><time>2010-12-01T08:17:00</time></trkpt>\n"
                         "<trkpt lat=\"55\" lon=\"37\"><ele>-12.5</ele><time>2010-12-01T08:18:00Z</time></trkpt>\n"
                         "</trkseg></trk>\n" +
                         waypoint("<name> Ride &amp; walk </name>") + waypoint("<name><![CDATA[<Bolshoi>]]></name>") +
                         waypoint("<name>" + longName + "</name>") + waypoint("")))
                    .ok());
    const std::vector<std::size_t> rows = fileOrder();
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(table.real(rows[0], FieldId::Lat), -33.856784);
    EXPECT_EQ(table.real(rows[0], FieldId::Lon), 151.215297);
    EXPECT_DOUBLE_EQ(table.real(rows[0], FieldId::Elev), 100 * kFeetPerMetre) << "metres are stored as feet";
    EXPECT_EQ(table.vElev(rows[0]), 100);
    EXPECT_EQ(table.timeMs(rows[0], FieldId::Time), utc(8, 15, 0, 250)) << "times are UTC";
    EXPECT_EQ(table.timeMs(rows[1], FieldId::Time), utc(8, 16, 0));
    EXPECT_EQ(table.timeMs(rows[2], FieldId::Time), utc(8, 17, 0)) << "no zone is UTC";
    EXPECT_TRUE(table.isNull(rows[1], FieldId::Elev)) << "no elevation, no altitude";
    EXPECT_TRUE(table.isNull(rows[2], FieldId::Elev));
    EXPECT_DOUBLE_EQ(table.real(rows[3], FieldId::Elev), -12.5 * kFeetPerMetre);
    EXPECT_EQ(table.text(rows[4], FieldId::Name), "Ride & walk");
    EXPECT_EQ(table.text(rows[5], FieldId::Name), "<Bolshoi>");
    EXPECT_EQ(table.text(rows[6], FieldId::Name), longName.substr(0, 64));
    EXPECT_EQ(table.text(rows[7], FieldId::Name), "");
}

// The table shows whole metres truncated from the feet it keeps; a metre
// value from the file must come back, not one less.
TEST_F(GpxReaderTest, WholeMetresStayWhole) {
    std::string body = "<trk><trkseg>";
    for (int metres = -500; metres <= 9000; ++metres)
        body += "<trkpt lat=\"1\" lon=\"1\"><ele>" + std::to_string(metres) +
                "</ele><time>2010-12-01T08:15:00Z</time></trkpt>";
    ASSERT_TRUE(load(gpx(body + "</trkseg></trk>")).ok());
    int metres = -500;
    for (std::size_t row : fileOrder()) {
        ASSERT_EQ(table.vElev(row), metres);
        ASSERT_NEAR(table.real(row, FieldId::Elev), metres * kFeetPerMetre, 1e-9);
        ++metres;
    }
}

TEST_F(GpxReaderTest, PointsWithoutTimeAreSkippedAndCounted) {
    ASSERT_TRUE(load(gpx("<trk><trkseg>" + trkpt(1) + "<trkpt lat=\"55\" lon=\"37\"><ele>5</ele></trkpt>\n" +
                         "<trkpt lat=\"55\" lon=\"37\"><time> </time></trkpt>\n" + trkpt(2) +
                         "</trkseg></trk>\n<wpt lat=\"55\" lon=\"37\"><name>Gallery</name></wpt>\n"))
                    .ok());
    EXPECT_EQ(names(), (std::vector<std::string>{"T01-0001", "T01-0002"})) << "a skipped point uses no number";
    EXPECT_EQ(stats.pointsWithoutTime, 3u);
    EXPECT_EQ(stats.points, 2u);
    for (std::size_t row = 0; row < table.rowCount(); ++row) EXPECT_GT(table.timeMs(row, FieldId::Time), 0);
}

// An altitude beyond any real one is no altitude: the point stays without it,
// and is counted for the person.
TEST_F(GpxReaderTest, AbsurdAltitudesAreDroppedAndCounted) {
    auto point = [](const char* ele) {
        return "<wpt lat=\"55\" lon=\"37\"><ele>" + std::string(ele) + "</ele><time>2010-12-01T08:15:09Z</time></wpt>\n";
    };
    const LoadResult r = load(gpx(point("1e20") + point("-1e999") + point("304801") + point("8848") +
                                  "<wpt lat=\"55\" lon=\"37\"><ele>1e20</ele></wpt>\n"));
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(r.altitudesOutOfRange, 3u) << "the point without a time is not counted twice";
    EXPECT_EQ(stats.altitudesOutOfRange, 3u);
    ASSERT_EQ(table.rowCount(), 4u);
    for (std::size_t row = 0; row < 3; ++row) EXPECT_EQ(table.real(row, FieldId::Elev), -777) << row;
    EXPECT_EQ(table.vElev(3), 8848);
}

TEST_F(GpxReaderTest, BadValuesStopWithFileLineAndReason) {
    struct Case {
        const char* point;
        const char* message;
    };
    const Case cases[] = {
        {"<trkpt lon=\"37\"><time>2010-12-01T08:15:09Z</time></trkpt>", "The point has no 'lat' attribute"},
        {"<trkpt lat=\"55\"><time>2010-12-01T08:15:09Z</time></trkpt>", "The point has no 'lon' attribute"},
        {"<trkpt lat=\"north\" lon=\"37\"/>", "'north' is not a valid floating point value for field 'Lat'"},
        {"<trkpt lat=\"55,5\" lon=\"37\"/>", "'55,5' is not a valid floating point value for field 'Lat'"},
        {"<trkpt lat=\"\" lon=\"37\"/>", "'' is not a valid floating point value for field 'Lat'"},
        {"<trkpt lat=\"nan\" lon=\"37\"/>", "'nan' is not a valid floating point value for field 'Lat'"},
        {"<trkpt lat=\"1e999\" lon=\"37\"/>", "'1e999' is not a valid floating point value for field 'Lat'"},
        {"<trkpt lat=\"90.000001\" lon=\"37\"/>", "'90.000001' is out of range for field 'Lat'"},
        {"<trkpt lat=\"55\" lon=\"-180.5\"/>", "'-180.5' is out of range for field 'Lon'"},
        {"<trkpt lat=\"55\" lon=\"37\">\n<ele>high</ele></trkpt>",
         "'high' is not a valid floating point value for field 'Elev'"},
        {"<trkpt lat=\"55\" lon=\"37\">\n<time>yesterday</time></trkpt>", "'yesterday' is not a valid date and time"},
        {"<trkpt lat=\"55\" lon=\"37\">\n<time>2010-12-01T08:15:09+25:00</time></trkpt>",
         "'2010-12-01T08:15:09+25:00' is not a valid date and time"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.point);
        table.clear();
        trackCounter = 0;
        const std::string point = c.point;
        const LoadResult r = load(gpx("<trk><trkseg>\n" + trkpt(1) + point + "\n" + trkpt(2) + "</trkseg></trk>\n"));
        EXPECT_EQ(r.status, LoadResult::Status::Failed);
        EXPECT_EQ(firstLine(r), c.message);
        // The line of the point, or of its element at fault.
        EXPECT_EQ(where(r), point.find('\n') == std::string::npos ? "t.gpx, line 5" : "t.gpx, line 6");
        EXPECT_EQ(names(), std::vector<std::string>{"T01-0001"}) << "the point before stays";
        EXPECT_EQ(trackCounter, 1);
    }
    // Edges of the ranges are coordinates.
    table.clear();
    ASSERT_TRUE(load(gpx("<wpt lat=\"-90\" lon=\"180\"><time>2010-12-01T08:15:09Z</time></wpt>"
                         "<wpt lat=\"90\" lon=\"-180\"><time>2010-12-01T08:15:09Z</time></wpt>"))
                    .ok());
    EXPECT_EQ(table.rowCount(), 2u);
}

TEST_F(GpxReaderTest, MalformedXmlKeepsThePointsThatEndedBeforeIt) {
    struct Case {
        std::string tail;  // after two good points, each on a line of its own (lines 4 and 5)
        std::string reason;
        std::size_t line;
        std::size_t kept;
    };
    const std::string third = trkpt(3);
    const Case cases[] = {
        {"<trkpt lat=\"55\" lon=\"37\"><time>2010-12-01T08:15:09Z</time></trkpx>\n</trkseg></trk></gpx>\n",
         "Start-end tags mismatch", 6, 2},
        {third.substr(0, third.size() - 2), "Error parsing end element tag", 6, 2},  // cut short in its end tag
        {"<trkpt lat=\"55\" lon=37><time>2010-12-01T08:15:09Z</time></trkpt>\n</trkseg></trk></gpx>\n",
         "Error parsing element attribute", 6, 2},
        {"<!-- a comment that never ends\n" + third, "Error parsing comment", 7, 2},
        {"</trkseg>\n" + third + "</trkseg></trk></gpx>", "Start-end tags mismatch", 8, 2},
        {third + "</trkseg></trk>", "Start-end tags mismatch", 7, 3},  // no end of the document
        {third + "<trkpt lat=\"55\" lon=\"37\">", "Start-end tags mismatch", 7, 3},
        {"<trkpt lat=\"55\" lon=\"37\"><time>2010-12-01T08:15:09Z</time></>", "Start-end tags mismatch", 6, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tail);
        for (std::size_t piece : {std::size_t{0}, std::size_t{1}, std::size_t{50}}) {
            SCOPED_TRACE(piece);
            table.clear();
            trackCounter = 0;
            const std::string file = "<gpx>\n<trk>\n<trkseg>\n" + trkpt(1) + trkpt(2) + c.tail;
            const LoadResult r = load(file, piece);
            EXPECT_EQ(r.status, LoadResult::Status::Failed);
            EXPECT_EQ(r.message, "Malformed XML: " + c.reason + "\nt.gpx, line " + std::to_string(c.line));
            EXPECT_EQ(table.rowCount(), c.kept);
            EXPECT_EQ(trackCounter, 1);
        }
    }
}

TEST_F(GpxReaderTest, FilesThatAreNoGpxAreRejectedUntouched) {
    for (const std::string& file : {std::string("<kml><Document/></kml>"),
                                   std::string("OziExplorer Track Point File Version 2.1\r\nWGS 84\r\n"),
                                   std::string("\xFF\xD8\xFF\xE0 <not xml")}) {
        SCOPED_TRACE(file);
        const LoadResult r = load(file);
        EXPECT_EQ(r.status, LoadResult::Status::Rejected);
        EXPECT_EQ(r.message, textOf(Msg::NotGpx));
    }
    // Without a single element: which of several files was empty is said.
    for (const std::string& file : {std::string(""), std::string("\xEF\xBB\xBF  \n"),
                                   std::string("<?xml version=\"1.0\"?>"), std::string("<!-- only -->")}) {
        SCOPED_TRACE(file);
        const LoadResult r = load(file);
        EXPECT_EQ(r.status, LoadResult::Status::Rejected);
        EXPECT_EQ(r.message, textOf(Msg::GpxEmpty, {"t.gpx"}));
    }
    const std::string utf16("\xFF\xFE<\0g\0p\0x\0", 10);
    const LoadResult wide = load(utf16);
    EXPECT_EQ(wide.status, LoadResult::Status::Failed);
    EXPECT_EQ(wide.message, "The file is not in UTF-8; save it as UTF-8 to read it\nt.gpx, line 1");
    EXPECT_TRUE(table.isEmpty());
    EXPECT_EQ(trackCounter, 0);

    test::TempDir dir;
    EXPECT_EQ(GpxReader(table, trackCounter).load(dir.file("missing.gpx")).message,
              "Cannot open file " + dir.file("missing.gpx") + ": No such file or directory");
}

// The parser reads a big file in pieces cut after point end tags; where the
// cuts fall must not change what is read, also where the end-tag text is no
// end tag, and where the file breaks off.
TEST_F(GpxReaderTest, PiecesDoNotChangeWhatIsRead) {
    const std::string tricky =
        "<?xml version=\"1.0\"?>\n"
        "<!DOCTYPE gpx [ <!ENTITY note \"</trkpt></wpt>\"> ]>\n"
        "<g:gpx xmlns:g=\"http://www.topografix.com/GPX/1/1\">\n"
        "<g:wpt lat=\"1\" lon=\"2\" note=\"</wpt> </trkpt>\"><g:time>2010-12-01T08:00:00Z</g:time>"
        "<g:name>a</g:name></g:wpt >\n"
        "<g:trk><g:trkseg>\n" +
        trkpt(1) + "<!-- </trkpt> inside a comment -->\n" + trkpt(2) + "<?pi </trkpt> ?>\n" +
        trkpt(3, "<extensions><trkpt lat=\"9\" lon=\"9\"><time>2010-12-01T09:00:00Z</time></trkpt></extensions>") +
        "<g:trkpt lat=\"55.5\" lon=\"37.5\"><g:ele>7</g:ele><g:time>2010-12-01T08:16:00Z</g:time></g:trkpt>\n" +
        trkpt(4, "<name><![CDATA[</trkpt>]]></name>") + "</g:trkseg><g:trkseg>" + trkpt(5) +
        "</g:trkseg></g:trk>\n"
        "<g:rte><g:rtept lat=\"3\" lon=\"4\"><g:time>2010-12-01T08:30:00Z</g:time></g:rtept></g:rte>\n"
        "</g:gpx>\n";
    ASSERT_TRUE(load(tricky).ok());
    const std::string whole = dump();
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "T01-0001", "T01-0002", "T01-0003", "T01-0004", "T01-0005",
                                                 "T01-0006", "T02-0001"}));
    for (std::size_t piece = 1; piece <= tricky.size(); piece += piece < 40 ? 1 : 13) {
        SCOPED_TRACE(piece);
        table.clear();
        trackCounter = 0;
        ASSERT_TRUE(load(tricky, piece).ok());
        EXPECT_EQ(dump(), whole);
    }

    // A file broken off anywhere, or broken inside, ends with the same error
    // and the same rows however it is cut: an unclosed element swallows what
    // follows it also across pieces, and a NUL byte ends the text there.
    // Nor does text after the root element make a piece a document of its own.
    std::vector<std::string> broken;
    for (std::size_t length : {tricky.size() / 3, tricky.size() / 2, tricky.size() - 12})
        broken.push_back(tricky.substr(0, length));
    broken.push_back("<gpx><trk><name>Loop\n<trkseg>" + trkpt(1) + trkpt(2) + "</trkseg></trk></gpx>");
    broken.push_back("<gpx><trk><trkseg>" + trkpt(1) + trkpt(2) + "<!-- x --" + trkpt(3) + "</trkseg></trk></gpx>");
    const std::string nul =
        "<gpx><trk><trkseg>\n" + trkpt(1) + trkpt(2) + std::string(5, '\0') + trkpt(3) + "</trkseg></trk></gpx>";
    broken.push_back(nul);
    // pugixml lets stray elements and end tags follow the root element.
    broken.push_back("<gpx/>\n<wpt lat=\"1\" lon=\"2\"><time>2010-12-01T08:15:00Z</time></wpt>\n" +
                     std::string(200, ' '));
    broken.push_back("<gpx/>\n<wpt lat=\"1\" lon=\"2\"><time>2010-12-01T08:15:00Z</time></wpt>\ntext <" +
                     std::string(1, '\0') + ">" + std::string(200, ' '));
    for (const std::string& file : broken) {
        SCOPED_TRACE(file);
        table.clear();
        trackCounter = 0;
        const LoadResult once = load(file);
        const std::string rows = dump();
        for (std::size_t piece : {1, 2, 3, 5, 8, 30, 100}) {
            SCOPED_TRACE(piece);
            table.clear();
            trackCounter = 0;
            const LoadResult inPieces = load(file, piece);
            EXPECT_EQ(inPieces.status, once.status);
            EXPECT_EQ(inPieces.message, once.message);
            EXPECT_EQ(dump(), rows);
        }
    }
    table.clear();
    load(nul);
    EXPECT_EQ(table.rowCount(), 2u) << "the points before the NUL bytes";
}
