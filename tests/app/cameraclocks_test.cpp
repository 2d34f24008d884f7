#include "app/cameraclocks.h"

#include <gtest/gtest.h>

#include "app/clioptions.h"

namespace geovanta {
namespace {

TEST(CameraClocks, NamesTypedForACamera) {
    const CameraKey r5{"Canon", "Canon EOS R5", "012345"};
    const CameraKey phone{"Apple", "iPhone 15", ""};
    const struct {
        const CameraKey& camera;
        const char* name;
        bool means;
    } cases[] = {
        {r5, "canon eos r5", true},    {r5, "Canon Canon EOS R5", true}, {r5, "12345", true},
        {r5, "0012345", true},         {r5, "EOS R5", false},            {r5, "", false},
        {phone, "apple iphone 15", true}, {phone, "", false},            {phone, "0", false},
    };
    for (const auto& c : cases) EXPECT_EQ(cameraNamed(c.camera, c.name), c.means) << c.name;
}

// A camera's line in the settings comes back as it went, whatever its texts
// hold; a damaged line is dropped rather than half read.
TEST(CameraClocks, SettingsLineRoundTrip) {
    const CameraClock odd{{" Make;%", "Model\tX ", "007"}, -1.5, true};
    const std::string value = cameraSettingValue(odd);
    EXPECT_EQ(value, "-1.5;1;%20Make%3B%25;Model%09X%20;007");
    EXPECT_EQ(parseCameraSetting(value), odd);
    const CameraClock noOffset{{"Apple", "iPhone 15", ""}, std::nullopt, false};
    EXPECT_EQ(parseCameraSetting(cameraSettingValue(noOffset)), noOffset);
    // The key ignores the serial's leading zeros, as cameras are compared.
    EXPECT_EQ(cameraSettingKey(odd.camera), cameraSettingKey({" Make;%", "Model\tX ", "7"}));
    EXPECT_NE(cameraSettingKey(odd.camera), cameraSettingKey({" Make;%", "Model\tX", "7"}));
    for (const char* bad : {"", "1;2;a;b;c", "x;0;a;b;c", "1e99;0;a;b;c", "nan;0;a;b;c", "1;0;%4;b;c",
                            "1;0;a;b", "1;0;a;b;c;d", "1;0;;;"})
        EXPECT_FALSE(parseCameraSetting(bad)) << bad;
}

TEST(CameraClocks, CommandLineOptions) {
    CliOptions o;
    EXPECT_FALSE(CliOptions::parse({"--camera-offset", "Canon EOS R5=-0.04375", "--camera-offset=a=b=1",
                                    "--local-time", "--local-time=iPhone 15", "--write-zones"},
                                   o));
    ASSERT_EQ(o.cameraOffsets.size(), 2u);
    EXPECT_EQ(o.cameraOffsets[0].camera, "Canon EOS R5");
    EXPECT_DOUBLE_EQ(o.cameraOffsets[0].days, -0.04375);
    EXPECT_EQ(o.cameraOffsets[1].camera, "a=b");
    EXPECT_TRUE(o.allLocalTime);
    EXPECT_EQ(o.localTimeCameras, std::vector<std::string>{"iPhone 15"});
    EXPECT_TRUE(o.writeZones);
    for (const char* bad : {"R5", "=1", "R5=", "R5=x", "R5=40000", "R5=inf", "R5=nan"}) {
        CliOptions p;
        EXPECT_TRUE(CliOptions::parse({"--camera-offset", bad}, p)) << bad;
    }
    CliOptions q;
    EXPECT_TRUE(CliOptions::parse({"--local-time="}, q));
}

}  // namespace
}  // namespace geovanta
