#include "description/tables/MaterialTable.h"

#include "support/TextFormat.h"

namespace lapforge {

const char* MaterialBaseWord(int grip) {
  switch (grip) {
    case 1:
    case 2:
      return "road";
    case 3:
    case 12:
    case 13:
      return "rmbl";
    case 5:
    case 6:
    case 7:
    case 8:
      return "grvl";
    case 2050:
    case 2059:
      return "grdr";
    case 2051:
    case 2052:
      return "twal";
    case 2053:
    case 2058:
      return "safer";
    default:
      return grip < 2048 ? "gras" : "cmwl";
  }
}

namespace {

const char* KindWord(int kind) {
  switch (kind) {
    case kMaterialSide:
      return "Side";
    case kMaterialTop:
      return "Top";
    case kMaterialEnd:
      return "end";
    default:
      return "Surface";
  }
}

}  // namespace

int MakeMaterial(CTrackMaterialArray& materials, std::string& name, int grip, int textureIndex, int kind, int section,
                 float longPos, float latPos, bool autoNames) {
  _vars_track_material m;
  m.name = ToLower(name);
  m.mapName = name;
  m.grip = grip;

  // A texture file already used with this surface code shares its material;
  // placeholder names never do, each gets a material of its own.
  if (name != "error") {
    std::string existing;
    if (materials.FindTexAndGrip(name, grip, existing)) {
      name = existing;
      return 0;
    }
  }

  const char* kindWord = KindWord(kind);
  m.comment = StrFormat(grip >= 2048 ? "WGrip %d Index %d %s Section %d" : "TGrip %d Index %d %s Section %d", grip,
                        textureIndex, kindWord, section);
  if (longPos != 0 || latPos != 0) m.lle = StrFormat("LLE %3.3f %3.3f %3.3f", longPos, latPos, kind > 0 ? 0.2 : 0.0);

  if (autoNames) {
    std::string base = MaterialBaseWord(grip);
    bool keep = m.name.compare(0, base.size(), base) == 0 && !materials.Find(m.name);
    if (!keep) m.name = materials.NextFreeName(base);
  }
  name = m.name;
  m.texLine = StrFormat("%d %d %d 10.0 10.0 %s // %s %s", grip, textureIndex, kind, m.mapName.c_str(),
                        m.comment.c_str(), m.lle.c_str());
  materials.Add(m);
  return 1;
}

void BuildMaterialTable(CTrackMaterialArray& materials, CTrackTractionTexArray& tractionTex,
                        CTrackWallTexArray& wallTex, bool autoNames) {
  materials.Reserve(materials.GetSize() + tractionTex.GetSize() + 4 * wallTex.GetSize());
  for (int i = 0; i < tractionTex.GetSize(); ++i) {
    VARS_TRACK_TRACTION_TEX& t = tractionTex.ElementAt(i);
    if (t.grip == 10) continue;
    MakeMaterial(materials, t.tex, t.grip, t.textureIndex, kMaterialSurface, t.firstSection, t.longPos, t.latPos,
                 autoNames);
  }
  for (int i = 0; i < wallTex.GetSize(); ++i) {
    VARS_TRACK_WALL_TEX& w = wallTex.ElementAt(i);
    auto make = [&](std::string& tex, int kind) {
      MakeMaterial(materials, tex, w.grip, w.textureIndex, kind, w.firstSection, w.longPos, w.latPos, autoNames);
    };
    if (!w.texLeft.empty()) make(w.texLeft, kMaterialSide);
    if (w.texRight == "error")
      w.texRight = w.texLeft;
    else if (!w.texRight.empty())
      make(w.texRight, kMaterialSide);
    if (!w.texTop.empty()) make(w.texTop, kMaterialTop);
    if (!w.texEnd.empty()) make(w.texEnd, kMaterialEnd);
  }
}

}  // namespace lapforge
