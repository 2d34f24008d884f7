#include "table/shorttext.h"

#include <limits>
#include <stdexcept>

namespace geovanta {

void ShortText::assign(std::string_view text) {
    // The text may be this value's own: the new bytes are in place before
    // the old ones go.
    if (text.size() <= kInline) {
        char copy[kInline];
        // An empty view may have no bytes at all to copy from.
        if (!text.empty()) std::memcpy(copy, text.data(), text.size());
        release();
        clearInline();
        std::memcpy(bytes_, copy, text.size());
        bytes_[kTag] = static_cast<char>(text.size());
        return;
    }
    if (text.size() > std::numeric_limits<uint32_t>::max()) throw std::length_error("text too long");
    char* heap = new char[text.size()];
    std::memcpy(heap, text.data(), text.size());
    release();
    const auto size = static_cast<uint32_t>(text.size());
    std::memcpy(bytes_, &heap, sizeof heap);
    std::memcpy(bytes_ + sizeof heap, &size, sizeof size);
    bytes_[kTag] = kOnHeap;
}

}  // namespace geovanta
