#include "table/datatable.h"

#include <algorithm>

// DataTable's rows as a whole (made, copied, moved between tables, removed)
// and the cursor that record-by-record code moves through it.
namespace geovanta {

// ---- DataTable: row storage -----------------------------------------------------

void DataTable::insertEmptyRow(std::size_t at) {
    const bool tell = listener_ && suspendCount_ == 0;
    // Room first, in every column, so that running out of memory leaves all
    // columns as long as before instead of one row longer in some of them.
    forEachColumn([](auto& column) {
        if (column.size() == column.capacity()) column.reserve(column.size() < 16 ? 16 : column.size() * 2);
    });
    if (tell) listener_->beginInsertRow(at);
    forEachColumn([at](auto& column) { column.emplace(column.begin() + static_cast<std::ptrdiff_t>(at)); });
    if (tell) listener_->endInsertRow();
}

void DataTable::eraseRow(std::size_t at) {
    const bool tell = listener_ && suspendCount_ == 0;
    if (tell) listener_->beginRemoveRow(at);
    if (!invalidExifDates_.empty()) invalidExifDates_.erase(creation_[at]);
    if (photoAt_[at]) camerasChanged();
    forEachColumn([at](auto& column) { column.erase(column.begin() + static_cast<std::ptrdiff_t>(at)); });
    if (tell) listener_->endRemoveRow();
    if (cursor_ >= stat_.size()) cursor_ = stat_.empty() ? 0 : stat_.size() - 1;
}

DataTable::RowCopy DataTable::copyRow(std::size_t row) const {
    RowCopy c;
    c.stat = stat_[row];
    c.timeSource = timeSource_[row];
    c.name = name_[row].view();
    c.fileName = fileName_[row].view();
    c.time = time_[row];
    c.vtime = vtime_[row];
    c.lat = lat_[row];
    c.lon = lon_[row];
    c.elev = elev_[row];
    c.dist = dist_[row];
    c.speed = speed_[row];
    c.pathIndex = pathIndex_[row];
    c.zone = zone_[row];
    c.photoAt = photoAt_[row];
    c.has = has_[row];
    return c;
}

void DataTable::restoreRow(std::size_t row, const RowCopy& c) {
    stat_[row] = c.stat;
    timeSource_[row] = c.timeSource;
    name_[row] = c.name;
    fileName_[row] = c.fileName;
    time_[row] = c.time;
    vtime_[row] = c.vtime;
    lat_[row] = c.lat;
    lon_[row] = c.lon;
    elev_[row] = c.elev;
    dist_[row] = c.dist;
    speed_[row] = c.speed;
    pathIndex_[row] = c.pathIndex;
    zone_[row] = c.zone;
    if (photoAt_[row] != c.photoAt) camerasChanged();
    photoAt_[row] = c.photoAt;
    has_[row] = c.has;
    if (listener_ && suspendCount_ == 0) listener_->rowChanged(row);
}

void DataTable::reserve(std::size_t rows) {
    forEachColumn([rows](auto& column) { column.reserve(rows); });
}

std::unique_ptr<DataTable> DataTable::copyRows() const {
    auto copy = std::make_unique<DataTable>();
    std::apply([&](auto... column) { ((copy.get()->*column = this->*column), ...); }, columns());
    copy->photos_ = photos_;
    copy->cameras_ = cameras_;
    copy->cameraNumbers_ = cameraNumbers_;
    copy->places_ = places_;
    copy->placeNumbers_ = placeNumbers_;
    copy->invalidExifDates_ = invalidExifDates_;
    copy->nextCreation_ = nextCreation_;
    copy->lastScanPhotoCount_ = lastScanPhotoCount_;
    copy->cursor_ = 0;
    copy->eof_ = copy->bof_ = copy->stat_.empty();
    return copy;
}

void DataTable::takeRows(DataTable& other) {
    other.storePending();
    std::apply([&](auto... column) { ((this->*column).swap(other.*column), ...); }, columns());
    photos_.swap(other.photos_);
    cameras_.swap(other.cameras_);
    cameraNumbers_.swap(other.cameraNumbers_);
    places_.swap(other.places_);
    placeNumbers_.swap(other.placeNumbers_);
    camerasChanged();
    invalidExifDates_.swap(other.invalidExifDates_);
    std::swap(nextCreation_, other.nextCreation_);
    lastScanPhotoCount_ = other.lastScanPhotoCount_;
    cursor_ = other.cursor_ < stat_.size() ? other.cursor_ : 0;
    eof_ = other.eof_ || stat_.empty();
    bof_ = other.bof_ || stat_.empty();
    state_ = State::Browse;
    modified_ = false;
    other.clear();
    if (listener_ && suspendCount_ == 0) listener_->tableReset();
}

std::size_t DataTable::removeRows(const std::vector<bool>& gone) {
    storePending();
    const std::size_t before = stat_.size();
    const std::size_t n = std::min(gone.size(), before);
    if (!invalidExifDates_.empty())
        for (std::size_t row = 0; row < n; ++row)
            if (gone[row]) invalidExifDates_.erase(creation_[row]);
    camerasChanged();
    forEachColumn([&](auto& column) {
        std::size_t to = 0;
        for (std::size_t row = 0; row < column.size(); ++row)
            if (row >= n || !gone[row]) {
                if (to != row) column[to] = std::move(column[row]);
                ++to;
            }
        column.resize(to);
    });
    const std::size_t removed = before - stat_.size();
    first();
    if (listener_ && suspendCount_ == 0) listener_->tableReset();
    return removed;
}

std::size_t DataTable::appendCopyOf(const DataTable& other, std::size_t row) {
    other.checkRow(row);
    append();
    overwriteRow(cursor_, other, row);
    post();
    setInvalidExifDate(cursor_, other.invalidExifDate(row));  // now that the row has its creation number
    return cursor_;
}

void DataTable::overwriteRow(std::size_t row, const DataTable& other, std::size_t otherRow) {
    checkRow(row);
    other.checkRow(otherRow);
    const uint64_t creation = creation_[row];
    const uint32_t photoAt = photoAt_[row];
    std::apply([&](auto... column) { (((this->*column)[row] = (other.*column)[otherRow]), ...); }, columns());
    creation_[row] = creation;
    // The other table's photo record, in a record of this one.
    photoAt_[row] = photoAt;
    if (const PhotoRecord* theirs = other.photoRecord(otherRow)) {
        PhotoRecord copy = *theirs;  // before this table's records may move
        copy.camera = theirs->camera ? cameraNumber(other.cameras_[theirs->camera - 1]) : 0;
        copy.place = theirs->place ? placeNumber(other.places_[theirs->place - 1]) : 0;
        writablePhotoRecord(row) = std::move(copy);
    } else {
        photoAt_[row] = 0;
    }
    camerasChanged();
    if (row == cursor_ && state_ != State::Browse) modified_ = true;
    if (creation != 0) setInvalidExifDate(row, other.invalidExifDate(otherRow));
    if (listener_ && suspendCount_ == 0) listener_->rowChanged(row);
}

void DataTable::clear() {
    forEachColumn([](auto& column) { column.clear(); });
    photos_.clear();
    cameras_.clear();
    cameraNumbers_.clear();
    places_.clear();
    placeNumbers_.clear();
    camerasChanged();
    invalidExifDates_.clear();
    cursor_ = 0;
    eof_ = bof_ = true;
    state_ = State::Browse;
    modified_ = false;
    if (listener_ && suspendCount_ == 0) listener_->tableReset();
}

// ---- DataTable: cursor ----------------------------------------------------------

void DataTable::storePending() {
    if (state_ == State::Browse) return;
    if (modified_ || state_ == State::Edit) {
        if (modified_)
            post();
        else
            state_ = State::Browse;
    } else {
        cancel();
    }
}

void DataTable::first() {
    storePending();
    cursor_ = 0;
    bof_ = true;
    eof_ = stat_.empty();
}

void DataTable::last() {
    storePending();
    cursor_ = stat_.empty() ? 0 : stat_.size() - 1;
    eof_ = true;
    bof_ = stat_.empty();
}

void DataTable::next() {
    storePending();
    bof_ = false;
    if (cursor_ + 1 < stat_.size()) {
        ++cursor_;
        eof_ = false;
    } else {
        eof_ = true;
    }
}

void DataTable::prior() {
    storePending();
    eof_ = false;
    if (cursor_ > 0 && !stat_.empty()) {
        --cursor_;
        bof_ = false;
    } else {
        bof_ = true;
    }
}

void DataTable::moveTo(std::size_t row) {
    const bool dropping = state_ == State::Insert && !modified_;
    const std::size_t dropped = cursor_;
    storePending();
    if (dropping && dropped < row && row > 0) --row;
    if (stat_.empty()) {
        first();
        return;
    }
    cursor_ = std::min(row, stat_.size() - 1);
    eof_ = bof_ = false;
}

void DataTable::append() {
    storePending();
    insertEmptyRow(stat_.size());
    cursor_ = stat_.size() - 1;
    state_ = State::Insert;
    modified_ = false;
    eof_ = bof_ = false;
}

void DataTable::insert() {
    storePending();
    const std::size_t at = stat_.empty() ? 0 : cursor_;
    insertEmptyRow(at);
    cursor_ = at;
    state_ = State::Insert;
    modified_ = false;
    eof_ = bof_ = false;
}

void DataTable::edit() {
    requireCursorRow();
    if (state_ != State::Browse) return;
    saved_ = copyRow(cursor_);
    state_ = State::Edit;
    modified_ = false;
}

void DataTable::post() {
    if (state_ == State::Browse) return;
    if (state_ == State::Insert) creation_[cursor_] = nextCreation_++;
    state_ = State::Browse;
    modified_ = false;
    if (listener_ && suspendCount_ == 0) listener_->rowChanged(cursor_);
}

void DataTable::cancel() {
    if (state_ == State::Insert) {
        state_ = State::Browse;
        modified_ = false;
        eraseRow(cursor_);
    } else if (state_ == State::Edit) {
        state_ = State::Browse;
        modified_ = false;
        restoreRow(cursor_, saved_);
    }
}

void DataTable::deleteRow() {
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    requireCursorRow();
    state_ = State::Browse;
    modified_ = false;
    eraseRow(cursor_);
}

FieldRef DataTable::fieldByName(std::string_view name) {
    const auto id = findField(name);
    if (!id) throw std::out_of_range("Field '" + std::string(name) + "' not found");
    return FieldRef(*this, *id);
}

}  // namespace geovanta
