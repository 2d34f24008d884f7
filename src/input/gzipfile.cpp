#include "input/gzipfile.h"

#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>

#include "input/pointfields.h"
#include "table/messages.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

// Output starts at a few times the input, as text compresses, and doubles;
// never below a mapping of its own, whose spent pages a reader hands back.
constexpr std::size_t kFirstRoom = std::size_t{1} << 20;
constexpr std::size_t kExpansionGuess = 4;
// zlib counts bytes in 32 bits.
constexpr std::size_t kMostAtOnce = std::size_t{1} << 30;
// gzip's window with its header and trailer rather than zlib's.
constexpr int kGzipWindowBits = 16 + MAX_WBITS;

class Inflater {
public:
    Inflater() { ready_ = inflateInit2(&stream, kGzipWindowBits) == Z_OK; }
    ~Inflater() {
        if (ready_) inflateEnd(&stream);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    bool ready() const { return ready_; }

    z_stream stream{};

private:
    bool ready_ = false;
};

GzipResult damaged(const std::string& path, std::size_t offset) {
    return {GzipResult::Status::Damaged, textOf(Msg::GzipDamaged) + byteSuffix(path, offset)};
}

GzipResult failed(FileBytes& out, std::string message) {
    out = FileBytes();
    return {GzipResult::Status::Failed, std::move(message)};
}

}  // namespace

bool looksLikeGzip(std::string_view head) { return head.substr(0, 3) == std::string_view("\x1f\x8b\x08", 3); }

GzipResult inflateGzip(std::string_view compressed, const std::string& path, FileBytes& out, uint64_t limit,
                       FileBytes* spent) {
    out = FileBytes();
    if (!looksLikeGzip(compressed)) return {GzipResult::Status::NotGzip, textOf(Msg::NotGzip)};
    Inflater inflater;
    if (!inflater.ready()) return failed(out, outOfMemoryMessage(path));
    z_stream& z = inflater.stream;
    // One byte past the limit tells a stream that reaches it from one that
    // goes beyond.
    const uint64_t most = limit + 1;
    if (!out.reserve(static_cast<std::size_t>(
            std::min<uint64_t>(most, std::max(kFirstRoom, compressed.size() * kExpansionGuess)))))
        return failed(out, outOfMemoryMessage(path));

    const auto* base = reinterpret_cast<const Bytef*>(compressed.data());
    std::size_t in = 0;
    for (;;) {
        const std::size_t made = out.view().size();
        if (out.room() == 0 && !out.reserve(static_cast<std::size_t>(std::min<uint64_t>(most, 2 * uint64_t{made}))))
            return failed(out, outOfMemoryMessage(path));
        const auto inBefore = static_cast<uInt>(std::min(compressed.size() - in, kMostAtOnce));
        const auto outBefore = static_cast<uInt>(std::min<uint64_t>({out.room(), most - made, kMostAtOnce}));
        z.next_in = base + in;
        z.avail_in = inBefore;
        z.next_out = reinterpret_cast<Bytef*>(out.end());
        z.avail_out = outBefore;
        const int status = inflate(&z, Z_NO_FLUSH);
        in += inBefore - z.avail_in;
        out.added(outBefore - z.avail_out);
        if (out.view().size() > limit)
            return failed(out, textOf(Msg::GzipTooLarge, {displayFileName(path), limit >> 20}));
        if (spent) spent->release(in);

        switch (status) {
            case Z_OK: continue;
            case Z_STREAM_END: {
                // Another member may follow (files joined with cat); zeros
                // pad some to a block.
                const std::string_view rest = compressed.substr(in);
                if (rest.find_first_not_of('\0') == std::string_view::npos) return {};
                if (!looksLikeGzip(rest)) return damaged(path, in);
                if (inflateReset(&z) != Z_OK) return damaged(path, in);
                continue;
            }
            case Z_BUF_ERROR:
                // No progress: either the output is full, which the next
                // round makes room for, or the input ended inside a member.
                if (z.avail_out == 0) continue;
                return damaged(path, in);
            case Z_MEM_ERROR: return failed(out, outOfMemoryMessage(path));
            default: return damaged(path, in);  // bad data, bad check value
        }
    }
}

GzipResult readGzipFile(const std::string& path, FileBytes& out) {
    FileBytes compressed;
    if (auto error = readWholeFile(path, compressed)) {
        out = FileBytes();
        return {GzipResult::Status::Failed, *error};
    }
    GzipResult result = inflateGzip(compressed, path, out, kMaxWholeFileBytes, &compressed);
    if (compressed.cutShort() && result.status != GzipResult::Status::Failed)
        result = {GzipResult::Status::Damaged, textOf(Msg::FileCutWhileRead, {displayFileName(path)})};
    return result;
}

}  // namespace geovanta
