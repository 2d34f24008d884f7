#include "table/datatable.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>

#include "table/datetime.h"
#include "table/formatcoord.h"
#include "table/messages.h"
#include "table/numbertext.h"
#include "table/position.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

// Puts row order[i] at i, in place: each cycle of the permutation is
// followed once, so no column is ever copied whole.
template <typename T>
void permute(std::vector<T>& column, const std::vector<uint32_t>& order) {
    std::vector<bool> placed(order.size());
    for (std::size_t start = 0; start < order.size(); ++start) {
        if (placed[start]) continue;
        T held = std::move(column[start]);
        std::size_t at = start;
        for (std::size_t from = order[at]; from != start; from = order[at]) {
            column[at] = std::move(column[from]);
            placed[at] = true;
            at = from;
        }
        column[at] = std::move(held);
        placed[at] = true;
    }
}

std::string typeText(char stat) {
    switch (stat) {
        case 'F': return "Фото";
        case 'P': return "Точка";
        case 'T': return "Трек";
        default: return "";
    }
}

}  // namespace

// ---- DataTable: direct access -------------------------------------------------

DataTable::DataTable() = default;

void DataTable::checkRow(std::size_t row) const {
    if (row >= stat_.size()) throw std::out_of_range("row index out of range");
}

void DataTable::requireCursorRow() const {
    if (stat_.empty()) throw std::out_of_range("the table has no rows");
}

bool DataTable::isNull(std::size_t row, FieldId f) const {
    checkRow(row);
    if (fieldInfo(f).calculated) return false;
    return (has_[row] & bit(f)) == 0;
}

double DataTable::real(std::size_t row, FieldId f) const {
    checkRow(row);
    if (f == FieldId::VElev) return vElev(row);
    if (!fieldInfo(f).calculated && (has_[row] & bit(f)) == 0) return 0;
    switch (f) {
        case FieldId::Time: return msToDays(time_[row]);
        case FieldId::VTime: return msToDays(vtime_[row]);
        case FieldId::Lat: return lat_[row];
        case FieldId::Lon: return lon_[row];
        case FieldId::Elev: return elev_[row];
        case FieldId::Dist: return dist_[row];
        case FieldId::Speed: return speed_[row];
        case FieldId::PathIndex: return pathIndex_[row];
        default: return 0;
    }
}

std::optional<double> DataTable::optReal(std::size_t row, FieldId f) const {
    if (isNull(row, f)) return std::nullopt;
    return real(row, f);
}

int64_t DataTable::timeMs(std::size_t row, FieldId f) const {
    checkRow(row);
    if ((has_[row] & bit(f)) == 0) return 0;
    if (f == FieldId::Time) return time_[row];
    if (f == FieldId::VTime) return vtime_[row];
    throw std::invalid_argument("not a date-time field");
}

std::string_view DataTable::text(std::size_t row, FieldId f) const {
    checkRow(row);
    switch (f) {
        case FieldId::Stat: return stat_[row] ? std::string_view(&stat_[row], 1) : std::string_view();
        case FieldId::Name: return name_[row].view();
        case FieldId::FileName: return fileName_[row].view();
        case FieldId::TimeSource:
            return timeSource_[row] ? std::string_view(&timeSource_[row], 1) : std::string_view();
        default: break;
    }
    if (const auto part = placePartOf(f)) {
        const PlaceNames* names = placeNames(row);
        return names ? std::string_view((*names)[*part]) : std::string_view();
    }
    throw std::invalid_argument("not a stored text field");
}

const FileStamp* DataTable::fileStamp(std::size_t row) const {
    checkRow(row);
    if ((has_[row] & bit(FieldId::FileStamp)) == 0) return nullptr;
    const PhotoRecord* record = photoRecord(row);
    return record ? &record->stamp : nullptr;
}

void DataTable::setFileStamp(std::size_t row, const FileStamp& stamp) {
    checkRow(row);
    writablePhotoRecord(row).stamp = stamp;
    setHas(row, FieldId::FileStamp, true);
    touched(row);
}

const DataTable::PhotoRecord* DataTable::photoRecord(std::size_t row) const {
    return photoAt_[row] ? &photos_[photoAt_[row] - 1] : nullptr;
}

DataTable::PhotoRecord& DataTable::writablePhotoRecord(std::size_t row) {
    uint32_t& at = photoAt_[row];
    const bool keptForCancel = state_ == State::Edit && row == cursor_ && at == saved_.photoAt;
    if (at != 0 && !keptForCancel) return photos_[at - 1];
    if (photos_.size() >= std::numeric_limits<uint32_t>::max()) throw std::length_error("too many photographs");
    PhotoRecord record = at ? photos_[at - 1] : PhotoRecord{};
    photos_.push_back(std::move(record));
    at = static_cast<uint32_t>(photos_.size());
    return photos_.back();
}

uint32_t DataTable::cameraNumber(const CameraKey& key) {
    if (key.empty()) return 0;
    const auto [it, added] = cameraNumbers_.try_emplace(key, static_cast<uint32_t>(cameras_.size() + 1));
    if (added) cameras_.push_back(key);
    return it->second;
}

uint32_t DataTable::placeNumber(const PlaceNames& names) {
    if (names.empty()) return 0;
    if (places_.size() >= std::numeric_limits<uint32_t>::max()) throw std::length_error("too many places");
    const auto [it, added] = placeNumbers_.try_emplace(names, static_cast<uint32_t>(places_.size() + 1));
    if (added) places_.push_back(names);
    return it->second;
}

void DataTable::putPlace(std::size_t row, PhotoRecord& record, uint32_t place) {
    record.place = place;
    for (std::size_t k = 0; k < kPlaceParts; ++k)
        setHas(row, static_cast<FieldId>(static_cast<std::size_t>(FieldId::City) + k),
               place && !places_[place - 1].text[k].empty());
}

PhotoFacts DataTable::photoFacts(std::size_t row) const {
    checkRow(row);
    PhotoFacts facts;
    if (const PhotoRecord* record = photoRecord(row)) {
        if (record->camera) facts.camera = cameras_[record->camera - 1];
        facts.gps = record->gps;
        if (record->place) facts.place = places_[record->place - 1];
        facts.iptc = record->iptc;
        facts.localZone = record->localZone;
    }
    return facts;
}

void DataTable::setPhotoFacts(std::size_t row, const PhotoFacts& facts) {
    checkRow(row);
    const uint32_t camera = cameraNumber(facts.camera);
    const uint32_t place = placeNumber(facts.place);
    PhotoRecord& record = writablePhotoRecord(row);
    record.camera = camera;
    record.gps = facts.gps;
    record.iptc = facts.iptc;
    putPlace(row, record, place);
    record.localZone = facts.localZone;
    camerasChanged();
    touched(row);
}

const PlaceNames* DataTable::placeNames(std::size_t row) const {
    checkRow(row);
    const PhotoRecord* record = photoRecord(row);
    return record && record->place ? &places_[record->place - 1] : nullptr;
}

void DataTable::setPlaceNames(std::size_t row, const PlaceNames& names) {
    checkRow(row);
    const PhotoRecord* now = photoRecord(row);
    if (names.empty() && (!now || !now->place)) return;  // no record made for nothing
    if (now && now->place && places_[now->place - 1] == names) return;
    const uint32_t place = placeNumber(names);
    putPlace(row, writablePhotoRecord(row), place);
    touched(row);
}

const CameraKey* DataTable::camera(std::size_t row) const {
    checkRow(row);
    const PhotoRecord* record = photoRecord(row);
    return record && record->camera ? &cameras_[record->camera - 1] : nullptr;
}

const PhotoGps* DataTable::photoGps(std::size_t row) const {
    checkRow(row);
    const PhotoRecord* record = photoRecord(row);
    return record && record->gps ? &*record->gps : nullptr;
}

const LocalZone* DataTable::localZone(std::size_t row) const {
    checkRow(row);
    const PhotoRecord* record = photoRecord(row);
    return record && record->localZone ? &*record->localZone : nullptr;
}

void DataTable::setLocalZone(std::size_t row, std::optional<LocalZone> zone) {
    checkRow(row);
    if (!zone && !photoRecord(row)) return;
    writablePhotoRecord(row).localZone = std::move(zone);
    touched(row);
}

std::string DataTable::cameraText(std::size_t row) const {
    checkRow(row);
    const PhotoRecord* record = photoRecord(row);
    if (!record || !record->camera) return {};
    const std::string text = geovanta::cameraText(cameras_[record->camera - 1], serialEnd(record->camera));
    return displayUtf8(text);
}

// Whether two bodies of one model are in the table is a question about all
// rows; it is answered once after each change and kept.
std::size_t DataTable::serialEnd(uint32_t camera) const {
    if (!serialEndsValid_.load(std::memory_order_acquire)) {
        const std::lock_guard lock(serialEndsLock_);
        if (!serialEndsValid_.load(std::memory_order_relaxed)) {
            std::vector<bool> named(cameras_.size());
            for (const uint32_t at : photoAt_)
                if (at && photos_[at - 1].camera) named[photos_[at - 1].camera - 1] = true;
            std::vector<const CameraKey*> present;
            std::vector<uint32_t> numbers;
            for (std::size_t k = 0; k < named.size(); ++k)
                if (named[k]) present.push_back(&cameras_[k]), numbers.push_back(static_cast<uint32_t>(k));
            const std::vector<std::size_t> ends = serialEnds(present);
            serialEnds_.assign(cameras_.size(), 0);
            for (std::size_t k = 0; k < numbers.size(); ++k) serialEnds_[numbers[k]] = ends[k];
            serialEndsValid_.store(true, std::memory_order_release);
        }
    }
    return serialEnds_[camera - 1];
}

std::optional<std::size_t> DataTable::rowWithCreationNumber(uint64_t n) const {
    for (std::size_t row = 0; row < creation_.size(); ++row)
        if (creation_[row] == n) return row;
    return std::nullopt;
}

void DataTable::setPosition(std::size_t row, std::optional<double> lat, std::optional<double> lon,
                            std::optional<double> elev, bool byHand) {
    checkRow(row);
    for (auto [column, f, value] : {std::tuple(&lat_, FieldId::Lat, lat), std::tuple(&lon_, FieldId::Lon, lon),
                                    std::tuple(&elev_, FieldId::Elev, elev)}) {
        (*column)[row] = value.value_or(0);
        setHas(row, f, value.has_value());
    }
    if (byHand)
        has_[row] |= kHandBit;
    else
        has_[row] &= ~kHandBit;
    touched(row);
}

std::string_view DataTable::invalidExifDate(std::size_t row) const {
    checkRow(row);
    if (invalidExifDates_.empty()) return {};
    const auto it = invalidExifDates_.find(creation_[row]);
    return it == invalidExifDates_.end() ? std::string_view() : std::string_view(it->second);
}

void DataTable::setInvalidExifDate(std::size_t row, std::string_view text) {
    checkRow(row);
    if (creation_[row] == 0) throw std::logic_error("the row is not posted yet");
    // Enough to show; a damaged file may hold 64 kB there.
    constexpr std::size_t kKept = 256;
    if (text.empty())
        invalidExifDates_.erase(creation_[row]);
    else
        invalidExifDates_[creation_[row]] = std::string(text.substr(0, kKept));
}

std::optional<int> DataTable::photoZone(std::size_t row) const {
    checkRow(row);
    if (zone_[row] == 0) return std::nullopt;
    return zone_[row] - kZoneBias;
}

void DataTable::setPhotoZone(std::size_t row, std::optional<int> minutes) {
    checkRow(row);
    constexpr int kDayMinutes = 24 * 60;
    if (minutes && (*minutes < -kDayMinutes || *minutes > kDayMinutes))
        throw std::out_of_range("a time zone beyond 24 hours");
    zone_[row] = static_cast<int16_t>(minutes ? *minutes + kZoneBias : 0);
    touched(row);
}

int32_t DataTable::vElev(std::size_t row) const {
    checkRow(row);
    if ((has_[row] & bit(FieldId::Elev)) == 0) return 0;
    const long double metres = std::trunc(static_cast<long double>(elev_[row]) * 0.3048L);
    if (metres > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (metres < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(metres);
}

std::string DataTable::asString(std::size_t row, FieldId f) const {
    checkRow(row);
    switch (f) {
        case FieldId::Type: return typeText(stat_[row]);
        case FieldId::VLat: return FormatCoord("SN", real(row, FieldId::Lat));
        case FieldId::VLon: return FormatCoord("WE", real(row, FieldId::Lon));
        case FieldId::VElev: return std::to_string(vElev(row));
        case FieldId::Camera: return cameraText(row);
        default: break;
    }
    if (isNull(row, f)) return "";
    if (f == FieldId::FileStamp) return fileStamp(row)->text();
    switch (fieldInfo(f).kind) {
        case FieldKind::Text: return std::string(text(row, f));
        case FieldKind::DateTime: return formatDayTime(timeMs(row, f));
        case FieldKind::Integer: return std::to_string(pathIndex_[row]);
        case FieldKind::Real: return formatGeneral(real(row, f));
    }
    return "";
}

std::string DataTable::displayText(std::size_t row, FieldId f) const {
    switch (f) {
        // A photograph's name comes from its file's name, a point's from a
        // GPS file written in Windows-1251.
        case FieldId::Name: return isPhoto(row) ? displayFileName(text(row, f)) : displayUtf8(text(row, f));
        case FieldId::FileName: return displayFileName(text(row, f));
        case FieldId::Dist:
        case FieldId::Speed: return isNull(row, f) ? std::string() : formatFixed(real(row, f), 2);
        case FieldId::VLat: return showsCoordinate(*this, row, FieldId::Lat) ? asString(row, f) : std::string();
        case FieldId::VLon: return showsCoordinate(*this, row, FieldId::Lon) ? asString(row, f) : std::string();
        case FieldId::VElev: return showsAltitude(*this, row) ? asString(row, f) : std::string();
        default: return asString(row, f);
    }
}

void DataTable::setHas(std::size_t row, FieldId f, bool has) {
    if (has)
        has_[row] |= bit(f);
    else
        has_[row] &= ~bit(f);
}

void DataTable::touched(std::size_t row) {
    if (row == cursor_ && state_ != State::Browse) modified_ = true;
    if (listener_ && suspendCount_ == 0) listener_->rowChanged(row);
}

void DataTable::setReal(std::size_t row, FieldId f, double value) {
    checkRow(row);
    switch (f) {
        case FieldId::Lat: lat_[row] = value; break;
        case FieldId::Lon: lon_[row] = value; break;
        case FieldId::Elev: elev_[row] = value; break;
        case FieldId::Dist: dist_[row] = value; break;
        case FieldId::Speed: speed_[row] = value; break;
        case FieldId::PathIndex:
            pathIndex_[row] = static_cast<int16_t>(std::clamp(roundHalfEven(value), -32768.0, 32767.0));
            break;
        case FieldId::Time:
        case FieldId::VTime: setDateTime(row, f, value); return;
        default: throw std::invalid_argument("not a numeric stored field");
    }
    setHas(row, f, true);
    touched(row);
}

void DataTable::setTimeMs(std::size_t row, FieldId f, int64_t ms) {
    checkRow(row);
    if (f == FieldId::Time)
        time_[row] = ms;
    else if (f == FieldId::VTime)
        vtime_[row] = ms;
    else
        throw std::invalid_argument("not a date-time field");
    setHas(row, f, true);
    touched(row);
}

void DataTable::setDateTime(std::size_t row, FieldId f, double days) { setTimeMs(row, f, daysToMs(days)); }

void DataTable::setText(std::size_t row, FieldId f, std::string_view value) {
    checkRow(row);
    if (const auto part = placePartOf(f)) {
        // Only a photograph was taken somewhere.
        if (!isPhoto(row)) throw FieldError(textOf(Msg::PlaceNamesPhotosOnly));
        const PlaceNames* now = placeNames(row);
        setPlaceNames(row, withPersonName(now ? *now : PlaceNames{}, *part, value));
        return;
    }
    switch (f) {
        case FieldId::Stat: stat_[row] = value.empty() ? 0 : value[0]; break;
        case FieldId::Name: name_[row] = cutToWidth(value, 64); break;
        // A path cut short names another file, or a folder.
        case FieldId::FileName: fileName_[row] = value; break;
        case FieldId::TimeSource: timeSource_[row] = value.empty() ? 0 : value[0]; break;
        default: throw std::invalid_argument("not a stored text field");
    }
    setHas(row, f, !value.empty());
    touched(row);
}

void DataTable::setNull(std::size_t row, FieldId f) {
    checkRow(row);
    if (fieldInfo(f).calculated) throw std::invalid_argument("calculated field");
    if (f == FieldId::Stat) stat_[row] = 0;
    if (f == FieldId::Name) name_[row].clear();
    if (f == FieldId::FileName) fileName_[row].clear();
    if (f == FieldId::TimeSource) timeSource_[row] = 0;
    if (const auto part = placePartOf(f); part && placeNames(row)) {
        PlaceNames names = *placeNames(row);
        names.set(*part, "", NameSource::None);
        setPlaceNames(row, names);
    }
    setHas(row, f, false);
    touched(row);
}

void DataTable::setFromString(std::size_t row, FieldId f, std::string_view value) {
    const FieldInfo& info = fieldInfo(f);
    if (info.calculated) throw FieldError(textOf(Msg::FieldReadOnly, {info.name}));
    if (info.kind == FieldKind::Text) {
        setText(row, f, value);
        return;
    }
    if (value.empty()) {
        setNull(row, f);
        return;
    }
    if (info.kind == FieldKind::DateTime) {
        const auto ms = parseDayTime(value);
        if (!ms) throw FieldError(textOf(Msg::InvalidDateTime, {value}));
        setTimeMs(row, f, *ms);
        return;
    }
    if (info.kind == FieldKind::Integer) {
        const auto v = parseInteger(value);
        if (!v || *v < -32768 || *v > 32767)
            throw FieldError(textOf(Msg::InvalidIntegerForField, {value, info.name}));
        setReal(row, f, *v);
        return;
    }
    const auto v = parseNumber(value);
    if (!v) throw FieldError(invalidFloatFieldMessage(value, info.name));
    setReal(row, f, *v);
}

// ---- DataTable: bulk work -------------------------------------------------------

int64_t DataTable::sortKey(std::size_t row, FieldId f) const {
    // Empty values take the lowest key; real values map to integers that order alike.
    if ((has_[row] & bit(f)) == 0) return std::numeric_limits<int64_t>::min();
    if (f == FieldId::Time) return time_[row];
    if (f == FieldId::VTime) return vtime_[row];
    const double d = real(row, f);
    if (d == 0) return 0;  // -0 equals 0
    int64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return bits < 0 ? std::numeric_limits<int64_t>::min() + 1 + (~bits & std::numeric_limits<int64_t>::max()) : bits;
}

void DataTable::sortBy(FieldId f) {
    const FieldInfo& info = fieldInfo(f);
    if (info.calculated || (info.kind != FieldKind::DateTime && info.kind != FieldKind::Real))
        throw std::invalid_argument("the table sorts by date-time and numeric fields only");
    const std::size_t n = stat_.size();
    if (n > std::numeric_limits<uint32_t>::max()) throw std::length_error("too many rows to sort");
    // A table in order already (a track loaded alone, a pass run again)
    // is found so without memory for keys.
    bool sorted = true;
    for (std::size_t i = 1; i < n && sorted; ++i) {
        const int64_t a = sortKey(i - 1, f), b = sortKey(i, f);
        sorted = a < b || (a == b && creation_[i - 1] <= creation_[i]);
    }
    if (sorted) return;
    // Keys sit next to each other so the sort touches little other memory;
    // equal values, rare, look up their creation numbers.
    struct Key {
        int64_t value;
        uint32_t row;
    };
    std::vector<Key> keys(n);
    for (std::size_t i = 0; i < n; ++i) keys[i] = {sortKey(i, f), static_cast<uint32_t>(i)};
    std::sort(keys.begin(), keys.end(), [this](const Key& x, const Key& y) {
        return x.value != y.value ? x.value < y.value : creation_[x.row] < creation_[y.row];
    });
    std::vector<uint32_t> order(n);
    std::size_t newCursor = 0;
    for (std::size_t i = 0; i < n; ++i) {
        order[i] = keys[i].row;
        if (keys[i].row == cursor_) newCursor = i;
    }
    keys = {};
    forEachColumn([&order](auto& column) { permute(column, order); });
    cursor_ = newCursor;
    if (listener_ && suspendCount_ == 0) listener_->tableReset();
}

void DataTable::suspendDisplay() { ++suspendCount_; }

void DataTable::resumeDisplay() {
    if (suspendCount_ == 0) return;
    if (--suspendCount_ == 0 && listener_) listener_->tableReset();
}

}  // namespace geovanta
