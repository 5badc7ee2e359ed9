// Reading a description from a PTF track file: the summary, one section per
// segment with its bands, walls, contours and bumps, the texture and
// material tables rebuilt from what the bands and walls show, details,
// trackside objects, bump definitions and the AI information of track.ini.
#include <exception>

#include "description/TrkDsc.h"
#include "description/tables/MaterialTable.h"
#include "description/tables/TableRows.h"
#include "mapping/PtfMapping.h"
#include "support/Errors.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "support/TextFormat.h"
#include "support/TrackIni.h"

namespace {

void AddSections(CN5PtfDb& model, TrkDsc& ds) {
  std::vector<VARS_PTF_DB_TRACTION> tractions;
  std::vector<VARS_PTF_DB_CONTOUR> contours;
  std::vector<VARS_PTF_DB_BUMP_REF> refs;
  std::vector<VARS_PTF_DB_BUMP_SCALE> scales;
  // Every position of the segment array; a null entry or a record of
  // another kind is skipped and keeps its position as the index.
  const int n = model.SegmentSlots();
  for (int i = 0; i < n; ++i) {
    if (!model.GetSegObj(i)) continue;
    VARS_PTF_DB_SECTION sec;
    model.DbGetSection(i, sec);
    TrkDsc::SectionRow s = ds.Section.NewSectionRow();
    s.SetIndex(static_cast<uint16_t>(i));
    s.SetAngle_Change(sec.angleChange);
    s.SetAngle_Start(sec.angleStart);
    s.SetLength(sec.length);
    s.SetType(static_cast<int8_t>(sec.type));
    s.SetRadius(sec.radius);
    s.SetStart(sec.start);
    s.SetSplit(0.0);
    ds.Section.AddSectionRow(s);

    ds.Mesh.AddMeshRow(0.0f, 0.0f, 0.0f, s);

    model.DbGetTractions(i, tractions);
    for (const VARS_PTF_DB_TRACTION& t : tractions) {
      TrkDsc::TractionRow r =
          ds.Traction.AddTractionRow(t.latStart, t.latEnd, t.grip, t.textureIndex, t.straighten != 0, t.height,
                                     t.heightEnd, t.width, t.widthEnd, s);
      for (int k = 0; k < t.coordCount && k < 4; ++k)
        ds.TractionTexCoord.AddTractionTexCoordRow(static_cast<int8_t>(t.coords[k].surface), t.coords[k].u,
                                                   t.coords[k].v, r);
    }
    model.DbGetContours(i, contours);
    for (const VARS_PTF_DB_CONTOUR& c : contours)
      ds.Contour.AddContourRow(c.latStart, c.height, c.grad, c.latEnd, c.heightEnd, c.gradEnd, s);
    model.DbGetBumpRefs(i, refs);
    for (const VARS_PTF_DB_BUMP_REF& b : refs)
      ds.PtfBumpRef.AddPtfBumpRefRow(static_cast<int64_t>(b.index), b.latStart, b.latEnd, s);
    model.DbGetBumpScales(i, scales);
    for (const VARS_PTF_DB_BUMP_SCALE& b : scales)
      ds.PtfBumpScale.AddPtfBumpScaleRow(b.latStart, b.latEnd, b.scaleStart, b.scaleEnd, s);
  }
}

void AddTextureRows(CN5PtfDb& model, TrkDsc& ds) {
  CTrackTractionTexArray tractionTex = model.DbGetTractionTex();
  CTrackWallTexArray wallTex = model.DbGetWallTex();
  CTrackMaterialArray materials;
  // Material names are always generated, whatever the caller asked for.
  BuildMaterialTable(materials, tractionTex, wallTex, true);
  AddTextureAndMaterialRows(ds, tractionTex, wallTex, materials);
}

}  // namespace

std::vector<std::string> PtfReadFiles(const std::string& path) {
  std::vector<std::string> files{path};
  if (std::string ini = FindFileNoCase(FileString::Path(path), "track.ini"); !ini.empty()) files.push_back(ini);
  return files;
}

std::unique_ptr<TrkDsc> DataBaseFromPTF(const std::string& path, bool world, bool /*autoMaterials*/, Result& result) {
  std::unique_ptr<CN5PtfDb> model = CN5PtfDb::CreateFromFile(path, result);
  if (!model) return nullptr;
  // A record file without a track record (a trackside object file) would
  // become a description of no sections.
  if (!model->GetTk()) {
    const CN5Obj* first = model->Root();
    result = Result::Fail(
        Status::WrongKind,
        first ? StrFormat("%s: no track record: this looks like an object file (its first record is a %.*s)",
                          path.c_str(), static_cast<int>(first->className.size()), first->className.data())
              : path + ": holds no record that can be read",
        path);
    return nullptr;
  }
  auto ds = std::make_unique<TrkDsc>();
  try {
    VARS_PTF_DB_SUMMARY s;
    model->DbGetSummary(s);
    TrkDsc::TrackSummaryRow t = ds->TrackSummary.NewTrackSummaryRow();
    t.SetLengthMiles(s.lengthMiles);
    t.SetLengthMetres(s.lengthMetres);
    t.SetName(s.name);
    t.SetStartAngle(s.startAngle);
    t.SetX_Origin(s.xOrigin);
    t.SetY_Origin(s.yOrigin);
    t.SetZ_Origin(s.zOrigin);
    t.SetAmbient(s.ambient);
    t.SetNS_Angle(s.nsAngle);
    t.SetNight_Track(s.night != 0);
    t.SetLongitudinalResolution(static_cast<float>(s.longRes));
    t.SetArcResolution(static_cast<float>(s.arcRes));
    t.SetLateralResolution(static_cast<float>(s.latRes));
    ds->TrackSummary.AddTrackSummaryRow(t);

    AddSections(*model, *ds);
    AddTextureRows(*model, *ds);

    std::vector<VARS_PTF_DB_DETAIL> details;
    model->DbGetDetails(details);
    for (const VARS_PTF_DB_DETAIL& d : details)
      ds->TrackDetail.AddTrackDetailRow(d.lng, d.lat, d.length, d.width, d.angle, d.u, d.v, d.tex);
    std::vector<VARS_PTF_DB_TSO> tsos;
    model->DbGetTso(tsos, world);
    for (const VARS_PTF_DB_TSO& o : tsos)
      ds->TSO.AddTSORow(o.name, o.worldXYZ != 0, o.x, o.y, o.z, o.worldAngle != 0, static_cast<float>(o.a),
                        static_cast<float>(o.b), static_cast<float>(o.c), o.comment);
    std::vector<VARS_PTF_DB_BUMP_DEF> defs;
    model->DbGetBumpDefs(defs);
    for (const VARS_PTF_DB_BUMP_DEF& d : defs)
      ds->PtfBumpDef.AddPtfBumpDefRow(static_cast<int64_t>(d.index), d.sizes[0], d.sizes[1], d.sizes[2], d.sizes[3],
                                      d.distances[0], d.distances[1], d.distances[2], d.distances[3]);

    VARS_AIW_TRACK_INFO info;
    std::string ini = FindFileNoCase(FileString::Path(path), "track.ini");
    if (!ini.empty()) ReadTrackIni(ini, info);
    ds->AIInfo.AddAIInfoRow(info.mergePitIn, info.mergePitOut, info.stallsLongStart, info.stallsLatStart,
                            info.stallsLongEnd, info.stallsLatEnd, info.gridLat, info.pollPositionLeft != 0);
  } catch (const std::exception& e) {
    result = Result::Fail(Status::Failed,
                          std::string("The track file cannot be converted: ") + path + ": " + ErrorText(e), path);
    return nullptr;
  }
  return ds;
}
