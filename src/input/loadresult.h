#pragma once
#include <cstddef>
#include <string>

namespace geovanta {

// Outcome of one load command's reader.
struct LoadResult {
    enum class Status {
        Loaded,    // the file was read (rows may have been appended)
        Rejected,  // the file failed a format test; shown in the "Error" box, nothing appended
        Failed,    // an error ended the read; rows read before it stay
        Cancelled, // the user stopped it; what it did is to be thrown away
    };
    Status status = Status::Loaded;
    std::string message;  // the text to show for Rejected and Failed
    // Points whose altitude was no number a GPS can give (beyond
    // kMaxAltitudeFeet): kept, without an altitude, and counted for the person.
    std::size_t altitudesOutOfRange = 0;

    bool ok() const { return status == Status::Loaded; }
    static LoadResult loaded() { return {}; }
    static LoadResult rejected(std::string text) { return {Status::Rejected, std::move(text)}; }
    static LoadResult failed(std::string text) { return {Status::Failed, std::move(text)}; }
    static LoadResult cancelled() { return {Status::Cancelled, {}}; }
};

}  // namespace geovanta
