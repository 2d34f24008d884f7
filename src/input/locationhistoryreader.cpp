#include "input/locationhistoryreader.h"

#include <algorithm>
#include <memory>
#include <string>

#include "input/historywalk.h"
#include "input/jsonstream.h"
#include "input/positionedfile.h"
#include "input/wholefile.h"
#include "table/displaysuspension.h"
#include "table/messages.h"

namespace geovanta {
namespace {

// A fix of the pretty-printed archive takes about 200 bytes, the exports'
// paths less; rows reserved but not used cost no memory.
constexpr std::size_t kTypicalPointBytes = 160;
// What the reader looks at first to tell a history from other files.
constexpr std::size_t kHeadBytes = 4096;

std::string_view withoutByteOrderMark(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    return bytes;
}

// The first character that is not JSON's white space, or 0.
char firstCharacter(std::string_view text) {
    const std::size_t at = text.find_first_not_of(" \t\r\n");
    return at == std::string_view::npos ? '\0' : text[at];
}

// The file's bytes a piece at a time, up to the size it had when opened (a
// log still being written would never end).
class FilePieces {
public:
    FilePieces(PositionedFile& file, std::size_t from, std::size_t pieceBytes)
        : file_(file), offset_(from), buffer_(new char[pieceBytes]), pieceBytes_(pieceBytes) {}

    std::string_view next() {
        if (failed_ || offset_ >= file_.size()) return {};
        const auto count = static_cast<std::size_t>(std::min<uint64_t>(pieceBytes_, file_.size() - offset_));
        const long long got = file_.readAt(offset_, buffer_.get(), count);
        if (got < 0) failed_ = true;
        if (got <= 0) return {};
        offset_ += static_cast<uint64_t>(got);
        return {buffer_.get(), static_cast<std::size_t>(got)};
    }
    bool failed() const { return failed_; }

private:
    PositionedFile& file_;
    uint64_t offset_;
    std::unique_ptr<char[]> buffer_;
    std::size_t pieceBytes_;
    bool failed_ = false;
};

// Reads the text that follows `base` bytes (a byte order mark) of a file of
// `size` bytes, whose first bytes are `head`, piece by piece from `next`.
LoadResult readHistory(std::string_view head, std::size_t size, std::size_t base, JsonStream::NextPiece next,
                       GpsRead& read) {
    const char first = firstCharacter(head.substr(base));
    if ((first == '\0' && head.size() == size) || (first != '\0' && first != '{' && first != '['))
        return LoadResult::rejected(textOf(Msg::NotLocationHistory));

    JsonStream stream(std::move(next), size - base);
    stream.setProgress(read.progress);
    if (FileBytes* spent = read.spent) stream.onPassed([spent, base](std::size_t offset) { spent->release(base + offset); });
    HistoryWalk walk(read, stream, base, size / kTypicalPointBytes);
    JsonEnd end;
    {
        DisplaySuspension suspended(read.rows);
        end = stream.read(walk);
    }
    if (read.spent) read.spent->release(size);
    if (end.kind == JsonEnd::Kind::Cancelled) return LoadResult::cancelled();

    LoadResult result;
    if (end.kind == JsonEnd::Kind::TooDeep) {
        // Hostile whatever it was meant to be: said as such, not as a file of another kind.
        result = LoadResult::failed(textOf(Msg::JsonTooDeep, {JsonStream::kMaxDepth}) + walk.where(end.offset));
    } else if (!walk.recognised()) {
        return LoadResult::rejected(textOf(Msg::NotLocationHistory));
    } else if (end.kind == JsonEnd::Kind::Stopped) {
        result = LoadResult::failed(walk.failure());
    } else if (end.kind == JsonEnd::Kind::Malformed) {
        result = LoadResult::failed(textOf(Msg::MalformedJson, {end.reason}) + walk.where(end.offset));
    } else if (walk.points() == 0 && walk.passedOver() > 0) {
        read.stats.warnings.push_back(textOfCount(Msg::NoPathOnlyVisits, walk.passedOver(), {walk.passedOver()}));
    }
    return result;
}

}  // namespace

LoadResult readLocationHistory(std::string_view bytes, GpsRead& read) {
    return readLocationHistory(bytes, read, JsonStream::kDefaultPieceBytes);
}

LoadResult readLocationHistory(std::string_view bytes, GpsRead& read, std::size_t pieceBytes) {
    const std::size_t base = bytes.size() - withoutByteOrderMark(bytes).size();
    return readHistory(bytes, bytes.size(), base, JsonStream::piecesOf(bytes.substr(base), pieceBytes), read);
}

LoadResult readLocationHistoryFile(GpsRead& read) { return readLocationHistoryFile(read, JsonStream::kDefaultPieceBytes); }

LoadResult readLocationHistoryFile(GpsRead& read, std::size_t pieceBytes) {
    PositionedFile file;
    if (file.open(read.path) != PositionedFile::OpenResult::Opened)
        return LoadResult::failed(cannotOpenMessage(read.path, file.failureReason()));
    char head[kHeadBytes];
    const long long got = file.readAt(0, head, sizeof head);
    if (got < 0) return LoadResult::failed(cannotOpenMessage(read.path, file.failureReason()));
    const std::string_view headView(head, static_cast<std::size_t>(got));
    const std::size_t base = headView.size() - withoutByteOrderMark(headView).size();
    FilePieces pieces(file, base, std::max<std::size_t>(pieceBytes, 1));
    LoadResult result = readHistory(headView, static_cast<std::size_t>(file.size()), base,
                                    [&pieces] { return pieces.next(); }, read);
    // The text seemed to end where the file could not be read further.
    if (pieces.failed() && result.status != LoadResult::Status::Cancelled)
        result = LoadResult::failed(cannotOpenMessage(read.path, file.failureReason()));
    return result;
}

bool looksLikeLocationHistory(std::string_view head) {
    const std::string_view text = withoutByteOrderMark(head);
    const auto holds = [text](std::string_view key) { return text.find(key) != std::string_view::npos; };
    switch (firstCharacter(text)) {
        case '{':
            return holds("\"semanticSegments\"") || holds("\"timelineObjects\"") || holds("\"rawSignals\"") ||
                   (holds("\"locations\"") && (holds("\"latitudeE7\"") || holds("\"timestampMs\"")));
        case '[':
            return holds("\"startTime\"") &&
                   (holds("\"timelinePath\"") || holds("\"visit\"") || holds("\"activity\""));
        default: return false;
    }
}

}  // namespace geovanta
