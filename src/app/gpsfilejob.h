#pragma once
// Reading one GPS file into the document and binding once. A file loaded
// before (the same canonical path, or the same file renamed) gives up its
// old points to the new read, so loading a changed file again replaces it
// rather than adding it twice; a read that fails keeps the old points.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/document.h"
#include "app/job.h"
#include "input/gpsfile.h"

namespace geovanta {

class GpsFileJob : public Job {
public:
    struct Outcome {
        std::string path;
        LoadResult result;
        GpsReadStats stats;
        std::size_t replacedRows = 0;  // rows of the file's earlier load taken out
        bool keptEarlier = false;      // read again and failed: the earlier load's rows stay

        // What the person is told besides an error: the points left out by
        // reason, those kept without an altitude, the file's warnings; one
        // line each, naming the file.
        std::vector<std::string> notes() const;
    };
    // Called on the document's thread when the job has ended, unless cancelled.
    using Done = std::function<void(Document&, const Outcome&)>;

    GpsFileJob(std::string path, const FileFormat& format, Done done)
        : format_(format), done_(std::move(done)) {
        outcome_.path = std::move(path);
    }

    std::string title() const override;
    ProgressUnit unit() const override { return format_.photoFolder ? ProgressUnit::Photos : ProgressUnit::Bytes; }
    void start(Document& document) override;
    void work(DataTable& table, Progress& progress) override;
    bool stoppedEarly() const override { return outcome_.result.status == LoadResult::Status::Cancelled; }
    void finish(Document& document, bool cancelled) override;

private:
    const FileFormat& format_;
    Done done_;
    BindingParams params_;
    GpsReadOptions options_;
    uint16_t trackCounter_ = 0, trackCounterBefore_ = 0;
    std::optional<LoadedSource> before_;
    LoadedSource source_;
    Outcome outcome_;
};

}  // namespace geovanta
