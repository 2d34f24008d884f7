#pragma once
// The locks of every folder one batch writes in. They are taken one by one
// in a fixed order and a busy one is waited for before the next is tried, so
// that two batches over the same folders never each hold what the other
// waits for.

#include <cstddef>
#include <string>
#include <vector>

#include "output/folderlock.h"

namespace geovanta {

class FolderLocks {
public:
    // Tries the folders (in any order, repeated or not) until one is busy.
    explicit FolderLocks(std::vector<std::string> folders);

    // The folder another writer holds and this batch waits for; nullptr once
    // none is left to wait for.
    const std::string* busyFolder() const { return next_ < folders_.size() ? &folders_[next_] : nullptr; }
    // Tries the busy folder once more and, once it is had, goes on with the rest.
    void retry();
    // True when this batch holds the folder's lock.
    bool holds(const std::string& folder) const;

private:
    void advance();

    std::vector<std::string> folders_;  // sorted, each once
    std::vector<FolderLock> locks_;     // those tried so far, in that order
    std::size_t next_ = 0;              // the first folder not yet held or given up
};

}  // namespace geovanta
