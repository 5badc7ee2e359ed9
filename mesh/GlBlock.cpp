#include "mesh/GlBlock.h"

#include "mesh/GlBlockArray.h"
#include "mesh/GlMaterialArray.h"

namespace lapforge {

namespace {

// Inserts may place blocks that place blocks; a block that (directly or
// through others) places itself would recurse without end. Nesting deeper
// than this is treated as such a cycle and not followed.
constexpr int kMaxInsertDepth = 32;
thread_local int g_insertDepth = 0;

struct DepthGuard {
  DepthGuard() { ++g_insertDepth; }
  ~DepthGuard() { --g_insertDepth; }
  bool TooDeep() const { return g_insertDepth > kMaxInsertDepth; }
};

}  // namespace

CGlBlock::CGlBlock() {
  minPoint.x = minPoint.y = minPoint.z = 1e10f;
  maxPoint.x = maxPoint.y = maxPoint.z = -1e10f;
}

void CGlBlock::ClearBlock() {
  points = CGlPointArray();
  faces = CGlFaceArray();
  inserts.RemoveAll();
}

void CGlBlock::CopyBlock(const CGlBlock& source, CGlInsertArray& insertList) {
  if (&source == this) return;
  attrib0 = source.attrib0;
  attrib1 = source.attrib1;
  name = source.name;
  fileName = source.fileName;
  points = source.points;
  faces.Copy(source.faces);
  for (const CGlInsert& ins : source.inserts) insertList.Add(ins);
  cx = source.cx;
  cy = source.cy;
  cz = source.cz;
  lastValue = source.lastValue;
  minPoint = source.minPoint;
  maxPoint = source.maxPoint;
}

void CGlBlock::FindExtents() {
  faces.FacesExtent(points);
  minPoint = faces.minPoint;
  maxPoint = faces.maxPoint;
  cx = faces.centrePoint.x;
  cy = faces.centrePoint.y;
  cz = faces.centrePoint.z;
}

void CGlBlock::GetBlockExtents(CGlBlockArray& blocks, CGlPoint& outMin, CGlPoint& outMax) {
  outMin = minPoint;
  outMax = maxPoint;
  DepthGuard guard;
  if (guard.TooDeep()) return;
  CGlPoint insertMin, insertMax;
  inserts.FindExtents(blocks, insertMin, insertMax);
  outMin.SetToMin(outMin, insertMin);
  outMax.SetToMax(outMax, insertMax);
}

void CGlBlock::Explode(CGlPointArray& destPoints, CGlFaceArray& destFaces, const CGlInsert* insert) const {
  if (insert == nullptr) {
    destFaces.AppendFaces(faces, points, destPoints);
    return;
  }
  CGlPointArray placed = points;
  placed.Scale(insert->sx, insert->sy, insert->sz);
  placed.RotatePointsDegrees(insert->a, insert->b, insert->c);
  placed.MovePoints(insert->x, insert->y, insert->z);
  destFaces.AppendFaces(faces, placed, destPoints);
}

void CGlBlock::Explode(CGlPointArray& destPoints, CGlFaceArray& destFaces, CGlMaterialArray& materials,
                       const CGlMaterialArray& sourceMaterials, const CGlBlockArray& blocks, const CGlInsert* insert,
                       bool recurse) const {
  DepthGuard guard;
  if (guard.TooDeep()) return;
  const int firstFace = destFaces.GetSize();
  Explode(destPoints, destFaces, insert);
  const int endFace = destFaces.GetSize();
  if (recurse && insert != nullptr) {
    for (const CGlInsert& own : inserts) {
      if (own.deleted) continue;
      CGlInsert composed = own;
      CGlPoint pos(own.x, own.y, own.z);
      pos.Rotate(insert->a, insert->b, insert->c);
      composed.x = pos.x + insert->x;
      composed.y = pos.y + insert->y;
      composed.z = pos.z + insert->z;
      composed.a += insert->a;
      composed.b += insert->b;
      composed.c += insert->c;
      composed.sx *= insert->sx;
      composed.sy *= insert->sy;
      composed.sz *= insert->sz;
      if (blocks.InBounds(composed.blockIndex)) {
        blocks[composed.blockIndex].Explode(destPoints, destFaces, materials, sourceMaterials, blocks, &composed,
                                            recurse);
      }
    }
  }
  // Only this block's own faces still hold source indices; faces placed by
  // the nested calls were merged there already.
  materials.AddMaterialArray(sourceMaterials, destFaces, firstFace, endFace);
}

}  // namespace lapforge
