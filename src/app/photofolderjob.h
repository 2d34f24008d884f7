#pragma once
// Scanning one photo folder into the document and binding once. A
// photograph that already has a row (the same canonical path, or the same
// file renamed) is refreshed in place — new time, stamp and placement,
// except a place given by hand, which it keeps — so loading a folder again
// after a change never adds a photograph twice; photographs gone from the
// folder since leave (photomerge.h).

#include <functional>
#include <string>

#include "app/document.h"
#include "app/job.h"
#include "app/photomerge.h"
#include "input/photoscanner.h"

namespace geovanta {

class PhotoFolderJob : public Job {
public:
    struct Outcome {
        std::string folder;
        PhotoScanResult scan;
        PhotoMerge merge;
    };
    // Called on the document's thread when the job has ended, unless cancelled.
    using Done = std::function<void(Document&, const Outcome&)>;

    PhotoFolderJob(std::string folder, Done done) : done_(std::move(done)) { outcome_.folder = std::move(folder); }

    std::string title() const override;
    ProgressUnit unit() const override { return ProgressUnit::Photos; }
    void start(Document& document) override;
    void work(DataTable& table, Progress& progress) override;
    bool stoppedEarly() const override { return outcome_.scan.status == LoadResult::Status::Cancelled; }
    void finish(Document& document, bool cancelled) override;

private:
    Done done_;
    BindingParams params_;
    SubFolders subFolders_ = SubFolders::Skip;  // as the document's state says when the job starts
    LoadedSource source_;
    Outcome outcome_;
};

}  // namespace geovanta
