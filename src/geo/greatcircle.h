#pragma once
// Distances and directions on the earth as a sphere: what a person means by
// "within 25 km of the town" or "inside 300 m of home", and the heading of
// travel. The pass keeps its own flat-earth legs, which the grid has always
// shown; this is for questions about places.

namespace geovanta {

inline constexpr double kEarthRadiusM = 6371008.8;  // the mean radius

// Metres along the great circle between two points in degrees.
double greatCircleMetres(double lat1, double lon1, double lat2, double lon2);
// Initial bearing from the first point to the second, degrees clockwise from
// true north in [0, 360); 0 for two equal points.
double initialBearingDegrees(double lat1, double lon1, double lat2, double lon2);

}  // namespace geovanta
