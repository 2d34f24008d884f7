#include "output/tagwriterpool.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "output/tagreasons.h"
#include "table/messages.h"

namespace geovanta {
namespace {

// Photographs that make a second ExifTool worth its start (some tenths of a
// second), at ExifTool's tens of milliseconds per photograph.
constexpr std::size_t kPhotosPerWriter = 16;
constexpr int kMaxWriters = 4;

}  // namespace

int TagWriterPool::writersFor(std::size_t jobs) {
    const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    const auto worth = static_cast<int>(std::clamp<std::size_t>(jobs / kPhotosPerWriter, 1, kMaxWriters));
    return std::min(cores, worth);
}

TagWriterPool::TagWriterPool(TagWriter& writer, int writers, const CommandLimits& limits, std::function<void()> wake)
    : writer_(writer),
      limits_(limits),
      wake_(std::move(wake)),
      writers_(static_cast<std::size_t>(std::max(1, writers))) {
    for (std::size_t i = 0; i < writers_.size(); ++i) writers_[i].thread = std::thread(&TagWriterPool::run, this, i);
}

TagWriterPool::~TagWriterPool() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    work_.notify_all();
    for (Writer& w : writers_) w.thread.join();
}

bool TagWriterPool::submit(std::size_t slot, const TagJob& job) {
    {
        std::lock_guard lock(mutex_);
        auto idle = std::find_if(writers_.begin(), writers_.end(), [](const Writer& w) { return !w.retired && !w.busy; });
        if (idle == writers_.end()) return false;
        idle->job = &job;
        idle->slot = slot;
        idle->busy = true;
    }
    work_.notify_all();
    return true;
}

std::vector<TagWriterPool::Done> TagWriterPool::takeDone() {
    std::lock_guard lock(mutex_);
    std::vector<Done> taken;
    taken.swap(done_);
    for (const Done& d : taken) writers_[d.writer].busy = false;
    return taken;
}

int TagWriterPool::pending() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(writers_.begin(), writers_.end(), [](const Writer& w) { return w.busy; }));
}

bool TagWriterPool::allRetired(std::string& reason) const {
    std::lock_guard lock(mutex_);
    reason = retireReason_;
    return retired_ == static_cast<int>(writers_.size());
}

std::optional<std::string> TagWriterPool::stopReason() const {
    std::lock_guard lock(mutex_);
    return stopReason_;
}

TagWriter::Result TagWriterPool::writeOne(const TagJob& job, std::unique_ptr<ToolSession>& session, Record& record,
                                          std::optional<std::string>& stop) {
    for (;;) {
        if (!session) session = writer_.sessions().open();
        TagWriter::Result result = writer_.write(*session, job, limits_);
        if (result.outcome != CommandResult::Outcome::Gone || limits_.givingUp()) return result;
        // ExifTool ended after its last answer and never took this
        // photograph, which is as it was: a new one takes it. One that ends
        // each time before it writes anything is not started for ever.
        session.reset();
        record.restarted = true;
        if (++record.restarts >= kMaxRestarts) {
            stop = textOf(Msg::NotTriedRestarts, {writer_.program(), record.restarts});
            return TagWriter::refused(job, *stop);
        }
    }
}

std::optional<std::string> TagWriterPool::afterPhoto(const TagWriter::Result& result,
                                                     std::unique_ptr<ToolSession>& session, Record& record) {
    if (!result.ran) return std::nullopt;
    using Outcome = CommandResult::Outcome;
    if (session->alive()) {
        const int restarts = result.failure ? record.restarts : 0;
        record = Record{};
        record.restarts = restarts;
        return std::nullopt;
    }
    if (result.outcome == Outcome::NotStarted) return result.reason;
    // Given up at the batch's request: the batch is ending.
    if (result.outcome == Outcome::Cancelled) return result.reason;
    if (result.outcome == Outcome::NoAnswer) {
        // A hang costs a whole deadline per photograph: a second one in a
        // row stops the batch rather than trying every photograph.
        if (++record.noAnswers >= 2) return notTriedAfterNoAnswersReason();
    } else if (record.restarted) {
        // A fresh ExifTool that ends on its first photograph will end on
        // the next one too.
        return textOf(Msg::NotTriedEndedTwice, {writer_.program()});
    } else {
        record.noAnswers = 0;
    }
    // ExifTool ended under this photograph, which is reported as failed; a
    // new one takes the next, if one comes.
    record.restarted = true;
    if (++record.restarts >= kMaxRestarts) return textOf(Msg::NotTriedRestarts, {writer_.program(), record.restarts});
    session.reset();
    return std::nullopt;
}

void TagWriterPool::run(std::size_t index) {
    // Started before the first photograph comes, so that ExifTool's start
    // overlaps the wait for it.
    std::unique_ptr<ToolSession> session = writer_.sessions().open();
    Record record;
    for (;;) {
        const TagJob* job = nullptr;
        std::size_t slot = 0;
        {
            std::unique_lock lock(mutex_);
            work_.wait(lock, [&] { return closing_ || writers_[index].job; });
            if (!writers_[index].job) break;
            job = writers_[index].job;
            slot = writers_[index].slot;
        }
        std::optional<std::string> restarts;
        TagWriter::Result result = writeOne(*job, session, record, restarts);
        const std::optional<std::string> retire = restarts ? restarts : afterPhoto(result, session, record);
        const bool stop = retire && (restarts || record.noAnswers >= 2 || record.restarts >= kMaxRestarts);
        {
            std::lock_guard lock(mutex_);
            done_.push_back({slot, std::move(result), index});
            writers_[index].job = nullptr;
            if (retire) {
                writers_[index].retired = true;
                ++retired_;
                retireReason_ = *retire;
                if (stop && !stopReason_) stopReason_ = *retire;
            }
        }
        wake_();
        if (retire) break;
    }
    // Ends ExifTool on the thread that started it.
    session.reset();
}

}  // namespace geovanta
