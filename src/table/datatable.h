#pragma once
// The record table: every track point, waypoint and photograph loaded since
// start-up, one row each. Stored column by column so that a million rows load,
// sort and walk quickly and stay small.
//
// Two ways in:
//  * a cursor with browse/edit/insert states (append, edit, post, cancel,
//    first/next/prior, fieldByName) for commands that work row by row;
//  * direct row access by index for bulk passes and the grid.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "table/fieldinfo.h"
#include "table/fieldref.h"
#include "table/filestamp.h"
#include "table/photofacts.h"
#include "table/shorttext.h"

namespace geovanta {

// Told about changes so that a view can follow. While the display is suspended
// nothing is reported; when the count returns to 0, tableReset() follows.
class DataTableListener {
public:
    virtual ~DataTableListener() = default;
    virtual void beginInsertRow(std::size_t row) = 0;
    virtual void endInsertRow() = 0;
    virtual void beginRemoveRow(std::size_t row) = 0;
    virtual void endRemoveRow() = 0;
    virtual void rowChanged(std::size_t row) = 0;
    virtual void tableReset() = 0;
};

class DataTable {
public:
    enum class State { Browse, Edit, Insert };

    DataTable();
    DataTable(const DataTable&) = delete;
    DataTable& operator=(const DataTable&) = delete;

    // ---- size and direct row access -------------------------------------
    std::size_t rowCount() const { return stat_.size(); }
    bool isEmpty() const { return stat_.empty(); }

    bool isNull(std::size_t row, FieldId f) const;
    // Numeric value; an empty field reads 0. Date-times read as days.
    double real(std::size_t row, FieldId f) const;
    std::optional<double> optReal(std::size_t row, FieldId f) const;
    // Date-time as whole milliseconds since 1899-12-30; empty reads 0.
    int64_t timeMs(std::size_t row, FieldId f) const;
    // Stored text (Stat, Name, FileName) as bytes.
    std::string_view text(std::size_t row, FieldId f) const;
    char stat(std::size_t row) const { return stat_[row]; }
    char timeSource(std::size_t row) const { return timeSource_[row]; }
    // The photograph's file as it was scanned; nullptr when the row has none.
    const FileStamp* fileStamp(std::size_t row) const;
    void setFileStamp(std::size_t row, const FileStamp& stamp);
    // What the photograph's file told of its camera and its position when it
    // was scanned; empty for rows without (every row but a photograph).
    PhotoFacts photoFacts(std::size_t row) const;
    void setPhotoFacts(std::size_t row, const PhotoFacts& facts);
    // The same without a copy, for the grid and the passes: nullptr for none.
    const CameraKey* camera(std::size_t row) const;
    const PhotoGps* photoGps(std::size_t row) const;
    const PlaceNames* placeNames(std::size_t row) const;
    // The names of where a photograph was taken, with where each came from
    // (empty names: none). Places repeat from photograph to photograph, so
    // each is kept once. Only a photograph has them.
    void setPlaceNames(std::size_t row, const PlaceNames& names);
    // The zone the pass read the photograph's local time by; nullptr when
    // its camera does not keep local time. Setting none on a row without a
    // photo record makes none.
    const LocalZone* localZone(std::size_t row) const;
    void setLocalZone(std::size_t row, std::optional<LocalZone> zone);
    // The Camera column: the camera's model, with the end of its serial
    // number where the table holds photographs of two bodies of that model.
    // May be asked from several threads at once, as any reading of the table.
    std::string cameraText(std::size_t row) const;
    bool isPhoto(std::size_t row) const { return stat_[row] == 'F'; }
    // A photograph the person placed: the pass leaves its position alone.
    // Kept among the row's has-bits, so it costs no room of its own.
    bool placedByHand(std::size_t row) const { return (has_[row] & kHandBit) != 0; }
    // Latitude, longitude and elevation (nothing: empty) and the hand mark
    // together, told to the view once: a view that followed each field would
    // meet the new latitude with the old longitude, a place never meant.
    void setPosition(std::size_t row, std::optional<double> lat, std::optional<double> lon,
                     std::optional<double> elev, bool byHand);
    // The EXIF date-time text of a photograph timed by its file's date
    // because that text was no date (kTimeFromFileDateExifInvalid); empty
    // for other rows. Set on a posted row only. Few rows have one, so they
    // are kept apart from the columns, by creation number.
    std::string_view invalidExifDate(std::size_t row) const;
    void setInvalidExifDate(std::size_t row, std::string_view text);
    // Minutes east of UTC that the camera recorded with the photograph's
    // shooting time; nothing for rows without one (every row but a
    // photograph timed by its EXIF data that names its zone).
    std::optional<int> photoZone(std::size_t row) const;
    void setPhotoZone(std::size_t row, std::optional<int> minutes);  // throws beyond ±24 hours
    int32_t vElev(std::size_t row) const;
    uint64_t creationNumber(std::size_t row) const { return creation_[row]; }
    // The creation number the next row stored will get; rows appended by one
    // load thus have the numbers from this one up to the next call's.
    uint64_t nextCreationNumber() const { return nextCreation_; }
    // The row that has creation number `n`, by a walk over the table.
    std::optional<std::size_t> rowWithCreationNumber(uint64_t n) const;

    // Text shown in the grid for any field, calculated ones included.
    std::string displayText(std::size_t row, FieldId f) const;
    // The field as text with the table's own conversions (no display patterns).
    std::string asString(std::size_t row, FieldId f) const;

    void setReal(std::size_t row, FieldId f, double value);
    void setTimeMs(std::size_t row, FieldId f, int64_t ms);
    void setDateTime(std::size_t row, FieldId f, double days);  // rounds to the millisecond
    void setText(std::size_t row, FieldId f, std::string_view text);  // cut to the field's width
    void setNull(std::size_t row, FieldId f);
    // Table value rules for text: empty text empties, numbers parse with "."
    // and date-times as "dd.mm.yyyy hh:mm:ss". Throws FieldError.
    void setFromString(std::size_t row, FieldId f, std::string_view text);

    // ---- cursor ----------------------------------------------------------
    State state() const { return state_; }
    // Current row index; meaningless on an empty table.
    std::size_t recNo() const { return cursor_; }
    bool eof() const { return eof_ || stat_.empty(); }
    bool bof() const { return bof_ || stat_.empty(); }
    bool modified() const { return modified_; }

    void first();
    void last();
    void next();
    void prior();
    // Moves to a row (storing any pending edit first).
    void moveTo(std::size_t row);

    void append();  // new empty row at the end, inserting state
    void insert();  // new empty row before the current one, inserting state
    void edit();
    void post();
    void cancel();
    void deleteRow();  // deletes the current row
    // Stores an edit in progress; a new row nothing was typed into is dropped.
    void storePending();

    FieldRef field(FieldId id) { return FieldRef(*this, id); }
    FieldRef fieldByName(std::string_view name);  // throws std::out_of_range

    // ---- bulk work ---------------------------------------------------------
    // Orders all rows by a date-time or numeric field, empty values first,
    // equal values by creation number. The current row stays current.
    void sortBy(FieldId f);

    void suspendDisplay();
    void resumeDisplay();
    bool displaySuspended() const { return suspendCount_ > 0; }
    int suspendCount() const { return suspendCount_; }

    // Number of photographs that the latest folder scan found (not the
    // number of photo rows, which can hold several scans).
    int lastScanPhotoCount() const { return lastScanPhotoCount_; }
    void setLastScanPhotoCount(int value) { lastScanPhotoCount_ = value; }

    // A view that follows the table needs no right to change it.
    void setListener(DataTableListener* listener) const { listener_ = listener; }

    // Removes every row.
    void clear();
    void reserve(std::size_t rows);

    // A copy of every row with its creation number and stamp, the cursor on
    // the first row and no listener: long work is done on the copy on another
    // thread while this table stays on show, and the result taken back whole.
    // Reads the rows only, never the cursor, so the table's own thread may go
    // on moving the cursor meanwhile.
    std::unique_ptr<DataTable> copyRows() const;
    // Takes over every row, the cursor and the creation counter of `other`,
    // which is left empty; the listener stays and hears a reset.
    void takeRows(DataTable& other);
    // Removes, in one pass, every row for which `remove(row)` is true; the
    // cursor goes to the first row.
    template <typename Pred>
    std::size_t removeRowsIf(Pred remove) {
        std::vector<bool> gone(rowCount());
        for (std::size_t row = 0; row < gone.size(); ++row) gone[row] = remove(row);
        return removeRows(gone);
    }
    std::size_t removeRows(const std::vector<bool>& gone);
    // A new last row holding every stored value of `other`'s `row` (its
    // stamp included) under a creation number of this table.
    std::size_t appendCopyOf(const DataTable& other, std::size_t row);
    // Every stored value of `row` replaced by those of `other`'s
    // `otherRow`; the row keeps its place and creation number.
    void overwriteRow(std::size_t row, const DataTable& other, std::size_t otherRow);

private:
    friend class FieldRef;
    // Stored values of one row, kept while it is edited so that cancel can restore them.
    struct RowCopy {
        char stat = 0, timeSource = 0;
        std::string name, fileName;
        int64_t time = 0, vtime = 0;
        double lat = 0, lon = 0, elev = 0, dist = 0, speed = 0;
        int16_t pathIndex = 0, zone = 0;
        uint32_t photoAt = 0;
        uint32_t has = 0;
    };

    // Every column, so that row-wide operations cannot miss one.
    static constexpr auto columns() {
        return std::make_tuple(&DataTable::stat_, &DataTable::name_, &DataTable::time_, &DataTable::vtime_,
                               &DataTable::lat_, &DataTable::lon_, &DataTable::elev_, &DataTable::dist_,
                               &DataTable::speed_, &DataTable::pathIndex_, &DataTable::fileName_,
                               &DataTable::timeSource_, &DataTable::zone_, &DataTable::photoAt_,
                               &DataTable::has_, &DataTable::creation_);
    }
    template <typename F>
    void forEachColumn(F&& f) {
        std::apply([&](auto... column) { (f(this->*column), ...); }, columns());
    }
    void checkRow(std::size_t row) const;
    int64_t sortKey(std::size_t row, FieldId f) const;
    uint32_t bit(FieldId f) const { return 1u << static_cast<unsigned>(f); }
    static constexpr uint32_t kHandBit = 1u << 31;
    static_assert(kFieldCount < 31, "the hand bit shares the word with the fields' bits");
    void setHas(std::size_t row, FieldId f, bool has);
    void touched(std::size_t row);  // marks the pending edit and tells the view
    void insertEmptyRow(std::size_t at);
    void eraseRow(std::size_t at);
    void requireCursorRow() const;
    RowCopy copyRow(std::size_t row) const;
    void restoreRow(std::size_t row, const RowCopy& copy);
    // The row's photo record, nullptr for none; and one it may change, made
    // when the row has none or when a cancelled edit would need the old one.
    struct PhotoRecord;
    const PhotoRecord* photoRecord(std::size_t row) const;
    PhotoRecord& writablePhotoRecord(std::size_t row);
    uint32_t cameraNumber(const CameraKey& key);  // 0 for an empty key
    uint32_t placeNumber(const PlaceNames& names);  // 0 for no names
    // The record's place (a number of placeNumber), with the has-bits of
    // the place fields to match.
    void putPlace(std::size_t row, PhotoRecord& record, uint32_t place);
    // The Camera column's texts hang on which cameras the rows name.
    void camerasChanged() { serialEndsValid_.store(false, std::memory_order_relaxed); }
    std::size_t serialEnd(uint32_t camera) const;

    std::vector<char> stat_;
    std::vector<ShortText> name_;
    std::vector<int64_t> time_;
    std::vector<int64_t> vtime_;
    std::vector<double> lat_, lon_, elev_, dist_, speed_;
    std::vector<int16_t> pathIndex_;
    std::vector<ShortText> fileName_;
    std::vector<char> timeSource_;
    // The photograph's zone in minutes, kept as minutes + kZoneBias so that
    // a new row's 0 reads as none: two bytes a row, as most rows have none.
    static constexpr int kZoneBias = 0x4000;
    std::vector<int16_t> zone_;
    // What only photographs have is kept in a record of their own: each row
    // holds 1 + its place in photos_, or 0. A row being edited that changes
    // its record gets a copy in a new place, so that a cancelled edit gets the
    // old one back.
    struct PhotoRecord {
        FileStamp stamp;      // when the row's FileStamp field holds a value
        uint32_t camera = 0;  // 1 + its place in cameras_, or 0
        uint32_t place = 0;   // 1 + its place in places_, or 0
        IptcKind iptc = IptcKind::None;
        std::optional<PhotoGps> gps;
        std::optional<LocalZone> localZone;
    };
    std::vector<uint32_t> photoAt_;
    std::vector<PhotoRecord> photos_;
    // Each camera once: a folder's photographs mostly come from one or two.
    std::vector<CameraKey> cameras_;
    std::unordered_map<CameraKey, uint32_t, CameraKeyHash> cameraNumbers_;
    // Each set of place names once: a walk's photographs share a few towns.
    std::vector<PlaceNames> places_;
    std::unordered_map<PlaceNames, uint32_t, PlaceNamesHash> placeNumbers_;
    // For each camera, the characters of its serial the Camera column shows;
    // worked out when first asked after a change, on whichever thread asks.
    mutable std::mutex serialEndsLock_;
    mutable std::atomic<bool> serialEndsValid_{false};
    mutable std::vector<std::size_t> serialEnds_;
    std::vector<uint32_t> has_;  // one bit per stored field: the field holds a value
    std::vector<uint64_t> creation_;
    std::unordered_map<uint64_t, std::string> invalidExifDates_;

    std::size_t cursor_ = 0;
    bool eof_ = true;
    bool bof_ = true;
    State state_ = State::Browse;
    bool modified_ = false;

    uint64_t nextCreation_ = 1;
    int suspendCount_ = 0;
    int lastScanPhotoCount_ = 0;
    mutable DataTableListener* listener_ = nullptr;

    RowCopy saved_;  // the row as it was before edit()
};

}  // namespace geovanta
