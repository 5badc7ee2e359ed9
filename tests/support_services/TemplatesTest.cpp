#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/Templates.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

namespace {

struct TemplateFile {
  int id;
  TemplateKind kind;
  const char* file;  // in support/resources
  int lines;         // text templates only
};

const TemplateFile kTemplates[] = {
    {107, TemplateKind::Text, "107_text_gtl_NoName.gdb", 256},
    {109, TemplateKind::Text, "109_text_gtl_NoName.trk", 87},
    {110, TemplateKind::Binary, "110_binary_rgbmap.dds", 0},
    {111, TemplateKind::Text, "111_text_rfactor_NoName.scn", 63},
    {112, TemplateKind::Text, "112_text_rfactor_NoName.gdb", 68},
    {113, TemplateKind::Text, "113_text_gtr2_NoName.gdb", 161},
    {114, TemplateKind::Text, "114_text_gtr2_NoName.trk", 105},
    {115, TemplateKind::Text, "115_text_gtr2_NoName.ani", 2},
    {116, TemplateKind::Text, "116_text_gtr2_NoName.grd", 20},
};

std::string ResourcePath(const char* file) { return std::string(LAPFORGE_SOURCE_DIR) + "/support/resources/" + file; }

bool Write(const TemplateFile& t, const std::string& out) {
  return t.kind == TemplateKind::Text ? WriteTextResource(t.id, out) : WriteBinaryResource(t.id, out);
}

// The template as the program writes it.
std::string Written(int id) {
  CTempDir dir;
  std::string out = dir.File("t");
  EXPECT_TRUE(WriteTextResource(id, out)) << id;
  return ReadText(out);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines)
    if (l == line) return true;
  return false;
}

}  // namespace

TEST(Templates, EveryTemplateIsWrittenByteForByte) {
  CTempDir dir;
  for (const TemplateFile& t : kTemplates) {
    std::vector<uint8_t> expected = ReadBytes(ResourcePath(t.file));
    ASSERT_FALSE(expected.empty()) << t.file;
    std::string out = dir.File(t.file);
    // A longer file already there is truncated, not overwritten in part.
    WriteText(out, std::string(expected.size() + 100, 'x'));
    ASSERT_TRUE(Write(t, out)) << t.file;
    EXPECT_EQ(ReadBytes(out), expected) << t.file;
  }
}

TEST(Templates, WrongKindMissingIdOrUnwritableFileWritesNothing) {
  CTempDir dir;
  EXPECT_FALSE(WriteBinaryResource(107, dir.File("a")));
  EXPECT_FALSE(WriteTextResource(110, dir.File("b")));
  EXPECT_FALSE(WriteTextResource(108, dir.File("c")));
  EXPECT_FALSE(WriteTextResource(0, dir.File("d")));
  EXPECT_FALSE(Exists(dir.File("a")));
  EXPECT_FALSE(Exists(dir.File("b")));
  EXPECT_FALSE(Exists(dir.File("c")));
  EXPECT_FALSE(Exists(dir.File("d")));
  EXPECT_FALSE(WriteTextResource(107, dir.File("missing/_NoName.gdb")));
  EXPECT_FALSE(WriteBinaryResource(110, dir.File("missing/_rgbmap.dds")));
  EXPECT_EQ(FindTemplate(110, TemplateKind::Text), nullptr);
  ASSERT_NE(FindTemplate(110, TemplateKind::Binary), nullptr);
  EXPECT_EQ(FindTemplate(110, TemplateKind::Binary)->size, 32896u);
}

TEST(Templates, TextTemplatesHaveCrlfLineEndsAndTheirLineCounts) {
  for (const TemplateFile& t : kTemplates) {
    if (t.kind != TemplateKind::Text) continue;
    std::string text = Written(t.id);
    ASSERT_FALSE(text.empty()) << t.file;
    int lineEnds = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r') {
        ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << t.file << ": lone CR at " << i;
      } else if (text[i] == '\n') {
        ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << t.file << ": bare LF at " << i;
        ++lineEnds;
      }
    }
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << t.file << ": last line not ended";
    EXPECT_EQ(lineEnds, t.lines) << t.file;
  }
  EXPECT_EQ(Written(115), "\r\n\r\n");
}

TEST(Templates, PlaceholderNameNoNameStaysInPlace) {
  // Track-definition files open with the track's name.
  for (int id : {107, 112, 113}) {
    std::vector<std::string> lines = Lines(Written(id));
    ASSERT_GE(lines.size(), 2u) << id;
    EXPECT_EQ(lines[0], "NoName") << id;
    EXPECT_EQ(lines[1], "{") << id;
  }
  // Scene headers search the NoName location.
  std::vector<std::string> gtl = Lines(Written(109));
  EXPECT_EQ(gtl[0], "CUBEASF");
  EXPECT_TRUE(Contains(gtl, "SearchPath=GameData\\Locations\\NoName"));
  EXPECT_TRUE(Contains(gtl, "SearchPath=GameData\\Locations\\NoName\\NoName"));

  std::vector<std::string> rf = Lines(Written(111));
  EXPECT_EQ(rf[0], "CUBEASF");
  EXPECT_TRUE(Contains(rf, "SearchPath=."));
  EXPECT_TRUE(Contains(rf, "SearchPath=NoName"));
  EXPECT_TRUE(Contains(rf, "SearchPath=NoName\\NoName"));
  EXPECT_TRUE(Contains(rf, "MASFile=COMMONMAPS.MAS"));

  std::vector<std::string> gtr2 = Lines(Written(114));
  EXPECT_EQ(gtr2[0], "CUBEASF");
  EXPECT_TRUE(Contains(gtr2, "SearchPath=GAMEDATA\\LOCATIONS\\NoName"));
  EXPECT_TRUE(Contains(gtr2, "MASFile=GAMEDATA\\LOCATIONS\\Skies_central.gtr"));
  EXPECT_TRUE(Contains(gtr2, "MASFile=GAMEDATA\\LOCATIONS\\teammaps2.gtr"));
  EXPECT_TRUE(Contains(gtr2, "MASFile=GAMEDATA\\LOCATIONS\\Misc.gtr"));

  EXPECT_EQ(Written(115).find("NoName"), std::string::npos);

  std::string grd = Written(116);
  size_t gridwalk = grd.find("Type = GRIDWALK");
  size_t end = grd.find("Type = SCRIPT_END");
  EXPECT_NE(gridwalk, std::string::npos);
  EXPECT_NE(end, std::string::npos);
  EXPECT_LT(gridwalk, end);
}

namespace {

std::vector<uint8_t> WrittenRgbMap() {
  CTempDir dir;
  std::string out = dir.File("_rgbmap.dds");
  EXPECT_TRUE(WriteBinaryResource(110, out));
  return ReadBytes(out);
}

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

struct Rgba {
  int r, g, b, a;
};

Rgba Expand565(uint16_t c) {
  int r = c >> 11 & 31, g = c >> 5 & 63, b = c & 31;
  return {r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2, 255};
}

// Decodes texel (x, y) of a 256 x 256 DXT1 image with rows top to bottom.
Rgba DecodeTexel(const std::vector<uint8_t>& dds, int x, int y) {
  size_t block = 128 + 8 * (static_cast<size_t>(y / 4) * 64 + x / 4);
  uint16_t c0 = static_cast<uint16_t>(dds[block] | dds[block + 1] << 8);
  uint16_t c1 = static_cast<uint16_t>(dds[block + 2] | dds[block + 3] << 8);
  uint32_t bits = U32At(dds, block + 4);
  int code = bits >> (2 * ((y % 4) * 4 + x % 4)) & 3;
  Rgba a = Expand565(c0), b = Expand565(c1);
  if (code == 0) return a;
  if (code == 1) return b;
  if (c0 > c1) {
    if (code == 2) return {(2 * a.r + b.r) / 3, (2 * a.g + b.g) / 3, (2 * a.b + b.b) / 3, 255};
    return {(a.r + 2 * b.r) / 3, (a.g + 2 * b.g) / 3, (a.b + 2 * b.b) / 3, 255};
  }
  if (code == 2) return {(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2, 255};
  return {0, 0, 0, 0};
}

}  // namespace

TEST(Templates, RgbMapHeaderIsA256By256Dxt1SurfaceWithoutMips) {
  std::vector<uint8_t> dds = WrittenRgbMap();
  ASSERT_EQ(dds.size(), 32896u);  // 128-byte header, 64 x 64 blocks of 8 bytes
  const uint8_t header[128] = {
      'D',  'D',  'S',  ' ',                           // magic
      0x7c, 0x00, 0x00, 0x00,                          // header size 124
      0x07, 0x10, 0x08, 0x00,                          // caps | height | width | pixel format | linear size
      0x00, 0x01, 0x00, 0x00,                          // height 256
      0x00, 0x01, 0x00, 0x00,                          // width 256
      0x00, 0x80, 0x00, 0x00,                          // linear size 32768
      0,    0,    0,    0,                             // depth
      0,    0,    0,    0,                             // mip levels
      0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  // reserved (11 words)
      0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  //
      0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  //
      0,    0,    0,    0,    0, 0, 0, 0,              //
      0x20, 0x00, 0x00, 0x00,                          // pixel format size 32
      0x04, 0x00, 0x00, 0x00,                          // four-character code present
      'D',  'X',  'T',  '1',                           //
      0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  // bit count, masks
      0,    0,    0,    0,    0, 0, 0, 0,              //
      0x00, 0x10, 0x00, 0x00,                          // caps: texture
      0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  // caps 2..4, reserved
      0,    0,    0,    0,                             //
  };
  for (size_t i = 0; i < 128; ++i) EXPECT_EQ(dds[i], header[i]) << "header byte " << i;
}

TEST(Templates, RgbMapBlocksAreSolidAndPinnedCellsHaveTheirColour) {
  std::vector<uint8_t> dds = WrittenRgbMap();
  ASSERT_EQ(dds.size(), 32896u);
  for (size_t block = 128; block < dds.size(); block += 8) {
    ASSERT_EQ(U32At(dds, block), U32At(dds, block) >> 16 | U32At(dds, block) << 16) << "endpoints differ at " << block;
    ASSERT_EQ(U32At(dds, block + 4), 0u) << "index bits at " << block;
  }
  auto blockBytes = [&](int bx, int by) {
    size_t at = 128 + 8 * (static_cast<size_t>(by) * 64 + bx);
    return std::vector<uint8_t>(dds.begin() + at, dds.begin() + at + 8);
  };
  // Cell (0, 0, 0), colour (16, 8, 16): RGB565 (2, 2, 2) = 0x1042, the first block.
  EXPECT_EQ(blockBytes(0, 0), (std::vector<uint8_t>{0x42, 0x10, 0x42, 0x10, 0, 0, 0, 0}));
  // Cell (7, 15, 7), colour (240, 248, 240): (29, 61, 29) = 0xEFBD, the last block.
  EXPECT_EQ(blockBytes(63, 63), (std::vector<uint8_t>{0xBD, 0xEF, 0xBD, 0xEF, 0, 0, 0, 0}));
  EXPECT_EQ(blockBytes(63, 60), blockBytes(63, 63));
  // Cell (3, 9, 5), colour (112, 152, 176): (14, 38, 21) = 0x74D5; texel
  // columns 4*3 + 32*5 = 172..175 (block 43), rows 144..159 (blocks 36..39).
  for (int by = 36; by < 40; ++by)
    EXPECT_EQ(blockBytes(43, by), (std::vector<uint8_t>{0xD5, 0x74, 0xD5, 0x74, 0, 0, 0, 0})) << by;
  EXPECT_NE(blockBytes(42, 36), blockBytes(43, 36));
  EXPECT_NE(blockBytes(43, 35), blockBytes(43, 36));
}

TEST(Templates, RgbMapShowsThePaletteColourWherePaletteCoordinatesPoint) {
  std::vector<uint8_t> dds = WrittenRgbMap();
  ASSERT_EQ(dds.size(), 32896u);
  // Every cell, by the colours that the mesh model maps into it: the lowest
  // and the highest colour of the cell.
  for (int qR = 0; qR < 8; ++qR) {
    for (int qG = 0; qG < 16; ++qG) {
      for (int qB = 0; qB < 8; ++qB) {
        for (int edge = 0; edge < 2; ++edge) {
          double R = (32 * qR + edge * 31) / 255.0, G = (16 * qG + edge * 15) / 255.0,
                 B = (32 * qB + edge * 31) / 255.0;
          int cR = static_cast<int>(R * 255) / 32, cG = static_cast<int>(G * 255) / 16,
              cB = static_cast<int>(B * 255) / 32;
          ASSERT_EQ(cR, qR);
          ASSERT_EQ(cG, qG);
          ASSERT_EQ(cB, qB);
          float uBase = (4 * cR + 32 * cB + 1) / 256.0f, vBase = (16 * cG + 1) / 256.0f;
          // The corners of a quad's coordinates, and the texels a bilinear
          // sample there reads (centres at (i + 0.5) / 256).
          for (int k = 0; k < 4; ++k) {
            float u = uBase + ((k & 1) ? 0.0078f : 0), v = vBase + ((k & 2) ? 0.04f : 0);
            for (int dx = 0; dx < 2; ++dx) {
              for (int dy = 0; dy < 2; ++dy) {
                int x = static_cast<int>(u * 256 - 0.5f) + dx, y = static_cast<int>(v * 256 - 0.5f) + dy;
                ASSERT_GE(x, 4 * qR + 32 * qB);
                ASSERT_LE(x, 4 * qR + 32 * qB + 3);
                ASSERT_GE(y, 16 * qG);
                ASSERT_LE(y, 16 * qG + 15);
                Rgba c = DecodeTexel(dds, x, y);
                // The palette colour, within what RGB565 can hold.
                EXPECT_NEAR(c.r, 32 * qR + 16, 5) << qR << "," << qG << "," << qB;
                EXPECT_NEAR(c.g, 16 * qG + 8, 3) << qR << "," << qG << "," << qB;
                EXPECT_NEAR(c.b, 32 * qB + 16, 5) << qR << "," << qG << "," << qB;
                EXPECT_EQ(c.a, 255);
              }
            }
          }
        }
      }
    }
  }
}

}  // namespace lapforge
