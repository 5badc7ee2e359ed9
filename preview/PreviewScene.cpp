// The preview scene is made as the glTF export makes its buffer: the track
// built from the description, its export blocks made one at a time in one
// reused block, each block's faces grouped by material and packed as
// vertices and triangle indices, a quad as two triangles. The corners of a
// block with the same record are one vertex: the meshing gives every face
// of a grid points of its own, and with the normals packed to 10 bits
// neighbouring cells mostly share their corners. The scene keeps game
// coordinates. Besides the mesh it samples the reference line and the outer
// band edges of every segment, which give the drive camera its path and
// SectionAt the ground of each section.
#include "preview/PreviewScene.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <new>

#include "description/TrkDsc.h"
#include "formats/shaders/ShaderDictionary.h"
#include "mapping/PtfMapping.h"
#include "mesh/GlBlock.h"
#include "mesh/GlCorner.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "ptf/Descriptors.h"
#include "roads/BlockStream.h"
#include "roads/TextureFiles.h"
#include "support/Errors.h"
#include "support/ImageFile.h"
#include "support/Memory.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A face the preview draws: at least three corners, every one a point of
// the block, and a material of the list (or none).
bool Drawable(const CGlFace& f, int pointCount, int materialCount) {
  const int n = f.GetVertexCount();
  if (f.deleted || n < 3 || f.materialIndex >= materialCount) return false;
  for (int k = 0; k < n; ++k)
    if (f.vertices[k] < 0 || f.vertices[k] >= pointCount) return false;
  return true;
}

// The flat colour of a surface kind (the track map's colours).
void SurfaceColour(PreviewSurface s, uint8_t out[4]) {
  static const uint8_t colours[][3] = {
      {92, 92, 98},     // asphalt
      {175, 175, 168},  // concrete
      {205, 70, 55},    // paint, curbing
      {96, 156, 74},    // grass
      {214, 194, 140},  // sand, gravel
      {150, 115, 80},   // dirt
      {95, 110, 150},   // pit lane
      {150, 150, 156},  // wall
      {140, 132, 118},  // anything else
  };
  const uint8_t* c = colours[static_cast<int>(s)];
  out[0] = c[0], out[1] = c[1], out[2] = c[2], out[3] = 255;
}

PreviewSurface SurfaceOfGrip(int grip, int bandKind) {
  if (bandKind == 5) return PreviewSurface::PitLane;
  switch (grip) {
    case 1:
      return PreviewSurface::Asphalt;
    case 2:
      return PreviewSurface::Concrete;
    case 3:
      return PreviewSurface::Paint;
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
      return PreviewSurface::Grass;
    case 9:
      return PreviewSurface::Sand;
    case 12:
      return PreviewSurface::Dirt;
    default:
      return PreviewSurface::Other;
  }
}

// The material name an appearance files its faces under (lower case), as
// the track's meshing names it; empty without a texture.
std::string MaterialOf(const CN5Obj* appearance) {
  auto* ap = dynamic_cast<const CN5ObjAp*>(appearance);
  if (!ap) return {};
  double r, g, b;
  std::string texture, name;
  ap->GetColourTexture(r, g, b, texture, name);
  if (texture.empty()) return {};
  return ToLower(name.empty() ? texture : name);
}

// Whether (x, y) lies inside the polygon of n corners xy (crossing count).
bool Inside(const float* xy, int n, double x, double y) {
  bool in = false;
  for (int i = 0, j = n - 1; i < n; j = i++) {
    const double xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
  }
  return in;
}

// Packs the drawable faces of a block, grouped by material, into the
// scene's arrays; one draw range per material used.
class CBlockPacker {
 public:
  CBlockPacker(std::vector<PreviewVertex>& vertices, std::vector<uint32_t>& indices, std::vector<PreviewDraw>& draws,
               PreviewBounds& bounds)
      : vertices_(vertices), indices_(indices), draws_(draws), bounds_(bounds) {}

  void Pack(const CGlBlock& block, int blockIndex, int materialCount, float section) {
    const CGlFace* faces = block.faces.data();
    const CGlPoint* pts = block.points.data();
    const int faceCount = block.faces.GetSize(), pointCount = block.points.GetSize();
    // Counting sort of the faces by material; slot 0 for faces without one.
    groupStart_.assign(static_cast<size_t>(materialCount) + 2, 0);
    for (int i = 0; i < faceCount; ++i)
      if (Drawable(faces[i], pointCount, materialCount))
        ++groupStart_[static_cast<size_t>(faces[i].materialIndex < 0 ? 0 : faces[i].materialIndex + 1) + 1];
    for (size_t g = 1; g < groupStart_.size(); ++g) groupStart_[g] += groupStart_[g - 1];
    order_.resize(static_cast<size_t>(groupStart_.back()));
    fill_.assign(groupStart_.begin(), groupStart_.end() - 1);
    for (int i = 0; i < faceCount; ++i)
      if (Drawable(faces[i], pointCount, materialCount))
        order_[static_cast<size_t>(fill_[static_cast<size_t>(faces[i].materialIndex < 0 ? 0 : faces[i].materialIndex + 1)]++)] = i;

    // A table of the block's vertices by content, at least twice as long
    // as the block has corners.
    size_t corners = 0;
    for (int32_t o : order_) corners += static_cast<size_t>(faces[o].GetVertexCount());
    size_t size = 64;
    while (size < 2 * corners) size *= 2;
    slots_.assign(size, kEmpty);
    for (size_t g = 0; g + 1 < groupStart_.size(); ++g) {
      if (groupStart_[g] == groupStart_[g + 1]) continue;
      PreviewDraw draw;
      draw.firstIndex = static_cast<uint32_t>(indices_.size());
      draw.material = g == 0 ? -1 : static_cast<int>(g) - 1;
      draw.block = blockIndex;
      for (int32_t o = groupStart_[g]; o < groupStart_[g + 1]; ++o) Face(faces[order_[static_cast<size_t>(o)]], pts, section);
      draw.count = static_cast<uint32_t>(indices_.size() - draw.firstIndex);
      draws_.push_back(draw);
    }
  }

 private:
  void Face(const CGlFace& f, const CGlPoint* pts, float section) {
    const int n = f.GetVertexCount();
    CGlCornerReader corners(f, pts);
    uint32_t corner[4];
    for (int k = 0; k < n; ++k) {
      GlCorner c;
      corners.Read(k, c);
      PreviewVertex v;
      std::memcpy(v.position, c.position, sizeof v.position);
      v.normal = PackNormal(c.normal);
      std::memcpy(v.uv, c.uv, sizeof v.uv);
      v.section = section;
      corner[k] = VertexOf(v);
    }
    indices_.insert(indices_.end(), {corner[0], corner[1], corner[2]});
    if (n == 4) indices_.insert(indices_.end(), {corner[0], corner[2], corner[3]});
  }

  // The index of the block's vertex with this record, made when there is none.
  uint32_t VertexOf(const PreviewVertex& v) {
    uint32_t words[sizeof v / 4];
    std::memcpy(words, &v, sizeof v);
    uint64_t h = 1469598103934665603ull;
    for (uint32_t w : words) h = (h ^ w) * 1099511628211ull;
    h ^= h >> 29;
    const size_t mask = slots_.size() - 1;
    for (size_t i = static_cast<size_t>(h) & mask;; i = (i + 1) & mask) {
      const uint32_t at = slots_[i];
      if (at == kEmpty) {
        slots_[i] = static_cast<uint32_t>(vertices_.size());
        vertices_.push_back(v);
        bounds_.Add(v.position);
        return slots_[i];
      }
      if (std::memcmp(&vertices_[at], &v, sizeof v) == 0) return at;
    }
  }

  static constexpr uint32_t kEmpty = 0xFFFFFFFFu;
  std::vector<PreviewVertex>& vertices_;
  std::vector<uint32_t>& indices_;
  std::vector<PreviewDraw>& draws_;
  PreviewBounds& bounds_;
  std::vector<int32_t> groupStart_, order_, fill_;
  std::vector<uint32_t> slots_;
};

}  // namespace

uint32_t PackNormal(const float n[3]) {
  uint32_t packed = 0;
  for (int c = 0; c < 3; ++c) {
    const float v = std::isfinite(n[c]) ? std::clamp(n[c], -1.0f, 1.0f) : 0.0f;
    const int32_t q = static_cast<int32_t>(std::lround(v * 511.0f));
    packed |= (static_cast<uint32_t>(q) & 0x3FFu) << (10 * c);
  }
  return packed;
}

void PreviewBounds::Add(const float p[3]) {
  for (int c = 0; c < 3; ++c) {
    min[c] = empty ? p[c] : std::min(min[c], p[c]);
    max[c] = empty ? p[c] : std::max(max[c], p[c]);
  }
  empty = false;
}

void CPreviewScene::Clear() { *this = CPreviewScene(); }

bool CPreviewScene::Build(const TrkDsc& db, const std::string& textureFolder, const std::atomic<bool>* cancel,
                          std::string& message) {
  Clear();
  message.clear();
  auto cancelled = [&] { return cancel && cancel->load(std::memory_order_relaxed); };
  try {
    CN5PtfDb model;
    if (const Result built = PTFObjFromDataBase(db, model, std::string()); !built) {
      message = built.Text();
      return false;
    }
    model.GetTrackLength();  // lays the segments out
    sectionCount_ = db.Section.Count();

    // The section of each segment (a split section makes two).
    const int segments = model.NoSegments(true);
    std::vector<int> sectionOf(static_cast<size_t>(std::max(segments, 0)), -1);
    for (int i = 0, seg = 0; i < db.Section.Count() && seg < segments; ++i) {
      const double f = db.Section[i].SplitOr(0.0) / db.Section[i].Length();
      for (int k = f > 0 && f < 1 ? 2 : 1; k > 0 && seg < segments; --k) sectionOf[static_cast<size_t>(seg++)] = i;
    }
    Ground(model, sectionOf);

    CGlMaterialArray materials(CGfxDictionary::FindShaderMatch);
    CGlMipArray mips;
    CBlockStream stream(model, materials, mips);
    // The scene holds about a third of the bytes of the mesh records (four
    // 36-byte corners and six indices a quad) besides the block being made.
    if (const std::string refusal = MemoryRefusal(stream.TotalBytes() * 0.35 + stream.LargestBytes(), "the 3D preview");
        !refusal.empty()) {
      message = refusal;
      return false;
    }
    long long points = 0, faces = 0;
    for (const GlBlockCount& c : model.CountGlBlocks()) points += c.Points(), faces += c.Faces();
    vertices_.reserve(static_cast<size_t>(points));
    indices_.reserve(static_cast<size_t>(faces) * 6);

    CBlockPacker packer(vertices_, indices_, draws_, bounds_);
    CGlBlock block;
    stream.ReserveFor(block);
    blockNames_ = stream.Names();
    for (int b = 0; b < stream.Count(); ++b) {
      if (cancelled()) {
        Clear();
        message = "cancelled";
        return false;
      }
      if (!stream.Make(b, block)) {
        Clear();
        message = model.meshCheck.Text();
        return false;
      }
      if (!block.tag.render) continue;  // invisible collision targets
      float section = -1;
      if (stream.KindOf(b) == GlBlockCount::Kind::Segment) {
        const size_t seg = static_cast<size_t>(b);  // segment blocks come first, in segment order
        if (seg < sectionOf.size()) section = float(sectionOf[seg]);
      } else if (stream.KindOf(b) == GlBlockCount::Kind::Detail && block.points.GetSize() > 0) {
        // A painted detail lies on the section under its middle.
        double x = 0, y = 0;
        for (const CGlPoint& p : block.points) x += p.x, y += p.y;
        section = float(SectionAt(x / block.points.GetSize(), y / block.points.GetSize()));
      }
      packer.Pack(block, b, materials.GetSize(), section);
    }
    vertices_.shrink_to_fit();
    indices_.shrink_to_fit();
    Materials(model, materials, textureFolder);
    if (cancelled()) {
      Clear();
      message = "cancelled";
      return false;
    }
  } catch (const std::bad_alloc&) {
    Clear();
    message = "out of memory while making the 3D preview";
    return false;
  } catch (const std::exception& e) {
    Clear();
    message = e.what();
    return false;
  }
  return true;
}

// Every few metres of each segment (every 4 m and 2 degrees of turn, as the
// track map samples): a station of the reference line with its heading, and
// the outer right and left band edges.
void CPreviewScene::Ground(CN5Ptf& model, const std::vector<int>& sectionOf) {
  const int segments = static_cast<int>(sectionOf.size());
  for (int s = 0; s < segments; ++s) {
    CN5ObjSg* sg = model.GetSegObj(s);
    if (!sg || !(sg->length > 0) || !std::isfinite(sg->length)) continue;
    const double byLength = sg->length / 4.0, byTurn = std::fabs(sg->sweep) / (2.0 * kPi / 180);
    const int n = static_cast<int>(std::min(std::ceil(std::max({1.0, byLength, byTurn})), 400.0));
    CN5ObjFs* right = sg->NoTractions() > 0 ? sg->GetFsObj(0) : nullptr;
    CN5ObjFs* left = sg->NoTractions() > 0 ? sg->GetFsObj(sg->NoTractions() - 1) : nullptr;
    for (int k = 0; k <= n; ++k) {
      const double t = double(k) / n, d = t * sg->length;
      double x, y, z, x2, y2, z2;
      sg->GetXYZ(d, 0, x, y, z);
      // The heading from a step along the line (backwards at the end).
      const double step = std::min(0.5, sg->length / 2);
      if (k < n) {
        sg->GetXYZ(d + step, 0, x2, y2, z2);
        x2 -= x, y2 -= y;
      } else {
        sg->GetXYZ(d - step, 0, x2, y2, z2);
        x2 = x - x2, y2 = y - y2;
      }
      PreviewStation st;
      st.x = float(x), st.y = float(y), st.z = float(z);
      st.heading = float(std::atan2(y2, x2));
      st.distance = float(sg->startLong + d);
      st.section = sectionOf[static_cast<size_t>(s)];
      stations_.push_back(st);
      double rx = NAN, ry = NAN, lx = NAN, ly = NAN;
      if (right && left) {
        sg->GetXYZ(d, (1 - t) * right->latStart + t * right->latEnd, rx, ry, z2);
        sg->GetXYZ(d, (1 - t) * left->latStart + t * left->latEnd, lx, ly, z2);
      }
      edges_.insert(edges_.end(), {float(rx), float(ry), float(lx), float(ly)});
    }
  }
}

// The scene's materials from the mesh's: the surface kind from the bands
// and walls that use each, the image found beside the description (each
// file decoded once), two-sided and transparency as exported.
void CPreviewScene::Materials(CN5Ptf& model, const CGlMaterialArray& materials, const std::string& folder) {
  std::map<std::string, PreviewSurface> surfaceOf;
  for (int s = 0; s < model.NoSegments(); ++s) {
    CN5ObjSg* sg = model.GetSegObj(s);
    for (int b = 0; sg && b < sg->NoTractions(); ++b)
      if (CN5ObjFs* band = sg->GetFsObj(b))
        surfaceOf.emplace(MaterialOf(band->appearance), SurfaceOfGrip(band->grip, band->bandKind));
    for (int w = 0; sg && w < sg->NoWalls(); ++w)
      if (CN5ObjWs* wall = sg->GetWsObj(w))
        for (const CN5ObjWs::_ApTuPair& face : wall->faces) surfaceOf.emplace(MaterialOf(face.appearance), PreviewSurface::Wall);
  }
  std::map<std::string, int> byFile;
  std::vector<std::string> missing;
  for (int i = 0; i < materials.GetSize(); ++i) {
    const CGlMaterial& src = materials[i];
    PreviewMaterial mat;
    mat.name = src.materialName;
    if (auto it = surfaceOf.find(ToLower(src.materialName)); it != surfaceOf.end()) mat.surface = it->second;
    SurfaceColour(mat.surface, mat.colour);
    mat.cullBack = !(src.doubleSided > 0);
    mat.transparency = src.transparencyMode == 1 ? 1 : src.transparencyMode > 1 ? 2 : 0;
    if (!src.mapName.empty()) {
      std::string map;
      const std::string path = FindMaterialTexture(model, src, folder, map);
      if (path.empty()) {
        warnings_.push_back("'" + map + "' of material '" + src.materialName + "': not found beside the description");
      } else if (auto found = byFile.find(path); found != byFile.end()) {
        mat.texture = found->second;
      } else {
        CRgbaImage image;
        if (const Result loaded = LoadImageFile(path, image); !loaded) {
          warnings_.push_back(loaded.Text() + " (material '" + src.materialName + "')");
          byFile.emplace(path, -1);
        } else {
          PreviewTexture t;
          t.file = path;
          t.width = image.width, t.height = image.height;
          t.rgba = std::move(image.pixels);
          mat.texture = static_cast<int>(textures_.size());
          byFile.emplace(path, mat.texture);
          textures_.push_back(std::move(t));
        }
      }
    }
    materials_.push_back(std::move(mat));
  }
}

int CPreviewScene::SectionAt(double x, double y) const {
  // The ground between two stations of one segment: right, next right,
  // next left, left.
  const size_t n = stations_.size();
  for (size_t i = 0; i + 1 < n; ++i) {
    const PreviewStation& a = stations_[i];
    if (a.section < 0 || stations_[i + 1].section != a.section) continue;
    const float* e = &edges_[4 * i];
    const float quad[8] = {e[0], e[1], e[4], e[5], e[6], e[7], e[2], e[3]};
    bool finite = true;
    for (float v : quad) finite = finite && std::isfinite(v);
    if (finite && Inside(quad, 4, x, y)) return a.section;
  }
  return -1;
}

int CPreviewScene::FirstStationOf(int section) const {
  for (size_t i = 0; i < stations_.size(); ++i)
    if (stations_[i].section == section) return static_cast<int>(i);
  return -1;
}

}  // namespace lapforge
