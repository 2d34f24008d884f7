// Inflating any bytes: every outcome keeps to the limit, a failure keeps
// nothing, and the input cut where a damage was found inflates to a prefix
// of what the damaged stream kept.
#include <cstddef>
#include <cstdint>
#include <string>

#include "input/gzipfile.h"
#include "readercheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace geovanta;
    constexpr uint64_t kLimit = uint64_t{4} << 20;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    FileBytes out;
    const GzipResult r = inflateGzip(bytes, fuzz::kPath, out, kLimit);
    fuzz::check(out.view().size() <= kLimit);
    switch (r.status) {
        case GzipResult::Status::Whole: fuzz::check(r.message.empty()); break;
        case GzipResult::Status::Damaged: break;
        default: fuzz::check(out.view().empty() && !r.message.empty()); return 0;
    }
    if (r.status != GzipResult::Status::Damaged) return 0;
    const std::string tag = std::string("\n") + fuzz::kPath + ", byte ";
    const std::size_t at = r.message.rfind(tag);
    fuzz::check(at != std::string::npos);
    const std::size_t offset = std::stoul(r.message.substr(at + tag.size()));
    fuzz::check(offset <= size);
    FileBytes cut;
    inflateGzip(bytes.substr(0, offset), fuzz::kPath, cut, kLimit);
    fuzz::check(out.view().starts_with(cut.view()));
    return 0;
}
