#include "output/filerewrites.h"

#include "table/datatable.h"

namespace geovanta {

void FileRewrites::add(const FileStamp& before, const FileStamp& after) {
    if (before == after) return;
    for (auto& entry : latest_)
        if (entry.second == before) entry.second = after;
    // A stamp that is current again (its inode was reused) is no old one.
    latest_.erase(after);
    latest_[before] = after;
}

FileStamp FileRewrites::current(const FileStamp& stamp) const {
    const auto it = latest_.find(stamp);
    return it == latest_.end() ? stamp : it->second;
}

void FileRewrites::applyTo(DataTable& table) const {
    if (latest_.empty()) return;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const FileStamp* stamp = table.fileStamp(row);
        if (stamp && latest_.count(*stamp)) table.setFileStamp(row, current(*stamp));
    }
}

}  // namespace geovanta
