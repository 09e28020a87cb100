#include "net/response_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace chronvale {

namespace {

// The first block is as large as two reads with room to spare.
constexpr std::size_t firstBlock = 8200;

} // namespace

ResponseBuffer::AppendResult ResponseBuffer::grow(std::size_t needed) {
    if (needed <= capacity_) {
        return AppendResult::Stored;
    }
    std::size_t grown = std::max(capacity_, firstBlock);
    while (grown < needed) {
        grown *= 2;
    }
    grown = std::min(grown, limit_ + 1);
    std::unique_ptr<char[]> larger(new (std::nothrow) char[grown]);
    if (!larger) {
        return AppendResult::NoMemory;
    }
    if (size_ > 0) {
        std::memcpy(larger.get(), data_.get(), size_);
    }
    larger[size_] = '\0';
    data_ = std::move(larger);
    capacity_ = grown;
    return AppendResult::Stored;
}

ResponseBuffer::AppendResult ResponseBuffer::reserve(std::size_t extra) {
    extra = std::min(extra, limit_ - size_);
    return grow(size_ + extra + 1);
}

ResponseBuffer::AppendResult ResponseBuffer::append(std::string_view bytes) {
    if (bytes.size() > limit_ - size_) {
        return AppendResult::TooLarge;
    }
    if (const AppendResult grown = grow(size_ + bytes.size() + 1); grown != AppendResult::Stored) {
        return grown;
    }
    if (!bytes.empty()) {
        std::memcpy(data_.get() + size_, bytes.data(), bytes.size());
    }
    size_ += bytes.size();
    data_[size_] = '\0';
    return AppendResult::Stored;
}

void ResponseBuffer::clear() {
    data_.reset();
    size_ = 0;
    capacity_ = 0;
}

} // namespace chronvale
