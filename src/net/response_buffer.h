#pragma once
// The growable byte buffer that holds a transfer's response.
//
// The client stores every received byte here. The buffer always keeps a zero byte
// after the data, so callers may read the whole response as one C string, and it
// refuses to grow beyond a fixed bound so that a peer cannot make the program eat
// its memory. It grows geometrically, which keeps a long body linear in cost.

#include <cstddef>
#include <memory>
#include <string_view>

namespace chronvale {

class ResponseBuffer {
public:
    // No response may be larger than this (64 MiB).
    static constexpr std::size_t DefaultLimit = std::size_t{64} << 20;

    enum class AppendResult {
        Stored,   // the bytes were added
        TooLarge, // the response would pass the limit; nothing was added
        NoMemory, // the buffer could not grow; nothing was added
    };

    explicit ResponseBuffer(std::size_t limit = DefaultLimit) : limit_(limit) {}
    ResponseBuffer(const ResponseBuffer&) = delete;
    ResponseBuffer& operator=(const ResponseBuffer&) = delete;

    AppendResult append(std::string_view bytes);
    // Makes room for `extra` more bytes (as far as the limit allows) without adding
    // any, so that a read is only taken when it can be stored.
    AppendResult reserve(std::size_t extra);
    // Frees the memory; the buffer is empty afterwards.
    void clear();

    // Never null: an empty buffer reads as "".
    const char* data() const { return data_ ? data_.get() : ""; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    std::size_t limit() const { return limit_; }
    std::string_view view() const { return {data(), size_}; }

private:
    AppendResult grow(std::size_t needed);

    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0; // bytes allocated, the terminating zero included
    std::size_t limit_;
};

} // namespace chronvale
