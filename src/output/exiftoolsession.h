#pragma once
// ExifTool kept open for a batch: started once with "-stay_open True -@ -",
// it reads each command's arguments from its standard input, one argument a
// line, runs the command at "-execute" and says "{ready}" when it is done.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "output/childprocess.h"
#include "output/toolsession.h"

namespace geovanta {

class ExifToolSession : public ToolSession {
public:
    // Starts ExifTool in `child`; a failed start is reported by the first command.
    ExifToolSession(std::unique_ptr<ChildProcess> child, const std::string& program);
    // Tells ExifTool to end and gives it a moment to do so; ends it at once
    // when the last command's caller has given up.
    ~ExifToolSession() override;
    ExifToolSession(const ExifToolSession&) = delete;
    ExifToolSession& operator=(const ExifToolSession&) = delete;

    CommandResult execute(const std::vector<std::string>& args, const CommandLimits& limits) override;
    // The first time, waits for the answer to a command that asks nothing.
    CommandResult ready(const CommandLimits& limits) override;
    bool alive() const override { return alive_; }

    // `arg` as one line of the argument file, with its line end. Nothing when
    // no line can carry it unchanged: ExifTool's escaped form, needed for line
    // breaks, cannot hold "$" or "@".
    static std::optional<std::string> argumentLine(std::string_view arg);

private:
    // Reads until both streams have carried the command's end marker, or
    // ExifTool has ended or is given up under `limits`; no answer by
    // `deadline` (counted from when the command was handed over) is none.
    CommandResult collect(const std::string& id, const CommandLimits& limits,
                          std::chrono::steady_clock::time_point deadline);
    // How the ExifTool that has ended went.
    CommandResult ended() const;
    // Ends ExifTool, which will not answer, and says why.
    CommandResult giveUp(CommandResult::Outcome outcome, std::string reason);

    std::unique_ptr<ChildProcess> child_;
    std::string startError_;
    bool started_ = false;
    bool alive_ = false;
    bool warm_ = false;  // has answered a command
    const std::atomic<bool>* giveUp_ = nullptr;  // the last command's, which outlives the session
    // Marks this session's "{ready}" lines, so that no text ExifTool prints
    // (a file name, say) can pass for one.
    std::string nonce_;
    unsigned long long commands_ = 0;
    std::string out_, err_;
};

class ExifToolSessions : public SessionFactory {
public:
    ExifToolSessions(std::string program, ChildProcessMaker makeChild)
        : program_(std::move(program)), makeChild_(std::move(makeChild)) {}

    std::unique_ptr<ToolSession> open() override {
        return std::make_unique<ExifToolSession>(makeChild_(), program_);
    }
    const std::string& program() const override { return program_; }

private:
    std::string program_;
    ChildProcessMaker makeChild_;
};

}  // namespace geovanta
