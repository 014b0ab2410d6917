// Reading a fuzzer's input as a sequence of small decisions and byte runs.
#pragma once

#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <string>

namespace qb::fuzz {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Empty() const { return at_ >= size_; }

  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

  // Up to `limit` bytes, the length itself taken from the input.
  std::string Bytes(size_t limit) {
    const size_t wanted = Byte() | (static_cast<size_t>(Byte()) << 8);
    const size_t n = std::min({wanted % (limit + 1), size_ - std::min(at_, size_)});
    std::string out(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return out;
  }

  std::string Rest() {
    std::string out(reinterpret_cast<const char*>(data_ + std::min(at_, size_)), size_ - std::min(at_, size_));
    at_ = size_;
    return out;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace qb::fuzz
