#include "geo/countryborders.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "geo/greatcircle.h"

namespace geovanta {
namespace {

constexpr std::string_view kMagic = "GVBORDR1";
// Rows of the grid per band of edges: about 6 km of latitude, so a band
// holds few edges even along a long coast.
constexpr int32_t kBandSteps = 32;
// Far more than the world needs at any scale; beyond it the file is damaged.
constexpr uint32_t kMaxCountries = 1000;
constexpr double kMetresPerDegree = kEarthRadiusM * 3.14159265358979323846 / 180;

// Reads the file front to back; every read first checks that it fits.
class Cursor {
public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}
    std::size_t remaining() const { return bytes_.size() - pos_; }
    bool take(std::string_view& out, std::size_t n) {
        if (n > remaining()) return false;
        out = bytes_.substr(pos_, n);
        pos_ += n;
        return true;
    }
    bool u32(uint32_t& out) {
        std::string_view b;
        if (!take(b, 4)) return false;
        out = 0;
        for (int i = 3; i >= 0; --i) out = out << 8 | static_cast<unsigned char>(b[i]);
        return true;
    }
    bool f64(double& out) {
        std::string_view b;
        if (!take(b, 8)) return false;
        uint64_t bits = 0;
        for (int i = 7; i >= 0; --i) bits = bits << 8 | static_cast<unsigned char>(b[i]);
        out = std::bit_cast<double>(bits);
        return true;
    }
    // A zigzag LEB128 step of up to 32 bits' worth.
    bool step(int64_t& out) {
        uint64_t value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            if (remaining() == 0) return false;
            const auto byte = static_cast<unsigned char>(bytes_[pos_++]);
            value |= static_cast<uint64_t>(byte & 0x7F) << shift;
            if (!(byte & 0x80)) {
                out = static_cast<int64_t>(value >> 1) ^ -static_cast<int64_t>(value & 1);
                return true;
            }
        }
        return false;
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

bool usableTransform(double scaleX, double scaleY, double offsetX, double offsetY) {
    const auto finite = [](double v) { return std::isfinite(v); };
    return finite(scaleX) && finite(scaleY) && finite(offsetX) && finite(offsetY) && scaleX > 1e-7 &&
           scaleY > 1e-7 && scaleX <= 10 && scaleY <= 10 && std::abs(offsetX) <= 360 && std::abs(offsetY) <= 180;
}

// Distance from (px, py) to the segment, all in one flat frame.
double segmentDistance(double px, double py, double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1, dy = y2 - y1;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 > 0 ? std::clamp(((px - x1) * dx + (py - y1) * dy) / length2, 0.0, 1.0) : 0.0;
    return std::hypot(px - x1 - t * dx, py - y1 - t * dy);
}

}  // namespace

std::optional<CountryBorders> CountryBorders::parse(std::string_view bytes) {
    Cursor in(bytes);
    std::string_view magic;
    if (!in.take(magic, kMagic.size()) || magic != kMagic) return std::nullopt;
    CountryBorders b;
    uint32_t countries = 0;
    if (!in.f64(b.scaleX_) || !in.f64(b.scaleY_) || !in.f64(b.offsetX_) || !in.f64(b.offsetY_) ||
        !usableTransform(b.scaleX_, b.scaleY_, b.offsetX_, b.offsetY_) || !in.u32(countries) ||
        countries > kMaxCountries)
        return std::nullopt;
    b.turn_ = static_cast<int32_t>(std::lround(360 / b.scaleX_));
    // Points may lie a turn beyond either side of the grid (rings past the
    // 180th meridian), never further.
    const int64_t xLimit = 2 * static_cast<int64_t>(b.turn_);
    const int64_t yLimit = 2 * std::llround(180 / b.scaleY_);

    std::vector<std::vector<int32_t>> rings;
    for (uint32_t c = 0; c < countries; ++c) {
        std::string_view codeText;
        uint32_t ringCount = 0;
        if (!in.take(codeText, 2) || !in.u32(ringCount)) return std::nullopt;
        const std::optional<CountryCode> code = packCountryCode(codeText);
        // A ring takes at least its count and three points of two bytes.
        if (!code || ringCount > in.remaining() / 10) return std::nullopt;
        rings.assign(ringCount, {});
        for (auto& ring : rings) {
            uint32_t points = 0;
            if (!in.u32(points) || points < 3 || points > in.remaining() / 2) return std::nullopt;
            ring.resize(2 * static_cast<std::size_t>(points));
            int64_t x = 0, y = 0;
            for (uint32_t p = 0; p < points; ++p) {
                int64_t dx = 0, dy = 0;
                if (!in.step(dx) || !in.step(dy)) return std::nullopt;
                x += dx;
                y += dy;
                if (std::abs(x) > xLimit || std::abs(y) > yLimit) return std::nullopt;
                ring[2 * p] = static_cast<int32_t>(x);
                ring[2 * p + 1] = static_cast<int32_t>(y);
            }
        }
        b.addCountry(*code, rings);
    }
    if (in.remaining() != 0) return std::nullopt;
    b.edges_.shrink_to_fit();
    b.bandStarts_.shrink_to_fit();
    return b;
}

void CountryBorders::addCountry(CountryCode code, const std::vector<std::vector<int32_t>>& rings) {
    Country c;
    c.code = code;
    c.minX = c.minY = std::numeric_limits<int32_t>::max();
    c.maxX = c.maxY = std::numeric_limits<int32_t>::min();
    for (const auto& ring : rings)
        for (std::size_t i = 0; i < ring.size(); i += 2) {
            c.minX = std::min(c.minX, ring[i]), c.maxX = std::max(c.maxX, ring[i]);
            c.minY = std::min(c.minY, ring[i + 1]), c.maxY = std::max(c.maxY, ring[i + 1]);
        }
    if (rings.empty()) c.minX = c.maxX = c.minY = c.maxY = 0;
    c.bandCount = static_cast<uint32_t>((static_cast<int64_t>(c.maxY) - c.minY) / kBandSteps + 1);
    c.firstBand = static_cast<uint32_t>(bandStarts_.size());

    // Each edge goes into every band its latitudes touch: counted first, then placed.
    const auto bandOf = [&](int32_t y) { return static_cast<uint32_t>((static_cast<int64_t>(y) - c.minY) / kBandSteps); };
    const auto forEachEdge = [&](auto&& f) {
        for (const auto& ring : rings)
            for (std::size_t i = 0, j = ring.size() - 2; i < ring.size(); j = i, i += 2)
                f(Edge{ring[j], ring[j + 1], ring[i], ring[i + 1]});
    };
    std::vector<uint32_t> counts(c.bandCount + 1, 0);
    forEachEdge([&](const Edge& e) {
        for (uint32_t band = bandOf(std::min(e.y1, e.y2)); band <= bandOf(std::max(e.y1, e.y2)); ++band) ++counts[band + 1];
    });
    const auto base = static_cast<uint32_t>(edges_.size());
    for (uint32_t band = 0; band < c.bandCount; ++band) counts[band + 1] += counts[band];
    for (uint32_t band = 0; band <= c.bandCount; ++band) bandStarts_.push_back(base + counts[band]);
    edges_.resize(base + counts[c.bandCount]);
    forEachEdge([&](const Edge& e) {
        for (uint32_t band = bandOf(std::min(e.y1, e.y2)); band <= bandOf(std::max(e.y1, e.y2)); ++band)
            edges_[base + counts[band]++] = e;
    });
    countries_.push_back(c);
}

bool CountryBorders::holds(const Country& c, double x, double y) const {
    if (x < c.minX || x > c.maxX || y < c.minY || y > c.maxY) return false;
    const auto band = static_cast<uint32_t>((y - c.minY) / kBandSteps);
    if (band >= c.bandCount) return false;
    // Even-odd: count the edges a ray due east crosses.
    bool inside = false;
    for (uint32_t i = bandStarts_[c.firstBand + band]; i < bandStarts_[c.firstBand + band + 1]; ++i) {
        const Edge& e = edges_[i];
        if ((e.y1 > y) != (e.y2 > y) &&
            x < e.x1 + (y - e.y1) * static_cast<double>(e.x2 - e.x1) / static_cast<double>(e.y2 - e.y1))
            inside = !inside;
    }
    return inside;
}

std::optional<double> CountryBorders::edgeWithin(const Country& c, double x, double y, double lat,
                                                 double limit) const {
    // A flat frame in metres about the position does for a few kilometres.
    const double metresX = scaleX_ * kMetresPerDegree * std::max(std::cos(lat * 3.14159265358979323846 / 180), 1e-6);
    const double metresY = scaleY_ * kMetresPerDegree;
    const double marginX = limit / metresX, marginY = limit / metresY;
    if (x < c.minX - marginX || x > c.maxX + marginX || y < c.minY - marginY || y > c.maxY + marginY) return std::nullopt;
    const double lowest = std::max(0.0, (y - marginY - c.minY) / kBandSteps);
    const double highest = std::min<double>(c.bandCount - 1, (y + marginY - c.minY) / kBandSteps);
    std::optional<double> nearest;
    for (auto band = static_cast<uint32_t>(lowest); band <= highest; ++band)
        for (uint32_t i = bandStarts_[c.firstBand + band]; i < bandStarts_[c.firstBand + band + 1]; ++i) {
            const Edge& e = edges_[i];
            if (std::min(e.x1, e.x2) > x + marginX || std::max(e.x1, e.x2) < x - marginX) continue;
            const double d = segmentDistance(x * metresX, y * metresY, e.x1 * metresX, e.y1 * metresY,
                                             e.x2 * metresX, e.y2 * metresY);
            if (d <= limit && (!nearest || d < *nearest)) nearest = d;
        }
    return nearest;
}

std::optional<CountryCode> CountryBorders::countryAt(double lat, double lon, double coastMetres) const {
    if (!std::isfinite(lat) || !std::isfinite(lon) || std::abs(lat) > 90 || std::abs(lon) > 180) return std::nullopt;
    const double x = (lon - offsetX_) / scaleX_, y = (lat - offsetY_) / scaleY_;
    // Rings that cross the 180th meridian go on past the grid's edge.
    const std::array<double, 3> xs = {x, x + turn_, x - turn_};
    for (const Country& c : countries_)
        for (double shifted : xs)
            if (holds(c, shifted, y)) return c.code;
    if (!(coastMetres > 0)) return std::nullopt;
    std::optional<CountryCode> best;
    double bestMetres = coastMetres;
    for (const Country& c : countries_)
        for (double shifted : xs)
            if (const auto d = edgeWithin(c, shifted, y, lat, bestMetres); d && (!best || *d < bestMetres)) {
                best = c.code;
                bestMetres = *d;
            }
    return best;
}

}  // namespace geovanta
