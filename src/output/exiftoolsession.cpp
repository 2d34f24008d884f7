#include "output/exiftoolsession.h"

#include <algorithm>
#include <charconv>
#include <random>
#include <vector>

#include "table/textcodec.h"
#include "table/textlines.h"

namespace geovanta {
namespace {

// Time ExifTool gets to end by itself after "-stay_open False".
constexpr int kCloseMs = 5000;
// ExifTool ends its error text before it says "{ready}"; an ExifTool too old
// to know "-echo4" never sends that end, and its text is taken as it is after
// this long.
constexpr int kErrorEndMs = 1000;

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
    if (alive_) child_->write("-stay_open\nFalse\n");
    child_->finish(alive_ ? kCloseMs : 0);
}

CommandResult ExifToolSession::execute(const std::vector<std::string>& args) {
    CommandResult result;
    if (!started_) {
        result.startError = startError_;
        return result;
    }
    if (!alive_) return ended();
    std::string text;
    for (const std::string& arg : args) {
        const std::optional<std::string> line = argumentLine(arg);
        if (!line) {
            result.startError = "ExifTool's argument file cannot carry " + quotedExcerpt(arg);
            return result;
        }
        text += *line;
    }
    const std::string id = nonce_ + std::to_string(++commands_);
    // "-echo4" prints its text on standard error when the command is done,
    // just before "{ready}" on standard output, with the command's status.
    text += "-echo4\n{ready" + id + "} ${status}\n-execute" + id + "\n";
    child_->write(text);  // a child that has ended shows in collect()
    return collect(id);
}

CommandResult ExifToolSession::ended() const {
    CommandResult result;
    result.outcome = child_->crashed() ? CommandResult::Outcome::Crashed : CommandResult::Outcome::Stopped;
    result.exitCode = child_->exitCode();
    return result;
}

CommandResult ExifToolSession::collect(const std::string& id) {
    const std::string marker = "{ready" + id + "}";
    CommandResult result;
    std::size_t outEnd = std::string::npos, errEnd = std::string::npos;
    bool errorEndMissing = false;
    for (;;) {
        if (outEnd == std::string::npos) outEnd = findMarkerLine(out_, marker, "\r\n");
        if (errEnd == std::string::npos) errEnd = findMarkerLine(err_, marker, " ");
        if (outEnd != std::string::npos && (errEnd != std::string::npos || errorEndMissing)) break;
        const std::size_t errBefore = err_.size();
        const bool running = outEnd == std::string::npos ? child_->read(out_, err_)
                                                         : child_->read(out_, err_, kErrorEndMs);
        if (!running) {
            alive_ = false;
            result = ended();
            result.outputLines = splitLines(out_);
            result.errorLines = splitLines(err_);
            out_.clear();
            err_.clear();
            return result;
        }
        errorEndMissing = outEnd != std::string::npos && err_.size() == errBefore;
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
