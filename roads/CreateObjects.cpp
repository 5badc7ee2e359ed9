// The export blocks of a built track, all held at once: one per segment,
// per track detail and per scenery object, sharing one material and one
// texture list (made by roads/BlockStream).
#include <string>

#include "mesh/GlBlockArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "roads/BlockStream.h"
#include "roads/Lapforge.h"
#include "support/Memory.h"
#include "support/Progress.h"
#include "support/TextFormat.h"
#include "support/UserInterface.h"
#include "track/N5Ptf.h"

namespace lapforge {

std::vector<std::string> CLapforge::BlockNames(CN5Ptf& model) {
  const int segments = model.NoSegments(true);
  const int details = model.NoTrackDetails();
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(segments) + static_cast<size_t>(details) + model.verticalObjects.size() +
                model.infieldObjects.size() + model.outfieldObjects.size());
  for (int i = 0; i < segments; ++i) names.push_back(StrFormat("TrackObj%3.3d", i));
  for (int i = 0; i < details; ++i) names.push_back(StrFormat("Trd%3.3d", i));
  for (const _vars_vertical_obj& v : model.verticalObjects) names.push_back(v.title);
  for (const _vars_infield_obj& v : model.infieldObjects) names.push_back(v.title);
  for (const _vars_outfield_obj& v : model.outfieldObjects) names.push_back(v.title);
  return names;
}

bool CLapforge::CreateObjects(CN5Ptf& model, CGlBlockArray& blocks, CGlMaterialArray& materials, CGlMipArray& textures,
                              std::vector<std::string>& trackNames, std::vector<std::string>& verticalNames,
                              std::vector<std::string>& otherNames) {
  // Counted before anything is meshed, so that a description whose mesh
  // the machine cannot hold is refused rather than taking it down.
  CBlockStream stream(model, materials, textures);
  if (const std::string refusal = MemoryRefusal(stream.TotalBytes(), "meshing the track"); !refusal.empty()) {
    ShowError(refusal + "; nothing was made", "Out of memory");
    return false;
  }
  CWorkStep step("meshing the track");
  // Each block is kept: made into one, then moved into the list.
  CGlBlock made;
  return stream.ForEach(
      made, "Meshing",
      [&](int i, CGlBlock& block) {
        switch (stream.KindOf(i)) {
          case GlBlockCount::Kind::Segment:
            trackNames.push_back(block.name);
            break;
          case GlBlockCount::Kind::Vertical:
            verticalNames.push_back(block.name);
            break;
          default:
            otherNames.push_back(block.name);
            break;
        }
        blocks[blocks.AddNew()] = std::move(block);
      },
      {}, CBlockStream::Arena::Unreserved);
}

}  // namespace lapforge
