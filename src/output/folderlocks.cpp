#include "output/folderlocks.h"

#include <algorithm>

namespace geovanta {

FolderLocks::FolderLocks(std::vector<std::string> folders) : folders_(std::move(folders)) {
    std::sort(folders_.begin(), folders_.end());
    folders_.erase(std::unique(folders_.begin(), folders_.end()), folders_.end());
    locks_.reserve(folders_.size());
    advance();
}

void FolderLocks::advance() {
    while (next_ < folders_.size()) {
        if (locks_.size() == next_) locks_.emplace_back(folders_[next_]);
        if (locks_[next_].state() == FolderLock::State::Busy) return;
        ++next_;
    }
}

void FolderLocks::retry() {
    if (next_ >= folders_.size()) return;
    locks_[next_].tryAgain();
    advance();
}

bool FolderLocks::holds(const std::string& folder) const {
    const auto it = std::lower_bound(folders_.begin(), folders_.end(), folder);
    if (it == folders_.end() || *it != folder) return false;
    const auto at = static_cast<std::size_t>(it - folders_.begin());
    return at < locks_.size() && locks_[at].state() == FolderLock::State::Held;
}

}  // namespace geovanta
