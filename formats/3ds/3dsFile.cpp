#include "formats/3ds/3dsFile.h"

#include <algorithm>
#include <array>
#include <limits>
#include <memory>

#include "support/ByteWriter.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

// The material as the file names it: the map reduced to its file name (no
// folder); with short names the map title and the material name cut to the
// 8-character form 3DSMAX needs.
CGlMaterial FileMaterial(const CGlMaterial& source, bool shortNames) {
  CGlMaterial material = source;
  if (!material.mapName.empty()) {
    std::string file = FileString::FileName(material.mapName);
    if (shortNames) {
      std::string ext = FileString::Extension(file);
      file = FileString::ShortName(FileString::Title(file)) + (ext.empty() ? "" : "." + ext);
    }
    material.SetMapName(file);
  }
  if (shortNames) material.materialName = FileString::ShortName(material.materialName);
  return material;
}

// The texture file a 3DS reader should look for: formats other than BMP,
// TGA and DDS are converted to TGA for the games.
std::string MapFileName(const CGlMaterial& material) {
  std::string ext = FileString::Extension(material.mapName);
  if (ext != "bmp" && ext != "tga" && ext != "dds") ext = "tga";
  return FileString::Title(material.mapName) + "." + ext;
}

// Triangles of the faces that are not deleted and have three vertices or
// more, as a fan makes them.
size_t TriangleCount(const CGlFaceArray& faces) {
  size_t triangleCount = 0;
  for (const CGlFace& f : faces)
    if (!f.deleted && f.GetVertexCount() >= 3) triangleCount += static_cast<size_t>(f.GetVertexCount() - 2);
  return triangleCount;
}

}  // namespace

// One object being filled: the chunks under its named-object chunk and the
// material of each of its triangles, grouped when the object is complete.
struct CZMaxFile::Part {
  CZMaxObjString* named = nullptr;
  CZMaxObjTriVertexl* vertices = nullptr;
  CZMaxObjMappingCoords* mapping = nullptr;
  CZMaxObj* mesh = nullptr;
  std::vector<int32_t> triMaterial;  // file-list material slot per triangle, -1 none
  // The names of the materials of the block's list in the file, and per
  // group (those materials, then none) its triangle count.
  std::vector<std::string> names;
  std::vector<uint32_t> groupCount;
};

CZMaxFile::CZMaxFile() : root_(std::make_unique<CZMaxObjMain>()) {
  edit_ = root_->Make<CZMaxObj>(0x3D3D);
  edit_->Make<CZMaxObjLong>(0x3D3E, 3);
}

CZMaxFile::~CZMaxFile() = default;

CZMaxObjString* CZMaxFile::NewNamedObject(const std::string& name) {
  ++objectCount_;
  std::string text = name.empty() ? StrFormat("Obj%4.4d", objectCount_) : name;
  namedObjects_.push_back(std::make_unique<CZMaxObjString>(0x4000, text));
  return namedObjects_.back().get();
}

void CZMaxFile::AddGlObject(const CGlPointArray& pointList, const CGlFaceArray& faceList,
                            const CGlMaterialArray& materialList, const std::string& name, bool shortNames,
                            bool colourMap) {
  if (faceList.IsEmpty() || finished_) return;

  // Palette coordinates change the faces and may add a material, so they
  // are given to copies; otherwise the caller's lists are read in place.
  const CGlFaceArray* faces = &faceList;
  const CGlMaterialArray* materials = &materialList;
  CGlFaceArray paletteFaces;
  CGlMaterialArray paletteMaterials;
  if (colourMap) {
    paletteFaces.Copy(faceList);
    paletteMaterials = materialList;
    paletteFaces.CreateTextureCoordsFromRGB(paletteMaterials, name);
    faces = &paletteFaces;
    materials = &paletteMaterials;
  }
  const size_t triangleCount = TriangleCount(*faces);
  if (triangleCount == 0) return;

  // Every material of the list joins the file's list once, under the name
  // the file gives it; slot m of names is material m's name in the file.
  const int materialCount = materials->GetSize();
  Part part;
  part.names.resize(static_cast<size_t>(materialCount));
  for (int m = 0; m < materialCount; ++m) {
    CGlMaterial material = FileMaterial(materials->Get(m), shortNames);
    part.names[static_cast<size_t>(m)] = material.materialName;
    this->materials.LookupAdd(material);
  }
  part.groupCount.resize(static_cast<size_t>(materialCount) + 1);

  int partNumber = 0;
  size_t remaining = triangleCount;
  StartPart(part, name, ++partNumber, remaining);
  for (const CGlFace& f : *faces) {
    const int n = f.GetVertexCount();
    if (f.deleted || n < 3) continue;
    const int uvPairs = f.GetUVCount();
    const int32_t m = f.materialIndex >= 0 && f.materialIndex < materialCount ? f.materialIndex : -1;
    // A fan around the last vertex, as the mesh model triangulates.
    for (int i = 0; i + 2 < n; ++i) {
      if (part.triMaterial.size() == static_cast<size_t>(kMaxTriangles)) {
        remaining -= FinishPart(part);
        StartPart(part, name, ++partNumber, remaining);
      }
      const int corner[3] = {i, i + 1, n - 1};
      for (int k : corner) {
        const CGlPoint& p = pointList.Get(f.vertices[k]);
        part.vertices->Add(p.x, p.y, p.z);
        if (k < uvPairs)
          part.mapping->Add(f.uvs[2 * k], -f.uvs[2 * k + 1]);
        else
          part.mapping->Add(0.0f, 0.0f);
      }
      part.triMaterial.push_back(m);
    }
  }
  FinishPart(part);
}

// A new object for the next (at most kMaxTriangles) of the remaining
// triangles.
void CZMaxFile::StartPart(Part& part, const std::string& name, int partNumber, size_t remaining) {
  CZMaxObjString* named = NewNamedObject(PieceName(name, partNumber));
  part.named = named;
  part.mesh = named->Make<CZMaxObj>(0x4100);
  part.vertices = part.mesh->Make<CZMaxObjTriVertexl>();
  part.mapping = part.mesh->Make<CZMaxObjMappingCoords>();
  const size_t n = remaining < static_cast<size_t>(kMaxTriangles) ? remaining : kMaxTriangles;
  part.vertices->Reserve(3 * n);
  part.mapping->Reserve(3 * n);
  part.triMaterial.clear();
  part.triMaterial.reserve(n);
}

// Groups the part's triangles by material: one group per material of the
// list, in list order, then "_NoMap" for triangles without one. Returns
// the part's triangle count.
size_t CZMaxFile::FinishPart(Part& part) {
  const size_t materialCount = part.names.size();
  const size_t n = part.triMaterial.size();
  auto* faceChunk = part.mesh->Make<CZMaxObjTriFacel>(static_cast<uint16_t>(n));
  std::vector<uint32_t>& groupCount = part.groupCount;
  std::fill(groupCount.begin(), groupCount.end(), 0u);
  for (int32_t m : part.triMaterial) ++groupCount[m < 0 ? materialCount : static_cast<size_t>(m)];
  std::vector<std::vector<uint16_t>> groups(groupCount.size());
  for (size_t g = 0; g < groups.size(); ++g) groups[g].reserve(groupCount[g]);
  for (size_t t = 0; t < n; ++t) {
    int32_t m = part.triMaterial[t];
    groups[m < 0 ? materialCount : static_cast<size_t>(m)].push_back(static_cast<uint16_t>(t));
  }
  for (size_t m = 0; m < materialCount; ++m) faceChunk->Make<CZMaxObjTriMaterial>(part.names[m], std::move(groups[m]));
  CZMaxAtom* noMapGroup = nullptr;
  if (groupCount[materialCount] > 0) {
    CGlMaterial noMap;
    noMap.materialName = kNoMapName;
    this->materials.LookupAdd(noMap);
    noMapGroup = faceChunk->Make<CZMaxObjTriMaterial>(kNoMapName, std::move(groups.back()));
    noMapUsed_ = true;
  }
  if (streaming_) layouts_.push_back({part.mesh, part.vertices, part.mapping, noMapGroup, materialCount});
  return n;
}

namespace {

// The material entry chunk of the edit chunk.
std::unique_ptr<CZMaxObj> MaterialEntry(const CGlMaterial& material) {
  auto entry = std::make_unique<CZMaxObj>(0xAFFF);
  entry->Make<CZMaxObjString>(0xA000, material.materialName);
  entry->Make<CZMaxObjMatRGB>(0xA010);
  entry->Make<CZMaxObjMatRGB>(0xA020);
  entry->Make<CZMaxObjMatRGB>(0xA030);
  if (!material.mapName.empty()) {
    auto* map = entry->Make<CZMaxObj>(0xA200);
    map->Make<CZMaxObjShort>(0x0030, 100);
    map->Make<CZMaxObjString>(0xA300, MapFileName(material));
  }
  return entry;
}

// A chunk length as the file holds it (checked to fit by the caller).
std::array<uint8_t, 4> Le32(uint64_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
          static_cast<uint8_t>(value >> 24)};
}

// A chunk and its children as bytes, appended to out.
void AppendChunk(CZMaxAtom& chunk, CByteWriter& out) {
  chunk.GetLen();
  chunk.Write(out);
}

}  // namespace

void CZMaxFile::FinishedObjects() {
  if (finished_) return;
  finished_ = true;
  for (const CGlMaterial& material : materials) edit_->Attach(MaterialEntry(material));
  for (auto& named : namedObjects_) edit_->Attach(std::move(named));
  namedObjects_.clear();
}

Result CZMaxFile::StartStream(const std::string& path, bool shortNames) {
  if (Result opened = stream_.Open(path); !opened) return opened;
  if (Result opened = objects_.Open(FileString::Path(path)); !opened) return opened;
  streaming_ = true;
  shortNames_ = shortNames;
  return Result::Ok();
}

void CZMaxFile::FlushObjects() {
  if (!streaming_) return;
  CByteWriter out;
  for (size_t i = 0; i < namedObjects_.size(); ++i) {
    CZMaxObjString& named = *namedObjects_[i];
    const Layout& layout = layouts_[i];
    Streamed object;
    object.at = objectBytes_ + out.Size();
    AppendChunk(named, out);
    object.size = named.GetLen();
    // A named object is its name, then its mesh chunk: the points, the
    // mapping, then the face chunk, whose material groups come last.
    object.meshAt = object.size - layout.mesh->GetLen();
    object.facesAt = object.meshAt + 6 + layout.vertices->GetLen() +
                     layout.mapping->GetLen();
    object.groupsEnd = object.size - (layout.noMap ? layout.noMap->GetLen() : 0);
    object.groups = layout.groups;
    streamed_.push_back(object);
  }
  namedObjects_.clear();
  layouts_.clear();
  objectBytes_ += out.Size();
  const std::vector<uint8_t> bytes = out.Take();
  objects_.Append(bytes.data(), bytes.size());
}

void CZMaxFile::PutStreamed(const Streamed& object, const std::vector<std::string>& names) {
  if (object.groups >= names.size()) {
    stream_.AppendFile(objects_, object.at, object.size);
    return;
  }
  CByteWriter groups;
  for (size_t m = object.groups; m < names.size(); ++m) {
    CZMaxObjTriMaterial empty(names[m], {});
    AppendChunk(empty, groups);
  }
  const uint64_t added = groups.Size();
  // The named object's, the mesh's and the face chunk's lengths each grow
  // by the groups: a header is its 2-byte id, then its 4-byte length.
  uint64_t from = 0;
  for (uint64_t header : {uint64_t(0), object.meshAt, object.facesAt}) {
    stream_.AppendFile(objects_, object.at + from, header + 2 - from);
    stream_.Append(Le32(object.size - header + added).data(), 4);
    from = header + 6;
  }
  stream_.AppendFile(objects_, object.at + from, object.groupsEnd - from);
  stream_.Append(groups.Buffer().data(), groups.Size());
  stream_.AppendFile(objects_, object.at + object.groupsEnd, object.size - object.groupsEnd);
}

Result CZMaxFile::FinishStream(const CGlMaterialArray& materialList) {
  FlushObjects();
  streaming_ = false;
  // The file's material list as AddGlObject leaves it when every object is
  // given the whole list: every material of the list once any object is
  // written, "_NoMap" once a triangle without one is.
  materials.RemoveAll();
  const int materialCount = materialList.GetSize();
  std::vector<std::string> names(static_cast<size_t>(materialCount));
  for (int m = 0; m < materialCount; ++m) {
    const CGlMaterial material = FileMaterial(materialList.Get(m), shortNames_);
    names[static_cast<size_t>(m)] = material.materialName;
    if (!streamed_.empty()) materials.LookupAdd(material);
  }
  if (noMapUsed_) {
    CGlMaterial noMap;
    noMap.materialName = kNoMapName;
    materials.LookupAdd(noMap);
  }
  // The root and edit chunks' lengths are patched at the end.
  CByteWriter out;
  root_->WriteHdr(out);
  out.U16(0x0002);
  out.U32(10);
  out.U32(3);
  edit_->WriteHdr(out);
  for (const auto& child : edit_->Children()) AppendChunk(*child, out);
  for (const CGlMaterial& material : materials) AppendChunk(*MaterialEntry(material), out);
  stream_.Append(out.Buffer().data(), out.Size());
  for (const Streamed& object : streamed_) PutStreamed(object, names);
  streamed_.clear();

  const uint64_t length = stream_.Size();
  if (length > std::numeric_limits<uint32_t>::max())
    return Result::Fail(Status::Invalid, "the model is too large for a 3DS file (more than 4 GB)");
  // The root chunk covers the file; the edit chunk all but the root's
  // header and its version chunk.
  stream_.Patch(2, Le32(length).data(), 4);
  stream_.Patch(16 + 2, Le32(length - 16).data(), 4);
  return stream_.Commit();
}

Result CZMaxFile::FileImage(std::vector<uint8_t>& image) {
  image.clear();
  FinishedObjects();
  const uint64_t length = root_->GetLen();
  if (length > std::numeric_limits<uint32_t>::max())
    return Result::Fail(Status::Invalid, "the model is too large for a 3DS file (more than 4 GB)");
  CByteWriter out;
  out.Reserve(static_cast<size_t>(length));
  root_->Write(out);
  image = out.Take();
  return Result::Ok();
}

Result CZMaxFile::WriteFile(const std::string& path) {
  std::vector<uint8_t> image;
  if (Result made = FileImage(image); !made) return made;
  return ReplaceFile(path, image);
}

}  // namespace lapforge
