// The glTF road: the export blocks of a description's track written as one
// glTF 2.0 file (.glb, or .gltf with its .bin and images beside it) for any
// viewer, with the texture maps found beside the description as PNG images.
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "description/TrkDsc.h"
#include "formats/gltf/GltfWriter.h"
#include "formats/shaders/ShaderDictionary.h"
#include "mapping/PtfMapping.h"
#include "mesh/GlBlock.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "roads/BlockStream.h"
#include "roads/Lapforge.h"
#include "roads/LapforgeReading.h"
#include "roads/MeshExportRoad.h"
#include "roads/TextureFiles.h"
#include "support/Errors.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "support/ImageFile.h"
#include "support/OutputCheck.h"
#include "support/Progress.h"
#include "support/System.h"
#include "support/TextFormat.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace {

using FileId = std::pair<uint64_t, uint64_t>;  // device, inode

bool IdOf(const std::string& path, FileId& id) {
  sys::FileInfo st;
  if (!sys::Stat(path, st)) return false;
  id = {st.device, st.inode};
  return true;
}

// One texture file and the materials that use it.
struct TextureSource {
  std::string map;   // as the material names it
  std::string path;  // the file found
  std::vector<int> materials;
  std::string imageName;
};

// The name of a texture's PNG beside the .gltf: the map's title with its
// letter case, characters no file name may hold replaced, unique without
// regard to case among the images and the output's own name, and never the
// name of a source file in the output folder (which would be replaced by
// its own conversion).
std::string ImageFileName(const std::string& map, const std::string& outFolder, std::set<std::string>& taken,
                          const std::set<FileId>& sources) {
  std::string title = MapTitle(map);
  for (char& c : title) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 32 || u == 127 || std::strchr("<>:\"|?*", c)) c = '_';
  }
  if (title.empty()) title = "texture";
  for (int n = 1;; ++n) {
    std::string name = n == 1 ? title + ".png" : StrFormat("%s-%d.png", title.c_str(), n);
    FileId id;
    if (taken.count(ToLower(name)) || (IdOf(outFolder + name, id) && sources.count(id))) continue;
    taken.insert(ToLower(name));
    return name;
  }
}

// Gives the writer the texture images of the materials: each map found
// beside the description, decoded once, written as PNG. A map that is not
// found or cannot be decoded leaves its materials without an image; one
// message names every such map.
void AddTextureImages(const CN5PtfDb& model, const CGlMaterialArray& materials, const std::string& folder,
                      const std::string& outFile, CGltfWriter& writer) {
  std::vector<TextureSource> sources;
  std::map<FileId, size_t> byFile;
  std::set<FileId> sourceIds;
  std::vector<std::string> problems;
  std::set<std::string> missing;
  for (int i = 0; i < materials.GetSize(); ++i) {
    const CGlMaterial& material = materials[i];
    if (material.mapName.empty()) continue;
    std::string map;
    const std::string path = FindMaterialTexture(model, material, folder, map);
    FileId id;
    if (path.empty() || !IdOf(path, id)) {
      if (missing.insert(map).second)
        problems.push_back("'" + map + "' of material '" + material.materialName +
                           "': not found beside the description");
      continue;
    }
    auto [it, fresh] = byFile.emplace(id, sources.size());
    if (fresh) sources.push_back({map, path, {}, {}});
    sources[it->second].materials.push_back(i);
    sourceIds.insert(id);
  }

  const std::string outFolder = FileString::Path(outFile);
  std::set<std::string> taken = {FileString::FileName(outFile)};
  for (TextureSource& s : sources) s.imageName = ImageFileName(s.map, outFolder, taken, sourceIds);

  // One decoded image at a time: each is encoded and let go before the next.
  CProgress progress("Textures", static_cast<long long>(sources.size()));
  for (const TextureSource& s : sources) {
    CRgbaImage rgba;
    std::string png;
    Result made = LoadImageFile(s.path, rgba);
    if (made) made = EncodePng(rgba, png);
    if (!made) {
      problems.push_back(made.Text() + " (material '" + materials[s.materials.front()].materialName + "')");
    } else {
      const int image = writer.AddImage(s.imageName, std::move(png));
      for (int m : s.materials) writer.SetMaterialImage(m, image);
    }
    progress.Step();
  }
  if (problems.empty()) return;
  std::string text = "These texture maps could not be used; their materials have no image:";
  for (const std::string& p : problems) text += "\n" + p;
  ShowWarning(text, "Textures");
}

}  // namespace

int CLapforge::GltfFromDataBase(const TrkDsc& db, const std::string& outFile, const std::string& textureFolder) {
  // An output that cannot be written is known before a big track is meshed;
  // a .gltf has its buffer in a .bin beside it.
  std::vector<std::string> outputs{outFile};
  if (FileString::Extension(outFile) != "glb") outputs.push_back(FileString::ChangeExtension(outFile, "bin"));
  if (!OutputsClear(outputs)) return 0;
  const std::vector<OutputStamp> existing = StampExisting(outputs);
  CN5PtfDb model;
  if (!PTFObjFromDataBase(db, model, std::string())) return 0;
  CGlMaterialArray materials(CGfxDictionary::FindShaderMatch);
  CGlMipArray textures;
  CBlockStream stream(model, materials, textures);
  if (CMeshExportRoad::StreamRefused(stream)) return 0;

  // Each block is meshed, packed into the buffer's files and let go before
  // the next, in one block whose arrays are kept.
  CGltfWriter writer;
  if (Result started = writer.Start(outFile); !started) {
    ShowError(started.Text(), "Lapforge");
    return 0;
  }
  {
    CWorkStep step("meshing the track");
    CGlBlock block;
    if (!stream.ForEachAhead(block, "Exporting", [&](int, const CGlBlock& made, const CGlMaterialArray& known,
                                                      const CGlMipArray&) { writer.AddBlock(made, known.GetSize()); }))
      return 0;
  }
  CWorkStep step("writing " + outFile);
  writer.Finish(materials);
  AddTextureImages(model, materials, textureFolder, outFile, writer);
  std::vector<std::string> written;
  const Result result = writer.Write(outFile, &written);
  // A .gltf file keeps its buffer and images beside it.
  CountFilesWritten(static_cast<int>(written.size()));
  if (!result) {
    // The .bin is written before the .gltf.
    ShowError(result.Text() + ReplacedLines(ReplacedSince(existing)), "Lapforge");
    return 0;
  }
  return stream.Count();
}

int CLapforge::XMLToGltf(const std::string& xmlFile, const std::string& outFile) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  if (!db) return 0;
  ReadingScope reading(*this, {xmlFile});
  return GltfFromDataBase(*db, outFile, FileString::Path(xmlFile));
}

}  // namespace lapforge
