// The glTF road: the export blocks of a description's track written as one
// glTF 2.0 file (.glb, or .gltf with its .bin beside it) for any viewer.
#include <memory>
#include <string>
#include <vector>

#include "app/Lapforge.h"
#include "app/support/FileString.h"
#include "app/support/OutputCheck.h"
#include "app/support/Progress.h"
#include "app/support/UserInterface.h"
#include "description/TrkDsc.h"
#include "formats/GltfWriter.h"
#include "mesh/GlBlockArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "ptf/N5PtfDb.h"

int CLapforge::GltfFromDataBase(const TrkDsc& db, const std::string& outFile) {
  // An output that cannot be written is known before a big track is meshed;
  // a .gltf has its buffer in a .bin beside it.
  std::vector<std::string> outputs{outFile};
  if (FileString::Extension(outFile) != "glb") outputs.push_back(FileString::ChangeExtension(outFile, "bin"));
  if (!OutputsClear(outputs)) return 0;
  const std::vector<OutputStamp> existing = StampExisting(outputs);
  CN5PtfDb model;
  if (!::PTFObjFromDataBase(db, model, std::string())) return 0;
  CGlBlockArray blocks;
  CGlMaterialArray materials;
  CGlMipArray textures;
  std::vector<std::string> trackNames, verticalNames, otherNames;
  CreateObjects(model, blocks, materials, textures, trackNames, verticalNames, otherNames);

  CGltfWriter writer;
  {
    CProgress progress("Writing", blocks.GetSize());
    writer.Build(blocks, materials, &progress);
  }
  std::string error;
  if (!writer.Write(outFile, error)) {
    // The .bin is written before the .gltf.
    UI().Message(error + ReplacedLines(ReplacedSince(existing)), "Lapforge");
    return 0;
  }
  return blocks.GetSize() > 0 ? blocks.GetSize() : 0;
}

int CLapforge::XMLToGltf(const std::string& xmlFile, const std::string& outFile) {
  return FromXML(xmlFile, &CLapforge::GltfFromDataBase, outFile);
}
