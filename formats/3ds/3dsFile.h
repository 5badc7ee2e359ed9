// Writes mesh blocks as one 3DS file: each block becomes a named triangle
// object (points never shared between triangles, one mapping pair per
// point, one face-material group per material), the materials go in front
// of the objects, and WriteFile puts out the whole chunk tree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/3ds/3dsChunks.h"
#include "formats/3ds/3dsTypes.h"
#include "support/FileIO.h"
#include "support/Result.h"

namespace lapforge {

class CZMaxFile : public CZMax {
 public:
  // The format counts points per object in 16 bits; a block with more
  // triangles than fit (three points each) is split into several objects,
  // the second named NAME_2, and so on.
  static constexpr int kMaxTriangles = 65535 / 3;
  static constexpr const char* kNoMapName = "_NoMap";

  CZMaxFile();
  ~CZMaxFile() override;

  // Adds the faces as one object (more when it is large). With shortNames
  // material names and map titles are cut to 8 characters for 3DSMAX; with
  // colourMap faces without a material get palette coordinates into the
  // "_rgbmap" material. Faces that are deleted or have fewer than three
  // vertices are skipped; a block without faces adds nothing.
  void AddGlObject(const CGlPointArray& points, const CGlFaceArray& faces, const CGlMaterialArray& materials,
                   const std::string& name, bool shortNames, bool colourMap);

  // The whole file into image. Fails (image empty) when the tree is larger
  // than the format's 32-bit chunk lengths allow.
  Result FileImage(std::vector<uint8_t>& image);
  // Writes the file (temporary file and rename); fails when it is too large
  // or cannot be written.
  Result WriteFile(const std::string& path);

  // Streams the file instead of holding it: the material entries are
  // written to path's temporary file at once, so materials must be the
  // whole export's list (all the blocks' materials, as AddGlObject is to
  // be given it for every block), anyTriangles whether any block has a
  // triangle and noMapMaterial whether any has one without a material.
  // Then AddGlObject and FlushObjects per block (only the objects of one
  // block are held), and FinishStream patches the root and edit chunks'
  // lengths and puts the file in place; it fails as WriteFile does.
  Result StartStream(const std::string& path, const CGlMaterialArray& materials, bool shortNames, bool anyTriangles,
                     bool noMapMaterial);
  void FlushObjects();
  Result FinishStream();

  int ObjectCount() const { return objectCount_; }

 private:
  struct Part;
  // The steps of AddGlObject: one object begun, and one completed with its
  // face-material groups.
  void StartPart(Part& part, const std::string& name, int partNumber, size_t remaining);
  size_t FinishPart(Part& part);
  // Attaches the material entries, then the named objects, to the edit chunk.
  void FinishedObjects();
  CZMaxObjString* NewNamedObject(const std::string& name);

  std::unique_ptr<CZMaxObjMain> root_;
  CZMaxObj* edit_ = nullptr;
  std::vector<std::unique_ptr<CZMaxObjString>> namedObjects_;
  int objectCount_ = 0;
  bool finished_ = false;
  bool streaming_ = false;
  CReplacingFile stream_;
};

}  // namespace lapforge
