#include "geo/greatcircle.h"

#include <gtest/gtest.h>

namespace geovanta {
namespace {

struct Leg {
    double lat1, lon1, lat2, lon2;
    double metres;   // expected distance
    double bearing;  // expected initial bearing
};

TEST(GreatCircle, DistancesAndBearings) {
    const Leg legs[] = {
        {0, 0, 1, 0, 111195.08, 0},            // a degree of latitude
        {0, 0, 0, 1, 111195.08, 90},           // a degree of longitude on the equator
        {60, 0, 60, 1, 55597.1, 89.567},       // half that at 60°, the bearing bent by the curve
        {0, 179.5, 0, -179.5, 111195.08, 90},  // across the date line, the short way
        {10, 20, 10, 20, 0, 0},                // no way to go
        {51.5, -0.1, 40.7, -74.0, 5.5728e6, 288.3},  // London to New York on the sphere
    };
    for (const Leg& l : legs) {
        SCOPED_TRACE(testing::Message() << l.lat1 << "," << l.lon1 << " -> " << l.lat2 << "," << l.lon2);
        EXPECT_NEAR(greatCircleMetres(l.lat1, l.lon1, l.lat2, l.lon2), l.metres, l.metres * 2e-4 + 0.1);
        EXPECT_NEAR(initialBearingDegrees(l.lat1, l.lon1, l.lat2, l.lon2), l.bearing, 0.1);
    }
}

}  // namespace
}  // namespace geovanta
