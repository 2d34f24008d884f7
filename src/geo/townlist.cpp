#include "geo/townlist.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "geo/greatcircle.h"
#include "table/numbertext.h"
#include "table/textcodec.h"
#include "table/textlines.h"

namespace geovanta {
namespace {

constexpr double kCellDegrees = 0.5;
constexpr int kRows = 360;  // 180 / kCellDegrees
constexpr int kColumns = 720;
constexpr double kMetresPerDegree = kEarthRadiusM * std::numbers::pi / 180;
constexpr std::size_t kMaxRecords = 1'000'000;

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        out.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return out;
        start = tab + 1;
    }
}

// A name a person sees: valid UTF-8 without control characters.
bool isName(std::string_view text) {
    if (!isValidUtf8(text)) return false;
    return std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

std::optional<uint32_t> index(std::string_view text, std::size_t count) {
    const std::optional<int32_t> n = parseInteger(text);
    if (!n || *n < 0 || static_cast<std::size_t>(*n) >= count || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    return static_cast<uint32_t>(*n);
}

int rowOf(double lat) { return std::clamp(static_cast<int>(std::floor((lat + 90) / kCellDegrees)), 0, kRows - 1); }
int columnOf(double lon) { return std::clamp(static_cast<int>(std::floor((lon + 180) / kCellDegrees)), 0, kColumns - 1); }
uint32_t cellOf(double lat, double lon) { return static_cast<uint32_t>(rowOf(lat) * kColumns + columnOf(lon)); }

}  // namespace

std::optional<TownList> TownList::parse(std::string_view text, std::size_t& badLine) {
    TownList list;
    TextLines lines(text, TextLines::NulByte::Ordinary);
    std::string_view line;
    while (lines.next(line)) {
        if (line.empty() || line.front() == '#') continue;
        if (list.towns_.size() + list.regions_.size() + list.zones_.size() >= kMaxRecords || !list.addRecord(line)) {
            badLine = lines.lineNumber();
            return std::nullopt;
        }
    }
    list.buildIndex();
    return list;
}

bool TownList::addRecord(std::string_view line) {
    const std::vector<std::string_view> f = fields(line);
    if (f[0] == "Z" && f.size() == 2 && !f[1].empty() && isName(f[1])) {
        zones_.push_back(keep(f[1]));
        return true;
    }
    if (f[0] == "R" && f.size() == 4 && isName(f[2]) && isName(f[3])) {
        const std::optional<CountryCode> country = packCountryCode(f[1]);
        if (!country) return false;
        const Text english = keep(f[2]);
        regions_.push_back({*country, english, f[3].empty() ? english : keep(f[3])});
        return true;
    }
    if (f[0] != "T" || f.size() != 8 || f[6].empty() || !isName(f[6]) || !isName(f[7])) return false;
    const std::optional<double> lat = parseNumber(f[1]), lon = parseNumber(f[2]);
    const std::optional<CountryCode> country = packCountryCode(f[3]);
    const std::optional<uint32_t> region = index(f[4], regions_.size()), zone = index(f[5], zones_.size());
    if (!lat || !lon || std::abs(*lat) > 90 || std::abs(*lon) > 180 || !country || !region || !zone ||
        regions_[*region].country != *country)
        return false;
    Town town{*lat, *lon, *country, *region, *zone, keep(f[6]), {}};
    town.russian = f[7].empty() ? town.english : keep(f[7]);
    towns_.push_back(town);
    return true;
}

TownList::Text TownList::keep(std::string_view text) {
    const Text t{static_cast<uint32_t>(pool_.size()), static_cast<uint32_t>(text.size())};
    pool_.append(text);
    return t;
}

void TownList::buildIndex() {
    std::stable_sort(towns_.begin(), towns_.end(),
                     [](const Town& a, const Town& b) { return cellOf(a.lat, a.lon) < cellOf(b.lat, b.lon); });
    cells_.assign(kRows * kColumns + 1, 0);
    for (const Town& t : towns_) ++cells_[cellOf(t.lat, t.lon) + 1];
    for (std::size_t i = 1; i < cells_.size(); ++i) cells_[i] += cells_[i - 1];
    byCountry_.resize(towns_.size());
    for (uint32_t i = 0; i < byCountry_.size(); ++i) byCountry_[i] = i;
    std::stable_sort(byCountry_.begin(), byCountry_.end(),
                     [this](uint32_t a, uint32_t b) { return towns_[a].country < towns_[b].country; });
    pool_.shrink_to_fit();
}

void TownList::tryTowns(uint32_t begin, uint32_t end, double lat, double lon, CountryCode country,
                        Nearest& best) const {
    for (uint32_t i = begin; i < end; ++i) {
        const Town& t = towns_[i];
        // Latitude alone rules out most towns without the trigonometry.
        if (t.country != country || std::abs(t.lat - lat) * kMetresPerDegree > best.metres * 1.001) continue;
        const double d = greatCircleMetres(lat, lon, t.lat, t.lon);
        if (d <= best.metres && (!best.town || d < best.metres)) best = {&t, d};
    }
}

std::optional<TownList::Nearest> TownList::nearest(double lat, double lon, CountryCode country,
                                                   double maxMetres) const {
    if (!std::isfinite(lat) || !std::isfinite(lon) || std::isnan(maxMetres) || maxMetres < 0) return std::nullopt;
    Nearest best{nullptr, maxMetres};
    // The cells a circle of maxMetres may reach: rows by latitude, columns
    // widening towards the poles, all of them once a pole is in reach.
    const double reach = maxMetres / kMetresPerDegree * 1.01 + 1e-9;
    const double farthest = std::abs(lat) + reach;
    const double width = farthest >= 89.9 ? 360 : reach / std::cos(farthest * std::numbers::pi / 180);
    if (reach >= 45 || width >= 180) {
        // So wide a search is cheaper over the country's own towns.
        const auto first = std::lower_bound(byCountry_.begin(), byCountry_.end(), country,
                                            [this](uint32_t i, CountryCode c) { return towns_[i].country < c; });
        for (auto it = first; it != byCountry_.end() && towns_[*it].country == country; ++it)
            tryTowns(*it, *it + 1, lat, lon, country, best);
    } else {
        const int firstColumn = static_cast<int>(std::floor((lon - width + 180) / kCellDegrees));
        const int lastColumn = static_cast<int>(std::floor((lon + width + 180) / kCellDegrees));
        for (int row = rowOf(lat - reach); row <= rowOf(lat + reach); ++row)
            for (int column = firstColumn; column <= lastColumn; ++column) {
                const int wrapped = (column % kColumns + kColumns) % kColumns;
                const auto cell = static_cast<std::size_t>(row * kColumns + wrapped);
                tryTowns(cells_[cell], cells_[cell + 1], lat, lon, country, best);
            }
    }
    if (!best.town) return std::nullopt;
    return best;
}

std::string_view TownList::name(const Town& town, Language language) const {
    return text(language == Language::Russian ? town.russian : town.english);
}

std::string_view TownList::regionName(const Town& town, Language language) const {
    const Region& r = regions_[town.region];
    return text(language == Language::Russian ? r.russian : r.english);
}

}  // namespace geovanta
