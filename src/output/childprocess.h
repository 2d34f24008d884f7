#pragma once
// A child process that stays running and is talked to through its standard
// input, output and error, bytes unchanged. ExifTool kept open for a batch of
// photographs runs behind this; tests can script one.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace geovanta {

class ChildProcess {
public:
    virtual ~ChildProcess() = default;

    // Starts `program` with `args` (a list: nothing is parsed by a shell),
    // hidden, with an empty environment and the program's current folder.
    // False, with the system's reason in `error`, when it could not start.
    virtual bool start(const std::string& program, const std::vector<std::string>& args, std::string& error) = 0;
    // Hands all of `bytes` to its standard input within `timeoutMs`
    // milliseconds; false when it has ended, or has not taken them by then (a
    // child that stops reading would otherwise hold the writer for good).
    virtual bool write(std::string_view bytes, int timeoutMs) = 0;
    // Waits until more output has come on either stream, the child has ended
    // or `timeoutMs` milliseconds have passed, and adds what came to `out`
    // and `err`. False once the child has ended and all it wrote has been read.
    virtual bool read(std::string& out, std::string& err, int timeoutMs) = 0;
    // Whether it has ended, asked without waiting: a child that ended
    // between two commands is then never handed the next. Once it has, what
    // it started goes with it.
    virtual bool hasEnded() = 0;
    // How it ended, once read() has returned false.
    virtual bool crashed() const = 0;
    virtual int exitCode() const = 0;
    // Closes its standard input and gives it `ms` milliseconds to end by
    // itself; kills it after that, and whatever it started with it. 0: kills
    // it at once. A child that ended by itself leaves nothing it started
    // behind either.
    virtual void finish(int ms) = 0;
};

using ChildProcessMaker = std::function<std::unique_ptr<ChildProcess>()>;

}  // namespace geovanta
