// The export blocks of a built track made one at a time, so that an export
// holds one block's mesh at once instead of the whole track's. The blocks
// come in CreateObjects' order with its names, tags and materials (one per
// segment, per track detail and per scenery object, sharing one material
// and one texture list that grow as blocks are made). A block is made into
// a CGlBlock the caller keeps: its point and face arrays are the arenas,
// cleared for each block and reserved once, from the counts, for the
// largest.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "mesh/GlBlock.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "support/Progress.h"
#include "track/N5Ptf.h"

namespace lapforge {

class CBlockStream {
 public:
  // The model must be built; its blocks are counted here, without meshing.
  CBlockStream(CN5Ptf& model, CGlMaterialArray& materials, CGlMipArray& textures);

  int Count() const { return static_cast<int>(names_.size()); }
  // The blocks' names in block order (CLapforge::BlockNames).
  const std::vector<std::string>& Names() const { return names_; }
  GlBlockCount::Kind KindOf(int index) const { return counts_[static_cast<size_t>(index)].kind; }
  // The bytes of face and point records of the largest block, and of all.
  double LargestBytes() const { return largestBytes_; }
  double TotalBytes() const { return totalBytes_; }

  // Whether the track's faces get their normals (and points their copies
  // where faces meeting at them differ): on unless an export writes none.
  void SetNormals(bool on) { normals_ = on; }

  // Reserves a block's arrays for the largest block, so that none grows
  // while blocks are made into it.
  void ReserveFor(CGlBlock& block) const;
  // Makes block index (0 up, in order; a second pass over the blocks makes
  // them again, the same) into block: cleared,
  // named, tagged and meshed. A scenery object the track cannot place is
  // left empty with a warning naming it. false when the track's meshing
  // failed its own check (model.meshCheck, a fault of this code): the
  // block is then not to be written.
  bool Make(int index, CGlBlock& block);

  // Whether ForEach reserves the block for the largest first: a walk that
  // keeps each block (moves it away) leaves the arrays to grow as each needs.
  enum class Arena { Reserved, Unreserved };
  // The walk every export makes: each block in order made into block and
  // handed to visit(index, block) before the next is made, a progress step
  // (titled progressTitle) after each. When the track's meshing fails its
  // own check, the check's text (followed by errorTail(), the caller's
  // lines about files already replaced) is shown and the walk gives false.
  template <typename Visit>
  bool ForEach(CGlBlock& block, const char* progressTitle, Visit&& visit,
               const std::function<std::string()>& errorTail = {}, Arena arena = Arena::Reserved) {
    if (arena == Arena::Reserved) ReserveFor(block);
    CProgress progress(progressTitle, Count());
    for (int b = 0; b < Count(); ++b) {
      if (!Make(b, block)) {
        ShowMeshCheckFailure(errorTail ? errorTail() : std::string());
        return false;
      }
      visit(b, block);
      progress.Step();
    }
    return true;
  }

  // The walk of an export that writes each block as it comes: as ForEach,
  // but while a block is visited the next one is made on a second thread
  // (where the machine has more than one processor), so that meshing and
  // writing overlap. visit gets the block with the material and texture
  // lists as they stood once it was made, and must use those rather than
  // the lists the stream fills, which the next block is growing. Blocks are
  // made and visited in order, each once; two blocks are held at a time.
  using AheadVisit = std::function<void(int index, const CGlBlock& block, const CGlMaterialArray& materials,
                                        const CGlMipArray& textures)>;
  bool ForEachAhead(CGlBlock& block, const char* progressTitle, const AheadVisit& visit,
                    const std::function<std::string()>& errorTail = {});

 private:
  void ShowMeshCheckFailure(const std::string& tail) const;

  CN5Ptf& model_;
  CGlMaterialArray& materials_;
  CGlMipArray& textures_;
  std::vector<std::string> names_;
  std::vector<GlBlockCount> counts_;
  long long largestFaces_ = 0, largestPoints_ = 0;
  bool normals_ = true;
  double largestBytes_ = 0, totalBytes_ = 0;
  // Materials whose transparency the track's material table has set: the
  // track blocks' materials, each once.
  int transparencySet_ = 0;
  // Blocks made so far in the first pass (warnings are given there only).
  int made_ = 0;
};

}  // namespace lapforge
