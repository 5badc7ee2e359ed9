// The export blocks of a built track: one per segment, per track detail and
// per scenery object, sharing one material and one texture list.
#include <cstdio>
#include <string>

#include "mesh/GlBlockArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "roads/Lapforge.h"
#include "support/Errors.h"
#include "support/Memory.h"
#include "support/Progress.h"
#include "support/TextFormat.h"
#include "support/UserInterface.h"
#include "track/N5Ptf.h"

namespace lapforge {

namespace {

// A new block appended to the list, named, with its switch on. The block's
// second int32 after its tag is that switch; the visibility byte, when set,
// keeps rFactor's visibility group 32 off.
CGlBlock& NewBlock(CGlBlockArray& blocks, std::string name, bool keepGroup32Off) {
  CGlBlock& block = blocks[blocks.AddNew()];
  block.name = std::move(name);
  block.attrib1 = 1;
  block.tag.visible2 = keepGroup32Off ? 1 : 0;
  return block;
}

// Boards whose title starts with a timing or pit marker are invisible
// collision targets that the game answers with a response.
void MarkCollisionOnly(CGlBlock& block, const std::string& title) {
  int16_t response = 0;
  if (StartsWithNoCase(title, "xsector") || StartsWithNoCase(title, "xfinish"))
    response = 1;
  else if (StartsWithNoCase(title, "xpit"))
    response = 2;
  if (response == 0) return;
  block.tag.collisionTarget = 1;
  block.tag.render = 0;
  block.tag.responseKind = response;
}

// Meshes one scenery object into its block; when the track cannot place it
// (no bands at a distance it needs), the block is left empty, so no game file
// holds a part of it, and a warning names the object.
template <typename Mesh>
void MeshSceneryObject(CGlBlock& block, const char* table, const std::string& title, Mesh mesh) {
  try {
    mesh();
  } catch (const CInvalidArgument& e) {
    block.faces.RemoveAll();
    block.points.RemoveAll();
    ShowWarning(StrFormat("the %s \"%s\" is left out: %s", table, title.c_str(), e.what()), "warning");
  }
}

}  // namespace

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
  double bytes = 0;
  for (const GlBlockCount& b : model.CountGlBlocks()) bytes += b.Bytes();
  if (const std::string refusal = MemoryRefusal(bytes, "meshing the track"); !refusal.empty()) {
    ShowError(refusal + "; nothing was made", "Out of memory");
    return false;
  }
  CWorkStep step("meshing the track");
  const int segments = model.NoSegments(true);
  const int details = model.NoTrackDetails();
  const long long total =
      static_cast<long long>(segments) + details + static_cast<long long>(model.verticalObjects.size()) +
      static_cast<long long>(model.infieldObjects.size()) + static_cast<long long>(model.outfieldObjects.size());
  CProgress progress("Meshing", total);
  std::vector<std::string> names = BlockNames(model);
  size_t next = 0;

  // 1. The track, one block per segment.
  for (int i = 0; i < segments; ++i) {
    CGlBlock& block = NewBlock(blocks, std::move(names[next++]), true);
    block.tag.collisionTarget = 1;
    block.tag.hatTarget = 1;
    block.tag.shadowReceiver = 1;
    model.GetGlFaces(i, block.points, block.faces, textures, materials);
    block.faces.FacetNormals(block.points, false, 0);
    trackNames.push_back(block.name);
    progress.Step();
  }
  if (!model.meshCheck) {
    ShowError(model.meshCheck.Text(), "");
    return false;
  }

  // 2. Transparency of the materials the track's material table knows.
  for (CGlMaterial& material : materials) {
    _vars_track_material entry;
    if (model.materials.Lookup(material.materialName, entry)) material.transparencyMode = entry.transparency;
  }

  // 3. Painted details.
  for (int i = 0; i < details; ++i) {
    CGlBlock& block = NewBlock(blocks, std::move(names[next++]), false);
    model.GetGlTrackDetailFaces(i, block.points, block.faces, textures, materials);
    otherNames.push_back(block.name);
    progress.Step();
  }

  // 4-6. Scenery. An object placed where the track has no bands to stand
  // on cannot be meshed: it is left out with a warning naming it, and the
  // rest of the track is still written.
  for (const _vars_vertical_obj& v : model.verticalObjects) {
    CGlBlock& block = NewBlock(blocks, std::move(names[next++]), false);
    MarkCollisionOnly(block, v.title);
    MeshSceneryObject(block, "VerticalObj", v.title,
                      [&] { model.CreateTreeObject(v, block.faces, block.points, materials); });
    verticalNames.push_back(block.name);
    progress.Step();
  }
  for (const _vars_infield_obj& v : model.infieldObjects) {
    CGlBlock& block = NewBlock(blocks, std::move(names[next++]), false);
    MeshSceneryObject(block, "InfieldObj", v.title,
                      [&] { model.CreateInfieldObject(v, block.faces, block.points, materials); });
    otherNames.push_back(block.name);
    progress.Step();
  }
  for (const _vars_outfield_obj& v : model.outfieldObjects) {
    CGlBlock& block = NewBlock(blocks, std::move(names[next++]), false);
    MeshSceneryObject(block, "OutfieldObj", v.title,
                      [&] { model.CreateOutfieldObject(v, block.faces, block.points, materials); });
    otherNames.push_back(block.name);
    progress.Step();
  }
  return true;
}

}  // namespace lapforge
