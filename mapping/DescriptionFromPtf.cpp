// Reading a description from a PTF track file: the summary, one section per
// segment with its bands, walls, contours and bumps, the texture and
// material tables rebuilt from what the bands and walls show, details,
// trackside objects, bump definitions and the AI information of track.ini.
#include <exception>

#include "description/TrkDsc.h"
#include "description/tables/MaterialTable.h"
#include "description/tables/TableRows.h"
#include "mapping/PtfMapping.h"
#include "mapping/RecordRows.h"
#include "support/Errors.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "support/TextFormat.h"
#include "support/TrackIni.h"

namespace lapforge {

namespace {

void AddSections(CN5PtfDb& model, TrkDsc& ds) {
  std::vector<TractionRecord> tractions;
  std::vector<ContourRecord> contours;
  std::vector<PtfBumpRefRecord> refs;
  std::vector<PtfBumpScaleRecord> scales;
  // Every position of the segment array; a null entry or a record of
  // another kind is skipped and keeps its position as the index.
  const int n = model.SegmentSlots();
  for (int i = 0; i < n; ++i) {
    if (!model.GetSegObj(i)) continue;
    SectionRecord sec;
    model.DbGetSection(i, sec);
    const TrkDsc::SectionRow s = AddSectionRow(ds, sec);
    ds.Mesh.AddMeshRow(0.0f, 0.0f, 0.0f, s);

    model.DbGetTractions(i, tractions);
    for (const TractionRecord& t : tractions) AddTractionRow(ds, s, t);
    model.DbGetContours(i, contours);
    for (const ContourRecord& c : contours) AddContourRow(ds, s, c);
    model.DbGetBumpRefs(i, refs);
    for (const PtfBumpRefRecord& b : refs)
      ds.PtfBumpRef.AddPtfBumpRefRow(static_cast<int64_t>(b.index), b.latStart, b.latEnd, s);
    model.DbGetBumpScales(i, scales);
    for (const PtfBumpScaleRecord& b : scales)
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
    TrackSummaryRecord s;
    model->DbGetSummary(s);
    AddTrackSummaryRow(*ds, s);

    AddSections(*model, *ds);
    AddTextureRows(*model, *ds);

    std::vector<TrackDetailRecord> details;
    model->DbGetDetails(details);
    for (const TrackDetailRecord& d : details)
      ds->TrackDetail.AddTrackDetailRow(d.lng, d.lat, d.length, d.width, d.angle, d.u, d.v, d.tex);
    std::vector<TsoRecord> tsos;
    model->DbGetTso(tsos, world);
    for (const TsoRecord& o : tsos)
      ds->TSO.AddTSORow(o.name, o.worldXYZ != 0, o.x, o.y, o.z, o.worldAngle != 0, static_cast<float>(o.a),
                        static_cast<float>(o.b), static_cast<float>(o.c), o.comment);
    std::vector<PtfBumpDefRecord> defs;
    model->DbGetBumpDefs(defs);
    for (const PtfBumpDefRecord& d : defs)
      ds->PtfBumpDef.AddPtfBumpDefRow(static_cast<int64_t>(d.index), d.sizes[0], d.sizes[1], d.sizes[2], d.sizes[3],
                                      d.distances[0], d.distances[1], d.distances[2], d.distances[3]);

    VARS_AIW_TRACK_INFO info;
    std::string ini = FindFileNoCase(FileString::Path(path), "track.ini");
    if (!ini.empty()) ReadTrackIni(ini, info);
    AddAIInfoRow(*ds, info);
  } catch (const std::exception& e) {
    result = Result::Fail(Status::Failed,
                          std::string("The track file cannot be converted: ") + path + ": " + ErrorText(e), path);
    return nullptr;
  }
  return ds;
}

}  // namespace lapforge
