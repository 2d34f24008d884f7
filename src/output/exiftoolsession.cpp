#include "output/exiftoolsession.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <chrono>
#include <optional>
#include <random>
#include <vector>

#include "output/tagreasons.h"
#include "table/messages.h"
#include "table/textcodec.h"
#include "table/textlines.h"

namespace geovanta {
namespace {

// Time ExifTool gets to end by itself after "-stay_open False".
constexpr int kCloseMs = 5000;
// ExifTool ends its error text before it says "{ready}"; an ExifTool too old
// to know "-echo4" never sends that end, and its text is taken as it is after
// this long.
constexpr std::chrono::milliseconds kErrorEnd{1000};
// The longest single wait for output, so that a caller giving up is heard
// within a fraction of a second.
constexpr std::chrono::milliseconds kSlice{100};
// ExifTool says a few lines per photograph; this much without the end of
// the command is no answer, and memory stays bounded whatever it prints.
constexpr std::size_t kMaxAnswerBytes = std::size_t(1) << 20;
// What an ExifTool that was given up had said is shown up to this size.
constexpr std::size_t kShownBytes = 64 * 1024;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r' || c == '\n'; }

// Where a line that is exactly `marker` (at the start of `text` or after a
// line end, followed by one of `next`) begins, or npos.
std::size_t findMarkerLine(std::string_view text, std::string_view marker, std::string_view next) {
    for (std::size_t at = text.find(marker); at != std::string_view::npos; at = text.find(marker, at + 1)) {
        const std::size_t after = at + marker.size();
        if ((at == 0 || text[at - 1] == '\n') && after < text.size() && next.find(text[after]) != std::string_view::npos)
            return at;
    }
    return std::string_view::npos;
}

std::string newNonce() {
    std::random_device random;
    return std::to_string(std::uniform_int_distribution<unsigned>(100000000, 999999999)(random));
}

}  // namespace

std::optional<std::string> ExifToolSession::argumentLine(std::string_view arg) {
    // ExifTool drops the blanks that start a line and the line breaks that
    // end it, skips empty lines and lines starting with "#", and squeezes
    // blanks around "=" in an option; anything like that is sent escaped.
    bool plain = !arg.empty() && !isBlank(arg.front()) && arg.front() != '#';
    for (char c : arg) {
        if (c == '\r' || c == '\n' || (arg.front() == '-' && isBlank(c))) plain = false;
    }
    if (plain) return std::string(arg) + "\n";
    if (arg.find_first_of("$@") != std::string_view::npos) return std::nullopt;
    std::string line = "#[CSTR]";
    for (char c : arg) {
        switch (c) {
            case '\\': line += "\\\\"; break;
            case '\n': line += "\\n"; break;
            case '\r': line += "\\r"; break;
            default: line += c;
        }
    }
    return line + "\n";
}

ExifToolSession::ExifToolSession(std::unique_ptr<ChildProcess> child, const std::string& program)
    : child_(std::move(child)), nonce_(newNonce()) {
    // File names go through as the bytes they are; only on Windows would
    // ExifTool need "-charset filename" to read them.
    started_ = child_->start(program, {"-stay_open", "True", "-@", "-"}, startError_);
    alive_ = started_;
}

ExifToolSession::~ExifToolSession() {
    if (!started_) return;
    // A caller that gave up waits for nothing more. ExifTool between
    // commands writes nothing, so ending it at once cuts nothing short.
    const bool gentle = alive_ && !(giveUp_ && giveUp_->load());
    if (gentle) child_->write("-stay_open\nFalse\n", kCloseMs);
    child_->finish(gentle ? kCloseMs : 0);
}

CommandResult ExifToolSession::execute(const std::vector<std::string>& args, const CommandLimits& limits) {
    giveUp_ = limits.giveUp;
    CommandResult result;
    if (!started_) {
        result.startError = startError_;
        return result;
    }
    // An ExifTool that ended after its last answer is not handed this
    // command: the caller may start another for it, nothing having been done.
    if (!alive_ || child_->hasEnded()) {
        alive_ = false;
        CommandResult gone = ended();
        gone.outcome = CommandResult::Outcome::Gone;
        return gone;
    }
    std::string text;
    for (const std::string& arg : args) {
        const std::optional<std::string> line = argumentLine(arg);
        if (!line) {
            result.startError = textOf(Msg::ArgumentFileCannotCarry, {quotedExcerpt(arg)});
            return result;
        }
        text += *line;
    }
    const std::string id = nonce_ + std::to_string(++commands_);
    // "-echo4" prints its text on standard error when the command is done,
    // just before "{ready}" on standard output, with the command's status.
    text += "-echo4\n{ready" + id + "} ${status}\n-execute" + id + "\n";
    // The answer's time counts from here: an ExifTool that stops taking its
    // input uses it up on the write, and collect() then gives it up.
    const auto deadline = std::chrono::steady_clock::now() + limits.answerWithin;
    const auto writeMs = std::min<std::chrono::milliseconds::rep>(limits.answerWithin.count(), INT_MAX);
    child_->write(text, static_cast<int>(writeMs));  // an end shows in collect()
    return collect(id, limits, deadline);
}

CommandResult ExifToolSession::ready(const CommandLimits& limits) {
    // Perl takes a good part of a second to load ExifTool: a photograph sent
    // before that would wait in the pipe, its file checked long before
    // ExifTool opens it. "-ver" asks nothing of any file.
    if (!warm_) {
        CommandResult version = execute({"-ver"}, limits);
        if (version.outcome != CommandResult::Outcome::Exited) return version;
        warm_ = true;
    }
    return ToolSession::ready(limits);
}

CommandResult ExifToolSession::ended() const {
    CommandResult result;
    result.outcome = child_->crashed() ? CommandResult::Outcome::Crashed : CommandResult::Outcome::Stopped;
    result.exitCode = child_->exitCode();
    return result;
}

CommandResult ExifToolSession::giveUp(CommandResult::Outcome outcome, std::string reason) {
    // Ended here, on the thread that owns it, with whatever it started.
    child_->finish(0);
    alive_ = false;
    CommandResult result;
    result.outcome = outcome;
    result.givenUp = std::move(reason);
    if (out_.size() + err_.size() <= kShownBytes) {
        result.outputLines = splitLines(out_);
        result.errorLines = splitLines(err_);
    }
    std::string().swap(out_);
    std::string().swap(err_);
    return result;
}

CommandResult ExifToolSession::collect(const std::string& id, const CommandLimits& limits,
                                       std::chrono::steady_clock::time_point deadline) {
    using Clock = std::chrono::steady_clock;
    const std::string marker = "{ready" + id + "}";
    CommandResult result;
    std::size_t outEnd = std::string::npos, errEnd = std::string::npos;
    // Since when standard error has been quiet after "{ready}" came; max: not yet.
    Clock::time_point errorQuiet = Clock::time_point::max();
    for (;;) {
        if (outEnd == std::string::npos) outEnd = findMarkerLine(out_, marker, "\r\n");
        if (errEnd == std::string::npos) errEnd = findMarkerLine(err_, marker, " ");
        const Clock::time_point now = Clock::now();
        if (outEnd != std::string::npos) {
            if (errEnd != std::string::npos) break;
            if (errorQuiet == Clock::time_point::max()) errorQuiet = now;
            if (now - errorQuiet >= kErrorEnd) break;
        }
        if (limits.givingUp()) return giveUp(CommandResult::Outcome::Cancelled, endedByAbortReason());
        if (now >= deadline) {
            const auto seconds = std::chrono::ceil<std::chrono::seconds>(limits.answerWithin).count();
            return giveUp(CommandResult::Outcome::NoAnswer, noAnswerReason(static_cast<int>(seconds)));
        }
        if (out_.size() + err_.size() > kMaxAnswerBytes)
            return giveUp(CommandResult::Outcome::NoAnswer, notAnAnswerReason());
        const auto slice = std::min<Clock::duration>(kSlice, deadline - now);
        const std::size_t errBefore = err_.size();
        if (!child_->read(out_, err_, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(slice).count()))) {
            alive_ = false;
            result = ended();
            // Ending by itself without a word about the command, it was
            // ending before it took it (a command it took ends with its
            // count of files, or its error); one killed may have been
            // anywhere in it.
            if (result.outcome == CommandResult::Outcome::Stopped && out_.empty() && err_.empty())
                result.outcome = CommandResult::Outcome::Gone;
            result.outputLines = splitLines(out_);
            result.errorLines = splitLines(err_);
            out_.clear();
            err_.clear();
            return result;
        }
        if (err_.size() != errBefore) errorQuiet = Clock::time_point::max();
    }
    result.outcome = CommandResult::Outcome::Exited;
    result.outputLines = splitLines(std::string_view(out_).substr(0, outEnd));
    result.errorLines = splitLines(std::string_view(err_).substr(0, errEnd));
    // An ExifTool without "-echo4" takes the marker for a file it cannot find.
    std::erase_if(result.errorLines, [&](const std::string& line) { return line.find(marker) != std::string::npos; });
    int status = -1;
    if (errEnd != std::string::npos) {
        const std::size_t statusAt = errEnd + marker.size() + 1;
        const std::size_t statusEnd = std::min(err_.find_first_of("\r\n", statusAt), err_.size());
        const auto [ptr, ec] = std::from_chars(err_.data() + statusAt, err_.data() + statusEnd, status);
        if (ec != std::errc() || ptr != err_.data() + statusEnd) status = -1;
    }
    if (status < 0) {
        // An ExifTool too old for "${status}" or "-echo4": its errors say it.
        status = 0;
        for (const std::string& line : result.errorLines)
            if (line.rfind("Error", 0) == 0) status = 1;
    }
    result.exitCode = status;
    // Nothing follows the markers: ExifTool waits for the next command.
    out_.clear();
    err_.clear();
    return result;
}

}  // namespace geovanta
