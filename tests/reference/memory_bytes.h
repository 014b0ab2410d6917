// A file held in memory, for the readers that take a ByteSource.
#pragma once

#include <cstring>
#include <string>

#include "music/loudness.h"

namespace qb::test {

struct MemoryBytes : ByteSource {
  explicit MemoryBytes(std::string b) : bytes(std::move(b)) {}
  uint64_t Size() const override { return bytes.size(); }
  bool ReadAt(uint64_t offset, void* out, size_t size) override {
    if (offset > bytes.size() || size > bytes.size() - offset) return false;
    std::memcpy(out, bytes.data() + offset, size);
    return true;
  }
  std::string bytes;
};

}  // namespace qb::test
