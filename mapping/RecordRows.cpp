#include "mapping/RecordRows.h"

#include "support/TrackIni.h"

namespace lapforge {

void AddTrackSummaryRow(TrkDsc& ds, const TrackSummaryRecord& s) {
  TrkDsc::TrackSummaryRow t = ds.TrackSummary.NewTrackSummaryRow();
  t.SetName(s.name);
  t.SetLengthMetres(s.lengthMetres);
  t.SetLengthMiles(s.lengthMiles);
  t.SetX_Origin(s.xOrigin);
  t.SetY_Origin(s.yOrigin);
  t.SetZ_Origin(s.zOrigin);
  t.SetStartAngle(s.startAngle);
  t.SetNS_Angle(s.nsAngle);
  t.SetNight_Track(s.night != 0);
  t.SetAmbient(s.ambient);
  t.SetLongitudinalResolution(static_cast<float>(s.longRes));
  t.SetArcResolution(static_cast<float>(s.arcRes));
  t.SetLateralResolution(static_cast<float>(s.latRes));
  ds.TrackSummary.AddTrackSummaryRow(t);
}

TrkDsc::SectionRow AddSectionRow(TrkDsc& ds, const SectionRecord& s) {
  TrkDsc::SectionRow r = ds.Section.NewSectionRow();
  r.SetIndex(static_cast<uint16_t>(s.index));
  r.SetType(static_cast<int8_t>(s.type));
  r.SetStart(s.start);
  r.SetLength(s.length);
  r.SetAngle_Start(s.angleStart);
  r.SetAngle_Change(s.angleChange);
  r.SetRadius(s.radius);
  r.SetSplit(0.0);
  ds.Section.AddSectionRow(r);
  return r;
}

void AddTractionRow(TrkDsc& ds, const TrkDsc::SectionRow& section, const TractionRecord& t) {
  TrkDsc::TractionRow r = ds.Traction.AddTractionRow(t.latStart, t.latEnd, t.grip, t.textureIndex, t.straighten != 0,
                                                     t.height, t.heightEnd, t.width, t.widthEnd, section);
  for (int k = 0; k < t.coordCount && k < 4; ++k)
    ds.TractionTexCoord.AddTractionTexCoordRow(static_cast<int8_t>(t.coords[k].surface), t.coords[k].u, t.coords[k].v,
                                               r);
}

void AddContourRow(TrkDsc& ds, const TrkDsc::SectionRow& section, const ContourRecord& c) {
  ds.Contour.AddContourRow(c.latStart, c.height, c.grad, c.latEnd, c.heightEnd, c.gradEnd, section);
}

void AddAIInfoRow(TrkDsc& ds, const VARS_AIW_TRACK_INFO& info) {
  ds.AIInfo.AddAIInfoRow(info.mergePitIn, info.mergePitOut, info.stallsLongStart, info.stallsLatStart,
                         info.stallsLongEnd, info.stallsLatEnd, info.gridLat, info.pollPositionLeft != 0);
}

}  // namespace lapforge
