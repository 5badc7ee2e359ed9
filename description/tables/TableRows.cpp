#include "description/tables/TableRows.h"

namespace lapforge {

void AddTextureAndMaterialRows(TrkDsc& ds, const CTrackTractionTexArray& tractionTex, const CTrackWallTexArray& wallTex,
                               const CTrackMaterialArray& materials) {
  for (const VARS_TRACK_TRACTION_TEX& t : tractionTex) {
    TrkDsc::TractionTexRow r = ds.TractionTex.NewTractionTexRow();
    r.SetGrip(t.grip);
    r.SetTextureIndex(t.textureIndex);
    r.SetGripOverride(t.gripOverride);
    r.SetRaceType(t.raceType);
    r.SetTex(t.tex);
    r.SetRepeatLength(t.repeatLength);
    r.SetRepeatWidth(t.repeatWidth);
    r.SetClampHint(static_cast<uint16_t>(t.clampHint));
    r.SetContourFlag(t.contourFlag != 0);
    r.SetR90(t.r90 != 0);
    r.SetFirstSection(t.firstSection);
    ds.TractionTex.AddTractionTexRow(r);
  }
  for (const VARS_TRACK_WALL_TEX& w : wallTex) {
    TrkDsc::WallTexRow r = ds.WallTex.NewWallTexRow();
    r.SetGrip(w.grip);
    r.SetTextureIndex(w.textureIndex);
    r.SetGripOverride(w.gripOverride);
    r.SetRaceType(w.raceType);
    r.SetTexLeft(w.texLeft);
    r.SetTexRight(w.texRight);
    r.SetTexTop(w.texTop);
    r.SetTexEnd(w.texEnd);
    r.SetWidth(w.width);
    r.SetHeight(w.height);
    r.SetVertical(w.vertical != 0);
    r.SetMinTexV(w.minTexV);
    r.SetMaxTexV(w.maxTexV);
    r.SetCatchFence(w.catchFence);
    r.SetRepeatLength(w.repeatLength);
    r.SetRepeatModulus(w.repeatModulus);
    r.SetFirstSection(w.firstSection);
    ds.WallTex.AddWallTexRow(r);
  }
  for (const _vars_track_material& m : materials) {
    TrkDsc::MaterialRow r = ds.Material.NewMaterialRow();
    r.SetMateralName(m.name);
    r.SetMapName(m.mapName);
    r.SetTransparency(0);
    r.SetLLE_String(m.lle);
    r.SetComment(m.comment);
    ds.Material.AddMaterialRow(r);
  }
}

}  // namespace lapforge
