#pragma once
// A child process kept running, through QProcess. Made, used and destroyed on
// one thread, which may be a plain worker thread: only QProcess's waiting
// calls are used, never its signals.

#include <QProcess>

#include "output/childprocess.h"

namespace geovanta {

class KeptProcess : public ChildProcess {
public:
    KeptProcess() = default;
    // A child still running is killed with its process group.
    ~KeptProcess() override;
    KeptProcess(const KeptProcess&) = delete;
    KeptProcess& operator=(const KeptProcess&) = delete;

    bool start(const std::string& program, const std::vector<std::string>& args, std::string& error) override;
    bool write(std::string_view bytes, int timeoutMs) override;
    bool read(std::string& out, std::string& err, int timeoutMs) override;
    bool hasEnded() override;
    bool crashed() const override { return process_.exitStatus() == QProcess::CrashExit; }
    int exitCode() const override { return process_.exitCode(); }
    void finish(int ms) override;

    // Makes a KeptProcess for each session.
    static ChildProcessMaker maker();

private:
    // Kills the child and its process group, and waits for its end.
    void killGroup();
    // Kills what is left of the child's process group once the child has
    // ended by itself.
    void endGroup();

    QProcess process_;
    qint64 pid_ = 0;  // the child's, which is its process group's too
    bool groupEnded_ = false;
};

}  // namespace geovanta
