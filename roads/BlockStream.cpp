#include "roads/BlockStream.h"

#include <algorithm>
#include <utility>

#include "mesh/GlBlock.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "roads/Lapforge.h"
#include "support/Errors.h"
#include "support/TextFormat.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace {

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
// A second pass over the blocks does not warn again.
template <typename Mesh>
void MeshSceneryObject(CGlBlock& block, const char* table, const std::string& title, bool warn, Mesh mesh) {
  try {
    mesh();
  } catch (const CInvalidArgument& e) {
    block.faces.RemoveAll();
    block.points.RemoveAll();
    if (warn) ShowWarning(StrFormat("the %s \"%s\" is left out: %s", table, title.c_str(), e.what()), "warning");
  }
}

}  // namespace

CBlockStream::CBlockStream(CN5Ptf& model, CGlMaterialArray& materials, CGlMipArray& textures)
    : model_(model), materials_(materials), textures_(textures) {
  counts_ = model.CountGlBlocks();
  names_ = CLapforge::BlockNames(model);
  for (const GlBlockCount& b : counts_) {
    largestFaces_ = std::max(largestFaces_, b.Faces());
    largestPoints_ = std::max(largestPoints_, b.Points());
    largestBytes_ = std::max(largestBytes_, b.Bytes());
    totalBytes_ += b.Bytes();
  }
}

void CBlockStream::ReserveFor(CGlBlock& block) const {
  block.faces.Reserve(largestFaces_);
  block.points.Reserve(largestPoints_);
}

void CBlockStream::ShowMeshCheckFailure(const std::string& tail) const {
  ShowError(model_.meshCheck.Text() + tail, "");
}

bool CBlockStream::Make(int index, CGlBlock& block) {
  // A fresh block around the arrays kept from the last one.
  std::vector<CGlPoint> points = std::move(block.points.Items());
  std::vector<CGlFace> faces = std::move(block.faces.Items());
  points.clear();
  faces.clear();
  block = CGlBlock();
  block.points.Items() = std::move(points);
  block.faces.Items() = std::move(faces);

  // The block's switch is the second int32 after its tag; the visibility
  // byte, set on track blocks, keeps rFactor's visibility group 32 off.
  block.name = names_[static_cast<size_t>(index)];
  const bool firstPass = index >= made_;
  made_ = std::max(made_, index + 1);
  block.attrib1 = 1;
  const GlBlockCount& count = counts_[static_cast<size_t>(index)];
  const size_t i = static_cast<size_t>(count.index);
  switch (count.kind) {
    case GlBlockCount::Kind::Segment: {
      block.tag.visible2 = 1;
      block.tag.collisionTarget = 1;
      block.tag.hatTarget = 1;
      block.tag.shadowReceiver = 1;
      model_.GetGlFaces(count.index, block.points, block.faces, textures_, materials_);
      if (normals_) block.faces.FacetNormals(block.points, false, 0);
      if (!model_.meshCheck) return false;
      // The materials the track blocks bring take their transparency from
      // the track's material table (a detail's stays as made).
      for (; transparencySet_ < materials_.GetSize(); ++transparencySet_) {
        CGlMaterial& material = materials_[transparencySet_];
        _vars_track_material entry;
        if (model_.materials.Lookup(material.materialName, entry)) material.transparencyMode = entry.transparency;
      }
      break;
    }
    case GlBlockCount::Kind::Detail:
      model_.GetGlTrackDetailFaces(count.index, block.points, block.faces, textures_, materials_);
      break;
    // Scenery placed where the track has no bands to stand on cannot be
    // meshed: it is left out with a warning naming it, and the rest of the
    // track is still written.
    case GlBlockCount::Kind::Vertical: {
      const _vars_vertical_obj& v = model_.verticalObjects[i];
      MarkCollisionOnly(block, v.title);
      MeshSceneryObject(block, "VerticalObj", v.title, firstPass,
                        [&] { model_.CreateTreeObject(v, block.faces, block.points, materials_); });
      break;
    }
    case GlBlockCount::Kind::Infield: {
      const _vars_infield_obj& v = model_.infieldObjects[i];
      MeshSceneryObject(block, "InfieldObj", v.title, firstPass,
                        [&] { model_.CreateInfieldObject(v, block.faces, block.points, materials_); });
      break;
    }
    case GlBlockCount::Kind::Outfield: {
      const _vars_outfield_obj& v = model_.outfieldObjects[i];
      MeshSceneryObject(block, "OutfieldObj", v.title, firstPass,
                        [&] { model_.CreateOutfieldObject(v, block.faces, block.points, materials_); });
      break;
    }
  }
  return true;
}

}  // namespace lapforge
