// A small reader of 3DS chunk trees for the tests, written from the chunk
// layout alone: it checks that every length fits its parent and splits each
// chunk into its own data and its children.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lapforge {

namespace formatstest {

struct MaxChunk {
  uint16_t id = 0;
  uint32_t length = 0;
  std::vector<uint8_t> data;  // own data, children excluded
  std::vector<MaxChunk> children;

  // The children with this id, in file order.
  std::vector<const MaxChunk*> All(uint16_t id) const;
  // The first child with this id; fails the test (and returns an empty
  // chunk) when there is none.
  const MaxChunk& Child(uint16_t id) const;
  // Little-endian values inside the own data.
  uint16_t U16(size_t offset) const;
  uint32_t U32(size_t offset) const;
  float F32(size_t offset) const;
  // The NUL-terminated text at the start of the own data.
  std::string Text() const;
};

// Parses a whole file: exactly one chunk that covers every byte. Returns
// false with error set when a length is too small or runs past its parent.
bool ParseMaxFile(const std::vector<uint8_t>& bytes, MaxChunk& root, std::string& error);

}  // namespace formatstest

}  // namespace lapforge
