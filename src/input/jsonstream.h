#pragma once
// A JSON text read as a stream of events (yajl underneath), so that a file of
// hundreds of megabytes is never held as a tree. The text is fed to the
// parser a piece at a time, from memory or straight from the file; after
// each piece the caller is told the offset before which no byte will be
// looked at again, so that it can free them.
//
// Nesting is bounded: a text that nests deeper than kMaxDepth ends the read
// with a fault of its own, however the parser would have coped.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "table/progress.h"

namespace geovanta {

// What the visitor is told; every call returns false to stop the read (the
// visitor keeps the reason).
class JsonVisitor {
public:
    enum class Scalar : uint8_t { String, Number, Literal };  // Literal: true, false, null
    virtual ~JsonVisitor() = default;
    virtual bool start(bool array) = 0;
    virtual bool end() = 0;
    virtual bool key(std::string_view name) = 0;
    // A string's text with its escapes undone, a number's text as the file
    // writes it, or "true", "false", "null".
    virtual bool scalar(std::string_view text, Scalar kind) = 0;
};

// How a read ended.
struct JsonEnd {
    enum class Kind : uint8_t { Done, Stopped, Cancelled, Malformed, TooDeep };
    Kind kind = Kind::Done;
    std::string reason;      // the parser's words for Malformed
    // Byte offset of the fault: just past the value or bracket for a fault of
    // the visitor's or of nesting; for malformed text, where the parser
    // points, which for a token cut between two pieces is the second piece's
    // start instead of the token's.
    std::size_t offset = 0;
};

class JsonStream {
public:
    static constexpr std::size_t kMaxDepth = 64;
    static constexpr std::size_t kDefaultPieceBytes = std::size_t{1} << 20;

    // Gives the text's next piece, valid until the next call; an empty one
    // ends the text.
    using NextPiece = std::function<std::string_view()>;

    // `size`: the text's length, for the progress.
    JsonStream(NextPiece next, std::size_t size) : next_(std::move(next)), size_(size) {}
    // The pieces of a text in memory, which must stay alive and unchanged
    // while they are read.
    static NextPiece piecesOf(std::string_view text, std::size_t pieceBytes = kDefaultPieceBytes);

    // Told the text's size and the bytes passed after each piece; when it
    // asks to stop, the read ends between two pieces as Cancelled.
    void setProgress(Progress* progress) { progress_ = progress; }
    // Told after each piece the offset before which no byte is looked at again.
    void onPassed(std::function<void(std::size_t)> passed) { passed_ = std::move(passed); }

    JsonEnd read(JsonVisitor& visitor);

    // During an event: the byte offset just past it.
    std::size_t offset() const;
    // 1-based line of an offset in the piece being parsed, or just past it.
    std::size_t lineAt(std::size_t offset) const;

private:
    struct Callbacks;

    NextPiece next_;
    std::size_t size_;
    Progress* progress_ = nullptr;
    std::function<void(std::size_t)> passed_;

    void* parser_ = nullptr;  // the yajl handle during a read
    JsonVisitor* visitor_ = nullptr;
    std::string_view piece_;  // the piece being parsed
    std::size_t pieceStart_ = 0;  // its offset in the text
    std::size_t linesBefore_ = 0;  // line ends before pieceStart_
    std::size_t depth_ = 0;
    bool tooDeep_ = false;
};

}  // namespace geovanta
