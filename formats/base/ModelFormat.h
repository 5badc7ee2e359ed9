// The base of every game model format class. One object stands for one model
// file: constructed empty, filled from the mesh model by its format's
// MakeObject (or equivalent), then written. The mesh containers are held by
// value; the file's name parts are kept for the writers' own use.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/shaders/ShaderDictionary.h"
#include "mesh/GlBlockArray.h"
#include "mesh/GlFaceArray.h"
#include "mesh/GlInsertArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "mesh/GlObjTag.h"
#include "mesh/GlPointArray.h"
#include "mesh/GlWayPoint.h"

namespace lapforge {

class CSim {
 public:
  CSim();
  virtual ~CSim();
  CSim(const CSim&) = delete;
  CSim& operator=(const CSim&) = delete;

  // Upper-case tag of the format ("F1", "RFACTOR", "GTR", "3DS", "3SE").
  virtual std::string GetTextID() const = 0;
  virtual int BuildGLBlocks(CGlBlockArray& blocks, CGlMipArray& mips);
  virtual void Report(const std::string& text);
  virtual void BuildGL();
  virtual void UpdateTitle(const std::string& title);
  // Appends one insert named after the model file (flag = insertFlag).
  virtual int ReadInsert(CGlInsertArray& inserts, CGlBlockArray& blocks, CGlMipArray& mips,
                         CGlMaterialArray& materials);
  virtual int ImportOptions();

  // Sets the file's name parts from a path: filePath (file name
  // lower-cased, folder as given), folder (ending in '/'), folderName (the
  // folder's last component) and title (file name up to its first dot).
  void SetFilePath(const std::string& path);

  // The name of piece n (1-based) of an object too large for its format:
  // the object's own name for the first piece, then NAME_2, NAME_3, ...
  static std::string PieceName(const std::string& name, int n);

  std::string filePath;
  std::string folder;
  std::string folderName;
  std::string title;

  CGlWayPointArray wayPoints;
  CGlFaceArray faces;
  CGlMipArray mips;
  CGlPointArray points;
  CGlBlockArray blocks;
  CGlInsertArray inserts;
  CGlMaterialArray materials{CGfxDictionary::FindShaderMatch};
  CGlObjTag objTag;
  int32_t insertFlag = 1;
};

}  // namespace lapforge
