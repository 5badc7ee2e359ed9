// The 3DS export road: every block of the track as a named object of one
// 3DS file.
#include <string>

#include "description/TrkDsc.h"
#include "formats/3ds/3dsFile.h"
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
  if (!CMeshExportRoad::Build(*this, db, built)) return 0;
  CWorkStep step("writing " + file);
  CZMaxFile max;
  {
    CProgress progress("Writing", built.blocks.GetSize());
    for (int i = 0; i < built.blocks.GetSize(); ++i) {
      const CGlBlock& block = built.blocks[i];
      max.AddGlObject(block.points, block.faces, built.materials, block.name, shortNames, false);
      progress.Step();
    }
  }
  if (Result written = max.WriteFile(file); !written) {
    ShowError(written.Text(), "Write Error");
    return 0;
  }
  CountFilesWritten(1);
  return built.blocks.GetSize();
}

int CLapforge::XMLTo3DS(const std::string& xmlFile, const std::string& file) {
  return FromXML(xmlFile, &CLapforge::_3DSFromDataBase, file);
}

}  // namespace lapforge
