#include "roads/BlockStream.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

#include "mesh/GlBlock.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "roads/Lapforge.h"
#include "support/Errors.h"
#include "support/Memory.h"
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

namespace {

// A block made ahead of its visit, with the lists as they stood then.
struct MadeAhead {
  CGlBlock* block = nullptr;
  CGlMaterialArray materials;
  CGlMipArray textures;
  bool made = false;
  std::exception_ptr failure;  // what the making threw, thrown again to the visitor's thread
};

}  // namespace

bool CBlockStream::ForEachAhead(CGlBlock& block, const char* progressTitle, const AheadVisit& visit,
                                const std::function<std::string()>& errorTail) {
  // One block at a time, on this thread, where there is one processor, one
  // block, or memory for one block only.
  if (std::thread::hardware_concurrency() < 2 || Count() < 2 || !MemoryRefusal(2 * LargestBytes(), "").empty())
    return ForEach(block, progressTitle, [&](int b, const CGlBlock& made) { visit(b, made, materials_, textures_); },
                   errorTail);
  CGlBlock second;
  ReserveFor(block);
  ReserveFor(second);
  MadeAhead slots[2];
  slots[0].block = &block;
  slots[1].block = &second;
  auto make = [&](int b) {
    MadeAhead& slot = slots[b % 2];
    try {
      CWorkStep step("meshing the track");
      slot.made = Make(b, *slot.block);
      if (slot.made) {
        slot.materials = materials_;
        slot.textures = textures_;
      }
    } catch (...) {
      slot.made = false;
      slot.failure = std::current_exception();
    }
  };

  // The maker thread makes block `asked` into slot asked % 2 and says when
  // it is `ready`; the slot being visited is always the other one.
  std::mutex mutex;
  std::condition_variable changed;
  int asked = 0, ready = -1;
  bool stop = false;
  std::thread maker([&] {
    for (;;) {
      int b;
      {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return stop || asked > ready; });
        if (stop) return;
        b = asked;
      }
      make(b);
      {
        std::lock_guard<std::mutex> lock(mutex);
        ready = b;
      }
      changed.notify_all();
    }
  });
  // The maker is stopped and waited for however the walk ends.
  struct Join {
    std::mutex& mutex;
    std::condition_variable& changed;
    bool& stop;
    std::thread& maker;
    ~Join() {
      {
        std::lock_guard<std::mutex> lock(mutex);
        stop = true;
      }
      changed.notify_all();
      maker.join();
    }
  } join{mutex, changed, stop, maker};

  CProgress progress(progressTitle, Count());
  for (int b = 0; b < Count(); ++b) {
    {
      std::unique_lock<std::mutex> lock(mutex);
      changed.wait(lock, [&] { return ready >= b; });
    }
    MadeAhead& slot = slots[b % 2];
    if (slot.failure) std::rethrow_exception(slot.failure);
    if (!slot.made) {
      ShowMeshCheckFailure(errorTail ? errorTail() : std::string());
      return false;
    }
    if (b + 1 < Count()) {
      {
        std::lock_guard<std::mutex> lock(mutex);
        asked = b + 1;
      }
      changed.notify_all();
    }
    visit(b, *slot.block, slot.materials, slot.textures);
    progress.Step();
  }
  return true;
}

}  // namespace lapforge
