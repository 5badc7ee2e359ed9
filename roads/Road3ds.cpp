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
  CGlBlock block;

  // Every object names every material of the track, and the material
  // entries come before the objects: a first pass meshes each block only
  // to make the material list whole (and to see whether any triangle has
  // no material), the second meshes each again and writes its objects.
  bool anyTriangles = false, noMaterial = false;
  {
    CWorkStep step("meshing the track");
    const bool made = stream.ForEach(block, "Materials", [&](int, const CGlBlock& made) {
      for (const CGlFace& f : made.faces) {
        if (f.deleted || f.GetVertexCount() < 3) continue;
        anyTriangles = true;
        if (f.materialIndex < 0) noMaterial = true;
      }
    });
    if (!made) return 0;
  }
  CZMaxFile max;
  if (Result started = max.StartStream(file, built.materials, shortNames, anyTriangles, noMaterial); !started) {
    ShowError(started.Text(), "Write Error");
    return 0;
  }
  {
    CWorkStep step("writing " + file);
    const bool made = stream.ForEach(block, "Writing", [&](int, const CGlBlock& made) {
      max.AddGlObject(made.points, made.faces, built.materials, made.name, shortNames, false);
      max.FlushObjects();
    });
    if (!made) return 0;
  }
  if (Result written = max.FinishStream(); !written) {
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
