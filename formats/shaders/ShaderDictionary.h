// The shader dictionary: the fixed catalogue of material shaders with the
// hardware shaders each uses per graphics level, looked up by name, and the
// choice of a catalogue shader for a material from its maps.
#pragma once

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "formats/shaders/ShaderTables.h"
#include "mesh/GlMatMap.h"
#include "mesh/GlMatShader.h"

namespace lapforge {

class CGfxDictionary {
 public:
  // Builds the lookup maps from the static tables and makes the start-up
  // adjustments. Runs once; every lookup below calls it, so an explicit call
  // is never needed (a further call does nothing).
  static void InitDictionaryMaps();

  // Finds a catalogue shader by name (any case). Found: copies the record,
  // sets foundName to its name and returns 1. Not found: copies the default
  // shader "DIFFUSET0" (and its name) and returns 0.
  static int LookupShader(const std::string& name, _gfxSimEDShader& record, std::string& foundName);
  // The hardware shaders of a catalogue shader's DX7, DX8 and DX9 levels. A
  // level whose hardware shader is not in the table leaves its output
  // unchanged. Returns 0, outputs untouched, for a name not in the catalogue.
  static int LookupDXSh(const std::string& name, _gfxDXShader& dx7, _gfxDXShader& dx8, _gfxDXShader& dx9);
  // A hardware shader by name (any case): 1 and the record, or 0.
  static int LookupDXSh(const std::string& hardwareName, _gfxDXShader& record);
  // The default catalogue shader "DIFFUSET0"; returns 1.
  static int GetDefaultShader(_gfxSimEDShader& record);
  // Every catalogue shader in table order: its name, and its name with its
  // short description.
  static void AllShaderNames(std::vector<std::string>& names,
                             std::vector<std::pair<std::string, std::string>>& namesAndDescriptions);

  // Chooses the catalogue shader whose stages 1 to 3 fit the shader's three
  // maps (and whose modes and specular flag fit best) and copies it into the
  // shader. Returns 1 when a record fitted, 0 when the default was taken.
  static int FindShaderMatch(CGlMatShader& shader);
  // Turns three source material maps (exactly three) into the stages of a
  // material shader and picks its catalogue shader. Returns 1.
  static int ConvertMatMapsToMatShader(std::span<const CGlMatMap> maps, CGlMatShader& shader);

  // The adjusted catalogue and the hardware table by index; an index out of
  // range raises CInvalidArgument.
  static int GetShaderCount() { return kGfxSimEDShaderCount; }
  static const _gfxSimEDShader& GetShader(int index);
  static int GetDXShaderCount() { return kGfxDXShaderCount; }
  static const _gfxDXShader& GetDXShader(int index);
  static int GetDefaultShaderIndex();
};

}  // namespace lapforge
