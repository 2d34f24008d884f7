#pragma once
// A tag write of the main window on a thread of its own: begun and finished
// on the window's thread, run in between on its own, so that the window goes
// on repainting and answering while ExifTool works, or hangs.

#include <functional>
#include <memory>
#include <thread>

class QObject;

namespace geovanta {

class TagWrite;

class TagWriteThread {
public:
    // `owner` lives on the window's thread and hears of the end; it stops a
    // running write before it goes.
    explicit TagWriteThread(QObject* owner) : owner_(owner) {}
    // Stops a write still running.
    ~TagWriteThread() { stop(); }
    TagWriteThread(const TagWriteThread&) = delete;
    TagWriteThread& operator=(const TagWriteThread&) = delete;

    bool running() const { return thread_.joinable(); }
    // Runs `write`, begun already, on the thread; `done` follows on the
    // owner's thread once the thread is over, after everything the write
    // queued on its way.
    void start(std::shared_ptr<TagWrite> write, std::function<void()> done);
    // Asks the running write to end; it does within its grace.
    void abort();
    // Aborts the running write, waits for its end and finishes it, so that
    // the table learns what was rewritten; `done` does not come.
    void stop();

private:
    QObject* owner_;
    std::shared_ptr<TagWrite> write_;
    std::thread thread_;
};

}  // namespace geovanta
