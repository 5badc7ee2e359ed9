// Surface meshing: segments, traction bands, walls and details as faces of
// the mesh model.
#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "mesh/GlPointArray.h"
#include "track/N5Ptf.h"

void CN5Ptf::GetGlFaces(CGlPointArray&, CGlFaceArray&, CGlMipArray&, CGlMaterialArray&) {}
void CN5Ptf::GetGlFaces(int, CGlPointArray&, CGlFaceArray&, CGlMipArray&, CGlMaterialArray&) {}
void CN5Ptf::GetGlTractionFaces(int, CN5ObjSg*, CN5ObjFs*, CN5ObjFs*, CGlPointArray&, CGlFaceArray&, CGlMipArray&,
                                CGlMaterialArray&) {}
void CN5Ptf::GetF_SInfoFaces(int, CN5ObjSg*, const F_SInfo&, CGlPointArray&, CGlFaceArray&, int, int) {}
void CN5Ptf::GetGlWallFaces(int, CN5ObjSg*, CN5ObjWs*, CGlPointArray&, CGlFaceArray&, CGlMipArray&,
                            CGlMaterialArray&) {}
void CN5Ptf::GetGlTrackDetailFaces(int, CGlPointArray&, CGlFaceArray&, CGlMipArray&, CGlMaterialArray&) {}
