// The scene file of an rFactor-style track: one instance entry per model
// file with its flags, mesh, collision, shadow and response settings. A text
// file the game reads, so its lines end in CR LF.
#pragma once

#include <string>
#include <vector>

#include "mesh/GlBlockArray.h"
#include "mesh/GlObjTag.h"
#include "support/Result.h"

namespace lapforge {

class CZWriteScn {
 public:
  // One instance per block, from the block's tag named after the block.
  static Result WriteScn(const std::string& path, const std::string& extension, const CGlBlockArray& blocks);
  static Result WriteScn(const std::string& path, const std::string& extension, const std::vector<CGlObjTag>& tags);
  // The lines of one instance, appended to text (each ending in CR LF).
  static void WriteInstance(const CGlObjTag& tag, const std::string& extension, std::string& text);
  // The file title the scene names for a tag: its name without folder and
  // without extension, letter case kept.
  static std::string InstanceTitle(const std::string& name);
  // The visibility-group value with the bits of the two visibility flags.
  static int VisGroups(const CGlObjTag& tag);
};

}  // namespace lapforge
