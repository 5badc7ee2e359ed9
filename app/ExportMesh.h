// The part every mesh export road shares: the track model built from a
// description, then its meshes grouped in named blocks with one material
// and one texture list, and the report of an output that failed.
#pragma once

#include <string>
#include <vector>

#include "mesh/GlBlockArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "ptf/N5PtfDb.h"

class CLapforge;
class TrkDsc;

struct CExportMesh {
  CN5PtfDb model;
  CGlBlockArray blocks;
  CGlMaterialArray materials;
  CGlMipArray textures;
  std::vector<std::string> trackNames, verticalNames, otherNames;

  // Builds the track model (false when it cannot be built; the message has
  // been shown) and meshes it into the block lists.
  bool Build(CLapforge& driver, const TrkDsc& db);
};

// Shows that an output file could not be written (error names the file).
void ReportWriteFailure(const std::string& error);
// A template written beside the meshes; a missing template is skipped, an
// output that cannot be written is reported by name (false).
bool WriteTemplateFile(int id, bool binary, const std::string& file);
// folder/name with the file name lower-cased (the folder keeps its case).
std::string OutputFile(const std::string& folder, const std::string& name);
