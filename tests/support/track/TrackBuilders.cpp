#include "tests/support/track/TrackBuilders.h"

namespace lapforge {

TrackCursor ChainSegments(CN5Ptf& ptf, const std::vector<TrackPiece>& pieces, TrackCursor c) {
  for (const TrackPiece& p : pieces) {
    int i = ptf.CreateSegment();
    CN5ObjSg* sg = ptf.GetSegObj(i);
    sg->startX = c.x;
    sg->startY = c.y;
    sg->startAngle = c.heading;
    sg->startLong = c.distance;
    c.distance += p.length;
    sg->endLong = c.distance;
    sg->CalcEnd(p.type, p.length, p.turn);
    c.x = sg->endX;
    c.y = sg->endY;
    c.heading = sg->endAngle;
  }
  return c;
}

void FillTextureTables(CN5Ptf& ptf) {
  VARS_TRACK_TRACTION_TEX road;
  road.grip = 1;
  road.tex = "road";
  road.repeatLength = 25;
  road.repeatWidth = 4;
  ptf.tractionTex.Add(road);
  VARS_TRACK_TRACTION_TEX grass;
  grass.grip = 5;
  grass.tex = "grass";
  ptf.tractionTex.Add(grass);
  VARS_TRACK_WALL_TEX wall;
  wall.grip = 2049;
  wall.texRight = "wall";
  wall.texTop = "walltop";
  wall.texEnd = "walltop";
  wall.width = 0.3;
  wall.height = 1.0;
  wall.repeatLength = 10;
  ptf.wallTex.Add(wall);
  for (const char* name : {"road", "grass", "wall", "walltop"}) {
    _vars_track_material m;
    m.name = name;
    m.mapName = std::string("maps\\") + name + ".bmp";
    ptf.materials.Add(m);
  }
}

void AddStandardCrossSection(CN5Ptf& ptf, int seg, double baseHeight) {
  ptf.CreateNewTraction(seg, -12, -12, 5, 0, 0, 0, {});
  ptf.CreateNewTraction(seg, -10, -10, 1, 0, 0, 0, {});
  ptf.CreateNewTraction(seg, 10, 10, 5, 0, 0, 0, {});
  ptf.CreateNewTraction(seg, 12, 12, 5, 0, 0, 0, {});
  ptf.CreateNewWall(seg, -12.5, -12.5, 2049, 1, {}, 0, 0, 0, 0, 0, 0);
  ptf.CreateNewWall(seg, 12.5, 12.5, 2049, 1, {}, 0, 0, 0, 0, 0, 0);
  ptf.FinishTractionTextures(seg);
  ptf.CreateNewBank(seg, -12, -12, baseHeight, baseHeight, 0, 0);
  ptf.CreateNewBank(seg, 12, 12, baseHeight + 0.5, baseHeight + 0.5, 0, 0);
}

void BuildGeneratedTrack(CN5Ptf& ptf, int sections, double totalLength) {
  FillTextureTables(ptf);
  double each = totalLength / sections;
  TrackCursor c;
  std::vector<TrackPiece> one(1);
  for (int s = 0; s < sections; ++s) {
    // Straight, left arc, straight, right arc: the track winds without
    // closing on itself.
    one[0] = s % 2 == 0 ? TrackPiece{0, each, 0} : TrackPiece{1, each, s % 4 == 1 ? 0.3 : -0.3};
    c = ChainSegments(ptf, one, c);
    AddStandardCrossSection(ptf, s, 0.01 * (s % 7));
    if (s % 50 == 0) ptf.CreateNewTrackDetail(c.distance - each / 2, 0, 2, 4, c.heading, "road", 1, 1);
  }
}

}  // namespace lapforge
