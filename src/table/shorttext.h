#pragma once
// A text column's value in 16 bytes: up to 15 bytes are kept in the value
// itself, longer texts on the heap. Point names ("T01-0001") and the empty
// file name of every GPS row fit inside, so a million rows take 16 MB a
// column where std::string takes 32 MB.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace geovanta {

class ShortText {
public:
    static constexpr std::size_t kInline = 15;

    ShortText() noexcept { clearInline(); }
    explicit ShortText(std::string_view text) {
        clearInline();
        assign(text);
    }
    ShortText(const ShortText& other) : ShortText(other.view()) {}
    ShortText(ShortText&& other) noexcept {
        std::memcpy(bytes_, other.bytes_, sizeof bytes_);
        other.clearInline();
    }
    ShortText& operator=(const ShortText& other) {
        if (this != &other) assign(other.view());
        return *this;
    }
    ShortText& operator=(ShortText&& other) noexcept {
        if (this != &other) {
            release();
            std::memcpy(bytes_, other.bytes_, sizeof bytes_);
            other.clearInline();
        }
        return *this;
    }
    ShortText& operator=(std::string_view text) {
        assign(text);
        return *this;
    }
    ~ShortText() { release(); }

    std::string_view view() const noexcept {
        if (!onHeap()) return {bytes_, static_cast<std::size_t>(bytes_[kTag])};
        return {heapData(), heapSize()};
    }
    operator std::string_view() const noexcept { return view(); }
    bool empty() const noexcept { return view().empty(); }
    void clear() noexcept {
        release();
        clearInline();
    }

private:
    // bytes_[15] holds the length of an inline text; kOnHeap marks a heap
    // text, whose pointer and length fill the first twelve bytes.
    static constexpr std::size_t kTag = 15;
    static constexpr char kOnHeap = static_cast<char>(0x80);

    bool onHeap() const noexcept { return bytes_[kTag] == kOnHeap; }
    char* heapData() const noexcept {
        char* p;
        std::memcpy(&p, bytes_, sizeof p);
        return p;
    }
    std::size_t heapSize() const noexcept {
        uint32_t n;
        std::memcpy(&n, bytes_ + sizeof(char*), sizeof n);
        return n;
    }
    void clearInline() noexcept {
        std::memset(bytes_, 0, sizeof bytes_);
    }
    void release() noexcept {
        if (onHeap()) delete[] heapData();
    }
    void assign(std::string_view text);

    char bytes_[16];
};

static_assert(sizeof(ShortText) == 16);

}  // namespace geovanta
