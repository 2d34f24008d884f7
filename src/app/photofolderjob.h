#pragma once
// Scanning one photo folder into the document. A photograph that already has
// a row (the same file, however its folder is spelled) is refreshed in place
// — new time, stamp and placement — so loading a folder again after a change
// never adds a photograph twice.

#include <functional>
#include <string>

#include "app/document.h"
#include "app/job.h"
#include "input/photoscanner.h"

namespace geovanta {

class PhotoFolderJob : public Job {
public:
    struct Outcome {
        std::string folder;
        PhotoScanResult scan;
        std::size_t refreshed = 0;  // photographs that had a row already
    };
    // Called on the document's thread when the job has ended, unless cancelled.
    using Done = std::function<void(Document&, const Outcome&)>;

    PhotoFolderJob(std::string folder, Done done) : done_(std::move(done)) { outcome_.folder = std::move(folder); }

    std::string title() const override;
    ProgressUnit unit() const override { return ProgressUnit::Photos; }
    void start(Document& document) override;
    void work(DataTable& table, Progress& progress) override;
    void finish(Document& document, bool cancelled) override;

    // Puts the photographs of `scanned` into `table`: a file `table` has a
    // row for already takes that row, the others are appended. Returns how
    // many were refreshed.
    static std::size_t mergePhotos(DataTable& table, const DataTable& scanned);

private:
    Done done_;
    BindingParams params_;
    SubFolders subFolders_ = SubFolders::Skip;  // as the document's state says when the job starts
    LoadedSource source_;
    Outcome outcome_;
};

}  // namespace geovanta
