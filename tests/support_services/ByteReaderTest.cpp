#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "support/ByteReader.h"

namespace lapforge {

namespace {

// The bytes at the very end of their own allocation, so that a read past
// the end is caught by AddressSanitizer as well as by the reader.
struct Buffer {
  explicit Buffer(std::initializer_list<uint8_t> bytes) : size(bytes.size()), data(new uint8_t[bytes.size()]) {
    std::copy(bytes.begin(), bytes.end(), data.get());
  }
  size_t size;
  std::unique_ptr<uint8_t[]> data;
};

}  // namespace

TEST(ByteReader, ReadsLittleEndianValues) {
  Buffer b{0x34, 0x12, 0xfe, 0xff, 0x00, 0x00, 0x80, 0x3f, 0x78, 0x56, 0x34, 0x12, 'a', 'b', 0, 'c', 'd'};
  CByteReader r(b.data.get(), b.size, "t.bin");
  EXPECT_EQ(r.U16(), 0x1234);
  EXPECT_EQ(r.I16(), -2);
  EXPECT_EQ(r.F32(), 1.0f);
  EXPECT_EQ(r.At<uint32_t>(8), 0x12345678u);
  EXPECT_EQ(r.Pos(), 8u);  // At does not move
  EXPECT_EQ(r.I32(), 0x12345678);
  // A fixed text field ends at its first NUL but is skipped whole.
  EXPECT_EQ(r.FixedString(4), "ab");
  EXPECT_EQ(r.Remaining(), 1u);
  EXPECT_EQ(r.U8(), 'd');
  EXPECT_TRUE(r.AtEnd());
}

TEST(ByteReader, EveryReadPastTheEndIsAFormatErrorAndMovesNothing) {
  Buffer b{1, 2, 3};
  CByteReader r(b.data.get(), b.size, "short.bin");
  EXPECT_THROW(r.U32(), CFormatError);
  EXPECT_EQ(r.Pos(), 0u);
  EXPECT_THROW(r.F64(), CFormatError);
  EXPECT_THROW(r.View(4), CFormatError);
  EXPECT_THROW(r.FixedString(4), CFormatError);
  uint8_t out[4] = {};
  EXPECT_THROW(r.Bytes(out, 4), CFormatError);
  EXPECT_THROW(r.Skip(4), CFormatError);
  EXPECT_THROW(r.At<uint16_t>(2), CFormatError);
  EXPECT_THROW(r.At<uint8_t>(3), CFormatError);
  EXPECT_EQ(r.Pos(), 0u);

  EXPECT_EQ(r.U16(), 0x0201);
  EXPECT_THROW(r.U16(), CFormatError);
  EXPECT_EQ(r.Pos(), 2u);
  EXPECT_EQ(r.U8(), 3);
  EXPECT_THROW(r.U8(), CFormatError);

  // Seeking to the end is allowed, beyond it is not.
  r.Seek(3);
  EXPECT_TRUE(r.AtEnd());
  EXPECT_THROW(r.Seek(4), CFormatError);
  EXPECT_EQ(r.Pos(), 3u);
  r.Seek(0);
  EXPECT_NO_THROW(r.Skip(3));
  EXPECT_EQ(r.View(0).size(), 0u);
}

TEST(ByteReader, HugeCountsAndOffsetsDoNotWrapAround) {
  Buffer b{1, 2, 3, 4};
  CByteReader r(b.data.get(), b.size);
  const size_t huge = std::numeric_limits<size_t>::max();
  r.Skip(1);
  EXPECT_FALSE(r.Has(huge));
  EXPECT_FALSE(r.HasAt(huge, 2));
  EXPECT_FALSE(r.HasAt(2, huge));
  EXPECT_FALSE(r.HasAt(5, 0));
  EXPECT_TRUE(r.HasAt(4, 0));
  EXPECT_TRUE(r.Has(3));
  EXPECT_FALSE(r.Has(4));
  EXPECT_THROW(r.View(huge), CFormatError);
  EXPECT_THROW(r.Skip(huge), CFormatError);
  EXPECT_THROW(r.Seek(huge), CFormatError);
  EXPECT_THROW(r.At<uint32_t>(huge - 1), CFormatError);
  EXPECT_EQ(r.Pos(), 1u);
}

TEST(ByteReader, TheErrorNamesTheSourceTheOffsetAndTheItem) {
  Buffer b{1, 2, 3, 4, 5, 6};
  CByteReader r(b.data.get(), b.size, "track.ptf");
  r.Skip(4);
  try {
    r.U32("record size");
    FAIL() << "no error";
  } catch (const CFormatError& e) {
    std::string msg = e.what();
    EXPECT_NE(msg.find("track.ptf"), std::string::npos) << msg;
    EXPECT_NE(msg.find("record size"), std::string::npos) << msg;
    EXPECT_NE(msg.find("4"), std::string::npos) << msg;
    EXPECT_EQ(e.Offset(), 4u);
  }
}

TEST(ByteReader, EmptyBuffer) {
  CByteReader r(nullptr, 0);
  EXPECT_TRUE(r.AtEnd());
  EXPECT_THROW(r.U8(), CFormatError);
  EXPECT_EQ(r.View(0).size(), 0u);
  EXPECT_EQ(r.FixedString(0), "");
}

}  // namespace lapforge
