#include "geo/countryborders.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>

#include "geo/greatcircle.h"

namespace geovanta {
namespace {

constexpr std::string_view kMagic = "GVBORDR1";
// Rows of the grid per band of edges: about 6 km of latitude, so a band
// holds few edges even along a long coast.
constexpr int32_t kBandSteps = 32;
// Far more than the world needs at any scale; beyond them the file is
// damaged, and a damaged file must not take the memory or the time that
// indexing it would.
constexpr uint32_t kMaxCountries = 1000;
constexpr std::size_t kMaxBands = 1u << 21;
constexpr std::size_t kMaxBandEntries = 1u << 25;
constexpr std::size_t kMaxCellVisits = 1u << 24;
constexpr double kMetresPerDegree = kEarthRadiusM * std::numbers::pi / 180;
constexpr int kGridColumns = 360, kGridRows = 180;  // cells of a degree

int gridRow(double lat) { return std::clamp(static_cast<int>(std::floor(lat + 90)), 0, kGridRows - 1); }
int gridColumn(double lon) {
    const int column = static_cast<int>(std::floor(lon + 180));
    return (column % kGridColumns + kGridColumns) % kGridColumns;
}

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
    // A zigzag LEB128 step of at most five bytes.
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

// Steps of at least 1e-6 degree, so that a point's steps, a turn beyond
// either side of the grid, still fit in 32 bits.
bool usableTransform(double scaleX, double scaleY, double offsetX, double offsetY) {
    const auto finite = [](double v) { return std::isfinite(v); };
    return finite(scaleX) && finite(scaleY) && finite(offsetX) && finite(offsetY) && scaleX >= 1e-6 &&
           scaleY >= 1e-6 && scaleX <= 10 && scaleY <= 10 && std::abs(offsetX) <= 360 && std::abs(offsetY) <= 180;
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
    // Counted first, so that every table is made at its size once: no
    // growing and copying of the large ones, no memory left over after.
    const std::string_view rest = bytes.substr(bytes.size() - in.remaining());
    std::size_t points = 0;
    if (!b.readCountries(rest, countries, false, points)) return std::nullopt;
    b.points_.reserve(2 * points);
    b.readCountries(rest, countries, true, points);
    if (!b.indexBands() || !b.indexCells()) return std::nullopt;
    return b;
}

bool CountryBorders::readCountries(std::string_view bytes, uint32_t countries, bool keep, std::size_t& points) {
    // Points may lie a turn beyond either side of the grid (rings past the
    // 180th meridian), never further.
    const int64_t xLimit = 2 * static_cast<int64_t>(turn_);
    const int64_t yLimit = 2 * std::llround(180 / scaleY_);
    Cursor in(bytes);
    points = 0;
    for (uint32_t c = 0; c < countries; ++c) {
        std::string_view codeText;
        uint32_t ringCount = 0;
        if (!in.take(codeText, 2) || !in.u32(ringCount)) return false;
        const std::optional<CountryCode> code = packCountryCode(codeText);
        // A ring takes at least its count and three points of two bytes.
        if (!code || ringCount > in.remaining() / 10) return false;
        Country country;
        country.code = *code;
        country.firstRing = static_cast<uint32_t>(rings_.size());
        country.ringCount = ringCount;
        for (uint32_t r = 0; r < ringCount; ++r) {
            uint32_t count = 0;
            if (!in.u32(count) || count < 3 || count > in.remaining() / 2) return false;
            if (keep) rings_.push_back({static_cast<uint32_t>(points_.size() / 2), count + 1});
            int64_t x = 0, y = 0;
            for (uint32_t p = 0; p < count; ++p) {
                int64_t dx = 0, dy = 0;
                if (!in.step(dx) || !in.step(dy)) return false;
                x += dx;
                y += dy;
                if (std::abs(x) > xLimit || std::abs(y) > yLimit) return false;
                if (keep) points_.insert(points_.end(), {static_cast<int32_t>(x), static_cast<int32_t>(y)});
            }
            if (keep) points_.insert(points_.end(), {points_[2 * rings_.back().first], points_[2 * rings_.back().first + 1]});
            points += count + 1;
        }
        if (keep) countries_.push_back(country);
    }
    return in.remaining() == 0;
}

bool CountryBorders::indexBands() {
    const auto bandsOf = [this](const Country& c, uint32_t edge) {
        const int32_t y1 = points_[2 * edge + 1], y2 = points_[2 * edge + 3];
        return std::pair{static_cast<uint32_t>((static_cast<int64_t>(std::min(y1, y2)) - c.minY) / kBandSteps),
                         static_cast<uint32_t>((static_cast<int64_t>(std::max(y1, y2)) - c.minY) / kBandSteps)};
    };
    const auto forEachEdge = [this](const Country& c, auto&& f) {
        for (uint32_t r = c.firstRing; r < c.firstRing + c.ringCount; ++r)
            for (uint32_t edge = rings_[r].first; edge + 1 < rings_[r].first + rings_[r].count; ++edge) f(edge);
    };
    std::size_t entries = 0, starts = 0;
    for (Country& c : countries_) {
        c.minX = c.minY = std::numeric_limits<int32_t>::max();
        c.maxX = c.maxY = std::numeric_limits<int32_t>::min();
        for (uint32_t r = c.firstRing; r < c.firstRing + c.ringCount; ++r)
            for (uint32_t p = rings_[r].first; p < rings_[r].first + rings_[r].count; ++p) {
                c.minX = std::min(c.minX, points_[2 * p]), c.maxX = std::max(c.maxX, points_[2 * p]);
                c.minY = std::min(c.minY, points_[2 * p + 1]), c.maxY = std::max(c.maxY, points_[2 * p + 1]);
            }
        if (c.ringCount == 0) c.minX = c.maxX = c.minY = c.maxY = 0;
        c.bandCount = static_cast<uint32_t>((static_cast<int64_t>(c.maxY) - c.minY) / kBandSteps + 1);
        c.firstBand = static_cast<uint32_t>(starts);
        starts += c.bandCount + 1;
        forEachEdge(c, [&](uint32_t edge) {
            const auto [low, high] = bandsOf(c, edge);
            entries += high - low + 1;
        });
        if (starts > kMaxBands || entries > kMaxBandEntries) return false;
    }
    bandStarts_.assign(starts, 0);
    bandEdges_.resize(entries);
    uint32_t placed = 0;
    for (const Country& c : countries_) {
        uint32_t* start = bandStarts_.data() + c.firstBand;
        forEachEdge(c, [&](uint32_t edge) {
            const auto [low, high] = bandsOf(c, edge);
            for (uint32_t band = low; band <= high; ++band) ++start[band + 1];
        });
        start[0] = placed;
        for (uint32_t band = 0; band < c.bandCount; ++band) start[band + 1] += start[band];
        std::vector<uint32_t> next(start, start + c.bandCount);
        forEachEdge(c, [&](uint32_t edge) {
            const auto [low, high] = bandsOf(c, edge);
            for (uint32_t band = low; band <= high; ++band) bandEdges_[next[band]++] = edge;
        });
        placed = start[c.bandCount];
    }
    return true;
}

bool CountryBorders::indexCells() {
    std::vector<std::vector<uint16_t>> cells(kGridRows * kGridColumns);
    std::size_t visits = 0;
    const double reach = kCoastMetres / kMetresPerDegree * 1.5;
    for (std::size_t n = 0; n < countries_.size(); ++n) {
        const Country& c = countries_[n];
        for (uint32_t r = c.firstRing; r < c.firstRing + c.ringCount; ++r) {
            const Ring& ring = rings_[r];
            int32_t minX = points_[2 * ring.first], maxX = minX, minY = points_[2 * ring.first + 1], maxY = minY;
            for (uint32_t p = ring.first; p < ring.first + ring.count; ++p) {
                minX = std::min(minX, points_[2 * p]), maxX = std::max(maxX, points_[2 * p]);
                minY = std::min(minY, points_[2 * p + 1]), maxY = std::max(maxY, points_[2 * p + 1]);
            }
            // The ring's box in degrees, widened by the reach of its coast.
            const double south = minY * scaleY_ + offsetY_ - reach, north = maxY * scaleY_ + offsetY_ + reach;
            const double widest = std::min(89.0, std::max(std::abs(south), std::abs(north)));
            const double reachX = reach / std::cos(widest * std::numbers::pi / 180);
            const double west = minX * scaleX_ + offsetX_ - reachX, east = maxX * scaleX_ + offsetX_ + reachX;
            const int columns = east - west >= 359 ? kGridColumns : static_cast<int>(std::floor(east) - std::floor(west)) + 1;
            visits += static_cast<std::size_t>(columns) * (gridRow(north) - gridRow(south) + 1);
            if (visits > kMaxCellVisits) return false;
            for (int row = gridRow(south); row <= gridRow(north); ++row)
                for (int k = 0; k < columns; ++k) {
                    auto& list = cells[row * kGridColumns + gridColumn(west + k)];
                    if (list.empty() || list.back() != n) list.push_back(static_cast<uint16_t>(n));
                }
        }
    }
    std::size_t entries = 0;
    for (const auto& list : cells) entries += list.size();
    cellCountries_.reserve(entries);
    cellStarts_.reserve(cells.size() + 1);
    cellStarts_.push_back(0);
    for (const auto& list : cells) {
        cellCountries_.insert(cellCountries_.end(), list.begin(), list.end());
        cellStarts_.push_back(static_cast<uint32_t>(cellCountries_.size()));
    }
    return true;
}

bool CountryBorders::holds(const Country& c, double x, double y) const {
    if (x < c.minX || x > c.maxX || y < c.minY || y > c.maxY) return false;
    const auto band = static_cast<uint32_t>((y - c.minY) / kBandSteps);
    if (band >= c.bandCount) return false;
    // Even-odd: count the edges a ray due east crosses.
    bool inside = false;
    for (uint32_t i = bandStarts_[c.firstBand + band]; i < bandStarts_[c.firstBand + band + 1]; ++i) {
        const int32_t* e = points_.data() + 2 * static_cast<std::size_t>(bandEdges_[i]);
        if ((e[1] > y) != (e[3] > y) &&
            x < e[0] + (y - e[1]) * static_cast<double>(e[2] - e[0]) / static_cast<double>(e[3] - e[1]))
            inside = !inside;
    }
    return inside;
}

std::optional<double> CountryBorders::edgeWithin(const Country& c, double x, double y, double metresX,
                                                 double metresY, double limit) const {
    const double marginX = limit / metresX, marginY = limit / metresY;
    if (x < c.minX - marginX || x > c.maxX + marginX || y < c.minY - marginY || y > c.maxY + marginY) return std::nullopt;
    const double lowest = std::max(0.0, (y - marginY - c.minY) / kBandSteps);
    const double highest = std::min<double>(c.bandCount - 1, (y + marginY - c.minY) / kBandSteps);
    std::optional<double> nearest;
    for (auto band = static_cast<uint32_t>(lowest); band <= highest; ++band)
        for (uint32_t i = bandStarts_[c.firstBand + band]; i < bandStarts_[c.firstBand + band + 1]; ++i) {
            const int32_t* e = points_.data() + 2 * static_cast<std::size_t>(bandEdges_[i]);
            if (std::min(e[0], e[2]) > x + marginX || std::max(e[0], e[2]) < x - marginX) continue;
            const double d = segmentDistance(x * metresX, y * metresY, e[0] * metresX, e[1] * metresY,
                                             e[2] * metresX, e[3] * metresY);
            if (d <= limit && (!nearest || d < *nearest)) nearest = d;
        }
    return nearest;
}

std::optional<CountryCode> CountryBorders::countryAt(double lat, double lon) const {
    if (!std::isfinite(lat) || !std::isfinite(lon) || std::abs(lat) > 90 || std::abs(lon) > 180) return std::nullopt;
    const double x = (lon - offsetX_) / scaleX_, y = (lat - offsetY_) / scaleY_;
    const std::size_t cell = static_cast<std::size_t>(gridRow(lat) * kGridColumns + gridColumn(std::min(lon, 179.999)));
    const uint16_t* first = cellCountries_.data() + cellStarts_[cell];
    const uint16_t* last = cellCountries_.data() + cellStarts_[cell + 1];
    // Rings that cross the 180th meridian go on past the grid's edge.
    const std::array<double, 3> xs = {x, x + turn_, x - turn_};
    for (const uint16_t* n = first; n != last; ++n)
        for (double shifted : xs)
            if (holds(countries_[*n], shifted, y)) return countries_[*n].code;

    // A flat frame in metres about the position does for a few kilometres.
    const double metresX = scaleX_ * kMetresPerDegree * std::max(std::cos(lat * std::numbers::pi / 180), 1e-6);
    const double metresY = scaleY_ * kMetresPerDegree;
    std::optional<CountryCode> best;
    double bestMetres = kCoastMetres;
    for (const uint16_t* n = first; n != last; ++n)
        for (double shifted : xs)
            if (const auto d = edgeWithin(countries_[*n], shifted, y, metresX, metresY, bestMetres);
                d && (!best || *d < bestMetres)) {
                best = countries_[*n].code;
                bestMetres = *d;
            }
    return best;
}

}  // namespace geovanta
