#include "geo/placefinder.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "table/textcodec.h"
#include "table/textlines.h"

namespace geovanta {
namespace {

namespace fs = std::filesystem;

// The data sets are a few MB; anything far larger is not one of them.
constexpr std::uintmax_t kMaxDataBytes = 64u << 20;

enum class Read { Done, Missing, Damaged };

Read readFile(const fs::path& path, std::string& bytes) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return fs::exists(path, ec) ? Read::Damaged : Read::Missing;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec || size > kMaxDataBytes) return Read::Damaged;
    std::ifstream in(path, std::ios::binary);
    bytes.assign(size, '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(size)) || in.peek() != std::ifstream::traits_type::eof())
        return Read::Damaged;
    return Read::Done;
}

std::string problem(Read read, const fs::path& path) {
    return textOf(read == Read::Missing ? Msg::PlaceDataMissing : Msg::PlaceDataDamaged, {path.string()});
}

std::string problemAtLine(const fs::path& path, std::size_t line) {
    return textOf(Msg::PlaceDataDamagedAtLine, {path.string(), line});
}

}  // namespace

PlaceFinder::PlaceFinder(CountryBorders borders, TownList towns, std::vector<CountryName> names)
    : borders_(std::move(borders)), towns_(std::move(towns)), names_(std::move(names)) {}

std::unique_ptr<PlaceFinder> PlaceFinder::load(const std::string& folder, std::string& error) {
    const fs::path base(folder);
    const fs::path countriesPath = base / "countries.tsv", townsPath = base / "towns.tsv",
                   bordersPath = base / "borders.bin";
    const auto fail = [&error](std::string reason) {
        error = std::move(reason);
        return std::unique_ptr<PlaceFinder>();
    };
    std::string bytes;
    std::size_t badLine = 0;

    if (const Read r = readFile(countriesPath, bytes); r != Read::Done) return fail(problem(r, countriesPath));
    std::optional<std::vector<CountryName>> names = parseCountries(bytes, badLine);
    if (!names) return fail(problemAtLine(countriesPath, badLine));

    if (const Read r = readFile(townsPath, bytes); r != Read::Done) return fail(problem(r, townsPath));
    std::optional<TownList> towns = TownList::parse(bytes, badLine);
    if (!towns) return fail(problemAtLine(townsPath, badLine));

    if (const Read r = readFile(bordersPath, bytes); r != Read::Done) return fail(problem(r, bordersPath));
    std::optional<CountryBorders> borders = CountryBorders::parse(bytes);
    if (!borders) return fail(problem(Read::Damaged, bordersPath));

    error.clear();
    return std::unique_ptr<PlaceFinder>(new PlaceFinder(std::move(*borders), std::move(*towns), std::move(*names)));
}

std::optional<std::vector<PlaceFinder::CountryName>> PlaceFinder::parseCountries(std::string_view text,
                                                                                 std::size_t& badLine) {
    std::vector<CountryName> names;
    TextLines lines(text, TextLines::NulByte::Ordinary);
    for (std::string_view line; lines.next(line);) {
        if (line.empty() || line.front() == '#') continue;
        // "C", the code, the English name, the Russian name.
        std::string_view f[4];
        std::size_t count = 0;
        for (std::size_t start = 0; count < 4; ++count) {
            const std::size_t tab = line.find('\t', start);
            f[count] = line.substr(start, tab == std::string_view::npos ? tab : tab - start);
            if (tab == std::string_view::npos) break;
            start = tab + 1;
        }
        const std::optional<CountryCode> code = packCountryCode(f[1]);
        if (count != 3 || f[0] != "C" || !code || f[2].empty() || f[3].empty() || !isValidUtf8(line)) {
            badLine = lines.lineNumber();
            return std::nullopt;
        }
        names.push_back({*code, std::string(f[2]), std::string(f[3])});
    }
    std::sort(names.begin(), names.end(), [](const auto& x, const auto& y) { return x.code < y.code; });
    return names;
}

std::shared_ptr<const PlaceFinder> PlaceFinder::shared(const std::string& folder, std::string& error) {
    static std::mutex mutex;
    static std::string loadedFolder;
    static std::weak_ptr<const PlaceFinder> loaded;
    const std::lock_guard lock(mutex);
    if (folder == loadedFolder)
        if (std::shared_ptr<const PlaceFinder> finder = loaded.lock()) return error.clear(), finder;
    std::shared_ptr<const PlaceFinder> finder = load(folder, error);
    if (finder) loadedFolder = folder, loaded = finder;
    return finder;
}

const PlaceFinder::CountryName* PlaceFinder::countryName(CountryCode code) const {
    const auto it = std::lower_bound(names_.begin(), names_.end(), code,
                                     [](const CountryName& n, CountryCode c) { return n.code < c; });
    return it != names_.end() && it->code == code ? &*it : nullptr;
}

std::optional<Place> PlaceFinder::placeAt(double lat, double lon, Language language, double maxKm) const {
    const std::optional<CountryCode> code = borders_.countryAt(lat, lon);
    if (!code) return std::nullopt;
    Place place;
    place.countryCode = countryCodeText(*code);
    const CountryName* name = countryName(*code);
    place.country = !name ? place.countryCode : language == Language::Russian ? name->russian : name->english;
    if (const auto town = towns_.nearest(lat, lon, *code, maxKm * 1000)) {
        place.city = towns_.name(*town->town, language);
        place.region = towns_.regionName(*town->town, language);
    }
    return place;
}

std::optional<std::string> PlaceFinder::countryCodeAt(double lat, double lon) const {
    const std::optional<CountryCode> code = borders_.countryAt(lat, lon);
    if (!code) return std::nullopt;
    return countryCodeText(*code);
}

std::optional<ZoneTown> PlaceFinder::zoneTown(CountryCode country, double lat, double lon, Language language,
                                              double maxKm) const {
    const auto found = towns_.nearest(lat, lon, country, maxKm * 1000);
    if (!found) return std::nullopt;
    const TownList::Town& t = *found->town;
    return ZoneTown{std::string(towns_.name(t, language)), countryCodeText(country), std::string(towns_.zone(t)),
                    t.lat, t.lon, found->metres};
}

std::optional<ZoneTown> PlaceFinder::nearestTownOf(std::string_view countryCode, double lat, double lon,
                                                   Language language, double maxKm) const {
    const std::optional<CountryCode> code = packCountryCode(countryCode);
    if (!code) return std::nullopt;
    return zoneTown(*code, lat, lon, language, maxKm);
}

std::optional<ZoneTown> PlaceFinder::nearestTownHere(double lat, double lon, Language language, double maxKm) const {
    const std::optional<CountryCode> code = borders_.countryAt(lat, lon);
    if (!code) return std::nullopt;
    return zoneTown(*code, lat, lon, language, maxKm);
}

}  // namespace geovanta
