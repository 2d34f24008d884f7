// The photo offset set to one hour earlier and back, as a person trying out
// a camera clock would: after each pass exactly the photographs placed under
// the current offsets have a position, and only they reach the tag writer and
// OziExplorer.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "app/commands/offsetscommand.h"
#include "support/tabletagwrite.h"
#include "app/programstate.h"
#include "app/settings.h"
#include "output/ozitransfer.h"
#include "output/tagwriter.h"
#include "support/fakeconsole.h"
#include "support/fakedialogs.h"
#include "support/lentdocument.h"
#include "support/fakesessions.h"
#include "support/tempdir.h"
#include "table/datatable.h"

namespace geovanta {
namespace {

using Names = std::set<std::string>;

// Keeps the waypoints OziExplorer is asked to create, by name.
class RecordingOzi : public OziApi {
public:
    std::map<std::string, std::pair<double, double>> waypoints;
    int32_t findOzi() override { return 0; }
    void clearTrack(int32_t) override {}
    void createTrackPoint(int32_t, int32_t, double, double, double, double) override {}
    void showAllTracks() override {}
    void deleteWpByName(char** name) override { waypoints.erase(*name); }
    void createWPex(char** name, int32_t, double lat, double lon, double, double, int32_t, int32_t, int32_t, int32_t,
                    int32_t, int32_t, char**, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, char**,
                    char**, char**) override {
        waypoints[*name] = {lat, lon};
    }
    void closeApi() override {}
};

class OffsetsRoundTrip : public ::testing::Test {
protected:
    static constexpr double kHour = 1.0 / 24;
    static constexpr double kStart = 40513.5;  // 01.12.2010 12:00

    void SetUp() override {
        // A track from 12:00 to 13:00, a point every ten minutes.
        for (int k = 0; k <= 6; ++k) add("T", "T" + std::to_string(k), kStart + k * kHour / 6, 55.0 + k * 0.01);
        add("F", "on-track", kStart + 0.2 * kHour, std::nullopt);           // 12:12
        add("F", "clock-fast", kStart + 1.5 * kHour, std::nullopt);         // 13:30, taken at 12:30
        add("F", "before", kStart - 0.5 * kHour, std::nullopt);             // 11:30
        add("F", "placed-both", kStart + 1.0 * kHour - 60.0 / 86400, std::nullopt);  // 12:59
    }

    // The photograph's file, made the first time: the writer looks at it.
    std::string photo(const std::string& name) {
        const std::string file = dir.file(name + ".jpg");
        if (!std::filesystem::exists(file)) dir.write(name + ".jpg", "photo");
        return file;
    }

    void add(const char* stat, const std::string& name, double time, std::optional<double> lat) {
        table.append();
        table.field(FieldId::Stat).setAsString(stat);
        table.field(FieldId::Name).setAsString(name);
        table.field(FieldId::FileName).setAsString(*stat == 'F' ? photo(name) : "");
        table.field(FieldId::Time).setAsDateTime(time);
        if (lat) {
            table.field(FieldId::Lat).setAsFloat(*lat);
            table.field(FieldId::Lon).setAsFloat(37.0);
        }
        table.post();
    }

    void setPhotoHours(int hours) {
        OffsetFields answer;
        answer.photoHours = hours;
        dialogs.offsetsAnswers.push_back(answer);
        test::withDocument(table, state, settings,
                           [&](Document& d, JobRunner& jobs) { OffsetsCommand(d, dialogs, jobs).run(); });
        ASSERT_TRUE(dialogs.messages.empty());
    }

    Names placedInTable() const {
        Names names;
        for (std::size_t r = 0; r < table.rowCount(); ++r) {
            if (!table.isPhoto(r)) continue;
            const bool hasLat = !table.isNull(r, FieldId::Lat);
            EXPECT_EQ(hasLat, !table.isNull(r, FieldId::Lon));
            if (hasLat) names.insert(std::string(table.text(r, FieldId::Name)));
        }
        return names;
    }

    // The files ExifTool is run on by the batch, with the latitude argument of each.
    std::map<std::string, std::string> written() {
        test::FakeSessions sessions("/opt/exiftool");
        test::FakeConsole console;
        TagWriter writer(sessions);
        test::TableTagWrite(table, console, writer).writeAllPhotos(dialogs);
        std::map<std::string, std::string> files;
        for (const auto& call : sessions.calls()) files[call.args.back()] = call.args[6];
        return files;
    }

    Names sentToOzi(std::map<std::string, std::pair<double, double>>* positions = nullptr) {
        RecordingOzi ozi;
        OziTransfer transfer(ozi, table);
        EXPECT_EQ(transfer.sendPhotos(), OziTransfer::Outcome::Sent);
        Names names;
        for (const auto& [name, position] : ozi.waypoints) names.insert(name);
        if (positions) *positions = ozi.waypoints;
        return names;
    }

    void expectPlaced(const Names& expected) {
        EXPECT_EQ(placedInTable(), expected);
        Names files;
        for (const std::string& name : expected) files.insert(photo(name));
        Names writtenFiles;
        for (const auto& [file, latitudeArgument] : written()) writtenFiles.insert(file);
        EXPECT_EQ(writtenFiles, files);
        EXPECT_EQ(sentToOzi(), expected);
    }

    test::TempDir dir;
    DataTable table;
    ProgramState state;
    SettingsFile settings = SettingsFile::inFolder(dir.folder());
    test::FakeDialogs dialogs;
};

TEST_F(OffsetsRoundTrip, OnlyThePhotosOfTheCurrentOffsetsArePlacedWrittenAndSent) {
    setPhotoHours(0);
    expectPlaced({"on-track", "placed-both"});
    std::map<std::string, std::pair<double, double>> before;
    sentToOzi(&before);

    setPhotoHours(-1);
    // on-track now reads 11:12 and placed-both 11:59, both before the track.
    expectPlaced({"clock-fast"});
    std::map<std::string, std::pair<double, double>> shifted;
    sentToOzi(&shifted);
    EXPECT_NEAR(shifted.at("clock-fast").first, 55.03, 1e-9);  // 12:30, on the fourth point
    EXPECT_EQ(written().at(photo("clock-fast")), "-GPS:GPSLatitude=dd/55,mm/1,ss/48.0000");

    setPhotoHours(0);
    expectPlaced({"on-track", "placed-both"});
    std::map<std::string, std::pair<double, double>> back;
    sentToOzi(&back);
    EXPECT_EQ(back, before);
    // 12:12, a fifth of the way from 55.01 to 55.02.
    EXPECT_NEAR(back.at("on-track").first, 55.012, 1e-9);
    EXPECT_EQ(written().at(photo("on-track")), "-GPS:GPSLatitude=dd/55,mm/0,ss/43.2000");
}

}  // namespace
}  // namespace geovanta
