// The glTF road: the export blocks of a description's track written as one
// glTF 2.0 file (.glb, or .gltf with its .bin beside it) for any viewer.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/Lapforge.h"
#include "app/support/FileString.h"
#include "app/support/Progress.h"
#include "app/support/UserInterface.h"
#include "description/TrkDsc.h"
#include "formats/GltfWriter.h"
#include "mesh/GlBlockArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "ptf/N5PtfDb.h"

int CLapforge::GltfFromDataBase(const TrkDsc& db, const std::string& outFile) {
  // A folder that cannot take the file is known before a big track is meshed.
  const std::string folder = FileString::Path(outFile);
  if (::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) != 0) {
    UI().Message("Could not create file '" + outFile + "': " + std::strerror(errno), "Lapforge");
    return 0;
  }
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
    UI().Message(error, "Lapforge");
    return 0;
  }
  // A .gltf file keeps its buffer in a .bin beside it.
  CountFilesWritten(FileString::Extension(outFile) != "glb" && writer.BufferSize() > 0 ? 2 : 1);
  return blocks.GetSize() > 0 ? blocks.GetSize() : 0;
}

int CLapforge::XMLToGltf(const std::string& xmlFile, const std::string& outFile) {
  return FromXML(xmlFile, &CLapforge::GltfFromDataBase, outFile);
}
