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

  // Streams the file instead of holding it, in one pass over the blocks:
  // AddGlObject and FlushObjects per block (only the objects of one block
  // are held; each is given the export's material list as it stands then,
  // which may grow from block to block). The objects wait in a scratch file
  // beside path, since the material entries come first and are known only
  // at the end: FinishStream, given the whole list, writes the file as
  // WriteFile would have from the whole list (the entries, then every
  // object with an empty face-material group for each material that joined
  // the list after it was written) and puts it in place; it fails as
  // WriteFile does.
  Result StartStream(const std::string& path, bool shortNames);
  void FlushObjects();
  Result FinishStream(const CGlMaterialArray& materials);

  int ObjectCount() const { return objectCount_; }

 private:
  struct Part;
  // The steps of AddGlObject: one object begun, and one completed with its
  // face-material groups.
  void StartPart(Part& part, const std::string& name, int partNumber, size_t remaining);
  size_t FinishPart(Part& part);
  // Where the chunks of a named object lie within it, to lengthen its face
  // chunk by groups at the end of a stream.
  struct Layout {
    CZMaxAtom* mesh = nullptr;
    CZMaxAtom* vertices = nullptr;
    CZMaxAtom* mapping = nullptr;
    CZMaxAtom* noMap = nullptr;  // the "_NoMap" group, last, if any
    size_t groups = 0;                 // the materials it has groups for
  };
  // A named object in the scratch file: its offset and length, the offsets
  // (from its start) of its mesh chunk, its face chunk and the end of its
  // material groups (where "_NoMap" begins), and its group count.
  struct Streamed {
    uint64_t at = 0, size = 0, meshAt = 0, facesAt = 0, groupsEnd = 0;
    size_t groups = 0;
  };
  // Copies a streamed object into the file with empty groups for the
  // materials from its own count up to names' end.
  void PutStreamed(const Streamed& object, const std::vector<std::string>& names);
  // Attaches the material entries, then the named objects, to the edit chunk.
  void FinishedObjects();
  CZMaxObjString* NewNamedObject(const std::string& name);

  std::unique_ptr<CZMaxObjMain> root_;
  CZMaxObj* edit_ = nullptr;
  std::vector<std::unique_ptr<CZMaxObjString>> namedObjects_;
  int objectCount_ = 0;
  bool finished_ = false;
  bool streaming_ = false;
  bool shortNames_ = false;
  bool noMapUsed_ = false;  // a triangle without a material was streamed
  CReplacingFile stream_;
  CScratchFile objects_;
  uint64_t objectBytes_ = 0;
  std::vector<Layout> layouts_;     // of namedObjects_, while streaming
  std::vector<Streamed> streamed_;  // every object in objects_, in order
};

}  // namespace lapforge
