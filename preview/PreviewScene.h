// The 3D preview's scene: the export blocks of a description's track (the
// same meshes every export writes, made one at a time by roads/BlockStream)
// packed into arrays ready for the graphics card, with the texture images
// decoded and what the cameras and picking need. No graphics calls here, so
// a scene can be built on a worker thread.
//
// Coordinates are the game's world: metres, X east, Y north, Z up; the
// texture coordinates are the mesh's own (v down the image, as the exports
// write them).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace lapforge {

class CGlMaterialArray;
class CN5Ptf;
class TrkDsc;

// One corner as the renderer reads it: 28 bytes, interleaved.
struct PreviewVertex {
  float position[3];
  // The unit normal packed as OpenGL's signed 2_10_10_10 (x in bits 0-9,
  // y in 10-19, z in 20-29, each a two's complement of -511 to 511).
  uint32_t normal;
  float uv[2];
  float section;  // position in the Section table, -1 for what belongs to none
};

// A unit normal packed for PreviewVertex.
uint32_t PackNormal(const float n[3]);

// What a flat-coloured material stands for, by the grip of the bands and
// walls that use it; the colour a material shows when its image is missing.
enum class PreviewSurface { Asphalt, Concrete, Paint, Grass, Sand, Dirt, PitLane, Wall, Other };

struct PreviewMaterial {
  std::string name;
  int texture = -1;  // index into Textures(), -1: flat colour
  PreviewSurface surface = PreviewSurface::Other;
  uint8_t colour[4] = {128, 128, 128, 255};  // the flat colour
  bool cullBack = true;                      // false for a material exported two-sided
  int transparency = 0;                      // 0 opaque, 1 cut out (alpha below a half), 2 blended
};

// A decoded texture image, rows top first.
struct PreviewTexture {
  std::string file;  // the file it was read from
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;  // width * height * 4
};

// One run of indices of one block drawn with one material.
struct PreviewDraw {
  uint32_t firstIndex = 0;
  uint32_t count = 0;
  int material = 0;
  int block = 0;
};

struct PreviewBounds {
  float min[3] = {0, 0, 0};
  float max[3] = {0, 0, 0};
  bool empty = true;
  void Add(const float p[3]);
};

// A point of the track's reference line, for the drive camera.
struct PreviewStation {
  float x = 0, y = 0, z = 0;
  float heading = 0;   // radians, counter-clockwise from east (+X)
  float distance = 0;  // metres from the start line
  int section = -1;
};

class CPreviewScene {
 public:
  // Builds the track as the exports do and packs its blocks; textures are
  // looked for in textureFolder (the description's folder) as the glTF
  // export finds them. False with message when the description makes no
  // track or the mesh would not fit in memory, or when cancel was set
  // (checked between blocks); the scene is then empty. Nothing is shown,
  // apart from the block stream's warning for a scenery object the track
  // cannot place, which goes through the user-interface port (a caller on
  // a worker thread installs a port that keeps it).
  bool Build(const TrkDsc& db, const std::string& textureFolder, const std::atomic<bool>* cancel,
             std::string& message);
  void Clear();

  const std::vector<PreviewVertex>& Vertices() const { return vertices_; }
  const std::vector<uint32_t>& Indices() const { return indices_; }
  const std::vector<PreviewDraw>& Draws() const { return draws_; }
  const std::vector<PreviewMaterial>& Materials() const { return materials_; }
  const std::vector<PreviewTexture>& Textures() const { return textures_; }
  const std::vector<std::string>& BlockNames() const { return blockNames_; }
  const PreviewBounds& Bounds() const { return bounds_; }
  // The reference line every few metres, in driving order.
  const std::vector<PreviewStation>& Stations() const { return stations_; }
  // Rows of the Section table the scene was built from.
  int SectionCount() const { return sectionCount_; }
  // Warnings met while building (texture maps not found or not decoded).
  const std::vector<std::string>& Warnings() const { return warnings_; }

  // The section (position in the Section table) whose ground, from the
  // outer right to the outer left band edge, holds the world point (x, y);
  // -1 when none does.
  int SectionAt(double x, double y) const;
  // The first station of a section, -1 when it has none.
  int FirstStationOf(int section) const;

 private:
  void Ground(CN5Ptf& model, const std::vector<int>& sectionOf);
  void Materials(CN5Ptf& model, const CGlMaterialArray& materials, const std::string& folder);

  std::vector<PreviewVertex> vertices_;
  std::vector<uint32_t> indices_;
  std::vector<PreviewDraw> draws_;
  std::vector<PreviewMaterial> materials_;
  std::vector<PreviewTexture> textures_;
  std::vector<std::string> blockNames_;
  PreviewBounds bounds_;
  std::vector<PreviewStation> stations_;
  // Per station, its outer right and outer left ground points (x, y each).
  std::vector<float> edges_;
  int sectionCount_ = 0;
  std::vector<std::string> warnings_;
};

}  // namespace lapforge
