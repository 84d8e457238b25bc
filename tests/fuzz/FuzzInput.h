#pragma once
// What the fuzzers of the file readers share: the fuzzer's bytes as a file,
// and a check that stops the run where a reader's promise is broken.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "inspection/PeImage.h"

namespace fuzz {

inline void Check(bool condition) {
  if (!condition) std::abort();
}

struct Bytes final : ravlin::ByteSource {
  Bytes(const uint8_t* data, size_t size) : data(data), size(size) {}
  size_t ReadAt(uint64_t offset, char* buffer, size_t length) override {
    if (offset >= size) return 0;
    const size_t count = length < size - offset ? length : static_cast<size_t>(size - offset);
    std::memcpy(buffer, data + offset, count);
    return count;
  }
  const uint8_t* data;
  size_t size;
};

}  // namespace fuzz
