// Fuzz target for the whole export road: the bytes of a track description
// loaded, checked as every export checks it, and, when the check finds no
// error and the mesh it counts is small, built, meshed and written by every
// writer into memory (rFactor, GTR, GTL, MTS, 3DS, 3SE, glTF, PTF with its
// scenery object files, AI waypoints, cameras, the SVG map, the XML).
// Besides no crash and no sanitizer report, it aborts when a mesh or a
// written object indexes a vertex it does not have, when meshing makes more
// than the check counted, when a float that is not finite reaches a mesh or
// an output it can read, or when the written PTF does not read back.
#include <tiny_gltf.h>

#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "description/TrkDsc.h"
#include "formats/3ds/3dsFile.h"
#include "formats/3se/3seScene.h"
#include "formats/aiw/AiwFile.h"
#include "formats/aiw/CameraFile.h"
#include "formats/aiw/LpFile.h"
#include "formats/gltf/GltfWriter.h"
#include "formats/gmt/GmtFile.h"
#include "formats/gmt/GtlFile.h"
#include "formats/gmt/GtrFile.h"
#include "formats/mts/MtsModel.h"
#include "fuzz/RoadFuzz.h"
#include "mapping/PtfMapping.h"
#include "mesh/GlInsertArray.h"
#include "ptf/RecordFile.h"
#include "roads/AiInfo.h"
#include "roads/Lapforge.h"
#include "roads/MeshExportRoad.h"
#include "roads/TrackCheck.h"
#include "roads/TrackMap.h"

using namespace lapforge;

namespace {

// The fuzz budget: a description whose counted mesh is larger is left at
// the check, so that one execution stays well under a second.
constexpr double kMaxFaces = 200000;
constexpr double kMaxPoints = 4 * kMaxFaces;
constexpr double kMaxAiwLength = 1e5;  // metres

void Require(bool ok) {
  if (!ok) std::abort();
}

bool Finite(float v) { return std::isfinite(v); }

// Every float of a mesh finite, every face vertex one of its points.
void CheckMesh(const CGlPointArray& points, const CGlFaceArray& faces) {
  for (int i = 0; i < points.GetSize(); ++i) {
    const CGlPoint& p = points[i];
    Require(Finite(p.x) && Finite(p.y) && Finite(p.z) && Finite(p.nx) && Finite(p.ny) && Finite(p.nz) && Finite(p.u) &&
            Finite(p.v) && Finite(p.alpha) && Finite(p.tangent.x) && Finite(p.tangent.y) && Finite(p.tangent.z));
    for (const CGlUVChannel& c : p.channels) Require(Finite(c.u) && Finite(c.v));
  }
  for (int i = 0; i < faces.GetSize(); ++i) {
    const CGlFace& f = faces[i];
    Require(f.vertexCount >= 0 && f.vertexCount <= CGlFace::kMaxVertices);
    Require(f.uvCount >= 0 && f.uvCount <= CGlFace::kMaxFloats);
    for (int k = 0; k < f.vertexCount; ++k) Require(f.vertices[k] >= 0 && f.vertices[k] < points.GetSize());
    for (int k = 0; k < f.uvCount; ++k) Require(Finite(f.uvs[k]));
    Require(Finite(f.normal.x) && Finite(f.normal.y) && Finite(f.normal.z) && Finite(f.planeD));
  }
}

// The objects a game writer made of one block: each a mesh of its own that
// a 16-bit index block can address.
void CheckObjects(const std::vector<CMtsObj>& objects) {
  for (const CMtsObj& o : objects) {
    Require(o.points.GetSize() <= CZMts::kVertexLimit);
    CheckMesh(o.points, o.faces);
  }
}

// A word of letters that spells a float that is not finite ("nan", "inf",
// "infinity" in any case) outside the text elements of the document.
bool HasNonFiniteWord(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, 5, "<text") == 0) {
      const size_t end = text.find("</text>", i);
      if (end == std::string_view::npos) return false;
      i = end + 7;
      continue;
    }
    if (!std::isalpha(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    size_t j = i;
    std::string word;
    while (j < text.size() && std::isalpha(static_cast<unsigned char>(text[j])))
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(text[j++])));
    if (word == "nan" || word == "inf" || word == "infinity") return true;
    i = j;
  }
  return false;
}

uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

// Walks the chunks of a 3DS file between from and to: every chunk inside
// its parent, every triangle's points and every material group's triangles
// within the object's counts.
void Check3dsChunks(const std::vector<uint8_t>& b, size_t from, size_t to, size_t& points, size_t& faces) {
  while (from < to) {
    Require(to - from >= 6);
    const uint16_t id = U16(b, from);
    uint32_t length = 0;
    std::memcpy(&length, b.data() + from + 2, 4);
    Require(length >= 6 && length <= to - from);
    const size_t body = from + 6, end = from + length;
    switch (id) {
      case 0x4D4D:
      case 0x3D3D:
      case 0x4100:
        Check3dsChunks(b, body, end, points, faces);
        break;
      case 0x4000: {  // the name, then the mesh
        size_t nul = body;
        while (nul < end && b[nul]) ++nul;
        Require(nul < end);
        points = faces = 0;
        Check3dsChunks(b, nul + 1, end, points, faces);
        break;
      }
      case 0x4110:
        Require(end - body >= 2);
        points = U16(b, body);
        Require(end - body >= 2 + 12 * points);
        break;
      case 0x4120: {
        Require(end - body >= 2);
        faces = U16(b, body);
        Require(end - body >= 2 + 8 * faces);
        for (size_t f = 0; f < faces; ++f)
          for (size_t k = 0; k < 3; ++k) Require(U16(b, body + 2 + 8 * f + 2 * k) < points);
        Check3dsChunks(b, body + 2 + 8 * faces, end, points, faces);
        break;
      }
      case 0x4130: {
        size_t at = body;
        while (at < end && b[at]) ++at;
        Require(at + 3 <= end);
        const size_t count = U16(b, at + 1);
        Require(end - (at + 3) >= 2 * count);
        for (size_t k = 0; k < count; ++k) Require(U16(b, at + 3 + 2 * k) < faces);
        break;
      }
      default:
        break;
    }
    from = end;
  }
}

// The glTF file read back: every index below its primitive's vertex count,
// every position, normal and texture coordinate finite.
void CheckGlb(const std::string& path) {
  tinygltf::TinyGLTF loader;
  tinygltf::Model m;
  std::string error, warning;
  Require(loader.LoadBinaryFromFile(&m, &error, &warning, path));
  auto element = [&](int accessor, size_t i, size_t bytes) -> const uint8_t* {
    Require(accessor >= 0 && static_cast<size_t>(accessor) < m.accessors.size());
    const tinygltf::Accessor& a = m.accessors[static_cast<size_t>(accessor)];
    Require(a.bufferView >= 0 && static_cast<size_t>(a.bufferView) < m.bufferViews.size());
    const tinygltf::BufferView& v = m.bufferViews[static_cast<size_t>(a.bufferView)];
    Require(v.buffer >= 0 && static_cast<size_t>(v.buffer) < m.buffers.size());
    const std::vector<unsigned char>& data = m.buffers[static_cast<size_t>(v.buffer)].data;
    const size_t stride = v.byteStride ? v.byteStride : bytes;
    const size_t at = v.byteOffset + a.byteOffset + i * stride;
    Require(at + bytes <= v.byteOffset + v.byteLength && v.byteOffset + v.byteLength <= data.size());
    return data.data() + at;
  };
  for (const tinygltf::Mesh& mesh : m.meshes)
    for (const tinygltf::Primitive& p : mesh.primitives) {
      const auto position = p.attributes.find("POSITION");
      Require(position != p.attributes.end());
      const size_t vertices = m.accessors.at(static_cast<size_t>(position->second)).count;
      for (const auto& [name, accessor] : p.attributes) {
        const tinygltf::Accessor& a = m.accessors.at(static_cast<size_t>(accessor));
        Require(a.componentType == TINYGLTF_COMPONENT_TYPE_FLOAT && a.count == vertices);
        const size_t n = static_cast<size_t>(tinygltf::GetNumComponentsInType(static_cast<uint32_t>(a.type)));
        for (size_t i = 0; i < a.count; ++i) {
          float f[4];
          std::memcpy(f, element(accessor, i, 4 * n), 4 * n);
          for (size_t k = 0; k < n; ++k) Require(Finite(f[k]));
        }
      }
      Require(p.indices >= 0);
      const tinygltf::Accessor& indices = m.accessors.at(static_cast<size_t>(p.indices));
      Require(indices.componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT);
      for (size_t i = 0; i < indices.count; ++i) {
        uint32_t index = 0;
        std::memcpy(&index, element(p.indices, i, 4), 4);
        Require(index < vertices);
      }
    }
}

// The AI waypoints over straight racing lines along the whole track, when
// the description's AIInfo row gives every value the road needs.
void WriteAiw(CN5PtfDb& model, const TrkDsc& ds) {
  if (ds.AIInfo.Count() == 0) return;
  const TrkDsc::AIInfoRow row = ds.AIInfo[0];
  if (EmptyAIInfoColumn(row)) return;
  const VARS_AIW_TRACK_INFO info = AiwTrackInfo(row);
  // The fuzz budget: a waypoint every 6 m of at most 100 km.
  const double length = model.GetTrackLength();
  if (!(length <= kMaxAiwLength)) return;
  CLReadLP lp;
  lp.spacing = 3;
  const size_t records = static_cast<size_t>(length / lp.spacing) + 2;
  for (size_t i = 0; i < records; ++i) {
    const float d = static_cast<float>(lp.spacing * static_cast<double>(i));
    lp.lines.push_back({d, 1.0f, d, -3.0f, 2.0f, 0.0f});
  }
  lp.pitRecords = records;
  lp.intervals = static_cast<int>(records) - 1;
  try {
    CZWriteAIW writer;
    Require(!HasNonFiniteWord(writer.BuildAiw(model, info, lp, 1)));
  } catch (const std::invalid_argument&) {
    // Pit or stall values that do not fit the track are refused.
  }
}

// A static and a tracking camera at each third of the track.
void WriteCam(CN5PtfDb& model) {
  std::vector<_vars_source_cam> cams;
  const double length = model.GetTrackLength();
  for (int i = 0; i < 3; ++i) {
    _vars_source_cam c;
    c.distance = static_cast<float>(std::isfinite(length) ? length * i / 3 : 0);
    c.lateral = 12, c.height = 4, c.zoneStart = -50;
    c.type = 1, c.angle[0] = 0.3f, c.fov = 0.8f;
    cams.push_back(c);
    c.type = 2, c.zoom = 1.5f;
    cams.push_back(c);
  }
  try {
    CZWriteCam writer;
    Require(!HasNonFiniteWord(writer.BuildCam(model, cams)));
  } catch (const std::invalid_argument&) {
    // A track without length places no camera.
  }
}

// The game writers, each over every block as the per-block roads write them.
void WriteBlocks(const MeshExportModel& built) {
  for (int b = 0; b < built.blocks.GetSize(); ++b) {
    const CGlBlock& block = built.blocks[b];
    CGlObjTag tag;
    tag.ClearObjTag();
    {
      CZGmtFile gmt;
      gmt.MakeObject(block.points, block.faces, built.textures, built.materials, tag);
      CheckObjects(gmt.objects);
      if (!gmt.objects.empty()) Require(!gmt.RFactorFileBytes(tag).empty());
    }
    {
      CZGTLFile gtl;
      gtl.MakeObject(block.points, block.faces, built.textures, built.materials, tag);
      CheckObjects(gtl.objects);
      if (!gtl.objects.empty()) Require(!gtl.GTLFileBytes(tag).empty());
    }
    {
      CZGtrFile gtr;
      gtr.MakeObject(block.points, block.faces, built.textures, built.materials, 0, 1, 0);
      CheckObjects(gtr.objects);
      if (!gtr.objects.empty()) Require(!gtr.GTRFileBytes(b % 2 == 1).empty());
    }
    {
      CZMts mts;
      mts.MakeObject(block.points, block.faces, built.textures, built.materials, 0, 1, 0);
      CheckObjects(mts.objects);
      if (!mts.objects.empty()) Require(!mts.F1FileBytes(0).empty());
    }
  }
}

void Write3ds(const MeshExportModel& built, bool shortNames) {
  CZMaxFile max;
  for (int i = 0; i < built.blocks.GetSize(); ++i) {
    const CGlBlock& block = built.blocks[i];
    max.AddGlObject(block.points, block.faces, built.materials, block.name, shortNames, false);
  }
  std::vector<uint8_t> bytes;
  Require(static_cast<bool>(max.FileImage(bytes)));
  Require(!bytes.empty());
  size_t points = 0, faces = 0;
  Check3dsChunks(bytes, 0, bytes.size(), points, faces);
}

void WriteGltf(const MeshExportModel& built) {
  CGltfWriter writer;
  writer.Build(built.blocks, built.materials);
  const std::string path = std::string(roadfuzz::CScratch::Folder()) + "fuzz.glb";
  Require(static_cast<bool>(writer.Write(path)));
  CheckGlb(path);
}

// Last: the scene changes the blocks and the materials as the 3SE road does.
void Write3se(MeshExportModel& built) {
  CGlInsertArray inserts;
  for (int i = 0; i < built.blocks.GetSize(); ++i) {
    CGlInsert insert;
    insert.blockIndex = i;
    insert.name = built.blocks[i].name;
    built.blocks[i].attrib1 = 1;
    inserts.Add(insert);
  }
  CZ3se writer;
  CGlObjTag tag;
  tag.ClearObjTag();
  Require(!writer
               .ModelImage(CGlPointArray(), CGlFaceArray(), built.materials, built.textures, inserts, built.blocks, tag,
                           "Lapforge.ptf")
               .empty());
}

// The PTF road: the track with its scenery written as object files into the
// scratch folder; the track file must read back.
void WritePtf(const TrkDsc& ds, int version) {
  CN5PtfDb model;
  if (!PTFObjFromDataBase(ds, model, std::string(roadfuzz::CScratch::Folder()) + "fuzz.ptf")) return;
  CN5Root back;
  Require(static_cast<bool>(back.ReadFromBuffer(model.WritePtfToBuffer(version), "fuzz.ptf")));
}

// Removes what the last execution wrote into the scratch folder.
void EmptyScratch() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(roadfuzz::CScratch::Folder(), ec))
    std::filesystem::remove(entry.path(), ec);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace roadfuzz;
  static CQuietUI quiet;
  SetUserInterface(&quiet);
  EmptyScratch();
  TrkDsc ds;
  try {
    ds.ReadXmlText(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const CDataException&) {
    return 0;
  }

  CTrackCheck check;
  if (CTrackCheck::ErrorCount(check.Check(ds, std::string())) > 0 || check.MeshBytes() < 0) return 0;

  CLapforge driver;
  MeshExportModel built;
  if (!driver.PTFObjFromDataBase(ds, *built.model, std::string())) return 0;
  const std::vector<GlBlockCount> counts = built.model->CountGlBlocks();
  double faces = 0, points = 0;  // the counts of a block saturate: summed without overflow
  for (const GlBlockCount& c : counts)
    faces += static_cast<double>(c.Faces()), points += static_cast<double>(c.Points());
  if (faces > kMaxFaces || points > kMaxPoints) return 0;
  Require(driver.CreateObjects(*built.model, built.blocks, built.materials, built.textures, built.trackNames,
                               built.verticalNames, built.otherNames));
  // The count the check judged the mesh by bounds what meshing makes.
  Require(counts.size() == static_cast<size_t>(built.blocks.GetSize()));
  for (int b = 0; b < built.blocks.GetSize(); ++b) {
    const CGlBlock& block = built.blocks[b];
    Require(block.faces.GetSize() <= counts[static_cast<size_t>(b)].Faces());
    Require(block.points.GetSize() <= counts[static_cast<size_t>(b)].Points());
    CheckMesh(block.points, block.faces);
  }

  WriteBlocks(built);
  Write3ds(built, size % 2 == 1);
  WriteGltf(built);
  Write3se(built);
  WritePtf(ds, size % 3 == 0 ? 5 : 7);
  WriteAiw(*built.model, ds);
  WriteCam(*built.model);

  CTrackMap map;
  if (map.Build(ds, 640)) Require(!HasNonFiniteWord(map.ToSvg()));
  try {
    ds.GetXml();
  } catch (const CDataFormatException&) {
    // A text XML cannot hold is refused on writing.
  }
  EmptyScratch();
  return 0;
}
