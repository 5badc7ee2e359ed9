#include "tests/support/ptf/RecordTrees.h"

#include "tests/support/ptf/RecordBytes.h"

namespace lapforge {

namespace {

CN5ObjAp* MakeAppearance(CN5Root& r, CN5Obj* parent, const char* tex) {
  auto* ap = r.Create<CN5ObjAp>(parent);
  auto* tx = r.Create<CN5ObjTx>(ap);
  tx->textureName = tex;
  return ap;
}

CN5ObjTu* MakeCoords(CN5Root& r, CN5Obj* parent, bool copy = false) {
  auto* tu = r.Create<CN5ObjTu>(parent);
  tu->u1 = {0, 0, 1, 1};
  tu->v1 = {0, 1, 1, 0};
  tu->copyFlag = copy;
  return tu;
}

}  // namespace

void AddTrackSideTree(CN5Root& r, CN5Obj* parent) {
  auto* lod = r.Create<CN5ObjLw>(parent);
  lod->values = {0.0, 200.0};
  auto* sw = r.Create<CN5ObjSw>(lod);
  sw->switchName = "Weekend";
  sw->values = {1.0, 2.9};
  auto* gp = r.Create<CN5ObjGp>(sw);
  r.Create<CN5ObjEm>(lod);
  for (int s = 0; s < 2; ++s) {
    auto* sh = r.Create<CN5ObjSh>(gp);
    sh->shapeName = s ? "roof" : "body";
    auto* gm = r.Create<CN5ObjGm>(sh);
    auto* vl = r.Create<CN5ObjVl>(gm);
    for (int i = 0; i < 4; ++i) {
      vl->positions.push_back({double(i), double(i * 2), 1.0});
      if (s == 0) vl->normals.push_back({0, 0, 1});  // the second gets the default normals
      vl->uvs.push_back({0.5 * i, 1.0});
    }
    if (s == 0) {
      gm->triangles = {0, 1, 2, 2, 1, 3};
    } else {
      // A primitive child instead of collected triangles.
      r.Create<CN5ObjTl>(gm)->indices = {0, 1, 2};
    }
    MakeAppearance(r, sh, "wall.tga");
  }
}

void AddTrackTree(CN5Root& r, CN5Obj* parent, int segments) {
  auto* tk = r.Create<CN5ObjTk>(parent);
  tk->bumpDefs.resize(1);
  tk->bumpDefs[0].first[0] = 7;
  tk->bumpDefs[0].second[15] = 9;
  auto* td = r.Create<CN5ObjTd>(tk, &tk->details);
  MakeAppearance(r, td, "decal");
  auto* ro = r.Create<CN5ObjRo>(tk, &tk->tsoRefs);
  ro->placement[0] = 100.5;
  ro->placement[3] = 1.25;
  r.CreateNewTso(ro, "Objects\\Flagger");
  for (int i = 0; i < segments; ++i) {
    auto* sg = r.Create<CN5ObjSg>(tk, &tk->segments);
    sg->segType = i % 2;
    sg->endX = 10.0 * (i + 1);
    sg->bumpRefs.resize(1);
    sg->bumpRefs[0][0] = uint8_t(i);
    sg->bumpScales.resize(2);
    auto* xs = r.Create<CN5ObjXs>(sg, &sg->bankLines);
    xs->latStart = -10;
    xs->latEnd = -10.5;
    xs->heightStart = 1.0 / 3.0;
    xs->gradStart = 0.25;
    for (int b = 0; b < 2; ++b) {
      auto* fs = r.Create<CN5ObjFs>(sg, &sg->bands);
      fs->latStart = fs->latEnd = b * 10.0 - 10;
      fs->grip = 1;
      if (b == 0) {
        fs->appearance = MakeAppearance(r, fs, "asphalt");
        fs->textureCoords = MakeCoords(r, fs, true);
      }
    }
    for (double lat : {12.0, -12.0}) {
      auto* ws = r.Create<CN5ObjWs>(sg, &sg->walls);
      ws->latStart = ws->latEnd = lat;
      ws->heightStart = 1.5;
      ws->wallType = lat > 0 ? 0x812 : 2049;
      CN5ObjWs::_ApTuPair p;
      p.appearance = MakeAppearance(r, ws, "wall");
      p.textureCoords = MakeCoords(r, ws);
      ws->faces = {p, {}, {}, {}, {}};
    }
  }
}

std::unique_ptr<CN5Root> MakeTrackSideTree() {
  auto root = std::make_unique<CN5Root>();
  AddTrackSideTree(*root, nullptr);
  return root;
}

std::vector<uint8_t> MakeStraightTrackFile(int segments) {
  std::unique_ptr<CN5Root> tree = MakeTrackTree(segments, 7);
  // The builder's odd segments are arcs that do not turn, which the track
  // model refuses.
  for (auto& o : tree->All())
    if (auto* sg = dynamic_cast<CN5ObjSg*>(o.get())) sg->segType = 0;
  return tree->WriteToBuffer();
}

std::unique_ptr<CN5Root> MakeTrackTree(int segments, int formatVersion) {
  auto root = std::make_unique<CN5Root>();
  root->formatVersion = formatVersion;
  AddTrackTree(*root, nullptr, segments);
  return root;
}

std::unique_ptr<CN5Root> MakeEveryKindTree(int formatVersion) {
  auto root = std::make_unique<CN5Root>();
  CN5Root& r = *root;
  r.formatVersion = formatVersion;
  auto* gp = r.Create<CN5ObjGp>(nullptr);
  gp->objectName = "every kind";
  AddTrackTree(r, gp, 2);
  AddTrackSideTree(r, gp);
  auto* ts = r.Create<CN5ObjTs>(gp);
  auto* vl = r.Create<CN5ObjVl>(ts);
  for (int i = 0; i < 5; ++i) vl->positions.push_back({double(i), 0, 0});
  // The triangles of the strip 0 1 2 3 4 as the reader holds them.
  ts->triangles = {0, 1, 2, 3, 2, 1, 2, 3, 4};
  return root;
}

std::vector<uint8_t> MakeGameTrackSideFile() {
  CRecordBytes b;
  // LOD switch root: two distances, the object and an empty record.
  b.Record(1, 101, "LodSwitchDescriptor").Header("lod_tree", 1);
  b.Block(85, {{0, 1}, {8, 0x3F800000}, {52, 2}, {56, 2}});
  b.Values({0.0, 350.0}).U32(8);
  {
    b.Record(2, 102, "StateSwitchDescriptor").Header("population", 1);
    b.Block(56, {{0, 1}, {52, 1}}).Str("Weekend").Block(12, {{0, 2}}).Values({1.0, 2.9}).U32(8);
    {
      // The flag 2 at offset 52 adds one byte after the switch name.
      b.Record(3, 102).Header("dn", 1);
      b.Block(56, {{0, 1}, {52, 2}}).Str("day_night").U8(1).Block(12, {{0, 2}}).Values({0.0, 1.0}).U32(8);
      {
        b.Record(4, 103, "GroupDescriptor").Header("Group", 1).U32(1).Zeroes(48).U32(1);
        b.U32(2).U32(8);
        {
          b.Record(5, 104, "ShapeDescriptor").U32(1).Str("body").U32(1).U32(1);
          b.Record(6, 105, "GeometryDescriptor").Header("", 1);
          {
            b.Record(7, 106, "PlainVertexListDescriptor").Header("", 1).U32(1).U32(4);
            b.Values({0, 1, 0, 1}).Values({0, 0, 1, 1}).Values({2, 2, 2, 2}).U32(0);
            b.Values({0, 0, 0, 0}).Values({0, 0, 0, 0}).Values({1, 1, 1, 1}).U32(3);
            b.Values({0, 1, 0, 1}).Values({0, 0, 1, 1});
            // Tail with one float64 per vertex in the second block of each pair.
            b.Zeroes(56).U32(0).Values({0.1, 0.2, 0.3, 0.4}).Zeroes(8);
            b.U32(0).Values({1.1, 1.2, 1.3, 1.4}).Zeroes(8);
            // Strip 0 1 2 3 3 1: two triangles and two degenerate runs.
            b.Record(8, 107, "TriStripDescriptor").Header("", 1).U32(7).U32(1).U32(6).U32(24);
            for (uint32_t i : {0, 1, 2, 3, 3, 1}) b.U32(i);
          }
          b.Record(9, 108, "AppearanceDescriptor").Header("chrome", 2);
          {
            b.Record(10, 109, "TextureDescriptor").Header("", 2).Str("Maps\\Body.TGA").U8(0);
            b.U32(0).U32(0).U32(0);
            b.Record(11, 109).Header("", 1).Str("EnvMap.tga");
            b.U32(0).U32(0);
            for (double v : {0.5, 0.25, 0.125, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 0.0, 0.0, 1.0}) b.F64(v);
            b.I32(2);
          }
          b.Record(12, 104).U32(1).Str("roof").U32(1).U32(1);
          b.Record(13, 105).Header("", 1);
          {
            b.Record(14, 106).Header("", 1).U32(1).U32(3);
            b.Values({5, 6, 5}).Values({0, 0, 1}).Values({3, 3, 3}).U32(0);
            b.Values({0, 0, 0}).Values({0, 0, 0}).Values({1, 1, 1}).U32(3);
            b.Values({0, 1, 0}).Values({0, 0, 1});
            b.Zeroes(56).U32(0).Values({0.5, 0.6, 0.7}).Zeroes(8);
            b.U32(0).Values({1.5, 1.6, 1.7}).Zeroes(8);
            b.Record(15, 110, "TriListDescriptor").Header("", 1).U32(0).U32(1).U32(3).U32(12).U32(0).U32(1).U32(2);
          }
          b.U32(9);  // the first shape's appearance again
        }
      }
      b.U32(4);  // the second state shows the same group
    }
    b.Record(16, 111, "EmptyDescriptor").U32(1).U32(0);
  }
  b.Record(17, 111).U32(1).U32(0);
  return b.Bytes();
}

}  // namespace lapforge
