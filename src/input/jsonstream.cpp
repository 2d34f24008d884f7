#include "input/jsonstream.h"

#include <algorithm>
#include <memory>
#include <new>

#include <yajl/yajl_parse.h>

#include "input/fieldsplit.h"

namespace geovanta {

struct JsonStream::Callbacks {
    static JsonStream& self(void* context) { return *static_cast<JsonStream*>(context); }
    static std::string_view view(const unsigned char* text, std::size_t size) {
        return {reinterpret_cast<const char*>(text), size};
    }

    static int null(void* c) { return self(c).visitor_->scalar("null", JsonVisitor::Scalar::Literal); }
    static int boolean(void* c, int value) {
        return self(c).visitor_->scalar(value ? "true" : "false", JsonVisitor::Scalar::Literal);
    }
    static int number(void* c, const char* text, std::size_t size) {
        return self(c).visitor_->scalar({text, size}, JsonVisitor::Scalar::Number);
    }
    static int string(void* c, const unsigned char* text, std::size_t size) {
        return self(c).visitor_->scalar(view(text, size), JsonVisitor::Scalar::String);
    }
    static int key(void* c, const unsigned char* text, std::size_t size) {
        return self(c).visitor_->key(view(text, size));
    }
    // The parser keeps its own stack of what is open and would go as deep as
    // memory lasts; a location history nests a handful of levels.
    static int start(JsonStream& s, bool array) {
        if (s.depth_ == kMaxDepth) {
            s.tooDeep_ = true;
            return 0;
        }
        ++s.depth_;
        return s.visitor_->start(array);
    }
    static int end(JsonStream& s) {
        --s.depth_;
        return s.visitor_->end();
    }
    static int startMap(void* c) { return start(self(c), false); }
    static int startArray(void* c) { return start(self(c), true); }
    static int endContainer(void* c) { return end(self(c)); }

    static constexpr yajl_callbacks kTable{null,  boolean, nullptr,    nullptr,    number,      string,
                                           startMap, key,  endContainer, startArray, endContainer};
};

namespace {

using Parser = std::unique_ptr<yajl_handle_t, decltype(&yajl_free)>;

// The parser's description of its error, without the line end it adds.
std::string errorText(yajl_handle parser) {
    unsigned char* text = yajl_get_error(parser, 0, nullptr, 0);
    if (!text) return {};
    std::string reason(reinterpret_cast<const char*>(text));
    yajl_free_error(parser, text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
    return reason;
}

}  // namespace

JsonStream::NextPiece JsonStream::piecesOf(std::string_view text, std::size_t pieceBytes) {
    pieceBytes = std::max<std::size_t>(pieceBytes, 1);
    return [text, pieceBytes]() mutable {
        const std::string_view piece = text.substr(0, pieceBytes);
        text.remove_prefix(piece.size());
        return piece;
    };
}

std::size_t JsonStream::offset() const {
    const std::size_t consumed = parser_ ? yajl_get_bytes_consumed(static_cast<yajl_handle>(parser_)) : 0;
    return pieceStart_ + std::min(consumed, piece_.size());
}

std::size_t JsonStream::lineAt(std::size_t offset) const {
    const std::size_t within = std::clamp(offset, pieceStart_, pieceStart_ + piece_.size()) - pieceStart_;
    return linesBefore_ + countByte(piece_.substr(0, within), '\n') + 1;
}

JsonEnd JsonStream::read(JsonVisitor& visitor) {
    Parser parser(yajl_alloc(&Callbacks::kTable, nullptr, this), yajl_free);
    if (!parser) throw std::bad_alloc();
    // Names and addresses are passed over; a stray byte in one is no reason
    // to lose the points after it.
    yajl_config(parser.get(), yajl_dont_validate_strings, 1);
    parser_ = parser.get();
    visitor_ = &visitor;
    piece_ = {};
    pieceStart_ = linesBefore_ = depth_ = 0;
    tooDeep_ = false;
    if (progress_) progress_->setTotal(size_);

    JsonEnd result;
    yajl_status status = yajl_status_ok;
    while (!(piece_ = next_()).empty()) {
        status = yajl_parse(parser.get(), reinterpret_cast<const unsigned char*>(piece_.data()), piece_.size());
        if (status != yajl_status_ok) break;
        // The parser keeps a copy of a token cut at the piece's end.
        linesBefore_ += countByte(piece_, '\n');
        pieceStart_ += piece_.size();
        piece_ = {};
        if (passed_) passed_(pieceStart_);
        if (progress_) {
            progress_->setDone(pieceStart_);
            if (progress_->cancelled()) {
                result.kind = JsonEnd::Kind::Cancelled;
                result.offset = pieceStart_;
                parser_ = nullptr;
                return result;
            }
        }
    }
    if (status == yajl_status_ok) status = yajl_complete_parse(parser.get());
    result.offset = offset();
    if (status == yajl_status_client_canceled) {
        result.kind = tooDeep_ ? JsonEnd::Kind::TooDeep : JsonEnd::Kind::Stopped;
    } else if (status == yajl_status_error) {
        result.kind = JsonEnd::Kind::Malformed;
        result.reason = errorText(parser.get());
    }
    parser_ = nullptr;
    return result;
}

}  // namespace geovanta
