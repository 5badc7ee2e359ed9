// The 3DS export road: every block of the track as a named object of one
// 3DS file.
#include <string>

#include "description/TrkDsc.h"
#include "formats/3ds/3dsFile.h"
#include "mapping/PtfMapping.h"
#include "mesh/GlBlock.h"
#include "roads/BlockStream.h"
#include "roads/Lapforge.h"
#include "roads/MeshExportRoad.h"
#include "support/Errors.h"
#include "support/FileString.h"
#include "support/Progress.h"
#include "support/UserInterface.h"

namespace lapforge {

int CLapforge::_3DSFromDataBase(const TrkDsc& db, const std::string& file) {
  // Asked before anything is built, so the answer never waits on a long
  // build (and is asked even when the track turns out not to build).
  const bool shortNames = UI().YesNo("Use Short Names in .3DS\n(Required for 3DSMAX)", "Lapforge");
  if (!CMeshExportRoad::PrepareFolder(FileString::Path(file))) return 0;
  if (!OutputsClear({file})) return 0;
  MeshExportModel built;
  if (!PTFObjFromDataBase(db, *built.model, std::string())) return 0;
  CBlockStream stream(*built.model, built.materials, built.textures);
  if (CMeshExportRoad::StreamRefused(stream)) return 0;
  // The file has no normals: the track's faces are not given any.
  stream.SetNormals(false);
  CGlBlock block;
  // One pass: each block's objects go to the file as soon as it is meshed
  // (the material entries in front of them are written at the end).
  CZMaxFile max;
  if (Result started = max.StartStream(file, shortNames); !started) {
    ShowError(started.Text(), "Write Error");
    return 0;
  }
  {
    CWorkStep step("meshing the track and writing " + file);
    const bool made = stream.ForEachAhead(block, "Writing", [&](int, const CGlBlock& made,
                                                                const CGlMaterialArray& known, const CGlMipArray&) {
      max.AddGlObject(made.points, made.faces, known, made.name, shortNames, false);
      max.FlushObjects();
    });
    if (!made) return 0;
  }
  if (Result written = max.FinishStream(built.materials); !written) {
    ShowError(written.Text(), "Write Error");
    return 0;
  }
  CountFilesWritten(1);
  return stream.Count();
}

int CLapforge::XMLTo3DS(const std::string& xmlFile, const std::string& file) {
  return FromXML(xmlFile, &CLapforge::_3DSFromDataBase, file);
}

}  // namespace lapforge
