#include "runtime/keptprocess.h"

#include <QByteArray>
#include <QElapsedTimer>

#include "runtime/hiddenchild.h"

#if defined(Q_OS_LINUX)
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>
#endif

namespace geovanta {
namespace {

// The longest stretch spent waiting on standard output alone; text on
// standard error is collected meanwhile and seen after it at the latest.
constexpr int kWaitSliceMs = 100;
// Starting is a fork and an exec; anything longer is a system in trouble.
constexpr int kStartMs = 30000;
// A child killed with SIGKILL is gone at once, unless the kernel holds it in
// an uninterruptible wait (a dead network disk): then it is left to the system.
constexpr int kReapMs = 5000;

}  // namespace

KeptProcess::~KeptProcess() {
    if (process_.state() == QProcess::NotRunning) {
        endGroup();
        return;
    }
    killGroup();
}

void KeptProcess::killGroup() {
#if defined(Q_OS_LINUX)
    // The child leads a process group of its own (see start()): whatever it
    // started goes with it and lets go of the pipes and the photograph. The
    // group is the one remembered at the start: the child may have ended an
    // instant ago, and QProcess then no longer names it, while what it left
    // behind still runs and keeps the number from being given to another.
    const qint64 group = pid_ > 0 ? pid_ : process_.processId();
    if (!groupEnded_ && group > 0) ::kill(-static_cast<pid_t>(group), SIGKILL);
    groupEnded_ = true;
#endif
    process_.kill();
    process_.waitForFinished(kReapMs);
}

void KeptProcess::endGroup() {
#if defined(Q_OS_LINUX)
    // The child is reaped by now, but while anything of its group lives the
    // system gives its number to no other process or group; once nothing
    // does, this finds no one. It is done as soon as the end is seen.
    if (!groupEnded_ && pid_ > 0) ::kill(-static_cast<pid_t>(pid_), SIGKILL);
#endif
    groupEnded_ = true;
}

bool KeptProcess::hasEnded() {
    if (process_.state() != QProcess::NotRunning) process_.waitForFinished(0);
    if (process_.state() != QProcess::NotRunning) return false;
    endGroup();
    return true;
}

bool KeptProcess::start(const std::string& program, const std::vector<std::string>& args, std::string& error) {
    pid_ = 0;
    groupEnded_ = false;
    if (!prepareHiddenChild(process_, program, args, error)) return false;
#if defined(Q_OS_LINUX)
    // ExifTool waiting for commands on a pipe whose writer has gone turns to
    // polling it for ever; when this program dies, the child goes with it.
    const pid_t parent = ::getpid();
    process_.setChildProcessModifier([parent] {
        // The command-line tool blocks its stop signals for a thread that
        // waits for them; ExifTool must not inherit that.
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        // Ctrl+C at a terminal reaches the whole process group: in a group of
        // its own ExifTool finishes the photograph in flight, and this
        // program decides when it ends.
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(1);
    });
#endif
    process_.start(QIODevice::ReadWrite);
    if (!process_.waitForStarted(kStartMs)) {
        error = process_.errorString().toStdString();
        if (process_.state() != QProcess::NotRunning) killGroup();
        return false;
    }
    pid_ = process_.processId();
    return true;
}

bool KeptProcess::write(std::string_view bytes, int timeoutMs) {
    if (process_.state() != QProcess::Running) return false;
    if (process_.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) return false;
    QElapsedTimer clock;
    clock.start();
    while (process_.bytesToWrite() > 0) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0 || process_.state() != QProcess::Running) return false;
        process_.waitForBytesWritten(static_cast<int>(left));
    }
    return true;
}

bool KeptProcess::read(std::string& out, std::string& err, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const QByteArray o = process_.readAllStandardOutput();
        const QByteArray e = process_.readAllStandardError();
        if (!o.isEmpty() || !e.isEmpty()) {
            out.append(o.constData(), std::size_t(o.size()));
            err.append(e.constData(), std::size_t(e.size()));
            return true;
        }
        if (process_.state() == QProcess::NotRunning) {
            endGroup();
            return false;
        }
        if (clock.elapsed() >= timeoutMs) return true;
        const qint64 sliceStart = clock.elapsed();
        if (!process_.waitForReadyRead(kWaitSliceMs) && process_.state() != QProcess::NotRunning &&
            clock.elapsed() - sliceStart < kWaitSliceMs / 2) {
            // Standard output is closed while the child still runs: wait for
            // its end rather than spin.
            process_.waitForFinished(kWaitSliceMs);
        }
    }
}

void KeptProcess::finish(int ms) {
    if (process_.state() != QProcess::NotRunning) {
        process_.closeWriteChannel();
        if (ms <= 0 || !process_.waitForFinished(ms)) {
            killGroup();
            return;
        }
    }
    endGroup();
}

ChildProcessMaker KeptProcess::maker() {
    return [] { return std::make_unique<KeptProcess>(); };
}

}  // namespace geovanta
