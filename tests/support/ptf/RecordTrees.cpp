#include "tests/support/ptf/RecordTrees.h"

namespace {
CN5ObjAp* MakeAppearance(CN5Root& r, CN5Obj* parent, const char* tex) {
  auto* ap = r.Create<CN5ObjAp>(parent);
  auto* tx = r.Create<CN5ObjTx>(ap);
  tx->textureName = tex;
  return ap;
}
CN5ObjTu* MakeCoords(CN5Root& r, CN5Obj* parent) {
  auto* tu = r.Create<CN5ObjTu>(parent);
  tu->u1 = {0, 0, 1, 1};
  tu->v1 = {0, 1, 1, 0};
  return tu;
}
}  // namespace

std::unique_ptr<CN5Root> MakeTrackSideTree() {
  auto root = std::make_unique<CN5Root>();
  CN5Root& r = *root;
  auto* lod = r.Create<CN5ObjLw>(nullptr);
  lod->values = {0.0, 200.0};
  auto* sw = r.Create<CN5ObjSw>(lod);
  sw->switchName = "Weekend";
  sw->values = {1.0, 2.9};
  auto* gp = r.Create<CN5ObjGp>(sw);
  r.Create<CN5ObjEm>(lod);
  for (int s = 0; s < 2; ++s) {
    auto* sh = r.Create<CN5ObjSh>(gp);
    sh->shapeName = "shape";
    auto* gm = r.Create<CN5ObjGm>(sh);
    auto* vl = r.Create<CN5ObjVl>(gm);
    for (int i = 0; i < 4; ++i) {
      vl->positions.push_back({double(i), double(i * 2), 1.0});
      vl->normals.push_back({0, 0, 1});
      vl->uvs.push_back({0.5 * i, 1.0});
    }
    gm->triangles = {0, 1, 2, 2, 1, 3};
    MakeAppearance(r, sh, "wall.tga");
  }
  return root;
}

std::unique_ptr<CN5Root> MakeTrackTree(int segments, int formatVersion) {
  auto root = std::make_unique<CN5Root>();
  CN5Root& r = *root;
  r.formatVersion = formatVersion;
  auto* tk = r.Create<CN5ObjTk>(nullptr);
  auto* td = r.Create<CN5ObjTd>(tk, &tk->details);
  MakeAppearance(r, td, "decal");
  auto* ro = r.Create<CN5ObjRo>(tk, &tk->tsoRefs);
  auto* to = r.Create<CN5ObjTo>(ro);
  to->fileName = "flagger.3do";
  for (int i = 0; i < segments; ++i) {
    auto* sg = r.Create<CN5ObjSg>(tk, &tk->segments);
    sg->segType = i % 2;
    sg->endX = 10.0 * (i + 1);
    auto* xs = r.Create<CN5ObjXs>(sg, &sg->bankLines);
    xs->latStart = -10;
    xs->latEnd = -10;
    for (int b = 0; b < 2; ++b) {
      auto* fs = r.Create<CN5ObjFs>(sg, &sg->bands);
      fs->latStart = fs->latEnd = b * 10.0;
      fs->grip = 1;
      if (b == 0) {
        fs->appearance = MakeAppearance(r, fs, "asphalt");
        fs->textureCoords = MakeCoords(r, fs);
      }
    }
    auto* ws = r.Create<CN5ObjWs>(sg, &sg->walls);
    ws->latStart = ws->latEnd = 12;
    ws->wallType = 2049;
    CN5ObjWs::_ApTuPair p;
    p.appearance = MakeAppearance(r, ws, "wall");
    p.textureCoords = MakeCoords(r, ws);
    ws->faces = {p, {}, {}, {}, {}};
  }
  return root;
}
