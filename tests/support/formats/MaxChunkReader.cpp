#include "tests/support/formats/MaxChunkReader.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lapforge {

namespace formatstest {

namespace {

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

// Bytes of own data before the children of a chunk, from the 3DS layout:
// containers have none, named objects a text, face lists 2 + 8 n bytes;
// chunks not listed are leaves (all data, no children).
bool OwnDataSize(uint16_t id, const uint8_t* p, size_t avail, size_t& size) {
  switch (id) {
    case 0x4D4D:
    case 0x3D3D:
    case 0x4100:
    case 0xAFFF:
    case 0xA200:
    case 0xA010:
    case 0xA020:
    case 0xA030:
      size = 0;
      return true;
    case 0x4000: {
      const void* nul = std::memchr(p, 0, avail);
      if (!nul) return false;
      size = static_cast<size_t>(static_cast<const uint8_t*>(nul) - p) + 1;
      return true;
    }
    case 0x4120:
      if (avail < 2) return false;
      size = 2 + 8 * static_cast<size_t>(Get16(p));
      return size <= avail;
    default:
      size = avail;
      return true;
  }
}

bool ParseChunks(const uint8_t* p, size_t size, std::vector<MaxChunk>& out, std::string& error, int depth) {
  if (depth > 16) {
    error = "nesting too deep";
    return false;
  }
  size_t pos = 0;
  while (pos < size) {
    if (size - pos < 6) {
      error = "a chunk header runs past its parent";
      return false;
    }
    MaxChunk c;
    c.id = Get16(p + pos);
    c.length = Get32(p + pos + 2);
    if (c.length < 6 || c.length > size - pos) {
      error = "chunk length out of range";
      return false;
    }
    const uint8_t* body = p + pos + 6;
    size_t bodySize = c.length - 6;
    size_t own = 0;
    if (!OwnDataSize(c.id, body, bodySize, own)) {
      error = "own data runs past the chunk";
      return false;
    }
    c.data.assign(body, body + own);
    if (!ParseChunks(body + own, bodySize - own, c.children, error, depth + 1)) return false;
    const size_t length = c.length;
    out.push_back(std::move(c));
    pos += length;
  }
  return true;
}

}  // namespace

std::vector<const MaxChunk*> MaxChunk::All(uint16_t wanted) const {
  std::vector<const MaxChunk*> r;
  for (const MaxChunk& c : children)
    if (c.id == wanted) r.push_back(&c);
  return r;
}

const MaxChunk& MaxChunk::Child(uint16_t wanted) const {
  for (const MaxChunk& c : children)
    if (c.id == wanted) return c;
  ADD_FAILURE() << "no chunk " << std::hex << wanted << " under " << id;
  static const MaxChunk empty;
  return empty;
}

uint16_t MaxChunk::U16(size_t offset) const { return offset + 2 <= data.size() ? Get16(&data[offset]) : 0; }
uint32_t MaxChunk::U32(size_t offset) const { return offset + 4 <= data.size() ? Get32(&data[offset]) : 0; }
float MaxChunk::F32(size_t offset) const {
  uint32_t bits = U32(offset);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}
std::string MaxChunk::Text() const {
  size_t n = 0;
  while (n < data.size() && data[n] != 0) ++n;
  return std::string(data.begin(), data.begin() + static_cast<long>(n));
}

bool ParseMaxFile(const std::vector<uint8_t>& bytes, MaxChunk& root, std::string& error) {
  std::vector<MaxChunk> top;
  if (!ParseChunks(bytes.data(), bytes.size(), top, error, 0)) return false;
  if (top.size() != 1) {
    error = "the file is not one chunk";
    return false;
  }
  root = std::move(top[0]);
  return true;
}

}  // namespace formatstest

}  // namespace lapforge
