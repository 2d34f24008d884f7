#pragma once
// Photographs written on threads of their own, each thread with its own
// ExifTool session. The batch that drives the pool hands out one photograph
// at a time to an idle writer, so that it alone decides what is written next
// and nothing new starts once the user has aborted.

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "output/tagwriter.h"

namespace geovanta {

class TagWriterPool {
public:
    struct Done {
        std::size_t slot = 0;  // the number the job was handed out with
        TagWriter::Result result;
        std::size_t writer = 0;
    };

    // Starts `writers` threads, each starting its ExifTool at once and
    // waiting for each answer within `limits`, which must outlive the pool.
    // `wake` is called on a writer's thread whenever a result is ready.
    TagWriterPool(TagWriter& writer, int writers, const CommandLimits& limits, std::function<void()> wake);
    // Lets the writers finish the photographs they have, ends every session
    // and waits for the threads.
    ~TagWriterPool();
    TagWriterPool(const TagWriterPool&) = delete;
    TagWriterPool& operator=(const TagWriterPool&) = delete;

    // Hands `job`, which must outlive its result, to an idle writer; false
    // when every writer is busy or has given up.
    bool submit(std::size_t slot, const TagJob& job);
    // The results that came since the last call, in the order they came.
    std::vector<Done> takeDone();
    // Jobs handed out whose result has not been taken yet.
    int pending() const;
    // True when every writer has given up; `reason` tells why the last did.
    bool allRetired(std::string& reason) const;
    // Why nothing more should be handed out: a writer's ExifTool did not
    // answer twice in a row, and any other would most likely hang the same
    // way, or ended again and again before it wrote a photograph.
    std::optional<std::string> stopReason() const;

    // Writers worth starting for `jobs` photographs: each costs a start of
    // ExifTool, so a small batch gets one; never more than the machine's
    // cores, and at most four.
    static int writersFor(std::size_t jobs);
    // ExifTools a writer starts one after another without a photograph
    // written before the batch stops.
    static constexpr int kMaxRestarts = 5;

private:
    struct Writer {
        std::thread thread;
        const TagJob* job = nullptr;  // set by submit(), cleared when written
        std::size_t slot = 0;
        bool busy = false;  // from submit() until its result is taken
        bool retired = false;
    };
    // How one writer's ExifTool has fared so far.
    struct Record {
        bool restarted = false;  // its session is a restart that has not answered yet
        int noAnswers = 0;       // photographs in a row it did not answer
        int restarts = 0;        // ExifTools started since it last wrote a photograph
    };
    void run(std::size_t index);
    // Writes one photograph, starting ExifTool anew as long as the one it
    // has turns out to have ended before it took the photograph; the reason
    // to stop the batch when that goes on too long.
    TagWriter::Result writeOne(const TagJob& job, std::unique_ptr<ToolSession>& session, Record& record,
                               std::optional<std::string>& stop);
    // After a photograph: the session gone when its program has ended, for a
    // new one to take the next photograph; the reason to retire the writer
    // when a new one is not worth it.
    std::optional<std::string> afterPhoto(const TagWriter::Result& result, std::unique_ptr<ToolSession>& session,
                                          Record& record);

    TagWriter& writer_;
    const CommandLimits& limits_;
    std::function<void()> wake_;
    mutable std::mutex mutex_;
    std::condition_variable work_;
    std::vector<Writer> writers_;
    std::vector<Done> done_;
    int retired_ = 0;
    std::string retireReason_;
    std::optional<std::string> stopReason_;
    bool closing_ = false;
};

}  // namespace geovanta
