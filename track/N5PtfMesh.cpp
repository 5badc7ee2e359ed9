// Surface meshing: the whole track or one segment as faces of the mesh
// model, the texture and material registration shared with the walls and
// details, and the surfaces between band edges cut along the bank lines.
// Walls: track/N5PtfWallMesh.cpp; details: track/N5PtfDetailMesh.cpp.
#include <algorithm>
#include <cmath>

#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "mesh/GlPointArray.h"
#include "support/FileString.h"
#include "support/TextFormat.h"
#include "track/N5MeshSupport.h"
#include "track/N5Ptf.h"

namespace lapforge {

namespace {

// A bank line closer than this to a piece's right edge at both ends does
// not cut it (no slivers along band edges that carry a bank line anyway).
constexpr double kMinCut = 0.08;

// Points of one cross row of a segment at a fixed distance, computed as
// CN5ObjSg::GetXYZ computes them (the same operations in the same order,
// so the results are bit for bit the same) but with the heading, the bank
// line positions and heights worked out once per row instead of per point.
class CRowSampler {
 public:
  explicit CRowSampler(const CN5ObjSg& seg) : seg_(seg) {
    const size_t n = seg.bankLines.size();
    fast_ = n <= kMaxLines;
    for (size_t k = 0; fast_ && k < n; ++k) {
      lines_[k] = dynamic_cast<const CN5ObjXs*>(seg.bankLines[k]);
      if (!lines_[k]) fast_ = false;  // a damaged list: leave it to the segment
    }
    lineCount_ = fast_ ? n : 0;
    arc_ = seg.segType == 1;
    if (!arc_) {
      latX_ = std::cos(seg.startAngle + _quarter_turn);
      latY_ = std::sin(seg.startAngle + _quarter_turn);
    }
  }

  void SetDistance(double d) {
    d_ = d;
    const double t = seg_.length != 0 ? d / seg_.length : 0;
    if (arc_) {
      const double h = seg_.sweep * t + seg_.startAngle - _arc_quarter_turn;
      cosH_ = std::cos(h);
      sinH_ = std::sin(h);
    } else {
      alongX_ = std::cos(seg_.startAngle) * d;
      alongY_ = std::sin(seg_.startAngle) * d;
    }
    hint_ = 0;
    lastLat_ = -HUGE_VAL;
    for (size_t k = 0; k < lineCount_; ++k) {
      lat_[k] = lines_[k]->GetLat(t);
      height_[k] = lines_[k]->GetHeight(t);
    }
  }

  void Point(double lat, float& x, float& y, float& z) const {
    if (!fast_) {
      seg_.GetXYZ(d_, lat, x, y, z);
      return;
    }
    if (arc_) {
      x = static_cast<float>(cosH_ * (seg_.radius - lat) + seg_.centreX);
      y = static_cast<float>(sinH_ * (seg_.radius - lat) + seg_.centreY);
    } else {
      x = static_cast<float>(latX_ * lat + alongX_ + seg_.startX);
      y = static_cast<float>(latY_ * lat + alongY_ + seg_.startY);
    }
    z = static_cast<float>(Height(lat));
  }

 private:
  static constexpr size_t kMaxLines = 32;

  double Height(double lat) const {
    const size_t n = lineCount_;
    if (n == 0) return 0;
    // The first line with lat below it: lines before the hint lie at or
    // below the previous (smaller) lat, so they are not it either.
    size_t k = lat < lastLat_ ? 0 : hint_;
    while (k < n && !(lat < lat_[k])) ++k;
    hint_ = k;
    lastLat_ = lat;
    size_t upper = k;
    size_t lower;
    if (upper == n)
      lower = upper = n - 1;
    else if (upper == 0)
      lower = 0;
    else
      lower = upper - 1;
    double f = 0;
    if (lower != upper) {
      const double pl = lat_[lower], pu = lat_[upper];
      f = pu != pl ? (lat - pl) / (pu - pl) : 0;
    }
    return (1 - f) * height_[lower] + f * height_[upper];
  }

  const CN5ObjSg& seg_;
  bool fast_ = true, arc_ = false;
  size_t lineCount_ = 0;
  const CN5ObjXs* lines_[kMaxLines] = {};
  double lat_[kMaxLines] = {}, height_[kMaxLines] = {};
  mutable size_t hint_ = 0;
  mutable double lastLat_ = 0;
  double d_ = 0, cosH_ = 1, sinH_ = 0, latX_ = 0, latY_ = 0, alongX_ = 0, alongY_ = 0;
};

// One end of a cross row of a piece: the lateral, the world point when the
// row is straightened, and the texture values of the row.
struct RowEnds {
  double right = 0, width = 0, left = 0;
  double ru = 0, rv = 0, lv = 0, acrossU = 0;
  double rx = 0, ry = 0, rz = 0, lx = 0, ly = 0, lz = 0;  // straightened ends
};

// A grid point's position, carried from one cell to the next.
struct Position {
  float x = 0, y = 0, z = 0;
  void Append(std::vector<CGlPoint>& points, const CGlPoint& proto) const {
    points.push_back(proto);
    CGlPoint& p = points.back();
    p.x = x;
    p.y = y;
    p.z = z;
  }
};

// The grid of a surface piece: nL rows along the segment, nW cells across.
// Each row's ends are interpolated between the piece's start and end; the
// points of a row come from a row sampler, or straight across between the
// straightened ends.
class CPieceGrid {
 public:
  CPieceGrid(const CN5ObjSg& sg, const F_SInfo& piece, int nL, int nW)
      : sg_(sg),
        piece_(piece),
        nL_(nL),
        nW_(nW),
        ws_(static_cast<double>(piece.leftStart) - piece.rightStart),
        we_(static_cast<double>(piece.leftEnd) - piece.rightEnd),
        step_(sg.length / nL),
        straightened_(piece.rightStraight || piece.leftStraight),
        slotU_(piece.rotation != 0 ? 1 : 0),  // a rotated texture stores each pair as (v, u)
        slotV_(1 - slotU_) {}

  // Appends the faces (copies of proto) and four points per face, in rows
  // from the start; returns the index the next point gets.
  int32_t AppendCells(std::vector<CGlFace>& outFaces, std::vector<CGlPoint>& outPoints, const CGlFace& proto,
                      int32_t pointIndex) const {
    CRowSampler sampleA(sg_), sampleB(sg_);
    CRowSampler* atStart = &sampleA;
    CRowSampler* atEnd = &sampleB;
    RowEnds r0 = Row(0);
    atStart->SetDistance(0);
    const CGlPoint unused;
    for (int i = 0; i < nL_; ++i) {
      const RowEnds r1 = Row(i + 1);
      atEnd->SetDistance(i + 1 == nL_ ? sg_.length : (i + 1) * step_);
      const bool pointStart = r0.width == 0, pointEnd = r1.width == 0;
      // Corner j of the start row and of the end row, carried from one cell to
      // the next.
      Position s0, e0;
      Place(s0, *atStart, r0, 0);
      Place(e0, *atEnd, r1, 0);
      for (int j = 0; j < nW_; ++j) {
        Position s1, e1;
        Place(s1, *atStart, r0, j + 1);
        Place(e1, *atEnd, r1, j + 1);
        outFaces.push_back(proto);
        CGlFace& f = outFaces.back();
        // P0 start right, P1 end right, P2 end left, P3 start left; a row of
        // no width makes its corners one point, so the face is a triangle.
        // The point kept for a corner left out stays unused.
        int n = 0;
        auto corner = [&](int32_t index, double u, double v) {
          f.vertices[n] = index;
          f.uvs[2 * n + slotU_] = static_cast<float>(u);
          f.uvs[2 * n + slotV_] = static_cast<float>(v);
          ++n;
        };
        corner(pointIndex, r0.ru + j * r0.acrossU, r0.rv);
        corner(pointIndex + 1, r1.ru + j * r1.acrossU, r1.rv);
        if (!pointEnd) corner(pointIndex + 2, r1.ru + (j + 1) * r1.acrossU, r1.lv);
        if (!pointStart) corner(pointIndex + 3, r0.ru + (j + 1) * r0.acrossU, r0.lv);
        f.vertexCount = n;
        f.uvCount = static_cast<int16_t>(2 * n);
        s0.Append(outPoints, unused);
        e0.Append(outPoints, unused);
        e1.Append(outPoints, unused);
        s1.Append(outPoints, unused);
        pointIndex += 4;
        s0 = s1;
        e0 = e1;
      }
      r0 = r1;
      std::swap(atStart, atEnd);
    }
    return pointIndex;
  }

 private:
  RowEnds Row(int k) const {
    const auto& c = piece_.corner;  // start-right, end-right, end-left, start-left
    RowEnds r;
    r.right = MeshLerp(piece_.rightStart, piece_.rightEnd, k, nL_);
    r.left = MeshLerp(piece_.leftStart, piece_.leftEnd, k, nL_);
    r.width = MeshLerp(ws_, we_, k, nL_);
    r.ru = MeshLerp(c[0][0], c[1][0], k, nL_);
    r.rv = MeshLerp(c[0][1], c[1][1], k, nL_);
    r.lv = MeshLerp(c[3][1], c[2][1], k, nL_);
    r.acrossU = MeshLerp(c[3][0] - c[0][0], c[2][0] - c[1][0], k, nL_) / nW_;
    if (straightened_) {
      const double d = k == nL_ ? sg_.length : k * step_;
      sg_.GetStraightenedXYZ(d, r.right, piece_.rightStraight, piece_.rightStart, piece_.rightEnd, r.rx, r.ry, r.rz);
      sg_.GetStraightenedXYZ(d, r.left, piece_.leftStraight, piece_.leftStart, piece_.leftEnd, r.lx, r.ly, r.lz);
    }
    return r;
  }

  // Lateral of grid column j of a row; the last column is the left edge
  // itself so that neighbouring pieces meet exactly.
  double ColumnLat(const RowEnds& r, int j) const { return j == nW_ ? r.left : r.right + j * (r.width / nW_); }

  void Place(Position& p, const CRowSampler& row, const RowEnds& r, int j) const {
    if (straightened_) {
      const double u = static_cast<double>(j) / nW_;
      p.x = static_cast<float>((1 - u) * r.rx + u * r.lx);
      p.y = static_cast<float>((1 - u) * r.ry + u * r.ly);
      p.z = static_cast<float>((1 - u) * r.rz + u * r.lz);
    } else {
      row.Point(ColumnLat(r, j), p.x, p.y, p.z);
    }
  }

  const CN5ObjSg& sg_;
  const F_SInfo& piece_;
  const int nL_, nW_;
  const double ws_, we_, step_;
  const bool straightened_;
  const int slotU_, slotV_;
};

// The face every cell of a piece copies: its texture and material, and a
// colour that tells neighbouring segments, grips and split pieces apart.
CGlFace SurfaceFaceProto(int seg, const F_SInfo& piece, int textureIndex, int materialIndex) {
  CGlFace proto;
  proto.sourceIndex = seg;
  proto.hasUVs = 1;
  proto.mipIndex = textureIndex;
  proto.materialIndex = materialIndex;
  proto.faceColour.g = 0.9f;
  if (piece.grip < 4) proto.faceColour.b = 0.9f;
  if (seg % 2 != 0) {
    proto.faceColour.b *= 0.85f;
    proto.faceColour.g = 0.765f;
  }
  if (piece.split) proto.faceColour.b = 0.2f;
  return proto;
}

}  // namespace

// ---- texture and material registration ----

bool CN5Ptf::GlTextureNames(const CN5Obj* appearance, std::string& texture, std::string& material) {
  texture.clear();
  material.clear();
  auto* ap = dynamic_cast<const CN5ObjAp*>(appearance);
  if (!ap) return false;
  double red, green, blue;
  ap->GetColourTexture(red, green, blue, texture, material);
  if (texture.empty()) return false;
  if (material.empty()) material = texture;
  return true;
}

bool CN5Ptf::RegisterGlTexture(const CN5Obj* appearance, GlUse use, int grip, CGlMipArray& textures,
                               CGlMaterialArray& glMaterials, int& mip, int& material) {
  mip = material = -1;
  std::string texture, materialName;
  if (!GlTextureNames(appearance, texture, materialName)) return false;

  CGlMip entry;
  entry.mipFileName = texture;
  // The mesh lists key textures by file title, which drops the
  // "trackmat\" folder; the grip code therefore goes before the title so
  // that the same texture under two grips stays two entries.
  entry.mipTitle = gripNameSwitch && use != GlUse::Detail
                       ? StrFormat("GRIP %2.2d %s", grip, FileString::FileName(texture).c_str())
                       : texture;
  std::string path = folder + texture;
  std::replace(path.begin(), path.end(), '\\', '/');
  entry.mipName = path;
  mip = textures.LookupAdd(entry);

  if (!glMaterials.Lookup(materialName, material)) {
    CGlMaterial m;
    m.materialName = materialName;
    m.SetMapName(path);
    if (use == GlUse::Detail) m.transparencyMode = 1;
    material = glMaterials.LookupAdd(m);
    if (use == GlUse::Surface) {
      _vars_track_material row;
      row.name = materialName;
      row.mapName = path;
      materials.Add(row);
    }
  }
  return true;
}

// ---- counts ----

int CN5Ptf::LongSteps(const CN5ObjSg& seg) const {
  const double arcRes = seg.arcRes > 0 ? seg.arcRes : arcResolution;
  const double longRes = seg.longRes > 0 ? seg.longRes : longResolution;
  // A resolution that is not positive asks for nothing along its measure.
  const double byArc = arcRes > 0 ? std::fabs(seg.sweep) / arcRes : 0;
  const double byLength = longRes > 0 ? seg.length / longRes : 0;
  return MeshCount(std::max(byArc, byLength)) + 1;
}

int CN5Ptf::LatCells(const CN5ObjSg& seg, const F_SInfo& piece) const {
  const double latRes = seg.latRes > 0 ? seg.latRes : latResolution;
  const double ws = static_cast<double>(piece.leftStart) - piece.rightStart;
  const double we = static_cast<double>(piece.leftEnd) - piece.rightEnd;
  if (!(latRes > 0)) return 1;
  return MeshCount(std::max(ws, we) / latRes + 1);
}

int CN5Ptf::PieceCells(const CN5ObjSg& seg, const F_SInfo& piece) const {
  const double ws = static_cast<double>(piece.leftStart) - piece.rightStart;
  const double we = static_cast<double>(piece.leftEnd) - piece.rightEnd;
  if (ws == 0 && we == 0) return 0;
  return std::max(LatCells(seg, piece), 0);
}

void GlBlockCount::Add(const std::string& material, long long faces, long long points) {
  if (faces <= 0 && points <= 0) return;
  auto it = std::find_if(materials.begin(), materials.end(),
                         [&](const GlMaterialCount& m) { return m.material == material; });
  if (it == materials.end()) it = materials.insert(materials.end(), GlMaterialCount{material, 0, 0});
  it->faces = CountSum(it->faces, faces);
  it->points = CountSum(it->points, points);
}

long long GlBlockCount::Faces() const {
  long long n = 0;
  for (const GlMaterialCount& m : materials) n = CountSum(n, m.faces);
  return n;
}

long long GlBlockCount::Points() const {
  long long n = 0;
  for (const GlMaterialCount& m : materials) n = CountSum(n, m.points);
  return n;
}

double GlBlockCount::Bytes() const {
  return static_cast<double>(Faces()) * sizeof(CGlFace) + static_cast<double>(Points()) * sizeof(CGlPoint);
}

void CN5Ptf::CountGlFaces(int seg, GlBlockCount& block) {
  CN5ObjSg* sg = GetSegObj(seg);
  if (!sg) return;
  const long long rows = LongSteps(*sg);
  block.rows = std::max(block.rows, rows);
  std::string texture, material;
  // Surfaces: a face of four points of its own per cell of each piece.
  for (int b = 0; b + 1 < sg->NoTractions(); ++b) {
    CN5ObjFs* band = sg->GetFsObj(b);
    if (!band || !SurfacePieces(*sg, *band, sg->GetFsObj(b + 1), pieceScratch_)) continue;
    if (!GlTextureNames(band->appearance, texture, material)) continue;
    long long cells = 0;
    for (const F_SInfo& p : pieceScratch_) cells = CountSum(cells, PieceCells(*sg, p));
    block.across = CountSum(block.across, cells);
    const long long faces = CountProduct(rows, cells);
    block.Add(material, faces, CountProduct(4, faces));
  }
  // Walls: a face per row on either side and the top, one cap at each end.
  for (int w = 0; w < sg->NoWalls(); ++w) {
    CN5ObjWs* ws = sg->GetWsObj(w);
    if (!ws || ws->faces.size() < 5) continue;
    for (int f = 0; f < 5; ++f) {
      const CN5ObjWs::_ApTuPair& pair = ws->faces[static_cast<size_t>(f)];
      auto* tu = dynamic_cast<const CN5ObjTu*>(pair.textureCoords);
      if (!pair.appearance || !tu || tu->u1.size() < 4 || tu->v1.size() < 4) continue;
      if (!GlTextureNames(pair.appearance, texture, material)) continue;
      const long long faces = f <= 2 ? rows : 1;
      block.Add(material, faces, 4 * faces);
    }
  }
}

void CN5Ptf::CountGlTrackDetailFaces(int detail, GlBlockCount& block) {
  CN5ObjTd* td = GetTrackDetailObj(detail);
  if (!td) return;
  const CN5Obj* appearance = nullptr;
  for (const CN5Obj* c : td->children)
    if (dynamic_cast<const CN5ObjAp*>(c)) {
      appearance = c;
      break;
    }
  std::string texture, material;
  if (!GlTextureNames(appearance, texture, material)) return;
  int rows, cells;
  DetailGrid(*td, rows, cells);
  block.rows = std::max<long long>(block.rows, rows);
  block.across = CountSum(block.across, cells);
  const long long faces = CountProduct(rows, cells);
  block.Add(material, faces, CountProduct(4, faces));
}

std::vector<GlBlockCount> CN5Ptf::CountGlBlocks() {
  EnsureLength();
  std::vector<GlBlockCount> blocks;
  const int segments = NoSegments(true), details = NoTrackDetails();
  blocks.reserve(static_cast<size_t>(segments) + static_cast<size_t>(details) + verticalObjects.size() +
                 infieldObjects.size() + outfieldObjects.size());
  auto next = [&](GlBlockCount::Kind kind, size_t index) -> GlBlockCount& {
    GlBlockCount& b = blocks.emplace_back();
    b.kind = kind;
    b.index = static_cast<int>(index);
    return b;
  };
  for (int s = 0; s < segments; ++s) CountGlFaces(s, next(GlBlockCount::Kind::Segment, static_cast<size_t>(s)));
  for (int i = 0; i < details; ++i)
    CountGlTrackDetailFaces(i, next(GlBlockCount::Kind::Detail, static_cast<size_t>(i)));
  for (size_t i = 0; i < verticalObjects.size(); ++i)
    CountTreeObject(verticalObjects[i], next(GlBlockCount::Kind::Vertical, i));
  for (size_t i = 0; i < infieldObjects.size(); ++i)
    CountInfieldObject(infieldObjects[i], next(GlBlockCount::Kind::Infield, i));
  for (size_t i = 0; i < outfieldObjects.size(); ++i)
    CountOutfieldObject(outfieldObjects[i], next(GlBlockCount::Kind::Outfield, i));
  return blocks;
}

long long CN5Ptf::CountGlFaces() {
  long long total = 0;
  GlBlockCount block;
  const int n = NoSegments();
  for (int s = 0; s < n; ++s) {
    block.materials.clear();
    CountGlFaces(s, block);
    total = CountSum(total, block.Faces());
  }
  for (int i = 0; i < NoTrackDetails(); ++i) {
    block.materials.clear();
    CountGlTrackDetailFaces(i, block);
    total = CountSum(total, block.Faces());
  }
  return total;
}

// ---- whole track and one segment ----

void CN5Ptf::GetGlFaces(CGlPointArray& points, CGlFaceArray& faces, CGlMipArray& textures,
                        CGlMaterialArray& glMaterials) {
  GetTrackLength();
  // One enlargement for the whole track instead of one per piece.
  const long long total = CountGlFaces();
  faces.Reserve(faces.GetSize() + total);
  points.Reserve(points.GetSize() + 4 * total);
  const int n = NoSegments();
  for (int s = 0; s < n; ++s) {
    CN5ObjSg* sg = GetSegObj(s);
    if (!sg) continue;
    for (int w = 0; w < sg->NoWalls(); ++w)
      if (CN5ObjWs* ws = sg->GetWsObj(w)) GetGlWallFaces(s, sg, ws, points, faces, textures, glMaterials);
    for (int b = 0; b + 1 < sg->NoTractions(); ++b)
      if (CN5ObjFs* band = sg->GetFsObj(b))
        GetGlTractionFaces(s, sg, band, sg->GetFsObj(b + 1), points, faces, textures, glMaterials);
  }
  for (int i = 0; i < NoTrackDetails(); ++i) GetGlTrackDetailFaces(i, points, faces, textures, glMaterials);
}

void CN5Ptf::GetGlFaces(int seg, CGlPointArray& points, CGlFaceArray& faces, CGlMipArray& textures,
                        CGlMaterialArray& glMaterials) {
  // Laid out once, not again for every segment a caller asks for.
  EnsureLength();
  CN5ObjSg* sg = GetSegObj(seg);
  if (!sg) return;
  for (int b = 0; b + 1 < sg->NoTractions(); ++b)
    if (CN5ObjFs* band = sg->GetFsObj(b))
      GetGlTractionFaces(seg, sg, band, sg->GetFsObj(b + 1), points, faces, textures, glMaterials);
  for (int w = 0; w < sg->NoWalls(); ++w)
    if (CN5ObjWs* ws = sg->GetWsObj(w)) GetGlWallFaces(seg, sg, ws, points, faces, textures, glMaterials);
}

// ---- surfaces ----

bool CN5Ptf::SurfacePieces(const CN5ObjSg& seg, const CN5ObjFs& band, const CN5ObjFs* next,
                           std::vector<F_SInfo>& pieces) {
  pieces.clear();
  auto* tu = dynamic_cast<const CN5ObjTu*>(band.textureCoords);
  if (!next || !band.appearance || !tu || tu->u1.size() < 4 || tu->v1.size() < 4) return false;

  F_SInfo first;
  first.rightStart = static_cast<float>(band.latStart);
  first.rightEnd = static_cast<float>(band.latEnd);
  first.leftStart = static_cast<float>(next->latStart);
  first.leftEnd = static_cast<float>(next->latEnd);
  for (int c = 0; c < 4; ++c) {
    first.corner[c][0] = tu->u1[static_cast<size_t>(c)];
    first.corner[c][1] = tu->v1[static_cast<size_t>(c)];
  }
  first.grip = band.grip;
  first.rotation = tu->rotation;
  pieces.push_back(first);

  // Cut along every bank line that runs through a piece, pieces made by an
  // earlier cut included.
  for (const CN5Obj* o : seg.bankLines) {
    auto* xs = dynamic_cast<const CN5ObjXs*>(o);
    if (!xs) continue;
    for (size_t i = 0; i < pieces.size(); ++i) {
      F_SInfo& p = pieces[i];
      const bool meets = (p.rightStart <= xs->latStart && xs->latStart < p.leftStart) ||
                         (p.rightEnd <= xs->latEnd && xs->latEnd < p.leftEnd);
      if (!meets) continue;
      const double ws = static_cast<double>(p.leftStart) - p.rightStart;
      const double we = static_cast<double>(p.leftEnd) - p.rightEnd;
      const double fs = ws > 0 ? std::clamp((xs->latStart - p.rightStart) / ws, 0.0, 1.0) : 0;
      const double fe = we > 0 ? std::clamp((xs->latEnd - p.rightEnd) / we, 0.0, 1.0) : 0;
      if (fs * ws < kMinCut && fe * we < kMinCut) continue;
      F_SInfo cut = p;
      cut.rightStart = static_cast<float>(p.rightStart + fs * ws);
      cut.rightEnd = static_cast<float>(p.rightEnd + fe * we);
      for (int k = 0; k < 2; ++k) {
        // Start-right towards start-left by fs, end-right towards end-left by fe.
        cut.corner[0][k] = p.corner[0][k] + fs * (p.corner[3][k] - p.corner[0][k]);
        cut.corner[1][k] = p.corner[1][k] + fe * (p.corner[2][k] - p.corner[1][k]);
      }
      p.leftStart = cut.rightStart;
      p.leftEnd = cut.rightEnd;
      for (int k = 0; k < 2; ++k) {
        p.corner[3][k] = cut.corner[0][k];
        p.corner[2][k] = cut.corner[1][k];
      }
      p.split = cut.split = 1;
      pieces.push_back(cut);  // p is not used after this
    }
  }

  if (band.straighten && next->straighten) {
    for (F_SInfo& p : pieces) p.rightStraight = p.leftStraight = 1;
  } else {
    if (band.straighten) pieces.front().rightStraight = 1;
    if (next->straighten) pieces.back().leftStraight = 1;
  }
  return true;
}

void CN5Ptf::GetGlTractionFaces(int seg, CN5ObjSg* segment, CN5ObjFs* band, CN5ObjFs* next, CGlPointArray& points,
                                CGlFaceArray& faces, CGlMipArray& textures, CGlMaterialArray& glMaterials) {
  if (!segment || !band) return;
  if (!SurfacePieces(*segment, *band, next, pieceScratch_)) return;
  int mip, material;
  if (!RegisterGlTexture(band->appearance, GlUse::Surface, band->grip, textures, glMaterials, mip, material)) return;
  // GetF_SInfoFaces does not touch the piece list we walk.
  for (const F_SInfo& piece : pieceScratch_) GetF_SInfoFaces(seg, segment, piece, points, faces, mip, material);
}

void CN5Ptf::GetF_SInfoFaces(int seg, CN5ObjSg* segment, const F_SInfo& piece, CGlPointArray& points,
                             CGlFaceArray& faces, int textureIndex, int materialIndex) {
  if (!segment) return;
  const CN5ObjSg& sg = *segment;
  const int nL = LongSteps(sg);
  const int nW = PieceCells(sg, piece);
  if (nW < 1) return;  // no width, or the left edge lies right of the right edge

  // Room for every face and four points per face, made once; the faces
  // and points are then appended whole, each written once.
  std::vector<CGlFace>& outFaces = faces.Items();
  std::vector<CGlPoint>& outPoints = points.Items();
  const size_t reserved = static_cast<size_t>(nL) * static_cast<size_t>(nW);
  const size_t faceBase = outFaces.size(), pointBase = outPoints.size();
  MeshGrow(outFaces, reserved);
  MeshGrow(outPoints, 4 * reserved);
  const CGlFace proto = SurfaceFaceProto(seg, piece, textureIndex, materialIndex);
  CPieceGrid(sg, piece, nL, nW).AppendCells(outFaces, outPoints, proto, static_cast<int32_t>(pointBase));

  // The counts above are exact; more would be a fault of this code.
  if (outFaces.size() - faceBase > reserved || outPoints.size() - pointBase > 4 * reserved)
    meshCheck = Result::Fail(Status::Failed, "Face Array Overflow");
}

}  // namespace lapforge
