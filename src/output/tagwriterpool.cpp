#include "output/tagwriterpool.h"

#include <algorithm>
#include <memory>
#include <optional>

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

TagWriterPool::TagWriterPool(TagWriter& writer, int writers, std::function<void()> wake)
    : writer_(writer), wake_(std::move(wake)), writers_(static_cast<std::size_t>(std::max(1, writers))) {
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

void TagWriterPool::run(std::size_t index) {
    // Started before the first photograph comes, so that ExifTool's start
    // overlaps the wait for it.
    std::unique_ptr<ToolSession> session = writer_.sessions().open();
    bool restarted = false;
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
        TagWriter::Result result = writer_.write(*session, *job);
        std::optional<std::string> retire;
        if (result.ran) {
            if (session->alive()) {
                restarted = false;
            } else if (result.outcome == CommandResult::Outcome::NotStarted) {
                retire = result.reason;
            } else if (restarted) {
                // A fresh ExifTool that ends on its first photograph will
                // end on the next one too.
                retire = "not tried: " + writer_.program() + " ended twice in a row";
            } else {
                // ExifTool ended under this photograph, which is reported
                // as failed; a new one takes the next.
                restarted = true;
                session = writer_.sessions().open();
            }
        }
        {
            std::lock_guard lock(mutex_);
            done_.push_back({slot, std::move(result), index});
            writers_[index].job = nullptr;
            if (retire) {
                writers_[index].retired = true;
                ++retired_;
                retireReason_ = *retire;
            }
        }
        wake_();
        if (retire) break;
    }
    // Ends ExifTool on the thread that started it.
    session.reset();
}

}  // namespace geovanta
